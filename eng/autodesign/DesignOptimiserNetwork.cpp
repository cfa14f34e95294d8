#include "eng/autodesign/DesignOptimiserNetwork.h"

#include "eng/autodesign/OptimiserSearches.h"
#include "eng/design/HENDesign.h"
#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/PlantNormalForm.h"
#include "eng/model/PlantOrder.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include <unordered_set>

using namespace chain;

namespace {
constexpr int kCodeFlowsheetChanged = 17;
constexpr double kSmallestApproach = 0.001;
constexpr double kSmallestDuty = 1e-05;
constexpr double kSmallestBranch = 0.00011;
// Share of the starting placeholder load a state may add: the duties' own agreement, not a move.
constexpr double kPlaceholderSlack = 1e-6;
constexpr const char* kAreaMinimum = "AreaMinimum";
constexpr const char* kOffLine = "ExchangerIsOffLine";
constexpr const char* kMeasured = "MeasuredTemperature";
constexpr const char* kWeight = "TemperatureWeight";

double valueOf(const CNode* node, const char* name) {
    double v = 0.0;
    return node && node->getVariableAsDouble(name, v) ? v : 0.0;
}

bool readsOne(const CNode* node, const char* name) {
    long v = 0;
    return node && node->getVariableAsInteger(name, v) && v == 1;
}

bool isSpecified(const CNode* node, const char* name) {
    return node && node->getVariableStatus(name) == ValueStatus::Specified;
}

// A splitter's branches in the plant's order, not of the order the network's rows made them in
// nor of the names: the search's split variables, and so its path, are one for one network.
std::vector<CNode*> BranchesOf(const CNode* tee) { return BranchesInPlantOrder(tee); }

std::string format(const char* text, int a, int b = 0) {
    char buffer[264];
    std::snprintf(buffer, sizeof buffer, text, a, b);
    return buffer;
}
}  // namespace

std::unique_ptr<DesignOptimiserNetwork> DesignOptimiserNetwork::Make(IHENDesign* design) {
    auto* concrete = dynamic_cast<CPIHENDesign*>(design);
    return concrete ? std::make_unique<DesignOptimiserNetwork>(*concrete) : nullptr;
}

DesignOptimiserNetwork::DesignOptimiserNetwork(CPIHENDesign& design)
    : m_design(design), m_scenario(design.GetScenario()) {}

// ---------------------------------------------------------------- the run

void DesignOptimiserNetwork::BeginRun(int mode) {
    m_mode = mode;
    m_region.Forget();
    // No objective and no feasibility test reads the loads across the pinch: they are counted
    // once, for the network the run ends with. In these modes every change of the network is
    // followed by a propagation and nothing writes after it, so that network is the one the last
    // propagation left (the retrofit mode's tearing writes the tears' duties after its last
    // propagation, and the heater-margin mode recalculates as the design does).
    if (mode == 0 || mode == 1 || mode == 7) {
        m_design.HoldCrossPinchLoads();
        // Nothing in these modes changes a process stream; each trial reads only the
        // utilities' heat contents afresh, as their loads follow the duties.
        m_design.KeepProcessStreamProfiles();
    }
    m_units = m_design.GetFlowSheet()->getAllNodes();
    m_flagged.clear();
    m_design.CollectFlaggedExchangers(m_units, m_flagged);
    // The heaters and coolers are searched in an order the plant gives, not of their making nor
    // of their names: by the streams they join and their duties, a name only between units alike.
    SortNodesByKey(m_flagged, UnitOrderKeyOf);
    m_productBlocks = m_design.GetFlowSheet()->getAllNodesOfType(NodeKind::ProductBlock);
    m_baseUtilityCost = m_design.GetTotalUtilityCost(2);
    m_unsatisfiedAtStart = m_design.GetNumberOfUnsatisfiedProcessStreams();
    m_placeholderLoadAtStart = PlaceholderLoad();
}

// The heat the network leaves to its utility placeholders: no exchanger carries it and no
// objective costs it.
double DesignOptimiserNetwork::PlaceholderLoad() const {
    double load = 0.0;
    for (CNode* unit : m_units)
        if (IsPlaceholder(unit)) load += std::fabs(valueOf(unit, NodeValue::Duty));
    return load;
}

// Each specification taken away raises the freedom by one, so the count is read once. A utility
// duty the network cannot calculate without its specification is needed and is put back.
void DesignOptimiserNetwork::FreeSurplusUtilityDuties() {
    m_freedUtilities.clear();
    int freedom = m_design.GetDegreesOfFreedom();
    for (std::size_t c = 0; c < m_flagged.size() && freedom < 0; ++c) {
        CNode* unit = m_flagged[c];
        if (!isSpecified(unit, NodeValue::Duty)) continue;
        const double duty = valueOf(unit, NodeValue::Duty);
        unit->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
        Recalculate();
        if (unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Open) {
            SpecifyDuty(unit, duty);
            Recalculate();
            continue;
        }
        m_freedUtilities.emplace_back(unit, duty);
        ++freedom;
    }
}

void DesignOptimiserNetwork::GiveBackUtilityDuties() {
    if (m_freedUtilities.empty()) return;
    for (const auto& [unit, duty] : m_freedUtilities) SpecifyDuty(unit, duty);
    m_freedUtilities.clear();
    Recalculate();
}

void DesignOptimiserNetwork::EndRun() {
    m_region.Forget();
    m_design.ReleaseCrossPinchLoads();
    m_design.ReleaseProcessStreamProfiles();
    m_units.clear();
    m_flagged.clear();
    m_productBlocks.clear();
    m_exchangerList.clear();
    m_restoring = nullptr;
    m_freedUtilities.clear();
}

int DesignOptimiserNetwork::GetNumberOfSubNetworks() { return m_design.GetNumberOfSubNetworks(); }

int DesignOptimiserNetwork::GetNumberOfUnitsInSubNetwork(int index) { return m_design.GetNumberOfUnitsInSubNetwork(index); }

bool DesignOptimiserNetwork::HasInfeasibleExchangers() { return !m_design.GetInfeasibleHeatExchangers().empty(); }

std::vector<CNode*> DesignOptimiserNetwork::AllExchangers() const {
    std::vector<CNode*> list = m_design.GetFlowSheet()->getAllNodesOfType(NodeKind::HeatExchanger);
    for (CNode* x : m_design.GetFlowSheet()->getAllNodesOfType(NodeKind::CountercurrentHX)) list.push_back(x);
    return list;
}

bool DesignOptimiserNetwork::CheckEndApproaches() {
    m_exchangerList = AllExchangers();
    for (const std::vector<CNode*>* list : {&m_exchangerList, &m_flagged})
        for (CNode* unit : *list) {
            HeatExch* x = AsHeatExch(unit);
            if (!x) continue;
            double hotIn = 0.0, hotOut = 0.0, coldIn = 0.0, coldOut = 0.0;
            const bool known = x->getInlet(0) && x->getInlet(0)->getVariableAsDouble(NodeValue::Temperature, hotIn) &&
                               x->getOutlet(0) && x->getOutlet(0)->getVariableAsDouble(NodeValue::Temperature, hotOut) &&
                               x->getInlet(1) && x->getInlet(1)->getVariableAsDouble(NodeValue::Temperature, coldIn) &&
                               x->getOutlet(1) && x->getOutlet(1)->getVariableAsDouble(NodeValue::Temperature, coldOut);
            if (!known || hotIn - coldOut < kSmallestApproach || hotOut - coldIn < kSmallestApproach) return false;
        }
    return true;
}

void DesignOptimiserNetwork::SetSplitFractionsFromBranchDuties() { m_design.SetSplitFractionsFromBranchDuties(); }

// ---------------------------------------------------------------- the state

void DesignOptimiserNetwork::Recalculate() {
    if (m_mode == 5) {
        m_design.ProcessChange(kCodeFlowsheetChanged, CPString(), nullptr);
        return;
    }
    m_units = m_design.GetFlowSheet()->getAllNodes();
    // The retrofit mode's tearing and its held areas solve the whole network by iteration, and
    // its loads across the pinch are counted after every trial: it recalculates whole.
    const bool regional = m_mode == 0 || m_mode == 1 || m_mode == 7;
    if (regional && m_region.Collect(m_units, m_set)) {
        ++m_regionalTrials;
        // A region that leaves a unit unsolved widens over that unit's streams until what it
        // leaves unsolved lies within it, so that the trial is judged as the whole network's
        // recalculation judges it.
        for (DesignOptimiserNetworkRegion::Settled settled = DesignOptimiserNetworkRegion::Settled::Widened;;) {
            m_unsolved = 0;
            bool sound = true;
            if (!m_set.empty()) {
                m_design.ClearUnitResults(m_set, m_region.Held());
                m_unsolved =
                    m_design.PropagateUnitValues(m_set, m_flagged, kCodeFlowsheetChanged, m_region.Held(), sound,
                                                 &m_region.ReachedStreams(), true);
            }
            // Held units, or units that calculated only their duties first, whose utility kept its
            // flow: the whole network judges the trial.
            if (!sound) break;
            settled = m_region.Settle(m_units, Unsolved(m_set), m_set);
            if (settled == DesignOptimiserNetworkRegion::Settled::Yes) {
                m_design.UpdateUtilityLoads();
                return;
            }
            if (settled == DesignOptimiserNetworkRegion::Settled::Unknown) break;
            ++m_regionalWidened;
        }
        ++m_regionalRedone;
    }
    const std::vector<CNode*>& ordered = regional ? m_region.Ordered(m_units) : m_units;
    m_design.ClearUnitResults(ordered);
    m_unsolved = m_design.PropagateUnitValues(ordered, m_flagged, kCodeFlowsheetChanged);
    if (m_mode == 3 && m_areaLockedCount > 0 && m_unsolved != 0)
        m_design.SolveForSpecifiedAreas(m_units, m_flagged, kCodeFlowsheetChanged, true);
    if (regional) m_region.Learn(m_units, Unsolved(m_units));
    // The utility costs the objectives read follow the duties just calculated.
    m_design.UpdateUtilityLoads();
}

// Beyond each exchanger's own test, a state is feasible only when the network calculated each
// of those exchangers and leaves no more process streams short of their targets, nor more heat
// on the utility placeholders, than the run started with: a duty that only an (uncosted)
// placeholder takes up, or a network left half calculated, would otherwise look cheaper than any
// real one. The load is compared as well as the count, since on a network whose every stream
// already ends at a placeholder the count cannot grow, and the least area would then be that of
// a network that recovers no heat at all.
bool DesignOptimiserNetwork::IsNetworkFeasible() {
    for (const std::vector<CNode*>* list : {&m_exchangerList, &m_flagged})
        for (CNode* unit : *list)
            if (HeatExch* x = AsHeatExch(unit); x && (!x->IsFeasible() || !IsCalculated(x->getStatus()))) return false;
    for (CNode* unit : m_units)
        if (HeatExch* x = AsHeatExch(unit); x && !IsPhysicallyPossible(*x)) return false;
    if (m_design.GetNumberOfUnsatisfiedProcessStreams() > m_unsatisfiedAtStart) return false;
    return PlaceholderLoad() <= m_placeholderLoadAtStart + kPlaceholderSlack * std::max(1.0, m_placeholderLoadAtStart);
}

std::vector<CNode*> DesignOptimiserNetwork::Unsolved(const std::vector<CNode*>& nodes) const {
    std::vector<CNode*> out;
    // The propagation just counted the open values of these nodes: none to list when it found none.
    if (m_unsolved != 0) m_design.CountOpenValues(nodes, &out);
    for (CNode* node : nodes)
        if (HeatExch* x = AsHeatExch(node); x && !IsCalculated(x->getStatus())) out.push_back(node);
    return out;
}

bool DesignOptimiserNetwork::IsCalculated(int status) {
    return status == 1 || status == 3 || status == 5 || status > 9;
}

bool DesignOptimiserNetwork::IsPhysicallyPossible(HeatExch& x) {
    double duty = 0.0;
    if (!x.getVariableAsDouble(NodeValue::Duty, duty) || duty <= 0.0) return duty >= 0.0;
    double hotIn = 0.0, hotOut = 0.0, coldIn = 0.0, coldOut = 0.0;
    const bool known = x.getInlet(0) && x.getInlet(0)->getVariableAsDouble(NodeValue::Temperature, hotIn) &&
                       x.getOutlet(0) && x.getOutlet(0)->getVariableAsDouble(NodeValue::Temperature, hotOut) &&
                       x.getInlet(1) && x.getInlet(1)->getVariableAsDouble(NodeValue::Temperature, coldIn) &&
                       x.getOutlet(1) && x.getOutlet(1)->getVariableAsDouble(NodeValue::Temperature, coldOut);
    return !known || (hotIn - coldOut >= 0.0 && hotOut - coldIn >= 0.0);
}

double DesignOptimiserNetwork::Objective() {
    switch (m_mode) {
    case 0:
        return m_design.GetTotalArea();
    case 1:
        return m_design.GetTotalUtilityCost(2) + m_design.GetTotalAnnualizedCapitalCost();
    case 3:
        return optimiser::RetrofitObjective(m_design.CalculateCapitalCost(),
                                            m_scenario ? m_scenario->GetOptimizerEconomicParameter() : 0.0,
                                            m_design.GetTotalUtilityCost(2),
                                            m_scenario ? m_scenario->GetRetrofitBaseUtilityCost() : 0.0);
    case 5:
        return HeaterMarginObjective();
    case 7:
        return MeasuredTemperatureObjective();
    default:
        return 0.0;
    }
}

double DesignOptimiserNetwork::HeaterMarginObjective() {
    double sum = 0.0;
    bool within = true;
    for (CNode* block : m_productBlocks) {
        CNode* heater = Before(Before(block));
        if (!heater || heater->getClassName() != NodeKind::Heater) continue;
        double product = 0.0;
        if (!block->getVariableAsDouble(NodeValue::Temperature, product))
            product = valueOf(Before(block), NodeValue::Temperature);
        const double inlet = valueOf(Before(heater), NodeValue::Temperature);
        double weight = 0.0, allowed = 0.0;
        IHeatIntegrationStream* stream = StreamOf(block);
        if (stream && stream->GetStreamKind() == 0)
            if (const ControlUnitRecord* record = m_design.Controllability().FindRecord(stream)) {
                weight = record->first;
                allowed = record->second;
            }
        const double deviation = std::fabs(inlet - product);
        sum += weight * deviation;
        if (deviation > allowed) within = false;
    }
    return optimiser::HeaterMarginObjective(m_design.GetTotalUtilityCost(2), m_baseUtilityCost, sum, within);
}

double DesignOptimiserNetwork::MeasuredTemperatureObjective() {
    std::vector<optimiser::Deviation> deviations;
    for (CNode* node : m_design.GetFlowSheet()->getAllNodesOfType(NodeKind::MaterialStream)) {
        optimiser::Deviation d;
        if (!isSpecified(node, kMeasured) || !node->getVariableAsDouble(kMeasured, d.measured)) continue;
        d.calculated = valueOf(node, NodeValue::Temperature);
        double weight = 1.0;
        if (isSpecified(node, kWeight) && node->getVariableAsDouble(kWeight, weight)) d.weight = weight;
        deviations.push_back(d);
    }
    return optimiser::MeasuredTemperatureObjective(deviations);
}

// ---------------------------------------------------------------- feasibility restoring

bool DesignOptimiserNetwork::PickRestoringDuty(double& duty) {
    m_restoring = nullptr;
    if (m_design.GetNumberOfPaths() <= 0) return false;
    m_exchangerList = AllExchangers();
    HeatExch* failing = nullptr;
    for (CNode* unit : m_exchangerList)
        if (HeatExch* x = AsHeatExch(unit); x && !x->IsFeasible()) {
            failing = x;
            break;
        }
    if (!failing) return false;
    double best = -1.0;
    for (int side : {1, 0}) {
        IHeatIntegrationStream* stream = StreamOf(failing->getOutlet(side));
        if (!stream) continue;
        CNode* unit = nullptr;
        for (int k = 0; m_design.GetUnitOnStream(stream->GetName(), k, unit); ++k) {
            double value = 0.0;
            if (isSpecified(unit, NodeValue::Duty) && unit->getVariableAsDouble(NodeValue::Duty, value) && value > best) {
                best = value;
                m_restoring = unit;
            }
        }
    }
    duty = best;
    return m_restoring != nullptr;
}

void DesignOptimiserNetwork::SpecifyRestoringDuty(double duty) { SpecifyDuty(m_restoring, duty); }

void DesignOptimiserNetwork::SpecifyDuty(CNode* unit, double duty) {
    if (unit) unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
}

// ---------------------------------------------------------------- one sub-network

void DesignOptimiserNetwork::BeginSubNetwork(int index, bool splits, SearchVariables& variables) {
    EndSubNetwork();
    m_subNetwork = index;
    variables = SearchVariables();
    const std::vector<SubNetwork>& subs = m_design.StructureAnalysis().SubNetworks();
    if (index < 0 || index >= static_cast<int>(subs.size())) return;
    // The members in an order of their data, so that the free duties and the splitters come in one
    // order for one network, whatever the order of the stream table's rows or the streams' names.
    std::vector<IHeatIntegrationStream*> members = subs[static_cast<std::size_t>(index)].members;
    std::stable_sort(members.begin(), members.end(), [](const IHeatIntegrationStream* a, const IHeatIntegrationStream* b) {
        return StreamOrderKeyOf(a) < StreamOrderKeyOf(b);
    });
    for (IHeatIntegrationStream* stream : members) {
        CNode* unit = nullptr;
        for (int k = 0; m_design.GetUnitOnStream(stream->GetName(), k, unit); ++k) {
            HeatExch* x = AsHeatExch(unit);
            if (!x) continue;
            if (x->IsUtilityExch()) {
                m_utility.push_back(unit);
            } else if (stream->GetHotCold() == 0) {
                m_process.push_back(unit);
                if (readsOne(unit, kAreaMinimum)) m_areaLocked.push_back(unit);
                if (readsOne(unit, kOffLine)) m_offLine.push_back(unit);
            }
        }
        if (splits && stream->GetStreamKind() == 0)
            for (CNode* tee : m_design.GetSplittersOnStream(stream)) {
                m_splitters.push_back(tee);
                m_branches.push_back(BranchesOf(tee));
                variables.splitterBranches.push_back(static_cast<int>(m_branches.back().size()));
            }
    }
    m_exchangerList = m_process;
}

void DesignOptimiserNetwork::EndSubNetwork() {
    m_process.clear();
    m_splitters.clear();
    m_branches.clear();
    m_utility.clear();
    m_free.clear();
    m_areaLocked.clear();
    m_offLine.clear();
    m_lockedCalculated.clear();
    m_kept.clear();
    m_areaLockedCount = 0;
}

int DesignOptimiserNetwork::GiveBackCleared(SearchVariables& variables) {
    for (std::size_t i = 0; i < m_process.size() && i < m_kept.size(); ++i) {
        m_process[i]->addVariable(NodeValue::HTArea, m_kept[i].area, m_kept[i].areaStatus);
        m_process[i]->addVariable(NodeValue::Duty, m_kept[i].duty, m_kept[i].dutyStatus);
    }
    m_free.clear();
    variables.freeDuties.clear();
    m_areaLockedCount = 0;
    m_lockedCalculated.clear();
    Recalculate();
    return 3;
}

int DesignOptimiserNetwork::SelectFreeExchangers(SearchVariables& variables) {
    const int sub = m_subNetwork + 1;
    Show(format("Sub-network: %i - selecting the free heat-exchangers.", sub));
    variables.freeDuties.clear();
    m_free.clear();
    m_areaLockedCount = 0;
    std::vector<double> lockedAreas;
    if (m_mode == 3) {
        m_areaLockedCount = static_cast<int>(m_areaLocked.size());
        for (CNode* unit : m_areaLocked) lockedAreas.push_back(valueOf(unit, NodeValue::HTArea));
    }
    m_kept.assign(m_process.size(), Kept());
    for (std::size_t i = 0; i < m_process.size(); ++i) {
        CNode* unit = m_process[i];
        Kept& k = m_kept[i];
        k.duty = valueOf(unit, NodeValue::Duty);
        k.area = valueOf(unit, NodeValue::HTArea);
        k.dutyStatus = unit->getVariableStatus(NodeValue::Duty);
        k.areaStatus = unit->getVariableStatus(NodeValue::HTArea);
        unit->addVariable(NodeValue::HTArea, 0.0, ValueStatus::Open);
        unit->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
    }
    Recalculate();
    if (m_mode == 3) {
        Show(format("Sub-network: %i - specifying the area locked heat exchangers.", sub));
        for (std::size_t i = 0; i < m_areaLocked.size(); ++i) {
            CNode* unit = m_areaLocked[i];
            if (unit->getVariableStatus(NodeValue::HTArea) == ValueStatus::Open) {
                unit->addVariable(NodeValue::HTArea, lockedAreas[i], ValueStatus::Specified);
                Recalculate();
            } else {
                m_lockedCalculated.emplace_back(unit, lockedAreas[i]);
            }
        }
    }
    if (m_mode == 7) {
        Show(format("Sub-network: %i - specifying the heat exchangers that are offline.", sub));
        for (CNode* unit : m_offLine) {
            if (m_unsolved == 0) break;
            if (unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Open) {
                SpecifyDuty(unit, 0.0);
                Recalculate();
            }
        }
    }
    if (m_unsolved == 0) return GiveBackCleared(variables);

    for (int pass = 1; m_unsolved != 0; ++pass) {
        Show(format("Sub-network: %i - selecting the free heat exchanger: %i", sub, pass));
        std::size_t i = 0;
        while (i < m_process.size() && m_process[i]->getVariableStatus(NodeValue::Duty) != ValueStatus::Open) ++i;
        if (i == m_process.size()) return GiveBackCleared(variables);
        m_free.push_back(m_process[i]);
        variables.freeDuties.push_back(m_kept[i].duty);
        SpecifyDuty(m_process[i], m_kept[i].duty);
        Recalculate();
    }

    // Over-specified: a free duty the network can calculate itself is no variable.
    for (std::size_t j = 0; m_design.GetDegreesOfFreedom() < 0;) {
        if (j >= m_free.size()) return GiveBackCleared(variables);
        CNode* unit = m_free[j];
        unit->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
        Recalculate();
        if (unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Open) {
            SpecifyDuty(unit, variables.freeDuties[j]);
            Recalculate();
            ++j;
        } else {
            m_free.erase(m_free.begin() + static_cast<std::ptrdiff_t>(j));
            variables.freeDuties.erase(variables.freeDuties.begin() + static_cast<std::ptrdiff_t>(j));
        }
    }

    for (std::size_t j = 0; j < m_free.size(); ++j) {
        if (variables.freeDuties[j] >= kSmallestDuty) continue;
        HeatExch* x = AsHeatExch(m_free[j]);
        IHeatIntegrationStream* cold = x ? StreamOf(x->getInlet(1)) : nullptr;
        IHeatIntegrationStream* hot = x ? StreamOf(x->getInlet(0)) : nullptr;
        if (!cold || !hot) continue;
        const double smaller = std::min(cold->GetHeatLoad(0), hot->GetHeatLoad(0));
        CNode* unit = m_free[j];
        variables.freeDuties[j] = optimiser::RescueSmallDuty(
            smaller,
            [&](double q) {
                SpecifyDuty(unit, q);
                Recalculate();
            },
            [&] { return IsNetworkFeasible(); });
    }
    return 4;
}

void DesignOptimiserNetwork::ReadSplitFractions(SearchVariables& variables) {
    variables.splitFractions.clear();
    for (const std::vector<CNode*>& branches : m_branches) {
        double given = 0.0;
        for (std::size_t b = 0; b < branches.size(); ++b) {
            double share = 0.0;
            const bool known = branches[b]->getVariableAsDouble(NodeValue::SplitFraction, share);
            // A last branch without a share of its own carries the rest.
            if (!known) share = b + 1 == branches.size() ? std::max(0.0, 1.0 - given) : 0.0;
            variables.splitFractions.push_back(share);
            given += share;
        }
    }
}

void DesignOptimiserNetwork::WritePoint(const std::vector<double>& point, const SearchVariables& variables,
                                        bool duties, bool splits) {
    const std::size_t d = static_cast<std::size_t>(variables.DutyCount());
    if (duties)
        for (std::size_t j = 0; j < d && j < m_free.size() && j < point.size(); ++j)
            SpecifyDuty(m_free[j], point[j] * variables.freeDuties[j]);
    if (!splits) return;
    std::size_t k = d;
    for (const std::vector<CNode*>& branches : m_branches) {
        for (CNode* branch : branches) {
            if (k >= point.size()) return;
            if (isSpecified(branch, NodeValue::SplitFraction) || m_mode == 5)
                branch->addVariable(NodeValue::SplitFraction, point[k], ValueStatus::Specified);
            ++k;
        }
    }
    // A branch that carries (practically) nothing of the stream moves no heat: the specified
    // duties of the exchangers at its head go to 0.
    k = d;
    for (std::size_t t = 0; t < m_splitters.size() && t < m_branches.size(); ++t) {
        const auto* inlet = dynamic_cast<const StreamNode*>(Before(m_splitters[t]));
        const double inflow = inlet ? inlet->getSplitFraction() : 1.0;
        for (CNode* branch : m_branches[t]) {
            if (k >= point.size()) return;
            if (inflow * point[k++] >= kSmallestBranch) continue;
            CNode* segment = branch;
            for (HeatExch* x = AsHeatExch(After(segment)); x; x = AsHeatExch(After(segment))) {
                if (isSpecified(x, NodeValue::Duty)) SpecifyDuty(x, 0.0);
                const int side = x->sideOf(segment);
                segment = side < 0 ? nullptr : x->getOutlet(side);
                if (!segment) break;
            }
        }
    }
}

bool DesignOptimiserNetwork::IsSearchedUtilityExchanger(int c, double& duty) {
    if (c < 0 || c >= static_cast<int>(m_flagged.size())) return false;
    CNode* unit = m_flagged[static_cast<std::size_t>(c)];
    if (!isSpecified(unit, NodeValue::Duty)) return false;
    if (std::find(m_utility.begin(), m_utility.end(), unit) == m_utility.end()) return false;
    duty = valueOf(unit, NodeValue::Duty);
    return true;
}

void DesignOptimiserNetwork::SpecifyFlaggedDuty(int c, double duty) {
    if (c >= 0 && c < static_cast<int>(m_flagged.size())) SpecifyDuty(m_flagged[static_cast<std::size_t>(c)], duty);
}

bool DesignOptimiserNetwork::HasLockedAreaMoved() {
    for (const auto& [unit, area] : m_lockedCalculated)
        if (valueOf(unit, NodeValue::HTArea) != area) return true;
    return false;
}
