// Design costs, loads and counts: totals over the exchangers, utility loads and costs, capital
// against the retrofit base design and payback, degrees of freedom and unknowns, and the tests
// of a satisfied stream and a complete design.
#include "eng/design/HENDesign.h"

#include "eng/design/AddedEquipment.h"
#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

using namespace chain;

namespace {
// A stream is satisfied, and a utility duty significant, within this share of the stream's load.
constexpr double kLoadTolerance = 0.0005;
constexpr double kHoursPerYear = 8765.76;
constexpr int kOperatingHours = 6;

double valueOf(const CNode* node, const char* name) {
    double v = 0.0;
    return node->getVariableAsDouble(name, v) ? v : 0.0;
}

bool isOpen(const CNode* node, const char* name) {
    return node->hasVariable(name) && node->getVariableStatus(name) == ValueStatus::Open;
}

bool isSpecified(const CNode* node, const char* name) {
    return node->getVariableStatus(name) == ValueStatus::Specified;
}
}  // namespace

// ---------------------------------------------------------------- totals

double CPIHENDesign::GetTotalCapitalCost() const {
    double sum = 0.0;
    for (CNode* x : m_exchangers) sum += valueOf(x, NodeValue::CapitalCost);
    m_totalCapitalCost = sum;
    return sum;
}

double CPIHENDesign::GetTotalAnnualizedCapitalCost() const {
    double sum = 0.0;
    for (CNode* x : m_exchangers) sum += valueOf(x, NodeValue::AnnualizedCapitalCost);
    return sum;
}

double CPIHENDesign::GetTotalArea() const {
    double sum = 0.0;
    for (CNode* x : m_exchangers) sum += valueOf(x, NodeValue::HTArea);
    return sum;
}

double CPIHENDesign::GetTotalAddedArea() const {
    double sum = 0.0;
    for (CNode* x : m_exchangers) sum += valueOf(x, "AddArea");
    return sum;
}

int CPIHENDesign::GetTotalNumberOfShells() const {
    int sum = 0;
    for (CNode* x : m_exchangers) {
        long shells = 0;
        if (x->getVariableAsInteger(NodeValue::TotalNShells, shells)) sum += static_cast<int>(shells);
    }
    return sum;
}

int CPIHENDesign::GetNumberOfAreaSpecifiedExchangers() const {
    int n = 0;
    for (CNode* x : m_exchangers) n += isSpecified(x, NodeValue::HTArea) ? 1 : 0;
    return n;
}

int CPIHENDesign::GetNumberOfConfiguredExchangers(int heater) const {
    int n = 0;
    for (CNode* x : m_exchangers) {
        HeatExch* exchanger = AsHeatExch(x);
        const double configuration = valueOf(x, "HeatExchangerConfiguration");
        if (exchanger && configuration != 0.0 && static_cast<int>(exchanger->IsHeater()) == heater) ++n;
    }
    return n;
}

bool CPIHENDesign::GetHeatExchanger(int index, CNode*& out) const {
    if (index < 0 || index >= static_cast<int>(m_exchangers.size())) return false;
    out = m_exchangers[static_cast<std::size_t>(index)];
    return true;
}

int CPIHENDesign::GetNumberOfUnitsOnStream(const CPString& streamName) const {
    const std::vector<CNode*>* units = UnitsOf(streamName);
    return units ? static_cast<int>(units->size()) : 0;
}

bool CPIHENDesign::GetUnitOnStream(const CPString& streamName, int index, CNode*& out) const {
    const std::vector<CNode*>* units = UnitsOf(streamName);
    if (!units || index < 0 || index >= static_cast<int>(units->size())) return false;
    out = (*units)[static_cast<std::size_t>(index)];
    return true;
}

std::vector<HeatExch*> CPIHENDesign::GetInfeasibleHeatExchangers() const {
    std::vector<HeatExch*> out;
    for (CNode* x : m_exchangers)
        if (HeatExch* exchanger = AsHeatExch(x); exchanger && !exchanger->IsFeasible()) out.push_back(exchanger);
    return out;
}

bool CPIHENDesign::AnyProcessExchangerCrossed() const {
    return std::any_of(m_exchangers.begin(), m_exchangers.end(), [this](CNode* x) {
        const HeatExch* exchanger = AsHeatExch(x);
        return exchanger && !exchanger->IsUtilityExch() && !exchanger->IsFeasible() &&
               exchanger->getStatus() == ExchangerStatus::Crossed;
    });
}

std::vector<CNode*> CPIHENDesign::GetInfeasibleFlaggedExchangerNodes() const {
    std::vector<CNode*> out;
    for (CNode* x : m_exchangers)
        if (HeatExch* exchanger = AsHeatExch(x); exchanger && exchanger->IsUtilityExch() && !exchanger->IsFeasible())
            out.push_back(x);
    return out;
}

// ---------------------------------------------------------------- utility loads and costs

void CPIHENDesign::UpdateUtilityLoads() { SumUtilityLoads(false); }

namespace {
// The segment an exchanger's side is read by: its inlet, or its outlet when it has no inlet.
StreamNode* sideSegment(HeatExch* exchanger, int side) {
    StreamNode* inlet = exchanger->getInlet(side);
    return inlet ? inlet : exchanger->getOutlet(side);
}
}  // namespace

void CPIHENDesign::RefreshExchangerSides() {
    bool same = m_exchangerSides.size() == m_exchangers.size();
    for (std::size_t i = 0; same && i < m_exchangers.size(); ++i) {
        const ExchangerSides& e = m_exchangerSides[i];
        if (e.node != m_exchangers[i]) {
            same = false;
            break;
        }
        if (!e.exchanger) continue;
        for (int side = 0; side < 2 && same; ++side) {
            const StreamNode* segment = sideSegment(e.exchanger, side);
            same = segment == e.segment[side] &&
                   static_cast<const void*>(segment ? segment->getParentPIStream() : nullptr) == e.flowsheetStream[side];
        }
    }
    if (same) return;
    m_exchangerSides.assign(m_exchangers.size(), ExchangerSides());
    for (std::size_t i = 0; i < m_exchangers.size(); ++i) {
        ExchangerSides& e = m_exchangerSides[i];
        e.node = m_exchangers[i];
        e.exchanger = AsHeatExch(e.node);
        if (!e.exchanger) continue;
        for (int side = 0; side < 2; ++side) {
            const StreamNode* segment = sideSegment(e.exchanger, side);
            e.segment[side] = segment;
            e.flowsheetStream[side] = segment ? segment->getParentPIStream() : nullptr;
            e.stream[side] = StreamOf(segment);
        }
    }
}

void CPIHENDesign::SumUtilityLoads(bool knownOnly) {
    for (auto& entry : m_utilityLoads) entry.second = 0.0;
    RefreshExchangerSides();
    // The loads are read after every change of the network (an optimiser's every trial): the
    // utility's entry is found once, not by its name for every exchanger on it. An entry of the
    // map stays where it is while others are added. Only an exchanger with a utility on a side
    // has its duty read.
    std::unordered_map<const IHeatIntegrationStream*, double*> loads;
    for (const ExchangerSides& e : m_exchangerSides) {
        if (!e.exchanger || !(IsUtilityStream(e.stream[0]) || IsUtilityStream(e.stream[1]))) continue;
        double duty = 0.0;
        if (knownOnly ? !e.exchanger->isKnown(NodeValue::Duty, duty) : !e.exchanger->getVariableAsDouble(NodeValue::Duty, duty))
            continue;
        for (int side = 0; side < 2; ++side) {
            IHeatIntegrationStream* stream = e.stream[side];
            if (!IsUtilityStream(stream)) continue;
            const auto [it, added] = loads.emplace(stream, nullptr);
            if (added) it->second = &m_utilityLoads[stream->GetName()];
            *it->second += duty;
        }
    }
}

double CPIHENDesign::GetUtilityLoad(const CPString& utilityName) const {
    const auto it = m_utilityLoads.find(utilityName);
    return it == m_utilityLoads.end() ? 0.0 : it->second;
}

double CPIHENDesign::GetExchangerDutyOnStream(IHeatIntegrationStream* stream, int side) const {
    if (!stream || side < 0 || side > 1) return 0.0;
    const std::vector<CNode*>* units = UnitsOf(stream->GetName());
    if (!units) return 0.0;
    double sum = 0.0;
    for (CNode* unit : *units) {
        HeatExch* exchanger = AsHeatExch(unit);
        CNode* segment = exchanger ? exchanger->getInlet(side) : nullptr;
        // An open duty holds the empty marker, not heat.
        if (segment && StreamOf(segment) == stream && unit->getVariableStatus(NodeValue::Duty) != ValueStatus::Open)
            sum += valueOf(unit, NodeValue::Duty);
    }
    return sum;
}

double CPIHENDesign::GetUsedUtilityLoad(IHeatIntegrationStream* stream) const {
    if (!stream) return 0.0;
    const int side = stream->GetSupplyTemperature() <= stream->GetTargetTemperature() ? 1 : 0;
    const double duty = GetExchangerDutyOnStream(stream, side);
    return duty > 0.0 ? duty : GetUtilityLoad(stream->GetName());
}

double CPIHENDesign::GetUtilityCost(const CPString& utilityName) const {
    IHeatIntegrationStream* stream = nullptr;
    if (!m_scenario || !m_scenario->GetStream(utilityName, stream) || !stream) return 0.0;
    return GetOperatingYearShare() * stream->GetCostIndex() * std::fabs(GetUtilityLoad(utilityName));
}

double CPIHENDesign::GetOperatingYearShare() const {
    return m_scenario ? m_scenario->GetEconomicData(kOperatingHours, "DEFAULT") / kHoursPerYear : 1.0;
}

double CPIHENDesign::GetTotalUtilityLoad(int side) const {
    if (!m_scenario) return 0.0;
    double sum = 0.0;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; m_scenario->GetStreamOfKind(i, stream, 1, side); ++i)
        if (stream) sum += GetUtilityLoad(stream->GetName());
    return sum;
}

double CPIHENDesign::GetTotalUtilityCost(int side) const {
    if (!m_scenario) return 0.0;
    double sum = 0.0;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; m_scenario->GetStreamOfKind(i, stream, 1, side); ++i)
        if (stream) sum += GetUtilityCost(stream->GetName());
    return sum;
}

// ---------------------------------------------------------------- retrofit capital and payback

double CPIHENDesign::RetrofitCapitalCost() const {
    IHENDesign* base = nullptr;
    const char* baseName = m_scenario ? m_scenario->GetRetrofitBaseDesignName() : nullptr;
    if (baseName && *baseName) m_scenario->GetDesign(CPString(baseName), base);
    double added = 0.0;
    for (CNode* x : m_exchangers) {
        CNode* twin = base ? base->GetNodeByFingerPrint(x->getDNAFingerPrint()) : nullptr;
        const double difference = valueOf(x, NodeValue::CapitalCost) - (twin ? valueOf(twin, NodeValue::CapitalCost) : 0.0);
        if (difference > 0.0) added += difference;
    }
    m_retrofitCapitalCost = added;
    return added;
}

double CPIHENDesign::CalculateCapitalCost() { return RetrofitCapitalCost(); }

void CPIHENDesign::RefreshRetrofitFigures() {
    m_retrofitCapitalCost = 0.0;
    if (GetScenarioLockState() != 2) return;
    IHENDesign* base = nullptr;
    const char* baseName = m_scenario->GetRetrofitBaseDesignName();
    if (!baseName || !*baseName || !m_scenario->GetDesign(CPString(baseName), base) || !base || base == this) return;
    RecordAddedEquipment(base->GetFlowSheet(), *this);
}

double CPIHENDesign::GetPaybackTime() const {
    if (m_retrofitCapitalCost == 0.0) RetrofitCapitalCost();
    const double base = m_scenario ? m_scenario->GetRetrofitBaseUtilityCost() : 0.0;
    const double saving = base - GetTotalUtilityCost(2);
    if (saving == 0.0) return m_paybackTime;
    m_paybackTime = m_retrofitCapitalCost / saving;
    return m_paybackTime;
}

// ---------------------------------------------------------------- specification counts

int CPIHENDesign::GetDegreesOfFreedom() const {
    int dof = 0;
    for (CNode* unit : m_sheet->getAllNodes()) dof += DegreesOfFreedomAt(unit);
    return dof;
}

// What one node adds to the network's freedom. It reads the node's own specifications and, for a
// unit, the segments beside it, so an edit changes the count only at the nodes it reconnects or
// respecifies; the batch removal of port utilities keeps its count up to date that way.
int CPIHENDesign::DegreesOfFreedomAt(CNode* unit) const {
    // A utility runs from its supply to its target through every heater or cooler on it, at the
    // flow their loads together ask: the temperatures between them follow from their duties and
    // are no freedom of the network.
    if (IsSegment(unit)) return IsUtilityStream(StreamOf(unit)) || isSpecified(unit, NodeValue::Temperature) ? 0 : 1;
    CNode* segment = unit->getIthDownStreamNode(0);
    if (!IsSegment(segment)) segment = nullptr;
    for (int i = 0; !segment && i < unit->getNumberOfDownStreamSlots(); ++i)
        if (IsSegment(unit->getIthDownStreamNode(i))) segment = unit->getIthDownStreamNode(i);
    for (int i = 0; !segment && i < unit->getNumberOfUpStreamSlots(); ++i)
        if (IsSegment(unit->getIthUpStreamNode(i))) segment = unit->getIthUpStreamNode(i);
    if (!segment) return 0;
    int dof = 0;
    if (IsExchanger(unit)) {
        HeatExch* exchanger = AsHeatExch(unit);
        dof -= exchanger && exchanger->IsUtilityExch() ? 0 : 1;
        dof -= isSpecified(unit, NodeValue::Duty) ? 1 : 0;
        dof -= isSpecified(unit, NodeValue::HTArea) ? 1 : 0;
    } else if (IsUtilityStream(StreamOf(segment))) {
        return 0;
    } else if (IsMixer(unit)) {
        dof -= 1;
    } else if (IsTee(unit)) {
        // Each branch leaves at the inlet's temperature; of the shares, all but one are free (they
        // add up to the whole flow) until the user gives them.
        const int branches = unit->getNumberOfDownStreamNodes();
        int given = 0;
        for (int i = 0; i < unit->getNumberOfDownStreamSlots(); ++i)
            if (CNode* branch = unit->getIthDownStreamNode(i); branch && isSpecified(branch, NodeValue::SplitFraction))
                ++given;
        dof -= branches;
        if (branches > 1) dof += std::max(0, branches - 1 - given);
    }
    return dof;
}

int CPIHENDesign::GetNumberOfUnknowns() const {
    int n = 0;
    for (CNode* unit : m_sheet->getAllNodes()) {
        if (IsSegment(unit))
            n += (isOpen(unit, NodeValue::Temperature) ? 1 : 0) + (isOpen(unit, NodeValue::SplitFraction) ? 1 : 0);
        else if (IsExchanger(unit))
            n += (isOpen(unit, NodeValue::Duty) ? 1 : 0) + (isOpen(unit, NodeValue::HTArea) ? 1 : 0);
    }
    return n;
}

bool CPIHENDesign::IsStreamSatisfied(IHeatIntegrationStream* stream, double* remainder) const {
    if (!stream) return false;
    if (IsUtilityStream(stream)) return true;
    // A heater or cooler running backwards closes the balance of a stream the other units take past
    // its target: the stream is then short of what its forward units overshoot.
    double sum = 0.0, forwards = 0.0;
    bool backwards = false;
    if (const std::vector<CNode*>* units = UnitsOf(stream->GetName()))
        for (CNode* unit : *units) {
            const double duty = valueOf(unit, NodeValue::Duty);
            sum += duty;
            if (IsBackwardsUtilityUnit(unit)) backwards = true;
            else forwards += duty;
        }
    const double load = stream->GetHeatLoad(0);
    if (!backwards && load != 0.0 && std::fabs((sum - load) / load) <= kLoadTolerance) return true;
    if (remainder) *remainder = std::fabs((backwards ? forwards : sum) - load);
    return false;
}

bool CPIHENDesign::IsBackwardsUtilityUnit(CNode* unit) const {
    HeatExch* x = AsHeatExch(unit);
    if (!x || !x->IsUtilityExch() || unit->getVariableStatus(NodeValue::Duty) == ValueStatus::Open)
        return false;
    const double duty = valueOf(unit, NodeValue::Duty);
    return duty < 0.0 && !x->HasNegligibleDuty(duty);
}

bool CPIHENDesign::DoUtilityUnitsRunForwards() const {
    for (CNode* unit : m_exchangers)
        if (IsBackwardsUtilityUnit(unit)) return false;
    return true;
}

bool CPIHENDesign::IsDesignComplete() const {
    return GetNumberOfUnsatisfiedProcessStreams() == 0 && GetNumberOfIncompleteHeatExchangers(false) == 0;
}

bool CPIHENDesign::HasSignificantUtilityDuty(CNode* segment) const {
    if (!IsSegment(segment)) return false;
    IHeatIntegrationStream* stream = StreamOf(segment);
    if (!stream || IsUtilityStream(stream)) return false;
    if (!isSpecified(segment, NodeValue::Temperature)) return true;
    CNode* utility = IsPlaceholder(Before(segment)) ? Before(segment) : IsPlaceholder(After(segment)) ? After(segment) : nullptr;
    if (!utility) return false;
    if (utility->getVariableStatus(NodeValue::Duty) == ValueStatus::Open) return true;
    const double load = stream->GetHeatLoad(0);
    return load != 0.0 && std::fabs(valueOf(utility, NodeValue::Duty) / load) > kLoadTolerance;
}
