// What the network calculator refreshes between the passes of its heat set: the load and flow
// of each utility, the side balances re-linearised at the temperatures just solved, the overall
// coefficient and F-factor of segmented exchangers, and, after a solution, the utility sides
// closed off at the utility's end temperature.
#include "eng/design/HENCalculator.h"
#include "eng/design/HENCalculatorEquation.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "pellin/FFactor.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace {
IHeatIntegrationStream* StreamOf(CNode* node) {
    StreamNode* s = AsStreamNode(node);
    return s ? dynamic_cast<IHeatIntegrationStream*>(s->getParentPIStream()) : nullptr;
}

bool StandsOn(CNode* dummy, const IHeatIntegrationStream& stream) {
    IHeatIntegrationStream* s = dummy ? StreamOf(dummy->getIthUpStreamNode(0)) : nullptr;
    return s == &stream;
}

// Specific heat of the stream's segment at a temperature; 0 where it states none.
double SpecificHeatAt(const IHeatIntegrationStream& s, double t) {
    const double cp = s.GetSegmentValueAtTemperature(t, "SpecificHeat");
    return cp > 0.0 && cp != -32767.0 ? cp : 0.0;
}

// Specific heat of the stream's segment at a temperature; the heat-capacity flow rate when the
// stream states no specific heat (the share below is a ratio, so either serves).
double CpAt(const IHeatIntegrationStream& s, double t) {
    const double cp = SpecificHeatAt(s, t);
    if (cp > 0.0) return cp;
    return s.GetSegmentValueAtTemperature(t, NodeValue::HeatCapacityFlowrate);
}

// The integral of a per-degree figure of the stream between two temperatures, piecewise over
// the stream's points.
template <class PerDegree>
double OverPoints(const IHeatIntegrationStream& s, double from, double to, PerDegree perDegree) {
    const double lo = std::min(from, to), hi = std::max(from, to);
    std::vector<double> edges{lo};
    for (int i = 0; i <= s.GetNumberOfSegments(); ++i) {
        double t = 0.0;
        if (s.GetValue("Temperature", t, i) && t > lo && t < hi) edges.push_back(t);
    }
    std::sort(edges.begin() + 1, edges.end());
    edges.push_back(hi);
    double q = 0.0;
    for (std::size_t k = 0; k + 1 < edges.size(); ++k)
        q += perDegree(0.5 * (edges[k] + edges[k + 1])) * (edges[k + 1] - edges[k]);
    return q;
}

// Heat per unit flow between two temperatures.
double HeatBetween(const IHeatIntegrationStream& s, double from, double to) {
    return OverPoints(s, from, to, [&s](double t) { return CpAt(s, t); });
}

// The heat-capacity flow rate at the supply of a utility carrying a load over its whole range:
// one mass flow through every segment, each taking its specific heat times its span (the span
// alone where the utility states no specific heats).
double FlowOverRange(const IHeatIntegrationStream& s, double load) {
    const double ts = s.GetSupplyTemperature(), tt = s.GetTargetTemperature();
    const bool bySpecificHeat = SpecificHeatAt(s, ts) > 0.0;
    auto weight = [&](double t) { return bySpecificHeat ? SpecificHeatAt(s, t) : 1.0; };
    const double perFlow = OverPoints(s, ts, tt, weight);
    return perFlow > 0.0 ? std::fabs(load) * weight(ts) / perFlow : 0.0;
}
}  // namespace

double HENCalculator::UpdateUtilityLoad(IHeatIntegrationStream& stream) {
    const std::vector<CNode*>* units = UnitsOf(stream.GetName());
    if (!units || units->empty()) return 0.0;
    double load = 0.0;
    for (CNode* unit : *units)
        if (HeatExch* x = NodeCast<HeatExch>(unit, NodeKind::CountercurrentHX)) load += x->getLoad();
    for (CNode* dummy : m_dummyUtilityUnits) {
        double duty = 0.0;
        if (StandsOn(dummy, stream) && dummy->getVariableAsDouble(NodeValue::Duty, duty)) load += duty;
    }
    stream.SetHeatLoad(load, 1);
    return load;
}

double HENCalculator::MaximumUtilityFlow(IHeatIntegrationStream& stream) const {
    const double cpSupply = CpAt(stream, stream.GetSupplyTemperature());
    double cap = 0.0;
    if (stream.GetValueStatus("MaxMassFlow", 0) != 0 && stream.GetValue("MaxMassFlow", cap, 0) && cap != -32767.0 &&
        cap > 0.0 && cpSupply > 1e-8)
        return cap * cpSupply;
    return std::numeric_limits<double>::infinity();
}

void HENCalculator::UpdateUtilityFlow(IHeatIntegrationStream& stream) {
    const std::vector<CNode*>* units = UnitsOf(stream.GetName());
    if (!units || units->empty()) return;
    CPValue* holder = UtilityFlow(stream.GetName());
    double m = 0.0;
    bool placeholder = false;
    for (CNode* dummy : m_dummyUtilityUnits) placeholder = placeholder || StandsOn(dummy, stream);
    if (m_passes == 0 || !placeholder) {
        // The flow that carries the duties its units have now over the utility's whole range.
        // Every pass takes it afresh from the duties the pass before solved: the first pass
        // starts from the duties of the state the network was in (another schedule's, or the
        // locked one), and a chain of units in series on the utility must end at the utility's
        // target with the flow of this state's duties, not of that one's.
        // The flow is the load over the utility's whole range, from its supply to its target,
        // where the units in series on it take it: not over the range the targets placed it on,
        // which a changed stream may have shrunk to nothing while the coolers stay in service.
        m = FlowOverRange(stream, UpdateUtilityLoad(stream));
    } else {
        const double previous = holder ? holder->GetValue() : 0.0;
        m = previous;
        // The utility's temperature where its placeholder takes over: the heat used so far
        // ends there. Without a placeholder nothing tells the used share, and the flow stays.
        bool found = false;
        double td = 0.0;
        for (CNode* dummy : m_dummyUtilityUnits)
            if (StandsOn(dummy, stream) && dummy->getIthUpStreamNode(0) &&
                dummy->getIthUpStreamNode(0)->getVariableAsDouble(NodeValue::Temperature, td))
                found = true;
        if (found) {
            const double ts = stream.GetSupplyTemperature(), tt = stream.GetTargetTemperature();
            const double whole = HeatBetween(stream, ts, tt);
            // The used share of the utility's range, summed over every segment it passes.
            const double share = whole > 0.0 ? HeatBetween(stream, ts, td) / whole : 0.0;
            m = share * previous;
        }
    }
    // A stated maximum flow caps it, in every pass: the first pass too, where the flow that
    // carries the duties over the utility's whole range would need more than the utility has (the
    // utility then leaves warmer or colder than its target). A utility reports its flows as
    // calculated whether or not one is stated, so a maximum that is not there is no cap.
    m = std::min(m, MaximumUtilityFlow(stream));
    if (m < 1e-5) m = 1e-5;
    // The stream's units and its placeholders, looked up once per equation. Each utility walks
    // the utility-side balances and placeholders of all utilities: a site has a handful of
    // utilities, so this stays linear in the network's size times that handful.
    std::unordered_set<const CNode*> own(units->begin(), units->end());
    for (CNode* dummy : m_dummyUtilityUnits)
        if (StandsOn(dummy, stream)) own.insert(dummy);
    for (HENCalculatorEquation* e : m_utilitySideBalances) {
        auto* side = dynamic_cast<HeatExchangerHeatBalanceEquation*>(e);
        if (!side || !side->UtilityFlow() || !own.count(e->GetUnit())) continue;
        // The side's heat capacities are read again: the utility's load, and with it its flow
        // per degree, may have changed since the pass before set them.
        side->SetUpStreamCoefficients(*this, e->GetUnit(), side->Side());
        side->UpdateHeatCapacityFactors(stream);
        side->UtilityFlow()->value = m;
        if (side->UtilityFlow()->holder) side->UtilityFlow()->holder->SetValue(m, side->UtilityFlow()->holder->GetStatus());
    }
    if (holder) holder->SetValue(m, holder->GetStatus());
}

void HENCalculator::RefreshEquation(HENCalculatorEquation& equation) {
    const CPString& group = equation.GetGroup();
    if (group == "HXHeatBalances" || group == "UtilitySideBalances") {
        if (auto* side = dynamic_cast<HeatExchangerHeatBalanceEquation*>(&equation))
            side->SetUpStreamCoefficients(*this, equation.GetUnit(), side->Side());
        return;
    }
    if (group != "TotalHeatBalances") return;
    auto* total = dynamic_cast<HeatExchangerTotalHeatBalanceEquation*>(&equation);
    HeatExch* x = NodeCast<HeatExch>(equation.GetUnit(), NodeKind::CountercurrentHX);
    if (!x || !total) return;
    if (!x->IsFiredHeater()) {
        const double u = x->calculateULogMeanTD(1);
        if (u > 0.0) x->writeCalculated(NodeValue::OverallHTC, u);
    }
    long type = 0;
    const auto& held = total->Held();
    if (x->getVariableAsInteger(NodeValue::HXType, type) && type == 1 && held.size() >= 4) {
        double shells = 1.0, old = 1.0;
        x->getVariableAsDouble(NodeValue::NShellsInSeries, shells);
        if (!x->getVariableAsDouble(NodeValue::FtFactor, old)) old = 1.0;
        const double f = g_CalculateFFactorWithFixedShells(held[0]->Current(), held[1]->Current(), held[2]->Current(),
                                                          held[3]->Current(), shells);
        CPValue* ft = x->findValue(NodeValue::FtFactor);
        const int status = ft ? ft->GetStatus() : ValueStatus::Calculated;
        x->addVariable(NodeValue::FtFactor, (old + f) * 0.5, status);
    }
}

void HENCalculator::FinishUtilitySide(HENCalculatorEquation& equation) {
    if (equation.GetGroup() != "UtilitySideBalances") return;
    auto* side = dynamic_cast<HeatExchangerHeatBalanceEquation*>(&equation);
    HeatExch* x = NodeCast<HeatExch>(equation.GetUnit(), NodeKind::CountercurrentHX);
    if (!x || !side) return;
    StreamNode* outlet = x->getOutlet(side->Side());
    CNode* after = outlet ? outlet->getIthDownStreamNode(0) : nullptr;
    double end = 0.0;
    // A utility held at its maximum flow leaves where the balance put it, short of its end
    // temperature: closing its side there would take a flow it does not have.
    bool atMaximum = false;
    CPString name;
    if (side->UtilityFlow() && outlet && outlet->getVariableAsString(NodeValue::ParentStream, name))
        for (IHeatIntegrationStream* u : m_utilityStreams)
            if (u->GetName() == name) atMaximum = side->UtilityFlow()->value >= MaximumUtilityFlow(*u) * (1.0 - 1e-9);
    if (!atMaximum && after && after->getClassName() == NodeKind::ProductBlock &&
        after->getVariableAsDouble(NodeValue::Temperature, end)) {
        outlet->addVariable(NodeValue::Temperature, end, ValueStatus::Open);
        outlet->addVariable(NodeValue::Temperature, end, ValueStatus::Specified);
    }
    if (x->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified) x->setArea();
}
