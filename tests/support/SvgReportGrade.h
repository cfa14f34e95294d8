#pragma once
// What a reader of a report would stumble over in a picture: two equal tick labels on one axis,
// or a text that starts outside the picture (its anchor outside the view box, or a centred text
// wider than the room to either side, at 0.6 of its font size a character).
#include "SvgReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// The view box of an SVG document (left, top, width, height); its width and height from 0, 0
// when it has none.
struct SvgViewBox {
    double left = 0.0, top = 0.0, width = 0.0, height = 0.0;
    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

inline double SvgRootNumber(const std::string& svg, const std::string& attribute) {
    const std::size_t root = svg.find("<svg");
    const std::size_t at = svg.find(" " + attribute + "=\"", root);
    return at == std::string::npos ? 0.0 : std::strtod(svg.c_str() + at + attribute.size() + 3, nullptr);
}

inline SvgViewBox ReadViewBox(const std::string& svg) {
    SvgViewBox box{0.0, 0.0, SvgRootNumber(svg, "width"), SvgRootNumber(svg, "height")};
    const std::size_t at = svg.find("viewBox=\"", svg.find("<svg"));
    if (at != std::string::npos) {
        std::istringstream in(svg.substr(at + 9, svg.find('"', at + 9) - at - 9));
        in >> box.left >> box.top >> box.width >> box.height;
    }
    return box;
}

inline void ExpectReportGrade(const std::string& svg, const std::string& input) {
    const SvgPicture picture = ReadSvg(svg);
    ASSERT_TRUE(picture.parsed) << input;
    const SvgViewBox box = ReadViewBox(svg);
    for (const char* axis : {"x-tick", "y-tick", "y2-tick"}) {
        std::vector<std::string> labels;
        for (const SvgElement* t : picture.OfClass(axis)) labels.push_back(t->text);
        std::sort(labels.begin(), labels.end());
        const auto repeated = std::adjacent_find(labels.begin(), labels.end());
        EXPECT_TRUE(repeated == labels.end()) << input << " " << axis << " repeats " << (repeated == labels.end() ? std::string() : *repeated);
    }
    for (const SvgElement& e : picture.elements) {
        if (e.name != "text" || !e.Attribute("transform").empty()) continue;
        const double size = e.Attribute("font-size").empty() ? 10.0 : e.Number("font-size");
        const double x = e.Number("x"), y = e.Number("y"), half = 0.3 * size * static_cast<double>(e.text.size());
        EXPECT_TRUE(y >= box.top && y <= box.Bottom()) << input << ": " << e.text;
        if (e.Attribute("text-anchor") == "middle") {
            EXPECT_TRUE(x - half >= box.left && x + half <= box.Right()) << input << ": " << e.text << " at " << x;
        } else {
            EXPECT_TRUE(x >= box.left && x <= box.Right()) << input << ": " << e.text << " at " << x;
        }
    }
}

// No text of a picture is written over another and none reaches out of its view box, each text
// judged by its box (TextBoxOf). Texts turned by a transform are left to ExpectReportGrade.
inline void ExpectTextsApartAndInside(const SvgPicture& picture, const SvgViewBox& box, const std::string& input) {
    std::vector<SvgTextBox> texts;
    for (const SvgElement& e : picture.elements)
        if (e.name == "text" && e.Attribute("transform").empty()) texts.push_back(TextBoxOf(e));
    // Sorted by their left edges: each is compared with those that start before it ends.
    std::sort(texts.begin(), texts.end(), [](const SvgTextBox& a, const SvgTextBox& b) { return a.left < b.left; });
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const SvgTextBox& a = texts[i];
        EXPECT_TRUE(a.left >= box.left && a.right <= box.Right() && a.top >= box.top && a.bottom <= box.Bottom())
            << input << ": " << a.text << " [" << a.left << ", " << a.right << "] x [" << a.top << ", " << a.bottom
            << "] outside the view box [" << box.left << ", " << box.Right() << "] x [" << box.top << ", " << box.Bottom() << "]";
        for (std::size_t j = i + 1; j < texts.size() && texts[j].left < a.right; ++j)
            EXPECT_FALSE(a.Overlaps(texts[j])) << input << ": " << a.text << " at " << a.left << ", " << a.top << " over "
                                               << texts[j].text << " at " << texts[j].left << ", " << texts[j].top;
    }
}

// No line drawn in a group of one of the given classes (the pinch's lines, the streams' lines)
// runs through a text of the picture, each text judged by its box (TextBoxOf) and each line by
// its stroke's width.
inline void ExpectNoLineThroughText(const SvgPicture& picture, const std::vector<std::string>& lineClasses,
                                    const std::string& input) {
    std::vector<SvgTextBox> texts;
    for (const SvgElement& e : picture.elements)
        if (e.name == "text" && e.Attribute("transform").empty()) texts.push_back(TextBoxOf(e));
    for (const SvgElement& e : picture.elements) {
        if (e.name != "line" || e.groupClasses.empty() ||
            std::find(lineClasses.begin(), lineClasses.end(), e.groupClasses.back()) == lineClasses.end())
            continue;
        const double x1 = e.Number("x1"), y1 = e.Number("y1"), x2 = e.Number("x2"), y2 = e.Number("y2");
        const double half = (e.Attribute("stroke-width").empty() ? 1.0 : e.Number("stroke-width")) / 2.0;
        for (const SvgTextBox& t : texts) {
            // The part of the line inside the text's box widened by half the stroke (clipped
            // against each edge in turn); the line runs through the text when some is left.
            double from = 0.0, to = 1.0;
            const double edges[4][2] = {{x1 - x2, x1 - (t.left - half)},
                                        {x2 - x1, t.right + half - x1},
                                        {y1 - y2, y1 - (t.top - half)},
                                        {y2 - y1, t.bottom + half - y1}};
            bool outside = false;
            for (const auto& [p, q] : edges) {
                if (p == 0.0) {
                    outside = outside || q < 0.0;
                } else if (p < 0.0) {
                    from = std::max(from, q / p);
                } else {
                    to = std::min(to, q / p);
                }
            }
            EXPECT_FALSE(!outside && from < to - 1e-9)
                << input << ": a " << e.groupClasses.back() << " line from " << x1 << ", " << y1 << " to " << x2 << ", " << y2
                << " runs through " << t.text << " [" << t.left << ", " << t.right << "] x [" << t.top << ", " << t.bottom << "]";
        }
    }
}
