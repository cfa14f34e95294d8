#pragma once
// The grid diagram of a network design, drawn on the framework's canvas under its design viewer.
#include "lumeth/CanvasPlane.h"

#include <cstdint>

class IHENDesign;

class HENDiagram : public CanvasPlane {
public:
    static constexpr const char* TypeName = "HENDiagramObject";

    // `owner`: the design viewer.
    HENDiagram(Viewable* owner, const Text& name);
    void SetDesign(IHENDesign* design) { m_pDesign = design; }
    IHENDesign* GetDesign() const { return m_pDesign; }

    // While set the diagram skips its pending layout (a case import is adding designs).
    std::uint8_t bHold = 0;

private:
    IHENDesign* m_pDesign = nullptr;
};
