#include "brasko/DefaultUtilManagerView.h"

#include "brasko/IDefaultUtilityManager.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Messages.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"

namespace {
constexpr int kText = 1519;
constexpr int kCoefficient = 1524;
bool isName(const VarDescription& var) { return var.Type() == kText && var.Number() == 227; }
bool isNote(const VarDescription& var) { return var.Type() == kText && var.Number() == 230; }
bool isCoefficient(const VarDescription& var) { return var.Type() == kCoefficient && var.Number() == 229; }
}  // namespace

DefaultUtilManagerView::DefaultUtilManagerView(Viewable* parent) : DefaultUtilManagerView(parent, TypeName) {}

DefaultUtilManagerView::DefaultUtilManagerView(Viewable* parent, const Text& typeName) : Viewable(parent, typeName) {
    SetName(typeName == HTCDatabaseView::TypeName ? "HTCDatabaseView" : "DefaultUtilManagerView");
}

HTCDatabaseView::HTCDatabaseView(Viewable* parent) : DefaultUtilManagerView(parent, TypeName) {
    // The type is the framework's own (registered before any module view); the form it lists is
    // the editor's, given to the type once an editor exists.
    if (ObjectTypeRegistry* registry = ObjectTypeRegistry::Current())
        if (ObjectTypeInfo* type = registry->FindMutable(TypeName)) type->SetLoadVariables(&HTCDatabaseView::DescribeForm);
}

int HTCDatabaseView::entries() const { return GetDUM() ? GetDUM()->GetNumberOfHTCDefaultValues() : 0; }

void HTCDatabaseView::DescribeForm(FormDescription& form) {
    form.Add({"ExtraData.227", FormHook::Text, kText, true, 1});
    form.Add({"HeatTransferCoeff.229", FormHook::Value, kCoefficient, true, 1});
    form.Add({"ExtraData.230", FormHook::Text, kText, true, 1});
    form.SetRefusals("ExtraData.227", "NameNotUnique NewRowMarkerEntryName");
    form.SetRefusals("HeatTransferCoeff.229", "CannotDeleteHTC HCValueTooSmall HTCoeffUpdateError");
}

double HTCDatabaseView::Value(const VarDescription& var) {
    const int i = var.Offset(0);
    if (isCoefficient(var)) return i >= 0 && i < entries() ? GetDUM()->GetHTCDefaultValue(i) : EmptyValue;
    return Viewable::Value(var);
}

int HTCDatabaseView::Specify(const VarDescription& var, double value) {
    if (!isCoefficient(var)) return Viewable::Specify(var, value);
    const int i = var.Offset(0);
    if (i < 0 || i >= entries()) return 0;
    if (value == EmptyValue) return ErrorMsg("CannotDeleteHTC"), 0;
    // The manager answers 1 when it took the value and 0 when it refused it.
    if (GetDUM()->SetHTCDefaultValue(i, value) != 1) return ErrorMsg(HTCDefaultRefusal(value)), 0;
    return 1;
}

Text HTCDatabaseView::TextValue(const VarDescription& var) {
    const int i = var.Offset(0);
    if ((isName(var) || isNote(var)) && i >= 0 && i < entries()) {
        const char* text = isName(var) ? GetDUM()->GetHTCDefaultValueName(i) : GetDUM()->GetHTCDefaultValueNote(i);
        return text ? Text(text) : Text();
    }
    if (isName(var) && i == entries()) return "**New**";
    if (isName(var) || isNote(var)) return Text();
    return Viewable::TextValue(var);
}

int HTCDatabaseView::SpecifyText(const VarDescription& var, const Text& text) {
    if (!isName(var) && !isNote(var)) return Viewable::SpecifyText(var, text);
    IDefaultUtilityManager* manager = GetDUM();
    const int i = var.Offset(0);
    const int n = entries();
    if (!manager || i < 0 || i > n || (isNote(var) && i == n)) return 0;
    if (isNote(var)) return manager->SetHTCDefaultValueNote(i, text.c_str()) == 1 ? 1 : 0;
    if (i < n && IsReadOnlyHTCDefaultName(manager->GetHTCDefaultValueName(i))) return 0;
    if (text.empty()) {
        if (i == n || ResponseMsg("ConfirmDeleteExperiment", 2) != 1) return 0;
        return manager->DeleteHTCDefaultValue(i) == 1 ? 1 : 0;
    }
    if (IsNewRowMarker(text.c_str())) return ErrorMsg("NewRowMarkerEntryName"), 0;
    const hresult r = i < n ? manager->SetHTCDefaultValueName(i, text.c_str()) : manager->AddHTCDefaultValue(text.c_str(), 0.0, nullptr);
    if (r != 1) return ErrorMsg("NameNotUnique"), 0;
    return 1;
}

int HTCDatabaseView::Dimensions(const VarDescription& var, DimInfo& dims) {
    // The name column carries a spare row for typing a new entry.
    if (isName(var)) return dims.AddDim(entries() + 1), 1;
    if (isNote(var) || isCoefficient(var)) return dims.AddDim(entries()), 1;
    return Viewable::Dimensions(var, dims);
}

void HTCDatabaseView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    detail = 0;
    if (isName(var) || isNote(var) || isCoefficient(var)) {
        const int i = var.Offset(0);
        const bool fixed = i >= 0 && i < entries() && IsReadOnlyHTCDefaultName(GetDUM()->GetHTCDefaultValueName(i));
        state = fixed && isName(var) ? ReadOnlyState : ModifiableState;
        return;
    }
    Viewable::VariableStatus(var, state, detail);
}
