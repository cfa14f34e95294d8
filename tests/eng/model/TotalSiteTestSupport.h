#pragma once
// A total site with the record services of the scenario-record tests, and a site built with
// edited defaults, two site streams and a scenario with process streams.
#include "ScenarioRecordTestSupport.h"

#include "eng/model/TotalSite.h"
#include <gtest/gtest.h>
#include "eng/targeting/TotalSiteManager.h"

#include <string>
#include <vector>

namespace scenario_record_test {

struct Site {
    Site() : site(nullptr, "Works") { site.SetScenarioServices(RecordServices(designs)); }
    CPIScenario* Scenario(const CPString& name) const {
        IHeatIntegrationScenario* s = nullptr;
        return site.GetScenario(name, s) ? dynamic_cast<CPIScenario*>(s) : nullptr;
    }
    CPIHeatIntegrationStream* Stream(const CPString& name) const {
        IHeatIntegrationStream* s = nullptr;
        return site.GetStream(name, s) ? dynamic_cast<CPIHeatIntegrationStream*>(s) : nullptr;
    }
    TotalSiteManager& Manager() const { return site.GetSiteManager(); }

    std::shared_ptr<RecordDesignFactory> designs = std::make_shared<RecordDesignFactory>();
    CPITotalSite site;
};

inline double ValueOf(const IHeatIntegrationStream& stream, const char* name, int index = 0) {
    double v = -32767.0;
    stream.GetValue(name, v, index);
    return v;
}

inline std::vector<std::string> StreamNames(const CPITotalSite& site) {
    std::vector<std::string> names;
    for (int i = 0; i < site.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* s = nullptr;
        if (site.GetStream(i, s)) names.push_back(s->GetName().c_str());
    }
    return names;
}

inline Bytes StoreSite(CPITotalSite& site) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    return site.Store(out) ? out.Bytes() : Bytes();
}

inline bool RecallSite(CPITotalSite& site, const Bytes& bytes) {
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    return site.Recall(in);
}

// A site with edited defaults, two site streams and a scenario with process streams.
inline void BuildSite(Site& s) {
    TotalSiteManager& m = s.Manager();
    ASSERT_EQ(m.SetValue("LP Steam", DUP_SupplyTemperature, 165.0), 1);
    ASSERT_EQ(m.SetValue("LP Steam", DUP_TargetTemperature, 164.0), 1);
    ASSERT_EQ(m.SetHTCDefaultValue(0, 0.35), 1);
    ASSERT_EQ(m.AddHTCDefaultValue("Site Brine", 0.9, "edited on site"), 1);
    ASSERT_EQ(s.site.AddStream("LP Steam"), 1);
    ASSERT_EQ(s.site.AddStream("Cooling Water"), 1);
    ASSERT_EQ(s.site.AddScenario("Base"), 1);
    CPIScenario* base = s.Scenario("Base");
    base->SuspendCalculations();
    AddStream(*base, "H1", 0, {{170.0, 60.0, 3.0}}, 0.2);
    AddStream(*base, "C1", 0, {{20.0, 135.0, 2.0}}, 0.2);
    base->ResumeCalculations(true);
    s.site.SetNotes("kept in memory only");
}

}  // namespace scenario_record_test
