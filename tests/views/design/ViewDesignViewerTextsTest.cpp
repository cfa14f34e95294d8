// The design viewer's texts: status words by calculation status, the pinch text in the user's
// units, the utility list with its "**New**" row, exchanger and stream names of the row lists,
// the exchanger kind, the summary line, captions by index, the retrofit result name, and the
// answers without a design or for another value kind.
#include "eng/design/IHENDesign.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "tests/eng/design/OperationTestSupport.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "views/design/DesignValueRows.h"

#include <gtest/gtest.h>

namespace {

using design_viewer_test::ViewerNetwork;

std::string textOf(HIDesignViewerDesign& v, int type, int number, int row = 0, int second = 0) {
    VarDescription var(type, number);
    var.SetOffset(0, row);
    var.SetOffset(1, second);
    return v.TextValue(var).c_str();
}

std::string named(HIDesignViewerDesign& v, const char* address, int row = 0) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(address, var)) << address;
    var.SetOffset(0, row);
    return v.TextValue(var).c_str();
}

std::string unitName(ViewerNetwork& n, int i) {
    CNode* unit = nullptr;
    return n.d->GetHeatExchanger(i, unit) ? HIDesignViewerDesign::UnitName(unit).c_str() : "";
}

struct StatusCase {
    int status;
    const char* key;  // null: no text
};
void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << "status " << c.status << ": " << (c.key ? c.key : "no text");
}

class ViewDesignViewerStatusWords : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ViewDesignViewerStatusWords, ByCalculationStatus) {
    const StatusCase& c = GetParam();
    const char* key = design_rows::StatusKey(c.status);
    if (!c.key) EXPECT_EQ(nullptr, key);
    else EXPECT_STREQ(c.key, key);
}

INSTANTIATE_TEST_SUITE_P(Keys, ViewDesignViewerStatusWords,
                         ::testing::Values(StatusCase{0, "StatusUnderSpecified"}, StatusCase{1, nullptr},
                                           StatusCase{2, "StatusOverSpecified"}, StatusCase{3, "StatusOK"},
                                           StatusCase{4, "StatusInfeasible"}, StatusCase{5, nullptr},
                                           StatusCase{6, "StatusFailedCalc"}, StatusCase{7, "StatusPartialCalc"},
                                           StatusCase{8, "StatusStreamUnderSpecified"}, StatusCase{9, "STUnknown"},
                                           StatusCase{-1, "STUnknown"}));

TEST(ViewDesignViewerTexts, ThePinchTextIsInTheUsersTemperatureUnit) {
    const int set = GetDisplayUnitSet();
    SetDisplayUnitSet(SIUnits);
    EXPECT_EQ("90.00 C / 80.00 C", std::string(design_rows::PinchText(90.0, 80.0).c_str()));
    // 90 C is 194 F, 80 C 176 F.
    SetDisplayUnitSet(CustomaryUnits);
    EXPECT_EQ("194.00 F / 176.00 F", std::string(design_rows::PinchText(90.0, 80.0).c_str()));
    SetDisplayUnitSet(set);
    EXPECT_EQ("", std::string(design_rows::PinchText(Viewable::EmptyValue, 80.0).c_str()));
}

TEST(ViewDesignViewerTexts, WithoutADesignTheFrameworkAnswersAndOtherKindsAreEmpty) {
    ViewerNetwork n;
    n.Units("p");
    auto unbound = n.Viewer(false);
    for (int number : {212, 300, 764}) {
        VarDescription var(1519, number);
        EXPECT_EQ(unbound->Viewable::TextValue(var), unbound->TextValue(var)) << number;
    }
    auto viewer = n.Viewer();
    EXPECT_EQ("", textOf(*viewer, 6, 300));
    EXPECT_EQ("", textOf(*viewer, 1519, 399));
    EXPECT_EQ(unitName(n, 0), textOf(*viewer, 1519, 300));
    EXPECT_EQ("D1", named(*viewer, "Name.299"));
}

TEST(ViewDesignViewerTexts, TheUtilityListEndsWithANewRow) {
    ViewerNetwork n;
    auto viewer = n.Viewer();
    EXPECT_EQ("ST", textOf(*viewer, 1519, 764, 0));
    EXPECT_EQ("CW", textOf(*viewer, 1519, 764, 1));
    ASSERT_NE(nullptr, viewer->GetCurrentStream());
    EXPECT_EQ("CW", std::string(viewer->GetCurrentStream()->GetName().c_str()));
    EXPECT_EQ("**New**", textOf(*viewer, 1519, 764, 2));
    EXPECT_EQ("", textOf(*viewer, 1519, 764, 3));
}

TEST(ViewDesignViewerTexts, RowListNamesKindsAndStreams) {
    ViewerNetwork n;
    n.Units("phcp");
    // The heater and the first process exchanger have their areas specified.
    for (int i : {0, 1}) {
        CNode* unit = nullptr;
        ASSERT_TRUE(n.d->GetHeatExchanger(i, unit));
        unit->addVariable("HTArea", 10.0, 1);
    }
    auto viewer = n.Viewer();
    viewer->nFilterHeaters = viewer->nFilterCoolers = 0;
    // Filtered rows: the two process exchangers; a row past the list names nothing.
    EXPECT_EQ(unitName(n, 3), named(*viewer, "Name.300", 1));
    EXPECT_EQ("", named(*viewer, "Name.300", 2));
    EXPECT_EQ("C2", named(*viewer, "Name.345", 1));
    EXPECT_EQ("H2", named(*viewer, "Name.348", 1));
    EXPECT_EQ("H2", std::string(viewer->GetCurrentStream()->GetName().c_str()));
    // The area-specified list: a process exchanger, then the heater on steam.
    EXPECT_EQ("Process", named(*viewer, "HeatExchType.400", 0));
    EXPECT_EQ("Heater", named(*viewer, "HeatExchType.400", 1));
    EXPECT_EQ("", named(*viewer, "HeatExchType.400", 2));
    EXPECT_EQ(unitName(n, 1), textOf(*viewer, 1519, 306, 1));
    // The unconfigured cooler list and the utility of a filtered utility exchanger.
    EXPECT_EQ(unitName(n, 2), textOf(*viewer, 1519, 318, 0));
    viewer->nFilterProcess = 0;
    viewer->nFilterHeaters = 3;
    EXPECT_EQ("ST", named(*viewer, "Name.780", 0));
    // The flowsheet names of the direct row's ports: hot outlet, hot inlet, cold outlet, cold inlet.
    CNode* unit = nullptr;
    ASSERT_TRUE(n.d->GetHeatExchanger(0, unit));
    HeatExch* hx = AsHeatExch(unit);
    EXPECT_EQ(std::string(hx->getOutlet(0)->getName().c_str()), textOf(*viewer, 1519, 1050, 0));
    EXPECT_EQ(std::string(hx->getInlet(1)->getName().c_str()), textOf(*viewer, 1519, 1053, 0));
    // The other stream of a unit on the selected stream.
    viewer->strSelectedStream = "C1";
    EXPECT_EQ(unitName(n, 0), textOf(*viewer, 1519, 766, 0));
    EXPECT_EQ("H1", textOf(*viewer, 1519, 771, 0));
    viewer->strSelectedStream = "";
    EXPECT_EQ("", textOf(*viewer, 1519, 766, 0));
}

// Once the lock has solved the network, the operating mode's status line says so and its cell
// takes the colour of a solved network; a lock whose network does not solve (no film
// coefficients) says that instead.
TEST(ViewDesignViewerTexts, TheLockedOperationShowsWhetherItsStateConverged) {
    design_test::OperatedNetwork operated;
    auto solved = std::make_unique<HIDesignViewerDesign>(nullptr, "Operated",
                                                         ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    solved->SetScenario(operated.scenario.get());
    solved->SetEngineeringDesign(operated.d, false);
    EXPECT_EQ(Viewable::EmptyValue, solved->Value(VarDescription(100, 231)));
    operated.d->LockOperation();
    ASSERT_EQ(1, operated.d->GetCalculationStatus());
    EXPECT_EQ("Calculation status: Converged", textOf(*solved, 1519, 231));
    EXPECT_EQ(46.0, solved->Value(VarDescription(100, 231)));

    ViewerNetwork n;
    n.Units("pp");
    auto unsolved = n.Viewer();
    n.d->LockOperation();
    ASSERT_EQ(2, n.d->GetCalculationStatus());
    EXPECT_EQ("Calculation status: Not converged", textOf(*unsolved, 1519, 231));
    EXPECT_EQ(0.0, unsolved->Value(VarDescription(100, 231)));
}

TEST(ViewDesignViewerTexts, SummaryLineCaptionsAndPrompts) {
    ViewerNetwork n;
    auto viewer = n.Viewer();
    // No exchanger yet: nothing to calculate, all four process streams short.
    EXPECT_EQ("0 exchangers not calculated, 0 failed\tStreams not satisfied: 4 ", textOf(*viewer, 1519, 212));
    EXPECT_EQ(std::string("Degrees of freedom: ") + std::to_string(n.d->GetDegreesOfFreedom()), textOf(*viewer, 1519, 211));
    // The operating mode's lines are empty while the operation is unlocked.
    EXPECT_EQ("", textOf(*viewer, 1519, 230));
    EXPECT_EQ("", textOf(*viewer, 1519, 231));
    EXPECT_EQ("New Equipment", textOf(*viewer, 1519, 201, 2));
    EXPECT_EQ("", textOf(*viewer, 1519, 201, 3));
    EXPECT_EQ("% of BaseCase", textOf(*viewer, 1519, 800, 1, 1));
    EXPECT_EQ("% of Target", textOf(*viewer, 1519, 800, 1, 0));
    EXPECT_EQ("", textOf(*viewer, 1519, 800, 2));
    EXPECT_EQ("Cost Index", textOf(*viewer, 1519, 400));
    viewer->nEventKind = 3;
    EXPECT_EQ(std::string(FindString("SelectTeeToModifyFlowrate").c_str()), textOf(*viewer, 1519, 806));
    viewer->nEventKind = HIDesignViewerDesign::EmptyInt;
    EXPECT_EQ(std::string(FindString("ChangetoAnalyse").c_str()), textOf(*viewer, 1519, 806));
    viewer->nSetting211 = 3;
    EXPECT_EQ(std::string(FindString("ProcessHotUtility").c_str()), textOf(*viewer, 1519, 213));
    viewer->nSetting211 = 9;
    EXPECT_EQ("", textOf(*viewer, 1519, 213));
    // Without a retrofit result the check answers 0: no payback text.
    EXPECT_EQ(std::string(FindString("NegativePayback").c_str()), textOf(*viewer, 1519, 332));
}

TEST(ViewDesignViewerTexts, ADesignNamedLikeARetrofitResultIsNoResult) {
    ViewerNetwork n;
    ASSERT_NE(nullptr, n.Design("D1-1S"));
    ASSERT_NE(nullptr, n.Design("D1-2S"));
    ASSERT_NE(nullptr, n.Design("D1-1N"));
    auto viewer = n.Viewer();
    // No retrofit ran: the designs are the user's own, whatever their names say.
    for (int mode : {0, 1, 2, 4}) {
        viewer->nRetrofitMode = mode;
        EXPECT_EQ("", std::string(viewer->RetrofitResultName().c_str())) << mode;
    }
}

}  // namespace
