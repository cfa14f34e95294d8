// Design records of older versions, written here field by field, read back with what each
// version lacks at its default and the values older versions kept otherwise brought to the
// present form; the first versions of the state, schedule, event and study records inside them.
#include "DesignRecordTestSupport.h"

#include "eng/design/HENEvent.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace design_test;

namespace {

using Writer = std::function<bool(ILurmetBinaryFile&)>;

// What an old record holds beyond the fixed values below; empty writers write nothing.
struct OldContent {
    int version = 1;
    const FlowSheet* sheet = nullptr;
    bool locked = false;
    Writer state;        // versions above 11
    Writer oldGroups;    // versions 12 to 15: the four schedule groups
    Writer studies;      // versions above 14: default study, current study, studies
    Writer schedules;    // versions above 15: current schedule, schedules, counter
    // Versions above 12: the executed schedule, one the record holds (a name it lacks is damage).
    const char* executed = "Old-1";
    // Versions above 21: why the locked network's default point is none the plant can run at.
    const char* refusal = "";
};

// The items of a design record in the order of writing, each where its version holds it.
RecordBytes OldDesignRecord(const OldContent& c) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    const int v = c.version;
    RecordHandle record;
    bool ok = f.BeginRecord(record, v) && f.WriteInt(0) && f.WriteDouble(1234.5) && f.WriteInt(1) && f.WriteInt(2) &&
              f.WriteCPString("Old") && f.WriteCPString("old notes") && c.sheet->Store(f) && f.WriteInt(1) &&
              f.WriteCPString("Steam") && f.WriteDouble(20.0);
    if (v > 1)
        ok = ok && f.WriteCPString("HX-") && f.WriteCPString("SP-") && f.WriteCPString("MX-") && f.WriteInt(7) &&
             f.WriteInt(3) && f.WriteInt(4);
    if (v > 2) ok = ok && f.WriteDouble(11.0) && f.WriteDouble(2.5);
    if (v > 3) ok = ok && f.WriteCPString("log;\n") && f.WriteCPString("A");
    if (v > 6) ok = ok && f.WriteInt(1) && f.WriteInt(2) && f.WriteDouble(1.5) && f.WriteDouble(2.5);
    if (v > 7) ok = ok && f.WriteBool(true) && f.WriteBool(false);
    if (v > 9) {
        // No analysis entries, loop analysis switched off.
        RecordHandle analysis;
        ok = ok && f.BeginRecord(analysis, 2) && f.WriteInt(0) && f.WriteChar(0) && f.EndRecord(analysis);
    }
    if (v > 10) {
        // H1 is not selected for control.
        RecordHandle control;
        ok = ok && f.BeginRecord(control, 1) && f.WriteInt(1) && f.WriteInt(3) && f.WriteChar('H') && f.WriteChar('1') &&
             f.WriteChar('\0') && f.WriteChar(0) && f.EndRecord(control);
    }
    if (v > 11) ok = ok && f.WriteBool(c.locked) && c.state(f);
    if (v >= 12 && v <= 15) ok = ok && c.oldGroups(f);
    if (v > 12) ok = ok && f.WriteCPString(c.executed);
    if (v >= 13 && v <= 15) ok = ok && f.WriteInt(77);
    if (v == 14 || v == 15) ok = ok && f.WriteInt(3) && f.WriteInt(9) && f.WriteInt(5) && f.WriteInt(0);
    if (v > 14) ok = ok && f.WriteInt(4) && c.studies(f);
    if (v > 15) ok = ok && c.schedules(f);
    if (v > 17) ok = ok && f.WriteDouble(15.0);
    if (v > 18) ok = ok && f.WriteDouble(300.0);
    if (v > 19) ok = ok && f.WriteCPString("B");
    if (v > 20) ok = ok && f.WriteCPString("C");
    if (v > 21) ok = ok && f.WriteCPString(c.refusal);
    ok = ok && f.EndRecord(record);
    return ok ? f.Bytes() : RecordBytes();
}

// ---- first versions of the nested records, field by field

// A state of version 1: the two exchangers, no splitter, H1 by a stream record of version 1, no
// utility, the total utility cost; no status.
bool StateV1(ILurmetBinaryFile& f) {
    RecordHandle state, h1;
    bool ok = f.BeginRecord(state, 1) && f.WriteInt(2);
    for (const char* unit : {"E-100", "E-101"}) {
        RecordHandle x;
        ok = ok && f.BeginRecord(x, 1) && f.WriteCPString("N-?") && f.WriteCPString(unit) && f.WriteChar(1) &&
             f.WriteInt(2) && f.WriteCPString("HTArea") && f.WriteDouble(12.0) && f.WriteCPString("ObservedHTC") &&
             f.WriteDouble(0.25) && f.EndRecord(x);
    }
    return ok && f.WriteInt(0) && f.WriteInt(1) && f.BeginRecord(h1, 1) && f.WriteCPString("H1") &&
           f.WriteDouble(170.0) && f.WriteDouble(60.0) && f.WriteDouble(90.0) && f.WriteDouble(1.5) &&
           f.EndRecord(h1) && f.WriteInt(0) && f.WriteDouble(321.0) && f.EndRecord(state);
}

// A schedule of version 1 holding a mass-flow event of version 1 (no kind index), current, and
// the status after the name.
bool ScheduleV1(ILurmetBinaryFile& f, const char* name, int status, bool withEvent) {
    RecordHandle schedule, event;
    bool ok = f.BeginRecord(schedule, 1) && StateV1(f);
    if (withEvent)
        ok = ok && f.WriteInt(1) && f.WriteCPString("H1: Change stream mass flowrate") && f.WriteInt(1) &&
             f.WriteCPString("StreamFlowrateChangeEvent") && f.BeginRecord(event, 1) && f.WriteDouble(1.5) &&
             f.WriteDouble(1.8) && f.WriteCPString("H1") && f.WriteCPString("H1: Change stream mass flowrate") &&
             f.EndRecord(event);
    else
        ok = ok && f.WriteInt(0) && f.WriteInt(0);
    return ok && f.WriteCPString(name) && f.WriteInt(status) && f.EndRecord(schedule);
}

// A default study of version 1 over one interval: its cumulative profit index held negated, a
// cleaning of version 1 with the fields that version kept besides.
bool StudyV1(ILurmetBinaryFile& f) {
    RecordHandle study, cleaning;
    return f.BeginRecord(study, 1) && f.WriteCPString("Default Study") && f.WriteCPString("weeks") && f.WriteInt(1) &&
           f.WriteInt(0) && f.WriteInt(2) && ScheduleV1(f, "t0", 1, false) && ScheduleV1(f, "t1", 1, false) &&
           f.WriteInt(0) && f.WriteInt(1) && f.BeginRecord(cleaning, 1) && f.WriteCPString("E-100") &&
           f.WriteCPString("dropped") && f.WriteInt(0) && f.WriteInt(1) && f.WriteInt(7) && f.WriteInt(8) &&
           f.EndRecord(cleaning) && f.WriteInt(0) && f.WriteInt(0) && f.WriteInt(1) && f.WriteCPString("E-100") &&
           f.WriteDouble(0.0) && f.WriteDouble(1.0) && f.WriteChar(1) && f.WriteDouble(-45.0) && f.WriteChar(0) &&
           f.EndRecord(study);
}

// The design recalled from an old record, into a design of a scenario with the same streams.
struct Recalled {
    explicit Recalled(const RecordBytes& bytes, bool coolingWater = false) : back(true, false) {
        if (coolingWater) back.Add("CW", 20, 30, 0.05, 1);
        ok = !bytes.empty() && ReadDesignBytes(*back.d, bytes);
    }
    CNode* Unit(const char* internalName) const { return back.d->GetNodeByName(internalName); }
    OperatedNetwork back;
    bool ok = false;
};

std::string UnitName(const CNode* x) {
    CPString name;
    x->getVariableAsString(NodeValue::UnitOperationName, name);
    return name;
}

bool Has(const CNode* x, const char* name) {
    double v = 0.0;
    return x->getVariableAsDouble(name, v);
}

}  // namespace

TEST(HENDesignRecordVersions, VersionOneKeepsNodeNamesAsUnitNamesAndNamesTheNextExchangerE100) {
    OperatedNetwork n;
    n.e100->addVariable(NodeValue::UnitOperationName, CPString("Renamed"), ValueStatus::Specified);
    OldContent c;
    c.version = 1;
    c.sheet = n.d->GetFlowSheet();
    Recalled r(OldDesignRecord(c));
    ASSERT_TRUE(r.ok);
    CNode* x = r.Unit(n.e100->getName().c_str());
    ASSERT_TRUE(x);
    EXPECT_EQ(UnitName(x), x->getName());
    EXPECT_STREQ(r.back.d->GetDesignName(), "Old");
    EXPECT_STREQ(r.back.d->GetNotes(), "old notes");
    EXPECT_STREQ(r.back.d->GetChangeLog(), "");
    EXPECT_EQ(r.back.d->GetNumberOfCrossPinchLoads(), 0);
    EXPECT_FALSE(r.back.d->IsExistingNetwork());
    EXPECT_EQ(r.back.d->ExchangerNames().GetPrefix(), "E-");
    r.back.d->Activate(0);
    CNode* added =
        r.back.d->AddHeatExchanger(NthSegment(*r.back.d, "H1", 0), NthSegment(*r.back.d, "C1", 0), nullptr, nullptr, nullptr);
    ASSERT_TRUE(added);
    EXPECT_EQ(UnitName(added), "E-100");
    EXPECT_EQ(OperatedNetwork::Value(x, "HeatExchangerOperationType"), 3.0);
}

TEST(HENDesignRecordVersions, VersionFiveResetsShadesOtherThanFourAndDropsTheShellCount) {
    OperatedNetwork n;
    n.e100->addVariable("HotShadeIt", 3.0, ValueStatus::Specified);
    n.e100->addVariable("ColdShadeIt", 4.0, ValueStatus::Specified);
    n.e100->addVariable("NShells", 2.0, ValueStatus::Specified);
    OldContent c;
    c.version = 5;
    c.sheet = n.d->GetFlowSheet();
    Recalled r(OldDesignRecord(c));
    ASSERT_TRUE(r.ok);
    CNode* x = r.Unit(n.e100->getName().c_str());
    ASSERT_TRUE(x);
    EXPECT_EQ(OperatedNetwork::Value(x, "HotShadeIt"), 0.0);
    EXPECT_EQ(x->getVariableStatus("HotShadeIt"), ValueStatus::Open);
    EXPECT_EQ(OperatedNetwork::Value(x, "ColdShadeIt"), 4.0);
    EXPECT_EQ(x->getVariableStatus("ColdShadeIt"), ValueStatus::Specified);
    EXPECT_FALSE(Has(x, "NShells"));
    // The exchanger's type follows its kind: a shell-and-tube unit.
    EXPECT_EQ(OperatedNetwork::Value(x, NodeValue::HXType), 1.0);
    EXPECT_EQ(UnitName(x), "E-100");
    EXPECT_EQ(r.back.d->ExchangerNames().GetPrefix(), "HX-");
    EXPECT_EQ(r.back.d->ExchangerNames().GetNumber(), 7);
    EXPECT_STREQ(r.back.d->GetChangeLog(), "log;\n");
    EXPECT_STREQ(r.back.d->GetStoredTextA(), "A");
    EXPECT_EQ(r.back.d->GetNumberOfCrossPinchLoads(), 0);
    EXPECT_EQ(r.back.d->GetDTMin(), 10.0);
}

TEST(HENDesignRecordVersions, VersionNineMovesTheHeatLoadToTheDutyAndLeavesUtilitiesOutOfTheAnalysis) {
    OperatedNetwork n;
    ASSERT_TRUE(n.Add("CW", 20, 30, 0.05, 1));
    ASSERT_EQ(n.d->GetNumberOfUtilityStreams(), 1);
    n.e100->removeVariable(NodeValue::Duty);
    n.e100->addVariable("HeatLoad", 240.0, ValueStatus::Specified);
    n.e100->addVariable("LogMeanTD", 33.0, ValueStatus::Calculated);
    OldContent c;
    c.version = 9;
    c.sheet = n.d->GetFlowSheet();
    Recalled r(OldDesignRecord(c), true);
    ASSERT_TRUE(r.ok);
    CNode* x = r.Unit(n.e100->getName().c_str());
    ASSERT_TRUE(x);
    EXPECT_EQ(OperatedNetwork::Value(x, NodeValue::Duty), 240.0);
    EXPECT_EQ(x->getVariableStatus(NodeValue::Duty), ValueStatus::Specified);
    EXPECT_FALSE(Has(x, "HeatLoad"));
    EXPECT_FALSE(Has(x, "LogMeanTD"));
    EXPECT_EQ(r.back.d->GetNumberOfCrossPinchLoads(), 2);
    EXPECT_TRUE(r.back.d->IsExistingNetwork());
    EXPECT_TRUE(r.back.d->IsLoopAnalysisEnabled());
    ASSERT_EQ(r.back.d->GetNumberOfAnalysisStreams(), 1);
    EXPECT_EQ(r.back.d->GetAnalysisStreamFlagOf(r.back.scenario->FindStream("CW")), 0);
    EXPECT_EQ(r.back.d->GetNumberOfControlUnits(), 4);
    EXPECT_EQ(r.back.d->GetDTMin(), 10.0);
    EXPECT_EQ(r.back.d->GetHTMaxAreaShell(), 500.0);
}

TEST(HENDesignRecordVersions, VersionTenReadsTheAnalysisAndSelectsEveryProcessStream) {
    OperatedNetwork n;
    OldContent c;
    c.version = 10;
    c.sheet = n.d->GetFlowSheet();
    Recalled r(OldDesignRecord(c));
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.back.d->IsLoopAnalysisEnabled());
    ASSERT_EQ(r.back.d->GetNumberOfControlUnits(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(r.back.d->IsControlUnitSelected(i)) << i;
    EXPECT_EQ(r.back.d->GetNumberOfSchedules(), 0);
}

TEST(HENDesignRecordVersions, VersionElevenReadsTheControlRecordsByStreamName) {
    OperatedNetwork n;
    OldContent c;
    c.version = 11;
    c.sheet = n.d->GetFlowSheet();
    Recalled r(OldDesignRecord(c));
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.back.d->IsUnitSelectedForControl(r.back.scenario->FindStream("H1")));
    EXPECT_TRUE(r.back.d->IsUnitSelectedForControl(r.back.scenario->FindStream("C1")));
    EXPECT_FALSE(r.back.d->GetOperationLocked());
    EXPECT_EQ(r.back.d->DefaultState().GetNumberOfHeatExchangers(), 0);
}

TEST(HENDesignRecordVersions, VersionFifteenReadsTheOlderSchedulesAndTheFirstVersionsOfTheNestedRecords) {
    OperatedNetwork n;
    n.d->LockOperation();
    ASSERT_TRUE(n.d->GetOperationLocked());
    // A unit of that time without shells in series takes the shells it has as given.
    n.e100->removeVariable(NodeValue::ShellsInSeriesSpecified);
    const double shells = OperatedNetwork::Value(n.e100, NodeValue::NShellsInSeries);
    n.e100->addVariable(NodeValue::NShellsInSeries, shells, ValueStatus::Calculated);
    OldContent c;
    c.version = 15;
    c.sheet = n.d->GetFlowSheet();
    c.locked = true;
    c.state = StateV1;
    c.oldGroups = [](ILurmetBinaryFile& f) {
        bool ok = f.WriteInt(1) && f.WriteCPString("Old-2") && f.WriteInt(2) && ScheduleV1(f, "Old-1", 2, true) &&
                  ScheduleV1(f, "Old-2", 1, false);
        for (int g = 1; g < 4; ++g) ok = ok && f.WriteInt(0) && f.WriteInt(0);
        return ok;
    };
    c.studies = [](ILurmetBinaryFile& f) { return f.WriteInt(1) && StudyV1(f) && f.WriteInt(0) && f.WriteInt(0); };
    Recalled r(OldDesignRecord(c));
    ASSERT_TRUE(r.ok);
    CPIHENDesign& d = *r.back.d;
    EXPECT_TRUE(d.GetOperationLocked());
    CNode* x = r.Unit(n.e100->getName().c_str());
    ASSERT_TRUE(x);
    EXPECT_EQ(OperatedNetwork::Value(x, NodeValue::ShellsInSeriesSpecified), 1.0);
    EXPECT_EQ(AsHeatExch(x)->getUCalculationMethod(), "FlowCorrecBased");

    // The state of version 1: no status, no price per mass; linked to the units read.
    HENState& state = d.DefaultState();
    EXPECT_EQ(state.GetStatus(), 0);
    ASSERT_EQ(state.GetNumberOfStreams(), 1);
    EXPECT_EQ(state.GetStreamPricePerMass(0), 0.0);
    EXPECT_EQ(state.GetStreamMassFlow(0), 1.5);
    EXPECT_EQ(state.GetTotalUtilityCost(), 321.0);
    EXPECT_EQ(state.FindHeatExchanger("E-100")->unit, x);

    // The schedules of the older form, the current one by its group's name; the status of a
    // schedule of version 1 from the field after its name; an event of version 1 gets its kind
    // from its type name.
    ASSERT_EQ(d.GetNumberOfSchedules(), 2);
    EXPECT_STREQ(d.GetCurrentScheduleName(), "Old-2");
    EXPECT_STREQ(d.GetExecutedScheduleName(), "Old-1");
    EXPECT_EQ(d.GetScheduleSolutionStatus("Old-1"), 2);
    EXPECT_EQ(d.GetScheduleSolutionStatus("Old-2"), 1);
    IHENSchedule* old1 = d.GetOperatingSchedule(0);
    ASSERT_EQ(old1->GetNumberOfEvents(), 1);
    EXPECT_EQ(old1->GetEvent(0)->GetEventTypeIcon(), 6);
    EXPECT_EQ(old1->GetEvent(0)->GetNewValue(), 1.8);
    EXPECT_STREQ(old1->GetCurrentEventTypeName(), "StreamFlowrateChangeEvent");
    // The largest of the four counters names the next schedule.
    ASSERT_TRUE(d.AddNewSchedule());
    EXPECT_STREQ(d.GetScheduleName(2), "Event-P9");

    // The study of version 1: the cumulative profit index with its sign turned, the cleaning
    // without the fields that version kept besides.
    auto* study = dynamic_cast<HENTrend*>(d.GetDefaultStudy());
    ASSERT_TRUE(study);
    EXPECT_EQ(study->GetCumulativeProfitIndex(), 45.0);
    EXPECT_STREQ(study->GetTimeUnit(), "weeks");
    EXPECT_EQ(study->GetNumberOfIntervals(), 1);
    ASSERT_EQ(study->GetNumberOfCleanExchEvents(), 1);
    EXPECT_STREQ(study->GetCleanExchEvent(0)->GetName(), "E-100_from_t0_to_t1");
    EXPECT_EQ(study->GetNumberOfFouledHeatExchangers(), 1);
    EXPECT_EQ(d.GetNumberOfStudies(), 0);
}

TEST(HENDesignRecordVersions, VersionSeventeenReadsTheCurrentScheduleButNotDTMinOrTheAreaPerShell) {
    OperatedNetwork n;
    n.d->LockOperation();
    n.d->AddNewSchedule();
    ASSERT_TRUE(n.d->AddEventToCurrentSchedule("AdditionalAreaHENEvent", "E-101"));
    OldContent c;
    c.version = 17;
    c.sheet = n.d->GetFlowSheet();
    c.locked = true;
    c.executed = "Event-P1";
    const HENState* state = &n.d->DefaultState();
    c.state = [state](ILurmetBinaryFile& f) { return state->Store(f); };
    c.studies = [](ILurmetBinaryFile& f) { return f.WriteInt(0) && f.WriteInt(0) && f.WriteInt(0); };
    const HENSchedule* schedule = dynamic_cast<HENSchedule*>(n.d->GetOperatingSchedule(0));
    c.schedules = [schedule](ILurmetBinaryFile& f) {
        return f.WriteInt(1) && f.WriteCPString("Event-P1") && f.WriteInt(1) && schedule->Store(f) && f.WriteInt(2);
    };
    Recalled r(OldDesignRecord(c));
    ASSERT_TRUE(r.ok);
    CPIHENDesign& d = *r.back.d;
    EXPECT_EQ(d.GetDTMin(), 10.0);
    EXPECT_EQ(d.GetHTMaxAreaShell(), 500.0);
    EXPECT_STREQ(d.GetStoredTextB(), "");
    EXPECT_STREQ(d.GetCurrentScheduleName(), "Event-P1");
    EXPECT_STREQ(d.GetCurrentEventTypeName(), "AdditionalAreaHENEvent");
    EXPECT_EQ(d.DefaultState().GetNumberOfHeatExchangers(), n.d->DefaultState().GetNumberOfHeatExchangers());
    EXPECT_EQ(d.GetDefaultStudy(), nullptr);
    ASSERT_TRUE(d.AddNewSchedule());
    EXPECT_STREQ(d.GetScheduleName(1), "Event-P2");
    // Stored again, the design writes the present version with its defaults.
    d.SetStoredTextB("B");
    const RecordBytes again = DesignBytes(d);
    OperatedNetwork third(true, false);
    ASSERT_TRUE(ReadDesignBytes(*third.d, again));
    EXPECT_EQ(DesignBytes(*third.d), again);
    EXPECT_STREQ(third.d->GetStoredTextB(), "B");
    EXPECT_EQ(third.d->GetHTMaxAreaShell(), 500.0);
}

// A locked network whose default point its heaters, coolers and utilities cannot run at keeps the
// reason with the case, and stores it again as it read it; a record of version 21 has none.
TEST(HENDesignRecordVersions, TheRefusalOfALockedNetworksPointGoesWithTheCase) {
    OperatedNetwork n;
    n.d->LockOperation();
    n.d->AddNewSchedule();
    ASSERT_TRUE(n.d->AddEventToCurrentSchedule("AdditionalAreaHENEvent", "E-101"));
    const HENState* state = &n.d->DefaultState();
    const HENSchedule* schedule = dynamic_cast<HENSchedule*>(n.d->GetOperatingSchedule(0));
    const char* why = "Default operating state: Cooler1 would take CW out at 115.6 C where H1 enters it at 90 C";
    for (auto [version, refusal, kept] : {std::tuple{22, why, why}, {22, "", ""}, {21, why, ""}}) {
        OldContent c;
        c.version = version;
        c.sheet = n.d->GetFlowSheet();
        c.locked = true;
        c.executed = "Event-P1";
        c.refusal = refusal;
        c.state = [state](ILurmetBinaryFile& f) { return state->Store(f); };
        c.studies = [](ILurmetBinaryFile& f) { return f.WriteInt(0) && f.WriteInt(0) && f.WriteInt(0); };
        c.schedules = [schedule](ILurmetBinaryFile& f) {
            return f.WriteInt(1) && f.WriteCPString("Event-P1") && f.WriteInt(1) && schedule->Store(f) && f.WriteInt(2);
        };
        Recalled r(OldDesignRecord(c));
        ASSERT_TRUE(r.ok) << version;
        const char* read = r.back.d->GetOperatingPointRefusal();
        EXPECT_STREQ(read ? read : "", kept) << version;
        const RecordBytes again = DesignBytes(*r.back.d);
        OperatedNetwork third(true, false);
        ASSERT_TRUE(ReadDesignBytes(*third.d, again)) << version;
        EXPECT_EQ(DesignBytes(*third.d), again) << version;
        read = third.d->GetOperatingPointRefusal();
        EXPECT_STREQ(read ? read : "", kept) << version;
    }
}

TEST(HENDesignRecordVersions, VersionsOutsideOneToTwentyTwoAndAnEventOfAnUnknownKindAreRefused) {
    OperatedNetwork n;
    const RecordBytes present = DesignBytes(*n.d);
    // The record's version follows the 8-byte magic and the record tag.
    ASSERT_EQ(present[8], 'R');
    ASSERT_EQ(present[9], 22);
    for (int version : {0, 23}) {
        RecordBytes bytes = present;
        bytes[9] = static_cast<std::uint8_t>(version);
        OperatedNetwork kept;
        const RecordBytes before = DesignBytes(*kept.d);
        EXPECT_FALSE(ReadDesignBytes(*kept.d, bytes)) << version;
        EXPECT_EQ(DesignBytes(*kept.d), before);
    }
    // A schedule naming an event type the registry does not hold cannot be read.
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    RecordHandle schedule, event;
    ASSERT_TRUE(f.BeginRecord(schedule, 2) && n.d->DefaultState().Store(f) && f.WriteInt(0) && f.WriteInt(1) &&
                f.WriteCPString("NoSuchEvent") && f.BeginRecord(event, 2) && f.WriteDouble(1.0) && f.WriteDouble(2.0) &&
                f.WriteCPString("E-100") && f.WriteCPString("E-100: ?") && f.WriteInt(0) && f.EndRecord(event) &&
                f.WriteCPString("S") && f.EndRecord(schedule));
    HENOperatingSchedule s("Kept", n.d->DefaultState());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(f.Bytes());
    EXPECT_FALSE(s.Recall(in));
    EXPECT_STREQ(s.GetName(), "Kept");
}
