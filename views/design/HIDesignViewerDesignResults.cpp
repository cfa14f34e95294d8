// What the design viewer answers to the engine and the framework: result codes turned into
// message keys, the design's change notices, form notices, plot objects handed to forms, the
// enumerations and value kinds of its variables, and the what-if event kinds.
#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/whatif/ScheduleTypeView.h"
#include "views/plots/chiHXBarPlot.h"
#include "views/plots/chiPlot.h"
#include "views/EngineNotices.h"

#include <cstdlib>
#include <sstream>

namespace {

struct CodeKey {
    int code;
    const char* key;
};

const char* findKey(const CodeKey* begin, const CodeKey* end, int code) {
    for (const CodeKey* row = begin; row != end; ++row)
        if (row->code == code) return row->key;
    return nullptr;
}

// A code that no table lists is a failure the engine did not name: it must not read as success.
Text unlisted(const char* what, const char* key, int code) {
    TraceLine(FormattedText("Unlisted %s result code %d", what, code));
    return key;
}

}  // namespace

// ---- result codes ----

Text HIDesignViewerDesign::NetworkOptimisationKey(int result) {
    static constexpr CodeKey kKeys[] = {
        {0, "NetOptNoStrmData"}, {1, "NetOptNoEcoData"},   {2, "NetOptNoDes"},    {3, "NetOptFail"},
        {4, "NetOptOk"},         {5, "NetOptInfeasible"},  {6, "NetOptDesInfes"}, {7, "NetOptUnbound"},
        {8, "NetOptUndet"},      {9, "NetOptFail"},        {10, "NetOptInvalid"}, {11, "NetOptMemory"},
        {12, "NetOptLog"},       {13, "NetOptFail"},       {101, "NetOptNoFiles"}, {102, "NetOptRuntime"},
        {103, "NetOptFailSegmented"}, {104, "NetOptNoArea"},
    };
    if (const char* key = findKey(std::begin(kKeys), std::end(kKeys), result)) return key;
    return unlisted("network optimisation", "NetOptFail", result);
}

Text HIDesignViewerDesign::RetrofitKey(int result) {
    // 2 and 3 are the codes of a run (or check) that went through, and 28 the added-area run
    // (design optimisation) that did.
    static constexpr CodeKey kKeys[] = {
        {0, "RetBigProb"},       {1, "RetDesInfes"},     {2, "RetOk"},            {3, "RetOk"},
        {4, "RetTempViolation"}, {5, "RetNewHXFail"},    {6, "RetNewHXNotOpti"},  {7, "RetNewHXOk"},
        {8, "RetNoBCDesign"},    {9, "RetNoColdUtil"},   {11, "RetNoDes"},        {12, "RetNoEcoData"},
        {13, "RetNoForScope"},   {15, "RetNoHotUtil"},   {16, "RetNoLoop"},       {18, "RetNoPinch"},
        {19, "RetNoProcHX"},     {20, "RetNoScope"},     {21, "RetNoStrmData"},   {22, "RetNoUtilCost"},
        {23, "RetNoUtilData"},   {24, "RetNoUtilOptions"}, {25, "RetNoUtilScope"}, {26, "RetOptiFail"},
        {27, "RetOptiFrzFail"},  {28, "RetOk"},          {29, "RetRepipFail"},   {30, "RetRepipNotOpti"}, {31, "RetRepipOk"},
        {32, "RetResqFail"},     {33, "RetResqNotOpti"}, {34, "RetResqOk"},       {35, "RetFail"},
        {38, "RetTempRev"},      {39, "RetUtilOk"},      {40, "RetUtilFail"},     {41, "RetUtilNotOpti"},
        {43, "RetDesStrmUntied"},
    };
    if (const char* key = findKey(std::begin(kKeys), std::end(kKeys), result)) return key;
    return unlisted("retrofit", "RetFail", result);
}

Text HIDesignViewerDesign::OperationsKey(int result) {
    // 3: the network can be locked for operation.
    static constexpr CodeKey kKeys[] = {
        {1, "OpDesInfes"}, {2, "OpSplitInfes"}, {3, "RetOk"}, {11, "OpNoDes"}, {21, "OpNoStrmData"}, {42, "OpStrmPhysData"},
    };
    if (const char* key = findKey(std::begin(kKeys), std::end(kKeys), result)) return key;
    return unlisted("operations", "RetFail", result);
}

// A run that did what it was asked (an optimisation that improved the network, a retrofit step
// kept) tells so as a notice: an error beside it would answer the command as refused.
void HIDesignViewerDesign::ReportNetworkOptimisationResult(int result) {
    if (result == kNetworkOptimised) ResponseMsg(NetworkOptimisationKey(result), 1);
    else ErrorMsg(NetworkOptimisationKey(result));
}
// The retrofit's check of a design that has no exchanger (or of no design at all).
constexpr int kRetrofitNoDesign = 11;

void HIDesignViewerDesign::ReportRetrofitResult(int result) {
    if (RetrofitWentThrough(result)) ResponseMsg(RetrofitKey(result), 1);
    // A design with no exchanger gives a retrofit nothing to work on: the message names it.
    else if (result == kRetrofitNoDesign)
        ErrorMsg(RetrofitKey(result), FormattedText("the design %s has no exchanger", GetName().c_str()));
    else ErrorMsg(RetrofitKey(result));
}

bool HIDesignViewerDesign::RetrofitWentThrough(int result) {
    switch (result) {
        case 2: case 3: case 7: case 28: case 31: case 34: case 39: return true;
        default: return false;
    }
}
void HIDesignViewerDesign::ReportOperationsResult(int result) { ErrorMsg(OperationsKey(result)); }

// ---- what-if event kinds ----

const char* HIDesignViewerDesign::EventClassName(int kind) {
    static const char* const kNames[] = {"CleaningHENEvent",          "AdditionalAreaHENEvent",
                                         "AdditionalShellHENEvent",   "SplitflowmodificationEvent",
                                         "HeatExchangerRemovalEvent", "HeatExchangerFoulingEvent",
                                         "StreamFlowrateChangeEvent", "InletTemperatureChangeEvent"};
    return kind >= 0 && kind < 8 ? kNames[kind] : "StreamFlowrateChangeEvent";
}

const char* HIDesignViewerDesign::EventPromptKey(int kind) {
    static const char* const kKeys[] = {MessageKey("CleanExchanger"),
                                        MessageKey("AddAreaToExchanger"),
                                        MessageKey("SelectExchangerToAddShell"),
                                        MessageKey("SelectTeeToModifyFlowrate"),
                                        MessageKey("RemoveExchanger"),
                                        MessageKey("SelectExchangerToStudyFouling"),
                                        MessageKey("SelectStreamToModifyFlowrate"),
                                        MessageKey("SelectStreamToChangeInletTemperature")};
    return kind >= 0 && kind < 8 ? kKeys[kind] : MessageKey("ChangetoAnalyse");
}

// ---- change notices ----

void HIDesignViewerDesign::NotifyChange(int code, const CPString& text, void* data) {
    const Text first = text.c_str();
    // Only the exchanger notices carry a text in their data (the exchanger's name, or the old
    // name of a renamed one); the others carry objects.
    const bool named = code == 5 || code == 6 || code == 74;
    const Text second = named && data ? Text(static_cast<const char*>(data)) : Text();
    switch (code) {
        case 1:
            // The design is going away: so is its viewer. Nothing of this object is touched
            // after; the design's dispatch skips the receiver the destructor took out.
            delete this;
            return;
        case 2:
            SetName(first);
            return;
        case 5:
            AddDrivingForceCurve(second.empty() ? first : second);
            if (pBarChart) pBarChart->UpdatePlot();
            return;
        case 6:
            RemoveDrivingForceCurve(second.empty() ? first : second);
            if (pBarChart) pBarChart->UpdatePlot();
            return;
        case 74:
            // The new name in the text; the old one in the data.
            RenameDrivingForceCurve(second, first);
            if (pBarChart) pBarChart->UpdatePlot();
            // The event summary names each event after its unit.
            if (pEventSummaryView && pEventSummaryView->IsA(ScheduleTypeView::TypeName))
                static_cast<ScheduleTypeView*>(pEventSummaryView)->RenameEventItemsAfterTheirTargets();
            return;
        case 32:
            // A stream renamed: the old name in the text, the new one in the data.
            if (data && strSelectedStream == first) strSelectedStream = static_cast<const char*>(data);
            if (pEventSummaryView && pEventSummaryView->IsA(ScheduleTypeView::TypeName))
                static_cast<ScheduleTypeView*>(pEventSummaryView)->RenameEventItemsAfterTheirTargets();
            return;
        case 8:
        case 9:
        case 12:
            WhatIfNotice(code, text, data);
            return;
        case 60:
        case 61:
        case 62:
        case 64:
            ShowEngineNotice(code, first);
            return;
        case 100:
        case 112:
            // The trend-analysis view may go inside this call: nothing of it is touched after.
            WhatIfNotice(code, text, data);
            return;
        default:
            return;
    }
}

void HIDesignViewerDesign::ViewNotification(int kind, Viewable* from, const Text& form) {
    if (kind == 0 && (form == "DefaultView" || form == "TopRightView")) mainFormOpen = true;
    if (kind == 0 && form == "PaletteView2") return;
    if (kind == 1 && (form == "PaletteView" || form == "BottomView")) {
        const auto alive = LifeToken();
        SendViewableMessage(this, "CloseView PaletteView");
        if (alive.expired()) return;
    }
    if (kind == 2) {
        if (mainFormOpen) {
            mainFormOpen = false;
        } else if (bFlag434) {
            bFlag434 = 0;
            const auto alive = LifeToken();
            SendViewableMessage(this, "CloseView PaletteView");
            if (alive.expired()) return;
        }
    }
    Viewable::ViewNotification(kind, from, form);
}

bool HIDesignViewerDesign::GenMessage(MessageInfo& info) {
    if (info.code != 6) return Viewable::GenMessage(info);
    if (info.name == ":DrivingForcePlot") {
        info.answer = pDesign ? pDrivingForcePlot : nullptr;
    } else if (info.name == ":BarChartPlot") {
        info.answer = pDesign && pBarChart ? pBarChart->GetPlot() : nullptr;
    } else if (info.name == ":SelectedTargetPlot") {
        // The scenario viewer's target plots, counted from 1.
        HIDesignViewerScenario* owner = GetOwningScenarioViewer();
        const HenPlotList* plots = owner ? owner->GetHenPlotList() : nullptr;
        const chiPlot* plot = plots ? plots->GetIth(nSelectedTargetPlot - 1) : nullptr;
        info.answer = plot ? plot->GetPlot() : nullptr;
    } else {
        return Viewable::GenMessage(info);
    }
    return true;
}

// ---- enumerations and value kinds ----

VarEnumInfo* HIDesignViewerDesign::GetEnumInfo(const VariableNameInfo& name) {
    const VarDescription& var = name.Var();
    if (var.Type() != 105) return Viewable::GetEnumInfo(name);
    switch (var.Number()) {
        case 764: {
            if (!pScenario) break;
            if (!pStreamNameEnum) pStreamNameEnum = std::make_unique<VarEnumInfo>();
            pStreamNameEnum->DeleteEntries();
            const int n = pScenario->GetNumberOfProcessStreams() + pScenario->GetNumberOfUtilityStreams();
            for (int i = 0; i < n; ++i) {
                IHeatIntegrationStream* stream = nullptr;
                if (!pScenario->GetStream(i, stream) || !stream) continue;
                pCurrentStream = stream;
                pStreamNameEnum->AddEntry(i, stream->GetName().c_str());
            }
            if (strSelectedStream.empty() && pStreamNameEnum->NumberOfEntries() > 0)
                strSelectedStream = pStreamNameEnum->GetEntry(0)->text;
            return pStreamNameEnum.get();
        }
        case 240: {
            if (!pScenario) break;
            if (!pEnum240) pEnum240 = name.GetParsedEnumInfo();
            if (!pEnum240) break;
            if (pScenario->IsRetrofitScenario()) pEnum240->FindAndShowEntry(1);
            else pEnum240->FindAndHideEntry(1);
            return pEnum240.get();
        }
        case 550: {
            if (!pCrossPinchColumnEnum) pCrossPinchColumnEnum = std::make_unique<VarEnumInfo>();
            pCrossPinchColumnEnum->DeleteEntries();
            const UnitConversion unit = DefUnitConv(1);
            const int n = pDesign ? pDesign->GetNumberOfCrossPinchLoads() : 0;
            for (int i = 0; i < n; ++i)
                pCrossPinchColumnEnum->AddEntry(
                    i, FormattedText("%.2f %s / %.2f %s", calc_ounit(pDesign->GetPinchPoint(0, i), unit), unit.name.c_str(),
                                     calc_ounit(pDesign->GetPinchPoint(1, i), unit), unit.name.c_str()));
            return pCrossPinchColumnEnum.get();
        }
        case 991:
            return pPriorityEnum.get();
        default:
            break;
    }
    return Viewable::GetEnumInfo(name);
}

int HIDesignViewerDesign::GetEDVarType(const VarDescription& var) {
    if (const int written = WrittenKind(var.Type(), var.Number()); written != var.Type()) return written;
    if (var.Type() != 1519) {
        int type = 0;
        return Form().EDVarType(var, type) ? type : Viewable::GetEDVarType(var);
    }
    const int first = var.Offset(0) < 0 ? 0 : var.Offset(0);
    switch (var.Number()) {
        case 357: case 358: return pDesign ? pDesign->GetCurrentEventValueKind() : 32009;
        case 752: case 753: return first == 0 ? 6 : 1519;
        case 758: return first == 0 ? 1508 : 1519;
        case 759: case 760: case 761: case 763: return first == 0 ? 31001 : 1519;
        case 762: return first == 0 ? 31000 : 1519;
        case 786: return 1520;
        default: return 1519;
    }
}
