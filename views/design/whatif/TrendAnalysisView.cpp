// The trend-analysis wizard: its pages, exchanger flags, intervals, times and fouled
// coefficients, the selection in the study tree, and its record.
#include "views/design/whatif/TrendAnalysisView.h"

#include "brasko/CaseDocument.h"
#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENTrend.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Session.h"
#include "views/EnginePointers.h"
#include "views/design/whatif/StudyEventNodeViews.h"
#include "views/design/whatif/StudyNodeView.h"
#include "views/design/whatif/TrendAnalysisNodeView.h"
#include "views/design/whatif/WhatIfSupport.h"

#include <cmath>

using whatif::kEmpty;

namespace {

// The fixed captions of the wizard pages (type 1519), by variable number.
struct CaptionKey {
    int number;
    const char* key;
};
constexpr CaptionKey kCaptions[] = {
    {750, MessageKey("StartStaticTextInTrend")},
    {751, MessageKey("Step1StaticTextInTrend")},
    {752, MessageKey("Step2StaticTextInTrend")},
    {753, MessageKey("Step3StaticTextInTrend")},
    {754, MessageKey("EndStaticTextInTrend")},
    {760, MessageKey("StaticText1InPageOneInTrend")},
    {761, MessageKey("StaticText2InPageOneInTrend")},
    {762, MessageKey("StaticText3InPageOneInTrend")},
    {763, MessageKey("StaticText4InPageOneInTrend")},
    {764, MessageKey("StaticText5InPageOneInTrend")},
    {770, MessageKey("Step1StaticTextInPage2InTrend")},
    {771, MessageKey("Step2StaticTextInPage3InTrend")},
    {772, MessageKey("Step3StaticTextInPage4InTrend")},
    {800, MessageKey("NotExecuted")},
    {801, MessageKey("ExecutedandConverged")},
    {802, MessageKey("ExecutedbutNotConverged")},
    {803, MessageKey("ChangeIntervalConfirmText1")},
    {804, MessageKey("ChangeIntervalConfirmText2")},
    {805, MessageKey("NoofIntervals")},
    {806, MessageKey("TimeUnit")},
    {807, MessageKey("TrendAnalysisSet-upFinishedText")},
    {808, MessageKey("ChangeStaringTimeConfirmText1")},
    {809, MessageKey("ChangeStaringTimeConfirmText2")},
    {810, MessageKey("ModifyUValueWarning")},
};

const char* captionKey(const VarDescription& var) {
    if (var.Type() != 1519) return nullptr;
    for (const CaptionKey& c : kCaptions)
        if (c.number == var.Number()) return c.key;
    return nullptr;
}

constexpr const char* kCommands[] = {"GoToNextPage",       "GoToPrevPage",    "ExecuteTrendAnalysis", "ChangeInput",
                                     "SetSelectedList",    "SelectAllHX",     "UnSelectAllHX",        "ChangeIntervalNumber",
                                     "FillFollowingStartingTimes", "ModifyUValue", "NotModifyUValue"};

bool isSummaryLink(const Text& asked) { return asked == "TrendNodeViewObject" || asked == "TrendNodeView"; }
bool isGenericLink(const Text& asked) { return asked == "ViewableObject" || asked == "Viewable"; }

CPString exchangerName(const IHENTrend& study, int index) {
    CPString name;
    study.GetHeatExchangerName(index, name);
    return name;
}

CPString fouledName(const IHENTrend& study, int index) {
    CPString name;
    study.GetFouledHeatExchangerName(index, name);
    return name;
}

}  // namespace

TrendAnalysisView::TrendAnalysisView(Viewable* parent, IHENDesign* design, bool newStudy)
    : Viewable(parent, whatif::TypeNamed(TypeName)) {
    BindDesign(design);
    if (pStudy && newStudy) SpaceTimes(0, 0.0);
    MakeSummaryNode();
    // A design read with its studies: their nodes too.
    if (!newStudy) pSummaryNode->PopulateStudy();
}

TrendAnalysisView::TrendAnalysisView(ObjectInstanceInfo& info) : Viewable(info) {}

TrendAnalysisView::~TrendAnalysisView() {
    // The selected node lies in the tree deleted below (it may be the summary node itself): it
    // is forgotten first, while it is alive.
    if (pSelectedView) pSelectedView->RemoveDeathPostee(this);
    pSelectedView = nullptr;
    if (TrendAnalysisNodeView* node = pSummaryNode) {
        pSummaryNode = nullptr;
        node->RemoveDeathPostee(this);
        delete node;
    }
    lstExchangerFlags.clear();
}

void TrendAnalysisView::BindDesign(IHENDesign* design) {
    pDesign = design;
    pStudy = design ? design->GetDefaultStudy() : nullptr;
    lstExchangerFlags.assign(pStudy ? static_cast<std::size_t>(pStudy->GetNumberOfHeatExchangers()) : 0u, 0);
}

void TrendAnalysisView::MakeSummaryNode() {
    pSummaryNode = new TrendAnalysisNodeView(this, SummaryNodeName);
    pSummaryNode->SetEngineeringDesign(pDesign);
    pSummaryNode->AddDeathPostee(this);
}

void TrendAnalysisView::SpaceTimes(int from, double start) {
    for (int i = from; pStudy && i <= pStudy->GetNumberOfIntervals(); ++i)
        whatif::SetStudyTimeShown(*pStudy, i, start + (i - from));
}

const std::vector<std::uint8_t>& TrendAnalysisView::Flags() {
    // The study's exchangers may grow after the flags were sized: they follow its count.
    const int count = pStudy ? pStudy->GetNumberOfHeatExchangers() : 0;
    lstExchangerFlags.resize(static_cast<std::size_t>(count > 0 ? count : 0), 0);
    return lstExchangerFlags;
}

void TrendAnalysisView::SetSelectedNode(Viewable* node) {
    if (!node || node == pSelectedView) return;
    if (!node->IsA(TrendAnalysisNodeView::TypeName) && !node->IsA(StudyNodeView::TypeName) &&
        !node->IsA(EventNodeView::TypeName) && !node->IsA(SpecialEventNodeView::TypeName))
        return;
    // The summary node stays watched for its own slot.
    if (pSelectedView && pSelectedView != pSummaryNode) pSelectedView->RemoveDeathPostee(this);
    pSelectedView = node;
    node->AddDeathPostee(this);
}

// ---- form ----

const ViewForm<TrendAnalysisView>& TrendAnalysisView::Form() {
    using V = TrendAnalysisView;
    static const ViewForm<V> form{
        {{"Index.201", FormHook::Value, 100, false, 0}, &V::Page},
        {{"Index.300", FormHook::Value, 100, false, 0}, &V::SelectedKind},
        {{"Index.390", FormHook::Value, 100, true, 0}, &V::UValueFlag, &V::SetUValueFlag},
        {{"Switch.361", FormHook::Value, 104, true, 1}, &V::Flag, &V::SetFlag, nullptr, nullptr, &V::ExchangerRows},
        {{"Switch.383", FormHook::Value, 104, false, 0}, &V::AllPointsNeedCalculation},
        {{"ExtraData.350", FormHook::Value, 1519, true, 0}, &V::Intervals, &V::SetIntervals},
        // Shown in the study's own time unit: no further conversion by the framework.
        {{"Time.354", FormHook::Value, 1519, true, 1}, &V::PointTime, &V::SetPointTime, nullptr, nullptr, &V::PointRows},
        {{"HeatTransferCoeff.370", FormHook::Value, 1524, true, 2}, &V::FouledCoefficient, &V::SetFouledCoefficient,
         nullptr, nullptr, &V::CoefficientTable},
        {{"HeatTransferCoeff.371", FormHook::Value, 1524, false, 2}, &V::FouledCoefficientTransposed, nullptr, nullptr,
         nullptr, &V::CoefficientTableTransposed},
        {{"Time.300", FormHook::Text, 1519, true, 0}, nullptr, nullptr, &V::TimeUnit, &V::SetTimeUnit},
        {{"ExtraData.355", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::TimeUnit},
        {{"ExtraData.353", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::PointLabel, nullptr, &V::PointRows},
        {{"ExtraData.360", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::ExchangerName, nullptr, &V::ExchangerRows},
        {{"ExtraData.371", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::PointNumber, nullptr, &V::PointRows},
        {{"ExtraData.372", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::FouledName, nullptr, &V::FouledRows},
    };
    return form;
}

void TrendAnalysisView::LoadVariables(FormDescription& form) {
    Form().Describe(form);
    form.SetRefusals("HeatTransferCoeff.370", "HTCoeffUpdateError");
    form.SetRefusals("Time.354", "lessthanprevioustime");
    // A study runs over a whole number of intervals, one at least.
    form.SetDomain("ExtraData.350", CellDomain::Count());
    for (const CaptionKey& c : kCaptions) form.Add({FormattedText("ExtraData.%d", c.number), FormHook::Text, 1519, false, 0});
    form.Add({"TrendNodeViewObject.300", FormHook::Object, 0, false, 1});
    form.Add({"TrendNodeViewObject.498", FormHook::Object, 0, false, 1});
    form.Add({"TrendNodeViewObject.499", FormHook::Object, 0, false, 1});
    form.Add({"Viewable.398", FormHook::Object, 0, true, 0});
    form.Add({"Viewable.399", FormHook::Object, 0, false, 0});
    for (const char* word : kCommands) form.AddCommand(word);
}

double TrendAnalysisView::SelectedKind(const VarDescription&) {
    Viewable* v = pSelectedView;
    if (!v) return kEmpty;
    if (v->IsA(TrendAnalysisNodeView::TypeName)) return 0.0;
    if (v->IsA(StudyNodeView::TypeName)) return 1.0;
    if (v->IsA(EventNodeView::TypeName) || v->IsA(SpecialEventNodeView::TypeName)) return 2.0;
    return kEmpty;
}

int TrendAnalysisView::SetUValueFlag(const VarDescription&, double value) {
    nUValueFlag = static_cast<std::int32_t>(value);
    return 1;
}

double TrendAnalysisView::Flag(const VarDescription& var) {
    const std::vector<std::uint8_t>& flags = Flags();
    const int i = var.Offset(0);
    return i >= 0 && i < static_cast<int>(flags.size()) ? flags[static_cast<std::size_t>(i)] : kEmpty;
}

int TrendAnalysisView::SetFlag(const VarDescription& var, double value) {
    Flags();
    const int i = var.Offset(0);
    if (i < 0 || i >= static_cast<int>(lstExchangerFlags.size())) return 0;
    lstExchangerFlags[static_cast<std::size_t>(i)] = static_cast<int>(value) != 0 ? 1 : 0;
    return 1;
}

double TrendAnalysisView::AllPointsNeedCalculation(const VarDescription&) {
    return pStudy->AllTimePointsNeedCalculation() ? 1.0 : 0.0;
}

double TrendAnalysisView::Intervals(const VarDescription&) { return pStudy->GetNumberOfIntervals(); }

int TrendAnalysisView::SetIntervals(const VarDescription&, double value) {
    // A study runs over one interval at least.
    if (!(value >= 1.0)) return 0;
    // Each interval's point is a whole operating state and one calculation of the network.
    if (value > IHENTrend::MaxIntervals) {
        ErrorMsg("TooManyTrendIntervals", Text(std::to_string(IHENTrend::MaxIntervals).c_str()));
        return 0;
    }
    nPendingIntervals = static_cast<std::int32_t>(value);
    View("ChangeIntervalNumberView");
    return 1;
}

double TrendAnalysisView::PointTime(const VarDescription& var) { return whatif::StudyTimeShown(*pStudy, var.Offset(0)); }

int TrendAnalysisView::SetPointTime(const VarDescription& var, double value) {
    const int i = var.Offset(0), n = pStudy->GetNumberOfIntervals();
    if (i < 0 || i > n || !std::isfinite(value) || value == kEmpty) return 0;
    if (i > 0 && value <= whatif::StudyTimeShown(*pStudy, i - 1)) {
        ErrorMsg("lessthanprevioustime");
        return 0;
    }
    if (i < n && value >= whatif::StudyTimeShown(*pStudy, i + 1)) {
        // The later points would fall before it: the user chooses whether to re-space them.
        dPendingTime = value;
        nPendingPoint = i;
        View("StartingTimeConfirmView");
        return 1;
    }
    whatif::SetStudyTimeShown(*pStudy, i, value);
    return 1;
}

double TrendAnalysisView::FouledCoefficient(const VarDescription& var) {
    const int i = var.Offset(0), j = var.Offset(1);
    if (i < 0 || i > pStudy->GetNumberOfIntervals() || j < 0 || j >= pStudy->GetNumberOfFouledHeatExchangers()) return kEmpty;
    return pStudy->GetFouledHTC(fouledName(*pStudy, j), i);
}

int TrendAnalysisView::SetFouledCoefficient(const VarDescription& var, double value) {
    const int i = var.Offset(0), j = var.Offset(1);
    // Point 0 holds the clean (reference) coefficients.
    if (i <= 0 || i > pStudy->GetNumberOfIntervals() || j < 0 || j >= pStudy->GetNumberOfFouledHeatExchangers()) return 0;
    if (const char* refused = HENEventValueRefusal("ObservedHTC", value)) {
        ErrorMsg(refused);
        return 0;
    }
    pStudy->SetFouledHTC(fouledName(*pStudy, j), i, value);
    return 1;
}

double TrendAnalysisView::FouledCoefficientTransposed(const VarDescription& var) {
    VarDescription swapped = var;
    swapped.SetOffset(0, var.Offset(1));
    swapped.SetOffset(1, var.Offset(0));
    return FouledCoefficient(swapped);
}

Text TrendAnalysisView::TimeUnit(const VarDescription&) { return pStudy->GetTimeUnit(); }

int TrendAnalysisView::SetTimeUnit(const VarDescription&, const Text& unit) {
    UnitConversion from, to;
    whatif::StudyTimeUnit(*pStudy, from);
    if (!get_unit(whatif::kTimeKind, unit, DefaultUnits, to)) return 0;
    // The numbers shown stay; their meaning changes to the new unit.
    for (int i = 0; i <= pStudy->GetNumberOfIntervals(); ++i)
        pStudy->SetTimeAtPoint(i, calc_unit(calc_ounit(pStudy->GetTimeAtPoint(i), from), to));
    pStudy->SetTimeUnit(unit);
    return 1;
}

Text TrendAnalysisView::PointLabel(const VarDescription& var) { return FormattedText("t%d", var.Offset(0)); }

Text TrendAnalysisView::ExchangerName(const VarDescription& var) {
    const int i = var.Offset(0);
    return i >= 0 && i < pStudy->GetNumberOfHeatExchangers() ? Text(exchangerName(*pStudy, i)) : Text();
}

Text TrendAnalysisView::PointNumber(const VarDescription& var) { return FormattedText("%d", var.Offset(0)); }

Text TrendAnalysisView::FouledName(const VarDescription& var) {
    const int i = var.Offset(0);
    return i >= 0 && i < pStudy->GetNumberOfFouledHeatExchangers() ? Text(fouledName(*pStudy, i)) : Text();
}

int TrendAnalysisView::ExchangerRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pStudy ? pStudy->GetNumberOfHeatExchangers() : 0);
    return 1;
}

int TrendAnalysisView::PointRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pStudy ? pStudy->GetNumberOfIntervals() + 1 : 0);
    return 1;
}

int TrendAnalysisView::FouledRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pStudy ? pStudy->GetNumberOfFouledHeatExchangers() : 0);
    return 1;
}

int TrendAnalysisView::CoefficientTable(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pStudy ? pStudy->GetNumberOfIntervals() + 1 : 0);
    dims.AddDim(pStudy ? pStudy->GetNumberOfFouledHeatExchangers() : 0);
    return 2;
}

int TrendAnalysisView::CoefficientTableTransposed(const VarDescription&, DimInfo& dims) {
    dims.AddDim(pStudy ? pStudy->GetNumberOfFouledHeatExchangers() : 0);
    dims.AddDim(pStudy ? pStudy->GetNumberOfIntervals() + 1 : 0);
    return 2;
}

// ---- hooks ----

double TrendAnalysisView::Value(const VarDescription& var) {
    double out = kEmpty;
    if (!Form().Find(var)) return Viewable::Value(var);
    if (!pStudy) return kEmpty;
    Form().Value(*this, var, out);
    return out;
}

int TrendAnalysisView::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (!Form().Find(var)) return Viewable::Specify(var, value);
    if (!pStudy) return 0;
    Form().Specify(*this, var, value, result);
    return result;
}

Text TrendAnalysisView::TextValue(const VarDescription& var) {
    Text out;
    const char* key = captionKey(var);
    if (!key && !Form().Find(var)) return Viewable::TextValue(var);
    if (!pStudy) return Text();
    if (key) return FindString(key);
    Form().TextValue(*this, var, out);
    return out;
}

int TrendAnalysisView::SpecifyText(const VarDescription& var, const Text& text) {
    int result = 0;
    if (!Form().Find(var)) return Viewable::SpecifyText(var, text);
    if (!pStudy) return 0;
    Form().SpecifyText(*this, var, text, result);
    return result;
}

int TrendAnalysisView::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (var.IsObjectLink() && isSummaryLink(var.ObjectType()) &&
        (var.Number() == 300 || var.Number() == 498 || var.Number() == 499)) {
        dims.AddDim(1);
        return 1;
    }
    int added = 0;
    return Form().Dimensions(*this, var, dims, added) ? added : Viewable::Dimensions(var, dims);
}

void TrendAnalysisView::VariableStatus(const VarDescription& var, ModifyState& state, int& detail) {
    if (var.Type() == 1524 && var.Number() == 370 && var.Offset(0) == 0) {
        state = ReadOnlyState;
        return;
    }
    if (captionKey(var)) {
        state = ReadOnlyState;
        return;
    }
    if (!Form().VariableStatus(var, state)) Viewable::VariableStatus(var, state, detail);
}

int TrendAnalysisView::GetEDVarType(const VarDescription& var) {
    int type = 0;
    if (captionKey(var)) return 1519;
    return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
}

int TrendAnalysisView::Message(const Text& line) {
    Text word, rest;
    line.Token(word, rest);
    if (!pStudy) return Viewable::Message(line);
    if (word == "GoToNextPage") {
        ++nCurrentPage;
    } else if (word == "GoToPrevPage") {
        if (nCurrentPage > 0) --nCurrentPage;
    } else if (word == "ExecuteTrendAnalysis") {
        if (!pDesign->GetOperationLocked()) {
            ErrorMsg("OperationNotLocked");
            return 0;
        }
        const auto alive = LifeToken();
        Viewable::Message("CloseView DefaultView");
        if (alive.expired()) return 1;
        SignalBusy(true);
        UserStatusReport(FindString("TrendSTARTCalculation"), 2);
        pDesign->CalculateDefaultStudy();
        UserStatusClear(2);
        SignalBusy(false);
        if (alive.expired()) return 1;
        if (const char* refused = pDesign->GetWhatIfRunRefusal()) {
            ErrorMsg("WhatIfRunRefused", refused);
            return 0;
        }
        View("DefaultView");
    } else if (word == "ChangeInput") {
        nCurrentPage = 1;
        View("WizardView");
    } else if (word == "SetSelectedList") {
        const std::vector<std::uint8_t> flags = Flags();
        for (std::size_t i = 0; i < flags.size(); ++i) {
            const CPString name = exchangerName(*pStudy, static_cast<int>(i));
            if (flags[i]) pStudy->AddFouledHeatExchanger(name);
            else pStudy->RemoveFouledHeatExchanger(name);
        }
    } else if (word == "SelectAllHX" || word == "UnSelectAllHX") {
        Flags();
        for (std::uint8_t& f : lstExchangerFlags) f = word == "SelectAllHX" ? 1 : 0;
    } else if (word == "ChangeIntervalNumber") {
        if (nPendingIntervals < 1) {
            ErrorMsg("NothingToChangeIntervals");
            return 0;
        }
        int dropped = pStudy->SetNumberOfIntervals(nPendingIntervals);
        if (dropped < 0) return 0;
        // Every study made from the default one runs over its points: each takes the new number
        // alike, drops its events past the last point, and is to be run again.
        for (int i = 0; pDesign && i < pDesign->GetNumberOfStudies(); ++i) {
            IHENTrend* study = pDesign->GetStudy(i);
            if (!study || study == pStudy) continue;
            const int droppedThere = study->SetNumberOfIntervals(nPendingIntervals);
            if (droppedThere > 0) dropped += droppedThere;
            for (int point = 0; point <= study->GetNumberOfIntervals(); ++point)
                whatif::SetStudyTimeShown(*study, point, point);
        }
        // Taken, the number is no longer pending: confirmed again, it would lay the points out anew
        // and throw away the study's results for no change.
        nPendingIntervals = 0;
        SpaceTimes(0, 0.0);
        // The new number is taken: the events it drops are told as a notice, as an error beside a
        // change made would answer the command as refused.
        if (dropped > 0)
            ResponseMsg("TrendEventsBeyondLastPoint", 1, MessageParameters{Text(std::to_string(dropped).c_str())});
    } else if (word == "FillFollowingStartingTimes") {
        if (nPendingPoint < 0 || nPendingPoint > pStudy->GetNumberOfIntervals()) return 0;
        SpaceTimes(nPendingPoint, dPendingTime);
    } else if (word == "ModifyUValue") {
        nUValueFlag = 1;
        const auto alive = LifeToken();
        pDesign->DeleteAllStudies();
        if (alive.expired()) return 1;
    } else if (word == "NotModifyUValue") {
        nUValueFlag = 0;
    } else {
        return Viewable::Message(line);
    }
    return 1;
}

// ---- child views ----

Viewable* TrendAnalysisView::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink()) return Viewable::AttachedObject(var);
    const Text& asked = var.ObjectType();
    Viewable* found = nullptr;
    if (isSummaryLink(asked) && var.Number() == 300) {
        found = pSummaryNode;
    } else if (isSummaryLink(asked) && (var.Number() == 498 || var.Number() == 499)) {
        // The summary node's two datasheets: utility loads and stream outlet temperatures.
        strNodeName = TrendAnalysisNodeView::GetTrendType(var.Number() == 498 ? 0 : 1);
        found = pSummaryNode;
    } else if (isGenericLink(asked) && (var.Number() == 398 || var.Number() == 399)) {
        found = pSelectedView;
    } else {
        return Viewable::AttachedObject(var);
    }
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

int TrendAnalysisView::AttachObject(const VarDescription& var, Viewable* object) {
    if (!var.IsObjectLink() || !isGenericLink(var.ObjectType()) || var.Number() != 398)
        return Viewable::AttachObject(var, object);
    if (!object) return 0;
    if (object != pSelectedView) {
        if (pSelectedView && pSelectedView != pSummaryNode) pSelectedView->RemoveDeathPostee(this);
        pSelectedView = object;
        object->AddDeathPostee(this);
    }
    if (!pDesign) return 1;
    Viewable* parent = object->GetParent();
    if (object->IsA(StudyNodeView::TypeName)) {
        pDesign->SelectStudy(object->GetName());
    } else if (object->IsA(EventNodeView::TypeName) && parent) {
        pDesign->SelectStudy(parent->GetName());
        pDesign->SelectStudyCleaningEvent(object->GetName());
    } else if (object->IsA(SpecialEventNodeView::TypeName) && parent) {
        pDesign->SelectStudy(parent->GetName());
        pDesign->SelectStudySpecialEvent(object->GetName());
    }
    return 1;
}

int TrendAnalysisView::GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out) {
    if (!var.IsObjectLink() || !isGenericLink(var.ObjectType()) || var.Number() != 398)
        return Viewable::GetAttachableObjects(var, out);
    const std::size_t before = out.size();
    if (pSummaryNode) {
        out.push_back(pSummaryNode);
        for (StudyNodeView* study : pSummaryNode->GetStudyNodes()) {
            if (!study) continue;
            out.push_back(study);
            for (Viewable* event : study->GetEventNodes())
                if (event) out.push_back(event);
        }
    }
    return static_cast<int>(out.size() - before);
}

Text TrendAnalysisView::AttachedName(const Viewable* child) const {
    if (child && child == pSummaryNode) return "TrendNodeViewObject.300";
    return Viewable::AttachedName(child);
}

void TrendAnalysisView::DisconnectDeadObject(Viewable* dead) {
    if (dead == pSummaryNode) pSummaryNode = nullptr;
    if (dead == pSelectedView) pSelectedView = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

// ---- the record ----

bool TrendAnalysisView::StoreClassData(BinaryFile& file) {
    IHeatIntegrationScenario* scenario = pDesign ? pDesign->GetScenario() : nullptr;
    const bool totalSite = scenario && scenario->IsTotalSiteScenario();
    const std::vector<std::uint8_t>& flags = Flags();
    bool ok = file.WriteChar(totalSite ? 1 : 0) && StoreDesignPointer(file, scenario, pDesign) &&
              file.WriteInt(nCurrentPage) && file.WriteInt(nSecondPage) &&
              file.WriteInt(static_cast<std::int32_t>(flags.size()));
    for (std::size_t i = 0; ok && i < flags.size(); ++i) ok = file.WriteChar(static_cast<char>(flags[i]));
    return ok && file.WriteInt(nPendingIntervals) && StorePointer(file, pSelectedView);
}

bool TrendAnalysisView::RecallClassData(BinaryFile& file, int version) {
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    char totalSite = 0;
    if (version >= 2 && !file.ReadChar(totalSite)) return false;
    IHENDesign* design = nullptr;
    const bool linked = totalSite ? RecallDesignTotalSitePointer(file, manager, design)
                                  : RecallDesignPointer(file, manager, design);
    std::int32_t count = 0;
    if (!linked || !file.ReadInt(nCurrentPage) || !file.ReadInt(nSecondPage) || !file.ReadItemCount(count))
        return false;
    std::vector<std::uint8_t> flags;
    for (std::int32_t i = 0; i < count; ++i) {
        char c = 0;
        if (!file.ReadChar(c)) return false;
        flags.push_back(static_cast<std::uint8_t>(c));
    }
    if (!file.ReadInt(nPendingIntervals)) return false;
    BindDesign(design);
    lstExchangerFlags = std::move(flags);
    if (pSummaryNode) {
        TrendAnalysisNodeView* old = pSummaryNode;
        if (pSelectedView) pSelectedView->RemoveDeathPostee(this);
        pSelectedView = nullptr;
        pSummaryNode = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    MakeSummaryNode();
    pSummaryNode->PopulateStudy();
    return RecallPointerX(file, pRecalledSelection, nullptr);
}

bool TrendAnalysisView::CheckRecalledPointers() {
    Viewable* selected = pRecalledSelection;
    pRecalledSelection = nullptr;
    SetSelectedNode(selected);
    return true;
}
