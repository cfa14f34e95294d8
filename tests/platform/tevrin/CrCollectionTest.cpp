#include "tevrin/CrDictionary.h"
#include "tevrin/CrList.h"
#include "tevrin/CrTree.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// An object that reports its own end.
class Probe : public Createable {
public:
    Probe(std::set<int>* gone, int id) : m_gone(gone), m_id(id) {}
    ~Probe() override { m_gone->insert(m_id); }
    int Id() const { return m_id; }

private:
    std::set<int>* m_gone;
    int m_id;
};

int IdOf(void* item) { return static_cast<Probe*>(static_cast<Createable*>(item))->Id(); }

TEST(CrListTest, RemovingReleasesAndDeletesUnheldObjects) {
    std::set<int> gone;
    auto* p1 = new Probe(&gone, 1);
    auto* p2 = new Probe(&gone, 2);
    auto* p3 = new Probe(&gone, 3);
    p3->AddRef();  // someone else also holds p3
    {
        CrList list;
        EXPECT_TRUE(list.Append(p1));
        EXPECT_TRUE(list.Append(p2));
        EXPECT_TRUE(list.Prepend(p3));
        EXPECT_FALSE(list.Append(nullptr));
        EXPECT_EQ(p1->_get_nRefCount(), 1);
        EXPECT_EQ(p3->_get_nRefCount(), 2);
        EXPECT_EQ(list.Length(), 3u);
        EXPECT_EQ(list[0], p3);

        EXPECT_TRUE(list.Remove(p1));
        EXPECT_EQ(gone, std::set<int>({1}));
        EXPECT_FALSE(list.RemoveAt(5));

        CrList copy(list);  // its own references
        EXPECT_EQ(p2->_get_nRefCount(), 2);
        copy.Clear();
        EXPECT_EQ(gone, std::set<int>({1}));
        EXPECT_EQ(p2->_get_nRefCount(), 1);

        std::string ids;
        list.ForEach([](void* item, void* ctx) { *static_cast<std::string*>(ctx) += std::to_string(IdOf(item)); }, &ids);
        EXPECT_EQ(ids, "32");
    }
    // The list's end released p2 (gone) and p3 (still held elsewhere).
    EXPECT_EQ(gone, std::set<int>({1, 2}));
    EXPECT_EQ(p3->_get_nRefCount(), 1);
    EXPECT_EQ(p3->Release(), 0);
    EXPECT_EQ(gone, std::set<int>({1, 2, 3}));
}

TEST(CrListTest, SelfAssignmentKeepsObjects) {
    std::set<int> gone;
    CrList list;
    list.Append(new Probe(&gone, 1));
    CrList& same = list;
    list = same;
    EXPECT_TRUE(gone.empty());
    EXPECT_EQ(list[0]->_get_nRefCount(), 1);
}

TEST(CrListTest, ReleaseCallbackIgnoresNull) {
    CrCollection::itReleaseCreateable(nullptr);
    std::set<int> gone;
    auto* p = new Probe(&gone, 7);
    p->AddRef();
    CrCollection::itReleaseCreateable(p);
    EXPECT_EQ(gone, std::set<int>({7}));
}

TEST(CrDictionaryTest, CurrentAssociationAndRelease) {
    std::set<int> gone;
    auto* p1 = new Probe(&gone, 1);
    auto* p2 = new Probe(&gone, 2);
    auto* p3 = new Probe(&gone, 3);
    {
        CrDictionary d;
        EXPECT_EQ(d._get_nNumberOfSlots(), 256);
        EXPECT_EQ(d.RetrieveInternalContainer(), nullptr);
        EXPECT_EQ(d.AddKeyString("one", p1), 1);
        ASSERT_NE(d.RetrieveInternalContainer(), nullptr);
        EXPECT_TRUE(d.RetrieveInternalContainer()->MatchKeyString("one"));
        EXPECT_EQ(d.AddKeyCardinal(2, p2), 1);
        EXPECT_EQ(d.AddKeyString("", p3), 1);
        EXPECT_EQ(d.AddKeyString("one", p2), 0);  // first wins; no reference taken
        EXPECT_EQ(p2->_get_nRefCount(), 1);
        EXPECT_EQ(d.AddKeyString("x", nullptr), 0);

        EXPECT_EQ(d.FindKeyCardinal(2), p2);
        EXPECT_TRUE(d.RetrieveInternalContainer()->MatchKeyCardinal(2));
        EXPECT_EQ(d.FindKeyString(""), p3);
        EXPECT_EQ(d.FindKeyString("UnNamed"), p3);
        EXPECT_EQ(d.KeyAt(2), "UnNamed");

        // Walk by the current association.
        std::string walked;
        for (bool on = d.MoveFirst(); on; on = d.MoveNext()) {
            walked += std::to_string(IdOf(d.RetrieveInternalContainer()->GetValue()));
        }
        EXPECT_EQ(walked, "123");
        EXPECT_EQ(d.RetrieveInternalContainer(), nullptr);

        d.FindKeyString("one");
        EXPECT_TRUE(d.RemoveKeyString("one"));
        EXPECT_EQ(d.RetrieveInternalContainer(), nullptr);
        EXPECT_EQ(gone, std::set<int>({1}));
        EXPECT_FALSE(d.RemoveKeyString("one"));
        EXPECT_EQ(d[0], p2);
        EXPECT_EQ(d.Length(), 2u);

        CrDictionary copy(d);
        EXPECT_EQ(p2->_get_nRefCount(), 2);
        EXPECT_EQ(copy.FindKeyCardinal(2), p2);
        EXPECT_NE(copy.RetrieveInternalContainer(), d.RetrieveInternalContainer());
    }
    EXPECT_EQ(gone, std::set<int>({1, 2, 3}));
}

TEST(CrDictionaryTest, AssociationHeldOutsideOutlivesRemoval) {
    std::set<int> gone;
    CrDictionary d;
    d.AddKeyString("k", new Probe(&gone, 1));
    CPDictionaryAssociation* held = d.RetrieveInternalContainer();
    held->AddRef();
    EXPECT_TRUE(d.RemoveKeyCardinal(0) == false);
    EXPECT_TRUE(d.RemoveKeyString("k"));
    EXPECT_EQ(gone, std::set<int>({1}));  // the object went with the dictionary's reference
    EXPECT_TRUE(held->MatchKeyString("k"));
    held->Release();
}

TEST(CrTreeTest, OrderedObjectsReleasedOnRemoval) {
    std::set<int> gone;
    auto* p1 = new Probe(&gone, 1);
    {
        CrTree t;
        EXPECT_TRUE(t.AddKeyDouble(5.0, p1));
        EXPECT_TRUE(t.AddKeyInteger(2, new Probe(&gone, 2)));
        EXPECT_TRUE(t.Add(new Probe(&gone, 3)));
        EXPECT_FALSE(t.Add(nullptr));
        EXPECT_EQ(static_cast<Probe*>(t.RetrieveIDX(0))->Id(), 3);
        EXPECT_EQ(t.FindKeyDouble(5.0), p1);
        CrTree copy(t);
        EXPECT_EQ(p1->_get_nRefCount(), 2);
        EXPECT_TRUE(t.RemoveItem(p1));
        EXPECT_TRUE(gone.empty());  // the copy still holds it
        EXPECT_TRUE(t.RemoveIDX(0));
        EXPECT_TRUE(gone.empty());
        copy.Clear();
        EXPECT_EQ(gone, std::set<int>({1, 3}));
    }
    EXPECT_EQ(gone, std::set<int>({1, 2, 3}));
}

}  // namespace
