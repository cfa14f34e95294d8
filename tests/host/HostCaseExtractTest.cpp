// kestrin-host extract CASEFILE: a simulator-case document becomes process streams of a new
// project, with the settings of a settings file; the document is never written.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/extraction/" + name; }

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("case-extract-test", stem, content, write) {}
};

std::string contents(const std::string& path) { return FileContents(path); }

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The energy targets of a --json output: utilities and pinches, without stream names.
std::string energyTargets(const std::string& json, std::size_t from = 0) {
    const std::size_t a = json.find("\"hot_utility\"", from);
    const std::size_t b = json.find("\"process_pinches\"", a);
    return a == std::string::npos || b == std::string::npos ? "" : json.substr(a, b - a);
}

int count(const std::string& text, const std::string& word) {
    int n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

TEST(HostCaseExtract, ATrainHeatedThenCooledBecomesAHeatedAndACooledStream) {
    const std::string document = example("preheat-train.vmc");
    const std::string before = contents(document);
    HostRun run = RunHost("extract " + document + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("{\"name\": \"F1_To_F3\", \"side\": \"cold\", \"supply\": 30, \"target\": 150, \"load\": 600, "
                           "\"mass_flow\": 2"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("{\"name\": \"F3_To_F4\", \"side\": \"hot\", \"supply\": 150, \"target\": 60, \"load\": 480"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(count(run.out, "{\"section\": "), 1) << run.out;
    EXPECT_NE(run.out.find("{\"section\": \"Temperature_reversal\", \"title\": \"Streams cut where the temperature "
                           "turns\", \"text\": \"The temperature turns at stream F3: the stream was cut there.\"}"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"report\": \"Streams\\n  F3_To_F4\\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"case\": \"" + document + "\""), std::string::npos);
    EXPECT_EQ(contents(document), before);  // the document is never written

    HostRun text = RunHost("extract " + document);
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("Warning (Temperature_reversal): The temperature turns at stream F3"), std::string::npos)
        << text.out;
}

TEST(HostCaseExtract, AStreamSplitByATeeAndMixedAgainIsOneStreamCarryingBothBranches) {
    HostRun run = RunHost("extract " + example("split-heaters.vmc") + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // 240 kW in one branch and 480 kW in the other.
    EXPECT_NE(run.out.find("\"streams\": [{\"name\": \"A_To_D\", \"side\": \"cold\", \"supply\": 20, \"target\": 80, "
                           "\"load\": 720, \"mass_flow\": 3"),
              std::string::npos)
        << run.out;
    // One process stream; the heaters' utility is listed among the utilities.
    const std::string streams = run.out.substr(0, run.out.find("\"utilities\": "));
    EXPECT_EQ(count(streams, "\"side\": "), 1) << run.out;
}

TEST(HostCaseExtract, ATighterToleranceCutsTheCurvesAtTheirKinks) {
    HostRun coarse = RunHost("extract " + example("preheat-train.vmc") + " --json");
    HostRun fine = RunHost("extract " + example("preheat-train.vmc") + " --settings " +
                           example("fine-segments.settings") + " --json");
    ASSERT_EQ(coarse.exitCode, 0);
    ASSERT_EQ(fine.exitCode, 0) << fine.out;
    EXPECT_NE(coarse.out.find("\"segments\": [{\"from\": 30, \"to\": 150, \"load\": 600}]"), std::string::npos)
        << coarse.out;
    EXPECT_NE(fine.out.find("\"segments\": [{\"from\": 30, \"to\": 90, \"load\": 240}, {\"from\": 90, \"to\": 150, "
                            "\"load\": 360}]"),
              std::string::npos)
        << fine.out;
    EXPECT_NE(fine.out.find("\"segments\": [{\"from\": 150, \"to\": 90, \"load\": 360}, {\"from\": 90, \"to\": 60, "
                            "\"load\": 120}]"),
              std::string::npos)
        << fine.out;
    // The loads are the simulator's heat-flow changes either way, and so are the targets.
    EXPECT_EQ(energyTargets(coarse.out), energyTargets(fine.out));
}

TEST(HostCaseExtract, TargetsEqualThoseOfAStreamTableAndSurviveTheSavedCase) {
    Scratch table("column.csv", "name,supply,target,cp,h,kind\nFEED,40,95,5,0.2,process\n"
                                "DIST,70,35,2.2,0.2,process\nBTMS,130,50,2.6,0.2,process\n");
    Scratch saved("column.case", "", false);
    HostRun run = RunHost("extract " + example("small-column.vmc") + " --json --save " + saved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    HostRun byTable = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(byTable.exitCode, 0);
    const std::string extracted = energyTargets(run.out, run.out.find("\"targets\""));
    EXPECT_EQ(extracted, "\"hot_utility\": 23, \"cold_utility\": 33, ");
    EXPECT_EQ(extracted, energyTargets(byTable.out));
    HostRun again = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(again.exitCode, 0) << again.out;
    const std::string savedTargets = again.out.substr(0, again.out.find("\"notes\""));
    const std::size_t at = run.out.find("\"targets\": ") + 11;
    EXPECT_EQ(run.out.substr(at, savedTargets.size()), savedTargets);
}

TEST(HostCaseExtract, BadSettingsOrDocumentsNameFileAndLineAndSaveNothing) {
    Scratch saved("refused.case", "", false);
    Scratch badDocument("bad.vmc", "<simcase version=\"1\" name=\"X\">\n<item name=\"A\"/>\n</simcase>\n");
    struct Row {
        const char* settings;
        const char* message;
    } rows[] = {
        {"# fine\nSegmentTolerances = 0.1\nColour = 3\n", ":3: unknown setting Colour"},
        {"SegmentTolerances 0.1\n", ":1: a setting reads name = value"},
        {"\n\nSegmentTolerances = fine\n", ":3: the value of SegmentTolerances is not a number"},
        {"SegmentTolerances = 0x10\n", ":1: the value of SegmentTolerances is not a number"},
        {"SimulatorFileType = 7\n", ":1: SimulatorFileType = 7 refused: The simulator file type must be 0"},
    };
    for (const Row& r : rows) {
        Scratch settings("bad.settings", r.settings);
        HostRun run = RunHost("extract " + example("preheat-train.vmc") + " --settings " + settings.path + " --save " +
                              saved.path);
        EXPECT_EQ(run.exitCode, 1) << r.settings;
        EXPECT_NE(run.out.find(r.message), std::string::npos) << run.out;
        EXPECT_FALSE(exists(saved.path)) << r.settings;
    }
    HostRun run = RunHost("extract " + badDocument.path + " --save " + saved.path);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find(badDocument.path + ":2: <item> needs a class"), std::string::npos) << run.out;
    EXPECT_FALSE(exists(saved.path));
    HostRun missing = RunHost("extract /no/such/case.vmc");
    EXPECT_EQ(missing.exitCode, 1);
}

TEST(HostCaseExtract, ACaseThatYieldsNothingPrintsEmptyListsAndANote) {
    Scratch empty("empty.vmc", "<simcase version=\"1\" name=\"Empty\"><item name=\"V\" class=\"ppValve\"/></simcase>");
    HostRun run = RunHost("extract " + empty.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\"streams\": [], \"utilities\": [], \"warnings\": [], "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"targets\": null, \"notes\": [\"" + empty.path + " yielded no process stream"),
              std::string::npos)
        << run.out;
}

TEST(HostCaseExtract, TheColumnGivesItsCondenserReboilerAndSideCoolerAndWithLiveSteamItsStrippingSteam) {
    HostRun plain = RunHost("extract " + example("stripping-column.vmc") + " --json");
    ASSERT_EQ(plain.exitCode, 0) << plain.out;
    // The total condenser condenses at one temperature: widened to half a degree.
    EXPECT_NE(plain.out.find("{\"name\": \"VAP_TO_DISTL\", \"side\": \"hot\", \"supply\": 78, \"target\": 77.5, "
                             "\"load\": 620, \"mass_flow\": 1.2"),
              std::string::npos)
        << plain.out;
    EXPECT_NE(plain.out.find("{\"name\": \"BTM_TO_BOIL\", \"side\": \"cold\", \"supply\": 120, \"target\": 120.5, "
                             "\"load\": 700"),
              std::string::npos)
        << plain.out;
    // The pump-around on stage 5 (96 C) takes heat from the vapour of stage 6 (100 C).
    EXPECT_NE(plain.out.find("{\"name\": \"QSIDE\", \"side\": \"hot\", \"supply\": 100, \"target\": 96, "
                             "\"load\": 250"),
              std::string::npos)
        << plain.out;
    EXPECT_EQ(plain.out.find("\"STEAM\""), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("\"simulation_utilities\": []"), std::string::npos) << plain.out;

    HostRun steam = RunHost("extract " + example("stripping-column.vmc") + " --settings " +
                            example("stripping-column.settings") + " --json");
    ASSERT_EQ(steam.exitCode, 0) << steam.out;
    // Water from 20 C to its boiling point at 300 kPa (133.53 C), the boiling band and the superheat.
    const std::size_t at = steam.out.find("{\"name\": \"STEAM\", \"side\": \"cold\", \"supply\": 20, \"target\": 150");
    ASSERT_NE(at, std::string::npos) << steam.out;
    const std::string segments = steam.out.substr(at, steam.out.find("]}", at) - at);
    EXPECT_EQ(count(segments, "\"from\": "), 3) << segments;
    EXPECT_NE(segments.find("{\"from\": 20, \"to\": 133.5253"), std::string::npos) << segments;
    EXPECT_NE(segments.find("\"to\": 150, "), std::string::npos) << segments;
    // Matched against the default utility that serves 150 C.
    EXPECT_NE(steam.out.find("\"utilities\": [{\"name\": \"MP Steam\", \"side\": \"hot\", \"supply\": 175, "
                             "\"target\": 174"),
              std::string::npos)
        << steam.out;
    EXPECT_NE(steam.out.find("\"simulation_utilities\": [\"SIM COOLING WATER\"]"), std::string::npos) << steam.out;

    HostRun text = RunHost("extract " + example("stripping-column.vmc") + " --settings " +
                           example("stripping-column.settings"));
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("  STEAM (cold): 20 -> 150 C"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Default utilities from the case: SIM COOLING WATER\n"), std::string::npos) << text.out;
}

TEST(HostCaseExtract, WarningsCarryTheirTitlesAndTexts) {
    Scratch document("two-feeds.vmc",
                     "<simcase version=\"1\" name=\"Two feeds\">\n"
                     "<item name=\"B1\" class=\"ppMaterialStream\"><num name=\"Temperature\">120</num><link to=\"R1\"/></item>\n"
                     "<item name=\"B2\" class=\"ppMaterialStream\"><num name=\"Temperature\">121</num><link to=\"R1\"/></item>\n"
                     "<item name=\"R1\" class=\"htReboiler\"><num name=\"Duty\">300</num><link to=\"V1\"/></item>\n"
                     "<item name=\"V1\" class=\"ppMaterialStream\"><num name=\"Temperature\">125</num></item>\n"
                     "</simcase>\n");
    HostRun run = RunHost("extract " + document.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("{\"section\": \"Reboilers_and_condensers\", \"title\": \"Reboilers and condensers fed by "
                           "several streams\", \"text\": \"Unit R1, a reboiler, is fed by 2 material streams; the first "
                           "is taken.\"}"),
              std::string::npos)
        << run.out;
    HostRun text = RunHost("extract " + document.path);
    EXPECT_NE(text.out.find("Warning (Reboilers_and_condensers): Unit R1, a reboiler, is fed by 2 material streams"),
              std::string::npos)
        << text.out;
}

}  // namespace

namespace {

// The text of the unit named `name` in the "network" object of a --json output.
std::string networkUnit(const std::string& json, const std::string& name) {
    const std::size_t network = json.find("\"network\": {");
    if (network == std::string::npos) return "";
    const std::size_t at = json.find("{\"name\": \"" + name + "\"", network);
    return at == std::string::npos ? "" : json.substr(at, json.find('}', at) - at + 1);
}

TEST(HostCaseExtract, TheTrainsExchangerCoolerAndHeaterComeBackAsTheExistingNetwork) {
    Scratch saved("train.case", "", false);
    HostRun run = RunHost("extract " + example("exchanger-train.vmc") + " --json --save " + saved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // X1: 2 kg/s x 2.5 kJ/kg K x (200 - 140) = 300 kW = 2 x 3.0 x (90 - 40).
    EXPECT_NE(networkUnit(run.out, "X1").find("\"kind\": \"exchanger\", \"hot\": \"H1_To_H3\", \"cold\": \"K1_To_K3\", "
                                              "\"duty\": 300, \"hot_in\": 200, \"hot_out\": 140, \"cold_in\": 40, "
                                              "\"cold_out\": 90"),
              std::string::npos)
        << run.out;
    // C1: 5 kW/K x (140 - 60) = 400 kW against the utility the rule gives for 60 C.
    EXPECT_NE(networkUnit(run.out, "C1").find("\"kind\": \"cooler\", \"hot\": \"H1_To_H3\", \"cold\": \"Air\", "
                                              "\"duty\": 400, \"hot_in\": 140, \"hot_out\": 60"),
              std::string::npos)
        << run.out;
    // E1: 6 kW/K x (180 - 90) = 540 kW.
    EXPECT_NE(networkUnit(run.out, "E1").find("\"kind\": \"heater\", \"hot\": \"HP Steam\", \"cold\": \"K1_To_K3\", "
                                              "\"duty\": 540"),
              std::string::npos)
        << run.out;
    EXPECT_NE(networkUnit(run.out, "E1").find("\"cold_in\": 90, \"cold_out\": 180"), std::string::npos) << run.out;
    EXPECT_EQ(count(run.out, "\"feasible\": false"), 0) << run.out;
    EXPECT_NE(run.out.find("\"unsatisfied_streams\": []"), std::string::npos) << run.out;

    // The saved case holds the design: `design CASE` shows the same units.
    HostRun reopened = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(reopened.exitCode, 0) << reopened.out;
    for (const char* unit : {"X1", "C1", "E1"})
        EXPECT_EQ(networkUnit("\"network\": " + reopened.out, unit), networkUnit(run.out, unit)) << reopened.out;

    HostRun text = RunHost("extract " + example("exchanger-train.vmc"));
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("Network design SimulationBaseCase"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("X1 (exchanger) H1_To_H3 -> K1_To_K3: duty 300.00"), std::string::npos) << text.out;
}

TEST(HostCaseExtract, TheHeatersOfASplitStreamSitOnParallelBranches) {
    HostRun run = RunHost("extract " + example("split-heaters.vmc") + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // Each heater takes its branch from 20 to 80 C: 1 kg/s x 4.0 x 60 and 2 kg/s x 4.0 x 60.
    EXPECT_NE(networkUnit(run.out, "H1").find("\"cold\": \"A_To_D\", \"duty\": 240"), std::string::npos) << run.out;
    EXPECT_NE(networkUnit(run.out, "H2").find("\"cold\": \"A_To_D\", \"duty\": 480"), std::string::npos) << run.out;
    for (const char* unit : {"H1", "H2"})
        EXPECT_NE(networkUnit(run.out, unit).find("\"cold_in\": 20, \"cold_out\": 80"), std::string::npos) << run.out;
    EXPECT_EQ(count(run.out, "\"feasible\": false"), 0) << run.out;
}

}  // namespace
