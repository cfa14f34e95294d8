// The design record: a design with every part of its record reads back whole and stores the
// same bytes, on its own and inside its scenario's record; the records of states, schedules,
// studies and designs pass the field-level harness (every failed write fails the store, a record
// cut after any field is refused and changes nothing); every byte prefix and random damage of a
// design record fails cleanly with the design in memory as it was.
#include "DesignRecordTestSupport.h"

#include "eng/design/HENEvent.h"
#include "eng/model/ScenarioRecord.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace design_test;

namespace {

double DutyOf(const CPIHENDesign& d, const char* name) { return OperatedNetwork::Value(UnitNamed(d, name), NodeValue::Duty); }

// The records of a schedule's state are linked to the design's units and streams.
bool StateAttached(const HENState& state, const CPIHENDesign& d) {
    for (const char* unit : {"E-100", "E-101"}) {
        HeatExchStateStruct* r = state.FindHeatExchanger(unit);
        if (!r || r->unit != UnitNamed(d, unit)) return false;
    }
    IHeatIntegrationStream* stream = nullptr;
    StreamStateStruct* h1 = state.FindStream("H1");
    SplitStateStruct* split = state.FindSplitterOf("TEE-100 Branch 1");
    return h1 && d.GetScenario()->GetStream("H1", stream) && h1->stream == stream && split && split->unit &&
           split->unit->getFlowSheet() == d.GetFlowSheet() && split->unit->getClassName() == NodeKind::Tee;
}

}  // namespace

TEST(HENDesignRecord, AFullDesignReadsBackWholeAndStoresTheSameBytes) {
    FullDesign f;
    ASSERT_TRUE(f.built);
    const RecordBytes bytes = DesignBytes(*f.d);
    ASSERT_FALSE(bytes.empty());

    OperatedNetwork other(true, false);
    CPIHENDesign& r = *other.d;
    ASSERT_TRUE(ReadDesignBytes(r, bytes));
    EXPECT_EQ(DesignBytes(r), bytes);

    EXPECT_EQ(r.GetNumberOfNodes(), f.d->GetNumberOfNodes());
    EXPECT_EQ(ForeignPiece(r, *other.scenario), "");
    for (const char* s : {"H1", "H2", "C1", "C2"}) EXPECT_EQ(Chain(r, s), Chain(*f.d, s)) << s;
    EXPECT_EQ(r.GetNumberOfHeatExchangers(), f.d->GetNumberOfHeatExchangers());
    EXPECT_TRUE(r.GetOperationLocked());
    EXPECT_EQ(r.GetEditLockState(), 1);
    EXPECT_STREQ(r.GetDesignName(), "Operated");
    EXPECT_STREQ(r.GetNotes(), "Preheat train");
    EXPECT_STREQ(r.GetChangeLog(), f.d->GetChangeLog());
    EXPECT_STREQ(r.GetStoredTextA(), "text A");
    EXPECT_STREQ(r.GetStoredTextB(), "text B");
    EXPECT_STREQ(r.GetStoredTextC(), "text C");
    EXPECT_EQ(r.GetDTMin(), 12.5);
    EXPECT_EQ(r.GetHTMaxAreaShell(), 400.0);
    EXPECT_EQ(r.GetTotalCapitalCost(), f.d->GetTotalCapitalCost());
    EXPECT_EQ(r.GetNumberOfControlUnits(), 4);
    EXPECT_STREQ(r.GetControllabilityText(), f.d->GetControllabilityText());

    // The schedules, their events, the current one and the executed one.
    ASSERT_EQ(r.GetNumberOfSchedules(), 2);
    EXPECT_STREQ(r.GetScheduleName(0), "Event-P1");
    EXPECT_STREQ(r.GetScheduleName(1), "Event-P2");
    EXPECT_STREQ(r.GetCurrentScheduleName(), "Event-P1");
    EXPECT_STREQ(r.GetExecutedScheduleName(), "Event-P1");
    EXPECT_STREQ(r.GetCurrentEventName(), f.d->GetCurrentEventName());
    EXPECT_STREQ(r.GetCurrentEventTypeName(), "StreamFlowrateChangeEvent");
    EXPECT_EQ(r.GetCurrentEventNewValue(), 16.0);
    EXPECT_EQ(r.GetScheduleSolutionStatus("Event-P1"), f.d->GetScheduleSolutionStatus("Event-P1"));
    EXPECT_EQ(r.GetScheduleSolutionStatus("Event-P2"), 0);
    ASSERT_EQ(r.GetOperatingSchedule(1)->GetNumberOfEvents(), 2);
    EXPECT_STREQ(r.GetOperatingSchedule(1)->GetEvent(0)->GetName(), "TEE-100 Branch 1: Change splitter flow");
    EXPECT_EQ(r.GetOperatingSchedule(1)->GetEvent(1)->GetEventTypeIcon(),
              f.d->GetOperatingSchedule(1)->GetEvent(1)->GetEventTypeIcon());
    EXPECT_TRUE(StateAttached(r.DefaultState(), r));
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(StateAttached(dynamic_cast<HENState&>(*r.GetOperatingScheduleState(i)), r));

    // The studies: the default one is the reference of the other, with its cleaning, flow
    // change, fouled exchanger, results and trends.
    auto* base = dynamic_cast<HENTrend*>(r.GetDefaultStudy());
    ASSERT_TRUE(base);
    EXPECT_EQ(base->GetNumberOfIntervals(), 3);
    EXPECT_EQ(base->GetFouledHTC("E-100", 2), 0.21);
    EXPECT_EQ(base->GetTimeAtPoint(3), 6.0);
    ASSERT_EQ(r.GetNumberOfStudies(), 1);
    auto* study = dynamic_cast<HENTrend*>(r.GetStudy(0));
    EXPECT_STREQ(r.GetCurrentStudyName(), "Study-1");
    EXPECT_EQ(study->GetReferenceStudy(), base);
    ASSERT_EQ(study->GetNumberOfCleanExchEvents(), 1);
    EXPECT_STREQ(study->GetCleanExchEvent(0)->GetName(), "E-100_from_t1_to_t2");
    ASSERT_EQ(study->GetNumberOfSpecialEvents(), 1);
    EXPECT_STREQ(study->GetSpecialEvent(0)->GetName(), "H1_at_t2");
    EXPECT_EQ(study->GetNumberOfFouledHeatExchangers(), 1);
    EXPECT_EQ(study->GetStatus(), f.study->GetStatus());
    EXPECT_EQ(study->GetCumulativeProfitIndex(), f.study->GetCumulativeProfitIndex());
    EXPECT_EQ(study->GetTrendValue("Profit Index Trend", 2, ""), f.study->GetTrendValue("Profit Index Trend", 2, ""));
    EXPECT_EQ(study->GetTrendValue("Stream Outlet Temp Trend", 1, "H2"),
              f.study->GetTrendValue("Stream Outlet Temp Trend", 1, "H2"));
    // A selected cleaning moved through the read study still finds its schedules.
    EXPECT_TRUE(study->SelectCleanExchEvent("E-100_from_t1_to_t2"));

    // The network read back is calculated as the original: the same duties after recalculation.
    f.d->ResetDefaultState();
    r.ResetDefaultState();
    for (const char* unit : {"E-100", "E-101"}) EXPECT_NEAR(DutyOf(r, unit), DutyOf(*f.d, unit), 1e-6) << unit;
}

TEST(HENDesignRecord, ADesignWithoutSchedulesOrStudiesReadsBackWithNone) {
    OperatedNetwork n;
    const RecordBytes bytes = DesignBytes(*n.d);
    // The record ends with: no default study, no current study, no studies, no current
    // schedule, no schedules (five int32 0), the schedule counter 1, DTMin, HTMaxAreaShell and
    // three empty texts (texts B and C, no operating-point refusal).
    const RecordBytes zero = {'i', 0, 0, 0, 0};
    ASSERT_GT(bytes.size(), 60u);
    const std::size_t tail = bytes.size() - 3 * 5 - 2 * 9 - 5;
    EXPECT_EQ(RecordBytes(bytes.begin() + static_cast<long>(tail), bytes.begin() + static_cast<long>(tail) + 5),
              (RecordBytes{'i', 1, 0, 0, 0}));
    for (int k = 1; k <= 5; ++k) {
        const auto at = bytes.begin() + static_cast<long>(tail - 5 * k);
        EXPECT_EQ(RecordBytes(at, at + 5), zero) << k;
    }
    FullDesign f;
    ASSERT_TRUE(f.built);
    ASSERT_TRUE(ReadDesignBytes(*f.d, bytes));
    EXPECT_EQ(DesignBytes(*f.d), bytes);
    EXPECT_EQ(f.d->GetNumberOfSchedules(), 0);
    EXPECT_EQ(f.d->GetNumberOfStudies(), 0);
    EXPECT_EQ(f.d->GetDefaultStudy(), nullptr);
    EXPECT_EQ(f.d->GetCurrentScheduleName(), nullptr);
    EXPECT_FALSE(f.d->GetOperationLocked());
    EXPECT_EQ(f.d->GetDTMin(), 10.0);
    // The design is editable again and names its next exchanger after the ones it read.
    CNode* x = f.d->AddHeatExchanger(NthSegment(*f.d, "H1", 0), NthSegment(*f.d, "C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(x);
    CPString name;
    x->getVariableAsString(NodeValue::UnitOperationName, name);
    EXPECT_EQ(name, "E-102");
}

TEST(HENDesignRecord, AScenarioWithDesignsReadsThemBackThroughTheDesignFactory) {
    FullDesign f;
    ASSERT_TRUE(f.built);
    ASSERT_TRUE(f.scenario->AddDesign("Plain"));
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(f.scenario->GetServices().records->Store(*f.scenario, out));

    DesignScenario back;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    ASSERT_TRUE(back.scenario->GetServices().records->Recall(*back.scenario, in));
    ASSERT_EQ(back.scenario->GetNumberOfDesigns(), 2);
    CPIHENDesign* r = back.Design("Operated");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetNumberOfNodes(), f.d->GetNumberOfNodes());
    EXPECT_EQ(ForeignPiece(*r, *back.scenario), "");
    EXPECT_EQ(r->GetNumberOfSchedules(), 2);
    ASSERT_TRUE(back.Design("Plain"));
    EXPECT_EQ(back.Design("Plain")->GetNumberOfHeatExchangers(), 0);

    // The scenario read back re-stores its own bytes, its designs whole.
    LurmetBinaryFile again = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(back.scenario->GetServices().records->Store(*back.scenario, again));
    DesignScenario third;
    LurmetBinaryFile in2 = LurmetBinaryFile::ForReading(again.Bytes());
    ASSERT_TRUE(third.scenario->GetServices().records->Recall(*third.scenario, in2));
    ASSERT_TRUE(third.Design("Operated"));
    EXPECT_EQ(DesignBytes(*third.Design("Operated")), DesignBytes(*r));
    LurmetBinaryFile once_more = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(third.scenario->GetServices().records->Store(*third.scenario, once_more));
    EXPECT_EQ(once_more.Bytes(), again.Bytes());
}

// ---------------------------------------------------------------- the field-level harness

namespace {

template <class T>
std::shared_ptr<T> Keep(std::shared_ptr<FullDesign> owner, T* object) {
    return std::shared_ptr<T>(owner, object);
}

std::shared_ptr<FullDesign> Full() {
    auto f = std::make_shared<FullDesign>();
    EXPECT_TRUE(f->built);
    return f;
}

std::shared_ptr<CPIHENDesign> PlainDesign() {
    auto n = std::make_shared<OperatedNetwork>();
    n->d->SetNotes("another network");
    return std::shared_ptr<CPIHENDesign>(n, n->d);
}

const std::vector<RecordType>& Table() {
    static const std::vector<RecordType> table = {
        Record<CPIHENDesign>(
            "design", [] { auto f = Full(); return Keep(f, f->d); }, PlainDesign),
        Record<HENState>(
            "operating state", [] { auto f = Full(); return Keep(f, &f->d->DefaultState()); },
            [] { return std::make_shared<HENState>(); }),
        Record<HENSchedule>(
            "schedule",
            [] {
                auto f = Full();
                return Keep(f, static_cast<HENSchedule*>(dynamic_cast<HENOperatingSchedule*>(f->d->GetOperatingSchedule(0))));
            },
            [] {
                auto f = Full();
                return Keep(f, static_cast<HENSchedule*>(dynamic_cast<HENOperatingSchedule*>(f->d->GetOperatingSchedule(1))));
            }),
        Record<HENTrend>(
            "study", [] { auto f = Full(); return Keep(f, f->study); }, [] { auto f = Full(); return Keep(f, f->base); }),
    };
    return table;
}

class HENDesignRecordTable : public ::testing::TestWithParam<std::size_t> {};

TEST_P(HENDesignRecordTable, FailedWritesFailTheStoreAndShortRecordsChangeNothing) {
    ExpectRecordHarnessHolds(Table()[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(Records, HENDesignRecordTable, ::testing::Range<std::size_t>(0, Table().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = Table()[info.param].name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace

// ---------------------------------------------------------------- damaged records

TEST(HENDesignRecordDamage, EveryPrefixFailsCleanlyAndKeepsTheDesignInMemory) {
    FullDesign f;
    ASSERT_TRUE(f.built);
    const RecordBytes full = DesignBytes(*f.d);
    OperatedNetwork kept;
    const RecordBytes before = DesignBytes(*kept.d);
    for (std::size_t n = 0; n < full.size(); ++n) {
        const RecordBytes prefix(full.begin(), full.begin() + static_cast<long>(n));
        EXPECT_FALSE(ReadDesignBytes(*kept.d, prefix)) << "prefix of " << n << " bytes";
        ASSERT_EQ(DesignBytes(*kept.d), before) << "prefix of " << n << " bytes";
    }
}

TEST(HENDesignRecordDamage, RandomDamageFailsCleanlyAndKeepsTheDesignInMemory) {
    FullDesign f;
    ASSERT_TRUE(f.built);
    const RecordBytes full = DesignBytes(*f.d);
    std::mt19937 random(20261207u);
    std::uniform_int_distribution<std::size_t> position(0, full.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), hits(1, 4);
    auto kept = std::make_unique<OperatedNetwork>();
    RecordBytes before = DesignBytes(*kept->d);
    int failures = 0;
    for (int round = 0; round < 300; ++round) {
        RecordBytes damaged = full;
        for (int k = hits(random); k > 0; --k) damaged[position(random)] = static_cast<std::uint8_t>(byte(random));
        if (ReadDesignBytes(*kept->d, damaged)) {
            // A damage the reader cannot tell from data (a changed number) reads as a design.
            kept = std::make_unique<OperatedNetwork>();
            before = DesignBytes(*kept->d);
            continue;
        }
        ++failures;
        ASSERT_EQ(DesignBytes(*kept->d), before) << "round " << round;
    }
    EXPECT_GT(failures, 100);
}
