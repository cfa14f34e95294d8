// Units that exchange heat through an energy stream: a condenser whose duty drives a reboiler, a
// cooler whose heat goes to a heater. The simulator models them as two units on utilities joined
// by the energy stream; in the network they are one process-to-process exchanger.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "pellin/CNode.h"
#include "ralvex/Case.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

constexpr const char* kReason = "by data extraction module";
constexpr const char* kEnergyStream = "ppEnergyStream";

// Units that stand in the design under their own name.
const char* const kHeaterTypes[] = {"htCooler",           "htHeater",         "htAirCooler",
                                    "htFiredHeater",      "htCondenserPartial", "htCondenserTotal",
                                    "htCondenserThreePhase", "htReboiler",    "htReboilerThreePhase"};
// Units whose duty the extraction made a stream of its own, named after the energy stream.
const char* const kDutyHolders[] = {"vsSeparatorTwoPhase", "vsSeparatorThreePhase", "vsTank", "vsSeparator",
                                    "vsTraySection"};
// Passed over when following an energy stream to the unit it feeds.
const char* const kVessels[] = {"vsSeparatorTwoPhase", "vsSeparatorThreePhase", "vsTank",
                                "rxContinuouslyStirredTankReactor", "rxPlugFlowReactor", "rxConversionReactor",
                                "rxEquilibriumReactor", "rxGibbsReactor"};

bool IsCandidate(const CPItem* item) { return IsOneOf(item, kHeaterTypes) || IsOneOf(item, kDutyHolders); }

}  // namespace

CNode* VelmorToTarsilImport::DesignUnitForCaseUnit(const CPItem* energyStream, const CPItem* unit, CPString& name) const {
    IHENDesign* design = GetBaseDesign();
    if (!design || !unit) return nullptr;
    if (IsOneOf(unit, kHeaterTypes)) {
        CNode* node = NetworkUnitOf(unit);
        if (node) name = m_unitNames.at(unit);
        return node;
    }
    if (IsOneOf(unit, kDutyHolders) && energyStream) {
        // The duty's stream carries the energy stream's name, or the free one it took.
        CPString stream = energyStream->_get_szName();
        for (const auto& [name, item] : m_energyStreamItems)
            if (item == energyStream) stream = name;
        CNode* node = nullptr;
        if (design->GetUnitOnStream(stream, 0, node)) return node;
    }
    return nullptr;
}

void VelmorToTarsilImport::JoinEnergyStreamPairs() {
    IHENDesign* design = GetBaseDesign();
    if (!design || !m_case) return;
    std::vector<CPItem*> candidates;
    for (CPItem* item : m_extractedItems)
        if (IsCandidate(item)) candidates.push_back(item);
    const std::unordered_set<const CPItem*> isCandidate(candidates.begin(), candidates.end());

    for (CPItem* u : candidates) {
        for (CPItem* e : u->RelatedNodes(CPItem::Downstream)) {
            if (!IsClass(e, kEnergyStream)) continue;
            // Follow the energy stream to the unit it feeds: vessels and reactors (whose duty the
            // stream only passes through) and items inside sub-flowsheets are passed over, and an
            // energy stream feeding another is followed on. Each energy stream is followed once.
            CPItem* last = e;
            CPItem* v = nullptr;
            std::unordered_set<const CPItem*> followed{e};
            for (CPItem* current = e; current && !v;) {
                CPItem* next = nullptr;
                for (CPItem* n : current->RelatedNodes(CPItem::Downstream)) {
                    if (IsOneOf(n, kVessels) || m_case->GetModel().IsAncestor(n, "picSubFlowsheets")) continue;
                    next = n;
                    break;
                }
                if (!next) break;
                if (IsClass(next, kEnergyStream)) {
                    if (!followed.insert(next).second) break;
                    last = next;
                    current = next;
                    continue;
                }
                v = next;
            }
            if (!v || v == u || !isCandidate.count(v)) continue;

            CPString uName, vName;
            CNode* uNode = DesignUnitForCaseUnit(e, u, uName);
            CNode* vNode = DesignUnitForCaseUnit(last, v, vName);
            if (!uNode || !vNode || uNode == vNode) continue;
            CPString name;
            if (!uName.empty()) name = uName + "_" + vName;
            else if (!vName.empty()) name = vName + "_";
            else name = e->_get_szName() + "_" + last->_get_szName();
            // The joined exchanger never takes the name of a unit the case or the network holds.
            name = FreeUnitName(name);

            // The first pair of stream sides the design accepts as a match.
            CNode* uSides[] = {uNode->getIthUpStreamNode(0), uNode->getIthUpStreamNode(1)};
            CNode* vSides[] = {vNode->getIthUpStreamNode(0), vNode->getIthUpStreamNode(1)};
            CNode* joined = nullptr;
            for (CNode* a : uSides) {
                for (CNode* b : vSides)
                    if (a && b && !design->CheckStreamMatch(a, b)) {
                        joined = design->AddHeatExchanger(a, b, kReason, "htHeatExchanger", name.c_str());
                        break;
                    }
                if (joined) break;
            }
            if (!joined) continue;

            m_exchangerItems.erase(uName);
            m_exchangerItems.erase(vName);
            m_exchangerItems[name] = u;
            m_unitNames.erase(v);
            m_unitNames[u] = name;
            design->DeleteHeatExchanger(uNode, kReason);
            design->DeleteHeatExchanger(vNode, kReason);
            for (int port = 0; port < 4; ++port)
                if (!design->IsPortFreeOfUtility(joined, port) && design->CanRemoveUtilityAtPort(joined, port))
                    design->RemoveUtilityAtPort(joined, port);
            ForgetNetworkItem(u);
            ForgetNetworkItem(v);
            double duty = 0.0;
            const bool free = !joined->hasVariable("Duty") || joined->getVariableStatus("Duty") != 1;
            if (free && KnownNumber(u, "Duty", duty) && duty != CPValue::Empty && duty != 0.0)
                joined->addVariable("SimDuty", std::fabs(duty), 1, 1);
        }
    }
}
