// The scenario viewer's input dispatchers (numbers and texts), the rows that only change the
// viewer's own form state, the stream names, notes and the default coefficient table. The
// stream data, economics and settings rows stand in files of their own.
#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/FormWrites.h"
#include "lumeth/MessageKey.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/PointerList.h"
#include "lumeth/Session.h"
#include "views/case/project/HIScenarioOwnerViewer.h"
#include "views/case/scenario/ScenarioInputRows.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/chiPlot.h"

#include <cstring>
#include <unordered_map>

using namespace scenario_input;

Text HIDesignViewerScenario::InputRow::Address() const {
    if (name) return FormattedText("%s.%d", name, number);
    const QuantityInfo* q = FindQuantity(type);
    return FormattedText("%s.%d", q ? q->name.c_str() : "ExtraData", number);
}

bool HIDesignViewerScenario::BaseCaseLocked() const {
    if (!myScenario || !myScenario->IsRetrofitScenario()) return false;
    const char* base = myScenario->GetRetrofitBaseDesignName();
    return base && *base;
}

// A retrofit study's streams are its base's: no extraction brings streams into it.
bool HIDesignViewerScenario::RefusedOnRetrofitBase() {
    if (!myScenario || !myScenario->IsRetrofitScenario()) return false;
    ErrorMsg("NoChangeinHENRBaseCase");
    return true;
}

namespace {

using Var = const VarDescription&;

// The main plot's manager follows its switch.
void showMainPlotManager(V& v, bool flag) {
    if (!v.GetHenPlotList()) return;
    if (chiPlot* plot = v.GetHenPlotList()->GetIth(v.selectedMainPlot - 1)) plot->ShowManager(flag);
}

template <std::int32_t V::*member>
const char* storeInt(V& v, Var, double value) {
    // A number no integer holds is refused, not wrapped to some other choice.
    if (!fitsWhole(value)) return "SpecRange";
    v.*member = whole(value);
    return nullptr;
}
template <bool V::*member>
const char* storeByte(V& v, Var, double value) {
    v.*member = lowByte(value) != 0;
    return nullptr;
}
template <double V::*member>
const char* storeDouble(V& v, Var, double value) {
    v.*member = value;
    return nullptr;
}

// Where the cursor of a table stands: a row or column, a whole number from 0.
const CellDomain kCursor = CellDomain::Whole(0, 2147483647.0);

// The table columns a cursor skips: typed onto one, it lands on the next.
const char* column(V& v, double value, int a, int b, int c) {
    const std::int32_t n = whole(value);
    v.tableColumn = (n == a || n == b || n == c) ? n + 1 : n;
    return nullptr;
}

}  // namespace

const std::vector<HIDesignViewerScenario::InputRow>& HIDesignViewerScenario::FormStateInputRows() {
    static const std::vector<In> rows = {
        {.type = 105, .number = 127, .write = storeInt<&V::option105_127>},
        {.type = 105, .number = 201, .write = storeInt<&V::selectedPlot>},
        {.type = 105, .number = 202, .write = storeInt<&V::selectedMainPlot>},
        {.type = 105, .number = 402, .write = storeInt<&V::selectedMainPlot>},
        {.type = 105, .number = 203, .write = storeInt<&V::option105_203>},
        {.type = 105, .number = 204, .write = [](V& v, Var var, double value) -> const char* {
             if (var.Offset(0) == 1) v.selectedLeftPlot = whole(value);
             else if (var.Offset(0) == 2) v.selectedRightPlot = whole(value);
             return nullptr;
         }},
        {.type = 105, .number = 222, .write = storeInt<&V::option105_222>},
        {.type = 104, .number = 270, .write = storeByte<&V::flag104_270>},
        {.type = 104, .number = 310, .write = storeByte<&V::flag104_310>},
        {.type = 104, .number = 311, .write = storeByte<&V::flag104_311>},
        {.type = 104, .number = 312, .write = storeByte<&V::flag104_312>},
        {.type = 104, .number = 313, .write = storeByte<&V::flag104_313>},
        {.type = 104, .number = 314, .write = storeByte<&V::flag104_314>},
        // One switch for every scenario viewer of the process.
        {.type = 104, .number = 350, .write = [](V&, Var, double value) -> const char* {
             V::dontShowLimitsView = lowByte(value) != 0;
             return nullptr;
         }},
        {.type = 104, .number = 400, .write = [](V& v, Var, double value) -> const char* {
             v.showManagerFlag400 = lowByte(value) != 0;
             showMainPlotManager(v, v.showManagerFlag400);
             return nullptr;
         }},
        {.type = 104, .number = 409, .write = [](V& v, Var, double value) -> const char* {
             v.showManagerFlag409 = lowByte(value) != 0;
             showMainPlotManager(v, v.showManagerFlag409);
             return nullptr;
         }},
        {.type = 1519, .number = 288, .write = storeInt<&V::option1519_288>},
        {.type = 1519, .number = 515, .write = storeInt<&V::option1519_515>},
        {.type = 1519, .number = 516, .write = storeInt<&V::option1519_516>},
        {.type = 1519, .number = 555, .write = storeDouble<&V::value1519_555>},
        {.type = 1519, .number = 556, .write = storeDouble<&V::value1519_556>},
        {.type = 1519, .number = 660, .write = storeInt<&V::option1519_660>},
        {.type = 100, .number = 202, .write = storeInt<&V::option100_202>},
        {.type = 100, .number = 203, .write = storeInt<&V::option100_203>},
        {.type = 100, .number = 204, .write = storeInt<&V::option100_204>},
        {.type = 100, .number = 217, .write = storeInt<&V::option100_217>},
        {.type = 100, .number = 245, .write = storeInt<&V::option100_245>},
        {.type = 100, .number = 246, .write = storeInt<&V::option100_246>},
        {.type = 100, .number = 247, .write = storeInt<&V::option100_247>},
        {.type = 100, .number = 248, .write = storeInt<&V::option100_248>},
        {.type = 100, .number = 249, .write = storeInt<&V::option100_249>},
        {.type = 100, .number = 250, .write = storeInt<&V::option100_250>},
        {.type = 100, .number = 251, .write = storeInt<&V::option100_251>},
        {.type = 100, .number = 252, .write = [](V& v, Var, double value) -> const char* {
             v.showDesignSeries = whole(value);
             if (v.GetGeneralPlot()) v.GetGeneralPlot()->ShowSeries(v.showDesignSeries, "Design");
             return nullptr;
         }},
        {.type = 100, .number = 253, .write = [](V& v, Var, double value) -> const char* {
             v.showTargetSeries = whole(value);
             if (v.GetGeneralPlot()) v.GetGeneralPlot()->ShowSeries(v.showTargetSeries, "Target");
             return nullptr;
         }},
        // The cursor of the stream tables, by name: a row and a column are whole numbers from 0.
        {.name = "ColPos", .number = 105, .write = [](V& v, Var, double value) { return column(v, value, 1, 9, 12); },
         .domain = kCursor},
        {.name = "RowPos", .number = 105, .write = [](V& v, Var, double value) -> const char* {
             v.processRow = whole(value);
             v.LookUpQuietly(v.processRow, 0);
             return nullptr;
         }, .domain = kCursor},
        {.name = "RowPos", .number = 106, .write = [](V& v, Var, double value) -> const char* {
             v.utilityRow = whole(value);
             v.LookUpQuietly(v.utilityRow, 1);
             return nullptr;
         }, .domain = kCursor},
        // The utility table's row goes into the process-row member, as the forms have it.
        {.name = "RowPosU", .number = 105, .write = [](V& v, Var, double value) -> const char* {
             v.processRow = whole(value);
             v.LookUpQuietly(v.processRow, 1);
             return nullptr;
         }, .domain = kCursor},
        {.name = "ColPosU", .number = 105, .write = [](V& v, Var, double value) { return column(v, value, 1, 8, 12); },
         .domain = kCursor},
        // The three options: an index outside them is not written.
        {.type = 109, .number = 250, .write = [](V& v, Var var, double value) -> const char* {
             const int i = var.Offset(0);
             if (i >= 0 && i < 3) v.intArray109_250[i] = whole(value);
             return nullptr;
         }},
    };
    return rows;
}

// ---- the dispatcher ----

namespace {

const std::vector<int>& inputTypeCodes() {
    static const std::vector<int> codes = {105, 9,    4101, 1524, 1517, 1, 6,   107,  31002,
                                           104, 31000, 1519, 4,   32039, 100, 1011, 1516, 1508};
    return codes;
}
const char* const kInputNames[] = {"ColPos", "RowPos", "RowPosU", "ColPosU", "rate_cap_int",
                                   "exp_plant_life", "hours_of_operation", "Cp"};

std::int64_t key(int type, int number) {
    return (static_cast<std::int64_t>(type) << 32) | static_cast<std::uint32_t>(number);
}

struct InputIndex {
    std::unordered_map<std::int64_t, const In*> typed;
    std::vector<const In*> named;
    const In* last = nullptr;
    std::vector<const In*> all;
};

const InputIndex& inputIndex() {
    static const InputIndex index = [] {
        InputIndex out;
        for (const std::vector<In>* table :
             {&V::FormStateInputRows(), &V::StreamInputRows(), &V::EconomicInputRows(), &V::SettingInputRows()})
            for (const In& r : *table) {
                if (r.name) out.named.push_back(&r);
                else if (r.type == 109) out.last = &r;
                else out.typed.emplace(key(r.type, r.number), &r);
            }
        for (int code : inputTypeCodes())
            for (const std::vector<In>* table :
                 {&V::FormStateInputRows(), &V::StreamInputRows(), &V::EconomicInputRows(), &V::SettingInputRows()})
                for (const In& r : *table)
                    if (!r.name && r.type == code) out.all.push_back(&r);
        for (const char* n : kInputNames)
            for (const In* r : out.named)
                if (std::strcmp(r->name, n) == 0) out.all.push_back(r);
        if (out.last) out.all.push_back(out.last);
        return out;
    }();
    return index;
}

}  // namespace

const std::vector<const HIDesignViewerScenario::InputRow*>& HIDesignViewerScenario::InputRows() { return inputIndex().all; }

const HIDesignViewerScenario::InputRow* HIDesignViewerScenario::FindInputRow(const VarDescription& var) {
    const InputIndex& index = inputIndex();
    const int type = var.Type(), number = var.Number();
    for (int code : inputTypeCodes()) {
        if (code != type) continue;
        auto it = index.typed.find(key(type, number));
        return it == index.typed.end() ? nullptr : it->second;
    }
    // The first name that matches decides; its other numbers go to the framework.
    for (const char* n : kInputNames) {
        if (!var.VariableIs(n)) continue;
        for (const In* r : index.named)
            if (std::strcmp(r->name, n) == 0 && r->number == number) return r;
        return nullptr;
    }
    if (index.last && type == index.last->type && number == index.last->number) return index.last;
    return nullptr;
}

int HIDesignViewerScenario::Specify(const VarDescription& var, double value) {
    if (!myScenario) return 0;
    SignalBusy(true);
    int out = 1;
    if (const InputRow* row = FindInputRow(var))
        out = row->streamWrite ? WriteRow(*row, FirstRowWhenUnindexed(var), value) : WriteRow(*row, var, value);
    else out = Viewable::Specify(var, value);
    SignalBusy(false);
    return out;
}

void HIDesignViewerScenario::LookUpQuietly(int row, int kind) {
    IHeatIntegrationStream* found = nullptr;
    workStream = myScenario->GetStreamOfKind(row, found, kind, 2) ? found : nullptr;
}

// 1 when the value was taken, 0 when a refusal was shown: the form's answer says which.
int HIDesignViewerScenario::WriteRow(const InputRow& row, const VarDescription& var, double value) {
    const auto refuse = [this](const char* key) {
        ErrorMsg(key);
        return 0;
    };
    if (row.advancesColumn) ++tableColumn;
    if (row.guarded && BaseCaseLocked()) return refuse(MessageKey("NoChangeinHENRBaseCase"));
    if (!row.streamWrite) {
        if (row.check)
            if (const char* k = row.check(value)) return refuse(k);
        if (const char* k = row.write(*this, var, value)) return refuse(k);
        return 1;
    }
    if (row.checkFirst && row.check)
        if (const char* k = row.check(value)) return refuse(k);
    const int i = var.Offset(0);
    int bound = i + 1;
    switch (row.rows) {
        case R::Process: bound = myScenario->GetNumberOfProcessStreams(); break;
        case R::Kind: bound = myScenario->GetNumberOfStreamsOfKind(row.kind, row.side); break;
        case R::UtilityList: bound = myScenario->GetNumberOfUtilityStreams(); break;
        default: break;
    }
    if (i < 0 || i >= bound) {
        if (!row.boundShows) return 1;
        workStream = nullptr;
        return refuse(MessageKey("GetStreamError"));
    }
    if (row.check && !row.checkFirst)
        if (const char* k = row.check(value)) return refuse(k);
    IHeatIntegrationStream* found = nullptr;
    if (!myScenario->GetStreamOfKind(i, found, row.kind, row.side) || !found) {
        if (row.fail == F::ShowClear || row.fail == F::Clear) workStream = nullptr;
        if (row.fail == F::Show || row.fail == F::ShowClear) return refuse(MessageKey("GetStreamError"));
        return 1;
    }
    workStream = found;
    // What the existing network of a retrofit study holds is its own: read-only, nothing written.
    if (row.held && found->IsHeldByRetrofitBase(row.held)) return refuse(WriteRefusal::ReadOnly);
    if (!row.held) {
        if (const char* k = row.streamWrite(*this, *found, var, value)) return refuse(k);
        return 1;
    }
    // A stream value of a network locked for operation is the plant's: one its heaters, coolers or
    // utilities cannot run at is refused with the reason, and changes nothing.
    CPString reason;
    const char* k = myScenario->TryStreamEditOnLockedDesigns(
        *found, [&] { return row.streamWrite(*this, *found, var, value); }, reason);
    if (k && !reason.empty()) {
        ErrorMsg(k, Text(reason.c_str()));
        return 0;
    }
    if (k) return refuse(k);
    return 1;
}

// ---- texts ----

int HIDesignViewerScenario::SpecifyText(const VarDescription& var, const Text& text) {
    if (!myScenario) return 0;
    if (var.Type() == 1519) {
        switch (var.Number()) {
            case 208: newDesignName = text; return 1;
            case 227:
            case 230: return SpecifyHTCText(var, text);
            case 500: return SpecifyEconomicText(var, text, false);
            case 570:
                if (DataExtractionConfig* config = myScenario->GetDataExtractionConfig()) config->AddSubFlowsheet(text);
                return 1;
            case 1000: return renameOwnScenario(text);
            default: return Viewable::SpecifyText(var, text);
        }
    }
    if (var.VariableIs("Name")) return var.Number() == 500 ? SpecifyEconomicText(var, text, true) : Viewable::SpecifyText(var, text);
    if (var.VariableIs("Notes")) {
        if (var.Number() != 400) return Viewable::SpecifyText(var, text);
        myScenario->SetNotes(text);
        return 1;
    }
    if (var.VariableIs("StrName"))
        return var.Number() == 401 ? SpecifyStreamName(FirstRowWhenUnindexed(var), text, 0) : Viewable::SpecifyText(var, text);
    if (var.VariableIs("StrNameU"))
        return var.Number() == 440 ? SpecifyStreamName(FirstRowWhenUnindexed(var), text, 1) : Viewable::SpecifyText(var, text);
    return Viewable::SpecifyText(var, text);
}

// A name typed on the viewer is its scenario's: it goes through the rule of the project that
// owns the scenario (a name taken, blank-edged or the new-row marker refused), and the viewer takes
// the name from the scenario's notice, so that a viewer never bears another scenario's name.
int HIDesignViewerScenario::renameOwnScenario(const Text& name) {
    const Text old = myScenario->GetName();
    // The name cell written with the name it shows is taken as it stands.
    if (name == old) return 1;
    if (auto* owner = dynamic_cast<HIScenarioOwnerViewer*>(GetParent())) return owner->RenameScenario(old, name);
    if (HIScenarioOwnerViewer::RefuseInvalidScenarioName(name)) return 0;
    IHeatIntegrationProject* project = myScenario->GetProject();
    if (!project || project->RenameScenario(old, name) != 1) return ErrorMsg("ThisScenarioNameAlreadyExists", name), 0;
    return 1;
}

// A name typed into the stream tables: on the row after the last stream it adds one, over a
// name it renames the stream, cleared it deletes the stream once the user confirms.
int HIDesignViewerScenario::SpecifyStreamName(const VarDescription& var, const Text& text, int kind) {
    if (BaseCaseLocked()) {
        ErrorMsg("NoChangeinHENRBaseCase");
        return 0;
    }
    const int i = var.Offset(0);
    const int n = myScenario->GetNumberOfStreamsOfKind(kind, 2);
    // Past the spare row there is no stream and no row to add one: the user is told.
    if (i < 0 || i > n) return ErrorMsg("GetStreamError"), 0;
    if (i == n) {
        if (text.empty() || myScenario->AddStream(text, kind) != 1) return 0;
        // A retrofit study's streams are its existing network's: the scenario takes no new one
        // there and says nothing of it, so the row tells the user.
        if (myScenario->GetNumberOfStreamsOfKind(kind, 2) == n) {
            ErrorMsg("NoChangeinHENRBaseCase");
            return 0;
        }
        return 1;
    }
    IHeatIntegrationStream* found = nullptr;
    const bool have = myScenario->GetStreamOfKind(i, found, kind, 2) && found;
    // A total-site scenario's utilities are the site's streams, named and deleted on the site for
    // every scenario at once.
    if (kind == 1 && myScenario->IsTotalSiteScenario()) {
        // Its own name typed over it again renames nothing, as on every other stream table.
        if (have && text == found->GetName()) return 1;
        ErrorMsg("SiteUtilityStaysInEveryScenario");
        return 0;
    }
    if (text.empty()) {
        if (ResponseMsg("DeleteStreamError", 2) != 1) return 0;
        SignalBusy(true);
        // A stream that cannot be found is not deleted in a guess: the user is told.
        if (!have) {
            workStream = nullptr;
            ErrorMsg("GetStreamError");
            SignalBusy(false);
            return 0;
        }
        const Text name = found->GetName();
        // The notes keep what was deleted, a utility as a process stream (as the utility's name
        // view does when it is emptied).
        const char* held = myScenario->GetNotes();
        const Text notes = held ? held : "";
        myScenario->SetNotes(notes + (kind == 0 ? "Deleted Process Stream " : "Deleted Utility Stream ") + name + "\n");
        // A refused deletion (a locked network runs on the stream) has told the user why, and
        // leaves the notes as they were.
        const int deleted = myScenario->DeleteStream(name);
        if (deleted != 1) myScenario->SetNotes(notes);
        workStream = nullptr;
        SignalBusy(false);
        return deleted == 1 ? 1 : 0;
    }
    if (!have) {
        workStream = nullptr;
        ErrorMsg("GetStreamError");
        return 0;
    }
    workStream = found;
    if (myScenario->RenameStream(found->GetName(), text) == 0) {
        ErrorMsg("RenameStreamError");
        return 0;
    }
    return 1;
}

// The economic data sets by name: 1519/500 (checked, with messages) and "Name"/500 (passed on).
int HIDesignViewerScenario::SpecifyEconomicText(const VarDescription& var, const Text& text, bool named) {
    if (!named) {
        const char* base = myScenario->GetRetrofitBaseDesignName();
        if (base && *base) {
            ErrorMsg("NoChangeinHENRBaseCase");
            return 0;
        }
    }
    const int i = var.Offset(0);
    const int n = myScenario->GetNumberOfEconomicData();
    // A scenario of a total site lists the site's sets, which its own rename and delete never
    // reach: that is the reason given, not a clash of names or a set in use.
    DefaultManager* site = nullptr;
    if (i > 0 && i < n && myScenario->IsTotalSiteScenario() && myScenario->GetSiteUtilityManager(site) && site) {
        if (!named) ErrorMsg("SiteEconomicDataKeptBySite");
        return 0;
    }
    if (!text.empty()) {
        if (i == 0 && !named) {
            ErrorMsg("DeafultEconomicSpecRenameNotAllowed");
            return 0;
        }
        if (i < 0 || i > n) return 0;
        if (IsNewRowMarker(text.c_str())) {
            if (!named) ErrorMsg("NewRowMarkerEntryName");
            return 0;
        }
        int done = 1;
        if (i == n) {
            const int before = myScenario->GetNumberOfEconomicData();
            myScenario->AddEconomicData(text.c_str());
            done = myScenario->GetNumberOfEconomicData() > before;
        } else {
            done = myScenario->RenameEconomicData(text.c_str(), myScenario->GetEconomicDataName(i));
        }
        if (!done && !named) ErrorMsg("EconomicDataWithNameExists");
        if (done) SetEconomicData();
        return done ? 1 : 0;
    }
    if (i <= 0 || i >= n) return 0;
    const int done = myScenario->DeleteEconomicData(myScenario->GetEconomicDataName(i));
    if (!done && !named) ErrorMsg("EconomicDataInUseDeleteError");
    if (done) SetEconomicData();
    return done ? 1 : 0;
}

// Names and notes of the default film coefficient table of the scenario's default utilities.
int HIDesignViewerScenario::SpecifyHTCText(const VarDescription& var, const Text& text) {
    IDefaultUtilityManager* manager = nullptr;
    if (!myScenario->GetDefaultUtilityManager(manager) || !manager) return 0;
    const int i = var.Offset(0);
    // The manager answers 1 when it did what was asked and 0 when it refused.
    if (var.Number() == 230) return manager->SetHTCDefaultValueNote(i, text.c_str()) == 1 ? 1 : 0;
    const int m = manager->GetNumberOfHTCDefaultValues();
    if (i < 0 || i > m) return 0;
    // The factory's "<default>" entry is shown read-only: it is neither renamed nor deleted.
    if (i < m && IsReadOnlyHTCDefaultName(manager->GetHTCDefaultValueName(i))) return 0;
    if (text.empty()) {
        if (i == m || ResponseMsg("ConfirmDeleteExperiment", 2) != 1) return 0;
        return manager->DeleteHTCDefaultValue(i) == 1 ? 1 : 0;
    }
    if (IsNewRowMarker(text.c_str())) {
        ErrorMsg("NewRowMarkerEntryName");
        return 0;
    }
    const hresult r = i < m ? manager->SetHTCDefaultValueName(i, text.c_str()) : manager->AddHTCDefaultValue(text.c_str(), 0.0, nullptr);
    if (r != 1) {
        ErrorMsg("NameNotUnique");
        return 0;
    }
    return 1;
}
