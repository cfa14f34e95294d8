#pragma once
#include "tests/support/NotificationRecorder.h"
// Test doubles around a scenario: a design that reports what it was told, the design factory, the
// record builders that record their calls, and a view that records the change codes it hears.
#include "brasko/NotificationSender.h"
#include "tests/support/NullHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/TargetRecordBuilders.h"

#include <functional>
#include <string>
#include <vector>

namespace scenario_test {

using RecordingReceiver = NotificationRecorder;

class FakeDesign : public NullHENDesign, public NotificationSender {
public:
    explicit FakeDesign(const CPString& name) : name(name) {}
    ~FakeDesign() override { ++destroyed(); }
    static int& destroyed() {
        static int count = 0;
        return count;
    }

    const char* GetDesignName() const override { return name.c_str(); }
    void SetDesignName(const CPString& n) override { name = n; }
    void SetOwner(IHeatIntegrationScenario* s) override { owner = s; }
    void ProcessChange(int code, const CPString&, void*) override { processed.push_back(code); }
    void SetPinchPoints(CPList*) override { ++pinchCopies; }
    void UpdateOperationForStreamChange(IHeatIntegrationStream* s) override { operationUpdates.push_back(s->GetName()); }
    int AddStream(IHeatIntegrationStream* s) override {
        streams.push_back(s->GetName());
        return 1;
    }
    int RemoveStream(const CPString& n) override {
        removedStreams.push_back(n);
        return 1;
    }
    int RenameStream(const CPString& o, const CPString& n) override {
        renamedStreams.push_back(o + "->" + n);
        return 1;
    }
    void AssignExchangerCostModels() override { ++costModelAssignments; }
    int CopyTo(IHENDesign& target) const override {
        auto& t = dynamic_cast<FakeDesign&>(target);
        t.utilityCost = utilityCost;
        t.capitalCost = capitalCost;
        t.complete = complete;
        t.copiedFrom = name;
        return 1;
    }
    bool IsDesignComplete() const override { return complete; }
    double GetTotalUtilityCost(int) const override { return utilityCost; }
    double GetTotalAnnualizedCapitalCost() const override { return capitalCost; }
    double GetTotalCapitalCost() const override { return capitalCost; }
    double GetPaybackTime() const override { return 1.0; }
    double GetTotalUtilityLoad(int) const override { return utilityLoad; }
    double GetDTMin() const override { return 10.0; }
    int GetNumberOfHeatExchangers() const override { return exchangers; }
    int GetNumberOfIncompleteHeatExchangers(bool) const override { return 0; }
    int GetNumberOfUnsatisfiedProcessStreams() const override { return unsatisfiedStreams; }
    bool HasUnitOnStream(const CPString& n) const override {
        for (const CPString& s : unitsOn)
            if (s == n) return true;
        return false;
    }
    bool HasHeater() const override { return heater; }
    bool HasCooler() const override { return cooler; }
    bool IsLoopAnalysisEnabled() const override { return true; }
    void SetLoopAnalysisEnabled(bool) override {}
    bool AreStreamTerminalsReady() const override { return true; }
    void RunOptimizerCheck() override {}
    bool AreExchangerPortsFreeOfUtilities() const override { return true; }
    bool GetIgnoreInfeasibleExchangers() const override { return false; }
    std::vector<HeatExch*> GetInfeasibleHeatExchangers() const override { return {}; }
    void SetDTMinFromNetwork() override {}
    void MarkAsExistingNetwork() override { existingNetwork = true; }
    void AddToChangeLog(const CPString& text) override { changeLog.push_back(text); }
    void SetIntegerOption(int) override {}
    void SetSkipStreamEndsUpdate(bool) override {}
    void SetSplitFractionsFromBranchDuties() override {}
    void AddDummyUtilitiesForExtraction() override { ++dummyUtilities; }
    int RunOptimizer(int) override { return 4; }
    void RaiseNodeNameCounter(int) override {}
    FlowSheet* GetFlowSheet() const override { return nullptr; }
    bool PrepareExchangersAsRetrofitBase(double) override { return true; }
    void RefreshExistingNetworkValues() override {}
    void TakeExistingNetworkValuesFrom(const IHENDesign&) override {}
    bool Store(ILurmetBinaryFile&) const override { return true; }
    bool Recall(ILurmetBinaryFile&) override { return true; }

    CPString name;
    IHeatIntegrationScenario* owner = nullptr;
    std::vector<int> processed;
    int pinchCopies = 0;
    std::vector<std::string> operationUpdates;
    std::vector<std::string> streams, removedStreams, renamedStreams, changeLog;
    std::vector<CPString> unitsOn;
    int costModelAssignments = 0;
    int dummyUtilities = 0;
    double utilityCost = 0.0, capitalCost = 0.0, utilityLoad = 0.0;
    bool complete = false;
    int exchangers = 0;
    // Process streams the network leaves short of their targets: it does not calculate.
    int unsatisfiedStreams = 0;
    bool heater = false, cooler = false, existingNetwork = false;
    std::string copiedFrom;
};

class FakeDesignFactory : public IHENDesignFactory {
public:
    IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) override {
        auto* d = new FakeDesign(name);
        d->owner = &scenario;
        made.push_back(d);
        return d;
    }
    std::vector<FakeDesign*> made;
};

// Records every builder call as "<record>:<code>"; an optional hook runs inside the first builder.
class RecordingBuilders : public NullTargetRecordBuilders {
public:
    EnergyTarget* UpdateEnergyTarget(EnergyTarget* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("energy:" + std::to_string(code));
        if (duringEnergy) duringEnergy();
        return NullTargetRecordBuilders::UpdateEnergyTarget(r, s, code);
    }
    UtilityPlacement* UpdateUtilityPlacement(UtilityPlacement* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("placement:" + std::to_string(code));
        return NullTargetRecordBuilders::UpdateUtilityPlacement(r, s, code);
    }
    UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("units:" + std::to_string(code));
        return NullTargetRecordBuilders::UpdateUnitsTarget(r, s, code);
    }
    CompositeCurves* UpdateCompositeCurves(CompositeCurves* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("curves:" + std::to_string(code));
        return NullTargetRecordBuilders::UpdateCompositeCurves(r, s, code);
    }
    AreaTarget* UpdateAreaTarget(AreaTarget* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("area:" + std::to_string(code));
        return NullTargetRecordBuilders::UpdateAreaTarget(r, s, code);
    }
    CapitalCostTarget* UpdateCapitalCostTarget(CapitalCostTarget* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("capital:" + std::to_string(code));
        if (code != FreeRecords && !r) {
            r = new CapitalCostTarget;
            r->dValue = capitalValue;
            r->nFlag = 3;
        }
        return NullTargetRecordBuilders::UpdateCapitalCostTarget(r, s, code);
    }
    CostTargetValue* UpdateOperatingCostTarget(CostTargetValue* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("operating:" + std::to_string(code));
        if (code != FreeRecords && !r) r = new CostTargetValue{CostTargetValue{operatingValue}};
        return NullTargetRecordBuilders::UpdateOperatingCostTarget(r, s, code);
    }
    CostTargetValue* UpdateTotalAnnualCostTarget(CostTargetValue* r, IHeatIntegrationScenario& s, int code) override {
        calls.push_back("total:" + std::to_string(code));
        if (code != FreeRecords && !r) r = new CostTargetValue{CostTargetValue{totalValue}};
        return NullTargetRecordBuilders::UpdateTotalAnnualCostTarget(r, s, code);
    }

    std::vector<std::string> calls;
    std::function<void()> duringEnergy;
    double capitalValue = 700.0, operatingValue = 40.0, totalValue = 90.0;
};

// A scenario with recording builders and fake designs, watched by a recording view.
struct Fixture {
    Fixture() : builders(std::make_shared<RecordingBuilders>()), designs(std::make_shared<FakeDesignFactory>()) {
        ScenarioServices services;
        services.builders = builders;
        services.designs = designs;
        scenario = std::make_unique<CPIScenario>(nullptr, services);
        scenario->AddNotificationReceiver(&view);
    }
    ~Fixture() {
        if (scenario) scenario->RemoveNotificationReceiver(&view);
    }
    // A process stream with a complete segment: supply, target and CP.
    CPIHeatIntegrationStream* AddProcessStream(const CPString& name, double supply, double target, double cp) {
        if (!scenario->AddStream(name, 0)) return nullptr;
        auto* s = scenario->FindStream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", target, 1);
        s->SetValue("HeatCapacityFlowrate", cp, 0);
        return s;
    }
    FakeDesign* AddDesign(const CPString& name) {
        if (!scenario->AddDesign(name)) return nullptr;
        return designs->made.back();
    }
    void Clear() {
        builders->calls.clear();
        view.changes.clear();
    }

    std::shared_ptr<RecordingBuilders> builders;
    std::shared_ptr<FakeDesignFactory> designs;
    std::unique_ptr<CPIScenario> scenario;
    RecordingReceiver view;
};

}  // namespace scenario_test
