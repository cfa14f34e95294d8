#pragma once
// A plot as the host's JSON reports it: title, axes with title and unit, and the visible data
// sets with number, label, axis and points in display units (an empty point is null).
#include "lumeth/Text.h"

class TwoDimPlot;

Text DescribePlotJSON(const TwoDimPlot& plot);
