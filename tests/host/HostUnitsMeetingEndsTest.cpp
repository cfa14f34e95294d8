// Units with the pinch division where streams meet the pinch only up to rounding: a supply less
// its share of the approach (103.1 - 3.55) and another supply plus its share (97.9 + 1.65) are one
// pinch on the cascade, and a stream that ends there has no heat on the far side of it. Hand-worked
// tables, then seeded random tables whose shifted ends are made to meet through approaches of
// their own, against a count written here.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kHeader = "name,supply,target,cp,h,kind,dtmin_contribution\n";
const char* const kUtilities = "HP Steam,,,,,utility,\nCooling Water,,,,,utility,\n";

struct MeetingCase {
    const char* name;
    const char* rows;
    const char* dtmin;
    int overall, withPinches;
};
void PrintTo(const MeetingCase& c, std::ostream* out) { *out << c.name; }

}  // namespace

class HostUnitsMeetingEnds : public ::testing::TestWithParam<MeetingCase> {};

TEST_P(HostUnitsMeetingEnds, AStreamEndingAtThePinchCountsOnOneSideOnly) {
    const MeetingCase& c = GetParam();
    ScratchFile table("unitsmeet", "table.csv", std::string(kHeader) + c.rows + kUtilities);
    const HostRun run = RunHost("targets " + table.path + " --dtmin " + c.dtmin + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(c.overall, JsonNumber(run.out, "units_overall")) << run.out;
    EXPECT_EQ(c.withPinches, JsonNumber(run.out, "units_pinch")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostUnitsMeetingEnds,
    ::testing::Values(
        // All three start at shifted 99.55 (103.1 - 3.55, 97.9 + 1.65, 93.7 + 5.85), the pinch:
        // above it C0, C2 and the steam (2 units), below it H1 and the water (1 unit).
        MeetingCase{"coldStreamsStartingAtThePinch",
                    "C0,97.9,160,6.94,0.5,process,3.3\nH1,103.1,28.4,1.43,0.5,process,7.1\n"
                    "C2,93.7,194.4,1.86,0.5,process,11.7\n",
                    "15", 4, 3},
        // H1 ends at shifted 99.55 (103.1 - 3.55) where C0 (97.9 + 1.65) and H2 (104.55 - 5)
        // start: above it H1, C0 and the steam (2), below it H2 and the water (1).
        MeetingCase{"aHotStreamEndingAtThePinch",
                    "H1,180,103.1,1,0.5,process,7.1\nC0,97.9,160,2,0.5,process,3.3\nH2,104.55,40,1,0.5,process,\n",
                    "10", 4, 3}),
    [](const ::testing::TestParamInfo<MeetingCase>& info) { return std::string(info.param.name); });

namespace {

struct Row {
    bool hot;
    double supply, target, cp, share;  // share: half the approach the stream asks for
    bool local;
};

// A table of the seed: three to six streams, most of them starting where an end before them
// lies on the shifted scale, through an approach of their own in tenths of a degree.
std::vector<Row> MakeRows(unsigned seed, double& dtMin) {
    std::mt19937 rng(seed);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto tenth = [](double v) { return std::round(v * 10.0) / 10.0; };
    dtMin = 5.0 * pick(1, 3);
    static const double kApproaches[] = {3.3, 7.1, 17.5, 2.9, 11.7};
    std::vector<Row> rows;
    std::vector<double> ends;  // shifted
    const int n = pick(3, 6);
    for (int i = 0; i < n; ++i) {
        Row r{};
        r.local = pick(0, 2) > 0;
        r.share = 0.5 * (r.local ? kApproaches[pick(0, 4)] : dtMin);
        // The shifted supply on an earlier end (the real one written with the digits a user
        // types), or anywhere; the side is such that the stream has room to run between 40 and
        // 230 C, where the steam and the water reach it.
        const bool meets = !ends.empty() && pick(0, 9) < 7;
        const double end = meets ? ends[static_cast<std::size_t>(pick(0, static_cast<int>(ends.size()) - 1))] : 0.0;
        r.hot = pick(0, 1) == 1;
        if (meets && end < 60.0) r.hot = false;
        if (meets && end > 210.0) r.hot = true;
        const double sign = r.hot ? -1.0 : 1.0;
        r.supply = meets ? std::round((end - sign * r.share) * 1e6) / 1e6 : tenth(uniform(60.0, 210.0));
        r.target = r.hot ? tenth(std::max(40.0, r.supply - uniform(10.0, 120.0)))
                         : tenth(std::min(230.0, r.supply + uniform(10.0, 120.0)));
        r.cp = std::round(uniform(0.5, 8.0) * 100.0) / 100.0;
        ends.push_back(r.supply + sign * r.share);
        ends.push_back(r.target + sign * r.share);
        rows.push_back(r);
    }
    return rows;
}

std::string Csv(const std::vector<Row>& rows) {
    std::string out = kHeader;
    char line[200];
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        std::snprintf(line, sizeof line, "%s%zu,%.6f,%.1f,%.2f,0.5,process,", r.hot ? "H" : "C", i, r.supply, r.target, r.cp);
        out += line;
        if (r.local) {
            std::snprintf(line, sizeof line, "%.1f", 2.0 * r.share);
            out += line;
        }
        out += "\n";
    }
    return out + kUtilities;
}

// Problem table over shifted ends taken as one where they differ by no more than rounding; then
// N - 1 in each region between the pinches over the streams with heat in it (steam above the
// hottest, water below the coldest), and N - 1 overall.
struct Counted {
    int overall = 0, withPinches = 0;
};

Counted CountHere(const std::vector<Row>& rows) {
    auto lo = [](const Row& r) { return std::min(r.supply, r.target) + (r.hot ? -r.share : r.share); };
    auto hi = [](const Row& r) { return std::max(r.supply, r.target) + (r.hot ? -r.share : r.share); };
    std::vector<double> b;
    for (const Row& r : rows) {
        b.push_back(lo(r));
        b.push_back(hi(r));
    }
    std::sort(b.begin(), b.end(), std::greater<double>());
    std::vector<double> merged;
    for (double t : b)
        if (merged.empty() || merged.back() - t > 1e-7) merged.push_back(t);
    std::vector<double> flow(merged.size(), 0.0);
    for (std::size_t k = 0; k + 1 < merged.size(); ++k) {
        double net = 0.0;
        for (const Row& r : rows) {
            const double overlap = std::min(hi(r), merged[k]) - std::max(lo(r), merged[k + 1]);
            if (overlap > 1e-7) net += (r.hot ? 1.0 : -1.0) * r.cp * (merged[k] - merged[k + 1]);
        }
        flow[k + 1] = flow[k] + net;
    }
    const double lowest = std::min(0.0, *std::min_element(flow.begin(), flow.end()));
    const double hot = -lowest, cold = flow.back() - lowest;
    std::vector<double> edges{1e9};
    for (std::size_t k = 1; k + 1 < merged.size(); ++k)
        if (flow[k] - lowest <= 1e-7) edges.push_back(merged[k]);
    edges.push_back(-1e9);
    Counted c;
    const bool steam = hot > 1e-7, water = cold > 1e-7;
    c.overall = static_cast<int>(rows.size()) + steam + water - 1;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        int n = (e == 0 && steam) + (e + 2 == edges.size() && water);
        for (const Row& r : rows) n += std::min(hi(r), edges[e]) - std::max(lo(r), edges[e + 1]) > 1e-7;
        c.withPinches += std::max(0, n - 1);
    }
    return c;
}

}  // namespace

TEST(HostUnitsMeetingEndsRandom, SixtyTablesWhoseEndsMeetByRoundingAgreeWithTheCountHere) {
    int met = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        double dtMin = 10.0;
        const std::vector<Row> rows = MakeRows(seed, dtMin);
        ScratchFile table("unitsmeet", "random.csv", Csv(rows));
        char dt[32];
        std::snprintf(dt, sizeof dt, "%g", dtMin);
        const HostRun run = RunHost("targets " + table.path + " --dtmin " + dt + " --json");
        ASSERT_EQ(0, run.exitCode) << "seed " << seed << "\n" << run.out;
        const Counted here = CountHere(rows);
        EXPECT_EQ(here.overall, JsonNumber(run.out, "units_overall")) << "seed " << seed << "\n" << Csv(rows) << run.out;
        EXPECT_EQ(here.withPinches, JsonNumber(run.out, "units_pinch")) << "seed " << seed << "\n" << Csv(rows) << run.out;
        met += here.withPinches > here.overall;
    }
    // Tables whose pinches divide the problem into more units than overall.
    EXPECT_GT(met, 5);
}
