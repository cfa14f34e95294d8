// The side lists' membership: a set of pointers in an open-addressed table that grows as items
// come, and a list that follows insertions and is gathered afresh after an erasure.
#include "eng/model/IndexedStreamList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PointerSet, HoldsWhatWasAddedThroughEveryGrowth) {
    // Neighbouring addresses (one array) are the usual case and the hardest for a hash that
    // reads the low bits only.
    std::vector<double> items(20000);
    PointerSet set;
    for (std::size_t i = 0; i < items.size(); i += 2) set.Add(&items[i]);
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(set.Contains(&items[i]), i % 2 == 0) << i;
    // Adding twice keeps one; null is an item of its own.
    set.Add(&items[0]);
    EXPECT_TRUE(set.Contains(&items[0]));
    EXPECT_FALSE(set.Contains(nullptr));
    set.Add(nullptr);
    EXPECT_TRUE(set.Contains(nullptr));
    set.Clear();
    EXPECT_FALSE(set.Contains(&items[0]));
    EXPECT_FALSE(set.Contains(nullptr));
    set.Add(&items[1]);
    EXPECT_TRUE(set.Contains(&items[1]));
    EXPECT_FALSE(set.Contains(&items[2]));
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
