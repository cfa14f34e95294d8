// kestrin-host retrofit and design on shell-and-tube networks given by their areas. The
// four-stream minimum-energy design laid out as shell-and-tube units (F at least 0.8) needs 4, 1, 3
// and 4 shells in E1-E4 for 240, 30, 90 and 90 kW, on 160.031217, 5.826094, 61.226372 and
// 62.18929 m2. The fewest shells a duty needs jump by one as the duty moves, and the area with
// them: E2's 62.19 m2 meets 90 kW with 4 shells and also 88.32 kW with 3, so the areas alone do
// not fix the design's duties. With its shells each unit is back at its duty; without them the
// network settles on the fewest shells each unit's own rating needs.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

const char* kHeader = "name,hot,cold,area,hot_order,cold_order,type";

std::string MerByArea(bool withShells) {
    std::string table = std::string(kHeader) + (withShells ? ",shells\n" : "\n");
    const char* rows[][2] = {{"E1,H1,C2,160.031217,1,1,shell-and-tube", "4"},
                             {"E2,H2,C1,62.18929,1,3,shell-and-tube", "4"},
                             {"E3,H1,C1,61.226372,2,2,shell-and-tube", "3"},
                             {"E4,H2,C1,5.826094,2,1,shell-and-tube", "1"}};
    for (const auto& row : rows) table += std::string(row[0]) + (withShells ? std::string(",") + row[1] : "") + "\n";
    return table;
}

}  // namespace

TEST(HostRetrofitGivenAreas, ShellAndTubeAreasWithTheirShellsGiveTheBaseNetworkBack) {
    ScratchFile network("retrofit-areas", "shells.csv", MerByArea(true));
    const std::string streams = ExamplePath("four-streams.csv");
    const HostRun design = RunHost("design " + streams + " " + network.path);
    ASSERT_EQ(design.exitCode, 0) << design.out;
    for (const char* unit : {"E1 (exchanger) H1 -> C2: duty 240.00,", "E4 (exchanger) H2 -> C1: duty 30.00,",
                             "E3 (exchanger) H1 -> C1: duty 90.00,", "E2 (exchanger) H2 -> C1: duty 90.00,"})
        EXPECT_NE(design.out.find(unit), std::string::npos) << unit << "\n" << design.out;
    EXPECT_NE(design.out.find("Ft 0.8840, shells 4, complete"), std::string::npos) << design.out;

    const HostRun retrofit = RunHost("retrofit " + streams + " " + network.path + " --budget 100000");
    ASSERT_EQ(retrofit.exitCode, 0) << retrofit.out;
    EXPECT_NE(retrofit.out.find("  hot utility    20.00 kW\n  cold utility   60.00 kW\n"), std::string::npos)
        << retrofit.out;
    EXPECT_NE(retrofit.out.find("no step ran: the design's hot utility is at its target already"), std::string::npos)
        << retrofit.out;
}

// Without the shells the network still calculates: each unit given by its area alone takes, in
// rounds from one shell, the fewest shells its own rating needs. E1 is back at 240 kW on 4 shells;
// E2 and E3, whose areas fit two counts each, take the fewer (3 and 2). The retrofit starts from
// that network (22.78 kW of steam, E4, E3 and E2 at 29.94, 87.07 and 90.21 kW, each at its area),
// where it reported a base of no utility at all as a network at its target. The loop through H2 and
// C1 had stopped at 22.81 kW with E4 at 29.60 kW, 0.08 m2 short of its area.
TEST(HostRetrofitGivenAreas, AreasWithoutTheirShellsSettleOnTheFewestShellsTheirRatingsNeed) {
    ScratchFile network("retrofit-areas", "no-shells.csv", MerByArea(false));
    const HostRun run = RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + network.path);
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("  hot utility    22.78 kW\n  cold utility   62.78 kW\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("not calculated"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("at its target already"), std::string::npos) << run.out;
}

namespace {

// Bowman's F of n 1-2 shells in series from the four end temperatures (an independent model).
double BowmanF(double hotIn, double hotOut, double coldIn, double coldOut, int n) {
    const double R = (hotIn - hotOut) / (coldOut - coldIn);
    const double P = (coldOut - coldIn) / (hotIn - coldIn);
    double p = P;
    if (n > 1) {
        if (std::fabs(R - 1.0) < 1e-9) {
            p = P / (n - n * P + P);
        } else {
            const double x = std::pow((1.0 - R * P) / (1.0 - P), 1.0 / n);
            p = (x - 1.0) / (x - R);
        }
    }
    const double s = std::sqrt(R * R + 1.0);
    const double a = 2.0 - p * (R + 1.0 - s), b = 2.0 - p * (R + 1.0 + s);
    if (b <= 0.0 || 1.0 - R * p <= 0.0) return 0.0;
    if (std::fabs(R - 1.0) < 1e-9) return s * p / ((1.0 - p) * std::log(a / b));
    return s * std::log((1.0 - p) / (1.0 - R * p)) / ((R - 1.0) * std::log(a / b));
}

double After(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(key);
    return at == std::string::npos ? NAN : std::atof(line.c_str() + at + key.size());
}

}  // namespace

// The same areas, exact and with E1's rounded at the fourth digit, designed without shells: the
// network calculates, every total is there, every stream is met, and each unit's shells are the
// fewest that keep F at 0.8 or more at the temperatures it runs at, by Bowman's F worked here.
TEST(HostRetrofitGivenAreas, ShellAndTubeAreasWithoutShellsCalculateWithTheFewestShells) {
    for (const std::string e1 : {"160.031217", "131.8"}) {
        std::string table = MerByArea(false);
        table.replace(table.find("160.031217"), 10, e1);
        ScratchFile network("network-no-shells", "areas.csv", table);
        const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path);
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find("calculation               calculated"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("unsatisfied streams       none"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("not available"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("INFEASIBLE"), std::string::npos) << run.out;
        if (e1 == "160.031217") {
            EXPECT_NE(run.out.find("E1 (exchanger) H1 -> C2: duty 240.00,"), std::string::npos) << run.out;
        }
        std::istringstream lines(run.out);
        int units = 0;
        for (std::string line; std::getline(lines, line);) {
            if (line.find("(exchanger)") == std::string::npos) continue;
            ++units;
            const std::size_t hot = line.find(", hot "), cold = line.find(", cold ");
            ASSERT_NE(hot, std::string::npos) << line;
            ASSERT_NE(cold, std::string::npos) << line;
            const double hotIn = std::atof(line.c_str() + hot + 6), coldIn = std::atof(line.c_str() + cold + 7);
            const double hotOut = After(line.substr(hot), "-> "), coldOut = After(line.substr(cold), "-> ");
            const int shells = static_cast<int>(After(line, "shells "));
            ASSERT_GE(shells, 1) << line;
            // Temperatures are printed to 0.01 C: F is judged to the half-per-cent it allows.
            EXPECT_GE(BowmanF(hotIn, hotOut, coldIn, coldOut, shells), 0.8 - 5e-3) << line;
            if (shells > 1) {
                EXPECT_LT(BowmanF(hotIn, hotOut, coldIn, coldOut, shells - 1), 0.8 + 5e-3) << line;
            }
        }
        EXPECT_EQ(units, 4) << run.out;
    }
}

// The network less E4 (E2 and E3 with 2 shells each at 90 kW, 32.15 and 29.94 m2): the base
// design is back at its 50 kW of steam and 90 kW of cooling water.
TEST(HostRetrofitGivenAreas, ANetworkShortOfAnExchangerStartsFromItsOwnLoads) {
    ScratchFile network("retrofit-areas", "less-e4.csv",
                        std::string(kHeader) +
                            ",shells\nE1,H1,C2,160.031217,1,1,shell-and-tube,4\nE2,H2,C1,32.148014,1,2,shell-and-tube,2\n"
                            "E3,H1,C1,29.939035,2,1,shell-and-tube,2\n");
    const HostRun run = RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + network.path + " --budget 100000");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("  hot utility    50.00 kW\n  cold utility   90.00 kW\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Step 1: result "), std::string::npos) << run.out;
}

// Each way a shells cell can be wrong is refused on its own, with the line.
struct BadShells {
    const char* row;
    const char* message;
};

class HostNetworkShellsColumn : public ::testing::TestWithParam<BadShells> {};

TEST_P(HostNetworkShellsColumn, IsRefusedWithItsLine) {
    ScratchFile network("network-shells", "bad.csv",
                        std::string("name,hot,cold,duty,hot_order,cold_order,type,shells\n") + GetParam().row + "\n");
    const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path);
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find(std::string("line 2: ") + GetParam().message), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, HostNetworkShellsColumn,
    ::testing::Values(BadShells{"E1,H1,C2,240,1,1,countercurrent,2", "\"E1\" gives shells but is not shell-and-tube"},
                      BadShells{"E1,H1,C2,240,1,1,,2", "\"E1\" gives shells but is not shell-and-tube"},
                      BadShells{"E1,H1,C2,240,1,1,shell-and-tube,0", "shells \"0\" is not a whole number from 1 to 100"},
                      BadShells{"E1,H1,C2,240,1,1,shell-and-tube,2.5", "shells \"2.5\" is not a whole number"},
                      BadShells{"E1,H1,C2,240,1,1,shell-and-tube,101", "shells \"101\" is not a whole number"},
                      BadShells{"E1,H1,C2,240,1,1,shell-and-tube,two", "shells \"two\" is not a whole number"}));

// A shells cell left empty, or no shells column, keeps the fewest shells each duty needs.
TEST(HostNetworkShellsColumn, AnEmptyCellOrNoColumnKeepsTheFewestShells) {
    for (const char* header : {"name,hot,cold,duty,hot_order,cold_order,type,shells\n",
                               "name,hot,cold,duty,hot_order,cold_order,type\n"}) {
        ScratchFile network("network-shells", "empty.csv",
                            std::string(header) + "E1,H1,C2,240,1,1,shell-and-tube" +
                                (std::string(header).find("shells") != std::string::npos ? "," : "") + "\n");
        const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path);
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find("area 160.03, U 0.1000, Ft 0.8238, shells 4, complete"), std::string::npos) << run.out;
    }
}

// The four-stream network less E4 given by its areas, E1's rounded at the fourth digit (131.8 for
// 131.833): a step keeps the plant's exchangers at the duties their areas give in the base network
// and adds area where they need it, so it restores E4 as the same table given by duties does
// (about 29 kW from H2 into C1, 20.98 kW of steam left, E2 and E3 each 25.07 m2 larger). Held at
// their areas, E3 passed less heat once C1 came in warmer, and H1, which has no cooler, was left
// short of its target. The rounded areas move E1 by 0.01 kW, another plant by that much, and the
// step ends a few hundredths of a kilowatt and square metre away from the duty table's step (exact
// areas give the duty table's step itself, which the same-plant retrofit rows hold).
TEST(HostRetrofitGivenAreas, AStepAddsAreaToThePlantsExchangersAsToADutyTable) {
    const std::string streams = ExamplePath("four-streams.csv");
    ScratchFile byArea("retrofit-areas", "less-e4-areas.csv",
                       "name,hot,cold,area,hot_order,cold_order\nE1,H1,C2,131.8,1,1\nE2,H2,C1,28.2,1,2\nE3,H1,C1,28.2,2,1\n");
    ScratchFile byDuty("retrofit-areas", "less-e4-duties.csv",
                       "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,240,1,1\nE2,H2,C1,90,1,2\nE3,H1,C1,90,2,1\n");
    const HostRun areas = RunHost("retrofit " + streams + " " + byArea.path + " --budget 100000 --json");
    const HostRun duties = RunHost("retrofit " + streams + " " + byDuty.path + " --budget 100000");
    const HostRun dutiesJson = RunHost("retrofit " + streams + " " + byDuty.path + " --budget 100000 --json");
    ASSERT_EQ(areas.exitCode, 0) << areas.out;
    ASSERT_EQ(duties.exitCode, 0) << duties.out;
    ASSERT_EQ(dutiesJson.exitCode, 0) << dutiesJson.out;
    EXPECT_NE(duties.out.find("Step 1: result 7,"), std::string::npos) << duties.out;
    EXPECT_NE(duties.out.find("modification: new exchanger, E-1100, hot H2 in at 90.00 C, cold C1 in at 20.00 C, "
                              "duty 29.02 kW"),
              std::string::npos)
        << duties.out;
    EXPECT_NE(duties.out.find("  added area     E3 25.07, E2 25.07, E-1100 5.47 m2"), std::string::npos) << duties.out;
    EXPECT_NE(duties.out.find("  hot utility    50.00 -> 20.98 kW\n"), std::string::npos) << duties.out;

    const std::size_t step = areas.out.find("\"steps\":");
    ASSERT_NE(step, std::string::npos) << areas.out;
    EXPECT_NE(areas.out.find("\"result\":7,", step), std::string::npos) << areas.out;
    EXPECT_NE(areas.out.find("\"exchanger\":\"E-1100\",\"hot\":\"H2\",\"cold\":\"C1\"", step), std::string::npos)
        << areas.out;
    const std::size_t same = dutiesJson.out.find("\"steps\":");
    for (const char* key : {"duty", "hot_utility", "cold_utility", "total_added_area"})
        EXPECT_NEAR(After(areas.out.substr(step), std::string("\"") + key + "\":"),
                    After(dutiesJson.out.substr(same), std::string("\"") + key + "\":"), 0.1)
            << key << "\n"
            << areas.out;
}

namespace {

// The four-stream minimum-energy design as countercurrent units given by their areas, E1 and E4 as
// given (131.833475 and 5.718611 m2 are exact).
std::string CountercurrentAreas(const std::string& e1, const std::string& e4) {
    return "name,hot,cold,area,hot_order,cold_order,type\nE1,H1,C2," + e1 +
           ",1,1,countercurrent\nE2,H2,C1,54.977444,1,3,countercurrent\n"
           "E3,H1,C1,54.977444,2,2,countercurrent\nE4,H2,C1," + e4 + ",2,1,countercurrent\n";
}

// The numbers of one unit object of a design's JSON, by key.
double UnitValue(const std::string& json, const std::string& unit, const std::string& key) {
    const std::size_t at = json.find("{\"name\": \"" + unit + "\"");
    if (at == std::string::npos) return NAN;
    return JsonNumber(json.substr(at, json.find('}', at) - at), key);
}

// Each process exchanger's duty against U A LMTD over its own end temperatures, worked here.
void ExpectEachExchangerMeetsItsArea(const std::string& json) {
    for (const char* unit : {"E1", "E2", "E3", "E4"}) {
        const double hotIn = UnitValue(json, unit, "hot_in"), hotOut = UnitValue(json, unit, "hot_out");
        const double coldIn = UnitValue(json, unit, "cold_in"), coldOut = UnitValue(json, unit, "cold_out");
        const double a = hotIn - coldOut, b = hotOut - coldIn;
        ASSERT_GT(a, 0.0) << unit << "\n" << json;
        ASSERT_GT(b, 0.0) << unit << "\n" << json;
        const double lmtd = std::fabs(a - b) < 1e-9 ? a : (a - b) / std::log(a / b);
        const double duty = UnitValue(json, unit, "duty");
        EXPECT_NEAR(duty, 0.1 * UnitValue(json, unit, "area") * lmtd, 1e-3 * duty) << unit << "\n" << json;
    }
}

}  // namespace

// An area smaller than the minimum-energy one still gives a network: E1 at 130 m2 instead of
// 131.83 passes 239.38 kW, H1 reaches E3 0.21 C warmer, and the loop of E4, E3 and E2 through H2 and
// C1 settles with every unit calculated and a little more utility than the target (20.49 kW of
// steam, the 40 kW balance of the streams kept). The first guess of the loop's tear duty had run
// H1's cooler backwards, and raising the guess for it carried the loop off past every duty the
// areas can meet.
TEST(HostRetrofitGivenAreas, ASmallerCountercurrentAreaCalculatesWithMoreUtility) {
    ScratchFile network("retrofit-areas", "countercurrent-130.csv", CountercurrentAreas("130", "5.718611"));
    const std::string streams = ExamplePath("four-streams.csv");
    const HostRun design = RunHost("design " + streams + " " + network.path + " --json");
    ASSERT_EQ(design.exitCode, 0) << design.out;
    EXPECT_NE(design.out.find("\"calculation_status\": \"calculated\""), std::string::npos) << design.out;
    EXPECT_NE(design.out.find("\"unsatisfied_streams\": []"), std::string::npos) << design.out;
    EXPECT_EQ(design.out.find("\"status\": \"incomplete\""), std::string::npos) << design.out;
    const double hot = JsonNumber(design.out, "hot_utility"), cold = JsonNumber(design.out, "cold_utility");
    EXPECT_GT(hot, 20.0 + 0.1) << design.out;
    EXPECT_NEAR(cold - hot, 40.0, 1e-4) << design.out;
    EXPECT_NEAR(UnitValue(design.out, "E1", "duty"), 239.38, 0.01) << design.out;
    ExpectEachExchangerMeetsItsArea(design.out);

    const HostRun run = RunHost("retrofit " + streams + " " + network.path + " --budget 100000");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("  hot utility    20.49 kW\n"), std::string::npos) << run.out;
}

// A network of countercurrent units that does not calculate is refused by the names of its units,
// without advice about the shells of shell-and-tube units it does not have, and with the reason.
// E4 at 5.5 m2 instead of 5.72 passes 29.10 kW, so C1 reaches E3 0.45 C colder and E3's area takes
// H1 to 59.76 C, past its 60 C target: truly infeasible as given. Every process exchanger still
// calculates to its area, and the design says which utility would run backwards and why. (E1 at
// 130 m2, which this test once took for a network that does not calculate, calculates.)
TEST(HostRetrofitGivenAreas, ACountercurrentNetworkThatDoesNotCalculateIsRefusedWithoutShellAdvice) {
    ScratchFile network("retrofit-areas", "countercurrent-e4.csv", CountercurrentAreas("131.833475", "5.5"));
    const std::string streams = ExamplePath("four-streams.csv");
    const HostRun design = RunHost("design " + streams + " " + network.path + " --json");
    ASSERT_EQ(design.exitCode, 0) << design.out;
    for (const char* unit : {"E1", "E2", "E3", "E4"})
        EXPECT_NE(design.out.find(std::string("{\"name\": \"") + unit + "\""), std::string::npos) << unit;
    ExpectEachExchangerMeetsItsArea(design.out);
    EXPECT_NEAR(UnitValue(design.out, "E4", "duty"), 29.10, 0.01) << design.out;
    EXPECT_LT(UnitValue(design.out, "E3", "hot_out"), 60.0) << design.out;
    EXPECT_NE(design.out.find("Cooler1 would run backwards (-0.73 kW): the exchangers take H1 past its target"),
              std::string::npos)
        << design.out;

    const HostRun run = RunHost("retrofit " + streams + " " + network.path);
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.out.find("cannot be retrofitted: the network does not calculate: Cooler1 is not calculated; "
                           "Cooler1 would run backwards (-0.73 kW): the exchangers take H1 past its target"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("shell"), std::string::npos) << run.out;
}

// A table of rounded areas puts E3 (61.2 m2) at 9.985 K, which the base network accepts as DTmin
// 10 to the precision of its area equations. A step holds E3 at the duty that area gave and must
// judge it at that same precision: the kept step's E3 runs exactly where the base's did and is
// feasible. The same duties given as duties carry no such precision, and E3 is infeasible there.
TEST(HostRetrofitGivenAreas, AStepJudgesAUnitGivenByItsRoundedAreaAsTheBaseDoes) {
    const std::string streams = ExamplePath("four-streams.csv");
    const char* e3 = "E3 (exchanger) H1 -> C1: duty 89.82, hot 90.00 -> 60.06, cold 35.11 -> 80.02, approach 9.99,";
    ScratchFile byArea("retrofit-areas", "rounded-areas.csv",
                       "name,hot,cold,area,hot_order,cold_order,type,shells\nE1,H1,C2,160.0,1,1,shell-and-tube,4\n"
                       "E3,H1,C1,61.2,2,2,shell-and-tube,3\nE4,H2,C1,2.7,1,1,shell-and-tube,1\n");
    const HostRun base = RunHost("design " + streams + " " + byArea.path);
    ASSERT_EQ(base.exitCode, 0) << base.out;
    EXPECT_NE(base.out.find(e3), std::string::npos) << base.out;
    EXPECT_EQ(base.out.find("INFEASIBLE"), std::string::npos) << base.out;

    const HostRun run = RunHost("retrofit " + streams + " " + byArea.path + " --budget 100000");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Step 1: result 7,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(kept)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(std::string("    ") + e3), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("INFEASIBLE"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("not available"), std::string::npos) << run.out;

    ScratchFile byDuty("retrofit-areas", "rounded-duties.csv",
                       "name,hot,cold,duty,hot_order,cold_order,type,shells\nE1,H1,C2,239.994332,1,1,shell-and-tube,4\n"
                       "E3,H1,C1,89.819451,2,2,shell-and-tube,3\nE4,H2,C1,30.213946,1,1,shell-and-tube,1\n");
    const HostRun duties = RunHost("design " + streams + " " + byDuty.path);
    ASSERT_EQ(duties.exitCode, 0) << duties.out;
    EXPECT_NE(duties.out.find(std::string(e3) + " area 61.20, U 0.1000, Ft 0.8980, shells 3, complete, INFEASIBLE"),
              std::string::npos)
        << duties.out;
}
