#pragma once
// The host's road to a design's grid diagram: the module builds and lays out the diagram of the
// design and hands out its picture or its description. C linkage, looked up by name after dlopen.
class IHENDesign;

extern "C" {
// Flags of the diagram's settings.
enum { KestrinGridPinch = 1, KestrinGridReverse = 2, KestrinGridHideUtilities = 4 };
// The grid diagram of the design under configuration preset 1-6 with the flags above: `what` 0
// gives the SVG picture, 1 a JSON text (items with kind, name, stream and ends; lines with stream
// and y; pinches), 2 why the pinch layout asked for was not drawn (empty when it was, or was not
// asked for). Copies into `out` (of `size` bytes, zero-ended) and returns the bytes the
// whole text needs with its zero; 0 without a design or for a preset outside 1-6.
int KestrinGridDiagram(IHENDesign* design, int preset, int flags, int what, char* out, int size);
}
