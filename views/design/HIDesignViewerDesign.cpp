#include "views/design/HIDesignViewerDesign.h"

#include "views/grid/HENDiagram.h"

HIDesignViewerDesign::HIDesignViewerDesign(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : Viewable(parent, type) {
    SetName(name);
}

HIDesignViewerDesign::~HIDesignViewerDesign() {
    HENDiagram* diagram = pGridDiagram;
    pGridDiagram = nullptr;
    delete diagram;
}

void HIDesignViewerDesign::SetEngineeringDesign(IHENDesign* design, bool) {
    pDesign = design;
    if (design && pGridDiagram) pGridDiagram->SetDesign(design);
}

void HIDesignViewerDesign::ReplaceGridDiagram(HENDiagram* diagram) {
    HENDiagram* old = pGridDiagram;
    pGridDiagram = diagram;
    if (old && old != diagram) {
        old->RemoveDeathPostee(this);
        delete old;
    }
    if (diagram) diagram->AddDeathPostee(this);
}

void HIDesignViewerDesign::DisconnectDeadObject(Viewable* dead) {
    if (dead == pGridDiagram) pGridDiagram = nullptr;
    Viewable::DisconnectDeadObject(dead);
}
