// The optimiser's run: the feasibility step of mode 3, the search of each sub-network with its
// outer passes, the duty search of the utility exchangers, and the judging and writing of points.
// The simplex itself is in NetworkOptimiserSimplex.cpp.
#include "eng/autodesign/NetworkOptimiser.h"

#include "eng/autodesign/DesignOptimiserNetwork.h"
#include "eng/autodesign/OptimiserSearches.h"
#include "eng/design/HENDesign.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {
constexpr int kRetrofitMode = 3;
constexpr int kMaxOuterPasses = 15;
constexpr double kOuterAgreement = 0.001;
constexpr double kFirstPenalty = 9.9e9;
constexpr double kSmallestShare = 0.0001;
// The status buffer: longer lines are cut.
constexpr std::size_t kStatusBuffer = 264;

double temperatureOf(const CNode* segment, bool& ok) {
    double t = 0.0;
    ok = ok && segment && segment->getVariableAsDouble(NodeValue::Temperature, t);
    return t;
}
}  // namespace

NetworkOptimiser::NetworkOptimiser(IHENDesign* design, const char* name) {
    if (name) {
        m_name = name;
        m_hasName = true;
    }
    m_design = dynamic_cast<CPIHENDesign*>(design);
    std::unique_ptr<DesignOptimiserNetwork> network = DesignOptimiserNetwork::Make(design);
    if (network) network->SetStatusSink([this](const std::string& line) { Show(line); });
    m_own = std::move(network);
    m_network = m_own.get();
}

NetworkOptimiser::NetworkOptimiser(OptimiserNetwork& network, const char* name) : m_network(&network) {
    if (name) {
        m_name = name;
        m_hasName = true;
    }
}

NetworkOptimiser::~NetworkOptimiser() = default;

// ---------------------------------------------------------------- status line

std::string NetworkOptimiser::Format(const char* format, ...) const {
    char buffer[kStatusBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

void NetworkOptimiser::Show(const std::string& line) {
    m_status = line.substr(0, kStatusBuffer - 1);
    UserStatusReport(Text(m_status), 2);
}

void NetworkOptimiser::Append(const char* text) { Show(m_status + text); }

void NetworkOptimiser::ClearStatus() { UserStatusClear(2); }

// ---------------------------------------------------------------- the run

int NetworkOptimiser::Run(int mode, bool duties, bool splits) {
    m_mode = mode;
    m_duties = duties;
    m_splits = splits;
    if (!m_network) return Unchanged;
    const int subNetworks = m_network->GetNumberOfSubNetworks();
    m_network->BeginRun(mode);
    if (mode == kRetrofitMode) {
        if (m_network->HasInfeasibleExchangers()) RestoreFeasibility();
        m_network->SetSplitFractionsFromBranchDuties();
        ClearStatus();
        if (m_network->HasInfeasibleExchangers() && !m_network->CheckEndApproaches()) {
            Show(FailedText);
            m_network->EndRun();
            return Unchanged;
        }
    }
    // The searches move process duties one at a time; in a network whose utility duties are
    // specified beyond what its streams need, every such move contradicts one of them. The
    // equation-based engine states the network whole and takes the duties as they are.
    const bool freesUtilities = !m_useEquationBased && (mode == 0 || mode == 1);
    // The searches' status lines quote the point each step tried; the last line of the run
    // quotes the network the run keeps, which is the one it started from when it keeps nothing.
    const double startValue = m_network->Objective();
    const bool searchStartsFeasible = !m_useEquationBased && m_network->IsNetworkFeasible();
    if (freesUtilities) m_network->FreeSurplusUtilityDuties();
    int result = Unchanged;
    bool searched = false;
    bool engineSolved = false;
    const bool startedFeasible = !m_useEquationBased || !m_network->HasInfeasibleExchangers();
    if (m_useEquationBased) {
        Show(EquationBasedText);
        result = RunEquationBased();
        engineSolved = result == Improved;
        searched = true;
    } else {
        for (m_subNetwork = 0; m_subNetwork < subNetworks; ++m_subNetwork) {
            searched = true;
            if (m_network->GetNumberOfUnitsInSubNetwork(m_subNetwork) > 1 && OptimiseSubNetwork() == Improved)
                result = Improved;
        }
    }
    // The searches keep their best point even when every point they met was infeasible (a
    // penalised value still orders the points), and the equation-based engine may end on a point
    // that meets its approaches only to its own tolerance: a run that ends on a network the
    // exchangers' own check calls infeasible has improved nothing (an equation-based run that
    // started from an infeasible network is judged by its cost alone).
    const bool endsFeasible =
        m_useEquationBased ? !m_network->HasInfeasibleExchangers() : m_network->IsNetworkFeasible();
    if (result == Improved && startedFeasible && !endsFeasible) result = Unchanged;
    // The engine's own last line names the design it is starting on: the run ends on what it did.
    if (engineSolved) {
        const char* name = m_design && m_design->GetDesignName() ? m_design->GetDesignName() : "";
        Show(Format(result == Improved ? EquationBasedDoneText : EquationBasedNotKeptText, name));
    }
    // A search from a feasible network that found no lower area or cost than where it began has
    // kept no point of its own: the run says it left the network as it was. (A part in a million
    // is the last figure printed, not a change; a start of no area or cost has no figure to
    // compare with.)
    if (result == Improved && searchStartsFeasible && (mode == 0 || mode == 1) && startValue > 0.0 &&
        !(m_network->Objective() < startValue - 1e-6 * std::fabs(startValue)))
        result = Unchanged;
    if (result == Improved && mode == kRetrofitMode && searched) m_network->SetSplitFractionsFromBranchDuties();
    // A run that kept nothing leaves the design specified as it found it.
    if (freesUtilities && result != Improved) m_network->GiveBackUtilityDuties();
    if (searched && !m_useEquationBased)
        Show(Format("Kept network / Objective function: %8.6f", result == Improved ? m_network->Objective() : startValue));
    m_network->EndRun();
    return result;
}

void NetworkOptimiser::RestoreFeasibility() {
    Show(FeasibleText);
    double start = 0.0;
    if (!m_network->PickRestoringDuty(start)) return;
    optimiser::RestoreByFactors(
        start,
        [&](double q) {
            m_network->SpecifyRestoringDuty(q);
            m_network->Recalculate();
        },
        [&] { return m_network->IsNetworkFeasible(); });
}

// ---------------------------------------------------------------- one sub-network

int NetworkOptimiser::OptimiseSubNetwork() {
    SignalBusy(true);
    m_outer = 0;
    m_after = 0.0001;
    SearchVariables variables;
    m_network->BeginSubNetwork(m_subNetwork, m_splits, variables);
    const int dutyResult = m_duties ? m_network->SelectFreeExchangers(variables) : Unchanged;
    if (dutyResult != Improved) variables.freeDuties.clear();
    int splitResult = Unchanged;
    int branches = 0;
    for (int b : variables.splitterBranches) branches += b;
    if (m_splits && branches > 0) {
        m_network->ReadSplitFractions(variables);
        splitResult = Improved;
    } else {
        variables.splitterBranches.clear();
        variables.splitFractions.clear();
    }
    auto release = [&] {
        m_network->EndSubNetwork();
        ClearStatus();
        SignalBusy(false);
    };
    if (dutyResult == Unchanged && splitResult == Unchanged) {
        m_variables = variables;
        m_penaltyBase = kFirstPenalty;
        m_outer = 1;
        SearchUtilityExchangerDuties();
        release();
        return Unchanged;
    }

    const bool splits = m_splits;
    BeginSearch(m_mode, m_duties, m_splits, variables);
    // The duties settle first, with the shares as they are.
    if (m_duties && dutyResult == Improved) m_splits = false;
    const int d = m_variables.DutyCount();
    do {
        ++m_outer;
        if (m_outer > 1) m_splits = splits;
        m_before = m_after;
        BuildInitialSimplex();
        RunSimplex();
        RefineSolution();
        SearchUtilityExchangerDuties();
        const std::vector<double>& best = m_points.back();
        for (int j = 0; j < d; ++j) m_variables.freeDuties[j] *= best[j];
        for (int m = 0; m < m_variables.SplitCount(); ++m) m_variables.splitFractions[m] = best[d + m];
        m_after = Evaluate();
    } while (std::fabs(m_before - m_after) / m_before > kOuterAgreement && m_outer < kMaxOuterPasses);
    m_splits = splits;
    release();
    return Improved;
}

void NetworkOptimiser::BeginSearch(int mode, bool duties, bool splits, const SearchVariables& variables) {
    m_mode = mode;
    m_duties = duties;
    m_splits = splits;
    m_variables = variables;
    const std::size_t n = static_cast<std::size_t>(m_variables.DutyCount() + m_variables.SplitCount());
    m_points.assign(n + 1, std::vector<double>(n, 0.0));
    m_values.assign(n + 1, 0.0);
    m_feasible.assign(n + 1, true);
    m_centre.assign(n, 0.0);
    m_reflected.assign(n, 0.0);
    m_trial.assign(n, 0.0);
}

// A utility duty that leaves the network infeasible is judged with the penalty, as every point of
// the simplex is: a cheaper utility must not win by leaving a stream short.
void NetworkOptimiser::SearchUtilityExchangerDuties() {
    const int count = m_network->GetNumberOfFlaggedExchangers();
    bool feasible = true;
    for (int c = 0; c < count; ++c) {
        double start = 0.0;
        if (!m_network->IsSearchedUtilityExchanger(c, start)) continue;
        const double f0 = Evaluate(&feasible);
        optimiser::SearchDuty(
            start, f0,
            [&](double q) {
                m_network->SpecifyFlaggedDuty(c, q);
                m_network->Recalculate();
            },
            [&] { return Evaluate(&feasible); }, [&] { return m_network->HasLockedAreaMoved(); },
            [&](double f) {
                Show(Format("Sub-network: %i / Outer loop iteration: %i / Utility heat exchanger: %i / Objective "
                            "function: %8.6f",
                            m_subNetwork + 1, m_outer, c + 1, f));
            });
    }
}

// ---------------------------------------------------------------- points

double NetworkOptimiser::Evaluate(bool* feasible) {
    bool ok = true;
    if (feasible) {
        ok = m_network->IsNetworkFeasible();
        *feasible = ok;
    }
    const double value = m_network->Objective();
    return ok ? value : optimiser::Penalised(value, m_penaltyBase);
}

double NetworkOptimiser::EvaluateAt(std::vector<double>& point, bool* feasible) {
    ApplyPoint(point);
    m_network->Recalculate();
    return Evaluate(feasible);
}

void NetworkOptimiser::ApplyPoint(std::vector<double>& point) {
    const int d = m_variables.DutyCount();
    if (m_duties)
        for (int j = 0; j < d && j < static_cast<int>(point.size()); ++j)
            if (point[j] < 0.0) point[j] = 0.0;
    if (m_splits) {
        std::size_t k = static_cast<std::size_t>(d);
        for (int branches : m_variables.splitterBranches) {
            const std::size_t first = k;
            double sum = 0.0;
            for (int b = 0; b < branches && k < point.size(); ++b, ++k) {
                if (point[k] < kSmallestShare) point[k] = 0.0;
                sum += point[k];
            }
            for (std::size_t i = first; i < k; ++i)
                point[i] = sum > 0.0 ? point[i] / sum : m_variables.splitFractions[i - static_cast<std::size_t>(d)];
        }
    }
    m_network->WritePoint(point, m_variables, m_duties, m_splits);
}

// ---------------------------------------------------------------- reconciliation read-out

bool NetworkOptimiser::GetFittedValues(CNode* exchanger, double& q, double& d) const {
    HeatExch* x = AsHeatExch(exchanger);
    if (!x || !x->getVariableAsDouble(NodeValue::Duty, q)) return false;
    bool ok = true;
    const double hotIn = temperatureOf(x->getInlet(0), ok), hotOut = temperatureOf(x->getOutlet(0), ok);
    const double coldIn = temperatureOf(x->getInlet(1), ok), coldOut = temperatureOf(x->getOutlet(1), ok);
    const double first = hotIn - coldOut, second = hotOut - coldIn;
    if (!ok || first <= 0.0 || second <= 0.0) return false;
    const double lmtd = std::fabs(first - second) < 1e-9 ? first : (first - second) / std::log(first / second);
    double f = 1.0;
    if (!x->getVariableAsDouble(NodeValue::FtFactor, f) || f <= 0.0) f = 1.0;
    d = f * lmtd;
    return true;
}
