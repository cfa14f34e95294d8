#pragma once
// The editors of a scenario's default utilities and of its heat-transfer-coefficient defaults:
// views built under their owner view and bound to a default-utility manager. Their owner
// rebuilds them when it is bound, so they are never stored as views of their own.
#include "lumeth/Viewable.h"

class IDefaultUtilityManager;

class DefaultUtilManagerView : public Viewable {
public:
    static constexpr const char* TypeName = "DefaultUtilManagerViewObject";

    explicit DefaultUtilManagerView(Viewable* parent);
    void SetDUM(IDefaultUtilityManager* manager) { m_pManager = manager; }
    IDefaultUtilityManager* GetDUM() const { return m_pManager; }
    // The row of the default-utility table the user selected; -1 when none is.
    int getselDefUtilRow() const { return m_nSelectedRow; }
    void setselDefUtilRow(int row) { m_nSelectedRow = row; }

protected:
    DefaultUtilManagerView(Viewable* parent, const Text& typeName);

private:
    IDefaultUtilityManager* m_pManager = nullptr;
    int m_nSelectedRow = -1;
};

class FormDescription;

// The table of default film coefficients of the manager: a row per entry (its name "ExtraData.227",
// its coefficient "HeatTransferCoeff.229" and its note "ExtraData.230"), and a spare name row
// through which a name adds an entry. The factory's "<default>" entry is read-only.
class HTCDatabaseView : public DefaultUtilManagerView {
public:
    static constexpr const char* TypeName = "HTCDatabaseViewObject";

    explicit HTCDatabaseView(Viewable* parent);

    static void DescribeForm(FormDescription& form);
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;

private:
    int entries() const;
};
