// The scenario viewer's command table as a whole (each of its words sent in turn runs its own
// action), and the commands that open forms, plots and tables, reset forbidden matches and
// cost models, add a default utility, switch a stream between process and utility, and apply
// the coefficient dialog's values.
#include "brasko/CaseDocument.h"
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/ScenarioServices.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioViewerFixture.h"
#include "views/case/DataExtractionView.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

// The four-stream scenario, recording the engine operations the commands call.
class CommandScenario : public DesignRecordingScenario {
public:
    using DesignRecordingScenario::DesignRecordingScenario;
    double optimumA = 10.0, optimumB = 20.0;
    // Hot process streams counted that cannot be looked up (a scenario out of step).
    int missingHot = 0;
    bool retrofit = false;
    bool IsRetrofitScenario() const override { return retrofit; }
    void ClearRetrofitBaseDesign() override {
        retrofit = false;
        DesignRecordingScenario::ClearRetrofitBaseDesign();
    }

    int GetNumberOfStreamsOfKind(int kind, int side) const override {
        return CPIScenario::GetNumberOfStreamsOfKind(kind, side) + (kind == 0 && side == 0 ? missingHot : 0);
    }
    int GetMinimumNumberOfUnitsByMILP() const override { return 2; }
    int AssignUtilityLoads() override { return ran.push_back("AssignUtilityLoads"), 1; }
    const char* GetAutomaticDesignMessage() const override { return ""; }
    void GetSuperTargetOptimum(double& a, double& b) const override { a = optimumA, b = optimumB; }
    int SetDTmin(double d) override { return ran.push_back("SetDTmin " + std::to_string(d)), CPIScenario::SetDTmin(d); }
    int CheckRetrofitDesign(IHENDesign*) override { return ran.push_back("CheckRetrofitDesign"), 3; }
    void RemoveUnusedUtilities() override { ran.push_back("RemoveUnusedUtilities"); }
    int ExtractFromCase(const char* name) override { return ran.push_back(std::string("ExtractFromCase ") + name), 1; }
    bool HasCaseDesign(const CPString& n) const override {
        return const_cast<CommandScenario*>(this)->ran.push_back("HasCaseDesign " + n), false;
    }
    int SetMatchCostModelName(const CPString& hot, const CPString& cold, const CPString& model) override {
        ran.push_back("SetMatchCostModelName " + hot + " " + cold + " " + model);
        return CPIScenario::SetMatchCostModelName(hot, cold, model);
    }
    void SetEconomicData(int type, double value, const char* set) override {
        ran.push_back("SetEconomicData " + std::to_string(type) + " " + set);
        CPIScenario::SetEconomicData(type, value, set);
    }
    int count(const std::string& prefix) const {
        return static_cast<int>(std::count_if(ran.begin(), ran.end(), [&](const std::string& r) { return r.rfind(prefix, 0) == 0; }));
    }
};

class ViewScenarioFormCommands : public ::testing::Test {
protected:
    ViewScenarioFormCommands() {
        Session::Instance().Reset();
        owner = NewProjectViewerStandIn(document);
        scenario = new CommandScenario(p.project);
        scenario->SetName("Base");
        AddFourProcessStreams(*scenario);
        scenario->AddStream("HP Steam", 1);
        scenario->AddStream("Cooling Water", 1);
        viewer = NewBoundScenarioViewer(owner, scenario);
    }
    ~ViewScenarioFormCommands() override {
        SetAutomationStartup(false);
        delete owner;
        delete scenario;
        Session::Instance().Reset();
    }
    std::uint64_t mark() const { return Session::Instance().NextSequence() - 1; }
    // The forms opened since `since`: "view name|form|path" each.
    std::vector<SessionEntry> opened(std::uint64_t since) const {
        std::vector<SessionEntry> out;
        for (const SessionEntry& e : Session::Instance().EntriesSince(since))
            if (e.event == SessionEvent::ViewOpened) out.push_back(e);
        return out;
    }
    bool formOpened(std::uint64_t since, const char* form) const {
        for (const SessionEntry& e : opened(since))
            if (e.text == form && e.key == "Base") return true;
        return false;
    }
    bool viewOpened(std::uint64_t since, const Viewable* view) const {
        for (const SessionEntry& e : opened(since))
            if (e.target == ViewPath(view)) return true;
        return false;
    }
    bool shown(std::uint64_t since, SessionEvent event, const char* key) const {
        for (const SessionEntry& e : Session::Instance().EntriesSince(since))
            if (e.event == event && e.key == key) return true;
        return false;
    }
    IHeatIntegrationStream* stream(const char* name) const {
        IHeatIntegrationStream* s = nullptr;
        return scenario->GetStream(name, s) ? s : nullptr;
    }
    Viewable* plot(int number) const { return viewer->GetHenPlotList()->GetIth(number - 1); }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* owner = nullptr;
    CommandScenario* scenario = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
};

// Each word, sent in the table's order, runs its own action: what it did is seen in the
// engine's calls, the forms and views opened, the messages and prompts, or the viewer's state.
// A word shadowed by an earlier one would run that one's action and fail its own check.
TEST_F(ViewScenarioFormCommands, EveryWordOfTheTableRunsItsOwnAction) {
    ASSERT_EQ(1, scenario->AddDesign("D1"));
    ASSERT_EQ(1, scenario->AddDesign("D2"));
    ASSERT_EQ(2, viewer->GetDesignObjs().Count());
    HIDesignViewerDesign* first = viewer->GetDesignObjs()[0];
    struct Row {
        const char* line;
        std::function<void()> prepare;
        std::function<bool(std::uint64_t)> check;
        int answer = 1;  // a deletion declined deleted nothing, a case not read brought nothing in: 0
    };
    auto ran = [&](std::string what) { return [this, what](std::uint64_t) { return scenario->ran_(what); }; };
    auto form = [&](const char* f) { return [this, f](std::uint64_t m) { return formOpened(m, f); }; };
    auto select0 = [&] { viewer->SetCurrentDesign(0); };
    auto none = [] {};
    const std::vector<Row> rows = {
        {"Go", none, [&](std::uint64_t m) { return Session::Instance().EntriesSince(m).size() == 1; }},
        {"AddToDesignView", [&] { viewer->newDesignName = "Extra"; }, ran("AddDesign Extra")},
        {"AddDefaultDesign", none, ran("AddDesign Design 1")},
        {"RenameView", [&] { select0(), viewer->newDesignName = "First"; }, ran("RenameDesign D1 First")},
        {"RemoveFromDesignView", [&] { Session::Instance().ScriptResponse(0); },
         [&](std::uint64_t m) { return shown(m, SessionEvent::Response, "ConfirmDeleteHENDesign"); }, 0},
        {"RemoveDesignFromEAC", [&] { viewer->SetCurrentDesign(viewer->FindDesignMatch("Extra")); }, ran("DeleteDesign Extra")},
        {"SwapDesigns", select0,
         [&](std::uint64_t) { return viewer->GetDesignObjs()[viewer->GetDesignObjs().Count() - 1] == first; }},
        {"CloneDesign", [&] { viewer->SetCurrentDesign(0), viewer->newDesignName = "Copy"; }, ran("CloneDesign Copy")},
        {"ClearAllSubsets", none, ran("ClearUnitsTargetMILPResult")},
        {"SearchSubsets", none, ran("CalculateMinimumUnitsTarget")},
        {"MakeUtilitySufficient", none, ran("AssignUtilityLoads")},
        {"AutomaticHENDesign", none, ran("AutomaticHENDesign")},
        {"SmartCompleteDesign", [&] { viewer->SetCurrentDesign(viewer->GetDesignObjs().Find(first)); }, ran("SmartCompleteDesign First")},
        {"ViewSegTableView", [&] { viewer->processRow = 1; },
         [&](std::uint64_t m) { return opened(m).size() == 1 && opened(m)[0].key == "H2"; }},
        {"ViewSegTableViewU", [&] { viewer->utilityRow = 1; },
         [&](std::uint64_t m) { return opened(m).size() == 1 && opened(m)[0].key == "Cooling Water"; }},
        {"ViewHTCDefaultValueView", none,
         [&](std::uint64_t m) { return viewOpened(m, viewer->GetHTCDatabaseView()) && opened(m)[0].text == "HTCDefaultValueView"; }},
        {"ViewUtilHTCDefaultValueView", none,
         [&](std::uint64_t m) { return viewOpened(m, viewer->GetHTCDatabaseView()) && opened(m)[0].text == "UtilHTCDefaultValueView"; }},
        {"RemoveAllForbMatches", [&] { stream("C1")->LinkStream("H1"); }, [&](std::uint64_t) { return !stream("C1")->IsLinkedTo("H1"); }},
        {"ResetEconomicData", none, ran("SetMatchCostModelName H1 C1 DEFAULT")},
        {"StandAloneSuperTarget", none, form("SuperTargetPlotStandAlone")},
        {"OpenDesignView", select0, [&](std::uint64_t m) { return viewOpened(m, viewer->GetCurrentDesign()); }},
        {"ViewPlotStandalone", [&] { viewer->selectedPlot = 5; }, [&](std::uint64_t m) { return viewOpened(m, plot(5)); }},
        {"ViewCompositeCurves", none, [&](std::uint64_t m) { return viewer->selectedPlot == 3 && viewOpened(m, plot(3)); }},
        {"ViewGrandCompositeCurve", none, [&](std::uint64_t m) { return viewer->selectedPlot == 1 && viewOpened(m, plot(1)); }},
        {"ViewUtilityCompositeCurve", none, [&](std::uint64_t m) { return viewer->selectedPlot == 7 && viewOpened(m, plot(7)); }},
        {"ViewLeftPlotStandalone", [&] { viewer->selectedLeftPlot = 9; }, [&](std::uint64_t m) { return viewOpened(m, plot(9)); }},
        {"ViewRightPlotStandalone", [&] { viewer->selectedRightPlot = 11; }, [&](std::uint64_t m) { return viewOpened(m, plot(11)); }},
        {"ViewDriveForcePlotStandalone", none, form("DriveForcePlotView")},
        {"BuildRalvexCase", [&] { viewer->SetDataExtractionView(new DataExtractionView(viewer, scenario->GetDataExtractionConfig(), scenario)); },
         // The manager is on its factory defaults, which need no file: the wizard's case is looked for.
         [&](std::uint64_t m) {
             return !shown(m, SessionEvent::Error, "CouldNotFindUtilityFile") &&
                    !shown(m, SessionEvent::Error, "CouldNotFindCapCostFile");
         },
         0},  // the wizard has no case chosen: nothing is extracted
        // No case held under the name "XYZ": nothing came in, and the word answers 0.
        // No case held under the import's name: nothing is extracted, and the answer says why.
        {"ImportVelmorScenario", none, [&](std::uint64_t m) { return shown(m, SessionEvent::Error, "CouldNotFindVelmorFile"); }, 0},
        {"FinishExtraction", none, ran("SetDTmin 15.000000")},
        // Every utility is used: the search ran, deleted nothing, and the answer says so.
        {"DeleteUnusedUtilities", [] { SetAutomationStartup(true); },
         [&](std::uint64_t m) { return scenario->ran_("RemoveUnusedUtilities") && shown(m, SessionEvent::Error, "NoUnusedUtilities"); },
         0},
        {"ViewTableStandalone", [] { SetAutomationStartup(false); },
         [&](std::uint64_t m) { return viewer->GetHenTableList()->Count() == 1 && viewOpened(m, viewer->GetHenTableList()->GetIth(0)); }},
        {"ImportFromVelmor /no/such/case.vmc", none, [&](std::uint64_t m) { return shown(m, SessionEvent::Error, "CouldNotFindVelmorFile"); }, 0},
        {"CheckForSimulationReady", none,
         [&](std::uint64_t m) { return viewOpened(m, viewer->GetDataExtractionView()) && viewer->GetDataExtractionView()->GetSimulatorFileType() == 0.0; }},
        {"CheckForSimulationReadyDiscontinued", none, form("UseActivatedAnalysis")},
        {"CheckForQuorvexReady", none,
         [&](std::uint64_t m) { return viewOpened(m, viewer->GetDataExtractionView()) && viewer->GetDataExtractionView()->GetSimulatorFileType() == 1.0; }},
        {"CheckForQuorvexReadyDiscontinued", none, form("UseActivatedAnalysis")},
        // D1 is no network an extraction made: it holds no simulator units to write back to.
        {"ExportVelmor", select0, [&](std::uint64_t m) { return shown(m, SessionEvent::Error, "NoSimulatorCaseToWrite"); }, 0},
        {"RecommendDesign", none, form("OptimizationSettings")},
        {"Calculate", none, [&](std::uint64_t) { return scenario->ran == std::vector<std::string>{"RecalculateSuperTargets"}; }},
        {"SaveHXCapitalCostDefaultSet", none, [&](std::uint64_t m) { return shown(m, SessionEvent::FilePicked, "SaveHIPreferences"); }},
        {"OpenHXCapitalCostDefaultSet", none, [&](std::uint64_t m) { return shown(m, SessionEvent::FilePicked, "OpenHIPreferences"); }},
        {"OpenEconomicView", none, form("EconomicView")},
        {"OpenTargetView", none, form("Targets")},
        {"OpenHotTargetUtil", none, form("HotTargetUtil")},
        {"OpenCoolTargetUtil", none, form("CoolTargetUtil")},
        {"OpenTopRightView", none, form("TopRightView")},
        {"OpenSummaryView", none, form("SummaryView")},
        {"ApplyNewBCValues", [&] { viewer->workText = "DEFAULT", viewer->value1519_210 = 500.0, viewer->valueComputed = 0.6; },
         ran("SetEconomicData 2 DEFAULT")},
        {"OpenUDB", none, [&](std::uint64_t m) { return viewOpened(m, viewer->GetDefaultUtilManagerView()); }},
        {"OpenHTC", none, [&](std::uint64_t m) { return viewOpened(m, viewer->GetHTCDatabaseView()); }},
        {"OpenForbidden", none, form("ForbiddenMatchView")},
        {"AddUtilityToUtilityStreams", [&] { viewer->GetDefaultUtilManagerView()->setselDefUtilRow(0); },
         [&](std::uint64_t) { return scenario->GetNumberOfUtilityStreams() == 3; }},
        {"SwitchProcessToUtil", [&] { viewer->processRow = 0; }, [&](std::uint64_t) { return stream("H1")->GetStreamKind() == 1; }},
        {"SwitchUtilToProcess", [&] { viewer->utilityRow = 0; }, [&](std::uint64_t) { return stream("HP Steam")->GetStreamKind() == 0; }},
        {"UnlockRetrofit", [&] { viewer->selectedMainPlot = 11, scenario->retrofit = true; },
         [&](std::uint64_t) { return scenario->ran_("ClearRetrofitBaseDesign") && viewer->selectedMainPlot == 3; }},
        {"SelectRetrofitNow", none, form("SelectBaseCaseForRetrofitView")},
        // Retrofitted in this scenario: a copy would be the owner's to make, and this one's owner is bare.
        {"RetrofitNow", [&] { viewer->option100_217 = 1; }, ran("CheckRetrofitDesign")},
        {"OpenExcelFile", none, [&](std::uint64_t m) { return shown(m, SessionEvent::FilePicked, "OpenExcelFile"); }},
        {"OpenTotalSiteUtilityDatabase", none, [&](std::uint64_t m) { return Session::Instance().EntriesSince(m).size() == 1; }},
    };
    ASSERT_EQ(HIDesignViewerScenario::CommandWords().size(), rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const Text line = rows[row].line;
        rows[row].prepare();
        scenario->ran.clear();
        const std::uint64_t m = mark();
        // The file prompts are cancelled (no script).
        EXPECT_EQ(rows[row].answer, SendViewableMessage(viewer, line)) << line;
        EXPECT_EQ(static_cast<int>(row), viewer->LastCommandRow()) << line;
        EXPECT_TRUE(rows[row].check(m)) << line;
    }
    EXPECT_TRUE(Session::Instance().Entries(SessionEvent::Unhandled).empty());
}

TEST_F(ViewScenarioFormCommands, PlotsOpenOnlyByANumberWithinTheList) {
    const int count = viewer->GetHenPlotList()->Count();
    ASSERT_EQ(16, count);
    for (int number : {0, -1, count + 1, 100}) {
        viewer->selectedPlot = viewer->selectedLeftPlot = viewer->selectedRightPlot = number;
        const std::uint64_t m = mark();
        for (const char* word : {"ViewPlotStandalone", "ViewLeftPlotStandalone", "ViewRightPlotStandalone"})
            EXPECT_EQ(1, viewer->Message(word)) << word;
        EXPECT_TRUE(opened(m).empty()) << number;
    }
    viewer->selectedPlot = count;
    const std::uint64_t m = mark();
    viewer->Message("ViewPlotStandalone");
    EXPECT_TRUE(viewOpened(m, plot(count)));
}

TEST_F(ViewScenarioFormCommands, TablesOfTheSelectedKindOpenAndANewOneIsMadeOnlyWhenThereIsNone) {
    viewer->option105_203 = 2;
    viewer->Message("ViewTableStandalone");
    viewer->option105_203 = 4;
    viewer->Message("ViewTableStandalone");
    HenTableList* tables = viewer->GetHenTableList();
    ASSERT_EQ(2, tables->Count());
    // A second table of kind 4 (as a recalled case may hold).
    auto* another = new ChiTable(viewer, 4);
    another->AddDeathPostee(viewer);
    tables->Add(another);
    std::uint64_t m = mark();
    viewer->Message("ViewTableStandalone");
    EXPECT_EQ(3, tables->Count());
    ASSERT_EQ(2u, opened(m).size());
    EXPECT_TRUE(viewOpened(m, tables->GetIth(1)));
    EXPECT_TRUE(viewOpened(m, another));
    viewer->option105_203 = 2;
    m = mark();
    viewer->Message("ViewTableStandalone");
    EXPECT_EQ(3, tables->Count());
    ASSERT_EQ(1u, opened(m).size());
    EXPECT_TRUE(viewOpened(m, tables->GetIth(0)));
    // A closed table leaves the list; its kind is made again.
    delete tables->GetIth(0);
    ASSERT_EQ(2, tables->Count());
    viewer->Message("ViewTableStandalone");
    EXPECT_EQ(3, tables->Count());
    EXPECT_EQ(2, tables->GetIth(2)->GetKind());
}

TEST_F(ViewScenarioFormCommands, CoefficientFormsOpenOnlyForAStreamOfOneSegment) {
    viewer->processRow = 0;  // H1
    viewer->utilityRow = 0;  // HP Steam
    ASSERT_EQ(1, stream("H1")->GetNumberOfSegments());
    std::uint64_t m = mark();
    viewer->Message("ViewHTCDefaultValueView");
    EXPECT_EQ(1u, opened(m).size());
    ASSERT_EQ(1, stream("H1")->InsertSegment(0));
    ASSERT_EQ(2, stream("H1")->GetNumberOfSegments());
    m = mark();
    viewer->Message("ViewHTCDefaultValueView");
    EXPECT_TRUE(opened(m).empty());
    // A row past the streams names none: nothing opens.
    viewer->processRow = 9;
    viewer->utilityRow = 9;
    m = mark();
    for (const char* word : {"ViewHTCDefaultValueView", "ViewUtilHTCDefaultValueView", "ViewSegTableView", "ViewSegTableViewU"})
        viewer->Message(word);
    EXPECT_TRUE(opened(m).empty());
}

TEST_F(ViewScenarioFormCommands, EveryForbiddenPairIsClearedAndEveryMatchGetsTheDefaultCostModel) {
    for (const char* cold : {"C1", "C2"})
        for (const char* hot : {"H1", "H2"}) ASSERT_EQ(1, stream(cold)->LinkStream(hot));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            VarDescription cell(104, 1200);
            cell.SetOffset(0, i);
            cell.SetOffset(1, j);
            ASSERT_EQ(1.0, viewer->Value(cell));
        }
    EXPECT_EQ(1, viewer->Message("RemoveAllForbMatches"));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            VarDescription cell(104, 1200);
            cell.SetOffset(0, i);
            cell.SetOffset(1, j);
            EXPECT_EQ(0.0, viewer->Value(cell)) << i << " " << j;
        }
    // A hot stream that cannot be looked up is reported, the answer is 0, and the pairs of the
    // streams that were found are cleared all the same.
    stream("C2")->LinkStream("H2");
    scenario->missingHot = 1;
    const std::uint64_t m = mark();
    EXPECT_EQ(0, viewer->Message("RemoveAllForbMatches"));
    EXPECT_TRUE(shown(m, SessionEvent::Error, "GetStreamError"));
    EXPECT_FALSE(stream("C2")->IsLinkedTo("H2"));
    scenario->missingHot = 0;
    // Every hot stream (utilities included) with every cold one: H1, H2, HP Steam by C1, C2,
    // Cooling Water.
    scenario->ran.clear();
    EXPECT_EQ(1, viewer->Message("ResetEconomicData"));
    EXPECT_EQ(9, scenario->count("SetMatchCostModelName "));
    EXPECT_TRUE(scenario->ran_("SetMatchCostModelName HP Steam Cooling Water DEFAULT"));
    EXPECT_TRUE(scenario->ran_("SetMatchCostModelName H2 C2 DEFAULT"));
}

TEST_F(ViewScenarioFormCommands, TheSelectedDefaultRowIsAddedAsAUtilityStream) {
    viewer->Message("OpenUDB");
    DefaultUtilManagerView* defaults = viewer->GetDefaultUtilManagerView();
    ASSERT_NE(nullptr, defaults);
    IDefaultUtilityManager* manager = nullptr;
    ASSERT_TRUE(scenario->GetDefaultUtilityManager(manager));
    // No row selected: nothing is added.
    defaults->setselDefUtilRow(-1);
    viewer->Message("AddUtilityToUtilityStreams");
    EXPECT_EQ(2, scenario->GetNumberOfUtilityStreams());
    int row = -1;
    for (int i = 0; i < manager->GetNumberOfDefaultUtilities() && row < 0; ++i)
        if (Text(manager->GetDefaultUtilityName(i)) != "HP Steam" && Text(manager->GetDefaultUtilityName(i)) != "Cooling Water")
            row = i;
    ASSERT_GE(row, 0);
    defaults->setselDefUtilRow(row);
    viewer->Message("AddUtilityToUtilityStreams");
    ASSERT_EQ(3, scenario->GetNumberOfUtilityStreams());
    IHeatIntegrationStream* added = nullptr;
    ASSERT_TRUE(scenario->GetStreamOfKind(2, added, 1, 2));
    EXPECT_EQ(Text(manager->GetDefaultUtilityName(row)), Text(added->GetName()));
}

TEST_F(ViewScenarioFormCommands, SwitchesActOnTheSelectedRowAndNotOnAStreamNamedH1) {
    ASSERT_EQ(1, scenario->RenameStream("H1", "h1"));
    // The selected process row is C1 (the third process stream); "h1" stays a process stream.
    viewer->processRow = 2;
    viewer->Message("SwitchProcessToUtil");
    EXPECT_EQ(1, stream("C1")->GetStreamKind());
    EXPECT_EQ(0, stream("h1")->GetStreamKind());
    EXPECT_EQ(3, scenario->GetNumberOfProcessStreams());
    // The utility of the selected utility row goes back.
    IHeatIntegrationStream* utility = nullptr;
    ASSERT_TRUE(scenario->GetStreamOfKind(1, utility, 1, 2));
    const Text name = utility->GetName();
    viewer->utilityRow = 1;
    viewer->Message("SwitchUtilToProcess");
    EXPECT_EQ(0, stream(name.c_str())->GetStreamKind());
    EXPECT_EQ(4, scenario->GetNumberOfProcessStreams());
    // A row that selects no stream changes nothing.
    const int process = scenario->GetNumberOfProcessStreams(), utilities = scenario->GetNumberOfUtilityStreams();
    for (int row : {-1, 40}) {
        viewer->processRow = viewer->utilityRow = row;
        viewer->Message("SwitchProcessToUtil");
        viewer->Message("SwitchUtilToProcess");
    }
    EXPECT_EQ(process, scenario->GetNumberOfProcessStreams());
    EXPECT_EQ(utilities, scenario->GetNumberOfUtilityStreams());
}

// The dialog's coefficient q (cost per unit of the basis raised to e) is stored per base unit:
// in customary units 1 m2 = 10.76391 ft2 and 1 kW = 3412.1416 Btu/h, so the stored coefficient
// is q x 10.76391^e (area) or q x 3412.1416^e (duty).
struct BCCase {
    int units;
    double basis;
    double q, e;
    double stored;
};
void PrintTo(const BCCase& c, std::ostream* os) {
    *os << "units " << c.units << ", basis " << c.basis << ": stored " << c.stored;
}
class ViewScenarioApplyBC : public ViewScenarioFormCommands, public ::testing::WithParamInterface<BCCase> {};
TEST_P(ViewScenarioApplyBC, StoresTheExponentAndTheCoefficientInBaseUnits) {
    const BCCase& c = GetParam();
    SetDisplayUnitSet(c.units);
    scenario->SetEconomicData(5, c.basis, "DEFAULT");
    viewer->workText = "DEFAULT";
    viewer->value1519_210 = c.q;
    viewer->valueComputed = c.e;
    EXPECT_EQ(1, viewer->Message("ApplyNewBCValues"));
    SetDisplayUnitSet(0);
    EXPECT_DOUBLE_EQ(c.e, scenario->GetEconomicData(2, "DEFAULT"));
    EXPECT_NEAR(c.stored, scenario->GetEconomicData(1, "DEFAULT"), c.stored * 1e-5);
}
INSTANTIATE_TEST_SUITE_P(ViewCoefficients, ViewScenarioApplyBC,
                         ::testing::Values(BCCase{0, 0.0, 1200.0, 0.6, 1200.0},      // SI: unchanged
                                           BCCase{1, 0.0, 100.0, 1.0, 1076.3910},    // 100 x 10.76391 ft2/m2
                                           BCCase{1, 0.0, 100.0, 0.5, 328.08399},    // 100 x 3.28084 ft/m
                                           BCCase{1, 1.0, 2.0, 1.0, 6824.2833},       // 2 x 3412.1416
                                           BCCase{1, 1.0, 2.0, 0.0, 2.0}));

TEST_F(ViewScenarioFormCommands, TheSiteUtilitiesOpenOnlyFromAViewerOfATotalSite) {
    // The viewer of a project: nothing is sent anywhere.
    std::uint64_t m = mark();
    viewer->Message("OpenTotalSiteUtilityDatabase");
    EXPECT_EQ(0u, Session::Instance().EntriesSince(m).size());
    // Under a site viewer the site's own utilities open.
    Viewable site(nullptr, "HIDesignViewerTotalSiteObject");
    site.SetName("Site");
    auto* member = new HIDesignViewerScenario(&site, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    member->SetEngineeringScenario(scenario, 0);
    m = mark();
    member->Message("OpenTotalSiteUtilityDatabase");
    bool reached = false;
    for (const SessionEntry& e : Session::Instance().EntriesSince(m))
        reached = reached || (e.key == "Site" && e.text == "Message OpenUDB");
    EXPECT_TRUE(reached);
}

}  // namespace
