// The summary node of the study tree: its study nodes, the study commands, the comparison table
// of one trend kind across the studies and the datasheet walk.
#include "views/design/whatif/TrendAnalysisNodeView.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENTrend.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/Session.h"
#include "views/design/whatif/StudyEventNodeViews.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisView.h"
#include "views/design/whatif/WhatIfSupport.h"

#include <algorithm>

using whatif::kEmpty;

namespace {

// The trend kinds in the order the kind choice numbers them.
constexpr const char* kKinds[] = {"Utility Stream Trend", "Stream Outlet Temp Trend", "Profit Index Trend",
                                  "Cumulative Profit Index"};
constexpr int kStudyAdded = 101;
constexpr int kStudyRenamed = 103;
constexpr const char* kCommands[] = {"AddStudyToTrendAnalysis", "ExecuteSelectedStudy", "RemoveSelectedStudyFromDesign",
                                     "RenameSelectedStudyFromDesign"};

// The kind a table of that type code reads.
const char* kindOfType(int type) {
    switch (type) {
        case 6: return kKinds[0];
        case 1: return kKinds[1];
        case 31001: return kKinds[2];
        default: return nullptr;
    }
}

bool isStudyNodeLink(const Text& asked) { return asked == StudyNodeView::TypeName || asked == "StudyNodeView"; }

}  // namespace

TrendAnalysisNodeView::TrendAnalysisNodeView(Viewable* parent, const Text& name)
    : Viewable(parent, whatif::TypeNamed(TypeName)) {
    SetName(name);
    pKindEnum = std::make_unique<VarEnumInfo>();
    for (int k = 0; k < NumberOfTrendKinds; ++k) pKindEnum->AddEntry(k, kKinds[k]);
}

TrendAnalysisNodeView::~TrendAnalysisNodeView() {
    if (pDesign) pDesign->RemoveNotificationReceiver(this);
    pDesign = nullptr;
    std::vector<StudyNodeView*> nodes;
    nodes.swap(lstStudyNodes);
    for (StudyNodeView* node : nodes) {
        node->RemoveDeathPostee(this);
        delete node;
    }
    pSeriesEnum.reset();
    pKindEnum.reset();
}

Text TrendAnalysisNodeView::GetTrendType(int index) {
    return index >= 0 && index < NumberOfTrendKinds ? Text(kKinds[index]) : Text();
}

TrendAnalysisView* TrendAnalysisNodeView::Parent() const {
    Viewable* parent = GetParent();
    return parent && parent->IsA(TrendAnalysisView::TypeName) ? static_cast<TrendAnalysisView*>(parent) : nullptr;
}

void TrendAnalysisNodeView::SetSelectedObject(Viewable* view) {
    if (TrendAnalysisView* parent = Parent()) parent->SetSelectedNode(view);
}

IHENTrend* TrendAnalysisNodeView::DefaultStudy() const { return pDesign ? pDesign->GetDefaultStudy() : nullptr; }

StudyNodeView* TrendAnalysisNodeView::AddStudyNode(const Text& name, IHENTrend* study) {
    auto* node = new StudyNodeView(this, name);
    node->AddDeathPostee(this);
    node->SetEngineeringStudy(study, DefaultStudy());
    lstStudyNodes.push_back(node);
    return node;
}

void TrendAnalysisNodeView::SetEngineeringDesign(IHENDesign* design) {
    if (pDesign) pDesign->RemoveNotificationReceiver(this);
    pDesign = design;
    if (!design) return;
    if (design->AddNotificationReceiver(this)) {
        design->AddValidMessage(this, kStudyAdded);
        design->AddValidMessage(this, kStudyRenamed);
    }
    // The default study's events are shown as every other study's: a reopened case brings them
    // back with the study, and a tree without them would hide events that still act.
    if (IHENTrend* study = DefaultStudy()) {
        StudyNodeView* node = AddStudyNode(study->GetName(), study);
        node->PopulateEvent();
        SetSelectedObject(node);
    }
}

void TrendAnalysisNodeView::PopulateStudy() {
    for (int i = 0; pDesign && i < pDesign->GetNumberOfStudies(); ++i) {
        IHENTrend* study = pDesign->GetStudy(i);
        if (!study) continue;
        AddStudyNode(study->GetName(), study)->PopulateEvent();
    }
}

void TrendAnalysisNodeView::RenameStudyNode(const Text& oldName, const Text& newName) {
    for (StudyNodeView* node : lstStudyNodes)
        if (node->GetName() == oldName) {
            node->SetName(newName);
            return;
        }
}

void TrendAnalysisNodeView::NotifyChange(int code, const CPString& text, void* data) {
    if (code == kStudyAdded && data) {
        SetSelectedObject(AddStudyNode(text.c_str(), static_cast<IHENTrend*>(data)));
    } else if (code == kStudyRenamed && data) {
        RenameStudyNode(text.c_str(), static_cast<const char*>(data));
    }
}

void TrendAnalysisNodeView::DisconnectDeadObject(Viewable* dead) {
    auto it = std::find(lstStudyNodes.begin(), lstStudyNodes.end(), static_cast<const void*>(dead));
    if (it != lstStudyNodes.end()) {
        lstStudyNodes.erase(it);
        SetSelectedObject(this);
    }
    Viewable::DisconnectDeadObject(dead);
}

// ---- rows ----

IHENTrend* TrendAnalysisNodeView::StudyOfRow(int row) const {
    if (!pDesign || row < 0) return nullptr;
    return row == 0 ? DefaultStudy() : pDesign->GetStudy(row - 1);
}

int TrendAnalysisNodeView::NumberOfRows() const { return pDesign ? pDesign->GetNumberOfStudies() + 1 : 0; }

int TrendAnalysisNodeView::NumberOfPoints() const {
    IHENTrend* study = DefaultStudy();
    return study ? study->GetNumberOfIntervals() + 1 : 0;
}

double TrendAnalysisNodeView::SeriesValue(const Text& kind, int series, int row, int point) const {
    IHENTrend* base = DefaultStudy();
    IHENTrend* study = StudyOfRow(row);
    if (!base || !study || kind.empty()) return kEmpty;
    CPString name;
    base->GetTrendSeriesName(kind, series, name);
    return study->GetTrendValue(kind, point, name);
}

void TrendAnalysisNodeView::SetDatasheetStreamVars(int kind) {
    if (nDatasheetRemaining != -32767) return;
    IHENTrend* base = DefaultStudy();
    const int series = !base ? 0 : kind == 0 ? base->GetNumberOfTrendSeries(kKinds[0])
                                 : kind == 2 ? base->GetNumberOfTrendSeries(kKinds[1])
                                             : 0;
    nDatasheetSeries = 0;
    nDatasheetRemaining = NumberOfRows() * NumberOfPoints() * series;
    if (nDatasheetRemaining <= 0) nDatasheetRemaining = -32767;
}

// ---- form ----

const ViewForm<TrendAnalysisNodeView>& TrendAnalysisNodeView::Form() {
    using V = TrendAnalysisNodeView;
    static const ViewForm<V> form{
        {{"ObjectStatus.300", FormHook::Value, 100, false, 0}, &V::Status},
        {{"Enum.380", FormHook::Value, 105, true, 0}, &V::Kind, &V::SetKind},
        {{"Enum.381", FormHook::Value, 105, true, 0}, &V::Series, &V::SetSeries},
        {{"Index.401", FormHook::Value, 100, false, 0}, &V::Kind},
        {{"HeatFlow.450", FormHook::Value, 6, false, 2}, &V::TableValue, nullptr, nullptr, nullptr, &V::Table},
        {{"Temperature.450", FormHook::Value, 1, false, 2}, &V::TableValue, nullptr, nullptr, nullptr, &V::Table},
        {{"CostPerTime.450", FormHook::Value, 31001, false, 2}, &V::TableValue, nullptr, nullptr, nullptr, &V::Table},
        {{"Cost.450", FormHook::Value, 31000, false, 1}, &V::CumulativeProfit, nullptr, nullptr, nullptr, &V::Rows},
        {{"HeatFlow.550", FormHook::Value, 6, false, 2}, &V::DatasheetCell, nullptr, nullptr, nullptr, &V::Table},
        {{"Temperature.550", FormHook::Value, 1, false, 2}, &V::DatasheetCell, nullptr, nullptr, nullptr, &V::Table},
        {{"ExtraData.385", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::UtilitySeriesName, nullptr,
         &V::UtilitySeries},
        {{"ExtraData.386", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::OutletSeriesName, nullptr,
         &V::OutletSeries},
        {{"ExtraData.392", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::PointTime, nullptr, &V::Points},
        {{"ExtraData.393", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::StudyName, nullptr, &V::Rows},
        {{"ExtraData.390", FormHook::Text, 1519, true, 0}, nullptr, nullptr, nullptr, &V::RenameCurrentStudy},
    };
    return form;
}

void TrendAnalysisNodeView::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    form.Add({"StudyNodeView.300", FormHook::Object, 0, false, 1});
    form.SetRefusals("ExtraData.390", "StudyNameEmpty NameNotUnique NoStudySelected NewRowMarkerEntryName");
    for (const char* word : kCommands) form.AddCommand(word);
}

double TrendAnalysisNodeView::Status(const VarDescription&) { return whatif::IconNumber("TrendSummaryIco"); }

int TrendAnalysisNodeView::SetKind(const VarDescription&, double value) {
    const int kind = static_cast<int>(value);
    if (kind < 0 || kind >= NumberOfTrendKinds) return 0;
    nSelectedKind = kind;
    nSelectedSeries = 0;
    return 1;
}

int TrendAnalysisNodeView::SetSeries(const VarDescription&, double value) {
    nSelectedSeries = static_cast<int>(value);
    return 1;
}

double TrendAnalysisNodeView::TableValue(const VarDescription& var) {
    return SeriesValue(kindOfType(var.Type()) ? kindOfType(var.Type()) : "", nSelectedSeries, var.Offset(0), var.Offset(1));
}

double TrendAnalysisNodeView::CumulativeProfit(const VarDescription& var) {
    IHENTrend* study = StudyOfRow(var.Offset(0));
    return study ? study->GetCumulativeProfitIndex() : kEmpty;
}

double TrendAnalysisNodeView::DatasheetCell(const VarDescription& var) {
    if (nDatasheetRemaining == -32767) return kEmpty;
    const int series = nDatasheetSeries;
    const int block = NumberOfRows() * NumberOfPoints();
    --nDatasheetRemaining;
    if (block > 0 && nDatasheetRemaining % block == 0) ++nDatasheetSeries;
    if (nDatasheetRemaining <= 0) nDatasheetRemaining = -32767;
    TrendAnalysisView* parent = Parent();
    return SeriesValue(parent ? parent->GetNodeName() : Text(), series, var.Offset(0), var.Offset(1));
}

Text TrendAnalysisNodeView::UtilitySeriesName(const VarDescription& var) {
    IHENTrend* base = DefaultStudy();
    if (!base) return Text();
    CPString name;
    base->GetTrendSeriesName(kKinds[0], var.Offset(0), name);
    SetDatasheetStreamVars(0);
    return name;
}

Text TrendAnalysisNodeView::OutletSeriesName(const VarDescription& var) {
    IHENTrend* base = DefaultStudy();
    if (!base) return Text();
    CPString name;
    base->GetTrendSeriesName(kKinds[1], var.Offset(0), name);
    SetDatasheetStreamVars(2);
    return name;
}

Text TrendAnalysisNodeView::PointTime(const VarDescription& var) {
    IHENTrend* base = DefaultStudy();
    const int t = var.Offset(0);
    if (!base || t < 0 || t > base->GetNumberOfIntervals()) return Text();
    return FormattedText("%0.4g %s", whatif::StudyTimeShown(*base, t), base->GetTimeUnit());
}

Text TrendAnalysisNodeView::StudyName(const VarDescription& var) {
    IHENTrend* study = StudyOfRow(var.Offset(0));
    return study ? Text(study->GetName()) : Text();
}

int TrendAnalysisNodeView::RenameCurrentStudy(const VarDescription&, const Text& name) {
    const char* current = pDesign ? pDesign->GetCurrentStudyName() : nullptr;
    if (!current) {
        ErrorMsg("NoStudySelected");
        return 0;
    }
    if (name.empty()) {
        ErrorMsg("StudyNameEmpty");
        return 0;
    }
    // The design refuses a name another study holds, and the default study's; the notice 103
    // renames the node.
    if (pDesign->RenameStudy(CPString(current), name)) return 1;
    ErrorMsg(IsNewRowMarker(name.c_str()) ? "NewRowMarkerEntryName" : "NameNotUnique");
    return 0;
}

int TrendAnalysisNodeView::Table(const VarDescription&, DimInfo& dims) {
    dims.AddDim(NumberOfRows());
    dims.AddDim(NumberOfPoints());
    return 2;
}

int TrendAnalysisNodeView::Rows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(NumberOfRows());
    return 1;
}

int TrendAnalysisNodeView::Points(const VarDescription&, DimInfo& dims) {
    dims.AddDim(NumberOfPoints());
    return 1;
}

int TrendAnalysisNodeView::UtilitySeries(const VarDescription&, DimInfo& dims) {
    IHENTrend* base = DefaultStudy();
    dims.AddDim(base ? base->GetNumberOfTrendSeries(kKinds[0]) : 0);
    return 1;
}

int TrendAnalysisNodeView::OutletSeries(const VarDescription&, DimInfo& dims) {
    IHENTrend* base = DefaultStudy();
    dims.AddDim(base ? base->GetNumberOfTrendSeries(kKinds[1]) : 0);
    return 1;
}

// ---- hooks ----

double TrendAnalysisNodeView::Value(const VarDescription& var) {
    double out = kEmpty;
    return Form().Value(*this, var, out) ? out : Viewable::Value(var);
}

int TrendAnalysisNodeView::Specify(const VarDescription& var, double value) {
    int result = 0;
    return Form().Specify(*this, var, value, result) ? result : Viewable::Specify(var, value);
}

Text TrendAnalysisNodeView::TextValue(const VarDescription& var) {
    Text out;
    return Form().TextValue(*this, var, out) ? out : Viewable::TextValue(var);
}

int TrendAnalysisNodeView::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    return Form().SpecifyText(*this, var, text, result) ? result : Viewable::SpecifyText(var, text);
}

int TrendAnalysisNodeView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (var.IsObjectLink() && isStudyNodeLink(var.ObjectType()) && var.Number() == 300) {
        dims.AddDim(static_cast<int>(lstStudyNodes.size()));
        return 1;
    }
    // The time axis of the comparison table: one entry per time point, sized only.
    if (var.VariableIs("Time") && var.Number() == 391) return Points(var, dims);
    int added = 0;
    return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

void TrendAnalysisNodeView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

int TrendAnalysisNodeView::GetEDVarType(const VarDescription& var) {
    int type = 0;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

VarEnumInfo* TrendAnalysisNodeView::GetEnumInfo(const VariableNameInfo& name) {
    const VarDescription& var = name.Var();
    if (var.Type() != 105) return Viewable::GetEnumInfo(name);
    if (var.Number() == 380) return pKindEnum.get();
    if (var.Number() != 381) return Viewable::GetEnumInfo(name);
    if (!pSeriesEnum) pSeriesEnum = std::make_unique<VarEnumInfo>();
    pSeriesEnum->DeleteEntries();
    const Text kind = GetTrendType(nSelectedKind);
    if (IHENTrend* base = DefaultStudy())
        for (int i = 0; i < base->GetNumberOfTrendSeries(kind); ++i) {
            CPString series;
            base->GetTrendSeriesName(kind, i, series);
            pSeriesEnum->AddEntry(i, series);
        }
    return pSeriesEnum.get();
}

Viewable* TrendAnalysisNodeView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink() || !isStudyNodeLink(var.ObjectType()) || var.Number() != 300)
        return Viewable::AttachedObject(var);
    const int i = var.Offset(0);
    Viewable* found = i >= 0 && i < static_cast<int>(lstStudyNodes.size()) ? lstStudyNodes[static_cast<std::size_t>(i)]
                                                                            : nullptr;
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

Text TrendAnalysisNodeView::AttachedName(const Viewable* child) const {
    for (std::size_t i = 0; i < lstStudyNodes.size(); ++i)
        if (lstStudyNodes[i] == child)
            return FormattedText("StudyNodeView.300.%zu(%s)", i, VarDescription::EscapeChildName(child->GetName()).c_str());
    return Viewable::AttachedName(child);
}

int TrendAnalysisNodeView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (!pDesign) return Viewable::Message(line);
    if (word == "AddStudyToTrendAnalysis") {
        pDesign->AddStudy();
        return 1;
    }
    // The other words act on the selected study, the design's current one.
    const bool study = word == "ExecuteSelectedStudy" || word == "RemoveSelectedStudyFromDesign" ||
                       word == "RenameSelectedStudyFromDesign";
    if (word == "ExecuteSelectedStudy" && !pDesign->GetOperationLocked()) {
        ErrorMsg("OperationNotLocked");
        return 0;
    }
    if (study && !pDesign->GetCurrentStudyName()) {
        ErrorMsg("NoStudySelected");
        return 0;
    }
    if (word == "ExecuteSelectedStudy") {
        SignalBusy(true);
        pDesign->CalculateCurrentStudy();
        SignalBusy(false);
        if (const char* refused = pDesign->GetWhatIfRunRefusal()) {
            ErrorMsg("WhatIfRunRefused", refused);
            return 0;
        }
    } else if (word == "RemoveSelectedStudyFromDesign") {
        // The study's node goes with it (notice 102) and this node becomes the selected one.
        return pDesign->DeleteCurrentStudy() ? 1 : 0;
    } else if (word == "RenameSelectedStudyFromDesign") {
        View("RenameStudyView");
    } else {
        return Viewable::Message(line);
    }
    return 1;
}
