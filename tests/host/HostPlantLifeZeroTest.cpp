// A plant life of 0 years, which the economics form takes, leaves no capital to annualise: the
// total annual cost (and a design's annualised capital) is then not available with its reason,
// never the operating cost alone; 0 operating hours (no operation) still give a total.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The four-stream table, or its network, saved as a case after the economics form took `values`
// (one `set ADDRESS VALUE` line each).
struct EconomicsCase {
    ScratchFile base, saved;
    EconomicsCase(const std::string& stem, const std::string& sets, bool withNetwork)
        : base("plantlife", stem + "-base.kcase", "", false), saved("plantlife", stem + ".kcase", "", false) {
        std::string input = ExamplePath("four-streams.csv");
        if (withNetwork) {
            const HostRun design = RunHost("design " + input + " " + ExamplePath("four-streams-network.csv") +
                                           " --save " + base.path);
            EXPECT_EQ(0, design.exitCode) << design.out;
            input = base.path;
        }
        const HostRun view = RunViewScript(input, sets, " --save " + saved.path);
        EXPECT_EQ(0, view.exitCode) << view.out;
    }
};

const char* kLifeZero = "set ExtraData.301.0 0\n";
const char* kHoursZero = "set ExtraData.302.0 0\n";

// A job's report without a plant life: the lines it prints and the JSON entries it writes.
struct ReportWithoutLife {
    const char* job;
    bool withNetwork;
    std::vector<const char*> text, json;
};

class HostPlantLifeZeroReport : public ::testing::TestWithParam<ReportWithoutLife> {};

TEST_P(HostPlantLifeZeroReport, GivesNoAnnualisedCapitalNorTotal) {
    const ReportWithoutLife& r = GetParam();
    EconomicsCase c(r.job, kLifeZero, r.withNetwork);
    const HostRun text = RunHost(std::string(r.job) + " " + c.saved.path);
    ASSERT_EQ(0, text.exitCode) << text.out;
    for (const char* line : r.text) EXPECT_TRUE(has(text.out, line)) << text.out;
    const HostRun json = RunHost(std::string(r.job) + " " + c.saved.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    for (const char* entry : r.json) EXPECT_TRUE(has(json.out, entry)) << json.out;
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, HostPlantLifeZeroReport,
    ::testing::Values(ReportWithoutLife{"targets", false,
                                        {"  operating cost            1978.80 per year\n",
                                         "  total annual cost         not available (plant life 0)\n"},
                                        {"\"total_annual_cost\": null", "\"operating_cost\": 1978.8"}},
                      ReportWithoutLife{"design", true,
                                        {"  annualized capital cost   not available (plant life 0)\n",
                                         "  total annual cost         not available (plant life 0)\n",
                                         "  utility cost              1978.80 per year\n"},
                                        {"\"annualized_capital_cost\": null", "\"total_annual_cost\": null"}}),
    [](const ::testing::TestParamInfo<ReportWithoutLife>& info) { return std::string(info.param.job); });

TEST(HostPlantLifeZero, SupertargetFindsNoOptimum) {
    EconomicsCase c("super", kLifeZero, false);
    const HostRun text = RunHost("supertarget " + c.saved.path + " --from 8 --to 12");
    EXPECT_TRUE(has(text.out, "optimum DTmin: none\n")) << text.out;
    EXPECT_TRUE(has(text.out, "1978.80         n/a\n")) << text.out;
    EXPECT_TRUE(has(text.out, "Note: total annual cost not available (plant life 0)")) << text.out;
    EXPECT_FALSE(has(text.out, "least total annual cost")) << text.out;
    const HostRun json = RunHost("supertarget " + c.saved.path + " --from 8 --to 12 --json");
    EXPECT_FALSE(has(json.out, "\"total_annual_cost\": 1")) << json.out;
    EXPECT_TRUE(has(json.out, "\"optimum\": null")) << json.out;
    // The scenario viewer's optimum range says the same: no point has a total to compare.
    const HostRun view = RunViewScript(ExamplePath("four-streams.csv"),
                                       std::string("set exp_plant_life.300 0\nopen ChiSuperTargetPlot.200.2\n"
                                                   "cmd Calculate\nopen MyOwnerObject\ntext ExtraData.951\n"));
    ASSERT_EQ(0, view.exitCode) << view.out;
    EXPECT_TRUE(has(view.out, ": text ExtraData.951\n  text ---\n")) << view.out;
}

// The optimiser refuses to lower a total annual cost it has not got, by either objective that
// lowers it; by area it runs, and prints no total.
struct OptimiseRun {
    const char* name;
    const char* options;
    int exitCode;
    const char* printed;
};

class HostPlantLifeZeroOptimise : public ::testing::TestWithParam<OptimiseRun> {};

TEST_P(HostPlantLifeZeroOptimise, LowersNoMissingTotal) {
    const OptimiseRun& o = GetParam();
    EconomicsCase c(std::string("optimise-") + o.name, kLifeZero, true);
    const HostRun run = RunHost("optimise " + c.saved.path + " " + o.options);
    EXPECT_EQ(o.exitCode, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, o.printed)) << run.out;
    EXPECT_FALSE(has(run.out, "total annual cost 1978.8")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    ByObjective, HostPlantLifeZeroOptimise,
    ::testing::Values(OptimiseRun{"cost", "--objective cost", 1,
                                  "--objective cost needs the total annual cost, which is not available (plant life 0)"},
                      OptimiseRun{"equations", "--equation-based", 1,
                                  "the equation-based optimiser lowers the total annual cost, which is not available "
                                  "(plant life 0)"},
                      OptimiseRun{"area", "--objective area", 0,
                                  "  before: area 261.952 m2, total annual cost not available (plant life 0)\n"}),
    [](const ::testing::TestParamInfo<OptimiseRun>& info) { return std::string(info.param.name); });

// The scenario viewer shows the total annual cost target and each design's total empty, and the
// design's total against the target with them; the operating cost stays.
TEST(HostPlantLifeZero, ViewsShowNoTotalAnnualCost) {
    EconomicsCase c("views", kLifeZero, true);
    const HostRun run = RunViewScript(c.saved.path, "get CostPerTime.651\nget CostPerTime.303\nget CostPerTime.608.0\n"
                                                    "get Percent.201.0\nget CostPerTime.657\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "1: get CostPerTime.651\n  value empty Cost/year\n")) << run.out;
    EXPECT_TRUE(has(run.out, "2: get CostPerTime.303\n  value empty Cost/year\n")) << run.out;
    EXPECT_TRUE(has(run.out, "3: get CostPerTime.608.0\n  value empty Cost/year\n")) << run.out;
    EXPECT_TRUE(has(run.out, "4: get Percent.201.0\n  value empty %\n")) << run.out;
    EXPECT_TRUE(has(run.out, "5: get CostPerTime.657\n  value 1978.800745 Cost/year\n")) << run.out;
}

// The capital/utility trade-off weighs a unit's annualised capital against utility cost: without a
// plant life it places nothing rather than move load for the operating cost alone (which put
// 0.086 kW on LP steam, a unit and shell of its own at no cost), and the targets say why.
TEST(HostPlantLifeZero, TradeoffWeighsNothing) {
    ScratchFile table("plantlife", "tradeoff.csv",
                      "name,supply,target,cp,h,kind\nH0,206.8,177.4,2.66,0.505,process\n"
                      "C1,69.2,226.6,0.86,0.689,process\nH2,171.7,100.2,4.37,0.818,process\n"
                      "H3,66.1,42.2,2.97,0.567,process\nHP Steam,,,,,utility\nMP Steam,,,,,utility\n"
                      "LP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile saved("plantlife", "tradeoff.kcase", "", false);
    const HostRun view = RunViewScript(table.path, std::string(kLifeZero) + "set TargetMethod.450 2\nget HeatFlow.450.[]\n",
                                       " --save " + saved.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    EXPECT_TRUE(has(view.out, "3: get HeatFlow.450.[]\n  value 25.628 0 0 351.906 kW\n")) << view.out;
    const HostRun targets = RunHost("targets " + saved.path);
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    EXPECT_TRUE(has(targets.out, "Note: area, units, shells and costs are not available: the capital/utility "
                                 "trade-off has no usable economic data (plant life 0)\n"))
        << targets.out;
}

// Over a long life the capital-recovery factor i (1+i)^n / ((1+i)^n - 1) reaches the rate of return:
// at 10 % over 10,000 years (where (1+i)^n overflows) the capital costs a tenth of itself a year,
// 215554.22 x 0.1 + 1978.80 in the targets and 149587.32 x 0.1 for the design's units, as at 7,000.
class HostPlantLifeLong : public ::testing::TestWithParam<const char*> {};

TEST_P(HostPlantLifeLong, RecoversTheRateOfReturn) {
    EconomicsCase c(std::string("long-") + GetParam(), std::string("set ExtraData.301.0 ") + GetParam() + "\n", true);
    const HostRun targets = RunHost("targets " + c.saved.path);
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    EXPECT_TRUE(has(targets.out, "  total annual cost         23534.22 per year\n")) << targets.out;
    const HostRun design = RunHost("design " + c.saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    EXPECT_TRUE(has(design.out, "  annualized capital cost   14958.73 per year\n")) << design.out;
}

INSTANTIATE_TEST_SUITE_P(Years, HostPlantLifeLong, ::testing::Values("7000", "10000", "1e300"));

// No operation is a plant that stands idle: no operating cost, and its capital still recovered.
TEST(HostPlantLifeZero, ZeroHoursKeepATotal) {
    EconomicsCase c("hours", kHoursZero, true);
    const HostRun targets = RunHost("targets " + c.saved.path);
    ASSERT_EQ(0, targets.exitCode) << targets.out;
    EXPECT_TRUE(has(targets.out, "  operating cost            0.00 per year\n")) << targets.out;
    EXPECT_FALSE(has(targets.out, "not available")) << targets.out;
    const HostRun design = RunHost("design " + c.saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    EXPECT_TRUE(has(design.out, "  annualized capital cost   39460.76 per year\n")) << design.out;
    EXPECT_TRUE(has(design.out, "  total annual cost         39460.76 per year\n")) << design.out;
}

// Every readout of a total annual cost or of an annualised capital, in every view that shows one,
// on the four streams and their network: empty at a plant life of 0 (typed as the economics form
// takes it), and at the default life of 5 years at 10 % the capital times the capital-recovery
// factor i (1+i)^n / ((1+i)^n - 1), plus the operating cost for a total. The capital and operating
// figures are those the views show beside them.
struct AnnualisedCases {
    ScratchFile network{"plantlife", "readouts-network.kcase", "", false};
    ScratchFile networkLifeZero{"plantlife", "readouts-network0.kcase", "", false};
    ScratchFile range{"plantlife", "readouts-range.kcase", "", false};
    ScratchFile rangeLifeZeroBase{"plantlife", "readouts-range0-base.kcase", "", false};
    ScratchFile rangeLifeZero{"plantlife", "readouts-range0.kcase", "", false};
    bool made = false;
    AnnualisedCases() {
        const std::string lifeZero = "set exp_plant_life.300 0\n";
        made = RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                       " --save " + network.path).exitCode == 0 &&
               RunViewScript(network.path, lifeZero, " --save " + networkLifeZero.path).exitCode == 0 &&
               RunHost("supertarget " + ExamplePath("four-streams.csv") + " --from 8 --to 12 --step 2 --save " + range.path)
                       .exitCode == 0 &&
               RunViewScript(ExamplePath("four-streams.csv"), lifeZero, " --save " + rangeLifeZeroBase.path).exitCode == 0 &&
               RunHost("supertarget " + rangeLifeZeroBase.path + " --from 8 --to 12 --step 2 --save " + rangeLifeZero.path)
                       .exitCode == 0;
    }
};

const AnnualisedCases& annualisedCases() {
    static const AnnualisedCases cases;
    return cases;
}

const double kRecovery = 0.1 * std::pow(1.1, 5) / (std::pow(1.1, 5) - 1.0);  // 0.2637974808
const double kOperating = 1978.800745;                                        // the utilities' cost a year
const double kTargetTotal = 215554.2227 * kRecovery + kOperating;             // the capital target's
const double kNetworkCapital = 149587.3238 * kRecovery;                        // the network's units'
const double kNetworkTotal = kNetworkCapital + kOperating;

enum class Case { Network, Range };

struct AnnualisedReadout {
    const char* name;
    Case input;
    const char* open;     // --open, or empty for the scenario
    const char* reach;    // script lines that reach the view
    const char* read;     // "get A" or "text A"
    std::vector<double> atFiveYears;  // the numbers read (a text reads the whole number)
};
void PrintTo(const AnnualisedReadout& r, std::ostream* out) { *out << r.name; }

// The words after "N: READ\n  " up to the line's end.
std::string answerOf(const std::string& out, const std::string& read) {
    const std::string step = ": " + read + "\n  ";
    const std::size_t at = out.find(step);
    if (at == std::string::npos) return "(not read)";
    const std::size_t from = at + step.size();
    return out.substr(from, out.find('\n', from) - from);
}

class HostPlantLifeReadouts : public ::testing::TestWithParam<AnnualisedReadout> {};

TEST_P(HostPlantLifeReadouts, EmptyWithoutALifeAndAnnualisedWithOne) {
    const AnnualisedReadout& r = GetParam();
    const AnnualisedCases& cases = annualisedCases();
    ASSERT_TRUE(cases.made);
    const bool text = std::string(r.read).rfind("text ", 0) == 0;
    const std::string open = *r.open ? std::string(" --open ") + r.open : std::string();
    for (const bool lifeZero : {true, false}) {
        const std::string& input = r.input == Case::Network ? (lifeZero ? cases.networkLifeZero.path : cases.network.path)
                                                            : (lifeZero ? cases.rangeLifeZero.path : cases.range.path);
        const HostRun run = RunViewScript(input, std::string(r.reach) + r.read + "\n", open);
        ASSERT_EQ(0, run.exitCode) << run.out;
        const std::string answer = answerOf(run.out, r.read);
        std::istringstream words(answer.substr(answer.find(' ') + 1));
        std::vector<std::string> cells;
        for (std::string w; words >> w;) cells.push_back(w);
        if (text) {
            ASSERT_EQ(lifeZero ? "text " : "text " + std::to_string(std::llround(r.atFiveYears[0])), answer) << lifeZero;
            continue;
        }
        ASSERT_GE(cells.size(), r.atFiveYears.size()) << answer;
        for (std::size_t k = 0; k < r.atFiveYears.size(); ++k) {
            if (lifeZero) {
                EXPECT_EQ("empty", cells[k]) << k << ": " << answer;
            } else {
                const double shown = std::strtod(cells[k].c_str(), nullptr);
                EXPECT_NEAR(r.atFiveYears[k], shown, 1e-8 * r.atFiveYears[k]) << k << ": " << answer;
            }
        }
    }
}

const char* const kExchangerView = "set Index.414 1\nset Index.415 1\nopen HeatExchangerViewObject.400\n";

INSTANTIATE_TEST_SUITE_P(
    Views, HostPlantLifeReadouts,
    ::testing::Values(
        AnnualisedReadout{"TargetText", Case::Network, "", "", "text CostPerTime.751", {kTargetTotal}},
        AnnualisedReadout{"TargetTable", Case::Network, "", "", "get ExtraData.265.0", {kTargetTotal}},
        AnnualisedReadout{"TargetFigure", Case::Network, "", "", "get CostPerTime.651", {kTargetTotal}},
        AnnualisedReadout{"TargetResult", Case::Network, "", "", "get CostPerTime.303", {kTargetTotal}},
        AnnualisedReadout{"TargetBesideBaseCase", Case::Network, "", "", "get CostPerTime.609.0", {kTargetTotal}},
        AnnualisedReadout{"DesignList", Case::Network, "", "", "get CostPerTime.608.0", {kNetworkTotal}},
        AnnualisedReadout{"DesignAgainstTarget", Case::Network, "", "", "get Percent.201.0",
                          {100.0 * kNetworkTotal / kTargetTotal}},
        AnnualisedReadout{"DesignViewerTotal", Case::Network, "design", "", "get CostPerTime.751", {kNetworkTotal}},
        AnnualisedReadout{"DesignViewerCapital", Case::Network, "design", "", "get CostPerTime.757", {kNetworkCapital}},
        AnnualisedReadout{"ExchangerCapital", Case::Network, "design", kExchangerView, "get CostPerTime.701",
                          {13227.91744 * kRecovery}},
        AnnualisedReadout{"RangePlot", Case::Range, "", "open ChiSuperTargetPlot.200.2\n", "get CostPerTime.334.[]",
                          {236032.8993 * kRecovery + 1208.940633, kTargetTotal, 203834.2995 * kRecovery + 2748.660857}}),
    [](const ::testing::TestParamInfo<AnnualisedReadout>& info) { return std::string(info.param.name); });

}  // namespace
