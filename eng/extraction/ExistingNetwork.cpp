// The existing network of the case as the base design: units sorted by class and placed, then
// the design made ready for its calculation (free temperatures inside the network, utilities
// only where the network needs them, duties from the simulator where the design leaves them
// free) and the utilities' approach contributions and fired-heater costs.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/ScenarioUtilityAdd.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "ralvex/Case.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr const char* kReason = "by data extraction module";
constexpr double kEmpty = -32767.0;
constexpr const char* kFiredHeater = "Fired Heater";

const char* const kFlowUnits[] = {"rtPump", "ppPipeSegment", "ppValve", "lgRecycle"};

HeatExch* AsExchanger(CNode* node) {
    void* out = nullptr;
    if (!node || node->QueryInterface("Lurmet_countercurrent_HX", &out) != 1) return nullptr;
    return dynamic_cast<HeatExch*>(static_cast<CNode*>(out));
}

// A node value that is known: found and holding a number other than the empty value.
bool NodeNumber(const CNode* node, const char* name, double& out) {
    return node && node->getVariableAsDouble(name, out) == 1 && out != kEmpty;
}

// Only a specified duty (status 1) binds the unit; a calculated or missing one is free.
bool DutyIsFree(const CNode* node) {
    return node && (!node->hasVariable("Duty") || node->getVariableStatus("Duty") != 1);
}

CPItem* FirstMaterialStream(CPItem* item, int kind) {
    if (!item) return nullptr;
    for (CPItem* n : item->RelatedNodes(kind))
        if (IsClass(n, CaseClass::MaterialStream)) return n;
    return nullptr;
}

}  // namespace

const char* VelmorToTarsilImport::ClassifyFlowUnit(const CPItem* unit) {
    if (!IsOneOf(unit, kFlowUnits)) return nullptr;
    CPItem* self = const_cast<CPItem*>(unit);
    const CPItem* out = FirstMaterialStream(self, CPItem::Downstream);
    const CPItem* in = FirstMaterialStream(self, CPItem::Upstream);
    double hOut = 0.0, hIn = 0.0;
    if (!out || !in || !KnownNumber(out, "HeatFlow", hOut) || !KnownNumber(in, "HeatFlow", hIn)) hOut = hIn = 0.0;
    if (std::fabs(hOut - hIn) <= 1e-8) return "DoNotAdd";
    return hOut > hIn ? "AddToHeaterList" : "AddToCoolerList";
}

void VelmorToTarsilImport::ExtractExistingNetwork() {
    IHENDesign* design = GetBaseDesign();
    if (!design) return;
    const double excel = Setting("TransferFromExcel");
    const double shiftForPumps = Setting("ShiftTempsForPumps");

    // 1. Sort the units.
    std::vector<CPItem*> exchangers, coolers, heaters, lng;
    m_existingNetworkItems.clear();
    for (CPItem* item : m_extractedItems) {
        if (IsClass(item, "htHeatExchanger")) {
            exchangers.push_back(item);
            m_existingNetworkItems.push_back(item);
        } else if (IsOneOf(item, kPlacedCoolers)) {
            coolers.push_back(item);
            m_existingNetworkItems.push_back(item);
        } else if (IsOneOf(item, kPlacedHeaters)) {
            heaters.push_back(item);
            m_existingNetworkItems.push_back(item);
        } else if (IsOneOf(item, kFlowUnits)) {
            if (shiftForPumps != 0.0) continue;
            const char* list = ClassifyFlowUnit(item);
            if (!list) continue;
            if (std::string(list) == "AddToHeaterList") heaters.push_back(item);
            else if (std::string(list) == "AddToCoolerList") coolers.push_back(item);
        } else if (IsClass(item, "htLNGExchanger")) {
            lng.push_back(item);
        } else if (m_case && m_case->GetModel().IsAncestor(item, "picHeatTransferEquipment")) {
            // Heat-transfer equipment of a kind the network does not take (a class the case
            // declares of its own, say): the report names it rather than leave its duty unseen.
            ReportUnitNotPlaced(item);
        }
    }
    for (std::vector<CPItem*>* list : {&exchangers, &coolers, &heaters}) SortByPlacePosition(*list);
    const std::vector<CPItem*>* lists[] = {&exchangers, &coolers, &heaters};

    // 2-5. Placement on a switched-off design. The streams took their values while the
    // design was not listening: their ends are brought up to date and the design calculated
    // once (branches take their temperatures), since the placement finds its way by the
    // temperatures along each stream.
    design->Deactivate();
    for (int i = 0; i < design->GetNumberOfStreams(); ++i)
        if (IHeatIntegrationStream* stream = design->GetStream(i)) design->ProcessChange(36, stream->GetName(), nullptr);
    design->Activate(1);
    design->Deactivate();
    for (CPItem* item : exchangers) AddExchangerFromItem(item);
    for (CPItem* item : coolers) AddUtilityExchangerFromItem(item);
    for (CPItem* item : heaters) AddUtilityExchangerFromItem(item);
    for (const auto* list : lists)
        for (CPItem* item : *list) ReleaseInternalTemperatures(item);
    design->Activate(1);

    // 6-9.
    JoinEnergyStreamPairs();
    design->RemoveUtilitiesAfterMixers();
    // Removed one by one on a switched-on design, each removal would recalculate the network.
    design->Deactivate();
    for (const auto* list : lists)
        for (CPItem* item : *list) RemoveRemovableUtilities(item);
    design->Activate(1);
    AssignLeftOutDuties();
    for (const auto* list : lists)
        for (CPItem* item : *list) SetDutyFromHeatFlows(item);
    design->AddUtilitiesAtStreamEnds();
    // A split stream's utility after its mixer comes with the stream ends: only then does a unit
    // on its branch have a placeholder after it. What the removals leave over-specified takes a
    // utility at a stream end again, which may in turn stand after a unit of another stream's
    // branch: a few rounds, each a pass over the units, until none gives a placeholder up.
    for (int round = 0; round < 4; ++round) {
        bool dropped = false;
        std::unordered_set<const CNode*> settled;
        for (const auto* list : lists)
            for (CPItem* item : *list) dropped = DropPlaceholderBeforeFixedDuty(item, settled) || dropped;
        design->AddUtilitiesAtStreamEnds();
        if (!dropped) break;
    }
    design->AddMissingUtilities();

    // 10.
    m_scenario->SetSuppressTargetUpdate(true);
    AddSimulationUtilityStreams();
    m_scenario->SetSuppressTargetUpdate(false);

    // 11.
    for (CPItem* item : m_existingNetworkItems) m_scenario->AddExtractionItemName(item->_get_szName());

    // 12.
    if (!lng.empty())
        if (ReportHolder* report = Report()) {
            CPString names;
            for (const CPItem* item : lng) names += (names.empty() ? "" : ", ") + item->_get_szName();
            report->AddEntry("Warnings", "LNGExchangers",
                             FormatMessage(FindString("ExtractionLNGExchangers"), {names}).c_str());
        }

    // 13. Only for a case read from a simulator (not from a spreadsheet).
    if (excel == 0.0) {
        IDefaultUtilityManager* manager = nullptr;
        if (m_scenario->GetDefaultUtilityManager(manager) == 1 && manager) {
            for (int i = 0; i < manager->GetNumberOfDefaultUtilities(); ++i) {
                const char* name = manager->GetDefaultUtilityName(i);
                if (!name) continue;
                const CPString utility = name;
                double value = manager->GetValue(utility.c_str(), DUP_DTminContribution);
                if (value < 0.0) value = 0.0;
                IHeatIntegrationStream* stream = nullptr;
                if (m_scenario->GetStream(utility, stream) && stream &&
                    stream->SetDTminContribution(value, "Local", 0, 1) != 1)
                    ErrorMsg("DeltaTcUpdateError");
            }
        }
        const bool both = design->GetNumberOfHeaters() > 0 && design->GetNumberOfCoolers() > 0;
        if (!design->GetExchangersWithUtilitiesAtPorts().empty() && both) design->AddDummyUtilitiesForExtraction();
        design->Deactivate();
        ParallelizeSeriesExchangers();
        design->Activate(1);
        if (design->GetNumberOfHeaters() > 0 && design->GetNumberOfCoolers() > 0) PrepareExchangerDuties();
        design->SetSplitFractionsFromBranchDuties();
        design->RemoveSingleBranchSplitters();
        m_scenario->AddEconomicData(kFiredHeater);
        m_scenario->SetEconomicData(EDT_FixedCostPerUnit, 100000.0, kFiredHeater);
        m_scenario->SetEconomicData(EDT_AreaCostCoefficient, 1000.0, kFiredHeater);
        m_scenario->SetEconomicData(EDT_AreaExponent, 0.8, kFiredHeater);
        m_scenario->SetEconomicData(EDT_CostLaw, 1.0, kFiredHeater);
    }

    // 14. The duties set above are values on the nodes only: the network is calculated with
    // them before its exchangers are judged.
    design->Activate(1);
    CheckExchangerFeasibility();
}

void VelmorToTarsilImport::AddSimulationUtilityStreams() {
    IHENDesign* design = GetBaseDesign();
    IDefaultUtilityManager* manager = nullptr;
    if (!design || Setting("TransferFromExcel") != 0.0 || m_scenario->GetDefaultUtilityManager(manager) != 1 || !manager)
        return;
    const int n = manager->GetNumberOfDefaultUtilities();
    if (manager->GetNumberOfSimulationUtilities() <= 0 || n <= 0) return;
    for (int i = 0; i < n; ++i) {
        if (!manager->AmISimulationUtility(i)) continue;
        const char* text = manager->GetDefaultUtilityName(i);
        if (!text) continue;
        const CPString name = text;
        IHeatIntegrationStream* stream = nullptr;
        if (m_scenario->GetStream(name, stream) && stream) continue;
        AddUtilityStream(*m_scenario, name);
        if (!m_scenario->GetStream(name, stream) || !stream) continue;
        CNode* start = design->GetStreamBlock(name, false);
        CNode* end = design->GetStreamBlock(name, true);
        CNode* first = start ? start->getIthDownStreamNode(0) : nullptr;
        CNode* last = end ? end->getIthUpStreamNode(0) : nullptr;
        const double supply = stream->GetSupplyTemperature(), target = stream->GetTargetTemperature();
        if (first && last && supply > -273.15 && target > -273.15) {
            first->addVariable("Temperature", supply, 1, 1);
            last->addVariable("Temperature", target, 1, 1);
        }
    }
}

void VelmorToTarsilImport::ReleaseInternalTemperatures(CPItem* unit) {
    IHENDesign* design = GetBaseDesign();
    CNode* node = design ? NetworkUnitOf(unit) : nullptr;
    if (!node) return;
    std::vector<CNode*> around;
    for (CNode* n : node->getAllUpStreamNodes()) around.push_back(n);
    for (CNode* n : node->getAllDownStreamNodes()) around.push_back(n);
    for (CNode* s : around) {
        CNode* u = s->getIthUpStreamNode(0);
        CNode* d = s->getIthDownStreamNode(0);
        if (u && d && u->getClassName() != "ppFeedOrProductBlock" && d->getClassName() != "ppProductBlock")
            s->addVariable("Temperature", 0.0, 0, 1);
    }
}

void VelmorToTarsilImport::RemoveRemovableUtilities(CPItem* unit) {
    IHENDesign* design = GetBaseDesign();
    CNode* node = design ? NetworkUnitOf(unit) : nullptr;
    if (!node || node->getClassName() == "htHeater") return;
    // A port without a utility has nothing to remove (and asking would recalculate the design).
    for (int port = 0; port < 4; ++port)
        if (!design->IsPortFreeOfUtility(node, port) && design->CanRemoveUtilityAtPort(node, port))
            design->RemoveUtilityAtPort(node, port);
}

void VelmorToTarsilImport::SetDutyFromHeatFlows(CPItem* unit) {
    IHENDesign* design = GetBaseDesign();
    CNode* node = design ? NetworkUnitOf(unit) : nullptr;
    if (!node) return;
    // A unit whose duty is specified is settled. The network calculator settles a free duty
    // by itself (and reports the unit calculated), so the status alone does not say that the
    // simulator's duty was met: a free duty always takes the heat flows.
    if (!DutyIsFree(node)) return;
    // A unit made for a duty has streams of its own without heat flows: it does what the duty
    // says, as a heater or cooler of the case does what its heat flows say.
    double own = 0.0;
    if (m_dutyUnits.count(unit)) {
        if (KnownNumber(unit, "Duty", own) && own != kEmpty) node->addVariable("Duty", WithLeftOutDuty(unit, std::fabs(own)), 1, 1);
        return;
    }
    CPItem* feed = nullptr;
    CPItem* product = nullptr;
    if (IsClass(unit, "htHeatExchanger")) {
        // Where the extraction cut a chain at the exchanger, its own copy of the named stream
        // stands beside it in the case's place, with the same values.
        CPString feedName, productName;
        if (!TextValue(unit, "TubeSideFeed", feedName)) return;
        for (CPItem* n : unit->RelatedNodes(CPItem::Upstream))
            if (CaseItemBehind(n)->_get_szName() == feedName) feed = n;
        if (TextValue(unit, "TubeSideProduct", productName))
            for (CPItem* n : unit->RelatedNodes(CPItem::Downstream))
                if (CaseItemBehind(n)->_get_szName() == productName) product = n;
    } else {
        feed = FirstMaterialStream(unit, CPItem::Upstream);
        product = FirstMaterialStream(unit, CPItem::Downstream);
    }
    // Only known heat flows on a stream of known side make a duty. A heat flow the case gives but
    // leaves unknown is passed over, never read as 0: the unit's own duty stands then, and without
    // one the duty stays free (as it does beside streams the extraction made, which hold none).
    double hFeed = 0.0, hProduct = 0.0;
    if (!KnownNumber(feed, "HeatFlow", hFeed) || !KnownNumber(product, "HeatFlow", hProduct) || hFeed == kEmpty ||
        hProduct == kEmpty) {
        const auto leftUnknown = [](const CPItem* s) {
            double h = 0.0;
            return s && s->GetVariable("HeatFlow") && !(KnownNumber(s, "HeatFlow", h) && h != kEmpty);
        };
        if ((leftUnknown(feed) || leftUnknown(product)) && KnownNumber(unit, "Duty", own) && own != kEmpty)
            node->addVariable("Duty", WithLeftOutDuty(unit, std::fabs(own)), 1, 1);
        return;
    }
    CPString name;
    IHeatIntegrationStream* stream = nullptr;
    if (!TextValue(feed, "PIStreamName", name) || !m_scenario->GetStream(name, stream) || !stream) return;
    const int side = stream->GetHotCold();
    if (side != 0 && side != 1) return;
    const double duty = side == 0 ? hFeed - hProduct : hProduct - hFeed;
    if (DutyIsFree(node)) node->addVariable("Duty", WithLeftOutDuty(unit, duty), 1, 1);
}

bool VelmorToTarsilImport::DropPlaceholderBeforeFixedDuty(CPItem* unit, std::unordered_set<const CNode*>& settled) {
    IHENDesign* design = GetBaseDesign();
    HeatExch* hx = design ? AsExchanger(NetworkUnitOf(unit)) : nullptr;
    if (!hx || DutyIsFree(hx)) return false;
    bool dropped = false;
    // The removal of port utilities counts the freedom of the whole network: it may stop while a
    // stream still has a placeholder before a unit of fixed duty and another after it (at its
    // outlet, after further units of fixed duty, or after the mixer its branch runs into), with a
    // stream elsewhere specified once too often. The stream then leaves the two placeholders one
    // duty to share and its units are never calculated. The placeholder after the units takes what
    // their duties leave of the stream's load; the inlet one goes, and the utilities added next
    // settle whatever is over-specified elsewhere. A heater or cooler has its process stream on
    // one side; a process exchanger has one on each, and each side is looked at alike.
    for (int side : {0, 1}) {
        if (hx->IsUtilityExch() && side != (hx->IsHeater() ? 1 : 0)) continue;
        const int inlet = side == 0 ? 0 : 2;
        if (design->IsPortFreeOfUtility(hx, inlet)) continue;
        // Down the stream's own segments and mixers, and through units whose duty is fixed, to the
        // next placeholder: each walk ends at a placeholder, a unit of free duty, a junction or a
        // temperature that is given, so the walks of all units together pass each stretch of a
        // stream about once (after a mixer once per branch).
        CNode* from = hx;
        CNode* node = hx->getOutlet(side);
        for (int steps = design->GetFlowSheet()->getNumberOfNodes(); node && steps > 0; --steps) {
            if (node->getKindId() == NodeKindId::Heater) {
                dropped = design->RemoveUtilityAtPort(hx, inlet) || dropped;
                break;
            }
            const CPString& kind = node->getClassName();
            CNode* next = nullptr;
            if (kind == "ppMaterialStream") {
                // A temperature given between the two settles the placeholder by itself; but only
                // one: where the branches of a split each hold a placeholder before units of fixed
                // duty and run into a mixer of given outlet temperature, that one temperature
                // cannot settle them all, and the first branch's walk keeps its placeholder.
                if (node->getVariableStatus("Temperature") == 1) {
                    if (!settled.insert(node).second) dropped = design->RemoveUtilityAtPort(hx, inlet) || dropped;
                    break;
                }
                next = node->getIthDownStreamNode(0);
            } else if (kind == "ppMixer") {
                next = node->getIthDownStreamNode(0);
            } else if (HeatExch* through = AsExchanger(node); through && !DutyIsFree(through)) {
                next = through->getDownStreamNode(from);
            }
            if (!next) break;
            from = node;
            node = next;
        }
    }
    return dropped;
}

void VelmorToTarsilImport::PrepareExchangerDuties() {
    IHENDesign* design = GetBaseDesign();
    if (!design) return;
    // The network's freedom, counted down as duties are specified (asking the design again for
    // every exchanger would analyse the whole network each time).
    int freedom = design->GetDegreesOfFreedom();
    for (CNode* node : design->GetHeatExchangerNodes()) {
        // Process-to-process exchangers only: the design lists its heaters and coolers (units on
        // a utility) among its exchangers too.
        HeatExch* hx = AsExchanger(node);
        if (!hx || hx->IsUtilityExch()) continue;
        // All four ports alike: a utility at a port of a process exchanger goes where the
        // network stays specified without it. A stream's end utility the network needs stays
        // (taking it away would fix a temperature twice: by the exchanger's duty and the stream's
        // target).
        for (int port = 0; port < 4; ++port)
            if (!design->IsPortFreeOfUtility(node, port) && design->CanRemoveUtilityAtPort(node, port)) {
                design->RemoveUtilityAtPort(node, port);
                // Counted afresh after a removal: at most four per exchanger, each a walk of the
                // network, once per extraction.
                freedom = design->GetDegreesOfFreedom();
            }
        if (!DutyIsFree(node)) continue;
        // Under-specified: by its own status, or, since the network calculator settles a free
        // duty itself and calls the unit calculated, by the freedom the network has left.
        const int status = hx->getStatus();
        const bool underSpecified = status == 0 || status == 8 || status == 9 || freedom > 0;
        if (!underSpecified) continue;
        double simDuty = 0.0;
        if (!NodeNumber(node, "SimDuty", simDuty)) simDuty = 0.0;
        if (simDuty > 0.0) {
            node->addVariable("Duty", simDuty, 1, 1);
            --freedom;
        }
    }
}

void VelmorToTarsilImport::ParallelizeSeriesExchangers() {
    // The scenario's utility streams only: exchangers on one utility become parallel branches.
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; m_scenario->GetStreamOfKind(i, stream, 1, 2) && stream; ++i) ParallelizeUtility(*stream);
}

void VelmorToTarsilImport::ParallelizeUtility(IHeatIntegrationStream& stream) {
    IHENDesign* design = GetBaseDesign();
    if (!design) return;
    const int side = stream.GetSupplyTemperature() <= stream.GetTargetTemperature() ? 1 : 0;
    const std::vector<CNode*> units = design->GetExchangersOnStreamSide(&stream, side);
    if (units.size() < 2) return;
    CNode* start = design->GetStreamBlock(stream.GetName(), false);
    CNode* trunk = start ? start->getIthDownStreamNode(0) : nullptr;
    double total = 0.0;
    std::vector<double> duties;
    for (CNode* u : units) {
        double d = 0.0;
        if (!NodeNumber(u, "Duty", d)) d = 0.0;
        duties.push_back(std::fabs(d));
        total += std::fabs(d);
    }
    CNode* splitter = nullptr;
    if (!trunk || !design->AddSplitterMixer(trunk, trunk, splitter, kReason, static_cast<int>(units.size())) || !splitter)
        return;
    for (std::size_t k = 0; k < units.size(); ++k) {
        CNode* branch = design->GetSplitterBranch(splitter, static_cast<int>(k));
        HeatExch* hx = AsExchanger(units[k]);
        CNode* from = hx ? hx->getInlet(side) : nullptr;
        if (!branch || !from) continue;
        design->MoveHeatExchangerSide(units[k], from, branch, kReason);
        // Without any duty on the side the branches share the flow alike.
        const double fraction = total > 0.0 ? duties[k] / total : 1.0 / static_cast<double>(units.size());
        branch->addVariable("SplitFraction", fraction, 1, 1);
    }
}
