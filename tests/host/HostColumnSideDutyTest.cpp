// kestrin-host extract on the stripping column with its side duty changed: a duty too small for a
// stream is passed over with a warning and the rest of the column extracted; a side duty that is
// not among the column's feeds is named in the warnings.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/extraction/" + name; }

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(HostColumnSideDuty, ANegligibleSideDutyIsSkippedWithAWarning) {
    const std::string column = FileContents(example("stripping-column.vmc"));
    const HostRun whole = RunHost("extract " + example("stripping-column.vmc"));
    ASSERT_EQ(whole.exitCode, 0) << whole.out;
    // 0.0005 kW over the 4 K between stage 5 and the stage below it: 0.000125 kW/C; and a solver's
    // residue of a duty, however small.
    struct Row {
        const char* heatFlow;
        const char* said;
    };
    for (const Row& row : {Row{"-0.0005", "0.0005"}, Row{"-1e-8", "1e-08"}, Row{"-1e-9", "1e-09"}}) {
        ScratchFile tiny("column-side-duty", "tiny.vmc",
                         replaced(column, "<num name=\"HeatFlow\" units=\"kW\">-250</num>",
                                  "<num name=\"HeatFlow\" units=\"kW\">" + std::string(row.heatFlow) + "</num>"));
        const HostRun run = RunHost("extract " + tiny.path);
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_TRUE(has(run.out, "Warning (Column_Side_Duties): Energy stream QSIDE of column COL carries " +
                                     std::string(row.said) + " kW, too little for a stream"))
            << row.heatFlow << "\n" << run.out;
        EXPECT_FALSE(has(run.out, "  QSIDE (")) << run.out;
        // The other column duties are streams as before.
        for (const std::string& line : {std::string("Streams:\n"), std::string("  F2")}) {
            EXPECT_EQ(has(run.out, line), has(whole.out, line)) << line;
        }
    }
}

TEST(HostColumnSideDuty, ASideDutyMissingFromTheFeedsIsNamed) {
    const std::string column = FileContents(example("stripping-column.vmc"));
    ScratchFile missing("column-side-duty", "missing.vmc",
                        replaced(column, "<texts name=\"TraysectionFeeds\"><t>F2</t><t>STEAM</t><t>QSIDE</t></texts>",
                                 "<texts name=\"TraysectionFeeds\"><t>F2</t><t>STEAM</t></texts>"));
    const HostRun run = RunHost("extract " + missing.path);
    EXPECT_TRUE(has(run.out, "Energy stream QSIDE of column COL (250 kW) is not among the column's feeds")) << run.out;
}

// Two side duties of 50 kW, the second an energy stream named like the table's new-row marker:
// both are streams (the marker's namesake under a free name), and the cold utility carries both.
TEST(HostColumnSideDuty, ADutyNamedLikeTheNewRowMarkerIsExtractedUnderAFreeName) {
    std::string column = FileContents(example("stripping-column.vmc"));
    column = replaced(column, "<t>QSIDE</t></texts>", "<t>Q1</t><t>**New**</t></texts>");
    column = replaced(column, "<t>Stage5</t></texts>", "<t>Stage5</t><t>Stage6</t></texts>");
    column = replaced(column, "<link to=\"QSIDE\"/>", "<link to=\"Q1\"/>\n    <link to=\"**New**\"/>");
    column = replaced(column, "<item name=\"QSIDE\" class=\"ppEnergyStream\">\n    <num name=\"HeatFlow\" units=\"kW\">-250</num>",
                      "<item name=\"Q1\" class=\"ppEnergyStream\">\n    <num name=\"HeatFlow\" units=\"kW\">-50</num>\n  </item>\n"
                      "  <item name=\"**New**\" class=\"ppEnergyStream\">\n    <num name=\"HeatFlow\" units=\"kW\">-50</num>");
    ASSERT_TRUE(has(column, "<item name=\"**New**\"")) << column;
    ScratchFile two("column-side-duty", "marker.vmc", column);
    const HostRun run = RunHost("extract " + two.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(has(run.out, "  Q1 (hot): 100 -> 96 C, 50 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "  **New**_2 (hot): 104 -> 100 C, 50 kW")) << run.out;
    EXPECT_TRUE(has(run.out, "  **New**_2_Exchanger (cooler) **New**_2 -> Air: duty 50.00")) << run.out;
    // The condenser's 620 kW and the two side duties.
    EXPECT_TRUE(has(run.out, "  cold utility              720.00 kW")) << run.out;
    EXPECT_FALSE(has(run.out, "stream **New** ")) << run.out;
}

// Solved again at 10 kW with its stage's temperature left unknown: the side duty keeps its earlier
// values (250 kW from 100 to 96 C) and the report says why, rather than put the new duty on the old
// ends.
TEST(HostColumnSideDuty, ARefreshWithoutTheStageTemperatureKeepsTheSideDuty) {
    const std::string column = FileContents(example("stripping-column.vmc"));
    ScratchFile solved("column-side-duty", "stage-unknown.vmc",
                       replaced(replaced(column, "<num name=\"Stage5\" units=\"C\">96</num>", "<num name=\"Stage5\" units=\"C\"></num>"),
                                "<num name=\"HeatFlow\" units=\"kW\">-250</num>", "<num name=\"HeatFlow\" units=\"kW\">-10</num>"));
    const HostRun run = RunHost("extract " + example("stripping-column.vmc") + " --refresh " + solved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(has(run.out, "Stream QSIDE keeps its earlier values: the solved case leaves the temperature of stage Stage5 of COL unknown"))
        << run.out;
    EXPECT_TRUE(has(run.out, "  QSIDE (hot): 100 -> 96 C, 250 kW")) << run.out;
}

}  // namespace
