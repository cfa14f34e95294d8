// Stream positions and the candidate superstructure of the modification models: every allowed
// pair of a cold and a hot position gets one candidate exchanger, inserted into the private copy
// of the network in series with the candidates already at either position.
#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModificationLists.h"
#include "eng/retrofit/PinchModifications.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

double SplitFractionOf(const std::unordered_map<std::uint32_t, double>& fractions, std::uint32_t node) {
    const auto f = fractions.find(node);
    return f == fractions.end() ? 0.0 : f->second;
}

std::uint32_t Find(const std::unordered_map<std::uint32_t, std::uint32_t>& map, std::uint32_t key) {
    const auto f = map.find(key);
    return f == map.end() ? 0 : f->second;
}


// A candidate place on a stream: before `node`, after exchanger `x` or utility unit `unit`.
StreamPosition PositionAt(int streamId, const std::unordered_map<std::uint32_t, double>& fractions, std::uint32_t node,
                          double t, std::uint32_t x, std::uint32_t unit, unsigned char split) {
    StreamPosition p;
    p.streamId = streamId;
    p.node = p.insertionNode = node;
    p.exchanger = x;
    p.utilityExchanger = unit;
    p.splitFraction = SplitFractionOf(fractions, node);
    p.temperature = t;
    p.split = split;
    return p;
}

}  // namespace

// Look-ups that the positions of every stream share, built in one pass over each list.
struct PinchModifications::PositionIndex {
    std::unordered_map<std::uint32_t, double> fractions;
    std::unordered_map<std::uint32_t, std::uint32_t> lastByColdOutlet, lastByHotOutlet;  // input exchangers
    std::unordered_map<int, std::vector<const HXInfo*>> byCold, byHot;
    std::unordered_map<int, std::vector<const HeaterInfo*>> heaters;
    std::unordered_map<int, std::vector<const CoolerInfo*>> coolers;
    std::unordered_set<std::uint32_t> splitOrMix;     // tee inlets and mixer inlets
    std::unordered_set<std::uint32_t> heaterOutlets, coolerOutlets;
    bool IsSplitOrMix(std::uint32_t node) const { return splitOrMix.count(node) != 0; }
};

void PinchModifications::AddColdPositions(const ColdStrmInfo& s, const PositionIndex& ix) {
    const auto& fractions = ix.fractions;
    const bool resequencing = Kind() == ModificationModelKind::Resequencing;
    int count = 1;
    auto add = [&](std::uint32_t node, double t, std::uint32_t x, std::uint32_t unit, unsigned char split) {
        m_coldPositions.push_back(PositionAt(s.streamId, fractions, node, t, x, unit, split));
    };
    const bool heaterAtEnd = ix.heaterOutlets.count(s.endNode) != 0;
    if (!heaterAtEnd) add(s.endNode, 0.0, resequencing ? Find(ix.lastByColdOutlet, s.endNode) : 0, 0, 0);
    bool any = false;
    const auto onStream = ix.byCold.find(s.streamId);
    for (const HXInfo* xp : onStream != ix.byCold.end() ? onStream->second : std::vector<const HXInfo*>{}) {
        const HXInfo& x = *xp;
        any = true;
        add(x.coldInlet, x.coldInletTemperature, x.fingerprint, 0, 0);
        ++count;
        if (ix.IsSplitOrMix(x.coldOutlet)) {
            add(x.coldOutlet, x.coldOutletTemperature, x.fingerprint, 0, 1);
            ++count;
        }
    }
    if (!resequencing || any) {
        bool first = true;
        const auto onStream = ix.heaters.find(s.streamId);
        for (const HeaterInfo* hp : onStream != ix.heaters.end() ? onStream->second : std::vector<const HeaterInfo*>{}) {
            const HeaterInfo& h = *hp;
            // A heater straight after another one (a heat load written as two units in series)
            // offers no place of its own: the place ahead of the first heater has the same heat
            // to take at a colder inlet, the first heater giving up what a new unit there takes.
            // The model would otherwise choose between two places it rates alike, and the one
            // between the heaters cannot be built while the first keeps its duty.
            if (!ix.heaterOutlets.count(h.processInlet)) {
                const std::uint32_t before = resequencing && first ? Find(ix.lastByColdOutlet, h.processInlet) : 0;
                first = false;
                add(h.processInlet, h.processInletTemperature, before, h.fingerprint, 0);
                ++count;
            }
            if (ix.IsSplitOrMix(h.processOutlet)) {
                add(h.processOutlet, h.processOutletTemperature, 0, h.fingerprint, 1);
                ++count;
            }
        }
    }
    m_coldCounts.push_back(count);
}

void PinchModifications::AddHotPositions(const HotStrmInfo& s, const PositionIndex& ix) {
    const auto& fractions = ix.fractions;
    const bool resequencing = Kind() == ModificationModelKind::Resequencing;
    // Repiping splits an exchanger's place on a branched hot stream only when there is a bottleneck.
    const bool secondPositions = Kind() != ModificationModelKind::Repiping || m_bottleneckCount >= 1;
    int count = 1;
    auto add = [&](std::uint32_t node, double t, std::uint32_t x, std::uint32_t unit, unsigned char split) {
        m_hotPositions.push_back(PositionAt(s.streamId, fractions, node, t, x, unit, split));
    };
    const bool coolerAtEnd = ix.coolerOutlets.count(s.endNode) != 0;
    if (!coolerAtEnd) add(s.endNode, 0.0, resequencing ? Find(ix.lastByHotOutlet, s.endNode) : 0, 0, 0);
    bool any = false;
    const auto onStream = ix.byHot.find(s.streamId);
    for (const HXInfo* xp : onStream != ix.byHot.end() ? onStream->second : std::vector<const HXInfo*>{}) {
        const HXInfo& x = *xp;
        any = true;
        add(x.hotInlet, x.hotInletTemperature, x.fingerprint, 0, 0);
        ++count;
        if (secondPositions && ix.IsSplitOrMix(x.hotInlet)) {
            add(x.hotOutlet, x.hotOutletTemperature, x.fingerprint, 0, 1);
            ++count;
        }
    }
    if (!resequencing || any) {
        const auto onStream = ix.coolers.find(s.streamId);
        for (const CoolerInfo* cp : onStream != ix.coolers.end() ? onStream->second : std::vector<const CoolerInfo*>{}) {
            const CoolerInfo& c = *cp;
            // As for heaters: a cooler straight after another one offers no place of its own.
            if (!ix.coolerOutlets.count(c.processInlet)) {
                add(c.processInlet, c.processInletTemperature, 0, c.fingerprint, 0);
                ++count;
            }
            if (ix.IsSplitOrMix(c.processInlet)) {
                add(c.processOutlet, c.processOutletTemperature, 0, c.fingerprint, 1);
                ++count;
            }
        }
    }
    m_hotCounts.push_back(count);
}

bool PinchModifications::BuildStreamPositions() {
    m_coldPositions.clear();
    m_hotPositions.clear();
    m_coldCounts.clear();
    m_hotCounts.clear();
    PositionIndex ix;
    for (const NodeInfo& n : m_in.nodes) ix.fractions.emplace(n.fingerprint, n.splitFraction);
    for (const HXInfo& x : m_in.exchangers) {
        ix.lastByColdOutlet[x.coldOutlet] = x.fingerprint;
        ix.lastByHotOutlet[x.hotOutlet] = x.fingerprint;
    }
    for (const HXInfo& x : m_exchangers) {
        ix.byCold[x.coldStream].push_back(&x);
        ix.byHot[x.hotStream].push_back(&x);
    }
    for (const HeaterInfo& h : m_heaters) {
        ix.heaters[h.processStream].push_back(&h);
        ix.heaterOutlets.insert(h.processOutlet);
    }
    for (const CoolerInfo& c : m_coolers) {
        ix.coolers[c.processStream].push_back(&c);
        ix.coolerOutlets.insert(c.processOutlet);
    }
    for (const TeeInfo& t : m_tees) ix.splitOrMix.insert(t.inlet);
    for (const MixerInfo& m : m_mixers) ix.splitOrMix.insert(m.inlets.begin(), m.inlets.end());
    for (const ColdStrmInfo& s : m_coldStreams) AddColdPositions(s, ix);
    for (const HotStrmInfo& s : m_hotStreams) AddHotPositions(s, ix);
    return true;
}

namespace {

template <class List, class Field>
bool ReplaceIn(List& list, std::uint32_t oldId, std::uint32_t newId, Field field) {
    bool any = false;
    for (auto& r : list)
        if (r.*field == oldId) {
            r.*field = newId;
            any = true;
        }
    return any;
}

template <class List, class Field>
bool ReplaceInArrays(List& list, std::uint32_t oldId, std::uint32_t newId, Field field) {
    bool any = false;
    for (auto& r : list)
        for (std::uint32_t& n : r.*field)
            if (n == oldId) {
                n = newId;
                any = true;
            }
    return any;
}

}  // namespace

// The replacements below walk the (short) lists of streams, utility units, tees and mixers once per
// insertion, so a superstructure costs candidates x units; an index of them would have to follow
// every re-pointed node. Exchangers, which grow with the candidates, are reached through indexes.
//
// Candidates of a cold position lie in series in front of the unit there: the first link that
// holds the position's node takes the last candidate's cold outlet instead. A position with no
// unit of its own (a stream end, also one that names the exchanger before the end) moves the
// stream's end.
void PinchModifications::ConnectColdChain(const StreamPosition& c, std::uint32_t r) {
    const std::uint32_t node = c.node;
    HXInfo* x = nullptr;
    if (c.exchanger)
        for (HXInfo& e : m_exchangers)
            if (e.fingerprint == c.exchanger) {
                x = &e;
                break;
            }
    const bool end = c.utilityExchanger == 0 && !c.split && (!x || x->coldInlet != node);
    if (end && ReplaceIn(m_coldStreams, node, r, &StrmInfo::endNode)) return;
    if (x && x->coldInlet == node) {
        x->coldInlet = r;
        return;
    }
    if (c.split) {
        if (ReplaceIn(m_tees, node, r, &TeeInfo::inlet)) return;
        if (ReplaceInArrays(m_mixers, node, r, &MixerInfo::inlets)) return;
    }
    if (ReplaceIn(m_heaters, node, r, &UtilHXInfo::processInlet)) return;
    ReplaceIn(m_coldStreams, node, r, &StrmInfo::startNode);
}

// Exchangers by fingerprint (the input ones, which positions name), and every exchanger by its
// hot outlet in list order, kept current as candidates are inserted.
struct PinchModifications::InsertionIndex {
    std::unordered_map<std::uint32_t, std::size_t> byId;
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> byHotOutlet;
    std::uint32_t running = 0;  // the highest node id so far
};

void PinchModifications::InsertCandidate(StreamPosition& c, StreamPosition& h, std::uint32_t& r, InsertionIndex& ix) {
    ++m_created;
    NodeInfo a, b;
    a.fingerprint = ix.running + 1;
    a.splitFraction = c.splitFraction;
    b.fingerprint = ix.running + 2;
    b.splitFraction = h.splitFraction;
    m_nodes.push_back(a);
    m_nodes.push_back(b);
    ix.running += 2;

    auto& byHotOutlet = ix.byHotOutlet;
    const std::uint32_t o = h.insertionNode;
    h.insertionNode = b.fingerprint;
    if (auto f = byHotOutlet.find(o); f != byHotOutlet.end() && !f->second.empty()) {
        for (std::size_t i : f->second) m_exchangers[i].hotOutlet = b.fingerprint;
        byHotOutlet[b.fingerprint] = std::move(f->second);
        byHotOutlet.erase(o);
    } else if (!ReplaceIn(m_mixers, o, b.fingerprint, &MixerInfo::outlet) &&
               !ReplaceInArrays(m_tees, o, b.fingerprint, &TeeInfo::outlets) &&
               !ReplaceIn(m_coolers, o, b.fingerprint, &UtilHXInfo::processOutlet) &&
               !ReplaceIn(m_hotStreams, o, b.fingerprint, &StrmInfo::startNode)) {
        ReplaceIn(m_hotStreams, o, b.fingerprint, &StrmInfo::endNode);
    }

    HXInfo x;
    x.fingerprint = m_highestExchanger + static_cast<std::uint32_t>(m_created);
    x.hotInlet = b.fingerprint;
    x.hotOutlet = o;
    x.coldInlet = r;
    x.coldOutlet = a.fingerprint;
    x.hotStream = h.streamId;
    x.coldStream = c.streamId;
    x.origin = Kind() == ModificationModelKind::Resequencing ? static_cast<int>(c.exchanger) : 0;
    byHotOutlet[o].push_back(m_exchangers.size());
    m_exchangers.push_back(x);
    r = a.fingerprint;
}

void PinchModifications::NumberExchangerNodes() {
    std::unordered_map<std::uint32_t, int> position;
    for (std::size_t i = 0; i < m_nodes.size(); ++i) position.emplace(m_nodes[i].fingerprint, static_cast<int>(i) + 1);
    auto at = [&](std::uint32_t n) {
        const auto f = position.find(n);
        return f == position.end() ? 0 : f->second;
    };
    for (HXInfo& x : m_exchangers) {
        x.coldInletPosition = at(x.coldInlet);
        x.coldOutletPosition = at(x.coldOutlet);
        x.hotInletPosition = at(x.hotInlet);
        x.hotOutletPosition = at(x.hotOutlet);
    }
}

PinchModifications::InsertionIndex PinchModifications::StartInsertion() {
    m_created = 0;
    InsertionIndex ix;
    for (std::size_t i = 0; i < m_exchangers.size(); ++i) ix.byId.emplace(m_exchangers[i].fingerprint, i);
    for (std::size_t i = 0; i < m_exchangers.size(); ++i) ix.byHotOutlet[m_exchangers[i].hotOutlet].push_back(i);
    ix.running = m_highestNode;
    return ix;
}

namespace {

// The highest bound up to which no more than `most` candidates lie (the best bound at least): the
// candidates of one stream pair share a bound, so the cut falls between pairs.
double FirstScreenLevel(const std::vector<double>& lowest, int most) {
    std::vector<double> sorted(lowest);
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) return 0.0;
    if (most < 1 || static_cast<std::size_t>(most) >= sorted.size()) return sorted.back();
    std::size_t end = static_cast<std::size_t>(most);  // sorted[end] is the first candidate beyond the cut
    while (end > 0 && !IsAboveObjective(sorted[end], sorted[end - 1])) --end;
    return end == 0 ? sorted.front() : sorted[end - 1];
}

}  // namespace

bool PinchModifications::AddCandidateExchangers() {
    m_created = 0;
    m_candidatePairs.clear();
    m_builtCandidates.clear();
    m_wholeLowest.clear();
    if (Kind() == ModificationModelKind::Repiping && m_coldPositions.empty()) return true;
    const std::size_t pairs = m_coldPositions.size() * m_hotPositions.size();
    const bool temperatureTest = pairs >= 101;

    InsertionIndex ix = StartInsertion();
    auto exchanger = [&](std::uint32_t fp) -> const HXInfo* {
        const auto f = ix.byId.find(fp);
        return fp && f != ix.byId.end() ? &m_exchangers[f->second] : nullptr;
    };
    for (std::size_t ci = 0; ci < m_coldPositions.size(); ++ci) {
        StreamPosition& c = m_coldPositions[ci];
        std::uint32_t r = c.insertionNode;
        for (std::size_t hi = 0; hi < m_hotPositions.size(); ++hi) {
            StreamPosition& h = m_hotPositions[hi];
            if (const HXInfo* x = exchanger(c.exchanger); x && (x->hotInlet == h.node || x->hotOutlet == h.node)) continue;
            if (const HXInfo* x = exchanger(h.exchanger); x && x->coldOutlet == c.node) continue;
            if (const auto f = ix.byHotOutlet.find(h.node); f != ix.byHotOutlet.end() && !f->second.empty() &&
                                                            m_exchangers[f->second.back()].coldOutlet == c.node)
                continue;
            if (IsLinkedStream(c.streamId, h.streamId, m_coldStreams) ||
                !IsHotterByApproach(c.streamId, h.streamId, m_dtMin, m_coldStreams, m_hotStreams))
                continue;
            if (temperatureTest && c.temperature > 0.0 && h.temperature > 0.0 && c.temperature + m_dtMin >= h.temperature)
                continue;
            m_candidatePairs.emplace_back(static_cast<int>(ci), static_cast<int>(hi));
            InsertCandidate(c, h, r, ix);
        }
        c.insertionNode = r;
        if (r != c.node) ConnectColdChain(c, r);
    }
    NumberExchangerNodes();
    if (Kind() != ModificationModelKind::NewExchanger ||
        static_cast<int>(m_in.exchangers.size()) + m_created <= m_screenAbove)
        return true;

    // A large new-exchanger model is built of the candidates that can reach a good answer only:
    // the rest are screened out before their rows exist (SolveModificationModel proves the answer).
    RowBuilderContext ctx = RowContext();
    m_wholeLowest = LowestObjectiveOfCandidates(ctx, m_wholeCeiling);
    if (m_wholeLowest.size() != static_cast<std::size_t>(m_created)) {
        m_wholeLowest.clear();
        return true;
    }
    m_wholeNodes = static_cast<int>(m_nodes.size());
    const double best = *std::min_element(m_wholeLowest.begin(), m_wholeLowest.end());
    const double level = std::min(best + (1.0 - m_firstScreenShare) * (m_wholeCeiling - best),
                                  FirstScreenLevel(m_wholeLowest, kFirstScreenCandidates));
    std::vector<unsigned char> keep(m_wholeLowest.size(), 0);
    for (std::size_t u = 0; u < keep.size(); ++u) keep[u] = !IsAboveObjective(m_wholeLowest[u], level);
    AddNotedCandidates(keep);
    if (std::find(keep.begin(), keep.end(), 0) == keep.end()) return true;  // nothing to leave out
    return RebuildCandidates(keep);
}

// Puts only the kept candidates (in the whole superstructure's order) into a fresh copy of the
// network: the same chains at the same positions with the others missing.
bool PinchModifications::RebuildCandidates(const std::vector<unsigned char>& keep) {
    const std::vector<std::pair<int, int>> pairs = std::move(m_candidatePairs);
    const int whole = static_cast<int>(pairs.size());
    if (!PrepareModel() || !BuildStreamPositions()) return false;
    m_candidatePairs = pairs;
    m_builtCandidates.clear();
    InsertionIndex ix = StartInsertion();
    std::size_t next = 0;
    for (std::size_t ci = 0; ci < m_coldPositions.size(); ++ci) {
        StreamPosition& c = m_coldPositions[ci];
        std::uint32_t r = c.insertionNode;
        for (; next < pairs.size() && pairs[next].first == static_cast<int>(ci); ++next) {
            if (!keep[next]) continue;
            m_builtCandidates.push_back(static_cast<int>(next));
            InsertCandidate(c, m_hotPositions[static_cast<std::size_t>(pairs[next].second)], r, ix);
        }
        c.insertionNode = r;
        if (r != c.node) ConnectColdChain(c, r);
    }
    NumberExchangerNodes();
    // Every candidate built: the whole model, with nothing to map.
    if (static_cast<int>(m_builtCandidates.size()) == whole) m_builtCandidates.clear();
    return next == pairs.size();
}
