#pragma once
// The cases the form tests open, and the walk over the cells of every view a user reaches from
// them: each case is made once by kestrin-host, then opened, walked, saved and reopened in memory,
// in the module itself. The tests that write into every cell (what a cell refuses, what it takes
// and what the case then holds) share it.
#ifdef KESTRIN_HOST_EXE
#include "brasko/CaseDocument.h"
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBaseObject.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "lumeth/FormWrites.h"
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
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace form_sweep {

inline std::vector<std::uint8_t> bytesOf(const std::string& path) {
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

    ILurmetBaseObject* object = nullptr;

    ~OpenCase() {
        for (Viewable* r : roots) delete r;
        document.reset();
        if (object) manager.ReleaseObject(object);
    }
    bool Read(const std::vector<std::uint8_t>& bytes) {
        for (const int type : {501, 502}) {
            LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes, "walked.case");
            ILurmetBaseObject* created = manager.CreateObject(type, type == 501 ? "Kestrin project" : "Kestrin total site");
            void* p = nullptr;
            auto* recalled = created && created->QueryInterface(501, &p) == 1 ? static_cast<IHeatIntegrationProject*>(p) : nullptr;
            if (!recalled || !recalled->Recall(file)) {
                // A case of the other kind: the object tried goes back to the manager.
                if (created) manager.ReleaseObject(created);
                continue;
            }
            object = created;
            project = recalled;
            const Text name(project->GetProjectName());
            document = std::make_unique<CaseDocument>(name, &manager);
            if (file.AtEnd()) {
                // A case saved without views gets them as a user opens its project.
                const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
                auto* view = new ChiGrassRootView(nullptr, name, registry->Find(ChiGrassRootView::TypeName));
                roots.push_back(view);
                view->SetDocument(document.get());
                root = view->AddProject(name) ? view : nullptr;
            } else {
                if (!ViewRecords::Recall(file, roots, document.get())) return false;
                for (Viewable* r : roots) {
                    if (!root && (r->IsA(ChiView::TypeName) || r->IsA(ChiTotalSiteView::TypeName))) root = r;
                }
            }
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
inline void collect(Viewable* view, std::vector<Viewable*>& out) {
    out.push_back(view);
    for (int i = 0; i < view->GetNumberOfChildren(); ++i) {
        Viewable* child = view->GetChild(i);
        const ObjectTypeInfo* type = child->GetViewType();
        if (type && type->IsTransient() && !type->IsA("HIDesignViewerDesignObject")) continue;
        collect(child, out);
    }
}

// The cells a form row stands for: the row itself, or the first row of a column or table.
inline std::vector<Text> cellsOf(Viewable* view, const FormVariable& row) {
    VarDescription var;
    if (!VarDescription::Parse(row.address, var)) return {};
    if (row.dimensions == 0 && !row.numbered) return {row.address};
    DimInfo dims;
    if (view->Dimensions(var, dims) <= 0 || dims.Dim(0) <= 0) return {};
    if (row.numbered) return {row.address};
    Text cell = row.address;
    for (int i = 0; i < row.dimensions && i < dims.NumberOfDims(); ++i) {
        if (dims.Dim(i) <= 0) return {};
        cell += ".0";
    }
    return {cell};
}

inline Text readCell(Viewable* view, const FormVariable& row, const Text& cell) {
    VarDescription var;
    VarDescription::Parse(cell, var);
    if (row.hook == FormHook::Text) return view->TextValue(var);
    const double v = view->Value(var);
    return std::isfinite(v) ? FormattedText("%.12g", v) : Text("nan");
}

// The state a write of the cell is held to: the form's, and the view's cell state.
inline ModifyState stateOf(Viewable* view, const FormVariable& row, const Text& cell) {
    VarDescription var;
    VarDescription::Parse(cell, var);
    return ListedCellState(view, var, row);
}

struct Walked {
    std::string where;   // the view and the cell
    Viewable* view;
    FormVariable row;
    Text cell;
    Text before;
};

// The cases the views are opened on, made once by kestrin-host: targets only, a design, a split
// design, a design in operation, a retrofit, a total site.
inline std::string casePath(const std::string& name) {
    static const std::string stem = "/tmp/kestrin-formwrites-" + std::to_string(getpid()) + "-";
    struct Made {
        Made() {
            const std::string four = ExamplePath("four-streams.csv");
            ScratchFile none("formwrites", "none.txt", "# nothing typed\n");
            // Streams of two segments, so that each has a segment table.
            ScratchFile segmented("formwrites", "segmented.csv",
                                  "name,supply,target,cp,h,kind\n"
                                  "H1,170,100,2,0.2,process\nH1,100,60,4,0.3,process\nH2,150,30,1.5,0.2,process\n"
                                  "C1,20,80,2,0.2,process\nC1,80,135,2.5,0.4,process\nC2,80,140,4,0.2,process\n"
                                  "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
            RunHost("view " + segmented.path + " --script " + none.path + " --save " + stem + "targets.case");
            RunHost("design " + four + " " + ExamplePath("four-streams-network.csv") + " --save " + stem + "design.case");
            RunHost("design " + four + " " + ExamplePath("four-streams-split-network.csv") + " --save " + stem + "split.case");
            // A network whose streams carry what operation needs, in operation.
            RunHost("design " + ExamplePath("operated-streams.csv") + " " + ExamplePath("operated-network.csv") +
                    " --save " + stem + "operated.case");
            ScratchFile lock("formwrites", "lock.txt", "cmd LockOperation\n");
            RunHost("view " + stem + "operated.case --open design --script " + lock.path + " --save " + stem + "locked.case");
            RunHost("retrofit " + ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv") +
                    " --save " + stem + "retrofit.case");
            RunHost("view --new hi-total-site Works --script " + none.path + " --save " + stem + "site.case");
        }
        ~Made() {
            for (const char* c : {"targets", "design", "split", "operated", "locked", "retrofit", "site"})
                std::remove((stem + c + ".case").c_str());
        }
    };
    static const Made made;
    return stem + name + ".case";
}

// The child views a user opens from each case before its forms are walked.
inline std::string openings(const std::string& name) {
    if (name == "targets") return "open SegmentTable.201.0\n";
    if (name == "site") return "cmd OpenUDB\nopen @last\n";
    if (name == "retrofit") return "";
    if (name == "split")
        return "set Index.414 1\nset Index.415 3\nopen HeatExchangerViewObject.400\nopen SplitterViewObject.783\n";
    if (name == "locked") return "cmd OpenDefaultStateView\nopen @last\nopen MyOwnerObject\ncmd OpenTrendAnalysisView\n";
    return "set Index.414 1\nset Index.415 0\nopen HeatExchangerViewObject.400\n";
}

inline Viewable* startOf(Viewable* root, const std::string& name) {
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

// The rows of a column a cell walk reaches: the first few, so that the states of several
// exchangers or streams are met, not only the first's.
inline std::vector<Text> rowsOf(Viewable* view, const FormVariable& row, int most = 8) {
    std::vector<Text> cells = cellsOf(view, row);
    if (cells.empty() || row.dimensions == 0 || row.numbered) return cells;
    VarDescription var;
    VarDescription::Parse(row.address, var);
    DimInfo dims;
    view->Dimensions(var, dims);
    const Text rest = Text(cells[0]).substr(row.address.size() + 2);  // past ".0"
    for (int i = 1; i < dims.Dim(0) && i < most; ++i) cells.push_back(row.address + FormattedText(".%d", i) + rest);
    return cells;
}

// The value and text cells of every view of the case after the views a user opens below the first
// ones: the first cell of each row, or (`everyRow`) the first rows of each column.
inline std::vector<Walked> walkedCells(OpenCase& c, const std::string& name, int rows) {
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
        for (const FormVariable& row : ListedForm(type).Variables()) {
            if (row.hook != FormHook::Value && row.hook != FormHook::Text) continue;
            for (const Text& cell : rows > 1 ? rowsOf(view, row, rows) : cellsOf(view, row))
                cells.push_back({view->GetName() + " (" + type->GetName() + ") " + cell, view, row, cell,
                                 readCell(view, row, cell)});
        }
    }
    return cells;
}

inline std::vector<Walked> walkedCells(OpenCase& c, const std::string& name, bool everyRow) {
    return walkedCells(c, name, everyRow ? 8 : 1);
}

// One number written into a cell by the sweep, as the script runner answered it.
struct SweptWrite {
    const Walked& cell;
    Text script;                // "set ADDRESS NUMBER", the number in the unit the cell shows
    const ViewScriptStep& step; // its answer and what the views said
    Text before;                // the cell before the write
    bool viewAlive;             // the cell's view is still open after it
};

// The numbers the sweep types into every cell: far below and just below zero, zero, a fraction,
// one (a switch set), a number between two whole ones, and one far past any plant.
inline const std::vector<double>& SweptNumbers() {
    static const std::vector<double> numbers = {-1e6, -1.0, 0.0, 0.5, 1.0, 2.5, 1e15};
    return numbers;
}

// Writes each number into every number cell a user may type into now, of every view the case
// shows after the views its user opens (of a column or table its first two cells), one write at
// a time into the same open case; `before` sees each cell before each write, `after` each write
// as it was answered. A question a write asks is not confirmed. Returns the writes made.
// Whether a cell of a column or table is still one of its rows (a write before may have emptied
// the list it belongs to).
inline bool cellThere(Viewable* view, const FormVariable& row, const Text& cell) {
    if (row.dimensions == 0 && !row.numbered) return true;
    VarDescription var, listed;
    if (!VarDescription::Parse(cell, var) || !VarDescription::Parse(row.address, listed)) return false;
    DimInfo dims;
    if (view->Dimensions(listed, dims) <= 0) return false;
    if (row.numbered) return var.Number() >= 0 && var.Number() < dims.Dim(0);
    for (int i = 0; i < row.dimensions && i < dims.NumberOfDims(); ++i)
        if (var.Offset(i) < 0 || var.Offset(i) >= dims.Dim(i)) return false;
    return true;
}

inline int SweepNumberCells(OpenCase& c, const std::string& name, const std::vector<double>& numbers,
                            const std::function<void(const Walked&)>& before,
                            const std::function<void(const SweptWrite&)>& after) {
    int writes = 0;
    for (const Walked& w : walkedCells(c, name, 2)) {
        if (w.row.hook != FormHook::Value || (!w.row.editable && !w.row.byState)) continue;
        const auto life = w.view->LifeToken();
        if (life.expired() || !cellThere(w.view, w.row, w.cell)) continue;
        const Text original = readCell(w.view, w.row, w.cell);
        bool changed = false;
        for (const double number : numbers) {
            if (life.expired() || !cellThere(w.view, w.row, w.cell)) break;
            if (stateOf(w.view, w.row, w.cell) == ReadOnlyState) break;
            if (before) before(w);
            const Text was = readCell(w.view, w.row, w.cell);
            const Text script = "set " + w.cell + " " + FormattedText("%.17g", number);
            ViewScriptRunner runner(c.root, w.view);
            runner.Run("answer 0\n" + script, "sweep");
            ++writes;
            if (runner.Steps().size() != 2u || !runner.Error().empty()) {
                ADD_FAILURE() << w.where << ": " << script << " " << runner.Error();
                continue;
            }
            changed = changed || runner.Steps().back().result == 1;
            if (after) after({w, script, runner.Steps().back(), was, !life.expired()});
        }
        // The cell is given back what it held, so that the cells after it are met as the case has
        // them (a list filter written stays no filter that empties the lists).
        if (changed && !life.expired() && cellThere(w.view, w.row, w.cell)) {
            VarDescription var;
            VarDescription::Parse(w.cell, var);
            const double held = std::strtod(original.c_str(), nullptr);
            const Text back = original == "nan" || held == Viewable::EmptyValue
                                  ? Text("empty")
                                  : FormattedText("%.17g", calc_ounit(held, DefUnitConv(w.view->GetEDVarType(var))));
            ViewScriptRunner restore(c.root, w.view);
            restore.Run("answer 0\nset " + w.cell + " " + back, "restore");
        }
    }
    return writes;
}

// What a step said to the user: the keys of its errors and of the questions it did not take a
// yes to, how many there were, and how many of them were errors.
struct StepTold {
    Text keys;
    int told = 0;
    int errors = 0;
};
inline StepTold WhatTheStepTold(const ViewScriptStep& step) {
    StepTold t;
    for (const SessionEntry& e : step.journal) {
        if (e.event == SessionEvent::Error) ++t.errors;
        if (e.event == SessionEvent::Error || (e.event == SessionEvent::Response && e.number != 1)) {
            t.keys += " " + e.key;
            ++t.told;
        }
    }
    return t;
}

}  // namespace form_sweep
#endif
