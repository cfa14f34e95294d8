#include "brasko/LurmetBinaryFile.h"
#include "lumeth/CanvasPlane.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

namespace {

// A viewer whose GetObjectType answers the type of the viewers it creates below itself, as a
// scenario viewer answers its design-viewer type.
class ScenarioLike : public ProbeView {
public:
    explicit ScenarioLike(ObjectInstanceInfo& info) : ProbeView(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ScenarioLike(info); }
    const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo*) const override {
        return ObjectTypeRegistry::Current()->Find("DesignLikeObject");
    }
};

// A probe whose fix-up deletes the view it links to (old plots read from an old record go so).
class DroppingProbe : public ProbeView {
public:
    explicit DroppingProbe(ObjectInstanceInfo& info) : ProbeView(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new DroppingProbe(info); }
    bool RecallFixUp() override {
        Viewable* old = link;
        link = nullptr;
        delete old;
        return true;
    }
};

// A canvas plane that is stored; its items are rebuilt, never stored.
class StoredPlane : public CanvasPlane {
public:
    explicit StoredPlane(Viewable* parent) : CanvasPlane(parent, "StoredPlaneObject") { SetName("plane"); }
    static Viewable* Create(ObjectInstanceInfo& info) { return new StoredPlane(info.parent); }
};

class ViewStore : public ::testing::Test {
protected:
    ViewStore() {
        add("ScenarioLikeObject", "ViewableObject", "ScenarioLike", 24, &ScenarioLike::Create);
        add("DesignLikeObject", "ViewableObject", "DesignLike", 2, &ProbeView::Create);
        add("DroppingProbeObject", ProbeView::TypeName, "DroppingProbe", 1, &DroppingProbe::Create);
        add("StoredPlaneObject", "CanvasPlaneObject", "StoredPlane", 1, &StoredPlane::Create);
        add("FormOnlyObject", "ViewableObject", "", 1, nullptr);
    }
    void add(const char* name, const char* parent, const char* cls, int version, ViewFactory factory) {
        ObjectTypeInfo* t = registry.types.Add(
            std::make_unique<ObjectTypeInfo>(name, registry.types.Find(parent), cls, 0, 1, ""));
        t->SetClassVersion(static_cast<std::int16_t>(version));
        t->SetFactory(factory);
    }
    Viewable* make(const char* type, const char* name, Viewable* parent) {
        ObjectInstanceInfo info{registry.types.Find(type), name, parent};
        return info.type->CreateInstanceForRecall(info);
    }
    static std::vector<std::uint8_t> store(Viewable* root, bool expect = true) {
        LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
        EXPECT_EQ(expect, ViewRecords::Store(file, {root}));
        EXPECT_TRUE(file.Commit());
        return file.Bytes();
    }
    static Viewable* recall(const std::vector<std::uint8_t>& bytes) {
        LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
        std::vector<Viewable*> roots;
        if (!ViewRecords::Recall(file, roots) || roots.size() != 1) return nullptr;
        return roots[0];
    }
    ProbeRegistry registry;
};

TEST_F(ViewStore, AViewIsStoredAndNamedByItsRegisteredTypeNotByWhatItCreatesBelowItself) {
    auto* root = new ProbeView(nullptr, "case");
    Viewable* scenario = make("ScenarioLikeObject", "Scenario 1", root);
    EXPECT_EQ("DesignLikeObject", scenario->GetObjectType()->GetName()) << "the hook answers the asked type";
    EXPECT_EQ("ScenarioLikeObject", scenario->GetViewType()->GetName());
    EXPECT_EQ("ScenarioLike.200(Scenario 1)", root->AttachedName(scenario));
    const auto bytes = store(root);
    delete root;
    Viewable* back = recall(bytes);
    ASSERT_NE(nullptr, back);
    auto* s = dynamic_cast<ScenarioLike*>(back->GetChild(0));
    ASSERT_NE(nullptr, s) << "recalled as the class it was stored as";
    EXPECT_EQ(24, s->recalledVersion);
    EXPECT_TRUE(s->IsA("ScenarioLikeObject"));
    EXPECT_EQ("ScenarioLike.200(Scenario 1)", back->AttachedName(s));
    delete back;
}

TEST_F(ViewStore, PlotsParametersAndCanvasItemsAreLeftOutAndAViewThatCannotComeBackIsRefused) {
    auto* root = new ProbeView(nullptr, "case");
    auto* params = new Dim2GraphControl(root);
    auto* plot = new TwoDimPlot(root, params);
    auto* plane = new StoredPlane(root);
    new CanvasConnection(plane, "CanvasConnectionObject");
    root->link = plot;  // a link to a rebuilt child is stored as none
    auto* after = new ProbeView(root, "after");
    after->count = 5;
    const auto bytes = store(root);
    Viewable* back = recall(bytes);
    ASSERT_NE(nullptr, back);
    ASSERT_EQ(2, back->GetNumberOfChildren());
    auto* recalledPlane = dynamic_cast<StoredPlane*>(back->GetChild(0));
    ASSERT_NE(nullptr, recalledPlane);
    EXPECT_EQ(0, recalledPlane->GetNumberOfItems());
    EXPECT_EQ(nullptr, static_cast<ProbeView*>(back)->link);
    EXPECT_EQ(5, static_cast<ProbeView*>(back->GetChild(1))->count);
    delete back;
    // A stored child whose type has no class to read it back: nothing is written.
    make("ProbeViewObject", "fine", root);
    new Viewable(root, "FormOnlyObject");
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    EXPECT_FALSE(ViewRecords::Store(file, {root}));
    delete root;
}

TEST_F(ViewStore, AFixUpThatDeletesAnotherRecalledViewLeavesTheRestWhole) {
    auto* root = new ProbeView(nullptr, "case");
    auto* dropper = static_cast<ProbeView*>(make("DroppingProbeObject", "dropper", root));
    auto* old = new ProbeView(root, "old plot");
    new ProbeView(old, "under the old plot");
    dropper->link = old;
    new ProbeView(root, "kept");
    const auto bytes = store(root);
    delete root;
    Viewable* back = recall(bytes);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(2, back->GetNumberOfChildren());
    EXPECT_EQ(nullptr, back->FindChild(ProbeView::TypeName, "old plot"));
    auto* kept = static_cast<ProbeView*>(back->FindChild(ProbeView::TypeName, "kept"));
    ASSERT_NE(nullptr, kept);
    EXPECT_TRUE(kept->fixedUp);
    delete back;
}

}  // namespace
