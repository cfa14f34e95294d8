// The optimiser's pre-run check on real designs: each verdict with its texts, the inner port
// temperatures listed once per port, and the calculation-status texts.
#include "eng/autodesign/OptimiserCheck.h"
#include "tests/eng/design/DesignTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace design_test;

namespace {

// One match that covers both streams exactly (its duty follows from the stream ends, no utility
// is needed at any port), or one whose
// cold end comes 5 C close under an exchanger minimum approach of 10 C.
struct OneMatch : DesignScenario {
    explicit OneMatch(double coldSupply = 50.0) {
        Add("H1", 200.0, 100.0, 2.0)->SetValue("HTCoeff", 0.5, 0);
        Add("C1", coldSupply, coldSupply + 100.0, 2.0)->SetValue("HTCoeff", 0.5, 0);
        d = Design("D1");
        d->Deactivate();
        x = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C1", 0), nullptr, NodeKind::CountercurrentHX, "X");
        // The count of freedom takes the exact cover for one specification too many, so the
        // utilities at the ports are taken away without asking whether they may go.
        for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(x, port);
        d->SetDTMin(10.0);
        d->ApplyDTMinToAllExchangers();
        d->Activate(1);
    }
    CPIHENDesign* d = nullptr;
    CNode* x = nullptr;
};

struct CheckCase {
    const char* what;
    std::function<void(OneMatch&)> prepare;
    double coldSupply;
    int severity;
    const char* message;
    int failingPart;  // -1: every part passes
};
void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.what << ": severity " << c.severity
        << (c.failingPart < 0 ? ", every part passes" : ", part " + std::to_string(c.failingPart) + " fails");
}

class OptimiserCheckVerdicts : public ::testing::TestWithParam<CheckCase> {};

TEST_P(OptimiserCheckVerdicts, FollowFromTheParts) {
    const CheckCase& c = GetParam();
    OneMatch m(c.coldSupply);
    if (c.prepare) c.prepare(m);
    OptimiserCheck check(m.d, "D1");
    check.Check();
    EXPECT_EQ(check.GetSeverity(), c.severity) << c.what;
    EXPECT_EQ(check.CanRun(), c.severity < 2) << c.what;
    EXPECT_STREQ(check.GetMessage(), c.message) << c.what;
    for (int part = 0; part < IOptimiserCheck::PartCount; ++part)
        EXPECT_EQ(check.IsPartOK(part), part != c.failingPart) << c.what << " part " << part;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptimiserCheckVerdicts,
    ::testing::Values(
        CheckCase{"a correct network", nullptr, 50.0, 0, OptimiserCheck::AllOK, -1},
        CheckCase{"no exchanger", [](OneMatch& m) { m.d->DeleteHeatExchanger(m.x, "by hand"); }, 50.0, 0,
                  OptimiserCheck::AllOK, -1},
        CheckCase{"a supply temperature specified at an inlet",
                  [](OneMatch& m) {
                      AsHeatExch(m.x)->getInlet(0)->addVariable(NodeValue::Temperature, 200.0, ValueStatus::Specified);
                  },
                  50.0, 0, OptimiserCheck::AllOK, -1},
        CheckCase{"no variable chosen",
                  [](OneMatch& m) {
                      m.d->SetOptimizeExchangerDuties(false);
                      m.d->SetOptimizeSplitFractions(false);
                  },
                  50.0, 2, OptimiserCheck::Fatal, IOptimiserCheck::Options},
        CheckCase{"an infeasible exchanger", nullptr, 95.0, 2, OptimiserCheck::Fatal, IOptimiserCheck::Feasibility},
        CheckCase{"a utility at a port",
                  [](OneMatch& m) { ASSERT_TRUE(m.d->AddUtilityAtPort(m.x, 1)); }, 50.0, 1, OptimiserCheck::Warning,
                  IOptimiserCheck::UntiedStreams}));

TEST(OptimiserCheckTemperatures, AnExchangerWithTwoInnerSpecificationsIsListedTwice) {
    OneMatch m;
    ASSERT_TRUE(m.d->AddUtilityAtPort(m.x, 1));
    ASSERT_TRUE(m.d->AddUtilityAtPort(m.x, 3));
    HeatExch* x = AsHeatExch(m.x);
    x->getOutlet(0)->addVariable(NodeValue::Temperature, 100.0, ValueStatus::Specified);
    x->getOutlet(1)->addVariable(NodeValue::Temperature, 150.0, ValueStatus::Specified);
    m.d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    OptimiserCheck check(m.d, "D1");
    check.Check();
    EXPECT_EQ(check.GetSeverity(), 1);
    EXPECT_FALSE(check.IsPartOK(IOptimiserCheck::TemperatureSpecs));
    EXPECT_STREQ(check.GetPartMessage(IOptimiserCheck::TemperatureSpecs),
                 "Temperature specifications will be used during the optimization, reducing the scope for "
                 "improvements. Make sure you want to proceed.");
    ASSERT_EQ(check.GetNumberOfPartUnits(IOptimiserCheck::TemperatureSpecs), 2);
    EXPECT_EQ(check.GetPartUnit(IOptimiserCheck::TemperatureSpecs, 0), m.x);
    EXPECT_EQ(check.GetPartUnit(IOptimiserCheck::TemperatureSpecs, 1), m.x);
    EXPECT_STREQ(check.GetTemperaturePortWord(0), "Hot outlet");
    EXPECT_STREQ(check.GetTemperaturePortWord(1), "Cold outlet");
    // Beyond the end: the last entry.
    EXPECT_STREQ(check.GetTemperaturePortWord(5), "Cold outlet");
    EXPECT_EQ(check.GetPartUnit(IOptimiserCheck::TemperatureSpecs, 9), m.x);
}

TEST(OptimiserCheckTexts, EachPartHasItsOwnMessage) {
    OneMatch infeasible(95.0);
    OptimiserCheck failing(infeasible.d, "D1");
    failing.Check();
    EXPECT_STREQ(failing.GetPartMessage(IOptimiserCheck::Feasibility),
                 "The optimizer cannot run if there are infeasible heat exchangers in the network.");
    EXPECT_EQ(failing.GetNumberOfPartUnits(IOptimiserCheck::Feasibility), 1);

    OneMatch m;
    OptimiserCheck check(m.d, "D1");
    check.Check();
    EXPECT_STREQ(check.GetPartMessage(IOptimiserCheck::DegreesOfFreedom), "Degrees of freedom are OK.");
    EXPECT_STREQ(check.GetPartMessage(IOptimiserCheck::Feasibility), "There are not infeasible heat exchangers.");
    EXPECT_STREQ(check.GetPartMessage(IOptimiserCheck::UntiedStreams), "There are not untied streams");
    EXPECT_STREQ(check.GetPartMessage(IOptimiserCheck::TemperatureSpecs), "There are not specified temperatures.");
    EXPECT_STREQ(check.GetPartMessage(IOptimiserCheck::Options), "Optimizations options are OK.");
    EXPECT_EQ(check.GetNumberOfPartUnits(IOptimiserCheck::Feasibility), 0);
    ASSERT_EQ(check.GetNumberOfPartUnits(IOptimiserCheck::DegreesOfFreedom), 1);
    EXPECT_STREQ(check.GetUnitStatusText(0), OptimiserCheck::StatusText(AsHeatExch(m.x)->getStatus()));
    EXPECT_STREQ(check.GetUnitStatusText(1), "");
    EXPECT_STREQ(check.GetUnitStatusText(-1), "");
}

struct StatusCase {
    int status;
    const char* text;
};
void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << "status " << c.status << " reads \"" << c.text << "\"";
}

class OptimiserCheckStatusTexts : public ::testing::TestWithParam<StatusCase> {};

TEST_P(OptimiserCheckStatusTexts, NameTheCalculationStatus) {
    EXPECT_STREQ(OptimiserCheck::StatusText(GetParam().status), GetParam().text) << GetParam().status;
}

INSTANTIATE_TEST_SUITE_P(Statuses, OptimiserCheckStatusTexts,
                         ::testing::Values(StatusCase{0, "Under-specified"}, StatusCase{1, ""},
                                           StatusCase{2, "Over-specified"}, StatusCase{3, "Calculations OK"},
                                           StatusCase{4, "Failed to calculate"}, StatusCase{5, ""},
                                           StatusCase{6, "Failed to calculate"}, StatusCase{7, "Partially calculated"},
                                           StatusCase{8, "Under-specified"}, StatusCase{9, "Under-specified"},
                                           StatusCase{10, ""}));

}  // namespace
