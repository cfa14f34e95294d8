// The units targets of seeded random tables, as `kestrin-host targets` prints them, against a
// count written here: a problem-table cascade over the shifted ends gives the utilities and the
// pinches, and the units are N - 1 over all streams that carry heat and, with the pinch division,
// N - 1 in each region between pinches over the streams with heat in it. The tables have one or
// two segments a stream, streams with approaches of their own, a DTmin of 2 to 20 C, temperatures
// on a half-degree grid (so that shifted ends meet and pinches tie), and high-pressure steam and
// cooling water, which reach every process temperature of the tables.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Segment {
    double supply, target, cp;
};

struct Stream {
    std::string name;
    bool hot;
    double contribution;  // the approach it asks for (the DTmin when it gives none)
    bool local;
    std::vector<Segment> segments;
    double Shift() const { return (hot ? -0.5 : 0.5) * contribution; }
};

struct Table {
    double dtMin = 10.0;
    std::vector<Stream> streams;
};

Table MakeTable(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Table t;
    t.dtMin = 2.0 * pick(1, 10);
    const int n = pick(2, 6);
    for (int i = 0; i < n; ++i) {
        Stream s;
        s.name = "S" + std::to_string(i);
        double from = 0.5 * pick(80, 440), to = 0.5 * pick(80, 440);
        while (from == to) to = 0.5 * pick(80, 440);
        s.hot = from > to;
        s.local = pick(0, 2) == 0;
        s.contribution = s.local ? 0.5 * pick(2, 40) : t.dtMin;
        const double middle = std::round(from + (to - from) * 0.25 * pick(1, 3));
        if (pick(0, 1) && (middle - from) * (to - middle) > 0.0) {
            s.segments.push_back({from, middle, 0.25 * pick(1, 40)});
            s.segments.push_back({middle, to, 0.25 * pick(1, 40)});
        } else {
            s.segments.push_back({from, to, 0.25 * pick(1, 40)});
        }
        t.streams.push_back(s);
    }
    return t;
}

std::string Csv(const Table& t) {
    std::string out = "name,supply,target,cp,h,kind,dtmin_contribution\n";
    char line[200];
    for (const Stream& s : t.streams)
        for (const Segment& g : s.segments) {
            std::snprintf(line, sizeof line, "%s,%.2f,%.2f,%.2f,0.5,process,", s.name.c_str(), g.supply, g.target, g.cp);
            out += line;
            if (s.local) {
                std::snprintf(line, sizeof line, "%.2f", s.contribution);
                out += line;
            }
            out += "\n";
        }
    return out + "HP Steam,,,,,utility,\nCooling Water,,,,,utility,\n";
}

struct Count {
    double hot = 0.0, cold = 0.0;
    std::vector<double> pinches;  // shifted, hottest first
    int overall = 0, withPinches = 0;
};

// The problem table and the units it gives.
Count CountHere(const Table& t) {
    std::vector<double> b;
    for (const Stream& s : t.streams)
        for (const Segment& g : s.segments) {
            b.push_back(g.supply + s.Shift());
            b.push_back(g.target + s.Shift());
        }
    std::sort(b.begin(), b.end(), std::greater<double>());
    b.erase(std::unique(b.begin(), b.end()), b.end());
    std::vector<double> flow(b.size(), 0.0);
    double scale = 0.0;
    for (std::size_t k = 0; k + 1 < b.size(); ++k) {
        double net = 0.0;
        for (const Stream& s : t.streams)
            for (const Segment& g : s.segments) {
                const double hi = std::max(g.supply, g.target) + s.Shift(), lo = std::min(g.supply, g.target) + s.Shift();
                if (hi >= b[k] && lo <= b[k + 1]) net += (s.hot ? 1.0 : -1.0) * g.cp;
            }
        flow[k + 1] = flow[k] + net * (b[k] - b[k + 1]);
        scale = std::max(scale, std::fabs(flow[k + 1]));
    }
    Count c;
    const double lowest = std::min(0.0, *std::min_element(flow.begin(), flow.end()));
    c.hot = -lowest;
    c.cold = flow.back() - lowest;
    const double tolerance = 1e-9 * std::max(1.0, scale);
    for (std::size_t k = 1; k + 1 < b.size(); ++k)
        if (std::fabs(flow[k] - lowest) <= tolerance) c.pinches.push_back(b[k]);

    // Regions between the pinches, hottest first; a stream counts in each region where its
    // shifted range has heat, steam in the top one and cooling water in the bottom one.
    std::vector<double> edges{1e9};
    edges.insert(edges.end(), c.pinches.begin(), c.pinches.end());
    edges.push_back(-1e9);
    const bool steam = c.hot > 1e-9, water = c.cold > 1e-9;
    c.overall = static_cast<int>(t.streams.size()) + steam + water - 1;
    for (std::size_t r = 0; r + 1 < edges.size(); ++r) {
        int n = (r == 0 && steam) + (r + 2 == edges.size() && water);
        for (const Stream& s : t.streams) {
            bool in = false;
            for (const Segment& g : s.segments) {
                const double hi = std::max(g.supply, g.target) + s.Shift(), lo = std::min(g.supply, g.target) + s.Shift();
                in = in || std::min(hi, edges[r]) - std::max(lo, edges[r + 1]) > 1e-9;
            }
            n += in;
        }
        c.withPinches += std::max(0, n - 1);
    }
    return c;
}

double JsonValue(const std::string& json, const std::string& key, std::size_t& from) {
    const std::size_t at = json.find("\"" + key + "\": ", from);
    if (at == std::string::npos) return NAN;
    from = at + key.size() + 4;
    return json.compare(from, 4, "null") == 0 ? NAN : std::atof(json.c_str() + from);
}

}  // namespace

TEST(HostUnitsRandomComparison, UtilitiesPinchesAndUnitsOfAHundredAndTwentyTablesAgreeWithTheCountHere) {
    int pinched = 0, severalPinches = 0, divided = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        const Table table = MakeTable(seed);
        ScratchFile file("unitsrandom", "table.csv", Csv(table));
        char dtmin[32];
        std::snprintf(dtmin, sizeof dtmin, "%g", table.dtMin);
        const HostRun run = RunHost("targets " + file.path + " --dtmin " + dtmin + " --json");
        ASSERT_EQ(0, run.exitCode) << "seed " << seed << "\n" << run.out;
        const Count here = CountHere(table);
        std::size_t at = 0;
        const double scale = 1e-6 * std::max(1.0, here.hot + here.cold);
        EXPECT_NEAR(here.hot, JsonValue(run.out, "hot_utility", at), scale) << "seed " << seed << "\n" << Csv(table);
        EXPECT_NEAR(here.cold, JsonValue(run.out, "cold_utility", at), scale) << "seed " << seed;
        std::vector<double> pinches;
        for (std::size_t p = run.out.find("\"process_pinches\""), end = run.out.find("\"utility_pinches\"");
             p < end;) {
            const double shifted = JsonValue(run.out, "shifted", p);
            if (std::isnan(shifted) || p > end) break;
            pinches.push_back(shifted);
        }
        ASSERT_EQ(here.pinches.size(), pinches.size()) << "seed " << seed << "\n" << Csv(table) << run.out;
        for (std::size_t i = 0; i < pinches.size(); ++i) EXPECT_NEAR(here.pinches[i], pinches[i], 1e-6) << "seed " << seed;
        pinched += !here.pinches.empty();
        severalPinches += here.pinches.size() > 1;
        divided += here.withPinches > here.overall;
        std::size_t from = 0;
        EXPECT_EQ(here.overall, JsonValue(run.out, "units_overall", from)) << "seed " << seed << "\n" << Csv(table) << run.out;
        EXPECT_EQ(here.withPinches, JsonValue(run.out, "units_pinch", from))
            << "seed " << seed << "\n" << Csv(table) << run.out;
    }
    // The tables reach the branches of the count: pinched ones, several pinches, and a pinch
    // division that costs units.
    EXPECT_GT(pinched, 40);
    EXPECT_GT(severalPinches, 5);
    EXPECT_GT(divided, 15);
}
