#pragma once
// The heat-integration plot of a scenario: one of sixteen graphs of the composite-curve family
// and its cost curves. The plot answers its data sets' variables from the scenario and from
// the scenario's designs; the cost plots keep one point data set per design, which the
// scenario viewer keeps up to date through the Update_ operations.
#include "lumeth/FormDescription.h"
#include "lumeth/HVector.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/Viewable.h"

class Dim2GraphControl;
class IHENDesign;
class IHeatIntegrationScenario;
class chiPlot;

// A design shown on a cost plot: its name and the number of its data set.
struct PlotDesignEntry {
    Text strName;
    int nDataSet = 0;
};

enum GraphType {
    GrandCompositeCurve = 1,
    CombinedHeatCascade = 2,
    CompositeCurves = 3,
    ShiftedCompositeCurves = 4,
    BalancedCompositeCurves = 5,
    ShiftedBalancedCompositeCurves = 6,
    UtilityCompositeCurve = 7,
    HotDrivingForce = 8,
    ColdDrivingForce = 9,
    UserSuppliedUtilityLoad = 10,
    AlphaPlot = 11,
    AreaHeatDemandCurve = 12,
    InvestmentSavingCurve = 13,
    PaybackInvestmentCurve = 14,
    NoGraph = 15,
    RetrofitAlphaPlot = 16,
};

// What happened to a design: added, deleted or renamed.
enum ChangeWhat { DesignAdded = 0, DesignDeleted = 1, DesignRenamed = 2 };

// Pointing at a composite curve names the streams there.
class CHIPlotViewInteraction {
public:
    explicit CHIPlotViewInteraction(chiPlot& plot) : m_plot(plot) {}
    // `x`, `y`: a position in the plot's picture (ExportSVG at the plot's picture size). The
    // result is "\n" and the streams' names, or empty. Answers 1.
    int DescribePoint(double x, double y, Text& result) const;
    // The same for axis values in display units.
    int DescribeValues(double heatFlow, double temperature, Text& result) const;

private:
    chiPlot& m_plot;
};

class chiPlot : public Viewable {
public:
    static constexpr const char* TypeName = "chiPlotObject";
    static constexpr int ClassVersion = 7;
    static constexpr double PictureWidth = 640.0, PictureHeight = 480.0;

    // `owner`: the scenario viewer that created it (may be null); it is also the parent.
    chiPlot(Viewable* owner, IHeatIntegrationScenario* scenario, bool named);
    explicit chiPlot(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new chiPlot(info); }
    ~chiPlot() override;
    // A plot's entries belong to it alone: copying would share them and free them twice.
    chiPlot(const chiPlot&) = delete;
    chiPlot& operator=(const chiPlot&) = delete;

    void ConstructPlot(int graphType);
    TwoDimPlot* GetPlot() const { return m_pPlot; }
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    int GetGraphType() const { return m_nGraphType; }
    Dim2GraphControl* GetPlotParameters() const { return m_pPlotParameters; }
    const HVector<PlotDesignEntry*>& AlphaVector() const { return m_lstAlpha; }
    const HVector<PlotDesignEntry*>& RetrofitAlphaVector() const { return m_lstRetrofitAlpha; }
    CHIPlotViewInteraction& Interaction() { return m_interaction; }

    // ---- draw operations: each builds the plot only when there is none ----
    void DrawGraphHeatCascade();
    void DrawGraphCombinedHeatCascade();
    void DrawUnshiftedCompositeCurve();
    void DrawShiftedCompositeCurve();
    void DrawUnshiftedBalancedCompositeCurve();
    void DrawShiftedBalancedCompositeCurve();
    void DrawUtilityCompositeCurve();
    void DrawHotDrivingForceCurve();
    void DrawColdDrivingForceCurve();
    void Draw_CC();
    void Draw_ALPHA();
    void Draw_AreaLoadCurve();
    void Draw_InvestSaving();
    void Draw_PaybackInvest();
    void Draw_RetroAlpha();

    // ---- designs on the cost plots ----
    void Update_ALPHA(const Text& design, const Text& newName, int what);
    void Update_AreaLoad(const Text& design, const Text& newName, int what);
    void Update_InvestSaving(const Text& design, const Text& newName, int what);
    void Update_PaybackInvest(const Text& design, const Text& newName, int what);
    void Update_Retrofit_ALPHA(const Text& design, const Text& newName, int what);
    void UpdateAlphaFeasibility();
    void ShowManager(int flag);
    // The largest saving against the retrofit base design (never negative).
    double LargestSaving(bool withCapitalCosts) const;

    // ---- framework hooks ----
    static const ViewForm<chiPlot>& Form();
    // The variables of the form rows and the command words of Message.
    static void LoadVariables(FormDescription& form);
    double Value(const VarDescription& var) override;
    Text TextValue(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    int GetEDVarType(const VarDescription& var) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    int Message(const Text& line) override;
    bool GenMessage(MessageInfo& info) override;
    Text AttachedName(const Viewable* child) const override;
    Viewable* AttachedObject(const VarDescription& var) override;
    void DisconnectDeadObject(Viewable* dead) override;
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override;

private:
    // Variable members of the form rows.
    double CurveValue(const VarDescription& var);
    int CurveCount(const VarDescription& var, DimInfo& dims);
    double MatchValue(const VarDescription& var);
    int MatchCount(const VarDescription& var, DimInfo& dims);
    double RangeValue(const VarDescription& var);
    int RangeCount(const VarDescription& var, DimInfo& dims);
    double ReferenceValue(const VarDescription& var);
    int TwoPoints(const VarDescription& var, DimInfo& dims);
    double DesignValue(const VarDescription& var);
    int DesignCount(const VarDescription& var, DimInfo& dims);
    Text PlotName(const VarDescription& var);
    Text TitleTag(const VarDescription& var);

    struct CurveSet {
        int number;
        const char* label;
        const char* x;
        const char* y;
        int colour;  // 0 default, 1 red, 2 blue, 3 black
        int style;
        int symbol;
        bool hidden;
    };
    // Steps 1 to 6 of every draw operation.
    void Draw(const char* xTitle, const char* yTitle, const char* title, std::initializer_list<CurveSet> sets,
              bool ignoreEmpty = false, bool unitsOnY = true);
    // The targets the composite and grand composite curves carry: the pinch as a level (on the
    // unshifted curves the hot and the cold pinch temperature, on the shifted ones their mean),
    // and notes of the hot and cold utility and DTmin.
    void MarkTargets(bool shifted);
    void UpdateDesigns(int graph, HVector<PlotDesignEntry*>& list, const Text& design, const Text& newName, int what);
    void CreateDesignSet(int graph, const Text& design, int dataSet);
    PlotDesignEntry* EntryOf(const HVector<PlotDesignEntry*>& list, int dataSet) const;
    IHENDesign* DesignOf(const VarDescription& var) const;
    void DeleteEntries(HVector<PlotDesignEntry*>& list);

    bool m_bNamed = false;
    int m_nGraphType = 1;
    HVector<PlotDesignEntry*> m_lstAlpha{10};
    HVector<PlotDesignEntry*> m_lstRetrofitAlpha{10};
    TwoDimPlot* m_pPlot = nullptr;
    Dim2GraphControl* m_pPlotParameters = nullptr;
    IHeatIntegrationScenario* m_pScenario = nullptr;
    Viewable* m_pOwner = nullptr;
    CHIPlotViewInteraction m_interaction{*this};
    int m_nInteractionEnabled = 1;
    // Filled by a recall, resolved by its pointer check.
    Viewable* m_pRecalledPlot = nullptr;
    Viewable* m_pRecalledOwner = nullptr;
    int m_nRecallVersion = ClassVersion;
};
