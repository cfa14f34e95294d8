#include "eng/autodesign/StageDesignBuilder.h"

#include "dunmor/Exceptions.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/UnitNodes.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int kOpen = 0;
constexpr int kSpecified = 1;
constexpr int kCalculated = 2;

bool IsClass(const CNode* node, const char* kind) { return node && node->getClassName() == kind; }

bool IsExchangerClass(const CNode* node) {
    return IsClass(node, NodeKind::HeatExchanger) || IsClass(node, NodeKind::CountercurrentHX);
}

HeatExch* AsExchanger(CNode* node) { return dynamic_cast<HeatExch*>(node); }

CNode* FirstSegment(const IHENDesign& design, const CPString& stream) {
    CNode* start = design.GetNodeByName(stream + "Start");
    return start ? start->getFirstDownStreamNode() : nullptr;
}

CNode* LastSegment(const IHENDesign& design, const CPString& stream) {
    CNode* end = design.GetNodeByName(stream + "End");
    return end ? end->getFirstUpStreamNode() : nullptr;
}

// The segment just upstream of the end of the first stream of a kind (0 process, 1 utility) on
// a side (0 hot, 1 cold); null when the scenario has none.
CNode* ReferenceSegment(IHeatIntegrationScenario& scenario, const IHENDesign& design, int kind, int side) {
    IHeatIntegrationStream* s = nullptr;
    if (!scenario.GetStreamOfKind(0, s, kind, side) || !s) return nullptr;
    return LastSegment(design, s->GetName());
}

// Clears a segment's value, then gives it a new one as calculated: an estimate the network's
// calculation may replace.
void Estimate(CNode* node, double temperature) {
    if (!node) return;
    node->addVariable(NodeValue::Temperature, 0.0, kOpen);
    node->addVariable(NodeValue::Temperature, temperature, kCalculated);
}

struct References {
    CNode* hotProcess = nullptr;
    CNode* coldProcess = nullptr;
    CNode* hotUtility = nullptr;
    CNode* coldUtility = nullptr;
};

// The network of one build.
class Build {
public:
    Build(IHeatIntegrationScenario& scenario, IHENDesign& design) : m_scenario(scenario), m_design(design) {
        m_refs.hotProcess = ReferenceSegment(scenario, design, 0, 0);
        m_refs.coldProcess = ReferenceSegment(scenario, design, 0, 1);
        m_refs.hotUtility = ReferenceSegment(scenario, design, 1, 0);
        m_refs.coldUtility = ReferenceSegment(scenario, design, 1, 1);
    }

    void LayOutSplits(const std::vector<IHeatIntegrationStream*>& streams, std::vector<std::unique_ptr<StageSplit>>& splits);
    void EstimateBranches(std::vector<std::unique_ptr<StageSplit>>& splits);
    void PlaceMatches(const std::vector<std::unique_ptr<StageMatch>>& matches, std::vector<std::string>& unplaced);
    void Finish(std::vector<std::unique_ptr<StageSplit>>& splits);

    int temporaryPlaced = 0;
    int splittersPlaced = 0;

private:
    // A temporary exchanger at `at` on a stream cooled (true) or heated between the split's ends;
    // its outlet on the stream's side, or null when the design refuses it.
    CNode* PlaceTemporary(CNode* at, bool cooled, bool utilityStream, CNode*& inletOnStream);
    void Mark(CNode* node, double temperature, double fraction) {
        if (StageDesignBuilder::MarkSegment(node, temperature, fraction)) m_marked.push_back(node);
    }

    IHeatIntegrationScenario& m_scenario;
    IHENDesign& m_design;
    References m_refs;
    std::vector<CNode*> m_temporary;
    std::vector<CNode*> m_placed;
    std::unordered_map<std::string, const StageMatch*> m_matchOf;
    std::vector<CNode*> m_marked;
};

CNode* Build::PlaceTemporary(CNode* at, bool cooled, bool utilityStream, CNode*& inletOnStream) {
    CNode* other = cooled ? (utilityStream ? m_refs.coldProcess : m_refs.coldUtility)
                          : (utilityStream ? m_refs.hotProcess : m_refs.hotUtility);
    // Without a partner the split goes in at the unchanged position.
    if (!at || !other) return nullptr;
    CNode* unit = cooled ? m_design.AddHeatExchanger(at, other, StageDesignBuilder::kReason, NodeKind::HeatExchanger, nullptr)
                         : m_design.AddHeatExchanger(other, at, StageDesignBuilder::kReason, NodeKind::HeatExchanger, nullptr);
    HeatExch* x = AsExchanger(unit);
    if (!x) return nullptr;
    m_temporary.push_back(unit);
    ++temporaryPlaced;
    const int side = cooled ? 0 : 1;
    inletOnStream = x->getInlet(side);
    return x->getOutlet(side);
}

void Build::LayOutSplits(const std::vector<IHeatIntegrationStream*>& streams,
                         std::vector<std::unique_ptr<StageSplit>>& splits) {
    if (splits.empty()) return;
    std::unordered_map<std::string, std::vector<StageSplit*>> byStream;
    for (auto& s : splits) byStream[s->streamName].push_back(s.get());
    for (IHeatIntegrationStream* stream : streams) {
        if (!stream) continue;
        auto found = byStream.find(stream->GetName().c_str());
        if (found == byStream.end()) continue;
        std::vector<StageSplit*>& own = found->second;
        const bool cold = stream->GetHotCold() == 1;
        const bool utilityStream = stream->GetStreamKind() == 1;
        // The splits follow the stream from its supply end.
        std::stable_sort(own.begin(), own.end(), [cold](const StageSplit* a, const StageSplit* b) {
            return cold ? StageSplit::CompareInletAscending(*a, *b) < 0 : StageSplit::CompareInletDescending(*a, *b) < 0;
        });
        CNode* position = FirstSegment(m_design, stream->GetName());
        double current = 0.0;
        if (position) position->getVariableAsDouble(NodeValue::Temperature, current);
        for (StageSplit* split : own) {
            if (!position) break;
            const bool cooled = split->inletTemperature > split->outletTemperature;
            const bool changes = split->inletTemperature != split->outletTemperature;
            CNode* before = nullptr;
            CNode* beforeInlet = nullptr;
            if (changes && std::fabs(current - split->inletTemperature) > StageDesignBuilder::kTemperatureTolerance) {
                if (CNode* outlet = PlaceTemporary(position, cooled, utilityStream, beforeInlet)) {
                    before = outlet;
                    position = outlet;
                }
            }
            CNode* splitter = nullptr;
            const int count = std::max(split->branchCount, 1);
            if (!m_design.AddSplitterMixer(position, position, splitter, StageDesignBuilder::kReason, count) || !splitter)
                continue;
            ++splittersPlaced;
            CNode* feed = splitter->getFirstUpStreamNode();
            if (feed && !IsClass(feed->getFirstUpStreamNode(), NodeKind::FeedBlock))
                feed->addVariable(NodeValue::SplitFraction, 1.0, kCalculated);
            if (before) {
                Mark(before, split->inletTemperature, 1.0);
                Mark(beforeInlet, split->inletTemperature, 1.0);
            }
            const std::vector<CNode*> branches = splitter->getAllDownStreamNodes();
            split->branchNodes.assign(static_cast<std::size_t>(count), nullptr);
            for (std::size_t i = 0; i < branches.size() && i < split->branchNodes.size(); ++i) {
                if (i + 1 < branches.size() && i < split->branchFractions.size())
                    branches[i]->addVariable(NodeValue::SplitFraction, split->branchFractions[i], kSpecified);
                split->branchNodes[i] = branches[i];
            }
            CNode* mixer = nullptr;
            if (auto* tee = dynamic_cast<Splitter*>(splitter)) mixer = tee->getAssociatedMixer();
            if (!mixer && !branches.empty()) mixer = branches.back()->getFirstDownStreamNode();
            split->mixerNode = mixer;
            position = mixer ? mixer->getFirstDownStreamNode() : nullptr;
            CNode* afterInlet = nullptr;
            if (changes && position)
                if (CNode* outlet = PlaceTemporary(position, cooled, utilityStream, afterInlet)) position = outlet;
            Mark(position, split->outletTemperature, 1.0);
            if (afterInlet) Mark(afterInlet, split->outletTemperature, 1.0);
        }
    }
}

void Build::EstimateBranches(std::vector<std::unique_ptr<StageSplit>>& splits) {
    m_design.Activate(1);
    m_design.Deactivate();
    for (auto& split : splits) {
        for (CNode* branch : split->branchNodes) Estimate(branch, split->inletTemperature);
        if (!split->mixerNode) continue;
        CNode* after = split->mixerNode->getFirstDownStreamNode();
        if (after && !IsClass(after->getFirstDownStreamNode(), NodeKind::ProductBlock))
            Estimate(after, split->outletTemperature);
    }
}

void Build::PlaceMatches(const std::vector<std::unique_ptr<StageMatch>>& matches, std::vector<std::string>& unplaced) {
    std::vector<const StageMatch*> pending;
    for (const auto& m : matches)
        if (m && m->candidate && m->duty >= StageDesignBuilder::kSmallestExchangerDuty) pending.push_back(m.get());
    bool progress = true;
    while (!pending.empty() && progress) {
        progress = false;
        std::vector<const StageMatch*> still;
        for (const StageMatch* m : pending) {
            CNode* hot = StageDesignBuilder::FindMatchSideNode(m_scenario, m_design, *m, 0);
            CNode* cold = hot ? StageDesignBuilder::FindMatchSideNode(m_scenario, m_design, *m, 1) : nullptr;
            if (!hot || !cold) {
                still.push_back(m);
                continue;
            }
            progress = true;
            CNode* unit = m_design.AddHeatExchanger(hot, cold, StageDesignBuilder::kReason, NodeKind::HeatExchanger, nullptr);
            HeatExch* x = AsExchanger(unit);
            if (!x) continue;
            m_matchOf[unit->getName().c_str()] = m;
            m_placed.push_back(unit);
            Mark(x->getInlet(0), m->hotInletTemperature, 1.0);
            Mark(x->getInlet(1), m->coldInletTemperature, 1.0);
            if (m->hotSplitFraction < 1.0) Mark(x->getOutlet(0), m->hotOutletTemperature, m->hotSplitFraction);
            if (m->coldSplitFraction < 1.0) Mark(x->getOutlet(1), m->coldOutletTemperature, m->coldSplitFraction);
        }
        pending.swap(still);
    }
    // A match no pass could place leaves its load to the utilities: say so rather than drop it.
    for (const StageMatch* m : pending)
        unplaced.push_back(std::string(m->candidate->GetHotStream()->GetName().c_str()) + "-" +
                           m->candidate->GetColdStream()->GetName().c_str() + " in stage " + std::to_string(m->stage));
}

void Build::Finish(std::vector<std::unique_ptr<StageSplit>>& splits) {
    for (CNode* node : m_marked) {
        node->addVariable(NodeValue::Temperature, 0.0, kOpen);
        node->addVariable(NodeValue::SplitFraction, 0.0, kOpen);
    }
    for (CNode* unit : m_temporary) m_design.DeleteHeatExchanger(unit, StageDesignBuilder::kReason);
    for (auto& split : splits)
        for (std::size_t i = 0; i < split->branchNodes.size() && i < split->branchFractions.size(); ++i)
            if (split->branchNodes[i])
                split->branchNodes[i]->addVariable(NodeValue::SplitFraction, split->branchFractions[i], kSpecified);
    for (CNode* unit : m_placed)
        for (int port : {0, 2, 1, 3})
            if (m_design.CanRemoveUtilityAtPort(unit, port)) m_design.RemoveUtilityAtPort(unit, port);
    m_design.Activate(1);
    // A duty the first calculation found from guesses (a utility's flow taken from the targets)
    // is no result of the structure: every placed exchanger takes its match's duty.
    for (CNode* unit : m_placed)
        if (unit->getVariableStatus(NodeValue::Duty) != kSpecified)
            unit->addVariable(NodeValue::Duty, m_matchOf[unit->getName().c_str()]->duty, kSpecified, 1);
    m_design.ProcessChange(98, CPString(), nullptr);
    m_design.RemoveUtilitiesAfterMixers();
    StageDesignBuilder::RelaxDuties(m_design, m_placed);
    // The structure is resolved at an approach of its own: the exchangers are judged against the
    // smaller of the scenario's DTmin and the network's own smallest approach.
    m_design.SetDTMinFromNetwork();
    m_design.ApplyDTMinToAllExchangers();
    m_design.SetSplitFractionsFromDuties();
}

}  // namespace

void StageDesignBuilder::RelaxDuties(IHENDesign& design, const std::vector<CNode*>& placed) {
    // Over-specified: the specified duties fix more than the streams' targets leave free. The
    // duties that go free must be ones the balances then fix: each process stream's duties add
    // up to its load, and a heater's or cooler's utility takes any load. Seen as a graph whose
    // nodes are the process streams and one node for all utilities, and whose edges are the
    // units, free duties are fixed by the balances exactly when they form no cycle; a specified
    // duty is let go only where it joins two parts that no free duty joins yet. The structure
    // alone decides, so a loop of exchangers (which no sequential pass can close) is relaxed as
    // any other network.
    int freedom = design.GetDegreesOfFreedom();
    if (freedom >= 0) return;
    std::unordered_map<const CNode*, std::vector<int>> ends;
    std::unordered_map<const IHeatIntegrationStream*, int> node;
    const int utilities = 0;
    for (int i = 0; i < design.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* stream = design.GetStream(i);
        if (!stream) continue;
        const int at = stream->GetStreamKind() == 1 ? utilities : static_cast<int>(node.size()) + 1;
        if (at != utilities) node.emplace(stream, at);
        for (int side = 0; side < 2; ++side)
            for (CNode* unit : design.GetExchangersOnStreamSide(stream, side)) ends[unit].push_back(at);
    }
    std::vector<int> parent(node.size() + 1);
    for (std::size_t i = 0; i < parent.size(); ++i) parent[i] = static_cast<int>(i);
    const auto root = [&parent](int v) {
        while (parent[static_cast<std::size_t>(v)] != v)
            v = parent[static_cast<std::size_t>(v)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(v)])];
        return v;
    };
    // Joins the parts the unit's ends lie in; false when they are one part already.
    const auto join = [&](const CNode* unit) {
        const auto found = ends.find(unit);
        if (found == ends.end() || found->second.empty()) return false;
        const int a = root(found->second.front()), b = root(found->second.back());
        if (a == b) return false;
        parent[static_cast<std::size_t>(a)] = b;
        return true;
    };
    const auto specified = [](const CNode* unit) { return unit->getVariableStatus(NodeValue::Duty) == kSpecified; };
    // The heater or cooler that ends a stream which does not split goes free first: it takes what
    // the exchangers leave, as in a network drawn by hand, so that its duty is no cell to set
    // against the balances. Others (one ahead of an exchanger, one on a branch or on a utility
    // that splits, whose duty fixes a share) go only where no process exchanger can.
    std::unordered_map<const CNode*, bool> endsStream;
    for (int i = 0; i < design.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* stream = design.GetStream(i);
        if (!stream || stream->GetStreamKind() == 1 || !design.GetSplittersOnStream(stream).empty()) continue;
        const int side = stream->GetHotCold() == 0 ? 0 : 1;
        for (CNode* unit : design.GetExchangersOnStreamSide(stream, side)) {
            HeatExch* x = AsExchanger(unit);
            double outlet = 0.0;
            if (x && x->IsUtilityExch() && design.GetExchangerPortTemperature(unit, side == 0 ? 1 : 3, outlet) &&
                std::fabs(outlet - stream->GetTargetTemperature()) <= kTemperatureTolerance * std::max(1.0, std::fabs(outlet)))
                endsStream[unit] = true;
        }
    }
    // A utility that splits shares its flow by its units' duties: those keep theirs.
    for (int i = 0; i < design.GetNumberOfStreams(); ++i) {
        IHeatIntegrationStream* stream = design.GetStream(i);
        if (!stream || stream->GetStreamKind() != 1 || design.GetSplittersOnStream(stream).empty()) continue;
        for (int side = 0; side < 2; ++side)
            for (CNode* unit : design.GetExchangersOnStreamSide(stream, side)) endsStream.erase(unit);
    }
    CNode* unit = nullptr;
    for (int k = 0; design.GetHeatExchanger(k, unit); ++k)
        if (unit && !specified(unit)) join(unit);
    bool relaxed = false;
    for (bool first : {true, false})
        for (CNode* candidate : placed) {
            if (freedom >= 0) break;
            HeatExch* x = AsExchanger(candidate);
            const bool early = x && endsStream.count(candidate);
            if (!x || early != first || !specified(candidate) || !join(candidate)) continue;
            double duty = 0.0;
            candidate->getVariableAsDouble(NodeValue::Duty, duty);
            candidate->addVariable(NodeValue::Duty, duty, kOpen, 1);
            freedom = design.GetDegreesOfFreedom();
            relaxed = true;
        }
    if (relaxed) design.ProcessChange(98, CPString(), nullptr);
}

std::string StageDesignBuilder::MakeDesignName(const IHeatIntegrationScenario& scenario) {
    const std::string n = std::to_string(scenario.GetDesignCounter());
    std::string name = "A_Design" + n;
    IHENDesign* existing = nullptr;
    // Each round lengthens the name, and the scenario holds finitely many designs.
    while (scenario.GetDesign(CPString(name.c_str()), existing)) name += "_" + n;
    return name;
}

bool StageDesignBuilder::MarkSegment(CNode* node, double temperature, double fraction) {
    if (!node || !IsClass(node, NodeKind::MaterialStream)) return false;
    CNode* up = node->getFirstUpStreamNode();
    CNode* down = node->getFirstDownStreamNode();
    if (!up || !down || IsClass(up, NodeKind::FeedBlock) || IsClass(down, NodeKind::ProductBlock)) return false;
    node->addVariable(NodeValue::Temperature, temperature, kSpecified);
    node->addVariable(NodeValue::SplitFraction, fraction, kSpecified);
    return true;
}

CNode* StageDesignBuilder::FindMatchSideNode(IHeatIntegrationScenario& scenario, IHENDesign& design,
                                             const StageMatch& match, int side) {
    if (side != 0 && side != 1) {
        Exceptions::Assert(__FILE__, __LINE__, "eSHT == Hot || eSHT == Cold");
        return nullptr;
    }
    if (!match.candidate) return nullptr;
    const double target = side == 0 ? match.hotInletTemperature : match.coldInletTemperature;
    const double fraction = side == 0 ? match.hotSplitFraction : match.coldSplitFraction;
    IHeatIntegrationStream* named = side == 0 ? match.candidate->GetHotStream() : match.candidate->GetColdStream();
    IHeatIntegrationStream* stream = nullptr;
    if (!named || !scenario.GetStream(named->GetName(), stream) || !stream) return nullptr;
    const bool hot = stream->GetHotCold() == 0;
    const bool utility = stream->GetStreamKind() == 1;
    CNode* s = FirstSegment(design, stream->GetName());
    // Every step moves downstream along one chain, so the walk ends within the design's nodes.
    for (int guard = design.GetNumberOfNodes(); s && guard >= 0; --guard) {
        double t = 0.0, f = 0.0;
        const bool hasT = s->getVariableAsDouble(NodeValue::Temperature, t) == 1;
        const int status = s->getVariableStatus(NodeValue::Temperature);
        s->getVariableAsDouble(NodeValue::SplitFraction, f);
        if (std::fabs(f - fraction) <= kFractionTolerance && hasT && status != kOpen &&
            (hot ? t < target + kReachTolerance : t > target - kReachTolerance))
            return s;
        CNode* d = s->getFirstDownStreamNode();
        if (!d) return nullptr;
        // The stage model does not follow a utility's temperature (it steps a twentieth of the
        // utility's range per stage): a whole-flow match of a utility that no mark has reached
        // goes at the utility's end, behind the matches placed on it so far.
        if (utility && IsClass(d, NodeKind::ProductBlock) && fraction >= 1.0 - kFractionTolerance) return s;
        if (IsExchangerClass(d)) {
            HeatExch* x = AsExchanger(d);
            s = x ? x->getDownStreamNode(s) : nullptr;
        } else if (IsClass(d, NodeKind::Heater) || IsClass(d, NodeKind::Mixer)) {
            s = d->getFirstDownStreamNode();
        } else if (IsClass(d, NodeKind::Tee)) {
            CNode* chosen = nullptr;
            for (CNode* branch : d->getAllDownStreamNodes()) {
                double bf = 0.0;
                branch->getVariableAsDouble(NodeValue::SplitFraction, bf);
                CNode* next = branch->getFirstDownStreamNode();
                if (std::fabs(bf - fraction) <= kFractionTolerance && next && !IsExchangerClass(next) &&
                    !IsClass(next, NodeKind::Heater)) {
                    chosen = branch;
                    break;
                }
            }
            if (!chosen) {
                auto* tee = dynamic_cast<Splitter*>(d);
                CNode* mixer = tee ? tee->getAssociatedMixer() : nullptr;
                chosen = mixer ? mixer->getFirstDownStreamNode() : nullptr;
            }
            s = chosen;
        } else {
            return nullptr;
        }
    }
    return nullptr;
}

int StageDesignBuilder::BuildDesign(IHeatIntegrationScenario& scenario, const std::vector<IHeatIntegrationStream*>& streams,
                                    const std::vector<std::unique_ptr<StageMatch>>& stageMatches,
                                    std::vector<std::unique_ptr<StageSplit>>& stageSplits, IHENDesign*) {
    unplacedMatches.clear();
    temporaryUnitsPlaced = 0;
    splittersPlaced = 0;
    scenario.SendAMessage(kProgressCode, FindString("BuildingDesign"), nullptr);
    designName = MakeDesignName(scenario);
    IHENDesign* design = nullptr;
    if (!scenario.AddDesign(CPString(designName.c_str())) || !scenario.GetDesign(CPString(designName.c_str()), design) ||
        !design) {
        designName.clear();
        return 0;
    }
    for (const auto& m : stageMatches)
        if (m && m->duty < kSmallestExchangerDuty) m->duty = 0.0;
    ReconcileDuties(stageMatches);
    design->Deactivate();
    Build build(scenario, *design);
    build.LayOutSplits(streams, stageSplits);
    build.EstimateBranches(stageSplits);
    build.PlaceMatches(stageMatches, unplacedMatches);
    build.Finish(stageSplits);
    temporaryUnitsPlaced = build.temporaryPlaced;
    splittersPlaced = build.splittersPlaced;
    for (const std::string& m : unplacedMatches) {
        const std::string text = std::string(FindString("StageMatchNotPlaced").c_str()) + " " + m;
        scenario.SendAMessage(kProgressCode, CPString(text.c_str()), nullptr);
    }
    return 1;
}
