#pragma once
// What the scenario- and project-record tests share: a design that keeps a record of its own, the
// production services with that design's factory, and a project with several scenarios that holds
// every part of the scenario record (multi-segment streams, utilities, forbidden matches, stream
// links, designs, every target record, supertargeting points, report, defaults).
#include "ScenarioTestDoubles.h"
#include "StreamTestSupport.h"
#include "brasko/DefaultManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "brasko/ReportHolder.h"
#include "eng/model/Project.h"
#include "eng/model/Scenario.h"
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"
#include "tests/support/FailingWriter.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace scenario_record_test {

using Bytes = std::vector<std::uint8_t>;

// The record a RecordDesign writes: version 21 with its costs and completeness.
inline bool WriteDesignRecord(ILurmetBinaryFile& f, double utilityCost, double capitalCost, bool complete) {
    RecordHandle h;
    return f.BeginRecord(h, 21) && f.WriteDouble(utilityCost) && f.WriteDouble(capitalCost) &&
           f.WriteBool(complete) && f.EndRecord(h);
}

// A design double whose record holds what the scenario ranks it by.
class RecordDesign : public scenario_test::FakeDesign {
public:
    using FakeDesign::FakeDesign;
    bool Store(ILurmetBinaryFile& f) const override { return WriteDesignRecord(f, utilityCost, capitalCost, complete); }
    bool Recall(ILurmetBinaryFile& f) override {
        RecordHandle h;
        return f.BeginRecord(h) && f.ReadDouble(utilityCost) && f.ReadDouble(capitalCost) && f.ReadBool(complete) &&
               f.EndRecord(h);
    }
};

class RecordDesignFactory : public IHENDesignFactory {
public:
    IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) override {
        auto* d = new RecordDesign(name);
        d->owner = &scenario;
        made.push_back(d);
        return d;
    }
    std::vector<RecordDesign*> made;
};

// What a project of the engineering manager gets (real targets, the scenario record), with the
// design double's factory.
inline ScenarioServices RecordServices(std::shared_ptr<RecordDesignFactory> designs) {
    streamtest::EnsureRegistries();
    ScenarioServices services = DefaultScenarioServices();
    services.designs = std::move(designs);
    return services;
}

// A free-standing scenario with real targets and the design double's factory.
struct LiveScenario {
    LiveScenario() : scenario(nullptr, RecordServices(designs)) {}
    std::shared_ptr<RecordDesignFactory> designs = std::make_shared<RecordDesignFactory>();
    CPIScenario scenario;
};

struct RecordProject {
    RecordProject() : project(nullptr, "Plant") { project.SetScenarioServices(RecordServices(designs)); }
    CPIScenario* Scenario(const CPString& name) const {
        IHeatIntegrationScenario* s = nullptr;
        return project.GetScenario(name, s) ? dynamic_cast<CPIScenario*>(s) : nullptr;
    }
    std::shared_ptr<RecordDesignFactory> designs = std::make_shared<RecordDesignFactory>();
    CPIProject project;
};

inline Bytes StoreProject(CPIProject& project) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    if (!project.Store(out)) return Bytes();
    return out.Bytes();
}

inline bool RecallProject(CPIProject& project, const Bytes& bytes) {
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    return project.Recall(in);
}

inline Bytes StoreScenario(CPIScenario& scenario) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    if (!scenario.GetServices().records || !scenario.GetServices().records->Store(scenario, out)) return Bytes();
    return out.Bytes();
}

inline bool RecallScenario(CPIScenario& scenario, const Bytes& bytes) {
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    return scenario.GetServices().records && scenario.GetServices().records->Recall(scenario, in);
}

struct SegmentSpec {
    double supply, target, cp;
};

// A process or utility stream given segment by segment (utilities named after a default utility
// take their data from it when no segment is given).
inline CPIHeatIntegrationStream* AddStream(CPIScenario& s, const CPString& name, int kind,
                                          const std::vector<SegmentSpec>& segments, double h = 0.0) {
    if (s.AddStream(name, kind) != 1) return nullptr;
    CPIHeatIntegrationStream* stream = s.FindStream(name);
    if (!stream || segments.empty()) return stream;
    for (std::size_t i = 1; i < segments.size(); ++i) stream->InsertSegment(0);
    stream->SetValue("Temperature", segments.front().supply, 0);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        stream->SetValue("Temperature", segments[i].target, static_cast<int>(i + 1));
        stream->SetValue("HeatCapacityFlowrate", segments[i].cp, static_cast<int>(i));
        if (h > 0.0) stream->SetValue("HTCoeff", h, static_cast<int>(i));
    }
    return stream;
}

// The textbook four streams (minimum hot utility 20, cold 60 at DTmin 10), the second hot stream
// in two segments, with steam and cooling water.
inline void AddFourStreams(CPIScenario& s) {
    s.SuspendCalculations();
    AddStream(s, "H1", 0, {{170.0, 60.0, 3.0}}, 0.2);
    AddStream(s, "H2", 0, {{150.0, 90.0, 1.5}, {90.0, 30.0, 1.5}}, 0.2);
    AddStream(s, "C1", 0, {{20.0, 135.0, 2.0}}, 0.2);
    AddStream(s, "C2", 0, {{80.0, 140.0, 4.0}}, 0.2);
    AddStream(s, "HP Steam", 1, {});
    AddStream(s, "Cooling Water", 1, {});
    s.ResumeCalculations(true);
}

// A project of three scenarios: "Base" with every part of the record; "Forbidden", whose
// forbidden match moves the area target to the LP; "Empty", with no stream at all.
inline void BuildRichProject(RecordProject& p) {
    CPIProject& project = p.project;
    project.AddScenario("Base");
    CPIScenario& base = *p.Scenario("Base");
    base.SetNotes("Four streams\nwith utilities");
    AddFourStreams(base);
    base.SetDTmin(12.0);
    base.SetMatchCostModelName("H1", "C2", "PLATE");
    base.AddEconomicData("PLATE");
    base.SetEconomicData(1, 650.0, "PLATE");
    base.SetFirstIntegerSetting(7);
    base.SetSecondIntegerSetting(3);
    base.SetMinimumFFactor(0.75);
    base.SetLevelSetting1(2);
    base.SetLevelSetting2(3);
    base.SetLevelSetting3(4);
    base.SetLevelSetting4(1);
    base.SetUseEquationBasedOptimization(true);
    base.SetAllowUtilitiesAtExchangerPorts(true);
    base.SetUnitsTargetMILPFlag(1);
    base.CalculateMinimumUnitsTarget();
    base.AddSuperTargetPoint(8.0);
    base.AddSuperTargetPoint(16.0);
    ReportHolder* report = nullptr;
    base.GetReportHolder(report);
    report->AppendText("Streams:H1", "170 to 60");
    report->AddEntry("Warnings", "Units", "Units target");

    base.AddDesign("Design 1");
    base.AddDesign("Design 2");
    p.designs->made[0]->utilityCost = 5.0;
    p.designs->made[0]->capitalCost = 20.0;
    p.designs->made[0]->complete = true;
    p.designs->made[1]->utilityCost = 9.0;
    base.RankDesigns();

    IHeatIntegrationStream* h1 = nullptr;
    base.GetStream("H1", h1);
    base.AddStreamLink(h1);
    StreamLynx* link = base.GetStreamLinkCollection()->GetLink(0);
    link->SetAdvanced(true);
    link->SetTemperatureTerm("Temperature", 0, true);
    link->SetTemperatureCoefficient("Temperature", 0, 0.5);
    link->SetMassFlowTerm("MassFlow", 1, true);
    link->SetMassFlowCoefficient("MassFlow", 1, 2.0);
    link->EnableTemperatureBound("Temperature", 0, 1);
    link->SetTemperatureLowerBound("Temperature", 0, 100.0);
    link->SetTemperatureUpperBound("Temperature", 0, 180.0);

    project.AddScenario("Forbidden");
    CPIScenario& forbidden = *p.Scenario("Forbidden");
    AddFourStreams(forbidden);
    forbidden.FindStream("H1")->LinkStream("C1");
    forbidden.EndForbiddenMatchChanges();
    forbidden.AddDesign("Only");

    project.AddScenario("Empty");
}

// A recalled scenario ends its read with a recalculation (code 35), which also frees what the
// builders kept of an earlier state (the Bath result after a switch to the area LP). A scenario
// is compared with its recalled self once it has been through the same recalculation.
inline void Settle(RecordProject& p) {
    for (int i = 0; i < p.project.GetNumberOfScenarios(); ++i) {
        IHeatIntegrationScenario* s = nullptr;
        p.project.GetScenario(i, s);
        dynamic_cast<CPIScenario&>(*s).UpdateTargets(nullptr, 35);
    }
}

}  // namespace scenario_record_test
