// Every grid picture keeps its texts apart and inside it, whatever the network, the stream order,
// the direction of the lines, the pinch layout, the heaters and coolers shown or left out and the
// label rows chosen under the units: the examples' networks, the automatic design of the retrofit
// plant, the ten-exchanger network, and two plants built for what lies beside a pinch line.
//
// The generation plant: H1 134 -> 60 C (CP 2), C1 124 -> 200 C (CP 1), C2 50 -> 120 C (CP 1),
// DTmin 10. Above the shifted 129 C only C1 takes heat (76 kW of steam), below it H1 gives 148 kW
// against C2's 70 kW (78 kW to cooling water): the pinch lies at 134 / 124 C, where low-pressure
// steam generation (124 -> 125 C) starts. With the utility lines shown that line is the topmost,
// its start stands on the pinch line and its name is written beside the pinch's own texts.
//
// The textbook plant (4SP1, pinch 125 / 115 C) with medium-pressure steam and air listed as well:
// reversed, the cooler on H1 stands next to H1's end, both at 45 C.
#include "HostProcess.h"
#include "TenExchangerNetwork.h"
#include "../support/SvgReadBack.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* kGenerationStreams =
    "name,supply,target,cp,h,kind\n"
    "H1,134,60,2,0.2,process\nC1,124,200,1,0.2,process\nC2,50,120,1,0.2,process\n"
    "HP Steam,,,,,utility\nLP Steam Generation,,,,,utility\nCooling Water,,,,,utility\n"
    "MP Steam,,,,,utility\nHot Oil,,,,,utility\nAir,,,,,utility\nRefrigerant 1,,,,,utility\n";
const char* kGenerationNetwork =
    "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C2,70,1,1\nHeater,HP Steam,C1,76,,1\nCooler,H1,Cooling Water,78,2,\n";

const char* kTextbookStreams =
    "name,supply,target,cp,h,kind\n"
    "H1,175,45,10,0.2,process\nH2,125,65,40,0.2,process\nC1,20,155,20,0.2,process\nC2,40,112,15,0.2,process\n"
    "HP Steam,,,,,utility\nCooling Water,,,,,utility\nMP Steam,,,,,utility\nAir,,,,,utility\n";
const char* kTextbookNetwork =
    "name,hot,cold,duty,hot_order,cold_order\n"
    "E1,H1,C1,500,1,3\nE2,H1,C1,580,2,1\nE3,H2,C1,1320,1,2\nE4,H2,C2,1080,1,1\n"
    "Heater,HP Steam,C1,300,,4\nCooler,H1,Cooling Water,220,3,\n";

// The retrofit plant served by its utilities alone.
const char* kUtilitiesOnly =
    "name,hot,cold,duty,hot_order,cold_order\nHeater,HP Steam,C,240,,1\nCooler1,H1,Cooling Water,200,1,\nCooler2,H2,Air,60,1,\n";

const char* kThreeRows = "set Enum.200 4\nset Enum.201 6\nset Enum.202 8\n";

// The four-stream problem (pinch 90 / 80 C) with one exchanger of 100 kW: H1 170 -> 136.7 C wholly
// above the pinch, C1 20 -> 70 C wholly below it. Drawn across the pinch, its tie-line slants down
// from H1's line past the 136.7 C written under it.
const char* kAcrossPinch = "name,hot,cold,duty,hot_order,cold_order\nE1,H1,C1,100,1,1\n";

struct Drawing {
    const char* input;    // which network
    const char* options;  // grid's options, or a view script's lines when `script` is set
    bool script = false;
    bool tieLines = false;  // whether the units' tie-lines are held to running clear of the texts too
};

void PrintTo(const Drawing& d, std::ostream* out) { *out << d.input << " " << (d.script ? "script" : d.options); }

// The network's files for the test, written or built on first use.
class Inputs {
public:
    // The arguments grid takes for the network.
    std::string Grid(const std::string& input) {
        if (input == "auto") return Auto() + " --design A_Design0";
        if (input == "site") return Site() + " --design A_Design0";
        const auto [streams, network] = Tables(input);
        return streams + " " + network;
    }
    // A saved case of the network for view scripts.
    std::string Case(const std::string& input) {
        if (input == "auto") return Auto();
        if (input == "site") return Site();
        const auto [streams, network] = Tables(input);
        ScratchFile& saved = Scratch(input + ".kestrin", "", false);
        if (RunHost("design " + streams + " " + network + " --save " + saved.path).exitCode != 0) ADD_FAILURE() << input;
        return saved.path;
    }

private:
    std::pair<std::string, std::string> Tables(const std::string& input) {
        if (input == "split") return {ExamplePath("four-streams.csv"), ExamplePath("four-streams-split-network.csv")};
        if (input == "four") return {ExamplePath("four-streams.csv"), ExamplePath("four-streams-network.csv")};
        if (input == "operated") return {ExamplePath("operated-streams.csv"), ExamplePath("operated-network.csv")};
        if (input == "across") return {ExamplePath("four-streams.csv"), Scratch("across.csv", kAcrossPinch).path};
        if (input == "retrofit") return {ExamplePath("retrofit-streams.csv"), ExamplePath("retrofit-network.csv")};
        if (input == "utilities") return {ExamplePath("retrofit-streams.csv"), Scratch("utilities.csv", kUtilitiesOnly).path};
        if (input == "generation")
            return {Scratch("generation.csv", kGenerationStreams).path, Scratch("generation-net.csv", kGenerationNetwork).path};
        if (input == "textbook")
            return {Scratch("textbook.csv", kTextbookStreams).path, Scratch("textbook-net.csv", kTextbookNetwork).path};
        const auto [streams, network] = TenExchangerNetwork();
        return {Scratch("ten.csv", streams).path, Scratch("ten-net.csv", network).path};
    }
    std::string Auto() {
        ScratchFile& saved = Scratch("retrofit-auto.kestrin", "", false);
        if (RunHost("autodesign " + ExamplePath("retrofit-streams.csv") + " --save " + saved.path).exitCode != 0) ADD_FAILURE();
        return saved.path;
    }
    // The automatic design of the 24-stream site (51 units), saved once: designing it takes minutes.
    static std::string Site() { return std::string(KESTRIN_TEST_DATA) + "/cases/site-24-automatic.kestrin"; }
    ScratchFile& Scratch(const std::string& stem, const std::string& content, bool write = true) {
        files.push_back(std::make_unique<ScratchFile>("gridtexts", stem, content, write));
        return *files.back();
    }
    std::vector<std::unique_ptr<ScratchFile>> files;
};

// The picture grid draws of the drawing, its text; empty (and the test failed) when the job failed.
std::string DrawPicture(const Drawing& d, Inputs& inputs, const std::string& label) {
    ScratchFile svg("gridtexts", "picture.svg", "", false);
    HostRun run;
    if (d.script) {
        ScratchFile script("gridtexts", "script.txt", std::string(d.options) + "svg . " + svg.path + "\n");
        run = RunHost("view " + inputs.Case(d.input) + " --open grid --script " + script.path);
    } else {
        run = RunHost("grid " + inputs.Grid(d.input) + " " + d.options + " --svg " + svg.path);
    }
    EXPECT_EQ(0, run.exitCode) << label << "\n" << run.out;
    ScratchFile png("gridtexts", "picture.png", "", false);
    EXPECT_EQ(0, ShellStatus("rsvg-convert -o " + png.path + " " + svg.path)) << label;
    return run.exitCode == 0 ? FileContents(svg.path) : std::string();
}

class HostGridTexts : public ::testing::TestWithParam<Drawing> {};

// A case's picture drawn and read back: its SVG text (for the view box) and its elements.
struct DrawnPicture {
    std::string label, text;
    SvgPicture picture;
    bool Read() const { return !text.empty() && picture.parsed; }
};

DrawnPicture DrawAndRead(const Drawing& d) {
    DrawnPicture p;
    p.label = std::string(d.input) + " " + d.options;
    Inputs inputs;
    p.text = DrawPicture(d, inputs, p.label);
    if (!p.text.empty()) p.picture = ReadSvg(p.text);
    return p;
}

TEST_P(HostGridTexts, NoTextIsWrittenOverAnotherNorOutsideThePicture) {
    const DrawnPicture drawn = DrawAndRead(GetParam());
    ASSERT_TRUE(drawn.Read()) << drawn.label;
    const std::string &label = drawn.label, &text = drawn.text;
    const SvgPicture& picture = drawn.picture;
    int texts = 0;
    for (const SvgElement& e : picture.elements) texts += e.name == "text";
    EXPECT_GT(texts, 10) << label;
    ExpectTextsApartAndInside(picture, ReadViewBox(text), label);
}

INSTANTIATE_TEST_SUITE_P(
    Networks, HostGridTexts,
    ::testing::Values(
        // A utility line's name on the pinch line, under the pinch's texts, in either direction.
        Drawing{"generation", "--preset 4 --pinch"}, Drawing{"generation", "--preset 4 --pinch --reverse"},
        Drawing{"generation", "--preset 4 --pinch --hide-utilities"},
        Drawing{"generation", "--preset 4 --pinch --hide-utilities --reverse"},
        // Three label rows under the units: the lowest row stays inside the picture.
        Drawing{"four", kThreeRows, true}, Drawing{"auto", kThreeRows, true},
        Drawing{"split", "set Enum.206 3\nset Switch.200 1\nset Switch.202 1\nset Enum.200 4\nset Enum.201 6\nset Enum.202 8\n", true},
        // A unit beside a stream's end leaves the end's temperature to it.
        Drawing{"textbook", "--preset 4 --pinch --reverse"}, Drawing{"textbook", "--preset 6 --pinch --reverse"},
        // The automatic design of the retrofit plant, its heaters and coolers left out.
        Drawing{"auto", "--preset 4 --pinch --hide-utilities"}, Drawing{"auto", "--preset 5 --pinch --hide-utilities --reverse"},
        Drawing{"auto", "--preset 6 --pinch --hide-utilities"}, Drawing{"auto", "--preset 6 --pinch --reverse"},
        Drawing{"utilities", "--pinch --hide-utilities"}, Drawing{"utilities", "--preset 4 --pinch --hide-utilities --reverse"},
        // The examples' networks.
        Drawing{"split", ""}, Drawing{"split", "--preset 4 --pinch --reverse"}, Drawing{"four", "--preset 5 --pinch"},
        Drawing{"operated", "--pinch"}, Drawing{"operated", "--preset 6 --reverse"}, Drawing{"retrofit", "--preset 4 --pinch --reverse"},
        Drawing{"ten", ""}, Drawing{"ten", "--preset 4 --reverse"},
        // A crowded automatic design: the picture widens to give its columns the room their texts need.
        Drawing{"site", ""}, Drawing{"site", "--pinch"},
        // A picture drawn from a small window still holds its texts.
        Drawing{"four", "resize 100 100\n", true}, Drawing{"ten", "resize 100 100\n", true}));

}  // namespace

// A pinch line is drawn from the picture's head to its foot: a stream that starts at the pinch's
// temperature has its square there and a unit across the pinch stands on it, and no name,
// temperature or duty of theirs may be crossed by that line or by a stream's line.
class HostGridLines : public ::testing::TestWithParam<Drawing> {};

TEST_P(HostGridLines, NoPinchOrStreamLineRunsThroughAText) {
    const Drawing& d = GetParam();
    const DrawnPicture drawn = DrawAndRead(d);
    ASSERT_TRUE(drawn.Read()) << drawn.label;
    const std::string &label = drawn.label, &text = drawn.text;
    const SvgPicture& picture = drawn.picture;
    std::vector<std::string> lines{"pinch", "stream-segment"};
    if (d.tieLines) lines.push_back("exchanger");
    ExpectNoLineThroughText(picture, lines, label);
    ExpectTextsApartAndInside(picture, ReadViewBox(text), label);
}

INSTANTIATE_TEST_SUITE_P(
    StartsOnThePinch, HostGridLines,
    ::testing::Values(
        // C of the retrofit plant starts at the cold pinch, 100 C; its line runs from there into
        // the heat sink, leftwards, or rightwards when reversed.
        Drawing{"utilities", "--pinch --hide-utilities"}, Drawing{"utilities", "--preset 4 --pinch --hide-utilities --reverse"},
        Drawing{"retrofit", "--pinch"}, Drawing{"auto", "--preset 6 --pinch --reverse"},
        // C2 of the four-stream problem starts at the cold pinch, 80 C.
        Drawing{"four", "--pinch"}, Drawing{"four", "--preset 5 --pinch --reverse"}, Drawing{"split", "--pinch --hide-utilities"},
        // C1 of the generation plant starts at its cold pinch, 124 C; H2 of the textbook plant at
        // its hot pinch, 125 C.
        Drawing{"generation", "--preset 4 --pinch"}, Drawing{"textbook", "--preset 4 --pinch --reverse"},
        // E101 of the operated network crosses the pinch on both its streams (H2 150 -> 50 C,
        // C1 20 -> 95 C against 90 / 80 C): it stands in the pinch's column, its tie-line along
        // the pinch line, which runs through neither its name nor its duty.
        Drawing{"operated", "--pinch"}, Drawing{"operated", "--preset 5 --pinch --reverse --hide-utilities"},
        // No pinch layout: only the streams' own lines.
        Drawing{"ten", "--preset 4 --reverse"},
        // A flat window and three label rows under the units: the lines are spaced to hold them.
        Drawing{"ten", "resize 1150 300\nset Enum.200 4\nset Enum.201 6\nset Enum.202 8\n", true},
        Drawing{"ten", "resize 1150 300\nset Enum.200 4\nset Enum.201 6\n", true},
        // A small window: the picture grows past the diagram's own scale, its lines wider than
        // four pixels under them, and the temperatures written there keep clear of them still.
        Drawing{"four", "resize 100 100\n", true}, Drawing{"ten", "resize 100 100\n", true},
        // E1 runs from H1 above the pinch to C1 across it: its tie-line keeps clear of C1's outlet
        // temperature.
        Drawing{"across", "--pinch", false, true}, Drawing{"across", "--pinch --reverse", false, true}));

// A picture grows to part its texts, but not without end: two hundred units on twenty streams
// would take it past a hundred thousand pixels a side (its coordinates then losing their last
// digits), where texts a layout writes a fixed distance apart never part. It stops at 16,384.
TEST(HostGridPictureSize, APictureGrowsToNoMoreThanItsLargestSide) {
    std::string streams = "name,supply,target,cp,h,kind\n", network = "name,hot,cold,duty,hot_order,cold_order\n";
    constexpr int kPairs = 10, kUnits = 200;
    for (int i = 0; i < kPairs; ++i) streams += "H" + std::to_string(i) + ",400,200,10,0.5,process\n";
    for (int i = 0; i < kPairs; ++i) streams += "C" + std::to_string(i) + ",20,180,10,0.5,process\n";
    streams += "Fired Heat (1000),,,,,utility\nCooling Water,,,,,utility\n";
    // Twenty units on each stream, 40 kW each: every stream keeps a load for its heater or cooler.
    int hotOrder[kPairs] = {}, coldOrder[kPairs] = {};
    for (int e = 0; e < kUnits; ++e) {
        const int h = e % kPairs, c = (e * 7 + e / kPairs) % kPairs;
        network += "E" + std::to_string(e + 1) + ",H" + std::to_string(h) + ",C" + std::to_string(c) + ",40," +
                   std::to_string(++hotOrder[h]) + "," + std::to_string(++coldOrder[c]) + "\n";
    }
    ScratchFile s("gridsize", "streams.csv", streams), n("gridsize", "network.csv", network);
    ScratchFile svg("gridsize", "grid.svg", "", false);
    const HostRun run = RunHost("grid " + s.path + " " + n.path + " --svg " + svg.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string text = FileContents(svg.path);
    const double width = SvgRootNumber(text, "width"), height = SvgRootNumber(text, "height");
    EXPECT_GT(std::max(width, height), 2000.0);  // it did grow past the window
    EXPECT_LE(width, 16384.0 + 1e-6);
    EXPECT_LE(height, 16384.0 + 1e-6);
    ASSERT_TRUE(ReadSvg(text).parsed);
}
