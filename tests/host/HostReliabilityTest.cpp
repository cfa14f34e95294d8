// What a careless or hostile user meets: results that are not results, saves next to other
// files, damaged cases and names that are not plain text.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

struct Scratch {
    std::string path;
    explicit Scratch(const std::string& stem) : path("/tmp/kestrin-rel-" + std::to_string(getpid()) + "-" + stem) {}
    ~Scratch() { std::remove(path.c_str()); }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Valid UTF-8 with no raw control character but the final newline: what a JSON reader accepts
// of the text between the tokens.
bool plainUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && !(c == '\n' && i + 1 == s.size())) return false;
        if (c == 0x7F || c == 0x1B) return false;
        std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

TEST(HostResults, UtilitiesThatCannotCoverTheTargetsGiveNoAreaOrCost) {
    Scratch noUtility("no-utility.csv");
    writeFile(noUtility.path, "name,supply,target,cp,h\nH1,170,60,3,0.2\nC1,20,135,2,0.2\n");
    // C1 ends at 160 C: LP steam (shifted 120 C) serves the 70 kW below 145 shifted, not the 20
    // kW above.
    Scratch lowSteam("low-steam.csv");
    writeFile(lowSteam.path, "name,supply,target,cp,h,kind\nH1,150,100,1,0.5,process\nC1,20,160,1,0.5,process\n"
                             "LP Steam,,,,,utility\n");
    struct Case {
        std::string arguments, reason;
    } cases[] = {
        // Cooling water (20 -> 25 C, shifted up by half its own approach of 5 to 22.5 -> 27.5 C)
        // no longer cools H2 to 30 C (shifted 30 - 20 / 2 = 20 C): the 1.5 kW/C x 2.5 C below
        // 22.5 C are left of the 105 kW.
        {"targets " + example("four-streams.csv") + " --dtmin 20", "cold utility placed 101.250 kW of 105.000 kW"},
        {"targets " + lowSteam.path, "hot utility placed 70.000 kW of 90.000 kW"},
        {"targets " + noUtility.path, "no utility streams"},
    };
    for (const Case& c : cases) {
        HostRun json = RunHost(c.arguments + " --json");
        ASSERT_EQ(0, json.exitCode) << json.out;
        for (const char* key : {"area_countercurrent", "units_overall", "units_pinch", "shells", "capital_cost", "total_annual_cost"})
            EXPECT_TRUE(has(json.out, std::string("\"") + key + "\": null")) << key << ": " << json.out;
        EXPECT_TRUE(has(json.out, c.reason)) << json.out;
        HostRun text = RunHost(c.arguments);
        EXPECT_TRUE(has(text.out, "total annual cost         not available")) << text.out;
        EXPECT_TRUE(has(text.out, "Note: area, units, shells and costs are not available")) << text.out;
    }
    // At its default DTmin the four-stream example is covered: numbers and no notes.
    HostRun covered = RunHost("targets " + example("four-streams.csv") + " --json");
    EXPECT_TRUE(has(covered.out, "\"notes\": []}")) << covered.out;
}

TEST(HostResults, AUnitWithAreaHasACapitalCostAndTheTotalCoversOperation) {
    Scratch table("one-hot.csv");
    writeFile(table.path, "name,supply,target,cp,h,kind\nH1,170,60,3,0.2,process\nHP Steam,,,,,utility\n"
                          "Cooling Water,,,,,utility\n");
    HostRun run = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    auto value = [&](const std::string& key) {
        const std::size_t at = run.out.find("\"" + key + "\": ");
        return at == std::string::npos ? -1.0 : std::atof(run.out.c_str() + at + key.size() + 4);
    };
    EXPECT_GT(value("area_countercurrent"), 0.0);
    EXPECT_GT(value("capital_cost"), 0.0);
    EXPECT_GE(value("total_annual_cost"), value("operating_cost"));
    EXPECT_GT(value("operating_cost"), 0.0);
}

TEST(HostSupertarget, PointLimitIsStatedAndRefusedAndTheEdgeIsNoOptimum) {
    HostRun tooMany = RunHost("supertarget " + example("four-streams.csv") + " --from 1 --to 11 --step 0.01");
    EXPECT_EQ(2, tooMany.exitCode) << tooMany.out;
    EXPECT_TRUE(has(tooMany.out, "at most 1000")) << tooMany.out;
    EXPECT_TRUE(has(RunHost("").out, "at most 1000")) << "the usage text states the limit";

    // Cooling water (20 -> 25 C) asks for an approach of 5: above DTmin 15 it cannot take H2's
    // heat down to 30 C (shifted 30 - DTmin / 2 below its own 22.5), so the utilities cannot cover
    // the targets: the cheapest computed point, at 15, is the edge of what could be computed, not
    // an optimum.
    HostRun run = RunHost("supertarget " + example("four-streams.csv") + " --from 5 --to 30 --step 5 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "\"optimum\": null")) << run.out;
    EXPECT_TRUE(has(run.out, "is at its edge, DTmin 15.000 C")) << run.out;
    EXPECT_TRUE(has(run.out, "{\"dtmin\": 20, \"hot_utility\": 65, \"cold_utility\": 105, \"area_countercurrent\": null"))
        << run.out;

    // With chilled water the costs reach past the cheapest point (22, between 20 and 24), but at 24
    // the cost is up by 7 per year only, far less than one shell makes, and the points from 26 on
    // cannot be costed: the cheapest point may lie at the edge, so it is no optimum.
    Scratch chilled("chilled.csv");
    writeFile(chilled.path, "name,supply,target,cp,h,kind,cost\nH1,170,60,3,0.2,process,\nH2,150,30,1.5,0.2,process,\n"
                            "C1,20,135,2,0.2,process,\nC2,80,140,4,0.2,process,\nSteam,250,249,,1,utility,120\n"
                            "Chilled,5,10,,1,utility,20\n");
    run = RunHost("supertarget " + chilled.path + " --from 2 --to 40 --step 2 --json");
    EXPECT_TRUE(has(run.out, "\"optimum\": null, \"notes\": [\"8 of 20 points have no area")) << run.out;
    EXPECT_TRUE(has(run.out, "at DTmin 22.000 C is no minimum: towards the upper edge")) << run.out;
}

TEST(HostInput, OptionsAndPathsThatAreNotWhatTheySeem) {
    const std::string table = example("four-streams.csv");
    EXPECT_EQ(2, RunHost("targets " + table + " --dtmin 1e17").exitCode);
    EXPECT_EQ(2, RunHost("targets " + table + " --dtmin 0x10").exitCode);
    HostRun directory = RunHost("targets /tmp");
    EXPECT_EQ(1, directory.exitCode);
    EXPECT_TRUE(has(directory.out, "/tmp is a directory")) << directory.out;

    // More segments than a stream holds.
    Scratch segments("segments.csv");
    std::string text = "name,supply,target,cp\n";
    for (int i = 0; i < 1001; ++i) text += "H1," + std::to_string(2000 - i) + "," + std::to_string(1999 - i) + ",1\n";
    writeFile(segments.path, text);
    HostRun many = RunHost("targets " + segments.path);
    EXPECT_EQ(1, many.exitCode);
    EXPECT_TRUE(has(many.out, "has 1001 segments; a stream holds at most 1000")) << many.out.substr(0, 300);
}

TEST(HostOutput, NamesOfAnyBytesGiveValidJsonAndNoTerminalEscapes) {
    Scratch table("names.csv");
    const std::string longName(300, 'x');
    writeFile(table.path, "name,supply,target,cp,h,kind\n\"H\x1b[31m1\t\x7f\",170,60,3,0.2,process\n"
                          "\"C\xe2\x82\xac\",20,135,2,0.2,process\n" + longName + ",100,90,1,0.2,process\n"
                          "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    HostRun json = RunHost("targets " + table.path + " --json");
    ASSERT_EQ(0, json.exitCode) << json.out;
    EXPECT_TRUE(plainUtf8(json.out)) << json.out;
    HostRun text = RunHost("targets " + table.path);
    EXPECT_TRUE(text.out.find('\x1b') == std::string::npos) << text.out;
    // A name that is not UTF-8 can only come from a case: save one, rename a utility in the older
    // (unchecked) form of the file (the name is stored as a string and as counted characters).
    Scratch saved("names.case");
    writeFile(table.path, "name,supply,target,cp,h,kind\nH1,170,60,3,0.2,process\nHP Steam,,,,,utility\n"
                          "QuxQuxQux,20,25,,0.2,utility\n");
    ASSERT_EQ(0, RunHost("targets " + table.path + " --save " + saved.path).exitCode);
    std::string bytes = readFile(saved.path);
    bytes = "KSTRNCF1" + bytes.substr(8, bytes.size() - 12);
    const std::string from = "QuxQuxQux", to = "Qux\xff\x1b[1mQ";
    auto counted = [](const std::string& name) {
        std::string out;
        for (char c : name) out += std::string("c") + c;
        return out;
    };
    for (const auto& [a, b] : {std::pair{from, to}, std::pair{counted(from), counted(to)}})
        for (std::size_t at = bytes.find(a); at != std::string::npos; at = bytes.find(a, at)) bytes.replace(at, a.size(), b);
    writeFile(saved.path, bytes);
    // Such a case is refused at the reader, naming the stream without its raw bytes.
    json = RunHost("targets " + saved.path + " --json");
    EXPECT_EQ(1, json.exitCode) << json.out;
    EXPECT_TRUE(plainUtf8(json.out)) << json.out;
    EXPECT_TRUE(has(json.out, "has a name that is not UTF-8")) << json.out;
    text = RunHost("targets " + saved.path);
    EXPECT_EQ(1, text.exitCode) << text.out;
    EXPECT_TRUE(text.out.find('\x1b') == std::string::npos) << text.out;

    // A long field in a message is cut.
    Scratch bad("long-field.csv");
    writeFile(bad.path, "name,supply,target,cp\nH1," + longName + ",50,2\n");
    HostRun message = RunHost("targets " + bad.path);
    EXPECT_EQ(1, message.exitCode);
    EXPECT_FALSE(has(message.out, longName)) << message.out;
    EXPECT_TRUE(has(message.out, "...\" in column supply is not a number")) << message.out;
}

TEST(HostSave, RefusalsSayWhyAndNothingBesideTheTargetIsTouched) {
    const std::string table = example("four-streams.csv");
    EXPECT_EQ(2, RunHost("targets " + table + " --save ''").exitCode);
    HostRun overInput = RunHost("targets " + table + " --save " + table);
    EXPECT_EQ(1, overInput.exitCode);
    EXPECT_TRUE(has(overInput.out, "names the input stream table")) << overInput.out;
    // A case as input is refused as the target too, by every job that reads one, and stays as it was
    // (a job's case would drop the views the case keeps).
    Scratch input("input.case");
    ASSERT_EQ(0, RunHost("targets " + table + " --save " + input.path).exitCode);
    const std::string before = readFile(input.path);
    for (const std::string job : {"targets ", "autodesign ", "supertarget "}) {
        const std::string range = job == "supertarget " ? " --from 5 --to 10 --step 5" : "";
        HostRun overCase = RunHost(job + input.path + range + " --save " + input.path);
        EXPECT_EQ(1, overCase.exitCode) << job << overCase.out;
        EXPECT_TRUE(has(overCase.out, "names the input case")) << job << overCase.out;
        EXPECT_EQ(before, readFile(input.path)) << job;
    }
    HostRun toDirectory = RunHost("targets " + table + " --save /tmp");
    EXPECT_EQ(1, toDirectory.exitCode);
    EXPECT_TRUE(has(toDirectory.out, "not a regular file")) << toDirectory.out;
    HostRun nowhere = RunHost("targets " + table + " --save /nonexistent-dir/x.case");
    EXPECT_EQ(1, nowhere.exitCode);
    EXPECT_TRUE(has(nowhere.out, "No such file or directory")) << nowhere.out;

    // The user's own "<case>.tmp" survives; the target keeps its permissions.
    Scratch saved("perm.case"), own("perm.case.tmp");
    writeFile(own.path, "mine");
    HostRun notACase = RunHost("targets " + table + " --save " + own.path);
    EXPECT_EQ(1, notACase.exitCode) << "a file that is not a case is not replaced";
    EXPECT_EQ("mine", readFile(own.path));
    ASSERT_EQ(0, RunHost("targets " + table + " --save " + saved.path).exitCode);
    ASSERT_EQ(0, ::chmod(saved.path.c_str(), 0640));
    ASSERT_EQ(0, RunHost("targets " + table + " --save " + saved.path).exitCode);
    EXPECT_EQ("mine", readFile(own.path));
    struct stat info {};
    ASSERT_EQ(0, ::stat(saved.path.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);

    // A symbolic link is followed to its file and stays a link.
    Scratch link("link.case");
    ASSERT_EQ(0, ::symlink(saved.path.c_str(), link.path.c_str()));
    ASSERT_EQ(0, RunHost("supertarget " + table + " --from 5 --to 10 --step 5 --save " + link.path).exitCode);
    ASSERT_EQ(0, ::lstat(link.path.c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(0, RunHost("targets " + saved.path).exitCode) << "supertarget --save wrote a case";

    // Two saves to one path at once leave one whole case.
    const std::string exe = KESTRIN_HOST_EXE;
    const std::string both = exe + " targets " + table + " --save " + saved.path + " >/dev/null & " + exe +
                             " targets " + example("site-24-streams.csv") + " --save " + saved.path +
                             " >/dev/null & wait";
    ASSERT_EQ(0, std::system(both.c_str()));
    EXPECT_EQ(0, RunHost("targets " + saved.path).exitCode);
}

TEST(HostCase, DamageTrailingBytesAndOlderFiles) {
    Scratch saved("check.case"), changed("changed.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    const std::string bytes = readFile(saved.path);
    ASSERT_EQ("KSTRNCF2", bytes.substr(0, 8));

    std::string flipped = bytes;
    flipped[flipped.size() / 2] ^= 0x07;
    writeFile(changed.path, flipped);
    HostRun run = RunHost("targets " + changed.path);
    EXPECT_EQ(1, run.exitCode);
    EXPECT_TRUE(has(run.out, "checksum")) << run.out;

    writeFile(changed.path, bytes + "extra");
    EXPECT_EQ(1, RunHost("targets " + changed.path).exitCode);

    // The older form: first magic, no checksum. Read, and flagged as unchecked.
    std::string older = "KSTRNCF1" + bytes.substr(8, bytes.size() - 12);
    writeFile(changed.path, older);
    run = RunHost("targets " + changed.path + " --json");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "read without that check")) << run.out;
    // ... but trailing bytes and a NaN are damage there too (DTmin 10 is stored as a tagged double).
    writeFile(changed.path, older + "x");
    EXPECT_EQ(1, RunHost("targets " + changed.path).exitCode);
    const double ten = 10.0;
    std::string tagged = "d" + std::string(reinterpret_cast<const char*>(&ten), 8);
    const std::size_t at = older.find(tagged);
    ASSERT_NE(std::string::npos, at);
    const double nan = std::nan("");
    older.replace(at + 1, 8, std::string(reinterpret_cast<const char*>(&nan), 8));
    writeFile(changed.path, older);
    run = RunHost("targets " + changed.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, "damaged")) << run.out;
}

}  // namespace
