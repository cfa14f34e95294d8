// An exchanger that wrote goes back on the work list; it is passed over there when its own
// calculation showed that a repeat over its own writes would write nothing. Whatever the
// exchanger reads back of its own writes, the design must end where a list that calculated it
// again would: at rest, so that one more calculation of any exchanger writes nothing.
#include "DesignTestSupport.h"

#include "pellin/FlowSheet.h"

#include <functional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

using namespace design_test;

namespace {

struct Case {
    const char* name;
    // The kind of the exchanger (countercurrent or shell-and-tube).
    const char* kind;
    // What is given to the exchanger besides its duty.
    std::function<void(HeatExch&)> give;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class SettledExchangerTest : public ::testing::TestWithParam<Case> {};

// H (150 -> 50 C, 2 kW/C) gives 60 kW to C (30 -> 100 C, 3 kW/C) in X: C leaves X at 50 C and H
// at 120 C, whatever else the case gives X.
TEST_P(SettledExchangerTest, ADesignEndsAtRestWhateverTheExchangerReadsBackOfItsOwnWrites) {
    const Case& c = GetParam();
    DesignScenario s;
    s.Add("H", 150, 50, 2.0);
    s.Add("C", 30, 100, 3.0);
    for (const char* name : {"H", "C"}) s.scenario->FindStream(name)->SetValue("HTCoeff", 0.5, 0);
    CPIHENDesign* d = s.Design("D1");
    ASSERT_NE(d, nullptr);
    d->Deactivate();
    CNode* unit = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, c.kind, nullptr);
    HeatExch* x = AsHeatExch(unit);
    ASSERT_NE(x, nullptr);
    // The placeholders after X take what the streams still need.
    ASSERT_TRUE(d->RemoveUtilityAtPort(unit, 0) && d->RemoveUtilityAtPort(unit, 2));
    x->addVariable(NodeValue::Duty, 60.0, ValueStatus::Specified);
    c.give(*x);
    d->Activate(1);
    double hotOut = 0.0, coldOut = 0.0, area = 0.0;
    ASSERT_TRUE(x->getOutlet(0)->getVariableAsDouble(NodeValue::Temperature, hotOut));
    ASSERT_TRUE(x->getOutlet(1)->getVariableAsDouble(NodeValue::Temperature, coldOut));
    EXPECT_NEAR(hotOut, 120.0, 1e-9);
    EXPECT_NEAR(coldOut, 50.0, 1e-9);
    EXPECT_TRUE(x->getVariableAsDouble(NodeValue::HTArea, area) && area > 0.0);
    for (CNode* node : d->GetFlowSheet()->getAllNodes())
        if (HeatExch* other = AsHeatExch(node)) {
            EXPECT_EQ(other->Calculate(CPIHENDesign::CodeFlowsheetChanged), 0) << node->getName().c_str();
        }
}

INSTANTIATE_TEST_SUITE_P(
    OwnValuesReadBack, SettledExchangerTest,
    ::testing::Values(
        Case{"DutyOnly", NodeKind::CountercurrentHX, [](HeatExch&) {}},
        // The shells are flagged as given but none are: the first calculation finds them (with the
        // given F) and writes them, a second reads them as given (and takes F from them).
        Case{"ShellsFlaggedAsGiven", NodeKind::HeatExchanger,
             [](HeatExch& x) {
                 x.addVariable(NodeValue::ShellsInSeriesSpecified, 1.0, ValueStatus::Specified);
                 x.addVariable(NodeValue::FtFactor, 0.9, ValueStatus::Specified);
             }},
        // The overall-coefficient switch without a coefficient: the first calculation writes the
        // one its films give, a second takes that as given.
        Case{"CoefficientSwitchWithoutCoefficient", NodeKind::CountercurrentHX,
             [](HeatExch& x) { x.SetOverallUSpec(true); }}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// X1 (H1 -> C) has no duty and nothing settles it, so C reaches X2 (H2 -> C, 30 kW) without a
// temperature: X2 passes its duty on along H2 only (130 -> 100 C at 1 kW/C) and says that a side
// has no temperature, and so it stays when calculated again.
TEST(SettledExchanger, AnExchangerWithoutTemperaturesOnOneSidePassesItsDutyOnOnce) {
    DesignScenario s;
    s.Add("H1", 150, 50, 2.0);
    s.Add("H2", 130, 70, 1.0);
    s.Add("C", 30, 100, 3.0);
    for (const char* name : {"H1", "H2", "C"}) s.scenario->FindStream(name)->SetValue("HTCoeff", 0.5, 0);
    CPIHENDesign* d = s.Design("D1");
    ASSERT_NE(d, nullptr);
    d->Deactivate();
    CNode* x1 = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C", 0), nullptr,
                                    NodeKind::CountercurrentHX, nullptr);
    ASSERT_NE(x1, nullptr);
    ASSERT_TRUE(d->RemoveUtilityAtPort(x1, 0) && d->RemoveUtilityAtPort(x1, 2));
    CNode* x2 = d->AddHeatExchanger(NthSegment(*d, "H2", 0), NthSegment(*d, "C", 1), nullptr,
                                    NodeKind::CountercurrentHX, nullptr);
    ASSERT_NE(x2, nullptr);
    ASSERT_TRUE(d->RemoveUtilityAtPort(x2, 0));
    x2->addVariable(NodeValue::Duty, 30.0, ValueStatus::Specified);
    d->Activate(1);
    HeatExch* second = AsHeatExch(x2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getStatus(), ExchangerStatus::NoTemperatureOnSide);
    double hotOut = 0.0, coldIn = 0.0;
    ASSERT_TRUE(second->getOutlet(0)->getVariableAsDouble(NodeValue::Temperature, hotOut));
    EXPECT_NEAR(hotOut, 100.0, 1e-9);
    EXPECT_FALSE(second->getInlet(1)->isKnown(NodeValue::Temperature, coldIn));
    for (CNode* node : {x1, x2}) {
        EXPECT_EQ(node->Calculate(CPIHENDesign::CodeFlowsheetChanged), 0) << node->getName().c_str();
    }
    EXPECT_EQ(second->getStatus(), ExchangerStatus::NoTemperatureOnSide);
}

}  // namespace
