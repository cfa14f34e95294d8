// The total-site viewer on a site built by the total-site builder: its scenarios, the site
// streams typed into its name table, the default-utility name views, the table cursor, the
// coefficient column, its commands without a scenario, and its record.
#include "brasko/CaseDocument.h"
#include "brasko/FeatureManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "eng/targeting/ITotalSiteUtilityManager.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "views/case/ChiView.h"
#include "views/case/CloneHIScenarioTool.h"
#include "views/case/project/GrassRootViewers.h"
#include "views/case/project/TotalSiteUtilManagerView.h"
#include "views/case/scenario/UtilityNameView.h"

#include "tests/views/case/CaseViewTestSupport.h"

#include <gtest/gtest.h>

namespace {

VarDescription address(const char* text) {
    VarDescription v;
    VarDescription::Parse(text, v);
    return v;
}

class ViewTotalSiteViewer : public ::testing::Test {
protected:
    ViewTotalSiteViewer() {
        Session::Instance().Reset();
        caseView = static_cast<ChiTotalSiteView*>(ChiGrassRootTotalSiteView::BuildChiGrassRootTotalSiteView(features, "Works"));
        viewer = caseView->GetTotalSiteViewer();
        site = viewer ? viewer->GetTotalSite() : nullptr;
        if (site) site->GetDefaultUtilityManager(manager);
    }
    ~ViewTotalSiteViewer() override {
        delete features;
        Session::Instance().Reset();
    }
    Viewable* type(int row, const char* name) {
        return viewer->AttachNewObject(address(FormattedText("UtilityNameView.599.%d", row).c_str()), name);
    }
    std::vector<Text> siteStreams() const {
        std::vector<Text> names;
        for (int i = 0; i < site->GetNumberOfStreams(); ++i) {
            IHeatIntegrationStream* s = nullptr;
            if (site->GetStream(i, s)) names.push_back(s->GetName());
        }
        return names;
    }

    EngineeringManager engineering;
    CaseDocument document{"case", &engineering};
    ExpMgrView* features = new ExpMgrView(&document);
    ChiTotalSiteView* caseView = nullptr;
    HIDesignViewerTotalSite* viewer = nullptr;
    IHeatIntegrationTotalSite* site = nullptr;
    ITotalSiteUtilityManager* manager = nullptr;
};

TEST_F(ViewTotalSiteViewer, TheBuilderMakesASiteWithProcessOneAndItsFirstDesign) {
    ASSERT_NE(nullptr, viewer);
    ASSERT_NE(nullptr, site);
    EXPECT_TRUE(viewer->IsA(HIDesignViewerGrassRootTotalSite::TypeName));
    ASSERT_EQ(1, viewer->GetScenarioViews().Count());
    HIDesignViewerScenario* scenario = viewer->GetScenarioViews()[0];
    EXPECT_EQ("Process 1", scenario->GetName());
    EXPECT_EQ(scenario, caseView->GetSelObj());
    EXPECT_EQ(scenario, viewer->GetCurrentScenario());
    EXPECT_EQ(1, scenario->GetmyScenario()->GetNumberOfDesigns());
    EXPECT_EQ(0, SendViewableMessage(viewer, "AddDefaultScenario"));
    EXPECT_EQ(1, JournalKeyCount("ThisScenarioNameAlreadyExists"));
    EXPECT_EQ(1, site->GetNumberOfScenarios());
    EXPECT_EQ("HIDesignViewerScenario.200.0(Process 1)", viewer->AttachedName(scenario));
    EXPECT_EQ("Add Process", viewer->TextValue(address("TitleText.301")));
    EXPECT_EQ("Works", viewer->TextValue(address("ExtraData.210.1")));
}

TEST_F(ViewTotalSiteViewer, SiteStreamsAreAddedRenamedAndDeletedByTyping) {
    ASSERT_NE(nullptr, site);
    // The spare row adds; a fired heater's stream warns about its economics.
    Viewable* added = type(0, "Cooling Water");
    ASSERT_NE(nullptr, added);
    EXPECT_EQ("Cooling Water", added->GetName());
    EXPECT_EQ(0, JournalKeyCount("FiredHeaterEconomics"));
    ASSERT_NE(nullptr, type(1, "Fired Heat (1000)"));
    EXPECT_EQ(1, JournalKeyCount("FiredHeaterEconomics"));
    EXPECT_EQ((std::vector<Text>{"Cooling Water", "Fired Heat (1000)"}), siteStreams());
    EXPECT_EQ(2, viewer->GetSiteStreamNameViews().Count());
    DimInfo dims;
    viewer->Dimensions(address("UtilityNameView.599"), dims);
    EXPECT_EQ(3, dims.Dim(0));
    // Over a row: a rename to another utility, which the name view follows; a name that is no
    // default utility is refused as adding it is.
    ASSERT_NE(nullptr, type(0, "Refrigerant 1"));
    EXPECT_EQ("Refrigerant 1", viewer->GetSiteStreamNameViews()[0]->GetName());
    EXPECT_EQ(nullptr, type(0, "CW North"));
    EXPECT_EQ(1, JournalKeyCount("RenameStreamError"));
    EXPECT_EQ("Refrigerant 1", viewer->GetSiteStreamNameViews()[0]->GetName());
    // Emptied: asks first; a no keeps the stream.
    Session::Instance().ScriptResponse(0);
    EXPECT_EQ(nullptr, type(0, ""));
    EXPECT_EQ(2, site->GetNumberOfStreams());
    Session::Instance().ScriptResponse(1);
    type(0, "");
    EXPECT_EQ((std::vector<Text>{"Fired Heat (1000)"}), siteStreams());
    EXPECT_EQ(1, viewer->GetSiteStreamNameViews().Count());
    EXPECT_EQ("Deleted Utility Stream Refrigerant 1\n", Text(site->GetNotes()));
    // A name that is no default utility adds nothing: the user is asked to pick one, once.
    EXPECT_EQ(nullptr, type(1, "Nowhere"));
    EXPECT_EQ(1, JournalKeyCount("PickTotalSiteUtilityFromDropDownList"));
    EXPECT_EQ(0, JournalKeyCount("AddStreamError"));
    EXPECT_EQ(1, site->GetNumberOfStreams());
}

TEST_F(ViewTotalSiteViewer, DefaultUtilityNameViewsAreAddressedFromTenThousand) {
    ASSERT_NE(nullptr, manager);
    const int count = manager->GetNumberOfDefaultUtilities();
    ASSERT_GT(count, 2);
    ASSERT_EQ(count, viewer->GetDefaultUtilityNameViews().Count());
    for (int k : {0, count - 1}) {
        Viewable* v = viewer->AttachedObject(address(FormattedText("UtilityNameView.599.%d", 10000 + k).c_str()));
        ASSERT_NE(nullptr, v) << k;
        EXPECT_EQ(manager->GetRecommendedUtilityName(k), v->GetName());
        EXPECT_EQ(FormattedText("UtilityNameView.599.%d(", 10000 + k) + v->GetName() + ")", viewer->AttachedName(v));
    }
    for (int i : {9999, 10000 + count})
        EXPECT_EQ(nullptr, viewer->AttachedObject(address(FormattedText("UtilityNameView.599.%d", i).c_str()))) << i;
    // The offered names are the default utilities; dropping one on the spare row adds it.
    std::vector<Viewable*> offered;
    EXPECT_EQ(count, viewer->GetAttachableObjects(address("UtilityNameView.599.0"), offered));
    EXPECT_EQ(1, viewer->AttachObject(address("UtilityNameView.599.0"), offered[0]));
    EXPECT_EQ(1, site->GetNumberOfStreams());
    // The manager's edits reach the name views; a rebuild (96) takes them from the manager again.
    ASSERT_TRUE(manager->AddDefaultUtility("Site Brine"));
    EXPECT_EQ("Site Brine", viewer->GetDefaultUtilityNameViews()[count]->GetName());
    ASSERT_TRUE(manager->RenameDefaultUtility("Site Brine", "Brine"));
    EXPECT_EQ("Brine", viewer->GetDefaultUtilityNameViews()[count]->GetName());
    viewer->NotifyChange(96, CPString(), nullptr);
    ASSERT_EQ(count + 1, viewer->GetDefaultUtilityNameViews().Count());
    EXPECT_EQ("Brine", viewer->GetDefaultUtilityNameViews()[count]->GetName());
    ASSERT_TRUE(manager->RemoveDefaultUtility("Brine"));
    EXPECT_EQ(count, viewer->GetDefaultUtilityNameViews().Count());
}

struct Cursor {
    const char* name;
    int typed;
    int lands;
};
void PrintTo(const Cursor& c, std::ostream* os) {
    *os << c.name;
}
class ViewTotalSiteCursor : public ViewTotalSiteViewer, public ::testing::WithParamInterface<Cursor> {};

TEST_P(ViewTotalSiteCursor, TheColumnCursorSkipsColumnsNoOneTypesInto) {
    const Cursor c = GetParam();
    ASSERT_EQ(1, SpecifyValue(viewer, FormattedText("%s.105", c.name), c.typed));
    EXPECT_EQ(c.lands, viewer->GetTableColumn());
}
INSTANTIATE_TEST_SUITE_P(Columns, ViewTotalSiteCursor,
                         ::testing::Values(Cursor{"ColPos", 1, 2}, Cursor{"ColPos", 9, 10}, Cursor{"ColPos", 12, 13},
                                           Cursor{"ColPos", 8, 8}, Cursor{"ColPosU", 1, 2}, Cursor{"ColPosU", 8, 9},
                                           Cursor{"ColPosU", 9, 9}, Cursor{"ColPosU", 12, 13}));

TEST_F(ViewTotalSiteViewer, StreamRowsReadAndTakeTheirValues) {
    ASSERT_NE(nullptr, type(0, "Cooling Water"));
    IHeatIntegrationStream* cw = nullptr;
    ASSERT_TRUE(site->GetStream(0, cw));
    EXPECT_DOUBLE_EQ(cw->GetSupplyTemperature(), viewer->Value(address("Temperature.440.0")));
    EXPECT_EQ(1.0, viewer->Value(address("CountU.440.0")));
    // One segment: the film coefficient and specific heat show; the hot/cold button does not.
    EXPECT_EQ(Viewable::EmptyValue, viewer->Value(address("Switch.440.0")));
    EXPECT_EQ(0.0, viewer->Value(address("Switch.452.0")));
    ASSERT_EQ(1, SpecifyValue(viewer, "HeatTransferCoeff.440.0", 2.5));
    EXPECT_DOUBLE_EQ(2.5, viewer->Value(address("HeatTransferCoeff.440.0")));
    EXPECT_EQ(0, SpecifyValue(viewer, "HeatTransferCoeff.440.0", Viewable::EmptyValue));
    EXPECT_EQ(1, JournalKeyCount("HTCoeffUpdateError2"));
    EXPECT_EQ(0, SpecifyValue(viewer, "HeatTransferCoeff.440.0", 0.0));
    EXPECT_EQ(0, SpecifyValue(viewer, "HeatTransferCoeff.440.0", -1.0));
    EXPECT_EQ(2, JournalKeyCount("HTCoeffUpdateError"));
    EXPECT_DOUBLE_EQ(2.5, viewer->Value(address("HeatTransferCoeff.440.0")));
    // Past the last stream every per-row column is empty, the mass flow included.
    for (const char* a : {"Temperature.440.1", "HeatTransferCoeff.440.1", "HeatFlow.440.1", "MassFlow.104.1",
                          "CostPerEnergy.445.1", "CountU.440.1"})
        EXPECT_EQ(Viewable::EmptyValue, viewer->Value(address(a))) << a;
    // The editable rows by the view's own status: a row the form takes a value in shows as taken.
    ModifyState state = ReadOnlyState;
    int detail = 0;
    viewer->VariableStatus(address("Temperature.440.0"), state, detail);
    EXPECT_EQ(ModifiableState, state);
    viewer->VariableStatus(address("CountU.440.0"), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    viewer->VariableStatus(address("Switch.452.0"), state, detail);
    EXPECT_EQ(ModifiableState, state);
}

TEST_F(ViewTotalSiteViewer, ScenarioCommandsWaitForASelectedScenario) {
    caseView->ChangeSelectedObject(viewer);
    ASSERT_EQ(nullptr, viewer->GetCurrentScenario());
    ASSERT_EQ(1, SpecifyValueText(viewer, "ExtraData.208", "Winter"));
    for (const char* command : {"RemoveFromDesignView", "RenameView", "CloneHI", "CopyHI", "CloneAndRetrofit D1"})
        EXPECT_EQ(0, SendViewableMessage(viewer, command)) << command << ": nothing to act on is no success";
    EXPECT_EQ(1, site->GetNumberOfScenarios());
    EXPECT_EQ("Process 1", Text(site->GetScenarioName(0)));
    EXPECT_EQ(nullptr, viewer->GetCloneTool());
    EXPECT_EQ("Winter", viewer->TextValue(address("ExtraData.208")));
    // With a scenario selected the clone tool opens on the site.
    caseView->ChangeSelectedObject(viewer->GetScenarioViews()[0]);
    EXPECT_EQ(1, SendViewableMessage(viewer, "CopyHI"));
    ASSERT_NE(nullptr, viewer->GetCloneTool());
    EXPECT_EQ(1, viewer->GetCloneTool()->GetMode());
    EXPECT_EQ("CloneHIScenarioTool.298.0(Process 1)", viewer->AttachedName(viewer->GetCloneTool()));
    // The utility-default editor opens bound to the site's manager.
    EXPECT_EQ(1, SendViewableMessage(viewer, "OpenUDB"));
    ASSERT_NE(nullptr, viewer->GetUtilManagerView());
    EXPECT_EQ(manager, viewer->GetUtilManagerView()->GetManager());
}

TEST_F(ViewTotalSiteViewer, TheSiteViewsGoThroughTheirRecordsAndBack) {
    ASSERT_NE(nullptr, type(0, "Cooling Water"));
    SendViewableMessage(viewer, "AddDefaultScenario Winter");
    SpecifyValueText(viewer, "ExtraData.208", "pending");
    SendViewableMessage(viewer, "CloneHI");
    std::vector<std::uint8_t> stored;
    Viewable* root = RecallStoredRoot(caseView, document, stored);
    ASSERT_NE(nullptr, root);
    ASSERT_TRUE(root->IsA(ChiTotalSiteView::TypeName));
    auto* back = static_cast<ChiTotalSiteView*>(root);
    HIDesignViewerTotalSite* recalled = back->GetTotalSiteViewer();
    ASSERT_NE(nullptr, recalled);
    EXPECT_TRUE(recalled->IsA(HIDesignViewerGrassRootTotalSite::TypeName));
    EXPECT_EQ(site, recalled->GetTotalSite());
    ASSERT_EQ(2, recalled->GetScenarioViews().Count());
    EXPECT_EQ("Winter", recalled->GetScenarioViews()[1]->GetName());
    EXPECT_EQ(recalled->GetScenarioViews()[1], recalled->GetCurrentScenario());
    EXPECT_EQ("pending", recalled->TextValue(address("ExtraData.208")));
    EXPECT_EQ(nullptr, recalled->GetCloneTool()) << "the open clone tool is not stored";
    // The recalled view has a name view for the stream the site already held.
    ASSERT_EQ(1, recalled->GetSiteStreamNameViews().Count());
    EXPECT_EQ("Cooling Water", recalled->GetSiteStreamNameViews()[0]->GetName());
    EXPECT_EQ(manager->GetNumberOfDefaultUtilities(), recalled->GetDefaultUtilityNameViews().Count());
    delete back;

    // A record cut short is refused and leaves nothing behind.
    EXPECT_TRUE(HalfRecordIsRefused(stored, document));
}

TEST_F(ViewTotalSiteViewer, ATakenSiteNameIsRefused) {
    ILurmetBaseObject* other = engineering.CreateObject(IHeatIntegrationTotalSite::TotalSiteType, "Refinery");
    ASSERT_NE(nullptr, other);
    // Refused with its word, the write answers 0.
    EXPECT_EQ(0, SpecifyValueText(viewer, "ExtraData.210.1", "Refinery"));
    EXPECT_EQ(1, JournalKeyCount("ThisProjectNameAlreadyExists"));
    EXPECT_EQ("Works", viewer->GetName());
    // A project (not a site) of a name does not block a site of that name.
    ILurmetBaseObject* project = engineering.CreateObject(501, "Plant");
    EXPECT_EQ(1, SpecifyValueText(viewer, "ExtraData.210.1", "Plant"));
    EXPECT_EQ(1, JournalKeyCount("ThisProjectNameAlreadyExists"));
    EXPECT_EQ("Plant", viewer->GetName());
    EXPECT_EQ("Plant", caseView->GetName());
    engineering.ReleaseObject(project);
    engineering.ReleaseObject(other);
}

}  // namespace
