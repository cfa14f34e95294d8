#pragma once
// The pieces the scenario viewer's tests build their fixtures from: the project viewer stand-in
// "Plant" on a case document, a scenario given the four process streams, a scenario viewer bound
// to a scenario, and a scenario that records the design and targeting operations the viewer's
// commands call.
#include "brasko/CaseDocument.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Viewable.h"
#include "tests/support/FourStreams.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <algorithm>
#include <string>
#include <vector>

// A plain view standing in for the project viewer, named "Plant", on the document.
inline Viewable* NewProjectViewerStandIn(CaseDocument& document) {
    auto* owner = new Viewable(nullptr, "HIDesignViewerProjectObject");
    owner->SetName("Plant");
    owner->SetDocument(&document);
    return owner;
}

// The four process streams of the four-stream problem, added to the scenario.
inline void AddFourProcessStreams(IHeatIntegrationScenario& scenario) {
    ForEachFourStream([&](const char* n, double s, double t, double cp) {
        scenario.AddStream(n, 0);
        IHeatIntegrationStream* stream = nullptr;
        scenario.GetStream(n, stream);
        stream->SetValue("Temperature", s, 0);
        stream->SetValue("Temperature", t, 1);
        stream->SetValue("HeatCapacityFlowrate", cp, 0);
    });
}

// A scenario viewer "Base" under the owner, bound to the scenario.
inline HIDesignViewerScenario* NewBoundScenarioViewer(Viewable* owner, IHeatIntegrationScenario* scenario) {
    auto* viewer =
        new HIDesignViewerScenario(owner, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    viewer->SetEngineeringScenario(scenario, 0);
    return viewer;
}

// A scenario that records, in order, the design and targeting operations the commands call
// ("AddDesign D1", "CalculateMinimumUnitsTarget", ...) and then does what the scenario does.
class DesignRecordingScenario : public CPIScenario {
public:
    explicit DesignRecordingScenario(IHeatIntegrationProject* project) : CPIScenario(project, DefaultScenarioServices()) {}
    std::vector<std::string> ran;

    int AddDesign(const CPString& n) override { return ran.push_back("AddDesign " + n), CPIScenario::AddDesign(n); }
    int RenameDesign(const CPString& a, const CPString& b) override {
        return ran.push_back("RenameDesign " + a + " " + b), CPIScenario::RenameDesign(a, b);
    }
    int DeleteDesign(const CPString& n) override { return ran.push_back("DeleteDesign " + n), CPIScenario::DeleteDesign(n); }
    int CloneDesign(const CPString& n, IHENDesign* s) override {
        return ran.push_back("CloneDesign " + n), CPIScenario::CloneDesign(n, s);
    }
    void ClearUnitsTargetMILPResult() override { ran.push_back("ClearUnitsTargetMILPResult"); }
    void CalculateMinimumUnitsTarget() override { ran.push_back("CalculateMinimumUnitsTarget"); }
    void AutomaticHENDesign(void*) override { ran.push_back("AutomaticHENDesign"); }
    void SmartCompleteDesign(const CPString& n) override { ran.push_back("SmartCompleteDesign " + n); }
    void RecalculateSuperTargets() override { ran.push_back("RecalculateSuperTargets"); }
    void SetRetrofitBaseDesign(const CPString& n) override { ran.push_back("SetRetrofitBaseDesign " + n); }
    void DeleteDesignsExceptBase() override { ran.push_back("DeleteDesignsExceptBase"); }
    void ClearRetrofitBaseDesign() override { ran.push_back("ClearRetrofitBaseDesign"); }
    bool ran_(const std::string& what) const { return std::find(ran.begin(), ran.end(), what) != ran.end(); }
};
