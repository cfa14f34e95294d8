#include "dunmor/Exceptions.h"
#include "tevrin/CPList.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Rec {
    int key;
    char tag;
};

int ByKey(const void* a, const void* b) {
    const int ka = static_cast<const Rec*>(a)->key, kb = static_cast<const Rec*>(b)->key;
    return ka < kb ? -1 : (ka > kb ? 1 : 0);
}

std::string Tags(const CPList& list) {
    std::string s;
    for (std::size_t i = 0; i < list.Length(); ++i) s += static_cast<Rec*>(list[i])->tag;
    return s;
}

TEST(CPListTest, PositionalEditsKeepOrder) {
    Rec a{1, 'a'}, b{2, 'b'}, c{3, 'c'}, d{4, 'd'};
    CPList list;
    EXPECT_TRUE(list.Append(&b));
    EXPECT_TRUE(list.Prepend(&a));
    EXPECT_TRUE(list.InsertAt(2, &d));  // == Length: appends
    EXPECT_TRUE(list.InsertAt(2, &c));
    EXPECT_FALSE(list.InsertAt(9, &c));
    EXPECT_EQ(Tags(list), "abcd");
    EXPECT_EQ(list.Length(), 4u);
    EXPECT_EQ(list[4], nullptr);
    EXPECT_EQ(list[static_cast<std::size_t>(-1)], nullptr);
    EXPECT_EQ(list.IndexOf(&c), 2);
    EXPECT_EQ(list.IndexOf(nullptr), -1);

    EXPECT_EQ(list.RemoveAt(1), &b);
    EXPECT_EQ(list.RemoveAt(7), nullptr);
    EXPECT_TRUE(list.Remove(&d));
    EXPECT_FALSE(list.Remove(&d));
    EXPECT_EQ(Tags(list), "ac");
    EXPECT_EQ(list.Length(), 2u);
}

TEST(CPListTest, SortIsStableAndAscending) {
    Rec r[] = {{3, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {3, 'e'}, {2, 'f'}, {1, 'g'}};
    CPList list;
    for (Rec& x : r) list.Append(&x);
    EXPECT_TRUE(list.Sort(ByKey));
    EXPECT_EQ(Tags(list), "bdgcfae");
    EXPECT_FALSE(list.Sort(nullptr));
    EXPECT_EQ(Tags(list), "bdgcfae");
}

TEST(CPListTest, FindFirstAndSelect) {
    Rec r[] = {{5, 'a'}, {12, 'b'}, {7, 'c'}, {20, 'd'}};
    CPList list;
    for (Rec& x : r) list.Append(&x);
    int limit = 6;
    auto above = [](void* item, void* key) { return static_cast<Rec*>(item)->key > *static_cast<int*>(key) ? 1 : 0; };
    EXPECT_EQ(list.FindFirst(above, &limit), &r[1]);
    int huge = 100;
    EXPECT_EQ(list.FindFirst(above, &huge), nullptr);

    CPList out;
    out.Append(&r[0]);
    EXPECT_EQ(list.Select(above, &limit, out), 3u);
    EXPECT_EQ(Tags(out), "abcd");  // appended after what was there

    // Selecting into itself considers only the items present at the start.
    EXPECT_EQ(list.Select(above, &limit, list), 3u);
    EXPECT_EQ(Tags(list), "abcdbcd");
}

// The cursor as a state machine: a script of operations and the cursor expected after each.
struct CursorStep {
    char op;  // F first, L last, N next, P previous, T move to arg, I insert at arg, R remove at arg, C clear
    int arg;
    std::int64_t cursor;
    bool onItem;
};
struct CursorCase {
    const char* name;
    std::vector<CursorStep> steps;
};

class CPListCursorTest : public ::testing::TestWithParam<CursorCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const CursorCase& c, std::ostream* os) { *os << c.name; }

TEST_P(CPListCursorTest, FollowsItsItem) {
    int v[10] = {};
    CPList list;
    for (int i = 0; i < 4; ++i) list.Append(&v[i]);
    EXPECT_EQ(list._get_nDXCursor(), -1);
    int extra = 4;
    for (const CursorStep& s : GetParam().steps) {
        bool on = false;
        switch (s.op) {
            case 'F': on = list.MoveFirst(); break;
            case 'L': on = list.MoveLast(); break;
            case 'N': on = list.MoveNext(); break;
            case 'P': on = list.MovePrevious(); break;
            case 'T': on = list.MoveTo(static_cast<std::size_t>(s.arg)); break;
            case 'I': list.InsertAt(static_cast<std::size_t>(s.arg), &v[extra++]); on = list.Current() != nullptr; break;
            case 'R': list.RemoveAt(static_cast<std::size_t>(s.arg)); on = list.Current() != nullptr; break;
            case 'C': list.Clear(); on = list.Current() != nullptr; break;
        }
        EXPECT_EQ(list._get_nDXCursor(), s.cursor) << "op " << s.op << s.arg;
        EXPECT_EQ(on, s.onItem) << "op " << s.op << s.arg;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, CPListCursorTest,
    ::testing::Values(
        CursorCase{"WalkForwardOffTheEnd", {{'F', 0, 0, true}, {'N', 0, 1, true}, {'N', 0, 2, true}, {'N', 0, 3, true},
                                            {'N', 0, -1, false}, {'N', 0, -1, false}}},
        CursorCase{"WalkBackOffTheFront", {{'L', 0, 3, true}, {'P', 0, 2, true}, {'T', 0, 0, true}, {'P', 0, -1, false},
                                           {'P', 0, -1, false}}},
        CursorCase{"InsertBeforeKeepsItem", {{'T', 2, 2, true}, {'I', 0, 3, true}, {'I', 3, 4, true}, {'I', 6, 4, true}}},
        CursorCase{"RemoveAroundCursor", {{'T', 2, 2, true}, {'R', 0, 1, true}, {'R', 2, 1, true}, {'R', 1, -1, false}}},
        CursorCase{"ClearLeavesNoItem", {{'F', 0, 0, true}, {'C', 0, -1, false}, {'F', 0, -1, false}, {'L', 0, -1, false}}}),
    [](const ::testing::TestParamInfo<CursorCase>& info) { return std::string(info.param.name); });

}  // namespace
