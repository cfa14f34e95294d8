// Handing the design to the network optimiser (the optimiser's pre-run check and a run on the
// design's own variables), the reconciliation of a locked design with measured temperatures
// (a fit of its own, on the locked network's calculation), and the small dummy utilities an
// extracted network gets beside exchangers that keep utilities at their ports. Without an
// optimiser (no provider, or one that makes none) a run answers `OptimiserNotAvailable` and the
// design is left exactly as it was.
#include "eng/design/HENDesign.h"

#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/HENState.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/ScenarioUtilityAdd.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

using namespace chain;

namespace {
constexpr double kSmallestCoefficient = 0.001;
// The fit: a coefficient found to a part in ten million of its logarithm, sweeps over the fitted
// exchangers until the sum falls by less than this share, a fit within this of the range's end
// is at the end, and a sum this close to one is every measurement met.
constexpr double kLogTolerance = 1e-7;
constexpr double kMet = 1e-12;
constexpr double kRangeEnd = 1e-4;
constexpr int kMaxSweeps = 20;
constexpr double kLargestNtu = 50.0;
constexpr const char* kMeasured = "MeasuredTemperature";
constexpr const char* kWeight = "TemperatureWeight";
constexpr double kLargestDummyDuty = 5.0;
constexpr double kDummyShare = 0.005;
constexpr const char* kOffLine = "ExchangerIsOffLine";
constexpr const char* kExtractionReason = "by data extraction module";

double valueOf(const CNode* node, const char* name) {
    double v = 0.0;
    return node && node->getVariableAsDouble(name, v) ? v : 0.0;
}

// A dummy utility carries a small share of the duty of the exchanger it stands beside.
double dummyDutyBeside(const CNode* exchanger) {
    return std::min(kLargestDummyDuty, kDummyShare * valueOf(exchanger, NodeValue::Duty));
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

// The measured temperatures are matched by the exchangers they are about: an exchanger of frozen
// area (on line) whose outlet carries a measurement has its observed coefficient searched, the
// locked network solved at each trial, until the sum of the weighted squared deviations of every
// measurement, plus one, is least. One exchanger after the other, over the coefficient's whole
// range on a logarithmic scale (a golden-section search: an outlet temperature moves one way with
// the coefficient), in sweeps until the sum stops falling. A fit that ends at the end of that
// range, or on a network the calculator cannot solve, matches nothing: the design is given back
// as it was and the user is told. Nothing measured, or every measurement already met, changes
// nothing.
bool CPIHENDesign::Reconcile() {
    m_reconcileFailed = false;
    if (!m_operationLocked) return true;
    struct Measurement {
        CNode* segment;
        double measured, weight;
    };
    std::vector<Measurement> measurements;
    std::vector<CNode*> fitted;
    std::unordered_set<const CNode*> taken;
    for (CNode* segment : m_sheet->getAllNodesOfType(NodeKind::MaterialStream)) {
        double measured = 0.0, weight = 1.0;
        if (segment->getVariableStatus(kMeasured) != ValueStatus::Specified ||
            !segment->getVariableAsDouble(kMeasured, measured) || measured == CPValue::Empty)
            continue;
        if (segment->getVariableStatus(kWeight) != ValueStatus::Specified || !segment->getVariableAsDouble(kWeight, weight))
            weight = 1.0;
        measurements.push_back({segment, measured, weight});
        CNode* unit = Before(segment);
        HeatExch* x = AsHeatExch(unit);
        long offLine = 0;
        if (!x || x->IsUtilityExch() || unit->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified ||
            (unit->getVariableAsInteger(kOffLine, offLine) && offLine == 1) || !taken.insert(unit).second)
            continue;
        fitted.push_back(unit);
    }
    auto objective = [&] {
        if (GetCalculationStatus() != 1) return std::numeric_limits<double>::infinity();
        double sum = 1.0;
        for (const Measurement& m : measurements) {
            double t = 0.0;
            if (!m.segment->getVariableAsDouble(NodeValue::Temperature, t) || !std::isfinite(t))
                return std::numeric_limits<double>::infinity();
            sum += m.weight * (t - m.measured) * (t - m.measured);
        }
        return sum;
    };
    const double start = objective();
    if (fitted.empty() || (std::isfinite(start) && start - 1.0 <= kMet)) {
        UserStatusReport(FindString(fitted.empty() ? "ReconcileNothingToFit" : "ReconcileAlreadyMet"), 2);
        return false;
    }

    std::vector<double> before(fitted.size());
    for (std::size_t i = 0; i < fitted.size(); ++i) before[i] = valueOf(fitted[i], NodeValue::ObservedHTC);
    auto trial = [&](CNode* unit, double logU) {
        unit->addVariable(NodeValue::ObservedHTC, std::exp(logU), ValueStatus::Specified);
        RecalculateLockedOperation();
        return objective();
    };
    // Each coefficient from 0.001 up to where the exchanger has all but reached its end
    // temperatures (NTU 50 on its smaller heat-capacity flow, as its sides now carry them):
    // beyond, a larger coefficient moves nothing a measurement could tell, and the ten-segment
    // solution of so large an exchanger is no longer one a fit can be judged on.
    std::vector<double> highest(fitted.size(), std::log(CaseValueLimits::MaxH));
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        HeatExch* x = AsHeatExch(fitted[i]);
        const double q = valueOf(fitted[i], NodeValue::Duty), area = valueOf(fitted[i], NodeValue::HTArea);
        const double hot = valueOf(x->getInlet(0), NodeValue::Temperature) - valueOf(x->getOutlet(0), NodeValue::Temperature);
        const double cold =
            valueOf(x->getOutlet(1), NodeValue::Temperature) - valueOf(x->getInlet(1), NodeValue::Temperature);
        if (!(q > 0.0 && area > 0.0 && hot > 0.0 && cold > 0.0)) continue;
        const double smaller = std::min(q / hot, q / cold);
        highest[i] = std::min(highest[i], std::log(std::max(kLargestNtu * smaller / area, 10.0 * kSmallestCoefficient)));
    }
    const double low = std::log(kSmallestCoefficient);
    const double golden = 0.5 * (std::sqrt(5.0) - 1.0);
    bool atRangeEnd = false;
    double best = start;
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
        const double sweepStart = best;
        atRangeEnd = false;
        for (std::size_t i = 0; i < fitted.size(); ++i) {
            CNode* unit = fitted[i];
            const double high = highest[i];
            double a = low, b = high;
            double c = b - golden * (b - a), d = a + golden * (b - a);
            double fc = trial(unit, c), fd = trial(unit, d);
            while (b - a > kLogTolerance) {
                if (fc <= fd) {
                    b = d;
                    d = c;
                    fd = fc;
                    c = b - golden * (b - a);
                    fc = trial(unit, c);
                } else {
                    a = c;
                    c = d;
                    fc = fd;
                    d = a + golden * (b - a);
                    fd = trial(unit, d);
                }
            }
            const double logU = fc <= fd ? c : d;
            best = trial(unit, logU);
            if (logU - low < kRangeEnd || high - logU < kRangeEnd) atRangeEnd = true;
        }
        if (!(sweepStart - best > kMet * sweepStart)) break;
    }
    if (atRangeEnd || !std::isfinite(best)) {
        for (std::size_t i = 0; i < fitted.size(); ++i)
            fitted[i]->addVariable(NodeValue::ObservedHTC, before[i], ValueStatus::Specified);
        ProcessChange(CodeRecalculate, CPString(), nullptr);
        ErrorMsg("ReconcileFailed", Text());
        m_reconcileFailed = true;
        return false;
    }
    ProcessChange(CodeRecalculate, CPString(), nullptr);
    // The fitted coefficients are the plant's as measured: the default operating state, which
    // the schedules, the studies and the reset start from, takes them (and, with no what-if's
    // solution in the units, the whole reconciled point).
    const HENState unreconciled(DefaultState());
    for (CNode* unit : fitted) {
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        if (HeatExchStateStruct* record = DefaultState().FindHeatExchanger(name.c_str()))
            record->SetValue(NodeValue::ObservedHTC, valueOf(unit, NodeValue::ObservedHTC));
    }
    // The results worked with the old coefficients are stale, and the events start from the
    // fitted ones.
    if (!m_operatingSolution) {
        TakeOperatingState();
        MarkOperatingResultsStale(&unreconciled);
    } else {
        // Over a what-if's solution the fitted coefficients are the plant's all the same: the
        // units show the default point with the new ones, judged as such.
        MarkOperatingResultsStale(&unreconciled);
        ResetDefaultState();
    }
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
        const double duty = dummyDutyBeside(unit);
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        const CPString heaterName = name + kDummyHeaterSuffix, coolerName = name + kDummyCoolerSuffix;
        const char* hotUtility = manager->GetRecommendedUtilityName(cold->GetTargetTemperature(), SHT_Hot, nullptr);
        const char* coldUtility = manager->GetRecommendedUtilityName(hot->GetTargetTemperature(), SHT_Cold, nullptr);
        if (!hotUtility || !coldUtility) continue;
        for (const char* utility : {hotUtility, coldUtility}) {
            IHeatIntegrationStream* existing = nullptr;
            if (!m_scenario->GetStream(CPString(utility), existing)) AddUtilityStream(*m_scenario, CPString(utility));
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

void CPIHENDesign::RefreshDummyUtilityDuties() {
    if (IsEditLocked()) return;
    // The exchangers by name, once: a dummy's name is its exchanger's with a suffix.
    std::unordered_map<std::string, CNode*> byName;
    std::vector<std::pair<CNode*, std::string>> dummies;
    for (CNode* unit : m_exchangers) {
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        bool dummy = false;
        for (const char* suffix : {kDummyHeaterSuffix, kDummyCoolerSuffix}) {
            const std::size_t n = std::char_traits<char>::length(suffix);
            if (name.size() > n && name.compare(name.size() - n, n, suffix) == 0) {
                dummies.emplace_back(unit, std::string(name.c_str(), name.size() - n));
                dummy = true;
            }
        }
        if (!dummy) byName.emplace(name.c_str(), unit);
    }
    bool changed = false;
    for (const auto& [dummy, exchangerName] : dummies) {
        const auto it = byName.find(exchangerName);
        if (it == byName.end()) continue;
        const double duty = dummyDutyBeside(it->second);
        if (valueOf(dummy, NodeValue::Duty) == duty) continue;
        dummy->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        changed = true;
    }
    if (changed) ProcessChange(CodeFlowsheetChanged, CPString(), nullptr);
}
