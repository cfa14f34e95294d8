#include "eng/retrofit/ModificationRows.h"

#include "eng/retrofit/CandidateScreen.h"
#include "eng/retrofit/ModificationLists.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {

struct EndTemperatures {
    double high = 0.0, low = 0.0;
    int stream = 0;
};

// Node -> the stream temperatures of the last exchanger that has the node at one of its ends.
// One pass over the exchangers, so every node's bounds cost a look-up.
std::unordered_map<std::uint32_t, EndTemperatures> IndexEndTemperatures(const std::vector<HotStrmInfo>& hots,
                                                                        const std::vector<ColdStrmInfo>& colds,
                                                                        const std::vector<HXInfo>& exchangers) {
    std::unordered_map<int, const StrmInfo*> hot, cold;
    for (const auto& s : hots) hot.emplace(s.streamId, &s);
    for (const auto& s : colds) cold.emplace(s.streamId, &s);
    std::unordered_map<std::uint32_t, EndTemperatures> index;
    for (const HXInfo& x : exchangers) {
        const auto h = hot.find(x.hotStream);
        const auto c = cold.find(x.coldStream);
        const EndTemperatures hotEnd{h != hot.end() ? h->second->supplyTemperature : 0.0,
                                     h != hot.end() ? h->second->targetTemperature : 0.0, x.hotStream};
        const EndTemperatures coldEnd{c != cold.end() ? c->second->targetTemperature : 0.0,
                                      c != cold.end() ? c->second->supplyTemperature : 0.0, x.coldStream};
        index[x.hotInlet] = hotEnd;
        index[x.hotOutlet] = hotEnd;
        index[x.coldInlet] = coldEnd;
        index[x.coldOutlet] = coldEnd;
    }
    return index;
}

void Widen(EndTemperatures& t, const std::unordered_set<int>& teeStreams) {
    if (!teeStreams.count(t.stream)) return;
    const double span = t.high - t.low;
    t.high += span;
    t.low = std::max(0.0, t.low - span);
}

SparseRow Bound(int column, double value, int rhsColumn, char type) {
    SparseRow r;
    r.Add(column, 1.0);
    r.Add(rhsColumn, value);
    r.SetType(type);
    return r;
}

// A plant exchanger that already runs below DTmin at either end cannot meet its approach rows in
// use, so it is left free rather than held.
bool RunsBelowApproach(const HXInfo& x, double dtMin) {
    return x.hotInletTemperature - x.coldOutletTemperature < dtMin - kModificationTolerance ||
           x.hotOutletTemperature - x.coldInletTemperature < dtMin - kModificationTolerance;
}

// The duty a plant exchanger is held at (its hot-side duty at its plant temperatures) and the band
// around it: a ten-thousandth of itself, as a plant exchanger given by an area of four digits runs
// at a duty known no better, and a stream without a heater or cooler must still close its balance.
struct HeldDuty {
    double held = 0.0, band = 0.0;
};
HeldDuty HeldDutyOf(const HXInfo& x, double hotFlow) {
    HeldDuty d;
    d.held = std::fabs(hotFlow) * (x.hotInletTemperature - x.hotOutletTemperature);
    d.band = std::max(kModificationTolerance, kHeldDutyBand * d.held);
    return d;
}

// The plant's hot utility, which the objective counts in per cent of (1 when it has none).
double PresentHotUtility(const RowBuilderContext& ctx) {
    double w = 0.0;
    if (ctx.inputHeaters)
        for (const auto& h : *ctx.inputHeaters) w += h.duty;
    return w == 0.0 ? 1.0 : w;
}

}  // namespace

bool GetExchangerEndTemperatures(double& high, double& low, std::uint32_t node, const std::vector<HotStrmInfo>& hots,
                                 const std::vector<ColdStrmInfo>& colds, const std::vector<HXInfo>& exchangers,
                                 const std::vector<TeeInfo>& tees) {
    const auto index = IndexEndTemperatures(hots, colds, exchangers);
    const auto found = index.find(node);
    if (found == index.end()) return false;
    std::unordered_set<int> teeStreams;
    for (const TeeInfo& t : tees) teeStreams.insert(t.streamId);
    EndTemperatures t = found->second;
    Widen(t, teeStreams);
    high = t.high;
    low = t.low;
    return true;
}

bool BuildModificationRows(RowBuilderContext& ctx, SparseRowList& rows) {
    if (!ctx.exchangers || !ctx.inputExchangers || !ctx.nodes || !ctx.coldStreams || !ctx.hotStreams || !ctx.mixers ||
        !ctx.tees || !ctx.coolers || !ctx.heaters)
        return false;
    const auto& xs = *ctx.exchangers;
    const auto& nodes = *ctx.nodes;
    const auto& colds = *ctx.coldStreams;
    const auto& hots = *ctx.hotStreams;
    const int E = static_cast<int>(xs.size());
    const int E0 = static_cast<int>(ctx.inputExchangers->size());
    if (E == E0 || E < E0) return false;
    const int N = static_cast<int>(nodes.size());
    const int K = static_cast<int>(ctx.coolers->size());
    const int H = static_cast<int>(ctx.heaters->size());
    const int Sc = static_cast<int>(colds.size());
    const int Sh = static_cast<int>(hots.size());
    const int M = static_cast<int>(ctx.mixers->size());
    const int C = E - E0;

    // Column blocks.
    const int q0 = N, cooler0 = q0 + E, heater0 = cooler0 + K, coldSlack0 = heater0 + H, hotSlack0 = coldSlack0 + Sc,
              mixSlack0 = hotSlack0 + Sh, xSlack0 = mixSlack0 + M, y0 = xSlack0 + 2 * E, rhs = y0 + E;
    ctx.columns = rhs + 1;
    ctx.integerColumns = E;
    ctx.candidates = C;
    ctx.sizeFigure = ctx.columns - 1 - N - E;
    ctx.skippedExchangers = 0;

    std::unordered_map<std::uint32_t, int> nodePosition;  // 1-based, first record counts
    for (int i = 0; i < N; ++i) nodePosition.emplace(nodes[static_cast<std::size_t>(i)].fingerprint, i + 1);
    auto T = [&](std::uint32_t node) {
        const auto f = nodePosition.find(node);
        return f == nodePosition.end() ? -1 : f->second - 1;
    };
    auto fraction = [&](std::uint32_t node) {
        const int t = T(node);
        return t < 0 ? 0.0 : nodes[static_cast<std::size_t>(t)].splitFraction;
    };
    std::unordered_map<int, const StrmInfo*> hotById, coldById;
    for (const auto& s : hots) hotById.emplace(s.streamId, &s);
    for (const auto& s : colds) coldById.emplace(s.streamId, &s);
    auto load = [](const std::unordered_map<int, const StrmInfo*>& byId, int id) {
        const auto f = byId.find(id);
        return f == byId.end() ? 0.0 : f->second->TotalLoad();
    };
    auto slope = [](const std::unordered_map<int, const StrmInfo*>& byId, int id) {
        const auto f = byId.find(id);
        return f == byId.end() ? 0.0 : StreamSlope(*f->second);
    };

    // 1. Bounds.
    int bounds = 0;
    auto bound = [&](int column, double value, char type) {
        rows.push_back(Bound(column, value, rhs, type));
        ++bounds;
    };
    auto utilityBounds = [&](const auto& units, const auto* inputs, int first,
                             const std::unordered_map<int, const StrmInfo*>& streams) {
        std::unordered_map<std::uint32_t, int> inputStream;
        if (inputs)
            for (const auto& u : *inputs) inputStream[u.fingerprint] = u.processStream;
        for (std::size_t i = 0; i < units.size(); ++i) {
            const auto in = inputStream.find(units[i].fingerprint);
            const int stream = in != inputStream.end() ? in->second : units[i].processStream;
            bound(first + static_cast<int>(i), 0.0, 'g');
            bound(first + static_cast<int>(i), load(streams, stream), 'l');
        }
    };
    utilityBounds(*ctx.coolers, ctx.inputCoolers, cooler0, hotById);
    utilityBounds(*ctx.heaters, ctx.inputHeaters, heater0, coldById);
    std::unordered_set<std::uint32_t> streamEnds;
    for (const auto& s : colds) streamEnds.insert({s.startNode, s.endNode});
    for (const auto& s : hots) streamEnds.insert({s.startNode, s.endNode});
    std::unordered_set<int> teeStreams;
    for (const TeeInfo& t : *ctx.tees) teeStreams.insert(t.streamId);
    const auto ends = IndexEndTemperatures(hots, colds, xs);
    for (int i = 0; i < N; ++i) {
        const std::uint32_t fp = nodes[static_cast<std::size_t>(i)].fingerprint;
        if (streamEnds.count(fp)) continue;
        const auto f = ends.find(fp);
        if (f == ends.end()) continue;
        EndTemperatures t = f->second;
        Widen(t, teeStreams);
        bound(i, t.low, 'g');
        bound(i, t.high, 'l');
    }
    auto slackBounds = [&](int column) {
        bound(column, -kModificationTolerance, 'g');
        bound(column, kModificationTolerance, 'l');
    };
    for (int i = 0; i < M; ++i) slackBounds(mixSlack0 + i);
    for (int i = 0; i < Sc; ++i) slackBounds(coldSlack0 + i);
    for (int i = 0; i < Sh; ++i) slackBounds(hotSlack0 + i);
    for (int k = 0; k < E; ++k) {
        slackBounds(xSlack0 + 2 * k);
        slackBounds(xSlack0 + 2 * k + 1);
    }
    ctx.boundRows = bounds;

    // 2. Exactly one candidate.
    SparseRow select;
    for (int k = E0; k < E; ++k) select.Add(y0 + k, 1.0);
    select.Add(rhs, 1.0);
    rows.push_back(select);

    // 3. Rows of the model kind.
    if (ctx.kind == ModificationModelKind::Repiping) {
        for (char type : {'g', 'l'}) {
            SparseRow r;
            for (int k = 0; k < E0; ++k) r.Add(y0 + k, 1.0);
            r.Add(rhs, static_cast<double>(E0 - 1));
            r.SetType(type);
            rows.push_back(r);
        }
    } else if (ctx.kind == ModificationModelKind::Resequencing) {
        std::unordered_map<std::uint32_t, std::vector<int>> movesOf;
        for (int k = E0; k < E; ++k) {
            const HXInfo& x = xs[static_cast<std::size_t>(k)];
            if (x.origin != 0) movesOf[static_cast<std::uint32_t>(x.origin)].push_back(k);
        }
        for (int i = 0; i < E0; ++i) {
            SparseRow r;
            r.Add(y0 + i, 1.0);
            const auto moves = movesOf.find((*ctx.inputExchangers)[static_cast<std::size_t>(i)].fingerprint);
            if (moves != movesOf.end())
                for (int k : moves->second) r.Add(y0 + k, 1.0);
            r.Add(rhs, 1.0);
            rows.push_back(r);
        }
    } else if (ctx.kind == ModificationModelKind::NewExchanger) {
        // A new exchanger comes beside the plant's exchangers, which keep running: the model may
        // not buy its objective down by switching one of them off, nor by moving heat onto one of
        // them: placed, the new exchanger joins a network whose exchangers hold their duties, so the
        // model holds them too (its hot-side duty at the temperatures the exchanger has in the
        // plant). One that already runs below DTmin cannot meet its approach rows in use and stays
        // free, as before. The plant's temperatures are the exchanger's own: candidates inserted at
        // its ports give it new port nodes whose temperatures the model has yet to find.
        for (int k = 0; k < E0; ++k) {
            const HXInfo& x = xs[static_cast<std::size_t>(k)];
            if (RunsBelowApproach(x, ctx.dtMin)) continue;
            rows.push_back(Bound(y0 + k, 1.0, rhs, 'e'));
            const HeldDuty d = HeldDutyOf(x, slope(hotById, x.hotStream) * fraction(x.hotInlet));
            if (d.held <= 0.0) continue;
            rows.push_back(Bound(q0 + k, d.held - d.band, rhs, 'g'));
            rows.push_back(Bound(q0 + k, d.held + d.band, rhs, 'l'));
        }
    }

    // 4. Exchangers.
    for (int k = 0; k < E; ++k) {
        const HXInfo& x = xs[static_cast<std::size_t>(k)];
        const int hi = T(x.hotInlet), ho = T(x.hotOutlet), ci = T(x.coldInlet), co = T(x.coldOutlet);
        const double hotFlow = slope(hotById, x.hotStream) * fraction(x.hotInlet);
        const double coldFlow = slope(coldById, x.coldStream) * fraction(x.coldInlet);
        if (hi < 0 || ho < 0 || ci < 0 || co < 0 || hotFlow == 0.0 || coldFlow == 0.0) {
            // No heat-capacity flow to divide by: the exchanger is held out of the model.
            SparseRow duty, binary;
            duty.Add(q0 + k, 1.0);
            binary.Add(y0 + k, 1.0);
            rows.push_back(duty);
            rows.push_back(binary);
            ++ctx.skippedExchangers;
            continue;
        }
        SparseRow hot;
        hot.Add(q0 + k, -1.0 / hotFlow);
        hot.Add(hi, -1.0);
        hot.Add(ho, 1.0);
        hot.Add(xSlack0 + 2 * k, -1.0);
        rows.push_back(hot);
        SparseRow cold;
        cold.Add(q0 + k, 1.0 / coldFlow);
        cold.Add(ci, 1.0);
        cold.Add(co, -1.0);
        cold.Add(xSlack0 + 2 * k + 1, -1.0);
        rows.push_back(cold);
        const double big = GetTemperatureSpan(x.hotStream, x.coldStream, hots, colds) + ctx.dtMin;
        for (auto [a, b] : {std::pair<int, int>{hi, co}, std::pair<int, int>{ho, ci}}) {
            SparseRow approach;
            approach.Add(a, 1.0);
            approach.Add(b, -1.0);
            approach.Add(y0 + k, -big);
            approach.Add(rhs, ctx.dtMin - big);
            approach.SetType('g');
            rows.push_back(approach);
        }
        const double smallerLoad = GetSmallerStreamLoad(x.hotStream, x.coldStream, hots, colds);
        SparseRow duty;
        duty.Add(q0 + k, 1.0);
        duty.Add(y0 + k, -smallerLoad);
        duty.Add(rhs, kModificationTolerance);
        duty.SetType('l');
        rows.push_back(duty);
    }

    // 5, 6. Stream ends and balances.
    std::unordered_map<int, std::vector<int>> dutiesOnCold, dutiesOnHot;
    for (int k = 0; k < E; ++k) {
        dutiesOnCold[xs[static_cast<std::size_t>(k)].coldStream].push_back(q0 + k);
        dutiesOnHot[xs[static_cast<std::size_t>(k)].hotStream].push_back(q0 + k);
    }
    for (int i = 0; i < H; ++i) dutiesOnCold[(*ctx.heaters)[static_cast<std::size_t>(i)].processStream].push_back(heater0 + i);
    for (int i = 0; i < K; ++i) dutiesOnHot[(*ctx.coolers)[static_cast<std::size_t>(i)].processStream].push_back(cooler0 + i);
    auto streamRows = [&](const auto& streams, std::unordered_map<int, std::vector<int>>& duties, int slack0) {
        for (std::size_t i = 0; i < streams.size(); ++i) {
            const StrmInfo& s = streams[i];
            rows.push_back(Bound(T(s.startNode), s.supplyTemperature, rhs, 'e'));
            rows.push_back(Bound(T(s.endNode), s.targetTemperature, rhs, 'e'));
            SparseRow balance;
            // Exchangers first, then the utility units, in list order.
            std::vector<int>& cols = duties[s.streamId];
            for (int c : cols) balance.Add(c, 1.0);
            balance.Add(slack0 + static_cast<int>(i), -1.0);
            balance.Add(rhs, s.TotalLoad());
            rows.push_back(balance);
        }
    };
    streamRows(colds, dutiesOnCold, coldSlack0);
    streamRows(hots, dutiesOnHot, hotSlack0);

    // A heater or cooler with a unit after it on its stream moves the stream's temperature by its
    // duty over the stream's heat-capacity flow, a heater up and a cooler down; at the stream's end
    // the balance and the target already fix it. The slope of a hot stream's load falls with its
    // temperature, so the flow is taken by its size and the direction from the unit's kind.
    auto linkUtility = [&](const UtilHXInfo& u, int dutyColumn, const std::unordered_map<int, const StrmInfo*>& byId,
                           double sign) {
        const auto s = byId.find(u.processStream);
        const int in = T(u.processInlet), out = T(u.processOutlet);
        if (s == byId.end() || u.processOutlet == s->second->endNode || in < 0 || out < 0) return;
        const double flow = std::fabs(StreamSlope(*s->second) * fraction(u.processInlet));
        if (flow == 0.0) return;
        SparseRow r;
        r.Add(dutyColumn, sign / flow);
        r.Add(in, 1.0);
        r.Add(out, -1.0);
        rows.push_back(r);
    };
    for (int i = 0; i < H; ++i) linkUtility((*ctx.heaters)[static_cast<std::size_t>(i)], heater0 + i, coldById, 1.0);
    for (int i = 0; i < K; ++i) linkUtility((*ctx.coolers)[static_cast<std::size_t>(i)], cooler0 + i, hotById, -1.0);

    // 7. Tees.
    for (const TeeInfo& t : *ctx.tees)
        for (std::uint32_t o : t.outlets) {
            SparseRow r;
            r.Add(T(t.inlet), 1.0);
            r.Add(T(o), -1.0);
            rows.push_back(r);
        }
    // 8. Mixers.
    for (int i = 0; i < M; ++i) {
        const MixerInfo& m = (*ctx.mixers)[static_cast<std::size_t>(i)];
        SparseRow r;
        r.Add(T(m.outlet), fraction(m.outlet));
        for (std::uint32_t in : m.inlets) r.Add(T(in), -fraction(in));
        r.Add(mixSlack0 + i, -1.0);
        rows.push_back(r);
    }

    // 9. Objective: the hot utility in per cent of its present value, and one per exchanger in use.
    const double w = PresentHotUtility(ctx);
    SparseRow objective;
    for (int i = 0; i < H; ++i) objective.Add(heater0 + i, 100.0 / w);
    for (int k = 0; k < E; ++k) objective.Add(y0 + k, 1.0);
    rows.push_back(objective);

    ctx.candidateLowest.clear();
    ctx.candidateCeiling = 0.0;
    if (ctx.kind == ModificationModelKind::NewExchanger)
        ctx.candidateLowest = LowestObjectiveOfCandidates(ctx, ctx.candidateCeiling);
    return true;
}

// What each exchanger of the model can carry, read from the same figures as its rows: a plant
// exchanger held at its duty within the band, any exchanger at most the smaller of its streams'
// loads, a candidate left idle its duty tolerance, and an exchanger without a flow to divide by
// nothing at all. Needs no rows, so a superstructure can be screened before its model is built.
std::vector<double> LowestObjectiveOfCandidates(const RowBuilderContext& ctx, double& ceiling) {
    ceiling = 0.0;
    if (!ctx.exchangers || !ctx.inputExchangers || !ctx.nodes || !ctx.coldStreams || !ctx.hotStreams ||
        !ctx.heaters || ctx.kind != ModificationModelKind::NewExchanger)
        return {};
    const auto& xs = *ctx.exchangers;
    const auto& nodes = *ctx.nodes;
    const auto& colds = *ctx.coldStreams;
    const auto& hots = *ctx.hotStreams;
    const int E = static_cast<int>(xs.size());
    const int E0 = static_cast<int>(ctx.inputExchangers->size());
    if (E <= E0) return {};
    std::unordered_map<std::uint32_t, std::size_t> nodeAt;  // first record counts
    for (std::size_t i = 0; i < nodes.size(); ++i) nodeAt.emplace(nodes[i].fingerprint, i);
    auto fraction = [&](std::uint32_t node) {
        const auto f = nodeAt.find(node);
        return f == nodeAt.end() ? 0.0 : nodes[f->second].splitFraction;
    };
    std::unordered_map<int, const StrmInfo*> hotById, coldById;
    for (const auto& s : hots) hotById.emplace(s.streamId, &s);
    for (const auto& s : colds) coldById.emplace(s.streamId, &s);
    auto slope = [](const std::unordered_map<int, const StrmInfo*>& byId, int id) {
        const auto f = byId.find(id);
        return f == byId.end() ? 0.0 : StreamSlope(*f->second);
    };

    std::vector<ExchangerDutyRange> carry(static_cast<std::size_t>(E));
    int binariesInUse = 0;
    for (int k = 0; k < E0; ++k) {
        const HXInfo& x = xs[static_cast<std::size_t>(k)];
        if (RunsBelowApproach(x, ctx.dtMin)) continue;
        ++binariesInUse;
        const HeldDuty d = HeldDutyOf(x, slope(hotById, x.hotStream) * fraction(x.hotInlet));
        if (d.held <= 0.0) continue;
        carry[static_cast<std::size_t>(k)] = {d.held - d.band, d.held + d.band, 0.0};
    }
    for (int k = 0; k < E; ++k) {
        const HXInfo& x = xs[static_cast<std::size_t>(k)];
        ExchangerDutyRange& range = carry[static_cast<std::size_t>(k)];
        const bool placed = nodeAt.count(x.hotInlet) && nodeAt.count(x.hotOutlet) && nodeAt.count(x.coldInlet) &&
                            nodeAt.count(x.coldOutlet);
        if (!placed || slope(hotById, x.hotStream) * fraction(x.hotInlet) == 0.0 ||
            slope(coldById, x.coldStream) * fraction(x.coldInlet) == 0.0) {
            range = {0.0, 0.0, 0.0};
            continue;
        }
        const double most = GetSmallerStreamLoad(x.hotStream, x.coldStream, hots, colds) + kModificationTolerance;
        range.high = k < E0 && range.high > 0.0 ? std::min(range.high, most) : most;
        range.idle = kModificationTolerance;
    }
    CandidateScreenInputs screen;
    screen.exchangers = &xs;
    screen.plantExchangers = E0;
    screen.duties = std::move(carry);
    screen.coldStreams = &colds;
    screen.hotStreams = &hots;
    screen.heaters = ctx.heaters;
    screen.heaterWeight = 100.0 / PresentHotUtility(ctx);
    screen.streamSlack = kModificationTolerance;
    screen.binariesInUse = binariesInUse;
    return LowestObjectiveByCandidate(screen, ceiling);
}
