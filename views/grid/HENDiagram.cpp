#include "views/grid/HENDiagram.h"

HENDiagram::HENDiagram(Viewable* owner, const Text& name) : CanvasPlane(owner, TypeName) { SetName(name); }
