#include "dunmor/CharCQ.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(CharCQTest, FirstInFirstOutWithPeekAhead) {
    auto q = std::make_unique<CharCQ>();
    char c = 0;
    EXPECT_FALSE(q->Get(c));
    EXPECT_FALSE(q->Peek(c));
    for (char x : std::string("abc")) EXPECT_TRUE(q->Put(x));
    EXPECT_TRUE(q->Peek(c));
    EXPECT_EQ(c, 'a');
    EXPECT_TRUE(q->Peek(c));
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(q->_get_nPeek(), 2u);
    // Taking the oldest keeps the peek index on the character it was on.
    EXPECT_TRUE(q->Get(c));
    EXPECT_EQ(c, 'a');
    EXPECT_TRUE(q->Peek(c));
    EXPECT_EQ(c, 'c');
    EXPECT_FALSE(q->Peek(c));
    q->ResetPeek();
    EXPECT_TRUE(q->Peek(c));
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(q->Length(), 2u);
}

TEST(CharCQTest, FullRingRefusesRatherThanOverwrites) {
    auto q = std::make_unique<CharCQ>();
    for (std::size_t i = 0; i < CharCQ::kSize; ++i) ASSERT_TRUE(q->Put(static_cast<char>('a' + i % 26)));
    EXPECT_TRUE(q->IsFull());
    EXPECT_FALSE(q->Put('!'));
    char c = 0;
    EXPECT_TRUE(q->Get(c));
    EXPECT_EQ(c, 'a');
    EXPECT_TRUE(q->Put('!'));
    EXPECT_EQ(q->_get_nHead(), 1u);  // wrapped
}

}  // namespace
