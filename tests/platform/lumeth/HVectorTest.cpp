#include "lumeth/HVector.h"
#include "lumeth/PointerList.h"
#include "lumeth/Text.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(HVector, GrowsAndShrinksByWholeSteps) {
    HVector<int*> v;
    int items[25] = {};
    for (int i = 0; i < 10; ++i) v.Append(&items[i]);
    EXPECT_EQ(10, v.Capacity());
    v.Append(&items[10]);
    EXPECT_EQ(20, v.Capacity());
    EXPECT_EQ(11, v.Count());
    // 29 elements in 30 slots after growth, then removals: spare reaches 20 -> back to 10.
    for (int i = 11; i < 21; ++i) v.Append(&items[i]);
    EXPECT_EQ(30, v.Capacity());
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(v.Remove(&items[20 - i]));
    EXPECT_EQ(12, v.Count());
    EXPECT_EQ(18, v.Spare());
    EXPECT_TRUE(v.Remove(&items[11]));  // spare 19
    EXPECT_TRUE(v.Remove(&items[10]));  // spare would be 20: becomes 10 + 20 mod 10
    EXPECT_EQ(10, v.Spare());
    EXPECT_EQ(10, v.Count());
    for (int i = 0; i < 10; ++i) EXPECT_EQ(&items[i], v[i]);
    EXPECT_FALSE(v.Remove(&items[24]));
}

TEST(HVector, RemoveAllResizeAtAndTheDescendingComparator) {
    HVector<int> v;
    for (int x : {1, 2, 1, 3}) v.Append(x);
    EXPECT_TRUE(v.RemoveAll(1));
    EXPECT_FALSE(v.RemoveAll(7));
    ASSERT_EQ(2, v.Count());
    v.ResizeAt(2, 1);  // opens two slots before the 3
    ASSERT_EQ(4, v.Count());
    EXPECT_EQ(2, v[0]);
    EXPECT_EQ(3, v[3]);
    v.ResizeAt(-2, 1);
    ASSERT_EQ(2, v.Count());
    EXPECT_EQ(3, v[1]);
    v.ResizeAt(-5, -1);  // more than held from the end: all go
    EXPECT_EQ(0, v.Count());

    HVector<double> d;
    for (double x : {3.0, 1.0, 2.0}) d.Append(x);
    d.Sort(CompareDoublesDescending);
    EXPECT_EQ((std::vector<double>{3.0, 2.0, 1.0}), std::vector<double>(d.begin(), d.end()));
    const double one = 1.0, two = 2.0, nan = std::nan("");
    EXPECT_EQ(1, CompareDoublesDescending(&one, &two));
    EXPECT_EQ(0, CompareDoublesDescending(&two, &two));
    EXPECT_EQ(-1, CompareDoublesDescending(&nan, &one));
}

TEST(HVector, DeleteAllAndOwningPointerLists) {
    HVector<Text*> texts;
    texts.Append(new Text("a"));
    texts.Append(new Text("b"));
    texts.DeleteAll();  // ASan checks that both are freed
    EXPECT_EQ(0, texts.Capacity());

    PointerList<Text> owned(true);
    owned.Add(new Text("x"));
    owned.Add(new Text("y"));
    EXPECT_EQ("y", *owned.GetIth(1));
    EXPECT_EQ(nullptr, owned.GetIth(2));
    Text kept("kept");
    PointerList<Text> borrowed;
    borrowed.Add(&kept);
    EXPECT_TRUE(borrowed.Remove(&kept));
}

// An owner that keeps its children in a vector and forgets each one as it dies, as the views'
// owners do.
class VectorOwner : public ProbeView {
public:
    using ProbeView::ProbeView;
    void DisconnectDeadObject(Viewable* dead) override {
        ++told;
        children.RemoveAllAt(dead);
    }
    HVector<ProbeView*> children;
    int told = 0;
};

TEST(HVector, DeleteAllDeletesEveryElementEvenWhenEachLeavesTheVectorAsItDies) {
    ProbeRegistry registry;
    auto* owner = new VectorOwner(nullptr, "owner");
    for (int i = 0; i < 25; ++i) {
        auto* child = new ProbeView(owner, Text(std::to_string(i)));
        child->AddDeathPostee(owner);
        owner->children.Append(child);
    }
    owner->children.DeleteAll();
    EXPECT_EQ(25, owner->told);
    EXPECT_EQ(0, owner->GetNumberOfChildren()) << "no element was skipped";
    EXPECT_EQ(0, owner->children.Count());
    EXPECT_EQ(0, owner->children.Capacity());
    delete owner;
}

}  // namespace
