#pragma once
// The user's settings of a plot, kept by the view that owns the plot and stored with it: fixed
// axis ranges (-32767: from the data) and whether a grid is drawn.
#include "lumeth/Viewable.h"

class Dim2GraphControl : public Viewable {
public:
    static constexpr int RecordVersion = 1;
    explicit Dim2GraphControl(Viewable* owner);

    double xMinimum = EmptyValue, xMaximum = EmptyValue;
    double yMinimum = EmptyValue, yMaximum = EmptyValue;
    bool grid = false;
};

// Writes the settings (a record saying whether there are any, then the settings).
bool StorePlotParameters(BinaryFile& file, const Dim2GraphControl* parameters);
// Reads them into new settings under `owner` (null when none were stored); on failure `out`
// is null and nothing is left behind.
bool RecallPlotParameters(BinaryFile& file, Dim2GraphControl*& out, Viewable* owner);
void DeletePlotParameters(Dim2GraphControl*& parameters);
