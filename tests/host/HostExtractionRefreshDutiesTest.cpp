// kestrin-host extract CASE --refresh SOLVED on the stripping column: a refresh gives what a fresh
// extraction of the solved document gives, whichever utilities the case brings and whichever
// values moved (a side duty's stage temperatures and heat flow among them); a stream it cannot
// refresh (live steam) is named in the report's warnings.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

std::string example(const std::string& name) { return std::string(KESTRIN_EXAMPLES) + "/extraction/" + name; }

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The output without its first lines naming the case file and without the report (its warnings
// name what a refresh left alone); the rest must agree to the byte.
std::string afterCaseName(const std::string& json) {
    const std::size_t at = json.find("\"streams\"");
    std::string rest = at == std::string::npos ? json : json.substr(at);
    const std::size_t warnings = rest.find("\"warnings\": ");
    const std::size_t next = rest.find("\"targets\": ", warnings);
    if (warnings != std::string::npos && next != std::string::npos) rest.erase(warnings, next - warnings);
    return rest;
}

// The stripping column solved again: the side draw's stage 110 C, the stage below it 115 C, and
// 300 kW taken out.
std::string sideDutyMoved() {
    std::string text = FileContents(example("stripping-column.vmc"));
    text = replaced(text, "<num name=\"Stage5\" units=\"C\">96</num>", "<num name=\"Stage5\" units=\"C\">110</num>");
    text = replaced(text, "<num name=\"Stage6\" units=\"C\">100</num>", "<num name=\"Stage6\" units=\"C\">115</num>");
    return replaced(text, "<num name=\"HeatFlow\" units=\"kW\">-250</num>", "<num name=\"HeatFlow\" units=\"kW\">-300</num>");
}

struct RefreshCase {
    const char* name;
    const char* settings;  // settings file content ("" for none)
    bool moved;            // refreshed from the column solved again, else from the same document
};

void PrintTo(const RefreshCase& c, std::ostream* out) { *out << c.name; }

class RefreshMatchesFreshExtraction : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshMatchesFreshExtraction, StreamsUnitsAndTotalsAgree) {
    const RefreshCase& c = GetParam();
    ScratchFile settings("refresh-duties", std::string(c.name) + ".settings", c.settings);
    ScratchFile solved("refresh-duties", std::string(c.name) + ".vmc",
                       c.moved ? sideDutyMoved() : FileContents(example("stripping-column.vmc")));
    const std::string options = std::string(*c.settings ? " --settings " + settings.path : "") + " --json";
    HostRun fresh = RunHost("extract " + solved.path + options);
    HostRun refreshed = RunHost("extract " + example("stripping-column.vmc") + options + " --refresh " + solved.path);
    ASSERT_EQ(fresh.exitCode, 0) << fresh.out;
    ASSERT_EQ(refreshed.exitCode, 0) << refreshed.out;
    EXPECT_EQ(afterCaseName(refreshed.out), afterCaseName(fresh.out));
    // Live steam is not refreshed from the case: the report names it, and nothing else.
    const bool liveSteam = has(c.settings, "DoIExtractLiveSteam");
    EXPECT_EQ(has(refreshed.out, "\"text\": \"Stream STEAM keeps its earlier values: nothing in the case is recorded "
                                 "as making it (live steam, or a stream added by hand).\"}]"),
              liveSteam)
        << refreshed.out;
    if (!liveSteam) {
        EXPECT_TRUE(has(refreshed.out, "\"warnings\": []")) << refreshed.out;
    }
    // Every unit calculated, the totals counting all four.
    EXPECT_FALSE(has(refreshed.out, "\"status\": \"incomplete\"")) << refreshed.out;
    EXPECT_TRUE(has(refreshed.out, "\"calculation_status\": \"calculated\"")) << refreshed.out;
    EXPECT_FALSE(has(refreshed.out, "\"area_total\": null")) << refreshed.out;
    if (c.moved) {
        // Heat leaves stage 5 (110 C) from the vapour of stage 6 below it (115 C).
        EXPECT_TRUE(has(refreshed.out, "{\"name\": \"QSIDE\", \"side\": \"hot\", \"supply\": 115, \"target\": 110, "
                                       "\"load\": 300"))
            << refreshed.out;
        EXPECT_TRUE(has(refreshed.out, "\"name\": \"QSIDE_Exchanger\", \"kind\": \"cooler\", \"hot\": \"QSIDE\", "
                                       "\"cold\": \"Air\", \"duty\": 300, \"hot_in\": 115, \"hot_out\": 110"))
            << refreshed.out;
    } else if (has(c.settings, "SimulationUtilityDatabase")) {
        // The case's cooling water takes the cooling target: Air, which the existing coolers use,
        // is left with no target load, and the network still runs both coolers on it.
        EXPECT_TRUE(has(refreshed.out, "\"area_total\": 350.135203")) << refreshed.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    HostExtractionRefreshDuties, RefreshMatchesFreshExtraction,
    ::testing::Values(RefreshCase{"CaseUtilitiesSameDocument", "SimulationUtilityDatabase = 1\n", false},
                      RefreshCase{"CaseUtilitiesSideDutyMoved", "SimulationUtilityDatabase = 1\n", true},
                      RefreshCase{"DefaultUtilitiesSideDutyMoved", "", true},
                      RefreshCase{"LiveSteamSideDutyMoved", "DoIExtractLiveSteam = 1\nSimulationUtilityDatabase = 1\n", true}),
    [](const ::testing::TestParamInfo<RefreshCase>& info) { return std::string(info.param.name); });

}  // namespace
