// A case whose bytes are whole (its checksum agrees) but whose values no stream table could give
// is refused as damaged, as the same values in a table are refused.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

struct Scratch {
    std::string path;
    explicit Scratch(const std::string& stem)
        : path("/tmp/kestrin-content-" + std::to_string(getpid()) + "-" + stem) {}
    ~Scratch() { std::remove(path.c_str()); }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// CRC-32 (IEEE, reflected), the case file's trailer.
std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string littleEndian(const void* data, std::size_t size) { return std::string(static_cast<const char*>(data), size); }

// The saved four-stream case with the first stored `from` replaced by `to` and the checksum
// made again for the new bytes.
std::string rewritten(const std::string& saved, double from, double to) {
    std::string body = saved.substr(0, saved.size() - 4);
    const std::size_t at = body.find(littleEndian(&from, sizeof from));
    if (at == std::string::npos) return std::string();
    body.replace(at, sizeof to, littleEndian(&to, sizeof to));
    const std::uint32_t crc = crc32(body);
    return body + littleEndian(&crc, sizeof crc);
}

struct Rewrite {
    const char* name;
    double from, to;
    const char* expected;
};

class HostCaseContent : public ::testing::TestWithParam<Rewrite> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const Rewrite& c, std::ostream* os) { *os << c.name; }

TEST_P(HostCaseContent, OutOfRangeValuesUnderAValidChecksumAreDamage) {
    const Rewrite& c = GetParam();
    Scratch saved("saved.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    Scratch damaged(std::string(c.name) + ".case");
    const std::string bytes = rewritten(readFile(saved.path), c.from, c.to);
    ASSERT_FALSE(bytes.empty()) << c.name;
    std::ofstream(damaged.path, std::ios::binary) << bytes;
    HostRun run = RunHost("targets " + damaged.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("the case file is damaged")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

// H1 is the first stream: its supply (170 C) and cp (3) are the first of their values stored;
// the scenario's DTmin (10) comes before every stream.
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContent,
    ::testing::Values(Rewrite{"hugeTemperature", 170.0, 1e300, "stream \"H1\": column supply"},
                      Rewrite{"belowAbsoluteZero", 170.0, -400.0, "below absolute zero"},
                      Rewrite{"tinyCp", 3.0, 1e-10, "stream \"H1\": column cp"},
                      Rewrite{"hugeDTmin", 10.0, 1e6, "its DTmin is 1e+06 C"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every stored copy of a value (the stream's own, the segments targeting reads, a design's unit
// ends) set outside what a case holds: the case is refused as damaged, or (a copy the reader works
// out again) reads exactly as the untouched case did. Never other numbers under exit 0.
struct EveryCopy {
    const char* name;
    const char* job;  // "targets" or "design"
    double from, to;
};
[[maybe_unused]] void PrintTo(const EveryCopy& c, std::ostream* os) { *os << c.name; }

class HostCaseContentEveryCopy : public ::testing::TestWithParam<EveryCopy> {};

TEST_P(HostCaseContentEveryCopy, IsRefusedOrChangesNothing) {
    const EveryCopy& c = GetParam();
    Scratch saved(std::string(c.name) + "-saved.case");
    const std::string job = c.job;
    const std::string tables = job == "design" ? example("four-streams.csv") + " " + example("four-streams-network.csv")
                                               : example("four-streams.csv");
    ASSERT_EQ(0, RunHost(job + " " + tables + " --save " + saved.path).exitCode);
    const HostRun untouched = RunHost(job + " " + saved.path);
    ASSERT_EQ(0, untouched.exitCode) << untouched.out;
    const std::string bytes = readFile(saved.path);
    const std::string body = bytes.substr(0, bytes.size() - 4);
    const std::string from = littleEndian(&c.from, sizeof c.from);
    int copies = 0, refused = 0;
    for (std::size_t at = body.find(from); at != std::string::npos; at = body.find(from, at + 1)) {
        ++copies;
        std::string edited = body;
        edited.replace(at, sizeof c.to, littleEndian(&c.to, sizeof c.to));
        const std::uint32_t crc = crc32(edited);
        Scratch damaged(std::string(c.name) + "-" + std::to_string(at) + ".case");
        std::ofstream(damaged.path, std::ios::binary) << edited + littleEndian(&crc, sizeof crc);
        const HostRun run = RunHost(job + " " + damaged.path);
        if (run.exitCode == 1 && run.out.find("the case file is damaged") != std::string::npos) {
            ++refused;
            continue;
        }
        EXPECT_EQ(0, run.exitCode) << "the copy at byte " << at << "\n" << run.out;
        EXPECT_EQ(untouched.out, run.out) << "the copy at byte " << at << " was read and changed the report";
    }
    EXPECT_GE(copies, 2) << "the value is stored more than once";
    EXPECT_GE(refused, 1);
}

// H1's supply is 170 C and its cp 3 kW/C; E1 takes H1 in at its supply.
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContentEveryCopy,
    ::testing::Values(EveryCopy{"supplyAbove5000C", "targets", 170.0, 6000.0},
                      EveryCopy{"supplyHuge", "targets", 170.0, 1e300},
                      EveryCopy{"supplyHugeBelow", "targets", 170.0, -1e300},
                      EveryCopy{"supplyBelowAbsoluteZero", "targets", 170.0, -300.0},
                      EveryCopy{"cpEmptied", "targets", 3.0, -32767.0},
                      EveryCopy{"designSupplyAbove5000C", "design", 170.0, 6000.0},
                      EveryCopy{"designSupplyHuge", "design", 170.0, 1e300}),
    [](const auto& info) { return std::string(info.param.name); });

// An untouched case reads as it was saved.
TEST(HostCaseContentWhole, ASavedCaseStillReads) {
    Scratch saved("whole.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --dtmin 12.5 --save " + saved.path).exitCode);
    HostRun run = RunHost("targets " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
}

}  // namespace
