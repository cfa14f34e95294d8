// Handing the design to the network optimiser: the optimiser's pre-run check, a run on the
// design's own variables, the reconciliation of a locked design with measured temperatures, and
// the small dummy utilities an extracted network gets beside exchangers that keep utilities at
// their ports. Without an optimiser (no provider, or one that makes none) a run answers
// `OptimiserNotAvailable` and the design is left exactly as it was.
#include "eng/design/HENDesign.h"

#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"

#include <algorithm>
#include <unordered_set>

using namespace chain;

namespace {
constexpr int kReconciliationMode = 7;
constexpr double kSmallestCoefficient = 0.001;
constexpr double kLargestDummyDuty = 5.0;
constexpr double kDummyShare = 0.005;
constexpr const char* kReconciling = "ReconciliationOn";
constexpr const char* kOffLine = "ExchangerIsOffLine";
constexpr const char* kExtractionReason = "by data extraction module";

double valueOf(const CNode* node, const char* name) {
    double v = 0.0;
    return node && node->getVariableAsDouble(name, v) ? v : 0.0;
}

// Written open first and then with its value: the network recalculates around a value it keeps.
void respecify(CNode* node, const char* name, double value, int status = ValueStatus::Specified) {
    node->addVariable(name, 0.0, ValueStatus::Open);
    node->addVariable(name, value, status);
}
}  // namespace

void CPIHENDesign::RunOptimizerCheck() {
    if (!m_optimiserProvider) {
        m_optimiserCheck.reset();
        return;
    }
    if (!m_optimiserCheck) m_optimiserCheck = m_optimiserProvider->MakeCheck(*this, GetDesignName());
    if (m_optimiserCheck) m_optimiserCheck->Check();
}

int CPIHENDesign::RunOptimizer(int mode) {
    const bool duties = GetOptimizeExchangerDuties(), splits = GetOptimizeSplitFractions();
    if (!duties && !splits) return OptimiserUnchanged;
    std::unique_ptr<INetworkOptimiser> optimiser =
        m_optimiserProvider ? m_optimiserProvider->MakeOptimiser(*this, GetDesignName()) : nullptr;
    if (!optimiser) return OptimiserNotAvailable;
    optimiser->SetUseEquationBased(m_scenario && m_scenario->GetUseEquationBasedOptimization());
    const int result = optimiser->Run(mode, duties, splits);
    m_optimiserStatus = optimiser->GetStatusText();
    optimiser.reset();
    SendAMessage(CodeUpToDate, CPString(), this);
    return result;
}

bool CPIHENDesign::Reconcile() {
    if (!m_operationLocked) return true;
    std::unique_ptr<INetworkOptimiser> optimiser =
        m_optimiserProvider ? m_optimiserProvider->MakeOptimiser(*this, GetDesignName()) : nullptr;
    // Nothing can be fitted without the optimiser: the design stays as it is.
    if (!optimiser) return true;

    struct Kept {
        bool areaSpecified = false, hotSpecified = false, coldSpecified = false;
        double area = 0.0, duty = 0.0;
    };
    const std::vector<CNode*> exchangers = m_exchangers;
    std::vector<Kept> kept(exchangers.size());
    for (std::size_t i = 0; i < exchangers.size(); ++i) {
        CNode* unit = exchangers[i];
        HeatExch* x = AsHeatExch(unit);
        Kept& k = kept[i];
        unit->addVariable(kReconciling, 1.0, ValueStatus::Specified);
        k.areaSpecified = unit->getVariableStatus(NodeValue::HTArea) == ValueStatus::Specified;
        k.area = valueOf(unit, NodeValue::HTArea);
        k.duty = valueOf(unit, NodeValue::Duty);
        if (k.areaSpecified) {
            unit->addVariable(NodeValue::HTArea, k.area, ValueStatus::Calculated);
        } else if (x && !x->IsUtilityExch()) {
            for (int side = 0; side < 2; ++side) {
                CNode* outlet = x->getOutlet(side);
                if (!outlet || outlet->getVariableStatus(NodeValue::Temperature) != ValueStatus::Specified) continue;
                (side == 0 ? k.hotSpecified : k.coldSpecified) = true;
                outlet->addVariable(NodeValue::Temperature, valueOf(outlet, NodeValue::Temperature),
                                    ValueStatus::Calculated);
            }
        }
        respecify(unit, NodeValue::Duty, valueOf(unit, NodeValue::Duty));
    }
    optimiser->SetUseEquationBased(false);
    optimiser->Run(kReconciliationMode, true, true);
    SendAMessage(CodeUpToDate, CPString(), this);

    std::vector<IHeatIntegrationStream*> utilities;
    for (IHeatIntegrationStream* stream : m_streams)
        if (IsUtilityStream(stream)) utilities.push_back(stream);
    for (IHeatIntegrationStream* utility : utilities) utility->SetStreamKind(0, 0);

    for (std::size_t i = 0; i < exchangers.size(); ++i) {
        CNode* unit = exchangers[i];
        HeatExch* x = AsHeatExch(unit);
        const Kept& k = kept[i];
        unit->addVariable(kReconciling, 0.0, ValueStatus::Specified);
        double q = 0.0, d = 0.0;
        const bool fitted = optimiser->GetFittedValues(unit, q, d) && d != 0.0 && k.area != 0.0;
        const double coefficient = std::max(kSmallestCoefficient, fitted ? q / d / k.area : 0.0);
        const double duty = valueOf(unit, NodeValue::Duty);
        if (k.areaSpecified) {
            respecify(unit, NodeValue::HTArea, k.area);
            respecify(unit, NodeValue::Duty, duty, ValueStatus::Calculated);
            long offLine = 0;
            if (!(unit->getVariableAsInteger(kOffLine, offLine) && offLine == 1))
                unit->addVariable(NodeValue::ObservedHTC, coefficient, ValueStatus::Specified);
        } else if (x && x->IsUtilityExch()) {
            unit->addVariable(NodeValue::Duty, k.duty, ValueStatus::Calculated);
        } else if (x && (k.hotSpecified || k.coldSpecified)) {
            for (int side = 0; side < 2; ++side) {
                CNode* outlet = x->getOutlet(side);
                if (!outlet || !(side == 0 ? k.hotSpecified : k.coldSpecified)) continue;
                respecify(outlet, NodeValue::Temperature, valueOf(outlet, NodeValue::Temperature));
                unit->addVariable(NodeValue::Duty, duty, ValueStatus::Calculated);
            }
        } else {
            respecify(unit, NodeValue::Duty, duty);
        }
    }
    for (IHeatIntegrationStream* utility : utilities) utility->SetStreamKind(1, 0);

    // The end utilities of the streams on the cold side of utility exchangers take no duty of
    // their own.
    std::unordered_set<const IHeatIntegrationStream*> served;
    for (CNode* unit : m_exchangers)
        if (HeatExch* x = AsHeatExch(unit); x && x->IsUtilityExch() && unit->IsOfType(NodeKind::HeatExchanger))
            served.insert(StreamOf(x->getOutlet(1)));
    for (CNode* placeholder : m_sheet->getAllNodesOfType(NodeKind::Heater))
        if (served.count(StreamOf(Before(placeholder)))) respecify(placeholder, NodeValue::Duty, 0.0);
    return false;
}

// ---------------------------------------------------------------- dummy utilities

// Each dummy is an edit of its own and recalculates the network: the pass grows with the
// exchangers that keep port utilities times the network, and runs once after an extraction.
void CPIHENDesign::AddDummyUtilitiesForExtraction() {
    if (!m_scenario || IsEditLocked()) return;
    IDefaultUtilityManager* manager = nullptr;
    if (m_scenario->IsTotalSiteScenario()) {
        DefaultManager* site = nullptr;
        m_scenario->GetSiteUtilityManager(site);
        manager = site;
    } else {
        m_scenario->GetDefaultUtilityManager(manager);
    }
    if (!manager) return;
    RemoveRemovableUtilitiesAtPorts();
    for (CNode* unit : GetExchangersWithUtilitiesAtPorts()) {
        HeatExch* x = AsHeatExch(unit);
        IHeatIntegrationStream* hot = x ? StreamOf(x->getInlet(0)) : nullptr;
        IHeatIntegrationStream* cold = x ? StreamOf(x->getInlet(1)) : nullptr;
        if (!hot || !cold) continue;
        const double duty = std::min(kLargestDummyDuty, kDummyShare * valueOf(unit, NodeValue::Duty));
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        const CPString heaterName = name + "_DummyHtrIgnore", coolerName = name + "_DummyClrIgnore";
        const char* hotUtility = manager->GetRecommendedUtilityName(cold->GetTargetTemperature(), SHT_Hot, nullptr);
        const char* coldUtility = manager->GetRecommendedUtilityName(hot->GetTargetTemperature(), SHT_Cold, nullptr);
        if (!hotUtility || !coldUtility) continue;
        for (const char* utility : {hotUtility, coldUtility}) {
            IHeatIntegrationStream* existing = nullptr;
            if (!m_scenario->GetStream(CPString(utility), existing)) m_scenario->AddStream(CPString(utility), 1);
        }
        CNode* coldEnd = StreamBlock(coldUtility, "End");
        CNode* hotEnd = StreamBlock(hotUtility, "End");
        if (!coldEnd || !hotEnd) continue;
        CNode* cooler =
            AddHeatExchanger(x->getOutlet(0), Before(coldEnd), kExtractionReason, NodeKind::HeatExchanger, coolerName.c_str());
        CNode* heater =
            AddHeatExchanger(Before(hotEnd), x->getOutlet(1), kExtractionReason, NodeKind::HeatExchanger, heaterName.c_str());
        if (!cooler || !heater) continue;
        for (CNode* dummy : {cooler, heater}) {
            dummy->addVariable(NodeValue::Duty, 0.0, ValueStatus::Specified);
            dummy->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
            ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
        }
        for (CNode* dummy : {cooler, heater}) {
            for (int port = 0; port < 4; ++port)
                if (CanRemoveUtilityAtPort(dummy, port)) RemoveUtilityAtPort(dummy, port);
            if (valueOf(dummy, NodeValue::Duty) < 0.0) {
                dummy->addVariable(NodeValue::Duty, 0.0, ValueStatus::Specified);
                dummy->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
                ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
            }
        }
    }
}
