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
