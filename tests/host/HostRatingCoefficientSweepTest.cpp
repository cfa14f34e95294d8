// The locked operated example (examples/operated-network.csv) rated at the heat-transfer
// coefficient a cleaning event gives E101: its duty follows effectiveness-NTU from a fouled
// coefficient up to one at which Cooler2 has nothing left to do. Past that, H2 would leave E101
// below its target and Cooler2 would have to heat it: no operating point of the plant, so the run
// is refused and E101 keeps its locked duty.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace {

// The first number of the value line that answers script step `step`.
double valueOf(const std::string& out, int step) {
    const std::size_t at = ("\n" + out).find("\n" + std::to_string(step) + ": get ");
    if (at == std::string::npos) return NAN;
    const std::size_t line = out.find("\n  value ", at);
    if (line == std::string::npos) return NAN;
    std::istringstream in(out.substr(line + 9));
    double v = NAN;
    in >> v;
    return v;
}

// E101 takes H2 (1.5 kW/C) from 150 C against C1 (2 kW/C) from 20 C, countercurrent. It was laid
// out for 150 kW at U = 0.1 between end differences of 55 and 30 K, so its area is
// 150 / (0.1 x 25 / ln(55/30)). Cr = 0.75, NTU = U A / 1.5 and e = (1 - exp(-NTU (1 - Cr))) /
// (1 - Cr exp(-NTU (1 - Cr))); the duty e x 1.5 x 130 rises towards 195 kW as U grows.
double EffectivenessNTUDuty(double u) {
    const double area = 150.0 / (0.1 * 25.0 / std::log(55.0 / 30.0));
    const double cmin = 1.5, cr = 1.5 / 2.0, ntu = u * area / cmin;
    const double fall = std::exp(-ntu * (1.0 - cr));
    return (1.0 - fall) / (1.0 - cr * fall) * cmin * (150.0 - 20.0);
}

class RatedDuty : public testing::TestWithParam<double> {};

TEST_P(RatedDuty, FollowsEffectivenessNTU) {
    const double u = GetParam();
    std::ostringstream value;
    value << u;
    const double expected = EffectivenessNTUDuty(u);
    // Cooler2 takes H2's last 30 kW at the locked 150 kW: a duty past 180 kW leaves it heating.
    const bool coolerHeats = expected > 180.0;
    OperatedCase c;
    const HostRun run = c.View("cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 0\nsettext HXSelection.389 E101\n"
                               "cmd AddEventToSchedule\nset ExtraData.358 " +
                               value.str() + "\n" + (coolerHeats ? "expect WhatIfRunRefused\n" : "") +
                               "cmd ExecuteSchedule\nget HeatFlow.304.1\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const double duty = valueOf(run.out, coolerHeats ? 9 : 8);
    if (coolerHeats) {
        EXPECT_NE(run.out.find("Cooler2 would heat its stream"), std::string::npos) << run.out;
        EXPECT_NEAR(150.0, duty, 1e-6) << run.out;
        return;
    }
    EXPECT_NEAR(expected, duty, 1e-6 * expected) << run.out;
    EXPECT_LE(duty, 180.0 + 1e-6) << run.out;
}

INSTANTIATE_TEST_SUITE_P(OperatedExample, RatedDuty, testing::Values(0.05, 0.1, 0.2, 0.25, 0.3, 1.0, 1e5));

}  // namespace
