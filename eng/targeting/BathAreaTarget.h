#pragma once
// Area and shells targets from the balanced composite curves (the Bath formula). The two curves
// are cut into vertical enthalpy intervals at every point of either curve; inside an interval
// every stream present exchanges its heat countercurrently at the interval's log-mean
// temperature difference, so the interval needs (sum over its streams of q / h) / LMTD of area.
// Shell-and-tube area divides each interval's area by the F-factor of 1-2 shells over the
// interval's temperatures; the shells target counts, per pinch region, the shells each stream
// takes part in.
//
// The same merged points answer the near-pinch points used by utility placement and the
// feasibility of two curves at DTmin, and, for the capital-cost kinds that cost matches one by
// one, spread each interval's load and area over the (hot stream, cold stream) match records.
#include "eng/targeting/TemperatureInterval.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

struct AreaTargetInputs;
class ILurmetBinaryFile;
class MatchwiseStreamData;
class MatchwiseStreamDataList;
class TargetCurve;

// A pinch point as the utility placement lists it: hot-side and cold-side temperature and a third
// value (0.0 for pinch points).
struct PinchListEntry {
    double dHotTemperature = 0.0;
    double dColdTemperature = 0.0;
    double dThird = 0.0;
};

// One merged curve point. The interval it closes runs from the previous point up to this one.
struct BathInterval {
    static constexpr int RecordVersion = 1;
    static constexpr int StoredValues = 12;
    // A side the point has no temperature of yet.
    static constexpr double NoTemperature = -1000.0;

    double dEnthalpy = 0.0;
    double dHotTemperature = NoTemperature;
    double dColdTemperature = NoTemperature;
    double dDifference = 0.0;  // hot minus cold
    double dLMTD = 0.0;
    double dLoadTerm = 0.0;    // sum of q / h of the streams in the interval
    double dCountercurrentArea = 0.0;
    double dShellAndTubeArea = 0.0;
    double dShells = 0.0;
    double dFFactor = 0.0;
    double dHotSum = 0.0;      // sum of |CP| / h over the hot list
    double dColdSum = 0.0;     // the same over the cold list

    bool HasHot() const { return dHotTemperature != NoTemperature; }
    bool HasCold() const { return dColdTemperature != NoTemperature; }
    // The stored values by position 0..11, in the order of the fields above; 0.0 for another.
    double Value(int position) const;
    // Record version 1: the twelve values.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);
};

// A point of one of the two curves the merged points are made from: cumulative enthalpy and
// temperature, from the lowest temperature up.
struct BathCurvePoint {
    double H;
    double T;
};

// A segment and the merged points whose interval (up to the next point) it lies across: the
// points first <= k < last. A segment whose points are not one run has a span per run. The
// points are counted in four bytes, so a span is 24 bytes: a large table keeps one for every
// stream as long as its target.
struct BathSegmentSpan {
    StreamSegment* segment = nullptr;
    int side = 0;  // 0 hot, 1 cold
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

// The temperatures, per side (0 hot, 1 cold), where one stream's consecutive segments meet with
// the same heat-capacity flow rate and film coefficient and no other segment starts or ends: a
// cut that changes nothing physical, whose curve point bounds no interval of its own. Sorted.
struct BathCutJoints {
    std::vector<double> side[2];
    bool Empty() const { return side[0].empty() && side[1].empty(); }
};

// The joints of `segments` as the area intervals see them (a utility up to where it was placed).
BathCutJoints FindCutJoints(std::span<StreamSegment* const> segments);

class BathAreaTarget {
public:
    static constexpr int RecordVersion = 2;
    // What an interval without a positive temperature difference needs (area and shells).
    static constexpr double Unbounded = 1e24;
    // LMTD taken for an interval without a positive temperature difference.
    static constexpr double CrossedLMTD = 1e-8;
    // A region never counts more shells than this.
    static constexpr double MaxRegionShells = 10000.0;
    // Two points closer than this on both temperatures are one point.
    static constexpr double PointTolerance = 0.0001;

    // Whether the totals are results: not computed (no valid utility placement), computed, or
    // not available because heat would have to pass where the curves touch or cross (an interval
    // with heat and no positive temperature difference at an end).
    enum State : int { NotComputed = 0, Computed = 1, NoDrivingForce = 2 };

    // An empty target with the minimum F-factor a new area record starts with.
    BathAreaTarget() = default;
    BathAreaTarget(double dtMin, double minimumFFactor, std::vector<PinchListEntry> pinchPoints);

    // The record builder's step (see BathAreaTarget.cpp for the codes). Answers the target to keep:
    // the one given, a new one, or null when none was given and the code builds none.
    static BathAreaTarget* Update(BathAreaTarget* existing, const AreaTargetInputs& in, int changeCode);

    // Empties the lists, takes the settings, zeroes the results and marks them not computed.
    void Reset(double dtMin, double minimumFFactor, std::vector<PinchListEntry> pinchPoints);
    // Merges the curve points (when the curve has both lists) and computes every target. Through
    // Update the merged points are then let go (see LetGoOfPoints) and made again when read.
    void Calculate(const TargetCurve* curves, std::span<StreamSegment* const> segments);
    // The same on a hot and a cold point list (temperature, enthalpy), either of which may be null.
    void Calculate(const TIList* hot, const TIList* cold, std::span<StreamSegment* const> segments);

    // Steps of Calculate.
    void BuildIntervals(const TIList* hot, const TIList* cold, std::span<StreamSegment* const> segments);
    void ComputeIntervalAreas();
    void ComputeRegionAreas();
    void ComputeRegionShells();

    // Appends up to `count` merged points (not already listed) whose temperature difference is
    // within DTmin x 0.99, the closest first.
    void GetNearPinchPoints(std::vector<PinchListEntry>& list, int count) const;
    // 1 when no merged point of the two curves comes within DTmin x 0.99, else 0.
    int IsFeasible(const TargetCurve& curves) const;
    int IsFeasible(const TIList* hot, const TIList* cold) const;

    // Spread each interval's load and area over the match records of its (hot, cold) segment
    // pairs: countercurrent areas (capital-cost kind 2) or shell-and-tube areas and shells (kind 3).
    void DistributeCountercurrent(MatchwiseStreamDataList& matches) const;
    void DistributeShellAndTube(MatchwiseStreamDataList& matches) const;

    // The merged points of a large table are most of the record, and only the totals are read
    // while targeting; the points are read again (by the case file, the scenario's interval
    // queries, a spread over the match records) when at all. KeepPointSource, right after a
    // calculation on `hot` and `cold`, keeps copies of what the points are made of: the two
    // curves' points and each segment's |CP| / h (the spans stay in any case). LetGoOfPoints then
    // frees the points, and whatever reads them next has them made again from those copies by
    // the same steps, so every value is the one computed (whatever became of the curves and
    // segments since). A recall, reset, new calculation or new spans drops the copies.
    void KeepPointSource(const TIList* hot, const TIList* cold);
    void LetGoOfPoints();
    // The same for a reader done with the points (a spread over the match records, once it has
    // its interval terms): nothing without the copies.
    void LetGoOfReadPoints() const;
    bool HasLetGoOfPoints() const { return m_bPointsLetGo; }

    // Record version 2 (see BathAreaTargetRecord.cpp). Recall fails, with the failed list freed,
    // at the first value it cannot read.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

    double GetCountercurrentArea() const { return m_dCountercurrentArea; }
    double GetShellAndTubeArea() const { return m_dShellAndTubeArea; }
    int GetShells() const { return m_nShells; }
    int GetState() const { return m_nState; }
    // Whether some pinch region's count reached MaxRegionShells (the target then only says "at
    // least this many").
    bool IsShellsCapped() const;
    double GetDTmin() const { return m_dDTmin; }
    double GetMinimumFFactor() const { return m_dMinimumFFactor; }
    const std::vector<PinchListEntry>& GetPinchPoints() const { return m_pinchPoints; }
    // Null while the list does not exist.
    const std::vector<BathInterval>* GetIntervals() const { return Points(); }
    const std::vector<double>* GetRegionShells() const { return m_pRegionShells.get(); }
    const std::vector<double>* GetRegionCountercurrentAreas() const { return m_pRegionCountercurrent.get(); }
    const std::vector<double>* GetRegionShellAndTubeAreas() const { return m_pRegionShellAndTube.get(); }
    int GetNumberOfIntervals() const {
        if (m_bPointsLetGo) return static_cast<int>(m_pSource->count);
        return m_pIntervals ? static_cast<int>(m_pIntervals->size()) : 0;
    }
    // The segments lying across the intervals (not stored).
    const std::vector<BathSegmentSpan>& GetSegmentSpans() const { return m_spans; }
    void SetSegmentSpans(std::vector<BathSegmentSpan> spans) {
        DropPointSource();
        m_spans = std::move(spans);
    }
    // Replaces the merged points (what a recall does; tests give points worked out by hand).
    void SetIntervals(std::vector<BathInterval> points) {
        DropPointSource();
        m_pIntervals = std::make_unique<std::vector<BathInterval>>(std::move(points));
    }

    // The pinch region an interval starting at point `p` lies in: 0 below the lowest pinch, m at
    // or above the highest of m pinches. `tolerance` eases the at-or-above tests.
    int RegionOf(const BathInterval& p, double tolerance) const;

private:
    // What let-go points are made again from.
    struct PointSource {
        std::vector<BathCurvePoint> hot, cold;
        // Per span, |CP| / h as the areas summed it; negative for a span they left out.
        std::vector<double> spanTerms;
        std::size_t count = 0;
    };
    // The merged points, made again first when they were let go.
    const std::vector<BathInterval>* Points() const;
    void RemakePoints() const;
    // Makes the points again when they were let go and forgets what they were made of.
    void DropPointSource();

    double m_dCountercurrentArea = 0.0;
    double m_dShellAndTubeArea = 0.0;
    double m_dDTmin = 0.0;
    double m_dMinimumFFactor = 0.8;
    int m_nShells = 0;
    int m_nState = NotComputed;
    std::unique_ptr<std::vector<double>> m_pRegionShells;
    // Mutable: points let go are made again by whatever reads them.
    mutable std::unique_ptr<std::vector<BathInterval>> m_pIntervals;
    std::unique_ptr<PointSource> m_pSource;
    mutable bool m_bPointsLetGo = false;
    std::unique_ptr<std::vector<double>> m_pRegionCountercurrent;
    std::unique_ptr<std::vector<double>> m_pRegionShellAndTube;
    // Sorted from the lowest hot temperature up.
    std::vector<PinchListEntry> m_pinchPoints;
    std::vector<BathSegmentSpan> m_spans;
    // Where the segments were cut without a change: the merged points leave these out.
    BathCutJoints m_joints;
};

// The merged points of two curves (enthalpy, hot temperature, cold temperature), in enthalpy
// order: one point at every enthalpy where either curve has a point (enthalpies within round-off
// are one), the other curve's temperature interpolated there; where a curve has a gap (its
// temperature jumps at one enthalpy) the point below the jump and the point above it, each paired
// with the other curve's temperature on the same side. Points that repeat their successor are
// dropped; `dropFlat` also drops a point whose successor has the same enthalpy (within 1e-8).
// The temperature differences are filled; the segment lists are not.
std::vector<BathInterval> MergeCurvePoints(const TIList* hot, const TIList* cold, bool dropFlat);

// The match record of every (hot stream, cold stream) pair, found from a pair of segments through
// the streams they belong to; a segment without a stream has no record.
class MatchRecordIndex {
public:
    explicit MatchRecordIndex(const MatchwiseStreamDataList& matches) : m_matches(matches) {}
    MatchwiseStreamData* Find(const StreamSegment& hot, const StreamSegment& cold) const;

private:
    const MatchwiseStreamDataList& m_matches;
};

// 1 / h of a film coefficient; a segment without a usable coefficient (empty, zero or not a
// number) adds no film resistance.
double InverseFilmCoefficient(double h);
