// The case: items by name and in order, deletion that unlinks, the shared import object, and the
// class model.
#include "osmeri/CPItem.h"
#include "ralvex/Case.h"
#include "ralvex/Model.h"

#include <gtest/gtest.h>

namespace {

struct Probe : Createable {
    explicit Probe(int& deaths) : deaths(deaths) {}
    ~Probe() override { ++deaths; }
    int& deaths;
};

TEST(Case, DeletingAnItemUnlinksItAndAWalkStepsOverIt) {
    Case c("c");
    ASSERT_EQ(c.Add(new CPItem("A", "ppMaterialStream")), 1);
    ASSERT_EQ(c.Add(std::make_unique<CPItem>("B", "htCooler")), 1);
    ASSERT_EQ(c.Add(std::make_unique<CPItem>("C", "ppMaterialStream")), 1);
    auto dup = std::make_unique<CPItem>("B", "x");
    EXPECT_EQ(c.Add(dup.get()), 0);  // the name is taken: the item stays the caller's
    CPItem* a = c.GetItemByName("A");
    CPItem* b = c.GetItemByName("B");
    CPItem* cc = c.GetItemByName("C");
    a->AddRelatedNode(b, CPItem::Downstream);
    b->AddRelatedNode(cc, CPItem::Downstream);

    EXPECT_EQ(c.GetFirstItem(), a);
    EXPECT_EQ(c.DeleteItem("B"), 1);  // the walk's next item goes
    EXPECT_EQ(c.GetNextItem(), cc);
    EXPECT_EQ(c.GetItemByName("B"), nullptr);
    EXPECT_EQ(a->GetRelatedNodeCount(CPItem::Downstream), 0);
    EXPECT_EQ(cc->GetRelatedNodeCount(CPItem::Upstream), 0);
    EXPECT_EQ(c.DeleteItem("B"), 0);
    EXPECT_EQ(c.GetNumberOfItems(), 2u);
}

TEST(Case, TheImportObjectLivesWhileTheCaseOrAnotherHolderKeepsIt) {
    int deaths = 0;
    auto c = std::make_unique<Case>("c");
    Probe* first = new Probe(deaths);
    c->SetVelmorToTarsilImport(first);
    first->AddRef();  // a scenario keeps it too
    Probe* second = new Probe(deaths);
    c->SetVelmorToTarsilImport(second);
    EXPECT_EQ(deaths, 0);  // the scenario still holds the first
    first->Release();
    EXPECT_EQ(deaths, 1);
    c.reset();  // the case drops the second
    EXPECT_EQ(deaths, 2);
}

TEST(Model, BuiltInAndDeclaredClassesDerive) {
    Model m;
    const struct {
        const char* cls;
        const char* ancestor;
        int expected;
    } cases[] = {
        {"htHeatExchanger", "picHeatTransferEquipment", 1}, {"htFiredHeater", "picHeatTransferEquipment", 1},
        {"vsSeparatorTwoPhase", "vsSeparator", 1},          {"vsSeparatorThreePhase", "vsSeparator", 1},
        {"vsTank", "vsSeparator", 0},                       {"lgRecycle", "picLogicalOperation", 1},
        {"ppMaterialStream", "picHeatTransferEquipment", 0}, {"htCooler", "htCooler", 1},
        {"picHeatTransferEquipment", "picHeatTransferEquipment", 1},
    };
    for (const auto& k : cases) EXPECT_EQ(m.IsClassAncestor(k.cls, k.ancestor), k.expected) << k.cls;
    ASSERT_TRUE(m.DeclareClass("myFlash", "vsSeparatorTwoPhase"));
    EXPECT_EQ(m.IsClassAncestor("myFlash", "vsSeparator"), 1);
    EXPECT_FALSE(m.DeclareClass("myFlash", "x"));
    ASSERT_TRUE(m.DeclareClass("a", "b"));
    EXPECT_FALSE(m.DeclareClass("b", "a"));
    EXPECT_FALSE(m.DeclareClass("c", "c"));
}

}  // namespace
