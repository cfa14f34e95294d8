#include "tevrin/CPTypedDictionary.h"
#include "tevrin/CPTypedList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Stream {
    std::string name;
    double supply;
};

TEST(TypedCollectionTest, ListRangeForAndUntypedCallbacks) {
    Stream h1{"H1", 180}, c1{"C1", 20}, h2{"H2", 150};
    CPTypedList<Stream> list;
    list.Append(&h1);
    list.Append(&c1);
    list.Append(&h2);
    list.Sort([](const void* a, const void* b) {
        const double x = static_cast<const Stream*>(a)->supply, y = static_cast<const Stream*>(b)->supply;
        return x < y ? -1 : (x > y ? 1 : 0);
    });
    std::string names;
    for (Stream* s : list) names += s->name;
    EXPECT_EQ(names, "C1H2H1");
    EXPECT_EQ(list[2]->supply, 180);
    EXPECT_EQ(list[3], nullptr);
    EXPECT_EQ(list.RemoveAt(0), &c1);
}

TEST(TypedCollectionTest, DictionaryRangeForInInsertionOrder) {
    Stream h1{"H1", 180}, c1{"C1", 20};
    CPTypedDictionary<Stream> d;
    EXPECT_EQ(d.AddKeyString("H1", &h1), 1);
    EXPECT_EQ(d.AddKeyString("C1", &c1), 1);
    EXPECT_EQ(d.FindKeyString("C1")->supply, 20);
    std::string names;
    for (Stream* s : d) names += s->name;
    EXPECT_EQ(names, "H1C1");
    EXPECT_EQ(d.RemoveKeyString("H1"), &h1);
    EXPECT_EQ(d[0], &c1);
}

}  // namespace
