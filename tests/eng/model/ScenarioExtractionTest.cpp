// The scenario's extraction entry points on the project's case provider: notes, sub-flowsheets,
// results of an extraction by case name, the import object kept for a refresh, and a call from
// another thread handed to the host's thread.
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "lumeth/Framework.h"
#include "ralvex/Case.h"

#include <gtest/gtest.h>

#include <thread>

using namespace extraction_test;

namespace {

const char* const kCase = R"(<simcase version="1" name="Plant">
  <item name="S1" class="ppMaterialStream"/>
  <item name="S2" class="ppMaterialStream" flowsheet="Sub 1"/>
  <item name="S3" class="ppMaterialStream" flowsheet=""/>
</simcase>)";

// An import object that counts its deaths.
struct ProbeImport : Createable {
    explicit ProbeImport(int& deaths) : deaths(deaths) {}
    ~ProbeImport() override { ++deaths; }
    int& deaths;
};

// A case callback as the import will be: a refresh works on the object kept on the case, a full
// extraction makes a new one and leaves it on the case.
struct RecordingCallback {
    int deaths = 0;
    int calls = 0;
    int result = 1;
    Createable* seenOnRefresh = nullptr;
    std::thread::id thread;
    SimulatorCaseProvider::CaseCallback Make() {
        return [this](RalvexInterface&, Case& c, IHeatIntegrationScenario& s) {
            ++calls;
            thread = std::this_thread::get_id();
            s.GetDataExtractionConfig();
            if (c.GetCaseRefresh()) {
                seenOnRefresh = c.GetVelmorToTarsilImport();
            } else {
                c.SetVelmorToTarsilImport(new ProbeImport(deaths));
            }
            return result;
        };
    }
};

TEST(ScenarioExtraction, EachExtractionFromAFileGoesOnTopOfTheNotes) {
    ExtractionProject p;
    RecordingCallback callback;
    p.provider->SetCaseCallback(callback.Make());
    const std::string a = WriteFile("case-a.xml", kCase), b = WriteFile("case-b.xml", kCase);
    Case* document = p.provider->GetDocumentCase();
    p.scenario->SetNotes("Before.");
    EXPECT_STREQ(p.scenario->GetSimulatorFileType(), "Velmor");

    p.scenario->ExtractFromVelmorCase(a, document);
    p.scenario->ExtractFromVelmorCase(b, document);
    EXPECT_STREQ(p.scenario->GetNotes(), ("Extracted data from Velmor Case " + b + "\n \nExtracted data from Velmor Case " +
                                          a + "\n \nBefore.")
                                             .c_str());
    // The case's sub-flowsheets, each once; an item without one adds none.
    DataExtractionConfig* config = p.scenario->GetDataExtractionConfig();
    EXPECT_EQ(config->GetSetting("NumberOfSubFlowsheet"), 2.0);
    EXPECT_EQ(config->GetSubFlowsheetName(0), "Main");
    EXPECT_EQ(config->GetSubFlowsheetName(1), "Sub 1");

    // No case argument, a failed extraction, or a spreadsheet asked for as a simulator case:
    // the notes stay.
    p.scenario->ExtractFromQuorvexCase(a, nullptr);
    callback.result = 0;
    p.scenario->ExtractFromProIICase(a, document);
    callback.result = 1;
    p.scenario->ExtractFromVelmorCase(WriteFile("sheet.xml", "<simcase version=\"1\" name=\"s\" source=\"spreadsheet\"/>"),
                                      document);
    EXPECT_EQ(std::string(p.scenario->GetNotes()).rfind("Extracted data from Velmor Case " + b, 0), 0u);
    config->SetSettingValue("SimulatorFileType", 1);
    EXPECT_STREQ(p.scenario->GetSimulatorFileType(), "Quorvex");
}

TEST(ScenarioExtraction, ExtractFromCaseAnswersZeroWithoutNameOrInterfaceAndOneForAnUnknownCase) {
    ExtractionProject p;
    RecordingCallback callback;
    callback.result = 7;
    p.provider->SetCaseCallback(callback.Make());
    EXPECT_EQ(p.scenario->ExtractFromCase(nullptr), 0);
    EXPECT_EQ(p.scenario->ExtractFromCase("/no/such/case.xml"), 1);
    EXPECT_EQ(callback.calls, 0);
    const std::string a = WriteFile("case-c.xml", kCase);
    EXPECT_EQ(p.scenario->ExtractFromCase(a.c_str()), 7);
    // Not cached: the provider let the case go; the import object lives on with the scenario.
    EXPECT_EQ(p.provider->GetNumberOfOpenCases(), 0u);
    EXPECT_NE(p.scenario->GetKeptImport(), nullptr);
    EXPECT_EQ(callback.deaths, 0);

    CPIScenario orphan(nullptr, DefaultScenarioServices());
    EXPECT_EQ(orphan.ExtractFromCase(a.c_str()), 0);
}

TEST(ScenarioExtraction, AFileExtractionKeepsItsImportSoThatALaterRefreshFindsIt) {
    RecordingCallback callback;
    {
        ExtractionProject p;
        p.provider->SetCaseCallback(callback.Make());
        const std::string a = WriteFile("case-d.xml", kCase);
        p.scenario->ExtractFromVelmorCase(a, p.provider->GetDocumentCase());
        Case* c = p.provider->GetCase(a);
        ASSERT_NE(c, nullptr);
        Createable* first = c->GetVelmorToTarsilImport();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(p.scenario->GetKeptImport(), first);

        c->SetCaseRefresh(true);
        EXPECT_EQ(p.scenario->ExtractFromCase(a.c_str()), 1);
        EXPECT_EQ(callback.seenOnRefresh, first);
        EXPECT_EQ(callback.deaths, 0);
        EXPECT_EQ(p.scenario->GetKeptImport(), first);

        // A full extraction by name replaces the kept object; the old one goes.
        ASSERT_NE(p.provider->GetCase(a), nullptr);
        p.provider->GetCase(a)->SetCaseCached(true);
        EXPECT_EQ(p.scenario->ExtractFromCase(a.c_str()), 1);
        EXPECT_EQ(callback.deaths, 1);
        EXPECT_EQ(p.scenario->GetKeptImport(), p.provider->GetCase(a)->GetVelmorToTarsilImport());
        EXPECT_EQ(p.provider->GetNumberOfOpenCases(), 1u);
    }
    // Scenario and case are gone: so is the last import object.
    EXPECT_EQ(callback.deaths, 2);
}

TEST(ScenarioExtraction, ASpreadsheetCallFromAWorkerThreadRunsOnTheHostsThread) {
    ExtractionProject p;
    RecordingCallback callback;
    p.provider->SetCaseCallback(callback.Make());
    const std::string sheet = WriteFile(
        "sheet-seg.xml", "<simcase version=\"1\" name=\"s\" source=\"spreadsheet\" segmentation=\"None\"/>");
    Case* document = p.provider->GetDocumentCase();
    ASSERT_TRUE(IsMainThread());
    std::thread worker([&] { p.scenario->ExtractFromExcelFile(sheet, document); });
    worker.join();
    EXPECT_EQ(callback.calls, 0);
    EXPECT_EQ(p.scenario->GetDataExtractionConfig()->GetSetting("TransferFromExcel"), 1.0);
    EXPECT_EQ(RunMainThreadCalls(), 1);
    EXPECT_EQ(callback.calls, 1);
    EXPECT_EQ(callback.thread, std::this_thread::get_id());
    EXPECT_EQ(p.scenario->GetExcelTransferResult(), 2);
    EXPECT_EQ(p.scenario->GetDataExtractionConfig()->GetSetting("ExcelSegmentation"), 0.0);
    EXPECT_EQ(std::string(p.scenario->GetNotes()).rfind("Extracted data from Excel File " + sheet, 0), 0u);
}

}  // namespace

namespace {

TEST(ScenarioExtraction, ACallQueuedForTheHostsThreadIsDroppedWhenItsScenarioIsGone) {
    ExtractionProject p;
    RecordingCallback callback;
    p.provider->SetCaseCallback(callback.Make());
    const std::string sheet =
        WriteFile("sheet-gone.xml", "<simcase version=\"1\" name=\"s\" source=\"spreadsheet\"/>");
    auto scenario = std::make_unique<CPIScenario>(&p.project, DefaultScenarioServices());
    std::thread worker([&] { scenario->ExtractFromExcelFile(sheet, p.provider->GetDocumentCase()); });
    worker.join();
    scenario.reset();
    EXPECT_EQ(RunMainThreadCalls(), 1);
    EXPECT_EQ(callback.calls, 0);
}

}  // namespace
