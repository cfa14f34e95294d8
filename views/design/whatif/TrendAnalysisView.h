#pragma once
// The trend-analysis wizard of a design and the frame of its study tree. It works on the
// design's default study: the exchangers that foul, the number of intervals, the time unit and
// the starting time of each point, the fouled overall coefficient of each fouled exchanger at
// each point; "ExecuteTrendAnalysis" calculates the default study. Its one child, the summary
// node "Trend Analysis Summary", holds the studies, their events and plots as a tree; the node
// the user selects there becomes the design's current study or event.
//
// Times: the study keeps them in internal units (seconds); the view shows and takes them as
// numbers in the study's own unit (unit kind 44, "months" by default).
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <vector>

class IHENDesign;
class IHENTrend;
class TrendAnalysisNodeView;

class TrendAnalysisView : public Viewable {
public:
    static constexpr const char* TypeName = "TrendAnalysisViewObject";
    static constexpr int ClassVersion = 2;
    static constexpr const char* SummaryNodeName = "Trend Analysis Summary";

    // Binds the design and its default study, clears the exchanger flags, sets point i to i
    // time units (a new study; a study read back keeps its times) and makes the summary node.
    TrendAnalysisView(Viewable* parent, IHENDesign* design, bool newStudy = true);
    // The empty view the framework reads a record into.
    explicit TrendAnalysisView(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new TrendAnalysisView(info); }
    ~TrendAnalysisView() override;

    IHENDesign* GetDesign() const { return pDesign; }
    IHENTrend* GetStudy() const { return pStudy; }
    TrendAnalysisNodeView* GetSummaryNode() const { return pSummaryNode; }
    Viewable* GetSelectedView() const { return pSelectedView; }
    int GetCurrentPage() const { return nCurrentPage; }
    // The trend kind the summary node's datasheet reads (set when a form reaches the summary
    // node as 498 or 499).
    const Text& GetNodeName() const { return strNodeName; }
    // A node of the tree becomes the selected one (watched); other views are ignored.
    void SetSelectedNode(Viewable* node);
    // The exchanger flags, sized to the study's current exchangers.
    const std::vector<std::uint8_t>& Flags();

    // ---- hooks ----
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int AttachObject(const VarDescription& var, Viewable* object) override;
    // At 398, the nodes of the tree a form (or a script) may select: the summary node, each
    // study node and each of its event nodes, in the tree's order.
    int GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    int GetEDVarType(const VarDescription& var) override;

    // ---- the record ----
    // After the framework's own: the total-site byte, the design, the page, the second page
    // word, the flags after their count, the pending number of intervals, the selected node.
    bool StoreClassData(BinaryFile& file) override;
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;

    static const ViewForm<TrendAnalysisView>& Form();
    static void LoadVariables(FormDescription& form);

private:
    void BindDesign(IHENDesign* design);
    void MakeSummaryNode();
    // The time of every point i := i time units.
    void SpaceTimes(int from, double start);
    // Form members.
    double Page(const VarDescription&) { return nCurrentPage; }
    double SelectedKind(const VarDescription&);
    double UValueFlag(const VarDescription&) { return nUValueFlag; }
    int SetUValueFlag(const VarDescription&, double value);
    double Flag(const VarDescription& var);
    int SetFlag(const VarDescription& var, double value);
    double AllPointsNeedCalculation(const VarDescription&);
    double Intervals(const VarDescription&);
    int SetIntervals(const VarDescription&, double value);
    double PointTime(const VarDescription& var);
    int SetPointTime(const VarDescription& var, double value);
    double FouledCoefficient(const VarDescription& var);
    int SetFouledCoefficient(const VarDescription& var, double value);
    double FouledCoefficientTransposed(const VarDescription& var);
    Text TimeUnit(const VarDescription&);
    int SetTimeUnit(const VarDescription&, const Text& unit);
    Text PointLabel(const VarDescription& var);
    Text ExchangerName(const VarDescription& var);
    Text PointNumber(const VarDescription& var);
    Text FouledName(const VarDescription& var);
    Text Caption(const VarDescription& var);
    int ExchangerRows(const VarDescription&, DimInfo& dims);
    int PointRows(const VarDescription&, DimInfo& dims);
    int FouledRows(const VarDescription&, DimInfo& dims);
    int CoefficientTable(const VarDescription&, DimInfo& dims);
    int CoefficientTableTransposed(const VarDescription&, DimInfo& dims);

    IHENDesign* pDesign = nullptr;
    IHENTrend* pStudy = nullptr;
    std::int32_t nCurrentPage = 0;
    std::int32_t nSecondPage = 0;
    std::vector<std::uint8_t> lstExchangerFlags;
    std::int32_t nPendingIntervals = 0;
    double dPendingTime = 0.0;
    std::int32_t nPendingPoint = 0;
    std::int32_t nUValueFlag = 0;
    TrendAnalysisNodeView* pSummaryNode = nullptr;
    Viewable* pSelectedView = nullptr;
    Viewable* pRecalledSelection = nullptr;
    Text strNodeName;
};
