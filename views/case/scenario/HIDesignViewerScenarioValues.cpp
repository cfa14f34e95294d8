// The scenario viewer's value dispatcher, the variables that report the viewer's own form
// state, the variables known by name and the last rows after them. The tables of the targets,
// the stream tables and the economics pages stand in files of their own.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/UtilityCover.h"
#include "lumeth/PointerList.h"
#include "lumeth/Resources.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/case/scenario/ScenarioPinches.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/chiPlot.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

using namespace scenario_values;

namespace {

// Largest unsigned 32-bit value as the engine's counts carry it: no count.
int countOrZero(int n) { return n == -1 ? 0 : n; }

// The default coefficient chosen reads the entry the selected row's stream takes its coefficient
// from, as the segment table's choice does: the one chosen last where it gives that coefficient
// (two entries may share one), else the first that does; the one chosen last where none does.
double defaultEntry(V& v, int row, int kind) {
    const int chosen = v.processHTCDefaultIndex;
    IHeatIntegrationScenario* scenario = v.GetmyScenario();
    IHeatIntegrationStream* s = nullptr;
    IDefaultUtilityManager* manager = nullptr;
    double h = kEmpty;
    if (!scenario || !scenario->GetStreamOfKind(row, s, kind, 2) || !s || s->GetNumberOfSegments() >= 2 ||
        !scenario->GetDefaultUtilityManager(manager) || !manager || s->GetValue("CHTCoeff", h, 0) != 1)
        return chosen;
    const int n = manager->GetNumberOfHTCDefaultValues();
    if (chosen >= 0 && chosen < n && manager->GetHTCDefaultValue(chosen) == h) return chosen;
    for (int k = 0; k < n; ++k)
        if (manager->GetHTCDefaultValue(k) == h) return k;
    return chosen;
}

}  // namespace

Text HIDesignViewerScenario::ValueRow::Address() const {
    if (name) return FormattedText("%s.%d", name, number);
    const QuantityInfo* q = FindQuantity(type);
    return FormattedText("%s.%d", q ? q->name.c_str() : "ExtraData", number);
}

const std::vector<int>& HIDesignViewerScenario::HandledTypeCodes() {
    static const std::vector<int> codes = {1519, 110, 31001, 104, 1,   105,  9,     100,   1516,  6,
                                           1517, 1524, 1508, 31000, 107, 31002, 32053, 4, 32039, 1011};
    return codes;
}

// ---- form state ----

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::FormStateRows() {
    using Var = const VarDescription&;
    static const std::vector<Row> rows = {
        {.type = 100, .number = 202, .read = [](V& v, Var) { return double(v.option100_202); }},
        {.type = 100, .number = 203, .read = [](V& v, Var) { return double(v.option100_203); }},
        {.type = 100, .number = 204, .read = [](V& v, Var) { return double(v.option100_204); }},
        {.type = 100, .number = 217, .read = [](V& v, Var) { return double(v.option100_217); }},
        {.type = 100, .number = 245, .read = [](V& v, Var) { return double(v.option100_245); }},
        {.type = 100, .number = 246, .read = [](V& v, Var) { return double(v.option100_246); }},
        {.type = 100, .number = 247, .read = [](V& v, Var) { return double(v.option100_247); }},
        {.type = 100, .number = 248, .read = [](V& v, Var) { return double(v.option100_248); }},
        {.type = 100, .number = 249, .read = [](V& v, Var) { return double(v.option100_249); }},
        {.type = 100, .number = 250, .read = [](V& v, Var) { return double(v.option100_250); }},
        {.type = 100, .number = 251, .read = [](V& v, Var) { return double(v.option100_251); }},
        // Reading the series switches shows or hides the series of the general plot; a viewer
        // without a general plot only answers its switch.
        {.type = 100, .number = 252, .read = [](V& v, Var) {
             if (v.generalPlot) v.generalPlot->ShowSeries(v.showDesignSeries, "Design");
             return double(v.showDesignSeries);
         }},
        {.type = 100, .number = 253, .read = [](V& v, Var) {
             if (v.generalPlot) v.generalPlot->ShowSeries(v.showTargetSeries, "Target");
             return double(v.showTargetSeries);
         }},
        {.type = 100, .number = 260, .read = [](V& v, Var) {
             double out = v.flag104_312 == 0 ? flag(v.option100_245 != 0 && v.option100_246 != 0) : 2.0;
             if (v.flag104_313) out = 1.0;
             return out;
         }},
        {.type = 100, .number = 300, .read = [](V& v, Var) { return double(v.extractedData); }},
        {.type = 104, .number = 201, .read = [](V&, Var) { return 1.0; }},
        {.type = 104, .number = 202, .read = [](V&, Var) { return 1.0; }},
        {.type = 104, .number = 203, .read = [](V&, Var) { return 1.0; }},
        {.type = 104, .number = 204, .read = [](V&, Var) { return 1.0; }},
        {.type = 104, .number = 270, .read = [](V& v, Var) { return flag(v.flag104_270); }},
        {.type = 104, .number = 310, .read = [](V& v, Var) { return flag(v.flag104_310); }},
        {.type = 104, .number = 311, .read = [](V& v, Var) { return flag(v.flag104_311); }},
        {.type = 104, .number = 312, .read = [](V& v, Var) { return flag(v.flag104_312); }},
        {.type = 104, .number = 313, .read = [](V& v, Var) { return flag(v.flag104_313); }},
        {.type = 104, .number = 314, .read = [](V& v, Var) { return flag(v.flag104_314); }},
        {.type = 104, .number = 350, .read = [](V&, Var) { return flag(V::dontShowLimitsView); }},
        {.type = 104, .number = 400, .read = [](V& v, Var) {
             if (v.henPlotList)
                 if (chiPlot* plot = v.henPlotList->GetIth(v.selectedMainPlot - 1)) plot->ShowManager(v.showManagerFlag400);
             return flag(v.showManagerFlag400);
         }},
        {.type = 104, .number = 409, .read = [](V& v, Var) { return flag(v.showManagerFlag409); }},
        {.type = 105, .number = 126, .read = [](V& v, Var) { return double(v.selectedRow); }},
        {.type = 105, .number = 127, .read = [](V& v, Var) { return double(v.option105_127); }},
        {.type = 105, .number = 201, .read = [](V& v, Var) { return double(v.selectedPlot); }},
        {.type = 105, .number = 202, .read = [](V& v, Var) { return double(v.selectedMainPlot); }},
        {.type = 105, .number = 402, .read = [](V& v, Var) { return double(v.selectedMainPlot); }},
        {.type = 105, .number = 203, .read = [](V& v, Var) { return double(v.option105_203); }},
        {.type = 105, .number = 266, .read = [](V& v, Var) { return double(v.option105_203); }},
        {.type = 105, .number = 204, .read = [](V& v, Var var) {
             const int i = var.Offset(0);
             return i == 1 ? double(v.selectedLeftPlot) : i == 2 ? double(v.selectedRightPlot) : kEmpty;
         }, .dims = 1},
        {.type = 105, .number = 222, .read = [](V& v, Var) { return double(v.option105_222); }},
        {.type = 105, .number = 511, .read = [](V& v, Var) { return defaultEntry(v, v.processRow, 0); }},
        {.type = 105, .number = 512, .read = [](V& v, Var) { return defaultEntry(v, v.utilityRow, 1); }},
        {.type = 1519, .number = 200, .read = [](V&, Var var) { return var.Offset(0) == 1 ? 1.0 : kEmpty; }, .dims = 1},
        {.type = 1519, .number = 210, .read = [](V& v, Var) { return v.value1519_210; }},
        {.type = 1519, .number = 211, .read = [](V& v, Var) { return v.valueComputed; }},
        {.type = 1519, .number = 212, .read = [](V& v, Var) { return v.selectedMainPlot == 11 ? 0.0 : 1.0; }},
        {.type = 1519, .number = 288, .read = [](V& v, Var) { return double(v.option1519_288); }},
        {.type = 1519, .number = 514, .read = [](V& v, Var) { return double(v.option540); }},
        {.type = 1519, .number = 515, .read = [](V& v, Var) { return double(v.option1519_515); }},
        {.type = 1519, .number = 516, .read = [](V& v, Var) { return double(v.option1519_516); }},
        {.type = 1519, .number = 660, .read = [](V& v, Var) { return double(v.option1519_660); }},
        {.type = 1519, .number = 714, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }, .dims = 1},
    };
    return rows;
}

// ---- variables known by name (only for type codes no table handles), in their order ----

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::NamedRows() {
    using Var = const VarDescription&;
    static const std::vector<Row> rows = {
        {.name = "ColPos", .number = 105, .read = [](V& v, Var) { return double(v.tableColumn); }},
        {.name = "ColPosU", .number = 105, .read = [](V& v, Var) { return double(v.tableColumn); }},
        {.name = "RowPos", .number = 105, .read = [](V& v, Var) { return double(v.processRow); }},
        {.name = "Count", .number = 410, .read = [](V& v, Var var) {
             return var.Offset(0) < v.myScenario->GetNumberOfProcessStreams() ? var.Offset(0) + 1.0 : kEmpty;
         }, .dims = 1},
        {.name = "UtilInfoHot", .number = 1, .read = [](V& v, Var) {
             const int s = v.myScenario->GetUtilityAssignmentStatus(0);
             return s == 1 ? 0.0 : (s >= 2 && s <= 4) ? 45.0 : 46.0;
         }},
        {.name = "UtilInfoCold", .number = 1, .read = [](V& v, Var) {
             const int s = v.myScenario->GetUtilityAssignmentStatus(1);
             return s == 1 ? 0.0 : (s >= 2 && s <= 4) ? 45.0 : 46.0;
         }},
        {.name = "DelMes", .number = 104, .read = [](V& v, Var) { return flag(v.tableColumn == 9); }},
        {.name = "CountPinch", .number = 200, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }, .dims = 1},
        {.name = "PinchNo", .number = 200, .read = [](V& v, Var) {
             return double(scenario_pinches::Count(*v.myScenario));
         }},
        {.name = "NumOfPock", .number = 200, .read = [](V& v, Var) {
             return double(countOrZero(v.myScenario->GetNumberOfPockets()));
         }},
        {.name = "GlMinUnit", .number = 200, .guard = G::ProcessStreams, .read = [](V& v, Var) {
             return double(v.myScenario->GetMinimumNumberOfUnits(0));
         }},
        {.name = "MinMER", .number = 200, .read = [](V& v, Var) {
             return double(v.myScenario->GetMinimumNumberOfUnits(1));
         }, .zeroIsEmpty = true},
        {.name = "NumSubsets", .number = 200, .read = [](V& v, Var) {
             return double(v.myScenario->GetMinimumNumberOfUnitsByMILP());
         }},
        {.name = "ShellTarget", .number = 200, .guard = G::ProcessStreams, .read = [](V& v, Var) {
             return double(v.myScenario->GetNumberOfShellsTarget());
         }},
        {.name = "ShellTarget", .number = 301, .read = [](V& v, Var var) { return v.GetRetroSummary(var); }, .dims = 1},
        {.name = "ShellTarget", .number = 302, .read = [](V& v, Var var) { return v.GetRetroSummary(var); }, .dims = 1},
        {.name = "cntPock", .number = 201, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }, .dims = 1},
        {.name = "rate_cap_int", .number = 300, .read = [](V& v, Var) {
             const double r = v.EconomicItem(3, "DEFAULT");
             return r == kEmpty ? kEmpty : r * 100.0;
         }},
        {.name = "exp_plant_life", .number = 300, .read = [](V& v, Var) { return v.EconomicItem(4, "DEFAULT"); }},
        {.name = "ann_factor", .number = 300, .read = [](V& v, Var) { return v.AnnualisationFactor(); }},
        {.name = "hours_of_operation", .number = 300, .read = [](V& v, Var) { return v.EconomicItem(6, "DEFAULT"); }},
        // No capital target is 0: the scenario answers 0 where it has no area to cost.
        {.name = "cc_net_cc_exch", .number = 300, .read = [](V& v, Var) { return v.myScenario->GetCostTarget(7); },
         .zeroIsEmpty = true, .unit = 31000},
        {.name = "CountU", .number = 440, .read = [](V& v, Var var) {
             return var.Offset(0) < v.myScenario->GetNumberOfStreamsOfKind(1, 2) ? var.Offset(0) + 1.0 : kEmpty;
         }, .dims = 1},
        {.name = "EnableDraw", .number = 450, .read = [](V& v, Var) {
             return flag(v.myScenario->GetUtilityTarget(0) > 0.0 || v.myScenario->GetUtilityTarget(1) > 0.0);
         }},
        {.name = "SelectionEnable", .number = 101, .read = [](V& v, Var) {
             return flag(v.myScenario->GetAreaTargetMethod() == 1);
         }},
        {.name = "SubsetNumber", .number = 125, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }, .dims = 1},
        {.name = "SubsetNumber", .number = 126, .read = [](V&, Var var) { return var.Offset(0) + 1.0; }, .dims = 1},
        {.name = "TotalImbalance", .number = 125, .read = [](V& v, Var var) {
             return v.LoadBalance(var.Offset(0), v.option105_127, true);
         }, .dims = 1, .unit = 6},
    };
    return rows;
}

// ---- after the names ----

const std::vector<HIDesignViewerScenario::ValueRow>& HIDesignViewerScenario::LastRows() {
    using Var = const VarDescription&;
    using Stream = IHeatIntegrationStream&;
    static const std::vector<Row> rows = {
        // An index outside the three options is empty, never a read past them.
        {.type = 109, .number = 250, .read = [](V& v, Var var) {
             const int i = var.Offset(0);
             return i >= 0 && i < 3 ? double(v.intArray109_250[i]) : kEmpty;
         }, .dims = 1},
        {.type = 4101, .number = 412, .rows = R::Process, .kind = 0, .side = 2,
         .streamRead = [](V&, Stream s, Var) {
             double out = kEmpty;
             if (s.GetNumberOfSegments() == 1) s.GetValue("FoulingFactor", out, 0);
             return s.GetNumberOfSegments() == 1 ? out : kEmpty;
         }, .dims = 1},
        {.type = 4101, .number = 440, .rows = R::UtilityList, .kind = 1, .side = 2,
         .streamRead = [](V&, Stream s, Var) {
             double out = kEmpty;
             if (s.GetNumberOfSegments() == 1) s.GetValue("FoulingFactor", out, 0);
             return s.GetNumberOfSegments() == 1 ? out : kEmpty;
         }, .dims = 1},
        {.name = "ObjectStatus", .number = 200, .read = [](V& v, Var) {
             IconResource icon;
             const ResourceRegistry* resources = ResourceRegistry::Current();
             const char* name = v.myScenario->IsRetrofitScenario() ? "Small_RIco" : "HIScenarioIco";
             return resources && resources->FindIcon(name, icon) ? double(icon.id) : kEmpty;
         }},
    };
    return rows;
}

// ---- the dispatcher ----

namespace {

std::int64_t key(int type, int number) {
    return (static_cast<std::int64_t>(type) << 32) | static_cast<std::uint32_t>(number);
}

// The rows of the handled type codes by (type, number): a row is found in constant time,
// whatever the number of rows.
struct RowIndex {
    std::unordered_map<std::int64_t, const Row*> typed;
    std::unordered_map<std::int64_t, const Row*> last;
    std::vector<const Row*> named;
    const Row* lastNamed = nullptr;
    std::vector<const Row*> all;
};

bool isHandled(int type) {
    for (int code : HIDesignViewerScenario::HandledTypeCodes())
        if (code == type) return true;
    return false;
}

}  // namespace

const RowIndex& rowIndex() {
    static const RowIndex index = [] {
        using V = HIDesignViewerScenario;
        RowIndex out;
        for (const Row& r : V::NamedRows()) {
            out.named.push_back(&r);
            out.all.push_back(&r);
        }
        for (const std::vector<Row>* table : {&V::FormStateRows(), &V::TargetRows(), &V::StreamRows(), &V::EconomicRows(),
                                              &V::DesignRows(), &V::RetrofitRows()})
            for (const Row& r : *table) {
                out.typed.emplace(key(r.type, r.number), &r);
                out.all.push_back(&r);
            }
        for (const Row& r : V::LastRows()) {
            if (r.name) out.lastNamed = &r;
            else out.last.emplace(key(r.type, r.number), &r);
            out.all.push_back(&r);
        }
        return out;
    }();
    return index;
}

const std::vector<const HIDesignViewerScenario::ValueRow*>& HIDesignViewerScenario::ValueRows() { return rowIndex().all; }

const HIDesignViewerScenario::ValueRow* HIDesignViewerScenario::FindValueRow(const VarDescription& var) {
    const RowIndex& index = rowIndex();
    const int type = var.Type(), number = var.Number();
    // The column and row of the stream tables (the first three named rows) come before any
    // type code.
    if (number == 105)
        for (std::size_t i = 0; i < 3; ++i)
            if (var.VariableIs(index.named[i]->name)) return index.named[i];
    if (isHandled(type)) {
        auto it = index.typed.find(key(type, number));
        return it == index.typed.end() ? nullptr : it->second;
    }
    // The first name that matches decides; its other numbers go to the framework.
    for (std::size_t i = 3; i < index.named.size(); ++i) {
        const Row* r = index.named[i];
        if (!var.VariableIs(r->name)) continue;
        for (std::size_t j = i; j < index.named.size() && std::strcmp(index.named[j]->name, r->name) == 0; ++j)
            if (index.named[j]->number == number) return index.named[j];
        return nullptr;
    }
    auto it = index.last.find(key(type, number));
    if (it != index.last.end()) return it->second;
    if (index.lastNamed && number == index.lastNamed->number && var.VariableIs(index.lastNamed->name))
        return index.lastNamed;
    return nullptr;
}

double HIDesignViewerScenario::Value(const VarDescription& var) {
    if (!myScenario) return EmptyValue;
    const Row* row = FindValueRow(var);
    return row ? ReadRow(*row, var) : Viewable::Value(var);
}

VarDescription HIDesignViewerScenario::FirstRowWhenUnindexed(const VarDescription& var) {
    VarDescription first(var);
    if (var.NumberOfIndices() == 0) first.SetOffset(0, 0);
    return first;
}

double HIDesignViewerScenario::ReadRow(const ValueRow& row, const VarDescription& var) {
    // A variable of rows named without an index is its first row, as ".0" names it, whatever the
    // variable; with no row there is nothing to read (no pinch has a number or a temperature).
    if ((row.dims >= 1 || row.rows != R::None) && var.NumberOfIndices() == 0) {
        DimInfo dims;
        Dimensions(var, dims);
        if (dims.NumberOfDims() > 0 && dims.Dim(0) == 0) return kEmpty;
        return ReadRow(row, FirstRowWhenUnindexed(var));
    }
    // A cell of a table named with one index is the first cell of its row, so that a column of
    // a table reads as its rows' first cells.
    if (row.dims == 2 && var.NumberOfIndices() == 1) {
        VarDescription cell(var);
        cell.SetOffset(1, 0);
        return ReadRow(row, cell);
    }
    if (row.guard == G::ProcessStreams && myScenario->GetNumberOfProcessStreams() == 0) return kEmpty;
    // The scenario answers 0 for a cost it has no result for; `targets` says not available.
    if (row.guard == G::Covered && !utility_cover::UtilitiesCoverTargets(*myScenario)) return kEmpty;
    if (row.streamRead) return ReadStreamRow(row, var);
    const double out = row.read(*this, var);
    return row.zeroIsEmpty && out == 0.0 ? kEmpty : out;
}

bool scenario_values::rowList(V& v, Row::Rows rows, const VarDescription& var, int& kind, int& side, int& bound) {
    IHeatIntegrationScenario* scenario = v.GetmyScenario();
    const int i = var.Offset(0);
    if (side == Row::UtilitySide) side = v.GetUtilHeatType();
    bound = 0;
    int hot = 0, cold = 0;
    switch (rows) {
        case R::Process: bound = scenario->GetNumberOfProcessStreams(); return true;
        case R::Kind: bound = scenario->GetNumberOfStreamsOfKind(kind, side); return true;
        case R::UtilityList: bound = scenario->GetNumberOfUtilityStreams(); return true;
        case R::Unbounded: bound = i + 1; return true;
        case R::NonEmptyKind: bound = scenario->GetNumberOfStreamsOfKind(kind, side) > 0 ? i + 1 : 0; return true;
        case R::None: return false;
        case R::MainSideChoice: hot = v.option100_245, cold = v.option100_246; break;
        case R::SideChoice:
        case R::SideChoiceExtended: {
            const int which = var.Offset(1);
            hot = v.option100_250, cold = v.option100_249;
            if (which == 2) hot = v.option100_247, cold = v.option100_248;
            if (rows == R::SideChoiceExtended && which == 3) hot = 1, cold = 0;
            if (rows == R::SideChoiceExtended && which == 4) hot = 0, cold = 1;
            break;
        }
    }
    kind = 1;
    if (hot == 1 && cold == 1) side = 2;
    else if (hot == 1 && cold == 0) side = 0;
    else if (hot == 0 && cold == 1) side = 1;
    else return false;
    bound = rows == R::MainSideChoice ? scenario->GetNumberOfUtilityStreams() : scenario->GetNumberOfStreamsOfKind(1, side);
    return true;
}

double HIDesignViewerScenario::ReadStreamRow(const ValueRow& row, const VarDescription& var) {
    const int i = var.Offset(0);
    int kind = row.kind, side = row.side, bound = 0;
    if (!rowList(*this, row.rows, var, kind, side, bound)) return kEmpty;
    if (i >= bound) return row.missing;
    IHeatIntegrationStream* found = nullptr;
    if (!myScenario->GetStreamOfKind(i, found, kind, side) || !found) {
        if (!row.keepOnFail) workStream = nullptr;
        return row.missing;
    }
    workStream = found;
    return row.streamRead(*this, *found, var);
}
