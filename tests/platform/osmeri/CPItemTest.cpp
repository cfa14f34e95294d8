// Items: relations kept inverse, cursors and snapshots, and the value accessors simulator-case
// code reads with.
#include "osmeri/CPItem.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(CPItem, RelationsAreKeptInverseAndGoWithTheItem) {
    CPItem a("A", "ppMaterialStream"), b("B", "htCooler");
    auto c = std::make_unique<CPItem>("C", "ppMaterialStream");
    EXPECT_EQ(a.AddRelatedNode(&b, 4), 1);
    EXPECT_EQ(a.AddRelatedNode(&b, 4), 0);    // once
    EXPECT_EQ(b.AddRelatedNode(&a, 260), 0);  // the same link seen from b
    EXPECT_EQ(a.AddRelatedNode(&a, 4), 0);
    EXPECT_EQ(a.AddRelatedNode(&b, 7), 0);
    EXPECT_EQ(c->AddRelatedNode(&b, 260), 1);  // b feeds c
    EXPECT_EQ(b.RelatedNodes(4), std::vector<CPItem*>{c.get()});
    EXPECT_EQ(b.RelatedNodes(260), std::vector<CPItem*>{&a});
    EXPECT_TRUE(a.IsRelatedTo(&b, 4));
    EXPECT_TRUE(b.IsRelatedTo(&a, 260));

    // The copy of an item is unlinked; the original keeps its links.
    CPItem copy(b);
    EXPECT_EQ(copy.GetRelatedNodeCount(4) + copy.GetRelatedNodeCount(260), 0);
    EXPECT_EQ(copy._get_szClassName(), "htCooler");

    c.reset();
    EXPECT_EQ(b.GetRelatedNodeCount(4), 0);
    EXPECT_EQ(b.UnlinkRelatedNode(&a, 260), 1);
    EXPECT_EQ(a.GetRelatedNodeCount(4), 0);
    EXPECT_EQ(b.UnlinkRelatedNode(&a, 260), 0);
}

TEST(CPItem, NestedWalksUseASnapshotWhileTheCursorServesOneWalk) {
    CPItem u("U"), d1("D1"), d2("D2");
    u.AddRelatedNode(&d1, 4);
    u.AddRelatedNode(&d2, 4);
    std::vector<std::string> seen;
    for (CPItem* n = u.GetFirstRelatedNode(4); n; n = u.GetNextRelatedNode()) {
        // An inner walk over the same item by snapshot leaves the outer cursor alone.
        for (CPItem* m : u.RelatedNodes(4)) seen.push_back(n->GetName() + ">" + m->GetName());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"D1>D1", "D1>D2", "D2>D1", "D2>D2"}));

    u.AddVariable("T")->Set(1.0);
    u.AddVariable("P");
    int count = 0;
    for (CPValue* v = u.GetFirstValue(); v; v = u.GetNextValue()) ++count;
    EXPECT_EQ(count, 2);
}

TEST(CPValue, SimulatorAccessorsReadKnownValuesOnly) {
    CPValue v("CompMolarFraction");
    EXPECT_EQ(v._get_nKnown(), 0);
    v.AddSubvalue(0.5, "a");
    v.AddSubvalue(-32767.0, "b");
    v.AddSubvalue(CPString("x"), "c");
    EXPECT_EQ(v.GetSubvalueByName("b")->_get_nKnown(), 0);
    EXPECT_EQ(v.GetSubvalueByName("c")->_get_nKnown(), 1);
    EXPECT_EQ(v.GetVector(), (std::vector<double>{0.5, -32767.0, -32767.0}));
    double two[2] = {};
    EXPECT_EQ(v.BuildVectorRepresentation(32, two, 2 * sizeof(double) + 3), 2u);
    EXPECT_EQ(v.BuildVectorRepresentation(16, two, sizeof two), 0u);

    CPValue crc("CompositionCRC");
    crc.Set(static_cast<std::int16_t>(-2), 0);
    EXPECT_EQ(crc.GetAsShort(), -2);
    crc.Set(40000.0);
    EXPECT_EQ(static_cast<std::uint16_t>(crc.GetAsShort()), 40000u);
    crc.Set(CPString("text"));
    EXPECT_EQ(crc.GetAsShort(), 0);

    // Units and selector are labels: they travel with a copy but do not make values differ.
    CPValue t("T");
    t.Set(10.0);
    t.SetUnits("C");
    t._set_nSelector(-1, 0);
    CPValue copy(t);
    EXPECT_EQ(*copy._get_punstrUnits(), "C");
    EXPECT_EQ(copy._get_nSelector(), -1);
    CPValue plain("T");
    plain.Set(10.0);
    EXPECT_TRUE(plain == t);
}

}  // namespace
