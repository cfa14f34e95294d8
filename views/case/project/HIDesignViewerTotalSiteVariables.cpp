// The form of a total site: its name and notes, the table of site utility streams (one row per
// stream, and for the name columns one spare row through which a stream is added) and the
// scroll positions of its tables.
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/UtilityPrice.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Resources.h"
#include "lumeth/Session.h"
#include "views/case/project/HIDesignViewerTotalSite.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/UtilityNameView.h"

#include <utility>

namespace {
namespace L = CaseValueLimits;
constexpr int kTemperature = 1;
constexpr int kMassFlow = 4;
constexpr int kHeatFlow = 6;
constexpr int kSwitch = 104;
constexpr int kSpecificHeat = 1011;
constexpr int kDeltaT = 1517;
constexpr int kText = 1519;
constexpr int kCoefficient = 1524;
constexpr int kCostPerEnergy = 31002;
constexpr double kEmpty = Viewable::EmptyValue;

bool isEmpty(double v) { return v == kEmpty; }
double hotCold(const IHeatIntegrationStream& s) {
    const int side = s.GetHotCold();
    return side == 0 ? 1.0 : side == 1 ? 0.0 : kEmpty;
}
double valueOf(const IHeatIntegrationStream& s, const char* name) {
    double v = kEmpty;
    return s.GetValue(name, v, 0) ? v : kEmpty;
}
// The value of a site stream each column of the stream table writes, as a retrofit study's
// lock names it; null for a column that writes none.
const char* writtenValue(const VarDescription& var) {
    switch (var.Type()) {
        case kTemperature: return "Temperature";
        case kCostPerEnergy: return "CostIndex";
        case kCoefficient: return "CHTCoeff";
        case kHeatFlow: return var.Number() == 440 ? "Enthalpy" : nullptr;
        case kSpecificHeat: return "SpecificHeat";
        case kDeltaT: return "DTminContribution";
        default: return nullptr;
    }
}
// Tables whose column cursor passes over columns the user cannot type into.
int skipColumn(int column, std::initializer_list<int> skipped) {
    for (int c : skipped)
        if (column == c) return column + 1;
    return column;
}
}  // namespace

struct HIDesignViewerTotalSite::Form {
    using V = HIDesignViewerTotalSite;
    static const ViewForm<V>& Rows() {
        static const ViewForm<V> form{
            {{"Switch.201", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.202", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.203", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.204", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"Switch.205", FormHook::Value, kSwitch, false, 0}, &V::noteCount},
            {{"Switch.440", FormHook::Value, kSwitch, true, 1}, &V::streamValue, &V::specifyStream},
            // Shown, never taken: no write of it is heard.
            {{"Switch.452", FormHook::Value, kSwitch, false, 1}, &V::streamValue},
            {{"Switch.2002", FormHook::Value, kSwitch, false, 0}, &V::constant},
            {{"ExtraData.200", FormHook::Value, kText, false, 0}, &V::constant},
            {{"ObjectStatus.200", FormHook::Value, kText, false, 0}, &V::objectStatus},
            {{"Temperature.440", FormHook::Value, kTemperature, true, 1}, &V::streamValue, &V::specifyStream},
            {{"Temperature.441", FormHook::Value, kTemperature, true, 1}, &V::streamValue, &V::specifyStream},
            {{"CostPerEnergy.445", FormHook::Value, kCostPerEnergy, true, 1}, &V::streamValue, &V::specifyStream},
            {{"HeatTransferCoeff.440", FormHook::Value, kCoefficient, true, 1}, &V::streamValue, &V::specifyStream},
            // The site stream's own load (typed here); beside it, read-only, what the site's
            // scenarios place on the stream.
            {{"HeatFlow.440", FormHook::Value, kHeatFlow, true, 1}, &V::streamValue, &V::specifyStream},
            {{"HeatFlow.765", FormHook::Value, kHeatFlow, false, 1}, &V::placedLoad},
            {{"SpecificHeat.201", FormHook::Value, kSpecificHeat, true, 1}, &V::streamValue, &V::specifyStream},
            // Shown, never taken (see specifyMassFlow): listed read-only.
            {{"MassFlow.104", FormHook::Value, kMassFlow, false, 1}, &V::massFlow, &V::specifyMassFlow},
            {{"DeltaTemp.442", FormHook::Value, kDeltaT, true, 1}, &V::streamValue, &V::specifyStream},
            {{"ColPos.105", FormHook::Value, 100, true, 0}, &V::column, &V::setColumn},
            {{"ColPosU.105", FormHook::Value, 100, true, 0}, &V::column, &V::setColumn},
            {{"RowPos.105", FormHook::Value, 100, false, 0}, &V::row},
            {{"RowPos.106", FormHook::Value, 100, true, 0}, nullptr, &V::setRow},
            {{"RowPosU.105", FormHook::Value, 100, true, 0}, nullptr, &V::setRow},
            {{"CountU.440", FormHook::Value, 100, false, 1}, &V::countU},
            {{"StrNameU.440", FormHook::Text, kText, false, 1}, nullptr, nullptr, &V::streamName},
            {{"ExtraData.208", FormHook::Text, kText, true, 0}, nullptr, nullptr, &V::newName, &V::setNewName},
            {{"ExtraData.210", FormHook::Text, kText, true, 0}, nullptr, nullptr, &V::projectText, &V::setSiteText},
            {{"ExtraData.211", FormHook::Text, kText, false, 1}, nullptr, nullptr, &V::noteColumn},
            {{"ExtraData.212", FormHook::Text, kText, true, 0}, nullptr, nullptr, &V::currentNoteTitle, &V::chooseNote},
            {{"ExtraData.213", FormHook::Text, kText, false, 1}, nullptr, nullptr, &V::noteColumn},
            {{"ExtraData.214", FormHook::Text, kText, false, 1}, nullptr, nullptr, &V::noteColumn},
            {{"ExtraData.952", FormHook::Text, kText, false, 0}, nullptr, nullptr, &V::title},
            {{"Notes.400", FormHook::Text, kText, true, 0}, nullptr, nullptr, &V::comments, &V::setComments},
            {{"TitleText.301", FormHook::Text, kText, false, 0}, nullptr, nullptr, &V::title},
            {{"TitleText.302", FormHook::Text, kText, false, 0}, nullptr, nullptr, &V::title},
            {{"HIDesignViewerScenario.200", FormHook::Object, 0, false, 1}},
            {{"CloneHIScenarioTool.298", FormHook::Object, 0, true, 0}},
            {{"UtilityNameView.599", FormHook::Object, 0, true, 1}},
        };
        return form;
    }
};

// The command words of Message, in the order it tests them.
static const char* const kCommands[] = {"AddNote",    "DeleteNote", "AddToDesignView", "RemoveFromDesignView",
                                        "RenameView", "AddDefaultScenario", "CloneHI", "CopyHI", "CloneAndRetrofit",
                                        "OpenUDB",    "AddUtilityToUtilityStreams", "ViewSegTableViewU"};

void HIDesignViewerTotalSite::DescribeForm(FormDescription& form) {
    Form::Rows().Describe(form);
    for (const char* word : kCommands) form.AddCommand(word);
    // What a write of each column of the site's streams may be answered with.
    const std::pair<const char*, const char*> refusals[] = {
        {"Temperature.440", "GetStreamError HotStreamInletTemperatureUpdateError ColdStreamInletTemperatureUpdateError"},
        {"Temperature.441", "GetStreamError HotStreamOutletTemperatureUpdateError ColdStreamOutletTemperatureUpdateError"},
        {"CostPerEnergy.445", "GetStreamError SpecRange"},
        {"HeatTransferCoeff.440", "HTCoeffUpdateError2 HTCoeffUpdateError GetStreamError"},
        {"HeatFlow.440", "GetStreamError SpecRange"},
        {"SpecificHeat.201", "CpUpdateError GetStreamError"},
        {"MassFlow.104", "FlowRateUpdateError GetStreamError"},
        {"DeltaTemp.442", "GetStreamError DeltaTcUpdateError"},
        // A name typed into the stream table adds, renames or (emptied, once confirmed) deletes
        // a site stream.
        {"UtilityNameView.599", "DeleteStreamError AddStreamError RenameStreamError SameStreamErrorMsg NoChangeinHENRBaseCase "
                                "PickTotalSiteUtilityFromDropDownList NewRowMarkerName StreamInLockedOperation GetStreamError"},
    };
    for (const auto& [address, keys] : refusals) form.SetRefusals(address, keys);
    // A site utility's load is above nothing; its contribution to the approach may be none.
    form.SetDomain("HeatFlow.440", CellDomain::Above(0.0));
    form.SetDomain("DeltaTemp.442", CellDomain::AtLeast(0.0).RefusedWith("DeltaTcUpdateError"));
}

// ---- dispatch ----

double HIDesignViewerTotalSite::Value(const VarDescription& var) {
    double out = 0.0;
    if (!myTotalSite) return Viewable::Value(var);
    return Form::Rows().Value(*this, var, out) ? out : Viewable::Value(var);
}

int HIDesignViewerTotalSite::Specify(const VarDescription& var, double value) {
    if (!myTotalSite) return 0;
    const ViewForm<HIDesignViewerTotalSite>::Row* row = Form::Rows().Find(var);
    if (!row || !row->specify) return Viewable::Specify(var, value);
    SignalBusy(true);
    const int result = (this->*(row->specify))(var, value);
    SignalBusy(false);
    return result;
}

Text HIDesignViewerTotalSite::TextValue(const VarDescription& var) {
    Text out;
    if (!myTotalSite) return Text();
    return Form::Rows().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

int HIDesignViewerTotalSite::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    if (!myTotalSite) return 0;
    return Form::Rows().SpecifyText(*this, var, text, result) ? result : Viewable::SpecifyText(var, text);
}

int HIDesignViewerTotalSite::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form::Rows().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

int HIDesignViewerTotalSite::Dimensions(const VarDescription& var, DimInfo& dims) {
    const int n = numberOfStreams();
    const int type = var.Type(), number = var.Number();
    auto add = [&](int size) {
        dims.AddDim(size);
        return 1;
    };
    if (var.IsObjectLink()) {
        const ObjectTypeInfo* asked = ObjectTypeRegistry::Current()->Find(var.ObjectType());
        if (number == 200 && asked && asked->IsA(HIDesignViewerScenario::TypeName))
            return add(myTotalSite ? myTotalSite->GetNumberOfScenarios() : 0);
        if ((number == 599 || number == 600) && asked && asked->GetName() == UtilityNameView::TypeName) return add(n + 1);
        return Viewable::Dimensions(var, dims);
    }
    if (type == kText && (number == 211 || number == 213 || number == 214))
        return add(myTotalSite ? myTotalSite->GetNumberOfNotes() : 0);
    // The name columns carry one spare row for typing a new stream.
    if (number == 440 && (var.VariableIs("StrNameU") || var.VariableIs("CountU") || var.VariableIs("StatusU") ||
                          var.VariableIs("Cp")))
        return add(n + 1);
    if ((number == 445 && type == kHeatFlow) || (number == 452 && type == kSwitch) || (number == 207 && type == kText))
        return add(n + 1);
    const bool perStream = (number == 765 && type == kHeatFlow) || ((number == 104 || number == 106) && type == kMassFlow) ||
                           (number == 764 && type == kText) || (number == 442 && type == kDeltaT) ||
                           ((number == 214 || number == 440) && type == kSwitch) ||
                           (number == 201 && type == kSpecificHeat) ||
                           ((number == 440 || number == 441) && (type == kTemperature || type == kCoefficient)) ||
                           (number == 445 && type == kCostPerEnergy) ||
                           (number == 440 && (type == kHeatFlow || type == 4101)) || (number == 766 && type == 31001);
    if (perStream) return add(n);
    return Viewable::Dimensions(var, dims);
}

void HIDesignViewerTotalSite::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    detail = 0;
    const int type = var.Type(), number = var.Number();
    bool editable = false;
    if (var.IsObjectLink()) {
        const ObjectTypeInfo* asked = ObjectTypeRegistry::Current()->Find(var.ObjectType());
        editable = number == 599 && asked && asked->GetName() == UtilityNameView::TypeName;
    } else {
        editable = (type == kSwitch && (number == 452 || number == 440)) || (var.VariableIs("Notes") && number == 400) ||
                   (type == kText && number == 208);
        // What the form takes it shows as taken: a site utility's values, the site's name, the
        // table cursor.
        ModifyState listed = ReadOnlyState;
        editable = editable || (Form::Rows().VariableStatus(var, listed) && listed == ModifiableState);
        // A value a retrofit study's base in a scenario of the site runs on is the existing
        // network's: read-only, as on the scenario's own table.
        const char* value = writtenValue(var);
        if (editable && value && var.Offset(0) >= 0 && var.Offset(0) < numberOfStreams() && lookUp(var.Offset(0)) &&
            workStream->IsHeldByRetrofitBase(value))
            editable = false;
    }
    state = editable ? ModifiableState : ReadOnlyState;
}

// ---- values ----

double HIDesignViewerTotalSite::constant(const VarDescription& var) {
    if (var.Type() == kText) return var.Offset(0) == 1 ? 0.0 : kEmpty;
    return var.Number() == 201 || var.Number() == 2002 ? 1.0 : 0.0;
}

// The number of the site's icon, which the form shows for it.
double HIDesignViewerTotalSite::objectStatus(const VarDescription&) {
    IconResource icon;
    const ResourceRegistry* resources = ResourceRegistry::Current();
    return resources && resources->FindIcon("HIProjectIco", icon) ? double(icon.id) : kEmpty;
}

bool HIDesignViewerTotalSite::lookUp(int i) {
    IHeatIntegrationStream* stream = nullptr;
    if (!myTotalSite || i < 0 || !myTotalSite->GetStream(i, stream) || !stream) {
        workStream = nullptr;
        return false;
    }
    workStream = stream;
    return true;
}

double HIDesignViewerTotalSite::streamValue(const VarDescription& var) {
    const int i = var.Offset(0);
    if (i < 0 || i >= numberOfStreams() || !lookUp(i)) return kEmpty;
    IHeatIntegrationStream& s = *workStream;
    const int segments = s.GetNumberOfSegments();
    switch (var.Type()) {
        case kSwitch: return var.Number() == 440 && segments < 2 ? kEmpty : hotCold(s);
        case kTemperature: return var.Number() == 440 ? s.GetSupplyTemperature() : s.GetTargetTemperature();
        case kCostPerEnergy: return s.GetCostIndex();
        case kCoefficient: return segments == 1 ? valueOf(s, "CHTCoeff") : kEmpty;
        case kHeatFlow: return s.GetHeatLoad(0);
        case kSpecificHeat: return segments <= 1 ? valueOf(s, "SpecificHeat") : kEmpty;
        // The stream keeps half of the contribution it was given; the column shows what is typed.
        case kDeltaT: return s.GetDTminContributionScope() == 1 ? 2.0 * s.GetDTminContribution() : kEmpty;
        default: return kEmpty;
    }
}

// The load the site's scenarios place on the stream of row i, summed over them: each scenario's
// own copy of the stream carries the load of that scenario's targets. A retrofit study repeats a
// scenario of the plant and is left out.
double HIDesignViewerTotalSite::placedLoad(const VarDescription& var) {
    const int i = var.Offset(0);
    if (i < 0 || i >= numberOfStreams() || !lookUp(i)) return kEmpty;
    const CPString name = workStream->GetName();
    double sum = 0.0;
    for (int k = 0; k < myTotalSite->GetNumberOfNonRetrofitScenarios(); ++k) {
        IHeatIntegrationScenario* scenario = nullptr;
        IHeatIntegrationStream* copy = nullptr;
        if (myTotalSite->GetNonRetrofitScenario(k, scenario) && scenario && scenario->GetStream(name, copy) && copy)
            sum += copy->GetHeatLoad(0);
    }
    return sum;
}

double HIDesignViewerTotalSite::massFlow(const VarDescription& var) {
    // No row check: the site is asked for the row, and a row it does not hold reads empty.
    return lookUp(var.Offset(0)) ? valueOf(*workStream, "MassFlow") : kEmpty;
}

double HIDesignViewerTotalSite::countU(const VarDescription& var) {
    const int i = var.Offset(0);
    return i >= 0 && i < numberOfStreams() ? i + 1 : kEmpty;
}

// ---- input ----

int HIDesignViewerTotalSite::setColumn(const VarDescription& var, double value) {
    const int column = static_cast<int>(value);
    tableColumn = var.VariableIs("ColPosU") ? skipColumn(column, {1, 8, 12}) : skipColumn(column, {1, 9, 12});
    return 1;
}

int HIDesignViewerTotalSite::setRow(const VarDescription& var, double value) {
    tableRow = static_cast<int>(value);
    if (var.Number() == 106) segmentTableRow = tableRow;
    lookUp(tableRow);
    return 1;
}

int HIDesignViewerTotalSite::specifyStream(const VarDescription& var, double v) {
    const int i = var.Offset(0);
    const int n = numberOfStreams();
    const int type = var.Type();
    if (type == kSwitch) {
        lookUp(i);
        return 1;
    }
    if (type == kCoefficient) {
        if (v == kEmpty) return ErrorMsg("HTCoeffUpdateError2"), 0;
        if (!(v >= L::MinH && v <= L::MaxH)) return ErrorMsg("HTCoeffUpdateError"), 0;
        if (i >= n || !lookUp(i)) return ErrorMsg("GetStreamError"), 0;
        // Streams of two or more segments keep a coefficient per segment: left alone here.
        if (workStream->GetNumberOfSegments() > 1) return 0;
        if (!workStream->SetValue("CHTCoeff", v, 0)) return ErrorMsg("HTCoeffUpdateError"), 0;
        return 1;
    }
    if (type == kSpecificHeat) {
        if (i >= n) return 0;
        if (!(v > 0.0 || isEmpty(v))) return ErrorMsg("CpUpdateError"), 0;
        if (!lookUp(i)) return ErrorMsg("GetStreamError"), 0;
        if (!workStream->SetValue("SpecificHeat", v, 0)) return ErrorMsg("CpUpdateError"), 0;
        return 1;
    }
    if (type == kDeltaT) {
        if (i >= n) return ErrorMsg("GetStreamError"), 0;
        if (!lookUp(i) || isEmpty(v)) return 0;
        // The stream keeps half of the typed difference.
        if (!(v >= 0.0 && v <= 2.0 * L::MaxContribution)) return ErrorMsg("DeltaTcUpdateError"), 0;
        if (!workStream->SetDTminContribution(v, "Local", 0, 1)) return ErrorMsg("DeltaTcUpdateError"), 0;
        return 1;
    }
    // Temperatures, cost index and heat load: an empty value is ignored.
    if (isEmpty(v)) return 0;
    if (!lookUp(i)) return ErrorMsg("GetStreamError"), 0;
    IHeatIntegrationStream& s = *workStream;
    if (type == kTemperature) {
        const bool inlet = var.Number() == 440;
        const bool inRange = v >= L::MinTemperature && v <= L::MaxTemperature;
        if (inRange && s.SetValue("Temperature", v, inlet ? 0 : s.GetNumberOfSegments())) return 1;
        const bool hot = s.GetHotCold() == 0;
        ErrorMsg(inlet ? (hot ? "HotStreamInletTemperatureUpdateError" : "ColdStreamInletTemperatureUpdateError")
                       : (hot ? "HotStreamOutletTemperatureUpdateError" : "ColdStreamOutletTemperatureUpdateError"));
        return 0;
    }
    if (type == kCostPerEnergy) {
        if (!L::UtilityPriceTaken(v, s.EarnsCredit())) return ErrorMsg("SpecRange"), 0;
        s.SetCostIndex(v);
        return 1;
    }
    if (type == kHeatFlow) {
        if (v <= 0.0 || v > L::MaxDuty) return ErrorMsg("SpecRange"), 0;
        return s.NotifyValueChanged(v) ? 1 : 0;
    }
    return 0;
}

int HIDesignViewerTotalSite::specifyMassFlow(const VarDescription& var, double v) {
    const int i = var.Offset(0);
    if (i >= numberOfStreams()) return 0;
    if (!(v > 0.0 || isEmpty(v))) return ErrorMsg("FlowRateUpdateError"), 0;
    if (!lookUp(i)) return ErrorMsg("GetStreamError"), 0;
    // A site stream is a utility: its mass flow follows from the load the designs give it and is
    // shown, never taken.
    if (!isEmpty(v)) return ErrorMsg("FlowRateUpdateError"), 0;
    return 1;
}

// ---- texts ----

// The name table of the site streams, read as text: a stream's name, "**New**" on the spare
// row (the names themselves are typed through the name views, 599).
Text HIDesignViewerTotalSite::streamName(const VarDescription& var) {
    const int i = var.Offset(0);
    const int n = numberOfStreams();
    if (i == n) return "**New**";
    return i >= 0 && i < n && lookUp(i) ? Text(workStream->GetName()) : Text();
}

int HIDesignViewerTotalSite::setSiteText(const VarDescription& var, const Text& text) {
    const int result = writeProjectText(var, text);
    return result < 0 ? Viewable::SpecifyText(var, text) : result;
}

Text HIDesignViewerTotalSite::title(const VarDescription& var) {
    if (var.Number() == 952) return "Total Site Utility Database";
    return var.Number() == 301 ? Text("Add Process") : Text("Rename Total Site");
}
