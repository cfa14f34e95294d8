#pragma once
// Reading point curves: the i-th point of an interval list, and clamped piecewise-linear
// interpolation on a curve of (x, y) points.
#include <span>
#include <vector>

class TIList;

struct CurvePoint {
    double x = 0.0;
    double y = 0.0;
};

// Column 0: the temperature, column 1: the second value of boundary i; 0.0 for a missing list or
// boundary. Any other column is an error: it is reported as an assertion and answers 0.0.
double GetIthTI(const TIList* list, int column, int i);

// y at x on a curve whose points are in increasing x: the first point's y at or before the first
// point, the last point's y at or after the last, linear in between; 0.0 on an empty curve.
double InterpolateOnCurve(std::span<const CurvePoint> curve, double x);

// The boundaries of an interval list as a curve of (temperature, value) in increasing
// temperature, ready for InterpolateOnCurve.
std::vector<CurvePoint> CurveOfIntervals(const TIList& list);
