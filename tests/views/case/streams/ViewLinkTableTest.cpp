// The stream-link editor and its list under a scenario viewer: editors made once per linked
// stream, the simple and advanced lists, DT to two decimals, bounds that reading never writes,
// the conversion back to a simple link, and the deletion of a link through the list and the
// viewer.
#include "brasko/CaseDocument.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/streams/LinkTable.h"
#include "views/case/streams/LinkTableCollection.h"

#include <gtest/gtest.h>

namespace {

VarDescription at(const char* address, int row = -1) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(address, var)) << address;
    if (row >= 0) var.SetOffset(0, row);
    return var;
}

class ViewLinkTable : public ::testing::Test {
protected:
    ViewLinkTable() {
        Session::Instance().Reset();
        projectViewer = new Viewable(nullptr, "HIDesignViewerProjectObject");
        projectViewer->SetName("Plant");
        projectViewer->SetDocument(&document);
        p.scenario->AddDesign("Design 1");
        viewer = new HIDesignViewerScenario(projectViewer, "Base",
                                            ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
        viewer->SetVariables();
    }
    ~ViewLinkTable() override {
        delete projectViewer;
        Session::Instance().Reset();
    }
    StreamLynxCollection* links() const { return p.scenario->GetStreamLinkCollection(); }
    LinkTableCollection* list() const { return viewer->GetLinkTableCollection(); }
    LinkTable* editorOf(const char* stream) {
        for (LinkTable* e : list()->GetLinkTables())
            if (e->GetStream() == p.Stream(stream)) return e;
        return nullptr;
    }

    FourStreamProject p;
    CaseDocument document{"case", &p.manager};
    Viewable* projectViewer = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
};

TEST_F(ViewLinkTable, OpeningALinkTwiceReusesItsEditorAndTheFormMovesItBetweenTheLists) {
    p.scenario->AddStreamLink(p.Stream("C1"));
    ASSERT_NE(nullptr, list());
    ASSERT_EQ(1, list()->GetLinkTables().Count());
    LinkTable* editor = editorOf("C1");
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(1, editor->GetStreamHotCold());
    EXPECT_TRUE(list()->IsStreamLinked(p.Stream("C1")));
    p.scenario->AddStreamLink(p.Stream("C1"));
    EXPECT_EQ(1, list()->GetLinkTables().Count());
    EXPECT_EQ(1, list()->GetSimpleLinkTables().Count());
    EXPECT_EQ(editor, list()->AttachedObject(at("LinkTable.200.0")));
    EXPECT_EQ("LinkTable.200.0(C1)", list()->AttachedName(editor));
    EXPECT_EQ("C1", list()->TextValue(at("SimpleLinkStrName.300", 0)));

    // Three candidates (the other process streams); the name column has a row each.
    DimInfo dims;
    editor->Dimensions(at("PStreamName.100"), dims);
    EXPECT_EQ(3, dims.Dim(0));
    EXPECT_EQ("Process Stream: C1", editor->TextValue(at("PSTitleName.100")));

    EXPECT_EQ(1, editor->Message("ShowAdvancedLinkView"));
    EXPECT_TRUE(editor->GetLink()->IsAdvanced());
    EXPECT_EQ(0, list()->GetSimpleLinkTables().Count());
    ASSERT_EQ(1, list()->GetAdvancedLinkTables().Count());
    EXPECT_EQ(editor, list()->AttachedObject(at("LinkTable.301.0")));
    DimInfo simple;
    list()->Dimensions(at("SimpleLinkStrName.300"), simple);
    EXPECT_EQ(0, simple.Dim(0));
}

TEST_F(ViewLinkTable, TheOffsetShowsTwoDecimalsAndConvertingDropsEveryAdvancedTerm) {
    p.scenario->AddStreamLink(p.Stream("C1"));
    LinkTable* editor = editorOf("C1");
    ASSERT_NE(nullptr, editor);
    StreamLynx* link = editor->GetLink();
    // Without a temperature term DT is kept but A is not changed, and the cell is read-only.
    const double constant = link->GetConstant("Temperature");
    EXPECT_EQ(1, editor->Specify(at("DeltaTemp.400"), 1.23456));
    EXPECT_NEAR(1.23, editor->Value(at("DeltaTemp.400")), 1e-12);
    EXPECT_EQ(constant, link->GetConstant("Temperature"));
    ModifyState state = ModifiableState;
    int detail = 0;
    editor->VariableStatus(at("DeltaTemp.400"), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    // With one, DT is also A.
    ASSERT_EQ(1, editor->Specify(at("Switch.100", 0), 1.0));
    ASSERT_EQ(1, editor->Specify(at("DeltaTemp.400"), 4.5));
    EXPECT_EQ(4.5, link->GetConstant("Temperature"));
    editor->VariableStatus(at("DeltaTemp.400"), state, detail);
    EXPECT_EQ(ModifiableState, state);

    editor->Message("ShowAdvancedLinkView");
    for (const char* term : {"Switch.101", "Switch.200", "Switch.201"}) ASSERT_EQ(1, editor->Specify(at(term, 1), 1.0));
    ASSERT_EQ(4, link->GetNumberOfCoefficients("Temp_All") + link->GetNumberOfCoefficients("Flow_All"));
    EXPECT_EQ(1, editor->Message("ConvertToSimpleLink"));
    EXPECT_FALSE(link->IsAdvanced());
    EXPECT_EQ(0, link->GetNumberOfCoefficients("Temp_All") + link->GetNumberOfCoefficients("Flow_All"));
    for (const char* term : {"Switch.100", "Switch.101", "Switch.200", "Switch.201"})
        for (int i = 0; i < 3; ++i) EXPECT_EQ(0.0, editor->Value(at(term, i))) << term << i;
    EXPECT_EQ(1, list()->GetSimpleLinkTables().Count());
    EXPECT_EQ(0, list()->GetAdvancedLinkTables().Count());
}

TEST_F(ViewLinkTable, ABoundSetToZeroIsKeptAndReadingADefaultStoresNothing) {
    p.scenario->AddStreamLink(p.Stream("C1"));
    LinkTable* editor = editorOf("C1");
    StreamLynx* link = editor->GetLink();
    editor->Message("ShowAdvancedLinkView");
    // Candidate 1 (H2) with a mass flow, in the MassFlow target, its bound on.
    ASSERT_EQ(1, p.Stream("H2")->SetValue("MassFlow", 2.0, 0));
    ASSERT_EQ(1, editor->Specify(at("Switch.201", 1), 1.0));
    ASSERT_EQ(1, editor->Specify(at("Switch.206", 1), 1.0));
    const double flow = link->GetCandidateMassFlow(1);
    ASSERT_NE(Viewable::EmptyValue, flow);
    // The default is shown (10 % either side) and not written into the link.
    EXPECT_NEAR(flow * 0.9, editor->Value(at("MassFlow.201", 1)), 1e-9);
    EXPECT_NEAR(flow * 1.1, editor->Value(at("MassFlow.203", 1)), 1e-9);
    EXPECT_FALSE(link->IsBoundSet("MassFlow", 1, false, false));
    EXPECT_EQ(0.0, link->GetMassFlowLowerBound("MassFlow", 1));
    // A lower bound of 0 the user types stays 0.
    ASSERT_EQ(1, editor->Specify(at("MassFlow.201", 1), 0.0));
    EXPECT_TRUE(link->IsBoundSet("MassFlow", 1, false, false));
    EXPECT_EQ(0.0, editor->Value(at("MassFlow.201", 1)));
    // A term that does not exist has no bound to show.
    EXPECT_EQ(Viewable::EmptyValue, editor->Value(at("Temperature.200", 2)));
    // Turning the bound off forgets it.
    ASSERT_EQ(1, editor->Specify(at("Switch.206", 1), 0.0));
    EXPECT_FALSE(link->IsBoundSet("MassFlow", 1, false, false));
}

TEST_F(ViewLinkTable, DeletingALinkTellsTheListWhichTellsTheViewerToRemoveIt) {
    p.scenario->AddStreamLink(p.Stream("C1"));
    p.scenario->AddStreamLink(p.Stream("C2"));
    ASSERT_EQ(2, links()->GetNumberOfLinks());
    LinkTable* editor = editorOf("C1");
    NotificationRecorder fromEditor(*editor);
    NotificationRecorder fromList(*list());
    auto life = editor->LifeToken();
    EXPECT_EQ(1, editor->Message("DeleteLink"));
    EXPECT_TRUE(life.expired());
    fromEditor.Forget();
    EXPECT_EQ(1, fromEditor.Count(LinkTable::DeleteLinkCode));
    EXPECT_EQ(1, fromList.Count(LinkTableCollection::DeleteLink));
    ASSERT_EQ(1, links()->GetNumberOfLinks());
    EXPECT_EQ(p.Stream("C2"), links()->GetLink(0)->GetLinkedStream());
    EXPECT_EQ(1, list()->GetLinkTables().Count());
    EXPECT_EQ(1, list()->GetSimpleLinkTables().Count());
    EXPECT_FALSE(list()->IsStreamLinked(p.Stream("C1")));
}

}  // namespace

namespace {

// The linked stream deleted from the scenario: the editor and the list show no name for it and
// read nothing of the stream that went.
// A linked stream deleted takes its link with it: the link's editor closes and the list shows no
// link (a link of no stream would act on nothing and be saved so).
TEST_F(ViewLinkTable, ALinkedStreamDeletedTakesItsLinkAndEditor) {
    p.scenario->AddStreamLink(p.Stream("C1"));
    LinkTable* editor = editorOf("C1");
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ("C1", editor->TextValue(at("PSName.100")));
    ASSERT_EQ(1, p.scenario->DeleteStream("C1"));
    EXPECT_EQ(0, list()->GetLinkTables().Count());
    EXPECT_EQ(0, p.scenario->GetStreamLinkCollection()->GetNumberOfLinks());
    EXPECT_EQ("", list()->TextValue(at("SimpleLinkStrName.300", 0)));
}

}  // namespace
