#include "views/grid/HENDNode.h"

#include "views/grid/HENDiagram.h"

#include "pellin/CNode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
const ColourResource kRed{"Red", 220, 30, 30};
const ColourResource kBlue{"Blue", 30, 60, 220};
const ColourResource kBlack{"Black", 0, 0, 0};
const ColourResource& lineColour(bool cold) { return cold ? kBlue : kRed; }
}  // namespace

HENDNode::HENDNode(HENDiagram* diagram, const char* objectTypeName, int kind, CNode* node)
    : CanvasConnection(diagram, Text(objectTypeName)), m_diagram(diagram), m_kind(kind), m_node(node) {}

void HENDNode::Draw(Canvas& canvas) {
    CanvasMarkup markup;
    markup.cssClass = SvgClass();
    markup.data.push_back({Text("name"), unitName});
    if (m_kind != 0 || IsSplit()) markup.data.push_back({Text("stream"), streamName});
    canvas.BeginGroup(markup);
    DrawShape(canvas);
    canvas.EndGroup();
}

void HENDStreamStart::DrawShape(Canvas& canvas) {
    const double left = forward ? x - 10.0 : x;
    SetPosition({left, y - 13.0});
    SetSize(25.0, 25.0);
    canvas.AddRectangle({left, y - 13.0}, 25.0, 25.0, LineAttrib{kBlack, 1, 0}, true, lineColour(cold));
    const Text name = m_diagram->FitText(streamName, std::max(nameRoom, 25.0));
    canvas.AddText({forward ? left : left + 25.0, y - 16.0}, name, m_diagram->LabelFont(), kBlack,
                   forward ? TextAnchor::Start : TextAnchor::End, TextBaseline::Baseline);
}

void HENDStreamSegment::DrawShape(Canvas& canvas) {
    SetPosition({std::min(x1, x2), y - 4.0});
    SetSize(std::abs(x2 - x1), 8.0);
    canvas.AddLine({std::min(x1, x2), y}, {std::max(x1, x2), y},
                   LineAttrib{lineColour(cold), process ? 9 : 5, dashed ? 2 : 0});
}

void HENDStreamEnd::DrawShape(Canvas& canvas) {
    SetPosition({x, y - 12.0});
    SetSize(15.0, 24.0);
    const std::vector<CanvasPoint> head = forward
                                              ? std::vector<CanvasPoint>{{x, y - 12.0}, {x + 15.0, y}, {x, y + 12.0}}
                                              : std::vector<CanvasPoint>{{x + 15.0, y + 12.0}, {x, y}, {x + 15.0, y - 12.0}};
    canvas.AddPolyline(head, LineAttrib{lineColour(cold), 1, 0}, true, lineColour(cold));
}

std::vector<HENDShadeStep> ShadedCircleSteps(int left, int top, int width, int height, const ColourResource& key) {
    static const int kA[8] = {0, 6, 14, 20, 26, 34, 40, 48};
    static const int kB[8] = {254, 240, 224, 208, 192, 176, 160, 144};
    const int r = key.red / 8, g = key.green / 8, b = key.blue / 8;
    std::vector<HENDShadeStep> steps;
    for (int i = 0; i < 8; ++i) {
        HENDShadeStep s;
        s.left = left + kA[i] * width / 254;
        s.top = top + kA[i] * height / 254;
        s.right = left + kB[i] * width / 254;
        s.bottom = top + kB[i] * height / 254;
        const int k = i + 1;
        s.colour = ColourResource{Text(), static_cast<std::uint8_t>(k * r), static_cast<std::uint8_t>(k * g),
                                  static_cast<std::uint8_t>(k * b)};
        steps.push_back(s);
    }
    return steps;
}

int IntervalPosition(double temperature, const std::vector<double>& bounds) {
    if (temperature == -32767.0) return -1;
    const int n = static_cast<int>(bounds.size());
    for (int k = 0; k < n; ++k) {
        const double v = bounds[static_cast<std::size_t>(k)];
        // A temperature typed to four decimals on a bound is on it: the difference of the two
        // doubles carries rounding beyond the tolerance.
        if (std::abs(temperature - v) <= 0.0001 + 1e-9) return 2 * k + 1;
        if (v > temperature) return 2 * k;
    }
    return 2 * n;
}

int IntervalColumn(int lower, int upper) {
    const bool lowerOdd = lower % 2 != 0, upperOdd = upper % 2 != 0;
    if (lowerOdd && upperOdd) return lower == upper ? lower : lower + 1;
    if (lowerOdd) return lower + 1;
    if (!upperOdd) return upper <= lower ? lower : lower + 1;
    return lower + 1 < upper ? lower + 1 : lower;
}

HENDTerminalPlace TerminalAtPinch(double temperature, bool cold, bool start, const std::vector<double>& pinches) {
    HENDTerminalPlace place;
    for (std::size_t k = 0; k < pinches.size(); ++k)
        if (std::abs(pinches[k] - temperature) <= 0.099) return {static_cast<int>(k), 1};
    // A cold start and a hot end look below their temperature, a hot start and a cold end above.
    const bool below = cold == start;
    for (std::size_t k = 0; k < pinches.size(); ++k) {
        const double v = pinches[k];
        if (below ? v >= temperature : v <= temperature) continue;
        const double best = place.interval < 0 ? 0.0 : pinches[static_cast<std::size_t>(place.interval)];
        if (place.interval < 0 || (below ? v > best : v < best)) place.interval = static_cast<int>(k);
    }
    if (place.interval >= 0) place.mode = start ? 3 : 2;
    return place;
}

ColourResource ShadeKeyColour(int code) {
    switch (code) {
    case 1: return {"HENDProcProc", 255, 255, 255};
    case 2: return {"HENDCProcHUtil", 255, 0, 0};
    case 3: return {"HENDHProcCUtil", 0, 0, 255};
    case 4: return {"HENDModHX", 0, 255, 0};
    default: return {"HENDInfeasible", 255, 255, 0};
    }
}

void HENDHeatEx::DrawShape(Canvas& canvas) {
    if (ends.empty()) return;
    double top = ends.front().y, bottom = top;
    for (const HENDExchangerEnd& e : ends) top = std::min(top, e.y), bottom = std::max(bottom, e.y);
    const double x = ends.front().x;
    SetPosition({x - kRadius, top - kRadius});
    SetSize(2.0 * kRadius, bottom - top + 2.0 * kRadius);
    if (ends.size() > 1) canvas.AddLine({x, top}, {x, bottom}, LineAttrib{kBlack, 2, 0});
    // Each end is a shaded circle, the largest centred on the end's point on its line; its
    // key colour is the unit's shade code for the side on that line.
    for (const HENDExchangerEnd& e : ends) {
        double code = 0.0;
        if (Node() && !Node()->getVariableAsDouble(e.cold ? "ColdShadeIt" : "HotShadeIt", code)) code = 0.0;
        const int d = static_cast<int>(2.0 * kRadius);
        const int left = static_cast<int>(e.x - kRadius), top = static_cast<int>(e.y - kRadius);
        for (const HENDShadeStep& s : ShadedCircleSteps(left, top, d, d, ShadeKeyColour(static_cast<int>(code)))) {
            const double r = (s.right - s.left) / 2.0;
            canvas.AddCircle({s.left + r + (e.x - kRadius - left), s.top + r + (e.y - kRadius - top)}, r,
                             LineAttrib{s.colour, 1, 0}, true, s.colour);
        }
    }
    canvas.AddText({x + kRadius + 2.0, top - kRadius}, unitName, m_diagram->LabelFont(), kBlack, TextAnchor::Start,
                   TextBaseline::Baseline);
    if (duty != -32767.0) {
        char text[32];
        std::snprintf(text, sizeof text, "%0.1f ", duty);
        canvas.AddText({x + kRadius + 2.0, bottom + kRadius}, Text(text), m_diagram->LabelFont(), kBlack,
                       TextAnchor::Start, TextBaseline::Top);
    }
}

void HENDStreamSplit::DrawShape(Canvas& canvas) {
    if (branchY.empty()) return;  // nothing to draw: a split without branches
    const double top = *std::min_element(branchY.begin(), branchY.end());
    const double bottom = *std::max_element(branchY.begin(), branchY.end());
    SetPosition({x - 6.0, top - 6.0});
    SetSize(12.0, bottom - top + 12.0);
    canvas.AddLine({x, top}, {x, bottom}, LineAttrib{lineColour(cold), process ? 9 : 5, 0});
    for (double y : branchY) canvas.AddCircle({x, y}, 6.0, LineAttrib{kBlack, 1, 0}, true, lineColour(cold));
}
