#include "views/plots/ChiTable.h"

#include "lumeth/BinaryFile.h"

ChiTable::ChiTable(Viewable* parent, int kind) : Viewable(parent, TypeName), m_nKind(kind) {
    SetName("ChiTable");
    View(Text(), 6, EmptyValue);
}

const ViewForm<ChiTable>& ChiTable::Form() {
    static const ViewForm<ChiTable> form{
        {{"Enum.266", FormHook::Value, 105, false, 0}, &ChiTable::Kind},
        {{"ExtraData.200", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &ChiTable::Title},
    };
    return form;
}

double ChiTable::Value(const VarDescription& var) {
    double out = EmptyValue;
    return Form().Value(*this, var, out) ? out : Viewable::Value(var);
}

Text ChiTable::TextValue(const VarDescription& var) {
    Text out;
    return Form().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

int ChiTable::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

void ChiTable::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

Text ChiTable::Title(const VarDescription&) {
    static const char* const kSuffix[] = {"Pinch Temperatures",         "Pocket Data Table",
                                          "Grand Composite Curve Table", "Composite Curve Table",
                                          "Balanced Comp. Curve Table",  "Utility Comp. Curve Table"};
    const Viewable* owner = OwnerViewable();
    Text title = (owner ? owner->GetName() : Text()) + " - ";
    if (m_nKind >= 0 && m_nKind <= 5) title += kSuffix[m_nKind];
    return title;
}

// The form's cells reach the owner's table variables through "Viewable.299".
Viewable* ChiTable::AttachedObject(const VarDescription& var) {
    if (var.IsObjectLink() && var.Number() == 299 && (var.ObjectType() == "Viewable" || var.ObjectType() == "ViewableObject")) {
        Viewable* owner = OwnerViewable();
        const VarDescription* next = var.GetNextLink();
        return owner && next && next->IsObjectLink() ? owner->AttachedObject(*next) : owner;
    }
    return Viewable::AttachedObject(var);
}

bool ChiTable::StoreClassData(BinaryFile& file) { return file.WriteInt(m_nKind); }

bool ChiTable::RecallClassData(BinaryFile& file, int) {
    std::int32_t kind = 0;
    if (!file.ReadInt(kind)) return false;
    m_nKind = kind;
    return true;
}
