// The case provider: cases opened by name and kept until released, the kinds of extraction, and
// what a spreadsheet check answers.
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include "ralvex/Case.h"

#include <gtest/gtest.h>

using namespace extraction_test;

namespace {

TEST(SimulatorCaseProvider, OpensCasesByNameOnceAndAnswersWhySomethingCouldNotBeOpened) {
    SimulatorCaseProvider provider;
    const std::string path = WriteFile("provider-case.xml", "<simcase version=\"1\" name=\"P\"><item name=\"A\" class=\"x\"/></simcase>");
    Case* c = provider.GetCase(path);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(provider.GetCase(path), c);
    EXPECT_EQ(c->GetName(), "P");
    provider.ReleaseCase(path);
    EXPECT_EQ(provider.GetNumberOfOpenCases(), 0u);
    const std::string bad = WriteFile("provider-bad.xml", "<simcase version=\"1\" name=\"P\"><item name=\"A\"/></simcase>");
    EXPECT_EQ(provider.GetCase(bad), nullptr);
    EXPECT_EQ(provider.GetLastReadResult().status, CaseReadStatus::MissingAttribute);
    EXPECT_EQ(provider.GetLastReadResult().message, bad + ":1: <item> needs a class");
}

TEST(SimulatorCaseProvider, KindsAndSpreadsheetChecks) {
    ExtractionProject p;
    int calls = 0;
    p.provider->SetCaseCallback([&](RalvexInterface&, Case&, IHeatIntegrationScenario&) { return ++calls, 1; });
    const std::string simulation = WriteFile("kinds-sim.xml", "<simcase version=\"1\" name=\"S\"/>");
    const std::string sheet =
        WriteFile("kinds-sheet.xml", "<simcase version=\"1\" name=\"S\" source=\"spreadsheet\" segmentation=\"Automatic\"/>");
    const std::string table = WriteFile("kinds-table.csv", "A,B\nC,D\n");
    CPString segmentation;
    for (int kind : {0, 1, 2}) EXPECT_EQ(p.provider->Extract(simulation, nullptr, kind, segmentation, *p.scenario), 1);
    EXPECT_EQ(p.provider->Extract(simulation, nullptr, 3, segmentation, *p.scenario), 0);
    EXPECT_EQ(p.provider->Extract(sheet, nullptr, 0, segmentation, *p.scenario), 0);
    EXPECT_EQ(p.provider->Extract(sheet, nullptr, 3, segmentation, *p.scenario), 1);
    EXPECT_EQ(segmentation, "Automatic");
    EXPECT_EQ(p.provider->Extract(simulation, nullptr, 4, segmentation, *p.scenario), 0);
    EXPECT_EQ(calls, 4);

    EXPECT_EQ(p.provider->CheckSpreadsheet(sheet), IDataExtraction::SpreadsheetExtract);
    EXPECT_EQ(p.provider->CheckSpreadsheet(simulation), 0);
    EXPECT_EQ(p.provider->CheckSpreadsheet(table), IDataExtraction::SpreadsheetTransfer);
    ASSERT_NE(p.provider->GetTransferredTable(), nullptr);
    EXPECT_EQ(p.provider->GetTransferredTable()->GetCellText("B2"), "D");
    p.provider->FinishTransfer();
    EXPECT_EQ(p.provider->GetTransferredTable(), nullptr);
    EXPECT_EQ(p.provider->CheckSpreadsheet("/no/such/file.csv"), 0);

    // Without a callback nothing is extracted.
    SimulatorCaseProvider bare;
    EXPECT_EQ(bare.Extract(simulation, nullptr, 0, segmentation, *p.scenario), 0);
}

}  // namespace
