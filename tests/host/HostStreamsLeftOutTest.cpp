// A stream whose values are left incomplete (a heat-capacity flow rate cleared in the segment
// table, a heat load cleared in the stream table) has no segments for the targets: the targets
// name it and what it lacks, in the text and the JSON, instead of reporting the other streams'
// targets as the case's.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostStreamsLeftOut, AnIncompleteStreamIsNamedInTheTargets) {
    struct Case {
        const char* what;
        std::string script;
    } cases[] = {
        {"cp cleared in the segment table",
         "open HIDesignViewerScenario.200.0\ncmd ViewSegTableView\nopen @last\nset HeatCapacityFlow.100.0 empty\n"},
        {"heat load cleared in the stream table",
         "open HIDesignViewerScenario.200.0\nset HeatFlow.405.0 120\nset HeatFlow.405.0 empty\n"},
    };
    const std::string note = "stream \"H1\" is left out of the targets: it has no heat-capacity flow rate or heat load";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFile saved("leftout", "case.kcase", "", false);
        const HostRun edit = RunViewScript(ExamplePath("four-streams.csv"), c.script, " --save " + saved.path);
        ASSERT_EQ(0, edit.exitCode) << edit.out;
        const HostRun json = RunHost("targets " + saved.path + " --json");
        ASSERT_EQ(0, json.exitCode) << json.out;
        // Without H1 (330 kW) the cold streams take 290 kW of steam and nothing is cooled.
        EXPECT_EQ(290.0, JsonNumber(json.out, "hot_utility")) << json.out;
        EXPECT_NE(std::string::npos, json.out.find("\"notes\": [\"" + std::string("stream \\\"H1\\\" is left out"))) << json.out;
        const HostRun text = RunHost("targets " + saved.path);
        EXPECT_NE(std::string::npos, text.out.find("Note: " + note + "\n")) << text.out;
    }
    // The whole table names nothing.
    const HostRun whole = RunHost("targets " + ExamplePath("four-streams.csv") + " --json");
    EXPECT_NE(std::string::npos, whole.out.find("\"notes\": []")) << whole.out;
}

// A stream of three segments whose middle segment's cp is cleared is left out whole: the targets
// name it with the segment it lacks, and each supertarget point, which equals the targets at its
// DTmin, names it too.
TEST(HostStreamsLeftOut, AStreamWithOneSegmentIncompleteIsNamedByTargetsAndSupertarget) {
    ScratchFile table("leftout", "three.csv",
                      "name,supply,target,cp,h,kind\nH1,170,130,3,,process\nH1,130,100,3,,process\n"
                      "H1,100,60,3,,process\nH2,150,30,1.5,,process\nC1,20,135,2,,process\nC2,80,140,4,,process\n"
                      "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    ScratchFile saved("leftout", "three.kcase", "", false);
    ASSERT_EQ(0, RunViewScript(table.path,
                               "open HIDesignViewerScenario.200.0\ncmd ViewSegTableView\nopen @last\n"
                               "set HeatCapacityFlow.100.1 empty\n",
                               " --save " + saved.path)
                     .exitCode);
    const std::string note = "stream \"H1\" is left out of the targets: it has no heat-capacity flow rate or heat load "
                             "of segment 2";
    const HostRun targets = RunHost("targets " + saved.path);
    EXPECT_NE(std::string::npos, targets.out.find("Note: " + note + "\n")) << targets.out;
    const HostRun super = RunHost("supertarget " + saved.path + " --from 10 --to 12 --step 1");
    ASSERT_EQ(0, super.exitCode) << super.out;
    EXPECT_NE(std::string::npos, super.out.find("Note: " + note + "\n")) << super.out;
    const HostRun json = RunHost("supertarget " + saved.path + " --from 10 --to 12 --step 1 --json");
    EXPECT_NE(std::string::npos, json.out.find("stream \\\"H1\\\" is left out of the targets")) << json.out;
}
