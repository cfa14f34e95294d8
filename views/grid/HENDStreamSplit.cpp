// The splitter and mixer of a stream's parallel branches on the grid diagram.
#include "views/grid/HENDStreamSplit.h"
#include "views/grid/HENDFlowsheet.h"

#include "views/grid/HENDiagram.h"

#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/CNode.h"

#include <algorithm>

namespace {

using hend::quoted;
const ColourResource kRed{"Red", 220, 30, 30};
const ColourResource kBlue{"Blue", 30, 60, 220};

}  // namespace

void HENDStreamSplit::Join(HENDStreamSegment* segment, int port) {
    if (port <= 0) {
        m_main = segment;
        return;
    }
    const std::size_t at = static_cast<std::size_t>(port - 1);
    if (m_branches.size() <= at) m_branches.resize(at + 1, nullptr);
    m_branches[at] = segment;
}

void HENDStreamSplit::ScaleY(double factor) {
    y *= factor;
    for (double& b : branchY) b *= factor;
}

void HENDStreamSplit::ExtendBounds(double box[4]) const {
    Widen(box, x, y);
    Widen(box, x + 15.0, y);
}

bool HENDStreamSplit::ContainsPoint(CanvasPoint p) const {
    double top = y, bottom = y;
    for (double b : branchY) top = std::min(top, b), bottom = std::max(bottom, b);
    return p.x >= x && p.x <= x + 30.0 && p.y >= top && p.y <= bottom;
}

void HENDStreamSplit::PrepareForObjectInspection(MenuModel& menu) {
    if (!m_diagram->GetDesign() || !m_diagram->EditLocked()) {
        menu.AddItem(5611, FindString("oiAddBranch"));
        menu.AddItem(5614, FindString("oiDeleteSplit"));
    }
    HENDNode::PrepareForObjectInspection(menu);
}

int HENDStreamSplit::ProcessInspectionCommand(int command) {
    if (command == 5611) {
        SendViewableMessage(m_diagram, "addbranch " + quoted(Node()));
        return 1;
    }
    if (command != 5614) return HENDNode::ProcessInspectionCommand(command);
    const int state = m_diagram->SplitterState(Node());
    if (state == 2 && Viewable::ResponseMsg("HENDDeleteSplitWithEquipment", 2) != 1) return 1;
    if (state != 0 && state != 2) return 1;
    m_diagram->SetDeleting();
    SendViewableMessage(m_diagram, "deletesplit " + quoted(Node()));
    return 1;
}

void HENDStreamSplit::DrawShape(Canvas& canvas) {
    // Only what it has: a split without branches draws its stub alone, with no node nothing.
    if (branchY.empty()) return;
    double top = y, bottom = y;
    for (double b : branchY) top = std::min(top, b), bottom = std::max(bottom, b);
    SetPosition({x, top});
    SetSize(30.0, bottom - top);
    const LineAttrib line{cold ? kBlue : kRed, process ? 9 : 5, 0};
    // The main line's stub on its side, then one line to each branch on the other.
    const double stubFrom = opening ? x : x + 30.0;
    canvas.AddLine({stubFrom, y}, {x + 15.0, y}, line);
    const double branchX = opening ? x + 30.0 : x;
    for (double b : branchY) canvas.AddLine({x + 15.0, y}, {branchX, b}, line);
}
