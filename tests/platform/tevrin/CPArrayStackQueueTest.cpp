#include "tevrin/CPArray.h"
#include "tevrin/CPQueue.h"
#include "tevrin/CPStack.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Walk(const CPCollection& c) {
    std::string s;
    c.ForEach([](void* item, void* ctx) { *static_cast<std::string*>(ctx) += *static_cast<char*>(item); }, &s);
    return s;
}

std::string IterWalk(const CPCollection& c) {
    std::string s;
    auto it = c.GetIterator();
    while (void* item = it->get()) s += *static_cast<char*>(item);
    return s;
}

TEST(CPStackTest, LastInFirstOutWithTopAtPositionZero) {
    char a = 'a', b = 'b', c = 'c';
    CPStack s;
    EXPECT_EQ(s.Pop(), nullptr);
    EXPECT_EQ(s.Top(), nullptr);
    s.Push(&a);
    s.Push(&b);
    s.Add(&c);
    EXPECT_EQ(s.Top(), &c);
    EXPECT_EQ(s[0], &c);
    EXPECT_EQ(Walk(s), "cba");
    EXPECT_EQ(IterWalk(s), "cba");
    EXPECT_EQ(s.Pop(), &c);
    EXPECT_EQ(s.Pop(), &b);
    EXPECT_EQ(s.Length(), 1u);
    EXPECT_EQ(s.Pop(), &a);
    EXPECT_EQ(s.Pop(), nullptr);
    EXPECT_EQ(s.Length(), 0u);
}

TEST(CPQueueTest, FirstInFirstOut) {
    char a = 'a', b = 'b', c = 'c';
    CPQueue q;
    EXPECT_EQ(q.Dequeue(), nullptr);
    q.Enqueue(&a);
    q.Enqueue(&b);
    q.Add(&c);
    EXPECT_EQ(q.Front(), &a);
    EXPECT_EQ(Walk(q), "abc");
    EXPECT_EQ(IterWalk(q), "abc");
    EXPECT_EQ(q.Dequeue(), &a);
    q.Enqueue(&a);
    EXPECT_EQ(Walk(q), "bca");
    EXPECT_EQ(q.Length(), 3u);
}

TEST(CPArrayTest, SlotsSizeAndCurrentIndex) {
    char a = 'a', b = 'b', c = 'c';
    CPArray arr;
    EXPECT_TRUE(arr.SetSize(3));
    EXPECT_EQ(arr.Length(), 3u);
    EXPECT_EQ(arr[1], nullptr);
    EXPECT_TRUE(arr.SetAt(0, &a));
    EXPECT_TRUE(arr.SetAt(1, &b));
    EXPECT_TRUE(arr.SetAt(2, &c));
    EXPECT_FALSE(arr.SetAt(3, &c));
    const std::uint16_t xact = arr._get_nXACT();
    EXPECT_TRUE(arr.SetAt(1, &a));  // replacing is not a length change
    EXPECT_EQ(arr._get_nXACT(), xact);
    arr.SetAt(1, &b);

    EXPECT_EQ(arr._get_ulCurrentIndex(), 0u);
    EXPECT_EQ(arr.GetNext(), &a);
    EXPECT_EQ(arr.GetNext(), &b);
    EXPECT_EQ(arr._get_ulCurrentIndex(), 2u);
    EXPECT_EQ(arr.GetCurrent(), &c);
    // Removing before the current index keeps it on its item.
    EXPECT_EQ(arr.RemoveAt(0), &a);
    EXPECT_EQ(arr._get_ulCurrentIndex(), 1u);
    EXPECT_EQ(arr.GetNext(), &c);
    EXPECT_EQ(arr.GetNext(), nullptr);
    EXPECT_TRUE(arr.SetCurrentIndex(0));
    EXPECT_FALSE(arr.SetCurrentIndex(3));
    EXPECT_EQ(arr.GetCurrent(), &b);

    // Shrinking drops trailing slots and pulls the current index back within range.
    EXPECT_TRUE(arr.SetCurrentIndex(2));
    EXPECT_TRUE(arr.SetSize(1));
    EXPECT_EQ(arr._get_ulCurrentIndex(), 1u);
    EXPECT_EQ(arr.GetCurrent(), nullptr);
    EXPECT_FALSE(arr.SetSize(CPArray::kMaxSize + 1));
    EXPECT_EQ(arr.Length(), 1u);
    arr.Clear();
    EXPECT_EQ(arr._get_ulCurrentIndex(), 0u);
}

TEST(CPArrayTest, IteratesFrontToBack) {
    char a = 'a', b = 'b';
    CPArray arr;
    arr.Add(&a);
    arr.Add(&b);
    EXPECT_EQ(IterWalk(arr), "ab");
    CPCollection* fresh = arr.CreateInstance();
    EXPECT_EQ(fresh->Length(), 0u);
    delete fresh;
}

}  // namespace
