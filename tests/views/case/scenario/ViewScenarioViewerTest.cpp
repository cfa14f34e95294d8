// The scenario viewer bound to the four-stream scenario: its children, the change codes of the
// scenario and its manager, the names of its children both ways, the utility rows, and its death
// with the scenario.
#include "brasko/CaseDocument.h"
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/EngineNoticeCheck.h"
#include "views/case/DataExtractionView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <gtest/gtest.h>

#include <memory>

#include <algorithm>
#include <cstring>

namespace {

// The designs a range-target plot shows: one name per pair of data sets (the left-axis set).
std::vector<Text> PlottedDesigns(const ChiSuperTargetPlot* plot) {
    std::vector<Text> names;
    for (const PlotDesignEntry* e : plot->DesignEntries())
        if ((e->nDataSet - 3) % 2 == 0) names.push_back(e->strName);
    return names;
}

VarDescription address(const char* text) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(text, var)) << text;
    return var;
}

class ViewScenarioViewer : public ::testing::Test {
protected:
    ViewScenarioViewer() {
        Session::Instance().Reset();
        projectViewer = new Viewable(nullptr, "HIDesignViewerProjectObject");
        projectViewer->SetName("Plant");
        projectViewer->SetDocument(&document);
    }
    ~ViewScenarioViewer() override {
        delete projectViewer;
        Session::Instance().Reset();
    }
    // The four streams, two utilities and three designs, then a viewer bound to them.
    void bind(bool withDesigns = true) {
        ASSERT_TRUE(p.scenario);
        ASSERT_TRUE(p.AddUtility("LP Steam"));
        ASSERT_TRUE(p.AddUtility("Cooling Water"));
        if (withDesigns) {
            for (const char* name : {"Design 1", "Design 2", "Design 3"}) ASSERT_EQ(1, p.scenario->AddDesign(name));
        }
        viewer = new HIDesignViewerScenario(projectViewer, "Base",
                                            ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
        ASSERT_TRUE(viewer->SetVariables());
        ASSERT_EQ(p.scenario, viewer->GetmyScenario());
    }
    IDefaultUtilityManager* manager() {
        IDefaultUtilityManager* m = nullptr;
        return p.scenario->GetDefaultUtilityManager(m) ? m : nullptr;
    }
    std::vector<Text> names(const HVector<UtilityNameView*>& list) {
        std::vector<Text> out;
        for (UtilityNameView* v : list) out.push_back(v->GetName());
        return out;
    }
    chiPlot* plotOfKind(int kind) {
        HenPlotList* plots = viewer->GetHenPlotList();
        for (int i = 0; plots && i < plots->Count(); ++i)
            if (plots->GetIth(i)->GetGraphType() == kind) return plots->GetIth(i);
        return nullptr;
    }
    static bool hasEntry(const HVector<PlotDesignEntry*>& list, const char* name) {
        for (const PlotDesignEntry* e : list)
            if (e->strName == name) return true;
        return false;
    }

    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    Viewable* projectViewer = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
};

TEST_F(ViewScenarioViewer, BoundToThreeDesignsItBuildsEveryChildOnce) {
    bind();
    ASSERT_EQ(3, viewer->GetDesignObjs().Count());
    EXPECT_EQ(viewer->GetDesignObjs()[2], viewer->GetCurrentDesign());
    for (int i = 0; i < 3; ++i) {
        HIDesignViewerDesign* d = viewer->GetDesignObjs()[i];
        EXPECT_EQ("Design " + std::to_string(i + 1), d->GetName());
        IHENDesign* design = nullptr;
        ASSERT_TRUE(p.scenario->GetDesign(d->GetName(), design));
        EXPECT_EQ(design, d->GetDesign());
        EXPECT_EQ(10, d->nSetting200);
        ASSERT_NE(nullptr, d->GetGridDiagram());
        EXPECT_EQ(d->GetName() + " HENDiagram", d->GetGridDiagram()->GetName());
        EXPECT_EQ(design, d->GetGridDiagram()->GetDesign());
        EXPECT_EQ(0, d->GetGridDiagram()->bHold);
    }
    ASSERT_NE(nullptr, viewer->GetHenPlotList());
    ASSERT_EQ(16, viewer->GetHenPlotList()->Count());
    for (int k = 0; k < 16; ++k) EXPECT_EQ(k + 1, viewer->GetHenPlotList()->GetIth(k)->GetGraphType());
    // The cost plots carry one data set per design.
    EXPECT_EQ(3, plotOfKind(AlphaPlot)->AlphaVector().Count());
    ASSERT_NE(nullptr, viewer->GetGeneralPlot());
    ASSERT_NE(nullptr, viewer->GetSuperTargetPlot());
    EXPECT_EQ(0, viewer->GetGeneralPlot()->GetMode());
    EXPECT_EQ(1, viewer->GetSuperTargetPlot()->GetMode());
    EXPECT_EQ(3u, PlottedDesigns(viewer->GetGeneralPlot()).size());
    EXPECT_EQ(32767, viewer->GetSuperTargetPlot()->GetActiveInsertPosition());
    EXPECT_EQ(9, viewer->GetSuperTargetPlot()->GetLeftQuantity());
    EXPECT_EQ(0, viewer->GetSegmentTables().Count());
    EXPECT_EQ((std::vector<Text>{"LP Steam", "Cooling Water"}), names(viewer->GetUtilityNameViews()));
    ASSERT_NE(nullptr, manager());
    ASSERT_EQ(manager()->GetNumberOfDefaultUtilities(), viewer->GetDefaultUtilityNameViews().Count());
    EXPECT_EQ(Text(manager()->GetRecommendedUtilityName(3)), viewer->GetDefaultUtilityNameViews()[3]->GetName());
    ASSERT_NE(nullptr, viewer->GetDefaultUtilManagerView());
    ASSERT_NE(nullptr, viewer->GetHTCDatabaseView());
    EXPECT_EQ(manager(), viewer->GetDefaultUtilManagerView()->GetDUM());
    EXPECT_EQ(manager(), viewer->GetHTCDatabaseView()->GetDUM());
    EXPECT_EQ(-1, viewer->GetDefaultUtilManagerView()->getselDefUtilRow());
    // The economic data sets offered to the forms, and the unit of a variable's kind.
    viewer->SetEconomicData();
    ASSERT_EQ(p.scenario->GetNumberOfEconomicData(), viewer->GetEconomicDataEnum()->NumberOfEntries());
    EXPECT_EQ("DEFAULT", viewer->GetEconomicDataEnum()->GetEntry(0)->text);
    EXPECT_EQ(DefUnitConv(1).name, viewer->GetUnitNameFromMoniker("Temperature.402"));
    EXPECT_EQ(DefUnitConv(6).name, viewer->GetUnitNameFromMoniker("HIDesignViewerDesign.200.0.HeatFlow.204.[]"));
    EXPECT_EQ("", viewer->GetUnitNameFromMoniker("(("));
    EXPECT_EQ(DefUnitConv(1508).name, viewer->GetUnitNameFromMoniker(":Area"));
    EXPECT_EQ("", viewer->GetUnitNameFromMoniker(":NoSuchKind"));
    // A viewer whose owner is not a project viewer does not bind.
    HIDesignViewerScenario loose(nullptr, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    EXPECT_FALSE(loose.SetVariables());
    EXPECT_EQ(nullptr, loose.GetmyScenario());
}

TEST_F(ViewScenarioViewer, NewAndRecalledViewersTakeTheirDefaultsAndTheNoticeIsLookedUpOnce) {
    const Text before = HIDesignViewerScenario::extractionLimitations();
    MessageCatalogue::Instance().SetString("ExtractionLimitationsNotice", "changed after the first viewer");
    HIDesignViewerScenario fresh(nullptr, "S", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    HIDesignViewerScenario::InitializeLimitationsText();
    EXPECT_EQ(before, HIDesignViewerScenario::extractionLimitations());
    EXPECT_EQ(2, fresh.spareInt);
    EXPECT_EQ(25, fresh.processHTCDefaultIndex);
    EXPECT_EQ(11, fresh.retroSelectedMainPlot);
    EXPECT_EQ(7, fresh.selectedLeftPlot);
    EXPECT_EQ(-32767.0, fresh.value1519_210);
    EXPECT_EQ(-32767.0, fresh.valueComputed);
    EXPECT_EQ("default", fresh.GetEconomicDataEnum()->GetEntry(0)->text);
    ObjectInstanceInfo info{ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName), "R", nullptr};
    HIDesignViewerScenario recalled(info);
    EXPECT_EQ("DEFAULT", recalled.GetEconomicDataEnum()->GetEntry(0)->text);
    EXPECT_EQ(-32767.0, recalled.value1519_210);
    EXPECT_EQ(1, recalled.intArray109_250[2]);
}

TEST_F(ViewScenarioViewer, DesignNoticesReachTheDesignViewersAndThePlots) {
    bind();
    ASSERT_EQ(1, p.scenario->AddDesign("Design 4"));
    ASSERT_EQ(4, viewer->GetDesignObjs().Count());
    EXPECT_EQ("Design 4", viewer->GetCurrentDesign()->GetName());
    EXPECT_TRUE(hasEntry(plotOfKind(AlphaPlot)->AlphaVector(), "Design 4"));
    EXPECT_TRUE(hasEntry(plotOfKind(RetrofitAlphaPlot)->RetrofitAlphaVector(), "Design 4"));
    ASSERT_EQ(1, p.scenario->RenameDesign("Design 4", "Fourth"));
    EXPECT_TRUE(hasEntry(plotOfKind(InvestmentSavingCurve)->AlphaVector(), "Fourth"));
    EXPECT_FALSE(hasEntry(plotOfKind(InvestmentSavingCurve)->AlphaVector(), "Design 4"));
    const std::vector<Text> general = PlottedDesigns(viewer->GetGeneralPlot());
    EXPECT_NE(general.end(), std::find(general.begin(), general.end(), Text("Fourth")));
    // The design viewer took the new name from its design and goes with it.
    EXPECT_EQ("Fourth", viewer->GetDesignI(3)->GetName());
    ASSERT_EQ(1, p.scenario->DeleteDesign("Fourth"));
    EXPECT_EQ(3, viewer->GetDesignObjs().Count());
    EXPECT_FALSE(hasEntry(plotOfKind(AlphaPlot)->AlphaVector(), "Fourth"));
    EXPECT_EQ(3u, PlottedDesigns(viewer->GetGeneralPlot()).size());
    // The selection: a design viewer, the scenario viewer itself (none), anything else ignored.
    viewer->SetCurrentDesign(0);
    EXPECT_EQ(viewer->GetDesignObjs()[0], viewer->GetCurrentDesign());
    viewer->SetCurrentDesign(99);
    EXPECT_EQ(viewer->GetDesignObjs()[0], viewer->GetCurrentDesign());
    viewer->SetSelectedObject(viewer->GetGeneralPlot());
    EXPECT_EQ(viewer->GetDesignObjs()[0], viewer->GetCurrentDesign());
    viewer->SetSelectedObject(viewer);
    EXPECT_EQ(nullptr, viewer->GetCurrentDesign());
    // A dying design viewer that is selected leaves the selection and the list.
    viewer->SetCurrentDesign(1);
    delete viewer->GetDesignI(1);
    EXPECT_EQ(nullptr, viewer->GetCurrentDesign());
    EXPECT_EQ(2, viewer->GetDesignObjs().Count());
    EXPECT_EQ(nullptr, viewer->GetDesignI(2));
    EXPECT_EQ(nullptr, viewer->GetDesignI(-1));
}

TEST_F(ViewScenarioViewer, StreamAndManagerNoticesKeepTheNameViewsAndSegmentTables) {
    bind(false);
    // 26: a new name.
    p.scenario->SendAMessage(26, "Renamed", nullptr);
    EXPECT_EQ("Renamed", viewer->GetName());
    // 30, 32, 31: a utility added, renamed and deleted; a process stream has no name view.
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    ASSERT_TRUE(p.AddProcess("C3", 40.0, 60.0, 1.0));
    EXPECT_EQ((std::vector<Text>{"LP Steam", "Cooling Water", "HP Steam"}), names(viewer->GetUtilityNameViews()));
    ASSERT_EQ(1, p.scenario->RenameStream("HP Steam", "High Steam"));
    EXPECT_EQ("High Steam", viewer->GetUtilityNameViews()[2]->GetName());
    ASSERT_EQ(1, p.scenario->DeleteStream("High Steam"));
    EXPECT_EQ((std::vector<Text>{"LP Steam", "Cooling Water"}), names(viewer->GetUtilityNameViews()));

    // 33, 34: a split stream gets its table, listed once; back to one segment it leaves the
    // process list and stays among the tables; split again it is listed again, the same table.
    IHeatIntegrationStream* h1 = p.Stream("H1");
    ASSERT_EQ(1, h1->InsertSegment(1));
    ASSERT_EQ(1, viewer->GetSegmentTables().Count());
    SegmentTable* table = viewer->GetSegmentTables()[0];
    EXPECT_EQ(h1, table->GetStream());
    ASSERT_EQ(1, viewer->GetProcessSegmentTableVector().Count());
    p.scenario->SendAMessage(33, "H1", h1);
    EXPECT_EQ(1, viewer->GetProcessSegmentTableVector().Count());
    EXPECT_EQ(1, viewer->GetSegmentTables().Count());
    ASSERT_EQ(1, h1->DeleteSegment(1));
    EXPECT_EQ(0, viewer->GetProcessSegmentTableVector().Count());
    EXPECT_EQ(1, viewer->GetSegmentTables().Count());
    ASSERT_EQ(1, h1->InsertSegment(1));
    ASSERT_EQ(1, viewer->GetProcessSegmentTableVector().Count());
    EXPECT_EQ(table, viewer->GetProcessSegmentTableVector()[0]);
    EXPECT_EQ(0, viewer->GetUtilitySegmentTableVector().Count());
    // The table addressed as a child and shown; a dying table leaves every list.
    EXPECT_EQ(table, viewer->GetSegmentTableView(h1));
    EXPECT_EQ(table, viewer->AttachedObject(address("SegmentTable.201.0")));
    EXPECT_EQ("SegmentTable.200.0(H1)", viewer->AttachedName(table));
    delete table;
    EXPECT_EQ(0, viewer->GetSegmentTables().Count());
    EXPECT_EQ(0, viewer->GetProcessSegmentTableVector().Count());

    // 87: flag 1 for a stream still a utility does nothing; real changes of kind move the view.
    int flag = 1;
    p.scenario->SendAMessage(87, "LP Steam", &flag);
    EXPECT_EQ(2, viewer->GetUtilityNameViews().Count());
    ASSERT_EQ(1, p.Stream("LP Steam")->SetStreamKind(0, 1));
    EXPECT_EQ((std::vector<Text>{"Cooling Water"}), names(viewer->GetUtilityNameViews()));
    ASSERT_EQ(1, p.Stream("LP Steam")->SetStreamKind(1, 1));
    EXPECT_EQ((std::vector<Text>{"Cooling Water", "LP Steam"}), names(viewer->GetUtilityNameViews()));

    // 55, 56, 57 from the manager.
    const int defaults = viewer->GetDefaultUtilityNameViews().Count();
    manager()->SendAMessage(55, "Brine", nullptr);
    ASSERT_EQ(defaults + 1, viewer->GetDefaultUtilityNameViews().Count());
    manager()->SendAMessage(56, "Brine", const_cast<char*>("Cold Brine"));
    EXPECT_EQ("Cold Brine", viewer->GetDefaultUtilityNameViews()[defaults]->GetName());
    manager()->SendAMessage(57, "Cold Brine", nullptr);
    EXPECT_EQ(defaults, viewer->GetDefaultUtilityNameViews().Count());
    // 96: the default utilities replaced; the editor is a new one bound to the manager.
    // (The old editor is gone: a new one may well be made at its address, so its life is asked.)
    ASSERT_NE(nullptr, viewer->GetDefaultUtilManagerView());
    const std::weak_ptr<const bool> editor = viewer->GetDefaultUtilManagerView()->LifeToken();
    p.scenario->SendAMessage(96, CPString(), nullptr);
    EXPECT_EQ(defaults, viewer->GetDefaultUtilityNameViews().Count());
    ASSERT_NE(nullptr, viewer->GetDefaultUtilManagerView());
    EXPECT_TRUE(editor.expired());
    EXPECT_EQ(manager(), viewer->GetDefaultUtilManagerView()->GetDUM());
    // Still listening to the manager after the replacement.
    manager()->SendAMessage(55, "Brine", nullptr);
    EXPECT_EQ(defaults + 1, viewer->GetDefaultUtilityNameViews().Count());
}

TEST_F(ViewScenarioViewer, MessageNoticesGoToTheJournal) {
    bind(false);
    MessageCatalogue::Instance().SetString("Key", "%s|%s|%s");
    const EngineNoticeCase cases[] = {
        {60, "Key 1 2.5 3", SessionEvent::Error, "Key", "1|2.5|3", 0},
        {61, "SomeNotice", SessionEvent::Response, "SomeNotice", "SomeNotice", 1},
        // Notices that name streams and scenarios: names keep their blanks, an empty one its place.
        {61, "Key\x1fMy plant\x1fH1 from base\x1f" "3", SessionEvent::Response, "Key", "My plant|H1 from base|3", 1},
        {60, "Key\x1f" "C1\x1f\x1f" "2 4", SessionEvent::Error, "Key", "C1||2 4", 0},
        {62, "trace line", SessionEvent::Trace, "", "trace line", 0},
        {62, "", SessionEvent::Trace, "ClearTrace", "", 0},
        {64, "working", SessionEvent::Status, "", "working", 2},
        {64, "", SessionEvent::StatusClear, "", "", 2},
        {66, "", SessionEvent::UpdateViews, "", "", 0},
    };
    for (const EngineNoticeCase& c : cases) {
        const std::vector<SessionEntry> entries =
            ExpectNoticeInJournal([&](int code, const char* text) { p.scenario->SendAMessage(code, text, nullptr); }, c);
        if (c.code == 66) {
            ASSERT_EQ(2u, entries.size());
            EXPECT_EQ(SessionEvent::WaitForTurn, entries[1].event);
        }
    }
    // 94: the main plot moves from 11 to 16 only.
    viewer->selectedMainPlot = 5;
    p.scenario->SendAMessage(94, CPString(), nullptr);
    EXPECT_EQ(5, viewer->selectedMainPlot);
    viewer->selectedMainPlot = 11;
    p.scenario->SendAMessage(94, CPString(), nullptr);
    EXPECT_EQ(16, viewer->selectedMainPlot);
}

TEST_F(ViewScenarioViewer, StreamLinksOpenTheListAndCode116DeletesEveryLinkOfTheStream) {
    bind(false);
    EXPECT_EQ(nullptr, viewer->GetLinkTableCollection());
    p.scenario->AddStreamLink(p.Stream("C1"));
    LinkTableCollection* list = viewer->GetLinkTableCollection();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(list, viewer->AttachedObject(address("LinkTableCollection.200")));
    EXPECT_EQ("LinkTableCollection.200", viewer->AttachedName(list));
    StreamLynxCollection* links = p.scenario->GetStreamLinkCollection();
    ASSERT_NE(nullptr, links);
    // A second link of C1 (made outside the scenario's own road), right after the first, goes
    // with it; the link named is itself one of those deleted.
    ASSERT_TRUE(links->AddLink(new StreamLynx(p.scenario, p.Stream("C1"))));
    p.scenario->AddStreamLink(p.Stream("C2"));
    ASSERT_EQ(3, links->GetNumberOfLinks());
    NotificationRecorder after(*list);
    list->SendAMessage(LinkTableCollection::DeleteLink, CPString(), links->GetLink(0));
    ASSERT_EQ(1, links->GetNumberOfLinks());
    EXPECT_EQ(1, after.Count(LinkTableCollection::DeleteLink));
    after.Forget();
    list->RemoveNotificationReceiver(&after);
    EXPECT_EQ(p.Stream("C2"), links->GetLink(0)->GetLinkedStream());
    // The list dying is forgotten: the scenario's death later does not delete it again.
    delete list;
    EXPECT_EQ(nullptr, viewer->GetLinkTableCollection());
}

TEST_F(ViewScenarioViewer, ChildNamesResolveBothWays) {
    bind();
    HIDesignViewerDesign* second = viewer->GetDesignObjs()[1];
    EXPECT_EQ("HIDesignViewerDesign.200.1 (Design 2)", viewer->AttachedName(second));
    EXPECT_EQ(second, viewer->AttachedObject(address("HIDesignViewerDesign.200.1")));
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("HIDesignViewerDesign.200.3")));
    // A further link is followed from the child found.
    EXPECT_EQ(second->GetGridDiagram(),
              viewer->AttachedObject(address("HIDesignViewerDesign.200.1.HENDiagram.200(Design 2 HENDiagram)")));
    // Two design viewers of one name both answer the first one's index.
    viewer->AddDesign("Design 1");
    ASSERT_EQ(4, viewer->GetDesignObjs().Count());
    EXPECT_EQ("HIDesignViewerDesign.200.0 (Design 1)", viewer->AttachedName(viewer->GetDesignObjs()[3]));
    EXPECT_EQ("HIDesignViewerDesign.200.0 (Design 1)", viewer->AttachedName(viewer->GetDesignObjs()[0]));

    // Utility name views: their own list, then the default list from 10000.
    UtilityNameView* third = viewer->GetDefaultUtilityNameViews()[3];
    const Text expected = "UtilityNameView.599.10003(" + VarDescription::EscapeChildName(third->GetName()) + ")";
    EXPECT_EQ(expected, viewer->AttachedName(third));
    EXPECT_EQ(third, viewer->AttachedObject(address("UtilityNameView.599.10003")));
    EXPECT_EQ(third, viewer->AttachedObject(address("UtilityNameView.600.10003")));
    EXPECT_EQ(viewer->GetUtilityNameViews()[1], viewer->AttachedObject(address("UtilityNameView.599.1")));
    EXPECT_EQ("UtilityNameView.599.1(Cooling Water)", viewer->AttachedName(viewer->GetUtilityNameViews()[1]));
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("UtilityNameView.599.2")));
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("UtilityNameView.599.9999")));
    // A path through the names the viewer gives its children leads back to them.
    EXPECT_EQ(third, ResolveViewPath(projectViewer, ViewPath(third)));

    // Row selection at variable 9999.
    EXPECT_EQ(viewer, viewer->AttachedObject(address("Viewable.9999.5")));
    EXPECT_EQ(5, viewer->selectedRow);

    // Plots and the range-target plots.
    chiPlot* fourth = viewer->GetHenPlotList()->GetIth(3);
    EXPECT_EQ("chiPlot.200.3", viewer->AttachedName(fourth));
    EXPECT_EQ(fourth, viewer->AttachedObject(address("chiPlot.200.3")));
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("chiPlot.200.16")));
    EXPECT_EQ("ChiSuperTargetPlot.200.1", viewer->AttachedName(viewer->GetGeneralPlot()));
    EXPECT_EQ("ChiSuperTargetPlot.200.2", viewer->AttachedName(viewer->GetSuperTargetPlot()));
    EXPECT_EQ(viewer->GetSuperTargetPlot(), viewer->AttachedObject(address("ChiSuperTargetPlot.200.2")));
    ChiSuperTargetPlot stray(viewer, p.scenario, ChiSuperTargetPlot::GeneralPlot);
    EXPECT_EQ("", viewer->AttachedName(&stray));
    EXPECT_EQ("DefaultUtilManagerView.200", viewer->AttachedName(viewer->GetDefaultUtilManagerView()));
    EXPECT_EQ("HTCDatabaseView.200", viewer->AttachedName(viewer->GetHTCDatabaseView()));
    EXPECT_EQ(viewer->GetHTCDatabaseView(), viewer->AttachedObject(address("HTCDatabaseView.200")));
    EXPECT_EQ(viewer->GetDefaultUtilManagerView(), viewer->AttachedObject(address("DefaultUtilManagerView.200")));
    // The extraction view once there is one.
    EXPECT_EQ(nullptr, viewer->AttachedObject(address("DataExtractionView.200")));
    auto* extraction = new DataExtractionView(viewer, nullptr, p.scenario);
    viewer->SetDataExtractionView(extraction);
    EXPECT_EQ(extraction, viewer->AttachedObject(address("DataExtractionView.200")));
    EXPECT_EQ("DataExtractionView.200", viewer->AttachedName(extraction));
    delete extraction;
    EXPECT_EQ(nullptr, viewer->GetDataExtractionView());

    // The forms' plot slots: positions 1 to 16 of the plot list.
    struct Slot {
        const char* name;
        std::int32_t HIDesignViewerScenario::*field;
    };
    const Slot slots[] = {{":SelectedPlot", &HIDesignViewerScenario::selectedPlot},
                          {":SelectedMainPlot", &HIDesignViewerScenario::selectedMainPlot},
                          {":SelectedLeftPlot", &HIDesignViewerScenario::selectedLeftPlot},
                          {":SelectedRightPlot", &HIDesignViewerScenario::selectedRightPlot},
                          {":RetroSelectedMainPlot", &HIDesignViewerScenario::retroSelectedMainPlot}};
    for (const Slot& s : slots) {
        for (int position : {0, 17, -3, 1, 16}) {
            viewer->*s.field = position;
            MessageInfo info;
            info.code = 6;
            info.name = s.name;
            info.answer = viewer;
            EXPECT_TRUE(viewer->GenMessage(info));
            void* expected = position >= 1 && position <= 16 ? viewer->GetHenPlotList()->GetIth(position - 1)->GetPlot() : nullptr;
            EXPECT_EQ(expected, info.answer) << s.name << " " << position;
        }
    }
    MessageInfo general;
    general.code = 6;
    general.name = ":GeneralPlot";
    EXPECT_TRUE(viewer->GenMessage(general));
    EXPECT_EQ(viewer->GetGeneralPlot()->GetPlot(), general.answer);
    general.name = ":SuperTargetPlot";
    EXPECT_TRUE(viewer->GenMessage(general));
    EXPECT_EQ(viewer->GetSuperTargetPlot()->GetPlot(), general.answer);
    EXPECT_NE(nullptr, general.answer);
}

TEST_F(ViewScenarioViewer, DroppingAnEmptyNameOnAUtilityRowDeletesItOnlyWhenConfirmed) {
    bind();
    std::vector<Viewable*> offered;
    EXPECT_EQ(viewer->GetDefaultUtilityNameViews().Count(),
              viewer->GetAttachableObjects(address("UtilityNameView.599.0"), offered));
    const VarDescription row0 = address("UtilityNameView.599.0");
    for (int answer : {0, 2, -1}) {
        Session::Instance().ScriptResponse(answer);
        viewer->AttachObject(row0, nullptr);
        EXPECT_EQ(2, p.scenario->GetNumberOfStreamsOfKind(1, 2)) << answer;
    }
    EXPECT_EQ(3u, Session::Instance().Entries(SessionEvent::Response).size());
    EXPECT_EQ("DeleteStreamError", Session::Instance().Entries(SessionEvent::Response)[0].key);
    Session::Instance().ScriptResponse(1);
    viewer->AttachObject(row0, nullptr);
    EXPECT_EQ(1, p.scenario->GetNumberOfStreamsOfKind(1, 2));
    EXPECT_EQ(nullptr, p.Stream("LP Steam"));
    EXPECT_NE(nullptr, std::strstr(p.scenario->GetNotes(), "Deleted Utility Stream LP Steam\n"));
    EXPECT_EQ((std::vector<Text>{"Cooling Water"}), names(viewer->GetUtilityNameViews()));
    EXPECT_EQ(0, Session::Instance().BusyDepth());

    // A default utility's name dropped on the empty row adds that utility; on a row, renames.
    Viewable* added = viewer->AttachNewObject(address("UtilityNameView.599.1"), "Fired Heat (1000)");
    ASSERT_NE(nullptr, added);
    EXPECT_EQ("Fired Heat (1000)", added->GetName());
    EXPECT_EQ("FiredHeaterEconomics", Session::Instance().Entries(SessionEvent::Error).back().key);
    int coolingRow = -1;
    for (int r = 0; r < p.scenario->GetNumberOfStreamsOfKind(1, 2); ++r) {
        IHeatIntegrationStream* s = nullptr;
        if (p.scenario->GetStreamOfKind(r, s, 1, 2) && s && s->GetName() == "Cooling Water") coolingRow = r;
    }
    ASSERT_GE(coolingRow, 0);
    const Text rowAddress = FormattedText("UtilityNameView.599.%d", coolingRow);
    Viewable* renamed = viewer->AttachNewObject(address(rowAddress.c_str()), "Chilled Water");
    ASSERT_NE(nullptr, renamed);
    EXPECT_EQ("Chilled Water", renamed->GetName());
    EXPECT_NE(nullptr, p.Stream("Chilled Water"));
    EXPECT_EQ(nullptr, p.Stream("Cooling Water"));
    // A name the scenario refuses (taken) is reported.
    viewer->AttachNewObject(address(rowAddress.c_str()), "H1");
    EXPECT_EQ("RenameStreamError", Session::Instance().Entries(SessionEvent::Error).back().key);

    // A retrofit scenario with a base design refuses, without asking.
    p.scenario->SetRetrofitBaseDesign("Design 1");
    ASSERT_TRUE(p.scenario->IsRetrofitScenario());
    const std::size_t asked = Session::Instance().Entries(SessionEvent::Response).size();
    Session::Instance().ScriptResponse(1);
    viewer->AttachObject(row0, nullptr);
    EXPECT_EQ("NoChangeinHENRBaseCase", Session::Instance().Entries(SessionEvent::Error).back().key);
    EXPECT_EQ(asked, Session::Instance().Entries(SessionEvent::Response).size());
    EXPECT_EQ(2, p.scenario->GetNumberOfStreamsOfKind(1, 2));
}

TEST_F(ViewScenarioViewer, DeletingTheScenarioWhileTheViewerOwnsEveryKindOfChildRunsClean) {
    bind();
    ASSERT_EQ(1, p.Stream("H2")->InsertSegment(1));
    ASSERT_EQ(1, p.Stream("Cooling Water")->InsertSegment(1));
    p.scenario->AddStreamLink(p.Stream("C1"));
    viewer->SetDataExtractionView(new DataExtractionView(viewer, nullptr, p.scenario));
    new ChiTable(viewer, 1);
    viewer->SetExtractionDesignFlag(1);
    ASSERT_EQ(1, p.scenario->AddDesign("Imported"));
    EXPECT_EQ(1, viewer->GetCurrentDesign()->GetGridDiagram()->bHold);
    ASSERT_EQ(2, viewer->GetSegmentTables().Count());
    EXPECT_EQ(1, viewer->GetUtilitySegmentTableVector().Count());
    ASSERT_NE(nullptr, viewer->GetLinkTableCollection());
    ASSERT_EQ(1, projectViewer->GetNumberOfChildren());
    // A receiver after the viewer still hears of the scenario's end: the viewer deleting itself
    // inside the notice leaves the dispatch alone.
    NotificationRecorder after(*p.scenario);
    auto life = viewer->LifeToken();
    ASSERT_EQ(1, p.project->DeleteScenario("Base"));
    after.Forget();
    p.scenario = nullptr;
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(0, projectViewer->GetNumberOfChildren());
    EXPECT_EQ(1, after.Count(25));
}

}  // namespace
