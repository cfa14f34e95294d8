// Handing a design to the optimiser: the run without variables, without an optimiser and with
// one; reconciliation of a design that is not locked; the dummy utilities of an extracted
// network; and the design optimisation case (its copy's name and remark, the duty scale).
#include "DesignTestSupport.h"

#include "eng/design/DesignOptimisationCase.h"
#include "lumeth/Messages.h"
#include "pellin/FlowSheet.h"

#include <gtest/gtest.h>

#include <string>

using namespace design_test;

namespace {

struct RunRecord {
    int mode = -1;
    bool duties = false, splits = false, equationBased = false;
};

class RecordingOptimiser : public INetworkOptimiser {
public:
    RecordingOptimiser(RunRecord& run, int result) : m_run(run), m_result(result) {}
    void SetUseEquationBased(bool use) override { m_run.equationBased = use; }
    int Run(int mode, bool duties, bool splits) override {
        m_run.mode = mode;
        m_run.duties = duties;
        m_run.splits = splits;
        return m_result;
    }
    bool GetFittedValues(CNode*, double&, double&) const override { return false; }

private:
    RunRecord& m_run;
    int m_result;
};

class RecordingCheck : public IOptimiserCheck {
public:
    explicit RecordingCheck(int& checks) : m_checks(checks) {}
    void Check() override { ++m_checks; }
    int GetSeverity() const override { return 0; }
    bool CanRun() const override { return true; }
    const char* GetMessage() const override { return "OK"; }

private:
    int& m_checks;
};

// Makes a recording optimiser answering `result`, or none at all.
class Provider : public INetworkOptimiserProvider {
public:
    explicit Provider(bool makes, int result = 4) : m_makes(makes), m_result(result) {}
    std::unique_ptr<INetworkOptimiser> MakeOptimiser(IHENDesign&, const char*) override {
        ++made;
        return m_makes ? std::make_unique<RecordingOptimiser>(run, m_result) : nullptr;
    }
    std::unique_ptr<IOptimiserCheck> MakeCheck(IHENDesign&, const char*) override {
        return m_makes ? std::make_unique<RecordingCheck>(checks) : nullptr;
    }
    RunRecord run;
    int made = 0;
    int checks = 0;

private:
    bool m_makes;
    int m_result;
};

struct Network : DesignScenario {
    Network() {
        Add("H1", 300, 60, 10.0);
        Add("C1", 20, 100, 30.0);
        Add("H2", 300, 60, 2.0);
        Add("C2", 20, 100, 6.0);
        d = Design("D1");
        x = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C1", 0), nullptr, nullptr, nullptr);
        x->addVariable(NodeValue::Duty, 2000.0, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        d->AddNotificationReceiver(&view);
    }
    ~Network() {
        if (d) d->RemoveNotificationReceiver(&view);
    }
    CPIHENDesign* d = nullptr;
    CNode* x = nullptr;
    Listener view;
};

double DutyOf(const CNode* node) {
    double duty = 0.0;
    return node && node->getVariableAsDouble(NodeValue::Duty, duty) ? duty : -1.0;
}

}  // namespace

TEST(HENDesignOptimiserRuns, WithoutVariablesOrWithoutAnOptimiserARunChangesNothing) {
    Network n;
    const int nodes = n.d->GetNumberOfNodes();
    n.d->SetOptimizeExchangerDuties(false);
    n.d->SetOptimizeSplitFractions(false);
    Provider provider(true);
    n.d->SetNetworkOptimiserProvider(&provider);
    EXPECT_EQ(n.d->RunOptimizer(3), IHENDesign::OptimiserUnchanged);
    EXPECT_EQ(provider.made, 0);
    EXPECT_EQ(n.view.Count(CPIHENDesign::CodeUpToDate), 0);

    n.d->SetOptimizeExchangerDuties(true);
    for (INetworkOptimiserProvider* none : {static_cast<INetworkOptimiserProvider*>(nullptr),
                                            static_cast<INetworkOptimiserProvider*>(new Provider(false))}) {
        n.d->SetNetworkOptimiserProvider(none);
        EXPECT_EQ(n.d->RunOptimizer(3), IHENDesign::OptimiserNotAvailable);
        EXPECT_EQ(n.view.Count(CPIHENDesign::CodeUpToDate), 0);
        n.d->RunOptimizerCheck();
        EXPECT_EQ(n.d->GetOptimiserCheck(), nullptr);
        delete none;
    }
    EXPECT_EQ(n.d->GetNumberOfNodes(), nodes);
    EXPECT_DOUBLE_EQ(DutyOf(n.x), 2000.0);
    // Reconciling needs a locked design: this one answers true and is left alone.
    n.d->SetNetworkOptimiserProvider(&provider);
    EXPECT_TRUE(n.d->Reconcile());
    EXPECT_EQ(provider.made, 0);
    EXPECT_EQ(n.view.Count(CPIHENDesign::CodeUpToDate), 0);
}

TEST(HENDesignOptimiserRuns, ARunHandsTheModeFlagsAndPathOverAndAnnouncesTheDesign) {
    Network n;
    Provider provider(true, IHENDesign::OptimiserImproved);
    n.d->SetNetworkOptimiserProvider(&provider);
    n.d->SetOptimizeExchangerDuties(false);
    n.d->SetOptimizeSplitFractions(true);
    n.scenario->SetUseEquationBasedOptimization(true);
    EXPECT_EQ(n.d->RunOptimizer(5), IHENDesign::OptimiserImproved);
    EXPECT_EQ(provider.run.mode, 5);
    EXPECT_FALSE(provider.run.duties);
    EXPECT_TRUE(provider.run.splits);
    EXPECT_TRUE(provider.run.equationBased);
    EXPECT_EQ(n.view.Count(CPIHENDesign::CodeUpToDate), 1);
    EXPECT_TRUE(n.view.Saw(CPIHENDesign::CodeUpToDate, ""));
    n.d->RunOptimizerCheck();
    n.d->RunOptimizerCheck();
    ASSERT_NE(n.d->GetOptimiserCheck(), nullptr);
    EXPECT_EQ(provider.checks, 2);
    n.d->SetNetworkOptimiserProvider(nullptr);
}

TEST(HENDesignExtraction, ExchangersKeepingUtilitiesAtTheirPortsGetDummiesOfAtMostFiveKilowatts) {
    Network n;
    CNode* y = n.d->AddHeatExchanger(NthSegment(*n.d, "H2", 0), NthSegment(*n.d, "C2", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(y);
    y->addVariable(NodeValue::Duty, 400.0, ValueStatus::Specified);
    // Every port segment carries a temperature of its own: the utilities beside them must stay.
    for (CNode* unit : {n.x, y}) {
        HeatExch* exchanger = AsHeatExch(unit);
        for (int side = 0; side < 2; ++side) {
            exchanger->getInlet(side)->addVariable(NodeValue::Temperature, side ? 30.0 : 290.0, ValueStatus::Specified);
            exchanger->getOutlet(side)->addVariable(NodeValue::Temperature, side ? 90.0 : 70.0, ValueStatus::Specified);
        }
    }
    n.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    CPString xName, yName;
    n.x->getVariableAsString(NodeValue::UnitOperationName, xName);
    y->getVariableAsString(NodeValue::UnitOperationName, yName);

    n.d->AddDummyUtilitiesForExtraction();
    const struct {
        CPString owner;
        double duty;
    } cases[] = {{xName, 5.0}, {yName, 2.0}};
    for (const auto& c : cases) {
        for (const char* suffix : {"_DummyHtrIgnore", "_DummyClrIgnore"}) {
            CNode* dummy = n.d->GetNodeByName(c.owner + suffix);
            ASSERT_TRUE(dummy) << c.owner.c_str() << suffix;
            EXPECT_DOUBLE_EQ(DutyOf(dummy), c.duty) << c.owner.c_str() << suffix;
            HeatExch* exchanger = AsHeatExch(dummy);
            EXPECT_TRUE(std::string(suffix) == "_DummyHtrIgnore" ? exchanger->IsHeater() : exchanger->IsCooler());
        }
    }
    EXPECT_EQ(n.d->GetNumberOfIgnoredDummyUtilities(), 4);
    EXPECT_GE(n.d->GetNumberOfUtilityStreams(), 2);
    EXPECT_NE(std::string(n.d->GetChangeLog()).find("by data extraction module"), std::string::npos);
    EXPECT_EQ(StructuralFault(*n.d), "");
}

TEST(DesignOptimisationCase, ACopyIsNamedAfterTheDesignWithACounterAndSaysWhereItCameFrom) {
    Network n;
    const char* expected[] = {"D1-O", "D1-O-1", "D1-O-2"};
    for (const char* name : expected) {
        DesignOptimisationCase run(n.d, 0, true, 1);
        ASSERT_TRUE(run.GetDesign());
        EXPECT_TRUE(run.IsCopy());
        EXPECT_STREQ(run.GetDesign()->GetDesignName(), name);
        EXPECT_EQ(run.GetDesign()->GetNumberOfHeatExchangers(), 1);
        const std::string remark = std::string(FindString("OptFrom").c_str()) + " D1" + FindString("MinArea").c_str() + ";\n";
        EXPECT_EQ(std::string(run.GetDesign()->GetChangeLog()), remark);
        EXPECT_DOUBLE_EQ(run.GetStep(), 0.1);
        EXPECT_EQ(run.GetWeight(), 1);
        EXPECT_EQ(run.GetTexts().size(), 8u);
    }
    DesignOptimisationCase cost(n.d, 1, true, 1);
    EXPECT_NE(std::string(cost.GetDesign()->GetChangeLog()).find(FindString("MinTAC").c_str()), std::string::npos);
}

TEST(DesignOptimisationCase, TheRetrofitModeWorksOnTheDesignAndModeTwoGathersAreasAndTheDutyScale) {
    Network n;
    const int designs = n.scenario->GetNumberOfDesigns();
    DesignOptimisationCase retrofit(n.d, DesignOptimisationCase::RetrofitMode, true, 1);
    EXPECT_EQ(retrofit.GetDesign(), n.d);
    EXPECT_FALSE(retrofit.IsCopy());
    EXPECT_TRUE(retrofit.GetStreamMarks().empty());
    EXPECT_EQ(retrofit.GetFlowSheet(), nullptr);
    EXPECT_EQ(n.scenario->GetNumberOfDesigns(), designs);

    // All duties below 10,000 kW: the scale stays at 100. The area found before the run is kept
    // as the existing one.
    n.x->addVariable(NodeValue::HTArea, 123.0, ValueStatus::Calculated);
    DesignOptimisationCase small(n.d, 2, false, 1);
    EXPECT_DOUBLE_EQ(small.GetDutyScale(), 100.0);
    EXPECT_EQ(small.GetStreamMarks().size(), n.d->GetFlowSheet()->getAllNodesOfType(NodeKind::MaterialStream).size());
    double exArea = 0.0, area = 0.0;
    ASSERT_TRUE(n.x->getVariableAsDouble("ExArea", exArea));
    n.x->getVariableAsDouble(NodeValue::HTArea, area);
    EXPECT_DOUBLE_EQ(exArea, 123.0);
    EXPECT_DOUBLE_EQ(area, 123.0);

    // A 25,000 kW exchanger: 250 hundreds of kW.
    n.x->addVariable(NodeValue::Duty, 25000.0, ValueStatus::Specified);
    DesignOptimisationCase large(n.d, 2, false, 1);
    EXPECT_DOUBLE_EQ(large.GetDutyScale(), 250.0);
    DesignOptimisationCase other(n.d, 4, false, 1);
    EXPECT_DOUBLE_EQ(other.GetDutyScale(), 100.0);
    EXPECT_FALSE(other.GetStreamMarks().empty());
}
