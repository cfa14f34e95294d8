// kestrin-host retrofit on shell-and-tube units whose shells the table gives: a unit held to its
// shells in series can do only the duties whose thermal effectiveness those shells reach. Past
// that limit no area does the duty (the calculation writes F at its floor of 0.01 and an area a
// hundred times too large), so a step that needs such a unit cannot be built and is not kept.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

double NumberAfter(const std::string& text, const std::string& key, std::size_t from, std::size_t to) {
    const std::size_t at = text.find("\"" + key + "\": ", from);
    if (at == std::string::npos || at >= to) return NAN;
    return std::strtod(text.c_str() + at + key.size() + 4, nullptr);
}

// Whether N 1-2 shells in series reach the effectiveness of the exchange hot thi -> tho against cold
// tci -> tco: each shell's effectiveness P1 (from the whole exchange's P at the same capacity ratio R)
// must stay below the one-shell limit 2 / (1 + R + sqrt(1 + R^2)).
bool ShellsReach(double thi, double tho, double tci, double tco, double shells) {
    const double R = (thi - tho) / (tco - tci), P = (tco - tci) / (thi - tci);
    double P1 = P;
    if (std::fabs(R - 1.0) < 1e-9) {
        P1 = P / (shells - (shells - 1.0) * P);
    } else {
        const double X = std::pow((1.0 - P * R) / (1.0 - P), 1.0 / shells);
        P1 = (X - 1.0) / (X - R);
    }
    return P1 < 2.0 / (1.0 + R + std::sqrt(1.0 + R * R));
}

}  // namespace

// The four-stream network without E1, its units given by area with four, one and one shells
// (the areas `design` gives E2-E4 at 90, 90 and 30 kW). Repiping E4 onto H1 and C2 at 200 kW
// would take C2 from 80 to 130 C while H1 falls from 170 to 103 C: P 0.56 at R 1.33, past the
// 0.5 that one shell can reach. That step is not kept, and says why; in every mode, every kept
// step's shell-and-tube units stay within their shells.
TEST(HostRetrofitShellCount, AStepNeedingMoreThanAUnitsGivenShellsCanDoIsNotKept) {
    ScratchFile network("retrofit-shells", "without-e1.csv",
                        "name,hot,cold,area,hot_order,cold_order,type,shells\n"
                        "E2,H2,C1,62.18929,1,3,shell-and-tube,4\nE3,H1,C1,9.479018,1,2,shell-and-tube,1\n"
                        "E4,H2,C1,5.826094,2,1,shell-and-tube,1\n");
    const std::string command = "retrofit " + ExamplePath("four-streams.csv") + " " + network.path + " --budget 1000000";
    const HostRun repipe = RunHost(command + " --mode repipe --steps 1 --json");
    ASSERT_EQ(repipe.exitCode, 0) << repipe.out;
    const std::size_t step = repipe.out.find("{\"step\":1,");
    ASSERT_NE(step, std::string::npos) << repipe.out;
    EXPECT_NE(repipe.out.find("\"kept\":false", step), std::string::npos) << repipe.out;
    EXPECT_NE(repipe.out.find("E4 needs more than its shells in series can do at these temperatures", step),
              std::string::npos)
        << repipe.out;

    int checked = 0;
    for (const char* mode : {"new-exchanger", "repipe", "resequence"}) {
        const HostRun run = RunHost(command + " --mode " + mode + " --steps 3 --json");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const std::string& out = run.out;
        for (std::size_t at = out.find("{\"step\":"); at != std::string::npos; at = out.find("{\"step\":", at + 1)) {
            const std::size_t end = std::min(out.find("{\"step\":", at + 1), out.size());
            if (out.compare(out.find("\"kept\":", at) + 7, 4, "true") != 0) continue;
            for (std::size_t u = out.find("{\"name\": ", at); u < end; u = out.find("{\"name\": ", u + 1)) {
                const std::size_t close = out.find('}', u);
                if (!(NumberAfter(out, "ft", u, close) < 1.0)) continue;
                ++checked;
                EXPECT_TRUE(ShellsReach(NumberAfter(out, "hot_in", u, close), NumberAfter(out, "hot_out", u, close),
                                        NumberAfter(out, "cold_in", u, close), NumberAfter(out, "cold_out", u, close),
                                        NumberAfter(out, "shells", u, close)))
                    << mode << "\n" << out.substr(u, close - u);
            }
        }
    }
    EXPECT_GT(checked, 0);
}

// Only a unit held to its shells is limited by them. The same network laid out countercurrent
// (the areas `design` gives the units there) has no such limit: repiping E4 onto H1 and C2
// restores most of E1's 240 kW and is kept. A new shell-and-tube unit, whose shells no table
// gives, takes as many as its duty needs: the new H1 -> C2 unit of the shell-and-tube network
// runs 181.36 kW on four shells at F 0.89 and is kept, as it does when the same network is given
// by the duties those areas carry (90, 90 and 30 kW).
TEST(HostRetrofitShellCount, UnitsWithoutGivenShellsAreNotLimitedByThem) {
    const std::string streams = ExamplePath("four-streams.csv");
    ScratchFile countercurrent("retrofit-shells", "countercurrent-without-e1.csv",
                               "name,hot,cold,area,hot_order,cold_order,type\n"
                               "E2,H2,C1,54.977444,1,3,countercurrent\nE3,H1,C1,9.249041,1,2,countercurrent\n"
                               "E4,H2,C1,5.718611,2,1,countercurrent\n");
    const HostRun repipe =
        RunHost("retrofit " + streams + " " + countercurrent.path + " --mode repipe --budget 1000000 --steps 1 --json");
    ASSERT_EQ(repipe.exitCode, 0) << repipe.out;
    const std::size_t step = repipe.out.find("{\"step\":1,");
    ASSERT_NE(step, std::string::npos) << repipe.out;
    EXPECT_NE(repipe.out.find("\"result\":31,", step), std::string::npos) << repipe.out;
    EXPECT_NE(repipe.out.find("\"kept\":true", step), std::string::npos) << repipe.out;
    EXPECT_NE(repipe.out.find("\"exchanger\":\"E4\",\"hot\":\"H1\",\"cold\":\"C2\"", step), std::string::npos)
        << repipe.out;

    ScratchFile shells("retrofit-shells", "shells-without-e1.csv",
                       "name,hot,cold,area,hot_order,cold_order,type,shells\n"
                       "E2,H2,C1,62.18929,1,3,shell-and-tube,4\nE3,H1,C1,9.479018,1,2,shell-and-tube,1\n"
                       "E4,H2,C1,5.826094,2,1,shell-and-tube,1\n");
    const HostRun added =
        RunHost("retrofit " + streams + " " + shells.path + " --budget 1000000 --steps 2 --json");
    ASSERT_EQ(added.exitCode, 0) << added.out;
    const std::size_t second = added.out.find("{\"step\":2,");
    ASSERT_NE(second, std::string::npos) << added.out;
    EXPECT_NE(added.out.find("\"kept\":true", second), std::string::npos) << added.out.substr(second);
    const std::size_t unit = added.out.find("{\"name\": \"E-1100\"", second);
    ASSERT_NE(unit, std::string::npos) << added.out.substr(second);
    const std::size_t close = added.out.find('}', unit);
    EXPECT_EQ(NumberAfter(added.out, "shells", unit, close), 4.0) << added.out.substr(unit, close - unit);
    EXPECT_TRUE(ShellsReach(NumberAfter(added.out, "hot_in", unit, close), NumberAfter(added.out, "hot_out", unit, close),
                            NumberAfter(added.out, "cold_in", unit, close), NumberAfter(added.out, "cold_out", unit, close),
                            4.0))
        << added.out.substr(unit, close - unit);
}

// A plant unit that the base network already runs past its shells is the plant as it stands, as
// an exchanger already below DTmin is: E1 given one shell for 200 kW (H1 170 -> 103.33 C against
// C2 80 -> 130 C, P 0.56 at R 1.33) does not keep a step that leaves it so from being kept.
TEST(HostRetrofitShellCount, AUnitTheBaseAlreadyRunsPastItsShellsDoesNotBlockAStep) {
    ScratchFile network("retrofit-shells", "past-its-shells.csv",
                        "name,hot,cold,duty,hot_order,cold_order,type,shells\n"
                        "E1,H1,C2,200,1,1,shell-and-tube,1\nE3,H1,C1,90,2,2,countercurrent,\n"
                        "E4,H2,C1,30,2,1,countercurrent,\nE2,H2,C1,90,1,3,countercurrent,\n");
    const HostRun run = RunHost("retrofit " + ExamplePath("four-streams.csv") + " " + network.path +
                                " --budget 1000000 --steps 1 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t step = run.out.find("{\"step\":1,");
    ASSERT_NE(step, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"result\":7,", step), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"kept\":true", step), std::string::npos) << run.out;
    const std::size_t unit = run.out.find("{\"name\": \"E1\"", step);
    ASSERT_NE(unit, std::string::npos) << run.out;
    const std::size_t close = run.out.find('}', unit);
    EXPECT_FALSE(ShellsReach(NumberAfter(run.out, "hot_in", unit, close), NumberAfter(run.out, "hot_out", unit, close),
                             NumberAfter(run.out, "cold_in", unit, close), NumberAfter(run.out, "cold_out", unit, close),
                             NumberAfter(run.out, "shells", unit, close)))
        << run.out.substr(unit, close - unit);
}
