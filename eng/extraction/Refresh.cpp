// The refresh of an earlier extraction once the simulator case was solved again: the streams,
// the existing network and its edits stay; temperatures, loads, duties, coefficients and split
// fractions are read again from the case through the record the extraction kept of which case
// items made which stream and unit.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/HeaterCoolerAssumptions.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/ScenarioUtilityAdd.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

constexpr const char* kReason = "by data extraction module";
constexpr double kEmpty = -32767.0;
// A duty with no temperature of its own spans this much.
constexpr double kDutySpan = 0.5;
constexpr double kSameTemperature = 0.01;
// A unit the solved case leaves idle keeps its place at this duty: the utility (or its branch)
// that serves it then carries a flow, and no heat contents, at no flow at all, would leave the
// unit and the network beyond it uncalculated.
constexpr double kIdleDuty = 1e-9;

const char* const kVessels[] = {"vsSeparatorTwoPhase", "vsSeparatorThreePhase", "vsTank",
                                "rxContinuouslyStirredTankReactor", "rxPlugFlowReactor", "rxConversionReactor",
                                "rxEquilibriumReactor", "rxGibbsReactor"};
const char* const kReactors[] = {"rxContinuouslyStirredTankReactor", "rxPlugFlowReactor", "rxConversionReactor",
                                 "rxEquilibriumReactor", "rxGibbsReactor"};

HeatExch* AsExchanger(CNode* node) {
    void* out = nullptr;
    if (!node || node->QueryInterface("Lurmet_countercurrent_HX", &out) != 1) return nullptr;
    return dynamic_cast<HeatExch*>(static_cast<CNode*>(out));
}

// Entry `index` of a list value as text; false past its end.
bool ListText(const CPValue* list, std::size_t index, CPString& out) {
    if (!list || index >= list->GetNumberOfSubValues()) return false;
    out = list->GetSubValue(index)->GetAsString();
    return true;
}

// Entry `index` of a list value, when known.
bool ListNumber(const CPValue* list, std::size_t index, double& out) {
    if (!list || index >= list->GetNumberOfSubValues()) return false;
    const CPValue* v = list->GetSubValue(index);
    if (!v->IsKnown() || v->IsEmpty()) return false;
    out = v->GetAsDouble();
    return out != kEmpty;
}

// The stream a design node belongs to; empty when it names none.
CPString StreamName(const CNode* node) {
    CPString name;
    if (node) node->getVariableAsString("ParentStream", name);
    return name;
}

double NodeTemperature(const CNode* node) {
    double t = kEmpty;
    if (!node || node->getVariableAsDouble("Temperature", t) != 1) return kEmpty;
    return t;
}

// Where the solved case runs a chain the other way from its stream's side (0 hot, 1 cold), the
// step that does, from and to: the ends crossed over, or, where the chain has no tee folding it
// over branches, a heater, cooler or exchanger turning the temperature back against the ones
// before it, as a fresh extraction would cut the stream there. Unknown temperatures are passed over.
bool ChainRunsBackward(const StreamChain& chain, int side, double& from, double& to) {
    double first = 0.0, last = 0.0;
    if (KnownNumber(chain.First(), "Temperature", first) && first != kEmpty &&
        KnownNumber(chain.Last(), "Temperature", last) && last != kEmpty &&
        ((side == 0 && last > first) || (side == 1 && last < first))) {
        from = first;
        to = last;
        return true;
    }
    if (!chain.tees.empty()) return false;
    // A pure component heated is cut by its enthalpy, not its temperature, which may fall as it
    // boils at a falling pressure.
    double pure = 0.0;
    if (KnownNumber(chain.First(), "IsPureComp", pure) && pure != 0.0) return false;
    bool rose = false, fell = false;
    double p = kEmpty;
    for (CPItem* s : chain.streams) {
        double v = 0.0;
        if (!KnownNumber(s, "Temperature", v) || v == kEmpty) continue;
        if (p != kEmpty && v != p && IsOneOf(FirstNeighbour(s, CPItem::Upstream), kHeatTransferUnits)) {
            if (v > p ? fell : rose) {
                from = p;
                to = v;
                return true;
            }
            (v > p ? rose : fell) = true;
        }
        p = v;
    }
    return false;
}

// Writes a stream's new ends in an order its own checks take: the end moving away from the other
// first, so that the two never cross on the way (ends moved past a hot stream's old target would
// otherwise have the supply refused, and the stream would keep it). False, with the stream as it
// was, when the new ends run the other way from the stream's side: a hot stream cannot turn cold
// under the units that cool it.
bool WriteEnds(IHeatIntegrationStream& stream, double supply, double target) {
    const int side = stream.GetHotCold();
    if ((side == 0 && !(supply > target)) || (side == 1 && !(supply < target))) return false;
    const double oldSupply = stream.GetSupplyTemperature(), oldTarget = stream.GetTargetTemperature();
    const bool targetFirst = side == 0 ? target < oldTarget : target > oldTarget;
    const int first = targetFirst ? 1 : 0;
    const double values[] = {supply, target}, old[] = {oldSupply, oldTarget};
    if (stream.SetValue("Temperature", values[first], first) != 1) return false;
    if (stream.SetValue("Temperature", values[1 - first], 1 - first) == 1) return true;
    stream.SetValue("Temperature", old[first], first);
    return false;
}

}  // namespace

void VelmorToTarsilImport::RefreshDuplicates() {
    for (const auto& [copy, source] : m_duplicates) {
        for (std::size_t i = 0; i < source->GetNumberOfVariables(); ++i) {
            const CPValue* v = source->GetVariable(i);
            // The copy names the scenario stream it ends or starts; the source may name another.
            if (v->GetName() == "PIStreamName") continue;
            if (CPValue* own = copy->FindVariable(v->GetName())) *own = *v;
            else copy->AppendVariable(CPValue(*v));
        }
    }
}

bool VelmorToTarsilImport::Refresh() {
    if (!m_scenario || !m_case || !m_caseInterface || !m_extracted) return false;
    // 1.
    ImportSimulationUtilities(true);
    RefreshDuplicates();
    // The warnings that quote a stream's or unit's values are made again from the solved case as
    // the refresh reads it (a second refresh likewise replaces the first one's).
    for (const char* section : {"Streams_Not_Refreshed", "Units_Below_Placed_Duty", "Separator_Duty_Against_Temperatures",
                                "Heat_Loss_Or_Heat_Leak", "Split_Flows_Rounded"})
        WithdrawWarning(section);
    // The streams change as one batch: targets and the network catch up once, at the end of it.
    m_scenario->SuspendCalculations();
    m_scenario->SetSuppressTargetUpdate(true);
    IHENDesign* design = GetBaseDesign();
    // The utilities the network's units stand on before the refresh: one that none stands on after
    // it goes before the targets are taken, as a fresh extraction would never have made it.
    std::vector<CPString> usedBefore;
    IHeatIntegrationStream* u = nullptr;
    for (int i = 0; design && m_scenario->GetStreamOfKind(i, u, 1, 2) && u; ++i)
        if (design->HasUnitOnStream(u->GetName())) usedBefore.push_back(u->GetName());
    // The utilities' splits the refresh makes or drops are named as an extraction names them.
    IHENDesign::UtilitySplitNumbers firstSplit;
    if (design) firstSplit = design->FirstUtilitySplitNumbers();
    if (design) design->Deactivate();

    // 2. The process streams the extraction made, each from what made it. Streams added since
    // (and utilities) stay as they are.
    std::vector<IHeatIntegrationStream*> streams;
    std::vector<CPString> leftAlone;
    // Streams that keep their earlier values: their units keep their earlier duties with them.
    std::unordered_set<std::string> kept;
    const std::unordered_set<const CPItem*> networkItems(m_existingNetworkItems.begin(), m_existingNetworkItems.end());
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; m_scenario->GetStreamOfKind(i, s, 0, 2) && s; ++i) streams.push_back(s);
    // The process streams that keep their earlier values are known before any is refreshed: a
    // stream the extraction cut from a kept one would otherwise start where the kept one no
    // longer ends.
    for (IHeatIntegrationStream* stream : streams) {
        const std::string name = stream->GetName();
        const auto it = m_streamChainIndex.find(name);
        if (it == m_streamChainIndex.end()) continue;
        const StreamChain& chain = *m_streamChains[it->second].second;
        // Its units keep the duties they had with it: the solved case's would run them against
        // the stream. A value the solved case leaves unknown leaves the stream as it was, and the
        // report says which value.
        double from = 0.0, to = 0.0;
        CPString missing;
        if (ChainRunsBackward(chain, stream->GetHotCold(), from, to)) {
            ReportStreamTurned(name, from, to);
            kept.insert(name);
        } else if (!UnitDutiesKnown(chain, networkItems, missing) || !ChainValuesKnown(chain, false, &missing)) {
            ReportStreamValueMissing(name, missing);
            kept.insert(name);
        }
    }
    KeepStreamsMeetingKept(kept);
    RestateTemperatureReversals();
    for (IHeatIntegrationStream* stream : streams) {
        const std::string name = stream->GetName();
        CPString missing;
        if (auto it = m_streamChainIndex.find(name); it != m_streamChainIndex.end()) {
            const StreamChain& chain = *m_streamChains[it->second].second;
            if (kept.count(name)) continue;
            if (!RefreshProcessStreamData(*stream, chain, true, false, &missing)) {
                ReportStreamValueMissing(name, missing);
                kept.insert(name);
            } else if (design && !chain.tees.empty()) {
                RefreshSplitFractions(chain, *design, *stream);
            }
        } else if (auto r = m_reboilerChainIndex.find(name); r != m_reboilerChainIndex.end()) {
            if (!RefreshProcessStreamData(*stream, *m_reboilerChains[r->second].second, false, true, &missing)) {
                ReportStreamValueMissing(name, missing);
                kept.insert(name);
            }
        } else if (auto e = m_energyStreamIndex.find(name); e != m_energyStreamIndex.end()) {
            CPItem* energyStream = m_energyStreamItems[e->second].second;
            missing = "the heat flow of " + energyStream->_get_szName();
            if (!RefreshEnergyStream(*stream, energyStream, m_energyStreamUnits[e->second], &missing)) {
                // A stream the solved case turns round is said as such (missing is emptied).
                if (!missing.empty()) ReportStreamValueMissing(name, missing);
                kept.insert(name);
            } else {
                DutyUnitFollowsStream(*stream);
            }
        } else if (auto p = m_separatorOfStream.find(name); p != m_separatorOfStream.end()) {
            if (!RefreshSeparatorDuty(*stream, p->second, &missing)) {
                if (!missing.empty()) ReportStreamValueMissing(name, missing);
                kept.insert(name);
            } else {
                DutyUnitFollowsStream(*stream);
            }
        } else {
            // Live steam, and streams the user added: nothing records which case items make
            // them, so they keep their values, and the user is told which.
            leftAlone.push_back(stream->GetName());
        }
    }
    ReportStreamsNotRefreshed(leftAlone);
    RestateEnergyStreamsNotTaken();
    // A duty's unit follows its stream by now: the units the network could not take are said
    // with the loads the solved case gives them.
    RestatePlacementFailures();

    // 3. The network took no notice of the streams while switched off: their ends first.
    if (design) {
        for (int i = 0; i < design->GetNumberOfStreams(); ++i)
            if (IHeatIntegrationStream* stream = design->GetStream(i)) design->ProcessChange(36, stream->GetName(), nullptr);
        AssignLeftOutDuties();
        RefreshExchangerValues(kept);
        design->Activate(1);
        // The dummies beside an exchanger follow its duty as the case now gives it.
        design->RefreshDummyUtilityDuties();
        PlaceUnitsGivenADuty();
    }

    // 4.
    m_scenario->SetSuppressTargetUpdate(false);
    m_scenario->ResumeCalculations(true);

    // 5-7.
    if (design) ReassignInfeasibleUtilities();
    m_scenario->SuspendCalculations();
    m_scenario->SetSuppressTargetUpdate(true);
    AddSimulationUtilityStreams();
    // A site's utilities stay in every scenario of the site, used or not.
    if (IHENDesign* after = GetBaseDesign(); after && !m_scenario->IsTotalSiteScenario())
        for (const CPString& name : usedBefore)
            if (!after->HasUnitOnStream(name)) m_scenario->DeleteStream(name);
    m_scenario->SetSuppressTargetUpdate(false);
    m_scenario->ResumeCalculations(true);
    m_scenario->RemoveUnusedUtilities();
    if (IHENDesign* after = GetBaseDesign()) {
        if (after == design) after->NumberUtilitySplits(firstSplit);
        after->SetSplitFractionsFromBranchDuties();
        // Each exchanger judged again, the solved case's temperatures against the network's.
        WithdrawWarning("Discrepancies_In_The_Feasiblity_Of_Exchangers");
        CheckExchangerFeasibility();
    }
    // Units the refresh moved or placed stand on other utilities now.
    RestateHeaterAndCoolerAssumptions(*m_scenario);
    return true;
}

void VelmorToTarsilImport::DutyUnitFollowsStream(IHeatIntegrationStream& stream) {
    // The unit standing for the duty does what the stream now takes.
    const auto u = m_dutyUnitOfStream.find(stream.GetName().c_str());
    double load = kEmpty;
    if (u != m_dutyUnitOfStream.end() && stream.GetValue("Enthalpy", load, 0) && load != kEmpty)
        u->second->AddVariable("Duty")->Set(std::fabs(load));
}

bool VelmorToTarsilImport::WriteDutyStreamEnds(IHeatIntegrationStream& stream, double supply, double target, double duty,
                                               CPString* missing) {
    if (missing) missing->clear();
    // A duty the solved case takes below what a stream holds over its span is said, as the
    // extraction says of one it passes over; the stream keeps what it had.
    const double span = std::fabs(target - supply);
    if (!(std::fabs(duty) >= CaseValueLimits::MinDuty) || !(span > 0.0) ||
        !(std::fabs(duty) / span >= CaseValueLimits::MinCp && std::fabs(duty) / span <= CaseValueLimits::MaxCp)) {
        ReportWarning("Streams_Not_Refreshed", "ExtractionStreamsNotRefreshed",
                      FormatMessage(FindString("ExtractionStreamDutyUnusable"),
                                    {stream.GetName(), ExtractionNumber(std::fabs(duty)), ExtractionNumber(span)}));
        return false;
    }
    if (WriteEnds(stream, supply, target)) return true;
    ReportStreamTurned(stream.GetName(), supply, target);
    return false;
}

bool VelmorToTarsilImport::RefreshSeparatorDuty(IHeatIntegrationStream& stream, CPItem* separator, CPString* missing) {
    // From the feed's temperature to the product's, with the separator's duty, as the extraction
    // takes a two-phase separator's duty.
    CPItem *feed = nullptr, *product = nullptr;
    for (CPItem* f : separator->RelatedNodes(CPItem::Upstream))
        if (!feed && IsClass(f, CaseClass::MaterialStream)) feed = f;
    for (CPItem* p : separator->RelatedNodes(CPItem::Downstream))
        if (!product && IsClass(p, CaseClass::MaterialStream)) product = p;
    double duty = 0.0, tIn = 0.0, tOut = 0.0, mass = 0.0;
    CPString unknown;
    if (!KnownNumber(separator, "Duty", duty) || duty == kEmpty) unknown = "the duty of " + separator->_get_szName();
    else if (!KnownNumber(feed, "Temperature", tIn) || tIn == kEmpty)
        unknown = feed ? "the temperature of " + feed->_get_szName() : "the feed of " + separator->_get_szName();
    else if (!KnownNumber(product, "Temperature", tOut) || tOut == kEmpty)
        unknown = product ? "the temperature of " + product->_get_szName() : "the product of " + separator->_get_szName();
    if (!unknown.empty()) {
        if (missing) *missing = unknown;
        return false;
    }
    if (std::fabs(tOut - tIn) < kSameTemperature) tOut = duty > 0.0 ? tIn + kDutySpan : tIn - kDutySpan;
    if (!WriteDutyStreamEnds(stream, tIn, tOut, duty, missing)) return false;
    if ((duty > 0.0) != (tOut > tIn)) ReportSeparatorAgainstDuty(separator, duty, tIn, tOut);
    stream.SetValue("Enthalpy", -duty, 0);
    if (KnownNumber(feed, "MassFlow", mass) && mass != kEmpty) stream.SetValue("MassFlow", mass, 0);
    stream.SetValue("HeatCapacityFlowrate", std::fabs(duty) / std::fabs(tOut - tIn), 0);
    return true;
}

bool VelmorToTarsilImport::UnitDutiesKnown(const StreamChain& chain,
                                           const std::unordered_set<const CPItem*>& networkItems,
                                           CPString& missing) const {
    // The units between the chain's streams: the last stream's units belong to the next stream.
    for (std::size_t i = 0; i + 1 < chain.streams.size(); ++i)
        for (CPItem* unit : chain.streams[i]->RelatedNodes(CPItem::Downstream)) {
            double duty = 0.0;
            if (!networkItems.count(unit) || !unit->GetVariable("Duty") || (KnownNumber(unit, "Duty", duty) && duty != kEmpty))
                continue;
            missing = "the duty of " + unit->_get_szName();
            return false;
        }
    return true;
}

void VelmorToTarsilImport::ReportStreamValueMissing(const CPString& stream, const CPString& missing) {
    ReportWarning("Streams_Not_Refreshed", "ExtractionStreamsNotRefreshed",
                  FormatMessage(FindString("ExtractionStreamValueMissing"), {stream, missing}));
}

void VelmorToTarsilImport::ReportStreamTurned(const CPString& stream, double supply, double target) {
    ReportWarning("Streams_Not_Refreshed", "ExtractionStreamsNotRefreshed",
                  FormatMessage(FindString("ExtractionStreamTurned"),
                                {stream, ExtractionNumber(supply), ExtractionNumber(target)}));
}

void VelmorToTarsilImport::ReportStreamsNotRefreshed(const std::vector<CPString>& names) {
    for (const CPString& name : names)
        ReportWarning("Streams_Not_Refreshed", "ExtractionStreamsNotRefreshed",
                      FormatMessage(FindString("ExtractionStreamNotRefreshed"), {name}));
}

bool VelmorToTarsilImport::RefreshEnergyStream(IHeatIntegrationStream& stream, CPItem* energyStream, CPItem* unit,
                                               CPString* missing) {
    if (!energyStream) return true;
    // A shortcut column's duty and temperature stand on the column, signed as its reboiler and
    // condenser are (the energy stream's heat flow says only that the pair was taken).
    if (IsClass(unit, "scShortcutDistillation")) {
        // An energy stream whose heat flow the solved case leaves unknown is one the extraction
        // would not take: the stream keeps its earlier values.
        double flow = 0.0;
        if (!KnownNumber(energyStream, "HeatFlow", flow) || flow == kEmpty) {
            if (missing) *missing = "the heat flow of " + energyStream->_get_szName();
            return false;
        }
        CPItem* column = FirstNeighbour(energyStream, CPItem::Downstream);
        const bool reboiler = column != nullptr;
        if (!column) column = FirstNeighbour(energyStream, CPItem::Upstream);
        double t = kEmpty, duty = kEmpty;
        // Both known, on a stream that has its side: the ends are written in the order the stream
        // takes them (the column's end may move by more than the half kelvin it spans).
        if (column && stream.GetHotCold() != 2 &&
            KnownNumber(column, reboiler ? "ReboilerTemperature" : "CondenserTemperature", t) && t != kEmpty &&
            KnownNumber(column, reboiler ? "ReboilerDuty" : "CondenserDuty", duty) && duty != kEmpty) {
            if (!WriteDutyStreamEnds(stream, reboiler ? t - kDutySpan : t + kDutySpan, t, duty, missing)) return false;
            stream.SetValue("Enthalpy", -duty, 0);
            return true;
        }
        CPString unknown;
        if (ShortcutColumnEnd(stream, energyStream, &unknown)) return true;
        if (missing) *missing = unknown;
        return false;
    }
    double q = 0.0;
    if (!KnownNumber(energyStream, "HeatFlow", q) || q == kEmpty) return false;
    // The ends are written before the load: where the solved case turns the stream round, it keeps
    // all its earlier values, its load with them.
    // The unit the extraction found: by now the energy stream also enters the heater or cooler
    // the extraction made for its duty, which has no stages or liquid product to read.
    if (!unit) unit = FirstNeighbour(energyStream, CPItem::Downstream);
    if (!unit) unit = FirstNeighbour(energyStream, CPItem::Upstream);
    if (!unit || unit->_get_szClassName().empty() || (!IsClass(unit, "vsTraySection") && !IsOneOf(unit, kVessels))) {
        stream.SetValue("Enthalpy", -q, 0);
        return true;
    }

    if (IsClass(unit, "vsTraySection")) {
        const CPValue* feeds = unit->GetVariable("TraysectionFeeds");
        const CPValue* feedStages = unit->GetVariable("FeedStages");
        const CPValue* stages = unit->GetVariable("AllSeparationStages");
        CPString stage, text;
        bool found = false;
        for (std::size_t k = 0; feeds && k < feeds->GetNumberOfSubValues() && !found; ++k)
            found = ListText(feeds, k, text) && text == energyStream->_get_szName() && ListText(feedStages, k, stage);
        if (!found || !stages) return stream.SetValue("Enthalpy", -q, 0), true;
        // The stage's place in the column, searched from the bottom.
        std::size_t j = stages->GetNumberOfSubValues();
        bool placed = false;
        while (j > 0 && !placed) {
            --j;
            placed = ListText(stages, j, text) && text == stage;
        }
        if (!placed) return stream.SetValue("Enthalpy", -q, 0), true;
        // Heat taken out is seen from the stage below and its vapour; heat put in from the stage
        // above and its liquid.
        const bool removed = q < 0.0;
        const bool hasNeighbour = removed ? j + 1 < stages->GetNumberOfSubValues() : j > 0;
        const std::size_t n = removed ? j + 1 : (j > 0 ? j - 1 : 0);
        const CPValue* temperatures = unit->GetVariable("StageTemperature");
        auto stageTemperature = [&](const CPString& name, double& t) {
            const CPValue* v = temperatures ? temperatures->FindSubValue(name) : nullptr;
            if (!v || !v->IsKnown() || v->IsEmpty() || v->GetAsDouble() == kEmpty) return false;
            t = v->GetAsDouble();
            return true;
        };
        double tj = kEmpty, tn = kEmpty;
        const bool haveTj = stageTemperature(stage, tj);
        CPString neighbour;
        if (!hasNeighbour || !ListText(stages, n, neighbour) || !stageTemperature(neighbour, tn)) tn = kEmpty;
        // Without its stage's temperature the new duty would stand on the old ends: the stream
        // keeps its earlier values, as a vessel's does without its liquid's.
        if (!haveTj) {
            if (missing) *missing = "the temperature of stage " + stage + " of " + unit->_get_szName();
            return false;
        }
        {
            double supply = tn;
            if (q < 0.0) supply = tn != kEmpty && tn > tj + kDutySpan ? tn : tj + kDutySpan;
            else if (q > 0.0) supply = tn != kEmpty && tn < tj - kDutySpan ? tn : tj - kDutySpan;
            if (!WriteDutyStreamEnds(stream, supply, tj, q, missing)) return false;
        }
        stream.SetValue("Enthalpy", -q, 0);
        const char* phase = removed ? "Vapour" : "Liquid";
        const std::pair<const char*, const char*> properties[] = {{"Viscosity", "Viscosity"},
                                                                  {"ThermalConductivity", "ThermalConductivity"},
                                                                  {"MassDensity", "MassDensity"},
                                                                  {"HeatCapacity", "SpecificHeat"}};
        for (const auto& [stageName, streamName] : properties) {
            const std::string key = std::string("Stage") + phase + stageName;
            const CPValue* list = unit->GetVariable(key.c_str());
            double a = 0.0, b = 0.0;
            if (hasNeighbour && ListNumber(list, n, a) && ListNumber(list, j, b))
                stream.SetValue(streamName, 0.5 * (a + b), 0);
        }
        stream.SetValue("CHTCoeff", kEmpty, 0);
        return true;
    }

    // A vessel or reactor: from its feed's temperature to its liquid's, as the extraction takes it.
    CPItem* feed = nullptr;
    for (CPItem* f : unit->RelatedNodes(CPItem::Upstream))
        if (IsClass(f, CaseClass::MaterialStream)) {
            feed = f;
            break;
        }
    CPItem* liquid = nullptr;
    CPString liquidName;
    if (TextValue(unit, "LiquidProduct", liquidName))
        for (CPItem* p : unit->RelatedNodes(CPItem::Downstream))
            if (p->_get_szName() == liquidName) {
                liquid = p;
                break;
            }
    double tf = 0.0, tl = 0.0;
    const bool feedKnown = KnownNumber(feed, "Temperature", tf) && tf != kEmpty;
    const bool liquidKnown = KnownNumber(liquid, "Temperature", tl) && tl != kEmpty;
    // A feed or liquid whose temperature the solved case leaves unknown gives the stream no end to
    // go by: it keeps its earlier values.
    if ((feed && !feedKnown) || (liquid && !liquidKnown)) {
        if (missing) *missing = "the temperature of " + (feed && !feedKnown ? feed : liquid)->_get_szName();
        return false;
    }
    // A vessel without a feed or a liquid product has only what it has: its load, and its feed's
    // temperature.
    if (!feed || !liquid) {
        if (feedKnown) stream.SetValue("Temperature", tf, 0);
        stream.SetValue("Enthalpy", -q, 0);
        return true;
    }
    // A plug-flow reactor's duty is signed the other way round.
    const double sign = IsClass(unit, "rxPlugFlowReactor") ? -q : q;
    const CPValue* reactions = unit->GetVariable("HasReactions");
    const bool reacting = IsOneOf(unit, kReactors) ||
                          ((IsClass(unit, "vsSeparatorTwoPhase") || IsClass(unit, "vsSeparatorThreePhase")) && reactions &&
                           !reactions->IsText() && reactions->GetAsDouble() == 1.0);
    if (reacting && ((sign > 0.0 && tl < tf) || (sign < 0.0 && tf < tl))) tf = tl;
    double target = tl;
    if (std::fabs(tl - tf) < kSameTemperature) target = sign > 0.0 ? tf + kDutySpan : tf - kDutySpan;
    if (!WriteDutyStreamEnds(stream, tf, target, q, missing)) return false;
    stream.SetValue("Enthalpy", -q, 0);
    if ((sign > 0.0) != (target > tf)) ReportVesselAgainstDuty(unit, sign, tf, target);
    return true;
}

void VelmorToTarsilImport::RefreshExchangerValues(const std::unordered_set<std::string>& kept) {
    IHENDesign* design = GetBaseDesign();
    if (!design) return;
    CNode* unit = nullptr;
    for (int i = 0; design->GetHeatExchanger(i, unit) && unit; ++i) {
        // 1. Port temperatures: a port right after the stream's start takes its supply, right
        // before its end its target; a port inside the stream is left to the calculation.
        CNode* ports[] = {unit->getIthUpStreamNode(0), unit->getIthUpStreamNode(1), unit->getIthDownStreamNode(0),
                          unit->getIthDownStreamNode(1)};
        for (CNode* port : ports) {
            if (!port) break;
            CNode* a = port->getIthUpStreamNode(0);
            CNode* b = port->getIthDownStreamNode(0);
            CPString parent;
            IHeatIntegrationStream* stream = nullptr;
            if (!a || !b || port->getVariableAsString("ParentStream", parent) != 1 || !m_scenario->GetStream(parent, stream) ||
                !stream)
                continue;
            const double ts = stream->GetSupplyTemperature(), tt = stream->GetTargetTemperature();
            if (a->getClassName() == "ppFeedOrProductBlock") {
                port->addVariable("Temperature", ts, 1, 1);
            } else if (a->getClassName() == "ppTee") {
                if (stream->GetStreamKind() == 1) continue;
                CNode* teeInlet = a->getIthUpStreamNode(0);
                CNode* start = teeInlet ? teeInlet->getIthUpStreamNode(0) : nullptr;
                if (!start || start->getClassName() != "ppFeedOrProductBlock") continue;
                for (CNode* n : {port, start, teeInlet}) n->addVariable("Temperature", 0.0, 0, 1);
                for (CNode* n : {start, teeInlet}) n->addVariable("Temperature", ts, 1, 1);
            } else if (b->getClassName() == "ppProductBlock") {
                port->addVariable("Temperature", tt, 1, 1);
            } else {
                port->addVariable("Temperature", 0.0, 0, 1);
            }
        }

        // 2. The simulator's values of the case unit it stands for.
        CPString name;
        if (unit->getVariableAsString("UnitOperationName", name) != 1 || name.empty()) name = unit->getName();
        const CPItem* item = GetExchangerItem(name);
        if (!item) continue;
        CheckHeatLoss(item);
        // The simulator's side temperatures the feasibility check holds the network to.
        if (IsClass(item, "htHeatExchanger")) StoreSimulatorSideTemperatures(item, unit);
        // A unit on a stream that kept its earlier values keeps its earlier duty: the new one
        // would take the stream past the ends it kept.
        bool onKeptStream = false;
        for (CNode* port : ports) {
            CPString parent;
            if (port && port->getVariableAsString("ParentStream", parent) == 1 && kept.count(parent)) onKeptStream = true;
        }
        // Its partner across the exchanger was refreshed all the same: the duty kept is the earlier
        // case's, so the partner's new ends may not balance with it. The report names the pair.
        HeatExch* process = AsExchanger(unit);
        if (onKeptStream && process && !process->IsUtilityExch()) {
            CPString sides[2];
            for (int side = 0; side < 2; ++side)
                if (CNode* in = unit->getIthUpStreamNode(side)) in->getVariableAsString("ParentStream", sides[side]);
            for (int side = 0; side < 2; ++side)
                if (kept.count(sides[side]) && !sides[1 - side].empty() && !kept.count(sides[1 - side]))
                    ReportWarning("Streams_Not_Refreshed", "ExtractionStreamsNotRefreshed",
                                  FormatMessage(FindString("ExtractionPartnerKeptDuty"),
                                                {name, sides[side], sides[1 - side]}));
        }
        double duty = 0.0;
        // Only a duty the design specifies follows the simulator; a calculated one is the
        // network's. An unknown duty changes nothing (never a specified 0).
        if (!onKeptStream && unit->hasVariable("Duty") && unit->getVariableStatus("Duty") == 1 && KnownNumber(item, "Duty", duty) &&
            duty != kEmpty)
            unit->addVariable("Duty", std::max(WithLeftOutDuty(item, std::fabs(duty)), kIdleDuty), 1, 1);
        // A unit the solved case takes below the duty a unit is placed for keeps its place (the
        // network the user may have worked on stays whole), and the report says so, as the
        // extraction says of a unit it leaves out.
        if (!onKeptStream && KnownNumber(item, "Duty", duty) && duty != kEmpty && std::fabs(duty) < kSmallestPlacedDuty)
            ReportWarning("Units_Below_Placed_Duty", "ExtractionUnitsBelowPlacedDuty",
                          FormatMessage(FindString("ExtractionUnitBelowPlacedDuty"),
                                        {name, ExtractionNumber(std::fabs(duty))}));
        // Coefficients the solved case leaves unknown leave the simulator's earlier ones in place.
        HeatExch* hx = AsExchanger(unit);
        double coefficient = 0.0;
        if (hx && !hx->IsUtilityExch() &&
            (KnownNumber(item, "OverallU", coefficient) || KnownNumber(item, "OverallDirtyCoeff", coefficient)))
            WriteSimulatorCoefficients(item, unit);
    }
}

void VelmorToTarsilImport::PlaceUnitsGivenADuty() {
    IHENDesign* design = GetBaseDesign();
    if (!design || m_leftOutForDuty.empty()) return;
    // The warnings of the extraction quote the loads it found: each unit is said again as the
    // solved case has it, placed now or still left out.
    WithdrawPlacementFailures({m_leftOutForDuty.begin(), m_leftOutForDuty.end()});
    std::vector<CPItem*> placed;
    const std::vector<CPItem*> leftOut = std::exchange(m_leftOutForDuty, {});
    // A unit whose stream the extraction did not keep (a stream of such units alone) has no
    // stream to go on: it stays out, said with the load the case now gives.
    const auto streamKept = [this](CPItem* item) {
        for (CPItem* feed : item->RelatedNodes(CPItem::Upstream)) {
            CPString name;
            IHeatIntegrationStream* stream = nullptr;
            if (IsClass(feed, CaseClass::MaterialStream) && TextValue(feed, "PIStreamName", name) &&
                !(m_scenario->GetStream(name, stream) && stream))
                return false;
        }
        return true;
    };
    for (CPItem* item : leftOut) {
        double duty = 0.0;
        if (KnownNumber(item, "Duty", duty) && duty != kEmpty && std::fabs(duty) >= kSmallestPlacedDuty && streamKept(item))
            placed.push_back(item);
        else {
            ReportPlacementFailure(item);
            LeaveOutForItsDuty(item);
        }
    }
    if (placed.empty()) return;
    // Placed as the extraction places its units, on a switched-off design, and then made ready
    // for the calculation in the same steps.
    design->Deactivate();
    for (CPItem* item : placed) {
        m_existingNetworkItems.push_back(item);
        if (IsClass(item, "htHeatExchanger")) AddExchangerFromItem(item);
        else AddUtilityExchangerFromItem(item);
    }
    // A utility the placement added took no notice of its ends while the scenario's calculations
    // wait for the refresh: they are brought up to date as the extraction does before it places.
    for (int i = 0; i < design->GetNumberOfStreams(); ++i)
        if (IHeatIntegrationStream* stream = design->GetStream(i)) design->ProcessChange(36, stream->GetName(), nullptr);
    for (CPItem* item : placed) ReleaseInternalTemperatures(item);
    for (CPItem* item : placed) RemoveRemovableUtilities(item);
    design->Activate(1);
    for (CPItem* item : placed) SetDutyFromHeatFlows(item);
    design->AddUtilitiesAtStreamEnds();
    std::unordered_set<const CNode*> settled;
    for (CPItem* item : placed) DropPlaceholderBeforeFixedDuty(item, settled);
    design->AddUtilitiesAtStreamEnds();
    design->AddMissingUtilities();
    // Each unit placed stands in the design's order of units where an extraction of the solved
    // case would have placed it; on a utility that serves others it stands beside them on a branch
    // of its own in that order, as the extraction places units on one utility, not in series with
    // them. The shares follow the duties.
    PutInPlantOrder(placed);
    if (Setting("TransferFromExcel") == 0.0) {
        bool stood = false;
        design->Deactivate();
        for (CPItem* item : placed) {
            CNode* unit = NetworkUnitOf(item);
            HeatExch* hx = AsExchanger(unit);
            if (hx && hx->IsUtilityExch()) stood = design->StandBesideOthers(unit, kReason) == 1 || stood;
        }
        design->Activate(1);
        if (stood) design->SetSplitFractionsFromBranchDuties();
    }
    for (CPItem* item : placed)
        if (NetworkUnitOf(item)) m_scenario->AddExtractionItemName(item->_get_szName());
        else ForgetNetworkItem(item);
}

void VelmorToTarsilImport::ReassignInfeasibleUtilities() {
    IHENDesign* design = GetBaseDesign();
    IDefaultUtilityManager* manager = nullptr;
    if (!design || m_scenario->GetDefaultUtilityManager(manager) != 1 || !manager) return;
    // The units flagged infeasible, and every heater and cooler, whose utility may no longer do
    // its duty at DTmin now that the case moved its temperatures. Moves change the network: each
    // unit is found again by its fingerprint.
    std::vector<unsigned int> prints;
    std::unordered_set<unsigned int> listed, infeasible;
    for (CNode* x : design->GetInfeasibleFlaggedExchangerNodes())
        if (listed.insert(x->getDNAFingerPrint()).second) {
            prints.push_back(x->getDNAFingerPrint());
            infeasible.insert(x->getDNAFingerPrint());
        }
    for (CNode* x : design->GetHeatExchangerNodes())
        if (HeatExch* hx = AsExchanger(x); hx && hx->IsUtilityExch() && listed.insert(x->getDNAFingerPrint()).second)
            prints.push_back(x->getDNAFingerPrint());
    for (unsigned int print : prints) {
        CNode* x = design->GetNodeByFingerPrint(print);
        HeatExch* hx = AsExchanger(x);
        if (!hx || !hx->IsUtilityExch()) continue;
        // A heater's utility is on its hot side, a cooler's on its cold side.
        const bool heater = hx->IsHeater();
        const int processSide = heater ? 1 : 0, utilitySide = heater ? 0 : 1;
        CNode* processIn = hx->getInlet(processSide);
        CNode* processOut = hx->getOutlet(processSide);
        CNode* utilityIn = hx->getInlet(utilitySide);
        CNode* utilityOut = hx->getOutlet(utilitySide);
        if (!processIn || !processOut || !utilityOut) continue;
        CPString current;
        utilityOut->getVariableAsString("ParentStream", current);
        // A feasible unit whose utility still does its duty stays where it is.
        if (!infeasible.count(print) &&
            UtilityServes(*manager, current, heater, NodeTemperature(processIn), NodeTemperature(processOut)))
            continue;
        const char* recommended = manager->GetRecommendedUtilityForDataExt(
            NodeTemperature(processOut), heater ? SHT_Hot : SHT_Cold, NodeTemperature(processIn));
        const CPString utility = ServingUtility(*manager, recommended, heater, NodeTemperature(processIn),
                                                NodeTemperature(processOut), x->getName(), StreamName(processIn));
        if (utility.empty()) continue;
        // Already on the utility the rule gives: there is nowhere better to go.
        if (current == utility) continue;
        // The branch of a split utility the unit leaves goes with it, whichever way it moves: an
        // empty branch would stay on the old utility as a bypass.
        CNode* oldTee = utilityIn ? utilityIn->getIthUpStreamNode(0) : nullptr;
        const unsigned int oldBranch =
            oldTee && oldTee->getClassName() == "ppTee" && utilityIn ? utilityIn->getDNAFingerPrint() : 0;
        const auto dropLeftBranch = [&] {
            CNode* left = oldBranch ? design->GetNodeByFingerPrint(oldBranch) : nullptr;
            if (left && design->GetBranchState(left) == 0) design->RemoveSplitterBranch(left, kReason);
        };
        IHeatIntegrationStream* stream = nullptr;
        if (!m_scenario->GetStream(utility, stream) || !stream) {
            AddUtilityStream(*m_scenario, utility);
            design->MoveUtilityToStreamEnd(x, utility, kReason);
            dropLeftBranch();
            continue;
        }
        // Beside the units the utility serves already, each on a branch of its own in the network's
        // order, as the extraction places units on one utility and as a unit given another utility
        // by hand stands: the order the refresh moves units in changes nothing.
        if (Setting("TransferFromExcel") == 0.0) {
            if (design->MoveUtilityBesideOthers(x, utility, kReason)) dropLeftBranch();
            continue;
        }
        const std::vector<CNode*> sharing = design->GetExchangersOnStreamSide(stream, utilitySide);
        if (sharing.size() < 2) {
            design->MoveUtilityToStreamEnd(x, utility, kReason);
            dropLeftBranch();
            continue;
        }
        // The utility is split among its units already: the unit takes a branch of its own.
        CNode* start = design->GetStreamBlock(utility, false);
        CNode* first = start ? start->getIthDownStreamNode(0) : nullptr;
        CNode* tee = first ? first->getIthDownStreamNode(0) : nullptr;
        if (!tee || tee->getClassName() != "ppTee") continue;
        design->AddSplitterBranch(tee, kReason, 1);
        CNode* branch = tee->getIthDownStreamNode(static_cast<int>(sharing.size()));
        if (!branch || !design->MoveHeatExchangerSide(x, utilityOut, branch, kReason)) continue;
        dropLeftBranch();
    }
}
