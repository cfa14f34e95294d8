// A segment table transferred from a spreadsheet: consecutive rows of a stream become its
// segments in engine units; a table with a fault is refused whole and changes nothing.
#include "tests/eng/extraction/ExtractionTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace extraction_test;

namespace {

const std::string kHeading = "Stream,,Supply,Target,CP,Enthalpy,,h,,Mass flow,Cp,Scope,DTmin\n";
const std::string kUnits = ",,F,F,Btu/hr-F,kW,,kW/m2-C,,kg/s,kJ/kg-C,,C\n";

struct TransferProject : ExtractionProject {
    TransferProject() {
        scenario->AddStream("H1", 0);
        scenario->GetStream("H1", h1);
        h1->SetValue("Temperature", 150.0, 0);
        h1->SetValue("Temperature", 60.0, 1);
        h1->SetValue("HeatCapacityFlowrate", 2.0, 0);
    }
    const TransferOutcome& Transfer(const std::string& name, const std::string& table) {
        scenario->ExtractFromExcelFile(WriteFile(name, table), provider->GetDocumentCase());
        return provider->GetTransferOutcome();
    }
    double Value(const char* name, int index) const {
        double v = 0.0;
        h1->GetValue(name, v, index);
        return v;
    }
    IHeatIntegrationStream* h1 = nullptr;
};

TEST(ScenarioSpreadsheetTransfer, RowsOfAStreamBecomeItsSegmentsInEngineUnits) {
    TransferProject p;
    ASSERT_DOUBLE_EQ(p.h1->GetHeatLoad(0), 180.0);
    const TransferOutcome& outcome = p.Transfer("two-segments.csv", kHeading + kUnits +
                                                                         "H1,,302,212,3791.268481,,,0.5,,,,,\n"
                                                                         "H1,,212,140,5686.902722,,,0.5,,,,,\n"
                                                                         ",,,,,,,,,,,,\n"
                                                                         "<empty>,,1,2,3,,,,,,,,\n");
    EXPECT_EQ(outcome.state, 1);
    EXPECT_TRUE(outcome.refusals.empty());
    EXPECT_EQ(p.scenario->GetExcelTransferResult(), 3);
    ASSERT_EQ(p.h1->GetNumberOfSegments(), 2);
    EXPECT_NEAR(p.Value("Temperature", 0), 150.0, 1e-9);
    EXPECT_NEAR(p.Value("Temperature", 1), 100.0, 1e-9);
    EXPECT_NEAR(p.Value("Temperature", 2), 60.0, 1e-9);
    EXPECT_NEAR(p.Value("HeatCapacityFlowrate", 0), 2.0, 1e-7);
    EXPECT_NEAR(p.Value("HeatCapacityFlowrate", 1), 3.0, 1e-7);
    EXPECT_NEAR(p.h1->GetHeatLoad(0), 220.0, 1e-5);
    EXPECT_EQ(p.scenario->GetDataExtractionConfig()->GetSetting("TransferFromExcel"), 1.0);
}

TEST(ScenarioSpreadsheetTransfer, RowsNamingNoStreamAreNotedAndPassedOver) {
    TransferProject p;
    const TransferOutcome& outcome =
        p.Transfer("unknown-stream.csv", kHeading + kUnits + "X9,,300,200,1,,,,,,,,\nH1,,302,140,3791.268481,,,,,,,,\n");
    EXPECT_EQ(outcome.state, 1);
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0], "row 3: no stream is named \"X9\"; its rows were not read");
    EXPECT_EQ(p.h1->GetNumberOfSegments(), 1);
    EXPECT_NEAR(p.h1->GetHeatLoad(0), 180.0, 1e-5);
}

struct Fault {
    const char* label;
    std::string rows;
    std::string units;
    const char* message;
};
[[maybe_unused]] void PrintTo(const Fault& f, std::ostream* os) { *os << f.label; }

class ScenarioSpreadsheetTransferFault : public ::testing::TestWithParam<Fault> {};

TEST_P(ScenarioSpreadsheetTransferFault, RefusesTheWholeTableAndChangesNothing) {
    TransferProject p;
    const Fault& f = GetParam();
    const TransferOutcome& outcome = p.Transfer(std::string(f.label) + ".csv", kHeading + f.units + f.rows);
    EXPECT_EQ(outcome.state, 2);
    ASSERT_EQ(outcome.refusals.size(), 1u);
    EXPECT_EQ(outcome.refusals[0], f.message);
    EXPECT_EQ(p.h1->GetNumberOfSegments(), 1);
    EXPECT_DOUBLE_EQ(p.Value("Temperature", 1), 60.0);
    EXPECT_DOUBLE_EQ(p.Value("HeatCapacityFlowrate", 0), 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ScenarioSpreadsheetTransferFault,
    ::testing::Values(
        Fault{"NotJoining", "H1,,302,212,3791.268481,,,,,,,,\nH1,,213,140,5686.902722,,,,,,,,\n", kUnits,
              "row 4, cell C4: \"213\" does not join cell D3 (\"212\") of the row above"},
        Fault{"UnknownUnit", "H1,,302,212,3791.268481,,,,,,,,\n", ",,F,F,Btu/hr-R,kW,,,,,,,\n",
              "row 2, cell E2: \"Btu/hr-R\" is not a unit of heat-capacity flow rate"},
        Fault{"TemperatureUnitForCp", "H1,,302,212,3791.268481,,,,,,,,\n", ",,F,F,F,kW,,,,,,,\n",
              "row 2, cell E2: \"F\" is not a unit of heat-capacity flow rate"},
        Fault{"NotANumber", "H1,,302,212,2 kW/C,,,,,,,,\n", kUnits,
              "row 3, cell E3: \"2 kW/C\" is not a number"},
        Fault{"NoTemperature", "H1,,302,<empty>,2,,,,,,,,\n", kUnits,
              "row 3, cell D3: \"<empty>\" gives no temperature; every segment row needs both"},
        Fault{"TurnsBack", "H1,,302,212,3791.268481,,,,,,,,\nH1,,212,260,3791.268481,,,,,,,,\n", kUnits,
              "row 4: stream \"H1\" turns back (its segments must all run from supply to target one way)"},
        Fault{"NegativeCp", "H1,,302,212,-3791.268481,,,,,,,,\n", kUnits,
              "row 3: a heat-capacity flow rate outside 0.001 to 1e9 kW/C"},
        Fault{"AboveAnyTemperature", "H1,,10832,212,3791.268481,,,,,,,,\n", kUnits,
              "row 3: a temperature outside -273.15 to 5000 C"},
        Fault{"ComesApart", "H1,,302,212,1,,,,,,,,\nH2,,1,2,1,,,,,,,,\nH1,,212,140,1,,,,,,,,\n", kUnits,
              "row 5, cell A5: stream \"H1\" comes again after other streams (its rows start at row 3 and must "
              "follow each other)"}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.label); });

TEST(ScenarioSpreadsheetTransfer, ASheetThatIsNoTableIsNotTransferred) {
    TransferProject p;
    const TransferOutcome& outcome = p.Transfer("one-row.csv", "just a heading\n");
    EXPECT_EQ(p.scenario->GetExcelTransferResult(), 0);
    EXPECT_EQ(outcome.state, 2);
    EXPECT_EQ(p.h1->GetNumberOfSegments(), 1);
}

}  // namespace
