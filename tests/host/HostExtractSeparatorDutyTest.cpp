// kestrin-host extract on a PRO/II case whose two-phase separator carries a duty: the separator is a
// stream of its own (the duty over the feed-to-product span, the feed's mass flow) beside the rest of
// the document, its material's specific heat kept as a transport property; a separator whose
// temperatures run against the sign of its duty follows the temperatures, and the report says so.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The exchanger train of the examples with a flash V between feed F and product P, each of mass
// flow 1 kg/s and specific heat 4 kJ/kg C: 4 kW/C, which the flash's own duty over its span never
// is (20 K for 50 kW is 2.5 kW/C).
std::string trainWithFlash(const std::string& feed, const std::string& product, const std::string& duty) {
    std::string train = FileContents(ExamplePath("extraction/exchanger-train.vmc"));
    const std::string flash = "  <item name=\"F\" class=\"ppMaterialStream\">\n"
                              "    <num name=\"Temperature\">" + feed + "</num>\n"
                              "    <num name=\"MassFlow\">1</num>\n"
                              "    <num name=\"PhaseMassHeatCapacity\">4.0</num>\n"
                              "    <link to=\"V\"/>\n"
                              "  </item>\n"
                              "  <item name=\"V\" class=\"vsSeparatorTwoPhase\">\n"
                              "    <num name=\"Duty\">" + duty + "</num>\n"
                              "    <link to=\"P\"/>\n"
                              "  </item>\n"
                              "  <item name=\"P\" class=\"ppMaterialStream\">\n"
                              "    <num name=\"Temperature\">" + product + "</num>\n"
                              "    <num name=\"MassFlow\">1</num>\n"
                              "    <num name=\"PhaseMassHeatCapacity\">4.0</num>\n"
                              "  </item>\n";
    train.insert(train.rfind("</simcase>"), flash);
    return train;
}

struct Flash {
    const char* name;
    const char* feed;
    const char* product;
    const char* duty;
    const char* stream;   // the separator's stream as the report prints it
    const char* warning;  // empty: no warning on the separator
};

class HostExtractSeparatorDuty : public ::testing::TestWithParam<Flash> {};

TEST_P(HostExtractSeparatorDuty, TheSeparatorIsAStreamAndTheRestIsExtracted) {
    const Flash& f = GetParam();
    ScratchFile document("separator-duty", std::string(f.name) + ".vmc", trainWithFlash(f.feed, f.product, f.duty));
    ScratchFile settings("separator-duty", std::string(f.name) + ".settings", "SimulatorFileType = 2\n");
    ScratchFile saved("separator-duty", std::string(f.name) + ".case", "", false);
    const HostRun run = RunHost("extract " + document.path + " --settings " + settings.path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, f.stream)) << run.out;
    // The rest of the document: the train's two streams as the train alone gives them.
    EXPECT_TRUE(has(run.out, "  H1_To_H3 (hot): 200 -> 60 C, 700 kW, 2 kg/s\n")) << run.out;
    EXPECT_TRUE(has(run.out, "  K1_To_K3 (cold): 40 -> 180 C, 840 kW, 2 kg/s\n")) << run.out;
    if (*f.warning)
        EXPECT_TRUE(has(run.out, std::string("Warning (Separator_Duty_Against_Temperatures): ") + f.warning)) << run.out;
    else
        EXPECT_FALSE(has(run.out, "Separator_Duty_Against_Temperatures")) << run.out;
    // The material's specific heat stays on the stream as a transport property.
    ScratchFile script("separator-duty", std::string(f.name) + ".txt", "get SpecificHeat.200.2\n");
    const HostRun view = RunHost("view " + saved.path + " --script " + script.path);
    ASSERT_EQ(0, view.exitCode) << view.out;
    EXPECT_TRUE(has(view.out, "1: get SpecificHeat.200.2\n  value 4 kJ/kg-C")) << view.out;
}

INSTANTIATE_TEST_SUITE_P(
    Flashes, HostExtractSeparatorDuty,
    ::testing::Values(
        // Heated 40 -> 60 C by 50 kW: 2.5 kW/C.
        Flash{"Heated", "40", "60", "50", "  V (cold): 40 -> 60 C, 50 kW, 1 kg/s\n    40 -> 60 C, 50 kW\n", ""},
        // Feed and product at one temperature: half a kelvin in the duty's direction.
        Flash{"SameTemperatureHeated", "40", "40", "50", "  V (cold): 40 -> 40.5 C, 50 kW, 1 kg/s\n", ""},
        Flash{"SameTemperatureCooled", "40", "40", "-10", "  V (hot): 40 -> 39.5 C, 10 kW, 1 kg/s\n", ""},
        // A letdown flash given heat leaves colder: a hot stream with a cooler, and a warning.
        Flash{"HeatedLetdown", "60", "40", "50", "  V (hot): 60 -> 40 C, 50 kW, 1 kg/s\n",
              "Separator V is given 50 kW in the simulation, yet its product leaves at 40 C, below its feed at 60 C: "
              "it was taken as a hot stream with a cooler."},
        Flash{"CooledYetHotter", "40", "60", "-50", "  V (cold): 40 -> 60 C, 50 kW, 1 kg/s\n",
              "Separator V gives up 50 kW in the simulation, yet its product leaves at 60 C, above its feed at 40 C: "
              "it was taken as a cold stream with a heater."}),
    [](const ::testing::TestParamInfo<Flash>& info) { return std::string(info.param.name); });

}  // namespace
