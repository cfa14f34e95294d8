#pragma once
// User-supplied utility loads: the user fixes the loads of the utility streams instead of letting
// the targets set them. The composite curves are rebuilt with those loads, and what the utilities
// leave of the process's needs is carried by two make-up utilities at the extremes of the
// temperature scale: a hot source from 3000 °C down by 1 K and a cold sink from -273.15 °C up by
// 1 K. A load is accepted when the rebuilt curves still keep the minimum approach temperature.
//
// Balancing: the effective hot and cold utilities are at least what the user gave and at least
// the targets, and they differ by exactly the process's own imbalance (hot target - cold
// target); the make-up utilities carry the effective loads less what the user gave.
#include "eng/core/StreamSegment.h"
#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/TemperatureInterval.h"

#include <limits>
#include <memory>
#include <span>
#include <vector>

class IHeatIntegrationStream;
class ILurmetBinaryFile;

// A point of the user-load curves: temperature, cumulative heat load, the other curve's
// temperature at that load, and the vertical temperature difference between the two curves there
// (hot minus cold).
struct UserLoadCurvePoint {
    double dTemperature = 0.0;
    double dLoad = 0.0;
    double dOtherTemperature = 0.0;
    double dApproach = 0.0;
};

// The smallest temperature difference, hot minus cold at one heat load, between the shifted
// balanced composite curves of `segments`: each stream stands shifted by its own share of the
// approach (its contribution, or half the DTmin), so streams that ask for a smaller approach may
// meet closer than the DTmin. Below zero the loads make heat flow up the shifted scale. Infinity
// when a curve is empty.
double ShiftedCurvesGap(std::span<StreamSegment* const> segments);
// Whether shifted curves `gap` apart keep the approach: they may cross by rounding and no more than
// 1 % of the approach (the share an unshifted difference of 0.99 x DTmin leaves).
bool ShiftedGapKeepsApproach(double gap, double approach);

// The balanced composite curves of process, utilities as loaded and make-up utilities, in actual
// temperatures, each point with its temperature difference to the other curve, and the gap of the
// same curves shifted, which decides whether the loads keep the approach.
class UserLoadCurves {
public:
    static constexpr int RecordVersion = 2;
    static constexpr double DefaultFactor = 0.8;
    // A point closer than this to the one before it (in temperature) is dropped.
    static constexpr double PointSpacing = 1e-8;
    // The share of the approach temperature a point must keep.
    static constexpr double ApproachShare = 0.99;

    explicit UserLoadCurves(double approach = 0.0, double factor = DefaultFactor)
        : m_dApproach(approach), m_dFactor(factor) {}

    // Takes the points of the balanced curves' hot and cold lists, highest temperature first, and
    // the temperature difference at each, and the shifted curves' gap (ShiftedCurvesGap).
    void Rebuild(const TargetCurve& balanced, double shiftedGap);
    // The shifted curves keep the approach (ShiftedGapKeepsApproach): the actual differences may
    // be smaller where the streams there ask for less.
    bool KeepsApproach() const;
    double GetShiftedGap() const { return m_dShiftedGap; }

    // list 0 hot, 1 cold.
    const std::vector<UserLoadCurvePoint>& GetList(int list) const { return list == 0 ? m_hot : m_cold; }
    double GetApproach() const { return m_dApproach; }
    void SetApproach(double approach) { m_dApproach = approach; }
    double GetFactor() const { return m_dFactor; }

    // Record version 2: approach, factor, then per list the count and four doubles per point, then
    // the shifted gap. Version 1 has no gap: it reads as the smallest actual difference less the
    // approach, the rule such a file was written under. Curves without points (no process stream
    // yet) have no gap: it is filed as the largest double, which a case file holds, and reads back
    // as none. On failure the curves are unchanged.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

private:
    double m_dApproach;
    double m_dFactor;
    double m_dShiftedGap = std::numeric_limits<double>::infinity();
    std::vector<UserLoadCurvePoint> m_hot;
    std::vector<UserLoadCurvePoint> m_cold;
};

class UserSuppliedUtilityLoad {
public:
    static constexpr int RecordVersion = 1;
    static constexpr double MakeUpHotTemperature = 3000.0;
    static constexpr double MakeUpColdTemperature = -273.15;
    static constexpr double MakeUpRange = 1.0;
    // A make-up load below this is nothing left to assign.
    static constexpr double MakeUpTolerance = 1e-5;

    // An empty object (what a recall reads into): no streams, no working list, no make-up.
    UserSuppliedUtilityLoad();
    // Over the owner's streams and a copy of its segment list: sums the utility loads, balances
    // and creates the make-up segments (the targets are 0 until the owner sets them).
    UserSuppliedUtilityLoad(std::span<IHeatIntegrationStream* const> streams, std::span<StreamSegment* const> segments);
    ~UserSuppliedUtilityLoad();
    UserSuppliedUtilityLoad(const UserSuppliedUtilityLoad&) = delete;
    UserSuppliedUtilityLoad& operator=(const UserSuppliedUtilityLoad&) = delete;

    // Takes a new stream collection and segment list: the working list is copied again and the
    // make-up segments are renewed.
    void Refresh(std::span<IHeatIntegrationStream* const> streams, std::span<StreamSegment* const> segments);
    void SetTargets(double hot, double cold) {
        m_dHotTarget = hot;
        m_dColdTarget = cold;
    }
    void SetApproach(double approach);
    double GetApproach() const { return m_dApproach; }

    // Sums the utility loads over the streams, balances and gives the make-up segments their loads.
    void Prepare();
    // Rebuilds the curves over the working list; true when they keep the approach (the shifted
    // curves do not cross).
    bool BuildCurves();
    // Sets the stream's load (both views), balances again and rebuilds; true when accepted. The
    // load stays set either way (AssignTargetLoads takes a refused one back).
    bool SetStreamLoad(IHeatIntegrationStream* stream, double load);
    // Gives what the make-up source carries to the hottest hot utility and what the make-up sink
    // carries to the coldest cold utility. 1 when nothing had to be assigned or every assignment
    // was accepted; 0 at the first refused one, whose utility keeps its old load.
    int AssignTargetLoads();

    double GetHotTarget() const { return m_dHotTarget; }
    double GetColdTarget() const { return m_dColdTarget; }
    double GetHotAssigned() const { return m_dHotAssigned; }
    double GetColdAssigned() const { return m_dColdAssigned; }
    double GetHotEffective() const { return m_dHotEffective; }
    double GetColdEffective() const { return m_dColdEffective; }
    // The make-up segments (null when the process has no stream of the other side).
    const StreamSegment* GetMakeUpSource() const { return m_pMakeUpSource.get(); }
    const StreamSegment* GetMakeUpSink() const { return m_pMakeUpSink.get(); }
    // Their loads; 0.0 without the segment.
    double GetMakeUpSourceLoad() const;
    double GetMakeUpSinkLoad() const;

    const SegmentRefs& GetWorkingList() const { return m_working; }
    const UserLoadCurves* GetCurves() const { return m_pCurves.get(); }
    // The balanced curves the user-load curves are read from.
    const TargetCurve* GetBalancedCurves() const { return m_pBalanced.get(); }

    // Record version 1: the six loads (hot and cold target, assigned, effective), then the curves
    // and the balanced curves, each behind a presence flag. A recall that fails leaves the object
    // as it was. A recalled object has no streams or segments until it is refreshed.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

private:
    void TakeSegments(std::span<StreamSegment* const> segments);
    void RenewMakeUpSegments();
    void SumAndBalance();
    static std::unique_ptr<StreamSegment> NewMakeUpSegment(bool hot);

    double m_dHotTarget = 0.0;
    double m_dColdTarget = 0.0;
    double m_dHotAssigned = 0.0;
    double m_dColdAssigned = 0.0;
    double m_dHotEffective = 0.0;
    double m_dColdEffective = 0.0;
    double m_dApproach = 0.0;
    std::vector<IHeatIntegrationStream*> m_streams;
    SegmentRefs m_working;
    std::unique_ptr<StreamSegment> m_pMakeUpSource;
    std::unique_ptr<StreamSegment> m_pMakeUpSink;
    std::unique_ptr<UserLoadCurves> m_pCurves;
    std::unique_ptr<TargetCurve> m_pBalanced;
};
