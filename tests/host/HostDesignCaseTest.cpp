// kestrin-host design CASE: a case holding a design with utilities reads back as it was saved;
// the same network saved twice gives the same bytes (the design record is deterministic, its
// utility loads included), and every cut of the case is refused as damaged.
#include "HostProcess.h"

#include <gtest/gtest.h>

namespace {

const std::string kStreams = std::string(KESTRIN_EXAMPLES) + "/four-streams.csv";
const std::string kNetwork = std::string(KESTRIN_EXAMPLES) + "/four-streams-network.csv";

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("design-case-test", stem, content, write) {}
};

}  // namespace

TEST(HostDesignCase, TheSameNetworkSavedTwiceIsTheSameCaseAndReadsBackItsReport) {
    Scratch first("first.case", "", false), second("second.case", "", false);
    const HostRun a = RunHost("design " + kStreams + " " + kNetwork + " --json --save " + first.path);
    ASSERT_EQ(a.exitCode, 0) << a.out;
    const HostRun b = RunHost("design " + kStreams + " " + kNetwork + " --json --save " + second.path);
    ASSERT_EQ(b.exitCode, 0) << b.out;
    const std::string bytes = FileContents(first.path);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes, FileContents(second.path));

    const HostRun back = RunHost("design " + first.path + " --json");
    ASSERT_EQ(back.exitCode, 0) << back.out;
    EXPECT_EQ(back.out, a.out);
    EXPECT_NE(back.out.find("\"hot_utility\": 20"), std::string::npos) << back.out;

    // Cut anywhere, the case is refused and nothing is reported.
    for (std::size_t n : {bytes.size() / 7, bytes.size() / 3, bytes.size() / 2, bytes.size() - 5}) {
        Scratch cut("cut.case", bytes.substr(0, n));
        const HostRun run = RunHost("design " + cut.path);
        EXPECT_EQ(run.exitCode, 1) << n << ": " << run.out;
        EXPECT_EQ(run.out.find("Network design"), std::string::npos) << n;
    }
}
