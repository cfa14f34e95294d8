// kestrin-host view --open design: the design's event planner reads a plan file kept by hand,
// a plan is added and everything is saved; a damaged file read afterwards leaves the plans.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem, const std::string& content = "", bool write = false)
        : ScratchFile("eventplanner", stem, content, write) {}
};

// Two plans numbered 2 and 5: the first lists a tee-flow task before its cleaning task, a task
// of a kind the planner does not know, and "Data" attributes in another order.
const char* kKept =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<RootPlan>\n"
    "  <Event Name=\"Event 2\">\n"
    "    <Notes Notes=\"Summer trial\"/>\n"
    "    <Task Type=\"TeeFlow\"><Data NewValue=\"1.5\" Units=\"kg/s\" UnitName=\"TEE-100\"/></Task>\n"
    "    <Task Type=\"Paint\"><Data UnitName=\"E1\" NewValue=\"1\" Units=\"\"/></Task>\n"
    "    <Task Type=\"Clean\"><Data Units=\"kW/m2-C\" UnitName=\"E1\" NewValue=\"0.35\"/></Task>\n"
    "  </Event>\n"
    "  <Event Name=\"Event 5\">\n"
    "    <Notes Notes=\"Shutdown\"/>\n"
    "    <Task Type=\"Remove\"><Data UnitName=\"E3\" NewValue=\"1\" Units=\"\"/></Task>\n"
    "  </Event>\n"
    "  <RootNotes Notes=\"Kept by hand\"/>\n"
    "</RootPlan>\n";

const char* kSaved =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<RootPlan>\n"
    "  <Event Name=\"Event 2\">\n"
    "    <Notes Notes=\"Summer trial\"/>\n"
    "    <Task Type=\"Clean\">\n"
    "      <Data UnitName=\"E1\" NewValue=\"0.35\" Units=\"kW/m2-C\"/>\n"
    "    </Task>\n"
    "    <Task Type=\"TeeFlow\">\n"
    "      <Data UnitName=\"TEE-100\" NewValue=\"1.5\" Units=\"kg/s\"/>\n"
    "    </Task>\n"
    "  </Event>\n"
    "  <Event Name=\"Event 5\">\n"
    "    <Notes Notes=\"Shutdown\"/>\n"
    "    <Task Type=\"Remove\">\n"
    "      <Data UnitName=\"E3\" NewValue=\"1\" Units=\"\"/>\n"
    "    </Task>\n"
    "  </Event>\n"
    "  <Event Name=\"Event 6\">\n"
    "    <Notes Notes=\"\"/>\n"
    "  </Event>\n"
    "  <RootNotes Notes=\"Kept by hand\"/>\n"
    "</RootPlan>\n";

TEST(HostViewEventPlanner, PlansReadAddedAndSavedSurviveADamagedFile) {
    Scratch saved("net.kestrin"), kept("kept.xml", kKept, true), damaged("damaged.xml", "<RootPlan><Event Name=\"X\">", true);
    Scratch out("out.xml"), again("again.xml"), script("plan.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    std::ofstream(script.path) << "cmd ShowEventPlannerView\n"
                                  "open @last\n"
                                  "file " << kept.path << "\n"
                                  "cmd OpenEventPlanFile\n"
                                  "cmd CreateNewEventPlan\n"
                                  "text PlanName.400.2\n"
                                  "file " << out.path << "\n"
                                  "cmd SaveEventPlan\n"
                                  "file " << damaged.path << "\n"
                                  "expect MSXMLError\n"
                                  "cmd OpenEventPlanFile\n"
                                  "file " << again.path << "\n"
                                  "cmd SaveEventPlan\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("6: text PlanName.400.2\n  text Event 6")) << run.out;
    EXPECT_EQ(kSaved, FileContents(out.path));
    // The damaged file changed nothing, and its reading answers that it was refused.
    EXPECT_EQ(kSaved, FileContents(again.path));
    EXPECT_NE(std::string::npos, run.out.find("11: cmd OpenEventPlanFile\n  result 0\n")) << run.out;
}

// A plan file refused (one naming an entity outside itself, a truncated one) is not read, and a
// plan saved to the case itself or to a device is not written: each answers 0 with its word, and
// the case is as it was.
TEST(HostViewEventPlanner, APlanFileRefusedAnswersZero) {
    Scratch saved("refused.kestrin"), script("refused.txt");
    Scratch entity("entity.xml",
                   "<?xml version=\"1.0\"?>\n<!DOCTYPE RootPlan [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>\n"
                   "<RootPlan><Event Name=\"&e;\"/></RootPlan>\n",
                   true);
    Scratch truncated("truncated.xml", std::string(kKept).substr(0, 120), true);
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    const std::string before = FileContents(saved.path);
    std::ofstream(script.path) << "cmd ShowEventPlannerView\nopen @last\ncmd CreateNewEventPlan\n"
                               << "file " << entity.path << "\nexpect MSXMLError\ncmd OpenEventPlanFile\n"
                               << "file " << truncated.path << "\nexpect MSXMLError\ncmd OpenEventPlanFile\n"
                               << "file " << saved.path << "\nexpect MSXMLError\ncmd SaveEventPlan\n"
                               << "file /dev/null\nexpect MSXMLError\ncmd SaveEventPlan\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* step : {"6: cmd OpenEventPlanFile", "9: cmd OpenEventPlanFile", "12: cmd SaveEventPlan", "15: cmd SaveEventPlan"})
        EXPECT_NE(std::string::npos, run.out.find(std::string(step) + "\n  result 0\n")) << step << "\n" << run.out;
    EXPECT_EQ(before, FileContents(saved.path));
}

// A file kept by hand with two plans of one name (and one already named like the free name the
// second would take): each is read under a name of its own, and saved so.
TEST(HostViewEventPlanner, TwoPlansOfOneNameAreReadUnderNamesOfTheirOwn) {
    const std::string twice =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RootPlan>\n"
        "  <Event Name=\"Event 1\"><Notes Notes=\"first\"/></Event>\n"
        "  <Event Name=\"Event 1_2\"><Notes Notes=\"own\"/></Event>\n"
        "  <Event Name=\"Event 1\"><Notes Notes=\"second\"/></Event>\n</RootPlan>\n";
    Scratch saved("twice.kestrin"), kept("twice.xml", twice, true), out("twice-out.xml"), script("twice.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    std::ofstream(script.path) << "cmd ShowEventPlannerView\nopen @last\nfile " << kept.path
                               << "\ncmd OpenEventPlanFile\ntext PlanName.400.[]\nfile " << out.path << "\ncmd SaveEventPlan\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("5: text PlanName.400.[]\n  text Event 1\n  text Event 1_2\n  text Event 1_3\n"))
        << run.out;
    const std::string written = FileContents(out.path);
    EXPECT_NE(std::string::npos, written.find("<Event Name=\"Event 1_3\">\n    <Notes Notes=\"second\"/>")) << written;
}

}  // namespace
