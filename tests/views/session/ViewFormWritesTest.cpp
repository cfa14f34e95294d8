// Every cell of every form the views of a case show, written as a user may write what no cell
// takes: a value into a read-only cell, a number past either end of the range its kind of
// quantity has in a case, a text that is no number into a number cell, and an empty value. Each
// such write is refused (answer 0) with one message that has a text of its own and whose key the
// form lists for the cell, the cell reads as before, and the case saved and reopened holds what
// it held. Driven in the module itself: the cases are made once by kestrin-host, then opened,
// walked, saved and reopened in memory.
#ifdef KESTRIN_HOST_EXE
#include "brasko/CaseDocument.h"
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "lumeth/FormWrites.h"
#include "lumeth/CellDomain.h"
#include "lumeth/KindRanges.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "tests/host/HostProcess.h"
#include "views/case/ChiView.h"
#include "views/case/project/HIDesignViewerProject.h"
#include "views/case/project/HIDesignViewerTotalSite.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/session/ViewScript.h"
#include "tests/views/session/FormSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace form_sweep;

struct Write {
    Text script;   // the one action
    bool refused;  // whatever the cell, it must not be taken
};

// What is written into a cell: always-refused writes first, then the empty value, which a cell
// may take (it erases).
std::vector<Write> writesFor(Viewable* view, const FormVariable& row, const Text& cell, bool readOnly) {
    std::vector<Write> out;
    if (row.hook == FormHook::Text) {
        if (readOnly) out.push_back({"settext " + cell + " x", true});
        else out.push_back({"settext " + cell, false});
        return out;
    }
    VarDescription var;
    VarDescription::Parse(cell, var);
    const int kind = view->GetEDVarType(var);
    const UnitConversion unit = DefUnitConv(kind);
    if (readOnly) {
        out.push_back({"set " + cell + " 1", true});
        return out;
    }
    // The general economics take a plant life (years, any length) and hours of operation by the
    // addresses of read-only cells of other kinds: what is typed there is not of the kind shown.
    const bool economics = row.address == "ExtraData.301" || row.address == "ExtraData.302";
    if (const KindRange* range = economics ? nullptr : FindKindRange(kind)) {
        const double below = range->low - std::max(1.0, std::fabs(range->low));
        const double above = range->high * 1000.0;
        for (const double base : {below, above})
            out.push_back({"set " + cell + " " + FormattedText("%.17g", calc_ounit(base, unit)), true});
    }
    // A number cell that takes a text of its own (a name typed where a number is shown) may take it.
    out.push_back({"settext " + cell + " abc", false});
    out.push_back({"set " + cell + " empty", false});
    return out;
}

class ViewFormWrites : public ::testing::TestWithParam<const char*> {
protected:
    static std::string Path(const std::string& name) { return casePath(name); }
};

// Saved and reopened after the refused writes, the case holds what it held before them: the
// cells of the view the case opens on read as in the case reopened untouched.
void compareReopened(OpenCase& c, const std::vector<std::uint8_t>& original, const std::string& name,
                     const std::map<std::string, Text>& refusedCells) {
    OpenCase reopened;
    ASSERT_TRUE(reopened.Read(c.Save())) << name;
    OpenCase baseline;
    ASSERT_TRUE(baseline.Read(original)) << name;
    EXPECT_EQ(baseline.project->GetProjectName(), reopened.project->GetProjectName());
    std::ostringstream a, b;
    for (OpenCase* o : {&baseline, &reopened}) {
        std::ostringstream& out = o == &baseline ? a : b;
        Viewable* start = startOf(o->root, name);
        const ObjectTypeInfo* type = start->GetViewType();
        for (const FormVariable& row : ListedForm(type).Variables())
            if (row.hook == FormHook::Value && row.dimensions <= 1)
                for (const Text& cell : cellsOf(start, row))
                    // Where the user last typed (the cursor of a table) follows every write.
                    if (refusedCells.count(start->GetName() + " (" + type->GetName() + ") " + cell) &&
                        cell.find("Pos") == Text::npos)
                        out << cell << " " << readCell(start, row, cell) << "\n";
    }
    EXPECT_EQ(a.str(), b.str());
}

TEST_P(ViewFormWrites, NoCellTakesWhatItMustRefuseAndEveryRefusalSaysWhy) {
    const std::string name = GetParam();
    const std::vector<std::uint8_t> original = bytesOf(Path(name));
    ASSERT_FALSE(original.empty()) << Path(name);
    OpenCase c;
    ASSERT_TRUE(c.Read(original)) << name;
    const std::vector<Walked> cells = walkedCells(c, name, false);
    ASSERT_GT(cells.size(), 20u);
    int writes = 0;
    std::map<std::string, Text> refusedCells;
    // The writes no cell may take first, then the empty value, which a cell may take.
    for (const bool mustRefuse : {true, false}) {
        for (const Walked& w : cells) {
            const auto life = w.view->LifeToken();
            if (life.expired()) continue;
            const bool readOnly = stateOf(w.view, w.row, w.cell) == ReadOnlyState;
            const Text listed = " " + ListedRefusals(ListedForm(w.view->GetViewType()), w.row.address) + " ";
            for (const Write& write : writesFor(w.view, w.row, w.cell, readOnly)) {
                if (life.expired()) break;
                if (write.refused != mustRefuse) continue;
                const Text before = readCell(w.view, w.row, w.cell);
                ViewScriptRunner runner(c.root, w.view);
                // A question the write asks (a deletion to confirm) is not confirmed.
                runner.Run("answer 0\n" + write.script, "write");
                ++writes;
                ASSERT_EQ(2u, runner.Steps().size()) << w.where << ": " << write.script << " " << runner.Error();
                EXPECT_TRUE(runner.Error().empty()) << runner.Error();
                const ViewScriptStep& step = runner.Steps().back();
                const std::string what = w.where + ": " + write.script;
                if (write.refused) {
                    EXPECT_EQ(0, step.result) << what;
                }
                if (step.result != 0) continue;
                std::vector<SessionEntry> told;
                Text keys;
                for (const SessionEntry& e : step.journal)
                    if (e.event == SessionEvent::Error || e.event == SessionEvent::Response) {
                        told.push_back(e);
                        keys += " " + e.key;
                    }
                EXPECT_EQ(1u, told.size()) << what << ": told" << keys;
                for (const SessionEntry& e : told) {
                    EXPECT_NE(listed.find(" " + e.key + " "), Text::npos) << what << ": " << e.key << " is not among" << listed;
                    EXPECT_FALSE(e.text.empty() || e.text == e.key || e.text.find("%s") != Text::npos) << what << ": " << e.text;
                }
                if (!life.expired()) {
                    EXPECT_EQ(before, readCell(w.view, w.row, w.cell)) << what;
                    if (mustRefuse) refusedCells[w.where] = before;
                }
            }
        }
        if (mustRefuse) compareReopened(c, original, name, refusedCells);
    }
    EXPECT_GT(writes, 500);
    Session::Instance().Reset();
}

// A value a user might type into the cell, in the unit the cell shows: the cell's own value, or
// moved a little (so that a write taken would show), within the range of its kind.
Text validValueFor(Viewable* view, const FormVariable& row, const Text& cell, const Text& read, bool moved) {
    // A text of one line (a script line ends at its end).
    if (row.hook == FormHook::Text) return Text(read.substr(0, std::min<std::size_t>(read.find('\n'), 40))) + (moved ? "1" : "");
    VarDescription var;
    VarDescription::Parse(cell, var);
    const int kind = view->GetEDVarType(var);
    const double now = read == "nan" ? Viewable::EmptyValue : std::strtod(read.c_str(), nullptr);
    double v = now == Viewable::EmptyValue ? 1.0 : !moved ? now : now == 0.0 ? 1.0 : now * 1.01;
    if (const KindRange* range = FindKindRange(kind)) v = std::clamp(v, range->low, range->high);
    return FormattedText("%.17g", calc_ounit(v, DefUnitConv(kind)));
}

// What `status` answers for a cell and what a write of a sound value gets agree: a cell shown
// read-only refuses a value moved from its own with "ReadOnlyCell", which its form lists, and
// reads as before, in the views and in the case saved and reopened; a cell shown editable is
// never refused as read-only (its own value typed again).
TEST_P(ViewFormWrites, StatusAndTheWriteAgreeForEveryCell) {
    const std::string name = GetParam();
    const std::vector<std::uint8_t> original = bytesOf(Path(name));
    OpenCase c;
    ASSERT_TRUE(c.Read(original)) << name;
    const std::vector<Walked> cells = walkedCells(c, name, true);
    int readOnly = 0, editable = 0;
    std::map<std::string, Text> refusedCells;
    std::vector<std::string> disagreements;
    // The cells shown read-only first: the writes the others take may change what they show.
    for (const bool shownReadOnly : {true, false}) {
        for (const Walked& w : cells) {
            const auto life = w.view->LifeToken();
            if (life.expired()) continue;
            ViewScriptRunner asked(c.root, w.view);
            asked.Run("status " + w.cell, "status");
            ASSERT_EQ(1u, asked.Steps().size()) << w.where << " " << asked.Error();
            // A row the writes before emptied its table from (a list of the exchangers found, say)
            // is no cell now.
            if (!asked.Error().empty()) continue;
            if ((asked.Steps()[0].editable == ReadOnlyState) != shownReadOnly) continue;
            const Text before = readCell(w.view, w.row, w.cell);
            const Text script = (w.row.hook == FormHook::Text ? "settext " : "set ") + w.cell + " " +
                                validValueFor(w.view, w.row, w.cell, before, shownReadOnly);
            ViewScriptRunner runner(c.root, w.view);
            runner.Run("answer 0\n" + script, "write");
            ASSERT_EQ(2u, runner.Steps().size()) << w.where << ": " << script << " " << runner.Error();
            const ViewScriptStep& step = runner.Steps().back();
            Text keys;
            for (const SessionEntry& e : step.journal)
                if (e.event == SessionEvent::Error || e.event == SessionEvent::Response) keys += " " + e.key;
            const std::string what = w.where + ": " + script + " (status " + (shownReadOnly ? "read-only" : "editable") +
                                     "): result " + std::to_string(step.result) + ", told" + std::string(keys.empty() ? " nothing" : keys.c_str());
            if (!shownReadOnly) {
                ++editable;
                if (keys.find(WriteRefusal::ReadOnly) != Text::npos) disagreements.push_back(what);
                continue;
            }
            ++readOnly;
            const Text listed = " " + ListedRefusals(ListedForm(w.view->GetViewType()), w.row.address) + " ";
            if (step.result != 0 || keys != Text(" ") + WriteRefusal::ReadOnly ||
                listed.find(Text(" ") + WriteRefusal::ReadOnly + " ") == Text::npos ||
                (!life.expired() && before != readCell(w.view, w.row, w.cell))) {
                disagreements.push_back(what);
                continue;
            }
            refusedCells[w.where] = before;
        }
        if (shownReadOnly) compareReopened(c, original, name, refusedCells);
    }
    std::string all;
    for (const std::string& d : disagreements) all += d + "\n";
    EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " cells:\n" << all;
    EXPECT_GT(readOnly, 20) << name;
    EXPECT_GT(editable, 20) << name;
    Session::Instance().Reset();
}

// A cell `status` shows editable takes a value of its domain now: a switch or a choice of two
// takes one of its two values (a port switch where no heater or cooler may be placed or taken
// away is read-only), any other number cell the value it shows, typed again. A taken switch is
// set back as it was.
TEST_P(ViewFormWrites, EveryEditableNumberCellTakesAValueOfItsDomain) {
    const std::string name = GetParam();
    OpenCase c;
    ASSERT_TRUE(c.Read(bytesOf(Path(name)))) << name;
    std::vector<std::string> disagreements;
    int tried = 0;
    for (const Walked& w : walkedCells(c, name, false)) {
        const auto life = w.view->LifeToken();
        if (life.expired() || w.row.hook != FormHook::Value) continue;
        if (stateOf(w.view, w.row, w.cell) == ReadOnlyState) continue;
        VarDescription var;
        VarDescription::Parse(w.cell, var);
        const CellDomain* domain = w.row.domain.Declared() ? &w.row.domain : FindKindDomain(w.view->GetEDVarType(var));
        // A number cell that shares its address with a text the user types is the text's.
        const bool typedText = std::any_of(ListedForm(w.view->GetViewType()).Variables().begin(),
                                           ListedForm(w.view->GetViewType()).Variables().end(), [&](const FormVariable& v) {
                                               return v.address == w.row.address && v.hook == FormHook::Text;
                                           });
        if (typedText) continue;
        const Text now = readCell(w.view, w.row, w.cell);
        std::vector<Text> values;
        if (domain && domain->whole && domain->low == 0.0 && domain->high == 1.0) values = {"0", "1"};
        else if (now != "nan" && std::strtod(now.c_str(), nullptr) != Viewable::EmptyValue)
            values = {validValueFor(w.view, w.row, w.cell, now, false)};
        if (values.empty()) continue;
        // A cell that shows another quantity than it takes (the general economics at the addresses of
        // the retrofit summary) is given a value of its domain.
        const double shown = std::strtod(values[0].c_str(), nullptr);
        const double base = domain && domain->typed ? shown : calc_unit(shown, DefUnitConv(w.view->GetEDVarType(var)));
        if (values.size() == 1 && domain && domain->shape == CellDomain::Shape::Numbers && !domain->entries &&
            !domain->limit && !domain->Takes(base, *w.view, var)) {
            const double inside = std::isfinite(domain->high) ? (domain->low + domain->high) / 2.0 : domain->low + 1.0;
            const double v = domain->whole ? std::ceil(inside) : inside;
            values = {FormattedText("%.17g", domain->typed ? v : calc_ounit(v, DefUnitConv(w.view->GetEDVarType(var))))};
        }
        ++tried;
        bool taken = false;
        Text told;
        for (const Text& v : values) {
            ViewScriptRunner runner(c.root, w.view);
            runner.Run("answer 0\nset " + w.cell + " " + v, "write");
            if (runner.Steps().size() != 2u || life.expired()) break;
            const ViewScriptStep& step = runner.Steps().back();
            for (const SessionEntry& e : step.journal)
                if (e.event == SessionEvent::Error) told += " " + e.key;
            if (step.result == 1) {
                taken = true;
                if (values.size() > 1) {
                    ViewScriptRunner back(c.root, w.view);
                    back.Run("answer 0\nset " + w.cell + " " + now, "back");
                }
                break;
            }
        }
        // A name typed where a number is shown (a new design's name) is the cell's text.
        if (!taken && !life.expired()) {
            ViewScriptRunner named(c.root, w.view);
            named.Run("answer 0\nsettext " + w.cell + " " + w.view->TextValue(var) + "x", "text");
            taken = named.Steps().size() == 2u && named.Steps().back().result == 1;
        }
        if (!taken && !life.expired()) disagreements.push_back(w.where + ": editable, refused" + std::string(told.c_str()));
    }
    std::string all;
    for (const std::string& d : disagreements) all += d + "\n";
    EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " cells:\n" << all;
    EXPECT_GT(tried, 10) << name;
    Session::Instance().Reset();
}

// The form a script lists shows each cell of its own (no column, no table) editable exactly where
// `status` says a write is taken: a cell its view's state makes read-only now is listed read-only,
// whatever its row lists, and one the state opens (a marked cell of an infeasible exchanger) is
// listed editable. Whatever its state now, it lists every key a write of it may be answered with.
TEST_P(ViewFormWrites, TheFormListsEachCellAsStatusTellsIt) {
    const std::string name = GetParam();
    OpenCase c;
    ASSERT_TRUE(c.Read(bytesOf(Path(name)))) << name;
    const std::vector<Walked> cells = walkedCells(c, name, false);
    std::map<Viewable*, std::map<std::string, bool>> listings;
    std::map<Viewable*, std::map<std::string, std::string>> refusals;
    std::vector<std::string> disagreements;
    int compared = 0;
    for (const Walked& w : cells) {
        if (w.row.dimensions != 0 || w.row.numbered) continue;
        auto [at, added] = listings.emplace(w.view, std::map<std::string, bool>());
        if (added) {
            // The view's own rows: "  ADDRESS HOOK type=.. unit=.. editable|readonly ..." at the
            // first indent.
            std::istringstream lines(ViewScriptRunner::FormText(w.view).c_str());
            std::string line;
            std::getline(lines, line);
            while (std::getline(lines, line) && line.rfind("  ", 0) == 0 && line[2] != ' ') {
                std::istringstream words(line);
                std::string address, word;
                words >> address;
                while (words >> word) {
                    if (word == "editable" || word == "readonly") at->second[address] = word == "editable";
                    if (word.rfind("refuses=", 0) == 0) {
                        std::string keys = word.substr(8), key;
                        while (words >> key) keys += " " + key;
                        refusals[w.view][address] = keys;
                    }
                }
            }
        }
        const auto shown = at->second.find(w.cell.c_str());
        if (shown == at->second.end()) continue;
        ViewScriptRunner asked(c.root, w.view);
        asked.Run("status " + w.cell, "status");
        ASSERT_EQ(1u, asked.Steps().size()) << w.where << " " << asked.Error();
        ++compared;
        const std::string listed = ListedRefusals(ListedForm(w.view->GetViewType()), w.row.address).c_str();
        if (refusals[w.view][w.cell.c_str()] != listed)
            disagreements.push_back(w.where + ": refuses " + refusals[w.view][w.cell.c_str()] + ", listed " + listed);
        const bool takes = asked.Steps()[0].editable != ReadOnlyState;
        if (shown->second != takes)
            disagreements.push_back(w.where + ": listed " + (shown->second ? "editable" : "readonly") + ", status " +
                                    std::to_string(asked.Steps()[0].editable));
    }
    std::string all;
    for (const std::string& d : disagreements) all += d + "\n";
    EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " cells:\n" << all;
    EXPECT_GT(compared, 20) << name;
    Session::Instance().Reset();
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewFormWrites, ::testing::Values("targets", "design", "split", "locked", "retrofit", "site"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// Writes a user made that a view took, or refused without a word, each refused now with its
// message; the cell reads as before, in the views and in the case saved and reopened.
struct Refused {
    const char* name;
    const char* input;  // the case
    const char* open;   // the script lines that reach the view
    const char* write;  // the one action
    const char* key;    // the message it shows
    const char* read;   // the cell that must read as before
};
void PrintTo(const Refused& r, std::ostream* out) { *out << r.name; }

const char* const kE1 = "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\n";
const char* const kSplitter =
    "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n";
const char* const kUtilityDefaults = "cmd OpenUDB\nopen @last\n";
// E3 with its duty freed and its area given: the one exchanger of the design's area-specified list.
const char* const kE3Sized = "set HeatFlow.304.2 empty\nset Area.302.2 50\n";
// E1 with its shells in series given, not worked out.
const char* const kE1Shells = "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\nset Switch.701 0\n";

class ViewFormWriteRefused : public ::testing::TestWithParam<Refused> {};

// The value a step read, as text.
Text readOut(const ViewScriptStep& s) {
    if (s.hasText) return s.text;
    Text out;
    for (double v : s.values) out += FormattedText("%.12g ", v);
    return out;
}

TEST_P(ViewFormWriteRefused, IsRefusedWithItsMessageAndChangesNothing) {
    const Refused& r = GetParam();
    OpenCase c;
    ASSERT_TRUE(c.Read(bytesOf(casePath(r.input)))) << r.input;
    const std::string getter = std::string(r.read).rfind("ExtraData.901", 0) == 0 ? "text " : "get ";
    const std::string read = getter + r.read + "\n";
    ViewScriptRunner runner(c.root, startOf(c.root, r.input));
    runner.Run(std::string(r.open) + read + r.write + "\n" + read, "refused");
    const std::vector<ViewScriptStep>& steps = runner.Steps();
    ASSERT_GE(steps.size(), 3u) << runner.Error();
    const ViewScriptStep& write = steps[steps.size() - 2];
    EXPECT_EQ(0, write.result) << write.input;
    std::vector<SessionEntry> told;
    for (const SessionEntry& e : write.journal)
        if (e.event == SessionEvent::Error || e.event == SessionEvent::Response) told.push_back(e);
    ASSERT_EQ(1u, told.size()) << write.input;
    EXPECT_EQ(Text(r.key), told[0].key);
    EXPECT_NE(told[0].text, told[0].key);
    const Text before = readOut(steps[steps.size() - 3]);
    EXPECT_EQ(before, readOut(steps.back()));
    // Saved and reopened.
    OpenCase reopened;
    ASSERT_TRUE(reopened.Read(c.Save()));
    ViewScriptRunner again(reopened.root, startOf(reopened.root, r.input));
    again.Run(std::string(r.open) + read, "reopened");
    ASSERT_FALSE(again.Steps().empty()) << again.Error();
    EXPECT_EQ(before, readOut(again.Steps().back()));
    Session::Instance().Reset();
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ViewFormWriteRefused,
    ::testing::Values(
        // Cells their state makes read-only.
        Refused{"ExchangerInletTemperature", "design", kE1, "set Temperature.755 -300", "ReadOnlyCell", "Temperature.755"},
        Refused{"ExchangerColdOutlet", "design", kE1, "set Temperature.762 20", "ReadOnlyCell", "Temperature.762"},
        Refused{"SplitFractionCalculated", "split", kSplitter, "set Fraction.200.1 0", "ReadOnlyCell", "Fraction.200.1"},
        // The design viewer's cells of values the network calculated (E1's area, its cold inlet,
        // the heater's duty), and a two-segment stream's load in the stream table, whatever keys
        // the cells list of their own.
        Refused{"DesignAreaCalculated", "design", "", "set Area.302.0 100", "ReadOnlyCell", "Area.302.0"},
        Refused{"DesignSideTemperatureCalculated", "design", "", "set Temperature.344.0 85", "ReadOnlyCell",
                "Temperature.344.0"},
        Refused{"DesignHeaterDutyCalculated", "design", "", "set HeatFlow.304.4 25", "ReadOnlyCell", "HeatFlow.304.4"},
        // Switched to keep its duty, the heater's outlet is calculated: the cell that takes it
        // (HeatFlow.356) is as read-only as the cell that shows it (Temperature.356).
        Refused{"DesignHeaterOutletCalculated", "design", "set Switch.356.0 1\nset Switch.319.0 0\n",
                "set HeatFlow.356.0 150", "ReadOnlyCell", "Temperature.356.0"},
        Refused{"LoadOfASegmentedStream", "targets", "", "set HeatFlow.405.0 300", "ReadOnlyCell", "HeatFlow.405.0"},
        // Past the range a case holds.
        Refused{"ExchangerDutyHuge", "design", kE1, "set HeatFlow.200 1e15", "SpecRange", "HeatFlow.200"},
        Refused{"ExchangerDutyNegative", "design", kE1, "set HeatFlow.200 -5", "SpecRange", "HeatFlow.200"},
        Refused{"ExchangerFoulingNegative", "design", kE1, "set Fouling.200 -1", "SpecRange", "Fouling.200"},
        Refused{"MeasuredTemperature", "design", "", "set Temperature.601.0 -300", "SpecRange", "Temperature.601.0"},
        Refused{"ApproachHuge", "design", "", "set DeltaTemp.500 1e15", "SpecRange", "DeltaTemp.500"},
        Refused{"SiteTemperatureBelowAbsoluteZero", "site", kUtilityDefaults, "set Temperature.908.0 -300", "SpecRange",
                "Temperature.908.0"},
        Refused{"SiteViscosityHuge", "site", kUtilityDefaults, "set Viscosity.910.0 1e15", "SpecRange", "Viscosity.910.0"},
        Refused{"SegmentViscosityHuge", "targets", "open SegmentTable.201.0\n", "set Viscosity.101.0 1e15", "SpecRange",
                "Viscosity.101.0"},
        // A cost-law constant past the size a case holds, below as above.
        Refused{"CostLawConstantNegative", "targets", "", "set Cost.501.0 -1e15", "TypicalAreaConstantRange", "Cost.501.0"},
        Refused{"CostLawCoefficientNegative", "targets", "", "set ExtraData.502.0 -1e15", "TypicalAreaConstantRange",
                "ExtraData.502.0"},
        // A contribution the site's utility does not take answers so.
        Refused{"SiteContributionZero", "site", kUtilityDefaults, "set DeltaTemp.909.0 0", "DeltaTMinWarning",
                "DeltaTemp.909.0"},
        Refused{"SiteFilmCoefficientNegative", "site", kUtilityDefaults, "set HeatTransferCoeff.905.0 -300",
                "SpecRange", "HeatTransferCoeff.905.0"},
        // An emptied utility name asks before the utility goes; not confirmed, it stays.
        Refused{"SiteUtilityNameEmptied", "site", "answer 0\ncmd OpenUDB\nopen @last\n", "settext ExtraData.901.0",
                "ConfirmDeleteDefaultUtility", "ExtraData.901.0"},
        // A text that is no number, and a refusal the view gave without a word.
        Refused{"TextIntoANumberCell", "targets", "", "settext DeltaTemp.1 abc", "NotANumber", "DeltaTemp.1"},
        // Only a decimal number is a number typed: no hexadecimal, no "nan" or "inf" words.
        Refused{"HexadecimalText", "targets", "", "settext DeltaTemp.1 0x10", "NotANumber", "DeltaTemp.1"},
        Refused{"NanText", "targets", "", "settext DeltaTemp.1 nan", "NotANumber", "DeltaTemp.1"},
        Refused{"InfinityText", "targets", "", "settext DeltaTemp.1 -Infinity", "NotANumber", "DeltaTemp.1"},
        Refused{"SegmentPropertyZero", "targets", "open SegmentTable.201.0\n", "set Viscosity.101.0 0", "SpecRange",
                "Viscosity.101.0"},
        // Numbers no quantity of the cell can be, though the range of its kind holds them: a count
        // of shells that is no whole number or past a hundred, a negative duty, approach or area,
        // a count of tubes or passes that is no count, a choice past its entries.
        Refused{"ExchangerShellsHalf", "design", kE1Shells, "set ExtraData.701.0 2.5", "SpecRange", "ExtraData.701.0"},
        Refused{"ExchangerShellsThousand", "design", kE1Shells, "set ExtraData.701.0 1000", "SpecRange", "ExtraData.701.0"},
        Refused{"DesignDutyNegative", "design", "", "set HeatFlow.304.0 -1", "SpecRange", "HeatFlow.304.0"},
        Refused{"DesignDutyMillionBelow", "design", "", "set HeatFlow.304.0 -1e6", "SpecRange", "HeatFlow.304.0"},
        Refused{"DesignApproachNegative", "design", "", "set DeltaTemp.607 -40", "SpecRange", "DeltaTemp.607"},
        Refused{"ExchangerApproachNegative", "design", "", "set DeltaTemp.605.0 -20", "SpecRange", "DeltaTemp.605.0"},
        Refused{"ShellAreaNegative", "design", "", "set Area.304 -3", "SpecRange", "Area.304"},
        Refused{"StreamChoicePast", "design", "", "set Enum.764 99", "SpecRange", "Enum.764"},
        Refused{"StreamChoiceBelow", "design", "", "set Enum.764 -1", "SpecRange", "Enum.764"},
        Refused{"StreamChoiceBetween", "design", "", "set Enum.764 2.7", "SpecRange", "Enum.764"},
        Refused{"EventKindPast", "design", "", "set ExtraData.587 9", "SpecRange", "ExtraData.587"},
        Refused{"DesignSwitchHalf", "design", "", "set Switch.206 2.5", "SpecRange", "Switch.206"},
        Refused{"ExchangerSwitchHalf", "design", kE1, "set Switch.790 2.5", "SpecRange", "Switch.790"},
        Refused{"SplitterSwitchBelow", "split", kSplitter, "set Switch.290 -1e6", "SpecRange", "Switch.290"},
        Refused{"ScenarioSwitchHalf", "targets", "", "set Switch.2006 2.5", "SpecRange", "Switch.2006"},
        // A forbidden-match tick (H1 with C1, ticked) takes 0 or 1 only: 2 once unticked it.
        Refused{"ForbiddenMatchTickTwo", "targets", "set Switch.1200.0.0 1\n", "set Switch.1200.0.0 2", "SpecRange",
                "Switch.1200.0.0"},
        Refused{"ForbiddenMatchTickHalf", "targets", "set Switch.1200.0.0 1\n", "set Switch.1200.0.0 0.5", "SpecRange",
                "Switch.1200.0.0"},
        Refused{"ForbiddenMatchTickBelow", "targets", "", "set Switch.1200.0.0 -1", "SpecRange", "Switch.1200.0.0"},
        Refused{"SegmentSwitchHalf", "targets", "open SegmentTable.201.0\n", "set Switch.113.0 2.5", "SpecRange",
                "Switch.113.0"},
        Refused{"SegmentRowPast", "targets", "open SegmentTable.201.0\n", "set WhereToIns.200 7", "SpecRange",
                "WhereToIns.200"},
        // A cost-law constant or coefficient below nothing is refused, not stored with a warning.
        Refused{"CostLawConstantMillionBelow", "targets", "", "set Cost.501.0 -1000000", "TypicalAreaConstantRange",
                "Cost.501.0"},
        Refused{"CostLawCoefficientBelow", "targets", "", "set ExtraData.502.0 -1", "TypicalAreaConstantRange",
                "ExtraData.502.0"},
        // A plant's economics within what the command line takes.
        Refused{"RateOfReturnHuge", "targets", "", "set rate_cap_int.300 1e15", "TypicalRateOfReturnRange",
                "rate_cap_int.300"},
        Refused{"PlantLifeHuge", "targets", "", "set exp_plant_life.300 1e15", "PlantLifeRange", "exp_plant_life.300"},
        Refused{"PlantLifeByAddressBelow", "targets", "", "set ExtraData.301 -1", "PlantLifeRange", "exp_plant_life.300"},
        Refused{"HoursByAddressBelow", "targets", "", "set ExtraData.302 -1", "HoursOfOperationRange",
                "hours_of_operation.300"},
        // End fractions and the segment tolerance are fractions.
        Refused{"EndFractionAbove", "targets", "", "set EndTolerance.200.0 5", "SpecRange", "EndTolerance.200.0"},
        Refused{"EndFractionBelow", "targets", "", "set EndTolerance.201.0 -3", "SpecRange", "EndTolerance.201.0"},
        Refused{"SegmentToleranceBelow", "targets", "", "set ExtraData.219 -3", "NegativeSegmentTolerance",
                "ExtraData.219"},
        Refused{"ThroughputChangeBelow", "design", "", "set Percent.200 -100", "CannotAcceptThisPercentValue",
                "Percent.200"},
        // E3 sized by its area (its duty freed): its shells, tubes and passes are whole counts, its
        // shell diameter a length above nothing.
        Refused{"DesignShellsHalf", "design", kE3Sized, "set ExtraData.307.0 2.5", "SpecRange", "ExtraData.307.0"},
        Refused{"DesignTubesNegative", "design", kE3Sized, "set ExtraData.359.0 -4", "SpecRange", "ExtraData.359.0"},
        Refused{"DesignPassesHalf", "design", kE3Sized, "set ExtraData.360.0 0.5", "SpecRange", "ExtraData.360.0"},
        Refused{"DesignShellDiameterNegative", "design", kE3Sized, "set Length.200.0 -1", "SpecRange", "Length.200.0"},
        // The heater on C1 (125 C in) keeps its outlet given: one below its inlet would make it cool.
        Refused{"HeaterOutletBelowInlet", "design", "", "set HeatFlow.356.0 0.5", "SpecRange", "Temperature.356.0"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

// A refusal of a number outside the cell's domain names what the cell takes, in the words of the
// cell's own range: a change of throughput "of -99.99 % or more", shells a whole number from 1 to 100.
struct DomainWords {
    const char* name;
    const char* input;
    const char* open;
    const char* write;
    const char* words;
};
void PrintTo(const DomainWords& d, std::ostream* out) { *out << d.name; }
class ViewFormDomainWords : public ::testing::TestWithParam<DomainWords> {};

TEST_P(ViewFormDomainWords, TheRefusalNamesWhatTheCellTakes) {
    const DomainWords& d = GetParam();
    OpenCase c;
    ASSERT_TRUE(c.Read(bytesOf(casePath(d.input))));
    ViewScriptRunner runner(c.root, startOf(c.root, d.input));
    runner.Run(std::string(d.open) + d.write + "\n", "words");
    ASSERT_TRUE(runner.Error().empty()) << runner.Error();
    Text told;
    for (const SessionEntry& e : runner.Steps().back().journal)
        if (e.event == SessionEvent::Error) told += e.text;
    EXPECT_EQ(0, runner.Steps().back().result);
    EXPECT_NE(told.find(d.words), Text::npos) << told;
    EXPECT_EQ(told.find("between 0 and 100"), Text::npos) << told;
    Session::Instance().Reset();
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ViewFormDomainWords,
    ::testing::Values(DomainWords{"Throughput", "design", "", "set Percent.200 -100", "a percentage of -99.99 % or more"},
                      DomainWords{"Shells", "design", kE1Shells, "set ExtraData.701.0 2.5", "a whole number from 1 to 100"},
                      DomainWords{"StreamChoice", "design", "", "set Enum.764 99", "entries, 0 to "},
                      DomainWords{"Switch", "design", "", "set Switch.206 2.5", "0 (off) or 1 (on)"},
                      DomainWords{"HeaterOutlet", "design", "", "set HeatFlow.356.0 0.5", "a value above its inlet, 125"}),
    [](const ::testing::TestParamInfo<DomainWords>& info) { return std::string(info.param.name); });

// A value the network works out is given the way a user must give it: the value it follows is
// cleared (an outlet temperature), or a heater is switched to keep its duty, and the duty typed.
// Typed before, it is refused with a message that tells the way; typed after, it stands, with the
// temperatures it makes, in the case saved and reopened.
struct GivenAfterClearing {
    const char* name;
    const char* input;    // the case
    const char* how;      // the words of the message that tell the way
    const char* open;     // reaching the view
    const char* setup;    // making the value calculated
    const char* write;    // the value typed, refused first
    const char* clear;    // what the user changes so that the value may be typed
    const char* reads;    // the cells read after the write, in the case reopened
    std::vector<double> expected;
};
void PrintTo(const GivenAfterClearing& g, std::ostream* out) { *out << g.name; }

class CalculatedValueGiven : public ::testing::TestWithParam<GivenAfterClearing> {};

TEST_P(CalculatedValueGiven, AfterTheValueItFollowsIsCleared) {
    const GivenAfterClearing& g = GetParam();
    OpenCase c;
    ASSERT_TRUE(c.Read(bytesOf(casePath(g.input))));
    ViewScriptRunner runner(c.root, startOf(c.root, g.input));
    runner.Run(std::string(g.open) + g.setup + g.write + "\n", "refused");
    ASSERT_TRUE(runner.Error().empty()) << runner.Error();
    const ViewScriptStep& refused = runner.Steps().back();
    EXPECT_EQ(0, refused.result) << refused.input;
    Text told;
    for (const SessionEntry& e : refused.journal)
        if (e.event == SessionEvent::Error) told += e.key + ": " + e.text;
    // The message tells how such a value is given.
    EXPECT_NE(told.find(WriteRefusal::ReadOnly), Text::npos) << told;
    EXPECT_NE(told.find(g.how), Text::npos) << told;
    ViewScriptRunner given(c.root, runner.Current());
    given.Run(std::string(g.clear) + g.write + "\n", "given");
    ASSERT_TRUE(given.Error().empty()) << given.Error();
    EXPECT_EQ(1, given.Steps().back().result) << given.Steps().back().input;
    OpenCase reopened;
    ASSERT_TRUE(reopened.Read(c.Save()));
    ViewScriptRunner again(reopened.root, startOf(reopened.root, g.input));
    again.Run(std::string(g.open) + g.reads, "reopened");
    ASSERT_TRUE(again.Error().empty()) << again.Error();
    std::vector<double> read;
    for (const ViewScriptStep& s : again.Steps())
        if (s.hasValue) read.insert(read.end(), s.values.begin(), s.values.end());
    ASSERT_EQ(g.expected.size(), read.size());
    for (std::size_t i = 0; i < read.size(); ++i) EXPECT_NEAR(g.expected[i], read[i], 1e-6) << i;
    Session::Instance().Reset();
}

// E3 (H1 90 to 60 C, 3 kW/C; C1 from 35 C, 2 kW/C): its duty cleared and its cold outlet typed
// (75 C), the duty follows (80 kW); the outlet cleared, 85 kW typed gives C1 35 + 85/2 = 77.5 C
// and H1 90 - 85/3 C. The heater on C1 (125 C in, 2 kW/C) keeps C1's target until switched to
// keep its area and then its duty: 30 kW then gives 125 + 30/2 = 140 C.
INSTANTIATE_TEST_SUITE_P(
    Design, CalculatedValueGiven,
    ::testing::Values(
        GivenAfterClearing{"ExchangerDutyAfterItsOutlet", "design", "clear the value given that fixes it",
                           "set Index.414 1\nset Index.415 2\nopen HeatExchangerViewObject.400\n",
                           "set HeatFlow.200 empty\nset Temperature.758 75\n",
                           "set HeatFlow.200 85", "set Temperature.758 empty\n",
                           "get HeatFlow.200\nget Temperature.758\nget Temperature.756\n",
                           {85.0, 77.5, 90.0 - 85.0 / 3.0}},
        GivenAfterClearing{"HeaterDutyAfterItsSwitches", "design", "switch a heater or cooler", "", "",
                           "set HeatFlow.304.4 30", "set Switch.356.0 1\nset Switch.319.0 0\n",
                           "get HeatFlow.304.4\nget Temperature.343.4\n", {30.0, 140.0}},
        // Solved in operation, a locked network holds its sizes until its operation is modified.
        GivenAfterClearing{"AreaInOperationAfterModifying", "locked", "modify the operation", "", "cmd SolveOperations\n",
                           "set Area.306.0 50", "cmd ModifyOperation\n", "get Area.306.0\n", {50.0}}),
    [](const ::testing::TestParamInfo<GivenAfterClearing>& info) { return std::string(info.param.name); });

}  // namespace
#endif
