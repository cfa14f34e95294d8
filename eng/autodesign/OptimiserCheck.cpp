#include "eng/autodesign/OptimiserCheck.h"

#include "eng/design/IHENDesign.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "pellin/NodeKinds.h"

#include <algorithm>

namespace {
constexpr const char* kPortWords[4] = {"Hot inlet", "Hot outlet", "Cold inlet", "Cold outlet"};
}  // namespace

OptimiserCheck::OptimiserCheck(IHENDesign* design, const char* name) : m_design(design), m_message(AllOK) {
    if (name) {
        m_name = name;
        m_hasName = true;
    }
}

const char* OptimiserCheck::StatusText(int status) {
    switch (status) {
    case 0:
    case 8:
    case 9:
        return "Under-specified";
    case 2:
        return "Over-specified";
    case 3:
        return "Calculations OK";
    case 4:
    case 6:
        return "Failed to calculate";
    case 7:
        return "Partially calculated";
    default:
        return "";
    }
}

void OptimiserCheck::Check() {
    m_exchangers.clear();
    m_units.clear();
    m_infeasible.clear();
    m_untied.clear();
    m_temperatureSpecs.clear();
    m_portWords.clear();
    FlowSheet* sheet = m_design ? m_design->GetFlowSheet() : nullptr;
    if (sheet) {
        m_exchangers = sheet->getAllNodesOfType(NodeKind::HeatExchanger);
        for (CNode* x : sheet->getAllNodesOfType(NodeKind::CountercurrentHX)) m_exchangers.push_back(x);
    }
    m_canRun = true;
    m_severity = 0;
    m_message = AllOK;

    m_ok[DegreesOfFreedom] = true;
    m_messages[DegreesOfFreedom] = "Degrees of freedom are OK.";
    for (CNode* unit : m_exchangers) {
        m_units.push_back(unit);
        const HeatExch* x = AsHeatExch(unit);
        const int status = x ? x->getStatus() : 0;
        if (status == 0 || status == 2 || status == 4 || (status >= 6 && status <= 9)) m_ok[DegreesOfFreedom] = false;
    }
    if (!m_ok[DegreesOfFreedom])
        m_messages[DegreesOfFreedom] = "The optimizer cannot run if the network is not correctly specified and calculated.";

    m_ok[Feasibility] = true;
    m_messages[Feasibility] = "There are not infeasible heat exchangers.";
    if (m_design && !m_design->GetInfeasibleHeatExchangers().empty()) {
        for (CNode* unit : m_exchangers)
            if (const HeatExch* x = AsHeatExch(unit); x && !x->IsFeasible()) m_infeasible.push_back(unit);
        m_ok[Feasibility] = false;
        m_messages[Feasibility] = "The optimizer cannot run if there are infeasible heat exchangers in the network.";
    }

    m_ok[UntiedStreams] = true;
    m_messages[UntiedStreams] = "There are not untied streams";
    for (CNode* unit : m_exchangers) {
        m_untied.push_back(unit);
        for (int port = 0; port < 4; ++port)
            if (m_design && !m_design->IsPortFreeOfUtility(unit, port)) m_ok[UntiedStreams] = false;
    }
    if (!m_ok[UntiedStreams])
        m_messages[UntiedStreams] =
            "Untied streams will be kept untied during the optimization. Please make sure you want to proceed.";

    CheckTemperatureSpecs();

    const bool anyVariable = m_design && (m_design->GetOptimizeExchangerDuties() || m_design->GetOptimizeSplitFractions());
    m_ok[Options] = anyVariable;
    m_messages[Options] = anyVariable ? "Optimizations options are OK." : "You must select at least one optimization variable.";

    if (!m_ok[UntiedStreams] || !m_ok[TemperatureSpecs]) {
        m_canRun = true;
        m_severity = 1;
        m_message = Warning;
    }
    if (!m_ok[DegreesOfFreedom] || !m_ok[Feasibility] || !m_ok[Options]) {
        m_canRun = false;
        m_severity = 2;
        m_message = Fatal;
    }
}

void OptimiserCheck::CheckTemperatureSpecs() {
    m_ok[TemperatureSpecs] = true;
    m_messages[TemperatureSpecs] = "There are not specified temperatures.";
    for (CNode* unit : m_exchangers) {
        HeatExch* x = AsHeatExch(unit);
        if (!x) continue;
        for (int port = 0; port < 4; ++port) {
            const int side = port / 2;
            const bool inlet = port % 2 == 0;
            CNode* segment = inlet ? x->getInlet(side) : x->getOutlet(side);
            if (!segment || !segment->hasVariable(NodeValue::Temperature) ||
                segment->getVariableStatus(NodeValue::Temperature) != ValueStatus::Specified)
                continue;
            // A stream's own supply or target is no specification inside the network.
            CNode* beyond = inlet ? segment->getIthUpStreamNode(0) : segment->getIthDownStreamNode(0);
            if (beyond && beyond->getClassName() == (inlet ? NodeKind::FeedBlock : NodeKind::ProductBlock)) continue;
            m_temperatureSpecs.push_back(unit);
            m_portWords.emplace_back(kPortWords[port]);
        }
    }
    if (!m_temperatureSpecs.empty()) {
        m_ok[TemperatureSpecs] = false;
        m_messages[TemperatureSpecs] = "Temperature specifications will be used during the optimization, reducing the "
                                       "scope for improvements. Make sure you want to proceed.";
    }
}

bool OptimiserCheck::IsPartOK(int part) const { return part >= 0 && part < PartCount ? m_ok[part] : true; }

const char* OptimiserCheck::GetPartMessage(int part) const {
    return part >= 0 && part < PartCount ? m_messages[part].c_str() : "";
}

const std::vector<CNode*>* OptimiserCheck::PartList(int part) const {
    switch (part) {
    case DegreesOfFreedom:
        return &m_units;
    case Feasibility:
        return &m_infeasible;
    case UntiedStreams:
        return &m_untied;
    case TemperatureSpecs:
        return &m_temperatureSpecs;
    default:
        return nullptr;
    }
}

int OptimiserCheck::GetNumberOfPartUnits(int part) const {
    const std::vector<CNode*>* list = PartList(part);
    return list ? static_cast<int>(list->size()) : 0;
}

// An index beyond the end answers the last entry.
CNode* OptimiserCheck::GetPartUnit(int part, int index) const {
    const std::vector<CNode*>* list = PartList(part);
    if (!list || list->empty() || index < 0) return nullptr;
    return (*list)[std::min<std::size_t>(static_cast<std::size_t>(index), list->size() - 1)];
}

const char* OptimiserCheck::GetTemperaturePortWord(int index) const {
    if (m_portWords.empty() || index < 0) return "";
    return m_portWords[std::min<std::size_t>(static_cast<std::size_t>(index), m_portWords.size() - 1)].c_str();
}

const char* OptimiserCheck::GetUnitStatusText(int index) const {
    if (index < 0 || index >= static_cast<int>(m_units.size())) return "";
    const HeatExch* x = AsHeatExch(m_units[static_cast<std::size_t>(index)]);
    return x ? StatusText(x->getStatus()) : "";
}
