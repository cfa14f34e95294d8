// A case whose count of items in a record is damaged to 2147483647 or 1e8 is refused as damaged by
// kestrin-host, within a few hundred megabytes and without an abort, whichever record holds the
// count: the project's scenarios, a scenario's streams and designs, the views' set, and the
// supertargeting view an older case brings (its linked views).
//
// The cases are a design of the four-stream table saved with its views, as kestrin-host writes it;
// a record is found by walking the file's framing: a one-byte tag per field, a record being 'R',
// an int32 version, a uint32 body length and its body; 'i' an int32; 's' a uint32 length and its
// bytes; the magic in front and a CRC-32 behind (CaseChecksum.h).
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kMagic = 8;
constexpr std::size_t kTrailer = 4;

std::uint32_t u32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

std::string le32(std::uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFFu);
    return out;
}

std::string intField(std::int32_t v) { return "i" + le32(static_cast<std::uint32_t>(v)); }
std::string textField(const std::string& text) { return "s" + le32(static_cast<std::uint32_t>(text.size())) + text; }
std::string record(std::int32_t version, const std::string& body) {
    return "R" + le32(static_cast<std::uint32_t>(version)) + le32(static_cast<std::uint32_t>(body.size())) + body;
}

// The four-stream design saved with its views, without its trailer; made once.
const std::string& savedCase() {
    static const std::string bytes = [] {
        ScratchFile design("damaged-count", "design.case", "", false), viewed("damaged-count", "viewed.case", "", false);
        ScratchFile script("damaged-count", "none.txt", "# nothing\n");
        if (RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                    " --save " + design.path).exitCode != 0 ||
            RunHost("view " + design.path + " --script " + script.path + " --save " + viewed.path).exitCode != 0)
            return std::string();
        const std::string file = FileContents(viewed.path);
        return file.size() > kMagic + kTrailer ? file.substr(0, file.size() - kTrailer) : std::string();
    }();
    return bytes;
}

// Where the views' set record starts: after the project's record.
std::size_t viewsRecord(const std::string& body) { return kMagic + 9 + u32(body, kMagic + 5); }

// The case with a supertargeting view of an older program appended to the views' set as a child of
// the first view: no linked views, no plot parameters, no plot.
std::string withSupertargetView(const std::string& body, std::size_t& countAt) {
    const std::size_t set = viewsRecord(body);
    const std::uint32_t setLength = u32(body, set + 5);
    const std::int32_t views = static_cast<std::int32_t>(u32(body, set + 10));
    const std::string none = record(1, intField(0) + textField("") + textField("") + textField(""));
    std::string data;
    for (int i = 0; i < 8; ++i) data += intField(0);  // linked views, the design and grid views
    data += none + none + textField("");             // scenario, design, text
    for (int i = 0; i < 11; ++i) data += intField(0);  // eight numbers, the three quantities
    const std::string head = textField("ProcessIntegrationObject") + intField(views + 1) + intField(1) + textField("super");
    const std::string tail = record(1, "b" + std::string(1, '\0')) + intField(0);  // plot parameters, plot
    const std::string view = record(2, head + data + intField(0) + tail);
    std::string out = body;
    const std::size_t end = set + 9 + setLength;
    out.insert(end, view);
    countAt = end + view.size() - tail.size() - 5;
    out.replace(set + 5, 4, le32(setLength + static_cast<std::uint32_t>(view.size())));
    out.replace(set + 10, 4, le32(static_cast<std::uint32_t>(views + 1)));
    return out;
}

// The offset of the int field of value `value` that comes right before `next`, first match.
std::size_t intBefore(const std::string& body, std::int32_t value, const std::string& next) {
    return body.find(intField(value) + next, kMagic);
}

struct DamagedCount {
    const char* name;
    const char* record;  // which count
    std::int32_t value;
};

class HostDamagedCount : public ::testing::TestWithParam<DamagedCount> {};

TEST_P(HostDamagedCount, IsRefusedAsDamagedWithoutAnAbort) {
    const DamagedCount& d = GetParam();
    const std::string& body = savedCase();
    ASSERT_FALSE(body.empty());
    std::string damaged = body;
    std::size_t at = std::string::npos;
    const std::string kind = d.record;
    if (kind == "supertarget view") {
        damaged = withSupertargetView(body, at);
    } else if (kind == "views") {
        at = viewsRecord(body) + 9;
    } else if (kind == "project scenarios") {
        // A tagged 32-bit integer of its own kind ('l') before the first scenario's name.
        at = body.find("l" + le32(1) + textField("base"), kMagic);
    } else if (kind == "process streams") {
        // Four process streams and two utilities, the first named "H1" (a counted string).
        at = intBefore(body, 4, intField(2) + intField(3) + "cH");
    } else if (kind == "utility streams") {
        at = intBefore(body, 2, intField(3) + "cH");
    } else if (kind == "designs") {
        at = intBefore(body, 1, textField("Network"));
    }
    ASSERT_NE(std::string::npos, at) << kind;
    ASSERT_TRUE(damaged[at] == 'i' || damaged[at] == 'l') << kind;
    damaged.replace(at + 1, 4, le32(static_cast<std::uint32_t>(d.value)));
    ScratchFile file("damaged-count", std::string(d.name) + ".case", WithCaseChecksum(damaged));
    ScratchFile script("damaged-count", std::string(d.name) + ".txt", "# nothing\n");
    // A few hundred megabytes of address space are room for the whole run; a count taken at its
    // word would need gigabytes (or hundreds of megabytes for 1e8 links).
    const HostRun run = RunShell("(ulimit -v 300000; exec " + std::string(KESTRIN_HOST_EXE) + " view " + file.path +
                                 " --script " + script.path + ") 2>&1");
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("damaged")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("bad_alloc")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Records, HostDamagedCount,
    ::testing::Values(DamagedCount{"SupertargetViewLinksLargest", "supertarget view", 2147483647},
                      DamagedCount{"SupertargetViewLinks1e8", "supertarget view", 100000000},
                      DamagedCount{"ViewsLargest", "views", 2147483647}, DamagedCount{"Views1e8", "views", 100000000},
                      DamagedCount{"ProjectScenariosLargest", "project scenarios", 2147483647},
                      DamagedCount{"ProjectScenarios1e8", "project scenarios", 100000000},
                      DamagedCount{"ProcessStreamsLargest", "process streams", 2147483647},
                      DamagedCount{"ProcessStreams1e8", "process streams", 100000000},
                      DamagedCount{"UtilityStreamsLargest", "utility streams", 2147483647},
                      DamagedCount{"UtilityStreams1e8", "utility streams", 100000000},
                      DamagedCount{"DesignsLargest", "designs", 2147483647},
                      DamagedCount{"Designs1e8", "designs", 100000000}),
    [](const ::testing::TestParamInfo<DamagedCount>& info) { return std::string(info.param.name); });

// The cases the rows damage open as they are, the one with the supertargeting view too.
TEST(HostDamagedCount, TheUndamagedCasesOpen) {
    const std::string& body = savedCase();
    ASSERT_FALSE(body.empty());
    std::size_t at = 0;
    for (const std::string& bytes : {body, withSupertargetView(body, at)}) {
        ScratchFile file("damaged-count", "whole.case", WithCaseChecksum(bytes));
        ScratchFile script("damaged-count", "whole.txt", "# nothing\n");
        const HostRun run = RunHost("view " + file.path + " --script " + script.path);
        EXPECT_EQ(0, run.exitCode) << run.out;
    }
}

}  // namespace
