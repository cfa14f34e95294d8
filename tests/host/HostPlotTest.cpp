// kestrin-host plot: every curve kind of a stream table, with and without segmented streams,
// and the cost kinds over range targets, drawn as SVG that xmllint and rsvg-convert accept;
// bad input fails with a message and writes no file.
#include "HostProcess.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

struct Scratch {
    std::string path;
    explicit Scratch(const std::string& stem) : path("/tmp/kestrin-plot-" + std::to_string(getpid()) + "-" + stem) {}
    ~Scratch() { std::remove(path.c_str()); }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int shell(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* const kSegmented =
    "name,supply,target,cp,h,kind\n"
    "H1,200,150,2,0.2,process\n"
    "H1,150,80,4,0.2,process\n"
    "H2,160,40,1.5,0.2,process\n"
    "C1,30,120,2.5,0.2,process\n"
    "C1,120,180,1.2,0.2,process\n"
    "C2,60,100,3,0.2,process\n"
    "C2,100,140,1,0.2,process\n"
    "HP Steam,,,,,utility\n"
    "Cooling Water,,,,,utility\n";

struct KindCase {
    const char* kind;
    const char* extra;
};
void PrintTo(const KindCase& c, std::ostream* os) {
    *os << "--kind " << c.kind << (c.extra && *c.extra ? std::string(" ") + c.extra : std::string());
}

class HostPlot : public ::testing::TestWithParam<KindCase> {};

TEST_P(HostPlot, EveryKindIsAPictureThatXmllintAndRsvgAccept) {
    Scratch segmented("segmented.csv");
    std::ofstream(segmented.path) << kSegmented;
    for (const std::string& input : {example("four-streams.csv"), segmented.path}) {
        Scratch svg(std::string(GetParam().kind) + ".svg"), png(std::string(GetParam().kind) + ".png");
        const HostRun run = RunHost("plot " + input + " --kind " + GetParam().kind + " --svg " + svg.path + " --json " +
                                    GetParam().extra);
        ASSERT_EQ(0, run.exitCode) << input << "\n" << run.out;
        EXPECT_TRUE(has(run.out, "\"data_sets\":[{\"number\":1,")) << run.out;
        const std::string picture = readFile(svg.path);
        EXPECT_TRUE(has(picture, "class=\"plot-area\"")) << input;
        EXPECT_TRUE(has(picture, "class=\"legend\"")) << input;
        EXPECT_EQ(0, shell("xmllint --noout " + svg.path)) << input;
        EXPECT_EQ(0, shell("rsvg-convert -o " + png.path + " " + svg.path)) << input;
        EXPECT_GT(readFile(png.path).size(), 1000u) << input;
        ExpectReportGrade(picture, input);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HostPlot,
                         ::testing::Values(KindCase{"grand", ""}, KindCase{"cascade", ""}, KindCase{"composite", ""},
                                           KindCase{"shifted", "--dtmin 20"}, KindCase{"balanced", ""},
                                           KindCase{"shifted-balanced", ""}, KindCase{"utility", ""},
                                           KindCase{"hot-driving-force", ""}, KindCase{"cold-driving-force", ""},
                                           KindCase{"alpha", "--from 5 --to 30 --step 5"},
                                           KindCase{"area-demand", "--from 5 --to 30 --step 5"},
                                           KindCase{"range", "--from 5 --to 30 --step 5 --right cold-utility"},
                                           KindCase{"supertarget", "--from 5 --to 30 --step 5"}),
                         [](const auto& info) {
                             std::string name = info.param.kind;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

// The supertarget picture's title says what is drawn and its key names only drawn series;
// numbers below a million are written out.
TEST(HostPlotPictures, TheSupertargetPictureNamesWhatItDraws) {
    Scratch svg("supertarget.svg");
    const HostRun run = RunHost("plot " + example("four-streams.csv") + " --kind supertarget --from 5 --to 30 --step 5 --svg " +
                                svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string picture = readFile(svg.path);
    EXPECT_FALSE(has(picture, ">General Plot<")) << picture;
    EXPECT_TRUE(has(picture, ">Capital Cost Index against Operating Cost Index<")) << picture;
    EXPECT_FALSE(has(picture, ">None<")) << "no key entry for the empty right axis";
    EXPECT_FALSE(has(picture, "e+05<")) << picture;
}

// A picture of empty axes would pass for a result: a plot with nothing to draw fails with why.
TEST(HostPlotInput, APlotWithNothingToDrawFailsWithTheReasonAndWritesNoFile) {
    Scratch svg("empty.svg"), network("network.case");
    const std::string four = example("four-streams.csv");
    ASSERT_EQ(0, RunHost("design " + four + " " + example("four-streams-network.csv") + " --save " + network.path).exitCode);
    const struct {
        std::string arguments;
        const char* message;
    } cases[] = {
        {"plot " + four + " --kind user-utility --svg " + svg.path, "no user-supplied utility loads"},
        {"plot " + four + " --kind investment-saving --from 5 --to 30 --step 5 --svg " + svg.path, "names none"},
        {"plot " + four + " --kind retrofit-alpha --from 5 --to 30 --step 5 --svg " + svg.path, "names none"},
        {"plot " + network.path + " --kind payback --svg " + svg.path, "retrofit base design"},
    };
    for (const auto& c : cases) {
        const HostRun run = RunHost(c.arguments);
        EXPECT_EQ(1, run.exitCode) << c.arguments << "\n" << run.out;
        EXPECT_TRUE(has(run.out, c.message)) << c.arguments << "\n" << run.out;
        EXPECT_FALSE(exists(svg.path)) << c.arguments;
    }
}

TEST(HostPlotInput, BadInputFailsWithAMessageAndWritesNoFile) {
    Scratch svg("bad.svg");
    struct Bad {
        std::string arguments;
        const char* message;
    };
    const std::string four = example("four-streams.csv");
    const Bad cases[] = {
        {"plot " + four + " --svg " + svg.path, "plot needs --kind"},
        {"plot " + four + " --kind bogus --svg " + svg.path, "unknown plot kind bogus"},
        {"plot " + four + " --kind composite", "plot needs --svg"},
        {"plot " + four + " --kind area-demand --svg " + svg.path, "needs range targets"},
        {"plot " + four + " --kind composite --svg " + svg.path + " --from 5 --to 10", "for the cost plots"},
        {"plot " + four + " --kind composite --svg " + svg.path + " --at 1,2,3", "--at needs H,T"},
        {"plot " + four + " --kind alpha --svg " + svg.path + " --at 1,2", "not on a cost plot"},
        {"plot " + four + " --kind alpha --svg " + svg.path, "needs range targets"},
        {"plot " + four + " --kind payback --svg " + svg.path, "holds none"},
        {"plot " + four + " --kind grand --svg " + svg.path + " --dtmin x", "--dtmin needs a number"},
        {"plot /nonexistent.csv --kind grand --svg " + svg.path, "nonexistent"},
        {"targets " + four + " --kind grand", "takes no --kind"},
        {"plot " + four + " --kind range --svg " + svg.path, "needs range targets"},
        {"plot " + four + " --kind supertarget --svg " + svg.path + " --from 5", "--from and --to go together"},
        {"plot " + four + " --kind range --svg " + svg.path + " --from 5 --to 30 --left none", "refuses"},
        {"plot " + four + " --kind range --svg " + svg.path + " --from 5 --to 30 --right total", "refuses"},
        {"plot " + four + " --kind range --svg " + svg.path + " --from 5 --to 30 --x none", "refuses"},
        {"plot " + four + " --kind range --svg " + svg.path + " --from 5 --to 30 --left heat", "is no quantity"},
        {"plot " + four + " --kind grand --svg " + svg.path + " --x dtmin", "range and supertarget"},
        {"plot " + four + " --kind supertarget --svg " + svg.path + " --from 5 --to 30 --at 1,2", "not on a cost plot"},
        {"targets " + four + " --left total", "takes no --left"},
    };
    for (const Bad& c : cases) {
        const HostRun run = RunHost(c.arguments);
        EXPECT_NE(0, run.exitCode) << c.arguments;
        EXPECT_TRUE(has(run.out, c.message)) << c.arguments << "\n" << run.out;
        EXPECT_FALSE(exists(svg.path)) << c.arguments;
    }
    // The input is never written over.
    Scratch copy("input.csv");
    std::ofstream(copy.path) << readFile(four);
    const HostRun run = RunHost("plot " + copy.path + " --kind grand --svg " + copy.path);
    EXPECT_EQ(1, run.exitCode);
    EXPECT_TRUE(has(run.out, "names the input")) << run.out;
    EXPECT_EQ(readFile(four), readFile(copy.path));
}

TEST(HostPlotInput, PointingAtTheHotCompositeCurveNamesItsStreams) {
    Scratch svg("at.svg");
    const HostRun on = RunHost("plot " + example("four-streams.csv") + " --kind composite --svg " + svg.path + " --at 300,120");
    ASSERT_EQ(0, on.exitCode) << on.out;
    EXPECT_TRUE(has(on.out, "H1")) << on.out;
    EXPECT_TRUE(has(on.out, "H2")) << on.out;
    const HostRun off = RunHost("plot " + example("four-streams.csv") + " --kind composite --svg " + svg.path + " --at 5,300");
    ASSERT_EQ(0, off.exitCode) << off.out;
    EXPECT_TRUE(has(off.out, "no stream at that point")) << off.out;
}

}  // namespace

namespace {

// The composite curves carry the four-stream targets (examples/four-streams.csv, DTmin 10): the
// pinch at 90 C hot and 80 C cold, 20 kW of hot and 60 kW of cold utility; the shifted curves
// and the grand composite their pinch at the shifted 85 C. Each level lies at its temperature
// on the axis.
struct TargetMarks {
    const char* kind;
    std::vector<std::pair<const char*, double>> levels;
};

void PrintTo(const TargetMarks& marks, std::ostream* out) { *out << marks.kind; }

class HostPlotTargets : public ::testing::TestWithParam<TargetMarks> {};

TEST_P(HostPlotTargets, TheCurvesCarryThePinchTheUtilityTargetsAndDTmin) {
    Scratch svg(std::string(GetParam().kind) + "-targets.svg");
    const HostRun run = RunHost("plot " + example("four-streams.csv") + " --kind " + GetParam().kind + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const SvgPicture pic = ReadSvg(readFile(svg.path));
    ASSERT_TRUE(pic.parsed);
    ASSERT_NE(nullptr, pic.PlotArea());
    const SvgAxes axes(*pic.PlotArea());
    std::vector<std::string> notes;
    for (const SvgElement* n : pic.OfClass("note")) notes.push_back(n->text);
    EXPECT_EQ((std::vector<std::string>{"QH = 20.0 kW", "QC = 60.0 kW", "DTmin = 10.0 C"}), notes);
    const auto lines = pic.OfClass("level");
    ASSERT_EQ(GetParam().levels.size(), lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(GetParam().levels[k].first, lines[k]->Attribute("data-label"));
        EXPECT_NEAR(GetParam().levels[k].second, axes.Y(lines[k]->Number("y1")), 1e-3);
        EXPECT_DOUBLE_EQ(lines[k]->Number("y1"), lines[k]->Number("y2"));
    }
    EXPECT_EQ(lines.size(), pic.OfClass("level-label").size());
}

INSTANTIATE_TEST_SUITE_P(Curves, HostPlotTargets,
                         ::testing::Values(TargetMarks{"composite", {{"Hot pinch 90.0 C", 90.0}, {"Cold pinch 80.0 C", 80.0}}},
                                           TargetMarks{"shifted", {{"Pinch 85.0 C", 85.0}}},
                                           TargetMarks{"grand", {{"Pinch 85.0 C", 85.0}}}),
                         [](const auto& info) { return std::string(info.param.kind); });

// The README's range example: hot and cold utility differ by a constant 40 kW, so on scales of
// their own the two lines would coincide; in kW both they share one scale and both show.
TEST(HostPlotPictures, TheReadmesRangeExampleShowsBothCurves) {
    Scratch svg("range.svg");
    const HostRun run = RunHost("plot " + example("four-streams.csv") +
                                " --kind range --from 5 --to 30 --step 5 --left hot-utility --right cold-utility --svg " +
                                svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string picture = readFile(svg.path);
    auto edge = [&](const std::string& name) {
        const std::size_t at = picture.find("data-" + name + "=\"");
        return at == std::string::npos ? NAN : std::strtod(picture.c_str() + at + name.size() + 7, nullptr);
    };
    EXPECT_EQ(edge("y-min"), edge("y2-min")) << picture;
    EXPECT_EQ(edge("y-max"), edge("y2-max")) << picture;
    EXPECT_LE(edge("y-min"), 0.0);
    EXPECT_GE(edge("y-max"), 150.0);
}

}  // namespace
