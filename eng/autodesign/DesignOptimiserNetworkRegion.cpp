#include "eng/autodesign/DesignOptimiserNetworkRegion.h"

#include "eng/autodesign/DesignOptimiserNetwork.h"
#include "eng/design/HENDesignChain.h"
#include "osmeri/CPValue.h"
#include "pellin/HeatExch.h"

#include <cstring>
#include <functional>
#include <queue>

using namespace chain;

DesignOptimiserNetworkRegion::Spec DesignOptimiserNetworkRegion::Read(const CNode* node, const char* name) {
    Spec s;
    const CPValue* v = node->findValue(name);
    if (!v) {
        s.status = -1;
        return s;
    }
    s.status = v->GetStatus();
    // Only a specified number is an input of the network; a calculated one is a result.
    if (s.status == ValueStatus::Specified && !v->IsText()) {
        const double number = v->GetValue();
        std::memcpy(&s.bits, &number, sizeof number);
    }
    return s;
}

bool DesignOptimiserNetworkRegion::IsGiven(const Spec& s) { return s.status == ValueStatus::Specified; }

bool DesignOptimiserNetworkRegion::Input(const Spec& now, const Spec& before) {
    if (IsGiven(now) || IsGiven(before)) return now.status == before.status;
    // Results: missing stays missing.
    return (now.status == -1) == (before.status == -1);
}

std::size_t DesignOptimiserNetworkRegion::StreamIndex(const IHeatIntegrationStream* stream) {
    if (!stream) return kNone;
    const auto [it, added] = m_streamIndex.emplace(stream, m_streams.size());
    if (added) {
        m_streams.push_back(stream);
        m_utilityStream.push_back(IsUtilityStream(stream));
        m_onStream.emplace_back();
    }
    return it->second;
}

void DesignOptimiserNetworkRegion::Forget() {
    m_sound = false;
    m_built = false;
    m_nodes.clear();
    m_ordered.clear();
}

// The streams, exchangers, branches and order depend on the flowsheet's nodes alone, which a run
// does not change: they are found once; each recalculation of the whole network reads the
// specified values again.
void DesignOptimiserNetworkRegion::Learn(const std::vector<CNode*>& nodes, const std::vector<CNode*>& unsolved) {
    m_sound = false;
    if (!m_built || nodes != m_nodes) Build(nodes);
    if (!m_complete) return;
    for (Exchanger& e : m_exchangers) {
        e.duty = Read(e.node, NodeValue::Duty);
        e.area = Read(e.node, NodeValue::HTArea);
    }
    for (auto& [branch, share] : m_branches) share = Read(branch, NodeValue::SplitFraction);
    m_unsolvedStreams.clear();
    m_sound = StreamsOf(unsolved, m_unsolvedStreams);
}

bool DesignOptimiserNetworkRegion::StreamsOf(const std::vector<CNode*>& unsolved, std::vector<std::size_t>& streams) {
    for (const CNode* node : unsolved) {
        const auto it = m_nodeIndex.find(node);
        if (it == m_nodeIndex.end()) return false;
        const std::size_t i = it->second;
        for (std::size_t k = m_firstStream[i]; k < m_firstStream[i + 1]; ++k) streams.push_back(m_nodeStreams[k]);
    }
    return true;
}

void DesignOptimiserNetworkRegion::Build(const std::vector<CNode*>& nodes) {
    m_streamIndex.clear();
    m_streams.clear();
    m_utilityStream.clear();
    m_onStream.clear();
    m_firstStream.clear();
    m_nodeStreams.clear();
    m_exchangers.clear();
    m_branches.clear();
    m_nodes = nodes;
    m_nodeIndex.clear();
    m_nodeIndex.reserve(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) m_nodeIndex.emplace(nodes[i], i);
    m_unsolvedStreams.clear();
    m_complete = true;
    m_firstStream.reserve(nodes.size() + 1);
    for (CNode* node : nodes) {
        const std::size_t first = m_nodeStreams.size();
        m_firstStream.push_back(first);
        auto add = [&](const CNode* piece) {
            const std::size_t s = StreamIndex(StreamOf(piece));
            if (s == kNone) return;
            for (std::size_t k = first; k < m_nodeStreams.size(); ++k)
                if (m_nodeStreams[k] == s) return;
            m_nodeStreams.push_back(s);
        };
        if (StreamOf(node)) {
            add(node);
        } else {
            for (int k = 0; k < node->getNumberOfUpStreamSlots(); ++k) add(node->getIthUpStreamNode(k));
            for (int k = 0; k < node->getNumberOfDownStreamSlots(); ++k) add(node->getIthDownStreamNode(k));
        }
        if (IsTee(node))
            for (CNode* branch : node->getAllDownStreamNodes()) m_branches.emplace_back(branch, Spec());
        HeatExch* x = AsHeatExch(node);
        if (!x) continue;
        Exchanger e;
        e.node = node;
        e.hot = StreamIndex(StreamOf(x->getInlet(0) ? x->getInlet(0) : x->getOutlet(0)));
        e.cold = StreamIndex(StreamOf(x->getInlet(1) ? x->getInlet(1) : x->getOutlet(1)));
        e.utility = x->IsUtilityExch();
        // An exchanger not between two streams of the network leaves the region unknown.
        if (e.hot == kNone || e.cold == kNone) {
            m_complete = false;
            continue;
        }
        for (std::size_t s : {e.hot, e.cold}) m_onStream[s].push_back(m_exchangers.size());
        m_exchangers.push_back(e);
    }
    m_firstStream.push_back(m_nodeStreams.size());
    Order();
    m_anyUtility = false;
    for (bool u : m_utilityStream) m_anyUtility = m_anyUtility || u;
    m_built = true;
}

// Kahn's order over the flowsheet's connections, the earliest node of the list first among those
// whose upstream nodes are all placed; a loop is broken at its earliest node.
void DesignOptimiserNetworkRegion::Order() {
    const std::size_t n = m_nodes.size();
    std::unordered_map<const CNode*, std::size_t> index;
    index.reserve(n);
    for (std::size_t i = 0; i < n; ++i) index.emplace(m_nodes[i], i);
    std::vector<std::size_t> waiting(n, 0), firstDown(n + 1, 0), down;
    for (std::size_t i = 0; i < n; ++i) {
        firstDown[i] = down.size();
        const CNode* node = m_nodes[i];
        for (int k = 0; k < node->getNumberOfDownStreamSlots(); ++k) {
            const auto it = index.find(node->getIthDownStreamNode(k));
            if (it == index.end()) continue;
            down.push_back(it->second);
            ++waiting[it->second];
        }
    }
    firstDown[n] = down.size();
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> ready;
    for (std::size_t i = 0; i < n; ++i)
        if (waiting[i] == 0) ready.push(i);
    std::vector<bool> placed(n, false);
    m_order.clear();
    m_order.reserve(n);
    std::size_t earliest = 0;
    while (m_order.size() < n) {
        if (ready.empty()) {
            while (placed[earliest]) ++earliest;
            waiting[earliest] = 0;
            ready.push(earliest);
        }
        const std::size_t i = ready.top();
        ready.pop();
        if (placed[i]) continue;
        placed[i] = true;
        m_order.push_back(i);
        for (std::size_t k = firstDown[i]; k < firstDown[i + 1]; ++k)
            if (!placed[down[k]] && waiting[down[k]] > 0 && --waiting[down[k]] == 0) ready.push(down[k]);
    }
    m_ordered.clear();
    m_ordered.reserve(n);
    for (std::size_t i : m_order) m_ordered.push_back(m_nodes[i]);
}

const std::vector<CNode*>& DesignOptimiserNetworkRegion::Ordered(const std::vector<CNode*>& nodes) const {
    return m_built && !m_anyUtility && nodes == m_nodes ? m_ordered : nodes;
}

void DesignOptimiserNetworkRegion::Reach(std::size_t stream, std::vector<std::size_t>& pending) {
    if (stream == kNone || m_reached[stream]) return;
    m_reached[stream] = true;
    pending.push_back(stream);
}

bool DesignOptimiserNetworkRegion::Collect(const std::vector<CNode*>& nodes, std::vector<CNode*>& set) {
    set.clear();
    if (!m_sound || nodes != m_nodes) return false;
    for (auto& [branch, share] : m_branches)
        if (!(Read(branch, NodeValue::SplitFraction) == share)) return false;
    m_reached.assign(m_streams.size(), false);
    std::vector<std::size_t> pending;
    for (Exchanger& e : m_exchangers) {
        const Spec duty = Read(e.node, NodeValue::Duty), area = Read(e.node, NodeValue::HTArea);
        if (duty == e.duty && area == e.area) continue;
        // A freed or newly given value changes what the network calculates, not only a number;
        // a result that was left open and is calculated again (or the other way) is no input.
        if (!Input(duty, e.duty) || !Input(area, e.area)) {
            m_sound = false;
            return false;
        }
        const bool moved = !(duty == e.duty && area == e.area) && (IsGiven(duty) || IsGiven(area));
        e.duty = duty;
        e.area = area;
        if (!moved) continue;
        Reach(e.hot, pending);
        Reach(e.cold, pending);
    }
    // Whatever the last recalculation left unsolved is calculated again.
    for (std::size_t stream : m_unsolvedStreams) Reach(stream, pending);
    Spread(pending);
    Gather(nodes, set);
    return true;
}

DesignOptimiserNetworkRegion::Settled DesignOptimiserNetworkRegion::Settle(const std::vector<CNode*>& nodes,
                                                                          const std::vector<CNode*>& unsolved,
                                                                          std::vector<CNode*>& set) {
    std::vector<std::size_t> streams, pending;
    if (!StreamsOf(unsolved, streams)) {
        m_sound = false;
        return Settled::Unknown;
    }
    for (std::size_t stream : streams) Reach(stream, pending);
    if (pending.empty()) {
        m_unsolvedStreams = std::move(streams);
        return Settled::Yes;
    }
    Spread(pending);
    Gather(nodes, set);
    return Settled::Widened;
}

// A stream reached moves every duty calculated on it, and so the stream across that exchanger;
// a utility reached moves only its own temperatures (its units' duties follow their process
// sides).
void DesignOptimiserNetworkRegion::Spread(std::vector<std::size_t>& pending) {
    while (!pending.empty()) {
        const std::size_t s = pending.back();
        pending.pop_back();
        for (std::size_t i : m_onStream[s]) {
            const Exchanger& e = m_exchangers[i];
            if (e.duty.status == ValueStatus::Specified && e.area.status != ValueStatus::Specified) continue;
            if (e.utility && m_utilityStream[s]) continue;
            Reach(e.hot, pending);
            Reach(e.cold, pending);
        }
    }
}

void DesignOptimiserNetworkRegion::Gather(const std::vector<CNode*>& nodes, std::vector<CNode*>& set) {
    set.clear();
    m_held.clear();
    m_reachedStreams.clear();
    m_lastStreams = 0;
    bool utility = false;
    for (std::size_t s = 0; s < m_reached.size(); ++s)
        if (m_reached[s]) {
            ++m_lastStreams;
            utility = utility || m_utilityStream[s];
            m_reachedStreams.push_back(m_streams[s]);
        }
    if (utility)
        for (const Exchanger& e : m_exchangers) {
            if (!e.utility) continue;
            const bool hotUtility = m_utilityStream[e.hot];
            const std::size_t process = hotUtility ? e.cold : e.hot, used = hotUtility ? e.hot : e.cold;
            if (m_reached[used] && !m_reached[process] && !m_utilityStream[process]) m_held.push_back(e.node);
        }
    // A utility's temperatures are held at both its ends while its flow follows the duties on
    // it, so the end its units solve it from depends on their order: a region that reaches one
    // keeps the network's own order.
    for (std::size_t j = 0; j < nodes.size(); ++j) {
        const std::size_t i = utility ? j : m_order[j];
        for (std::size_t k = m_firstStream[i]; k < m_firstStream[i + 1]; ++k)
            if (m_reached[m_nodeStreams[k]]) {
                set.push_back(nodes[i]);
                break;
            }
    }
}

bool DesignOptimiserNetworkRegion::AllCalculated(const std::vector<CNode*>& set) {
    for (CNode* node : set)
        if (HeatExch* x = AsHeatExch(node); x && !DesignOptimiserNetwork::IsCalculated(x->getStatus())) return false;
    return true;
}
