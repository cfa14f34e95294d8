#include "eng/retrofit/NetworkExtraction.h"

#include "eng/retrofit/NetworkOrder.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/PlantNormalForm.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <cmath>
#include <string>
#include <unordered_map>

namespace {

constexpr int kKindProcess = 0;
constexpr int kKindUtility = 1;
constexpr int kKindLinked = 2;
constexpr double kHoursPerYear = 8765.76;

IHeatIntegrationStream* StreamOf(CNode* node) {
    auto* piece = dynamic_cast<StreamPiece*>(node);
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

// A hot or cold record made from the common part.
template <class Derived, class Base>
Derived As(const Base& base) {
    Derived d;
    static_cast<Base&>(d) = base;
    return d;
}

bool Is(const CNode* node, const char* kind) { return node && node->getClassName() == kind; }

double Kelvin(const CNode* node) {
    double t = 0.0;
    node->getVariableAsDouble(NodeValue::Temperature, t);
    return t + kKelvinOffset;
}

double Value(const CNode* node, const char* name) {
    double v = 0.0;
    return node->getVariableAsDouble(name, v) ? v : 0.0;
}

char StatusChar(const CNode* node, const char* name) {
    return static_cast<char>('0' + node->getVariableStatus(name));
}

// A process stream a unit may stand on: complete, and not a utility.
bool IsCompleteProcess(const IHeatIntegrationStream* s) {
    return s && s->GetStreamKind() != kKindUtility && s->AreDesignSegmentsComplete();
}

// Removes a placeholder with the piece after it (joining the piece before it to the node after
// that) or with the piece before it.
bool RemovePlaceholder(FlowSheet& sheet, CNode* heater) {
    CNode* up = heater->getIthUpStreamNode(0);
    CNode* down = heater->getIthDownStreamNode(0);
    if (!up || !down) return false;
    CNode* upUp = up->getIthUpStreamNode(0);
    CNode* downDown = down->getIthDownStreamNode(0);
    if ((!downDown || Is(downDown, NodeKind::ProductBlock)) && upUp && !Is(upUp, NodeKind::FeedBlock)) {
        const int slot = downDown ? downDown->upStreamSlotOf(down) : -1;
        sheet.deleteNode(heater);
        sheet.deleteNode(down);
        return !downDown || sheet.connectNodes(up, downDown, 0, slot);
    }
    if (!upUp) return false;
    const int slot = upUp->downStreamSlotOf(up);
    sheet.deleteNode(heater);
    sheet.deleteNode(up);
    return sheet.connectNodes(upUp, down, slot, 0);
}

std::vector<CNode*> ExchangerNodes(const FlowSheet& sheet) {
    std::vector<CNode*> nodes = sheet.getAllNodesOfType(NodeKind::CountercurrentHX);
    for (CNode* n : sheet.getAllNodesOfType(NodeKind::HeatExchanger)) nodes.push_back(n);
    return nodes;
}

struct Extractor {
    FlowSheet& sheet;
    const IHENDesign& design;
    RetrofitNetwork& net;
    double hours = kHoursPerYear;

    int IdOf(IHeatIntegrationStream* s) const {
        const auto found = net.streamIdByName.find(std::string(s->GetName()));
        return found != net.streamIdByName.end() ? found->second : s->GetStoredInt();
    }

    void NodeRecords() {
        for (CNode* node : sheet.getAllNodesOfType(NodeKind::MaterialStream)) {
            if (!IsCompleteProcess(StreamOf(node))) continue;
            NodeInfo n;
            n.fingerprint = node->getDNAFingerPrint();
            // The share of the whole stream's flow: the models weigh loads of the whole stream by it.
            const StreamNode* segment = AsStreamNode(node);
            const double share = segment ? segment->getSplitFraction() : -1.0;
            double stored = 1.0;
            n.splitFraction = share >= 0.0 ? share : node->getVariableAsDouble(NodeValue::SplitFraction, stored) ? stored : 1.0;
            n.temperature = Kelvin(node);
            n.splitFractionStatus = StatusChar(node, NodeValue::SplitFraction);
            n.temperatureStatus = StatusChar(node, NodeValue::Temperature);
            net.nodes.push_back(n);
        }
    }

    static void Points(IHeatIntegrationStream& s, const std::vector<int>& indexes, std::vector<double>& temperatures,
                       std::vector<double>& loads) {
        for (int i : indexes) {
            double t = 0.0;
            s.GetValue(NodeValue::Temperature, t, i);
            temperatures.push_back(t + kKelvinOffset);
            loads.push_back(s.GetHeatLoadFromSupply(t));
        }
    }

    void StreamRecords() {
        const std::vector<CNode*> starts = sheet.getAllNodesOfType(NodeKind::FeedBlock);
        std::unordered_map<std::string, CNode*> endByName;
        for (CNode* end : sheet.getAllNodesOfType(NodeKind::ProductBlock))
            if (IHeatIntegrationStream* s = StreamOf(end)) endByName[std::string(s->GetName())] = end;
        std::vector<IHeatIntegrationStream*> linked;  // streams that may carry links
        for (CNode* start : starts) {
            IHeatIntegrationStream* s = StreamOf(start);
            if (!s) continue;
            const std::string name(s->GetName());
            net.streamIdByName[name] = s->GetStoredInt();
            net.streamNameById[s->GetStoredInt()] = name;
            if (s->GetStreamKind() == kKindLinked) linked.push_back(s);
        }
        // The streams as every model reads the plant: in the order of their names, a utility's
        // rows one range wherever nothing the models read changes between them.
        std::vector<IHeatIntegrationStream*> ordered;
        std::unordered_map<const IHeatIntegrationStream*, CNode*> startOf;
        for (CNode* start : starts)
            if (IHeatIntegrationStream* s = StreamOf(start); s && startOf.emplace(s, start).second) ordered.push_back(s);
        PlantNormalForm::OrderByName(ordered);
        for (IHeatIntegrationStream* s : ordered) {
            CNode* start = startOf[s];
            if (!s->AreDesignSegmentsComplete()) continue;
            const int segments = s->GetNumberOfSegments();
            if (s->GetStreamKind() == kKindUtility) {
                UtilInfo u;
                std::vector<int> ends{0};
                for (const PlantNormalForm::Run& run : PlantNormalForm::RunsOf(*s)) ends.push_back(run.first + run.count);
                if (ends.size() < 2) ends.push_back(segments);
                Points(*s, ends, u.pointTemperatures, u.pointLoads);
                u.numberOfPoints = static_cast<int>(ends.size());
                const double supply = s->GetSupplyTemperature(), target = s->GetTargetTemperature();
                double outlet = target;
                if (!design.GetTemperatureBeforeStreamEnd(s->GetName(), outlet)) outlet = target;
                u.supplyTemperature = supply + kKelvinOffset;
                u.outletTemperature = outlet + kKelvinOffset;
                u.unitCost = UtilityUnitCost(s->GetCostIndex(), supply, target, outlet, hours);
                u.name = s->GetName();
                u.streamId = s->GetStoredInt();
                if (s->GetHotCold() == 0) net.hotUtilities.push_back(As<HotUtilInfo>(u));
                else if (s->GetHotCold() == 1) net.coldUtilities.push_back(As<ColdUtilInfo>(u));
                continue;
            }
            if (s->GetHotCold() != 0 && s->GetHotCold() != 1) continue;
            StrmInfo p;
            Points(*s, {0, segments}, p.pointTemperatures, p.pointLoads);
            p.numberOfPoints = 2;
            p.supplyTemperature = s->GetSupplyTemperature() + kKelvinOffset;
            p.targetTemperature = s->GetTargetTemperature() + kKelvinOffset;
            p.streamId = s->GetStoredInt();
            // Links are kept on both streams, so only streams that carry links can name this one.
            if (s->GetStreamKind() == kKindLinked)
                for (IHeatIntegrationStream* other : linked)
                    if (other != s && other->IsLinkedTo(s->GetName())) p.linkedStreams.push_back(other->GetStoredInt());
            CNode* first = start->getIthDownStreamNode(0);
            const auto end = endByName.find(std::string(s->GetName()));
            CNode* last = end != endByName.end() ? end->second->getIthUpStreamNode(0) : nullptr;
            if (!first || !last) return;
            p.startNode = first->getDNAFingerPrint();
            p.endNode = last->getDNAFingerPrint();
            if (s->GetHotCold() == 0) net.hotStreams.push_back(As<HotStrmInfo>(p));
            else net.coldStreams.push_back(As<ColdStrmInfo>(p));
        }
    }

    bool MixerRecords() {
        for (CNode* mixer : sheet.getAllNodesOfType(NodeKind::Mixer)) {
            CNode* outlet = mixer->getIthDownStreamNode(0);
            if (!outlet) return false;
            IHeatIntegrationStream* s = StreamOf(outlet);
            if (!IsCompleteProcess(s)) continue;
            MixerInfo m;
            m.fingerprint = mixer->getDNAFingerPrint();
            m.outlet = outlet->getDNAFingerPrint();
            for (CNode* in : mixer->getAllUpStreamNodes()) m.inlets.push_back(in->getDNAFingerPrint());
            if (m.inlets.empty()) return false;
            m.streamId = IdOf(s);
            m.hot = s->GetHotCold() == 0 ? 1 : 0;
            net.mixers.push_back(m);
        }
        return true;
    }

    bool TeeRecords() {
        for (CNode* tee : sheet.getAllNodesOfType(NodeKind::Tee)) {
            CNode* inlet = tee->getIthUpStreamNode(0);
            const std::vector<CNode*> outlets = tee->getAllDownStreamNodes();
            if (!inlet || outlets.empty()) return false;
            if (!IsCompleteProcess(StreamOf(outlets.front()))) continue;
            TeeInfo t;
            t.fingerprint = tee->getDNAFingerPrint();
            t.inlet = inlet->getDNAFingerPrint();
            for (CNode* out : outlets) t.outlets.push_back(out->getDNAFingerPrint());
            IHeatIntegrationStream* s = StreamOf(inlet);
            t.streamId = s ? IdOf(s) : 0;
            net.tees.push_back(t);
        }
        return true;
    }

    void UtilityExchanger(UtilHXInfo& r, CNode* unit, CNode* const in[2], CNode* const out[2],
                          IHeatIntegrationStream* const s[2]) {
        for (int side = 0; side < 2; ++side) {
            if (s[side]->GetStreamKind() == kKindUtility) {
                r.utilityStream = IdOf(s[side]);
                continue;
            }
            // Linked process streams are process streams here as well.
            r.processStream = IdOf(s[side]);
            r.processInlet = in[side]->getDNAFingerPrint();
            r.processInletTemperature = Kelvin(in[side]);
            r.processOutlet = out[side]->getDNAFingerPrint();
            r.processOutletTemperature = Kelvin(out[side]);
        }
        r.fingerprint = unit->getDNAFingerPrint();
        r.duty = Value(unit, NodeValue::Duty);
        r.dutyStatus = StatusChar(unit, NodeValue::Duty);
        r.annualisedCapitalCost = Value(unit, NodeValue::AnnualizedCapitalCost);
        r.simpleExchanger = Is(unit, NodeKind::CountercurrentHX) ? 0 : 1;
    }

    bool ExchangerRecords() {
        for (CNode* unit : ExchangerNodes(sheet)) {
            HeatExch* x = AsHeatExch(unit);
            if (!x) continue;
            CNode* const in[2] = {x->getIthUpStreamNode(0), x->getIthUpStreamNode(1)};
            CNode* const out[2] = {x->getIthDownStreamNode(0), x->getIthDownStreamNode(1)};
            if (!in[0] || !in[1] || !out[0] || !out[1]) return false;
            IHeatIntegrationStream* const s[2] = {StreamOf(in[0]), StreamOf(in[1])};
            IHeatIntegrationStream* const so[2] = {StreamOf(out[0]), StreamOf(out[1])};
            if (!s[0] || !s[1] || !so[0] || !so[1]) return false;
            if (!s[0]->AreDesignSegmentsComplete() || !s[1]->AreDesignSegmentsComplete()) continue;
            const int k0 = s[0]->GetStreamKind(), k1 = s[1]->GetStreamKind();
            const int h0 = s[0]->GetHotCold(), h1 = s[1]->GetHotCold();
            const bool heater = x->IsHeater(), cooler = x->IsCooler();
            if ((k0 == kKindProcess && k1 == kKindProcess) || (!heater && !cooler)) {
                HXInfo r;
                r.fingerprint = unit->getDNAFingerPrint();
                for (int side = 0; side < 2; ++side) {
                    if (s[side]->GetHotCold() == 0) {
                        r.hotInlet = in[side]->getDNAFingerPrint();
                        r.hotInletTemperature = Kelvin(in[side]);
                    } else {
                        r.coldInlet = in[side]->getDNAFingerPrint();
                        r.coldInletTemperature = Kelvin(in[side]);
                    }
                    if (so[side]->GetHotCold() == 0) {
                        r.hotOutlet = out[side]->getDNAFingerPrint();
                        r.hotOutletTemperature = Kelvin(out[side]);
                        r.hotStream = IdOf(so[side]);
                    } else {
                        r.coldOutlet = out[side]->getDNAFingerPrint();
                        r.coldOutletTemperature = Kelvin(out[side]);
                        r.coldStream = IdOf(so[side]);
                    }
                }
                r.duty = Value(unit, NodeValue::Duty);
                r.dutyStatus = unit->getVariableStatus(NodeValue::Duty);
                net.exchangers.push_back(r);
                continue;
            }
            const bool hotProcess0 = k0 == kKindProcess && h0 == 0, coldUtility1 = k1 == kKindUtility && h1 == 1;
            const bool coldUtility0 = k0 == kKindUtility && h0 == 1, hotProcess1 = k1 == kKindProcess && h1 == 0;
            const bool coldProcess0 = k0 == kKindProcess && h0 == 1, hotUtility1 = k1 == kKindUtility && h1 == 0;
            const bool hotUtility0 = k0 == kKindUtility && h0 == 0, coldProcess1 = k1 == kKindProcess && h1 == 1;
            const bool coolerPair = (hotProcess0 && coldUtility1) || (coldUtility0 && hotProcess1);
            const bool heaterPair = (coldProcess0 && hotUtility1) || (hotUtility0 && coldProcess1);
            if (coolerPair || (!heaterPair && cooler)) {
                CoolerInfo r;
                UtilityExchanger(r, unit, in, out, s);
                net.coolers.push_back(r);
            } else if (heaterPair || heater) {
                HeaterInfo r;
                UtilityExchanger(r, unit, in, out, s);
                net.heaters.push_back(r);
            }
        }
        return true;
    }

    void LeftoverHeaterRecords() {
        net.leftoverHeaters.clear();
        for (CNode* node : sheet.getAllNodesOfType(NodeKind::Heater)) {
            CNode* outlet = node->getIthDownStreamNode(0);
            IHeatIntegrationStream* s = StreamOf(outlet);
            if (!IsCompleteProcess(s)) continue;
            HeaterNodeInfo h;
            h.fingerprint = node->getDNAFingerPrint();
            CNode* inlet = node->getIthUpStreamNode(0);
            h.inlet = inlet ? inlet->getDNAFingerPrint() : 0;
            h.outlet = outlet->getDNAFingerPrint();
            h.streamId = IdOf(s);
            h.hot = s->GetHotCold() == 0 ? 1 : 0;
            net.leftoverHeaters.push_back(h);
        }
    }
};

}  // namespace

bool StripHeaterNodes(FlowSheet& sheet) {
    const std::vector<CNode*> heaters = sheet.getAllNodesOfType(NodeKind::Heater);
    std::size_t removed = 0;
    for (CNode* heater : heaters)
        if (RemovePlaceholder(sheet, heater)) ++removed;
    // A placeholder left standing sits right beside an exchanger: it goes with the piece between.
    for (CNode* unit : ExchangerNodes(sheet)) {
        for (int side = 0; side < 2; ++side) {
            CNode* inlet = unit->getIthUpStreamNode(side);
            if (!inlet) return false;
            CNode* heater = inlet->getIthUpStreamNode(0);
            if (Is(heater, NodeKind::Heater)) {
                CNode* before = heater->getIthUpStreamNode(0);
                sheet.deleteNode(heater);
                sheet.deleteNode(inlet);
                if (before) sheet.connectNodes(before, unit, 0, side);
                ++removed;
            }
            CNode* outlet = unit->getIthDownStreamNode(side);
            if (!outlet) return false;
            heater = outlet->getIthDownStreamNode(0);
            if (Is(heater, NodeKind::Heater)) {
                CNode* after = heater->getIthDownStreamNode(0);
                sheet.deleteNode(heater);
                sheet.deleteNode(outlet);
                if (after) sheet.connectNodes(unit, after, side, 0);
                ++removed;
            }
        }
    }
    return removed == heaters.size();
}

double UtilityUnitCost(double costIndex, double supply, double target, double outlet, double operatingHours) {
    const double used = supply - outlet;
    const double share = std::fabs(used) > 1e-12 ? (supply - target) / used : 1.0;
    return costIndex * share * (operatingHours / kHoursPerYear);
}

bool ExtractNetwork(FlowSheet& sheet, const IHENDesign& design, RetrofitNetwork& network) {
    Extractor e{sheet, design, network};
    // Without operating hours of its own a plant runs the whole year.
    if (IHeatIntegrationScenario* scenario = design.GetScenario()) {
        const double hours = scenario->GetEconomicData(6, "DEFAULT");
        if (hours > 0.0) e.hours = hours;
    }
    if (!StripHeaterNodes(sheet)) return false;
    e.NodeRecords();
    if (network.nodes.empty()) return false;
    e.StreamRecords();
    if (network.hotStreams.empty() || network.coldStreams.empty() || network.hotUtilities.empty() ||
        network.coldUtilities.empty())
        return false;
    if (!e.MixerRecords() || !e.TeeRecords() || !e.ExchangerRecords()) return false;
    if (network.coolers.empty() || network.heaters.empty()) return false;
    e.LeftoverHeaterRecords();
    if (!network.leftoverHeaters.empty()) return false;
    // The models read one plant however its tables were written.
    OrderNetworkByPlant(sheet, network);
    return true;
}
