// The search of the capital/utility trade-off: how much load one utility can take over from
// another, the golden-section search over that range, and the cost of one distribution.
#include "eng/targeting/CapitalUtilityTradeoff.h"

#include "dunmor/Exceptions.h"
#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/targeting/AutomaticUtilityPlacement.h"
#include "eng/targeting/CostFunctions.h"
#include "eng/targeting/CurveInterpolation.h"
#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/UnitsTarget.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"

#include <algorithm>
#include <cmath>

namespace {

// The utility a step moves load from is passed over while it carries no more than this share of
// the side's target.
constexpr double kNearlyEmptyShare = 0.01;
// The shiftable load stops just short of the point where the curves touch.
constexpr double kShiftShare = 0.99999999;
// The method the units record keeps (its regions are the shifted ones whatever the method).
constexpr int kTradeoffAssignment = 2;
constexpr int kMaxSearchSteps = 200;
// The share of the loads to which the largest move that keeps the approach is found.
constexpr double kShiftPrecision = 1e-9;

double LoadAt(const TIList* list, double temperature) {
    if (!list) return -1.0;
    const std::vector<CurvePoint> curve = CurveOfIntervals(*list);
    return InterpolateOnCurve(curve, temperature);
}

}  // namespace

namespace TradeoffSteps {

SearchResult GoldenSectionSearch(const std::function<double(double)>& cost) {
    SearchResult r;
    auto eval = [&](double t) {
        ++r.evaluations;
        return cost(t);
    };
    const double atZero = eval(0.0);
    double a = 0.0, b = 1.0;
    double x1 = GoldenLow, x2 = GoldenHigh;
    double f1 = eval(x1);
    // Any move at all costs far more than none: nothing to search.
    // The start is evaluated again so that the costs held are its own.
    if (atZero > 0.0 && f1 > 0.0 && atZero < ClearMinimumShare * f1) {
        r.t = 0.0;
        r.value = eval(0.0);
        return r;
    }
    double f2 = eval(x2);
    for (int step = 0; b - a > BracketWidth && step < kMaxSearchSteps; ++step) {
        if (f1 < f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = a + GoldenLow * (b - a);
            f1 = eval(x1);
        } else if (f2 < f1) {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + GoldenHigh * (b - a);
            f2 = eval(x2);
        } else {
            // Equal values (or values that cannot be compared): the minimum lies between them.
            a = x1;
            b = x2;
            x1 = a + GoldenLow * (b - a);
            x2 = a + GoldenHigh * (b - a);
            f1 = eval(x1);
            f2 = eval(x2);
        }
    }
    // The bracket never reaches its ends: a cost that keeps falling to the end of the range (the
    // last unit and shell of the utility being emptied go only when it is empty) would leave a
    // sliver of load behind. The midpoint is weighed against both ends; one dearer than the start
    // is not taken. The point chosen is evaluated last, so the costs held are its own.
    const double atOne = eval(1.0);
    const double mid = 0.5 * (a + b);
    const double atMid = eval(mid);
    r.t = mid;
    r.value = atMid;
    if (atOne < r.value) r.t = 1.0, r.value = atOne;
    if (atZero < r.value) r.t = 0.0, r.value = atZero;
    if (r.t != mid) eval(r.t);
    return r;
}

}  // namespace TradeoffSteps

std::pair<double, int> MUCapitalUtilityTradeoff::OptimiseShare(int k, int side, const std::vector<double>& loads) {
    const std::vector<IHeatIntegrationStream*>& utilities = UtilitiesOf(side);
    const double target = TargetOf(side);
    // The load comes from the nearest utility before k that still carries some, unless a
    // dearer one stands in the way.
    int j = k - 1;
    while (j > 0 && target != 0.0 && utilities[j]->GetHeatLoad(0) <= kNearlyEmptyShare * target) {
        if (utilities[j - 1]->GetCostIndex() > utilities[j]->GetCostIndex()) break;
        --j;
    }
    IHeatIntegrationStream& from = *utilities[j];
    IHeatIntegrationStream& to = *utilities[k];
    const double range = MaxShiftableLoad(k, j, side, loads);

    const TradeoffSteps::SearchResult best =
        TradeoffSteps::GoldenSectionSearch([&](double t) { return EvaluatePoint(to, from, t * range); });
    double left = std::max(0.0, from.GetHeatLoad(0) + to.GetHeatLoad(0) - best.t * range);
    // What rounding leaves on an emptied utility is no load: it would count as one more unit.
    if (left <= Tolerance) left = 0.0;
    m_dTotalAnnualCost = best.value;
    return {left, j};
}

double MUCapitalUtilityTradeoff::MaxShiftableLoad(int k, int j, int side, const std::vector<double>& loads) {
    const std::vector<IHeatIntegrationStream*>& utilities = UtilitiesOf(side);
    double placed = 0.0;
    for (int i = 0; i < k && static_cast<std::size_t>(i) < loads.size(); ++i)
        if (i != j) placed += loads[static_cast<std::size_t>(i)];
    const double temperature = TradeoffSteps::UtilityLevel(*utilities[k]);

    // The balanced curves with the loads as they stand: at utility k's temperature, what the cold
    // curve takes below it less what the hot curve gives there is what a utility standing there
    // can carry.
    UserSuppliedUtilityLoad curves(m_streams, m_segments);
    curves.SetTargets(m_dHotTarget, m_dColdTarget);
    curves.Prepare();
    if (m_dDTmin > 0.0) curves.SetApproach(m_dDTmin);
    curves.BuildCurves();
    double hotLoad = -1.0, coldLoad = -1.0;
    const TargetCurve* balanced = curves.GetBalancedCurves();
    if (!balanced || !balanced->GetHotList() || !balanced->GetColdList()) {
        KS_ASSERT_AT(false, "eng/usersuppliedutilityload", __LINE__, "myCompositeCurves");
    } else {
        hotLoad = LoadAt(balanced->GetHotList(), temperature);
        coldLoad = LoadAt(balanced->GetColdList(), temperature);
    }
    // A utility that can carry nothing there gets no range (a negative one would hand out
    // negative loads). Only a limit the curves set stops short of it: where the curves let the
    // whole of what is left move (up to the rounding of the curves' loads), it moves whole and
    // the curves decide below whether it keeps the approach; otherwise a trace of the utility
    // emptied stays behind as a unit of its own.
    const double room = coldLoad - hotLoad, left = TargetOf(side) - placed;
    const bool whole = room >= left - kShiftPrecision * std::max(1.0, left);
    double shift = std::max(0.0, whole ? left : room * kShiftShare);

    IHeatIntegrationStream& from = *utilities[j];
    IHeatIntegrationStream& to = *utilities[k];
    from.SetHeatLoad(from.GetHeatLoad(0) - shift, 0);
    to.SetHeatLoad(shift, 0);
    to.SetHeatLoad(shift, 1);

    // Where the curves now cross, the crossing is taken off again: the deepest crossing point,
    // by the load between it and the cold curve at its hot temperature.
    curves.Refresh(m_streams, m_segments);
    if (!curves.BuildCurves() && (balanced = curves.GetBalancedCurves()) != nullptr) {
        const std::vector<BathInterval> points =
            MergeCurvePoints(balanced->GetHotList(), balanced->GetColdList(), false);
        std::vector<const BathInterval*> touching;
        for (const BathInterval& p : points)
            if (p.dDifference <= 0.0) touching.push_back(&p);
        const BathInterval* crossing = touching.size() == 1 ? touching.front() : nullptr;
        if (touching.size() > 1)
            for (const BathInterval* p : touching)
                if (p->dDifference < 0.0 && (!crossing || p->dDifference < crossing->dDifference)) crossing = p;
        if (crossing) {
            shift -= crossing->dEnthalpy - LoadAt(balanced->GetColdList(), crossing->dHotTemperature);
            shift = std::max(0.0, shift);
        }
    }
    return LargestFeasibleShift(from, to, shift);
}

bool MUCapitalUtilityTradeoff::LoadsKeepApproach() {
    if (!m_pAreaTarget) return false;
    if (m_pCurve) m_pCurve->Build(0.0, 0.0, m_segments);
    else m_pCurve = std::make_unique<TargetCurve>(TargetCurve::Balanced, 0.0, 0.0, m_segments);
    // Read on the shifted curves: streams that ask for a smaller approach may meet closer than the DTmin.
    return ShiftedGapKeepsApproach(ShiftedCurvesGap(m_segments), m_dWorkingDTmin);
}

double MUCapitalUtilityTradeoff::LargestFeasibleShift(IHeatIntegrationStream& from, IHeatIntegrationStream& to,
                                                      double estimate) {
    // The estimate reads the curves at the level of one utility and at one crossing; it can
    // hand a colder level load that only the hotter one reaches. What decides is whether the
    // curves keep the approach with the load moved. The loads that do form one range from no
    // move on (the heat each temperature passes down falls in step with the load moved to a
    // colder level), so a move that breaks the approach is bisected back to the largest that
    // keeps it.
    const double sum = from.GetHeatLoad(0) + to.GetHeatLoad(0);
    auto moveTo = [&](double x) {
        from.SetHeatLoad(sum - x, 0);
        to.SetHeatLoad(x, 0);
    };
    moveTo(estimate);
    if (estimate <= 0.0 || LoadsKeepApproach()) return estimate;
    double low = 0.0, high = estimate;
    const double precision = std::max(Tolerance, kShiftPrecision * std::max(sum, estimate));
    for (int step = 0; step < kMaxSearchSteps && high - low > precision; ++step) {
        const double middle = 0.5 * (low + high);
        moveTo(middle);
        (LoadsKeepApproach() ? low : high) = middle;
    }
    moveTo(low);
    return low;
}

double MUCapitalUtilityTradeoff::EvaluatePoint(IHeatIntegrationStream& a, IHeatIntegrationStream& b, double x) {
    // The pair keeps its sum: what A does not carry stays with B.
    b.SetHeatLoad(b.GetHeatLoad(0) + a.GetHeatLoad(0) - x, 0);
    a.SetHeatLoad(x, 0);
    return EvaluateCurrentLoads();
}

std::vector<PinchListEntry> MUCapitalUtilityTradeoff::PinchesOfLoads() const {
    UtilityPlacementLP cascade;
    cascade.CascadeOfLoads(m_segments, m_pEnergyTarget.get());
    std::vector<PinchListEntry> pinches;
    for (const PinchRecord& p : cascade.FindPinchPoints(m_dWorkingDTmin))
        pinches.push_back({p.dHotTemperature, p.dColdTemperature, 0.0});
    return pinches;
}

double MUCapitalUtilityTradeoff::EvaluateCurrentLoads() {
    ++m_nEvaluations;
    // The loads are costed as the scenario costs them once they are placed: the pinch points of
    // the cascade with the utilities as loaded divide the shells and the units.
    m_pinches = PinchesOfLoads();
    if (m_pAreaTarget) m_pAreaTarget->Reset(m_dWorkingDTmin, m_dMinimumFFactor, m_pinches);
    else m_pAreaTarget = std::make_unique<BathAreaTarget>(m_dWorkingDTmin, m_dMinimumFFactor, m_pinches);
    if (m_pCurve) m_pCurve->Build(0.0, 0.0, m_segments);
    else m_pCurve = std::make_unique<TargetCurve>(TargetCurve::Balanced, 0.0, 0.0, m_segments);
    m_pAreaTarget->Calculate(m_pCurve.get(), m_segments);

    UnitsTargetData::StreamRefs streams;
    for (IHeatIntegrationStream* s : m_streams)
        if (auto* own = dynamic_cast<IHeatIntegrationStreamForTargeting*>(s)) streams.push_back(own);
    std::vector<UnitsPinch> pinches;
    for (const PinchListEntry& p : m_pinches) pinches.push_back({p.dHotTemperature, p.dColdTemperature});
    if (!m_pUnitsTarget) m_pUnitsTarget = std::make_unique<UnitsTargetData>();
    m_pUnitsTarget->Update(std::move(streams), std::move(pinches), kTradeoffAssignment);

    // The capital law of the scenario's cost targets, so that the split kept costs what the
    // scenario then reports for it.
    if (HasEconomics())
        m_dCapitalCost = m_bCountercurrentCapital ? CapitalCost11Uniform().Evaluate(*this)
                                                  : CapitalCost12Uniform().Evaluate(*this);
    m_dOperatingCost = OperatingCost().Evaluate(*this);
    if (HasEconomics()) m_dTotalAnnualCost = TotalAnnualCost().Evaluate(*this);
    return m_dTotalAnnualCost;
}
