// A design's unit keeps its temperatures where it meets each stream as named values of the case
// file. A name made unreadable under a checksum made again (one byte of "Temperature") must not
// drop a settled unit's temperatures silently: the case is refused as damaged, or reads as before.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// CRC-32 (IEEE, reflected), the case file's trailer.
std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string withChecksum(const std::string& body) {
    const std::uint32_t crc = crc32(body);
    std::string out = body;
    for (int k = 0; k < 4; ++k) out += static_cast<char>((crc >> (8 * k)) & 0xFFu);
    return out;
}

// The units lines of a design report.
std::string unitsOf(const std::string& report) {
    const std::size_t from = report.find("Units ");
    const std::size_t to = report.find("Totals:");
    return from == std::string::npos || to == std::string::npos ? std::string() : report.substr(from, to - from);
}

TEST(HostCasePortTemperature, ARenamedTemperatureIsDamageOrChangesNoUnit) {
    ScratchFile saved("port", "design.kcase", "", false);
    const HostRun design = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                   ExamplePath("four-streams-network.csv") + " --save " + saved.path);
    ASSERT_EQ(0, design.exitCode) << design.out;
    const std::string units = unitsOf(design.out);
    ASSERT_FALSE(units.empty()) << design.out;
    const std::string file = FileContents(saved.path);
    ASSERT_GT(file.size(), 4u);
    const std::string body = file.substr(0, file.size() - 4);
    ScratchFile edited("port", "edited.kcase", "", false);
    int edits = 0, refused = 0;
    for (std::size_t at = body.find("Temperature"); at != std::string::npos; at = body.find("Temperature", at + 1)) {
        std::string changed = body;
        changed[at + 10] = 'x';
        { std::ofstream(edited.path, std::ios::binary) << withChecksum(changed); }
        const HostRun run = RunHost("design " + edited.path);
        ++edits;
        if (run.exitCode != 0) {
            EXPECT_TRUE(run.out.find("the case file is damaged") != std::string::npos) << at << "\n" << run.out;
            ++refused;
            continue;
        }
        EXPECT_EQ(units, unitsOf(run.out)) << "edit at byte " << at;
    }
    EXPECT_GT(edits, 20);
    EXPECT_GT(refused, 0);
}

}  // namespace
