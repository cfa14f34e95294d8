#include "brasko/LurmetBinaryFile.h"
#include "lumeth/CanvasPlane.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

// A diagram: a stored plane whose items are rebuilt after recall from what it stores.
class ChartPlane : public CanvasPlane {
public:
    static constexpr const char* TypeName = "ChartPlaneTestObject";
    explicit ChartPlane(Viewable* parent) : CanvasPlane(parent, TypeName) { SetName("diagram"); }
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChartPlane(info.parent); }
    void Build() {
        while (GetNumberOfItems() > 0) delete GetItem(0);
        for (int i = 0; i < items; ++i) new CanvasConnection(this, "CanvasConnectionObject");
    }
    bool StoreClassData(BinaryFile& file) override { return file.WriteInt(items); }
    bool RecallClassData(BinaryFile& file, int) override { return file.ReadInt(items); }
    bool RecallFixUp() override {
        Build();
        return true;
    }
    std::int32_t items = 0;
};

// A view that owns one child of every kind: a plot with its parameters, a diagram with canvas
// items, and a name view per utility. The parameters and the diagram are in its record; the
// plot and the name views are rebuilt.
class ChartOwner : public ProbeView {
public:
    static constexpr const char* TypeName = "ChartOwnerTestObject";
    explicit ChartOwner(ObjectInstanceInfo& info) : ProbeView(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ChartOwner(info); }

    void Build(int utilities) {
        parameters = new Dim2GraphControl(this);
        parameters->xMinimum = 10.0;
        diagram = new ChartPlane(this);
        diagram->items = 3;
        diagram->Build();
        names = utilities;
        Rebuild();
    }
    void Rebuild() {
        plot = new TwoDimPlot(this, parameters);
        for (int i = 0; i < names; ++i) new Viewable(this, "UtilityNameViewObject");
    }
    bool StoreClassData(BinaryFile& file) override {
        return StorePlotParameters(file, parameters) && StorePointer(file, plot) && StorePointer(file, diagram) &&
               file.WriteInt(names);
    }
    bool RecallClassData(BinaryFile& file, int) override {
        return RecallPlotParameters(file, parameters, this) && RecallPointerX(file, storedPlotLink, nullptr) &&
               RecallPointerX(file, diagramSlot, nullptr) && file.ReadInt(names);
    }
    bool RecallFixUp() override {
        diagram = static_cast<ChartPlane*>(diagramSlot);
        Rebuild();
        return true;
    }

    Dim2GraphControl* parameters = nullptr;
    TwoDimPlot* plot = nullptr;
    ChartPlane* diagram = nullptr;
    Viewable* diagramSlot = nullptr;
    Viewable* storedPlotLink = reinterpret_cast<Viewable*>(1);
    std::int32_t names = 0;
};

class ViewRecordsOwnedChildren : public ::testing::Test {
protected:
    void SetUp() override {
        ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
        ASSERT_NE(nullptr, types) << "the module installs its registry when it loads";
        ASSERT_NE(nullptr, types->Find("UtilityNameViewObject"));
        if (!types->Find(ChartOwner::TypeName)) {
            auto owner = std::make_unique<ObjectTypeInfo>(ChartOwner::TypeName, types->Find("ViewableObject"),
                                                          "ChartOwner", 0, 1, "");
            owner->SetFactory(&ChartOwner::Create);
            types->Add(std::move(owner));
            auto plane = std::make_unique<ObjectTypeInfo>(ChartPlane::TypeName, types->Find("CanvasPlaneObject"),
                                                          "ChartPlane", 0, 1, "");
            plane->SetFactory(&ChartPlane::Create);
            types->Add(std::move(plane));
        }
    }
    ChartOwner* makeOwner() {
        ObjectInstanceInfo info{ObjectTypeRegistry::Current()->Find(ChartOwner::TypeName), "Scenario 1", nullptr};
        auto* owner = static_cast<ChartOwner*>(info.type->CreateInstanceForRecall(info));
        owner->Build(2);
        return owner;
    }
    static void expectWhole(Viewable* root) {
        auto* owner = dynamic_cast<ChartOwner*>(root);
        ASSERT_NE(nullptr, owner);
        EXPECT_EQ(nullptr, owner->storedPlotLink) << "a link to a rebuilt plot is stored as none";
        ASSERT_NE(nullptr, owner->parameters);
        EXPECT_EQ(10.0, owner->parameters->xMinimum);
        ASSERT_NE(nullptr, owner->diagram);
        EXPECT_EQ(3, owner->diagram->GetNumberOfItems());
        EXPECT_EQ(owner->parameters, owner->plot->GetParameters());
        int nameViews = 0;
        for (int i = 0; i < owner->GetNumberOfChildren(); ++i) nameViews += owner->GetChild(i)->IsA("UtilityNameViewObject");
        EXPECT_EQ(2, nameViews);
        // plot parameters, diagram, plot, two name views: none doubled by the recall.
        EXPECT_EQ(5, owner->GetNumberOfChildren());
    }
};

TEST_F(ViewRecordsOwnedChildren, AViewOwningEveryKindOfChildStoresAndRecalls) {
    ChartOwner* owner = makeOwner();
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {owner}));
    ASSERT_TRUE(out.Commit());
    delete owner;
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots));
    ASSERT_EQ(1u, roots.size());
    expectWhole(roots[0]);
    delete roots[0];
}

TEST_F(ViewRecordsOwnedChildren, ACaseWithItSavesToDiskAndReadsBack) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kestrin-views-" + std::to_string(::getpid()) + ".case");
    ChartOwner* owner = makeOwner();
    LurmetBinaryFile out;
    ASSERT_TRUE(out.OpenForWrite(path.string()));
    ASSERT_TRUE(ViewRecords::Store(out, {owner}));
    ASSERT_TRUE(out.Close()) << out.ErrorText();
    delete owner;
    LurmetBinaryFile in;
    ASSERT_TRUE(in.OpenForRead(path.string()));
    EXPECT_TRUE(in.IsChecked());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots));
    EXPECT_TRUE(in.AtEnd());
    ASSERT_EQ(1u, roots.size());
    expectWhole(roots[0]);
    // Stored again, the recalled view gives the same bytes: nothing was lost or added.
    LurmetBinaryFile again = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(again, {roots[0]}));
    ASSERT_TRUE(again.Commit());
    LurmetBinaryFile first = LurmetBinaryFile::ForWriting();
    ChartOwner* fresh = makeOwner();
    ASSERT_TRUE(ViewRecords::Store(first, {fresh}));
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(first.Bytes(), again.Bytes());
    delete fresh;
    delete roots[0];
    std::filesystem::remove(path);
}

}  // namespace
