// View object types of the network grid diagram and its items.
#include "views/ViewRegistration.h"
#include "views/grid/HENDiagram.h"

void PlanGridViewRegistrations(ViewRegistrationPlan& plan) {
    static const ViewTypeRow kRows[] = {
        // Stored under its design viewer; its items are rebuilt from the design. An item's form
        // lists the items it links to; the splits' forms list none.
        {54, "HENDiagramObject", "CanvasPlaneObject", "HENDiagram", 0, 1, "HENDView", 2, 0, false, &HENDiagram::Create, false,
         &HENDiagram::LoadVariables},
        {55, "HENDHeatExObject", "CanvasConnectionObject", "HENDHeatEx", 0, 1, "cpiview", 0, 0, false, nullptr, false,
         &HENDNode::LoadLinkVariables},
        {56, "HENDGhostObject", "CanvasConnectionObject", "HENDGhost", 0, 1, "cpiview", 0, 0, false, nullptr, false,
         &HENDNode::LoadLinkVariables},
        {57, "HENDStreamAnchorObject", "CanvasConnectionObject", "HENDStreamAnchor", 0, 1, "cpiview", 0, 0, false, nullptr, false,
         &HENDNode::LoadLinkVariables},
        {58, "HENDStreamEndObject", "CanvasConnectionObject", "HENDStreamEnd", 0, 1, "cpiview", 0, 0, false, nullptr, false,
         &HENDNode::LoadLinkVariables},
        {59, "HENDStreamSegmentObject", "CanvasConnectionObject", "HENDStreamSegment", 0, 1, "cpiview", 0, 0, false, nullptr, false,
         &HENDNode::LoadLinkVariables},
        {60, "HENDStreamSplitObject", "CanvasConnectionObject", "HENDStreamSplit", 0, 1, "cpiview", 0, 0, false, nullptr},
        {61, "HENDStreamSplitEndObject", "HENDStreamSplitObject", "HENDStreamSplitEnd", 0, 1, "cpiview", 0, 0, false, nullptr},
        {62, "HENDStreamSplitStartObject", "HENDStreamSplitObject", "HENDStreamSplitStart", 0, 1, "cpiview", 0, 0, false, nullptr},
        {63, "HENDStreamStartObject", "CanvasConnectionObject", "HENDStreamStart", 0, 1, "cpiview", 0, 0, false, nullptr, false,
         &HENDNode::LoadLinkVariables},
    };
    for (const ViewTypeRow& row : kRows) plan.AddType(row);
}
