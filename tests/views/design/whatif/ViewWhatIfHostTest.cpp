// kestrin-host view --open design on a case made here through the engine: a locked network with
// an executed schedule and a study. The script reaches the event summary and the trend-analysis
// view, reads their tables, and writes the study's trend plot.
#include "eng/design/HENDesign.h"
#include "eng/design/IHENTrend.h"
#include "eng/startup/HostServices.h"
#include "lumeth/BinaryFile.h"
#include "tests/eng/design/DesignTestSupport.h"
#include "tests/host/HostProcess.h"
#include "tests/support/FourStreamProject.h"

#include <gtest/gtest.h>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("whatif", stem, "", false) {}
};

// The textbook streams by mass flow and specific heat with film coefficients, two exchangers
// (H1-C2 240 kW, H2-C1 150 kW), locked; schedule Event-P1 takes E-100 out of service and is
// executed; the default study runs over two intervals and Study-1, made from it, is calculated
// too.
bool writeCase(const std::string& path) {
    FourStreamProject p(false);
    p.scenario->SuspendCalculations();
    ForEachFourStream([&](const char* name, double s, double t, double cp) {
        p.scenario->AddStream(name, 0);
        IHeatIntegrationStream* stream = p.Stream(name);
        stream->SetValue("Temperature", s, 0);
        stream->SetValue("Temperature", t, 1);
        stream->SetValue("MassFlow", cp / 2.0, 0);
        stream->SetValue("SpecificHeat", 2.0, 0);
        stream->SetValue("HTCoeff", 0.5, 0);
        stream->SetValue("ThermalConductivity", 0.12, 0);
        stream->SetValue("Viscosity", 0.0008, 0);
        stream->SetValue("MassDensity", 850.0, 0);
    });
    p.scenario->ResumeCalculations(true);
    if (p.scenario->AddDesign("Design 1") != 1) return false;
    IHENDesign* found = nullptr;
    p.scenario->GetDesign("Design 1", found);
    auto* d = dynamic_cast<CPIHENDesign*>(found);
    if (!d) return false;
    for (auto [hot, cold, duty] : {std::tuple{"H1", "C2", 240.0}, std::tuple{"H2", "C1", 150.0}}) {
        CNode* x = d->AddHeatExchanger(design_test::NthSegment(*d, hot, 0), design_test::NthSegment(*d, cold, 0), nullptr,
                                       nullptr, nullptr);
        if (!x) return false;
        d->RemoveUtilityAtPort(x, 0);
        d->RemoveUtilityAtPort(x, 2);
        x->addVariable(NodeValue::HXType, 0.0, ValueStatus::Specified);
        x->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
    }
    d->LockOperation();
    if (!d->AddNewSchedule() || d->AddEventToSchedule("HeatExchangerRemovalEvent", "E-100")) return false;
    d->ExecuteSchedule();
    d->AddStudy();
    IHENTrend* base = d->GetDefaultStudy();
    base->SetNumberOfIntervals(2);
    for (int t = 0; t <= 2; ++t) base->SetTimeAtPoint(t, t * 2628000.0);
    d->AddStudy();
    d->CalculateDefaultStudy();
    d->SelectStudy("Study-1");
    d->CalculateCurrentStudy();
    ILurmetBinaryFile* file = KestrinOpenCaseFile(path.c_str(), 1);
    if (!file) return false;
    const bool ok = p.project->Store(*file) && KestrinCommitCaseFile(file) == 1;
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

}  // namespace
