#pragma once
// The plant as every model reads it. A user may cut a stream where nothing changes, write a
// utility in several rows, or list streams in any order; none of that is part of the plant, and
// none of it may move a target or a design. The normal form is the one shape the models are built
// on:
//   - the streams in the order of their names (a stream's own segments in their stream order), so
//     that a model's rows and columns, and the solver's choice among equal optima, follow names;
//   - consecutive segments of one stream joined into one where everything a model reads of them
//     is the same: side and kind, heat-capacity flow rate (a utility's rows are one range: its
//     rate is what its placed load spreads over the joined range), film coefficient, approach
//     (DTmin contribution), whether a utility is placed on it, and the two ends touch (a stream's
//     cost is the stream's, so its segments share it).
// The joined segments are copies the normal form owns; the user's segments are never touched, and
// each copy knows the user's segments it stands for, so that a result can be told back on them.
// Building is n log n in the segments (one sort by name, one pass).
#include "eng/core/StreamSegment.h"

#include <cstddef>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

class IHeatIntegrationStream;

class PlantNormalForm {
public:
    // Two ends (actual or shifted) closer than this share of their size, or than this absolute
    // distance near zero, touch.
    static constexpr double TouchTolerance = 1e-9;
    // Two rates or film coefficients this close (relative) are the same.
    static constexpr double SameValueTolerance = 1e-9;

    PlantNormalForm() = default;
    PlantNormalForm(const PlantNormalForm&) = delete;
    PlantNormalForm& operator=(const PlantNormalForm&) = delete;

    // Makes the normal form of `userSegments` (null entries are left out). One stream's segments
    // are taken in the order given, which is their stream order; streams may come in any order.
    void Build(std::span<StreamSegment* const> userSegments);
    // Takes the values of `userSegments` again into the segments already made, where they join in
    // the same way as before (a film coefficient or a placed load changed); answers false, and
    // changes nothing, when the normal form would have another shape (then Build it again).
    bool Retake(std::span<StreamSegment* const> userSegments);

    // The joined segments, streams in name order.
    std::span<StreamSegment* const> Segments() const { return m_refs; }
    std::size_t Size() const { return m_refs.size(); }
    // The user's segments the k-th joined segment stands for, in stream order.
    std::span<StreamSegment* const> SourcesOf(std::size_t k) const;
    // The joined segment a user's segment went into; null for one not in the normal form.
    StreamSegment* NormalOf(const StreamSegment* user) const;

    // The runs of one stream's segments that join (first segment, number of segments), for the
    // models that read a stream through its values rather than its segments: the same rule as
    // Build, on segments made from the stream's temperatures, rates and film coefficients.
    struct Run {
        int first = 0;
        int count = 0;
    };
    static std::vector<Run> RunsOf(const IHeatIntegrationStream& stream);

    // Whether `next` continues `first` with nothing a model reads changed (both of one stream).
    static bool Joinable(const StreamSegment& first, const StreamSegment& next);
    // The streams in the order of their names (ties, which a scenario does not allow, keep their
    // order). Engines that walk streams rather than segments take them in this order.
    static void OrderByName(std::vector<IHeatIntegrationStream*>& streams);

private:
    // The user's segments grouped into runs, each run one joined segment: the order and the runs.
    struct Plan {
        std::vector<StreamSegment*> order;
        std::vector<std::size_t> runStarts;  // one past the last run's end closes the list
    };
    static Plan PlanOf(std::span<StreamSegment* const> userSegments);
    // The values of the run [from, to) of `order` written into `into`.
    static void Join(const StreamSegment* const* from, const StreamSegment* const* to, StreamSegment& into);

    std::vector<std::unique_ptr<StreamSegment>> m_segments;
    std::vector<StreamSegment*> m_refs;
    Plan m_plan;
    // Each user's segment's joined segment, by position in m_refs.
    std::unordered_map<const StreamSegment*, std::size_t> m_normalOf;
};
