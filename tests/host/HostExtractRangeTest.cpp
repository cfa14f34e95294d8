// Values extracted from a segment sheet or a simulator-case document are checked as a stream
// table's are: a sheet or document with one value no case holds is refused whole, with the
// stream and the value named, and nothing is printed as a result or saved.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

struct Mutation {
    const char* name;
    std::string text;  // the sheet, or the document
    const char* says;
    bool intoRetrofit = false;  // the --into case's scenario is a retrofit study
};
[[maybe_unused]] void PrintTo(const Mutation& m, std::ostream* os) { *os << m.name; }

class HostExtractSheetRange : public ::testing::TestWithParam<Mutation> {};

TEST_P(HostExtractSheetRange, IsRefusedWholeAndNothingIsSaved) {
    ScratchFile table("extractrange", "streams.csv", "name,supply,target,cp,h,kind\nH1,150,60,2,0.2,process\n"
                                                     "C1,20,140,1.5,0.2,process\n");
    ScratchFile base("extractrange", "base.case", "", false);
    if (GetParam().intoRetrofit) {
        ScratchFile designed("extractrange", "designed.case", "", false);
        ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                             " --save " + designed.path)
                         .exitCode);
        ASSERT_EQ(0, RunViewScript(designed.path, "cmd SelectRetrofitNow\n", " --save " + base.path).exitCode);
    } else {
        ASSERT_EQ(0, RunHost("targets " + table.path + " --save " + base.path).exitCode);
    }
    const std::string before = FileContents(base.path);
    ScratchFile sheet("extractrange", std::string(GetParam().name) + ".csv", GetParam().text);
    ScratchFile out("extractrange", "out.case", "", false);
    const HostRun run = RunHost("extract " + sheet.path + " --into " + base.path + " --json --save " + out.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, GetParam().says)) << run.out;
    EXPECT_FALSE(has(run.out, "\"segments\"")) << run.out;
    EXPECT_FALSE(FileExists(out.path));
    EXPECT_EQ(before, FileContents(base.path));
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, HostExtractSheetRange,
    ::testing::Values(
        Mutation{"negativeCp", "Stream,,Supply,Target,CP\n,,F,F,Btu/hr-F\nH1,,302,212,-3791.268481\n",
                 "row 3: a heat-capacity flow rate outside 0.001 to 1e9 kW/C"},
        Mutation{"above5000C", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,6000,212,2\n",
                 "row 3: a temperature outside -273.15 to 5000 C"},
        // Was saved half-written (the case reopened with 290/0 for 150/60).
        Mutation{"segmentTurnsBack", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,150,100,2\nH1,,100,120,2\n",
                 "row 4: stream \"H1\" turns back"},
        // Was printed as "H1 (hot): 150 -> 60 C, 0 kW" and saved with targets of 290/0 kW.
        Mutation{"rowAgainstItsStream", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,60,150,3\n",
                 "row 3: stream \"H1\" is hot, but the row runs from \"60\" to \"150\""},
        Mutation{"coldRowOnAHotStream", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nC1,,140,20,1.5\n",
                 "row 3: stream \"C1\" is cold"},
        // The empty marker is a number in a sheet, and no value a case could hold.
        Mutation{"emptyMarkerCp", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,150,100,-32767\n",
                 "row 3: the number -32767"},
        // ... nor a heat flow: the engine would read it as no load and make a 0 kW stream.
        Mutation{"emptyMarkerLoad", "Stream,,Supply,Target,CP,Load\n,,C,C,kW/C,kW\nH1,,170,100,,-32767\n",
                 "row 3: the number -32767"},
        // 3 kW/C over 110 C is 330 kW, not the 10 kW the row gives.
        Mutation{"cpAndLoadDisagree", "Stream,,Supply,Target,CP,Load\n,,C,C,kW/C,kW\nH1,,170,60,3,10\n",
                 "row 3: cp 3 and heat flow 10 disagree"},
        Mutation{"neitherCpNorHeatFlow", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,150,100,\n",
                 "row 3: stream \"H1\" is a process stream, and the row gives neither"},
        Mutation{"noDataRows", "Stream,,Supply,Target,CP\n,,C,C,kW/C\n", "the sheet holds no segment rows"},
        // A sheet a case holds, into a retrofit study: its streams are the base's, not replaced.
        Mutation{"intoARetrofitStudy", "Stream,,Supply,Target,CP\n,,C,C,kW/C\nH1,,150,100,2\n",
                 "is a retrofit study, whose streams are held for its base design", true}),
    [](const ::testing::TestParamInfo<Mutation>& info) { return std::string(info.param.name); });

class HostExtractDocumentRange : public ::testing::TestWithParam<Mutation> {};

TEST_P(HostExtractDocumentRange, IsRefusedWithTheStreamAndValue) {
    ScratchFile document("extractrange", std::string(GetParam().name) + ".vmc", GetParam().text);
    ScratchFile out("extractrange", "doc-out.case", "", false);
    const HostRun run = RunHost("extract " + document.path + " --json --save " + out.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_TRUE(has(run.out, GetParam().says)) << run.out;
    EXPECT_TRUE(has(run.out, "nothing was extracted")) << run.out;
    EXPECT_FALSE(FileExists(out.path));
}

const std::string kTrain = FileContents(ExamplePath("extraction/exchanger-train.vmc"));

INSTANTIATE_TEST_SUITE_P(
    Documents, HostExtractDocumentRange,
    ::testing::Values(Mutation{"supplyAbove5000C",
                               replaced(kTrain, "<num name=\"Temperature\" units=\"C\">200</num>",
                                        "<num name=\"Temperature\" units=\"C\">9000</num>"),
                               "9000"}),
    [](const ::testing::TestParamInfo<Mutation>& info) { return std::string(info.param.name); });

}  // namespace
