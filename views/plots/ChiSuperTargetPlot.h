#pragma once
// The scenario's plot of range targets: the targets the scenario computed at a series of minimum
// approach temperatures, and beside them the same quantities of the scenario's designs. The user
// picks the quantity of the x axis, of the left and of the right y axis out of eleven, enters the
// DTmin range to compute, inserts single DTmin points and clears the results. Mode 0, the
// "General Plot", puts designs beside the targets (operating against capital cost by default);
// mode 1, "Range Targets", plots targets against DTmin.
//
// Data sets: 1 the target series on the left axis, 2 on the right axis; each design reported
// through UpdateDesign adds a pair, n on the left and n + 1 on the right axis, n from 3.
//
// The target tables show one row per range-target point; an insertion asked for with
// "InsertAPointTarget" adds an empty row at the entered position, where the user types the
// DTmin of the new point.
#include "lumeth/FormDescription.h"
#include "lumeth/HVector.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/Viewable.h"
#include "views/plots/chiPlot.h"

class Dim2GraphControl;
class IHENDesign;
class IHeatIntegrationScenario;

// The eleven quantities of the range-target plot, in the order of the quantity choice.
enum RangeTargetQuantity : int {
    QuantityDTmin = 0,
    QuantityHotUtility = 1,
    QuantityColdUtility = 2,
    QuantityCountercurrentArea = 3,
    QuantityShellAndTubeArea = 4,
    QuantityUnits = 5,
    QuantityShells = 6,
    QuantityCapitalCost = 7,
    QuantityOperatingCost = 8,
    QuantityTotalCost = 9,
    QuantityNone = 10,
};

class ChiSuperTargetPlot : public Viewable {
public:
    static constexpr const char* TypeName = "ChiSuperTargetPlotObject";
    static constexpr int ClassVersion = 3;
    static constexpr int GeneralPlot = 0, RangeTargets = 1;
    static constexpr int NoInsertion = 32767;
    static constexpr double PictureWidth = 640.0, PictureHeight = 480.0;

    // `owner`: the scenario view that owns it (the parent; may be null).
    ChiSuperTargetPlot(Viewable* owner, IHeatIntegrationScenario* scenario, int mode);
    explicit ChiSuperTargetPlot(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChiSuperTargetPlot(info); }
    ~ChiSuperTargetPlot() override;
    // The design entries belong to the plot alone.
    ChiSuperTargetPlot(const ChiSuperTargetPlot&) = delete;
    ChiSuperTargetPlot& operator=(const ChiSuperTargetPlot&) = delete;

    // Builds the plot of the mode (when there is none) and applies the x and left quantities.
    void ConstructPlot();
    void SetXQuantity(int q);
    void SetLeftQuantity(int q);
    void SetRightQuantity(int q);
    // A design added (0), deleted (1) or renamed (2).
    void UpdateDesign(const Text& design, const Text& newName, int what);
    // Flag 1 shows, 0 hides the "Design" data sets (3 on) or the "Target" data sets (1 and 2).
    void ShowSeries(int flag, const Text& which);
    // The index of the design entry of data set n, or -32767.
    int FindDesignIndex(int dataSet) const;
    // The caption of a quantity in the plot's mode (empty for another mode or quantity).
    Text QuantityName(int q) const;
    // The x or y moniker of a quantity's target series, and of a design's data set n.
    static Text TargetVariable(int q);
    static Text DesignVariable(int q, int dataSet);

    TwoDimPlot* GetPlot() const { return m_pPlot; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    Dim2GraphControl* GetPlotParameters() const { return m_pPlotParameters; }
    int GetMode() const { return m_nMode; }
    void SetMode(int mode) { m_nMode = mode == RangeTargets ? RangeTargets : GeneralPlot; }
    // The pending and entered insert positions, as older scenario records carried them.
    void SetInsertSettings(int active, int entered) {
        m_nActiveInsert = active;
        m_nEnteredInsert = entered;
    }
    int GetXQuantity() const { return m_nX; }
    int GetLeftQuantity() const { return m_nLeft; }
    int GetRightQuantity() const { return m_nRight; }
    int GetActiveInsertPosition() const { return m_nActiveInsert; }
    int GetEnteredInsertPosition() const { return m_nEnteredInsert; }
    const HVector<PlotDesignEntry*>& DesignEntries() const { return m_lstDesigns; }
    // Replaces the temperature moniker of the DTmin series that older files wrote by the
    // temperature difference it is (":Temperature.333.[]" becomes ":DeltaTemp.333.[]").
    void FixUpDeltaTempMonikers();

    // ---- framework hooks ----
    static const ViewForm<ChiSuperTargetPlot>& Form();
    // The variables of the form rows and the command words of Message.
    static void LoadVariables(FormDescription& form);
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    int GetEDVarType(const VarDescription& var) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int Message(const Text& line) override;
    Text AttachedName(const Viewable* child) const override;
    Viewable* AttachedObject(const VarDescription& var) override;
    void DisconnectDeadObject(Viewable* dead) override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

private:
    // Members of the form rows.
    double PointValue(const VarDescription& var);
    int SpecifyDeltaTemp(const VarDescription& var, double value);
    int PointRows(const VarDescription& var, DimInfo& dims);
    double DesignValue(const VarDescription& var);
    int DesignRows(const VarDescription& var, DimInfo& dims);
    double RangeValue(const VarDescription& var);
    int SpecifyRange(const VarDescription& var, double value);
    double RangeReady(const VarDescription& var);
    double QuantityValue(const VarDescription& var);
    int SpecifyQuantity(const VarDescription& var, double value);
    double InsertEnable(const VarDescription& var);
    double EnteredInsert(const VarDescription& var);
    int SpecifyEnteredInsert(const VarDescription& var, double value);
    double HasResults(const VarDescription& var);

    // The range-target point shown in row i: -1 for the empty insert row.
    int PointOfRow(int row) const;
    IHENDesign* DesignOfSet(int dataSet) const;
    void CreateDesignSet(const Text& design, int dataSet, bool right);
    void DeleteEntries();

    IHeatIntegrationScenario* m_pScenario = nullptr;
    int m_nX = QuantityOperatingCost;
    int m_nLeft = QuantityCapitalCost;
    int m_nRight = QuantityNone;
    TwoDimPlot* m_pPlot = nullptr;
    Dim2GraphControl* m_pPlotParameters = nullptr;
    double m_dLower = EmptyValue, m_dUpper = EmptyValue, m_dStep = EmptyValue;
    int m_nActiveInsert = NoInsertion;
    int m_nEnteredInsert = 0;
    int m_nMode = GeneralPlot;
    HVector<PlotDesignEntry*> m_lstDesigns{10};
    // Filled by a recall, resolved by its fix-up.
    Viewable* m_pRecalledPlot = nullptr;
    bool m_bRecalledMode = false;
};
