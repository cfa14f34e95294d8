// kestrin-host extract CASEFILE --refresh SOLVED where the document solved again gives shorter
// property tables than the first extraction read: the refresh equals a fresh extraction of the
// solved document, whatever the tables' lengths.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/extraction/" + name; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The streams of an output and its network (the first lines name the case file, and the report
// tells how the streams were made).
std::string fromStreams(const std::string& json) {
    const std::size_t at = json.find("\"streams\"");
    const std::size_t end = json.find("\"utilities\"", at);
    const std::size_t network = json.find("\"network\"");
    if (at == std::string::npos || end == std::string::npos || network == std::string::npos) return json;
    return json.substr(at, end - at) + json.substr(network);
}

// The train solved again with the hot product's table in X1 cut from five points to three, and
// bent: 200, 170 and 140 C at 500, 440 and 350 kJ/kg (the same duty, 2 kg/s x 150 kJ/kg).
std::string shorterTables() {
    std::string text = FileContents(example("exchanger-train-properties.vmc"));
    return replaced(text,
                    "<list name=\"prpTemperature\">200 185 170 155 140</list>\n"
                    "        <list name=\"prpMassEnthalpy\">500 462.5 425 387.5 350</list>\n"
                    "        <list name=\"prpMassVapourFraction\">0 0 0 0 0</list>\n"
                    "        <group>\n"
                    "          <list name=\"prpSpecificHeat\">2.5 2.5 2.5 2.5 2.5</list>\n"
                    "          <list name=\"prpThermalConductivity\">0.12 0.12 0.12 0.12 0.12</list>\n"
                    "          <list name=\"prpViscosity\">0.8 0.8 0.8 0.8 0.8</list>\n"
                    "          <list name=\"prpMassDensity\">850 850 850 850 850</list>\n"
                    "          <list name=\"prpPhaseMassFeedFraction\">1 1 1 1 1</list>",
                    "<list name=\"prpTemperature\">200 170 140</list>\n"
                    "        <list name=\"prpMassEnthalpy\">500 440 350</list>\n"
                    "        <list name=\"prpMassVapourFraction\">0 0 0</list>\n"
                    "        <group>\n"
                    "          <list name=\"prpSpecificHeat\">2.0 2.5 3.0</list>\n"
                    "          <list name=\"prpThermalConductivity\">0.12 0.12 0.12</list>\n"
                    "          <list name=\"prpViscosity\">0.8 0.8 0.8</list>\n"
                    "          <list name=\"prpMassDensity\">850 850 850</list>\n"
                    "          <list name=\"prpPhaseMassFeedFraction\">1 1 1</list>");
}

TEST(HostRefreshShorterTables, ARefreshEqualsAFreshExtractionOfTheSolvedDocument) {
    const std::string solvedText = shorterTables();
    ASSERT_NE(solvedText.find("<list name=\"prpTemperature\">200 170 140</list>"), std::string::npos);
    ScratchFile solved("refresh-shorter", "solved.vmc", solvedText);
    // Under the fine settings the bend is a segment end; under the defaults it is not.
    for (const std::string& settings : {std::string(), " --settings " + example("fine-segments.settings")}) {
        HostRun fresh = RunHost("extract " + solved.path + settings + " --json");
        HostRun refreshed = RunHost("extract " + example("exchanger-train-properties.vmc") + settings + " --json --refresh " +
                                    solved.path);
        ASSERT_EQ(fresh.exitCode, 0) << fresh.out;
        ASSERT_EQ(refreshed.exitCode, 0) << refreshed.out;
        EXPECT_EQ(fromStreams(refreshed.out), fromStreams(fresh.out)) << settings;
        EXPECT_EQ(refreshed.out.find("\"from\": null"), std::string::npos) << refreshed.out;
    }
    // 2 kg/s x (500 - 440) and x (440 - 350) over the two bent pieces.
    HostRun fine = RunHost("extract " + example("exchanger-train-properties.vmc") + " --settings " +
                           example("fine-segments.settings") + " --json --refresh " + solved.path);
    EXPECT_NE(fine.out.find("{\"from\": 200, \"to\": 170, \"load\": 120}, {\"from\": 170, \"to\": 140, \"load\": 180}"),
              std::string::npos)
        << fine.out;
}

}  // namespace
