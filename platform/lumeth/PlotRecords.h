#pragma once
// The records through which every plot hands a data set to the plot area: the appearance block
// with its fixed defaults, the curve record, the single-point record, and axis tick sets.
#include "lumeth/Canvas.h"
#include "lumeth/Resources.h"
#include "lumeth/Text.h"

struct DataSetAppearance {
    ColourResourceRef colour = DefaultColour();
    int style = 7;          // line style code; the plots set 0 for curves, 1 for reference lines
    int symbol = -32767;    // point-symbol code; -32767: no symbol
    // The shape of its point markers, so that sets of one colour stay apart in a picture: 0 a
    // disc, 1 a square, 2 a triangle, 3 a diamond, 4 a triangle pointing down, 5 a cross
    // (kMarkerShapes in all: a base design and five retrofit steps).
    static constexpr int kMarkerShapes = 6;
    int marker = 0;
    FontResourceRef font = DefaultFont();
    Text text;
    int capacity = 1000;
    int flag = 0;
};

// A curve: the monikers of the variables that supply its x and y values.
struct XYDataStruct {
    Text xVariable;
    Text yVariable;
    int one = 1;
    DataSetAppearance appearance;
    Text label;
};

// One point (a design on a cost plot, say).
struct PointStruct {
    PointStruct() { appearance.capacity = 1; }
    Text xVariable;
    Text yVariable;
    Text third;
    DataSetAppearance appearance;
    Text label;
};

// One set of axis ticks: kind, count and the line of the ticks.
struct Tick {
    Tick() = default;
    Tick(int k, int n, const LineAttrib& l = LineAttrib{GraphTickColour(), 1, 0}) : kind(k), count(n), line(l) {}
    int kind = 0;
    int count = 0;
    LineAttrib line{GraphTickColour(), 1, 0};
};
