#include "eng/targeting/UserSuppliedUtilityLoad.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/BathAreaTarget.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLoadMatch = 1e-9;
// What rounding may leave of a touch between the shifted curves (kelvin), whatever the approach.
constexpr double kGapRounding = 1e-9;
// No curve of a real problem has this many points; a larger count in a file is damage.
constexpr std::int32_t kMaxStoredPoints = 10000000;

// The points of one list, highest temperature first (the list's own order).
std::vector<UserLoadCurvePoint> PointsOf(const TIList* list) {
    std::vector<UserLoadCurvePoint> points;
    const int n = list ? list->GetNumberOfBoundaries() : 0;
    for (int i = 0; i < n; ++i) {
        const TemperatureInterval* e = list->GetInterval(i);
        if (!points.empty() && std::fabs(points.back().dTemperature - e->dTemperature) < UserLoadCurves::PointSpacing)
            continue;
        points.push_back({e->dTemperature, e->dValue, 0.0, 0.0});
    }
    return points;
}

// The temperature of a curve (highest point first, loads falling with temperature) at a heat
// load. Where the curve runs flat in load over a range of temperatures the end that gives the
// smaller difference to the other curve is taken: the lowest for the hot curve, the highest for
// the cold one. Loads outside the curve take the nearer end.
double TemperatureAtLoad(const std::vector<UserLoadCurvePoint>& curve, double load, bool highest) {
    if (curve.empty()) return 0.0;
    bool found = false;
    double best = 0.0;
    auto take = [&](double t) {
        if (!found || (highest ? t > best : t < best)) best = t;
        found = true;
    };
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const UserLoadCurvePoint& upper = curve[i - 1];
        const UserLoadCurvePoint& lower = curve[i];
        const double lo = std::min(lower.dLoad, upper.dLoad), hi = std::max(lower.dLoad, upper.dLoad);
        if (load < lo - kLoadMatch || load > hi + kLoadMatch) continue;
        if (hi - lo <= kLoadMatch) {
            take(upper.dTemperature);
            take(lower.dTemperature);
        } else {
            take(lower.dTemperature +
                 (upper.dTemperature - lower.dTemperature) * (load - lower.dLoad) / (upper.dLoad - lower.dLoad));
        }
    }
    if (found) return best;
    if (curve.size() == 1) return curve.front().dTemperature;
    const bool rising = curve.front().dLoad >= curve.back().dLoad;
    const bool aboveTop = rising ? load > curve.front().dLoad : load < curve.front().dLoad;
    return aboveTop ? curve.front().dTemperature : curve.back().dTemperature;
}

// The gap of curves without points, as the file holds it (it holds no infinity).
constexpr double kNoGap = std::numeric_limits<double>::max();

bool StorePoints(ILurmetBinaryFile& file, const std::vector<UserLoadCurvePoint>& points) {
    bool ok = file.WriteInt(static_cast<std::int32_t>(points.size()));
    for (const UserLoadCurvePoint& p : points) {
        if (!ok) break;
        ok = file.WriteDouble(p.dTemperature) && file.WriteDouble(p.dLoad) && file.WriteDouble(p.dOtherTemperature) &&
             file.WriteDouble(p.dApproach);
    }
    return ok;
}

// Grows the list only with points really read, so a damaged count costs no memory.
bool RecallPoints(ILurmetBinaryFile& file, std::vector<UserLoadCurvePoint>& points) {
    std::int32_t count = 0;
    if (!file.ReadItemCount(count) || count > kMaxStoredPoints) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        UserLoadCurvePoint p;
        if (!file.ReadDouble(p.dTemperature) || !file.ReadDouble(p.dLoad) || !file.ReadDouble(p.dOtherTemperature) ||
            !file.ReadDouble(p.dApproach))
            return false;
        points.push_back(p);
    }
    return true;
}

bool IsUtility(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 1; }

}  // namespace

// ---------------------------------------------------------------- the curves

// Which end of the other curve's jump at a point's load the point meets. A point that is the
// hotter end of a jump of its own curve lies on the side of the load where the other curve is at
// its hotter end too, the colder end of a jump on the side where both are colder: where both
// curves jump at one load (a utility that serves exactly what one cold stream needs, say) no heat
// passes there, and the hotter end of one is never set against the colder end of the other. A
// point inside a curve meets the nearer end, as any point where only the other curve jumps.
bool MeetsHotterEnd(const std::vector<UserLoadCurvePoint>& curve, std::size_t i, bool nearerIsHotter) {
    const bool sameAsHotter = i > 0 && std::fabs(curve[i].dLoad - curve[i - 1].dLoad) <= kLoadMatch;
    const bool sameAsColder = i + 1 < curve.size() && std::fabs(curve[i].dLoad - curve[i + 1].dLoad) <= kLoadMatch;
    if (sameAsColder && !sameAsHotter) return true;
    if (sameAsHotter && !sameAsColder) return false;
    return nearerIsHotter;
}

double ShiftedCurvesGap(std::span<StreamSegment* const> segments) {
    const TargetCurve shifted(TargetCurve::ShiftedBalanced, 0.0, 0.0, segments);
    double gap = std::numeric_limits<double>::infinity();
    // Both ends of a jump stay: each is set against the same end of the other curve there.
    for (const BathInterval& p : MergeCurvePoints(shifted.GetHotList(), shifted.GetColdList(), false))
        gap = std::min(gap, p.dDifference);
    return gap;
}

bool ShiftedGapKeepsApproach(double gap, double approach) {
    return gap > -std::max((1.0 - UserLoadCurves::ApproachShare) * approach, kGapRounding);
}

void UserLoadCurves::Rebuild(const TargetCurve& balanced, double shiftedGap) {
    m_dShiftedGap = shiftedGap;
    m_hot = PointsOf(balanced.GetHotList());
    m_cold = PointsOf(balanced.GetColdList());
    for (std::size_t i = 0; i < m_hot.size(); ++i) {
        UserLoadCurvePoint& p = m_hot[i];
        p.dOtherTemperature = TemperatureAtLoad(m_cold, p.dLoad, MeetsHotterEnd(m_hot, i, true));
        p.dApproach = p.dTemperature - p.dOtherTemperature;
    }
    for (std::size_t i = 0; i < m_cold.size(); ++i) {
        UserLoadCurvePoint& p = m_cold[i];
        p.dOtherTemperature = TemperatureAtLoad(m_hot, p.dLoad, MeetsHotterEnd(m_cold, i, false));
        p.dApproach = p.dOtherTemperature - p.dTemperature;
    }
}

bool UserLoadCurves::KeepsApproach() const { return ShiftedGapKeepsApproach(m_dShiftedGap, m_dApproach); }

bool UserLoadCurves::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    return file.BeginRecord(h, RecordVersion) && file.WriteDouble(m_dApproach) && file.WriteDouble(m_dFactor) &&
           StorePoints(file, m_hot) && StorePoints(file, m_cold) &&
           file.WriteDouble(std::isfinite(m_dShiftedGap) ? m_dShiftedGap : kNoGap) &&
           file.EndRecord(h);
}

bool UserLoadCurves::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    double approach = 0.0, factor = 0.0;
    std::vector<UserLoadCurvePoint> hot, cold;
    if (!file.BeginRecord(h) || !file.ReadDouble(approach) || !file.ReadDouble(factor) || !RecallPoints(file, hot) ||
        !RecallPoints(file, cold))
        return false;
    double gap = std::numeric_limits<double>::infinity();
    if (file.GetRecordVersion(h) >= 2) {
        if (!file.ReadDouble(gap)) return false;
        if (gap >= kNoGap) gap = std::numeric_limits<double>::infinity();
    } else {
        for (const auto* list : {&hot, &cold})
            for (const UserLoadCurvePoint& p : *list) gap = std::min(gap, p.dApproach - approach);
    }
    if (!file.EndRecord(h)) return false;
    m_dApproach = approach;
    m_dShiftedGap = gap;
    m_dFactor = factor;
    m_hot = std::move(hot);
    m_cold = std::move(cold);
    return true;
}

// ---------------------------------------------------------------- the load object

UserSuppliedUtilityLoad::UserSuppliedUtilityLoad() = default;

UserSuppliedUtilityLoad::UserSuppliedUtilityLoad(std::span<IHeatIntegrationStream* const> streams,
                                                 std::span<StreamSegment* const> segments) {
    Refresh(streams, segments);
}

UserSuppliedUtilityLoad::~UserSuppliedUtilityLoad() = default;

void UserSuppliedUtilityLoad::Refresh(std::span<IHeatIntegrationStream* const> streams,
                                      std::span<StreamSegment* const> segments) {
    m_streams.clear();
    for (IHeatIntegrationStream* s : streams)
        if (s) m_streams.push_back(s);
    TakeSegments(segments);
    Prepare();
}

void UserSuppliedUtilityLoad::TakeSegments(std::span<StreamSegment* const> segments) {
    // The curves keep pointers into the working list; they are rebuilt before they are read again.
    if (m_pBalanced) m_pBalanced->ClearIntervals();
    m_working.clear();
    for (StreamSegment* s : segments)
        if (s) m_working.push_back(s);
    RenewMakeUpSegments();
}

std::unique_ptr<StreamSegment> UserSuppliedUtilityLoad::NewMakeUpSegment(bool hot) {
    auto s = std::make_unique<StreamSegment>();
    const double first = hot ? MakeUpHotTemperature : MakeUpColdTemperature;
    const double second = hot ? first - MakeUpRange : first + MakeUpRange;
    s->dInletTemperature = s->dShiftedInletTemperature = first;
    s->dOutletTemperature = s->dShiftedOutletTemperature = second;
    s->nHotCold = hot ? 0 : 1;
    s->nKind = 0;
    s->strStreamName = hot ? "Make-up hot utility" : "Make-up cold utility";
    return s;
}

// A make-up sink is needed where hot process streams may leave heat over, a make-up source where
// cold process streams may lack it.
void UserSuppliedUtilityLoad::RenewMakeUpSegments() {
    bool hotProcess = false, coldProcess = false;
    for (const IHeatIntegrationStream* s : m_streams) {
        if (IsUtility(s)) continue;
        hotProcess = hotProcess || s->GetHotCold() == 0;
        coldProcess = coldProcess || s->GetHotCold() == 1;
    }
    if (!hotProcess) m_pMakeUpSink.reset();
    else if (!m_pMakeUpSink) m_pMakeUpSink = NewMakeUpSegment(false);
    if (!coldProcess) m_pMakeUpSource.reset();
    else if (!m_pMakeUpSource) m_pMakeUpSource = NewMakeUpSegment(true);
    if (m_pMakeUpSource) m_working.push_back(m_pMakeUpSource.get());
    if (m_pMakeUpSink) m_working.push_back(m_pMakeUpSink.get());
}

void UserSuppliedUtilityLoad::SumAndBalance() {
    m_dHotAssigned = m_dColdAssigned = 0.0;
    for (IHeatIntegrationStream* s : m_streams) {
        if (!IsUtility(s)) continue;
        if (s->GetHotCold() == 0) m_dHotAssigned += s->GetHeatLoad(0);
        else if (s->GetHotCold() == 1) m_dColdAssigned += s->GetHeatLoad(0);
    }
    m_dHotEffective = std::max(m_dHotAssigned, m_dHotTarget);
    m_dColdEffective = std::max(m_dColdAssigned, m_dColdTarget);
    const double imbalance = m_dHotTarget - m_dColdTarget;
    const double difference = m_dHotEffective - m_dColdEffective;
    if (difference > imbalance) m_dColdEffective = m_dHotEffective - imbalance;
    else if (difference < imbalance) m_dHotEffective = m_dColdEffective + imbalance;
}

void UserSuppliedUtilityLoad::Prepare() {
    SumAndBalance();
    auto give = [](StreamSegment* s, double load) {
        if (!s) return;
        s->dLoad = load;
        s->dHeatCapacityFlowrate = load / MakeUpRange;
    };
    give(m_pMakeUpSource.get(), m_dHotEffective - m_dHotAssigned);
    give(m_pMakeUpSink.get(), m_dColdEffective - m_dColdAssigned);
}

void UserSuppliedUtilityLoad::SetApproach(double approach) {
    m_dApproach = approach;
    if (m_pCurves) m_pCurves->SetApproach(approach);
}

bool UserSuppliedUtilityLoad::BuildCurves() {
    if (!m_pCurves) m_pCurves = std::make_unique<UserLoadCurves>(m_dApproach);
    m_pCurves->SetApproach(m_dApproach);
    if (!m_pBalanced) m_pBalanced = std::make_unique<TargetCurve>(TargetCurve::Balanced, 0.0, 0.0, m_working);
    else m_pBalanced->Build(0.0, 0.0, m_working);
    m_pCurves->Rebuild(*m_pBalanced, ShiftedCurvesGap(m_working));
    return m_pCurves->KeepsApproach();
}

bool UserSuppliedUtilityLoad::SetStreamLoad(IHeatIntegrationStream* stream, double load) {
    if (!stream) return false;
    stream->SetHeatLoad(load, 0);
    stream->SetHeatLoad(load, 1);
    Prepare();
    return BuildCurves();
}

double UserSuppliedUtilityLoad::GetMakeUpSourceLoad() const { return m_pMakeUpSource ? m_pMakeUpSource->dLoad : 0.0; }
double UserSuppliedUtilityLoad::GetMakeUpSinkLoad() const { return m_pMakeUpSink ? m_pMakeUpSink->dLoad : 0.0; }

// The hottest hot utility and the coldest cold one can serve wherever the process needs them, so
// the outstanding load goes to them.
int UserSuppliedUtilityLoad::AssignTargetLoads() {
    for (int side = 0; side < 2; ++side) {
        const double outstanding = side == 0 ? GetMakeUpSourceLoad() : GetMakeUpSinkLoad();
        if (outstanding <= MakeUpTolerance) continue;
        IHeatIntegrationStream* first = nullptr;
        for (IHeatIntegrationStream* s : m_streams) {
            if (!IsUtility(s) || s->GetHotCold() != side) continue;
            const double t = s->GetSupplyTemperature();
            const double best = first ? first->GetSupplyTemperature() : 0.0;
            if (!first || (side == 0 ? t > best : t < best)) first = s;
        }
        if (!first) continue;
        const double before = first->GetHeatLoad(0);
        if (!SetStreamLoad(first, before + outstanding)) {
            SetStreamLoad(first, before);
            return 0;
        }
    }
    return 1;
}

bool UserSuppliedUtilityLoad::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteDouble(m_dHotTarget) && file.WriteDouble(m_dColdTarget) &&
              file.WriteDouble(m_dHotAssigned) && file.WriteDouble(m_dColdAssigned) &&
              file.WriteDouble(m_dHotEffective) && file.WriteDouble(m_dColdEffective);
    ok = ok && file.WriteInt(m_pCurves ? 1 : 0);
    if (ok && m_pCurves) ok = m_pCurves->Store(file);
    ok = ok && file.WriteInt(m_pBalanced ? 1 : 0);
    if (ok && m_pBalanced) ok = m_pBalanced->Store(file);
    return ok && file.EndRecord(h);
}

bool UserSuppliedUtilityLoad::Recall(ILurmetBinaryFile& file) {
    // Read aside first: a record that fails to read leaves the object as it was.
    RecordHandle h;
    double loads[6] = {};
    if (!file.BeginRecord(h)) return false;
    for (double& l : loads)
        if (!file.ReadDouble(l)) return false;
    std::int32_t present = 0;
    std::unique_ptr<UserLoadCurves> curves;
    if (!file.ReadInt(present)) return false;
    if (present) {
        curves = std::make_unique<UserLoadCurves>();
        if (!curves->Recall(file)) return false;
    }
    std::unique_ptr<TargetCurve> balanced;
    if (!file.ReadInt(present)) return false;
    if (present) {
        balanced = std::make_unique<TargetCurve>();
        if (!balanced->Recall(file)) return false;
    }
    if (!file.EndRecord(h)) return false;

    m_dHotTarget = loads[0];
    m_dColdTarget = loads[1];
    m_dHotAssigned = loads[2];
    m_dColdAssigned = loads[3];
    m_dHotEffective = loads[4];
    m_dColdEffective = loads[5];
    m_pCurves = std::move(curves);
    if (m_pCurves) m_dApproach = m_pCurves->GetApproach();
    m_pBalanced = std::move(balanced);
    return true;
}
