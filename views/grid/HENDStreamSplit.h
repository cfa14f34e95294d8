#pragma once
// The split items of the grid diagram: where a stream's flow divides into parallel branches
// (the splitter) and where the branches join again (the mixer). Each branch between them is an
// ordinary segment line drawn at its own height.
#include "views/grid/HENDNode.h"

#include <vector>

// What splitter and mixer share: a stub on the main line and a line to each branch, a column
// of the sequential layout, the pointer's menu. `opening` is the one met first left to right:
// branches leave it to the right.
class HENDStreamSplit : public HENDNode {
public:
    bool IsSplit() const override { return true; }
    // Lines arrive at its left edge (the main line at an opening split, the branches at a
    // closing one) and leave 30 further right.
    double LeftAttach(int) const override { return x; }
    double RightAttach(int) const override { return x + 30.0; }
    void ScaleX(double origin, double factor) override { x = ScaledAbout(x, origin, factor); }
    void ScaleY(double factor) override;
    void ExtendBounds(double box[4]) const override;
    bool ContainsPoint(CanvasPoint p) const override;
    void PrepareForObjectInspection(MenuModel& menu) override;
    int ProcessInspectionCommand(int command) override;
    // The branch segments, in the node's order of its branch ports (a branch without a segment
    // item keeps a null entry), and the segment on the main line.
    const std::vector<HENDStreamSegment*>& GetBranchList() const { return m_branches; }
    HENDStreamSegment* GetMainSegment() const { return m_main; }
    // Takes a segment that meets the split: on the main line (`port` 0) or on branch `port`.
    void Join(HENDStreamSegment* segment, int port);
    bool opening;
    double x = 0.0, y = 0.0;
    std::vector<double> branchY;  // the lines of the branches
    int column = -1;

protected:
    HENDStreamSplit(HENDiagram* d, const char* objectTypeName, int kind, CNode* node, bool opening)
        : HENDNode(d, objectTypeName, kind, node), opening(opening) {}
    void DrawShape(Canvas& canvas) override;

private:
    std::vector<HENDStreamSegment*> m_branches;
    HENDStreamSegment* m_main = nullptr;
};

// The splitter: its main segment brings the stream in, its branches carry it out.
class HENDStreamSplitStart : public HENDStreamSplit {
public:
    HENDStreamSplitStart(HENDiagram* d, CNode* node, bool opening)
        : HENDStreamSplit(d, "HENDStreamSplitStartObject", 6, node, opening) {}
    const char* SvgClass() const override { return "split-start"; }
};

// The mixer: its branches bring the stream in, its main segment carries it on.
class HENDStreamSplitEnd : public HENDStreamSplit {
public:
    HENDStreamSplitEnd(HENDiagram* d, CNode* node, bool opening)
        : HENDStreamSplit(d, "HENDStreamSplitEndObject", 5, node, opening) {}
    const char* SvgClass() const override { return "split-end"; }
};
