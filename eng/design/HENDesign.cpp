// The design object: construction with its defaults, identity, copying, change handling, the
// existing-network values of a retrofit study.
#include "eng/design/HENDesign.h"
#include "eng/design/HENCalculator.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/HENTrend.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/ControllabilityCheck.h"
#include "eng/design/NetworkStructureAnalysis.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/ExchangerCostLaw.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "tevrin/CPList.h"

#include <cmath>

namespace {
constexpr int kEconomicConfiguration = 5;

bool isRecalculationCode(int code) { return code == 17 || code == 18 || code == 36 || code == 41 || code == 98; }
// A stream's film coefficient, fouling or another transport property changed.
constexpr int kCodeStreamTransport = 18;
// Asks for the temperature-enthalpy profile of the unit handed as the change's data.
constexpr int kCodeUnitProfile = 121;
}  // namespace

CPIHENDesign::CPIHENDesign(IHeatIntegrationScenario* scenario, const CPString& name)
    : m_scenario(scenario),
      m_costLaw(std::make_unique<ScenarioExchangerCostLaw>(scenario)),
      m_sheet(std::make_unique<FlowSheet>(this)),
      m_name(name),
      m_hasName(!name.empty()),
      m_analysis(std::make_unique<NetworkStructureAnalysis>(this)),
      m_control(std::make_unique<ControllabilityCheck>(m_analysis.get())) {
    m_sheet->SetCostLaw(m_costLaw.get());
    m_analysis->SetName(name);
    m_existingNetwork = scenario && scenario->IsRetrofitScenario();
}

CPIHENDesign::~CPIHENDesign() {
    m_calculator.reset();
    m_journal.reset();
    m_exchangers.clear();
    m_unitsByStream.clear();
    m_streams.clear();
    m_streamSet.clear();
    m_sheet.reset();
    SendAMessage(CodeDestroyed, CPString(), this);
}

void CPIHENDesign::SetDesignName(const CPString& name) {
    m_name = name;
    m_hasName = true;
    m_analysis->SetName(name);
    SendAMessage(2, name, this);
}

bool CPIHENDesign::QueryInterface(const CPString& className, void** out) {
    if (!out) return false;
    if (className == "Hen_Design_Class") {
        *out = static_cast<IHENDesign*>(this);
        return true;
    }
    if (className == "Flowsheet_Owner_Class") {
        *out = static_cast<FSOwner*>(this);
        return true;
    }
    return false;
}

int CPIHENDesign::CopyTo(IHENDesign& targetDesign) const {
    auto* target = dynamic_cast<CPIHENDesign*>(&targetDesign);
    if (!target || target == this) return CopyNotPossible;
    // The copy's stream pieces belong to the target's scenario: each takes the stream of its name
    // there, so the copy never reaches back into the source's scenario (which may go first).
    std::unique_ptr<FlowSheet> sheet = m_sheet->clone(target);
    if (IHeatIntegrationScenario* to = target->m_scenario) {
        CPString missing;
        if (!sheet->RebindStreams(
                [to](const CPString& name) -> IFlowsheetStream* {
                    IHeatIntegrationStream* stream = nullptr;
                    return to->GetStream(name, stream) ? stream : nullptr;
                },
                &missing))
            return CopyStreamMissing;
    }
    const AnalysisStreamFlags flags = m_analysis->CaptureFlags();
    const ControllabilityCheck::Selections selections = m_control->CaptureSelections();
    target->m_journal.reset();
    target->m_calculator.reset();
    target->m_sheet = std::move(sheet);
    target->m_sheet->SetCostLaw(target->m_costLaw.get());
    target->m_totalCapitalCost = m_totalCapitalCost;
    target->m_nesting = m_nesting;
    target->m_exchangers.clear();
    for (CNode* node : target->m_sheet->getAllNodes())
        if (node->isExchangerKind()) target->m_exchangers.push_back(node);
    target->m_utilityLoads.clear();
    for (const auto& [name, load] : m_utilityLoads) {
        IHeatIntegrationStream* utility = nullptr;
        if (m_scenario && m_scenario->GetStream(CPString(name), utility) && utility && utility->GetStreamKind() == 1)
            target->m_utilityLoads[name] = load;
    }
    target->m_exchangerNames.SetNumber(m_exchangerNames.GetNumber());
    target->m_teeNames.SetNumber(m_teeNames.GetNumber());
    target->m_mixerNames.SetNumber(m_mixerNames.GetNumber());
    target->RebuildStreamIndex();
    target->RestoreStreamSettings(flags, selections);
    target->m_notes = m_notes;
    target->RunStructureAnalysis();
    target->m_optimiserOptions[0] = m_optimiserOptions[0];
    target->m_optimiserOptions[1] = m_optimiserOptions[1];
    if (m_scenario) target->SetPinchPoints(m_scenario->GetProcessPinchPointList());
    target->m_htMaxAreaShell = m_htMaxAreaShell;
    target->m_dtMin = m_dtMin;
    target->ProcessChange(20, CPString(), nullptr);
    target->m_textB = m_textB;
    target->m_textC = m_textC;
    if (m_existingNetwork) target->m_existingNetwork = true;
    if (m_scenario != target->m_scenario) target->m_existingNetworkLocked = m_existingNetworkLocked;
    return CopyDone;
}

void CPIHENDesign::RestoreStreamSettings(const AnalysisStreamFlags& flags,
                                         const ControllabilityCheck::Selections& selections) {
    m_analysis->ApplyFlags(flags);
    m_control->ApplySelections(selections, m_streams);
}

void CPIHENDesign::AddToChangeLog(const CPString& text) {
    m_changeLog += text;
    m_changeLog += ";\n";
}

void CPIHENDesign::LogRename(const CPString& oldName, const CPString& newName) {
    AddToChangeLog("Renamed Exchanger No " + oldName + " to " + newName);
}

void CPIHENDesign::RaiseNodeNameCounter(int by) {
    m_exchangerNames.SetNumber(m_exchangerNames.GetNumber() + by);
    m_teeNames.SetNumber(m_teeNames.GetNumber() + by);
    m_mixerNames.SetNumber(m_mixerNames.GetNumber() + by);
}

// ---------------------------------------------------------------- change handling

int CPIHENDesign::Activate(int notify) {
    m_active = true;
    if (notify) ProcessChange(CodeRecalculate, CPString(), nullptr);
    return 1;
}

int CPIHENDesign::Deactivate() {
    m_active = false;
    return 1;
}

void CPIHENDesign::ProcessChange(int code, const CPString& text, void* data) {
    if ((code == 36 || code == 41) && m_scenario) {
        IHeatIntegrationStream* stream = nullptr;
        if (m_scenario->GetStream(text, stream) && stream) SetStreamEndTemperatures(stream);
    }
    if (code == kCodeUnitProfile) {
        // The profile of a heater or cooler is read with its utility at this design's load of it,
        // as its area is sized, not at the load the targets put on it (none, for a utility the
        // targets leave out).
        auto* unit = static_cast<CNode*>(data);
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger || !Owns(unit) || m_busy) return;
        const bool swap = m_usedUtilities.empty() && !m_exchangers.empty();
        if (swap) SwapInUtilityLoads(false);
        exchanger->RefreshTHProfile();
        if (swap) SwapOutUtilityLoads();
        return;
    }
    if (!m_active || m_busy || code == 23) return;
    if (isRecalculationCode(code)) {
        // A film coefficient (or another transport property) of a stream, or an observed
        // coefficient or fouling of a unit, typed over a what-if's solution is the plant's all the
        // same, as if typed before the lock: the default state takes it, and the units go back to
        // the default point and solve it.
        if (m_operationLocked && m_operatingSolution && (code == kCodeStreamTransport || code == CodeFlowsheetChanged)) {
            const HENState before(DefaultState());
            if (code == CodeFlowsheetChanged) TakeTypedUnitValues();
            MarkOperatingResultsStale(&before);
            ResetDefaultState();
            return;
        }
        if (m_operationLocked) {
            RecalculateLockedOperation();
            // A solved network that misses a target or runs a unit backwards has not converged to
            // an operating point. (A fit of the coefficients recalculates without this verdict: it
            // judges the temperatures it reaches, whatever the targets.)
            if (m_calculationStatus.empty() && !OperatingPointHolds()) m_calculationStatus = "NotConverged";
            // A value typed into the locked network itself (a size after ModifyOperation, an
            // observed coefficient), not a what-if's run, is its operating point from now on: the
            // schedules, the studies and the reset start from it.
            if (code == CodeFlowsheetChanged && !m_operatingSolution) TakeOperatingState();
            // So is a film coefficient: the heaters' and coolers' coefficients and areas follow
            // it, which no input of the default state shows, so the results are marked stale here.
            if (code == kCodeStreamTransport && !m_operatingSolution) {
                const HENState before(DefaultState());
                TakeOperatingState(true);
                MarkOperatingResultsStale(&before);
            }
        } else {
            Recalculate(code);
        }
        RefreshRetrofitFigures();
        RunStructureAnalysis();
        if (m_existingNetworkLocked) SendAMessage(CodeLockedBaseRecalculated, CPString(), this);
        SendAMessage(CodeUpToDate, CPString(), this);
    } else if (code == 4 || code == 19) {
        // The exchangers on utilities are priced with the utility carrying this design's load.
        if (!m_exchangers.empty()) SwapInUtilityLoads(false);
        for (CNode* exchanger : m_exchangers) {
            CPString model;
            if (m_scenario && exchanger->getVariableAsString(NodeValue::CostModelName, model))
                exchanger->addVariable("HeatExchangerConfiguration",
                                       m_scenario->GetEconomicData(kEconomicConfiguration, model.c_str()),
                                       ValueStatus::Specified);
            exchanger->Calculate(code);
        }
        if (!m_exchangers.empty()) SwapOutUtilityLoads();
        UpdateUtilityLoads();
        // A price is the plant's too: the default state is costed at it (over a what-if's
        // solution, once the units are back at the default point), and results costed at the
        // old price are stale.
        if (m_operationLocked) {
            if (m_operatingSolution) {
                MarkOperatingResultsStale();
                ResetDefaultState();
            } else {
                TakeOperatingState();
            }
        }
        RefreshRetrofitFigures();
        SendAMessage(CodeUpToDate, CPString(), this);
    } else if (code == 20 || code == 35) {
        CalculateCrossPinchLoads();
        SendAMessage(CodeUpToDate, CPString(), this);
    }
}

void CPIHENDesign::SetPinchPoints(CPList* pinchPoints) {
    if (!m_firstPinch) m_firstPinch = std::make_unique<std::vector<double>>();
    if (!m_secondPinch) m_secondPinch = std::make_unique<std::vector<double>>();
    m_firstPinch->clear();
    m_secondPinch->clear();
    // A problem without a process pinch (a threshold problem) has no pinch to count loads across.
    if (!pinchPoints) return;
    // Each entry begins with its two pinch values.
    for (std::size_t i = 0; i < pinchPoints->Length(); ++i) {
        const auto* values = static_cast<const double*>(pinchPoints->GetAt(i));
        if (!values) continue;
        m_firstPinch->push_back(values[0]);
        m_secondPinch->push_back(values[1]);
    }
}

void CPIHENDesign::CalculateCrossPinchLoads() {
    if (m_exchangers.empty() || !m_firstPinch || !m_secondPinch) {
        m_crossPinchLoads.clear();
        return;
    }
    // The utilities carry this design's loads while the units are read, so a heater or cooler
    // sees its utility's profile even when the utility's own load is 0; one on the far side of
    // a pinch stays a utility, and its unit keeps counting as a heater or cooler.
    SwapInUtilityLoads(true);
    // The streams stay as they are while the units are read: each stream's heat content is read
    // once, not once per exchanger on it.
    const bool hold = !m_sheet->HoldsStreamProfiles();
    if (hold) m_sheet->HoldStreamProfiles();
    m_crossPinchLoads.assign(m_secondPinch->size(), 0.0);
    for (CNode* node : m_exchangers) {
        HeatExch* exchanger = AsHeatExch(node);
        if (!exchanger) continue;
        exchanger->CalculateCrossPinchHeatLoads(*m_firstPinch, *m_secondPinch);
        for (std::size_t j = 0; j < m_firstPinch->size() && j < m_crossPinchLoads.size(); ++j) {
            double load = 0.0;
            if (exchanger->getIndexedVariable(NodeValue::CrossPinchLoads, static_cast<int>(j), load))
                m_crossPinchLoads[j] += load;
        }
    }
    if (hold) m_sheet->ReleaseStreamProfiles();
    SwapOutUtilityLoads();
}

void CPIHENDesign::AssignExchangerCostModels() {
    for (CNode* exchanger : m_exchangers) AssignExchangerCostModel(exchanger);
}

void CPIHENDesign::AssignExchangerCostModel(CNode* node) {
    HeatExch* exchanger = AsHeatExch(node);
    if (!exchanger || !m_scenario) return;
    CPString hot, cold;
    StreamNode* hotSide = exchanger->getInlet(0) ? exchanger->getInlet(0) : exchanger->getOutlet(0);
    StreamNode* coldSide = exchanger->getInlet(1) ? exchanger->getInlet(1) : exchanger->getOutlet(1);
    if (!hotSide || !coldSide || !hotSide->getVariableAsString(NodeValue::ParentStream, hot) ||
        !coldSide->getVariableAsString(NodeValue::ParentStream, cold))
        return;
    const char* model = m_scenario->GetMatchCostModelName(hot, cold);
    const CPString name = model && *model ? model : "DEFAULT";
    exchanger->addVariable(NodeValue::CostModelName, name, ValueStatus::Specified);
    exchanger->addVariable("HeatExchangerConfiguration", m_scenario->GetEconomicData(kEconomicConfiguration, name.c_str()),
                           ValueStatus::Specified);
}

// ---------------------------------------------------------------- existing network

bool CPIHENDesign::PrepareExchangersAsRetrofitBase(double maxNewArea) {
    bool consistent = true;
    for (CNode* node : m_exchangers) {
        node->addVariable("MaxNewArea", maxNewArea, ValueStatus::Specified);
        HeatExch* exchanger = AsHeatExch(node);
        consistent = consistent && exchanger && exchanger->getInlet(0) && exchanger->getInlet(1);
    }
    return consistent;
}

void CPIHENDesign::RefreshExistingNetworkValues() {
    for (CNode* node : m_exchangers) {
        double area = 0.0, shells = 0.0;
        if (node->getVariableAsDouble(NodeValue::HTArea, area)) node->addVariable("ExArea", area, ValueStatus::Specified);
        if (node->getVariableAsDouble(NodeValue::TotalNShells, shells))
            node->addVariable("ExShell", shells, ValueStatus::Specified);
    }
}

void CPIHENDesign::TakeExistingNetworkValuesFrom(const IHENDesign& base) {
    for (CNode* node : m_exchangers) {
        node->addVariable("ExArea", 0.0, ValueStatus::Open);
        node->addVariable("ExShell", 0.0, ValueStatus::Open);
    }
    CNode* unit = nullptr;
    for (int i = 0; base.GetHeatExchanger(i, unit); ++i) {
        double area = 0.0, shells = 0.0;
        if (!unit->getVariableAsDouble(NodeValue::HTArea, area) ||
            !unit->getVariableAsDouble(NodeValue::TotalNShells, shells))
            return;
        CNode* own = m_sheet->getNodeByFingerPrint(unit->getDNAFingerPrint());
        if (!own || !own->IsOfType(NodeKind::CountercurrentHX)) continue;
        const int areaStatus = unit->getVariableStatus(NodeValue::HTArea) ? ValueStatus::Specified : ValueStatus::Open;
        const int shellStatus =
            unit->getVariableStatus(NodeValue::TotalNShells) ? ValueStatus::Specified : ValueStatus::Open;
        own->addVariable("ExArea", area, areaStatus);
        own->addVariable("ExShell", shells, shellStatus);
        own->Calculate(42);
    }
}

// ---------------------------------------------------------------- node reads by name

bool CPIHENDesign::GetUpstreamNodeName(const CPString& nodeName, CPString& out) const {
    CNode* node = m_sheet->getNode(nodeName);
    CNode* up = node ? node->getIthUpStreamNode(0) : nullptr;
    if (!up) return false;
    out = up->getName();
    return true;
}

bool CPIHENDesign::GetDownstreamNodeName(const CPString& nodeName, CPString& out) const {
    CNode* node = m_sheet->getNode(nodeName);
    CNode* down = node ? node->getIthDownStreamNode(0) : nullptr;
    if (!down) return false;
    out = down->getName();
    return true;
}

CPString CPIHENDesign::GetNodeClassName(const CPString& nodeName) const {
    CNode* node = m_sheet->getNode(nodeName);
    return node ? node->getClassName() : CPString();
}

bool CPIHENDesign::GetNodeValue(const CPString& nodeName, const CPString& valueName, double& out) const {
    CNode* node = m_sheet->getNode(nodeName);
    return node && node->getVariableAsDouble(valueName, out);
}

int CPIHENDesign::GetNodeValueStatus(const CPString& nodeName, const CPString& valueName) const {
    CNode* node = m_sheet->getNode(nodeName);
    return node ? node->getVariableStatus(valueName) : ValueStatus::Open;
}

CPString CPIHENDesign::GetUnitName(const CPString& nodeName) const {
    CNode* node = m_sheet->getNode(nodeName);
    CPString name;
    return node && node->getVariableAsString(NodeValue::UnitOperationName, name) ? name : CPString();
}

// Walks the chain from the feed block: linear in the stream's units, which a table-driven build
// asks once per exchanger side.
CNode* CPIHENDesign::GetStreamSegment(const CPString& streamName, int n) const {
    CNode* node = StreamBlock(streamName, "Start");
    CNode* previous = nullptr;
    const int limit = m_sheet ? GetNumberOfNodes() + 1 : 0;
    int unitsPassed = 0;
    for (int guard = 0; node && n >= 0 && guard < limit; ++guard) {
        if (node->getClassName() == NodeKind::MaterialStream && unitsPassed == n) return node;
        if (node->getClassName() == NodeKind::ProductBlock) return nullptr;
        // Utility placeholders are no units: a place counts exchangers, splitters and mixers.
        if (chain::IsExchanger(node) || chain::IsTee(node) || chain::IsMixer(node)) ++unitsPassed;
        CNode* next = nullptr;
        if (auto* x = AsHeatExch(node)) next = x->getIthDownStreamNode(x->upStreamSlotOf(previous));
        else next = node->getIthDownStreamNode(0);
        previous = node;
        node = next;
    }
    return nullptr;
}

bool CPIHENDesign::GetExchangerPortTemperature(CNode* unit, int port, double& out) const {
    const char* portName = ExchangerPort::Name(port);
    if (!unit || !portName || m_sheet->getNode(unit->getName()) != unit || !unit->isExchangerKind()) return false;
    CPString pieceName;
    if (!unit->getVariableAsString(portName, pieceName)) return false;
    CNode* piece = m_sheet->getNode(pieceName);
    return piece && piece->getVariableAsDouble(NodeValue::Temperature, out) && std::isfinite(out);
}

bool CPIHENDesign::SpecifyExchangerValue(CNode* unit, const CPString& valueName, double value) {
    if (!unit || !std::isfinite(value) || m_sheet->getNode(unit->getName()) != unit || !unit->isExchangerKind())
        return false;
    if (valueName == NodeValue::HXType) {
        if (value != 0.0 && value != 1.0) return false;
        unit->addVariable(NodeValue::HXType, value, ValueStatus::Specified);
        return true;
    }
    if (valueName == NodeValue::NShellsInSeries) {
        // Whole shells in series, of a shell-and-tube unit only.
        double type = 0.0;
        if (value < 1.0 || value != std::floor(value) || !unit->getVariableAsDouble(NodeValue::HXType, type) ||
            type != 1.0)
            return false;
        unit->addVariable(NodeValue::NShellsInSeries, value, ValueStatus::Specified);
        return true;
    }
    if (valueName != NodeValue::Duty && valueName != NodeValue::HTArea) return false;
    if (valueName == NodeValue::HTArea) unit->addVariable(NodeValue::HTArea, CPValue::Empty, ValueStatus::Open);
    unit->addVariable(valueName, value, ValueStatus::Specified);
    return true;
}
