#pragma once
// One study of the what-if study tree, under the summary node. It shows a trend study beside
// the design's default study: it adds cleanings and flow changes to the study, applies a
// throughput change to every process stream at once, runs the study, and draws the trend plot
// of the selected kind and series (the default study red, this study blue). Its events are its
// child nodes. Not stored: the summary node makes it again from the design.
#include "brasko/NotificationSender.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Viewable.h"
#include "lumeth/VarEnumInfo.h"

#include <memory>
#include <vector>

class IHENTrend;
class TrendAnalysisNodeView;
class TwoDimPlot;

class StudyNodeView : public Viewable, public INotificationReceiver {
public:
    static constexpr const char* TypeName = "StudyNodeViewObject";
    static constexpr const char* DefaultStudyName = "Default Study";
    // The event kind to add.
    static constexpr int AddCleaning = 1;
    static constexpr int AddFlowChange = 2;

    StudyNodeView(Viewable* parent, const Text& name);
    ~StudyNodeView() override;

    // Binds both studies, listens to the study (102, 104, 107, 108) and builds the exchanger,
    // stream and time-point choices anew.
    void SetEngineeringStudy(IHENTrend* study, IHENTrend* defaultStudy);
    // A node for every cleaning and then every flow change of the study.
    void PopulateEvent();
    int GetNumberOfIntervalsInStudy() const;
    IHENTrend* GetStudy() const { return pStudy; }
    TrendAnalysisNodeView* Parent() const;
    // Study and event nodes pass up to the summary node; other views are ignored.
    void SetSelectedObject(Viewable* view);
    // The trend plot, made and filled on first request; null without a study.
    TwoDimPlot* GetTrendPlot();
    const std::vector<Viewable*>& GetEventNodes() const { return lstEventNodes; }

    // ---- hooks ----
    double Value(const VarDescription& var) override;
    int Specify(const VarDescription& var, double value) override;
    Text TextValue(const VarDescription& var) override;
    int Message(const Text& line) override;
    bool GenMessage(MessageInfo& info) override;
    VarEnumInfo* GetEnumInfo(const VariableNameInfo& var) override;
    Viewable* AttachedObject(const VarDescription& var) override;
    int Dimensions(const VarDescription& var, DimInfo& dims) override;
    void VariableStatus(const VarDescription& var, ModifyState& state, int& detail) override;
    Text AttachedName(const Viewable* child) const override;
    void DisconnectDeadObject(Viewable* dead) override;
    int GetEDVarType(const VarDescription& var) override;
    void NotifyChange(int code, const CPString& text, void* data) override;

    static const ViewForm<StudyNodeView>& Form();
    static void LoadVariables(FormDescription& form);

private:
    void Unbind();
    void BuildChoices();
    void AppendEventNode(Viewable* node);
    void ConstructTrendPlot();
    void UpdateTrendPlot();
    // Adds the event of the kind chosen; the refusal key is shown.
    int AddEventToStudy();
    double SeriesValue(const char* kind, int row, int point) const;
    // Form members.
    double Status(const VarDescription&);
    double IsNotDefault(const VarDescription&);
    double IntMember(const VarDescription& var);
    int SetIntMember(const VarDescription& var, double value);
    double IsProfitKind(const VarDescription&);
    double AnythingSelected(const VarDescription&);
    double TrendValue(const VarDescription& var);
    double ExchangerTrend(const VarDescription& var);
    double CumulativeProfit(const VarDescription& var);
    double PointTime(const VarDescription& var);
    double StreamFlow(const VarDescription&);
    double NewFlow(const VarDescription&) { return dNewFlow; }
    int SetNewFlow(const VarDescription&, double value);
    double Throughput(const VarDescription&) { return dThroughput; }
    int SetThroughput(const VarDescription&, double value);
    int TwoRows(const VarDescription&, DimInfo& dims);
    int FouledRows(const VarDescription&, DimInfo& dims);
    int Points(const VarDescription&, DimInfo& dims);

    int nEventKind = AddCleaning;
    int nRemovalPoint = 0;
    int nPutBackPoint = 0;
    int nSelectedExchanger = -32767;
    int nFlowChangePoint = 1;
    double dNewFlow = 0.0;
    int nSelectedStream = -32767;
    IHENTrend* pStudy = nullptr;
    IHENTrend* pDefaultStudy = nullptr;
    std::vector<Viewable*> lstEventNodes;
    TwoDimPlot* pTrendPlot = nullptr;
    int nSelectedSeries = 0;
    int nSelectedKind = 0;
    double dThroughput = 0.0;
    std::unique_ptr<VarEnumInfo> pExchangerEnum, pStreamEnum, pSeriesEnum, pKindEnum;
    std::unique_ptr<VarEnumInfo> pRemovalEnum, pPutBackEnum, pFlowChangeEnum;
};
