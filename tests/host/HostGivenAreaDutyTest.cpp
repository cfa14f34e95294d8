// kestrin-host design on networks whose exchangers are given by their areas: each unit carries
// the duty its area gives at the temperatures the design reports, Q = U A F LMTD, worked here from
// the streams' film coefficients and Bowman's F of the unit's shells, and the areas a design of
// duties reports give those duties back. The networks are drawn at random (seeded) around the
// four-stream problem's layout: H2 meets C1 twice in countercurrent order, so the two exchangers
// close a loop whose duties the design finds by iterating one of them; H1 meets C2 and, in half of
// the draws, C1 between the two. Both countercurrent and shell-and-tube units.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

struct Stream {
    const char* name;
    double supply, target, cp, h;
    bool hot() const { return supply > target; }
};

struct Unit {
    std::string name, hot, cold;
    int hotOrder, coldOrder;
    double duty;
};

// F of n 1-2 shells in series from the four end temperatures: each shell takes its share of the
// overall effectiveness P at the capacity ratio R (Bowman, Mueller and Nagle); 1 for one
// countercurrent pass.
double ShellsF(double hotIn, double hotOut, double coldIn, double coldOut, int n) {
    const double r = (hotIn - hotOut) / (coldOut - coldIn), p = (coldOut - coldIn) / (hotIn - coldIn);
    double p1 = p;
    if (n > 1) {
        const double x = std::pow((1.0 - r * p) / (1.0 - p), 1.0 / n);
        p1 = std::fabs(r - 1.0) < 1e-9 ? p / (n - n * p + p) : (x - 1.0) / (x - r);
    }
    const double s = std::sqrt(r * r + 1.0);
    const double a = 2.0 - p1 * (r + 1.0 - s), b = 2.0 - p1 * (r + 1.0 + s);
    if (std::fabs(r - 1.0) < 1e-9) return std::min(1.0, s * p1 / ((1.0 - p1) * std::log(a / b)));
    return std::min(1.0, s * std::log((1.0 - p1) / (1.0 - r * p1)) / ((r - 1.0) * std::log(a / b)));
}

// The JSON object of one unit of a design.
std::string UnitJson(const std::string& json, const std::string& name) {
    const std::size_t at = json.find("{\"name\": \"" + name + "\"");
    return at == std::string::npos ? std::string() : json.substr(at, json.find('}', at) - at);
}

double Draw(std::mt19937& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

// One seeded network: four streams near the four-stream problem's, and duties the temperatures
// along each stream allow with at least 3 K at both ends of every exchanger.
struct Network {
    std::vector<Stream> streams;
    std::vector<Unit> units;

    explicit Network(unsigned seed) {
        std::mt19937 random(seed);
        streams = {{"H1", Draw(random, 150, 190), Draw(random, 50, 70), Draw(random, 1.5, 4), Draw(random, 0.1, 1)},
                   {"H2", Draw(random, 130, 160), Draw(random, 40, 50), Draw(random, 1, 3), Draw(random, 0.1, 1)},
                   {"C1", Draw(random, 15, 30), Draw(random, 120, 140), Draw(random, 1.5, 3), Draw(random, 0.1, 1)},
                   {"C2", Draw(random, 60, 90), Draw(random, 130, 150), Draw(random, 2, 5), Draw(random, 0.1, 1)}};
        const bool e3 = random() % 2 == 0;
        for (int attempt = 0; attempt < 10000; ++attempt) {
            units = {{"E1", "H1", "C2", 1, 1, 0.0}, {"E2", "H2", "C1", 1, e3 ? 3 : 2, 0.0},
                     {"E4", "H2", "C1", 2, 1, 0.0}};
            if (e3) units.push_back({"E3", "H1", "C1", 2, 2, 0.0});
            for (Unit& u : units) u.duty = Draw(random, 10, 200);
            if (Feasible()) return;
        }
        units.clear();
    }

    const Stream& Of(const std::string& name) const {
        return *std::find_if(streams.begin(), streams.end(), [&](const Stream& s) { return name == s.name; });
    }

    // The temperature of a stream before the unit of place `order` on it.
    double Before(const std::string& stream, int order, bool hotSide) const {
        const Stream& s = Of(stream);
        double t = s.supply;
        for (const Unit& u : units)
            if ((hotSide ? u.hot : u.cold) == stream && (hotSide ? u.hotOrder : u.coldOrder) < order)
                t += (hotSide ? -u.duty : u.duty) / s.cp;
        return t;
    }

    bool Feasible() const {
        for (const Stream& s : streams) {
            double load = 0.0;
            for (const Unit& u : units)
                if (u.hot == s.name || u.cold == s.name) load += u.duty;
            if (load > s.cp * std::fabs(s.supply - s.target)) return false;
        }
        for (const Unit& u : units) {
            const double hotIn = Before(u.hot, u.hotOrder, true), coldIn = Before(u.cold, u.coldOrder, false);
            const double hotOut = hotIn - u.duty / Of(u.hot).cp, coldOut = coldIn + u.duty / Of(u.cold).cp;
            if (hotIn - coldOut < 3.0 || hotOut - coldIn < 3.0) return false;
        }
        return true;
    }

    std::string StreamTable() const {
        std::string table = "name,supply,target,cp,h,kind\n";
        char row[160];
        for (const Stream& s : streams) {
            std::snprintf(row, sizeof row, "%s,%.6f,%.6f,%.6f,%.6f,process\n", s.name, s.supply, s.target, s.cp, s.h);
            table += row;
        }
        return table + "HP Steam,,,,,utility\nCooling Water,,,,,utility\n";
    }

    // The table of duties, or of the areas (and shells) that the design of the duties reports.
    std::string NetworkTable(const std::string& type, const std::string* design) const {
        std::string table = std::string("name,hot,cold,") + (design ? "area" : "duty") + ",hot_order,cold_order,type" +
                            (design && type == "shell-and-tube" ? ",shells\n" : "\n");
        char row[200];
        for (const Unit& u : units) {
            const std::string json = design ? UnitJson(*design, u.name) : std::string();
            std::snprintf(row, sizeof row, "%s,%s,%s,%.6f,%d,%d,%s", u.name.c_str(), u.hot.c_str(), u.cold.c_str(),
                          design ? JsonNumber(json, "area") : u.duty, u.hotOrder, u.coldOrder, type.c_str());
            table += row;
            if (design && type == "shell-and-tube") table += "," + std::to_string(static_cast<int>(JsonNumber(json, "shells")));
            table += "\n";
        }
        return table;
    }
};

// The area a table gives a unit (its fourth column).
double TableArea(const std::string& table, const std::string& name) {
    const std::size_t at = table.find("\n" + name + ",");
    std::size_t comma = at;
    for (int column = 0; column < 3 && comma != std::string::npos; ++column) comma = table.find(',', comma + 1);
    return comma == std::string::npos ? NAN : std::atof(table.c_str() + comma + 1);
}

}  // namespace

class HostGivenAreaDuty : public ::testing::TestWithParam<const char*> {};

TEST_P(HostGivenAreaDuty, EachUnitCarriesTheDutyItsAreaGivesAtItsTemperatures) {
    const std::string type = GetParam();
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Network network(seed);
        ASSERT_FALSE(network.units.empty());
        ScratchFile streams("given-area", "streams.csv", network.StreamTable());
        ScratchFile duties("given-area", "duties.csv", network.NetworkTable(type, nullptr));
        const HostRun byDuty = RunHost("design " + streams.path + " " + duties.path + " --json");
        ASSERT_EQ(byDuty.exitCode, 0) << byDuty.out;
        const std::string areaTable = network.NetworkTable(type, &byDuty.out);
        ScratchFile areas("given-area", "areas.csv", areaTable);
        const HostRun byArea = RunHost("design " + streams.path + " " + areas.path + " --json");
        ASSERT_EQ(byArea.exitCode, 0) << byArea.out;
        EXPECT_NE(byArea.out.find("\"calculation_status\": \"calculated\""), std::string::npos) << byArea.out;

        for (const Unit& u : network.units) {
            const std::string json = UnitJson(byArea.out, u.name);
            ASSERT_FALSE(json.empty()) << u.name << "\n" << byArea.out;
            const double hotIn = JsonNumber(json, "hot_in"), hotOut = JsonNumber(json, "hot_out");
            const double coldIn = JsonNumber(json, "cold_in"), coldOut = JsonNumber(json, "cold_out");
            const double a = hotIn - coldOut, b = hotOut - coldIn;
            ASSERT_GT(std::min(a, b), 0.0) << json;
            const double lmtd = std::fabs(a - b) < 1e-9 ? a : (a - b) / std::log(a / b);
            const int shells = type == "shell-and-tube" ? static_cast<int>(JsonNumber(json, "shells")) : 1;
            const double f = type == "shell-and-tube" ? ShellsF(hotIn, hotOut, coldIn, coldOut, shells) : 1.0;
            const double u1 = 1.0 / (1.0 / network.Of(u.hot).h + 1.0 / network.Of(u.cold).h);
            const double area = TableArea(areaTable, u.name);
            const double duty = JsonNumber(json, "duty");
            EXPECT_NEAR(JsonNumber(json, "area"), area, 1e-6) << json;
            EXPECT_NEAR(duty, u1 * area * f * lmtd, 2e-6 * duty) << u.name << " " << json;
            // The areas of the design of duties, rounded to 1e-6 m2, give those duties back.
            EXPECT_NEAR(duty, u.duty, 1e-5 * u.duty) << u.name << " " << json;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Types, HostGivenAreaDuty, ::testing::Values("countercurrent", "shell-and-tube"));

// H2 heats C1 twice (E2 14.469723 m2 after E4 5.718611 m2 on C1): the areas the design of 90 and
// 30 kW reports. A retrofit from the areas starts from the same base as one from the duties and
// makes the same step: a new H1-C2 unit, with no area added to E4, which the step leaves at the
// duty its area gives. (The base had stopped at 349.92 kW of steam with E4 at 30.13 kW, so the
// step paid for 0.03 m2 more on E4 to carry the 30.13 kW at the temperatures it really has.)
TEST(HostGivenAreaDuty, ARetrofitFromTheAreasOfADesignIsTheRetrofitFromItsDuties) {
    const std::string rows[][2] = {{"E4,H2,C1,5.718611,2,1,countercurrent", "E4,H2,C1,30,2,1,countercurrent"},
                                   {"E2,H2,C1,14.469723,1,2,countercurrent", "E2,H2,C1,90,1,2,countercurrent"}};
    std::string areaTable = "name,hot,cold,area,hot_order,cold_order,type\n";
    std::string dutyTable = "name,hot,cold,duty,hot_order,cold_order,type\n";
    for (const auto& row : rows) {
        areaTable += row[0] + "\n";
        dutyTable += row[1] + "\n";
    }
    ScratchFile areas("given-area", "retrofit-areas.csv", areaTable);
    ScratchFile duties("given-area", "retrofit-duties.csv", dutyTable);
    const std::string streams = ExamplePath("four-streams.csv");
    const HostRun byArea = RunHost("retrofit " + streams + " " + areas.path + " --budget 20000 --json");
    const HostRun byDuty = RunHost("retrofit " + streams + " " + duties.path + " --budget 20000 --json");
    ASSERT_EQ(byArea.exitCode, 0) << byArea.out;
    ASSERT_EQ(byDuty.exitCode, 0) << byDuty.out;
    const std::size_t stepArea = byArea.out.find("\"steps\":"), stepDuty = byDuty.out.find("\"steps\":");
    ASSERT_NE(stepArea, std::string::npos) << byArea.out;
    ASSERT_NE(stepDuty, std::string::npos) << byDuty.out;
    auto number = [](const std::string& json, const std::string& key, std::size_t from) {
        const std::size_t at = json.find("\"" + key + "\":", from);
        return at == std::string::npos ? NAN : std::atof(json.c_str() + at + key.size() + 3);
    };
    EXPECT_NEAR(number(byArea.out, "hot_utility", 0), 350.0, 1e-5) << byArea.out;
    for (const char* key : {"hot_utility", "capital_cost", "total_added_area"})
        EXPECT_NEAR(number(byArea.out, key, stepArea), number(byDuty.out, key, stepDuty),
                    1e-5 * std::fabs(number(byDuty.out, key, stepDuty)))
            << key << "\n"
            << byArea.out;
    EXPECT_NE(byArea.out.find("\"kept\":true", stepArea), std::string::npos) << byArea.out;
    EXPECT_EQ(byArea.out.find("{\"unit\":\"E4\"", stepArea), std::string::npos) << byArea.out;
}

// The textbook network given by area with one exchanger off its minimum-energy area: E1 a little
// larger (132.5 m2 takes C2 past its target, so C2's heater runs backwards and E1 comes 0.07 K
// inside DTmin), or E3 larger (64 or 100 m2, E3 inside DTmin and H1's cooler backwards). Neither
// crosses a process exchanger, so the loop E4-E3-E2 is still solved from its areas: each of them
// complete and carrying U A LMTD at its reported temperatures (U = 0.1 for these films), only the
// units truly at fault flagged.
struct OffArea {
    const char* name;
    double e1, e3;
    const char* backwards;  // the utility unit run the wrong way
};

class HostGivenAreaLoop : public ::testing::TestWithParam<OffArea> {};

TEST_P(HostGivenAreaLoop, IsSolvedBesideAUnitThatOnlyComesInsideDTmin) {
    const OffArea& c = GetParam();
    char table[512];
    std::snprintf(table, sizeof table,
                  "name,hot,cold,area,hot_order,cold_order,type\nE1,H1,C2,%.6f,1,1,countercurrent\n"
                  "E2,H2,C1,54.977444,1,3,countercurrent\nE3,H1,C1,%.6f,2,2,countercurrent\n"
                  "E4,H2,C1,5.718611,2,1,countercurrent\n",
                  c.e1, c.e3);
    ScratchFile areas("given-area", std::string(c.name) + ".csv", table);
    const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + areas.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* name : {"E2", "E3", "E4"}) {
        const std::string json = UnitJson(run.out, name);
        ASSERT_FALSE(json.empty()) << name << "\n" << run.out;
        EXPECT_NE(std::string::npos, json.find("\"status\": \"complete\"")) << json;
        const double a = JsonNumber(json, "hot_in") - JsonNumber(json, "cold_out");
        const double b = JsonNumber(json, "hot_out") - JsonNumber(json, "cold_in");
        ASSERT_GT(std::min(a, b), 0.0) << json;
        const double lmtd = std::fabs(a - b) < 1e-9 ? a : (a - b) / std::log(a / b);
        const double duty = JsonNumber(json, "duty");
        EXPECT_GT(duty, 1.0) << json;
        EXPECT_NEAR(duty, 0.1 * JsonNumber(json, "area") * lmtd, 1e-5 * duty) << json;
    }
    const std::string backwards = UnitJson(run.out, c.backwards);
    EXPECT_NE(std::string::npos, backwards.find("\"feasible\": false")) << backwards;
    EXPECT_LT(JsonNumber(backwards, "duty"), 0.0) << backwards;
}

INSTANTIATE_TEST_SUITE_P(Tables, HostGivenAreaLoop,
                         ::testing::Values(OffArea{"e1Larger", 132.5, 54.977444, "Heater2"},
                                           OffArea{"e3At64", 131.833475, 64.0, "Cooler1"},
                                           OffArea{"e3At100", 131.833475, 100.0, "Cooler1"}),
                         [](const ::testing::TestParamInfo<OffArea>& i) { return std::string(i.param.name); });
