// Every file the host reads is a regular file of bounded size: a device that never ends, a pipe
// and a directory are refused by name with exit 1 (never a crash, a wait or an empty read), and
// an exchanger table holds a bounded number of exchangers.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <ostream>
#include <string>
#include <thread>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Input {
    const char* name;
    std::string arguments;
    const char* says;
};
[[maybe_unused]] void PrintTo(const Input& i, std::ostream* os) { *os << i.name; }

class HostBoundedInput : public ::testing::TestWithParam<Input> {};

TEST_P(HostBoundedInput, IsRefusedByName) {
    const HostRun run = RunHost(GetParam().arguments);
    EXPECT_EQ(1, run.exitCode) << run.out.substr(0, 400);
    EXPECT_TRUE(has(run.out, GetParam().says)) << run.out.substr(0, 400);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostBoundedInput,
    ::testing::Values(
        Input{"exchangerTableOfADevice", "design " + ExamplePath("four-streams.csv") + " /dev/zero",
              "/dev/zero is not a regular file, not an exchanger table"},
        Input{"scriptOfADevice", "view " + ExamplePath("four-streams.csv") + " --script /dev/zero",
              "/dev/zero is not a regular file, not a script"},
        Input{"scriptOfADirectory", "view " + ExamplePath("four-streams.csv") + " --script /tmp",
              "/tmp is a directory, not a script"},
        Input{"streamTableOfADevice", "targets /dev/zero", "/dev/zero is not a regular file"}),
    [](const ::testing::TestParamInfo<Input>& info) { return std::string(info.param.name); });

// A pipe is not read even with a writer ready to give it a whole table: the host neither waits
// for one nor reads what may never end.
TEST(HostBoundedInputPipe, AnExchangerTableInAPipeIsRefused) {
    ScratchFile fifo("bounded", "network.fifo", "", false);
    ASSERT_EQ(0, ::mkfifo(fifo.path.c_str(), 0600));
    // A writer whose reader went away gets SIGPIPE: the test takes the error instead.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const std::string table = FileContents(ExamplePath("four-streams-network.csv"));
        while (!stop) {
            const int fd = ::open(fifo.path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0) {
                std::this_thread::yield();
                continue;
            }
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            const ssize_t n = ::write(fd, table.data(), table.size());
            (void)n;
            ::close(fd);
            return;
        }
    });
    const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + fifo.path);
    stop = true;
    writer.join();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "is not a regular file")) << run.out;
}

// One exchanger more than a table may hold is refused at its line, before any is built.
TEST(HostBoundedInputRows, AnExchangerTableBeyondItsRowLimitIsRefusedAtTheFirstRowBeyond) {
    std::string table = "name,hot,cold,duty\n";
    for (int i = 1; i <= 2001; ++i) table += "E" + std::to_string(i) + ",H1,C1,0.01\n";
    ScratchFile network("bounded", "rows.csv", table);
    const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " + network.path);
    EXPECT_EQ(1, run.exitCode) << run.out.substr(0, 400);
    EXPECT_TRUE(has(run.out, "line 2002: the exchanger table holds more than 2000 exchangers")) << run.out.substr(0, 400);
}

}  // namespace
