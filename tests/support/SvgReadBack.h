#pragma once
// Reads a plot picture back the way scripts do: the plot area with the axis values at its
// edges, each data set's polylines and points in pixels, the tick labels with their places, the
// titles and the legend's entries. libxml2 parses the SVG.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct SvgPoint {
    double x = 0.0, y = 0.0;
};

struct SvgElement {
    std::string name;  // element name
    std::map<std::string, std::string> attributes;
    std::string text;
    std::vector<std::string> groupClasses;  // classes of the g elements around it
    std::map<std::string, std::string> group;  // the attributes of the innermost g around it
    double Number(const std::string& attribute) const {
        auto it = attributes.find(attribute);
        return it == attributes.end() ? 0.0 : std::strtod(it->second.c_str(), nullptr);
    }
    std::string Attribute(const std::string& a) const {
        auto it = attributes.find(a);
        return it == attributes.end() ? std::string() : it->second;
    }
    std::string Class() const { return Attribute("class"); }
    std::vector<SvgPoint> Points() const {
        std::vector<SvgPoint> out;
        std::istringstream in(Attribute("points"));
        std::string pair;
        while (in >> pair) {
            const std::size_t comma = pair.find(',');
            out.push_back({std::strtod(pair.substr(0, comma).c_str(), nullptr),
                           std::strtod(pair.substr(comma + 1).c_str(), nullptr)});
        }
        return out;
    }
};

struct SvgPicture {
    bool parsed = false;
    std::vector<SvgElement> elements;  // in document order, g elements left out

    std::vector<const SvgElement*> OfClass(const std::string& cls) const {
        std::vector<const SvgElement*> out;
        for (const SvgElement& e : elements)
            if (e.Class() == cls) out.push_back(&e);
        return out;
    }
    const SvgElement* PlotArea() const {
        const auto all = OfClass("plot-area");
        return all.size() == 1 ? all.front() : nullptr;
    }
};

inline void ReadSvgNode(xmlNode* node, std::vector<std::string> groups, SvgPicture& out,
                        const std::map<std::string, std::string>& group = {}) {
    for (xmlNode* n = node; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        SvgElement e;
        e.name = reinterpret_cast<const char*>(n->name);
        for (xmlAttr* a = n->properties; a; a = a->next) {
            xmlChar* v = xmlNodeGetContent(reinterpret_cast<xmlNode*>(a));
            e.attributes[reinterpret_cast<const char*>(a->name)] = v ? reinterpret_cast<const char*>(v) : "";
            xmlFree(v);
        }
        if (e.name == "g") {
            std::vector<std::string> inner = groups;
            inner.push_back(e.Class());
            ReadSvgNode(n->children, inner, out, e.attributes);
            continue;
        }
        if (e.name == "text") {
            xmlChar* v = xmlNodeGetContent(n);
            e.text = v ? reinterpret_cast<const char*>(v) : "";
            xmlFree(v);
        }
        e.groupClasses = groups;
        e.group = group;
        out.elements.push_back(e);
        ReadSvgNode(n->children, groups, out, group);
    }
}

// A text's box in the picture's units, as the picture tests judge labels written over each other:
// 0.6 of the font size a character (characters, not bytes: a name cut short ends in one ellipsis),
// from 0.8 of the size above the baseline to 0.2 below it (a middle baseline sits 0.3 of it lower).
struct SvgTextBox {
    std::string text;
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
    bool Overlaps(const SvgTextBox& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

inline SvgTextBox TextBoxOf(const SvgElement& t) {
    double chars = 0.0;
    for (char c : t.text) chars += (c & 0xC0) != 0x80 ? 1.0 : 0.0;
    const double size = t.Number("font-size"), width = 0.6 * size * chars, x = t.Number("x");
    const std::string anchor = t.Attribute("text-anchor");
    const double left = anchor == "middle" ? x - width / 2.0 : anchor == "end" ? x - width : x;
    const double base = t.Attribute("dominant-baseline") == "middle" ? t.Number("y") + 0.3 * size : t.Number("y");
    return {t.text, left, left + width, base - 0.8 * size, base + 0.2 * size};
}

inline SvgPicture ReadSvg(const std::string& text) {
    SvgPicture out;
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "plot.svg", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) return out;
    if (xmlNode* root = xmlDocGetRootElement(doc)) {
        out.parsed = true;
        ReadSvgNode(root->children, {}, out);
    }
    xmlFreeDoc(doc);
    return out;
}

// Maps pixels of the plot area back to axis values through its data attributes.
struct SvgAxes {
    explicit SvgAxes(const SvgElement& area)
        : left(area.Number("x")), top(area.Number("y")), width(area.Number("width")), height(area.Number("height")),
          xMin(area.Number("data-x-min")), xMax(area.Number("data-x-max")), yMin(area.Number("data-y-min")),
          yMax(area.Number("data-y-max")) {}
    double X(double px) const { return xMin + (px - left) / width * (xMax - xMin); }
    double Y(double py) const { return yMin + (top + height - py) / height * (yMax - yMin); }
    double left, top, width, height, xMin, xMax, yMin, yMax;
};
