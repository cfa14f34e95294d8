// Which cells of the scenario's forms the user may type into. Calculated values, streams of
// several segments (whose whole-stream values belong to their segments), locked streams and
// economic data the default utilities fix are read-only. A total site's utilities belong to the
// site: their names are the site's, while their data typed here are written into the site's
// streams (every scenario of the site reads them), so those cells follow the rules of any
// utility. Every other variable is the framework's to answer.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/ScenarioInputRows.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cstring>

namespace {

// One rule of the stream tables.
enum class Rule { SupplyCalc, TargetCalc, FlowCalc, LoadCalc, CpCalc, MCpCalc, Locked, CoeffSegments, FoulingCalc };
struct StatusRow {
    int type, number;
    int kind;          // 0 process rows, 1 utility rows
    Rule rule;
    bool designFlag;   // then read-only while the selected design's operation is locked
};

const StatusRow kRows[] = {
    {1, 402, 0, Rule::SupplyCalc, false},     {1, 403, 0, Rule::TargetCalc, false},
    {1, 440, 1, Rule::SupplyCalc, false},     {1, 441, 1, Rule::TargetCalc, true},
    {4, 105, 0, Rule::FlowCalc, true},        {6, 405, 0, Rule::LoadCalc, false},
    {1011, 200, 0, Rule::CpCalc, false},      {1011, 201, 1, Rule::CpCalc, false},
    {1516, 404, 0, Rule::MCpCalc, false},     {1517, 406, 0, Rule::Locked, false},
    {1517, 442, 1, Rule::Locked, false},      {1524, 413, 0, Rule::CoeffSegments, false},
    {1524, 440, 1, Rule::CoeffSegments, false}, {4101, 412, 0, Rule::FoulingCalc, false},
    {4101, 440, 1, Rule::FoulingCalc, false},
};

bool calculated(const IHeatIntegrationStream& s, const char* name, int index) { return s.GetValueStatus(name, index) == 2; }
bool given(const IHeatIntegrationStream& s, const char* name) { return s.GetValueStatus(name, 0) == 1; }

bool writable(const IHeatIntegrationStream& s, Rule rule) {
    const int segments = s.GetNumberOfSegments();
    switch (rule) {
        case Rule::SupplyCalc: return !calculated(s, "Temperature", 0);
        case Rule::TargetCalc: return !calculated(s, "Temperature", segments);
        case Rule::FlowCalc: return !calculated(s, "MassFlow", 0);
        // The load and the cp of a stream of one segment follow each other over its temperatures:
        // the one the user typed last stands, so either is typed over the other (a derived one
        // from a cp or load the user gave is not read-only; one derived otherwise is).
        case Rule::LoadCalc:
            return segments == 1 ? !calculated(s, "Enthalpy", 0) || given(s, "HeatCapacityFlowrate") : segments < 2;
        case Rule::CpCalc: return !calculated(s, "SpecificHeat", 0);
        case Rule::MCpCalc:
            return segments == 1 ? !calculated(s, "HeatCapacityFlowrate", 0) || given(s, "Enthalpy") : segments < 2;
        case Rule::Locked: return !s.IsLocked();
        case Rule::CoeffSegments: return segments < 2 && !s.IsLocked();
        case Rule::FoulingCalc: return segments == 1 && !calculated(s, "FoulingFactor", 0);
    }
    return true;
}

}  // namespace

void HIDesignViewerScenario::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!myScenario) return;
    const int t = var.Type(), v = var.Number(), i = var.Offset(0);
    const bool site = myScenario->IsTotalSiteScenario() != 0;
    // A retrofit's base case takes no change of its streams or economics: a cell whose write it
    // refuses reads read-only while it is so.
    if (const InputRow* row = FindInputRow(var); row && row->guarded && BaseCaseLocked()) {
        state = ReadOnlyState;
        return;
    }
    // A stream value the existing network of a retrofit study holds reads read-only, as its
    // write finds it.
    if (const InputRow* row = FindInputRow(var); row && row->held) {
        IHeatIntegrationStream* stream = nullptr;
        if (myScenario->GetStreamOfKind(i, stream, row->kind, row->side) && stream && stream->IsHeldByRetrofitBase(row->held)) {
            state = ReadOnlyState;
            return;
        }
    }
    // The default coefficient chosen for the selected row, and a forbidden match between two
    // streams, write what a retrofit base holds as well. With no row chosen (or a row past the
    // list), or a stream of several segments (a coefficient per segment, chosen in its segment
    // table), the choice has no stream to write to.
    if (t == 105 && (v == 511 || v == 512)) {
        IHeatIntegrationStream* stream = nullptr;
        const int kind = v == 511 ? 0 : 1;
        if (!myScenario->GetStreamOfKind(kind == 0 ? processRow : utilityRow, stream, kind, 2) || !stream ||
            stream->GetNumberOfSegments() >= 2 || stream->IsHeldByRetrofitBase("CHTCoeff")) {
            state = ReadOnlyState;
            return;
        }
    }
    if (t == 104 && v == 1200) {
        IHeatIntegrationStream *cold = nullptr, *hot = nullptr;
        const bool held = (myScenario->GetStreamOfKind(i, cold, 0, 1) && cold && cold->IsHeldByRetrofitBase(nullptr)) ||
                          (myScenario->GetStreamOfKind(var.Offset(1), hot, 0, 0) && hot && hot->IsHeldByRetrofitBase(nullptr));
        if (held) {
            state = ReadOnlyState;
            return;
        }
    }
    // Names whose every write the scenario refuses read read-only: the default economic data set's
    // (neither renamed nor deleted, on either route), every set's typed on a retrofit's base case,
    // and the process streams' and utilities' names while the base case is locked.
    if (v == 500 && (var.VariableIs("ExtraData") || var.VariableIs("Name"))) {
        const char* base = myScenario->GetRetrofitBaseDesignName();
        if (i <= 0 || (var.VariableIs("ExtraData") && base && *base)) {
            state = ReadOnlyState;
            return;
        }
    }
    if (((v == 401 && var.VariableIs("StrName")) || (v == 440 && var.VariableIs("StrNameU"))) && BaseCaseLocked()) {
        state = ReadOnlyState;
        return;
    }
    auto designFlag = [&] {
        if (currentDesign && currentDesign->GetDesign() && currentDesign->GetDesign()->GetOperationLocked()) state = ReadOnlyState;
    };
    auto economic = [&](int type) {
        IDefaultUtilityManager* m = nullptr;
        state = ModifiableState;
        if (myScenario->GetDefaultUtilityManager(m) && m && m->GetVariableStatus(static_cast<EconomicDataType>(type)) == 2)
            state = ReadOnlyState;
    };
    // The utility name column: a new name only on the empty row; a total site's names are the site's.
    if (var.ObjectType() == UtilityNameView::TypeName) {
        if (v == 600) {
            state = i >= myScenario->GetNumberOfUtilityStreams() ? ModifiableState : ReadOnlyState;
            return;
        }
        if (v == 599 && site) {
            state = ReadOnlyState;
            return;
        }
    }
    // A stream link reads its sources in a design's network: with no design viewer selected the
    // switch has none to read and takes no write.
    if (t == 104 && v == 600 && !GetCurrentDesign()) {
        state = ReadOnlyState;
        return;
    }
    if (v == 300 && var.VariableIs("rate_cap_int")) return economic(3);
    if (v == 300 && var.VariableIs("exp_plant_life")) return economic(4);
    if (v == 300 && var.VariableIs("hours_of_operation")) return economic(6);
    if (t == 31000 && v == 501) return economic(0);
    if (t == 1519 && (v == 273 || v == 275 || v == 276)) return economic(v == 273 ? 0 : v == 275 ? 1 : 2);
    if (t == 1519 && v == 227) {
        IDefaultUtilityManager* m = nullptr;
        if (myScenario->GetDefaultUtilityManager(m) && m && i >= 0 && i < m->GetNumberOfHTCDefaultValues()) {
            const char* name = m->GetHTCDefaultValueName(i);
            state = IsReadOnlyHTCDefaultName(name) ? ReadOnlyState : ModifiableState;
        }
        return;
    }
    if ((t == 4 && v == 106) || (t == 32039 && v == 105)) return designFlag();
    if (t == 6 && v == 440) {
        state = myScenario->GetUtilityAssignmentMethod() == 1 ? ModifiableState : ReadOnlyState;
        return;
    }
    if (t == 105 && v == 510) {
        state = myScenario->IsRetrofitScenario() ? ReadOnlyState : ModifiableState;
        return;
    }
    if (t == 1517 && v == 1) {
        state = ModifiableState;
        return;
    }
    if (t == 31002 && v == 445) {
        detail = 0;
        state = ModifiableState;
        IHeatIntegrationStream* s = nullptr;
        if (myScenario->GetStreamOfKind(i, s, 1, 2) && s) state = s->IsLocked() ? ReadOnlyState : ModifiableState;
        return;
    }
    for (const StatusRow& r : kRows) {
        if (r.type != t || r.number != v) continue;
        detail = 0;
        state = ModifiableState;
        const int bound = r.kind == 0 ? myScenario->GetNumberOfProcessStreams() : myScenario->GetNumberOfUtilityStreams();
        if (i < 0 || i >= bound) return;
        IHeatIntegrationStream* s = nullptr;
        if (!myScenario->GetStreamOfKind(i, s, r.kind, 2) || !s) {
            workStream = nullptr;
            return;
        }
        workStream = s;
        if (!writable(*s, r.rule)) state = ReadOnlyState;
        if (r.designFlag) designFlag();
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}
