#include "views/grid/HENDNode.h"

#include "views/grid/HENDiagram.h"

#include <algorithm>
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

void HENDHeatEx::DrawShape(Canvas& canvas) {
    if (ends.empty()) return;
    double top = ends.front().y, bottom = top;
    for (const HENDExchangerEnd& e : ends) top = std::min(top, e.y), bottom = std::max(bottom, e.y);
    const double x = ends.front().x;
    SetPosition({x - kRadius, top - kRadius});
    SetSize(2.0 * kRadius, bottom - top + 2.0 * kRadius);
    if (ends.size() > 1) canvas.AddLine({x, top}, {x, bottom}, LineAttrib{kBlack, 2, 0});
    // Each end is three shaded circles, the largest centred on the end's point on its line.
    for (const HENDExchangerEnd& e : ends)
        for (int ring = 0; ring < 3; ++ring) {
            const double r = kRadius * (3 - ring) / 3.0;
            canvas.AddCircle({e.x, e.y}, r, LineAttrib{kBlack, ring == 0 ? 2 : 1, 0}, true,
                             m_diagram->ShadeColour(ring, e.cold));
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
