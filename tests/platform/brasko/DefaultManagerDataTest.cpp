// The data classes a default manager and a scenario keep: economic values with their lock and
// status, a default utility's record, and the report holder's tree of texts.
#include "DefaultManagerTestSupport.h"

#include "brasko/ReportHolder.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

TEST(DefaultManagerData, EconomicSetHoldsOnlyItsOwnItems) {
    EconomicData set("Plate");
    EXPECT_EQ(set.GetName(), "Plate");
    EXPECT_EQ(set.SetEconomicData(EDT_RateOfReturn, 0.1), 0);
    EXPECT_DOUBLE_EQ(set.GetEconomicData(EDT_RateOfReturn), 0.0);
    EXPECT_EQ(set.GetVariableStatus(EDT_RateOfReturn), EconomicValueSet::StatusUnset);
    EXPECT_EQ(set.SetEconomicData(EDT_AreaExponent, std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(set.SetEconomicData(EDT_AreaExponent, 0.6), 1);
    EXPECT_DOUBLE_EQ(set.GetEconomicData(EDT_AreaExponent), 0.6);
    set.Lock();
    EXPECT_EQ(set.SetEconomicData(EDT_AreaExponent, 0.7), 0);
    EXPECT_EQ(set.GetVariableStatus(EDT_AreaExponent), EconomicValueSet::StatusLocked);
    set.Unlock();
    EXPECT_EQ(set.GetVariableStatus(EDT_AreaExponent), EconomicValueSet::StatusSpecified);
    set.SetExchangerType("Renamed");
    EXPECT_EQ(set.GetName(), "Renamed");

    EconomicInfo info;
    EXPECT_EQ(info.GetVariableStatus(EDT_PlantLife), EconomicValueSet::StatusUnset);
    EXPECT_EQ(info.SetEconomicInfo(EDT_FixedCostPerUnit, 1.0), 0);
    EXPECT_EQ(info.SetEconomicInfo(EDT_PlantLife, 20.0), 1);
    EXPECT_DOUBLE_EQ(info.GetEconomicInfo(EDT_PlantLife), 20.0);
}

TEST(DefaultManagerData, EconomicRecordsRoundTripAndKeepTheReadersLock) {
    EconomicData set("Shell");
    set.SetEconomicData(EDT_FixedCostPerUnit, 25000.0);
    EconomicInfo info;
    info.SetEconomicInfo(EDT_OperatingHours, 8000.0);
    LurmetBinaryFile writer = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(set.Store(writer) && info.Store(writer));

    EconomicData readSet;
    readSet.Lock();
    EconomicInfo readInfo;
    LurmetBinaryFile reader = LurmetBinaryFile::ForReading(writer.Bytes());
    ASSERT_TRUE(readSet.Recall(reader) && readInfo.Recall(reader));
    EXPECT_EQ(readSet.GetName(), "Shell");
    EXPECT_DOUBLE_EQ(readSet.GetEconomicData(EDT_FixedCostPerUnit), 25000.0);
    EXPECT_DOUBLE_EQ(readSet.GetEconomicData(EDT_AreaCostCoefficient), 800.0);
    EXPECT_TRUE(readSet.IsLocked());
    EXPECT_DOUBLE_EQ(readInfo.GetEconomicInfo(EDT_OperatingHours), 8000.0);
    EXPECT_EQ(readInfo.GetVariableStatus(EDT_RateOfReturn), EconomicValueSet::StatusUnset);

    // Cut short anywhere inside its record, a set keeps what it held.
    LurmetBinaryFile alone = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(set.Store(alone));
    const auto& bytes = alone.Bytes();
    EconomicData untouched("Untouched");
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        LurmetBinaryFile cut = LurmetBinaryFile::ForReading(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
        ASSERT_FALSE(untouched.Recall(cut)) << n;
    }
    EXPECT_EQ(untouched.GetName(), "Untouched");
    EXPECT_DOUBLE_EQ(untouched.GetEconomicData(EDT_FixedCostPerUnit), 10000.0);
}

// ---- report holder ------------------------------------------------------------------------------

ReportHolder ExtractionReport() {
    ReportHolder report;
    report.AddEntry(nullptr, "Streams");
    report.AddEntry(nullptr, "Assumptions");
    report.AddEntry("Assumptions", "Heaters_and_coolers");
    report.AddEntry(nullptr, "Warnings");
    report.AddEntry("Streams", "Feed", "Feed: 120 C to 40 C");
    report.AppendText("Warnings:Recycle_Tolerance", "Recycle R-1 not converged");
    report.AppendText("Warnings:Recycle_Tolerance", "Recycle R-2 not converged");
    report.AppendText("Assumptions:Heaters_and_coolers", "E-100 taken as a cooler");
    return report;
}

TEST(DefaultManagerData, ReportIsTheTreeWrittenOutInOrder) {
    ReportHolder report = ExtractionReport();
    EXPECT_EQ(report.GetNumberOfSections(), 3);
    EXPECT_TRUE(report.HasEntry("Warnings:Recycle_Tolerance"));
    EXPECT_EQ(report.GetText("Warnings:Recycle_Tolerance"), "Recycle R-1 not converged\nRecycle R-2 not converged");
    EXPECT_EQ(report.GetTitle("Streams:Feed"), "Feed: 120 C to 40 C");
    EXPECT_EQ(std::string(report.GetReport()),
              "Streams\n"
              "  Feed: 120 C to 40 C\n"
              "Assumptions\n"
              "  Heaters_and_coolers\n"
              "    E-100 taken as a cooler\n"
              "Warnings\n"
              "  Recycle_Tolerance\n"
              "    Recycle R-1 not converged\n"
              "    Recycle R-2 not converged\n");
}

// A text set again replaces the old one; set empty, the entry leaves the report; an entry not
// there is refused and nothing changes.
TEST(DefaultManagerData, ReportTextIsSetAgainOrTheEntryTakenOut) {
    ReportHolder report = ExtractionReport();
    EXPECT_TRUE(report.SetText("Warnings:Recycle_Tolerance", "Recycle R-2 not converged"));
    EXPECT_EQ(report.GetText("Warnings:Recycle_Tolerance"), "Recycle R-2 not converged");
    const std::string before = report.GetReport();
    EXPECT_FALSE(report.SetText("Warnings:Unknown", ""));
    EXPECT_FALSE(report.SetText("Warnings:Recycle_Tolerance", nullptr));
    EXPECT_EQ(std::string(report.GetReport()), before);
    EXPECT_TRUE(report.SetText("Warnings:Recycle_Tolerance", ""));
    EXPECT_FALSE(report.HasEntry("Warnings:Recycle_Tolerance"));
    EXPECT_TRUE(report.HasEntry("Warnings"));
    EXPECT_TRUE(report.HasEntry("Assumptions:Heaters_and_coolers"));
}

struct BadReportCall {
    const char* section;
    const char* key;
    const char* path;  // for AppendText when key is null
};
void PrintTo(const BadReportCall& c, std::ostream* os) {
    if (c.path) *os << "appended text at \"" << c.path << "\"";
    else *os << "section " << (c.section ? c.section : "none") << ", key "
             << (c.key ? "\"" + std::string(c.key) + "\"" : std::string("none"));
}

class ReportRefusals : public ::testing::TestWithParam<BadReportCall> {};

TEST_P(ReportRefusals, MalformedKeysAndPathsAreRefused) {
    ReportHolder report = ExtractionReport();
    const std::string before = report.GetReport();
    const BadReportCall& c = GetParam();
    const bool ok = c.key || !c.path ? report.AddEntry(c.section, c.key) : report.AppendText(c.path, "text");
    EXPECT_FALSE(ok);
    EXPECT_EQ(std::string(report.GetReport()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportRefusals,
                         ::testing::Values(BadReportCall{nullptr, "", nullptr}, BadReportCall{"Streams", "a:b", nullptr},
                                           BadReportCall{"Streams::x", "y", nullptr},
                                           BadReportCall{nullptr, nullptr, nullptr},
                                           BadReportCall{nullptr, nullptr, "Warnings:"},
                                           BadReportCall{nullptr, nullptr, ":Warnings"}));

TEST(DefaultManagerData, ReportRecordRoundTripAndCopy) {
    ReportHolder report = ExtractionReport();
    LurmetBinaryFile writer = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(report.Store(writer));
    ReportHolder read;
    LurmetBinaryFile reader = LurmetBinaryFile::ForReading(writer.Bytes());
    ASSERT_TRUE(read.Recall(reader));
    EXPECT_EQ(std::string(read.GetReport()), std::string(report.GetReport()));
    ReportHolder copy(read);
    EXPECT_EQ(std::string(copy.GetReport()), std::string(report.GetReport()));
}

}  // namespace
