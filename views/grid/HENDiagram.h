#pragma once
// The grid diagram of one network: hot streams left to right on top, cold streams right to left
// below, exchangers as joined circles in their own columns in the order they meet along the
// streams, heaters and coolers on their lines, splits as parallel branches. Built from the
// design's flowsheet in chain form and drawn on the framework canvas; its SVG is the canvas's
// export.
#include "lumeth/CanvasPlane.h"
#include "views/grid/HENDNode.h"
#include "views/grid/HENDiagramConfiguration.h"

#include <cstdint>
#include <memory>
#include <vector>

class IHENDesign;

// One stream line as the stacking sees it: top offset, height and whether it is a process line.
struct HENDLineExtent {
    double top = 0.0, height = 0.0;
    bool process = true;
};

// Stacks lines top to bottom from y = 50: 160 more between a process and a utility line, each
// line at y + top, the next at y + top + height + 100. Answers each line's top; `stacked` the
// final y (50 without lines).
std::vector<double> StackStreamLines(const std::vector<HENDLineExtent>& lines, double& stacked);

struct HENDLine {
    Text stream;
    double y = 0.0;
    bool cold = false, process = true;
};

class HENDiagram : public CanvasPlane {
public:
    static constexpr const char* TypeName = "HENDiagramObject";

    explicit HENDiagram(Viewable* parent = nullptr);
    // `owner`: the design viewer; `name`: the diagram's name under it.
    HENDiagram(Viewable* owner, const Text& name);
    ~HENDiagram() override;

    // While set the diagram skips its pending layout (a case import is adding designs).
    std::uint8_t bHold = 0;

    // Binds the design and rebuilds and lays out every item.
    void SetDesign(IHENDesign* design);
    IHENDesign* GetDesign() const { return m_design; }

    // Selects preset 0..5 (its streams arranged from the design before the next rebuild).
    void SelectPreset(int index);
    int SelectedPreset() const { return m_selected; }
    HENDiagramConfiguration& Configuration(int index) { return *m_configurations[static_cast<std::size_t>(index)]; }
    bool reverseDirection = false;
    bool hideUtilityUnits = false;

    const std::vector<HENDNode*>& Items() const { return m_items; }
    const std::vector<HENDLine>& Lines() const { return m_lines; }
    // Content box of the laid-out items.
    double Right() const { return m_right; }
    double Bottom() const { return m_bottom; }

    // Draws the background, the lines' items and then the exchangers on top.
    void Paint() override;
    // The picture as a standalone SVG document.
    Text PictureSVG();
    // The items, lines and pinches as JSON for scripts.
    Text DescribeJSON() const;

    // Label services of the items.
    const FontResource& LabelFont() const { return m_font; }
    Text FitText(const Text& text, double room) const;

private:
    void Clear();
    void Rebuild();
    std::vector<std::unique_ptr<HENDiagramConfiguration>> m_configurations;
    int m_selected = 0;
    IHENDesign* m_design = nullptr;
    std::vector<HENDNode*> m_items;
    std::vector<HENDLine> m_lines;
    double m_right = 0.0, m_bottom = 0.0;
    FontResource m_font;
};
