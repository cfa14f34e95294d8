#pragma once
// One side (hot or cold) of a utility placement: how far the placed utilities meet what the process
// needs. The first value is the utility load placed on the side's utilities; the second value is
// the shortfall (heat the process needs that no utility of the side could supply or take). The
// status follows from the two:
//   0 nothing placed and nothing short, 1 insufficient (shortfall only), 2 placed (no shortfall),
//   3 both; 4 the user-supplied loads could not be evaluated.
// A side is settled when its status is 0 or 2: the process is served. Status 2 or 3 on either side
// of an automatic placement also places the utilities on the utility composite curve.
#include <cstdint>

class ILurmetBinaryFile;

struct TargetValue {
    static constexpr int RecordVersion = 1;
    // Loads at or below this count as zero (the least tolerance: a side of large duties counts
    // loads as zero up to RelativeTolerance of the heat load involved).
    static constexpr double Tolerance = 1e-8;
    static constexpr double RelativeTolerance = 1e-9;

    enum Status : std::int32_t {
        Sufficient = 0,
        Insufficient = 1,
        Placed = 2,
        PlacedAndInsufficient = 3,
        NotEvaluated = 4,
    };

    std::int32_t nStatus = Insufficient;
    double dFirst = 0.0;   // load placed (kW)
    double dSecond = 0.0;  // shortfall (kW)

    // The status two values give.
    static std::int32_t StatusOf(double first, double second, double tolerance = Tolerance) {
        const bool placed = first > tolerance;
        const bool short_ = second > tolerance;
        if (placed && short_) return PlacedAndInsufficient;
        if (placed) return Placed;
        if (short_) return Insufficient;
        return Sufficient;
    }

    bool IsSettled() const { return nStatus == Sufficient || nStatus == Placed; }
    // A new or reset side: status 1, both values 0.0.
    void Reset() { *this = TargetValue(); }
    // which 0 the first value, 1 the second; the status is recomputed from both.
    void Set(int which, double value) {
        if (which == 0) dFirst = value;
        else if (which == 1) dSecond = value;
        nStatus = StatusOf(dFirst, dSecond);
    }

    // Record version 1: first value, second value, status.
    bool Store(ILurmetBinaryFile& file) const;
    // Reads what Store wrote; on failure the side is unchanged.
    bool Recall(ILurmetBinaryFile& file);
};
