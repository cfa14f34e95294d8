// The scenario viewer's design commands and design comparison numbers: every command word in its
// place, each reaching its own action on a scenario that records what ran; the comparison rule;
// sums worked by hand over utilities, designs and exchangers.
#include "brasko/CaseDocument.h"
#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "eng/model/ScenarioServices.h"
#include "pellin/CNode.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/NeutralStream.h"
#include "tests/views/case/scenario/ScenarioViewerFixture.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

using scenario_test::FakeDesign;

VarDescription var(int type, int number, int index1 = -1, int index3 = -1) {
    VarDescription v(type, number);
    if (index1 >= 0) v.SetOffset(0, index1);
    if (index3 >= 0) {
        v.SetOffset(1, 0);
        v.SetOffset(2, index3);
    }
    return v;
}

// A utility of a fixed load and cost index, run `hours` a year.
class UtilityDouble : public NeutralStream {
public:
    UtilityDouble(const char* name, int side, double load, double costIndex, double hours = 8765.76)
        : m_name(name), m_side(side), m_load(load), m_cost(costIndex), m_hours(hours) {}
    const CPString& GetName() const override { return m_name; }
    int GetStreamKind() const override { return 1; }
    int GetHotCold() const override { return m_side; }
    double GetHeatLoad(int) override { return m_load; }
    double GetCostIndex() const override { return m_cost; }
    double GetOperatingCost() const override { return m_load * m_cost * m_hours / 8765.76; }

private:
    CPString m_name;
    int m_side;
    double m_load, m_cost, m_hours;
};

// An exchanger node holding named values.
class ExchangerDouble : public CNode {
public:
    ExchangerDouble(const char* name, std::map<std::string, double> values) : CNode(name, "htHeatExchanger") {
        for (const auto& [n, v] : values) addVariable(n.c_str(), v, 1);
    }

protected:
    std::unique_ptr<CNode> makeEmptyCopy() const override { return std::make_unique<ExchangerDouble>("", std::map<std::string, double>{}); }
};

// A design whose utilities and exchangers are given.
class DesignDouble : public FakeDesign {
public:
    using FakeDesign::FakeDesign;
    bool GetHeatExchanger(int i, CNode*& out) const override {
        if (i < 0 || i >= static_cast<int>(units.size())) return false;
        out = units[static_cast<std::size_t>(i)].get();
        return true;
    }
    int GetNumberOfHeatExchangers() const override { return static_cast<int>(units.size()); }
    double GetUtilityLoad(const CPString& n) const override { return loads.count(n) ? loads.at(n) : 0.0; }
    double GetTotalArea() const override { return area; }
    std::vector<std::unique_ptr<CNode>> units;
    std::map<CPString, double> loads;
    double area = 0.0;
};

// A scenario that records the operations the commands call and answers what a test sets.
class RecordingScenario : public DesignRecordingScenario {
public:
    using DesignRecordingScenario::DesignRecordingScenario;
    int unitsByMILP = 0, assignResult = 1, retrofitCode = 3;
    bool retrofit = false;
    std::string automaticMessage;
    std::string baseName;
    std::map<CPString, IHENDesign*> doubles;
    std::vector<UtilityDouble*> utilities;

    // What the sub-network search says as it ends ("" nothing).
    std::string unitsNotice;
    int GetMinimumNumberOfUnitsByMILP() const override { return unitsByMILP; }
    void CalculateMinimumUnitsTarget() override {
        DesignRecordingScenario::CalculateMinimumUnitsTarget();
        if (!unitsNotice.empty()) SendAMessage(60, unitsNotice.c_str(), static_cast<IHeatIntegrationScenario*>(this));
    }
    int AssignUtilityLoads() override { return ran.push_back("AssignUtilityLoads"), assignResult; }
    const char* GetAutomaticDesignMessage() const override { return automaticMessage.c_str(); }
    bool HasSuperTargetResults() const override { return false; }
    bool IsRetrofitScenario() const override { return retrofit; }
    int CheckRetrofitDesign(IHENDesign*) override { return ran.push_back("CheckRetrofitDesign"), retrofitCode; }
    void EndForbiddenMatchChanges() override { ran.push_back("EndForbiddenMatchChanges"); }
    const char* GetRetrofitBaseDesignName() const override { return baseName.c_str(); }
    bool GetDesign(const CPString& n, IHENDesign*& out) const override {
        if (doubles.count(n)) return out = doubles.at(n), true;
        return CPIScenario::GetDesign(n, out);
    }
    using CPIScenario::GetDesign;
    bool GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const override {
        if (utilities.empty()) return CPIScenario::GetStreamOfKind(index, out, kind, side);
        for (UtilityDouble* u : utilities)
            if (kind == 1 && (side == 2 || u->GetHotCold() == side) && index-- == 0) return out = u, true;
        return false;
    }
};

class ViewScenarioDesignCommands : public ::testing::Test {
protected:
    ViewScenarioDesignCommands() {
        Session::Instance().Reset();
        owner = NewProjectViewerStandIn(document);
        scenario = new RecordingScenario(p.project);
        scenario->SetName("Base");
    }
    ~ViewScenarioDesignCommands() override {
        delete owner;
        delete scenario;
        Session::Instance().Reset();
    }
    HIDesignViewerScenario* bind() {
        return viewer = NewBoundScenarioViewer(owner, scenario);
    }
    int keyCount(const char* key) {
        int n = 0;
        for (const SessionEntry& e : Session::Instance().Journal()) n += e.key == key;
        return n;
    }
    bool opened(const char* form) {
        for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::ViewOpened))
            if (e.text == form) return true;
        return false;
    }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* owner = nullptr;
    RecordingScenario* scenario = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
};

struct ComparePair {
    double a, b, expected;
};
void PrintTo(const ComparePair& c, std::ostream* os) {
    *os << c.a << " against " << c.b << ": " << c.expected;
}
class ViewScenarioCompare : public ::testing::TestWithParam<ComparePair> {};
TEST_P(ViewScenarioCompare, IsTheShareOfTheReference) {
    const ComparePair& c = GetParam();
    EXPECT_DOUBLE_EQ(c.expected, HIDesignViewerScenario::Compare(c.a, c.b));
}
INSTANTIATE_TEST_SUITE_P(ViewPairs, ViewScenarioCompare,
                         ::testing::Values(ComparePair{200.0, 150.0, 75.0}, ComparePair{5.0, 6.0, 120.0},
                                           ComparePair{0.0, 0.0, 0.0}, ComparePair{0.0, 5.0, -32768.0},
                                           ComparePair{-100.0, -50.0, 150.0}, ComparePair{-32767.0, 1.0, -32767.0},
                                           ComparePair{1.0, -32767.0, -32767.0}, ComparePair{500.0, 150.0, 30.0}));

TEST(ViewScenarioComparisonBasis, ZeroEmptyOrAHundred) {
    EXPECT_EQ(0.0, HIDesignViewerScenario::ComparisonBasis(1e-9));
    EXPECT_EQ(0.0, HIDesignViewerScenario::ComparisonBasis(-1e-9));
    EXPECT_EQ(-32767.0, HIDesignViewerScenario::ComparisonBasis(-32767.0));
    EXPECT_EQ(100.0, HIDesignViewerScenario::ComparisonBasis(3.0));
    EXPECT_EQ(100.0, HIDesignViewerScenario::ComparisonBasis(-2e-8));
}

TEST_F(ViewScenarioDesignCommands, EveryWordReachesItsOwnRowAndAnUnboundViewerAnswersNone) {
    const std::vector<Text> expected = {
        "Go", "AddToDesignView", "AddDefaultDesign", "RenameView", "RemoveFromDesignView", "RemoveDesignFromEAC",
        "SwapDesigns", "CloneDesign", "ClearAllSubsets", "SearchSubsets", "MakeUtilitySufficient",
        "AutomaticHENDesign", "SmartCompleteDesign", "ViewSegTableView", "ViewSegTableViewU",
        "ViewHTCDefaultValueView", "ViewUtilHTCDefaultValueView", "RemoveAllForbMatches", "ResetEconomicData",
        "StandAloneSuperTarget", "OpenDesignView", "ViewPlotStandalone", "ViewCompositeCurves",
        "ViewGrandCompositeCurve", "ViewUtilityCompositeCurve", "ViewLeftPlotStandalone", "ViewRightPlotStandalone",
        "ViewDriveForcePlotStandalone", "BuildRalvexCase", "ImportVelmorScenario", "FinishExtraction",
        "DeleteUnusedUtilities", "ViewTableStandalone", "ImportFromVelmor", "CheckForSimulationReady",
        "CheckForSimulationReadyDiscontinued", "CheckForQuorvexReady", "CheckForQuorvexReadyDiscontinued",
        "ExportVelmor", "RecommendDesign", "Calculate", "SaveHXCapitalCostDefaultSet", "OpenHXCapitalCostDefaultSet",
        "OpenEconomicView", "OpenTargetView", "OpenHotTargetUtil", "OpenCoolTargetUtil", "OpenTopRightView",
        "OpenSummaryView", "ApplyNewBCValues", "OpenUDB", "OpenHTC", "OpenForbidden", "AddUtilityToUtilityStreams",
        "SwitchProcessToUtil", "SwitchUtilToProcess", "UnlockRetrofit", "SelectRetrofitNow", "RetrofitNow",
        "OpenExcelFile", "OpenTotalSiteUtilityDatabase"};
    ASSERT_EQ(61u, expected.size());
    EXPECT_EQ(expected, HIDesignViewerScenario::CommandWords());

    // Unbound: every word answers 0 and nothing reaches the framework.
    HIDesignViewerScenario unbound(owner, "None", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    for (const Text& word : expected) {
        EXPECT_EQ(0, unbound.Message(word)) << word;
        EXPECT_EQ(-1, unbound.LastCommandRow()) << word;
    }
    EXPECT_TRUE(Session::Instance().Entries(SessionEvent::Unhandled).empty());

    // Bound: each word runs its own row; the words of this page run their operation.
    bind();
    ASSERT_EQ(1, scenario->AddDesign("D1"));
    ASSERT_EQ(1, scenario->AddDesign("D2"));
    scenario->unitsByMILP = 2;
    const std::map<std::string, std::string> operation = {
        {"AddDefaultDesign", "AddDesign Design 1"},
        {"RemoveDesignFromEAC", "DeleteDesign D2"},
        {"ClearAllSubsets", "ClearUnitsTargetMILPResult"},
        {"SearchSubsets", "CalculateMinimumUnitsTarget"},
        {"MakeUtilitySufficient", "AssignUtilityLoads"},
        {"AutomaticHENDesign", "AutomaticHENDesign"},
        {"SmartCompleteDesign", "SmartCompleteDesign D1"},
        {"Calculate", "RecalculateSuperTargets"},
        {"UnlockRetrofit", "ClearRetrofitBaseDesign"},
        {"RetrofitNow", "CheckRetrofitDesign"},
    };
    for (std::size_t row = 0; row < expected.size(); ++row) {
        const Text& word = expected[row];
        if (word == "SmartCompleteDesign") {
            viewer->SetCurrentDesign(0);
        }
        if (word == "RemoveDesignFromEAC") {
            viewer->SetCurrentDesign(1);
        }
        // Off a retrofit there is no base to unlock.
        scenario->retrofit = word == "UnlockRetrofit";
        scenario->ran.clear();
        SendViewableMessage(viewer, word);
        EXPECT_EQ(static_cast<int>(row), viewer->LastCommandRow()) << word;
        auto it = operation.find(word);
        if (it != operation.end()) {
            EXPECT_TRUE(scenario->ran_(it->second)) << word << " ran " << scenario->ran.size();
        }
        if (word == "RemoveDesignFromEAC") {
            EXPECT_EQ(1, viewer->GetDesignObjs().Count());
        }
    }
    EXPECT_EQ(3, viewer->selectedMainPlot);
    // A word of no row: the framework's answer for the whole line.
    EXPECT_EQ(0, viewer->Message("NoSuchWord and more"));
    EXPECT_EQ(-1, viewer->LastCommandRow());
}

TEST_F(ViewScenarioDesignCommands, DesignsAreAddedRenamedClonedAndDeletedOnlyWhenConfirmed) {
    bind();
    EXPECT_EQ(1, viewer->Message("AddDefaultDesign"));
    ASSERT_EQ(1, viewer->GetDesignObjs().Count());
    EXPECT_EQ("Design 1", viewer->GetDesignObjs()[0]->GetName());
    EXPECT_EQ(0, viewer->Message("AddDefaultDesign"));
    EXPECT_EQ(1, keyCount("ThisDesignNameAlreadyExists"));
    viewer->Message("AddDefaultDesign D2");
    ASSERT_EQ(2, viewer->GetDesignObjs().Count());
    // Rename the selected design; an empty entered name does nothing, and says so.
    viewer->SetCurrentDesign(0);
    EXPECT_EQ(0, viewer->Message("RenameView"));
    EXPECT_EQ(1, keyCount("DesignNameMissing"));
    viewer->newDesignName = "Winter";
    viewer->Message("RenameView");
    EXPECT_EQ("Winter", viewer->GetDesignObjs()[0]->GetName());
    EXPECT_TRUE(viewer->newDesignName.empty());
    viewer->newDesignName = "D2";
    viewer->Message("RenameView");
    EXPECT_EQ(2, keyCount("ThisDesignNameAlreadyExists"));
    // Clone the selected design under the entered name; a taken name is refused.
    viewer->newDesignName = "Copy";
    viewer->Message("CloneDesign");
    EXPECT_EQ(3, scenario->GetNumberOfDesigns());
    viewer->newDesignName = "Copy";
    viewer->Message("CloneDesign");
    EXPECT_EQ(3, keyCount("ThisDesignNameAlreadyExists"));
    // Deletion asks; only 1 deletes.
    viewer->SetCurrentDesign(0);
    for (int answer : {0, 2}) {
        Session::Instance().ScriptResponse(answer);
        viewer->Message("RemoveFromDesignView");
    }
    EXPECT_EQ(3, scenario->GetNumberOfDesigns());
    Session::Instance().ScriptResponse(1);
    EXPECT_EQ(1, viewer->Message("RemoveFromDesignView"));
    EXPECT_EQ(2, scenario->GetNumberOfDesigns());
    EXPECT_EQ(2, viewer->GetDesignObjs().Count());
    // Under automation nothing is asked.
    SetAutomationStartup(true);
    viewer->SetCurrentDesign(0);
    const int asked = keyCount("ConfirmDeleteHENDesign");
    viewer->Message("RemoveFromDesignView");
    SetAutomationStartup(false);
    EXPECT_EQ(asked, keyCount("ConfirmDeleteHENDesign"));
    EXPECT_EQ(1, scenario->GetNumberOfDesigns());
}

// An extraction writes the plant's existing network into the design of its own name: no design
// of the user's is added, renamed or cloned to that name, saying why, and the scenario itself
// refuses the rename as it refuses a name in use.
TEST_F(ViewScenarioDesignCommands, NoDesignOfTheUsersTakesTheExtractionsName) {
    bind();
    viewer->Message("AddDefaultDesign D1");
    viewer->Message("AddDefaultDesign D2");
    viewer->SetCurrentDesign(0);
    for (const char* word : {"AddToDesignView", "RenameView", "CloneDesign"}) {
        viewer->newDesignName = "SimulationBaseCase";
        EXPECT_EQ(0, viewer->Message(word)) << word;
        EXPECT_TRUE(viewer->newDesignName.empty()) << word;
    }
    EXPECT_EQ(0, viewer->Message("AddDefaultDesign SimulationBaseCase"));
    EXPECT_EQ(4, keyCount("ReservedDesignName"));
    EXPECT_EQ(0, keyCount("ThisDesignNameAlreadyExists"));
    EXPECT_EQ(2, scenario->GetNumberOfDesigns());
    EXPECT_EQ("D1", viewer->GetDesignObjs()[0]->GetName());
    EXPECT_EQ(0, scenario->RenameDesign("D1", "SimulationBaseCase"));
    EXPECT_EQ(0, scenario->RenameDesign("D1", "D2"));
    EXPECT_EQ(1, scenario->RenameDesign("D1", "D3"));
    EXPECT_EQ("D3", viewer->GetDesignObjs()[0]->GetName());
}

TEST_F(ViewScenarioDesignCommands, FailuresOfTheScenarioShowTheirKeys) {
    bind();
    viewer->Message("SearchSubsets");
    EXPECT_EQ(1, keyCount("NoSubsetsFound"));
    // A search its time limit ended says so; that it found none by then is no finding that there
    // is none.
    scenario->unitsNotice = "SubsetSearchStopped 120 0";
    EXPECT_EQ(1, viewer->Message("SearchSubsets"));
    EXPECT_EQ(1, keyCount("SubsetSearchStopped"));
    EXPECT_EQ(1, keyCount("NoSubsetsFound"));
    scenario->unitsNotice.clear();
    scenario->assignResult = 0;
    viewer->Message("MakeUtilitySufficient");
    EXPECT_EQ(1, keyCount("MakeSufficientError"));
    scenario->automaticMessage = "NotEnoughDesignsGenerated 2";
    viewer->Message("AutomaticHENDesign");
    ASSERT_EQ(1, keyCount("NotEnoughDesignsGenerated"));
    EXPECT_EQ(0, viewer->automaticDesignBusy);
    EXPECT_EQ(0, Session::Instance().BusyDepth());
}

TEST_F(ViewScenarioDesignCommands, TheRetrofitBaseIsChosenFromOneReadyDesignOrByTheForm) {
    bind();
    ASSERT_EQ(1, scenario->AddDesign("Existing"));
    viewer->Message("SelectRetrofitNow");
    EXPECT_TRUE(scenario->ran_("SetRetrofitBaseDesign Existing"));
    // Not ready: the design viewer shows the readiness code's key.
    scenario->retrofitCode = 11;
    viewer->Message("SelectRetrofitNow");
    EXPECT_EQ(1, keyCount("RetNoDes"));
    // Two designs: the form chooses.
    scenario->retrofitCode = 3;
    ASSERT_EQ(1, scenario->AddDesign("Other"));
    viewer->Message("SelectRetrofitNow");
    EXPECT_TRUE(opened("SelectBaseCaseForRetrofitView"));
    // Mode 1 keeps only the base; another mode asks the project for a copied scenario.
    viewer->option105_222 = 1;
    viewer->option100_217 = 1;
    scenario->ran.clear();
    viewer->Message("RetrofitNow");
    EXPECT_TRUE(scenario->ran_("SetRetrofitBaseDesign Other"));
    EXPECT_TRUE(scenario->ran_("DeleteDesignsExceptBase"));
    viewer->option100_217 = 0;
    viewer->Message("RetrofitNow");
    bool asked = false;
    for (const SessionEntry& e : Session::Instance().Entries(SessionEvent::MessageSent))
        asked = asked || (e.key == "Plant" && e.text == "CloneAndRetrofit Other");
    EXPECT_TRUE(asked);
}

TEST_F(ViewScenarioDesignCommands, UtilitySumsAndRetrofitSavingsWorkedByHand) {
    UtilityDouble steam("HP", 0, 100.0, 0.01, 8000.0), fuel("Fuel", 0, 50.0, 0.02, 8000.0), water("CW", 1, 70.0, 0.001);
    scenario->utilities = {&steam, &fuel, &water};
    bind();
    // 100 x 0.01 + 50 x 0.02; at 8000 of 8765.76 hours a year.
    EXPECT_DOUBLE_EQ(2.0, viewer->UtilityCost(0));
    EXPECT_NEAR(1.825284, viewer->GetUtilityTargetCost(0), 1e-6);
    EXPECT_EQ(-32767.0, viewer->GetUtilityTargetCost(2));

    DesignDouble base("Existing"), now("Retrofit");
    base.loads["HP"] = 500.0;
    now.loads["HP"] = 350.0;
    base.units.push_back(std::make_unique<ExchangerDouble>("E1", std::map<std::string, double>{{"Duty", 80.0}}));
    base.units.push_back(std::make_unique<ExchangerDouble>("E2", std::map<std::string, double>{{"Duty", 60.0}}));
    now.units.push_back(std::make_unique<ExchangerDouble>("E1", std::map<std::string, double>{{"Duty", 95.0}, {"AddArea", 4.0}}));
    now.units.push_back(std::make_unique<ExchangerDouble>("E2", std::map<std::string, double>{{"Duty", 40.0}, {"AddArea", 0.0}}));
    scenario->doubles = {{"Existing", &base}, {"Retrofit", &now}};
    scenario->baseName = "Existing";
    HIDesignViewerDesign selected(viewer, "Retrofit", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer->SetSelectedObject(&selected);

    // The saving of a utility: base minus current, then as a share of the base.
    EXPECT_DOUBLE_EQ(150.0, viewer->GetRetroUtility(var(1519, 312), &steam));
    viewer->flag104_313 = 1;
    EXPECT_DOUBLE_EQ(30.0, viewer->GetRetroUtility(var(1519, 312), &steam));
    viewer->flag104_313 = 0;
    // Extra duty by position, only where it grew.
    EXPECT_DOUBLE_EQ(15.0, viewer->GetAdditionalLoad(0));
    EXPECT_DOUBLE_EQ(0.0, viewer->GetAdditionalLoad(1));
    EXPECT_DOUBLE_EQ(0.0, viewer->GetAdditionalLoad(2));
    // Totals over the filtered exchangers; a total of exactly 0.0 is empty.
    selected.SetEngineeringDesign(&now, false);
    EXPECT_DOUBLE_EQ(15.0, viewer->GetTotalLoadCostArea(var(6, 330)));
    EXPECT_DOUBLE_EQ(4.0, viewer->GetTotalLoadCostArea(var(1508, 330)));
    now.units[0]->removeVariable("AddArea");
    now.units[0]->addVariable("AddArea", 0.0, 1);
    EXPECT_EQ(-32767.0, viewer->GetTotalLoadCostArea(var(1508, 330)));
    // The selected design's own figures: a total area of exactly 0.0 is empty.
    EXPECT_EQ(-32767.0, viewer->GetDesignInfo(var(1508, 250)));
    now.area = 12.5;
    EXPECT_EQ(12.5, viewer->GetDesignInfo(var(1508, 250)));
    // The summary: 1519/301 hot utility cost, absolute and as a share of the base column.
    base.utilityCost = 200.0;
    now.utilityCost = 150.0;
    EXPECT_EQ(150.0, viewer->GetRetroSummary(var(1519, 301, 0)));
    viewer->flag104_310 = 1;
    EXPECT_EQ(75.0, viewer->GetRetroSummary(var(1519, 301, 0)));
    now.utilityCost = 0.0;
    EXPECT_EQ(-32767.0, viewer->GetRetroSummary(var(1519, 301, 0))) << "a share of 0 shows empty";
    // The base case alone: utility cost needs exchangers, the area does not.
    base.units.clear();
    base.area = 33.0;
    EXPECT_EQ(-32767.0, viewer->GetBaseCaseInfo(var(1519, 270)));
    EXPECT_EQ(33.0, viewer->GetBaseCaseInfo(var(1519, 262)));
    viewer->SetSelectedObject(viewer);
}

TEST_F(ViewScenarioDesignCommands, RetrofitExchangerRowsAndNewEquipmentWorkedByHand) {
    bind();
    using Values = std::map<std::string, double>;
    DesignDouble base("Existing"), now("Retrofit");
    base.units.push_back(std::make_unique<ExchangerDouble>("E1", Values{{"HTArea", 10.0}, {"Duty", 80.0}, {"TotalNShells", 2}, {"CapitalCost", 400.0}}));
    base.units.push_back(std::make_unique<ExchangerDouble>("E2", Values{{"HTArea", 8.0}, {"Duty", 60.0}, {"TotalNShells", 1}, {"CapitalCost", 250.0}}));
    now.units.push_back(std::make_unique<ExchangerDouble>(
        "E1", Values{{"HTArea", 14.0}, {"AddArea", 4.0}, {"AdShell", 1}, {"Duty", 95.0}, {"CapitalCost", 500.0}}));
    now.units.push_back(std::make_unique<ExchangerDouble>(
        "E2", Values{{"HTArea", 8.0}, {"AddArea", 0.0}, {"AdShell", -1}, {"Duty", 60.0}, {"CapitalCost", 200.0}}));
    now.units.push_back(std::make_unique<ExchangerDouble>(
        "E3", Values{{"HTArea", 6.0}, {"TotalNShells", 1}, {"Duty", 20.0}, {"CapitalCost", 300.0}}));
    scenario->doubles = {{"Existing", &base}, {"Retrofit", &now}};
    scenario->baseName = "Existing";
    HIDesignViewerDesign selected(viewer, "Retrofit", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
    viewer->SetSelectedObject(&selected);

    // Rows of the existing exchangers: the retrofitted size, then the change.
    EXPECT_EQ(14.0, viewer->GetOldExchangers(var(1508, 291, 0)));
    EXPECT_EQ(15.0, viewer->GetOldExchangers(var(6, 292, 0)));
    EXPECT_EQ(0.0, viewer->GetOldExchangers(var(6, 292, 1))) << "no growth";
    EXPECT_EQ(1.0, viewer->GetOldExchangers(var(1519, 292, 0)));
    EXPECT_EQ(0.0, viewer->GetOldExchangers(var(31000, 292, 0))) << "no added capital recorded";
    // Rows past them are the new exchangers.
    EXPECT_EQ(6.0, viewer->GetNewExchangers(var(1508, 292, 2)));
    EXPECT_EQ(-32767.0, viewer->GetNewExchangers(var(1508, 292, 3)));
    EXPECT_EQ(20.0, viewer->GetNewHX(var(6, 712, 0)));
    EXPECT_EQ(2.0, viewer->GetNewHX(var(1519, 705, 0))) << "its place in the design";
    EXPECT_EQ("E3", viewer->GetHXinDesign(&base, 0));
    EXPECT_EQ("", viewer->GetHXinDesign(&base, 1));
    // New equipment: added area of existing exchangers, whole area of new ones (4 + 0 + 6); added
    // capital where it grew (100) and the whole cost of new ones (300).
    EXPECT_DOUBLE_EQ(10.0, viewer->NewEquipment(var(1508, 250)));
    EXPECT_DOUBLE_EQ(400.0, viewer->NewEquipment(var(31000, 201)));
    // The same over the exchangers the selected viewer shows (all of them).
    EXPECT_DOUBLE_EQ(400.0, viewer->GetTotalLoadCostArea(var(31000, 330)));
    // Added shells of a design, negative ones left out.
    EXPECT_DOUBLE_EQ(1.0, viewer->GetHXInfoByDNA("Retrofit", var(1519, 208)));
    EXPECT_EQ(-32767.0, viewer->GetHXInfoByDNA("Nowhere", var(1519, 208)));
    viewer->SetSelectedObject(viewer);
}

TEST_F(ViewScenarioDesignCommands, RankedPickersCountOnlyWhatTheyRank) {
    bind();
    EXPECT_EQ(nullptr, viewer->GetCostIndexSortedNthSatisfiedDesign(0));
    viewer->option100_251 = 5;
    EXPECT_EQ(nullptr, viewer->GetEngineeringDesign(0));
    EXPECT_EQ(-32767.0, viewer->GetMatrixInfo(var(110, 202, 0)));
    viewer->option100_251 = 0;
    ASSERT_EQ(1, scenario->AddDesign("A"));
    ASSERT_EQ(1, scenario->AddDesign("B"));
    // All designs, in dictionary order, leaving out the one named.
    EXPECT_STREQ("B", viewer->GetDesignName("A", var(1519, 248, 1)));
    EXPECT_EQ(nullptr, viewer->GetDesignName("A", var(1519, 248, 2)));
    EXPECT_EQ(nullptr, viewer->GetDesignName("A", var(1519, 248, 0)));
}

}  // namespace
