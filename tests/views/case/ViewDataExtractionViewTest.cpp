// The extraction wizard driven through its hooks as a form drives it: settings taken or refused
// as the wizard checks them, its pages and captions, files typed in and browsed, the readiness
// of the three files, the utilities of the existing network's heaters and coolers, the
// sub-flowsheets, its record through the view records, and its form closing.
#include "brasko/CaseDocument.h"
#include "brasko/ConfigurationStore.h"
#include "brasko/DefaultManager.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/IDataExtraction.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/Session.h"
#include "lumeth/ViewRecords.h"
#include "pellin/CNode.h"
#include "tests/support/FourStreamProject.h"
#include "views/case/DataExtractionView.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// A file of the test's own in the temporary folder (named for the process: test programs may run
// side by side).
std::string tempPath(const std::string& name) { return ::testing::TempDir() + std::to_string(getpid()) + "-" + name; }

std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = tempPath(name);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    return path;
}

// A feed heated in two heaters (to 90 C, then to 150 C) and cooled in a trim cooler to 60 C:
// 2 kg/s, specific heat 2.0 kJ/kg K below 90 C and 3.0 above.
const char* const kTrain = R"(<?xml version="1.0"?>
<simcase version="1" name="Train">
  <item name="F1" class="ppMaterialStream"><num name="Temperature">30</num><num name="MassFlow">2</num>
    <num name="HeatFlow">0</num><num name="MolarEnthalpy">-30000</num><list name="CompMolarFraction">0.4 0.6</list>
    <link to="E1"/></item>
  <item name="E1" class="htHeater"><num name="Duty">240</num><group name="PropertyTable"><group name="F1">
    <list name="prpTemperature">30 60 89.9</list><list name="prpMassEnthalpy">0 60 119.8</list>
    <list name="prpMassVapourFraction">0 0 0</list></group></group><link to="F2"/></item>
  <item name="F2" class="ppMaterialStream"><num name="Temperature">90</num><num name="MassFlow">2</num>
    <num name="HeatFlow">240</num><num name="MolarEnthalpy">-28000</num><list name="CompMolarFraction">0.4 0.6</list>
    <link to="E2"/></item>
  <item name="E2" class="htHeater"><num name="Duty">360</num><group name="PropertyTable"><group name="F2">
    <list name="prpTemperature">90 120 150</list><list name="prpMassEnthalpy">120 210 300</list>
    <list name="prpMassVapourFraction">0 0 0</list></group></group><link to="F3"/></item>
  <item name="F3" class="ppMaterialStream"><num name="Temperature">150</num><num name="MassFlow">2</num>
    <num name="HeatFlow">600</num><num name="MolarEnthalpy">-25000</num><list name="CompMolarFraction">0.4 0.6</list>
    <link to="C1"/></item>
  <item name="C1" class="htCooler"><num name="Duty">480</num><group name="PropertyTable"><group name="F3">
    <list name="prpTemperature">150 90 60</list><list name="prpMassEnthalpy">300 120 60</list>
    <list name="prpMassVapourFraction">0 0 0</list></group></group><link to="F4"/></item>
  <item name="F4" class="ppMaterialStream"><num name="Temperature">60</num><num name="MassFlow">2</num>
    <num name="HeatFlow">120</num><num name="MolarEnthalpy">-29000</num><list name="CompMolarFraction">0.4 0.6</list></item>
</simcase>
)";

VarDescription address(const char* text) {
    VarDescription var;
    EXPECT_TRUE(VarDescription::Parse(text, var)) << text;
    return var;
}

Text lastErrorKey(std::uint64_t since) {
    Text key;
    for (const SessionEntry& e : Session::Instance().EntriesSince(since))
        if (e.event == SessionEvent::Error) key = e.key;
    return key;
}

class ViewDataExtractionView : public ::testing::Test {
protected:
    ViewDataExtractionView() {
        Session::Instance().Reset();
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetName("Plant");
        root->SetDocument(&document);
        wizard = new DataExtractionView(root, p.scenario->GetDataExtractionConfig(), p.scenario);
    }
    ~ViewDataExtractionView() override { delete root; }

    DataExtractionConfig& config() { return *p.scenario->GetDataExtractionConfig(); }
    double get(const char* a) { return wizard->Value(address(a)); }
    Text text(const char* a) { return wizard->TextValue(address(a)); }
    int dims(const char* a) {
        DimInfo d;
        wizard->Dimensions(address(a), d);
        return d.NumberOfDims() ? d.Dim(0) : -1;
    }
    std::uint64_t mark() const { return Session::Instance().NextSequence() - 1; }
    // Extracts the heater-cooler train into the scenario: "SimulationBaseCase" with E1, E2, C1.
    void extractTrain() {
        const std::string path = writeFile("wizard-train.vmc", kTrain);
        IDataExtraction* extraction = p.project->GetDataExtraction();
        ASSERT_NE(nullptr, extraction);
        ASSERT_NE(nullptr, extraction->GetCase(path.c_str()));
        p.scenario->ExtractFromVelmorCase(path.c_str(), extraction->GetDocumentCase());
        IHENDesign* design = nullptr;
        ASSERT_TRUE(p.scenario->GetDesign(CPString("SimulationBaseCase"), design));
        ASSERT_EQ(2, design->GetNumberOfHeaters());
        ASSERT_EQ(1, design->GetNumberOfCoolers());
    }
    double duty(bool heater, int i) {
        IHENDesign* design = nullptr;
        p.scenario->GetDesign(CPString("SimulationBaseCase"), design);
        double d = -1.0;
        (heater ? design->GetHeater(i) : design->GetCooler(i))->getVariableAsDouble("Duty", d);
        return d;
    }
    int hotIndex(const char* name) { return wizard->HotUtilityNames().FindEntry(Text(name)); }
    int coldIndex(const char* name) { return wizard->ColdUtilityNames().FindEntry(Text(name)); }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
    DataExtractionView* wizard = nullptr;
};

TEST_F(ViewDataExtractionView, SettingsAreTakenOrRefusedAsTheWizardChecksThem) {
    const struct {
        const char* address;
        double value;
        int result;
        const char* error;
        const char* setting;
        double stored;  // the setting afterwards
    } rows[] = {
        {"ExtraData.210", 0.0, 0, "NegativeSegmentTolerance", "SegmentTolerances", 0.9},
        {"ExtraData.210", 1.0, 0, "NegativeSegmentTolerance", "SegmentTolerances", 0.9},
        {"ExtraData.210", 1.5, 0, "NegativeSegmentTolerance", "SegmentTolerances", 0.9},
        {"ExtraData.210", 0.5, 1, "", "SegmentTolerances", 0.5},
        {"ExtraData.211", 1.0, 0, "MaxSegmentsTooSmall", "MaxNumberOfSegments", 5.0},
        {"ExtraData.211", 2.0, 1, "", "MaxNumberOfSegments", 2.0},
        {"ExtraData.211", -32767.0, 1, "", "MaxNumberOfSegments", -32767.0},
        {"ExtraData.300", 7.0, 0, "SimulatorFileTypeUnknown", "SimulatorFileType", 0.0},
        {"ExtraData.300", -1.0, 0, "SimulatorFileTypeUnknown", "SimulatorFileType", 0.0},
        {"ExtraData.300", 1.5, 0, "SimulatorFileTypeUnknown", "SimulatorFileType", 0.0},
        {"ExtraData.300", 2.0, 1, "", "SimulatorFileType", 2.0},
        {"ExtraData.301", 1.0, 1, "", "SimulatorFileType", 1.0},
        // The form asks whether to leave a live-steam segment out: the setting's inverse.
        {"Switch.208", 1.0, 1, "", "UseSubCoolLiveSteam", 0.0},
        {"Switch.208", 0.0, 1, "", "UseSubCoolLiveSteam", 1.0},
        {"Switch.209", 1.0, 1, "", "UseSuperHeatLiveSteam", 0.0},
        {"Switch.211", 1.0, 1, "", "DoIExtractLiveSteam", 1.0},
        {"Switch.201", 1.0, 1, "", "DoIUseSegments", 1.0},
        {"Switch.207", 0.0, 1, "", "ShiftTempsForPumps", 0.0},
        {"Switch.414", 1.0, 1, "", "DoIExtractReactionHeat", 1.0},
        {"Temperature.201", 35.0, 1, "", "UserSuppliedAmbientTemperature", 35.0},
        // A check box is 0 or 1: anything else is refused, and the setting stays.
        {"Switch.201", -3.0, 0, "SpecRange", "DoIUseSegments", 0.0},
        {"Switch.201", 0.5, 0, "SpecRange", "DoIUseSegments", 0.0},
        {"Switch.201", 2.0, 0, "SpecRange", "DoIUseSegments", 0.0},
        {"Switch.208", 2.0, 0, "SpecRange", "UseSubCoolLiveSteam", 1.0},
        {"Switch.414", 0.5, 0, "SpecRange", "DoIExtractReactionHeat", 0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.address) + " = " + std::to_string(r.value));
        DataExtractionConfig settings;
        DataExtractionView w(nullptr, &settings, p.scenario);
        const std::uint64_t before = mark();
        EXPECT_EQ(r.result, SpecifyValue(&w, r.address, r.value));
        EXPECT_EQ(Text(r.error), lastErrorKey(before));
        double stored = 0.0;
        ASSERT_EQ(1, settings.GetSettingValue(r.setting, stored));
        EXPECT_DOUBLE_EQ(r.stored, stored);
        // What was taken reads back in the form's own sense.
        if (r.result == 1) {
            EXPECT_DOUBLE_EQ(r.value, w.Value(address(r.address)));
        }
    }
}

TEST_F(ViewDataExtractionView, AKindIsTakenWithItsImportFolderAndPROIIOnlyWhereAllowed) {
    GetConfigurationStore().Set("QuorvexImportFilePath", "/plant/backups");
    ASSERT_EQ(1, SpecifyValue(wizard, "ExtraData.300", 1.0));
    EXPECT_EQ("/plant/backups", config().GetSettingText("VelmorFileToExtract"));
    wizard->SetAllowProIIFiles(false);
    const std::uint64_t before = mark();
    EXPECT_EQ(0, SpecifyValue(wizard, "ExtraData.300", 2.0));
    EXPECT_EQ("SimulatorFileTypeNoProII", lastErrorKey(before));
    EXPECT_EQ(1.0, config().GetSetting("SimulatorFileType"));
    GetConfigurationStore().Remove("QuorvexImportFilePath");
}

TEST_F(ViewDataExtractionView, WithoutSettingsNothingIsReadOrStored) {
    DataExtractionView w(nullptr, nullptr, p.scenario);
    for (const char* a : {"Switch.201", "ExtraData.210", "Temperature.201", "Switch.212", "Switch.216", "Switch.217.0"})
        EXPECT_EQ(-32767.0, w.Value(address(a))) << a;
    // The inverted switches read 0 rather than empty.
    EXPECT_EQ(0.0, w.Value(address("Switch.208")));
    EXPECT_EQ(0, SpecifyValue(&w, "ExtraData.210", 0.5));
    EXPECT_EQ(0, SpecifyValue(&w, "Switch.212", 1.0));
    // Commands need settings: they go to the framework.
    EXPECT_EQ(0, SendViewableMessage(&w, "GoToNextPage"));
    EXPECT_EQ(0, w.GetCurrentPage());
    // A missing setting reads 0 as a switch, empty as a number; live steam reads as taken.
    DataExtractionConfig sparse;
    sparse.GetSettings()->ClearSubValues();
    DataExtractionView s(nullptr, &sparse, p.scenario);
    EXPECT_EQ(0.0, s.Value(address("Switch.201")));
    EXPECT_EQ(1.0, s.Value(address("Switch.208")));
    EXPECT_EQ(1.0, s.Value(address("Switch.211")));
    EXPECT_EQ(-32767.0, s.Value(address("ExtraData.210")));
    EXPECT_EQ(-32767.0, s.Value(address("Temperature.201")));
}

TEST_F(ViewDataExtractionView, PagesStayWithinTheWizardAndDecideTheStepsAndTheCaption) {
    config().SetFileToExtract("/cases/plant.vmc");
    const double expected219[] = {0, 1, 1, 0, 0, 1, 1, 1, 1};
    // At either end nothing moves, and the user is told why.
    std::uint64_t before = mark();
    EXPECT_EQ(0, SendViewableMessage(wizard, "GoToPrevPage"));
    EXPECT_EQ("ExtractionWizardFirstPage", lastErrorKey(before));
    for (int page = 0; page <= 8; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(page, wizard->GetCurrentPage());
        EXPECT_EQ(page, get("ExtraData.220"));
        EXPECT_EQ(expected219[page], get("Switch.219"));
        if (page == 0 || page == 8) EXPECT_EQ("Data extraction from plant.vmc", wizard->GetCaption());
        else EXPECT_EQ(FormattedText("Data extraction from plant.vmc: step %d of 7", page), wizard->GetCaption());
        before = mark();
        EXPECT_EQ(page < 8 ? 1 : 0, SendViewableMessage(wizard, "GoToNextPage"));
        EXPECT_EQ(page < 8 ? "" : "ExtractionWizardLastPage", lastErrorKey(before));
    }
    EXPECT_EQ(8, wizard->GetCurrentPage());
    EXPECT_EQ(1, SendViewableMessage(wizard, "GoToPrevPage"));
    EXPECT_EQ("Data extraction from plant.vmc: step 7 of 7", wizard->GetCaption());
    // Each caption is a journal entry.
    EXPECT_EQ("Data extraction from plant.vmc: step 7 of 7", Session::Instance().Entries(SessionEvent::Caption).back().text);
    EXPECT_EQ(1, SendViewableMessage(wizard, "ModifyUtility"));
    EXPECT_EQ(1.0, get("Switch.218"));
    EXPECT_EQ(1, SendViewableMessage(wizard, "LockUtility"));
    EXPECT_EQ(0.0, get("Switch.218"));
}

TEST_F(ViewDataExtractionView, ASimulatorFileTypedInMustBeACaseWhileBrowsingTakesTheKindsOwn) {
    const std::string vmc = writeFile("wizard plant.vmc", "<simcase/>");
    const std::string bkp = writeFile("wizard-plant.bkp", "backup");
    ASSERT_EQ(1, SpecifyValue(wizard, "ExtraData.300", 1.0));
    std::uint64_t before = mark();
    EXPECT_EQ(0, SpecifyValueText(wizard, "ExtraData.203", bkp.c_str()));
    EXPECT_EQ("CouldNotFindVelmorFile", lastErrorKey(before));
    EXPECT_EQ(0.0, config().GetSetting("VelmorCaseFileIsReady"));
    before = mark();
    EXPECT_EQ(0, SpecifyValueText(wizard, "ExtraData.203", "/no/such/plant.vmc"));
    EXPECT_EQ("ErrorFingingFile", lastErrorKey(before));
    // The same backup browsed with kind 1 is taken.
    Session::Instance().ScriptFileName(bkp.c_str());
    before = mark();
    EXPECT_EQ(1, SendViewableMessage(wizard, "BrowseSimulationFile"));
    EXPECT_EQ("", lastErrorKey(before));
    EXPECT_EQ(Text(bkp), text("ExtraData.203"));
    EXPECT_EQ(1.0, config().GetSetting("VelmorCaseFileIsReady"));
    // A typed case is taken and names the caption.
    ASSERT_EQ(1, SpecifyValueText(wizard, "ExtraData.203", vmc.c_str()));
    EXPECT_EQ(Text(vmc.substr(vmc.find_last_of('/') + 1)), wizard->GetCaption());
    EXPECT_EQ(" plant.vmc", wizard->GetCaption().substr(wizard->GetCaption().size() - 10));
    EXPECT_EQ(Text(vmc), wizard->GetFileToExtract());

    // Each kind prompts with its own title and takes its own extension only.
    const struct {
        double kind;
        const char* title;
        const std::string& file;
        const char* error;
    } browse[] = {{0, "ImportVelmorFile", vmc, ""},
                  {0, "ImportVelmorFile", bkp, "InvalidSimulationFile"},
                  {1, "ImportQuorvexCase", vmc, "InvalidSimulationFile"},
                  {2, "ImportPROIICase", bkp, "InvalidSimulationFile"}};
    for (const auto& b : browse) {
        SCOPED_TRACE(b.title);
        ASSERT_EQ(1, SpecifyValue(wizard, "ExtraData.300", b.kind));
        Session::Instance().ScriptFileName(b.file.c_str());
        before = mark();
        EXPECT_EQ(*b.error ? 0 : 1, SendViewableMessage(wizard, "BrowseSimulationFile"));
        EXPECT_EQ(Text(b.error), lastErrorKey(before));
        EXPECT_EQ(b.title, Session::Instance().Entries(SessionEvent::FilePicked).back().key);
    }
    // Cancelled: nothing changes.
    before = mark();
    EXPECT_EQ(0, SendViewableMessage(wizard, "BrowseSimulationFile"));
    EXPECT_EQ("", lastErrorKey(before));
}

TEST_F(ViewDataExtractionView, TakingTheSimulationsUtilityDatabaseTakesItsUtilitiesForTheUnitsToo) {
    SetConfigData("SimulationUtilityDatabase", 0.0);
    SetConfigData("UtilitiesFromSimulation", 0.0);
    ASSERT_EQ(1, SpecifyValue(wizard, "Switch.212", 1.0));
    EXPECT_EQ(1.0, get("Switch.212"));
    EXPECT_EQ(1.0, get("Switch.213"));
    ASSERT_EQ(1, SpecifyValue(wizard, "Switch.213", 0.0));
    EXPECT_EQ(1.0, get("Switch.212"));
    EXPECT_EQ(0.0, get("Switch.213"));
    SetConfigData("SimulationUtilityDatabase", 0.0);
}

TEST_F(ViewDataExtractionView, TheWizardMayRunWithTheThreeFilesReadyOrTwoOnASite) {
    EngineeringManager siteManager;
    ILurmetBaseObject* object = siteManager.CreateObject(502, "Site");
    void* out = nullptr;
    ASSERT_TRUE(object && object->QueryInterface(IHeatIntegrationProject::ObjectType, &out) == 1);
    auto* site = static_cast<IHeatIntegrationProject*>(out);
    IHeatIntegrationScenario* siteScenario = nullptr;
    ASSERT_TRUE(site->AddScenario("Area 1") == 1 && site->GetScenario("Area 1", siteScenario));
    ASSERT_TRUE(siteScenario->IsTotalSiteScenario());
    const struct {
        double utilities, economics, simulation;
        bool site;
        double ready;
    } rows[] = {{1, 1, 1, false, 1}, {0, 1, 1, false, 0}, {1, 0, 1, false, 0}, {1, 1, 0, false, 0},
                {0, 1, 1, true, 1},  {0, 0, 1, true, 0},  {0, 1, 0, true, 0}};
    for (const auto& r : rows) {
        DataExtractionConfig settings;
        settings.SetSettingValue("UtilitiesFileIsReady", r.utilities);
        settings.SetSettingValue("EconomicFileIsReady", r.economics);
        settings.SetSettingValue("VelmorCaseFileIsReady", r.simulation);
        DataExtractionView w(nullptr, &settings, r.site ? siteScenario : p.scenario);
        EXPECT_EQ(r.ready, w.Value(address("Switch.216")));
    }
    siteManager.ReleaseObject(object);
}

TEST_F(ViewDataExtractionView, DefaultFilesAreReadThroughTheManagerOrShowARecallError) {
    IDefaultUtilityManager* manager = nullptr;
    ASSERT_EQ(1, p.scenario->GetDefaultUtilityManager(manager));
    auto* defaults = dynamic_cast<DefaultManager*>(manager);
    ASSERT_NE(nullptr, defaults);
    const std::string hud = tempPath("wizard.hud");
    const std::string hcc = tempPath("wizard.hcc");
    ASSERT_TRUE(defaults->WriteDefaultsFile(hud.c_str(), SRT_Utilities));
    ASSERT_TRUE(defaults->WriteDefaultsFile(hcc.c_str(), SRT_Economics));
    const std::string notDefaults = writeFile("wizard-text.hud", "not a defaults file");
    // Capital costs in a file named as utility defaults.
    const std::string misnamed = tempPath("wizard-costs.hud");
    ASSERT_TRUE(defaults->WriteDefaultsFile(misnamed.c_str(), SRT_Economics));

    std::uint64_t before = mark();
    EXPECT_EQ(0, SpecifyValueText(wizard, "ExtraData.201", notDefaults.c_str()));
    EXPECT_EQ("RecallPreferenceError", lastErrorKey(before));
    EXPECT_NE(Text::npos, Session::Instance().Entries(SessionEvent::Error).back().text.find(notDefaults));
    EXPECT_EQ(0, SpecifyValueText(wizard, "ExtraData.202", "/no/such/file.hcc"));
    EXPECT_EQ(0.0, config().GetSetting("UtilitiesFileIsReady"));

    ASSERT_EQ(1, SpecifyValueText(wizard, "ExtraData.201", hud.c_str()));
    EXPECT_EQ(1.0, config().GetSetting("UtilitiesFileIsReady"));
    // The form shows the manager's file; a file that is there and a defaults file is no error.
    before = mark();
    EXPECT_EQ(Text(hud), text("ExtraData.201"));
    EXPECT_EQ("", lastErrorKey(before));
    Session::Instance().ScriptFileName(hcc.c_str());
    ASSERT_EQ(1, SendViewableMessage(wizard, "BrowseDefaultEconomics"));
    EXPECT_EQ(1.0, config().GetSetting("EconomicFileIsReady"));
    EXPECT_EQ("OpenHIPreferences", Session::Instance().Entries(SessionEvent::FilePicked).back().key);
    // Capital costs read from a file that is not named as such are shown with an error.
    ASSERT_EQ(1, SpecifyValueText(wizard, "ExtraData.202", misnamed.c_str()));
    before = mark();
    text("ExtraData.202");
    EXPECT_EQ("CouldNotFindCapCostFile", lastErrorKey(before));
    std::remove(hud.c_str());
    before = mark();
    text("ExtraData.201");
    EXPECT_EQ("ErrorFingingFile", lastErrorKey(before));
}

TEST_F(ViewDataExtractionView, HeatersAndCoolersShowTheirUtilitiesAndMoveToAnother) {
    extractTrain();
    ASSERT_EQ(1, p.AddUtility("HP Steam"));
    ASSERT_EQ(1, SendViewableMessage(wizard, "BuildUtilityInfo"));
    EXPECT_EQ(2, dims("Enum.264.0"));
    EXPECT_EQ(1, dims("Enum.265.0"));
    EXPECT_EQ(2, dims("ExtraData.260.0"));
    EXPECT_EQ("E1", text("ExtraData.260.0"));
    EXPECT_EQ("E2", text("ExtraData.260.1"));
    EXPECT_EQ("C1", text("ExtraData.261.0"));
    const int lp = hotIndex("LP Steam"), mp = hotIndex("MP Steam"), hp = hotIndex("HP Steam");
    ASSERT_TRUE(lp >= 0 && mp >= 0 && hp >= 0);
    EXPECT_EQ(lp, get("Enum.264.0"));
    EXPECT_EQ(mp, get("Enum.264.1"));
    // The cooler above 35 C leaves on the air cooler's utility.
    EXPECT_EQ(coldIndex("Air"), get("Enum.265.0"));
    const double e1 = duty(true, 0), e2 = duty(true, 1), c1 = duty(false, 0);
    EXPECT_NEAR(240.0, e1, 1e-6);

    // E1 moves from low-pressure to high-pressure steam with its duty; the others stay put.
    ASSERT_EQ(1, SpecifyValue(wizard, "Enum.264.0", hp));
    // Low-pressure steam, which no unit stands on any more, goes, and the lists are made again.
    IHeatIntegrationStream* left = nullptr;
    EXPECT_FALSE(p.scenario->GetStream(CPString("LP Steam"), left));
    EXPECT_LT(hotIndex("LP Steam"), 0);
    EXPECT_EQ(hotIndex("HP Steam"), get("Enum.264.0"));
    EXPECT_EQ(hotIndex("MP Steam"), get("Enum.264.1"));
    EXPECT_NEAR(e1, duty(true, 0), 1e-6);
    EXPECT_NEAR(e2, duty(true, 1), 1e-6);
    EXPECT_NEAR(c1, duty(false, 0), 1e-6);
    // The cooler onto a cold utility added since: the lists are made again.
    ASSERT_EQ(1, p.AddUtility("Cooling Water"));
    ASSERT_EQ(1, SendViewableMessage(wizard, "BuildUtilityInfo"));
    ASSERT_EQ(1, SpecifyValue(wizard, "Enum.265.0", coldIndex("Cooling Water")));
    EXPECT_EQ(coldIndex("Cooling Water"), get("Enum.265.0"));
    EXPECT_NEAR(c1, duty(false, 0), 1e-6);
    // No such choice, no such unit.
    EXPECT_EQ(0, SpecifyValue(wizard, "Enum.264.0", 99));
    EXPECT_EQ(0, SpecifyValue(wizard, "Enum.264.5", hotIndex("MP Steam")));
    EXPECT_EQ(-32767.0, get("Enum.264.5"));
    // The form's choices are the lists.
    VarEnumInfo* choices = wizard->GetEnumInfo(VariableNameInfo(address("Enum.265.0"), Text()));
    ASSERT_NE(nullptr, choices);
    EXPECT_EQ(wizard->ColdUtilityNames().NumberOfEntries(), choices->NumberOfEntries());
}

TEST_F(ViewDataExtractionView, SubFlowsheetsAreChosenWithinTheListOnly) {
    config().AddSubFlowsheet("Main");
    config().AddSubFlowsheet("Sub 1");
    EXPECT_EQ(2, dims("Switch.217.0"));
    EXPECT_EQ("Sub 1", text("ExtraData.215.1"));
    EXPECT_EQ(1.0, get("Switch.217.1"));
    ASSERT_EQ(1, SpecifyValue(wizard, "Switch.217.1", 0.0));
    EXPECT_EQ(0.0, get("Switch.217.1"));
    EXPECT_FALSE(config().IsSubFlowsheetChosen("Sub 1"));
    EXPECT_TRUE(config().IsSubFlowsheetChosen("Main"));
    // A check box takes 0 or 1 only: 257 is no choice, not its low byte.
    EXPECT_EQ(0, SpecifyValue(wizard, "Switch.217.1", 257.0));
    EXPECT_FALSE(config().IsSubFlowsheetChosen("Sub 1"));
    ASSERT_EQ(1, SpecifyValue(wizard, "Switch.217.1", 1.0));
    EXPECT_TRUE(config().IsSubFlowsheetChosen("Sub 1"));
    for (const char* outside : {"Switch.217.-1", "Switch.217.2"}) EXPECT_NE(1, SpecifyValue(wizard, outside, 1.0));
    EXPECT_EQ(0.0, get("Switch.217.2"));
    // A count kept with the settings that speaks of more than the list holds.
    config().SetSettingValue("NumberOfSubFlowsheet", 5.0);
    EXPECT_EQ(2, dims("Switch.217.0"));
    EXPECT_EQ(0, SpecifyValue(wizard, "Switch.217.4", 1.0));
}

TEST_F(ViewDataExtractionView, TheRecordKeepsTheScenarioOfAProjectOrASite) {
    wizard->SetName("Wizard");
    ASSERT_EQ(1, SendViewableMessage(wizard, "GoToNextPage"));
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {wizard}));
    ASSERT_TRUE(out.Commit());
    {
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(out.Bytes());
        std::vector<Viewable*> roots;
        ASSERT_TRUE(ViewRecords::Recall(in, roots, &document));
        ASSERT_EQ(1u, roots.size());
        ASSERT_TRUE(roots[0]->IsA(DataExtractionView::TypeName));
        auto* back = static_cast<DataExtractionView*>(roots[0]);
        EXPECT_EQ(p.scenario, back->GetScenario());
        EXPECT_EQ(&config(), back->GetConfig());
        EXPECT_EQ(0, back->GetCurrentPage());
        EXPECT_TRUE(back->AllowsProIIFiles());
        delete back;
    }

    // A site scenario comes back through the site.
    ILurmetBaseObject* object = p.manager.CreateObject(502, "Site");
    void* site = nullptr;
    ASSERT_TRUE(object && object->QueryInterface(IHeatIntegrationProject::ObjectType, &site) == 1);
    IHeatIntegrationScenario* siteScenario = nullptr;
    auto* project = static_cast<IHeatIntegrationProject*>(site);
    ASSERT_TRUE(project->AddScenario("Area 1") == 1 && project->GetScenario("Area 1", siteScenario));
    auto* onSite = new DataExtractionView(root, siteScenario->GetDataExtractionConfig(), siteScenario);
    LurmetBinaryFile siteOut = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(siteOut, {onSite}));
    ASSERT_TRUE(siteOut.Commit());
    LurmetBinaryFile siteIn = LurmetBinaryFile::ForReading(siteOut.Bytes());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(ViewRecords::Recall(siteIn, roots, &document));
    ASSERT_EQ(1u, roots.size());
    EXPECT_EQ(siteScenario, static_cast<DataExtractionView*>(roots[0])->GetScenario());
    delete roots[0];
    delete onSite;

    // A scenario the case no longer holds cannot be linked again: the recall fails.
    ASSERT_EQ(1, project->DeleteScenario("Area 1"));
    LurmetBinaryFile gone = LurmetBinaryFile::ForReading(siteOut.Bytes());
    roots.clear();
    EXPECT_FALSE(ViewRecords::Recall(gone, roots, &document));
    EXPECT_TRUE(roots.empty());
    p.manager.ReleaseObject(object);
}

TEST_F(ViewDataExtractionView, ItsFormClosingTakesItAwayWhileCloseViewIsTheFrameworks) {
    const auto life = wizard->LifeToken();
    EXPECT_EQ(1, SendViewableMessage(wizard, "CloseView"));
    EXPECT_EQ("DataExtractionView", Session::Instance().Entries(SessionEvent::FormClosed).back().key);
    wizard->ViewNotification(0, nullptr, "DefaultView");
    wizard->ViewNotification(1, nullptr, "OtherForm");
    ASSERT_FALSE(life.expired());
    wizard->ViewNotification(1, nullptr, "DefaultView");
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(0, root->GetNumberOfChildren());
}

// The user closing the wizard's own form, opened as its default form, takes the wizard away.
TEST_F(ViewDataExtractionView, TheUserClosingItsOpenFormTakesItAway) {
    const auto life = wizard->LifeToken();
    ASSERT_EQ(1, wizard->View());
    ASSERT_TRUE(wizard->IsFormOpen("extractionconfig"));
    EXPECT_TRUE(wizard->CloseForm("extractionconfig"));
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(0, root->GetNumberOfChildren());
}

TEST_F(ViewDataExtractionView, PageTextsComeFromTheCatalogue) {
    config().SetFileToExtract("/cases/plant.vmc");
    EXPECT_EQ(FindString("StartStaticTextInExtraction"), text("ExtraData.750"));
    EXPECT_EQ(FindString("Step3StaticTextInExtraction"), text("ExtraData.753"));
    EXPECT_EQ(FindString("StaticText9InPageOneInExtraction"), text("ExtraData.768"));
    EXPECT_EQ(FindString("Step1StaticTextInPage2InExtraction"), text("ExtraData.770"));
    EXPECT_EQ(FindString("Step7StaticTextInPage8InExtraction"), text("ExtraData.776"));
    EXPECT_EQ("The data of plant.vmc were extracted.", text("ExtraData.790"));
    EXPECT_EQ(FindString("ExtractionLimitationsNotice"), text("ExtraData.350"));
    ASSERT_EQ(1, SpecifyValue(wizard, "ExtraData.300", 1.0));
    EXPECT_EQ(FindString("QuorvexExtractionLimitationsNotice"), text("ExtraData.350"));
    ASSERT_EQ(1, SpecifyValue(wizard, "ExtraData.300", 2.0));
    EXPECT_EQ("", text("ExtraData.350"));
    // Two simulator kinds are offered unless PRO/II files are.
    SetConfigData("UseProIIFile", 0.0);
    EXPECT_EQ(2.0, get("ExtraData.222"));
    SetConfigData("UseProIIFile", 1.0);
    EXPECT_EQ(3.0, get("ExtraData.222"));
    SetConfigData("UseProIIFile", 0.0);
    // The form lists its variables and commands for the host.
    FormDescription form;
    ASSERT_TRUE(ObjectTypeRegistry::Current()->Find(DataExtractionView::TypeName)->LoadVariables(form));
    EXPECT_EQ(8u, form.Commands().size());
}

}  // namespace
