// The side lists' membership: the items' positions in an open-addressed table that grows as items
// come, following appends and gathered afresh after an insertion elsewhere or an erasure.
#include "eng/model/IndexedStreamList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(IndexedList, HoldsWhatWasAddedThroughEveryGrowth) {
    // Neighbouring addresses (one array) are the usual case and the hardest for a hash that
    // reads the low bits only.
    std::vector<double> items(20000);
    IndexedList<double> list;
    for (std::size_t i = 0; i < items.size(); i += 2) list.Append(&items[i]);
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(list.Contains(&items[i]), i % 2 == 0) << i;
    // An item held twice is still held once the first one is taken out; null is an item of its own.
    list.Append(&items[0]);
    EXPECT_TRUE(list.Remove(&items[0]));
    EXPECT_TRUE(list.Contains(&items[0]));
    EXPECT_FALSE(list.Contains(nullptr));
    list.Append(nullptr);
    EXPECT_TRUE(list.Contains(nullptr));
    list.Clear();
    EXPECT_FALSE(list.Contains(&items[0]));
    EXPECT_FALSE(list.Contains(nullptr));
    list.Append(&items[1]);
    EXPECT_TRUE(list.Contains(&items[1]));
    EXPECT_FALSE(list.Contains(&items[2]));
}

TEST(IndexedList, FollowsInsertionsBeforeTheEnd) {
    // Items put in at the front and in the middle move every later item: each is still found, and
    // a stranger is not, whatever order the membership questions come in.
    std::vector<int> items(600);
    IndexedList<int> list;
    for (std::size_t i = 0; i < 200; ++i) list.Append(&items[i]);
    EXPECT_TRUE(list.Contains(&items[199]));
    for (std::size_t i = 200; i < 400; ++i) {
        if (i % 2) list.Prepend(&items[i]);
        else list.InsertAt(list.Length() / 2, &items[i]);
        EXPECT_TRUE(list.Contains(&items[i])) << i;
        EXPECT_FALSE(list.Contains(&items[i + 1])) << i;
    }
    for (std::size_t i = 400; i < 600; ++i) list.Append(&items[i]);
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_TRUE(list.Contains(&items[i])) << i;
    EXPECT_TRUE(list.Remove(&items[0]));
    EXPECT_FALSE(list.Contains(&items[0]));
    EXPECT_TRUE(list.Contains(&items[599]));
}

TEST(IndexedList, FollowsInsertionsErasuresAndClearing) {
    std::vector<int> items(3000);
    IndexedList<int> list;
    for (int& i : items) list.Append(&i);
    EXPECT_TRUE(list.Contains(&items[2999]));
    // A stranger is not taken out; a member is, and after the erasure the set is gathered again.
    int stranger = 0;
    EXPECT_FALSE(list.Remove(&stranger));
    EXPECT_TRUE(list.Remove(&items[10]));
    EXPECT_FALSE(list.Contains(&items[10]));
    EXPECT_TRUE(list.Contains(&items[11]));
    EXPECT_FALSE(list.Remove(&items[10]));
    list.Append(&items[10]);
    EXPECT_TRUE(list.Contains(&items[10]));
    EXPECT_EQ(list.Length(), items.size());
    list.Clear();
    EXPECT_FALSE(list.Contains(&items[0]));
    list.Append(&items[0]);
    EXPECT_TRUE(list.Contains(&items[0]));
}

}  // namespace
