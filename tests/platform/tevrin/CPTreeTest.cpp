#include "tevrin/CPTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string InOrder(const CPTree& t) {
    std::string s;
    for (std::size_t i = 0; i < t.Length(); ++i) s += *static_cast<char*>(t.RetrieveIDX(i));
    return s;
}

TEST(CPTreeTest, OrdersByKeyAndKeepsArrivalOrderForEqualKeys) {
    char a = 'a', b = 'b', c = 'c', d = 'd', e = 'e';
    CPTree t;
    EXPECT_EQ(t._get_eDataState(), tdsEmpty);
    EXPECT_TRUE(t.AddKeyDouble(2.5, &a));
    EXPECT_TRUE(t.AddKeyDouble(-3.0, &b));
    EXPECT_TRUE(t.Add(&c));  // key -1
    EXPECT_TRUE(t.AddKeyDouble(2.5, &d));
    EXPECT_TRUE(t.Add(&e));
    EXPECT_EQ(InOrder(t), "bcead");
    EXPECT_EQ(t.Head(), &b);
    EXPECT_EQ(t.Tail(), &d);
    double key = 0;
    EXPECT_TRUE(t.KeyAt(1, key));
    EXPECT_EQ(key, -1.0);
    EXPECT_FALSE(t.KeyAt(5, key));
    EXPECT_EQ(t.RetrieveIDX(5), nullptr);
    EXPECT_EQ(t.FindKeyDouble(2.5), &a);
    EXPECT_EQ(t.FindKeyDouble(2.4), nullptr);
    EXPECT_EQ(t._get_eDataState(), tdsDoubleKeys);
    EXPECT_FALSE(t.AddKeyDouble(std::nan(""), &a));
    EXPECT_EQ(t.Length(), 5u);

    auto it = t.GetIterator();
    std::string walked;
    while (void* item = it->get()) walked += *static_cast<char*>(item);
    EXPECT_EQ(walked, "bcead");
}

}  // namespace
