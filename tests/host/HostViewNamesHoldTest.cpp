// kestrin-host: what a user renames keeps one name for one object. A retrofit's new exchanger is
// named apart from a unit the user renamed to the design's next name (and the step saves what it
// saves without the rename); the retrofit's texts follow its units' renames; the views find the
// result designs the run made, never a design of the user's own named like one; a renamed
// economic data set keeps its matches and deletes when unused; a utility renamed to a default
// utility's name takes the design's heater with it.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("namesheld", stem, "", false) {}
};

std::string retrofitTables() { return ExamplePath("retrofit-streams.csv") + " " + ExamplePath("retrofit-network.csv"); }
std::string fourStreamTables() { return ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv"); }

// The exit code of `design TABLES --save PATH`.
int saveDesign(const std::string& tables, const std::string& path) {
    return RunHost("design " + tables + " --save " + path).exitCode;
}

// The step's "utility cost saving" line.
std::string saving(const std::string& out) {
    std::smatch m;
    return std::regex_search(out, m, std::regex("utility cost saving ([0-9.]+)")) ? m[1].str() : std::string();
}

TEST(HostViewNamesHold, ARetrofitNamesItsExchangerApartFromARenamedUnitAndItsTextsFollowRenames) {
    Scratch plain("plain.kcase"), renamed("renamed.kcase"), result("result.kcase");
    ASSERT_EQ(0, saveDesign(retrofitTables(), plain.path));
    // E1 takes the name the retrofit's copy would give its first new exchanger.
    const HostRun rename = RunViewScript(plain.path, "settext Name.300.0 E-1100\n", " --open design --save " + renamed.path);
    ASSERT_EQ(0, rename.exitCode) << rename.out;

    const HostRun before = RunHost("retrofit " + plain.path + " --mode new-exchanger --budget 1e9");
    ASSERT_EQ(0, before.exitCode) << before.out;
    const HostRun run = RunHost("retrofit " + renamed.path + " --mode new-exchanger --budget 1e9 --save " + result.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "added area     E-1100 17.41, E-1101 11.07 m2")) << run.out;
    EXPECT_TRUE(has(run.out, "E-1101 (exchanger) H2 -> C")) << run.out;
    // Only the new unit gives up its kilowatt: the step saves as much as without the rename.
    ASSERT_FALSE(saving(before.out).empty()) << before.out;
    EXPECT_EQ(saving(before.out), saving(run.out)) << run.out;

    // "Name.303" names the new unit; renamed, it names it still, and so after a reopen.
    Scratch edited("edited.kcase");
    const HostRun texts = RunViewScript(result.path,
                                     "text Name.303\ntext Name.300.[]\nsettext Name.300.4 NewHX\ntext Name.303\n",
                                     " --open design=Network-1N-1 --save " + edited.path);
    ASSERT_EQ(0, texts.exitCode) << texts.out;
    EXPECT_TRUE(has(texts.out, "1: text Name.303\n  text E-1101\n")) << texts.out;
    EXPECT_TRUE(has(texts.out, "text E-1100\n  text Heater\n  text Cooler1\n  text Cooler2\n  text E-1101\n")) << texts.out;
    EXPECT_TRUE(has(texts.out, "4: text Name.303\n  text NewHX\n")) << texts.out;
    const HostRun reopened = RunViewScript(edited.path, "text Name.303\n", " --open design=Network-1N-1");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "1: text Name.303\n  text NewHX\n")) << reopened.out;
}

TEST(HostViewNamesHold, TheDesignViewerFindsTheResultTheRunMadeAndNeverAUsersDesign) {
    Scratch plain("base.kcase"), mine("mine.kcase"), kept("kept.kcase"), deleted("deleted.kcase");
    ASSERT_EQ(0, saveDesign(retrofitTables(), plain.path));
    // The user's own design named like a result: no retrofit ran, and it is not deleted.
    ASSERT_EQ(0, RunViewScript(plain.path, "cmd AddDefaultDesign Network-1N\n", " --save " + mine.path).exitCode);
    // With no run there is nothing of the run's to delete: the delete says so and answers 0.
    const HostRun none = RunViewScript(mine.path,
                                       "cmd OpenRetrofitOptionView\ncmd AddNewHX\nexpect NoRetrofitDesignToDelete\n"
                                       "cmd DeleteNewRetrofitDesign 0\n",
                                       " --open design=Network --save " + kept.path);
    ASSERT_EQ(0, none.exitCode) << none.out;
    EXPECT_TRUE(has(none.out, "4: cmd DeleteNewRetrofitDesign 0\n  result 0\n")) << none.out;
    const HostRun still = RunViewScript(kept.path, "text Name.299\n", " --open design=Network-1N");
    ASSERT_EQ(0, still.exitCode) << still.out;
    EXPECT_TRUE(has(still.out, "1: text Name.299\n  text Network-1N\n")) << still.out;

    // A stepwise run within an investment limit of 1e9 keeps two alternatives (E-1100 at C's inlet,
    // and 4 kW ahead of the heater) and finds nothing more. The user's own "Network-1N-1" stands
    // where the run would have named its first: the run's results are "Network-2N-1" and
    // "Network-2N-2"; the last is reported, priced and deleted, and the user's design stays.
    const HostRun run = RunViewScript(plain.path,
                                      "cmd OpenRetrofitOptionView\nopen MyOwnerObject\ncmd AddDefaultDesign Network-1N-1\n"
                                      "open HIDesignViewerDesign.200.0\ncmd AddNewHX\nset Cost.980 1e9\nexpect RetNewHXOk\n"
                                      "cmd RunRetrofitOptimization\ntext ExtraData.331\ncmd DeleteNewRetrofitDesign 0\n",
                                      " --open design --save " + deleted.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    // The step kept is told as a notice beside the command's 1, not as an error.
    EXPECT_TRUE(has(run.out, "Response RetNewHXOk|A new exchanger was added.|1|")) << run.out;
    EXPECT_TRUE(has(run.out, "9: text ExtraData.331\n  text Retrofit capital cost or payback: ")) << run.out;
    const HostRun users = RunViewScript(deleted.path, "text Name.299\n", " --open design=Network-1N-1");
    ASSERT_EQ(0, users.exitCode) << users.out;
    EXPECT_TRUE(has(users.out, "1: text Name.299\n  text Network-1N-1\n")) << users.out;
    const HostRun gone = RunViewScript(deleted.path, "text Name.299\n", " --open design=Network-2N-2");
    EXPECT_NE(0, gone.exitCode) << gone.out;
    EXPECT_TRUE(has(gone.out, "no view design=Network-2N-2")) << gone.out;
}

// H1-C1 priced by the set "alpha" (a = 100000, b = 1000): capital target 396172.13 where the
// default set gives 152908.07, and the network's capital 244521.08 where the default gives
// 149587.32. Renamed, the set prices both still, in the views, when prices are set again and after
// a reopen.
TEST(HostViewNamesHold, ARenamedEconomicDataSetKeepsItsMatchesAndDeletesWhenUnused) {
    Scratch plain("priced.kcase"), saved("sets.kcase");
    ASSERT_EQ(0, saveDesign(fourStreamTables(), plain.path));
    const HostRun run = RunViewScript(plain.path,
                                      "settext ExtraData.500.1 alpha\nset Cost.501.1 100000\nset ExtraData.502.1 1000\n"
                                      "set Enum.510.0.0 1\nget Cost.654\nsettext ExtraData.500.1 b\nget Enum.510.0.0\n"
                                      "set Cost.501.1 100000\nopen HIDesignViewerDesign.200.0\nget Cost.756\nopen MyOwnerObject\n"
                                      "settext ExtraData.500.2 gamma\nsettext ExtraData.500.2 Delta\nsettext ExtraData.500.2 \n"
                                      "text ExtraData.500.[]\n",
                                      " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "5: get Cost.654\n  value 396172.1318 Cost\n")) << run.out;
    EXPECT_TRUE(has(run.out, "7: get Enum.510.0.0\n  value 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "10: get Cost.756\n  value 244521.0794 Cost\n")) << run.out;
    EXPECT_TRUE(has(run.out, "14: settext ExtraData.500.2\n  result 1\n")) << run.out;
    EXPECT_TRUE(has(run.out, "15: text ExtraData.500.[]\n  text DEFAULT\n  text b\n  text **New**\n")) << run.out;
    const HostRun reopened = RunViewScript(saved.path, "get Enum.510.0.0\nget Cost.654\n");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "1: get Enum.510.0.0\n  value 1\n2: get Cost.654\n  value 396172.1318 Cost\n"))
        << reopened.out;
    const HostRun report = RunHost("design " + saved.path);
    EXPECT_TRUE(has(report.out, "capital cost              244521.08 (investment)")) << report.out;
}

// A scenario of a total site lists the site's economic data sets: its rename and delete of one are
// refused with that reason, not with a clash of names or a set in use, and the set stays.
TEST(HostViewNamesHold, ASiteScenarioSaysWhyItNeitherRenamesNorDeletesTheSitesSets) {
    Scratch script("site.txt");
    std::ofstream(script.path) << "attach UtilityNameView.599.0 Cooling Water\nopen HIDesignViewerScenario.200.0\n"
                                  "settext ExtraData.500.1 alpha\nexpect SiteEconomicDataKeptBySite\nsettext ExtraData.500.1 b\n"
                                  "expect SiteEconomicDataKeptBySite\nsettext ExtraData.500.1 \ntext ExtraData.500.[]\n";
    const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "8: text ExtraData.500.[]\n  text DEFAULT\n  text ALPHA\n  text **New**\n")) << run.out;
}

// HP Steam (250 to 249 C) renamed MP Steam takes MP Steam's ends, 175 to 174 C: the design's
// heater on it runs there too, 20 kW into C1 over 2.33 m2, in the views at once and after a reopen.
TEST(HostViewNamesHold, AUtilityRenamedToADefaultUtilityTakesTheDesignsHeaterAlong) {
    Scratch plain("utility.kcase"), saved("renamed.kcase");
    ASSERT_EQ(0, saveDesign(fourStreamTables(), plain.path));
    const HostRun run = RunViewScript(plain.path, "attach UtilityNameView.599.0 MP Steam\nopen HIDesignViewerDesign.200.0\n"
                                               "get ExtraData.752.0\n",
                                   " --save " + saved.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "3: get ExtraData.752.0\n  value 20 kW\n")) << run.out;
    const HostRun report = RunHost("design " + saved.path);
    ASSERT_EQ(0, report.exitCode) << report.out;
    EXPECT_TRUE(has(report.out, "Heater (heater) MP Steam -> C1: duty 20.00, hot 175.00 -> 174.00")) << report.out;
    EXPECT_TRUE(has(report.out, "area 2.33")) << report.out;
}

// The add row's text, in any case of letters, is no name for an economic data set or a film
// coefficient, added or renamed: each refusal answers 0 with one message that says why, and the
// lists keep their own names through a save and a reopen.
TEST(HostViewNamesHold, TheAddRowsTextNamesNoEconomicSetOrCoefficient) {
    Scratch plain("marker.kcase"), kept("marker-kept.kcase");
    ASSERT_EQ(0, saveDesign(fourStreamTables(), plain.path));
    const std::string why = "Error NewRowMarkerEntryName|\"**New**\" marks the row that adds an entry to the list; "
                            "no entry can take it as its name.|";
    const HostRun run = RunViewScript(plain.path,
                                      "expect NewRowMarkerEntryName\nsettext ExtraData.500.1 **New**\n"
                                      "settext ExtraData.500.1 alpha\n"
                                      "expect NewRowMarkerEntryName\nsettext ExtraData.500.1 **new**\n"
                                      "expect NewRowMarkerEntryName\nsettext ExtraData.227.28 **NEW**\n"
                                      "expect NewRowMarkerEntryName\nsettext ExtraData.227.1 **New**\n",
                                      " --open scenario --save " + kept.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* step : {"2: settext ExtraData.500.1 **New**\n  result 0\n", "5: settext ExtraData.500.1 **new**\n  result 0\n",
                             "7: settext ExtraData.227.28 **NEW**\n  result 0\n", "9: settext ExtraData.227.1 **New**\n  result 0\n"})
        EXPECT_TRUE(has(run.out, step)) << step << run.out;
    std::size_t shown = 0;
    for (std::size_t at = run.out.find(why); at != std::string::npos; at = run.out.find(why, at + 1)) ++shown;
    EXPECT_EQ(4u, shown) << run.out;
    EXPECT_FALSE(has(run.out, "%s")) << run.out;

    const HostRun reopened = RunViewScript(kept.path, "text ExtraData.500.[]\ntext ExtraData.227.[]\n", " --open scenario");
    ASSERT_EQ(0, reopened.exitCode) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "text DEFAULT\n  text ALPHA\n  text **New**\n")) << reopened.out;
    EXPECT_TRUE(has(reopened.out, "text Aromatic Vapor-Stream Azeotrope\n")) << reopened.out;
    std::size_t rows = 0;
    for (std::size_t at = reopened.out.find("**New**"); at != std::string::npos; at = reopened.out.find("**New**", at + 1)) ++rows;
    EXPECT_EQ(2u, rows) << reopened.out;  // each list's add row, and no entry
}

}  // namespace
