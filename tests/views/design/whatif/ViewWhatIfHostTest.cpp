// kestrin-host view --open design on a case made here through the engine: a locked network with
// an executed schedule and a study. The script reaches the event summary and the trend-analysis
// view, reads their tables, and writes the study's trend plot.
#ifdef KESTRIN_HOST_EXE
#include "module/HostServices.h"
#include "lumeth/BinaryFile.h"
#include "tests/host/HostProcess.h"
#include "tests/views/design/whatif/WhatIfTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("whatif", stem, "", false) {}
};

bool writeCase(const std::string& path) {
    whatif_test::LockedProject locked;
    if (!locked.d) return false;
    ILurmetBinaryFile* file = KestrinOpenCaseFile(path.c_str(), 1);
    if (!file) return false;
    const bool ok = locked.p.project->Store(*file) && KestrinCommitCaseFile(file) == 1;
    KestrinCloseCaseFile(file);
    return ok;
}

TEST(ViewWhatIfHost, TheViewerReachesTheEventSummaryAndTheTrendViewOfALockedNetwork) {
    Scratch saved("locked.kestrin"), script("whatif.txt"), plot("trend.svg");
    ASSERT_TRUE(writeCase(saved.path));
    std::ofstream(script.path) << "open ScheduleTypeView.301(Event Summary)\n"
                                  "text ExtraData.300.1\n"
                                  "dims HeatFlow.300.[].0\n"
                                  "get HeatFlow.300.[].0\n"
                                  "open MyOwnerObject\n"
                                  "open TrendAnalysisView.200.1\n"
                                  "get Time.354.[]\n"
                                  "text Time.300\n"
                                  "text ExtraData.360.0\n"
                                  "open TrendNodeViewObject.300:StudyNodeView.300.1\n"
                                  "set Enum.380 1\n"
                                  "svg TwoDimPlotObject.200 "
                               << plot.path << "\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"2: text ExtraData.300.1\n  text Event-P1", "3: dims HeatFlow.300.[].0\n  dims 2 2",
                             "4: get HeatFlow.300.[].0\n  value 240", "7: get Time.354.[]\n  value 0 1 2",
                             "8: text Time.300\n  text months", "9: text ExtraData.360.0\n  text E-100"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;
    const std::string svg = FileContents(plot.path);
    EXPECT_NE(std::string::npos, svg.find("Time(months)")) << svg.substr(0, 400);
    EXPECT_NE(std::string::npos, svg.find("Stream Outlet Temp Trend"));
    EXPECT_NE(std::string::npos, svg.find("data-label=\"Default Study\"")) << svg.substr(0, 400);
    EXPECT_NE(std::string::npos, svg.find("data-label=\"Study-1\""));
}

// The default study's own trend plot compares it with nothing: it is drawn, and named in the
// legend, once.
TEST(ViewWhatIfHost, TheDefaultStudysTrendPlotNamesItOnce) {
    Scratch saved("locked-default.kestrin"), script("whatif-default.txt"), plot("trend-default.svg");
    ASSERT_TRUE(writeCase(saved.path));
    std::ofstream(script.path) << "open TrendAnalysisView.200.1\n"
                                  "open TrendNodeViewObject.300:StudyNodeView.300.0\n"
                                  "set Enum.380 1\n"
                                  "svg TwoDimPlotObject.200 "
                               << plot.path << "\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string svg = FileContents(plot.path);
    std::size_t named = 0;
    for (std::size_t at = svg.find("data-label=\"Default Study\""); at != std::string::npos;
         at = svg.find("data-label=\"Default Study\"", at + 1))
        ++named;
    EXPECT_EQ(1u, named) << svg;
}

}  // namespace
#endif  // KESTRIN_HOST_EXE
