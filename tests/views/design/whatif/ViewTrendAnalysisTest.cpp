// The trend-analysis wizard: starting times and their confirmation, intervals, the time unit,
// the fouled-coefficient table, pages, exchanger flags that follow the study, node selection
// and the record.
#include "eng/design/HENTrend.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/TrendAnalysisView.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cmath>

using namespace whatif_test;

namespace {

constexpr double kMonth = 31536000.0 / 12.0;  // seconds

std::vector<double> shownTimes(TrendAnalysisView& view) {
    std::vector<double> times;
    for (int i = 0; i < Dims(view, "Time.354.[]")[0]; ++i) times.push_back(Get(view, "Time.354." + std::to_string(i)));
    return times;
}

void expectTimes(const std::vector<double>& expected, const std::vector<double>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(expected[i], actual[i], 1e-9) << "point " << i;
}

// A wizard over four intervals, times 0 .. 4 months.
struct FourIntervals : StudiedNetwork {
    FourIntervals() : view(nullptr, d) {
        JournalMark mark;
        EXPECT_EQ(1, Set(view, "ExtraData.350", 4));
        EXPECT_EQ(std::vector<std::string>{"ChangeIntervalNumberView"}, mark.FormsOpened());
        EXPECT_EQ(1, view.Message("ChangeIntervalNumber"));
    }
    TrendAnalysisView view;
};

struct StartingTimeCase {
    const char* name;
    int point;
    double time;
    std::vector<std::string> forms;  // opened by the write
    std::vector<std::string> errors;
    std::vector<double> afterWrite;
    std::vector<double> afterFill;  // after "FillFollowingStartingTimes"; empty: not sent
};

class ViewTrendAnalysisStartingTime : public ::testing::TestWithParam<StartingTimeCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const StartingTimeCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ViewTrendAnalysisStartingTime, OutOfOrderTimesAskOrAreRefused) {
    const StartingTimeCase& c = GetParam();
    FourIntervals w;
    expectTimes({0, 1, 2, 3, 4}, shownTimes(w.view));
    JournalMark mark;
    Set(w.view, "Time.354." + std::to_string(c.point), c.time);
    EXPECT_EQ(c.forms, mark.FormsOpened());
    EXPECT_EQ(c.errors, mark.Errors());
    expectTimes(c.afterWrite, shownTimes(w.view));
    if (c.afterFill.empty()) return;
    EXPECT_EQ(1, w.view.Message("FillFollowingStartingTimes"));
    expectTimes(c.afterFill, shownTimes(w.view));
    // Held in the study in its internal unit.
    EXPECT_NEAR(3.5 * kMonth, w.base->GetTimeAtPoint(1), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewTrendAnalysisStartingTime,
    ::testing::Values(
        StartingTimeCase{"PastTheNextPointAsks", 1, 3.5, {"StartingTimeConfirmView"}, {}, {0, 1, 2, 3, 4}, {0, 3.5, 4.5, 5.5, 6.5}},
        StartingTimeCase{"BetweenItsNeighboursIsSetAtOnce", 1, 1.5, {}, {}, {0, 1.5, 2, 3, 4}, {}},
        StartingTimeCase{"NotAfterThePreviousIsRefused", 1, 0.0, {}, {"lessthanprevioustime"}, {0, 1, 2, 3, 4}, {}},
        StartingTimeCase{"TheLastPointNeverAsks", 4, 40.0, {}, {}, {0, 1, 2, 3, 40}, {}},
        StartingTimeCase{"ThePointOutsideTheStudyIsIgnored", 5, 9.0, {}, {}, {0, 1, 2, 3, 4}, {}}),
    [](const ::testing::TestParamInfo<StartingTimeCase>& info) { return info.param.name; });

TEST(ViewTrendAnalysis, ANewTimeUnitKeepsTheNumbersAndChangesTheirMeaning) {
    FourIntervals w;
    EXPECT_EQ("months", GetText(w.view, "Time.300"));
    EXPECT_NEAR(kMonth, w.base->GetTimeAtPoint(1), 1e-6);
    EXPECT_EQ(1, SetText(w.view, "Time.300", "years"));
    EXPECT_EQ("years", GetText(w.view, "ExtraData.355"));
    expectTimes({0, 1, 2, 3, 4}, shownTimes(w.view));
    EXPECT_NEAR(31536000.0, w.base->GetTimeAtPoint(1), 1e-6);
    // Every unit of kind 44 the studies name; an unknown one changes nothing.
    for (const auto& [unit, seconds] : {std::pair{"hours", 3600.0}, std::pair{"days", 86400.0},
                                        std::pair{"weeks", 604800.0}, std::pair{"months", kMonth}}) {
        EXPECT_EQ(1, SetText(w.view, "Time.300", unit)) << unit;
        EXPECT_NEAR(3.0 * seconds, w.base->GetTimeAtPoint(3), 1e-6) << unit;
    }
    EXPECT_EQ(0, SetText(w.view, "Time.300", "fortnights"));
    EXPECT_EQ("months", GetText(w.view, "Time.300"));
}

TEST(ViewTrendAnalysis, TimeUnitsOfKind44ConvertFromSeconds) {
    struct Unit {
        const char* name;
        double seconds;
    };
    for (const Unit& u : {Unit{"hours", 3600.0}, Unit{"days", 86400.0}, Unit{"weeks", 604800.0}, Unit{"months", kMonth},
                          Unit{"years", 31536000.0}}) {
        UnitConversion c;
        ASSERT_TRUE(get_unit(44, u.name, DefaultUnits, c)) << u.name;
        EXPECT_NEAR(1.0, calc_ounit(u.seconds, c), 1e-12) << u.name;
        EXPECT_NEAR(2.0 * u.seconds, calc_unit(2.0, c), 1e-6) << u.name;
    }
}

TEST(ViewTrendAnalysis, TheCoefficientsAtPointZeroAreTheReferenceAndReadOnly) {
    FourIntervals w;
    EXPECT_EQ(1, Set(w.view, "Switch.361.0", 1));
    EXPECT_EQ(1, w.view.Message("SetSelectedList"));
    ASSERT_EQ(1, w.base->GetNumberOfFouledHeatExchangers());
    EXPECT_EQ("E-100", GetText(w.view, "ExtraData.372.0"));
    EXPECT_EQ((std::vector<int>{5, 1}), Dims(w.view, "HeatTransferCoeff.370.[].0"));
    EXPECT_EQ((std::vector<int>{1, 5}), Dims(w.view, "HeatTransferCoeff.371.0.[]"));
    ModifyState state = ModifiableState;
    int detail = 0;
    w.view.VariableStatus(At("HeatTransferCoeff.370.0.0"), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    w.view.VariableStatus(At("HeatTransferCoeff.370.1.0"), state, detail);
    EXPECT_EQ(ModifiableState, state);
    const double clean = Get(w.view, "HeatTransferCoeff.370.0.0");
    EXPECT_EQ(0, Set(w.view, "HeatTransferCoeff.370.0.0", 0.1));
    EXPECT_DOUBLE_EQ(clean, Get(w.view, "HeatTransferCoeff.370.0.0"));
    EXPECT_EQ(1, Set(w.view, "HeatTransferCoeff.370.2.0", 0.2));
    EXPECT_DOUBLE_EQ(0.2, w.base->GetFouledHTC("E-100", 2));
    EXPECT_DOUBLE_EQ(0.2, Get(w.view, "HeatTransferCoeff.371.0.2"));
    // Past the table: nothing is written.
    EXPECT_EQ(0, Set(w.view, "HeatTransferCoeff.370.5.0", 0.2));
    EXPECT_EQ(0, Set(w.view, "HeatTransferCoeff.370.1.1", 0.2));
}

TEST(ViewTrendAnalysis, PagesCountAndNeverGoBelowTheFirst) {
    StudiedNetwork n;
    TrendAnalysisView view(nullptr, n.d);
    EXPECT_EQ(1, view.Message("GoToPrevPage"));
    EXPECT_EQ(0.0, Get(view, "Index.201"));
    view.Message("GoToNextPage");
    view.Message("GoToNextPage");
    EXPECT_EQ(2.0, Get(view, "Index.201"));
    JournalMark mark;
    view.Message("ChangeInput");
    EXPECT_EQ(1.0, Get(view, "Index.201"));
    EXPECT_EQ(std::vector<std::string>{"WizardView"}, mark.FormsOpened());
    // Twelve intervals a month apart at construction.
    EXPECT_EQ((std::vector<int>{13}), Dims(view, "Time.354.[]"));
    EXPECT_NEAR(12.0, Get(view, "Time.354.12"), 1e-9);
    EXPECT_EQ("t12", GetText(view, "ExtraData.353.12"));
}

TEST(ViewTrendAnalysis, WithoutExchangersTheFlagsAreEmptyAndSelectingAllDoesNothing) {
    StudiedNetwork n(false);
    TrendAnalysisView view(nullptr, n.d);
    EXPECT_TRUE(view.Flags().empty());
    EXPECT_EQ((std::vector<int>{0}), Dims(view, "Switch.361.[]"));
    EXPECT_EQ(1, view.Message("SelectAllHX"));
    EXPECT_TRUE(view.Flags().empty());
    EXPECT_EQ(-32767.0, Get(view, "Switch.361.0"));
    EXPECT_EQ(0, Set(view, "Switch.361.0", 1));
}

TEST(ViewTrendAnalysis, WithoutAStudyNumbersAreEmptyAndWordsUnhandled) {
    design_test::OperatedNetwork n;
    TrendAnalysisView view(nullptr, n.d);
    EXPECT_EQ(nullptr, view.GetStudy());
    EXPECT_EQ(-32767.0, Get(view, "Index.201"));
    EXPECT_EQ(0, Set(view, "Index.390", 1));
    EXPECT_EQ("", GetText(view, "ExtraData.750"));
    EXPECT_EQ(0, view.Message("GoToNextPage"));
}

// A study whose exchangers grow after the view sized its flags.
class GrowingStudy : public HENTrend {
public:
    explicit GrowingStudy(IHENDesign* design) : HENTrend(design) {}
    int GetNumberOfHeatExchangers() const override { return count; }
    void GetHeatExchangerName(int index, CPString& out) const override { out = ("X" + std::to_string(index)).c_str(); }
    void AddFouledHeatExchanger(const CPString& name) override { fouled.push_back(name.c_str()); }
    void RemoveFouledHeatExchanger(const CPString&) override {}
    int count = 2;
    std::vector<std::string> fouled;
};

class GrowingDesign : public scenario_test::FakeDesign {
public:
    GrowingDesign() : FakeDesign("D1"), study(this) {}
    IHENTrend* GetDefaultStudy() const override { return const_cast<GrowingStudy*>(&study); }
    GrowingStudy study;
};

TEST(ViewTrendAnalysis, TheFlagsFollowTheStudysExchangersAsTheyGrow) {
    GrowingDesign design;
    TrendAnalysisView view(nullptr, &design);
    EXPECT_EQ(2u, view.Flags().size());
    design.study.count = 5;
    EXPECT_EQ((std::vector<int>{5}), Dims(view, "Switch.361.[]"));
    EXPECT_EQ(1, Set(view, "Switch.361.4", 1));
    EXPECT_EQ(1.0, Get(view, "Switch.361.4"));
    EXPECT_EQ(0, Set(view, "Switch.361.5", 1));
    view.Message("SelectAllHX");
    view.Message("SetSelectedList");
    EXPECT_EQ((std::vector<std::string>{"X0", "X1", "X2", "X3", "X4"}), design.study.fouled);
    design.study.count = 1;
    EXPECT_EQ(1u, view.Flags().size());
}

TEST(ViewTrendAnalysis, SelectingANodeMakesItsStudyCurrent) {
    StudiedNetwork n;
    TrendAnalysisView view(nullptr, n.d);
    TrendAnalysisNodeView* summary = view.GetSummaryNode();
    ASSERT_NE(nullptr, summary);
    EXPECT_EQ("Trend Analysis Summary", summary->GetName());
    EXPECT_EQ(summary, view.AttachedObject(At("TrendNodeViewObject.300")));
    EXPECT_EQ("TrendNodeViewObject.300", view.AttachedName(summary));
    // The default study's node is selected first.
    EXPECT_EQ(1.0, Get(view, "Index.300"));
    n.d->AddStudy();
    ASSERT_EQ(2u, summary->GetStudyNodes().size());
    StudyNodeView* study = summary->GetStudyNodes()[1];
    EXPECT_EQ("Study-1", study->GetName());
    EXPECT_EQ(study, view.GetSelectedView());
    EXPECT_EQ(1, view.AttachObject(At("Viewable.398"), summary));
    EXPECT_EQ(0.0, Get(view, "Index.300"));
    EXPECT_EQ(1, view.AttachObject(At("Viewable.398"), study));
    EXPECT_STREQ("Study-1", n.d->GetCurrentStudyName());
    EXPECT_EQ(study, view.AttachedObject(At("Viewable.399")));
    // The datasheets reach the summary node with their trend kind.
    EXPECT_EQ(summary, view.AttachedObject(At("TrendNodeViewObject.499.0")));
    EXPECT_EQ("Stream Outlet Temp Trend", view.GetNodeName());
    EXPECT_EQ(summary, view.AttachedObject(At("TrendNodeViewObject.498.0")));
    EXPECT_EQ("Utility Stream Trend", view.GetNodeName());
}

TEST(ViewTrendAnalysis, ModifyingTheCoefficientsDeletesTheStudiesAndTheirNodes) {
    StudiedNetwork n;
    TrendAnalysisView view(nullptr, n.d);
    n.d->AddStudy();
    n.d->AddStudy();
    ASSERT_EQ(3u, view.GetSummaryNode()->GetStudyNodes().size());
    EXPECT_EQ(1, view.Message("ModifyUValue"));
    EXPECT_EQ(1.0, Get(view, "Index.390"));
    EXPECT_EQ(0, n.d->GetNumberOfStudies());
    EXPECT_EQ(1u, view.GetSummaryNode()->GetStudyNodes().size());
    view.Message("NotModifyUValue");
    EXPECT_EQ(0.0, Get(view, "Index.390"));
}

}  // namespace
