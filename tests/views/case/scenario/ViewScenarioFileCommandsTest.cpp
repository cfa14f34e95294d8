// The scenario viewer's file and import commands: capital-cost default files saved and opened
// through the file picker, spreadsheets refused or read, simulator cases imported by path, by the
// extraction's name and through the wizard's settings, and the end of an extraction. The case
// provider runs a callback of the test's own in place of the simulator import.
#include "brasko/CaseDocument.h"
#include "brasko/EngineeringManager.h"
#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/SimulatorCaseProvider.h"
#include "eng/model/ScenarioServices.h"
#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "ralvex/Case.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioViewerFixture.h"
#include "brasko/FeatureManager.h"
#include "views/case/DataExtractionView.h"
#include "views/case/HITargeting.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/grid/HENDiagram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double kEmpty = -32767.0;
const char* const kCase = "<simcase version=\"1\" name=\"Plant\"><item name=\"S1\" class=\"ppMaterialStream\"/></simcase>";
const char* const kSpreadsheetCase = "<simcase version=\"1\" name=\"s\" source=\"spreadsheet\"/>";

std::string tempPath(const std::string& name) { return ::testing::TempDir() + std::to_string(getpid()) + "-files-" + name; }

std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = tempPath(name);
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The four-stream scenario with a range-target optimum of the test's choosing.
class ImportScenario : public CPIScenario {
public:
    explicit ImportScenario(IHeatIntegrationProject* project) : CPIScenario(project, DefaultScenarioServices()) {}
    double optimumA = 10.0, optimumB = 20.0;
    int recalculated = 0, totalSite = 0;
    void RecalculateSuperTargets() override { ++recalculated; }
    void GetSuperTargetOptimum(double& a, double& b) const override { a = optimumA, b = optimumB; }
    int IsTotalSiteScenario() const override { return totalSite; }
};

class ViewScenarioFileCommands : public ::testing::Test {
protected:
    ViewScenarioFileCommands() {
        Session::Instance().Reset();
        owner = NewProjectViewerStandIn(document);
        scenario = new ImportScenario(p.project);
        scenario->SetName("Base");
        AddFourProcessStreams(*scenario);
        scenario->SetDTmin(10.0);
        viewer = NewBoundScenarioViewer(owner, scenario);
        provider = dynamic_cast<SimulatorCaseProvider*>(p.project->GetDataExtraction());
        // The stand-in of the simulator import: adds a stream per run when it succeeds, and
        // notes whether the design viewers' diagrams held their layout meanwhile.
        if (provider)
            provider->SetCaseCallback([this](auto&, Case&, IHeatIntegrationScenario& s) {
                ++runs;
                for (HIDesignViewerDesign* d : viewer->GetDesignObjs())
                    heldWhileRunning = heldWhileRunning && d->GetGridDiagram() && d->GetGridDiagram()->bHold == 1;
                if (importResult == 1 && addsStream) s.AddStream(("X" + std::to_string(runs)).c_str(), 0);
                return importResult;
            });
    }
    ~ViewScenarioFileCommands() override {
        SetAutomationStartup(false);
        delete owner;
        delete scenario;
        Session::Instance().Reset();
    }
    std::uint64_t mark() const { return Session::Instance().NextSequence() - 1; }
    std::vector<Text> keys(std::uint64_t since, SessionEvent event) const {
        std::vector<Text> out;
        for (const SessionEntry& e : Session::Instance().EntriesSince(since))
            if (e.event == event) out.push_back(event == SessionEvent::ViewOpened ? e.text : e.key);
        return out;
    }
    bool summaryOpened(std::uint64_t since) const {
        for (const Text& form : keys(since, SessionEvent::ViewOpened))
            if (form == "SummaryView") return true;
        return false;
    }
    int streams() const { return scenario->GetNumberOfProcessStreams() + scenario->GetNumberOfUtilityStreams(); }
    DefaultManager& manager() { return scenario->GetOwnDefaultManager(); }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* owner = nullptr;
    ImportScenario* scenario = nullptr;
    HIDesignViewerScenario* viewer = nullptr;
    SimulatorCaseProvider* provider = nullptr;
    int runs = 0, importResult = 1;
    bool addsStream = true, heldWhileRunning = true;
};

// ---- capital-cost default files ----

TEST_F(ViewScenarioFileCommands, PromptsOfferTheCapitalCostFilesAndACancelledPromptDoesNothing) {
    const std::uint64_t m = mark();
    EXPECT_EQ(1, viewer->Message("SaveHXCapitalCostDefaultSet"));
    EXPECT_EQ(1, viewer->Message("OpenHXCapitalCostDefaultSet"));
    const std::vector<SessionEntry> picked = Session::Instance().Entries(SessionEvent::FilePicked);
    ASSERT_EQ(2u, picked.size());
    EXPECT_EQ("SaveHIPreferences", picked[0].key);
    EXPECT_EQ(0x35, picked[0].number);
    EXPECT_EQ("OpenHIPreferences", picked[1].key);
    EXPECT_EQ(5, picked[1].number);
    for (const SessionEntry& e : picked) {
        EXPECT_EQ("HCC|HXCapitalCostDefaultFile:hcc|AllFiles:*", e.detail);
        EXPECT_TRUE(e.text.empty());
    }
    EXPECT_TRUE(keys(m, SessionEvent::Error).empty());
}

TEST_F(ViewScenarioFileCommands, ASavedSetChangedAndOpenedAgainIsRestored) {
    const std::string path = tempPath("costs.hcc");
    std::remove(path.c_str());
    scenario->SetEconomicData(0, 1500.0, "DEFAULT");
    scenario->SetEconomicData(2, 0.65, "DEFAULT");
    Session::Instance().ScriptFileName(path);
    EXPECT_EQ(1, viewer->Message("SaveHXCapitalCostDefaultSet"));
    const std::string saved = readFile(path);
    ASSERT_FALSE(saved.empty());
    scenario->SetEconomicData(0, 99.0, "DEFAULT");
    scenario->SetEconomicData(2, 0.9, "DEFAULT");
    Session::Instance().ScriptFileName(path);
    const std::uint64_t m = mark();
    EXPECT_EQ(1, viewer->Message("OpenHXCapitalCostDefaultSet"));
    EXPECT_TRUE(keys(m, SessionEvent::Error).empty());
    EXPECT_DOUBLE_EQ(1500.0, scenario->GetEconomicData(0, "DEFAULT"));
    EXPECT_DOUBLE_EQ(0.65, scenario->GetEconomicData(2, "DEFAULT"));
    // Saved again over the same file: the same set, whole.
    Session::Instance().ScriptFileName(path);
    viewer->Message("SaveHXCapitalCostDefaultSet");
    EXPECT_EQ(saved, readFile(path));
    std::remove(path.c_str());
}

TEST_F(ViewScenarioFileCommands, AWriteProtectedFileIsRefusedAndStaysAsItWas) {
    const std::string path = writeFile("locked.hcc", "someone else's file");
    ASSERT_EQ(0, ::chmod(path.c_str(), 0444));
    Session::Instance().ScriptFileName(path);
    const std::uint64_t m = mark();
    EXPECT_EQ(0, viewer->Message("SaveHXCapitalCostDefaultSet"));
    EXPECT_EQ(std::vector<Text>{"FileWriteProtected"}, keys(m, SessionEvent::Error));
    EXPECT_EQ("someone else's file", readFile(path));
    ::chmod(path.c_str(), 0644);
    std::remove(path.c_str());
}

TEST_F(ViewScenarioFileCommands, FilesThatCannotBeWrittenOrReadAreReportedAndTheSetStays) {
    scenario->SetEconomicData(0, 700.0, "DEFAULT");
    struct Case {
        const char* word;
        std::string path;
        const char* key;
    } cases[] = {
        {"SaveHXCapitalCostDefaultSet", tempPath("no-such-folder/costs.hcc"), "SavePreferenceError"},
        {"OpenHXCapitalCostDefaultSet", tempPath("missing.hcc"), "RecallPreferenceError"},
        {"OpenHXCapitalCostDefaultSet", writeFile("garbage.hcc", "not a defaults file"), "RecallPreferenceError"},
    };
    for (const Case& c : cases) {
        Session::Instance().ScriptFileName(c.path);
        const std::uint64_t m = mark();
        EXPECT_EQ(0, viewer->Message(c.word)) << c.path;
        EXPECT_EQ(std::vector<Text>{c.key}, keys(m, SessionEvent::Error)) << c.path;
    }
    EXPECT_DOUBLE_EQ(700.0, scenario->GetEconomicData(0, "DEFAULT"));
}

// ---- spreadsheets ----

struct SheetCase {
    const char* name;
    const char* content;  // null: no file
    const char* key;      // the message shown; null: none
    int extracted;        // extractedData afterwards
};
void PrintTo(const SheetCase& c, std::ostream* os) {
    *os << c.name << ": " << (c.key ? c.key : "no message");
}
class ViewScenarioSpreadsheets : public ViewScenarioFileCommands, public ::testing::WithParamInterface<SheetCase> {};
TEST_P(ViewScenarioSpreadsheets, OnlyAnExistingXlsFileIsReadAndOnlyAReadOneCounts) {
    const SheetCase& c = GetParam();
    const std::string path = c.content ? writeFile(c.name, c.content) : tempPath(c.name);
    if (!c.content) std::remove(path.c_str());
    Session::Instance().ScriptFileName(path);
    const std::uint64_t m = mark();
    // A file not read answers 0, with the message that says why.
    EXPECT_EQ(c.key ? 0 : 1, viewer->Message("OpenExcelFile"));
    const std::vector<SessionEntry> picked = Session::Instance().Entries(SessionEvent::FilePicked);
    ASSERT_EQ(1u, picked.size());
    EXPECT_EQ("OpenExcelFile", picked[0].key);
    EXPECT_EQ(5, picked[0].number);
    EXPECT_EQ("XLS|ExcelFiles:xls|AllFiles:*", picked[0].detail);
    std::vector<Text> errors = keys(m, SessionEvent::Error);
    // A sheet read into a scenario that has streams warns first.
    if (!errors.empty() && errors[0] == "ExistingStreamBeforeExtract") errors.erase(errors.begin());
    EXPECT_EQ(c.key ? std::vector<Text>{c.key} : std::vector<Text>{}, errors);
    EXPECT_EQ(c.extracted, viewer->GetExtractedData());
    // A segment table is no spreadsheet case: no summary form.
    EXPECT_FALSE(summaryOpened(m));
}
INSTANTIATE_TEST_SUITE_P(
    ViewSheets, ViewScenarioSpreadsheets,
    ::testing::Values(SheetCase{"absent.xls", nullptr, "ErrorFingingFile", 0},
                      SheetCase{"newer.xlsx", "Stream\n", "InvalidExcelFile", 0},
                      SheetCase{"table.csv", "Stream\n", "InvalidExcelFile", 0},
                      SheetCase{"noextension", "Stream\n", "InvalidExcelFile", 0},
                      SheetCase{"empty.xls", "", "CouldNotBuildExcelCase", 0},
                      SheetCase{"bad-row.xls",
                                "Stream,,Supply,Target,CP,Enthalpy,,h,,Mass flow,Cp,Scope,DTmin\n"
                                ",,C,C,kW/C,kW,,kW/m2-C,,kg/s,kJ/kg-C,,C\n"
                                "H1,,abc,60,3,,,,,,,,\n",
                                "CouldNotBuildExcelCase", 0},
                      SheetCase{"segments.xls",
                                "Stream,,Supply,Target,CP,Enthalpy,,h,,Mass flow,Cp,Scope,DTmin\n"
                                ",,C,C,kW/C,kW,,kW/m2-C,,kg/s,kJ/kg-C,,C\n"
                                "H1,,170,100,3,,,,,,,,\nH1,,100,60,3,,,,,,,,\n",
                                nullptr, 1},
                      SheetCase{"upper.XLS",
                                "Stream,,Supply,Target,CP,Enthalpy,,h,,Mass flow,Cp,Scope,DTmin\n"
                                ",,C,C,kW/C,kW,,kW/m2-C,,kg/s,kJ/kg-C,,C\n"
                                "H1,,170,60,3,,,,,,,,\n",
                                nullptr, 1}));

TEST_F(ViewScenarioFileCommands, ASpreadsheetCaseSetsTheOptimumDTminAndOpensTheSummaryOnlyWhenRead) {
    ASSERT_NE(nullptr, provider);
    const std::string path = writeFile("case.xls", kSpreadsheetCase);
    importResult = 0;
    std::uint64_t m = mark();
    EXPECT_EQ(0, viewer->TransferInformationFromExcel(path));
    EXPECT_EQ(0, viewer->GetExtractedData());
    EXPECT_FALSE(summaryOpened(m));
    EXPECT_DOUBLE_EQ(10.0, scenario->GetDTmin());
    importResult = 1;
    m = mark();
    EXPECT_EQ(1, viewer->TransferInformationFromExcel(path));
    EXPECT_EQ(1, viewer->GetExtractedData());
    EXPECT_EQ(5, scenario->GetNumberOfProcessStreams());
    EXPECT_DOUBLE_EQ(15.0, scenario->GetDTmin());
    // The summary is closed, then opened afresh.
    EXPECT_EQ(std::vector<Text>{"Base"}, keys(m, SessionEvent::FormClosed));
    EXPECT_TRUE(summaryOpened(m));
    EXPECT_EQ(0, Session::Instance().BusyDepth());
}

// ---- simulator cases ----

TEST_F(ViewScenarioFileCommands, ACaseImportedByPathIsReportedOnlyWhenRead) {
    ASSERT_NE(nullptr, provider);
    ASSERT_EQ(1, scenario->AddDesign("D1"));
    std::uint64_t m = mark();
    EXPECT_EQ(0, viewer->Message("ImportFromVelmor " + tempPath("absent.vmc")));
    EXPECT_EQ(std::vector<Text>{"CouldNotFindVelmorFile"}, keys(m, SessionEvent::Error));
    EXPECT_EQ(0, runs);
    const std::string path = writeFile("plant.vmc", kCase);
    importResult = 0;
    m = mark();
    EXPECT_EQ(0, viewer->Message("ImportFromVelmor " + path));
    EXPECT_EQ(std::vector<Text>{"CouldNotBuildVelmorCase"}, keys(m, SessionEvent::Error));
    EXPECT_EQ(0, viewer->GetExtractedData());
    EXPECT_FALSE(summaryOpened(m));
    importResult = 1;
    m = mark();
    EXPECT_EQ(1, viewer->Message("ImportFromVelmor " + path));
    EXPECT_TRUE(keys(m, SessionEvent::Error).empty());
    EXPECT_EQ(1, viewer->GetExtractedData());
    EXPECT_TRUE(summaryOpened(m));
    EXPECT_EQ(2, runs);
    // The diagram held its layout during the import and no longer does.
    EXPECT_TRUE(heldWhileRunning);
    EXPECT_EQ(0, viewer->GetDesignObjs()[0]->GetGridDiagram()->bHold);
    EXPECT_EQ(0, Session::Instance().BusyDepth());
}

TEST_F(ViewScenarioFileCommands, TheImportWordTakesANumberAndATrimmedPath) {
    ASSERT_NE(nullptr, provider);
    const std::string path = writeFile("named.vmc", kCase);
    // Not a number: the name "XYZ", not cached (the extraction holds no such case).
    viewer->Message("ImportVelmorScenario " + path);
    EXPECT_EQ(0, runs);
    viewer->Message("ImportVelmorScenario");
    EXPECT_EQ(0, runs);
    // "1 path": that case, kept cached.
    viewer->Message("ImportVelmorScenario 1   " + path + "  \t");
    EXPECT_EQ(1, runs);
    Case* held = provider->GetCase(path.c_str());
    ASSERT_NE(nullptr, held);
    EXPECT_TRUE(held->GetCaseCached());
    // "0 path": that case, not cached.
    viewer->Message("ImportVelmorScenario 0 " + path);
    EXPECT_EQ(2, runs);
    // Under automation the simulator's utilities are asked for first.
    SetAutomationStartup(true);
    const std::uint64_t m = mark();
    viewer->Message("ImportVelmorScenario 1 " + path);
    EXPECT_EQ((std::vector<Text>{"SimulationUtilityDatabase", "UtilitiesFromSimulation"}), keys(m, SessionEvent::ConfigSet));
}

struct GrowthCase {
    bool automation;
    int result;      // the extraction's
    bool grows;
    int answer;      // ImportVelmorScenario's
    const char* key;  // the error shown ("" none)
    bool closed;      // the wizard closed
};
void PrintTo(const GrowthCase& c, std::ostream* os) {
    *os << (c.automation ? "automation" : "interactive") << ", result " << c.result << (c.grows ? ", grows" : "");
}
class ViewScenarioImportGrowth : public ViewScenarioFileCommands, public ::testing::WithParamInterface<GrowthCase> {};
TEST_P(ViewScenarioImportGrowth, AnImportThatAddsNoStreamIsNotASuccess) {
    const GrowthCase& c = GetParam();
    ASSERT_NE(nullptr, provider);
    const std::string path = writeFile("growth.vmc", kCase);
    viewer->Message("CheckForSimulationReady");
    ASSERT_NE(nullptr, viewer->GetDataExtractionView());
    SetAutomationStartup(c.automation);
    importResult = c.result;
    addsStream = c.grows;
    const int before = streams();
    const std::uint64_t m = mark();
    EXPECT_EQ(c.answer, viewer->ImportVelmorScenario(path, false));
    EXPECT_EQ(before + (c.grows && c.result == 1 ? 1 : 0), streams());
    EXPECT_EQ(*c.key ? std::vector<Text>{c.key} : std::vector<Text>{}, keys(m, SessionEvent::Error));
    bool closed = false;
    for (const SessionEntry& e : Session::Instance().EntriesSince(m))
        closed = closed || (e.event == SessionEvent::MessageSent && e.text == "CloseView");
    EXPECT_EQ(c.closed, closed);
}
INSTANTIATE_TEST_SUITE_P(ViewImports, ViewScenarioImportGrowth,
                         // A case the extraction could not read is no success with or without a user.
                         ::testing::Values(GrowthCase{false, 1, true, 1, "", false},
                                           GrowthCase{false, 1, false, 0, "NoStreamsExtracted", true},
                                           GrowthCase{false, 0, false, 0, "CouldNotBuildVelmorCase", false},
                                           GrowthCase{true, 1, false, 1, "", false},
                                           GrowthCase{true, 0, false, 0, "CouldNotBuildVelmorCase", false},
                                           GrowthCase{true, 1, true, 1, "", false}));

TEST_F(ViewScenarioFileCommands, TheWizardsExtractionReportsTheFirstMissingFile) {
    ASSERT_NE(nullptr, provider);
    // Without a wizard nothing is set up to extract, and nothing fails.
    EXPECT_EQ(1, viewer->BuildRalvexCase());
    viewer->Message("CheckForSimulationReady");
    DataExtractionConfig* config = scenario->GetDataExtractionConfig();
    {
        // A manager on its factory defaults names no file: the wizard goes on to the case.
        config->SetFileToExtract(tempPath("absent.vmc").c_str());
        config->SetSettingValue("SimulatorFileType", 0);
        const std::uint64_t m = mark();
        EXPECT_EQ(0, viewer->BuildRalvexCase());
        EXPECT_EQ(std::vector<Text>{"CouldNotFindVelmorFile"}, keys(m, SessionEvent::Error));
    }
    const std::string utilities = tempPath("site.hud"), economics = tempPath("site.hcc");
    ASSERT_TRUE(manager().WriteDefaultsFile(utilities.c_str(), SRT_Utilities));
    ASSERT_TRUE(manager().WriteDefaultsFile(economics.c_str(), SRT_Economics));
    ASSERT_TRUE(manager().ReadDefaultsFile(utilities.c_str(), SRT_Utilities));
    ASSERT_TRUE(manager().ReadDefaultsFile(economics.c_str(), SRT_Economics));
    const std::string casePath = writeFile("wizard.vmc", kCase);
    config->SetFileToExtract(casePath.c_str());
    struct Row {
        bool utilitiesThere, economicsThere, caseThere;
        int kind;
        const char* key;  // null: none
        int result;
    } rows[] = {
        {false, false, false, 0, "CouldNotFindUtilityFile", 0}, {true, false, false, 0, "CouldNotFindCapCostFile", 0},
        {true, true, false, 0, "CouldNotFindVelmorFile", 0},    {true, true, false, 1, "CouldNotFindQuorvexCase", 0},
        {true, true, false, 2, "CouldNotFindPROIICase", 0},     {true, true, false, 7, nullptr, 0},
    };
    const std::string hud = readFile(utilities), hcc = readFile(economics);
    for (const Row& r : rows) {
        std::remove(utilities.c_str());
        std::remove(economics.c_str());
        std::remove(casePath.c_str());
        if (r.utilitiesThere) writeFile("site.hud", hud);
        if (r.economicsThere) writeFile("site.hcc", hcc);
        if (r.caseThere) writeFile("wizard.vmc", kCase);
        config->SetSettingValue("SimulatorFileType", r.kind);
        const std::uint64_t m = mark();
        EXPECT_EQ(r.result, viewer->BuildRalvexCase()) << r.kind;
        EXPECT_EQ(r.key ? std::vector<Text>{r.key} : std::vector<Text>{}, keys(m, SessionEvent::Error)) << r.kind;
    }
    EXPECT_EQ(0, runs);
    // Every file there: the case is read into the scenario, which had streams already.
    writeFile("wizard.vmc", kCase);
    config->SetSettingValue("SimulatorFileType", 0);
    std::uint64_t m = mark();
    EXPECT_EQ(1, viewer->BuildRalvexCase());
    EXPECT_EQ(std::vector<Text>{"ExistingStreamBeforeExtract"}, keys(m, SessionEvent::Error));
    EXPECT_EQ(1, runs);
    EXPECT_EQ(5, scenario->GetNumberOfProcessStreams());
    importResult = 0;
    m = mark();
    EXPECT_EQ(0, viewer->BuildRalvexCase());
    EXPECT_EQ((std::vector<Text>{"ExistingStreamBeforeExtract", "CouldNotBuildVelmorCase"}), keys(m, SessionEvent::Error));
    EXPECT_EQ(0, Session::Instance().BusyDepth());
    for (const std::string& f : {utilities, economics, casePath}) std::remove(f.c_str());
}

struct FinishCase {
    double a, b;
    bool automation;
    int totalSite;
    double dTmin;  // afterwards
    bool summary;
};
void PrintTo(const FinishCase& c, std::ostream* os) {
    *os << (c.automation ? "automation" : "interactive") << ", total site " << c.totalSite << ": DTmin " << c.dTmin;
}
class ViewScenarioFinish : public ViewScenarioFileCommands, public ::testing::WithParamInterface<FinishCase> {};
TEST_P(ViewScenarioFinish, DTminGoesToTheMiddleOfTheOptimumWhenBothEndsAreKnown) {
    const FinishCase& c = GetParam();
    scenario->optimumA = c.a;
    scenario->optimumB = c.b;
    scenario->totalSite = c.totalSite;
    SetAutomationStartup(c.automation);
    const std::uint64_t m = mark();
    EXPECT_EQ(1, viewer->Message("FinishExtraction"));
    EXPECT_DOUBLE_EQ(c.dTmin, scenario->GetDTmin());
    EXPECT_EQ(1, viewer->GetExtractedData());
    EXPECT_EQ(c.summary, summaryOpened(m));
    EXPECT_EQ(c.summary && !c.automation && !c.totalSite ? 1 : 0, scenario->recalculated);
}
INSTANTIATE_TEST_SUITE_P(ViewFinish, ViewScenarioFinish,
                         ::testing::Values(FinishCase{12.0, 18.0, false, 0, 15.0, true},
                                           FinishCase{5.0, 6.0, false, 0, 5.5, true},
                                           FinishCase{kEmpty, 18.0, false, 0, 10.0, true},
                                           FinishCase{12.0, kEmpty, false, 0, 10.0, true},
                                           FinishCase{12.0, 18.0, true, 0, 10.0, false},
                                           FinishCase{12.0, 18.0, false, 1, 10.0, true}));

// A single-scenario case imports the case the extraction holds under its import name; an
// import that brought a design of its own replaces the case's first design.
TEST(ViewScenarioCaseImport, AnImportThatBringsADesignReplacesTheFirstOne) {
    Session::Instance().Reset();
    EngineeringManager manager;
    CaseDocument document{"case", &manager};
    auto* features = new ExpMgrView(&document);
    auto* single = static_cast<HITargeting*>(HITargeting::BuildHITargeting(features, "C"));
    ASSERT_NE(nullptr, single);
    IHeatIntegrationScenario* scenario = single->GetmyScenario();
    ASSERT_NE(nullptr, scenario);
    auto* provider = dynamic_cast<SimulatorCaseProvider*>(single->GetProject()->GetDataExtraction());
    ASSERT_NE(nullptr, provider);
    int result = 1;
    provider->SetCaseCallback([&](auto&, Case&, IHeatIntegrationScenario& s) {
        if (result == 1) s.AddStream("S1", 0), s.AddDesign("SimulationBaseCase");
        return result;
    });
    // Nothing held under the name: no case found, nothing came in, the first design stays.
    char here[4096] = {};
    ASSERT_NE(nullptr, ::getcwd(here, sizeof here));
    std::uint64_t m = Session::Instance().NextSequence() - 1;
    EXPECT_EQ(0, single->Message("ImportVelmorScenario"));
    bool reported = false;
    for (const SessionEntry& e : Session::Instance().EntriesSince(m)) reported = reported || e.key == "CouldNotFindVelmorFile";
    EXPECT_TRUE(reported);
    EXPECT_EQ(1, scenario->GetNumberOfDesigns());
    // The import name held as a case (a file of that name where the extraction looks).
    const std::string folder = ::testing::TempDir() + std::to_string(getpid()) + "-import";
    ::mkdir(folder.c_str(), 0755);
    ASSERT_EQ(0, ::chdir(folder.c_str()));
    std::ofstream("XYZ") << kCase;
    result = 0;
    EXPECT_EQ(0, single->Message("ImportVelmorScenario"));
    EXPECT_EQ(1, scenario->GetNumberOfDesigns());
    result = 1;
    EXPECT_EQ(1, single->Message("ImportVelmorScenario"));
    std::remove("XYZ");
    EXPECT_EQ(0, ::chdir(here));
    ::rmdir(folder.c_str());
    ASSERT_EQ(1, scenario->GetNumberOfDesigns());
    EXPECT_EQ("SimulationBaseCase", Text(scenario->GetDesignName(0)));
    delete features;
    Session::Instance().Reset();
}

}  // namespace
