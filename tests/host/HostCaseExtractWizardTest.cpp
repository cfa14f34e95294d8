// kestrin-host extract CASEFILE through the extraction wizard: each setting of a settings file
// is typed into the wizard and refused as the wizard refuses it, the sub-flowsheets named are
// the ones extracted, and --assign moves a heater or cooler of the existing network onto another
// utility with its duty.
#include "HostProcess.h"
#include "tests/support/RandomSimulatorCase.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

std::string example(const char* name) { return ExamplePath(std::string("extraction/") + name); }

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("case-extract-wizard-test", stem, content, write) {}
};

// The unit object of the printed network ("{"name": "E1", ..."}"), empty when there is none.
std::string unit(const std::string& json, const std::string& name) {
    const std::size_t at = json.find("{\"name\": \"" + name + "\", \"kind\": ");
    return at == std::string::npos ? "" : json.substr(at, json.find('}', at) - at);
}

// Two trains: a feed heated from 20 to 80 C in the main flowsheet and a product cooled from
// 150 to 60 C in the sub-flowsheet "Sub 1"; 2 kg/s, 2 kJ/kg K.
const char* const kTwoFlowsheets = R"(<?xml version="1.0"?>
<simcase version="1" name="Two flowsheets">
  <item name="A" class="ppMaterialStream"><num name="Temperature">20</num><num name="MassFlow">2</num>
    <num name="HeatFlow">0</num><num name="MolarEnthalpy">-30000</num><list name="CompMolarFraction">0.4 0.6</list>
    <link to="H1"/></item>
  <item name="H1" class="htHeater"><num name="Duty">240</num><group name="PropertyTable"><group name="A">
    <list name="prpTemperature">20 50 80</list><list name="prpMassEnthalpy">0 60 120</list>
    <list name="prpMassVapourFraction">0 0 0</list></group></group><link to="B"/></item>
  <item name="B" class="ppMaterialStream"><num name="Temperature">80</num><num name="MassFlow">2</num>
    <num name="HeatFlow">240</num><num name="MolarEnthalpy">-28000</num><list name="CompMolarFraction">0.4 0.6</list></item>
  <item name="P" class="ppMaterialStream" flowsheet="Sub 1"><num name="Temperature">150</num><num name="MassFlow">2</num>
    <num name="HeatFlow">360</num><num name="MolarEnthalpy">-20000</num><list name="CompMolarFraction">0.9 0.1</list>
    <link to="C1"/></item>
  <item name="C1" class="htCooler" flowsheet="Sub 1"><num name="Duty">360</num><group name="PropertyTable"><group name="P">
    <list name="prpTemperature">150 105 60</list><list name="prpMassEnthalpy">180 90 0</list>
    <list name="prpMassVapourFraction">0 0 0</list></group></group><link to="Q"/></item>
  <item name="Q" class="ppMaterialStream" flowsheet="Sub 1"><num name="Temperature">60</num><num name="MassFlow">2</num>
    <num name="HeatFlow">0</num><num name="MolarEnthalpy">-22000</num><list name="CompMolarFraction">0.9 0.1</list></item>
</simcase>
)";

TEST(HostCaseExtractWizard, RefusedSettingsNameTheSettingAndGiveTheWizardsText) {
    Scratch saved("refused.case", "", false);
    const struct {
        const char* settings;
        const char* message;
    } rows[] = {
        {"SegmentTolerances = 1.5\n", ":1: SegmentTolerances = 1.5 refused: The segment tolerance must lie between 0 and 1."},
        {"SegmentTolerances = 0\n", ":1: SegmentTolerances = 0 refused: The segment tolerance"},
        {"# fine first\nMaxNumberOfSegments = 3\nMaxNumberOfSegments = 1\n",
         ":3: MaxNumberOfSegments = 1 refused: A stream needs at least 2 segments."},
        {"SimulatorFileType = 3\n", ":1: SimulatorFileType = 3 refused: The simulator file type must be 0"},
        // Counts and temperatures no stream or plant can hold.
        {"MaxNumberOfSegments = 2147483648\n", ":1: MaxNumberOfSegments = 2147483648 refused: The value lies outside"},
        {"MaxNumberOfSegments = 1e300\n", ":1: MaxNumberOfSegments = 1e+300 refused: The value lies outside"},
        {"MaxNumberOfSegments = 1001\n", ":1: MaxNumberOfSegments = 1001 refused: The value lies outside"},
        {"MaxNumberOfSegments = 2.5\n", ":1: MaxNumberOfSegments = 2.5 refused: The value lies outside"},
        {"UserSuppliedAmbientTemperature = 1e308\n", ":1: UserSuppliedAmbientTemperature = 1e+308 refused"},
        {"UserSuppliedAmbientTemperature = -1e308\n", ":1: UserSuppliedAmbientTemperature = -1e+308 refused"},
        {"SubFlowsheet = Sub 9\n", ":1: SubFlowsheet Sub 9 is not a sub-flowsheet of"},
    };
    for (const auto& r : rows) {
        Scratch settings("wizard.settings", r.settings);
        HostRun run = RunHost("extract " + example("preheat-train.vmc") + " --settings " + settings.path + " --save " +
                              saved.path);
        EXPECT_EQ(run.exitCode, 1) << r.settings;
        EXPECT_NE(run.out.find(settings.path + r.message), std::string::npos) << run.out;
        EXPECT_FALSE(FileExists(saved.path)) << r.settings;
    }
}

TEST(HostCaseExtractWizard, AcceptedSettingsChangeTheExtractionInTheSettingsOwnSense) {
    // Live steam without its liquid segment: the file says "do not use the sub-cooled part",
    // which the wizard asks the other way round.
    Scratch noLiquid("steam.settings", "DoIExtractLiveSteam = 1\nUseSubCoolLiveSteam = 0\n");
    HostRun run = RunHost("extract " + example("stripping-column.vmc") + " --settings " + noLiquid.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("{\"name\": \"STEAM\", \"side\": \"cold\", \"supply\": 133.5253"), std::string::npos)
        << run.out;
    Scratch noSuperheat("steam.settings", "DoIExtractLiveSteam = 1\nUseSuperHeatLiveSteam = 0\n");
    run = RunHost("extract " + example("stripping-column.vmc") + " --settings " + noSuperheat.path + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("{\"name\": \"STEAM\", \"side\": \"cold\", \"supply\": 20, \"target\": 134.2753"),
              std::string::npos)
        << run.out;
}

TEST(HostCaseExtractWizard, OnlyTheSubFlowsheetsNamedAreExtracted) {
    Scratch document("two-flowsheets.vmc", kTwoFlowsheets);
    HostRun all = RunHost("extract " + document.path + " --json");
    ASSERT_EQ(all.exitCode, 0) << all.out;
    EXPECT_NE(all.out.find("\"side\": \"cold\", \"supply\": 20, \"target\": 80"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("\"side\": \"hot\", \"supply\": 150, \"target\": 60"), std::string::npos) << all.out;
    const struct {
        const char* settings;
        bool main, sub;
    } rows[] = {{"SubFlowsheet = Sub 1\n", false, true},
                {"SubFlowsheet = Main\n", true, false},
                {"SubFlowsheet = Main\nSegmentTolerances = 0.5\nSubFlowsheet = Sub 1\n", true, true}};
    for (const auto& r : rows) {
        Scratch settings("flowsheets.settings", r.settings);
        HostRun run = RunHost("extract " + document.path + " --settings " + settings.path + " --json");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const std::string streams = run.out.substr(0, run.out.find("\"utilities\": "));
        EXPECT_EQ(r.main, streams.find("\"supply\": 20, \"target\": 80") != std::string::npos) << r.settings << run.out;
        EXPECT_EQ(r.sub, streams.find("\"supply\": 150, \"target\": 60") != std::string::npos) << r.settings << run.out;
    }
}

TEST(HostCaseExtractWizard, AHeaterMovesToAnotherSteamLevelWithItsDutyAndTheOthersStay) {
    HostRun before = RunHost("extract " + example("preheat-train.vmc") + " --json");
    ASSERT_EQ(before.exitCode, 0) << before.out;
    EXPECT_NE(unit(before.out, "E1").find("\"hot\": \"LP Steam\", \"cold\": \"F1_To_F3\", \"duty\": 240"),
              std::string::npos)
        << before.out;
    Scratch saved("assigned.case", "", false);
    HostRun after = RunHost("extract " + example("preheat-train.vmc") + " --assign \"E1=HP Steam\" --json --save " +
                            saved.path);
    ASSERT_EQ(after.exitCode, 0) << after.out;
    // High-pressure steam was no utility of the scenario: it joins it, and E1 takes it at 250 C.
    EXPECT_NE(unit(after.out, "E1").find("\"hot\": \"HP Steam\", \"cold\": \"F1_To_F3\", \"duty\": 240, \"hot_in\": 250"),
              std::string::npos)
        << after.out;
    EXPECT_NE(after.out.find("{\"name\": \"HP Steam\", \"side\": \"hot\""), std::string::npos) << after.out;
    EXPECT_EQ(unit(before.out, "E2"), unit(after.out, "E2"));
    EXPECT_EQ(unit(before.out, "C1"), unit(after.out, "C1"));
    // The saved case keeps the move.
    HostRun reopened = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(reopened.exitCode, 0) << reopened.out;
    EXPECT_NE(unit(reopened.out, "E1").find("\"hot\": \"HP Steam\""), std::string::npos) << reopened.out;

    // A cooler onto a utility of the scenario, and a heater moved twice.
    HostRun both = RunHost("extract " + example("preheat-train.vmc") +
                           " --assign \"C1=Cooling Water\" --assign \"E2=HP Steam\" --assign \"E2=LP Steam\" --json");
    ASSERT_EQ(both.exitCode, 0) << both.out;
    EXPECT_NE(unit(both.out, "C1").find("\"hot\": \"F3_To_F4\", \"cold\": \"Cooling Water\", \"duty\": 480"),
              std::string::npos)
        << both.out;
    EXPECT_NE(unit(both.out, "E2").find("\"hot\": \"LP Steam\""), std::string::npos) << both.out;

    // A heater assigned the utility it is on already: no change, and no failure.
    HostRun same = RunHost("extract " + example("preheat-train.vmc") + " --assign \"E1=LP Steam\" --json");
    ASSERT_EQ(same.exitCode, 0) << same.out;
    EXPECT_EQ(unit(before.out, "E1"), unit(same.out, "E1"));
}

TEST(HostCaseExtractWizard, AnAssignmentThatCannotBeMadeSavesNothing) {
    Scratch saved("refused.case", "", false);
    const struct {
        const char* argument;
        const char* message;
        int exitCode;  // 1 an assignment the network refuses, 2 one the command line cannot take
    } rows[] = {
        {"\"F3=HP Steam\"", "--assign F3=HP Steam: F3 is no heater or cooler of the existing network", 1},
        {"\"E1=Cooling Water\"", "--assign E1=Cooling Water: Cooling Water is a cold utility; heater E1 takes a hot one", 1},
        {"\"C1=HP Steam\"", "HP Steam is a hot utility; cooler C1 takes a cold one", 1},
        {"\"C1=MP Steam\"", "MP Steam is a hot utility; cooler C1 takes a cold one", 1},
        {"\"E1=Plasma\"", "Plasma is no utility of the scenario nor a default utility", 1},
        {"E1", "--assign needs UNIT=UTILITY", 2},
        {"=HP", "--assign needs UNIT=UTILITY", 2},
    };
    for (const auto& r : rows) {
        HostRun run = RunHost("extract " + example("preheat-train.vmc") + " --assign " + r.argument + " --save " +
                              saved.path);
        EXPECT_EQ(run.exitCode, r.exitCode) << r.argument;
        EXPECT_NE(run.out.find(r.message), std::string::npos) << run.out;
        EXPECT_FALSE(FileExists(saved.path)) << r.argument;
    }
}

// The wizard's extraction run twice into one scenario: the second run's streams take free names
// and its units go into the existing network beside the first run's, each under the first free
// name after its own, with its duty; every stream is satisfied and the network fully specified.
TEST(HostCaseExtractWizard, ASecondExtractionIntoTheScenarioPlacesItsUnitsBesideTheFirst) {
    random_case::Options utilitiesOnly;
    utilitiesOnly.tees = false;
    utilitiesOnly.exchangers = false;
    utilitiesOnly.columns = false;  // the documents these seeds made before columns were generated
    struct Row {
        std::string name, document;
        std::vector<std::string> units;
    };
    std::vector<Row> rows = {{"preheat-train", FileContents(example("preheat-train.vmc")), {"E1", "E2", "C1"}}};
    for (std::uint32_t seed : {3u, 17u, 29u}) {
        const random_case::Document d = random_case::Generate(seed, utilitiesOnly);
        Row r{"random-" + std::to_string(seed), d.text, {}};
        for (const random_case::Unit& u : d.units) r.units.push_back(u.name);
        rows.push_back(r);
    }
    for (const Row& r : rows) {
        Scratch document(r.name + "-twice.vmc", r.document);
        Scratch saved(r.name + "-twice.case", "", false);
        const HostRun run = RunHost("view --new hi-project P --save " + saved.path + " --script " +
                                    Scratch(r.name + "-twice.txt", "cmd CheckForSimulationReady\nopen @last\nsettext ExtraData.203 " +
                                                                         document.path +
                                                                         "\nopen MyOwnerObject\ncmd BuildRalvexCase\n"
                                                                         "expect ExistingStreamBeforeExtract\ncmd BuildRalvexCase\n")
                                        .path);
        ASSERT_EQ(0, run.exitCode) << r.name << "\n" << run.out;
        const HostRun network = RunViewScript(saved.path, "text ExtraData.713.[]\nget HeatFlow.304.[]\ntext ExtraData.211\ntext ExtraData.212\n",
                                              " --open design=SimulationBaseCase");
        ASSERT_EQ(0, network.exitCode) << r.name << "\n" << network.out;
        std::vector<std::string> names;
        std::istringstream lines(network.out.substr(0, network.out.find("\n2: ")));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("  text ", 0) == 0) names.push_back(line.substr(7));
        const std::vector<double> duties = ScriptValues(network.out, 2);
        ASSERT_EQ(names.size(), duties.size()) << network.out;
        std::map<std::string, double> duty;
        for (std::size_t i = 0; i < names.size(); ++i) duty[names[i]] = duties[i];
        EXPECT_EQ(2 * r.units.size(), names.size()) << r.name << "\n" << network.out;
        for (const std::string& u : r.units) {
            ASSERT_TRUE(duty.count(u)) << r.name << ": " << u << "\n" << network.out;
            ASSERT_TRUE(duty.count(u + "_2")) << r.name << ": " << u << "_2\n" << network.out;
            EXPECT_NEAR(duty[u], duty[u + "_2"], 1e-6 * (1 + duty[u])) << r.name << ": " << u;
        }
        EXPECT_NE(std::string::npos, network.out.find("  text Degrees of freedom: 0\n")) << r.name << "\n" << network.out;
        EXPECT_NE(std::string::npos, network.out.find("Streams not satisfied: 0")) << r.name << "\n" << network.out;
    }
}

}  // namespace
