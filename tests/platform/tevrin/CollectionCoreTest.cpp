#include "dunmor/Exceptions.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

namespace {

// A collection that cannot be walked: it gives no iteration state.
class Unwalkable : public CPCollection {
public:
    CPCollection* CreateInstance() const override { return new Unwalkable(); }
};

// A state that only knows how to step, to exercise the general positioning.
class CountingState : public IterationState {
public:
    explicit CountingState(int n) : m_n(n) {}
    void* get() override { return m_i < m_n ? &m_items[m_i++] : nullptr; }
    void Reset() override { m_i = 0; }
    int m_items[8] = {10, 11, 12, 13, 14, 15, 16, 17};

private:
    int m_n;
    int m_i = 0;
};

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

TEST(CPCollectionTest, ChangeCounterWrapsAt16Bits) {
    CPList list;
    for (int i = 0; i < 65536; ++i) list.IncrementLength();
    EXPECT_EQ(list._get_nXACT(), 0);
    EXPECT_EQ(list.Length(), 65536u);
}

TEST(CPCollectionTest, DecrementOnEmptyRecordsAssertionAndStaysZero) {
    Exceptions::ClearRecords();
    CPList list;
    list.DecrementLength();
    EXPECT_EQ(list.Length(), 0u);
    EXPECT_EQ(list._get_nXACT(), 0);
    auto records = Exceptions::Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].file, "cpcoll/cpcollec");
    EXPECT_EQ(records[0].line, 223);
    EXPECT_EQ(records[0].expression, "nLength >0");

    // A non-empty collection decrements quietly.
    Exceptions::ClearRecords();
    list.IncrementLength();
    list.DecrementLength();
    EXPECT_EQ(list.Length(), 0u);
    EXPECT_EQ(Exceptions::Count(), 0u);
}

TEST(IteratorTest, MissingIterationStateRecordsAssertion) {
    Exceptions::ClearRecords();
    Unwalkable c;
    auto it = c.GetIterator();
    ASSERT_NE(it, nullptr);
    EXPECT_FALSE(it->HasState());
    EXPECT_EQ(it->get(), nullptr);
    auto records = Exceptions::Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].file, "cpcoll/iterate");
    EXPECT_EQ(records[0].line, 327);
    EXPECT_EQ(records[0].expression, "pitsA");
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

TEST(IteratorTest, GeneralSetIndexStepsFromTheTop) {
    CountingState state(3);
    EXPECT_TRUE(state.SetIndex(2));
    EXPECT_EQ(state.get(), &state.m_items[2]);
    EXPECT_TRUE(state.SetIndex(0));
    EXPECT_EQ(state.get(), &state.m_items[0]);
    EXPECT_TRUE(state.SetIndex(3));
    EXPECT_EQ(state.get(), nullptr);
    EXPECT_FALSE(state.SetIndex(5));
}

}  // namespace
