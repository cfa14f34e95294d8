// One study of the study tree: its events, the throughput change, its commands and the trend
// plot that sets it beside the default study.
#include "views/design/whatif/StudyNodeView.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENTrend.h"
#include "lumeth/MessageKey.h"
#include "lumeth/PlotRecords.h"
#include "lumeth/Resources.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "views/design/whatif/StudyEventNodeViews.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/WhatIfSupport.h"
#include "views/design/EventPlans.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

using whatif::kEmpty;

namespace {

// The trend kinds of the plot, in the order the kind choice numbers them.
struct TrendKind {
    const char* name;
    const char* axisCaption;
    const char* plotVariable;
};
constexpr TrendKind kKinds[] = {
    {"Utility Stream Trend", "Heat Flow", "HeatFlow.450.%d.[]"},
    {"Stream Outlet Temp Trend", "Temperature", "Temperature.450.%d.[]"},
    {"Profit Index Trend", "Profit Index", "CostPerTime.450.%d.[]"},
};
constexpr int kNumberOfKinds = 3;

constexpr int kStudyDestroyed = 102;
constexpr int kCleaningAdded = 104;
constexpr int kEventRenamed = 107;
constexpr int kFlowChangeAdded = 108;
// The smallest throughput change: no flow may become zero or negative.
constexpr double kLowestPercent = -99.99;

constexpr const char* kCommands[] = {"AddEventToStudy",       "AcceptThroughputChanges", "OpenCleanExchangerEventView",
                                     "ExecTrend",             "RemoveStudyFromDesign",   "RenameStudyFromDesign",
                                     "RemoveSelectedEventFromStudy"};

struct CaptionKey {
    int number;
    const char* key;
};
constexpr CaptionKey kCaptions[] = {
    {803, MessageKey("SelectExchangerforCleaning")}, {804, MessageKey("RemoveExchangeratTime")},
    {805, MessageKey("PutbackServiceatTime")},       {806, MessageKey("RemoveStudyWarning")},
    {807, MessageKey("SelectProcessStream")},        {808, MessageKey("ChangeFlowrateatTime")},
    {809, MessageKey("NewValuefortheFlowrate")}};

const char* captionKey(const VarDescription& var) {
    if (var.Type() != 1519) return nullptr;
    for (const CaptionKey& c : kCaptions)
        if (c.number == var.Number()) return c.key;
    return nullptr;
}

const char* kindOfType(int type) {
    switch (type) {
        case 6: return kKinds[0].name;
        case 1: return kKinds[1].name;
        case 31001: return kKinds[2].name;
        default: return nullptr;
    }
}

bool isEventNodeLink(const Text& asked) { return asked == "ViewableObject" || asked == "Viewable"; }
bool isPlotLink(const Text& asked) { return asked == "TwoDimPlotObject" || asked == "TwoDimPlot" || asked == "TwoDimPlotNTW"; }

}  // namespace

StudyNodeView::StudyNodeView(Viewable* parent, const Text& name) : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
    pKindEnum = std::make_unique<VarEnumInfo>();
    for (int k = 0; k < kNumberOfKinds; ++k) pKindEnum->AddEntry(k, kKinds[k].name);
}

StudyNodeView::~StudyNodeView() {
    Unbind();
    pExchangerEnum.reset();
    pStreamEnum.reset();
    pSeriesEnum.reset();
    pKindEnum.reset();
    pRemovalEnum.reset();
    pPutBackEnum.reset();
    pFlowChangeEnum.reset();
    if (TwoDimPlot* plot = pTrendPlot) {
        pTrendPlot = nullptr;
        plot->RemoveDeathPostee(this);
        delete plot;
    }
    std::vector<Viewable*> nodes;
    nodes.swap(lstEventNodes);
    for (Viewable* node : nodes) {
        node->RemoveDeathPostee(this);
        delete node;
    }
}

void StudyNodeView::Unbind() {
    if (pStudy) pStudy->RemoveNotificationReceiver(this);
    pStudy = nullptr;
}

void StudyNodeView::SetEngineeringStudy(IHENTrend* study, IHENTrend* defaultStudy) {
    Unbind();
    pStudy = study;
    pDefaultStudy = defaultStudy;
    if (study && study->AddNotificationReceiver(this))
        for (int code : {kStudyDestroyed, kCleaningAdded, kEventRenamed, kFlowChangeAdded})
            study->AddValidMessage(this, code);
    BuildChoices();
}

void StudyNodeView::BuildChoices() {
    pExchangerEnum = std::make_unique<VarEnumInfo>();
    pStreamEnum = std::make_unique<VarEnumInfo>();
    pRemovalEnum = std::make_unique<VarEnumInfo>();
    pPutBackEnum = std::make_unique<VarEnumInfo>();
    pFlowChangeEnum = std::make_unique<VarEnumInfo>();
    if (!pStudy) return;
    for (int i = 0; i < pStudy->GetNumberOfFouledHeatExchangers(); ++i) {
        CPString name;
        pStudy->GetFouledHeatExchangerName(i, name);
        pExchangerEnum->AddEntry(i, name);
    }
    for (int i = 0; i < pStudy->GetNumberOfStreams(); ++i) {
        const char* name = pStudy->GetStreamName(i);
        pStreamEnum->AddEntry(i, name ? name : "");
    }
    for (VarEnumInfo* choice : {pRemovalEnum.get(), pPutBackEnum.get(), pFlowChangeEnum.get()})
        whatif::FillTimePointChoice(*pStudy, *choice);
}

void StudyNodeView::AppendEventNode(Viewable* node) {
    node->AddDeathPostee(this);
    lstEventNodes.push_back(node);
}

void StudyNodeView::PopulateEvent() {
    for (int i = 0; pStudy && i < pStudy->GetNumberOfCleanExchEvents(); ++i)
        if (IHENTrendCleanExchEvent* event = pStudy->GetCleanExchEvent(i)) {
            auto* node = new EventNodeView(this, event->GetName());
            AppendEventNode(node);
            node->SetEngineeringEvent(event);
        }
    for (int i = 0; pStudy && i < pStudy->GetNumberOfSpecialEvents(); ++i)
        if (IHENTrendSpecialEvent* event = pStudy->GetSpecialEvent(i)) {
            auto* node = new SpecialEventNodeView(this, event->GetName());
            AppendEventNode(node);
            node->SetEngineeringEvent(event);
        }
}

int StudyNodeView::GetNumberOfIntervalsInStudy() const { return pStudy ? pStudy->GetNumberOfIntervals() : 0; }

TrendAnalysisNodeView* StudyNodeView::Parent() const {
    Viewable* parent = GetParent();
    return parent && parent->IsA(TrendAnalysisNodeView::TypeName) ? static_cast<TrendAnalysisNodeView*>(parent) : nullptr;
}

void StudyNodeView::SetSelectedObject(Viewable* view) {
    if (!view || !(view->IsA(TypeName) || view->IsA(EventNodeView::TypeName) || view->IsA(SpecialEventNodeView::TypeName)))
        return;
    if (TrendAnalysisNodeView* parent = Parent()) parent->SetSelectedObject(view);
}

void StudyNodeView::NotifyChange(int code, const CPString& text, void* data) {
    switch (code) {
        case kStudyDestroyed:
            // The study is going away and its node with it; nothing of this view is touched after.
            Unbind();
            delete this;
            return;
        case kCleaningAdded:
            if (data) {
                auto* node = new EventNodeView(this, text.c_str());
                AppendEventNode(node);
                node->SetEngineeringEvent(static_cast<IHENTrendCleanExchEvent*>(data));
            }
            return;
        case kFlowChangeAdded:
            if (data) {
                auto* node = new SpecialEventNodeView(this, text.c_str());
                AppendEventNode(node);
                node->SetEngineeringEvent(static_cast<IHENTrendSpecialEvent*>(data));
            }
            return;
        case kEventRenamed:
            if (!data) return;
            for (Viewable* node : lstEventNodes)
                if (node->GetName() == text.c_str()) {
                    node->SetName(static_cast<const char*>(data));
                    return;
                }
            return;
        default:
            return;
    }
}

void StudyNodeView::DisconnectDeadObject(Viewable* dead) {
    if (dead == pTrendPlot) pTrendPlot = nullptr;
    auto it = std::find(lstEventNodes.begin(), lstEventNodes.end(), dead);
    if (it != lstEventNodes.end()) {
        lstEventNodes.erase(it);
        SetSelectedObject(this);
    }
    Viewable::DisconnectDeadObject(dead);
}

// ---- the trend plot ----

TwoDimPlot* StudyNodeView::GetTrendPlot() {
    if (!pStudy) return nullptr;
    if (!pTrendPlot) {
        ConstructTrendPlot();
        UpdateTrendPlot();
    }
    return pTrendPlot;
}

void StudyNodeView::ConstructTrendPlot() {
    if (TwoDimPlot* old = pTrendPlot) {
        pTrendPlot = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    auto* plot = new TwoDimPlot(this);
    pTrendPlot = plot;
    plot->AddDeathPostee(this);
    plot->titlePlacement = {300.0, 20.0};
    plot->titleVisible = true;
    Axis* x = plot->GetXAxisPtr();
    Axis* y = plot->GetYAxisPtr();
    x->placement = {90.0, 410.0};
    x->length = 500.0;
    y->placement = {90.0, 410.0};
    y->length = 360.0;
    Legend& legend = plot->GetLegend();
    legend.placement = {20.0, 460.0};
    legend.Show();
    x->SetNumberFormat("%.0f");
    const char* unit = pStudy ? pStudy->GetTimeUnit() : "";
    x->title = FormattedText("%s(%s)", "Time", unit ? unit : "");
    x->showUnits = false;
    x->Show();
    y->Show();
}

void StudyNodeView::UpdateTrendPlot() {
    if (!pTrendPlot || !pStudy || nSelectedKind < 0 || nSelectedKind >= kNumberOfKinds) return;
    const TrendKind& kind = kKinds[nSelectedKind];
    TwoDimDataPlotArea& area = pTrendPlot->GetPlotArea();
    area.DestroyDataSet(0);
    area.DestroyDataSet(1);
    for (int row = 0; row < 2; ++row) {
        IHENTrend* study = row == 0 ? pDefaultStudy : pStudy;
        // The default study itself is compared with nothing: one curve, named once.
        if (row == 1 && pStudy == pDefaultStudy) break;
        XYDataStruct record;
        record.xVariable = ":Time.391.[]";
        record.yVariable = FormattedText(kind.plotVariable, row);
        record.appearance.colour = row == 0 ? RedColour() : BlueColour();
        record.appearance.style = 0;
        record.label = study ? study->GetName() : "";
        if (PlottedData* set = area.CreateDataSet(&record, row)) {
            set->SetName(record.label);
            set->Show();
        }
    }
    Axis* y = pTrendPlot->GetYAxisPtr();
    y->showUnits = true;
    y->title = kind.axisCaption;
    VarDescription var;
    if (VarDescription::Parse(FormattedText(kind.plotVariable, 0), var)) y->SetNumberFormat(var.DefFormat());
    pTrendPlot->title = kind.name;
}

bool StudyNodeView::GenMessage(MessageInfo& info) {
    if (info.code != 6 || info.name != ":TrendPlot") return Viewable::GenMessage(info);
    info.answer = GetTrendPlot();
    return true;
}

// ---- events ----

int StudyNodeView::AddEventToStudy() {
    if (!pStudy) return 0;
    const char* refused = nullptr;
    if (nEventKind == AddCleaning) {
        if (nSelectedExchanger < 0 || nSelectedExchanger >= pStudy->GetNumberOfFouledHeatExchangers()) return 0;
        CPString exchanger;
        pStudy->GetFouledHeatExchangerName(nSelectedExchanger, exchanger);
        refused = pStudy->AddCleanExchEvent(exchanger, nRemovalPoint, nPutBackPoint);
    } else if (nEventKind == AddFlowChange) {
        const char* stream = nSelectedStream >= 0 ? pStudy->GetStreamName(nSelectedStream) : nullptr;
        if (!stream) return 0;
        refused = pStudy->AddSpecialEvent(stream, "Flowrate_Change", nFlowChangePoint, dNewFlow);
    } else {
        return 0;
    }
    if (refused && *refused) {
        // A point outside the study is told with the points it may take.
        if (std::string(refused) == "FlowChangePointOutsideStudy")
            ErrorMsg(refused, Text(std::to_string(pStudy->GetNumberOfIntervals())));
        else if (std::string(refused) == "StreamsHaveFlowChange" && nEventKind == AddFlowChange)
            ErrorMsg(refused, Text(pStudy->GetStreamName(nSelectedStream)));
        else
            ErrorMsg(refused);
        return 0;
    }
    return 1;
}

// ---- form ----

const ViewForm<StudyNodeView>& StudyNodeView::Form() {
    using V = StudyNodeView;
    static const ViewForm<V> form{
        {{"ObjectStatus.300", FormHook::Value, 100, false, 0}, &V::Status},
        {{"Switch.399", FormHook::Value, 104, false, 0}, &V::IsNotDefault},
        {{"Enum.380", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.381", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.391", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.392", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.393", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.400", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.401", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Enum.500", FormHook::Value, 105, true, 0}, &V::IntMember, &V::SetIntMember},
        {{"Index.401", FormHook::Value, 100, false, 0}, &V::IsProfitKind},
        {{"Index.404", FormHook::Value, 100, false, 0}, &V::AnythingSelected},
        {{"HeatFlow.450", FormHook::Value, 6, false, 2}, &V::TrendValue, nullptr, nullptr, nullptr, &V::TwoRows},
        {{"Temperature.450", FormHook::Value, 1, false, 2}, &V::TrendValue, nullptr, nullptr, nullptr, &V::TwoRows},
        {{"CostPerTime.450", FormHook::Value, 31001, false, 2}, &V::TrendValue, nullptr, nullptr, nullptr, &V::TwoRows},
        {{"HeatFlow.451", FormHook::Value, 6, false, 2}, &V::ExchangerTrend, nullptr, nullptr, nullptr, &V::FouledRows},
        {{"Cost.452", FormHook::Value, 31000, false, 1}, &V::CumulativeProfit},
        // Shown in the study's own time unit: no further conversion by the framework.
        {{"Time.391", FormHook::Value, 1519, false, 1}, &V::PointTime, nullptr, nullptr, nullptr, &V::Points},
        {{"MassFlow.394", FormHook::Value, 4, false, 0}, &V::StreamFlow},
        {{"MassFlow.395", FormHook::Value, 4, true, 0}, &V::NewFlow, &V::SetNewFlow},
        {{"Percent.200", FormHook::Value, 110, true, 0}, &V::Throughput, &V::SetThroughput},
    };
    return form;
}

void StudyNodeView::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    for (const CaptionKey& c : kCaptions) form.Add({FormattedText("ExtraData.%d", c.number), FormHook::Text, 1519, false, 0});
    form.Add({"Viewable.300", FormHook::Object, 0, false, 1});
    form.Add({"TwoDimPlotObject.200", FormHook::Object, 0, false, 0});
    for (const char* word : kCommands) form.AddCommand(word);
    form.SetRefusals("Percent.200", "CannotAcceptThisPercentValue");
    // A change of throughput takes the plant down to a trace of its flow, never to none.
    form.SetDomain("Percent.200", CellDomain::AtLeast(kLowestPercent)
                                      .RefusedWith("CannotAcceptThisPercentValue")
                                      .Saying("a percentage of -99.99 % or more"));
    form.SetRefusals("MassFlow.395", "FlowRateUpdateError");
}

double StudyNodeView::Status(const VarDescription&) {
    switch (pStudy->GetStatus()) {
        case 1: return whatif::IconNumber("StudyExecutedConvIco");
        case 2: return whatif::IconNumber("StudyExecutedNonConvIco");
        default: return whatif::IconNumber("StudyNonExecutedIco");
    }
}

double StudyNodeView::IsNotDefault(const VarDescription&) { return GetName() == DefaultStudyName ? 0.0 : 1.0; }

double StudyNodeView::IntMember(const VarDescription& var) {
    switch (var.Number()) {
        case 380: return nSelectedKind;
        case 381: return nSelectedSeries;
        case 391: return nRemovalPoint;
        case 392: return nPutBackPoint;
        case 393: return nFlowChangePoint;
        case 400: return nSelectedExchanger;
        case 401: return nSelectedStream;
        case 500: return nEventKind;
        default: return kEmpty;
    }
}

int StudyNodeView::SetIntMember(const VarDescription& var, double value) {
    const int v = static_cast<int>(value);
    switch (var.Number()) {
        case 380:
            if (v < 0 || v >= kNumberOfKinds) return 0;
            nSelectedKind = v;
            nSelectedSeries = 0;
            UpdateTrendPlot();
            return 1;
        case 381:
            nSelectedSeries = v;
            UpdateTrendPlot();
            return 1;
        case 391:
            nRemovalPoint = v;
            if (nPutBackPoint < v) nPutBackPoint = v;
            return 1;
        case 392:
            if (v < nRemovalPoint) return 0;
            nPutBackPoint = v;
            return 1;
        case 393: nFlowChangePoint = v; return 1;
        case 400: nSelectedExchanger = v; return 1;
        case 401: nSelectedStream = v; return 1;
        case 500:
            nEventKind = v;
            if (v == AddCleaning) nSelectedStream = -32767;
            if (v == AddFlowChange) nSelectedExchanger = -32767;
            return 1;
        default: return 0;
    }
}

double StudyNodeView::IsProfitKind(const VarDescription&) { return nSelectedKind == 2 ? 1.0 : 0.0; }

double StudyNodeView::AnythingSelected(const VarDescription&) {
    return nSelectedExchanger == -32767 && nSelectedStream == -32767 ? 0.0 : 1.0;
}

double StudyNodeView::SeriesValue(const char* kind, int row, int point) const {
    IHENTrend* study = row == 0 ? pDefaultStudy : row == 1 ? pStudy : nullptr;
    if (!study || !pDefaultStudy || !kind) return kEmpty;
    CPString series;
    pDefaultStudy->GetTrendSeriesName(kind, nSelectedSeries, series);
    return study->GetTrendValue(kind, point, series);
}

double StudyNodeView::TrendValue(const VarDescription& var) {
    return SeriesValue(kindOfType(var.Type()), var.Offset(0), var.Offset(1));
}

double StudyNodeView::ExchangerTrend(const VarDescription& var) {
    const int i = var.Offset(0);
    if (i < 0 || i >= pStudy->GetNumberOfFouledHeatExchangers()) return kEmpty;
    CPString name;
    pStudy->GetFouledHeatExchangerName(i, name);
    return pStudy->GetTrendValue("Utility Exchanger Trend", var.Offset(1), name);
}

double StudyNodeView::CumulativeProfit(const VarDescription& var) {
    const int k = var.Offset(0);
    IHENTrend* study = k == 1 ? pDefaultStudy : k == 2 ? pStudy : nullptr;
    return study ? study->GetCumulativeProfitIndex() : kEmpty;
}

double StudyNodeView::PointTime(const VarDescription& var) { return whatif::StudyTimeShown(*pStudy, var.Offset(0)); }

double StudyNodeView::StreamFlow(const VarDescription&) {
    if (nSelectedStream < 0 || nSelectedStream >= pStudy->GetNumberOfStreams()) return kEmpty;
    return pStudy->GetStreamMassFlow(nSelectedStream);
}

int StudyNodeView::SetNewFlow(const VarDescription&, double value) {
    // With a stream chosen, the flow that stream can run at; the study checks it again when the
    // flow change is added (a stream chosen after the flow).
    const bool chosen = nSelectedStream >= 0 && nSelectedStream < pStudy->GetNumberOfStreams();
    if (const char* refused = chosen ? pStudy->GetFlowChangeRefusal(pStudy->GetStreamName(nSelectedStream), value)
                                     : HENEventValueRefusal("MassFlow", value)) {
        event_tasks::ShowValueRefusal(refused, "MassFlow", value);
        return 0;
    }
    dNewFlow = value;
    return 1;
}

int StudyNodeView::SetThroughput(const VarDescription&, double value) {
    if (!std::isfinite(value) || value < kLowestPercent) {
        ErrorMsg("CannotAcceptThisPercentValue");
        return 0;
    }
    dThroughput = value;
    return 1;
}

int StudyNodeView::TwoRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(2);
    dims.AddDim(pDefaultStudy ? pDefaultStudy->GetNumberOfIntervals() + 1 : 0);
    return 2;
}

int StudyNodeView::FouledRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pStudy ? pStudy->GetNumberOfFouledHeatExchangers() : 0);
    dims.AddDim(pDefaultStudy ? pDefaultStudy->GetNumberOfIntervals() + 1 : 0);
    return 2;
}

int StudyNodeView::Points(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pDefaultStudy ? pDefaultStudy->GetNumberOfIntervals() + 1 : 0);
    return 1;
}

// ---- hooks ----

double StudyNodeView::Value(const VarDescription& var) {
    double out = kEmpty;
    if (!Form().Find(var)) return Viewable::Value(var);
    if (!pStudy) return kEmpty;
    Form().Value(*this, var, out);
    return out;
}

int StudyNodeView::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (!Form().Find(var)) return Viewable::Specify(var, value);
    if (!pStudy) return 0;
    Form().Specify(*this, var, value, result);
    return result;
}

Text StudyNodeView::TextValue(const VarDescription& var) {
    if (const char* key = captionKey(var)) return FindString(key);
    return Viewable::TextValue(var);
}

int StudyNodeView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (var.IsObjectLink() && isEventNodeLink(var.ObjectType()) && var.Number() == 300) {
        dims.AddDim(static_cast<int>(lstEventNodes.size()));
        return 1;
    }
    // Sizes the forms ask for without reading a value: the series of the selected kind (382) and
    // the four flow-change columns (402).
    if (var.VariableIs("ExtraData") && var.Number() == 382) {
        const char* kind = nSelectedKind >= 0 && nSelectedKind < kNumberOfKinds ? kKinds[nSelectedKind].name : "";
        dims.AddDim(pDefaultStudy ? pDefaultStudy->GetNumberOfTrendSeries(kind) : 0);
        return 1;
    }
    if (var.VariableIs("ExtraData") && var.Number() == 402) {
        dims.AddDim(4);
        return 1;
    }
    int added = 0;
    return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

void StudyNodeView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (captionKey(var)) {
        state = ReadOnlyState;
        return;
    }
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

int StudyNodeView::GetEDVarType(const VarDescription& var) {
    int type = 0;
    if (captionKey(var)) return 1519;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

VarEnumInfo* StudyNodeView::GetEnumInfo(const VariableNameInfo& name) {
    const VarDescription& var = name.Var();
    if (var.Type() != 105) return Viewable::GetEnumInfo(name);
    if (!pExchangerEnum) BuildChoices();
    switch (var.Number()) {
        case 380: return pKindEnum.get();
        case 381: {
            if (!pSeriesEnum) pSeriesEnum = std::make_unique<VarEnumInfo>();
            pSeriesEnum->DeleteEntries();
            const char* kind = nSelectedKind >= 0 && nSelectedKind < kNumberOfKinds ? kKinds[nSelectedKind].name : "";
            for (int i = 0; pDefaultStudy && i < pDefaultStudy->GetNumberOfTrendSeries(kind); ++i) {
                CPString series;
                pDefaultStudy->GetTrendSeriesName(kind, i, series);
                pSeriesEnum->AddEntry(i, series);
            }
            return pSeriesEnum.get();
        }
        case 391:
            if (pStudy) whatif::FillTimePointChoice(*pStudy, *pRemovalEnum);
            return pRemovalEnum.get();
        case 392:
            if (pStudy) whatif::FillTimePointChoice(*pStudy, *pPutBackEnum);
            for (int i = 0; i < nRemovalPoint; ++i) pPutBackEnum->FindAndHideEntry(i);
            return pPutBackEnum.get();
        case 393:
            if (pStudy) whatif::FillTimePointChoice(*pStudy, *pFlowChangeEnum);
            return pFlowChangeEnum.get();
        case 400: return pExchangerEnum.get();
        case 401: return pStreamEnum.get();
        default: return Viewable::GetEnumInfo(name);
    }
}

Viewable* StudyNodeView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink()) return Viewable::AttachedObject(var);
    Viewable* found = nullptr;
    if (isEventNodeLink(var.ObjectType()) && var.Number() == 300) {
        const int i = var.Offset(0);
        found = i >= 0 && i < static_cast<int>(lstEventNodes.size()) ? lstEventNodes[static_cast<std::size_t>(i)] : nullptr;
    } else if (isPlotLink(var.ObjectType()) && var.Number() == 200) {
        found = GetTrendPlot();
    } else {
        return Viewable::AttachedObject(var);
    }
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

Text StudyNodeView::AttachedName(const Viewable* child) const {
    if (child && child == pTrendPlot) return "TwoDimPlotObject.200";
    for (std::size_t i = 0; i < lstEventNodes.size(); ++i)
        if (lstEventNodes[i] == child)
            return FormattedText("Viewable.300.%zu(%s)", i, VarDescription::EscapeChildName(child->GetName()).c_str());
    return Viewable::AttachedName(child);
}

int StudyNodeView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (!pStudy) return Viewable::Message(line);
    if (word == "AddEventToStudy") return AddEventToStudy();
    if (word == "AcceptThroughputChanges") {
        nEventKind = AddFlowChange;
        const double factor = 1.0 + dThroughput / 100.0;
        const auto reset = [this] {
            dThroughput = 0.0;
            nSelectedStream = 0;
            dNewFlow = 0.0;
        };
        // All or nothing, as a schedule's throughput change: a stream that already changes flow at
        // the point, or cannot run at its new flow, refuses the whole change, named in the message.
        std::set<std::string> changing;
        for (int k = 0; k < pStudy->GetNumberOfSpecialEvents(); ++k)
            if (const IHENTrendSpecialEvent* e = pStudy->GetSpecialEvent(k))
                if (e->GetTimePoint() == nFlowChangePoint && e->GetStreamName()) changing.insert(e->GetStreamName());
        whatif::ThroughputRefusals refusals;
        for (int i = 0; i < pStudy->GetNumberOfStreams(); ++i) {
            const char* stream = pStudy->GetStreamName(i);
            if (!stream) continue;
            if (changing.count(stream)) refusals.Doubled(stream);
            else if (const char* why = pStudy->GetFlowChangeRefusal(stream, pStudy->GetStreamMassFlow(i) * factor))
                refusals.Unrunnable(stream, why);
        }
        if (refusals.Refuse()) return reset(), 0;
        bool taken = true;
        for (int i = 0; i < pStudy->GetNumberOfStreams(); ++i) {
            nSelectedStream = i;
            dNewFlow = pStudy->GetStreamMassFlow(i) * factor;
            taken = AddEventToStudy() == 1 && taken;
        }
        reset();
        return taken ? 1 : 0;
    }
    if (word == "OpenCleanExchangerEventView") {
        nRemovalPoint = nPutBackPoint = 0;
        nSelectedExchanger = -32767;
        View("CleanExchangerEventView");
        return 1;
    }
    // A node's commands act on its own study: it becomes the design's current one first. The
    // default study is no study of the list; it is calculated as itself, and it stays, as every
    // other study refers to it.
    const bool ofDefault = pStudy == pDefaultStudy;
    if (word == "ExecTrend" || word == "RemoveStudyFromDesign" || word == "RenameStudyFromDesign") {
        TrendAnalysisNodeView* parent = Parent();
        IHENDesign* design = parent ? parent->GetDesign() : nullptr;
        if (!design) return 0;
        if (ofDefault && word != "ExecTrend") {
            ErrorMsg("DefaultStudyStays");
            return 0;
        }
        if (!ofDefault && !design->SelectStudy(CPString(pStudy->GetName()))) return 0;
        if (word == "ExecTrend") {
            if (!design->GetOperationLocked()) {
                ErrorMsg("OperationNotLocked");
                return 0;
            }
            if (!pStudy->NeedsCalculation()) {
                ErrorMsg("CannotExecuteStudy", Text(pStudy->GetName()));
                return 0;
            }
            if (!ofDefault) return SendViewableMessage(parent, "ExecuteSelectedStudy");
            SignalBusy(true);
            design->CalculateDefaultStudy();
            SignalBusy(false);
            if (const char* refused = design->GetWhatIfRunRefusal()) {
                ErrorMsg("WhatIfRunRefused", refused);
                return 0;
            }
            return 1;
        }
        // The removal may delete this node (its study goes): nothing of it is touched after.
        return SendViewableMessage(parent, word == "RemoveStudyFromDesign" ? "RemoveSelectedStudyFromDesign"
                                                                           : "RenameSelectedStudyFromDesign");
    }
    if (word == "RemoveSelectedEventFromStudy") {
        if (pStudy->DeleteSelectedEvent()) return 1;
        ErrorMsg("NoStudyEventSelected");
        return 0;
    }
    return Viewable::Message(line);
}
