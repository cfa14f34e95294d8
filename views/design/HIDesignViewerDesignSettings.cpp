// The writes of the design forms that change a setting rather than an exchanger value: the
// viewer's own integers and options, the design's optimiser and analysis switches, its
// design-wide minimum approach and shell area, the current what-if event, and the scenario's
// utility assignment. Integers take the value truncated toward zero; the empty value (a cleared
// cell) leaves a setting as it is.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/MessageKey.h"
#include "views/design/EventPlans.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"

#include <cstdint>
#include <initializer_list>

namespace {

using V = HIDesignViewerDesign;
constexpr int kFlowsheetChanged = 17;
constexpr double kEmpty = Viewable::EmptyValue;

// A viewer integer the forms only store.
struct IntegerSetting {
    int type, number;
    std::int32_t V::*field;
};

const IntegerSetting kIntegers[] = {
    {100, 202, &V::nOptimizationMode}, {100, 210, &V::nSetting210},  {100, 211, &V::nSetting211},
    {100, 212, &V::nSetting212},       {100, 216, &V::nSetting216},  {100, 217, &V::nRetrofitOption},
    {100, 412, &V::nSetting412},       {100, 413, &V::nStreamListMode}, {100, 414, &V::nExchangerListMode},
    {100, 707, &V::nSetting707},       {100, 415, &V::nCurrentExchangerRow}, {100, 417, &V::nCurrentStreamRow},
    {100, 715, &V::nSelectedRowB},     {100, 713, &V::nSelectedRowA},
};

bool asInteger(double value, std::int32_t& out) {
    if (value == kEmpty || !(value > -2.0e9 && value < 2.0e9)) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

// The design-wide writes that the forms hand on without a check.
enum class DesignCall : std::uint8_t {
    IgnoreInfeasible, LoopAnalysis, OptimiseDuties, OptimiseSplits, OptimiserOption
};
struct DesignSwitch {
    int number;
    DesignCall call;
};
const DesignSwitch kDesignSwitches[] = {
    {209, DesignCall::IgnoreInfeasible}, {229, DesignCall::LoopAnalysis}, {982, DesignCall::OptimiseDuties},
    {983, DesignCall::OptimiseSplits},   {992, DesignCall::OptimiserOption},
};

}  // namespace

void HIDesignViewerDesign::AddSettingAddresses(std::vector<WriteAddress>& out) {
    for (const IntegerSetting& s : kIntegers) out.push_back({s.type, s.number, 0});
    for (const DesignSwitch& s : kDesignSwitches) out.push_back({104, s.number, 0});
    for (const WriteAddress& a : std::initializer_list<WriteAddress>{
             {100, 100, 0}, {31000, 980, 0, "SpecRange"},
             {1519, 358, 0,
              "HTCoeffUpdateError AreaInputError ShellsInputError CannotAcceptThisPercentValue FlowRateUpdateError "
              "TemperatureUpdateError NoScheduleEventSelected"},
             // The what-if event kinds (EventPromptKey) and the streams offered by name.
             {1519, 587, 0, "", CellDomain::Entries(8)}, {1517, 607, 0}, {1508, 304, 0},
             {105, 764, 0, "", CellDomain::EntriesOf(&V::StreamChoiceCount)}, {105, 991, 1}, {104, 206, 0}, {104, 219, 0},
             {104, 410, 0}, {104, 913, 1}, {104, 952, 1}})
        out.push_back(a);
}

int HIDesignViewerDesign::StreamChoiceCount(Viewable& view, const VarDescription&) {
    const IHeatIntegrationScenario* s = static_cast<V&>(view).pScenario;
    return s ? s->GetNumberOfProcessStreams() + s->GetNumberOfUtilityStreams() : 0;
}

int HIDesignViewerDesign::SpecifySetting(const VarDescription& var, double value) {
    const int t = var.Type(), n = var.Number(), row = var.Offset(0);
    for (const IntegerSetting& s : kIntegers)
        if (s.type == t && s.number == n) {
            std::int32_t v = 0;
            if (!asInteger(value, v)) return 0;
            this->*s.field = v;
            return 1;
        }
    IHENDesign& d = *pDesign;
    if (t == 100 && n == 100) {
        // The switch shows the first assignment method when it is off.
        if (pScenario) pScenario->SetUtilityAssignmentMethod(value == 0.0 ? 1 : 0);
        nCrossPinchSortColumn = 0;
        if (CountFilteredExchangers() > 0) BuildCrossPinchList(nCrossPinchSortColumn);
        if (pGridDiagram) {
            SendViewableMessage(pGridDiagram, "ShowPinch");
            SendViewableMessage(pGridDiagram, "ShowPinch");
        }
        return 1;
    }
    if (t == 31000 && n == 980) {
        if (!pScenario || value == kEmpty) return 0;
        // The budget is the most a retrofit step may spend: no step can spend less than nothing.
        if (!(value >= 0.0)) {
            ErrorMsg(MessageKey("SpecRange"));
            return 0;
        }
        pScenario->SetOptimizerEconomicParameter(value);
        return 1;
    }
    if (t == 1519 && n == 358) {
        if (value == kEmpty) return 0;
        // The value is the selected event's: without one it would go nowhere.
        if (!d.GetCurrentEventName()) {
            ErrorMsg("NoScheduleEventSelected");
            return 0;
        }
        if (const char* refused = d.GetCurrentEventValueRefusal(value)) {
            event_tasks::ShowValueRefusal(refused, d.GetCurrentEventVariableName(), value, &d, d.GetCurrentEventName());
            return 0;
        }
        d.SetCurrentEventNewValue(value);
        SendViewableMessage(this, "CloseView ModifyEventToScheduleView", 0);
        return 1;
    }
    if (t == 1519 && n == 587) {
        std::int32_t kind = 0;
        if (!asInteger(value, kind)) return 0;
        nEventKind = kind;
        UserStatusReport(FindString(EventPromptKey(kind)), 2);
        SendViewableMessage(this, "BuildTextList");
        return 1;
    }
    // A cleared design-wide minimum approach or shell area would be spread over every
    // exchanger as the empty value itself: it is ignored. A value taken is, on every exchanger,
    // an exchanger change like any other: the network is judged and sized again with it.
    if (t == 1517 && n == 607) {
        if (value == kEmpty) return 0;
        d.SetDTMin(value);
        d.ApplyDTMinToAllExchangers();
        d.ProcessChange(kFlowsheetChanged, CPString(), nullptr);
        return 1;
    }
    if (t == 1508 && n == 304) {
        if (value == kEmpty) return 0;
        d.SetHTMaxAreaShell(value);
        d.ApplyHTMaxAreaShellToAllExchangers();
        d.ProcessChange(kFlowsheetChanged, CPString(), nullptr);
        return 1;
    }
    if (t == 105 && n == 764) {
        std::int32_t entry = 0;
        if (!asInteger(value, entry)) return 0;
        const VarEnumInfo::Entry* e =
            pStreamNameEnum ? pStreamNameEnum->GetEntry(pStreamNameEnum->FindEntry(double(entry))) : nullptr;
        strSelectedStream = e ? e->text : Text();
        return 1;
    }
    if (t == 105 && n == 991) {
        std::int32_t kind = 0;
        if (!asInteger(value, kind) || kind < 0) return 0;
        return d.SetControlUnitKind(row, static_cast<unsigned int>(kind)) ? 1 : 0;
    }
    if (t != 104) return -1;
    for (const DesignSwitch& s : kDesignSwitches)
        if (s.number == n) {
            if (value == kEmpty) return 0;
            const bool on = value != 0.0;
            switch (s.call) {
                case DesignCall::IgnoreInfeasible: d.SetIgnoreInfeasibleExchangers(on); break;
                case DesignCall::LoopAnalysis: d.SetLoopAnalysisEnabled(on); break;
                case DesignCall::OptimiseDuties: d.SetOptimizeExchangerDuties(on); break;
                case DesignCall::OptimiseSplits: d.SetOptimizeSplitFractions(on); break;
                case DesignCall::OptimiserOption: d.SetOptimizerOptionFlag(on); break;
            }
            return 1;
        }
    switch (n) {
        case 206:
            if (value == kEmpty) return 0;
            bOption206 = value != 0.0 ? 1 : 0;
            return 1;
        case 219:
            if (value == 0.0) nSetting201 = 1;
            else if (value == 1.0) nSetting201 = 2;
            return 1;
        case 410:
            SetPinchDiagram(!(pGridDiagram && GetPinchDiagram()));
            return 1;
        case 913: {
            if (value == kEmpty) return 0;
            // The row names a stream of the analysis; the design takes the stream itself. A
            // look-up over the design's streams: a form writes one row at a time.
            const char* name = d.GetAnalysisStreamName(row);
            if (!name) return 0;
            for (int i = 0; i < d.GetNumberOfStreams(); ++i)
                if (IHeatIntegrationStream* s = d.GetStream(i); s && s->GetName() == name)
                    return d.SetAnalysisStreamFlag(s, value != 0.0) ? 1 : 0;
            return 0;
        }
        case 952:
            if (value == kEmpty) return 0;
            return d.SetControlUnitSelected(row, value != 0.0) ? 1 : 0;
        default: return -1;
    }
}
