#pragma once
// Cuts a tabulated curve (values against temperatures) into straight pieces whose break points
// are points of the table.
//
// Method: greedy largest-deviation splitting on the value axis. Every piece is measured by the
// largest vertical distance of its inner points from its chord; the piece with the largest
// such distance is split at that point, again and again, until every piece lies within the
// tolerance or the maximum number of pieces is reached.
//
// The tolerance is relative to the range of the values: a piece is accepted when no inner
// point lies further than tolerance x (largest value - smallest value) from its chord.
// Defaults: tolerance 0.01, at most 10 pieces.
//
// The points are taken in the order given; temperatures may rise, fall or repeat. Where a
// piece's two ends share one temperature its chord is vertical: an inner point at that same
// temperature lies on it when its value is between the ends' values (else it is off by its
// distance to the nearer end); an inner point at another temperature counts as off by the
// whole value range.
#include <vector>

class AutoLinearizeFunction {
public:
    static constexpr double kDefaultTolerance = 0.01;
    static constexpr int kDefaultMaxSegments = 10;

    AutoLinearizeFunction() = default;
    virtual ~AutoLinearizeFunction() = default;

    // Relative tolerance, >= 0 (0 asks for an exact fit), on the value range as above (this ends
    // a slope measure set before). False, and no change, for a negative or non-finite tolerance.
    bool SetToleranceExternally(double tolerance);
    // Measures a piece by its slope instead: a piece is accepted when the slope between every two
    // neighbouring points in it lies within tolerance x the piece's own slope (its chord's) of it,
    // so that a bend the size of the tolerance is cut whatever share of the whole curve it holds
    // (a phase change over a few degrees beside a long sensible run). A piece whose points all lie
    // within the default tolerance of the value range is accepted as well (a step that small is
    // rounding, not a bend). Tolerance >= 0; false, and no change, otherwise.
    bool SetSlopeTolerance(double tolerance);
    // Largest number of pieces, >= 1. False, and no change, otherwise.
    bool SetMaxSegments(int maxSegments);
    // Copies the curve: count points, values[k] at temperatures[k]. Clears any earlier result.
    // False (and no data kept) for a negative count, missing arrays with a positive count, or
    // a value or temperature that is not a finite number.
    bool SetData(const double* values, const double* temperatures, int count);

    // Break-point indices into the arrays given, strictly rising, the first (0) and the last
    // (count - 1) included. One point gives {0}; no data gives an empty list.
    const std::vector<int>& Run();

    // Pieces between the break points of the last Run (0 with fewer than two points).
    int GetNumberOfSegments() const;
    // Largest deviation of any point from its piece after the last Run, relative to the value
    // range (0 = exact fit, also for a constant curve).
    void GetPerformance(double& performance) const;

private:
    // Largest deviation of the inner points of [first, last] from its chord; the index of the
    // worst point goes to worst (-1 when the piece has no inner point).
    double PieceDeviation(int first, int last, double range, int& worst) const;

    // Whether the slopes of [first, last] lie within the slope tolerance of its chord's.
    bool SlopesWithin(int first, int last) const;

    double tolerance_ = kDefaultTolerance;
    bool slopeMode_ = false;
    int maxSegments_ = kDefaultMaxSegments;
    std::vector<double> values_;
    std::vector<double> temperatures_;
    std::vector<int> breakPoints_;
    double performance_ = 0.0;
};
