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

// An untouched case reads as it was saved.
TEST(HostCaseContentWhole, ASavedCaseStillReads) {
    Scratch saved("whole.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --dtmin 12.5 --save " + saved.path).exitCode);
    HostRun run = RunHost("targets " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
}

}  // namespace
