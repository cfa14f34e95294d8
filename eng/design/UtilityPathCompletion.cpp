// The completion of a given network by exchangers along its utility paths (see the header).
#include "eng/design/UtilityPathCompletion.h"

#include "eng/design/IHENDesign.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int kRecalculate = 98;
// Below this (kW) a utility's duty is nothing to take over.
constexpr double kSmallestDuty = 1e-3;
// A cost this much lower (a part in a million) is lower; less is the rounding of a recalculation.
constexpr double kCostTolerance = 1e-6;

double dutyOf(const CNode* unit) {
    double duty = 0.0;
    return unit->getVariableAsDouble(NodeValue::Duty, duty) && std::isfinite(duty) ? duty : 0.0;
}

// The total annual cost of a network that calculates whole and feasible, its heaters and coolers
// running forwards; infinity otherwise (no such network is a completion).
double annualCost(IHENDesign& design) {
    constexpr double kNone = std::numeric_limits<double>::infinity();
    if (design.GetCalculationStatus() != 1 || !design.GetInfeasibleHeatExchangers().empty() ||
        !design.GetIncompleteHeatExchangers().empty() || !design.DoUtilityUnitsRunForwards())
        return kNone;
    const double cost =
        design.GetTotalAnnualizedCapitalCost() + design.GetTotalUtilityCost(0) + design.GetTotalUtilityCost(1);
    return std::isfinite(cost) ? cost : kNone;
}

// The largest duty an exchanger between the inlet of `cooler` (hot) and the inlet of `heater`
// (cold) can carry: no more than either utility carries, and at the approach on both ends, each
// side's heat capacity flow taken from its utility unit. 0 when there is none.
double largestDuty(IHENDesign& design, CNode* cooler, CNode* heater) {
    double hotIn = 0.0, hotOut = 0.0, coldIn = 0.0, coldOut = 0.0;
    if (!design.GetExchangerPortTemperature(cooler, 0, hotIn) || !design.GetExchangerPortTemperature(cooler, 1, hotOut) ||
        !design.GetExchangerPortTemperature(heater, 2, coldIn) || !design.GetExchangerPortTemperature(heater, 3, coldOut))
        return 0.0;
    const double cooled = dutyOf(cooler), heated = dutyOf(heater);
    const double gap = hotIn - coldIn - design.GetDTMin();
    if (!(cooled > kSmallestDuty) || !(heated > kSmallestDuty) || !(gap > 0.0) || !(hotIn > hotOut) || !(coldOut > coldIn))
        return 0.0;
    const double hotFlow = cooled / (hotIn - hotOut), coldFlow = heated / (coldOut - coldIn);
    return std::min({cooled, heated, hotFlow * gap, coldFlow * gap});
}

// Places an exchanger in front of the cooler and the heater with the duty given, without the
// utilities the design would put at its ports, and recalculates; null when it cannot be placed.
CNode* place(IHENDesign& design, CNode* cooler, CNode* heater, double duty, const char* reason) {
    HeatExch* hot = dynamic_cast<HeatExch*>(cooler);
    HeatExch* cold = dynamic_cast<HeatExch*>(heater);
    if (!hot || !cold || !hot->getInlet(0) || !cold->getInlet(1)) return nullptr;
    CNode* unit = design.AddHeatExchanger(hot->getInlet(0), cold->getInlet(1), reason, NodeKind::HeatExchanger, nullptr);
    if (!unit) return nullptr;
    std::vector<std::pair<CNode*, int>> ports;
    for (int port : {0, 2, 1, 3}) ports.emplace_back(unit, port);
    design.RemoveUtilitiesAtPorts(ports);
    unit->addVariable(NodeValue::Duty, duty, ValueStatus::Specified, 1);
    design.ProcessChange(kRecalculate, CPString(), nullptr);
    return unit;
}

}  // namespace

int CompleteByUtilityPaths(IHENDesign& design, const char* reason) {
    int added = 0;
    double cost = annualCost(design);
    if (!std::isfinite(cost)) return 0;
    // Each round adds the one exchanger that lowers the cost most; a heater and a cooler fewer to
    // pair each time an exchanger takes one of them over whole, the rounds end.
    const int rounds = static_cast<int>(design.GetCoolers().size() + design.GetHeaters().size());
    for (int round = 0; round < rounds; ++round) {
        double best = cost;
        int bestCooler = -1, bestHeater = -1;
        double bestDuty = 0.0;
        const std::vector<CNode*> coolers = design.GetCoolers();
        const std::vector<CNode*> heaters = design.GetHeaters();
        for (std::size_t c = 0; c < coolers.size(); ++c)
            for (std::size_t h = 0; h < heaters.size(); ++h) {
                const double duty = largestDuty(design, coolers[c], heaters[h]);
                if (!(duty > kSmallestDuty)) continue;
                CNode* unit = place(design, coolers[c], heaters[h], duty, reason);
                if (!unit) continue;
                const double trial = annualCost(design);
                design.DeleteHeatExchanger(unit, reason);
                design.ProcessChange(kRecalculate, CPString(), nullptr);
                if (trial < best - kCostTolerance * std::fabs(best)) {
                    best = trial;
                    bestCooler = static_cast<int>(c);
                    bestHeater = static_cast<int>(h);
                    bestDuty = duty;
                }
            }
        if (bestCooler < 0) break;
        if (!place(design, coolers[static_cast<std::size_t>(bestCooler)], heaters[static_cast<std::size_t>(bestHeater)],
                   bestDuty, reason))
            break;
        cost = annualCost(design);
        ++added;
    }
    return added;
}
