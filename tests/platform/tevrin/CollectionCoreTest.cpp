#include "dunmor/Exceptions.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

namespace {

TEST(CPCollectionTest, ChangeCounterMovesWithEveryLengthChange) {
    CPList list;
    int a = 1, b = 2;
    EXPECT_EQ(list._get_nXACT(), 0);
    list.Append(&a);
    list.Append(&b);
    EXPECT_EQ(list._get_nXACT(), 2);
    list.RemoveAt(0);
    EXPECT_EQ(list._get_nXACT(), 3);
    // Reordering is not a length change.
    list.Append(&a);
    list.Sort([](const void* x, const void* y) { return *static_cast<const int*>(x) - *static_cast<const int*>(y); });
    EXPECT_EQ(list._get_nXACT(), 4);
    list.Clear();
    EXPECT_EQ(list._get_nXACT(), 5);
    list.Clear();  // already empty: nothing changed
    EXPECT_EQ(list._get_nXACT(), 5);
    EXPECT_EQ(list.Length(), 0u);
}

TEST(IteratorTest, WalksListThenAnswersNull) {
    Exceptions::ClearRecords();
    CPList list;
    int v[3] = {1, 2, 3};
    for (int& x : v) list.Append(&x);
    auto it = list.GetIterator();
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(it->get(), &v[0]);
    EXPECT_EQ(it->get(), &v[1]);
    EXPECT_EQ(it->get(), &v[2]);
    EXPECT_EQ(it->get(), nullptr);
    EXPECT_EQ(it->get(), nullptr);
    it->Reset();
    EXPECT_EQ(it->get(), &v[0]);
    EXPECT_TRUE(it->SetIndex(2));
    EXPECT_EQ(it->get(), &v[2]);
    EXPECT_TRUE(it->SetIndex(0));
    EXPECT_EQ(it->get(), &v[0]);
    EXPECT_FALSE(it->SetIndex(4));
    EXPECT_EQ(Exceptions::Count(), 0u);
}

TEST(IteratorTest, WalkSurvivesRemovalUnderIt) {
    CPList list;
    int v[3] = {1, 2, 3};
    for (int& x : v) list.Append(&x);
    auto it = list.GetIterator();
    EXPECT_EQ(it->get(), &v[0]);
    list.Clear();
    EXPECT_EQ(it->get(), nullptr);
}

}  // namespace
