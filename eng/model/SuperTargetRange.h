#pragma once
// The supertargeting results of a scenario: the targets at many values of the minimum approach
// temperature (one point each, sorted by DTmin), the DTmin values asked for, and the bracket
// around the least-cost DTmin. The scenario empties the points whenever a change invalidates the
// targets they were computed from.
//
// Every calculation here recalculates the scenario at trial DTmin values and sets the scenario's
// own DTmin back (with its targets) before it returns.
#include "eng/core/SharedRecords.h"

#include <vector>

class CPIScenario;
class ILurmetBinaryFile;

// What supertargeting needs of the scenario it works on.
class ISuperTargetPointSource {
public:
    virtual ~ISuperTargetPointSource() = default;
    virtual double GetDTmin() const = 0;
    // Makes `dTmin` the scenario's DTmin again and recalculates its targets at it.
    virtual void RestoreDTmin(double dTmin) = 0;
    // Recalculates the targets at a trial DTmin and answers them as one point.
    virtual SuperTargetPointRecord CalculatePoint(double dTmin) = 0;
    // The highest DTmin worth searching: the first point of the hot composite curve less the last
    // point of the cold composite curve.
    virtual double GetSearchRangeEnd() const = 0;
};

// A scenario as the source of supertargeting points.
class ScenarioSuperTargetSource : public ISuperTargetPointSource {
public:
    explicit ScenarioSuperTargetSource(CPIScenario& scenario) : m_scenario(scenario) {}
    double GetDTmin() const override;
    void RestoreDTmin(double dTmin) override;
    SuperTargetPointRecord CalculatePoint(double dTmin) override;
    double GetSearchRangeEnd() const override;

private:
    CPIScenario& m_scenario;
};

struct SuperTargetRange {
    static constexpr double kEmpty = -32767.0;
    static constexpr int RecordVersion = 2;
    static constexpr int PointRecordVersion = 2;
    // Golden-section fractions.
    static constexpr double kInnerLeft = 0.381966;
    static constexpr double kInnerRight = 0.618034;
    // A cost at or below this counts as no cost (missing targets).
    static constexpr double kCostTolerance = 1e-8;
    // Every point is a whole recalculation of the scenario: a fixed-step range of more points
    // than this is refused, and the golden-section search gives up after this many moves (its
    // bracket is then narrower than any DTmin that matters; the refinement samples it).
    static constexpr int kMaxFixedStepPoints = 1000;
    static constexpr int kMaxSearchIterations = 64;
    // Samples of the refinement (at 1/20 .. 19/20 of the bracket).
    static constexpr int kRefinementDivisions = 20;

    // values[0..9] are selectors 1..10 of a point, `eleventh` selector 11, `count` the flags:
    // PointPlacementValid whether the utility placement was valid at that DTmin, PointShellsCapped
    // whether its shells target is a cap reached rather than a count.
    static constexpr std::int32_t PointPlacementValid = 1;
    static constexpr std::int32_t PointShellsCapped = 2;
    std::vector<SuperTargetPointRecord> points;
    std::vector<double> requestedValues;
    double dBaseCostValue = 0.0;
    double dRangeStart = 2.0001;
    double dRangeEnd = 0.0;
    double dThirdRangeValue = 1.0;
    double dOptimumUpper = kEmpty;
    double dOptimumLower = kEmpty;

    bool HasPoints() const { return !points.empty(); }
    void ClearPoints() { points.clear(); }
    // Drops the points and the requested values.
    void Free();

    // True when no point has exactly this DTmin.
    bool IsDTminFree(double dTmin) const;
    // Computes the point at `dTmin` unless it is empty (-32767.0), not a number or already has a
    // point; remembers it among the requested values. True when a point was computed.
    bool AddPoint(ISuperTargetPointSource& source, double dTmin);
    // A range from, from + step, ... up to `to` that can be computed: finite values, a positive
    // step, and at most kMaxFixedStepPoints points.
    static bool IsFixedStepRangeAcceptable(double from, double to, double step);
    // The points of a fixed-step range (each added as by AddPoint), then the optimum bracket.
    // False, with nothing computed, when the range is not acceptable.
    bool CalculateFixedSteps(ISuperTargetPointSource& source, double from, double to, double step);
    // The golden-section search for the least total annual cost between the range start and the
    // end the source gives, its refinement, the requested values, then the optimum bracket.
    void Search(ISuperTargetPointSource& source);
    // Sets the optimum bracket from the three cheapest points.
    void FindOptimumBracket();
    // Points by DTmin ascending (stable).
    void SortByDTmin();

    // Record version 2 (points as records of version 2).
    bool Store(ILurmetBinaryFile& file) const;
    // Reads versions 1 and 2. On failure nothing of this record changes.
    bool Recall(ILurmetBinaryFile& file);

private:
    // Computes a point and appends it.
    const SuperTargetPointRecord& Compute(ISuperTargetPointSource& source, double dTmin);
    // DTmin at fraction `f` of the search range: rounded up to a whole degree unless a point is
    // already there (then unrounded), or always rounded up.
    double SearchPosition(double f, bool alwaysRound) const;
    void RememberRequested(double dTmin);
};
