// Every number cell a user may type into, of every view a targets case, a design, a split design,
// a locked design, a retrofit and a site case show, written each of -1e6, -1, 0, 0.5, 1, 2.5 and 1e15
// as typed: either the cell refuses (answer 0, one message whose key the form lists, the cell as
// before), or it takes the number (answer 1, no error), and then the case saves, reopens with the
// value, and its targets and designs hold no number that is not finite, no negative area and no
// negative utility load. In the module itself: one open case per kind, saved and reopened in memory.
#ifdef KESTRIN_HOST_EXE
#include "brasko/LurmetBinaryFile.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "tests/views/session/FormSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace form_sweep;

// What is unsound in a case's targets and designs as they read: each a line, none when sound.
std::vector<std::string> unsoundResults(IHeatIntegrationProject& project) {
    std::vector<std::string> found;
    const auto check = [&](const std::string& what, double v, bool signedOk) {
        if (v == Viewable::EmptyValue) return;
        if (!std::isfinite(v)) found.push_back(what + " is not finite");
        else if (!signedOk && v < -1e-6) found.push_back(what + " is negative");
    };
    IHeatIntegrationScenario* s = nullptr;
    for (int i = 0; project.GetScenario(i, s) && s; ++i) {
        const std::string scenario = std::string("scenario ") + s->GetName();
        check(scenario + " hot utility target", s->GetUtilityTarget(0), false);
        check(scenario + " cold utility target", s->GetUtilityTarget(1), false);
        check(scenario + " area target", s->GetAreaTarget(0), false);
        check(scenario + " total annual cost target", s->GetCostTarget(2), true);
        IHENDesign* d = nullptr;
        for (int k = 0; k < s->GetNumberOfDesigns() && s->GetDesign(k, d, 0) && d; ++k) {
            const std::string design = scenario + " design " + (d->GetDesignName() ? d->GetDesignName() : "");
            check(design + " area", d->GetTotalArea(), false);
            // Heaters and coolers that run backwards (a network that no longer fits its streams)
            // make the utility totals no answer of the network: the design report shows them as not
            // available, never as a negative load.
            if (!d->DoUtilityUnitsRunForwards()) continue;
            check(design + " hot utility", d->GetTotalUtilityLoad(0), false);
            check(design + " cold utility", d->GetTotalUtilityLoad(1), false);
        }
    }
    return found;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "; ";
    return all;
}

class ViewFormSweep : public ::testing::TestWithParam<const char*> {};

TEST_P(ViewFormSweep, EveryNumberIsRefusedOrLeavesACaseThatSavesAndCalculates) {
    const std::string name = GetParam();
    const std::vector<std::uint8_t> original = bytesOf(casePath(name));
    ASSERT_FALSE(original.empty()) << casePath(name);
    OpenCase c;
    ASSERT_TRUE(c.Read(original)) << name;
    // What the case holds unsound before any write is no fault of a write.
    const std::vector<std::string> unsoundAtFirst = unsoundResults(*c.project);
    std::vector<std::string> faults;
    int taken = 0;
    // The engine's part of the case before each write: a write that leaves it as it was changed a
    // setting of a view only (a cursor, a choice of plot), which no case keeps.
    std::string engineBefore;
    const auto engineBytes = [&] {
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        c.project->Store(out);
        const std::vector<std::uint8_t> bytes = out.Bytes();
        return std::string(bytes.begin(), bytes.end());
    };
    const auto before = [&](const Walked&) { engineBefore = engineBytes(); };
    const int writes = SweepNumberCells(c, name, SweptNumbers(), before, [&](const SweptWrite& w) {
        const std::string what = w.cell.where + ": " + w.script.c_str();
        Text keys;
        int told = 0;
        for (const SessionEntry& e : w.step.journal)
            if (e.event == SessionEvent::Error || e.event == SessionEvent::Response) {
                keys += " " + e.key;
                ++told;
            }
        if (w.step.result == 0) {
            const Text listed = " " + ListedRefusals(ListedForm(w.cell.view->GetViewType()), w.cell.row.address) + " ";
            if (told != 1 || listed.find(keys + " ") == Text::npos)
                faults.push_back(what + ": refused, told" + keys.c_str() + ", listed" + listed.c_str());
            else if (w.viewAlive && readCell(w.cell.view, w.cell.row, w.cell.cell) != w.before)
                faults.push_back(what + ": refused, yet the cell changed");
            // A refusal changes nothing the case holds, in this cell's view or any other.
            else if (engineBytes() != engineBefore)
                faults.push_back(what + ": refused, yet the case changed");
            return;
        }
        ++taken;
        for (const SessionEntry& e : w.step.journal)
            if (e.event == SessionEvent::Error) faults.push_back(what + ": taken with the error " + e.key.c_str());
        OpenCase reopened;
        if (!reopened.Read(c.Save())) {
            faults.push_back(what + ": taken, and the case no longer saves and reopens");
            return;
        }
        if (w.viewAlive && engineBytes() != engineBefore) {
            // The cell in the case reopened, where its view is one the case keeps.
            if (Viewable* again = ResolveViewPath(reopened.root, ViewPath(w.cell.view)); again && again->GetViewType() == w.cell.view->GetViewType()) {
                const Text now = readCell(w.cell.view, w.cell.row, w.cell.cell);
                const Text back = readCell(again, w.cell.row, w.cell.cell);
                if (now != back) faults.push_back(what + ": reads " + now.c_str() + ", reopened " + back.c_str());
            }
        }
        for (const std::string& u : unsoundResults(*reopened.project))
            if (std::find(unsoundAtFirst.begin(), unsoundAtFirst.end(), u) == unsoundAtFirst.end())
                faults.push_back(what + ": taken, then " + u);
    });
    std::ostringstream all;
    for (const std::string& f : faults) all << f << "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " writes:\n" << all.str();
    EXPECT_GT(writes, 100) << name;
    EXPECT_GT(taken, 10) << name;
    EXPECT_TRUE(unsoundAtFirst.empty()) << joined(unsoundAtFirst);
    Session::Instance().Reset();
}

// Every text cell a user may type into, of the same views, typed with what renames go wrong on:
// nothing, the new-row marker, the text another row of its column shows (a name taken) and a
// fresh name. Each write answers by the rule commands answer by: refused (answer 0, one message,
// the cell and the case as before) or taken (answer 1, no error, and the case saves and reopens).
// A text taken is given back, so that the cells after it meet the case as it was.
TEST_P(ViewFormSweep, EveryTextTypedIsRefusedWithOneMessageOrTakenAndSaves) {
    const std::string name = GetParam();
    OpenCase c;
    ASSERT_TRUE(c.Read(bytesOf(casePath(name)))) << name;
    const auto engineBytes = [&] {
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        c.project->Store(out);
        const std::vector<std::uint8_t> bytes = out.Bytes();
        return std::string(bytes.begin(), bytes.end());
    };
    std::vector<std::string> faults;
    int writes = 0, taken = 0;
    for (const Walked& w : walkedCells(c, name, 2)) {
        if (w.row.hook != FormHook::Text || (!w.row.editable && !w.row.byState)) continue;
        const auto life = w.view->LifeToken();
        std::vector<Text> texts = {"", "**new**", "Swept"};
        // The text the column's other row shows: a name another object bears.
        if (w.row.dimensions > 0 && !w.row.numbered) {
            for (const Text& other : rowsOf(w.view, w.row, 2))
                if (other != w.cell) texts.push_back(readCell(w.view, w.row, other));
        }
        for (const Text& text : texts) {
            if (life.expired() || !cellThere(w.view, w.row, w.cell) || stateOf(w.view, w.row, w.cell) == ReadOnlyState) break;
            const Text was = readCell(w.view, w.row, w.cell);
            const std::string engineBefore = engineBytes();
            const Text script = "settext " + w.cell + " " + text;
            ViewScriptRunner runner(c.root, w.view);
            runner.Run("answer 0\n" + script, "sweep");
            ++writes;
            const std::string what = w.where + ": " + script.c_str();
            if (runner.Steps().size() != 2u || !runner.Error().empty()) {
                faults.push_back(what + ": " + runner.Error().c_str());
                continue;
            }
            const ViewScriptStep& step = runner.Steps().back();
            const auto [keys, told, errors] = WhatTheStepTold(step);
            if (step.result == 0) {
                if (told != 1) faults.push_back(what + ": refused, told" + keys.c_str());
                else if (!life.expired() && readCell(w.view, w.row, w.cell) != was)
                    faults.push_back(what + ": refused (" + keys.c_str() + "), yet the cell changed");
                else if (engineBytes() != engineBefore)
                    faults.push_back(what + ": refused (" + keys.c_str() + "), yet the case changed");
                continue;
            }
            ++taken;
            if (errors) faults.push_back(what + ": taken with" + keys.c_str());
            OpenCase reopened;
            if (!reopened.Read(c.Save())) faults.push_back(what + ": taken, and the case no longer saves and reopens");
            if (!life.expired() && cellThere(w.view, w.row, w.cell) && readCell(w.view, w.row, w.cell) != was) {
                ViewScriptRunner restore(c.root, w.view);
                restore.Run("answer 0\nsettext " + w.cell + " " + was, "restore");
            }
        }
        Session::Instance().Reset();
    }
    std::ostringstream all;
    for (const std::string& f : faults) all << f << "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " of " << writes << " writes:\n" << all.str();
    EXPECT_GT(taken, 0) << name;
    Session::Instance().Reset();
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewFormSweep,
                         ::testing::Values("targets", "design", "split", "locked", "retrofit", "site"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
#endif
