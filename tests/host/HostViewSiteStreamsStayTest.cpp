// kestrin-host view on a total site: a site stream is in every scenario of the site, as the case
// writes it. A scenario's table cannot take one out of that scenario alone (switched to a process
// stream, or its row emptied), so the session and the saved case never disagree; the site itself
// deletes one from every scenario, for good.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The site "Works" with the site streams HP Steam and Cooling Water, and the four classic streams
// in "Process 1": at DTmin 10 they need 20 kW of hot and 60 kW of cold utility.
const std::string kWorks = kFourStreamSite;
const std::string kBack = "open MyOwnerObject\n";

int lines(const std::string& script) {
    int n = 0;
    for (char c : script) n += c == '\n';
    return n;
}

// Each way a scenario's table could take a site stream out of Process 1 alone is refused with a
// message that says where it is deleted; the session, the saved case and the case reopened show
// the same two site streams carrying 20 and 60 kW, and the whole session is saved.
TEST(HostViewSiteStreamsStay, NoScenarioTableTakesASiteStreamOutOfItsScenarioAlone) {
    struct Route {
        const char* name;
        std::string steps;
    };
    const std::string refused = "expect SiteUtilityStaysInEveryScenario\n";
    const Route routes[] = {
        {"HP Steam switched to a process stream", "set RowPos.106 0\n" + refused + "cmd SwitchUtilToProcess\n"},
        {"Cooling Water switched to a process stream", "set RowPos.106 1\n" + refused + "cmd SwitchUtilToProcess\n"},
        {"name view emptied", refused + "attach UtilityNameView.599.0 empty\n"},
        {"name cell emptied", refused + "settext StrNameU.440.1\n"},
        // Named on the site for every scenario: a rename in one scenario says so too.
        {"name cell renamed", refused + "settext StrNameU.440.0 Steam2\n"},
    };
    const std::string read = "text StrName.401.[]\ntext StrNameU.440.[]\nget HeatFlow.440.[]\n";
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        ScratchFile saved("sitestay", "route.kcase", "", false);
        const std::string script = kWorks + route.steps + read;
        const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                    ScratchFile("sitestay", "route.txt", script).path + " --save " + saved.path);
        // Each route is judged on its own: one that fails does not hide the next.
        EXPECT_EQ(0, run.exitCode) << run.out;
        if (run.exitCode != 0) continue;
        EXPECT_TRUE(has(run.out, "Error SiteUtilityStaysInEveryScenario|The utility is a stream of the total site")) << run.out;
        const std::string processes = "text H1\n  text H2\n  text C1\n  text C2\n  text **New**\n";
        const std::string utilities = "text StrNameU.440.[]\n  text HP Steam\n  text Cooling Water\n";
        EXPECT_TRUE(has(run.out, processes)) << run.out;
        EXPECT_TRUE(has(run.out, utilities + std::to_string(lines(script)) + ": get")) << run.out;
        EXPECT_EQ((std::vector<double>{20, 60}), ScriptValues(run.out, lines(script))) << run.out;

        const HostRun reopened = RunViewScript(saved.path, "open HIDesignViewerScenario.200.0\n" + read);
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        EXPECT_TRUE(has(reopened.out, processes)) << reopened.out;
        EXPECT_TRUE(has(reopened.out, utilities + "4: get")) << reopened.out;
        EXPECT_EQ((std::vector<double>{20, 60}), ScriptValues(reopened.out, 4)) << reopened.out;
        const HostRun targets = RunHost("targets " + saved.path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, "  HP Steam  20.000 kW\n  Cooling Water  60.000 kW\n")) << targets.out;
        EXPECT_TRUE(has(targets.out, "operating cost            1978.80 per year")) << targets.out;
    }
}

// The other side: HP Steam deleted on the site leaves Process 1 and Winter at once, and the case
// reopened holds Cooling Water alone in both. Process 1's 20 kW of hot utility then has no utility
// to come from, which the targets say instead of pricing a network.
TEST(HostViewSiteStreamsStay, ASiteStreamDeletedOnTheSiteLeavesEveryScenarioForGood) {
    ScratchFile saved("sitestay", "deleted.kcase", "", false);
    const std::string script = kWorks + kBack + "cmd AddDefaultScenario Winter\n" +
                               "answer 1\nexpect DeleteStreamError\nattach UtilityNameView.599.0 empty\n" +
                               "open HIDesignViewerScenario.200(Process 1)\ntext StrNameU.440.[]\n" + kBack +
                               "open HIDesignViewerScenario.200(Winter)\ntext StrNameU.440.[]\n";
    const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                ScratchFile("sitestay", "deleted.txt", script).path + " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string alone = "text StrNameU.440.[]\n  text Cooling Water\n";
    EXPECT_TRUE(has(run.out, std::to_string(lines(script) - 3) + ": " + alone + std::to_string(lines(script) - 2))) << run.out;
    EXPECT_TRUE(has(run.out, std::to_string(lines(script)) + ": " + alone)) << run.out;

    const HostRun reopened = RunViewScript(saved.path, "open HIDesignViewerScenario.200(Process 1)\ntext StrNameU.440.[]\n" +
                                                           kBack + "open HIDesignViewerScenario.200(Winter)\ntext StrNameU.440.[]\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "2: " + alone + "3: ")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "5: " + alone)) << reopened.out;
    EXPECT_FALSE(has(reopened.out, "HP Steam")) << reopened.out;
    const HostRun targets = RunHost("targets " + saved.path);
    EXPECT_TRUE(has(targets.out, "  Cooling Water  60.000 kW\n")) << targets.out;
    EXPECT_TRUE(has(targets.out, "hot utility placed 0.000 kW of 20.000 kW")) << targets.out;
    EXPECT_TRUE(has(targets.out, "operating cost            not available")) << targets.out;
}

// HP Steam renamed MP Steam on the site (MP Steam is a default utility the site does not hold):
// every scenario holds MP Steam, priced as MP Steam (0.00792 per kWh over 8760 h, 69.3792 per kW
// and year; Cooling Water 6.7), and the case is saved, reopened, renamed back and saved again.
// Process 1 needs 20 and 60 kW (20 x 69.3792 + 60 x 6.7 = 1789.58; with HP Steam at 78.84 per kW
// and year 1978.80), Winter 0 and 160 kW (1072.00) whatever the hot utility is called.
TEST(HostViewSiteStreamsStay, ASiteStreamRenamedOnTheSiteIsSavedUnderItsNewName) {
    const std::string read = "open HIDesignViewerScenario.200(Process 1)\ntext StrNameU.440.[]\nget HeatFlow.440.[]\n"
                             "get CostPerTime.302\n" + kBack + "open HIDesignViewerScenario.200(Winter)\n"
                             "text StrNameU.440.[]\nget HeatFlow.440.[]\nget CostPerTime.302\n";
    struct Step {
        const char* hot;       // the site's hot utility after the step
        const char* cost;      // Process 1's operating cost
        const char* targets;   // the line of the targets job
    };
    const Step renamed{"MP Steam", "1789.58", "  MP Steam  20.000 kW\n  Cooling Water  60.000 kW\n"};
    const Step back{"HP Steam", "1978.80", "  HP Steam  20.000 kW\n  Cooling Water  60.000 kW\n"};
    auto check = [&](const HostRun& run, int first, const Step& step) {
        const std::string names = std::string("text StrNameU.440.[]\n  text ") + step.hot + "\n  text Cooling Water\n";
        EXPECT_TRUE(has(run.out, std::to_string(first + 2) + ": " + names)) << run.out;
        EXPECT_EQ((std::vector<double>{20, 60}), ScriptValues(run.out, first + 3)) << run.out;
        ASSERT_EQ(1u, ScriptValues(run.out, first + 4).size()) << run.out;
        EXPECT_NEAR(std::stod(step.cost), ScriptValues(run.out, first + 4)[0], 0.005) << run.out;
        EXPECT_TRUE(has(run.out, std::to_string(first + 7) + ": " + names)) << run.out;
        EXPECT_EQ((std::vector<double>{0, 160}), ScriptValues(run.out, first + 8)) << run.out;
        ASSERT_EQ(1u, ScriptValues(run.out, first + 9).size()) << run.out;
        EXPECT_NEAR(1072.00, ScriptValues(run.out, first + 9)[0], 0.005) << run.out;
    };
    auto jobs = [&](const std::string& path, const Step& step) {
        const HostRun reopened = RunViewScript(path, read, " --open project");
        ASSERT_EQ(0, reopened.exitCode) << reopened.out;
        check(reopened, 0, step);
        const HostRun targets = RunHost("targets " + path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, step.targets)) << targets.out;
        EXPECT_TRUE(has(targets.out, std::string("operating cost            ") + step.cost + " per year")) << targets.out;
    };

    ScratchFile first("siterename", "first.kcase", "", false), second("siterename", "second.kcase", "", false);
    const std::string build = kWorks + kBack + "cmd AddDefaultScenario Winter\nopen HIDesignViewerScenario.200(Winter)\n" +
                              "settext StrName.401.0 H9\nset Temperature.402.0 200\nset Temperature.403.0 40\n"
                              "set HeatCapacityFlow.404.0 1\n" + kBack + "attach UtilityNameView.599.0 MP Steam\n";
    const HostRun run = RunHost("view --new hi-total-site Works --script " +
                                ScratchFile("siterename", "build.txt", build + read).path + " --save " + first.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    check(run, lines(build), renamed);
    jobs(first.path, renamed);

    const HostRun again = RunViewScript(first.path, "attach UtilityNameView.599.0 HP Steam\n" + read, " --open project --save " + second.path);
    ASSERT_EQ(0, again.exitCode) << again.out;
    check(again, 1, back);
    jobs(second.path, back);
}

}  // namespace
