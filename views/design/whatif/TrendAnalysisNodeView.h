#pragma once
// The summary node of the what-if study tree ("Trend Analysis Summary" under the trend-analysis
// view): one study node per study of the design, kept in step with the design's notices (101 a
// study added, 103 a study renamed); the study commands of the tree; the comparison table of
// one trend kind across the studies and the datasheet that walks it series by series. Not
// stored: its parent makes it again from the design.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"
#include "lumeth/VarEnumInfo.h"

#include <memory>
#include <vector>

class IHENDesign;
class IHENTrend;
class StudyNodeView;
class TrendAnalysisView;

class TrendAnalysisNodeView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "TrendNodeViewObject";
    static constexpr int NumberOfTrendKinds = 4;

    TrendAnalysisNodeView(Viewable* parent, const Text& name);
    ~TrendAnalysisNodeView() override;

    // Binds the design (notices 101 and 103) and makes the node of its default study.
    void SetEngineeringDesign(IHENDesign* design);
    // A node for every study of the design after the default one.
    void PopulateStudy();
    void RenameStudyNode(const Text& oldName, const Text& newName);
    // The kind name of a row of the trend-kind table ("Utility Stream Trend", "Stream Outlet
    // Temp Trend", "Profit Index Trend", "Cumulative Profit Index"); empty beyond.
    static Text GetTrendType(int index);
    // The parent trend-analysis view, or null.
    TrendAnalysisView* Parent() const;
    // A node of the tree becomes the parent's selected node; other views are ignored.
    void SetSelectedObject(Viewable* view);
    // Starts a datasheet walk over the series of utility loads (0) or outlet temperatures (2);
    // only while no walk is under way.
    void SetDatasheetStreamVars(int kind);
    const std::vector<StudyNodeView*>& GetStudyNodes() const { return lstStudyNodes; }
    IHENDesign* GetDesign() const { return pDesign; }
    int GetSelectedKind() const { return nSelectedKind; }
    int GetSelectedSeries() const { return nSelectedSeries; }

    // ---- hooks ----
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int SpecifyText(const VarDescription& var, const Text& text) override;
    int Message(const Text& line) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    int GetEDVarType(const VarDescription& var) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static const ViewForm<TrendAnalysisNodeView>& Form();
    static void LoadVariables(FormDescription& form);

private:
    StudyNodeView* AddStudyNode(const Text& name, IHENTrend* study);
    IHENTrend* DefaultStudy() const;
    // Study row 0 is the default study, row s the design's study s - 1.
    IHENTrend* StudyOfRow(int row) const;
    int NumberOfRows() const;
    int NumberOfPoints() const;
    double SeriesValue(const Text& kind, int series, int row, int point) const;
    // Form members.
    double Status(const VarDescription&);
    double Kind(const VarDescription&) { return nSelectedKind; }
    int SetKind(const VarDescription&, double value);
    double Series(const VarDescription&) { return nSelectedSeries; }
    int SetSeries(const VarDescription&, double value);
    double TableValue(const VarDescription& var);
    double CumulativeProfit(const VarDescription& var);
    double DatasheetCell(const VarDescription& var);
    Text UtilitySeriesName(const VarDescription& var);
    Text OutletSeriesName(const VarDescription& var);
    Text PointTime(const VarDescription& var);
    Text StudyName(const VarDescription& var);
    int RenameCurrentStudy(const VarDescription&, const Text& name);
    int Table(const VarDescription&, DimInfo& dims);
    int Rows(const VarDescription&, DimInfo& dims);
    int Points(const VarDescription&, DimInfo& dims);
    int UtilitySeries(const VarDescription&, DimInfo& dims);
    int OutletSeries(const VarDescription&, DimInfo& dims);

    std::vector<StudyNodeView*> lstStudyNodes;
    IHENDesign* pDesign = nullptr;
    int nSelectedSeries = 0;
    int nSelectedKind = 0;
    std::unique_ptr<VarEnumInfo> pSeriesEnum;
    std::unique_ptr<VarEnumInfo> pKindEnum;
    int nDatasheetSeries = 0;
    int nDatasheetRemaining = -32767;
};
