// Savings of the utility exchangers: for every heater (cooler) of the existing network, another
// hot (cold) utility that would serve it at a lower cost, counting the unit's annualised capital
// cost with the new utility and the utility's cost. Each candidate is tried on a temporary copy of
// the base design in the scenario, which goes again before the next candidate: neither the base
// design nor the design being modified is touched.
#include "eng/retrofit/HenRetrofit.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <string>
#include <unordered_map>

namespace {

// The first name "<base>-<n>" (n = 1, 2, ...) that no design of the scenario bears.
CPString TemporaryDesignName(const IHeatIntegrationScenario& scenario, const CPString& base) {
    IHENDesign* existing = nullptr;
    for (int n = 1;; ++n) {
        CPString name = base + "-" + std::to_string(n);
        if (!scenario.GetDesign(name, existing)) return name;
    }
}

double AnnualisedCapitalCost(CNode* unit) {
    double value = 0.0;
    return unit && unit->getVariableAsDouble(NodeValue::AnnualizedCapitalCost, value) ? value : 0.0;
}

}  // namespace

IHENDesign* HenRetrofit::BaseDesign() const {
    IHeatIntegrationScenario* scenario = m_design ? m_design->GetScenario() : nullptr;
    if (scenario && m_baseSheet) {
        IHENDesign* design = nullptr;
        for (int i = 0; i < scenario->GetNumberOfDesigns(); ++i)
            if (scenario->GetDesign(i, design, 0) && design && design->GetFlowSheet() == m_baseSheet) return design;
    }
    return m_design;
}

bool HenRetrofit::ComputeUtilityExchangerSavings() {
    if (m_extractionState != kComputed) {
        m_heaterSavingsState = kFailed;
        m_coolerSavingsState = kFailed;
        return false;
    }
    IHENDesign* base = BaseDesign();
    IHeatIntegrationScenario* scenario = base ? base->GetScenario() : nullptr;
    if (!base || !scenario) {
        m_heaterSavingsState = kFailed;
        m_coolerSavingsState = kFailed;
        return false;
    }
    auto clear = [](Savings& s, std::size_t n) {
        s.alternativeNames.assign(n, CPString());
        s.exchangerIds.assign(n, 0);
        s.savings.assign(n, 0.0);
    };
    clear(m_heaterSavings, m_network.heaters.size());
    clear(m_coolerSavings, m_network.coolers.size());

    std::unordered_map<std::uint32_t, double> nodeTemperature;
    for (const NodeInfo& n : m_network.nodes) nodeTemperature.emplace(n.fingerprint, n.temperature);
    auto temperatureOf = [&](std::uint32_t node, double otherwise) {
        const auto found = nodeTemperature.find(node);
        return found != nodeTemperature.end() ? found->second : otherwise;
    };
    const CPString baseName = base->GetDesignName() ? base->GetDesignName() : "";
    // The records' duties are scaled once the models have been set up; the costs are in kW.
    const double loadScale = m_loadScale != 0.0 ? m_loadScale : 1.0;

    // One family (heaters: hot utilities, side 0; coolers: cold utilities, side 1). False when a
    // move on a temporary design failed, which ends the whole computation.
    auto family = [&](const auto& units, const auto& utilities, int side, Savings& out, int& state) {
        std::unordered_map<int, double> unitCostById;
        for (const UtilInfo& u : utilities) unitCostById[u.streamId] = u.unitCost;  // the last record counts
        for (std::size_t i = 0; i < units.size(); ++i) {
            const UtilHXInfo& unit = units[i];
            const auto present = unitCostById.find(unit.utilityStream);
            const double presentCost = present != unitCostById.end() ? present->second : 0.0;
            const double tIn = temperatureOf(unit.processInlet, unit.processInletTemperature);
            const double tOut = temperatureOf(unit.processOutlet, unit.processOutletTemperature);
            const double duty = unit.duty / loadScale;
            // The saving is measured from what the unit costs now, so that with several improving
            // utilities it is the whole saving of the best one.
            const double original = presentCost * duty + unit.annualisedCapitalCost;
            double best = original;
            out.exchangerIds[i] = unit.fingerprint;
            for (const UtilInfo& u : utilities) {
                if (u.unitCost > presentCost || u.streamId == unit.utilityStream) continue;
                const bool hotEnough = side == 0 ? tOut + m_dtMin <= u.supplyTemperature &&
                                                       tIn + m_dtMin <= u.outletTemperature
                                                 : m_dtMin + u.supplyTemperature <= tOut &&
                                                       m_dtMin + u.outletTemperature <= tIn;
                if (!hotEnough) continue;

                const CPString name = TemporaryDesignName(*scenario, baseName);
                IHENDesign* trial = nullptr;
                if (!scenario->AddDesign(name) || !scenario->GetDesign(name, trial) || !trial ||
                    base->CopyTo(*trial) != IHENDesign::CopyDone) {
                    state = kFailed;
                    scenario->DeleteDesign(name);
                    continue;
                }
                CNode* node = trial->GetNodeByFingerPrint(unit.fingerprint);
                HeatExch* exchanger = AsHeatExch(node);
                CNode* from = exchanger ? exchanger->getInlet(side) : nullptr;
                CNode* end = trial->GetStreamBlock(u.name, true);
                CNode* to = end ? end->getFirstUpStreamNode() : nullptr;
                if (!from || !to || !trial->MoveHeatExchangerSide(node, from, to, nullptr)) {
                    scenario->DeleteDesign(name);
                    return false;
                }
                // The move recalculates the copy with its utilities carrying its loads, so the
                // unit's capital is already priced on the new utility; recalculating the unit on its
                // own would see a utility without heat contents and wipe its area and capital.
                const double cost = AnnualisedCapitalCost(node) + u.unitCost * duty;
                if (cost < best) {
                    out.alternativeNames[i] = u.name;
                    state = kComputed;
                    out.savings[i] = original - cost;
                    best = cost;
                }
                scenario->DeleteDesign(name);
            }
        }
        return true;
    };
    if (!family(m_network.heaters, m_network.hotUtilities, 0, m_heaterSavings, m_heaterSavingsState)) return false;
    if (!family(m_network.coolers, m_network.coldUtilities, 1, m_coolerSavings, m_coolerSavingsState)) return false;
    return true;
}
