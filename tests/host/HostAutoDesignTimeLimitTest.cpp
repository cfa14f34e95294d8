// Every solve of an automatic design runs under the user's time limit (the linear model of the
// matches, the match search, each network structure's relaxation and search), and every stop at
// the limit is named in the text and the JSON: a run that fails for it says so.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {
bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
}  // namespace

TEST(HostAutoDesignTimeLimit, AFailureTheLimitCausedNamesTheLimit) {
    const std::string table = ExamplePath("four-streams.csv");
    for (const char* limit : {"0.000001", "0.001"}) {
        SCOPED_TRACE(limit);
        const std::string words = std::string("stopped at its time limit of ") + (limit[4] == '0' ? "1e-06" : "0.001") + " s";
        const HostRun text = RunHost("autodesign " + table + " --time-limit " + limit);
        if (text.exitCode != 0) {
            const std::size_t failure = text.out.find("kestrin-host: ");
            ASSERT_NE(std::string::npos, failure) << text.out;
            EXPECT_TRUE(has(text.out.substr(failure), words)) << text.out;
        }
        const HostRun json = RunHost("autodesign " + table + " --time-limit " + std::string(limit) + " --json 2>/dev/null");
        if (has(json.out, "\"message\": \"FailedToResolveSuperStructure\"")) {
            EXPECT_TRUE(has(json.out, "the network structure search (")) << json.out;
        }
        if (has(json.out, "\"message\": \"")) {
            EXPECT_TRUE(has(json.out, words)) << json.out;
        }
    }
    // Within a limit it does not reach, nothing is said of it.
    const HostRun free = RunHost("autodesign " + table + " --time-limit 60");
    EXPECT_EQ(0, free.exitCode) << free.out;
    EXPECT_FALSE(has(free.out, "time limit")) << free.out;
}
