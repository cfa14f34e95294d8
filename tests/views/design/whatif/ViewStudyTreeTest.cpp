// The study tree under the trend-analysis wizard: the summary node follows the design's
// studies, serves the comparison table and walks its datasheet; a study node adds cleanings,
// flow changes and throughput changes, runs its study and draws its trend plot; the event
// nodes move, change and leave with their events.
#include "eng/design/HENTrend.h"
#include "eng/design/IHENEvent.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "tests/views/design/DesignViewerTestSupport.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"
#include "views/design/whatif/StudyEventNodeViews.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/TrendAnalysisView.h"

#include <gtest/gtest.h>

using namespace whatif_test;

namespace {

// The wizard over a locked network with one study beside the default; E-100 fouls in both.
struct Tree : StudiedNetwork {
    explicit Tree(int intervals = 12) : wizard(nullptr, d) {
        base->SetNumberOfIntervals(intervals);
        for (int t = 0; t <= intervals; ++t) base->SetTimeAtPoint(t, t * 2628000.0);
        base->AddFouledHeatExchanger("E-100");
        for (int t = 1; t <= intervals; ++t) base->SetFouledHTC("E-100", t, 0.25 - 0.02 * t);
        d->AddStudy();
        summary = wizard.GetSummaryNode();
        study = summary->GetStudyNodes().back();
        trend = d->GetStudy(0);
    }
    // Selects a node as the form does, which makes its study and event current.
    void Select(Viewable* node) { EXPECT_EQ(1, wizard.AttachObject(At("Viewable.398"), node)); }
    // A cleaning of E-100 from point 2 to point 4 added on the study's node, as its form adds it;
    // the study's event nodes after it.
    const std::vector<Viewable*>& AddCleaning() {
        Set(*study, "Enum.500", 1);
        Set(*study, "Enum.400", 0);
        Set(*study, "Enum.391", 2);
        Set(*study, "Enum.392", 4);
        EXPECT_EQ(1, study->Message("AddEventToStudy"));
        return study->GetEventNodes();
    }
    TrendAnalysisView wizard;
    TrendAnalysisNodeView* summary = nullptr;
    StudyNodeView* study = nullptr;
    IHENTrend* trend = nullptr;
};

std::vector<std::string> nodeNames(const TrendAnalysisNodeView& summary) {
    std::vector<std::string> names;
    for (const StudyNodeView* node : summary.GetStudyNodes()) names.push_back(node->GetName().c_str());
    return names;
}

TEST(ViewStudyTree, TheSummaryFollowsTheStudiesAddedAndRenamed) {
    Tree t;
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Study-1"}), nodeNames(*t.summary));
    EXPECT_EQ(t.study, t.wizard.GetSelectedView());
    EXPECT_EQ(t.study, t.summary->AttachedObject(At("StudyNodeView.300.1")));
    EXPECT_EQ("StudyNodeView.300.1(Study-1)", t.summary->AttachedName(t.study));
    EXPECT_EQ(1, t.summary->Message("AddStudyToTrendAnalysis"));
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Study-1", "Study-2"}), nodeNames(*t.summary));
    EXPECT_EQ((std::vector<int>{3}), Dims(*t.summary, "ExtraData.393.[]"));
    // The current study takes the name; a name another study holds changes nothing.
    t.Select(t.study);
    EXPECT_EQ(1, SetText(*t.summary, "ExtraData.390", "Cleaning"));
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Cleaning", "Study-2"}), nodeNames(*t.summary));
    EXPECT_EQ("Cleaning", GetText(*t.summary, "ExtraData.393.1"));
    EXPECT_EQ(0, SetText(*t.summary, "ExtraData.390", "Study-2"));
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Cleaning", "Study-2"}), nodeNames(*t.summary));
    EXPECT_STREQ("Cleaning", t.d->GetCurrentStudyName());
    // The removed study's node goes and the summary becomes the selected node.
    EXPECT_EQ(1, t.study->Message("RemoveStudyFromDesign"));
    EXPECT_EQ((std::vector<std::string>{"Default Study", "Study-2"}), nodeNames(*t.summary));
    EXPECT_EQ(t.summary, t.wizard.GetSelectedView());
}

// The four textbook streams with steam and cooling water, two exchangers, a heater and a
// cooler, locked, with one
// study beside the default over two intervals: three points and two utility series.
struct UtilityTree : design_viewer_test::ViewerNetwork {
    UtilityTree() {
        Units("pphc");
        d->LockOperation();
        d->AddStudy();
        base = d->GetDefaultStudy();
        base->SetNumberOfIntervals(2);
        d->AddStudy();
        wizard = std::make_unique<TrendAnalysisView>(nullptr, d);
        summary = wizard->GetSummaryNode();
        summary->PopulateStudy();
    }
    IHENTrend* base = nullptr;
    std::unique_ptr<TrendAnalysisView> wizard;
    TrendAnalysisNodeView* summary = nullptr;
};

TEST(ViewStudyTree, TheDatasheetWalksEachSeriesOverEveryStudyAndPoint) {
    UtilityTree t;
    IHENTrend* study = t.d->GetStudy(0);
    ASSERT_NE(nullptr, study);
    t.d->CalculateDefaultStudy();
    t.d->SelectStudy(study->GetName());
    t.d->CalculateCurrentStudy();
    const int series = t.base->GetNumberOfTrendSeries("Utility Stream Trend");
    ASSERT_EQ(2, series);
    // The form reaches the summary as its first datasheet, reads the header, then the cells.
    ASSERT_EQ(t.summary, t.wizard->AttachedObject(At("TrendNodeViewObject.498.0")));
    CPString first, second;
    t.base->GetTrendSeriesName("Utility Stream Trend", 0, first);
    t.base->GetTrendSeriesName("Utility Stream Trend", 1, second);
    EXPECT_EQ(Text(first), GetText(*t.summary, "ExtraData.385.0"));
    EXPECT_EQ(Text(second), GetText(*t.summary, "ExtraData.385.1"));
    EXPECT_EQ((std::vector<int>{2, 3}), Dims(*t.summary, "HeatFlow.550.[].0"));
    int read = 0;
    for (int k = 0; k < series; ++k)
        for (int s = 0; s < 2; ++s)
            for (int p = 0; p < 3; ++p) {
                ++read;
                IHENTrend* row = s == 0 ? t.base : study;
                const double expected = row->GetTrendValue("Utility Stream Trend", p, k == 0 ? first : second);
                ASSERT_NE(-32767.0, expected) << "read " << read;
                EXPECT_DOUBLE_EQ(expected, Get(*t.summary, "HeatFlow.550." + std::to_string(s) + "." + std::to_string(p)))
                    << "read " << read;
            }
    EXPECT_EQ(12, read);
    EXPECT_EQ(-32767.0, Get(*t.summary, "HeatFlow.550.0.0"));
    // A new header starts a new walk.
    GetText(*t.summary, "ExtraData.385.0");
    EXPECT_DOUBLE_EQ(t.base->GetTrendValue("Utility Stream Trend", 0, first), Get(*t.summary, "HeatFlow.550.0.0"));
}

TEST(ViewStudyTree, TheOutletDatasheetMovesToTheNextStreamAfterEachBlock) {
    Tree t(2);
    t.d->CalculateDefaultStudy();
    ASSERT_EQ(t.summary, t.wizard.AttachedObject(At("TrendNodeViewObject.499.0")));
    const int series = t.base->GetNumberOfTrendSeries("Stream Outlet Temp Trend");
    ASSERT_EQ(4, series);
    for (int k = 0; k < series; ++k) GetText(*t.summary, "ExtraData.386." + std::to_string(k));
    // Point 0 of the default study, read at the start of each block of 2 x 3 cells.
    std::vector<double> walked, expected;
    for (int k = 0; k < series; ++k) {
        CPString name;
        t.base->GetTrendSeriesName("Stream Outlet Temp Trend", k, name);
        expected.push_back(t.base->GetTrendValue("Stream Outlet Temp Trend", 0, name));
        walked.push_back(Get(*t.summary, "Temperature.550.0.0"));
        for (int cell = 1; cell < 6; ++cell) Get(*t.summary, "Temperature.550.0.0");
    }
    EXPECT_EQ(expected, walked);
    EXPECT_NE(expected[0], expected[2]);
    EXPECT_EQ(-32767.0, Get(*t.summary, "Temperature.550.0.0"));
}

TEST(ViewStudyTree, TheComparisonTableReadsTheSelectedSeriesOfEachStudy) {
    Tree t(2);
    t.d->CalculateDefaultStudy();
    EXPECT_EQ((std::vector<int>{2, 3}), Dims(*t.summary, "HeatFlow.450.[].0"));
    EXPECT_EQ(1, Set(*t.summary, "Enum.381", 1));
    CPString name;
    t.base->GetTrendSeriesName("Utility Stream Trend", 1, name);
    EXPECT_DOUBLE_EQ(t.base->GetTrendValue("Utility Stream Trend", 2, name), Get(*t.summary, "HeatFlow.450.0.2"));
    // A new trend kind resets the series.
    EXPECT_EQ(1, Set(*t.summary, "Enum.380", 1));
    EXPECT_EQ(0.0, Get(*t.summary, "Enum.381"));
    EXPECT_EQ(1.0, Get(*t.summary, "Index.401"));
    EXPECT_EQ(0, Set(*t.summary, "Enum.380", 4));
    VarEnumInfo* kinds = t.summary->GetEnumInfo(VariableNameInfo(At("Enum.380"), Text()));
    ASSERT_NE(nullptr, kinds);
    EXPECT_EQ(4, kinds->NumberOfEntries());
    EXPECT_EQ("Cumulative Profit Index", kinds->GetEntry(3)->text);
    EXPECT_DOUBLE_EQ(t.base->GetCumulativeProfitIndex(), Get(*t.summary, "Cost.450.0"));
    EXPECT_EQ("1 months", GetText(*t.summary, "ExtraData.392.1"));
    // The sizes the forms ask for alone: the time points of the table, the series of the
    // study's kind and the four flow-change columns.
    EXPECT_EQ((std::vector<int>{3}), Dims(*t.summary, "Time.391.[]"));
    EXPECT_EQ(1, Set(*t.study, "Enum.380", 0));
    EXPECT_EQ((std::vector<int>{t.base->GetNumberOfTrendSeries("Utility Stream Trend")}),
              Dims(*t.study, "ExtraData.382.[]"));
    EXPECT_EQ((std::vector<int>{4}), Dims(*t.study, "ExtraData.402.[]"));
}

TEST(ViewStudyTree, APutBackNeverComesBeforeTheRemoval) {
    Tree t;
    EXPECT_EQ(1, Set(*t.study, "Enum.392", 1));
    EXPECT_EQ(1, Set(*t.study, "Enum.391", 3));
    EXPECT_EQ(3.0, Get(*t.study, "Enum.392"));
    EXPECT_EQ(0, Set(*t.study, "Enum.392", 2));
    EXPECT_EQ(3.0, Get(*t.study, "Enum.392"));
    EXPECT_EQ(1, Set(*t.study, "Enum.392", 5));
    // The put-back choice hides the points before the removal.
    VarEnumInfo* points = t.study->GetEnumInfo(VariableNameInfo(At("Enum.392"), Text()));
    ASSERT_NE(nullptr, points);
    EXPECT_EQ(13, points->NumberOfEntries());
    EXPECT_EQ(10, points->NumberOfVisibleEntries());
    EXPECT_EQ("3 months", points->GetEntry(3)->text);
}

// A study runs what its points hold: a fouling profile alone is a study, and one whose points hold
// no event at all (E-100 no longer fouled) has nothing to run.
TEST(ViewStudyTree, AStudyWithoutEventsCannotBeExecuted) {
    Tree t;
    EXPECT_TRUE(t.trend->NeedsCalculation());
    t.trend->RemoveFouledHeatExchanger("E-100");
    JournalMark mark;
    EXPECT_EQ(0, t.study->Message("ExecTrend"));
    EXPECT_EQ(std::vector<std::string>{"CannotExecuteStudy"}, mark.Errors());
    EXPECT_EQ(0.0, Get(*t.summary->GetStudyNodes()[0], "Switch.399"));
    EXPECT_EQ(1.0, Get(*t.study, "Switch.399"));
}

TEST(ViewStudyTree, AThroughputChangeAddsAFlowChangePerProcessStream) {
    Tree t;
    JournalMark mark;
    EXPECT_EQ(0, Set(*t.study, "Percent.200", -100.0));
    EXPECT_EQ(std::vector<std::string>{"CannotAcceptThisPercentValue"}, mark.Errors());
    EXPECT_EQ(0.0, Get(*t.study, "Percent.200"));
    // A trace of the flow is kept at the lowest change itself.
    EXPECT_EQ(1, Set(*t.study, "Percent.200", -99.99));
    EXPECT_EQ(1, Set(*t.study, "Percent.200", 10.0));
    EXPECT_EQ(1, Set(*t.study, "Enum.393", 4));
    EXPECT_EQ(1, t.study->Message("AcceptThroughputChanges"));
    const int streams = t.trend->GetNumberOfStreams();
    ASSERT_EQ(4, streams);
    ASSERT_EQ(streams, t.trend->GetNumberOfSpecialEvents());
    for (int i = 0; i < streams; ++i) {
        const IHENTrendSpecialEvent* e = t.trend->GetSpecialEvent(i);
        EXPECT_STREQ(t.trend->GetStreamName(i), e->GetStreamName());
        EXPECT_EQ(4, e->GetTimePoint());
        EXPECT_NEAR(1.1 * t.trend->GetStreamMassFlow(i), e->GetNewValue(), 1e-12);
    }
    ASSERT_EQ(static_cast<std::size_t>(streams), t.study->GetEventNodes().size());
    EXPECT_TRUE(t.study->GetEventNodes()[0]->IsA(SpecialEventNodeView::TypeName));
    EXPECT_EQ(0.0, Get(*t.study, "Percent.200"));
    EXPECT_EQ("Viewable.300.0(H1_at_t4)", t.study->AttachedName(t.study->GetEventNodes()[0]));
    // With events the study needs calculating and runs.
    t.Select(t.study);
    EXPECT_EQ(1, t.study->Message("ExecTrend"));
    EXPECT_NE(0, t.trend->GetStatus());
}

TEST(ViewStudyTree, TheTrendPlotSetsTheStudyBesideTheDefaultStudy) {
    Tree t(2);
    MessageInfo info;
    info.code = 6;
    info.name = ":TrendPlot";
    ASSERT_TRUE(t.study->GenMessage(info));
    auto* plot = static_cast<TwoDimPlot*>(info.answer);
    ASSERT_NE(nullptr, plot);
    EXPECT_EQ(plot, t.study->AttachedObject(At("TwoDimPlotObject.200")));
    EXPECT_EQ("Time(months)", plot->GetXAxisPtr()->title);
    EXPECT_EQ("Utility Stream Trend", plot->title);
    EXPECT_EQ("Heat Flow", plot->GetYAxisPtr()->title);
    const PlottedData* base = plot->GetPlotArea().GetDataSet(0);
    const PlottedData* study = plot->GetPlotArea().GetDataSet(1);
    ASSERT_NE(nullptr, base);
    ASSERT_NE(nullptr, study);
    EXPECT_EQ("Default Study", base->Label());
    EXPECT_EQ("Study-1", study->Label());
    EXPECT_EQ(RedColour().Hex(), base->appearance.colour.Hex());
    EXPECT_EQ(BlueColour().Hex(), study->appearance.colour.Hex());
    EXPECT_EQ(":Time.391.[]", base->XMoniker());
    EXPECT_EQ("HeatFlow.450.1.[]", study->YMoniker());
    // A new kind redraws it.
    EXPECT_EQ(1, Set(*t.study, "Enum.380", 2));
    EXPECT_EQ("Profit Index Trend", plot->title);
    EXPECT_EQ("CostPerTime.450.0.[]", plot->GetPlotArea().GetDataSet(0)->YMoniker());
    // The times along x, in the study's unit.
    t.d->CalculateDefaultStudy();
    const std::vector<CanvasPoint> points = plot->ResolvePoints(*plot->GetPlotArea().GetDataSet(0));
    ASSERT_EQ(3u, points.size());
    EXPECT_NEAR(2.0, points[2].x, 1e-9);
}

TEST(ViewStudyTree, CleaningNodesMoveWithTheirEventAndLeaveWithIt) {
    Tree t;
    ASSERT_EQ(1u, t.AddCleaning().size());
    auto* node = static_cast<EventNodeView*>(t.study->GetEventNodes()[0]);
    ASSERT_TRUE(node->IsA(EventNodeView::TypeName));
    EXPECT_EQ("E-100_from_t2_to_t4", node->GetName());
    EXPECT_EQ("E-100", GetText(*node, "ExtraData.302"));
    // An overlapping cleaning is refused with the study's key.
    JournalMark mark;
    Set(*t.study, "Enum.391", 3);
    EXPECT_EQ(0, t.study->Message("AddEventToStudy"));
    EXPECT_EQ(std::vector<std::string>{"WrongRangeForEvent"}, mark.Errors());
    // Selected, it moves through the study (106), which renames its node (107).
    t.Select(node);
    EXPECT_EQ(2.0, Get(*node, "Enum.391"));
    EXPECT_EQ(1, Set(*node, "Enum.391", 2));
    EXPECT_EQ("E-100_from_t2_to_t4", node->GetName());
    EXPECT_EQ(1, Set(*node, "Enum.392", 6));
    EXPECT_EQ("E-100_from_t2_to_t6", node->GetName());
    EXPECT_EQ(6.0, Get(*node, "Enum.392"));
    VarEnumInfo* starts = node->GetEnumInfo(VariableNameInfo(At("Enum.391"), Text()));
    ASSERT_NE(nullptr, starts);
    EXPECT_EQ(7, starts->NumberOfVisibleEntries());
    // Removed through the study, the node leaves the tree and its study node is selected.
    EXPECT_EQ(1, node->Message("RemoveEventFromStudy"));
    EXPECT_TRUE(t.study->GetEventNodes().empty());
    EXPECT_EQ(0, t.trend->GetNumberOfCleanExchEvents());
    EXPECT_EQ(t.study, t.wizard.GetSelectedView());
}

// The exchanger of a cleaning renamed: the study names it anew, the cleaning's node follows its
// cleaning and still moves it.
TEST(ViewStudyTree, ACleaningsNodeFollowsItsExchangersRename) {
    Tree t;
    ASSERT_EQ(1u, t.AddCleaning().size());
    Viewable* node = t.study->GetEventNodes()[0];
    EXPECT_EQ(1, t.d->RenameUnit("E999", t.e100));
    EXPECT_EQ("E999_from_t2_to_t4", node->GetName());
    EXPECT_STREQ("E999", t.trend->GetCleanExchEvent(0)->GetHeatExchangerName());
    CPString fouled;
    t.base->GetFouledHeatExchangerName(0, fouled);
    EXPECT_EQ("E999", fouled);
    t.Select(node);
    EXPECT_EQ(1, Set(*node, "Enum.392", 6));
    EXPECT_EQ("E999_from_t2_to_t6", node->GetName());
}

TEST(ViewStudyTree, AFlowChangeTakesANewFlowAndNeverMovesToPointZero) {
    Tree t(4);
    Set(*t.study, "Enum.500", 2);
    Set(*t.study, "Enum.401", 0);
    Set(*t.study, "Enum.393", 2);
    Set(*t.study, "MassFlow.395", 2.0);
    EXPECT_EQ(1, t.study->Message("AddEventToStudy"));
    ASSERT_EQ(1u, t.study->GetEventNodes().size());
    auto* node = static_cast<SpecialEventNodeView*>(t.study->GetEventNodes()[0]);
    EXPECT_EQ("H1", GetText(*node, "ExtraData.303"));
    EXPECT_EQ(2.0, Get(*node, "Index.393"));
    VarEnumInfo* points = node->GetEnumInfo(VariableNameInfo(At("Enum.393"), Text()));
    ASSERT_NE(nullptr, points);
    EXPECT_TRUE(points->GetEntry(0)->hidden);
    EXPECT_EQ(4, points->NumberOfVisibleEntries());
    EXPECT_EQ(0, Set(*node, "Enum.393", 0));
    EXPECT_EQ(2.0, Get(*node, "Enum.393"));
    // The typed flow reaches the event and the events of its points.
    EXPECT_EQ(1, Set(*node, "MassFlow.394", 2.5));
    EXPECT_DOUBLE_EQ(2.5, t.trend->GetSpecialEvent(0)->GetNewValue());
    auto* trend = dynamic_cast<HENTrend*>(t.trend);
    ASSERT_NE(nullptr, trend);
    for (int p = 2; p <= 4; ++p) {
        HENOperatingSchedule* s = trend->GetTimePointSchedule(p);
        ASSERT_TRUE(s->SelectEvent("H1: Change stream mass flowrate")) << p;
        EXPECT_DOUBLE_EQ(2.5, s->GetCurrentEventNewValue()) << p;
    }
    EXPECT_FALSE(trend->GetTimePointSchedule(1)->SelectEvent("H1: Change stream mass flowrate"));
    // Selected, it moves through the study (110), which renames its node (107) and writes the
    // flow from the new point on.
    t.Select(node);
    EXPECT_EQ(1, Set(*node, "Enum.393", 3));
    EXPECT_EQ("H1_at_t3", node->GetName());
    EXPECT_EQ(3.0, Get(*node, "Enum.393"));
    EXPECT_FALSE(trend->GetTimePointSchedule(2)->SelectEvent("H1: Change stream mass flowrate"));
    ASSERT_TRUE(trend->GetTimePointSchedule(3)->SelectEvent("H1: Change stream mass flowrate"));
    EXPECT_DOUBLE_EQ(2.5, trend->GetTimePointSchedule(3)->GetCurrentEventNewValue());
    EXPECT_EQ(t.study, t.wizard.GetSelectedView());
    // Deleted by the study, the node goes (109).
    t.Select(node);
    EXPECT_EQ(1, t.study->Message("RemoveSelectedEventFromStudy"));
    EXPECT_TRUE(t.study->GetEventNodes().empty());
}

TEST(ViewStudyTree, TheTreeIsRebuiltFromTheDesign) {
    Tree t;
    Set(*t.study, "Enum.500", 1);
    Set(*t.study, "Enum.400", 0);
    Set(*t.study, "Enum.392", 2);
    t.study->Message("AddEventToStudy");
    Set(*t.study, "Enum.500", 2);
    Set(*t.study, "Enum.401", 1);
    // A flow change carries a flow a stream can have.
    Set(*t.study, "MassFlow.395", 2.0);
    t.study->Message("AddEventToStudy");
    TrendAnalysisNodeView rebuilt(nullptr, "Trend Analysis Summary");
    rebuilt.SetEngineeringDesign(t.d);
    rebuilt.PopulateStudy();
    ASSERT_EQ(2u, rebuilt.GetStudyNodes().size());
    const std::vector<Viewable*>& events = rebuilt.GetStudyNodes()[1]->GetEventNodes();
    ASSERT_EQ(2u, events.size());
    EXPECT_TRUE(events[0]->IsA(EventNodeView::TypeName));
    EXPECT_TRUE(events[1]->IsA(SpecialEventNodeView::TypeName));
    EXPECT_EQ("H2_at_t1", events[1]->GetName());
}

}  // namespace
