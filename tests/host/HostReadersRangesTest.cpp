// What a reader takes is what the editors take: a utility-defaults file or a site's manager record
// whose utility holds a value its editor refuses (a negative film coefficient, a price past any
// plant, a hot utility's supply below its target) is damaged, and so is a case whose count of
// forbidden matches disagrees with its streams' links. The checksum is made again each time, so
// that only the reader's own checks can refuse the file.
#include "DefaultUtilityBytes.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct UtilityValue {
    const char* what;
    int field;
    double value;
};
const UtilityValue kRefused[] = {
    {"film coefficient -5", 2, -5.0}, {"price 1e300", 3, 1e300}, {"supply 240 below the target 249", 0, 240.0}};

TEST(HostReadersRanges, AUtilityDefaultsFileOutsideTheEditorsRangesIsRefused) {
    ScratchFile saved("readers", "saved.hud", "", false);
    ScratchFile save("readers", "save.txt", "cmd OpenUDB\nopen @last\nfile " + saved.path + "\ncmd SaveUtilityDefaultSet\n");
    ASSERT_EQ(0, RunHost("view --new hi-total-site Works --script " + save.path).exitCode);
    const std::string bytes = FileContents(saved.path);
    // The file as written (a supply of 250 read back as 250) is read.
    ScratchFile same("readers", "same.hud", WithHPSteamValue(bytes, 0, 250.0));
    ScratchFile open("readers", "open.txt", "cmd OpenUDB\nopen @last\nfile " + same.path + "\ncmd OpenUtilityDefaultSet\n");
    const HostRun taken = RunHost("view --new hi-total-site Works --script " + open.path);
    EXPECT_EQ(0, taken.exitCode) << taken.out;
    for (const UtilityValue& v : kRefused) {
        const std::string damaged = WithHPSteamValue(bytes, v.field, v.value);
        ASSERT_FALSE(damaged.empty()) << v.what;
        ScratchFile file("readers", "damaged.hud", damaged);
        ScratchFile script("readers", "damaged.txt",
                           "cmd OpenUDB\nopen @last\nexpect RecallPreferenceError\nfile " + file.path +
                               "\ncmd OpenUtilityDefaultSet\nget HeatTransferCoeff.905.2\nget Temperature.903.2\n");
        const HostRun run = RunHost("view --new hi-total-site Works --script " + script.path);
        ASSERT_EQ(0, run.exitCode) << v.what << run.out;
        // HP Steam (the editor's third row) keeps what it had: 6 kW/(m2.C) from 250 C.
        EXPECT_EQ(std::vector<double>{6}, ScriptValues(run.out, 6)) << v.what << run.out;
        EXPECT_EQ(std::vector<double>{250}, ScriptValues(run.out, 7)) << v.what << run.out;
    }
}

TEST(HostReadersRanges, ASiteManagerRecordOutsideTheEditorsRangesIsDamage) {
    ScratchFile saved("readers", "site.kcase", "", false);
    ScratchFile script("readers", "site.txt", kFourStreamSite);
    ASSERT_EQ(0, RunHost("view --new hi-total-site Works --script " + script.path + " --save " + saved.path).exitCode);
    const std::string bytes = FileContents(saved.path);
    ScratchFile same("readers", "same.kcase", WithHPSteamValue(bytes, 0, 250.0));
    EXPECT_EQ(0, RunHost("targets " + same.path).exitCode);
    for (const UtilityValue& v : kRefused) {
        const std::string damaged = WithHPSteamValue(bytes, v.field, v.value);
        ASSERT_FALSE(damaged.empty()) << v.what;
        ScratchFile file("readers", "damaged.kcase", damaged);
        const HostRun run = RunHost("targets " + file.path);
        EXPECT_NE(0, run.exitCode) << v.what << run.out;
        EXPECT_NE(std::string::npos, run.out.find("damaged")) << v.what << run.out;
    }
}

// The scenario's count of forbidden matches: seven integers after its DTmin (10 C), the last of them.
std::string WithForbiddenCount(const std::string& file, std::int32_t count) {
    const std::string body = file.substr(0, file.size() - 4);
    const std::size_t at = body.find("d" + DoubleBytes(10.0));
    if (at == std::string::npos || body[at + 9 + 6 * 5] != 'i') return std::string();
    std::string damaged = body;
    damaged.replace(at + 9 + 6 * 5 + 1, 4, IntBytes(count));
    return WithCaseChecksum(damaged);
}

TEST(HostReadersRanges, AForbiddenMatchCountThatDisagreesWithTheLinksIsDamage) {
    ScratchFile none("readers", "none.kcase", "", false), forbidden("readers", "forbidden.kcase", "", false);
    ASSERT_EQ(0, RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + none.path).exitCode);
    ASSERT_EQ(0, RunHost("targets " + ExamplePath("four-streams.csv") + " --forbid H1:C1 --save " + forbidden.path).exitCode);
    const struct {
        const ScratchFile& from;
        std::int32_t count;
        bool read;
    } rows[] = {{none, 0, true}, {none, 5, false}, {forbidden, 1, true}, {forbidden, 0, false}, {forbidden, 5, false}};
    for (const auto& row : rows) {
        const std::string changed = WithForbiddenCount(FileContents(row.from.path), row.count);
        ASSERT_FALSE(changed.empty());
        ScratchFile file("readers", "count.kcase", changed);
        const HostRun run = RunHost("targets " + file.path);
        EXPECT_EQ(row.read, run.exitCode == 0) << row.count << run.out;
    }
}

}  // namespace
