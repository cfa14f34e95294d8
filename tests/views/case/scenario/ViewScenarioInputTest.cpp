// The scenario viewer's input: every input row walked on an unbound viewer, the four-stream
// scenario and a locked retrofit base case; the form state; stream data, names and links on
// the four-stream scenario (H1 170->60 C, H2 150->30, C1 20->135, C2 80->140); economics with
// the coefficient dialog in both unit sets; settings; and which cells are writable.
#include "brasko/CaseDocument.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"
#include "views/case/scenario/ScenarioInputRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr double E = -32767.0;

// The message keys shown since the journal was last emptied.
std::vector<Text> shown() {
    std::vector<Text> out;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::Error)) out.push_back(e.key);
    return out;
}
Text lastShown() {
    const auto keys = shown();
    return keys.empty() ? Text() : keys.back();
}

// A retrofit study whose base design is set: its data are locked.
class LockedScenario : public CPIScenario {
public:
    explicit LockedScenario(IHeatIntegrationProject* project) : CPIScenario(project, DefaultScenarioServices()) {
        // A study holds its streams while its base design is there.
        IHENDesign* base = nullptr;
        if (!GetDesign(CPString("Design 1"), base)) AddDesign(CPString("Design 1"));
        SetRetrofitBaseDesign("Design 1");
    }
    bool IsRetrofitScenario() const override { return true; }
};

// A scenario that counts its process streams but cannot find them.
class LostStreamsScenario : public CPIScenario {
public:
    explicit LostStreamsScenario(IHeatIntegrationProject* project) : CPIScenario(project, DefaultScenarioServices()) {}
    bool GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const override {
        return kind != 0 && CPIScenario::GetStreamOfKind(index, out, kind, side);
    }
};

class ViewScenarioInput : public ::testing::Test {
protected:
    ViewScenarioInput() {
        Session::Instance().Reset();
        owner = new Viewable(nullptr, "HIDesignViewerProjectObject");
        owner->SetName("Plant");
        owner->SetDocument(&document);
        viewer = Bind(p.scenario, "Base");
        Session::Instance().Reset();
    }
    ~ViewScenarioInput() override {
        delete owner;
        SetDisplayUnitSet(SIUnits);
        Session::Instance().Reset();
    }
    HIDesignViewerScenario* Bind(IHeatIntegrationScenario* s, const char* name) {
        auto* v = new HIDesignViewerScenario(owner, name, ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
        if (s) v->SetEngineeringScenario(s, 0);
        return v;
    }
    IHeatIntegrationStream* Stream(const char* n) { return p.Stream(n); }
    double Named(const char* stream, const char* value, int index = 0) {
        double out = E;
        Stream(stream)->GetValue(value, out, index);
        return out;
    }
    // Types a number and answers the key shown (empty: none); the busy signal is off after it.
    Text Type(const VarDescription& v, double value) {
        Session::Instance().Reset();
        viewer->Specify(v, value);
        EXPECT_EQ(0, Session::Instance().BusyDepth());
        return lastShown();
    }
    FourStreamProject p{true};
    CaseDocument document{"case", &p.manager};
    Viewable* owner = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
};

TEST_F(ViewScenarioInput, EveryRowWalksCleanAndOnlyGuardedRowsRefuseALockedBaseCase) {
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    LockedScenario locked(p.project);
    locked.SetName("Locked");
    ASSERT_EQ(1, locked.AddStream("H1", 0));
    ASSERT_EQ(1, locked.AddStream("HP Steam", 1));
    HIDesignViewerScenario* unbound = Bind(nullptr, "None");
    HIDesignViewerScenario* lockedViewer = Bind(&locked, "Locked");
    int guarded = 0;
    for (const auto* row : HIDesignViewerScenario::InputRows()) {
        VarDescription v;
        ASSERT_TRUE(VarDescription::Parse(row->Address(), v)) << row->Address();
        EXPECT_EQ(row, HIDesignViewerScenario::FindInputRow(v)) << row->Address();
        for (int i : {0, 1, 4, 99}) {
            v.SetOffset(0, i);
            v.SetOffset(1, 0);
            for (double value : {E, 0.0, 1.0, 50.0, -5.0}) {
                Session::Instance().Reset();
                unbound->Specify(v, value);
                EXPECT_TRUE(Session::Instance().Journal().empty()) << row->Address() << " unbound";
                Session::Instance().Reset();
                viewer->Specify(v, value);
                EXPECT_EQ(0, Session::Instance().BusyDepth()) << row->Address();
            }
        }
        v.SetOffset(0, 0);
        Session::Instance().Reset();
        lockedViewer->Specify(v, 50.0);
        EXPECT_EQ(0, Session::Instance().BusyDepth()) << row->Address();
        const bool refused = lastShown() == "NoChangeinHENRBaseCase";
        EXPECT_EQ(row->guarded, refused) << row->Address();
        guarded += refused;
    }
    EXPECT_GT(guarded, 20);
    // A locked retrofit study takes no new stream (its AddStream answers 1 and adds none, so the
    // streams above were never added): a utility typed on the utility table's empty row is refused
    // and says so, as a process name is refused by the base-case guard.
    Session::Instance().Reset();
    VarDescription name = named("StrNameU", 440, 0);
    EXPECT_EQ(0, lockedViewer->SpecifyText(name, "Renamed"));
    EXPECT_EQ(Text("NoChangeinHENRBaseCase"), lastShown());
    VarDescription processName = named("StrName", 401, 0);
    lockedViewer->SpecifyText(processName, "Renamed");
    EXPECT_EQ(Text("NoChangeinHENRBaseCase"), lastShown());
    delete lockedViewer;
    delete unbound;
}

TEST_F(ViewScenarioInput, FormStateTruncatesAndSkipsTheLabelColumns) {
    struct Case { VarDescription v; double value; std::function<double()> read; double expected; };
    HIDesignViewerScenario* other = Bind(p.scenario, "Other");
    const std::vector<Case> cases = {
        {named("ColPos", 105), 9, [&] { return viewer->tableColumn; }, 10},
        {named("ColPos", 105), 8, [&] { return viewer->tableColumn; }, 8},
        {named("ColPosU", 105), 9, [&] { return viewer->tableColumn; }, 9},
        {named("ColPosU", 105), 8, [&] { return viewer->tableColumn; }, 9},
        {named("ColPosU", 105), 12, [&] { return viewer->tableColumn; }, 13},
        {named("RowPosU", 105), 3, [&] { return viewer->processRow; }, 3},
        {named("RowPos", 106), 2, [&] { return viewer->utilityRow; }, 2},
        {var(100, 217), 2.9, [&] { return viewer->option100_217; }, 2},
        {var(100, 217), -2.9, [&] { return viewer->option100_217; }, -2},
        {var(105, 204, 2), 5.7, [&] { return viewer->selectedRightPlot; }, 5},
        {var(1519, 555), 2.9, [&] { return viewer->value1519_555; }, 2.9},
        {var(109, 250, 1), 4, [&] { return viewer->intArray109_250[1]; }, 4},
        {var(104, 350), 1, [&] { return double(other->dontShowLimitsView); }, 1},
        {var(104, 350), 0, [&] { return double(other->dontShowLimitsView); }, 0},
    };
    const int utilityRow = viewer->utilityRow;
    for (const Case& c : cases) {
        EXPECT_EQ("", Type(c.v, c.value));
        EXPECT_DOUBLE_EQ(c.expected, c.read()) << c.v.Number();
    }
    EXPECT_EQ(2, viewer->utilityRow);  // only "RowPos"/106 moved it
    (void)utilityRow;
    // An index outside the three options writes nothing.
    EXPECT_EQ("", Type(var(109, 250, 3), 9));
    delete other;
}

TEST_F(ViewScenarioInput, StreamDataChecksAndStores) {
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    // A supply equal to the target is refused; a new supply is taken.
    EXPECT_EQ("TemperatureUpdateError", Type(var(1, 402, 0), 60));
    EXPECT_DOUBLE_EQ(170, Stream("H1")->GetSupplyTemperature());
    EXPECT_EQ("TemperatureUpdateError", Type(var(1, 403, 2), 20));
    EXPECT_EQ("", Type(var(1, 402, 0), 180));
    EXPECT_DOUBLE_EQ(180, Stream("H1")->GetSupplyTemperature());
    // A cold stream's load is held negative; 0 is out of range.
    EXPECT_EQ("", Type(var(6, 405, 2), 120));
    EXPECT_NEAR(-120, Named("C1", "Enthalpy"), 1e-9);
    EXPECT_EQ("", Type(var(6, 405, 0), 120));
    EXPECT_NEAR(120, Named("H1", "Enthalpy"), 1e-9);
    EXPECT_EQ("SpecRange", Type(var(6, 405, 1), 0));
    // A heat-capacity flow rate moves the cursor on, refused or not.
    viewer->tableColumn = 4;
    EXPECT_EQ("MCpUpdateError", Type(var(1516, 404, 3), -1));
    EXPECT_EQ(5, viewer->tableColumn);
    EXPECT_EQ("", Type(var(1516, 404, 3), 5));
    EXPECT_EQ(6, viewer->tableColumn);
    EXPECT_DOUBLE_EQ(5, Stream("C2")->GetSegmentHeatCapacityFlowrate(0));
    // The split limit: 1 taken, 0.5 and empty refused.
    EXPECT_EQ("", Type(var(100, 310, 0), 1));
    EXPECT_DOUBLE_EQ(1, Named("H1", "MaxSplitBranches"));
    EXPECT_EQ("SplitBranchValueError", Type(var(100, 310, 0), 0.5));
    EXPECT_EQ("SplitBranchValueError", Type(var(100, 310, 0), E));
    // A contribution typed and cleared.
    EXPECT_EQ("", Type(var(1517, 406, 1), 6));
    EXPECT_EQ(1, Stream("H2")->GetDTminContributionScope());
    EXPECT_EQ("", Type(var(1517, 406, 1), E));
    EXPECT_NE(1, Stream("H2")->GetDTminContributionScope());
    EXPECT_EQ("GetStreamError", Type(var(1517, 406, 9), 6));
    // A utility load only under the user's assignment: elsewhere the targets set it and a typed
    // one is refused, not dropped in silence.
    EXPECT_EQ("UtilityLoadSetByTargets", Type(var(6, 440, 0), -5));
    ASSERT_TRUE(p.scenario->SetUtilityAssignmentMethod(1) || p.scenario->GetUtilityAssignmentMethod() == 1);
    if (p.scenario->GetUtilityAssignmentMethod() == 1) {
        EXPECT_EQ("", Type(var(6, 440, 0), 0));
        EXPECT_EQ("SpecRange", Type(var(6, 440, 0), -5));
    }
    // Coefficients: empty and non-positive refused before the row bound.
    EXPECT_EQ("HTCoeffUpdateError2", Type(var(1524, 413, 99), E));
    EXPECT_EQ("HTCoeffUpdateError", Type(var(1524, 413, 0), 0));
}

TEST_F(ViewScenarioInput, NamesAddRenameAndDeleteStreamsAndLinksForbidMatches) {
    VarDescription newRow = named("StrName", 401, 4), beyond = named("StrName", 401, 6);
    viewer->SpecifyText(beyond, "H9");
    EXPECT_EQ(4, p.scenario->GetNumberOfProcessStreams());
    viewer->SpecifyText(newRow, "H3");
    EXPECT_EQ(5, p.scenario->GetNumberOfProcessStreams());
    VarDescription first = named("StrName", 401, 0);
    Session::Instance().Reset();
    Session::Instance().ScriptResponse(0);
    viewer->SpecifyText(first, "");
    EXPECT_EQ(5, p.scenario->GetNumberOfProcessStreams());
    Session::Instance().ScriptResponse(1);
    viewer->SpecifyText(first, "");
    EXPECT_EQ(4, p.scenario->GetNumberOfProcessStreams());
    EXPECT_EQ(nullptr, p.Stream("H1"));
    EXPECT_NE(std::string::npos, std::string(p.scenario->GetNotes()).find("Deleted Process Stream H1\n"));
    EXPECT_EQ(0, Session::Instance().BusyDepth());
    viewer->SpecifyText(first, "Hot one");
    EXPECT_NE(nullptr, p.Stream("Hot one"));
    // The first cold stream and the first hot one: 1 forbids, 0 and 2 allow.
    IHeatIntegrationStream *cold = nullptr, *hot = nullptr;
    ASSERT_TRUE(p.scenario->GetStreamOfKind(0, cold, 0, 1));
    ASSERT_TRUE(p.scenario->GetStreamOfKind(0, hot, 0, 0));
    for (double value : {1.0, 0.0, 1.0, 2.0}) {
        Type(var(104, 1200, 0, 0), value);
        EXPECT_TRUE(shown().empty() || lastShown() != "GetStreamError");
        EXPECT_EQ(value == 1.0, cold->IsLinkedTo(hot->GetName())) << value;
    }
    EXPECT_EQ("GetStreamError", Type(var(104, 1200, 0, 7), 1));
    VarDescription notes = named("Notes", 400);
    viewer->SpecifyText(notes, "");
    EXPECT_EQ(std::string(), p.scenario->GetNotes());
}

// "**New**" reads on the row that adds a stream: a stream typed in as it, or renamed to it, would
// look like that row, and is refused saying why.
TEST_F(ViewScenarioInput, TheAddRowsMarkerIsNoStreamName) {
    Session::Instance().Reset();
    viewer->SpecifyText(named("StrName", 401, 4), "**New**");
    EXPECT_EQ(4, p.scenario->GetNumberOfProcessStreams());
    EXPECT_EQ(Text("NewRowMarkerName"), lastShown());
    viewer->SpecifyText(named("StrName", 401, 0), "**New**");
    EXPECT_EQ(Text("RenameStreamError"), lastShown());
    EXPECT_NE(nullptr, p.Stream("H1"));
    const int utilities = p.scenario->GetNumberOfUtilityStreams();
    Session::Instance().Reset();
    viewer->SpecifyText(named("StrNameU", 440, utilities), "**New**");
    EXPECT_EQ(Text("NewRowMarkerName"), lastShown());
    EXPECT_EQ(utilities, p.scenario->GetNumberOfUtilityStreams());
    EXPECT_EQ(nullptr, p.Stream("**New**"));
}

TEST_F(ViewScenarioInput, RenamingOrDeletingAStreamThatCannotBeFoundIsRefused) {
    LostStreamsScenario lost(p.project);
    lost.SetName("Lost");
    ASSERT_EQ(1, lost.AddStream("H1", 0));
    HIDesignViewerScenario* lostViewer = Bind(&lost, "Lost");
    VarDescription first = named("StrName", 401, 0);
    for (const char* text : {"", "Renamed"}) {
        Session::Instance().Reset();
        Session::Instance().ScriptResponse(1);
        lostViewer->SpecifyText(first, text);
        EXPECT_EQ(Text("GetStreamError"), lastShown()) << text;
        EXPECT_EQ(0, Session::Instance().BusyDepth());
        EXPECT_EQ(1, lost.GetNumberOfProcessStreams());
        EXPECT_EQ(std::string(), lost.GetNotes());
    }
    delete lostViewer;
}

TEST_F(ViewScenarioInput, EconomicsAndTheCoefficientDialog) {
    auto item = [&](int datum) { return p.scenario->GetEconomicData(datum, "DEFAULT"); };
    EXPECT_EQ("", Type(named("rate_cap_int", 300), 5));
    EXPECT_NEAR(0.05, item(3), 1e-12);
    EXPECT_EQ("TypicalRateOfReturnRange", Type(named("rate_cap_int", 300), 0));
    EXPECT_EQ("", Type(named("hours_of_operation", 300), 8765.76));
    EXPECT_EQ("OverlimitHoursOfOperInput", Type(named("hours_of_operation", 300), 8766));
    EXPECT_EQ("", Type(var(1519, 302), 9000));
    EXPECT_DOUBLE_EQ(8765.76, item(6));
    EXPECT_EQ("", Type(var(1519, 300), 0));
    EXPECT_DOUBLE_EQ(0.0, item(3));
    EXPECT_EQ("TypicalRateOfReturnRange", Type(var(1519, 300), -1));
    EXPECT_EQ("HoursOfOperationRange", Type(var(1519, 302), -1));
    EXPECT_EQ("", Type(named("exp_plant_life", 300), 0));

    // The dialog: 1.0 opens it, above 1 or cleared is refused.
    SetAutomationStartup(false);
    Session::Instance().Reset();
    viewer->Specify(var(1519, 503, 0), 1.0);
    const auto opened = Session::Instance().Entries(SessionEvent::ViewOpened);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(Text("CostCoefficientView"), opened.back().text);
    EXPECT_EQ("TypicalEconomicRateRange", Type(var(1519, 503, 0), 1.01));
    EXPECT_EQ("CannotDeleteCError", Type(var(1519, 503, 0), E));

    // In customary units 1000 per m2 to the power 0.6 shows 1000 / 10.7639^0.6 per ft2.
    p.scenario->SetEconomicData(5, 0.0, "DEFAULT");
    p.scenario->SetEconomicData(2, 0.6, "DEFAULT");
    p.scenario->SetEconomicData(1, 1000.0, "DEFAULT");
    SetDisplayUnitSet(CustomaryUnits);
    Type(var(1519, 503, 0), 0.6);
    EXPECT_NEAR(240.3355, viewer->value1519_210, 1e-4);
    EXPECT_EQ("", Type(var(1519, 502, 0), 240.3355));
    EXPECT_NEAR(1000.0, item(1), 1e-3);
    // A new basis re-enters the coefficient through its own address: with duty and area in
    // the same factor pair, the stored coefficient is kept.
    SetDisplayUnitSet(SIUnits);
    const double stored = item(1);
    EXPECT_EQ("", Type(var(105, 101, 0), 1.0));
    EXPECT_NEAR(stored, item(1), 1e-9);
    EXPECT_DOUBLE_EQ(1.0, item(5));
    // A negative coefficient is stored after the warning.
    EXPECT_EQ("TypicalAreaConstantRange", Type(var(1519, 502, 0), -3));
    EXPECT_NEAR(-3.0, item(1), 1e-9);
}

TEST_F(ViewScenarioInput, SettingsRefuseWhatTheyCannotTake) {
    EXPECT_EQ("DeltaTViolationsError", Type(var(1517, 1), 0));
    EXPECT_EQ("DeltaTViolationsError", Type(var(1517, 1), E));
    EXPECT_EQ("", Type(var(1517, 1), 0.5));
    EXPECT_DOUBLE_EQ(0.5, p.scenario->GetDTmin());
    EXPECT_EQ("", Type(var(107, 450), 0));
    EXPECT_EQ(1, p.scenario->GetUtilityAssignmentMethod());
    EXPECT_EQ("", Type(var(107, 450), 1));
    EXPECT_EQ(0, p.scenario->GetUtilityAssignmentMethod());
    EXPECT_EQ("ValueNotTaken", Type(var(107, 450), 3));
    EXPECT_EQ(0, p.scenario->GetUtilityAssignmentMethod());
    EXPECT_EQ("ValidOptionError", Type(var(100, 211), 0));
    EXPECT_EQ("", Type(var(100, 211), E));
    EXPECT_EQ("ValidOptionError", Type(var(1519, 765), 0));
    EXPECT_EQ("ValidOptionError", Type(var(1519, 765), 1.5));
    EXPECT_EQ("", Type(var(1519, 765), 1.0));
    DataExtractionConfig* config = p.scenario->GetDataExtractionConfig();
    ASSERT_TRUE(config && config->GetSettings());
    EXPECT_EQ("", Type(var(104, 208), 0));
    EXPECT_DOUBLE_EQ(1.0, config->GetSettings()->GetSubvalueByName("UseSubCoolLiveSteam")->GetValue());
    EXPECT_EQ("", Type(var(104, 208), 1));
    EXPECT_DOUBLE_EQ(0.0, config->GetSettings()->GetSubvalueByName("UseSubCoolLiveSteam")->GetValue());
}

TEST_F(ViewScenarioInput, WritableCellsFollowTheScenario) {
    ASSERT_TRUE(p.AddUtility("HP Steam"));
    auto status = [&](const VarDescription& v) {
        ModifyState state = SpecialState;
        int detail = 7;
        viewer->VariableStatus(v, state, detail);
        return static_cast<int>(state);
    };
    EXPECT_EQ(1, status(var(1, 440, 0)));
    EXPECT_EQ(0, status(var(6, 440, 0)));
    p.scenario->SetUtilityAssignmentMethod(1);
    EXPECT_EQ(p.scenario->GetUtilityAssignmentMethod() == 1 ? 1 : 0, status(var(6, 440, 0)));
    // A split stream: whole-stream load, flow rate, fouling and coefficient are its segments'.
    IHeatIntegrationStream* h1 = Stream("H1");
    for (const VarDescription& v : {var(1516, 404, 0), var(4101, 412, 0), var(1524, 413, 0)})
        EXPECT_EQ(1, status(v)) << v.Type();
    h1->InsertSegment(0);
    ASSERT_EQ(2, h1->GetNumberOfSegments());
    for (const VarDescription& v : {var(6, 405, 0), var(1516, 404, 0), var(4101, 412, 0), var(1524, 413, 0)})
        EXPECT_EQ(0, status(v)) << v.Type();
    EXPECT_EQ(1, status(var(1, 402, 0)));
    // The utility name column takes a new name only on the empty row.
    VarDescription nameCell;
    ASSERT_TRUE(VarDescription::Parse("UtilityNameView.600.0", nameCell));
    ASSERT_EQ(Text("UtilityNameViewObject"), nameCell.ObjectType());
    {
        EXPECT_EQ(0, status(nameCell));
        nameCell.SetOffset(0, 1);
        EXPECT_EQ(1, status(nameCell));
    }
    // A total site's utilities belong to the site: their names are the site's, while their data
    // typed here go into the site's streams, so those cells follow the rules of any utility.
    p.scenario->SetTotalSiteScenario(1);
    for (const VarDescription& v : {var(1, 440, 0), var(1, 441, 0), var(1011, 201, 0), var(1517, 442, 0),
                                    var(31002, 445, 0), var(1524, 440, 0)})
        EXPECT_EQ(1, status(v)) << v.Type() << "/" << v.Number();
    EXPECT_EQ(p.scenario->GetUtilityAssignmentMethod() == 1 ? 1 : 0, status(var(6, 440, 0)));
    VarDescription siteName;
    ASSERT_TRUE(VarDescription::Parse("UtilityNameView.599.0", siteName));
    EXPECT_EQ(0, status(siteName));
    EXPECT_EQ(1, status(var(1, 402, 0)));
}

}  // namespace
