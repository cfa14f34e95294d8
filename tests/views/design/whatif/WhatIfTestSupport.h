#pragma once
// A locked network with its default study for the what-if views, and the small helpers their
// tests share: reading and writing a view's variables by address and the forms and messages a
// step showed.
#include "eng/design/IHENTrend.h"
#include "lumeth/Session.h"
#include "lumeth/Viewable.h"
#include "eng/design/HENDesign.h"
#include "tests/eng/design/DesignTestSupport.h"
#include "tests/eng/design/OperationTestSupport.h"
#include "tests/support/FourStreamProject.h"

#include <tuple>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace whatif_test {

inline VarDescription At(const std::string& address) {
    VarDescription v;
    EXPECT_TRUE(VarDescription::Parse(address.c_str(), v)) << address;
    return v;
}

inline double Get(Viewable& view, const std::string& address) { return view.Value(At(address)); }
inline int Set(Viewable& view, const std::string& address, double value) { return view.Specify(At(address), value); }
inline Text GetText(Viewable& view, const std::string& address) { return view.TextValue(At(address)); }
inline int SetText(Viewable& view, const std::string& address, const char* text) {
    return view.SpecifyText(At(address), text);
}
inline std::vector<int> Dims(Viewable& view, const std::string& address) {
    DimInfo dims;
    view.Dimensions(At(address), dims);
    std::vector<int> out;
    for (int i = 0; i < dims.NumberOfDims(); ++i) out.push_back(dims.Dim(i));
    return out;
}

// What the journal holds of one kind since a mark: the forms opened, the message keys shown.
struct JournalMark {
    std::uint64_t from = Session::Instance().NextSequence();
    std::vector<std::string> Of(SessionEvent event, bool byKey = false) const {
        std::vector<std::string> out;
        for (const SessionEntry& e : Session::Instance().Journal())
            if (e.event == event && e.sequence >= from) out.push_back(byKey ? e.key.c_str() : e.text.c_str());
        return out;
    }
    std::vector<std::string> FormsOpened() const { return Of(SessionEvent::ViewOpened); }
    std::vector<std::string> Errors() const { return Of(SessionEvent::Error, true); }
};

// The textbook network operated with its two exchangers, locked, with its default study.
struct StudiedNetwork : design_test::OperatedNetwork {
    explicit StudiedNetwork(bool exchangers = true) : OperatedNetwork(true, exchangers) {
        d->LockOperation();
        d->AddStudy();
        base = d->GetDefaultStudy();
    }
    IHENTrend* base = nullptr;
};

// The same network in a project of the engineering manager, so that view records can name its
// design: "Design 1" of scenario "Base", locked; schedule Event-P1 takes E-100 out of service and
// is executed; the default study runs over two intervals a month apart, Study-1 is made from it,
// and both are calculated.
struct LockedProject {
    LockedProject() {
        p.scenario->SuspendCalculations();
        ForEachFourStream([&](const char* name, double s, double t, double cp) {
            p.scenario->AddStream(name, 0);
            IHeatIntegrationStream* stream = p.Stream(name);
            stream->SetValue("Temperature", s, 0);
            stream->SetValue("Temperature", t, 1);
            stream->SetValue("MassFlow", cp / 2.0, 0);
            stream->SetValue("SpecificHeat", 2.0, 0);
            stream->SetValue("HTCoeff", 0.5, 0);
            stream->SetValue("ThermalConductivity", 0.12, 0);
            stream->SetValue("Viscosity", 0.0008, 0);
            stream->SetValue("MassDensity", 850.0, 0);
        });
        p.scenario->ResumeCalculations(true);
        EXPECT_EQ(1, p.scenario->AddDesign("Design 1"));
        IHENDesign* found = nullptr;
        p.scenario->GetDesign("Design 1", found);
        d = dynamic_cast<CPIHENDesign*>(found);
        if (!d) return;
        for (auto [hot, cold, duty] : {std::tuple{"H1", "C2", 240.0}, std::tuple{"H2", "C1", 150.0}}) {
            CNode* x = d->AddHeatExchanger(design_test::NthSegment(*d, hot, 0), design_test::NthSegment(*d, cold, 0),
                                           nullptr, nullptr, nullptr);
            if (!x) continue;
            d->RemoveUtilityAtPort(x, 0);
            d->RemoveUtilityAtPort(x, 2);
            x->addVariable(NodeValue::HXType, 0.0, ValueStatus::Specified);
            x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
            d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        }
        d->LockOperation();
        EXPECT_TRUE(d->AddNewSchedule());
        EXPECT_EQ(nullptr, d->AddEventToSchedule("HeatExchangerRemovalEvent", "E-100"));
        d->ExecuteSchedule();
        d->AddStudy();
        IHENTrend* base = d->GetDefaultStudy();
        base->SetNumberOfIntervals(2);
        for (int t = 0; t <= 2; ++t) base->SetTimeAtPoint(t, t * 2628000.0);
        d->AddStudy();
        d->CalculateDefaultStudy();
        d->SelectStudy("Study-1");
        d->CalculateCurrentStudy();
    }
    FourStreamProject p{false};
    CPIHENDesign* d = nullptr;
};

}  // namespace whatif_test
