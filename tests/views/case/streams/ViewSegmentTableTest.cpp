// The segment table of one stream: the heat-load column of hot and cold streams, the segment
// commands and their refusals, the coefficient defaults, the notices that close it, and the
// site-mode table that is left out of the stored views.
#include "brasko/CaseDocument.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/NeutralStream.h"
#include "tests/support/SegmentedStream.h"
#include "eng/targeting/TotalSiteManager.h"
#include "views/case/streams/SegmentTable.h"

#include <gtest/gtest.h>

namespace {

VarDescription at(const char* address, int row = -1) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(address, var)) << address;
    if (row >= 0) var.SetOffset(0, row);
    return var;
}

double stored(IHeatIntegrationStream* s, const char* name, int index) {
    double v = -1.0;
    s->GetValue(name, v, index);
    return v;
}

Text lastError() {
    const auto errors = Session::Instance().Entries(SessionEvent::Error);
    return errors.empty() ? Text() : errors.back().key;
}

class ViewSegmentTable : public ::testing::Test {
protected:
    ViewSegmentTable() {
        Session::Instance().Reset();
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetDocument(&document);
    }
    ~ViewSegmentTable() override {
        delete root;
        Session::Instance().Reset();
    }
    SegmentTable* open(IHeatIntegrationStream* s) { return new SegmentTable(root, p.scenario, s); }
    int rows(SegmentTable* t, const char* address) {
        DimInfo dims;
        t->Dimensions(at(address), dims);
        return dims.Dim(0);
    }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
};

TEST_F(ViewSegmentTable, ColdStreamsShowTheirSegmentLoadsPositiveAndStoreThemNegative) {
    IHeatIntegrationStream* c = MakeSegmentedStream(*p.scenario, "C", 0, {60, 100}, {-500});
    ASSERT_NE(nullptr, c);
    ASSERT_EQ(1, c->GetHotCold());
    SegmentTable* t = open(c);
    EXPECT_EQ(500.0, t->Value(at("HeatFlow.100", 0)));
    EXPECT_EQ(1, t->Specify(at("HeatFlow.100", 0), 300.0));
    EXPECT_EQ(-300.0, stored(c, "Enthalpy", 0));
    EXPECT_EQ(300.0, t->Value(at("HeatFlow.100", 0)));
    // Zero and negative loads are out of range and change nothing.
    for (double bad : {0.0, -5.0}) {
        Session::Instance().Reset();
        EXPECT_EQ(0, t->Specify(at("HeatFlow.100", 0), bad));
        EXPECT_EQ("SpecRange", lastError());
        EXPECT_EQ(-300.0, stored(c, "Enthalpy", 0));
    }
    // The empty value is stored as it is, not negated.
    t->Specify(at("HeatFlow.100", 0), Viewable::EmptyValue);
    EXPECT_EQ(Viewable::EmptyValue, stored(c, "Enthalpy", 0));
    EXPECT_EQ(Viewable::EmptyValue, t->Value(at("HeatFlow.100", 0)));
}

TEST_F(ViewSegmentTable, OneSegmentCannotBeDeletedAndTheEndPointsNeverGo) {
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, "H", 0, {150, 50});
    ASSERT_NE(nullptr, s);
    SegmentTable* t = open(s);
    EXPECT_EQ(0.0, t->Value(at("DelSeg.102")));
    EXPECT_EQ(0.0, t->Value(at("DelSegAll.102")));
    EXPECT_EQ(1, rows(t, "Temperature.100"));
    EXPECT_EQ(1, t->Message("DeleteAllSegments"));  // one segment: nothing to join
    EXPECT_EQ(1, s->GetNumberOfSegments());
    // Insert below row 0 is refused with its message and answers 0; insert after row 0 splits
    // the stream and answers 1.
    t->Specify(at("WhereToIns.200"), -1);
    EXPECT_EQ(0, t->Message("InsSeg"));
    EXPECT_EQ("InsertSegmentErrorMsg", lastError());
    EXPECT_EQ(1, s->GetNumberOfSegments());
    t->Specify(at("WhereToIns.200"), 0);
    EXPECT_EQ(1, t->Message("InsSeg"));
    ASSERT_EQ(2, s->GetNumberOfSegments());
    s->SetValue("Temperature", 100, 1);
    t->Message("InsSeg");
    ASSERT_EQ(3, s->GetNumberOfSegments());
    s->SetValue("Temperature", 125, 1);
    EXPECT_EQ(1.0, t->Value(at("DelSeg.102")));
    EXPECT_EQ(3, rows(t, "Temperature.101"));
    // The supply point (row 0) and the target point (row n) are never removed.
    for (int row : {0, 3}) {
        Session::Instance().Reset();
        t->Specify(at("WhereToIns.200"), row);
        EXPECT_EQ(0, t->Message("DeleteSegment")) << row;
        EXPECT_EQ("DeleteSegmentErrorMsg", lastError()) << row;
        EXPECT_EQ(3, s->GetNumberOfSegments());
    }
    // Row 1 joins the segments on both sides of point 1.
    t->Specify(at("WhereToIns.200"), 1);
    EXPECT_EQ(1, t->Message("DeleteSegment"));
    ASSERT_EQ(2, s->GetNumberOfSegments());
    EXPECT_EQ(150.0, t->Value(at("Temperature.100", 0)));
    EXPECT_EQ(100.0, t->Value(at("Temperature.101", 0)));
    EXPECT_EQ(1, t->Message("DeleteAllSegments"));
    EXPECT_EQ(1, s->GetNumberOfSegments());
    EXPECT_EQ(50.0, t->Value(at("Temperature.101", 0)));
}

// A stream of two segments that keeps only its clean coefficients and records every write of
// them; it may refuse to be left without one.
class CoefficientStream : public NeutralStream {
public:
    double coefficient[2] = {0.5, Viewable::EmptyValue};
    bool refuseEmpty = false;
    std::vector<double> writes;
    int GetNumberOfSegments() const override { return 2; }
    int GetValue(const CPString& name, double& out, int i) const override {
        if (name != "CHTCoeff" || i < 0 || i > 1) return 0;
        out = coefficient[i];
        return 1;
    }
    unsigned char GetValueStatus(const CPString& name, int i) const override {
        return name == "CHTCoeff" && i >= 0 && i < 2 && coefficient[i] != Viewable::EmptyValue ? 1 : 0;
    }
    int SetValue(const CPString& name, double v, int i) override {
        if (name != "CHTCoeff" || i < 0 || i > 1) return 0;
        writes.push_back(v);
        if (v == Viewable::EmptyValue && refuseEmpty) return 0;
        coefficient[i] = v;
        return 1;
    }
};

struct BoxCase {
    int row;
    double box;
    bool refuseEmpty;
    std::vector<double> writes;
    int result;
    const char* error;
};
void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << "row " << c.row << ", box " << c.box << ": result " << c.result;
}

class ViewSegmentTableBox : public ViewSegmentTable, public ::testing::WithParamInterface<BoxCase> {};

// Checked (1.0): the row's own coefficient is emptied so the default applies; a stream that
// refuses gets its value back. Cleared: the row keeps what it shows, or 0.2 when it had none.
TEST_P(ViewSegmentTableBox, TheDefaultBoxWritesTheRowsCoefficient) {
    const BoxCase& c = GetParam();
    CoefficientStream stream;
    stream.refuseEmpty = c.refuseEmpty;
    SegmentTable* t = new SegmentTable(root, static_cast<IHeatIntegrationScenario*>(nullptr), &stream);
    EXPECT_EQ(c.row == 0 ? 0.0 : 1.0, t->Value(at("Switch.113", c.row)));
    EXPECT_EQ(c.result, t->Specify(at("Switch.113", c.row), c.box));
    EXPECT_EQ(c.writes, stream.writes);
    EXPECT_EQ(Text(c.error), lastError());
    delete t;
}

INSTANTIATE_TEST_SUITE_P(
    CheckedAndCleared, ViewSegmentTableBox,
    ::testing::Values(BoxCase{0, 1.0, false, {Viewable::EmptyValue}, 1, ""},
                      BoxCase{0, 1.0, true, {Viewable::EmptyValue, 0.5}, 0, "EmptyHTCError"},
                      BoxCase{1, 0.0, false, {0.2}, 1, ""}, BoxCase{0, 0.0, false, {0.5}, 1, ""}));

TEST_F(ViewSegmentTable, TheDefaultCoefficientGoesToEverySegment) {
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, "H", 0, {150, 100, 50});
    ASSERT_NE(nullptr, s);
    SegmentTable* t = open(s);
    // Default coefficient k goes to every segment and is shown afterwards.
    IDefaultUtilityManager* manager = nullptr;
    ASSERT_EQ(1, p.scenario->GetDefaultUtilityManager(manager));
    const double h = manager->GetHTCDefaultValue(2);
    ASSERT_NE(Viewable::EmptyValue, h);
    EXPECT_EQ(1, t->Specify(at("Enum.511"), 2));
    EXPECT_EQ(2.0, t->Value(at("Enum.511")));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(h, stored(s, "CHTCoeff", i)) << i;
}

TEST_F(ViewSegmentTable, ItsStreamOrScenarioGoingClosesTheTableAndAnotherStreamLeavesIt) {
    IHeatIntegrationStream* h = MakeSegmentedStream(*p.scenario, "H", 0, {150, 100, 50});
    ASSERT_NE(nullptr, MakeSegmentedStream(*p.scenario, "C", 0, {40, 90}));
    SegmentTable* t = open(h);
    auto life = t->LifeToken();
    ASSERT_EQ(1, p.scenario->DeleteStream("C"));
    EXPECT_FALSE(life.expired());
    ASSERT_EQ(1, p.scenario->DeleteStream("H"));
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(0, root->GetNumberOfChildren());

    SegmentTable* u = open(MakeSegmentedStream(*p.scenario, "K", 0, {150, 50}));
    life = u->LifeToken();
    ASSERT_EQ(1, p.project->DeleteScenario("Base"));
    p.scenario = nullptr;
    EXPECT_TRUE(life.expired());
}

TEST_F(ViewSegmentTable, FieldsTextsAndStatusFollowTheStream) {
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, "H", 0, {150, 100, 50}, {100, 60});
    ASSERT_NE(nullptr, s);
    SegmentTable* t = open(s);
    EXPECT_EQ("Process Stream: H", t->TextValue(at("TitleName.100")));
    EXPECT_EQ("Total Heat Load ", t->TextValue(at("ExtraData.201")));
    EXPECT_EQ("160.00", t->TextValue(at("HeatFlow.102")));
    EXPECT_EQ(0.0, t->Value(at("Index.201")));
    EXPECT_EQ(1.0, t->Value(at("Switch.700")));
    EXPECT_EQ(1.0, t->Value(at("InsSegEn.7")));
    // A negative mass flow is refused. The heat-capacity flow rate the stream calculated from the
    // load given over given ends is typed over that load (the one typed last stands): editable.
    EXPECT_EQ(0, t->Specify(at("MassFlow.104"), -1.0));
    EXPECT_EQ("NegativeFlowRateError", lastError());
    ModifyState state = ReadOnlyState;
    int detail = 1;
    t->VariableStatus(at("HeatCapacityFlow.100", 0), state, detail);
    EXPECT_EQ(ModifiableState, state);
    // The coefficient with fouling the stream calculated is shown read-only.
    t->VariableStatus(at("HeatTransferCoeff.101", 0), state, detail);
    EXPECT_EQ(ReadOnlyState, state);
    t->VariableStatus(at("HeatFlow.100", 0), state, detail);
    EXPECT_EQ(ModifiableState, state);
    EXPECT_EQ(0, detail);
    // Without a stream only the plot type and the constant answer.
    SegmentTable* empty = new SegmentTable(root, p.scenario, nullptr);
    EXPECT_EQ(Viewable::EmptyValue, empty->Value(at("HeatFlow.102")));
    EXPECT_EQ(0.0, empty->Value(at("Switch.201")));
    EXPECT_EQ(1, empty->Specify(at("Enum.551"), 3));
    EXPECT_EQ(3.0, empty->Value(at("Enum.551")));
    EXPECT_EQ(0, rows(empty, "Temperature.100"));
}

TEST_F(ViewSegmentTable, ASiteModeTableIsLeftOutOfTheStoredViews) {
    IHeatIntegrationStream* s = MakeSegmentedStream(*p.scenario, "H", 0, {150, 100, 50});
    auto* scenarioTable = open(s);
    scenarioTable->Specify(at("WhereToIns.200"), 1);
    // A site-mode table names a site manager no record can link to: it is left out, and the
    // site editor makes it again. A table with neither is stored without a scenario.
    TotalSiteManager site;
    auto* siteTable = new SegmentTable(root, &site, s);
    EXPECT_TRUE(siteTable->IsLeftOutOfRecords());
    // The site's own coefficient list: an entry of it is taken, a number past it is refused and
    // leaves the segments their coefficients (a coefficient of 0 no case holds).
    ASSERT_EQ(1, site.AddHTCDefaultValue("Gas", 0.05, ""));
    ASSERT_EQ(1, site.AddHTCDefaultValue("Liquid", 0.5, ""));
    const int last = site.GetNumberOfHTCDefaultValues() - 1;
    const double h = site.GetHTCDefaultValue(last);
    EXPECT_EQ(1, siteTable->Specify(at("Enum.511"), last));
    EXPECT_EQ(h, stored(s, "CHTCoeff", 0));
    EXPECT_EQ(0, siteTable->Specify(at("Enum.511"), last + 1));
    EXPECT_EQ("ValidOptionError", lastError());
    EXPECT_EQ(h, stored(s, "CHTCoeff", 0));
    auto* nothing = new SegmentTable(root, static_cast<IHeatIntegrationScenario*>(nullptr), nullptr);
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {scenarioTable, siteTable, nothing}));
    ASSERT_TRUE(out.Commit());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
    ASSERT_EQ(2u, roots.size());
    auto* back = static_cast<SegmentTable*>(roots[0]);
    EXPECT_EQ(s, back->GetStream());
    EXPECT_EQ(p.scenario, back->GetScenario());
    EXPECT_EQ(1, back->GetSelectedRow());
    ASSERT_NE(nullptr, back->GetPlot());
    EXPECT_EQ(1u, back->GetPlot()->GetPlotArea().DataSets().size());
    EXPECT_EQ(nullptr, static_cast<SegmentTable*>(roots[1])->GetScenario());
    EXPECT_EQ(nullptr, static_cast<SegmentTable*>(roots[1])->GetStream());
    for (Viewable* v : roots) delete v;
    delete siteTable;
}

}  // namespace
