#include "brasko/CaseDocument.h"
#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/ProbeView.h"
#include "views/EnginePointers.h"

#include <gtest/gtest.h>

namespace {

// A probe that also shows a scenario of the case's engine.
class ScenarioProbe : public ProbeView {
public:
    static constexpr const char* TypeName = "ScenarioProbeObject";
    explicit ScenarioProbe(ObjectInstanceInfo& info) : ProbeView(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ScenarioProbe(info); }

    bool StoreClassData(BinaryFile& file) override {
        return ProbeView::StoreClassData(file) && StoreScenarioPointer(file, scenario);
    }
    bool RecallClassData(BinaryFile& file, int version) override {
        return ProbeView::RecallClassData(file, version) &&
               RecallScenarioPointer(file, CaseEngineeringManager2(this), scenario);
    }
    IHeatIntegrationScenario* scenario = nullptr;
};

class ViewRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
        ASSERT_NE(nullptr, types) << "the module installs its registry when it loads";
        if (!types->Find(ProbeView::TypeName)) {
            auto probe = std::make_unique<ObjectTypeInfo>(ProbeView::TypeName, types->Find("ViewableObject"), "ProbeView",
                                                          0, 1, "probe");
            probe->SetClassVersion(3);
            probe->SetFactory(&ProbeView::Create);
            types->Add(std::move(probe));
            auto scenario = std::make_unique<ObjectTypeInfo>(ScenarioProbe::TypeName, types->Find(ProbeView::TypeName),
                                                             "ScenarioProbe", 0, 1, "probe");
            scenario->SetClassVersion(5);
            scenario->SetFactory(&ScenarioProbe::Create);
            types->Add(std::move(scenario));
        }
        object = manager.CreateObject(IHeatIntegrationProject::ObjectType, "Project A");
        ASSERT_NE(nullptr, object);
        void* p = nullptr;
        ASSERT_TRUE(object->QueryInterface(IHeatIntegrationProject::ObjectType, &p));
        project = static_cast<IHeatIntegrationProject*>(p);
        ASSERT_TRUE(project->AddScenario(CPString("Scenario 1")));
        ASSERT_TRUE(project->GetScenario(CPString("Scenario 1"), scenario));
    }
    void TearDown() override { manager.ReleaseObject(object); }

    // A case view with a scenario probe under it that links back to a sibling.
    std::vector<std::uint8_t> storeCase() {
        auto* root = new ProbeView(nullptr, "case");
        root->SetDocument(&document);
        auto* sibling = new ProbeView(root, "sibling");
        sibling->count = 7;
        ObjectInstanceInfo info{ObjectTypeRegistry::Current()->Find(ScenarioProbe::TypeName), "probe", root};
        auto* probe = static_cast<ScenarioProbe*>(info.type->CreateInstanceForRecall(info));
        probe->count = 42;
        probe->ratio = 0.25;
        probe->note = "notes";
        probe->link = sibling;
        probe->scenario = scenario;
        LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
        EXPECT_TRUE(ViewRecords::Store(file, {root}));
        EXPECT_TRUE(file.Commit());
        delete root;
        return file.Bytes();
    }

    EngineeringManager manager;
    CaseDocument document{"case", &manager};
    ILurmetBaseObject* object = nullptr;
    IHeatIntegrationProject* project = nullptr;
    IHeatIntegrationScenario* scenario = nullptr;
};

TEST_F(ViewRecordsTest, AProbeViewComesBackWithItsVersionAndItsLinks) {
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(storeCase());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(file, roots, &document));
    ASSERT_EQ(1u, roots.size());
    Viewable* root = roots[0];
    EXPECT_EQ(2, root->GetNumberOfChildren());
    auto* probe = static_cast<ScenarioProbe*>(root->FindChild(ScenarioProbe::TypeName, "probe"));
    ASSERT_NE(nullptr, probe);
    EXPECT_TRUE(probe->IsA(ProbeView::TypeName));
    EXPECT_EQ(5, probe->recalledVersion);
    EXPECT_EQ(42, probe->count);
    EXPECT_EQ(0.25, probe->ratio);
    EXPECT_EQ("notes", probe->note);
    EXPECT_EQ(scenario, probe->scenario);
    Viewable* sibling = root->FindChild(ProbeView::TypeName, "sibling");
    ASSERT_EQ(sibling, probe->link);
    EXPECT_EQ(7, static_cast<ProbeView*>(sibling)->count);
    // Fix-ups ran after the links were filled: the probe hears of its sibling's death.
    EXPECT_TRUE(probe->fixedUp);
    delete sibling;
    EXPECT_EQ(nullptr, probe->link);
    delete root;
}

TEST_F(ViewRecordsTest, ACaseCutShortOrNamingAMissingScenarioStopsTheRecallCleanly) {
    const std::vector<std::uint8_t> bytes = storeCase();
    for (std::size_t cut = LurmetBinaryFile::MagicSize; cut < bytes.size(); ++cut) {
        LurmetBinaryFile file = LurmetBinaryFile::ForReading(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut));
        std::vector<Viewable*> roots;
        EXPECT_FALSE(ViewRecords::Recall(file, roots, &document)) << cut;
        EXPECT_TRUE(roots.empty()) << cut;
    }
    ASSERT_TRUE(project->DeleteScenario(CPString("Scenario 1")));
    LurmetBinaryFile file = LurmetBinaryFile::ForReading(bytes);
    std::vector<Viewable*> roots;
    EXPECT_FALSE(ViewRecords::Recall(file, roots, &document));
    EXPECT_TRUE(roots.empty());
}

}  // namespace
