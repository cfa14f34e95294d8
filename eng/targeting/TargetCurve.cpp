#include "eng/targeting/TargetCurve.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/targeting/CurveInterpolation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kUtilityLoadTolerance = 1e-12;
// Loads this close below zero are rounding, not a deficit.
constexpr double kNegativeLoadShown = -0.001;

// Cumulative loads from the lowest boundary up: load(i) = load(i+1) + CP(i) x (T(i) - T(i+1)).
void AccumulateLoads(TIList& list, const std::vector<double>& cp, double startLoad) {
    const int n = list.GetNumberOfBoundaries();
    if (n < 1) return;
    list.GetInterval(n - 1)->dValue = startLoad;
    for (int i = n - 2; i >= 0; --i)
        list.GetInterval(i)->dValue = list.GetInterval(i + 1)->dValue + cp[static_cast<std::size_t>(i)] * list.GetWidth(i);
}

}  // namespace

int TargetCurve::HotMode(int kind) {
    switch (kind) {
        case ShiftedComposite: return 1;
        case Composite: return 3;
        case ShiftedBalanced: return 10;
        case Balanced: return 8;
        case UtilityComposite: return 6;
        default: return 1;
    }
}

int TargetCurve::ColdMode(int kind) { return HotMode(kind) + 1; }

bool TargetCurve::TakesSegment(int kind, const StreamSegment& s) {
    switch (kind) {
        case ShiftedComposite:
        case Composite: return s.nKind != 1;
        case UtilityComposite: return s.nKind == 1 && std::fabs(s.dLoad) > kUtilityLoadTolerance;
        default: return true;
    }
}

TargetCurve::TargetCurve(int kind, double hotStartLoad, double coldStartLoad, std::span<StreamSegment* const> segments)
    : m_nKind(kind) {
    Build(hotStartLoad, coldStartLoad, segments);
}

void TargetCurve::Build(double /*hotStartLoad*/, double coldStartLoad, std::span<StreamSegment* const> segments) {
    SegmentRefs hot, cold;
    for (StreamSegment* s : segments) {
        if (!s || !TakesSegment(m_nKind, *s)) continue;
        if (s->nHotCold == 0) hot.push_back(s);
        else if (s->nHotCold == 1) cold.push_back(s);
    }

    // A list that exists keeps its mode (a recalled one has the mode it was stored with).
    if (!m_pHot) m_pHot = std::make_unique<TIList>(HotMode(m_nKind));
    m_pHot->Build(hot);
    SegmentRefs().swap(hot);
    AccumulateLoads(*m_pHot, m_pHot->SumHeatCapacityFlowrates(AllHotMembers, true), 0.0);

    if (!m_pCold) m_pCold = std::make_unique<TIList>(ColdMode(m_nKind));
    m_pCold->Build(cold);
    std::vector<double> coldCP = m_pCold->SumHeatCapacityFlowrates(AllColdMembers, true);
    if (m_nKind == UtilityComposite) {
        // On the utility curve a cold utility takes heat out of the profile.
        const std::vector<double> utilityCP = m_pCold->SumHeatCapacityFlowrates(ColdUtilityMembers, true);
        for (std::size_t i = 0; i < coldCP.size(); ++i) coldCP[i] -= 2.0 * utilityCP[i];
    }
    AccumulateLoads(*m_pCold, coldCP, coldStartLoad);

    m_points.clear();
    if (m_nKind == UtilityComposite) BuildUtilityProfile();
    // Nothing asks a curve's lists for their members afterwards (CoversInterval answers from
    // the segments): at 100,000 streams the four curves would hold 10 MB of them.
    m_pHot->FreeMembership();
    m_pCold->FreeMembership();
    m_bBuilt = true;
}

bool TargetCurve::CoversInterval(int list, const StreamSegment& s, int i) const {
    const TIList* l = list == 0 ? m_pHot.get() : list == 1 ? m_pCold.get() : nullptr;
    if (!m_bBuilt || !l || s.nHotCold != list || !TakesSegment(m_nKind, s)) return false;
    if (i < 0 || i + 1 >= l->GetNumberOfBoundaries()) return false;
    double start = 0.0, end = 0.0;
    if (!IntervalEndTemperatures(s, l->GetMode(), start, end)) return false;
    // A segment lies across the boundaries from its hotter end down to its colder one, which
    // are boundaries of the list itself.
    const double hotter = list == 0 ? start : end;
    const double colder = list == 0 ? end : start;
    return l->GetTemperature(i) <= hotter && l->GetTemperature(i + 1) >= colder;
}

// The heat flow of the utilities from the top down: it starts at the heat of the hot utilities,
// falls across a hot utility and rises across a cold one. Each step between two neighbouring points takes the
// utilities that lie across it, whichever list's boundary bounds it.
void TargetCurve::BuildUtilityProfile() {
    m_points.clear();
    const int nh = m_pHot ? m_pHot->GetNumberOfBoundaries() : 0;
    const int nc = m_pCold ? m_pCold->GetNumberOfBoundaries() : 0;
    for (int i = 0; i < nc; ++i) m_points.push_back({m_pCold->GetInterval(i), 1});
    for (int i = 0; i < nh; ++i) m_points.push_back({m_pHot->GetInterval(i), 0});
    std::stable_sort(m_points.begin(), m_points.end(),
                     [](const PointRef& a, const PointRef& b) { return a.pEntry->dTemperature > b.pEntry->dTemperature; });
    if (m_points.empty()) return;

    const std::vector<double> hotCP = nh ? m_pHot->SumHeatCapacityFlowrates(HotUtilityMembers, true) : std::vector<double>();
    const std::vector<double> coldCP = nc ? m_pCold->SumHeatCapacityFlowrates(ColdUtilityMembers, true) : std::vector<double>();
    auto indexIn = [](const TIList& list, const TemperatureInterval* e) {
        return static_cast<std::size_t>(e - list.GetInterval(0));
    };

    std::vector<double> load(m_points.size(), 0.0);
    double activeHot = 0.0, activeCold = 0.0, hotHeat = 0.0;
    for (std::size_t i = 1; i < m_points.size(); ++i) {
        const PointRef& prev = m_points[i - 1];
        if (prev.nList == 0) activeHot = hotCP[indexIn(*m_pHot, prev.pEntry)];
        else activeCold = coldCP[indexIn(*m_pCold, prev.pEntry)];
        const double step = prev.pEntry->dTemperature - m_points[i].pEntry->dTemperature;
        hotHeat += std::fabs(step * activeHot);
        load[i] = load[i - 1] + std::fabs(step * activeCold) - std::fabs(step * activeHot);
    }

    // The profile stands at zero once its hot utilities have given their heat: it starts at that
    // heat, whatever start load the curve was built with. (Started at the hot start load, which
    // is 0 once the hot side is placed, a table without cold utility would put the hot crossing
    // at the top of the steam and place none of it.)
    for (double& l : load) l += hotHeat;

    // Lower the profile until it nowhere exceeds the grand composite curve.
    const std::vector<CurvePoint> reference = m_pReference ? CurveOfIntervals(*m_pReference) : std::vector<CurvePoint>();
    double d = 0.0;
    for (std::size_t i = 0; i < load.size(); ++i)
        d = std::max(d, load[i] - InterpolateOnCurve(reference, m_points[i].pEntry->dTemperature));
    for (std::size_t i = 0; i < load.size(); ++i) m_points[i].pEntry->dValue = d > 0.0 ? load[i] - d : load[i];
}

void TargetCurve::ClearIntervals() {
    m_bBuilt = false;
    m_pHot.reset();
    m_pCold.reset();
    m_points.clear();
}

double TargetCurve::GetPointValue(int list, int coordinate, int index) const {
    double value = 0.0;
    if (list == 0 && m_nKind == UtilityComposite && index >= 0 && static_cast<std::size_t>(index) < m_points.size()) {
        if (coordinate != 0 && coordinate != 1) return GetIthTI(nullptr, coordinate, index);
        const TemperatureInterval* e = m_points[static_cast<std::size_t>(index)].pEntry;
        value = coordinate == 0 ? e->dTemperature : e->dValue;
    } else if (list == 0 || list == 1) {
        value = GetIthTI(list == 0 ? m_pHot.get() : m_pCold.get(), coordinate, index);
    }
    if (coordinate == 1 && value < 0.0 && value > kNegativeLoadShown) value = 0.0;
    return value;
}

int TargetCurve::GetNumberOfPoints(int list) const {
    if (list == 0) {
        if (m_nKind == UtilityComposite && !m_points.empty()) return static_cast<int>(m_points.size());
        return m_pHot ? m_pHot->GetNumberOfBoundaries() : 0;
    }
    if (list == 1) return m_pCold ? m_pCold->GetNumberOfBoundaries() : 0;
    return 0;
}

int TargetCurve::GetNumberOfHotProfilePoints() const {
    if (m_nKind != UtilityComposite) return 0;
    for (std::size_t i = m_points.size(); i > 0; --i)
        if (m_points[i - 1].nList == 0) return static_cast<int>(i);
    return 0;
}

bool TargetCurve::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteInt(m_nKind) && file.WriteDouble(m_dCarried[0]) &&
              file.WriteDouble(m_dCarried[1]) && file.WriteInt(m_pHot ? 1 : 0);
    if (ok && m_pHot) ok = m_pHot->Store(file);
    ok = ok && file.WriteInt(m_pCold ? 1 : 0);
    if (ok && m_pCold) ok = m_pCold->Store(file);
    return ok && file.EndRecord(h);
}

bool TargetCurve::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    std::int32_t kind = 0, present = 0;
    double carried[2] = {0.0, 0.0};
    if (!file.ReadInt(kind) || !file.ReadDouble(carried[0]) || !file.ReadDouble(carried[1]) || !file.ReadInt(present))
        return false;
    // A curve's lists take the temperatures its kind gives them: a list stored with another mode
    // (or a kind no curve has) would be read as a curve of nothing.
    if (kind < ShiftedComposite || kind > UtilityComposite || (present != 0 && present != 1)) return false;
    std::unique_ptr<TIList> hot, cold;
    if (present) {
        hot = std::make_unique<TIList>(HotMode(kind));
        if (!hot->Recall(file) || hot->GetMode() != HotMode(kind)) return false;
    }
    if (!file.ReadInt(present) || (present != 0 && present != 1)) return false;
    if (present) {
        cold = std::make_unique<TIList>(ColdMode(kind));
        if (!cold->Recall(file) || cold->GetMode() != ColdMode(kind)) return false;
    }
    if (!file.EndRecord(h)) return false;

    m_nKind = kind;
    m_dCarried[0] = carried[0];
    m_dCarried[1] = carried[1];
    m_pHot = std::move(hot);
    m_pCold = std::move(cold);
    m_bBuilt = false;
    m_points.clear();
    // The merged points of a utility curve follow from the boundaries; their loads are as stored.
    if (m_nKind == UtilityComposite) {
        for (int i = 0; m_pCold && i < m_pCold->GetNumberOfBoundaries(); ++i) m_points.push_back({m_pCold->GetInterval(i), 1});
        for (int i = 0; m_pHot && i < m_pHot->GetNumberOfBoundaries(); ++i) m_points.push_back({m_pHot->GetInterval(i), 0});
        std::stable_sort(m_points.begin(), m_points.end(), [](const PointRef& a, const PointRef& b) {
            return a.pEntry->dTemperature > b.pEntry->dTemperature;
        });
    }
    return true;
}

void DeleteTargetCurve(TargetCurve* curve) { delete curve; }
