// Placement of the case's exchangers, heaters and coolers in the base design: each unit goes in
// between the design nodes of the streams it touches, found by walking each stream upstream from
// its end to the point whose temperature lies beyond the unit's inlet.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/CNode.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/UnitNodes.h"
#include "ralvex/Case.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>

namespace {

constexpr const char* kReason = "by data extraction module";
constexpr double kEmpty = -32767.0;
constexpr double kWalkTolerance = 0.0001;

const char* const kPassThrough[] = {"ppPipeSegment", "ppValve", "lgRecycle", "ppBoundaryStreamItem", "rtPump"};
const char* const kCondenserReboiler[] = {"htReboiler", "htReboilerThreePhase", "htCondenserPartial", "htCondenserTotal",
                                          "htCondenserThreePhase"};
const char* const kVessels[] = {"vsSeparatorTwoPhase", "vsSeparatorThreePhase", "vsTank",
                                "rxContinuouslyStirredTankReactor", "rxPlugFlowReactor", "rxConversionReactor",
                                "rxEquilibriumReactor", "rxGibbsReactor"};

// The case's duty: known and not the empty value, else absent.
bool CaseDuty(const CPItem* item, double& duty) {
    return KnownNumber(item, "Duty", duty) && duty != kEmpty;
}

bool HasBranch(const CNode* node, const CPString& branch) {
    CPString text;
    return node && node->getVariableAsString("BranchName", text) == 1 && text == branch;
}

HeatExch* AsExchanger(CNode* node) {
    void* out = nullptr;
    if (!node || node->QueryInterface("Lurmet_countercurrent_HX", &out) != 1) return nullptr;
    return dynamic_cast<HeatExch*>(static_cast<CNode*>(out));
}

std::vector<CPItem*> NeighboursOfClass(CPItem* item, int kind, const char* cls) {
    std::vector<CPItem*> out;
    if (!item) return out;
    for (CPItem* n : item->RelatedNodes(kind))
        if (IsClass(n, cls)) out.push_back(n);
    return out;
}

// Moves `node` upstream along its design stream to the node an exchanger for a case stream at
// `t` goes in at. 0 when the walk ended on a node of the wanted branch, 1 otherwise.
int WalkToInsertionNode(const CPString& branch, double t, int side, CNode*& node) {
    bool searching = true;
    while (node) {
        double value = 0.0;
        const bool known = node->getVariableAsDouble("Temperature", value) == 1 && node->getVariableStatus("Temperature") != 0 &&
                           value != kEmpty;
        if (!searching) {
            if (side == 2) return 0;
            if (side == 0 && known && value > t - kWalkTolerance) return 0;
            if (side == 1 && known && value < t + kWalkTolerance) return 0;
        }
        searching = true;
        CNode* start = node;
        CNode* u = node->getIthUpStreamNode(0);
        if (!u) u = node->getFirstUpStreamNode();
        if (!u) {
            node = nullptr;
            return 1;
        }
        const CPString& cls = u->getClassName();
        CNode* next = nullptr;
        auto branchTest = [&](CNode* n) { searching = !(branch.empty() || HasBranch(n, branch)); };
        if (cls == "Lurmet_countercurrent_HX" || cls == "htHeatExchanger") {
            HeatExch* hx = AsExchanger(u);
            next = hx ? hx->getUpStreamNode(node) : nullptr;
            branchTest(next);
        } else if (cls == "htHeater") {
            next = u->getIthUpStreamNode(0);
            if (!next) next = u->getFirstUpStreamNode();
            branchTest(next);
        } else if (cls == "ppMixer") {
            if (branch.empty() || HasBranch(node, branch)) {
                node = nullptr;
                return 1;
            }
            CNode* found = nullptr;
            for (CNode* inlet : u->getAllUpStreamNodes()) {
                CNode* trial = inlet;
                if (HasBranch(trial, branch)) {
                    found = trial;
                    searching = false;
                    break;
                }
                if (WalkToInsertionNode(branch, t, side, trial) == 0 && trial) {
                    node = trial;
                    return 0;
                }
            }
            if (found) {
                next = found;
            } else {
                auto* mixer = dynamic_cast<Mixer*>(u);
                CNode* splitter = mixer ? static_cast<CNode*>(mixer->getAssociatedSplitter()) : nullptr;
                if (!splitter) {
                    node = nullptr;
                    return 1;
                }
                next = splitter->getIthUpStreamNode(0);
                branchTest(next);
            }
        } else {
            node = nullptr;
            return 1;
        }
        if (next == start) {
            node = nullptr;
            return 1;
        }
        node = next;
    }
    return 1;
}

}  // namespace

CPItem* VelmorToTarsilImport::GetExchangerItem(const CPString& name) const {
    auto it = m_exchangerItems.find(name);
    return it == m_exchangerItems.end() ? nullptr : it->second;
}

CPString VelmorToTarsilImport::NameForNewUnit(const CPItem* unit) const {
    IHENDesign* design = GetBaseDesign();
    const CPString& own = unit->_get_szName();
    CNode* holder = design ? design->GetNodeByName(own) : nullptr;
    // A node the network named itself (a stream's segment node, "N-7") gives way: it takes the next
    // name of its own kind, and the case's unit keeps the name the user knows it by, in whatever
    // order the units are placed. A unit of an earlier extraction keeps its name.
    FlowSheet* sheet = holder ? design->GetFlowSheet() : nullptr;
    CPString operation;
    // A unit placed under a name carries it as its operation's name too; a splitter the network
    // named carries its tee's.
    const bool unitNode = holder && holder->getVariableAsString("UnitOperationName", operation) == 1 && operation == own;
    if (sheet && !unitNode && sheet->renameNode(holder, sheet->getDefaultNodeNameString())) return own;
    return holder ? FreeUnitName(own) : own;
}

CNode* VelmorToTarsilImport::NetworkUnitOf(const CPItem* unit) const {
    IHENDesign* design = GetBaseDesign();
    const auto it = unit ? m_unitNames.find(unit) : m_unitNames.end();
    return design && it != m_unitNames.end() ? design->GetNodeByName(it->second) : nullptr;
}

void VelmorToTarsilImport::LeaveOutForItsDuty(CPItem* item) {
    if (std::find(m_leftOutForDuty.begin(), m_leftOutForDuty.end(), item) == m_leftOutForDuty.end())
        m_leftOutForDuty.push_back(item);
}

void VelmorToTarsilImport::ForgetNetworkItem(const CPItem* item) {
    m_existingNetworkItems.erase(std::remove(m_existingNetworkItems.begin(), m_existingNetworkItems.end(), item),
                                 m_existingNetworkItems.end());
}

CNode* VelmorToTarsilImport::FindInsertionNodeForStream(CPItem* caseStream) const {
    if (!IsClass(caseStream, CaseClass::MaterialStream)) return nullptr;
    IHENDesign* design = GetBaseDesign();
    if (!design) return nullptr;
    // Pumps, valves, pipes and the like pass the stream on unchanged: the stream that feeds them
    // names the scenario stream. A loop of such units (a recycle feeding its own feed) is walked
    // once round: each unit is passed at most once.
    CPItem* stream = caseStream;
    CPItem* passed = nullptr;
    CPItem* unit = FirstNeighbour(stream, CPItem::Upstream);
    std::unordered_set<const CPItem*> walked;
    while (IsOneOf(unit, kPassThrough) && walked.insert(unit).second) {
        const std::vector<CPItem*> feeds = unit->RelatedNodes(CPItem::Upstream);
        CPItem* feed = feeds.empty() ? nullptr : feeds.front();
        if (IsClass(feed, "ppEnergyStream")) feed = feeds.size() > 1 ? feeds[1] : nullptr;
        if (!feed) break;
        passed = feed;
        unit = FirstNeighbour(feed, CPItem::Upstream);
    }
    CPString probe;
    if (passed && TextValue(passed, "PIStreamName", probe)) stream = passed;

    double t = 0.0;
    if (!StreamTemperature(stream, t)) t = 0.0;
    CPString name;
    if (!TextValue(stream, "PIStreamName", name) || name.empty()) return nullptr;
    IHeatIntegrationStream* scenarioStream = nullptr;
    if (!m_scenario->GetStream(name, scenarioStream) || !scenarioStream) return nullptr;
    CNode* end = design->GetStreamBlock(name, true);
    CNode* node = end ? end->getIthUpStreamNode(0) : nullptr;
    if (!node) return nullptr;
    CPString branch;
    TextValue(stream, "BranchName", branch);
    // A branch of a tee taken as a stream of its own (its heat not folded over the tee and its
    // mixer) has no branches in the design: its units go on it by temperature alone.
    const auto chain = m_streamChainIndex.find(name.c_str());
    if (chain != m_streamChainIndex.end() && m_streamChains[chain->second].second &&
        m_streamChains[chain->second].second->tees.empty())
        branch.clear();
    WalkToInsertionNode(branch, t, scenarioStream->GetHotCold(), node);
    return node;
}

CNode* VelmorToTarsilImport::FindExchangerPortNode(const CPItem* caseStream, CNode* exchanger, int portSide) const {
    CPString name;
    if (!caseStream || !exchanger || !TextValue(caseStream, "PIStreamName", name)) return nullptr;
    for (int slot = 0; slot < 2; ++slot) {
        CNode* n = portSide == 1 ? exchanger->getIthUpStreamNode(slot) : exchanger->getIthDownStreamNode(slot);
        CPString parent;
        if (n && n->getVariableAsString("ParentStream", parent) == 1 && parent == name) return n;
    }
    return nullptr;
}

void VelmorToTarsilImport::WriteSimulatorCoefficients(const CPItem* item, CNode* unit) {
    HeatExch* hx = AsExchanger(unit);
    if (!item || !hx) return;
    const bool dirtyOnly = Setting("SimulatorFileType") != 0.0;
    double overall = 0.0, dirty = 0.0, series = 0.0, parallel = 0.0;
    if (!dirtyOnly && !KnownNumber(item, "OverallU", overall)) overall = 0.0;
    if (!KnownNumber(item, "OverallDirtyCoeff", dirty)) dirty = 0.0;
    if (dirtyOnly) overall = dirty;
    if (KnownNumber(item, "NShellsSeries", series)) {
        if (!KnownNumber(item, "NShellsParallel", parallel)) parallel = 0.0;
    } else {
        series = 0.0;
    }
    CPString method;
    if (TextValue(item, "HeatXMethod", method) && method == "SHORTCUT") series = parallel = 0.0;
    if (dirty > 0.0) hx->addVariable("SimOverallU", dirty, 1, 0);
    else if (overall > 0.0) hx->addVariable("SimOverallU", overall, 1, 0);
    else hx->addVariable("SimOverallU", 0.0, 0, 0);
    if (series > 0.0) hx->addVariable("SimNShells", series, 1, 0);
    if (parallel > 0.0) hx->addVariable("SimNShellsParallel", parallel, 1, 0);
}

void VelmorToTarsilImport::AddExchangerFromItem(CPItem* item) {
    IHENDesign* design = GetBaseDesign();
    if (!item || !design) return;
    double duty = 0.0;
    if (!CaseDuty(item, duty) || std::fabs(duty) < kSmallestPlacedDuty) {
        ReportPlacementFailure(item);
        ForgetNetworkItem(item);
        LeaveOutForItsDuty(item);
        return;
    }
    const std::vector<CPItem*> outlets = item->RelatedNodes(CPItem::Downstream);
    const std::vector<CPItem*> inlets = item->RelatedNodes(CPItem::Upstream);
    CPItem* o1 = outlets.size() > 0 ? outlets[0] : nullptr;
    CPItem* o2 = outlets.size() > 1 ? outlets[1] : nullptr;
    CPItem* i1 = inlets.size() > 0 ? inlets[0] : nullptr;
    CPItem* i2 = inlets.size() > 1 ? inlets[1] : nullptr;
    CNode* a = FindInsertionNodeForStream(o1);
    CNode* b = FindInsertionNodeForStream(o2);
    const CPString name = NameForNewUnit(item);
    CNode* unit = a && b ? design->AddHeatExchanger(a, b, kReason, "htHeatExchanger", name.c_str()) : nullptr;
    if (unit) {
        m_exchangerItems[name] = item;
        m_unitNames[item] = name;
        unit->addVariable("SimDuty", duty, 1, 1);
    }

    WriteSimulatorCoefficients(item, unit);
    if (!unit) {
        ReportPlacementFailure(item);
        return;
    }
    CheckHeatLoss(item);
    StoreSimulatorSideTemperatures(item, unit);

    const std::pair<CPItem*, int> sides[] = {{o1, 2}, {o2, 2}, {i1, 1}, {i2, 1}};
    for (const auto& [stream, portSide] : sides) {
        double t = 0.0;
        if (!stream || !StreamTemperature(stream, t)) continue;
        CNode* port = FindExchangerPortNode(stream, unit, portSide);
        if (!port) continue;
        if (portSide == 2) {
            CNode* up = port->getIthUpStreamNode(0);
            CNode* down = port->getIthDownStreamNode(0);
            if (down && !(up && up->getClassName() == "ppFeedOrProductBlock") && down->getClassName() != "ppProductBlock")
                port->addVariable("Temperature", t, 1, 1);
        }
        CPString branch;
        if (TextValue(stream, "BranchName", branch)) port->addVariable("BranchName", branch, 1, 1);
    }
}

void VelmorToTarsilImport::StoreSimulatorSideTemperatures(const CPItem* caseExchanger, CNode* designExchanger) {
    if (!caseExchanger || !designExchanger || !m_case) return;
    static const char* const kSides[] = {"HotInletVelmor", "HotOutletVelmor", "ColdInletVelmor", "ColdOutletVelmor"};
    for (const char* name : kSides) designExchanger->addVariable(name, 0.0, 1, 0);
    auto named = [&](const char* side) -> const CPItem* {
        CPString name;
        return TextValue(caseExchanger, side, name) && !name.empty() ? m_case->GetItemByName(name) : nullptr;
    };
    auto temperature = [](const CPItem* stream) {
        double t = 0.0;
        return KnownNumber(stream, "Temperature", t) ? t : 0.0;
    };
    // The side whose heat flow rises takes the heat: that is the cold side.
    const CPItem* tubeFeed = named("TubeSideFeed");
    const CPItem* tubeProduct = named("TubeSideProduct");
    double hFeed = 0.0, hProduct = 0.0;
    if (!tubeFeed || !tubeProduct || !KnownNumber(tubeFeed, "HeatFlow", hFeed) ||
        !KnownNumber(tubeProduct, "HeatFlow", hProduct) || hFeed == hProduct)
        return;
    const bool tubeIsCold = hProduct > hFeed;
    designExchanger->addVariable(tubeIsCold ? "ColdInletVelmor" : "HotInletVelmor", temperature(tubeFeed), 1, 0);
    designExchanger->addVariable(tubeIsCold ? "ColdOutletVelmor" : "HotOutletVelmor", temperature(tubeProduct), 1, 0);
    designExchanger->addVariable("ShellSideIsHot", tubeIsCold ? 1.0 : 0.0, 1, 0);
    const CPItem* shellFeed = named("ShellSideFeed");
    const CPItem* shellProduct = named("ShellSideProduct");
    double tIn = 0.0, tOut = 0.0;
    if (!KnownNumber(shellFeed, "Temperature", tIn) || !KnownNumber(shellProduct, "Temperature", tOut)) return;
    designExchanger->addVariable(tubeIsCold ? "HotInletVelmor" : "ColdInletVelmor", tIn, 1, 0);
    designExchanger->addVariable(tubeIsCold ? "HotOutletVelmor" : "ColdOutletVelmor", tOut, 1, 0);
}

void VelmorToTarsilImport::AddUtilityExchangerFromItem(CPItem* item) {
    IHENDesign* design = GetBaseDesign();
    if (!item || !design) return;
    const double excel = Setting("TransferFromExcel");
    double fromSimulation = 0.0;
    GetConfigData("UtilitiesFromSimulation", fromSimulation);
    double duty = 0.0;
    if (!CaseDuty(item, duty) || std::fabs(duty) < kSmallestPlacedDuty) {
        ReportPlacementFailure(item);
        ForgetNetworkItem(item);
        LeaveOutForItsDuty(item);
        return;
    }
    const std::vector<CPItem*> products = NeighboursOfClass(item, CPItem::Downstream, CaseClass::MaterialStream);
    CPItem* outlet = products.empty() ? nullptr : products.front();
    CPItem* inlet = nullptr;
    bool inletNamed = false;
    for (CPItem* s : NeighboursOfClass(item, CPItem::Upstream, CaseClass::MaterialStream)) {
        inlet = s;
        CPString probe;
        if (TextValue(s, "PIStreamName", probe)) {
            inletNamed = true;
            break;
        }
    }
    CPString processName;
    if (inlet) TextValue(inlet, "PIStreamName", processName);
    int heatType = 2;
    IHeatIntegrationStream* process = nullptr;
    if (!processName.empty() && m_scenario->GetStream(processName, process) && process) {
        const int side = process->GetHotCold();
        heatType = side == 0 ? 1 : side == 1 ? 0 : 2;
    }
    CNode* sideNode = FindInsertionNodeForStream(inlet);
    if (!sideNode) sideNode = FindInsertionNodeForStream(outlet);

    const bool site = m_scenario->IsTotalSiteScenario() != 0;
    IDefaultUtilityManager* manager = nullptr;
    if (m_scenario->GetDefaultUtilityManager(manager) != 1) manager = nullptr;
    CNode* utilityNode = nullptr;
    if (manager || site) {
        // The simulator's own utility, from the energy stream on the unit, unless that energy
        // stream ends at another unit of the network.
        CPString simulatorUtility;
        bool haveSimulatorUtility = false;
        if (fromSimulation != 0.0 && excel == 0.0) {
            int kind = CPItem::Downstream;
            std::vector<CPItem*> energy = NeighboursOfClass(item, CPItem::Downstream, "ppEnergyStream");
            if (energy.empty()) {
                kind = CPItem::Upstream;
                energy = NeighboursOfClass(item, CPItem::Upstream, "ppEnergyStream");
            }
            if (!energy.empty() && TextValue(energy.front(), "UtilityType", simulatorUtility) && !simulatorUtility.empty()) {
                haveSimulatorUtility = true;
                CPItem* e = energy.front();
                CPItem* end = nullptr;
                for (int guard = 0; e && guard < 64; ++guard) {
                    end = nullptr;
                    for (CPItem* n : e->RelatedNodes(kind))
                        if (!IsOneOf(n, kVessels)) {
                            end = n;
                            break;
                        }
                    if (!IsClass(end, "ppEnergyStream") || end == e) break;
                    e = end;
                }
                if (end && end != item &&
                    std::find(m_existingNetworkItems.begin(), m_existingNetworkItems.end(), end) != m_existingNetworkItems.end())
                    haveSimulatorUtility = false;
            }
        }
        CPString utility;
        if (haveSimulatorUtility) {
            utility = simulatorUtility;
        } else {
            double t1 = 0.0, t2 = 0.0;
            const bool haveT1 = StreamTemperature(outlet, t1);
            const bool haveT2 = StreamTemperature(inlet, t2);
            if (!haveT2) t2 = 0.0;
            const char* chosen = nullptr;
            CPString text;
            const CPString cls = item->_get_szClassName();
            if (cls == "htAirCooler") {
                if (haveT1) chosen = "Air";
            } else if (cls == "ppPipeSegment" || cls == "ppBoundaryStreamItem" || cls == "rtPump") {
                chosen = heatType == 1 ? "Very Low Temperature" : heatType == 0 ? "Very High Temperature" : nullptr;
            } else if (haveT1 && heatType != 2) {
                if (site) chosen = m_scenario->GetRecommendedSiteUtilityName(t1, heatType, nullptr);
                else if (excel == 0.0 && manager) {
                    chosen = manager->GetRecommendedUtilityForDataExt(t1, static_cast<SegmentHeatType>(heatType), t2);
                    // The recommendation goes by the outlet alone: a unit whose inlet it cannot
                    // meet at DTmin goes on a utility that does its duty.
                    if (haveT2) {
                        text = ServingUtility(*manager, chosen, heatType == 0, t2, t1, item->_get_szName(),
                                              processName.empty() ? inlet->_get_szName() : processName);
                        chosen = text.c_str();
                    }
                }
                else if (excel != 0.0 && TextValue(item, heatType == 0 ? "ShellSideFeed" : "TubeSideFeed", text))
                    chosen = text.c_str();
            }
            if (chosen && *chosen) utility = chosen;
            else if (!simulatorUtility.empty()) utility = simulatorUtility;
        }
        if (utility.empty()) {
            // The unit and the stream it was to serve, so that the user knows which to look at; where
            // no process stream runs through the unit, that, not the utilities, is the cause.
            ReportWarning("Empty_Utility", "NoUtilForThisTemp",
                          FormatMessage(FindString(process ? "ExtractionNoUtilityForUnit" : "ExtractionUnitStreamNotFollowed"),
                                        {item->_get_szName(), !processName.empty() ? processName
                                                              : inlet                ? inlet->_get_szName()
                                                                                     : CPString("(none)")}));
        } else {
            const char* type = manager ? manager->GetExchangerType(utility.c_str()) : nullptr;
            const bool fired = type && std::string(type) == "Fired Heater";
            IHeatIntegrationStream* existing = nullptr;
            if (!m_scenario->GetStream(utility, existing) || !existing) {
                auto* total = site ? dynamic_cast<IHeatIntegrationTotalSite*>(m_scenario->GetProject()) : nullptr;
                if (total) total->AddStream(utility);
                else m_scenario->AddStream(utility, 1);
                if (fired) {
                    IHeatIntegrationStream* cold = nullptr;
                    for (int i = 0; m_scenario->GetStreamOfKind(i, cold, 0, 1) && cold; ++i)
                        m_scenario->SetMatchCostModelName(utility, cold->GetName(), "Fired Heater");
                }
            }
            CNode* end = design->GetStreamBlock(utility, true);
            utilityNode = end ? end->getIthUpStreamNode(0) : nullptr;
            if (fired) m_scenario->SetMatchCostModelName(utility, processName, "Fired Heater");
        }
    }

    const CPString name = NameForNewUnit(item);
    CNode* unit = sideNode && utilityNode
                      ? design->AddHeatExchanger(sideNode, utilityNode, kReason, "htHeatExchanger", name.c_str())
                      : nullptr;
    if (!unit) {
        if (inletNamed) ReportPlacementFailure(item);
        return;
    }
    CheckHeatLoss(item);
    m_exchangerItems[name] = item;
    m_unitNames[item] = name;
    if (IsOneOf(item, kCondenserReboiler))
        if (HeatExch* hx = AsExchanger(unit)) {
            hx->addVariable("CondReb", 1.0, 1, 0);
            hx->addVariable("CondRebSpec", 1.0, 1, 0);
        }

    // Every heater and cooler, an air cooler as much as a fired heater, marks the temperatures at
    // its ports: the next unit of the stream, placed later, finds its place by them, and a unit
    // that left them unmarked would have the next one placed upstream of it.
    const CPString cls = item->_get_szClassName();
    if (cls == "htCooler" || cls == "htHeater" || cls == "htFiredHeater" || cls == "htAirCooler") {
        const std::pair<CPItem*, int> sides[] = {{outlet, 2}, {inlet, 1}};
        for (const auto& [stream, portSide] : sides) {
            double t = 0.0;
            if (!stream || !StreamTemperature(stream, t)) continue;
            CNode* port = FindExchangerPortNode(stream, unit, portSide);
            if (!port) continue;
            if (portSide == 2) {
                CNode* down = port->getIthDownStreamNode(0);
                CNode* up = port->getIthUpStreamNode(0);
                const bool beforeHeater = down && down->getClassName() == "htHeater" &&
                                          !(up && up->getClassName() == "ppFeedOrProductBlock");
                // Before a splitter too: the next unit of the stream, placed later, is found by
                // walking upstream to the first node that reads the temperature it takes in, and a
                // node of unknown temperature would pass it on upstream of this unit. Temperatures
                // between two units are released again once the network is placed.
                const bool beforeJunction = down && (down->getClassName() == "ppMixer" || down->getClassName() == "ppTee");
                if (beforeHeater || beforeJunction) port->addVariable("Temperature", t, 1, 1);
            }
            CPString branch;
            if (TextValue(stream, "BranchName", branch)) port->addVariable("BranchName", branch, 1, 1);
        }
    } else if (heatType == 1) {
        for (int port : {0, 1}) design->RemoveUtilityAtPort(unit, port);
    } else if (heatType == 0) {
        for (int port : {2, 3}) design->RemoveUtilityAtPort(unit, port);
    }
}
