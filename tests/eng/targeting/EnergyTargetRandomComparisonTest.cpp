// The energy target of a few hundred seeded random tables against a small model written here: a
// problem-table cascade (hot and cold utility and the pinches) and, with forbidden pairs, a
// transport LP from every hot stream's heat in an interval to every cold stream's demand in the
// same or a colder one, built straight on the LP solver. The tables have one to three segments a
// stream, streams with approaches of their own, one to four utility segments (which the target
// leaves out) and temperatures on a half-degree grid, so that shifted ends meet and the exact
// cascade has ties that must come out as exact pinches.
#include "TargetingFixtures.h"

#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/IStreamOwner.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/LPProblem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

class Owner : public IStreamOwner {
public:
    bool IsScenario() const override { return true; }
    CPIHeatIntegrationStream* FindStream(const CPString& name) override {
        auto found = streams.find(name);
        return found == streams.end() ? nullptr : found->second.get();
    }
    std::map<std::string, std::unique_ptr<CPIHeatIntegrationStream>> streams;
};

struct RandomTable {
    Owner owner;
    targeting_test::SegmentSet set;
    std::vector<std::pair<std::string, std::string>> forbidden;  // (hot, cold) stream names
    double dtMin = 10.0;
};

// A table of the seed: 2 to 7 process streams of 1 to 3 segments, temperatures and flow rates on
// grids that doubles hold exactly.
void MakeTable(unsigned seed, RandomTable& t) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    t.dtMin = 2.0 * pick(1, 10);
    std::vector<std::string> hot, cold;
    const int streams = pick(2, 7);
    for (int i = 0; i < streams; ++i) {
        const std::string name = "S" + std::to_string(i);
        auto& stream = t.owner.streams[name];
        stream = std::make_unique<CPIHeatIntegrationStream>(&t.owner, name.c_str());
        double from = 0.5 * pick(40, 500), to = 0.5 * pick(40, 500);
        while (from == to) to = 0.5 * pick(40, 500);
        (from > to ? hot : cold).push_back(name);
        const bool local = pick(0, 3) == 0;
        const double shift = 0.25 * pick(2, 30);
        const int pieces = pick(1, 3);
        double start = from;
        for (int p = 0; p < pieces; ++p) {
            double end = p + 1 == pieces ? to : start + (to - start) * 0.25 * pick(1, 3);
            end = std::round(end * 2.0) / 2.0;
            if (end == start) continue;
            StreamSegment* s = t.set.Add(start, end, 0.25 * pick(1, 200));
            s->pStream = stream.get();
            if (local) s->DTminContribution = ValueAndFlag{shift, ValueAndFlag::ScopeLocal};
            start = end;
        }
    }
    // Utilities, which the target leaves out.
    for (int u = pick(1, 4); u > 0; --u) {
        const double at = 0.5 * pick(20, 600);
        t.set.Add(at, pick(0, 1) ? at - 1.0 : at + 5.0, 1.0, 1);
    }
    // Forbidden pairs in two tables of five.
    if (!hot.empty() && !cold.empty() && pick(0, 4) < 2)
        for (int f = pick(1, 2); f > 0; --f) {
            const std::string& h = hot[static_cast<std::size_t>(pick(0, static_cast<int>(hot.size()) - 1))];
            const std::string& c = cold[static_cast<std::size_t>(pick(0, static_cast<int>(cold.size()) - 1))];
            if (std::find(t.forbidden.begin(), t.forbidden.end(), std::make_pair(h, c)) != t.forbidden.end()) continue;
            t.forbidden.emplace_back(h, c);
            t.owner.streams[h]->LinkStream(c.c_str());
        }
    for (const auto& [h, c] : t.forbidden)
        for (StreamSegment* s : t.set.refs)
            if (s->nKind != 1 && (s->pStream == t.owner.streams[h].get() || s->pStream == t.owner.streams[c].get()))
                s->nKind = 2;
    t.set.Shift(t.dtMin);
}

struct Reference {
    double hot = 0.0, cold = 0.0;
    std::vector<double> pinches;  // shifted, hottest first
};

// The process segments' shifted ends, hottest first, each once.
std::vector<double> ShiftedBoundaries(const SegmentRefs& segments) {
    std::vector<double> t;
    for (const StreamSegment* s : segments)
        if (s->nKind != 1) {
            t.push_back(s->dShiftedInletTemperature);
            t.push_back(s->dShiftedOutletTemperature);
        }
    std::sort(t.begin(), t.end(), std::greater<double>());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    return t;
}

// The problem table over the process segments' shifted ends (every value here is exact).
Reference ProblemTable(const SegmentRefs& segments) {
    Reference r;
    const std::vector<double> t = ShiftedBoundaries(segments);
    std::vector<double> flow(t.size(), 0.0);
    for (std::size_t k = 0; k + 1 < t.size(); ++k) {
        double net = 0.0;
        for (const StreamSegment* s : segments) {
            if (s->nKind == 1) continue;
            const double hi = std::max(s->dShiftedInletTemperature, s->dShiftedOutletTemperature);
            const double lo = std::min(s->dShiftedInletTemperature, s->dShiftedOutletTemperature);
            if (hi >= t[k] && lo <= t[k + 1]) net += (s->nHotCold == 0 ? 1.0 : -1.0) * s->dHeatCapacityFlowrate;
        }
        flow[k + 1] = flow[k] + net * (t[k] - t[k + 1]);
    }
    const double lowest = std::min(0.0, *std::min_element(flow.begin(), flow.end()));
    r.hot = -lowest;
    r.cold = flow.back() - lowest;
    for (std::size_t k = 1; k + 1 < t.size(); ++k)
        if (flow[k] == lowest) r.pinches.push_back(t[k]);
    return r;
}

// The least hot utility by a transport LP: heat of hot stream s in interval i goes to cold stream
// c in interval j >= i unless (s, c) is forbidden; what a cold piece does not get is hot utility,
// what a hot piece does not give is cold utility.
Reference TransportLP(const RandomTable& table) {
    const SegmentRefs& segments = table.set.refs;
    const std::vector<double> t = ShiftedBoundaries(segments);
    struct Piece {
        const StreamSegment* segment;
        int interval;
        double heat;
    };
    std::vector<Piece> sources, sinks;
    for (const StreamSegment* s : segments) {
        if (s->nKind == 1) continue;
        const double hi = std::max(s->dShiftedInletTemperature, s->dShiftedOutletTemperature);
        const double lo = std::min(s->dShiftedInletTemperature, s->dShiftedOutletTemperature);
        for (std::size_t k = 0; k + 1 < t.size(); ++k)
            if (hi >= t[k] && lo <= t[k + 1])
                (s->nHotCold == 0 ? sources : sinks)
                    .push_back({s, static_cast<int>(k), s->dHeatCapacityFlowrate * (t[k] - t[k + 1])});
    }
    auto forbidden = [&](const StreamSegment* h, const StreamSegment* c) {
        for (const auto& [hn, cn] : table.forbidden)
            if (h->pStream == table.owner.streams.at(hn).get() && c->pStream == table.owner.streams.at(cn).get())
                return true;
        return false;
    };
    // Columns: the matches, then one utility column per sink and per source.
    std::vector<std::pair<int, int>> matches;
    for (std::size_t a = 0; a < sources.size(); ++a)
        for (std::size_t b = 0; b < sinks.size(); ++b)
            if (sources[a].interval <= sinks[b].interval && !forbidden(sources[a].segment, sinks[b].segment))
                matches.emplace_back(static_cast<int>(a), static_cast<int>(b));
    const int m = static_cast<int>(matches.size());
    const int columns = m + static_cast<int>(sinks.size() + sources.size());
    Reference r;
    if (sources.empty() && sinks.empty()) return r;
    LPProblem lp;
    lp.Allocate(columns, 0);
    for (std::size_t b = 0; b < sinks.size(); ++b) lp.objective[static_cast<std::size_t>(m) + b] = 1.0;
    std::vector<double> row(static_cast<std::size_t>(columns));
    for (std::size_t a = 0; a < sources.size(); ++a) {
        std::fill(row.begin(), row.end(), 0.0);
        for (int j = 0; j < m; ++j)
            if (matches[static_cast<std::size_t>(j)].first == static_cast<int>(a)) row[static_cast<std::size_t>(j)] = 1.0;
        row[static_cast<std::size_t>(m) + sinks.size() + a] = 1.0;
        lp.AddRow(row, LPProblem::Equality, sources[a].heat);
    }
    for (std::size_t b = 0; b < sinks.size(); ++b) {
        std::fill(row.begin(), row.end(), 0.0);
        for (int j = 0; j < m; ++j)
            if (matches[static_cast<std::size_t>(j)].second == static_cast<int>(b)) row[static_cast<std::size_t>(j)] = 1.0;
        row[static_cast<std::size_t>(m) + b] = 1.0;
        lp.AddRow(row, LPProblem::Equality, sinks[b].heat);
    }
    std::vector<double> x;
    if (!lp.Solve(x)) {
        r.hot = r.cold = -1.0;
        return r;
    }
    for (std::size_t b = 0; b < sinks.size(); ++b) r.hot += x[static_cast<std::size_t>(m) + b];
    for (std::size_t a = 0; a < sources.size(); ++a) r.cold += x[static_cast<std::size_t>(m) + sinks.size() + a];
    return r;
}

TEST(EnergyTargetRandomComparison, TargetsAndPinchesOfThreeHundredTablesAgreeWithTheModelsHere) {
    int forbiddenTables = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomTable table;
        MakeTable(seed, table);
        EnergyTarget target(table.set.refs, table.dtMin);
        const Reference lp = TransportLP(table);
        ASSERT_GE(lp.hot, 0.0) << "seed " << seed;
        const double scale = 1e-7 * std::max(1.0, lp.hot + lp.cold);
        EXPECT_NEAR(lp.hot, target.GetHotUtility(), scale) << "seed " << seed;
        EXPECT_NEAR(lp.cold, target.GetColdUtility(), scale) << "seed " << seed;
        if (!table.forbidden.empty()) {
            ++forbiddenTables;
            continue;
        }
        const Reference exact = ProblemTable(table.set.refs);
        EXPECT_EQ(exact.hot, target.GetHotUtility()) << "seed " << seed;
        EXPECT_EQ(exact.cold, target.GetColdUtility()) << "seed " << seed;
        std::vector<double> pinches;
        for (const PinchRecord& p : target.GetPinchList()) pinches.push_back(0.5 * (p.dHotTemperature + p.dColdTemperature));
        EXPECT_EQ(exact.pinches, pinches) << "seed " << seed;
    }
    EXPECT_GT(forbiddenTables, 60);
}

}  // namespace
