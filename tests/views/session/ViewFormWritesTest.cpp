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

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    const std::string s = FileContents(path);
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

// A case read as the view job reads one: its project (or total site), then the views after it.
struct OpenCase {
    EngineeringManager manager;
    std::unique_ptr<CaseDocument> document;
    IHeatIntegrationProject* project = nullptr;
    std::vector<Viewable*> roots;
    Viewable* root = nullptr;

    ~OpenCase() {
        for (Viewable* r : roots) delete r;
    }
    bool Read(const std::vector<std::uint8_t>& bytes) {
        for (const int type : {501, 502}) {
            LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes, "walked.case");
            ILurmetBaseObject* object = manager.CreateObject(type, type == 501 ? "Kestrin project" : "Kestrin total site");
            void* p = nullptr;
            if (!object || object->QueryInterface(501, &p) != 1 || !p) continue;
            auto* recalled = static_cast<IHeatIntegrationProject*>(p);
            if (!recalled->Recall(file)) continue;
            project = recalled;
            document = std::make_unique<CaseDocument>(Text(project->GetProjectName()), &manager);
            if (file.AtEnd() || !ViewRecords::Recall(file, roots, document.get())) return false;
            for (Viewable* r : roots)
                if (!root && (r->IsA(ChiView::TypeName) || r->IsA(ChiTotalSiteView::TypeName))) root = r;
            Session::Instance().Reset();
            return root != nullptr;
        }
        return false;
    }
    std::vector<std::uint8_t> Save() {
        LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
        EXPECT_TRUE(project->Store(out));
        EXPECT_TRUE(ViewRecords::Store(out, {root}));
        return out.Bytes();
    }
};

// The views under a view, itself first; plots, canvas items and name rows (rebuilt by their
// owners) are reached through the views that own them.
void collect(Viewable* view, std::vector<Viewable*>& out) {
    out.push_back(view);
    for (int i = 0; i < view->GetNumberOfChildren(); ++i) {
        Viewable* child = view->GetChild(i);
        const ObjectTypeInfo* type = child->GetViewType();
        if (type && type->IsTransient() && !type->IsA("HIDesignViewerDesignObject")) continue;
        collect(child, out);
    }
}

// The cells a form row stands for: the row itself, or the first row of a column or table.
std::vector<Text> cellsOf(Viewable* view, const FormVariable& row) {
    VarDescription var;
    if (!VarDescription::Parse(row.address, var)) return {};
    if (row.dimensions == 0 && !row.numbered) return {row.address};
    DimInfo dims;
    if (view->Dimensions(var, dims) <= 0 || dims.Dim(0) <= 0) return {};
    if (row.numbered) return {row.address};
    Text cell = row.address;
    for (int i = 0; i < row.dimensions && i < dims.NumberOfDims(); ++i) cell += ".0";
    return {cell};
}

Text readCell(Viewable* view, const FormVariable& row, const Text& cell) {
    VarDescription var;
    VarDescription::Parse(cell, var);
    if (row.hook == FormHook::Text) return view->TextValue(var);
    const double v = view->Value(var);
    return std::isfinite(v) ? FormattedText("%.12g", v) : Text("nan");
}

ModifyState stateOf(Viewable* view, const FormVariable& row, const Text& cell) {
    VarDescription var;
    VarDescription::Parse(cell, var);
    ModifyState state = row.editable ? ModifiableState : ReadOnlyState;
    int detail = 0;
    view->VariableStatus(var, state, detail);
    return state;
}

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
    if (const KindRange* range = FindKindRange(kind)) {
        const double below = range->low - std::max(1.0, std::fabs(range->low));
        const double above = range->high * 1000.0;
        for (const double base : {below, above})
            out.push_back({"set " + cell + " " + FormattedText("%.17g", calc_ounit(base, unit)), true});
    }
    out.push_back({"settext " + cell + " abc", true});
    out.push_back({"set " + cell + " empty", false});
    return out;
}

struct Walked {
    std::string where;   // the view and the cell
    Viewable* view;
    FormVariable row;
    Text cell;
    Text before;
};

class ViewFormWrites : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        const std::string four = ExamplePath("four-streams.csv");
        const std::string empty = "# nothing typed\n";
        ScratchFile none("formwrites", "none.txt", empty);
        RunHost("view " + four + " --script " + none.path + " --save " + Path("targets"));
        RunHost("design " + four + " " + ExamplePath("four-streams-network.csv") + " --save " + Path("design"));
        RunHost("design " + four + " " + ExamplePath("four-streams-split-network.csv") + " --save " + Path("split"));
        ScratchFile lock("formwrites", "lock.txt", "cmd LockOperation\n");
        RunHost("view " + Path("design") + " --open design --script " + lock.path + " --save " + Path("locked"));
        RunHost("view --new hi-total-site Works --script " + none.path + " --save " + Path("site"));
    }
    static void TearDownTestSuite() {
        for (const char* c : {"targets", "design", "split", "locked", "site"}) std::remove(Path(c).c_str());
    }
    static std::string Path(const std::string& name) {
        return "/tmp/kestrin-formwrites-" + std::to_string(getpid()) + "-" + name + ".case";
    }
};

// The child views a user opens from each case before its forms are walked.
std::string openings(const std::string& name) {
    if (name == "targets") return "open SegmentTable.201.0\n";
    if (name == "site") return "cmd OpenUDB\nopen @last\n";
    if (name == "split")
        return "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n";
    if (name == "locked") return "cmd OpenDefaultStateView\nopen @last\nopen MyOwnerObject\ncmd OpenTrendAnalysisView\n";
    return "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\n";
}

Viewable* startOf(Viewable* root, const std::string& name) {
    if (root->IsA(ChiTotalSiteView::TypeName)) {
        Viewable* viewer = static_cast<ChiTotalSiteView*>(root)->GetTotalSiteViewer();
        return viewer ? viewer : root;
    }
    if (!root->IsA(ChiView::TypeName)) return root;
    auto* caseView = static_cast<ChiView*>(root);
    HIDesignViewerProject* project = caseView->GetProjectViewer();
    if (!project || project->GetScenarioViews().IsEmpty()) return root;
    HIDesignViewerScenario* scenario = project->GetScenarioViews()[0];
    if (name == "targets" || scenario->GetDesignObjs().IsEmpty()) return scenario;
    return scenario->GetDesignObjs()[0];
}

TEST_P(ViewFormWrites, NoCellTakesWhatItMustRefuseAndEveryRefusalSaysWhy) {
    const std::string name = GetParam();
    const std::vector<std::uint8_t> original = bytesOf(Path(name));
    ASSERT_FALSE(original.empty()) << Path(name);
    OpenCase c;
    ASSERT_TRUE(c.Read(original)) << name;
    // The views a user opens below the first ones.
    {
        ViewScriptRunner runner(c.root, startOf(c.root, name));
        runner.Run(openings(name), "open");
    }
    std::vector<Viewable*> views;
    collect(c.root, views);
    std::vector<Walked> cells;
    for (Viewable* view : views) {
        const ObjectTypeInfo* type = view->GetViewType();
        if (!type) continue;
        for (const FormVariable& row : type->Form().Variables()) {
            if (row.hook != FormHook::Value && row.hook != FormHook::Text) continue;
            for (const Text& cell : cellsOf(view, row))
                cells.push_back({view->GetName() + " (" + type->GetName() + ") " + cell, view, row, cell,
                                 readCell(view, row, cell)});
        }
    }
    ASSERT_GT(cells.size(), 20u);
    int writes = 0;
    std::map<std::string, Text> refusedCells;
    for (Walked& w : cells) {
        const auto life = w.view->LifeToken();
        if (life.expired()) continue;
        const bool readOnly = stateOf(w.view, w.row, w.cell) == ReadOnlyState;
        const Text listed = " " + w.view->GetViewType()->Form().Refusals(w.row.address) + " ";
        for (const Write& write : writesFor(w.view, w.row, w.cell, readOnly)) {
            if (life.expired()) break;
            const Text before = readCell(w.view, w.row, w.cell);
            ViewScriptRunner runner(c.root, w.view);
            runner.Run(write.script, "write");
            ++writes;
            ASSERT_FALSE(runner.Steps().empty()) << w.where << ": " << write.script << " " << runner.Error();
            const ViewScriptStep& step = runner.Steps().front();
            const std::string what = w.where + ": " + write.script;
            if (write.refused) EXPECT_EQ(0, step.result) << what;
            if (step.result != 0) continue;
            std::vector<SessionEntry> told;
            for (const SessionEntry& e : step.journal)
                if (e.event == SessionEvent::Error || e.event == SessionEvent::Response) told.push_back(e);
            EXPECT_EQ(1u, told.size()) << what;
            for (const SessionEntry& e : told) {
                EXPECT_NE(listed.find(" " + e.key + " "), Text::npos) << what << ": " << e.key << " is not among" << listed;
                EXPECT_FALSE(e.text.empty() || e.text == e.key || e.text.find("%s") != Text::npos) << what << ": " << e.text;
            }
            if (!life.expired()) {
                EXPECT_EQ(before, readCell(w.view, w.row, w.cell)) << what;
                refusedCells[w.where] = before;
            }
        }
    }
    EXPECT_GT(writes, 50);
    // Saved and reopened, the case holds what it held before the refused writes.
    OpenCase reopened;
    ASSERT_TRUE(reopened.Read(c.Save())) << name;
    OpenCase baseline;
    ASSERT_TRUE(baseline.Read(original)) << name;
    EXPECT_EQ(baseline.project->GetProjectName(), reopened.project->GetProjectName());
    std::ostringstream a, b;
    for (OpenCase* o : {&baseline, &reopened}) {
        std::ostringstream& out = o == &baseline ? a : b;
        std::vector<Viewable*> top;
        collect(startOf(o->root, name), top);
        const ObjectTypeInfo* type = top.front()->GetViewType();
        for (const FormVariable& row : type->Form().Variables())
            if (row.hook == FormHook::Value && row.dimensions <= 1)
                for (const Text& cell : cellsOf(top.front(), row))
                    if (refusedCells.count(top.front()->GetName() + " (" + type->GetName() + ") " + cell))
                        out << cell << " " << readCell(top.front(), row, cell) << "\n";
    }
    EXPECT_EQ(a.str(), b.str());
    Session::Instance().Reset();
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewFormWrites, ::testing::Values("targets", "design", "split", "locked", "site"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
#endif
