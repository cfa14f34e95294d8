#pragma once
// A targeting table of a scenario in a window of its own (pinch temperatures, pockets, grand
// composite curve, composite curves, balanced and utility composite curves). It holds only the
// kind of table; its form reads the rows from the scenario view that owns it, through the
// child link "Viewable.299".
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

class ChiTable : public Viewable {
public:
    static constexpr const char* TypeName = "ChiTableObject";
    static constexpr int ClassVersion = 1;

    // Opens the table's form at once.
    ChiTable(Viewable* parent, int kind);
    explicit ChiTable(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChiTable(info); }
    int GetKind() const { return m_nKind; }

    static const ViewForm<ChiTable>& Form();
    static void LoadVariables(FormDescription& form) { Form().Describe(form); }
    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    int GetEDVarType(const VarDescription& var) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;

private:
    double Kind(const VarDescription&) { return m_nKind; }
    Text Title(const VarDescription&);
    int m_nKind = 0;
};
