// A saved case damaged record by record, with its checksum written again, as a faulty build or a
// damaged disk could leave it: `view`, `targets` and `design` either refuse it as damaged or read
// a case whose values are ones a form could give; none of them crashes.
//
// Two cases are damaged: the four-stream design saved with its views (the scenario viewer, its
// plots, a segment table and the grid), and the operated network locked with a schedule that
// changed C1's flow from 0.5 to 0.55 kg/s and was executed. The fields are found by walking the
// file's framing (CaseFields.h).
#include "CaseChecksum.h"
#include "CaseFields.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>

namespace {

constexpr std::size_t kTrailer = 4;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string intField(std::int32_t v) { return "i" + CaseLe32(static_cast<std::uint32_t>(v)); }
std::string textField(const std::string& text) { return "s" + CaseLe32(static_cast<std::uint32_t>(text.size())) + text; }
std::string doubleField(double d) { return "d" + CaseLe64(d); }
std::string record(std::int32_t version, const std::string& body) {
    return "R" + CaseLe32(static_cast<std::uint32_t>(version)) + CaseLe32(static_cast<std::uint32_t>(body.size())) + body;
}

// A saved case's bytes without its trailer; empty when none was written.
std::string withoutTrailer(const std::string& path) {
    const std::string file = FileContents(path);
    return file.size() > 8 + kTrailer ? file.substr(0, file.size() - kTrailer) : std::string();
}

// A case saved by `steps`, without its trailer; empty when a step failed.
std::string saved(const std::string& stem, const std::string& design, const std::string& open, const std::string& script) {
    ScratchFile first("damaged-records", stem + "-design.case", "", false), viewed("damaged-records", stem + ".case", "", false);
    ScratchFile steps("damaged-records", stem + ".txt", script);
    if (RunHost("design " + design + " --save " + first.path).exitCode != 0 ||
        RunHost("view " + first.path + open + " --script " + steps.path + " --save " + viewed.path).exitCode != 0)
        return std::string();
    return withoutTrailer(viewed.path);
}

// A locked network given a schedule that changes C1's flow to 0.55 kg/s (not yet executed).
const std::string kC1Schedule = "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
                                "cmd AddEventToSchedule\nset ExtraData.358 0.55\n";

// The four-stream design with its views and the segment table of H1.
const std::string& viewedCase() {
    static const std::string bytes =
        saved("viewed", ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv"), "",
              "set Switch.411.0 1\n");
    return bytes;
}

// The operated network, locked, with a schedule that changes C1's flow to 0.55 kg/s, not executed
// (so nothing but the event holds its values).
const std::string& scheduledCase() {
    static const std::string bytes =
        saved("scheduled", ExamplePath("operated-streams.csv") + " " + ExamplePath("operated-network.csv"),
              " --open design",
              kC1Schedule);
    return bytes;
}

// The operated network, locked, with C1's flow changed to 0.55 kg/s by the executed schedule.
const std::string& operatedCase() {
    static const std::string bytes =
        saved("operated", ExamplePath("operated-streams.csv") + " " + ExamplePath("operated-network.csv"),
              " --open design",
              kC1Schedule + "cmd ExecuteSchedule\n");
    return bytes;
}

// The four-stream network with C1 split 0.75 / 0.25 at TEE-100, on the operated streams, locked,
// with C1's flow changed to 0.55 kg/s by the executed schedule.
const std::string& splitOperatedCase() {
    static const std::string bytes =
        saved("split-operated", ExamplePath("operated-streams.csv") + " " + ExamplePath("four-streams-split-network.csv"),
              " --open design",
              kC1Schedule + "cmd ExecuteSchedule\n");
    return bytes;
}

// The four-stream table with H1 switched to a utility: its record keeps the cp of 3 it had as a
// process stream (which, the first, the segment, the cp).
const std::string& switchedCase() {
    static const std::string bytes = [] {
        ScratchFile viewed("damaged-records", "switched.case", "", false);
        ScratchFile steps("damaged-records", "switched.txt", "set RowPos.105 0\ncmd SwitchProcessToUtil\n");
        if (RunHost("view " + ExamplePath("four-streams.csv") + " --script " + steps.path + " --save " + viewed.path).exitCode != 0)
            return std::string();
        return withoutTrailer(viewed.path);
    }();
    return bytes;
}

// H1's kept cp given the value `cp`.
std::string keptCp(const std::string& body, double cp) {
    // The kept values' count (one) and the one kept: cp (0) of segment 0.
    const std::size_t at = body.find(CaseLe32(1) + intField(0) + intField(0) + doubleField(3.0));
    if (at == std::string::npos) return std::string();
    std::string out = body;
    out.replace(at + 4 + 10, 9, doubleField(cp));
    return out;
}

// The first field of `record` (by name) at place `index`; null when none.
const CaseField* fieldOf(const std::vector<CaseField>& fields, const std::string& recordName, std::size_t index,
                         std::size_t nth = 0) {
    for (const CaseField& f : fields)
        if (f.record == recordName && f.index == index && !f.valuePart && nth-- == 0) return &f;
    return nullptr;
}

// The record named like a view of type `type`: "R<version>@<depth>:<type>".
std::string viewRecordName(const std::vector<CaseField>& fields, const std::string& type) {
    for (const CaseField& f : fields)
        if (f.record.size() > type.size() && f.record.compare(f.record.size() - type.size() - 1, std::string::npos, ":" + type) == 0)
            return f.record;
    return std::string();
}

// The view number (its id) of the first view of `type`: the int after its type name.
std::int32_t viewId(const std::string& body, const std::string& type, std::size_t from = 8) {
    const std::size_t at = body.find(textField(type), from);
    return at == std::string::npos ? -1 : static_cast<std::int32_t>(CaseU32(body, at + 5 + type.size() + 1));
}

// ---- the damage of each row, on the undamaged case; empty when the spot was not found ----

// Where the scenario viewer's general-plot link is held, with the super-target plot's number;
// npos when not found.
std::size_t generalPlotLink(const std::string& body, std::int32_t& super) {
    std::int32_t general = viewId(body, "ChiSuperTargetPlotObject");
    super = viewId(body, "ChiSuperTargetPlotObject", body.find(textField("ChiSuperTargetPlotObject")) + 1);
    // The general plot, the two series switches, the super-target plot (either may come first
    // among the views).
    std::size_t at = body.find(intField(general) + intField(1) + intField(1) + intField(super));
    if (at == std::string::npos) {
        std::swap(general, super);
        at = body.find(intField(general) + intField(1) + intField(1) + intField(super));
    }
    return general < 1 || super < 1 ? std::string::npos : at;
}

// The scenario viewer's general-plot link set to view `link`; its super-target plot when `link`
// is 0, the segment table when -1.
std::string generalPlotLinkedTo(const std::string& body, std::int32_t link) {
    std::int32_t super = 0;
    const std::size_t at = generalPlotLink(body, super);
    const std::int32_t to = link == 0 ? super : link < 0 ? viewId(body, "SegmentTableObject") : link;
    if (at == std::string::npos || to < 1) return std::string();
    std::string out = body;
    out.replace(at, 5, intField(to));
    return out;
}

// An older stream view (class version 3) placed under the segment table it links, appended to
// the views' set.
std::string processStreamUnderItsTable(const std::string& body) {
    const std::int32_t table = viewId(body, "SegmentTableObject");
    const std::size_t set = 8 + 9 + CaseU32(body, 8 + 5);  // after the project's record
    if (table < 1 || body[set] != 'R') return std::string();
    const std::uint32_t setLength = CaseU32(body, set + 5);
    const std::int32_t views = static_cast<std::int32_t>(CaseU32(body, set + 10));
    std::string data = textField("") + "b" + std::string(1, '\0');
    for (int i = 0; i < 6; ++i) data += doubleField(0.0);
    for (int i = 0; i < 3; ++i) data += intField(0);
    data += record(1, intField(0) + textField("") + textField("") + textField(""));  // no scenario
    data += "b" + std::string(1, '\0') + intField(table) + intField(0);            // no text, the table
    data += record(1, "b" + std::string(1, '\0')) + intField(0);                   // plot parameters, no plot
    const std::string view =
        record(3, textField("ProcessStreamObject") + intField(views + 1) + intField(table) + textField("old") + data);
    std::string out = body;
    out.insert(set + 9 + setLength, view);
    out.replace(set + 5, 4, CaseLe32(setLength + static_cast<std::uint32_t>(view.size())));
    out.replace(set + 10, 4, CaseLe32(static_cast<std::uint32_t>(views + 1)));
    return out;
}

// The grid diagram's first annotation choice, or the first preset's.
std::string annotationChoice(const std::string& body, std::int32_t value, bool preset) {
    const std::vector<CaseField> fields = CaseFieldsOf(body);
    const std::string grid = viewRecordName(fields, "HENDiagramObject");
    // The diagram's record: type, id, parent, name, four switch bytes, the count 6, the choices.
    const CaseField* f = fieldOf(fields, grid, preset ? 0 : 9);
    if (preset) {
        // The first preset: its stream entries, its name and notes, the count 6, the choices.
        const std::size_t at = body.find(textField("Preset 1: (Temperature, No Util.)"));
        if (at == std::string::npos) return std::string();
        const std::size_t count = body.find(intField(6), at);
        if (count == std::string::npos) return std::string();
        std::string out = body;
        out.replace(count + 5, 5, intField(value));
        return out;
    }
    if (!f || f->tag != 'i') return std::string();
    return WithField(body, *f, CaseLe32(static_cast<std::uint32_t>(value)));
}

// C1's record in the design's operating state (the first of its kind): name, supply, target,
// outlet, mass flow, price.
std::string defaultStateFlow(const std::string& body, double flow) {
    const std::size_t at = body.find(textField("C1") + doubleField(20.0) + doubleField(135.0));
    if (at == std::string::npos || body.compare(at + 7 + 27, 9, doubleField(0.5)) != 0) return std::string();
    std::string out = body;
    out.replace(at + 7 + 27, 9, doubleField(flow));
    return out;
}

// E100's observed coefficient in the design's operating state.
std::string observedCoefficient(const std::string& body, double h) {
    const std::size_t at = body.find(textField("ObservedHTC") + doubleField(0.1));
    if (at == std::string::npos) return std::string();
    std::string out = body;
    out.replace(at + 16, 9, doubleField(h));
    return out;
}

// The n-th "Event-P1" the design names (0 the executed schedule, 1 the current one) made a
// schedule the case lacks.
std::string scheduleName(const std::string& body, int n) {
    const std::size_t executed = body.find(textField("Event-P1") + intField(1));  // the study counter follows
    const std::size_t at = n == 0 ? executed : body.find(intField(1) + textField("Event-P1") + intField(1), executed + 1);
    if (executed == std::string::npos || at == std::string::npos) return std::string();
    std::string out = body;
    out.replace(at + (n == 0 ? 0 : 5), 13, textField("Event-P9"));
    return out;
}

// The design's current-study presence (after the executed schedule, the study counter and the
// default study's presence).
std::string currentStudyPresent(const std::string& body, std::int32_t flag) {
    const std::size_t executed = body.find(textField("Event-P1") + intField(1) + intField(0) + intField(0));
    if (executed == std::string::npos) return std::string();
    std::string out = body;
    out.replace(executed + 13 + 10, 5, intField(flag));
    return out;
}

// The design record's (version 22) active flag (its third field).
std::string designActive(const std::string& body, std::int32_t flag) {
    for (const CaseField& f : CaseFieldsOf(body))
        if (f.tag == 'R' && CaseU32(body, f.at + 1) == 22 && body[f.at + 9] == 'i' && body[f.at + 14] == 'd') {
            std::string out = body;
            out.replace(f.at + 9 + 5 + 9, 5, intField(flag));
            return out;
        }
    return std::string();
}

// The status of the first value named `name` whose status is `from`, made `to` (a tree's parts
// come in order: its name, kind, number or text, then its status).
std::string valueStatus(const std::string& body, const std::string& name, std::int32_t from, std::int32_t to) {
    const std::vector<CaseField> fields = CaseFieldsOf(body);
    for (std::size_t i = 0; i + 3 < fields.size(); ++i) {
        const CaseField& named = fields[i];
        const CaseField& status = fields[i + 3];
        if (named.valuePart == 1 && status.valuePart == 4 && CaseU32(body, named.at + 1) == name.size() &&
            body.compare(named.at + 5, name.size(), name) == 0 &&
            CaseU32(body, status.at + 1) == static_cast<std::uint32_t>(from))
            return WithField(body, status, CaseLe32(static_cast<std::uint32_t>(to)));
    }
    return std::string();
}

// The default state's shares of TEE-100's branches (75 and 25 percent, the first of the two
// states that hold them) with the second made `share`.
std::string stateBranchShare(const std::string& body, double share) {
    const std::size_t at = body.find(intField(2) + doubleField(75.0) + doubleField(25.0));
    if (at == std::string::npos) return std::string();
    std::string out = body;
    out.replace(at + 5 + 9, 9, doubleField(share));
    return out;
}

// The executed schedule's event on C1's flow given a new value `flow`.
std::string eventNewValue(const std::string& body, double flow) {
    const std::size_t at = body.find(doubleField(0.5) + doubleField(0.55) + textField("C1"));
    if (at == std::string::npos) return std::string();
    std::string out = body;
    out.replace(at + 9, 9, doubleField(flow));
    return out;
}

struct DamagedRecord {
    const char* name;
    int operated;  // which case: 0 the viewed design, 1 the operated network, 2 its schedule not executed,
                   // 3 the split network operated, 4 the stream table with a stream switched to a utility
                   // (no design)
    std::function<std::string(const std::string&)> damage;
    const char* named;  // the words of the refusal that name the record and its value
};

void PrintTo(const DamagedRecord& d, std::ostream* os) { *os << d.name; }

class HostCaseDamagedRecords : public ::testing::TestWithParam<DamagedRecord> {};

// Each is refused as damaged by every job that reads it, and never crashes one.
TEST_P(HostCaseDamagedRecords, IsRefusedAsDamaged) {
    const DamagedRecord& d = GetParam();
    const std::string& body = d.operated == 4   ? switchedCase()
                              : d.operated == 3 ? splitOperatedCase()
                              : d.operated == 2 ? scheduledCase()
                              : d.operated      ? operatedCase()
                                                : viewedCase();
    ASSERT_FALSE(body.empty());
    const std::string damaged = d.damage(body);
    ASSERT_FALSE(damaged.empty()) << "the field to damage was not found";
    ScratchFile file("damaged-records", std::string(d.name) + ".case", WithCaseChecksum(damaged));
    ScratchFile script("damaged-records", std::string(d.name) + ".txt", "# nothing\n");
    const HostRun view = RunHost("view " + file.path + (d.operated ? " --open design" : "") + " --script " + script.path);
    EXPECT_EQ(1, view.exitCode) << view.out;
    EXPECT_TRUE(has(view.out, "damaged")) << view.out;
    EXPECT_TRUE(has(view.out, d.named)) << view.out;
    if (!d.operated) return;  // a view record: the engine's jobs do not read the views
    for (const char* job : {"targets", "design"}) {
        if (d.operated == 4 && std::string(job) == "design") continue;  // no network to design on
        const HostRun run = RunHost(std::string(job) + " " + file.path);
        EXPECT_EQ(1, run.exitCode) << job << "\n" << run.out;
        EXPECT_TRUE(has(run.out, "damaged")) << job << "\n" << run.out;
        EXPECT_TRUE(has(run.out, d.named)) << job << "\n" << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, HostCaseDamagedRecords,
    ::testing::Values(
        DamagedRecord{"GeneralPlotIsTheSuperTargetPlot", false, [](const std::string& b) { return generalPlotLinkedTo(b, 0); },
                      "\"base\": it links the view \"ChiSuperTargetPlotObject\" \"ChiSuperTargetPlot\" as two of its children"},
        DamagedRecord{"GeneralPlotIsTheSegmentTable", false, [](const std::string& b) { return generalPlotLinkedTo(b, -1); },
                      "\"SegmentTableObject\" \"H1\", where a \"ChiSuperTargetPlotObject\" belongs"},
        DamagedRecord{"GeneralPlotPastTheViews", false, [](const std::string& b) { return generalPlotLinkedTo(b, 9999); },
                      "a link to view 9999, where the case holds "},
        DamagedRecord{"ProcessStreamUnderItsOwnTable", false, processStreamUnderItsTable,
                      "\"old\": it links its own owner, the view \"SegmentTableObject\""},
        DamagedRecord{"AnnotationChoice99", false, [](const std::string& b) { return annotationChoice(b, 99, false); },
                      "\"HENDiagramObject\" \"Network HENDiagram\": label choice 99 at annotation 0, none of the entries 0 to 8"},
        DamagedRecord{"AnnotationChoiceMinus5", false, [](const std::string& b) { return annotationChoice(b, -5, false); },
                      "label choice -5 at annotation 0"},
        DamagedRecord{"PresetAnnotationChoice9", false, [](const std::string& b) { return annotationChoice(b, 9, true); },
                      "preset \"Preset 1: (Temperature, No Util.)\": label choice 9 at annotation 0"},
        DamagedRecord{"UnitDutyStatus7", 1, [](const std::string& b) { return valueStatus(b, "Duty", 2, 7); },
                      "the value \"Duty\" has the status 7, none of open (0), specified (1) and calculated (2)"},
        DamagedRecord{"UnitDutyStatusMinus1", 1, [](const std::string& b) { return valueStatus(b, "Duty", 2, -1); },
                      "the value \"Duty\" has the status -1"},
        DamagedRecord{"StateBranchSharesAbove100", 3, [](const std::string& b) { return stateBranchShare(b, 35.0); },
                      "the operating state of splitter \"TEE-100\": branch shares adding up to 110 percent"},
        DamagedRecord{"StateBranchSharesBelow100", 3, [](const std::string& b) { return stateBranchShare(b, 24.9); },
                      "branch shares adding up to 99.9 percent"},
        DamagedRecord{"DefaultStateFlowNegative", true, [](const std::string& b) { return defaultStateFlow(b, -0.5); },
                      "stream \"C1\": MassFlow -0.5 "},
        DamagedRecord{"DefaultStateFlowNotTheStreams", true, [](const std::string& b) { return defaultStateFlow(b, 50.0); },
                      "stream \"C1\" a mass flow of 50 "},
        DamagedRecord{"ObservedCoefficientNegative", true, [](const std::string& b) { return observedCoefficient(b, -0.1); },
                      "exchanger \"E100\": ObservedHTC -0.1 "},
        DamagedRecord{"ExecutedScheduleUnknown", true, [](const std::string& b) { return scheduleName(b, 0); },
                      "the executed schedule \"Event-P9\""},
        DamagedRecord{"CurrentScheduleUnknown", true, [](const std::string& b) { return scheduleName(b, 1); },
                      "the current schedule \"Event-P9\""},
        DamagedRecord{"CurrentStudyPresent2", true, [](const std::string& b) { return currentStudyPresent(b, 2); },
                      "the current study: the presence flag is 2"},
        DamagedRecord{"CurrentStudyPresentMinus1", true, [](const std::string& b) { return currentStudyPresent(b, -1); },
                      "the current study: the presence flag is -1"},
        DamagedRecord{"EventNewValueNegative", true, [](const std::string& b) { return eventNewValue(b, -0.55); },
                      "its new MassFlow -0.55 "},
        DamagedRecord{"EventNotExecutedNewValue0", 2, [](const std::string& b) { return eventNewValue(b, 0.0); },
                      "its new MassFlow 0 "},
        DamagedRecord{"KeptCpNegative", 4, [](const std::string& b) { return keptCp(b, -3.0); }, "the case file is damaged"},
        DamagedRecord{"KeptCp0", 4, [](const std::string& b) { return keptCp(b, 0.0); }, "the case file is damaged"}),
    [](const ::testing::TestParamInfo<DamagedRecord>& info) { return std::string(info.param.name); });

// The undamaged cases open, and the operated one resets to its own locked flows.
TEST(HostCaseDamagedRecords, TheUndamagedCasesOpen) {
    for (const std::string* body : {&viewedCase(), &operatedCase()}) {
        ASSERT_FALSE(body->empty());
        ScratchFile file("damaged-records", "whole.case", WithCaseChecksum(*body));
        const HostRun run = RunViewScript(file.path, "# nothing\n");
        EXPECT_EQ(0, run.exitCode) << run.out;
    }
    ScratchFile file("damaged-records", "operated.case", WithCaseChecksum(operatedCase()));
    const HostRun run = RunViewScript(file.path, "cmd ResetDefaultState\nget ExtraData.358\n", " --open design");
    EXPECT_EQ(0, run.exitCode) << run.out;
}

// A design stored inactive is read active: an edit on its grid takes effect and is saved.
TEST(HostCaseDamagedRecords, ADesignStoredInactiveTakesEdits) {
    const std::string damaged = designActive(viewedCase(), 0);
    ASSERT_FALSE(damaged.empty());
    ScratchFile file("damaged-records", "inactive.case", WithCaseChecksum(damaged));
    ScratchFile after("damaged-records", "inactive-after.case", "", false);
    const HostRun run = RunViewScript(file.path, "cmd deletehx \"E3\"\n", " --open grid --save " + after.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const HostRun report = RunHost("design " + after.path + " --json");
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_FALSE(has(report.out, "\"name\": \"E3\"")) << report.out;
    EXPECT_TRUE(has(report.out, "\"name\": \"E2\"")) << report.out;
}

// ---- the sweep: every kind of record, each typed field given values no form could give ----

// A record's kind: a view's type, else its version, depth and the tags of its first fields (the
// stream records of a state are one kind, whatever stream they name). Each part of a value tree
// is a kind of its own, whatever record holds the tree.
std::string kindOf(const std::vector<CaseField>& fields, const std::map<std::size_t, std::size_t>& firstField,
                   const CaseField& f) {
    if (f.valuePart) return "value part " + std::to_string(f.valuePart);
    const std::size_t colon = f.record.find(':');
    if (colon != std::string::npos && f.record.size() > 6 && f.record.compare(f.record.size() - 6, 6, "Object") == 0)
        return f.record;
    std::string kind = f.record.substr(0, colon) + " ";
    const auto first = firstField.find(f.recordAt);
    for (std::size_t i = first == firstField.end() ? fields.size() : first->second;
         i < fields.size() && kind.size() < 24; ++i)
        if (fields[i].recordAt == f.recordAt && !fields[i].valuePart) kind += fields[i].tag;
    return kind;
}

struct Mutation {
    const CaseField* field;
    std::string payload;
    std::string what;
};

// The values of a field's kind that no form gives: negative, zero, huge, another view's number,
// the view's own number and its parent's, an unknown name (of the same length, so the framing
// holds).
std::vector<std::string> payloadsOf(const std::string& body, const CaseField& f, std::int32_t own, std::int32_t parent) {
    std::vector<std::string> out;
    const auto i32 = [](std::int32_t v) { return CaseLe32(static_cast<std::uint32_t>(v)); };
    switch (f.tag) {
    case 'i':
    case 'l':
        for (std::int32_t v : {-1, 0, 2, 7, 99, 2147483647, static_cast<std::int32_t>(-2147483647 - 1), own, parent, own + 1})
            out.push_back(i32(v));
        break;
    case 'b':
    case 'c':
        for (int v : {0, 1, 2, 255}) out.push_back(std::string(1, static_cast<char>(v)));
        break;
    case 'd':
        for (double v : {-1.0, 0.0, 1e300, -1e300, -32767.0, 1e-300, -0.5, std::numeric_limits<double>::quiet_NaN(),
                         -std::numeric_limits<double>::infinity()})
            out.push_back(CaseLe64(v));
        break;
    case 's': {
        const std::uint32_t n = CaseU32(body, f.at + 1);
        if (n > 0 && n < 64) out.push_back(CaseLe32(n) + std::string(n, 'Z'));
        break;
    }
    case 'R':
        for (std::int32_t v : {0, -1, 99, static_cast<std::int32_t>(CaseU32(body, f.at + 1)) + 1}) out.push_back(i32(v));
        break;
    default: break;
    }
    return out;
}

// Every mutation of every field of the case, each record kind's in one list.
std::vector<std::vector<Mutation>> mutationsByKind(const std::string& body, const std::vector<CaseField>& fields) {
    std::map<std::string, std::vector<Mutation>> kinds;
    std::map<std::size_t, std::size_t> firstField;
    for (std::size_t i = 0; i < fields.size(); ++i) firstField.emplace(fields[i].recordAt, i);
    std::int32_t own = 0, parent = 0;
    for (const CaseField& f : fields) {
        // A view's number and its parent's are its second and third fields.
        if (f.index == 1 && f.tag == 'i' && !f.valuePart) own = static_cast<std::int32_t>(CaseU32(body, f.at + 1));
        if (f.index == 2 && f.tag == 'i' && !f.valuePart) parent = static_cast<std::int32_t>(CaseU32(body, f.at + 1));
        for (std::string& p : payloadsOf(body, f, own, parent))
            kinds[kindOf(fields, firstField, f)].push_back(
                {&f, p,
                 f.record + " field " + std::to_string(f.index) +
                     (f.valuePart ? " value part " + std::to_string(f.valuePart) : std::string())});
    }
    std::vector<std::vector<Mutation>> out;
    for (auto& [kind, list] : kinds) out.push_back(std::move(list));
    return out;
}

// How many slots the record kinds of a saved case are spread over: KESTRIN_DAMAGE_SAMPLE, else 24
// (each slot a test of its own, so that CI runs them side by side; every kind is damaged once, in
// one field with one value, each up to three host runs); "all" tries every field with every value.
int sampleSize() {
    const char* v = std::getenv("KESTRIN_DAMAGE_SAMPLE");
    if (v && std::string(v) == "all") return -1;
    return v && std::atoi(v) > 0 ? std::atoi(v) : 24;
}

class HostCaseDamageSweep : public ::testing::TestWithParam<int> {};

// One damaged case per record kind in turn (the kinds taken round-robin, a field and a value of
// each by a fixed seed): each job refuses it, naming why, or reads it; none crashes, and none
// reports an invalid access.
TEST_P(HostCaseDamageSweep, NoJobCrashesOnADamagedField) {
    const bool operated = GetParam() % 2 == 1;
    const int slot = GetParam() / 2;
    const std::string& body = operated ? operatedCase() : viewedCase();
    ASSERT_FALSE(body.empty());
    const std::vector<CaseField> fields = CaseFieldsOf(body);
    ASSERT_FALSE(fields.empty());
    const std::vector<std::vector<Mutation>> kinds = mutationsByKind(body, fields);
    std::vector<const Mutation*> chosen;
    const int size = sampleSize();
    if (size < 0) {
        for (const auto& kind : kinds)
            for (const Mutation& m : kind) chosen.push_back(&m);
    } else {
        // Slot s takes kind s, s + n, ... of the kinds, one mutation of each.
        // KESTRIN_DAMAGE_SEED picks other fields and values of the same kinds.
        const char* seed = std::getenv("KESTRIN_DAMAGE_SEED");
        std::mt19937 random(static_cast<unsigned>(1381 + GetParam() + (seed ? 1000 * std::atoi(seed) : 0)));
        for (std::size_t k = static_cast<std::size_t>(slot); k < kinds.size(); k += static_cast<std::size_t>(size)) {
            std::uniform_int_distribution<std::size_t> pick(0, kinds[k].size() - 1);
            chosen.push_back(&kinds[k][pick(random)]);
        }
    }
    ScratchFile script("damage-sweep", "none.txt", "# nothing\n");
    for (const Mutation* m : chosen) {
        std::string damaged = body;
        damaged.replace(m->field->at + 1, m->payload.size(), m->payload);
        ScratchFile file("damage-sweep", std::to_string(GetParam()) + ".case", WithCaseChecksum(damaged));
        // A view record is read by `view` only; the engine's records by every job.
        const bool viewRecord = m->field->record.find("Object") != std::string::npos;
        std::vector<std::string> jobs{"view " + file.path + " --script " + script.path};
        if (!viewRecord) {
            jobs.push_back("targets " + file.path);
            jobs.push_back("design " + file.path);
        }
        for (const std::string& job : jobs) {
            const HostRun run = RunHost(job);
            EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << m->what << " at " << m->field->at << ": " << job
                                                                 << " exit " << run.exitCode << "\n" << run.out;
            EXPECT_FALSE(has(run.out, "Sanitizer") || has(run.out, "runtime error")) << m->what << "\n" << run.out;
            if (run.exitCode == 1) {
                EXPECT_FALSE(run.out.empty()) << m->what;
            }
        }
    }
}

// The values a record holds in a tree (a unit's variables) are damaged part by part: name, kind,
// number or text, status, lock and count are each a kind of the sweep's own.
TEST(HostCaseDamageSweepKinds, EachPartOfAValueTreeIsAKind) {
    const std::string& body = operatedCase();
    ASSERT_FALSE(body.empty());
    const std::vector<CaseField> fields = CaseFieldsOf(body);
    std::set<std::string> parts;
    for (const auto& kind : mutationsByKind(body, fields))
        for (const Mutation& m : kind) {
            const std::size_t at = m.what.find(" value part ");
            if (at != std::string::npos) parts.insert(m.what.substr(at + 12));
        }
    EXPECT_EQ((std::set<std::string>{"1", "2", "3", "4", "5", "6"}), parts);
}

INSTANTIATE_TEST_SUITE_P(Sample, HostCaseDamageSweep, ::testing::Range(0, 2 * std::max(1, sampleSize())));

}  // namespace
