// An extracted plant keeps what its document says. Seeded random documents, each a few process
// chains heated by heaters or cooled by coolers (a hot and a cold chain sometimes exchanging heat
// first in an exchanger), every value consistent (constant specific heat, linear property tables,
// duties equal to the enthalpy change): each chain's stream keeps its inlet and outlet temperature
// and its duty, the extracted network calculates with 0 degrees of freedom, and a refresh from the
// same document gives the same streams.
#include "HostProcess.h"
#include "SamePlant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace sameplant;

std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", v);
    return buffer;
}

// A material stream of a chain: its temperature and the enthalpy flow it carries (kW from the
// chain's feed).
std::string Material(const std::string& name, double t, double heatFlow, double massFlow, const std::string& to) {
    std::string out = "  <item name=\"" + name + "\" class=\"ppMaterialStream\">\n    <num name=\"Temperature\">" +
                      Number(t) + "</num>\n    <num name=\"MassFlow\">" + Number(massFlow) +
                      "</num>\n    <num name=\"HeatFlow\">" + Number(heatFlow) +
                      "</num>\n    <num name=\"MolarEnthalpy\">" + Number(-30000 + heatFlow) +
                      "</num>\n    <list name=\"CompMolarFraction\">0.4 0.6</list>\n";
    if (!to.empty()) out += "    <link to=\"" + to + "\"/>\n";
    return out + "  </item>\n";
}

// The property table of `stream` between two temperatures: linear, the mass enthalpy rising by
// `perKg` from the colder end.
std::string Table(const std::string& stream, double from, double to, double perKg, double h0) {
    std::string t, h, vf;
    for (int i = 0; i <= 4; ++i) {
        t += (i ? " " : "") + Number(from + (to - from) * i / 4);
        h += (i ? " " : "") + Number(h0 + perKg * i / 4);
        vf += i ? " 0" : "0";
    }
    return "      <group name=\"" + stream + "\">\n        <list name=\"prpTemperature\">" + t +
           "</list>\n        <list name=\"prpMassEnthalpy\">" + h + "</list>\n        <list name=\"prpMassVapourFraction\">" +
           vf + "</list>\n      </group>\n";
}

struct Chain {
    std::string first, last;  // the material streams at its ends
    bool hot = false;
    double supply = 0, target = 0, duty = 0;
};

struct Document {
    std::string text;
    std::vector<Chain> chains;
};

// Two to four chains; a chain of one to three heaters (cold) or coolers (hot) in series; with an
// exchanger, the first hot and the first cold chain meet in it first, each with a utility unit
// after it.
Document Generate(unsigned seed) {
    std::mt19937 rng(seed);
    auto uniform = [&rng](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    auto whole = [&rng](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    Document d;
    std::string items;
    const int chains = whole(2, 4);
    const bool exchanger = whole(0, 1) == 1;
    int hotChain = -1, coldChain = -1;
    struct Plan {
        bool hot;
        double m, c, t0;
        std::vector<double> temperatures;  // after each unit
    };
    std::vector<Plan> plans;
    for (int k = 0; k < chains; ++k) {
        Plan p;
        p.hot = k == 0 ? true : k == 1 ? false : whole(0, 1) == 1;
        p.m = std::round(uniform(0.5, 4) * 100) / 100;
        p.c = std::round(uniform(1.5, 4.5) * 100) / 100;
        p.t0 = std::round(p.hot ? uniform(150, 260) : uniform(20, 90));
        double t = p.t0;
        const int units = whole(1, 3) + (exchanger && k < 2 ? 1 : 0);
        for (int u = 0; u < units; ++u) {
            t += std::round(p.hot ? -uniform(10, 40) : uniform(10, 40));
            p.temperatures.push_back(t);
        }
        plans.push_back(p);
        if (p.hot && hotChain < 0) hotChain = k;
        if (!p.hot && coldChain < 0) coldChain = k;
    }
    // The exchanger's duty is the smaller of the two first steps, each first step then set to it.
    double xDuty = 0;
    if (exchanger) {
        Plan& h = plans[hotChain];
        Plan& c = plans[coldChain];
        // The cold side leaves colder than the hot side enters, and enters colder than the hot leaves.
        const double hotStep = h.m * h.c * (h.t0 - h.temperatures[0]);
        const double coldStep = c.m * c.c * (c.temperatures[0] - c.t0);
        xDuty = std::min(hotStep, coldStep);
        const double hotOut = h.t0 - xDuty / (h.m * h.c), coldOut = c.t0 + xDuty / (c.m * c.c);
        h.temperatures[0] = hotOut;
        c.temperatures[0] = coldOut;
    }
    for (int k = 0; k < chains; ++k) {
        const Plan& p = plans[k];
        const std::string prefix = std::string(p.hot ? "H" : "K") + std::to_string(k);
        Chain chain{prefix + "_0", prefix + "_" + std::to_string(p.temperatures.size()), p.hot, p.t0,
                    p.temperatures.back(), p.m * p.c * std::fabs(p.temperatures.back() - p.t0)};
        d.chains.push_back(chain);
        double t = p.t0, flow = 0;
        for (std::size_t u = 0; u < p.temperatures.size(); ++u) {
            const std::string in = prefix + "_" + std::to_string(u), out = prefix + "_" + std::to_string(u + 1);
            const bool inExchanger = exchanger && u == 0 && (k == hotChain || k == coldChain);
            const std::string unit = inExchanger ? "X1" : prefix + "U" + std::to_string(u);
            items += Material(in, t, flow, p.m, unit);
            const double next = p.temperatures[u];
            const double duty = p.m * p.c * std::fabs(next - t);
            if (!inExchanger) {
                const double perKg = duty / p.m;
                const double h0 = flow / p.m;
                items += "  <item name=\"" + unit + "\" class=\"" + (p.hot ? "htCooler" : "htHeater") +
                         "\">\n    <num name=\"Duty\">" + Number(duty) + "</num>\n    <group name=\"PropertyTable\">\n" +
                         (p.hot ? Table(in, next, t, perKg, h0 - perKg) : Table(in, t, next, perKg, h0)) +
                         "    </group>\n    <link to=\"" + out + "\"/>\n  </item>\n";
            }
            flow += p.hot ? -duty : duty;
            t = next;
            if (u + 1 == p.temperatures.size()) items += Material(out, t, flow, p.m, "");
        }
    }
    if (exchanger) {
        const Plan& h = plans[hotChain];
        const Plan& c = plans[coldChain];
        const std::string hp = "H" + std::to_string(hotChain), cp = "K" + std::to_string(coldChain);
        items += "  <item name=\"X1\" class=\"htHeatExchanger\">\n    <num name=\"Duty\">" + Number(xDuty) +
                 "</num>\n    <num name=\"OverallU\">0.45</num>\n    <num name=\"NShellsSeries\">1</num>\n"
                 "    <text name=\"TubeSideFeed\">" + cp + "_0</text>\n    <text name=\"TubeSideProduct\">" + cp +
                 "_1</text>\n    <text name=\"ShellSideFeed\">" + hp + "_0</text>\n    <text name=\"ShellSideProduct\">" + hp +
                 "_1</text>\n    <group name=\"PropertyTable\">\n" +
                 Table(hp + "_0", h.temperatures[0], h.t0, xDuty / h.m, -xDuty / h.m) +
                 Table(cp + "_0", c.t0, c.temperatures[0], xDuty / c.m, 0) + "    </group>\n    <link to=\"" + hp +
                 "_1\"/>\n    <link to=\"" + cp + "_1\"/>\n  </item>\n";
    }
    d.text = "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"Generated " + std::to_string(seed) + "\">\n" +
             items + "</simcase>\n";
    return d;
}

class HostSamePlantExtraction : public ::testing::TestWithParam<unsigned> {};

TEST_P(HostSamePlantExtraction, KeepsTheDocumentsStreamsAndReproducesOnRefresh) {
    const Document d = Generate(GetParam());
    ScratchFile doc("sameextract", std::to_string(GetParam()) + ".vmc", d.text);
    ScratchFile saved("sameextract", std::to_string(GetParam()) + ".case", "", false);
    const HostRun first = RunHost("extract " + doc.path + " --json --save " + saved.path);
    ASSERT_EQ(0, first.exitCode) << first.out << d.text;
    Json json;
    ASSERT_TRUE(JsonReader(first.out.substr(first.out.find('{'))).Read(json)) << first.out;
    const Json* streams = json.Field("streams");
    ASSERT_TRUE(streams) << first.out;
    for (const Chain& c : d.chains) {
        const std::string name = c.first + "_To_" + c.last;
        const Json* found = nullptr;
        for (const Json& s : streams->items)
            if (s.TextOf("name") == name) found = &s;
        ASSERT_TRUE(found) << name << " is not extracted\n" << first.out << d.text;
        EXPECT_NEAR(c.supply, found->Field("supply")->number, 1e-6 * std::fabs(c.supply) + 1e-6) << name << d.text;
        EXPECT_NEAR(c.target, found->Field("target")->number, 1e-6 * std::fabs(c.target) + 1e-6) << name << d.text;
        EXPECT_NEAR(c.duty, found->Field("load")->number, 1e-6 * c.duty + 1e-6) << name << d.text;
    }
    const HostRun design = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(0, design.exitCode) << design.out;
    EXPECT_EQ(0, JsonNumber(design.out, "degrees_of_freedom")) << design.out << d.text;
    EXPECT_NE(std::string::npos, design.out.find("\"unsatisfied_streams\": []")) << design.out << d.text;
    const HostRun refreshed = RunHost("extract " + doc.path + " --refresh " + doc.path + " --json");
    ASSERT_EQ(0, refreshed.exitCode) << refreshed.out << d.text;
    Json again;
    ASSERT_TRUE(JsonReader(refreshed.out.substr(refreshed.out.find('{'))).Read(again)) << refreshed.out;
    EXPECT_EQ("", Differences(Flatten(*json.Field("streams")), Flatten(*again.Field("streams")), 1e-9,
                              [](const std::string&) { return true; }))
        << refreshed.out << d.text;
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostSamePlantExtraction, ::testing::Range(1u, 101u));

}  // namespace
