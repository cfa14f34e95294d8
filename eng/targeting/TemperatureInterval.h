#pragma once
// Temperature intervals: the boundary temperatures of a set of stream segments, sorted from the
// hottest down, with the segments that lie across the interval below each boundary. The heat
// cascades, the target curves and the LP models of targeting are all built on such a list.
//
// Boundary k carries a temperature and a second value (a heat load or heat flow, 0 when built).
// "Interval k" is the band between boundary k and boundary k + 1; a list of n boundaries has
// n - 1 intervals, and the last boundary has no members.
//
// Membership is kept as one span of interval indices per segment rather than as a list per
// interval: a segment always lies across a contiguous run of intervals, and a list per interval
// would grow with segments x intervals (hundreds of millions of entries for ten thousand
// streams). The member lists of one interval are produced on demand, in segment order.
#include "eng/core/StreamSegment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class ILurmetBinaryFile;

// The eight member lists of an interval, by side and stream kind.
enum IntervalMemberList : int {
    AllHotMembers = 0,
    AllColdMembers = 1,
    HotProcessMembers = 2,
    ColdProcessMembers = 3,
    HotUtilityMembers = 4,
    ColdUtilityMembers = 5,
    HotLinkedMembers = 6,
    ColdLinkedMembers = 7,
};

// One boundary of a temperature-interval list. The kind of a boundary (the mode of the list that
// made it) is kept by the list: nearly always one kind for the whole list, so that a boundary is
// two numbers (a list of a large table holds hundreds of thousands of them).
struct TemperatureInterval {
    static constexpr int RecordVersion = 1;

    double dTemperature = 0.0;
    double dValue = 0.0;
};

// A boundary with its kind, as recall and tests give whole lists.
struct KindedBoundary {
    double dTemperature = 0.0;
    double dValue = 0.0;
    std::int32_t nKind = 0;
};

// Where one segment lies in a list: the intervals nFirst..nLast (empty when nLast < nFirst) and
// the member lists it belongs to (bit i for IntervalMemberList i).
struct IntervalSpan {
    StreamSegment* pSegment = nullptr;
    std::int32_t nFirst = 0;
    std::int32_t nLast = -1;
    std::uint8_t nLists = 0;

    bool IsIn(IntervalMemberList list) const { return (nLists >> list) & 1U; }
    bool Covers(int interval) const { return interval >= nFirst && interval <= nLast; }
};

using SegmentRefs = std::vector<StreamSegment*>;

class TIList {
public:
    static constexpr int RecordVersion = 1;
    // Subdivision never makes a list longer than this; a finer request is refused.
    static constexpr std::size_t MaxBoundaries = 1000000;

    // Modes: which temperatures of a segment make its boundaries and membership.
    //   0, 1, 2, 5, 6, 7  shifted pair           hot adds in 0 1 5 6, cold in 0 2 5 7
    //   3, 4              actual pair            hot adds in 3, cold in 4
    //   8, 9              actual inlet, far end  (a utility's placed actual temperature)
    //   10, 11            shifted inlet, far end (a utility's placed shifted temperature)
    //   12, 13            nothing taken
    //   14                as 10/11, the far end moved by |load / CP| beyond it
    explicit TIList(int mode = 0) : m_nMode(mode) {}

    int GetMode() const { return m_nMode; }
    void SetMode(int mode) { m_nMode = mode; }

    // The segments a later Build() takes (not owned).
    const SegmentRefs& GetSegments() const { return m_segments; }
    void SetSegments(std::span<StreamSegment* const> segments) { m_segments.assign(segments.begin(), segments.end()); }

    // Builds the boundaries and the membership from the list's segments by its mode, and stores
    // on every segment taken its interval count and its first and last interval index.
    void Build() { Build(std::span<StreamSegment* const>(m_segments)); }
    // The same over `segments`, which the list does not keep: the membership names every segment
    // it takes, so a second list of the same pointers would only cost memory.
    void Build(std::span<StreamSegment* const> segments);

    // Splits every interval into equal parts no wider than
    // step = max(minimumStep, narrowest interval x factor): an interval of width W gets
    // floor(W / step) new boundaries with values interpolated between its ends. The new
    // boundaries belong to the same segments as the interval they split; each segment's interval
    // count grows by the boundaries added inside its span. Answers false, changing nothing, when
    // the result would exceed MaxBoundaries.
    bool Subdivide(double minimumStep, double factor);
    // Splits interval i into added[i] + 1 equal parts (one entry per boundary; the last is not
    // read), as Subdivide does. False, changing nothing, when the result would exceed
    // MaxBoundaries or `added` is too short.
    bool AddBoundaries(std::span<const std::size_t> added);

    // Drops the boundaries and the membership; the list then has no interval array.
    void Free();
    // Drops the membership (and the segments kept for Build()) and keeps the boundaries: for a
    // list whose members are no longer asked for once its values are laid down.
    void FreeMembership();

    bool HasIntervals() const { return m_pIntervals != nullptr; }
    int GetNumberOfBoundaries() const { return m_pIntervals ? static_cast<int>(m_pIntervals->size()) : 0; }
    // Boundary i, or null when there is no such boundary.
    TemperatureInterval* GetInterval(int i);
    const TemperatureInterval* GetInterval(int i) const;
    double GetTemperature(int i) const;
    // Width of interval i (boundary i minus boundary i + 1); 0 for the last boundary.
    double GetWidth(int i) const;

    // The members of interval i in one list, in segment order.
    SegmentRefs GetMembers(int interval, IntervalMemberList list) const;
    bool HasMember(int interval, IntervalMemberList list) const;
    const std::vector<IntervalSpan>& GetSpans() const { return m_spans; }
    // Per boundary: the sum of the heat-capacity flow rates (their magnitudes when `absolute`) of
    // the members of one list, exactly 0 where the list is empty; and the number of members.
    std::vector<double> SumHeatCapacityFlowrates(IntervalMemberList list, bool absolute) const;
    std::vector<int> CountMembers(IntervalMemberList list) const;
    // Both of the above (signed flow rates) in one walk over the segments, the sums compensated.
    void CountAndSumMembers(IntervalMemberList list, std::vector<int>& counts, std::vector<double>& sums) const;

    // Record version 1: mode, presence of the boundaries, their count and one record per
    // boundary (temperature, value, kind). Membership is not stored; a recalled list has none.
    bool Store(ILurmetBinaryFile& file) const;
    // Reads what Store wrote. On failure the list keeps what it held before.
    bool Recall(ILurmetBinaryFile& file);

    // Replaces the boundaries (no membership); used by recall and by tests.
    void SetBoundaries(const std::vector<KindedBoundary>& boundaries);
    // The kind of boundary i (the mode of the list that made it); 0 when there is no such boundary.
    int GetKind(int i) const;

private:
    // Takes `boundaries` with their kinds, kept as one kind while they all have the same.
    void TakeBoundaries(std::unique_ptr<std::vector<TemperatureInterval>> boundaries, std::vector<std::int32_t> kinds);

    int m_nMode;
    SegmentRefs m_segments;
    std::unique_ptr<std::vector<TemperatureInterval>> m_pIntervals;
    // The kind of every boundary, or per boundary (m_pKinds) when they differ.
    std::int32_t m_nBoundaryKind = 0;
    std::unique_ptr<std::vector<std::int32_t>> m_pKinds;
    std::vector<IntervalSpan> m_spans;
};

// Whether two boundary temperatures are one: temperatures that differ only by the rounding of
// the arithmetic that made them (a supply temperature less a contribution, say 153.2 - 8.75 and
// 140.9 + 3.55) would otherwise make an interval a few units of the last place wide, and a
// second pinch beside the first.
constexpr double kSameTemperatureTolerance = 1e-9;
inline bool SameTemperature(double a, double b) {
    const double scale = std::max(1.0, std::max(std::fabs(a), std::fabs(b)));
    return std::fabs(a - b) <= kSameTemperatureTolerance * scale;
}

// The two temperatures a segment contributes to a list of the given mode, start first (a hot
// segment's start is its hotter end, a cold segment's its colder end). False when the mode takes
// nothing of the segment: an unused utility, modes 12 and 13, an undetermined side, or a
// temperature or flow rate that is not a finite number (one such value would spoil the sums of
// every interval below it).
bool IntervalEndTemperatures(const StreamSegment& segment, int mode, double& start, double& end);

// A utility segment takes part in curves, area, shells and units only while its network block
// says it is used and it carries a load: a utility that carries nothing changes no target, whether
// the automatic placement, the user or the capital/utility trade-off left it empty. A utility
// without a block counts as used. The automatic placement marks its segments used by the same
// load (CarriesUtilityLoad).
bool IsUsedUtilitySegment(const StreamSegment& segment);
// A utility segment's load above this is a load.
constexpr double kUsedUtilityLoad = 1e-12;
bool CarriesUtilityLoad(const StreamSegment& segment);
// The list mode of the models that find the utility loads (the placement LP, the automatic
// design): they take every utility a network block allows, loaded or not.
constexpr int kUtilityModelMode = 5;
// The list mode of the units model's copies of the used segments.
constexpr int kUnitsModelMode = 14;
