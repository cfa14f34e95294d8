// The two views older cases bring back: their version 1 and 2 records read back what they hold,
// a case stored again leaves them out, and the supertargeting view builds its plot anew.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/ProbeView.h"
#include "views/EnginePointers.h"
#include "views/plots/CpiView.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

static_assert(!std::is_copy_constructible_v<CpiView> && !std::is_copy_constructible_v<cpiPlot>);

void registerProbe() {
    ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    if (types->Find(ProbeView::TypeName)) return;
    auto probe = std::make_unique<ObjectTypeInfo>(ProbeView::TypeName, types->Find("ViewableObject"), "ProbeView", 0, 1, "probe");
    probe->SetClassVersion(3);
    probe->SetFactory(&ProbeView::Create);
    types->Add(std::move(probe));
}

// Writers of the records as the older program wrote them.
class CpiViewWriter : public CpiView {
public:
    CpiViewWriter(ObjectInstanceInfo& info, IHeatIntegrationScenario* scenario, Viewable* linked, int version)
        : CpiView(info), m_scenario(scenario), m_linked(linked), m_version(version) {}
    bool StoreClassData(BinaryFile& file) override {
        bool ok = true;
        for (int i = 0; i < 4; ++i) ok = ok && StorePointer(file, i == 1 ? m_linked : nullptr);
        ok = ok && StorePointer(file, nullptr) && StorePointer(file, m_linked) && StorePointer(file, nullptr) &&
             StorePointer(file, nullptr) && StoreScenarioPointer(file, m_scenario) &&
             StoreDesignPointer(file, m_scenario, nullptr) && file.WriteCPString("supertarget notes");
        for (int i = 0; i < 8; ++i) ok = ok && file.WriteInt(100 + i);
        ok = ok && file.WriteInt(SuperTargetDTmin) && file.WriteInt(SuperTargetCapitalCost) &&
             file.WriteInt(SuperTargetTotalCost) && file.WriteInt(2) && StorePointer(file, nullptr) &&
             StorePointer(file, nullptr) && StorePlotParameters(file, nullptr);
        return m_version >= 2 ? ok && StorePointer(file, nullptr) : ok;
    }

private:
    IHeatIntegrationScenario* m_scenario;
    Viewable* m_linked;
    int m_version;
};

class CpiPlotWriter : public cpiPlot {
public:
    CpiPlotWriter(ObjectInstanceInfo& info, IHeatIntegrationScenario* scenario, int version)
        : cpiPlot(info), m_scenario(scenario), m_version(version) {}
    bool StoreClassData(BinaryFile& file) override {
        bool ok = file.WriteChar(1) && StorePlotParameters(file, nullptr) && StoreScenarioPointer(file, m_scenario) &&
                  StorePointer(file, nullptr) && file.WriteInt(42);
        return m_version >= 2 ? ok && StorePointer(file, nullptr) : ok;
    }

private:
    IHeatIntegrationScenario* m_scenario;
    int m_version;
};

class ViewCpiViewRecord : public ::testing::TestWithParam<int> {};

TEST_P(ViewCpiViewRecord, OlderRecordsReadBackAndAStoredCaseLeavesTheViewsOut) {
    const int version = GetParam();
    FourStreamProject project;
    CaseDocument document{"case", &project.manager};
    registerProbe();
    ObjectTypeRegistry* types = ObjectTypeRegistry::Current();
    ObjectTypeInfo* viewType = types->FindMutable(CpiView::TypeName);
    ObjectTypeInfo* plotType = types->FindMutable(cpiPlot::TypeName);
    ASSERT_TRUE(viewType && plotType);
    ASSERT_TRUE(viewType->IsTransient() && plotType->IsTransient()) << "never written again";
    const auto viewVersion = viewType->GetClassVersion(), plotVersion = plotType->GetClassVersion();
    // Written as the older program did: stored, not left out.
    for (ObjectTypeInfo* t : {viewType, plotType}) {
        t->SetTransient(false);
        t->SetClassVersion(static_cast<std::int16_t>(version));
    }
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    {
        auto* root = new ProbeView(nullptr, "case");
        root->SetDocument(&document);
        auto* linked = new ProbeView(root, "linked");
        ObjectInstanceInfo viewInfo{viewType, "super", root};
        new CpiViewWriter(viewInfo, project.scenario, linked, version);
        ObjectInstanceInfo plotInfo{plotType, "old plot", root};
        new CpiPlotWriter(plotInfo, project.scenario, version);
        EXPECT_TRUE(ViewRecords::Store(file, {root}));
        EXPECT_TRUE(file.Commit());
        delete root;
    }
    for (ObjectTypeInfo* t : {viewType, plotType}) t->SetTransient(true);
    viewType->SetClassVersion(viewVersion);
    plotType->SetClassVersion(plotVersion);

    LurmetBinaryFile in = LurmetBinaryFile::ForReading(file.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document)) << version;
    ASSERT_EQ(1u, roots.size());
    auto* view = static_cast<CpiView*>(roots[0]->FindChild(CpiView::TypeName, "super"));
    auto* plot = static_cast<cpiPlot*>(roots[0]->FindChild(cpiPlot::TypeName, "old plot"));
    ASSERT_TRUE(view && plot);
    Viewable* linked = roots[0]->FindChild(ProbeView::TypeName, "linked");
    ASSERT_NE(nullptr, linked);
    EXPECT_EQ(linked, view->LinkedView(1));
    EXPECT_EQ(linked, view->LinkedView(5));
    EXPECT_EQ(nullptr, view->LinkedView(0));
    EXPECT_EQ(project.scenario, view->GetScenario());
    EXPECT_EQ(nullptr, view->GetDesign());
    EXPECT_EQ("supertarget notes", view->GetText());
    EXPECT_EQ(107, view->Number(7));
    EXPECT_EQ(SuperTargetCapitalCost, view->GetLeftQuantity());
    EXPECT_EQ(2u, view->EngineViews().size());
    EXPECT_EQ(nullptr, view->GetPlot()) << "the file's plot is not kept";
    ASSERT_EQ(1, view->EnumInfo(0)->NumberOfEntries());
    EXPECT_EQ("Default", view->EnumInfo(0)->GetEntry(0)->text);
    EXPECT_TRUE(plot->Flag());
    EXPECT_EQ(42, plot->GetNumber());
    EXPECT_EQ(project.scenario, plot->GetScenario());

    // The plot is built anew over the quantities.
    view->BuildSuperTargetPlot();
    ASSERT_NE(nullptr, view->GetPlot());
    TwoDimDataPlotArea& area = view->GetPlot()->GetPlotArea();
    EXPECT_EQ(":Temperature.300.[]", area.GetDataSet(1)->XMoniker());
    EXPECT_EQ(":Cost.300.[]", area.GetDataSet(1)->YMoniker());
    EXPECT_EQ("Capital Cost Target", view->GetPlot()->GetYAxisPtr()->title);
    view->SetSuperTargetRightYAxis(SuperTargetTotalCost);
    EXPECT_TRUE(view->GetPlot()->GetRightYAxisPtr()->IsVisible());
    EXPECT_TRUE(area.GetDataSet(2)->IsVisible());
    EXPECT_EQ(":CostPerTime.301.[]", area.GetDataSet(2)->YMoniker());
    view->SetSuperTargetRightYAxis(SuperTargetNone);
    EXPECT_FALSE(view->GetPlot()->GetRightYAxisPtr()->IsVisible());
    EXPECT_FALSE(area.GetDataSet(2)->IsVisible());
    EXPECT_EQ(0, CpiView::BuildMoniker(11).Number());
    EXPECT_EQ(1508, CpiView::BuildMoniker(SuperTargetShellAndTubeArea).Type());

    // Stored again, the case leaves both views out and opens.
    LurmetBinaryFile again = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(again, {roots[0]}));
    ASSERT_TRUE(again.Commit());
    delete roots[0];
    LurmetBinaryFile reread = LurmetBinaryFile::ForReading(again.Bytes());
    std::vector<Viewable*> back;
    ASSERT_TRUE(ViewRecords::Recall(reread, back, &document));
    ASSERT_EQ(1u, back.size());
    EXPECT_EQ(nullptr, back[0]->FindChild(CpiView::TypeName, "super"));
    EXPECT_EQ(nullptr, back[0]->FindChild(cpiPlot::TypeName, "old plot"));
    EXPECT_NE(nullptr, back[0]->FindChild(ProbeView::TypeName, "linked"));
    delete back[0];
}

INSTANTIATE_TEST_SUITE_P(ViewVersions, ViewCpiViewRecord, ::testing::Values(1, 2));

}  // namespace
