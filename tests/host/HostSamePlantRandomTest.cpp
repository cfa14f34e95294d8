// The same plant gives the same numbers in every job that builds a model, on seeded random plants:
// each plant's process streams cut into segments where nothing changes, its utilities written in
// rows of their own (cut too), and its streams listed in another order, must read what the plant
// as written reads, to 1e-6 relative. What each row compares:
//   - targets by the Bath formula, with the duty law, and by the area LP: energy, both areas,
//     shells, units, loads, capital, total;
//   - targets with a forbidden match (which runs the area LP by itself): the same;
//   - supertarget: every point of a fixed range and the optimum;
//   - autodesign: the LP's loads and matches, each MILP solution, every unit of each design.
// CI runs a bounded sample (two seeds a job); KESTRIN_SAMEPLANT_SEEDS=N runs N seeds.
#include "HostProcess.h"
#include "SamePlant.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

using namespace sameplant;

// Two to four process streams with temperatures on a whole-degree grid, high-pressure steam and
// cooling water (by name), film coefficients from a few values.
std::string RandomPlant(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string out = "name,supply,target,cp,h,kind\n";
    const int n = pick(2, 4);
    for (int i = 0; i < n; ++i) {
        // At least one hot and one cold stream.
        const bool hot = i == 0 ? true : i == 1 ? false : pick(0, 1) == 1;
        int a = pick(40, 200), b = pick(40, 200);
        while (std::abs(a - b) < 20) b = pick(40, 200);
        if ((a > b) != hot) std::swap(a, b);
        out += std::string(hot ? "H" : "C") + std::to_string(i) + "," + std::to_string(a) + "," + std::to_string(b) +
               "," + std::to_string(pick(1, 8)) + "," + (pick(0, 1) ? "0.2" : "0.5") + ",process\n";
    }
    return out + "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
}

struct Job {
    const char* label;
    std::string (*command)(const std::string& table, const Table& t);
    const char* ignored;  // a path part not compared (empty: none)
};

std::string FirstPair(const Table& t) {
    std::string hot, cold;
    for (const auto& row : t.rows) {
        if (row.at("kind") != "process") continue;
        const std::string& name = row.at("name");
        if (name[0] == 'H' && hot.empty()) hot = name;
        if (name[0] == 'C' && cold.empty()) cold = name;
    }
    return hot + ":" + cold;
}

const Job kJobs[] = {
    {"TargetsBath", [](const std::string& f, const Table&) { return "targets " + f; }, ""},
    // The duty law prices the heat the plant exchanges, which no cut or order moves.
    {"TargetsDutyLaw", [](const std::string& f, const Table&) { return "targets " + f + " --economics law=units"; }, ""},
    {"TargetsAreaLP", [](const std::string& f, const Table&) { return "targets " + f + " --area-method lp"; }, ""},
    {"TargetsForbidden",
     [](const std::string& f, const Table& t) { return "targets " + f + " --forbid " + FirstPair(t); }, ""},
    {"Supertarget",
     [](const std::string& f, const Table&) { return "supertarget " + f + " --from 6 --to 14 --step 4"; }, ""},
    // The design's units are named in the order made; they are keyed by the streams they join.
    {"Autodesign", [](const std::string& f, const Table&) { return "autodesign " + f; }, ".message"},
};

unsigned Seeds() {
    const char* n = std::getenv("KESTRIN_SAMEPLANT_SEEDS");
    const int seeds = n ? std::atoi(n) : 0;
    return seeds > 0 ? static_cast<unsigned>(seeds) : 2u;
}

Flat Report(const std::string& command, std::string& out) {
    const HostRun run = RunHost(command + " --json");
    out = run.out;
    Json json;
    const std::size_t start = run.out.find('{');
    if (start == std::string::npos || !JsonReader(run.out.substr(start)).Read(json)) return {};
    FlatOptions o;
    o.rename = [](const std::string& n) { return n.rfind("Own ", 0) == 0 ? n.substr(4) : n; };
    o.key = [rename = o.rename](const Json& item) {
        if (!item.Field("hot") || !item.Field("cold")) return std::string();
        return rename(item.TextOf("hot")) + "/" + rename(item.TextOf("cold"));
    };
    return Flatten(json, o);
}

class HostSamePlantRandom : public ::testing::TestWithParam<Job> {};

TEST_P(HostSamePlantRandom, CutRowsAndOrderMoveNothing) {
    const Job& job = GetParam();
    for (unsigned seed = 1; seed <= Seeds(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string text = RandomPlant(seed);
        const Table table = ReadTable(text);
        TableShape shape;
        shape.segments = 2 + static_cast<int>(seed % 3);
        shape.utilities = Utilities::Given;
        shape.order = seed % 2 ? Order::Reversed : Order::Rotated;
        ScratchFile plant("sameplantrandom", std::string(job.label) + "-plant.csv", text);
        ScratchFile cut("sameplantrandom", std::string(job.label) + "-cut.csv", StreamTableOf(table, shape));
        std::string asWritten, asCut;
        const Flat a = Report(job.command(plant.path, table), asWritten);
        const Flat b = Report(job.command(cut.path, table), asCut);
        ASSERT_FALSE(a.empty()) << asWritten;
        const std::string differences = Differences(a, b, 1e-6, [&](const std::string& path) {
            return !*job.ignored || path.find(job.ignored) == std::string::npos;
        });
        EXPECT_EQ("", differences) << text << "\n" << StreamTableOf(table, shape);
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, HostSamePlantRandom, ::testing::ValuesIn(kJobs),
                         [](const ::testing::TestParamInfo<Job>& info) { return std::string(info.param.label); });

}  // namespace
