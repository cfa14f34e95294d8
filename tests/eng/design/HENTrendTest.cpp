// Trend studies: time points, the profit index integrated by the trapezoid rule, cleanings and
// flow changes written into the points' schedules, their ranges, and a locked network fouling
// over twelve months with a cleaning.
#include "OperationTestSupport.h"

#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"
#include "eng/design/IHENEvent.h"
#include "lumeth/Session.h"

#include <gtest/gtest.h>

#include <vector>

using namespace design_test;

namespace {
using V = OperatedNetwork;
constexpr const char* kFouling = "E-100: Change observed heat transfer coefficient";
constexpr const char* kRemoval = "E-100: Remove exchanger from service";
constexpr const char* kFlow = "H1: Change stream mass flowrate";

// A locked network with its default study and one study made from it; E-100 fouls in the
// default study by 0.01 a month from its clean 0.25.
struct StudiedNetwork : OperatedNetwork {
    StudiedNetwork() {
        d->LockOperation();
        d->AddStudy();
        base = dynamic_cast<HENTrend*>(d->GetDefaultStudy());
        base->AddFouledHeatExchanger("E-100");
        for (int t = 0; t <= 12; ++t) {
            base->SetTimeAtPoint(t, t);
            base->SetFouledHTC("E-100", t, 0.25 - 0.01 * t);
        }
        d->AddStudy();
        study = dynamic_cast<HENTrend*>(d->GetStudy(0));
    }
    bool HasEvent(const HENTrend& trend, int point, const char* name) const {
        HENOperatingSchedule* s = trend.GetTimePointSchedule(point);
        for (int i = 0; s && i < s->GetNumberOfEvents(); ++i)
            if (std::string(s->GetEvent(i)->GetName()) == name) return true;
        return false;
    }
    double FlowAt(HENTrend& trend, int point) {
        HENOperatingSchedule* s = trend.GetTimePointSchedule(point);
        return s->SelectEvent(kFlow) ? s->GetCurrentEventNewValue() : -1.0;
    }
    HENTrend* base = nullptr;
    HENTrend* study = nullptr;
};

double DutyAt(const HENTrend& trend, int point) {
    double duty = -1.0;
    trend.GetTimePointSchedule(point)->State().GetHeatExchangerValue(0, NodeValue::Duty, duty);
    return duty;
}
}  // namespace

TEST(HENTrend, ANewStudyHasThirteenMonthlyPoints) {
    StudiedNetwork n;
    EXPECT_STREQ("Default Study", n.base->GetName());
    EXPECT_STREQ("Study-1", n.study->GetName());
    EXPECT_EQ(n.base, n.study->GetReferenceStudy());
    EXPECT_EQ(nullptr, n.base->GetReferenceStudy());
    EXPECT_EQ(12, n.study->GetNumberOfIntervals());
    EXPECT_STREQ("months", n.study->GetTimeUnit());
    for (int t = 0; t <= 12; ++t)
        EXPECT_STREQ(("t" + std::to_string(t)).c_str(), n.study->GetTimePointSchedule(t)->GetName());
    EXPECT_EQ(nullptr, n.study->GetTimePointSchedule(13));
    EXPECT_EQ(2, n.study->GetNumberOfHeatExchangers());
    EXPECT_EQ(1, n.study->GetNumberOfFouledHeatExchangers());
    // The copy carries the fouling profile and the times.
    EXPECT_NEAR(0.2, n.study->GetFouledHTC("E-100", 5), 1e-12);
    EXPECT_DOUBLE_EQ(7.0, n.study->GetTimeAtPoint(7));
    // At the reference point the coefficient is the event's base value.
    EXPECT_NEAR(0.25, n.study->GetFouledHTC("E-100", 0), 1e-12);
    EXPECT_DOUBLE_EQ(-32767.0, n.study->GetFouledHTC("E-101", 3));
    // Four intervals: five points, each still fouling E-100 with the coefficient it had.
    std::vector<double> before;
    for (int t = 0; t <= 4; ++t) before.push_back(n.study->GetFouledHTC("E-100", t));
    n.study->SetNumberOfIntervals(4);
    EXPECT_EQ(nullptr, n.study->GetTimePointSchedule(5));
    for (int t = 0; t <= 4; ++t) {
        EXPECT_EQ(1, n.study->GetTimePointSchedule(t)->GetNumberOfEvents());
        EXPECT_DOUBLE_EQ(before[static_cast<std::size_t>(t)], n.study->GetFouledHTC("E-100", t)) << t;
    }
    // Back to six: the new points start from no change, the base coefficient.
    n.study->SetNumberOfIntervals(6);
    EXPECT_DOUBLE_EQ(before[4], n.study->GetFouledHTC("E-100", 4));
    EXPECT_NEAR(0.25, n.study->GetFouledHTC("E-100", 6), 1e-12);
}

TEST(HENTrend, OnlyExchangersOfSpecifiedAreaCanFoul) {
    OperatedNetwork n;  // not locked: the areas are calculated
    HENTrend trend(n.d);
    EXPECT_EQ(0, trend.GetNumberOfHeatExchangers());
    trend.AddFouledHeatExchanger("E-100");
    EXPECT_EQ(0, trend.GetNumberOfFouledHeatExchangers());
}

TEST(HENTrend, TheProfitIndexIsIntegratedByTheTrapezoidRule) {
    EXPECT_DOUBLE_EQ(45.0, HENTrend::IntegrateProfitIndex({0.0, 1.0, 2.0}, {10.0, 20.0, 40.0}));
    EXPECT_DOUBLE_EQ(0.0, HENTrend::IntegrateProfitIndex({0.0}, {10.0}));
    EXPECT_DOUBLE_EQ(15.0, HENTrend::IntegrateProfitIndex({0.0, 0.5, 1.0}, {10.0, 20.0, 10.0}));
    // A state that was never filled has sold nothing and bought no utility.
    HENState state;
    HENTrend trend(nullptr);
    EXPECT_DOUBLE_EQ(0.0, trend.ProfitIndexOf(state));
}

TEST(HENTrend, ACleaningTakesTheExchangerOutAndRestartsItsFouling) {
    StudiedNetwork n;
    Listener view(*n.study);
    ASSERT_EQ(nullptr, n.study->AddCleanExchEvent("E-100", 2, 4));
    EXPECT_EQ(1, view.Count(IHENTrend::CodeCleaningAdded));
    EXPECT_STREQ("E-100_from_t2_to_t4", n.study->GetCleanExchEvent(0)->GetName());
    for (int t = 0; t <= 12; ++t) EXPECT_EQ(t == 2 || t == 3, n.HasEvent(*n.study, t, kRemoval)) << t;
    for (int t = 0; t < 4; ++t) EXPECT_NEAR(0.25 - 0.01 * t, n.study->GetFouledHTC("E-100", t), 1e-12) << t;
    for (int t = 4; t <= 12; ++t) EXPECT_NEAR(0.25 - 0.01 * (t - 4), n.study->GetFouledHTC("E-100", t), 1e-12) << t;
    // Touching ranges are accepted; an overlap is refused and changes nothing.
    EXPECT_EQ(nullptr, n.study->AddCleanExchEvent("E-100", 4, 6));
    EXPECT_STREQ("WrongRangeForEvent", n.study->AddCleanExchEvent("E-100", 3, 5));
    EXPECT_STREQ("WrongRangeForEvent", n.study->AddCleanExchEvent("E-100", 5, 3));
    EXPECT_EQ(2, n.study->GetNumberOfCleanExchEvents());
    EXPECT_NEAR(0.25 - 0.01 * 2, n.study->GetFouledHTC("E-100", 8), 1e-12);

    // Moving the first cleaning's end across the second is refused with a message.
    ASSERT_TRUE(n.study->SelectCleanExchEvent("E-100_from_t2_to_t4"));
    Session::Instance().ClearEvents(SessionEvent::Error);
    n.study->GetCleanExchEvent(0)->SetEndingPoint(5);
    const std::vector<SessionEntry> errors = Session::Instance().Entries(SessionEvent::Error);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(Text("WrongRangeForEvent"), errors[0].key);
    EXPECT_STREQ("E-100_from_t2_to_t4", n.study->GetCleanExchEvent(0)->GetName());
    // Moving its start to 1 is accepted: t1 joins the removal.
    n.study->GetCleanExchEvent(0)->SetStartingPoint(1);
    EXPECT_TRUE(view.Saw(IHENTrend::CodeCleaningMoved, "E-100_from_t2_to_t4"));
    EXPECT_STREQ("E-100_from_t1_to_t4", n.study->GetCleanExchEvent(0)->GetName());
    EXPECT_TRUE(n.HasEvent(*n.study, 1, kRemoval));

    // Deleting both restores the reference profile at every point.
    EXPECT_TRUE(n.study->DeleteSelectedEvent());
    ASSERT_TRUE(n.study->SelectCleanExchEvent("E-100_from_t4_to_t6"));
    EXPECT_TRUE(n.study->DeleteSelectedEvent());
    EXPECT_FALSE(n.study->DeleteSelectedEvent());
    for (int t = 0; t <= 12; ++t) {
        EXPECT_FALSE(n.HasEvent(*n.study, t, kRemoval)) << t;
        EXPECT_NEAR(0.25 - 0.01 * t, n.study->GetFouledHTC("E-100", t), 1e-12) << t;
    }
}

TEST(HENTrend, FlowChangesHoldUntilTheNextChangeOfTheStream) {
    StudiedNetwork n;
    ASSERT_EQ(nullptr, n.study->AddSpecialEvent("H1", "MassFlow", 6, 2.0));
    ASSERT_EQ(nullptr, n.study->AddSpecialEvent("H1", "MassFlow", 3, 1.8));
    EXPECT_EQ(2, n.study->GetNumberOfSpecialEvents());
    for (int t = 0; t < 3; ++t) EXPECT_DOUBLE_EQ(-1.0, n.FlowAt(*n.study, t)) << t;
    for (int t = 3; t < 6; ++t) EXPECT_DOUBLE_EQ(1.8, n.FlowAt(*n.study, t)) << t;
    for (int t = 6; t <= 12; ++t) EXPECT_DOUBLE_EQ(2.0, n.FlowAt(*n.study, t)) << t;
    EXPECT_TRUE(n.study->NeedsCalculation());
    // Deleting the earlier one gives its points back; the later one keeps its range.
    ASSERT_TRUE(n.study->SelectSpecialEvent("H1_at_t3"));
    EXPECT_TRUE(n.study->DeleteSelectedEvent());
    for (int t = 0; t < 6; ++t) EXPECT_DOUBLE_EQ(-1.0, n.FlowAt(*n.study, t)) << t;
    for (int t = 6; t <= 12; ++t) EXPECT_DOUBLE_EQ(2.0, n.FlowAt(*n.study, t)) << t;
}

TEST(HENTrend, AFouledNetworkOverTwelveMonthsAndACleaningAtMonthSix) {
    StudiedNetwork n;
    n.d->CalculateDefaultStudy();
    // From the first month on the fouled E-100 leaves C2 (which nothing else heats) short of its
    // target: those points, and so the study, are not converged.
    EXPECT_EQ(2, n.d->GetDefaultStudyStatus());
    EXPECT_EQ(1, n.base->GetTimePointSchedule(0)->GetStatus());
    for (int t = 1; t <= 12; ++t) EXPECT_EQ(2, n.base->GetTimePointSchedule(t)->GetStatus()) << t;
    for (int t = 1; t <= 12; ++t) EXPECT_LT(DutyAt(*n.base, t), DutyAt(*n.base, t - 1) - 1.0) << t;
    EXPECT_NEAR(240.0, DutyAt(*n.base, 0), 0.1);
    // H1 leaves its exchanger hotter as the exchanger fouls.
    EXPECT_GT(n.base->GetTrendValue("Stream Outlet Temp Trend", 12, "H1"),
              n.base->GetTrendValue("Stream Outlet Temp Trend", 0, "H1") + 5.0);
    EXPECT_EQ(4, n.base->GetNumberOfTrendSeries("Stream Outlet Temp Trend"));
    EXPECT_DOUBLE_EQ(-32767.0, n.base->GetTrendValue("Stream Outlet Temp Trend", 0, "nothing"));
    // The design is back at its default state after the study.
    EXPECT_NEAR(DutyAt(*n.base, 0), V::Value(n.e100, NodeValue::Duty), 0.1);

    // The study cleans E-100 during month 6: out of service then, clean again from month 7.
    ASSERT_EQ(nullptr, n.study->AddCleanExchEvent("E-100", 6, 7));
    ASSERT_TRUE(n.d->SelectStudy("Study-1"));
    n.d->CalculateCurrentStudy();
    // Converged only where E-100 runs clean (months 0 and 7) and gives C2 all it needs.
    EXPECT_EQ(2, n.study->GetStatus());
    for (int t = 0; t <= 12; ++t)
        EXPECT_EQ(t == 0 || t == 7 ? 1 : 2, n.study->GetTimePointSchedule(t)->GetStatus()) << t;
    for (int t = 0; t < 6; ++t) EXPECT_NEAR(DutyAt(*n.base, t), DutyAt(*n.study, t), 0.1) << t;
    EXPECT_NEAR(0.0, DutyAt(*n.study, 6), 1e-6);
    for (int t = 7; t <= 12; ++t) EXPECT_NEAR(DutyAt(*n.base, t - 7), DutyAt(*n.study, t), 0.1) << t;
}

namespace {
// A design whose points answer the calculation statuses given, one per solve.
class ScriptedDesign : public CPIHENDesign {
public:
    ScriptedDesign(IHeatIntegrationScenario* scenario, std::vector<int> statuses)
        : CPIHENDesign(scenario, "Scripted"), m_statuses(std::move(statuses)) {}
    int Activate(int) override {
        ++m_solves;
        return 1;
    }
    int GetCalculationStatus() override {
        const std::size_t i = static_cast<std::size_t>(m_solves - 1);
        return i < m_statuses.size() ? m_statuses[i] : 1;
    }

private:
    std::vector<int> m_statuses;
    int m_solves = 0;
};
}  // namespace

// One point that did not settle makes the study not converged, whatever the last point did; a
// study of one point is never converged.
TEST(HENTrend, TheStudyStatusIsNotConvergedWhenAnyPointIsNot) {
    const struct {
        std::vector<int> statuses;
        int intervals;
        int expected;
    } rows[] = {{{1, 1, 1}, 2, 1}, {{1, 2, 1}, 2, 2}, {{2, 1, 1}, 2, 2}, {{1, 1, 2}, 2, 2}, {{1}, 0, 0}, {{2}, 0, 2}};
    DesignScenario s;
    for (const auto& r : rows) {
        ScriptedDesign design(s.scenario.get(), r.statuses);
        HENTrend trend(&design);
        trend.SetNumberOfIntervals(r.intervals);
        trend.Calculate();
        EXPECT_EQ(r.expected, trend.GetStatus()) << r.statuses.size() << " " << r.statuses.back();
        for (int t = 0; t <= r.intervals; ++t)
            EXPECT_EQ(r.statuses[static_cast<std::size_t>(t)], trend.GetTimePointSchedule(t)->GetStatus());
    }
}

TEST(HENTrend, TheDesignNamesSelectsAndDeletesItsStudies) {
    OperatedNetwork n;
    n.d->LockOperation();
    Listener view(*n.d);
    n.d->AddStudy();  // the first makes only the default study
    EXPECT_EQ(1, view.Count(CPIHENDesign::CodeDefaultStudyCreated));
    EXPECT_EQ(0, n.d->GetNumberOfStudies());
    EXPECT_EQ(nullptr, n.d->GetCurrentStudyName());
    EXPECT_FALSE(n.d->DeleteCurrentStudy());
    EXPECT_FALSE(n.d->SelectStudyCleaningEvent("x"));
    n.d->AddStudy();
    n.d->AddStudy();
    EXPECT_TRUE(view.Saw(CPIHENDesign::CodeStudyAdded, "Study-1"));
    EXPECT_STREQ("Study-2", n.d->GetCurrentStudyName());
    EXPECT_TRUE(n.d->SelectStudy("Study-1"));
    EXPECT_FALSE(n.d->SelectStudy("Study-9"));
    EXPECT_FALSE(n.d->RenameStudy("Study-1", "Study-2"));
    EXPECT_FALSE(n.d->RenameStudy("Study-7", "Winter"));
    EXPECT_TRUE(n.d->RenameStudy("Study-1", "Winter"));
    EXPECT_TRUE(view.Saw(CPIHENDesign::CodeStudyRenamed, "Study-1"));
    EXPECT_STREQ("Winter", n.d->GetCurrentStudyName());
    EXPECT_TRUE(n.d->DeleteCurrentStudy());
    EXPECT_TRUE(n.d->SelectStudy("Study-2"));
    EXPECT_TRUE(n.d->DeleteCurrentStudy());
    // With no study left the numbers start again.
    n.d->AddStudy();
    EXPECT_STREQ("Study-1", n.d->GetCurrentStudyName());
    n.d->GetDefaultStudy()->SetStatus(1);
    n.d->DeleteAllStudies();
    EXPECT_EQ(0, n.d->GetNumberOfStudies());
    EXPECT_NE(nullptr, n.d->GetDefaultStudy());
    EXPECT_EQ(0, n.d->GetDefaultStudyStatus());
    n.d->AddStudy();
    EXPECT_STREQ("Study-1", n.d->GetCurrentStudyName());
}
