// kestrin-host grid --svg as it goes into a report: the split four-stream network
// (examples/four-streams-split-network.csv, worked by hand there) drawn at the size the view fits
// it into, texts as large as on the screen, each unit with its name and the temperatures into
// and out of it on each line and its duty under it, the split fractions on the branches, no text across a line and
// none outside the picture, heaters red and coolers blue.
#include "HostProcess.h"
#include "../support/SvgReportGrade.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("gridpicture", stem, "", false) {}
};

bool isUnit(const SvgElement& e) {
    const std::string c = e.groupClasses.empty() ? std::string() : e.groupClasses.back();
    return c == "exchanger" || c == "heater" || c == "cooler";
}

class HostGridPicture : public ::testing::Test {
protected:
    void SetUp() override {
        const HostRun run = RunHost("grid " + ExamplePath("four-streams.csv") + " " +
                                    ExamplePath("four-streams-split-network.csv") + " --svg " + svg.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
        text = FileContents(svg.path);
        picture = ReadSvg(text);
        ASSERT_TRUE(picture.parsed);
        box = ReadViewBox(text);
        ASSERT_GT(box.width, 0.0);
    }
    // The texts drawn in the group of that name.
    std::multiset<std::string> textsOf(const std::string& name) const {
        std::multiset<std::string> out;
        for (const SvgElement& e : picture.elements)
            if (e.name == "text" && e.group.count("data-name") && e.group.at("data-name") == name) out.insert(e.text);
        return out;
    }
    const SvgElement* textIn(const std::string& name, const std::string& value) const {
        for (const SvgElement& e : picture.elements)
            if (e.name == "text" && e.text == value && e.group.count("data-name") && e.group.at("data-name") == name) return &e;
        return nullptr;
    }
    Scratch svg{"split.svg"};
    std::string text;
    SvgPicture picture;
    SvgViewBox box;
};

TEST_F(HostGridPicture, IsDrawnAtTheViewsSizeWithTextsAsLargeAsOnTheScreen) {
    const double width = SvgRootNumber(text, "width"), height = SvgRootNumber(text, "height");
    // Fitted into 1150 x 500, the aspect of the diagram kept.
    EXPECT_LE(width, 1150.0 + 1e-6);
    EXPECT_LE(height, 500.0 + 1e-6);
    EXPECT_TRUE(std::abs(width - 1150.0) < 1e-6 || std::abs(height - 500.0) < 1e-6) << width << " x " << height;
    EXPECT_NEAR(box.width / box.height, width / height, 1e-3);
    int texts = 0;
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text") continue;
        ++texts;
        const double pixels = e.Number("font-size") * width / box.width;
        EXPECT_GE(pixels, 7.0) << e.text;
        EXPECT_LE(pixels, 13.0) << e.text;
    }
    EXPECT_GT(texts, 20);
}

TEST_F(HostGridPicture, EveryUnitCarriesItsNameAndItsTemperaturesOnEachLine) {
    // Inlet and outlet of each side, as the network file works them out.
    const std::map<std::string, std::multiset<std::string>> expected = {
        {"E1", {"E1", "170.0 C", "90.0 C", "80.0 C", "140.0 C", "240.0 kW"}},  // H1 with C2
        // H2 with the mixed C1; C1's 125 C between the heater and E2, on a segment too short for
        // two labels, is written once, by the heater.
        {"E2", {"E2", "150.0 C", "90.0 C", "80.0 C", "90.0 kW"}},
        {"E3", {"E3", "90.0 C", "60.0 C", "20.0 C", "80.0 C", "90.0 kW"}},      // H1 with C1's 0.75 branch
        {"E4", {"E4", "90.0 C", "70.0 C", "20.0 C", "80.0 C", "30.0 kW"}},      // H2 with C1's 0.25 branch
        {"Heater", {"Heater", "125.0 C", "135.0 C", "20.0 kW"}},                // C1's last 20 kW
        {"Cooler", {"Cooler", "70.0 C", "30.0 C", "60.0 kW"}},                  // H2's last 60 kW
    };
    for (const auto& [name, texts] : expected) EXPECT_EQ(texts, textsOf(name)) << name;
    // Each temperature on the side its stream comes from or goes to: H1 runs left to right into
    // E1, C2 right to left.
    double circleX = 0.0;
    for (const SvgElement& e : picture.elements)
        if (e.name == "circle" && e.group.count("data-name") && e.group.at("data-name") == "E1") circleX = e.Number("cx");
    const SvgElement *hotIn = textIn("E1", "170.0 C"), *hotOut = textIn("E1", "90.0 C");
    const SvgElement *coldIn = textIn("E1", "80.0 C"), *coldOut = textIn("E1", "140.0 C");
    ASSERT_TRUE(hotIn && hotOut && coldIn && coldOut);
    EXPECT_LT(TextBoxOf(*hotIn).right, circleX);
    EXPECT_GT(TextBoxOf(*hotOut).left, circleX);
    EXPECT_GT(TextBoxOf(*coldIn).left, circleX);
    EXPECT_LT(TextBoxOf(*coldOut).right, circleX);
}

TEST_F(HostGridPicture, TheBranchesCarryTheirSplitFractions) {
    std::multiset<std::string> fractions;
    for (const SvgElement& e : picture.elements)
        if (e.name == "text" && !e.groupClasses.empty() && e.groupClasses.back() == "stream-segment") {
            EXPECT_EQ("C1", e.group.at("data-stream")) << e.text;
            fractions.insert(e.text);
        }
    EXPECT_EQ((std::multiset<std::string>{"0.25", "0.75"}), fractions);
}

// The branches of C1's split drawn end to end: the split's diagonals leave C1's line where it
// ends and reach the two branch lines, each branch line runs from the split's diagonal to the
// mixer's, broken only at its own exchanger's circle, and E3 (the 0.75 branch) and E4 (the 0.25
// one) each end their line on a branch of their own. A branch left short, or an exchanger drawn to
// the other branch, would leave the fractions and the JSON as they are.
TEST_F(HostGridPicture, TheBranchLinesRunFromTheSplitToTheMixerThroughTheirExchangers) {
    struct Line {
        double x1, y1, x2, y2;
    };
    auto linesOf = [&](const std::string& name) {
        std::vector<Line> out;
        for (const SvgElement& e : picture.elements)
            if (e.name == "line" && e.group.count("data-name") && e.group.at("data-name") == name)
                out.push_back({e.Number("x1"), e.Number("y1"), e.Number("x2"), e.Number("y2")});
        return out;
    };
    constexpr double kTol = 1e-3;
    // Each end of the split: one piece on C1's own line, two diagonals to the branches.
    std::vector<double> branchY;
    double splitX = 0.0, mixX = 0.0, mainY = 0.0;
    for (const std::string end : {"TEE-100", "MIX-100"}) {
        const std::vector<Line> lines = linesOf(end);
        ASSERT_EQ(3u, lines.size()) << end;
        mainY = lines[0].y1;
        EXPECT_NEAR(lines[0].y2, mainY, kTol) << end;
        std::vector<double> ys;
        for (std::size_t k = 1; k < 3; ++k) {
            EXPECT_NEAR(lines[0].x2, lines[k].x1, kTol) << end;  // the diagonals leave where C1's piece ends
            EXPECT_NEAR(mainY, lines[k].y1, kTol) << end;
            ys.push_back(lines[k].y2);
        }
        std::sort(ys.begin(), ys.end());
        EXPECT_LT(ys[0], mainY) << end;
        EXPECT_GT(ys[1], mainY) << end;
        if (branchY.empty()) branchY = ys;
        EXPECT_NEAR(branchY[0], ys[0], kTol) << end;
        EXPECT_NEAR(branchY[1], ys[1], kTol) << end;
        (end == "TEE-100" ? splitX : mixX) = lines[1].x2;
    }
    const double from = std::min(splitX, mixX), to = std::max(splitX, mixX);
    // The exchangers' lines end on the branches, one each; the circle's x breaks that branch.
    std::map<double, double> exchangerOnBranch;  // branch y -> exchanger x
    for (const std::string unit : {"E3", "E4"}) {
        const std::vector<Line> lines = linesOf(unit);
        ASSERT_EQ(1u, lines.size()) << unit;
        const double y = std::max(lines[0].y1, lines[0].y2);
        const bool onABranch = std::fabs(y - branchY[0]) < kTol || std::fabs(y - branchY[1]) < kTol;
        EXPECT_TRUE(onABranch) << unit << " ends at " << y;
        const double branch = std::fabs(y - branchY[0]) < kTol ? branchY[0] : branchY[1];
        EXPECT_EQ(0u, exchangerOnBranch.count(branch)) << unit << " shares its branch";
        exchangerOnBranch[branch] = lines[0].x1;
        EXPECT_GT(lines[0].x1, from);
        EXPECT_LT(lines[0].x1, to);
    }
    // Along each branch, C1's pieces cover the span from one diagonal to the other but for a gap at
    // its exchanger's circle (60 wide).
    for (const double y : branchY) {
        std::vector<std::pair<double, double>> pieces;
        for (const SvgElement& e : picture.elements)
            if (e.name == "line" && !e.groupClasses.empty() && e.groupClasses.back() == "stream-segment" &&
                e.group.at("data-stream") == "C1" && std::fabs(e.Number("y1") - y) < kTol && std::fabs(e.Number("y2") - y) < kTol)
                pieces.emplace_back(std::min(e.Number("x1"), e.Number("x2")), std::max(e.Number("x1"), e.Number("x2")));
        std::sort(pieces.begin(), pieces.end());
        ASSERT_EQ(2u, pieces.size()) << "branch at " << y;
        EXPECT_NEAR(from, pieces[0].first, kTol);
        EXPECT_NEAR(to, pieces[1].second, kTol);
        const double x = exchangerOnBranch[y];
        EXPECT_NEAR(x - 30.0, pieces[0].second, kTol);
        EXPECT_NEAR(x + 30.0, pieces[1].first, kTol);
    }
}

TEST_F(HostGridPicture, NoTextCrossesALineOrLeavesThePicture) {
    std::vector<const SvgElement*> lines;
    for (const SvgElement& e : picture.elements)
        if (e.name == "line" && !e.groupClasses.empty() && e.groupClasses.back() == "stream-segment") lines.push_back(&e);
    ASSERT_FALSE(lines.empty());
    for (const SvgElement& t : picture.elements) {
        if (t.name != "text") continue;
        const SvgTextBox b = TextBoxOf(t);
        EXPECT_TRUE(b.left >= box.left && b.right <= box.Right() && b.top >= box.top && b.bottom <= box.Bottom())
            << t.text << " at " << t.Number("x") << "," << t.Number("y");
        for (const SvgElement* l : lines) {
            const double half = l->Number("stroke-width") / 2.0, y = l->Number("y1");
            const double x1 = std::min(l->Number("x1"), l->Number("x2")), x2 = std::max(l->Number("x1"), l->Number("x2"));
            const bool across = b.right > x1 && b.left < x2 && b.bottom > y - half && b.top < y + half;
            EXPECT_FALSE(across) << t.text << " lies across the line of " << l->group.at("data-stream");
        }
    }
    ExpectReportGrade(text, "grid");
    Scratch png("split.png");
    EXPECT_EQ(0, ShellStatus("rsvg-convert -o " + png.path + " " + svg.path));
    EXPECT_GT(FileContents(png.path).size(), 1000u);
}

TEST_F(HostGridPicture, HeatersAreRedAndCoolersBlue) {
    // The brightest (innermost) shade of each end tells its colour.
    std::map<std::string, std::string> innermost;
    for (const SvgElement& e : picture.elements)
        if (e.name == "circle" && isUnit(e)) innermost[e.groupClasses.back()] = e.Attribute("fill");
    auto channel = [](const std::string& hex, int k) { return std::stoi(hex.substr(1 + 2 * k, 2), nullptr, 16); };
    ASSERT_EQ(1u, innermost.count("heater"));
    ASSERT_EQ(1u, innermost.count("cooler"));
    const std::string heater = innermost["heater"], cooler = innermost["cooler"];
    EXPECT_GT(channel(heater, 0), 200) << heater;
    EXPECT_GT(channel(heater, 0), 4 * std::max(channel(heater, 1), channel(heater, 2)) + 1) << heater;
    EXPECT_GT(channel(cooler, 2), 200) << cooler;
    EXPECT_GT(channel(cooler, 2), 4 * std::max(channel(cooler, 0), channel(cooler, 1)) + 1) << cooler;
}

}  // namespace
