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

// The file with the double number `field` of a value set set to `value`: the first one starts
// `skip` bytes into `anchor`, and each is followed by its status (tag, 8 bytes, tag, 4 bytes);
// empty when the anchor is not found.
std::string WithValueAt(const std::string& file, const std::string& anchor, std::size_t skip, int field, double value) {
    if (file.size() < 4) return std::string();
    const std::string body = file.substr(0, file.size() - 4);
    const std::size_t at = body.find(anchor);
    if (at == std::string::npos) return std::string();
    std::string changed = body;
    changed.replace(at + skip + 14 * static_cast<std::size_t>(field), 8, DoubleBytes(value));
    return WithCaseChecksum(changed);
}

// The "DEFAULT" cost law (a 10000, b 800, c 0.8, law 0) and the plant's economics (rate 0.1,
// life 5, hours 8765.76) as their records hold them.
std::string WithLawValue(const std::string& file, int field, double value) {
    return WithValueAt(file, "DEFAULTd" + DoubleBytes(10000.0), 8, field, value);
}
std::string WithPlantValue(const std::string& file, int field, double value) {
    return WithValueAt(file, "d" + DoubleBytes(0.1) + "i", 1, field, value);
}

struct EconomicValue {
    const char* what;
    bool plant;  // the plant's economics, else the cost law
    int field;
    double value;
    bool read;
};
const EconomicValue kEconomics[] = {
    {"the file as written", false, 2, 0.8, true},      {"a constant of -5 (taken with a warning)", false, 0, -5.0, true},
    {"an exponent of 2", false, 2, 2.0, true},          {"a constant of -1e300", false, 0, -1e300, false},
    {"a coefficient of 1e13", false, 1, 1e13, false},   {"an exponent of 5", false, 2, 5.0, false},
    {"an exponent of -0.5", false, 2, -0.5, false},     {"a law of 7", false, 3, 7.0, false},
    {"a law of 1", false, 3, 1.0, true},
    {"a rate of 2", true, 0, 2.0, false},               {"a plant life of 200 (its numbered field takes it)", true, 1, 200.0, true},
    {"a plant life of -1", true, 1, -1.0, false},       {"9000 hours a year", true, 2, 9000.0, false},
};

// A capital-cost file holding a value no editor of the economics takes (a law of 7, an exponent
// of 5, a constant past 1e12, 9000 hours, ...) is refused, "RecallPreferenceError", and the
// scenario keeps its economics; a value an editor takes is read. (Every one of them was read; a law
// of 7 then priced every exchanger at nothing.)
TEST(HostReadersRanges, ACapitalCostFileOutsideTheEditorsRangesIsRefused) {
    ScratchFile saved("readers", "saved.hcc", "", false);
    ScratchFile save("readers", "save.txt", "file " + saved.path + "\ncmd SaveHXCapitalCostDefaultSet\n");
    ASSERT_EQ(0, RunHost("view " + ExamplePath("four-streams.csv") + " --script " + save.path).exitCode);
    const std::string bytes = FileContents(saved.path);
    for (const EconomicValue& v : kEconomics) {
        const std::string changed = v.plant ? WithPlantValue(bytes, v.field, v.value) : WithLawValue(bytes, v.field, v.value);
        ASSERT_FALSE(changed.empty()) << v.what;
        ScratchFile file("readers", "changed.hcc", changed);
        ScratchFile script("readers", "changed.txt",
                           std::string(v.read ? "" : "expect RecallPreferenceError\n") + "file " + file.path +
                               "\ncmd OpenHXCapitalCostDefaultSet\nget Cost.501.0\nget ExtraData.503.0\nget Enum.101.0\n"
                               "get rate_cap_int.300\nget exp_plant_life.300\nget hours_of_operation.300\n");
        const HostRun run = RunHost("view " + ExamplePath("four-streams.csv") + " --script " + script.path);
        ASSERT_EQ(0, run.exitCode) << v.what << run.out;
        EXPECT_EQ(v.read, run.out.find("RecallPreferenceError") == std::string::npos) << v.what << run.out;
        const int first = v.read ? 3 : 4;
        // a, c, the law, the rate in %, the life, the hours: as they were, or the value read.
        double expected[] = {10000, 0.8, 0, 10, 5, 8765.76};
        const int shownAt[2][4] = {{0, -1, 1, 2}, {3, 4, 5, -1}};
        if (v.read && shownAt[v.plant][v.field] >= 0)
            expected[shownAt[v.plant][v.field]] = v.plant && v.field == 0 ? 100.0 * v.value : v.value;
        for (int k = 0; k < 6; ++k) {
            const std::vector<double> got = ScriptValues(run.out, first + k);
            ASSERT_EQ(1u, got.size()) << v.what << run.out;
            EXPECT_NEAR(expected[k], got[0], 1e-9) << v.what << " " << k;
        }
    }
}

}  // namespace
