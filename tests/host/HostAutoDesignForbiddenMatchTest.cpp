// kestrin-host autodesign on a case whose scenario forbids a process match (ticked on the
// forbidden-match form): the run makes its designs, and neither the matches of the linear model
// nor any exchanger of a design pairs the two forbidden streams.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ForbiddenPair {
    const char* cell;  // the tick on the form, "Switch.1200.<cell>"
    const char* hot;
    const char* cold;
};

class HostAutoDesignForbiddenMatch : public ::testing::TestWithParam<ForbiddenPair> {};

TEST_P(HostAutoDesignForbiddenMatch, NoDesignPairsTheForbiddenStreams) {
    const ForbiddenPair pair = GetParam();
    ScratchFile saved("autodesign-forbidden", std::string("case-") + pair.hot + pair.cold, "", false);
    const HostRun view = RunViewScript(ExamplePath("four-streams.csv"),
                                       std::string("cmd OpenForbidden\nexpect ChangingToLPAndGCCChoseForbidden\n") +
                                           "set Switch.1200." + pair.cell + " 1\nclose ForbiddenMatchView\n",
                                       " --save " + saved.path);
    ASSERT_EQ(view.exitCode, 0) << view.out;

    const HostRun run = RunHost("autodesign " + saved.path + " --designs 2 --time-limit 5 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\"name\": \"A_Design0\""), std::string::npos) << run.out;
    // The model's loaded matches and the units list a pair as "hot": H, "cold": C; the pairs the
    // model left unloaded (where a forbidden one may stand) are cut out first.
    std::string loaded = run.out;
    const std::size_t unloaded = loaded.find("\"unloaded_matches\"");
    ASSERT_NE(unloaded, std::string::npos) << run.out;
    loaded.erase(unloaded, loaded.find(']', unloaded) - unloaded);
    const std::string forbidden = std::string("\"hot\": \"") + pair.hot + "\", \"cold\": \"" + pair.cold + "\"";
    EXPECT_EQ(loaded.find(forbidden), std::string::npos) << forbidden << "\n" << run.out;
}

INSTANTIATE_TEST_SUITE_P(EachProcessPair, HostAutoDesignForbiddenMatch,
                         ::testing::Values(ForbiddenPair{"0.0", "H1", "C1"}, ForbiddenPair{"1.0", "H1", "C2"},
                                           ForbiddenPair{"0.1", "H2", "C1"}, ForbiddenPair{"1.1", "H2", "C2"}));

}  // namespace
