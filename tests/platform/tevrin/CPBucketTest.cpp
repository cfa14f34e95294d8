#include "tevrin/CPBucket.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One key change applied to a fresh association, and how every key reading answers afterwards.
struct KeyCase {
    const char* name;
    bool setString;
    const char* stringKey;
    std::uint64_t cardinalKey;
    bool hasString;
    const char* readString;
    std::uint64_t readCardinal;
    const char* matchString;
    bool matchesString;
    std::uint64_t matchCardinal;
    bool matchesCardinal;
};

class CPDictionaryAssociationKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CPDictionaryAssociationKeyTest, ReadsBackAsSet) {
    const KeyCase& c = GetParam();
    // Start from the opposite kind of key so every case also checks that the previous key is gone.
    CPDictionaryAssociation a;
    if (c.setString) a.SetKeyCardinal(99);
    else a.SetKeyString("previous");
    if (c.setString) a.SetKeyString(c.stringKey);
    else a.SetKeyCardinal(c.cardinalKey);

    EXPECT_EQ(a.HasStringKey(), c.hasString);
    CPString out = "junk";
    a.GetKeyString(out);
    EXPECT_EQ(out, c.readString);
    EXPECT_EQ(a.GetKeyCardinal(), c.readCardinal);
    EXPECT_EQ(a.MatchKeyString(c.matchString), c.matchesString);
    EXPECT_EQ(a.MatchKeyCardinal(c.matchCardinal), c.matchesCardinal);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CPDictionaryAssociationKeyTest,
    ::testing::Values(
        KeyCase{"StringKey", true, "Hot1", 0, true, "Hot1", 0, "Hot1", true, 0, false},
        KeyCase{"StringKeyIsExact", true, "Hot1", 0, true, "Hot1", 0, "hot1", false, 99, false},
        KeyCase{"EmptyKeyIsUnNamed", true, "", 0, true, "UnNamed", 0, "UnNamed", true, 0, false},
        KeyCase{"EmptyKeyMatchesEmpty", true, "", 0, true, "UnNamed", 0, "", true, 0, false},
        KeyCase{"CardinalKey", false, "", 42, false, "", 42, "42", false, 42, true},
        KeyCase{"CardinalZeroIsNotAString", false, "", 0, false, "", 0, "", false, 0, true},
        KeyCase{"CardinalFull64Bits", false, "", 0xFFFFFFFFFFFFFFFFull, false, "", 0xFFFFFFFFFFFFFFFFull, "previous",
                false, 0xFFFFFFFFFFFFFFFFull, true}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(CPDictionaryAssociationTest, ValueIsTheBucketData) {
    int v = 3;
    CPDictionaryAssociation a("", &v);
    CPString key;
    a.GetKeyString(key);
    EXPECT_EQ(key, "UnNamed");
    EXPECT_EQ(a.GetValue(), &v);
    EXPECT_EQ(a.GetData(), &v);

    // A copy carries key and value but no reference count.
    a.AddRef();
    CPDictionaryAssociation b(a);
    EXPECT_EQ(b._get_nRefCount(), 0);
    EXPECT_TRUE(b.MatchKeyString("UnNamed"));
    EXPECT_EQ(b.GetValue(), &v);
}

}  // namespace
