// A setting a case keeps in its target records is one of its few values: the capital cost's kind
// (refused as the record is read: the targets that end the read would price with it) and the
// units search's number of decompositions, set to anything else under a checksum made again, are
// damage, not a case priced by no cost law. A segment whose DTmin scope is not its
// stream's is refused with the scope named.
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string Bytes(const void* p, std::size_t n) { return std::string(static_cast<const char*>(p), n); }

// The place of the `nth` record of version `version` whose body is `length` bytes long.
std::size_t RecordAt(const std::string& body, std::int32_t version, std::uint32_t length, int nth) {
    const std::string head = "R" + Bytes(&version, 4) + Bytes(&length, 4);
    std::size_t at = body.find(head);
    for (int k = 0; k < nth && at != std::string::npos; ++k) at = body.find(head, at + 1);
    return at;
}

// The four-stream case with the integer `offset` bytes after the tag of a record set to `to`.
struct Damaged {
    ScratchFile saved{"casesettings", "saved.kcase", "", false};
    ScratchFile damaged{"casesettings", "damaged.kcase", "", false};
    std::string body;
    Damaged() {
        EXPECT_EQ(0, RunHost("targets " + ExamplePath("four-streams.csv") + " --save " + saved.path).exitCode);
        const std::string bytes = FileContents(saved.path);
        body = bytes.substr(0, bytes.size() - 4);
    }
    // The integer field `offset` bytes after the record's tag, set to `to`; false when the field is none.
    bool Set(std::size_t record, std::size_t offset, std::int32_t to) {
        if (record == std::string::npos || body[record + offset] != 'i') return false;
        body.replace(record + offset + 1, 4, Bytes(&to, 4));
        std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(body);
        return true;
    }
};

// The capital cost is a value and a kind (a record of 14 bytes, the kind 18 bytes after its tag):
// the last such record of the case, of kind 3 (shells, non-uniform). The units target (version 2,
// 40 bytes) keeps its number of decompositions last, 44 bytes after its tag.
TEST(HostCaseSettings, AKindOrFlagOutsideItsValuesIsDamage) {
    struct Case {
        const char* what;
        bool capital;
        std::int32_t to;
        const char* says;
    } cases[] = {
        {"capital kind -1", true, -1, "the case file is damaged or not a Kestrin case"},
        {"capital kind 2^31-1", true, 2147483647, "the case file is damaged or not a Kestrin case"},
        {"capital kind 4", true, 4, "the case file is damaged or not a Kestrin case"},
        {"decompositions -1", false, -1, "its units target asks for -1 decompositions, outside 0 to 100"},
        {"decompositions 2^31-1", false, 2147483647, "asks for 2147483647 decompositions"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Damaged d;
        std::size_t record = std::string::npos;
        if (c.capital) {
            for (int k = 0; RecordAt(d.body, 1, 14, k) != std::string::npos; ++k) record = RecordAt(d.body, 1, 14, k);
            std::int32_t kind = 0;
            std::memcpy(&kind, d.body.data() + record + 19, 4);
            ASSERT_EQ(3, kind);
        } else {
            record = RecordAt(d.body, 2, 40, 0);
        }
        ASSERT_TRUE(d.Set(record, c.capital ? 18 : 44, c.to));
        const HostRun run = RunHost("targets " + d.damaged.path);
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos, run.out.find("damaged")) << run.out;
        EXPECT_NE(std::string::npos, run.out.find(c.says)) << run.out;
        EXPECT_EQ(std::string::npos, run.out.find("capital cost")) << run.out;
    }
    // The values a case may hold still read: kind 0 (units, uniform) and 2 decompositions.
    for (const Case& c : {Case{"capital kind 0", true, 0, ""}, Case{"decompositions 2", false, 2, ""}}) {
        SCOPED_TRACE(c.what);
        Damaged d;
        std::size_t record = std::string::npos;
        if (c.capital)
            for (int k = 0; RecordAt(d.body, 1, 14, k) != std::string::npos; ++k) record = RecordAt(d.body, 1, 14, k);
        else
            record = RecordAt(d.body, 2, 40, 0);
        ASSERT_TRUE(d.Set(record, c.capital ? 18 : 44, c.to));
        const HostRun run = RunHost("targets " + d.damaged.path);
        EXPECT_EQ(0, run.exitCode) << run.out;
    }
}

// HP Steam asks for an approach of its own (a local DTmin contribution of 2.5 x 2 = 5, scope 1):
// the stream's record and its segment's copy hold it. Either made global (scope 0) is refused,
// naming the scopes, not two equal numbers.
TEST(HostCaseSettings, ADTminScopeThatDisagreesIsNamed) {
    const std::string says[] = {
        "stream \"HP Steam\": design segment 1: a DTmin contribution of its own (scope 1) where its stream takes "
        "the scenario's (scope 0)",
        "stream \"HP Steam\": design segment 1: a DTmin contribution of the scenario's (scope 0) where its stream "
        "takes its own (scope 1)"};
    Damaged d;
    int refused = 0;
    for (int k = 0; RecordAt(d.body, 1, 14, k) != std::string::npos; ++k) {
        Damaged one;
        const std::size_t record = RecordAt(one.body, 1, 14, k);
        double value = 0.0;
        std::int32_t scope = 0;
        std::memcpy(&value, one.body.data() + record + 10, 8);
        std::memcpy(&scope, one.body.data() + record + 19, 4);
        if (value != 5.0 || scope != 1) continue;
        ASSERT_TRUE(one.Set(record, 18, 0));
        const HostRun run = RunHost("targets " + one.damaged.path);
        ASSERT_LT(refused, 2);
        EXPECT_EQ(1, run.exitCode) << run.out;
        EXPECT_NE(std::string::npos, run.out.find(says[refused])) << run.out;
        EXPECT_EQ(std::string::npos, run.out.find("disagrees with")) << run.out;
        ++refused;
    }
    EXPECT_EQ(2, refused);
}

}  // namespace
