// Heat loads and temperatures of a stream. A process stream answers from its named values; a
// utility, whose flow is not given, from its design segments, over which a load set on it is
// spread. Mode 0 is the targeting view (shifted temperatures, all segments), mode 1 the network
// view (actual temperatures, connected segments).
#include "eng/model/HeatIntegrationStream.h"

#include "dunmor/Exceptions.h"
#include "dunmor/Units.h"
#include "eng/model/StreamValueNames.h"
#include "osmeri/CPValue.h"

#include <cmath>
#include <limits>

namespace N = StreamValueNames;

namespace {
constexpr double kEmpty = Units::EmptyValue;
constexpr double kLoadTolerance = 1e-08;
constexpr double kWidenSpan = 0.5;
// A design passes mode 2 when it swaps its own utility load into the stream: that is a load of
// the network, so it is treated as the network view.
int viewOf(int mode) { return mode == 2 ? 1 : mode; }
}  // namespace

double CPIHeatIntegrationStream::GetHeatLoad(int mode) {
    const bool knownMode = mode == 0 || mode == 1;
    // A process stream whose load is in step reads it back from its design segments; without
    // segments (its values are not complete yet) only its enthalpies can answer.
    const bool hasSegments = DesignList() && !DesignList()->empty();
    bool fromSegments = m_nKind == KindUtility || (knownMode && m_bLoadInStep[mode] && hasSegments);
    if (!knownMode && m_nKind != KindUtility) {
        KS_ASSERT_AT(false, "eng/chistream", 793, "!\"IsLoadCalculated failed\"");
        fromSegments = false;
    }

    double sum = 0.0;
    if (fromSegments) {
        // A site stream has no segments of its own: its load is the one typed on the site.
        if (!DesignList() || DesignList()->empty()) return IsSiteUtility() && mode == 0 ? m_dCachedHeatLoad[0] : 0.0;
        sum = SegmentLoadSum(mode);
    } else {
        for (int i = 0;; ++i) {
            double h = kEmpty;
            if (!m_set.GetValue(N::Enthalpy, h, i)) break;
            if (h == kEmpty) {
                sum = 0.0;
                break;
            }
            sum += h;
        }
    }
    sum = sum == kEmpty ? 0.0 : std::fabs(sum);

    if (!knownMode) {
        KS_ASSERT_AT(false, "eng/chistream", 1222, "!\"GetHeatLoad failed\"");
        return 0.0;
    }
    m_bLoadInStep[mode] = 1;
    if (std::fabs(m_dCachedHeatLoad[mode] - sum) > 0.0) SetHeatLoad(sum, mode);
    return m_dCachedHeatLoad[mode];
}

double CPIHeatIntegrationStream::SegmentLoadSum(int mode) const {
    double sum = 0.0;
    for (const auto& s : *DesignList()) {
        if (m_nKind == KindUtility) {
            // A utility carries what it serves as placed, in either view: the targets, the
            // costs and the networks read one load.
            sum += s->dHeatCapacityFlowrate * ServedRange(*s, false);
        } else if (mode == 1) {
            if (s->IsConnected()) sum += s->dLoad;
        } else {
            sum += (s->dInletTemperature - s->dOutletTemperature) * s->dHeatCapacityFlowrate;
        }
    }
    return sum;
}

double CPIHeatIntegrationStream::ServedRange(const StreamSegment& s, bool designOwn) {
    if (s.IsConnected()) return std::fabs(s.dInletTemperature - s.GetFarEndTemperature());
    return designOwn ? std::fabs(s.dInletTemperature - s.dOutletTemperature) : 0.0;
}

double CPIHeatIntegrationStream::GetOwnHeatLoad(int mode) const {
    if (m_nKind != KindUtility || (mode != 0 && mode != 1)) return 0.0;
    if (!DesignList() || DesignList()->empty()) return m_dCachedHeatLoad[mode];
    return std::fabs(SegmentLoadSum(mode));
}

std::int32_t CPIHeatIntegrationStream::StoredLoadFlag(int mode) const {
    if (m_nKind != KindUtility || (mode != 0 && mode != 1)) return m_bLoadInStep[mode == 1 ? 1 : 0];
    if (!DesignList() || DesignList()->empty()) return 0;
    return std::fabs(SegmentLoadSum(mode)) == m_dCachedHeatLoad[mode] ? 1 : 0;
}

void CPIHeatIntegrationStream::SetHeatLoad(double load, int mode) {
    const int view = viewOf(mode);
    if (view == 0 || view == 1) m_dCachedHeatLoad[view] = load;
    if (m_nKind == KindUtility && DesignList()) SpreadUtilityLoad(load, mode == 2);
    if (view == 0 || view == 1) m_bLoadInStep[view] = 1;
}

void CPIHeatIntegrationStream::SpreadUtilityLoad(double load, bool designOwn) {
    StreamSegmentList& segments = *DesignList();
    // One mass flow runs through every segment: each takes specific heat x the range it serves
    // as placed where the segments have specific heats, else the range alone (one heat-capacity
    // flow rate over the stream). A segment the placement left unused serves nothing, unless a
    // design runs its own load through it, which then serves its whole range. Both views spread
    // alike, so that a load set is the load read back, however the utility is cut or placed.
    double total = 0.0;
    for (const auto& s : segments)
        if (s->pLink && s->pLink->dSpecificHeat != kEmpty)
            total += (s->dOutletTemperature - s->dInletTemperature) * s->pLink->dSpecificHeat;
    const bool bySpecificHeat = std::fabs(total) > kLoadTolerance;
    auto weight = [&](const StreamSegment& s) {
        if (!bySpecificHeat) return 1.0;
        return s.pLink && s.pLink->dSpecificHeat != kEmpty ? std::fabs(s.pLink->dSpecificHeat) : 0.0;
    };
    double served = 0.0;
    for (const auto& s : segments) served += weight(*s) * ServedRange(*s, designOwn);

    for (std::size_t i = 0; i < segments.size(); ++i) {
        StreamSegment& s = *segments[i];
        const double range = ServedRange(s, designOwn);
        const double share = served > 0.0 ? weight(s) / served : 0.0;
        s.dHeatCapacityFlowrate = range > 0.0 ? std::fabs(load) * share : 0.0;
        s.dLoad = load * share * range;  // of the sign the load has
        m_set.SetSegmentValue(N::HeatCapacityFlowrate, s.dHeatCapacityFlowrate, static_cast<int>(i),
                              CPValue::Calculated);
    }
    ClearLoadFlags();
}

double CPIHeatIntegrationStream::GetHeatLoadInRange(double from, double to, int mode) const {
    if (!DesignList() || m_nHotCold == SideUndetermined) return 0.0;
    const StreamSegmentList& segments = *DesignList();
    const std::size_t n = segments.size();
    const bool network = viewOf(mode) == 1;
    const bool cold = m_nHotCold == SideCold;
    constexpr double inf = std::numeric_limits<double>::infinity();

    if (n == 1) {
        // One segment reaches as far as asked on both sides.
        const StreamSegment& s = *segments[0];
        double cp = s.dHeatCapacityFlowrate;
        if (network && !s.HasLink()) {
            cp = kEmpty;
            m_set.GetValue(N::HeatCapacityFlowrate, cp, 0);
        }
        if (cp == kEmpty) return 0.0;
        return std::fabs(cp) * (cold ? to - from : from - to);
    }

    double load = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const StreamSegment& s = *segments[i];
        double a, b, cp;
        if (network) {
            if (!s.HasLink()) {
                a = PointValue(static_cast<int>(i));
                b = PointValue(static_cast<int>(i) + 1);
                cp = kEmpty;
                m_set.GetValue(N::HeatCapacityFlowrate, cp, static_cast<int>(i));
            } else {
                a = s.dInletTemperature;
                b = s.pLink->dFarEndTemperature;
                cp = s.dHeatCapacityFlowrate;
            }
        } else {
            a = s.dShiftedInletTemperature;
            cp = s.dHeatCapacityFlowrate;
            b = (s.nKind == KindUtility && s.pLink) ? s.pLink->dShiftedFarEndTemperature : s.dShiftedOutletTemperature;
        }
        // The first segment reaches without end on its start side, the last on its end side.
        if (i == 0) a = cold ? -inf : inf;
        if (i == n - 1) b = cold ? inf : -inf;
        double overlap;
        if (cold) overlap = std::min(b, to) - std::max(a, from);
        else overlap = std::min(a, from) - std::max(b, to);
        if (overlap > 0.0 && cp != kEmpty) load += std::fabs(cp) * overlap;
    }
    return load;
}

double CPIHeatIntegrationStream::GetHeatLoadFromSupply(double temperature) const {
    double supply = kEmpty;
    if (!m_set.GetValue(N::Temperature, supply, 0)) return 0.0;
    return GetHeatLoadInRange(supply, temperature, 1);
}

double CPIHeatIntegrationStream::GetTemperatureAtLoad(double load) const {
    if (m_nKind == KindUtility) return 0.0;
    if (!DesignList() || DesignList()->empty()) return kEmpty;
    const StreamSegmentList& segments = *DesignList();
    const int n = static_cast<int>(segments.size());

    auto segmentLoad = [&](int i) {
        const StreamSegment& s = *segments[static_cast<std::size_t>(i)];
        if (s.HasLink()) return std::fabs((s.dInletTemperature - s.dOutletTemperature) * s.dHeatCapacityFlowrate);
        double h = 0.0;
        m_set.GetValue(N::Enthalpy, h, i);
        return std::fabs(h);
    };
    double sum = 0.0, before = 0.0;
    int k = n - 1;
    for (int i = 0; i < n; ++i) {
        before = sum;
        sum += segmentLoad(i);
        if (sum >= load) {
            k = i;
            break;
        }
    }
    const double L = segmentLoad(k);
    const double ta = PointValue(k), tb = PointValue(k + 1);
    double ratio;
    if (sum != 0.0) ratio = L / sum;
    else if (before != 0.0) ratio = L / before;
    else ratio = L;
    if (ratio > kLoadTolerance) return ta + (tb - ta) * (load - before) / L;
    return ta;
}

double CPIHeatIntegrationStream::GetSegmentHeatCapacityFlowrate(int segment) const {
    if (m_nKind == KindUtility) {
        if (!DesignList() || segment < 0 || static_cast<std::size_t>(segment) >= DesignList()->size())
            return kEmpty;
        const StreamSegment& s = *(*DesignList())[static_cast<std::size_t>(segment)];
        const double d = s.dInletTemperature - s.dOutletTemperature;
        return d == 0.0 ? 0.0 : std::fabs(s.dLoad / d);
    }
    double cp = kEmpty;
    if (!m_set.GetValue(N::HeatCapacityFlowrate, cp, segment)) return kEmpty;
    return cp;
}

double CPIHeatIntegrationStream::GetSegmentValueAtTemperature(double temperature, const CPString& name) const {
    const int n = m_set.GetNumberOfSegments();
    const double ts = GetSupplyTemperature(), tt = GetTargetTemperature();
    auto entry = [&](int i) {
        double v = kEmpty;
        m_set.GetValue(name, v, i);
        return v;
    };
    const bool hot = m_nHotCold == SideHot, cold = m_nHotCold == SideCold;
    if ((hot && temperature >= ts) || (cold && temperature <= ts)) return entry(0);
    if ((hot && temperature <= tt) || (cold && temperature >= tt)) return entry(n - 1);
    for (int i = 1; i <= n; ++i) {
        const double p0 = PointValue(i - 1), p1 = PointValue(i);
        if ((hot && p0 >= temperature && temperature >= p1) || (cold && p0 <= temperature && temperature <= p1))
            return entry(i - 1);
    }
    return 0.0;
}

int CPIHeatIntegrationStream::GetPointIndexAtTemperature(double temperature) const {
    const int n = m_set.GetNumberOfSegments();
    if (!(PointValue(0) <= temperature && temperature <= PointValue(n))) return -1;
    for (int i = n; i >= 0; --i)
        if (PointValue(i) <= temperature) return i;
    return -1;
}

void CPIHeatIntegrationStream::WidenIsothermalStream() {
    if (m_nKind == KindUtility || m_set.GetNumberOfSegments() != 1) return;
    const double supply = GetSupplyTemperature(), target = GetTargetTemperature();
    if (supply == kEmpty || target == kEmpty || !(std::fabs(supply - target) < kWidenSpan)) return;
    const double load = std::fabs(GetHeatLoad(0));
    SetValue(N::HeatCapacityFlowrate, load / kWidenSpan, 0);
    SetValue(N::Temperature, m_nHotCold == SideHot ? supply - kWidenSpan : supply + kWidenSpan, 1);
}

// ---- end tolerance loads and intervals ------------------------------------------------------------

void CPIHeatIntegrationStream::SetLoadFraction(double fraction, int end) {
    if (end == 1 || end == -1)
        SetRareValue(end == 1 ? &Rare::loadFraction0 : &Rare::loadFraction1, fraction, DefaultLoadFraction);
    UpdateEndToleranceLoad(end);
    Notify(16, CPString(), nullptr);
}

double CPIHeatIntegrationStream::GetLoadFraction(int end) const {
    if (end == 1) return LoadFractionAt(0);
    if (end == -1) return LoadFractionAt(1);
    return 0.0;
}

StreamSegment* CPIHeatIntegrationStream::EndSegment() const {
    if (!DesignList() || DesignList()->empty()) return nullptr;
    const StreamSegmentList& segments = *DesignList();
    if (m_nKind == KindUtility)
        for (auto it = segments.rbegin(); it != segments.rend(); ++it)
            if ((*it)->IsConnected()) return it->get();
    return segments.back().get();
}

void CPIHeatIntegrationStream::UpdateEndToleranceLoad(int end) {
    StreamSegment* endSegment = EndSegment();
    if (!endSegment || (end != 1 && end != -1)) return;
    StreamSegment& s = *endSegment;
    const double first = DesignList()->front()->dInletTemperature;
    const double last = m_nKind == KindUtility ? s.GetFarEndTemperature() : s.dOutletTemperature;
    const double fraction = LoadFractionAt(end == 1 ? 0 : 1);
    s.dEndToleranceLoad[end == 1 ? 0 : 1] = std::fabs((first - last) * s.dHeatCapacityFlowrate * fraction);
}

bool CPIHeatIntegrationStream::IsInInterval(double upper, double lower) const {
    const StreamSegment* endSegment = EndSegment();
    if (!endSegment) return false;
    const double ts = DesignList()->front()->dInletTemperature;
    const double te = m_nKind == KindUtility ? endSegment->GetFarEndTemperature() : endSegment->dOutletTemperature;
    if (m_nHotCold == SideHot) return te < upper && lower < ts;
    if (m_nHotCold == SideCold) return ts < upper && lower < te;
    return false;
}

void CPIHeatIntegrationStream::SetTemporaryDTmin(double dTmin) {
    SetUpdating(1);
    ValueAndFlag contribution;
    contribution.dValue = dTmin;
    contribution.nFlag = ValueAndFlag::ScopeGlobal;
    if (DesignList())
        for (auto& s : *DesignList()) {
            s->TakeDTminContribution(contribution);
            s->ShiftTemperatures(dTmin);
        }
    SetUpdating(0);
}

void CPIHeatIntegrationStream::RestoreDTminContribution() {
    SetUpdating(1);
    const ValueAndFlag& own = m_set.GetDTminContribution();
    if (DesignList())
        for (auto& s : *DesignList()) {
            s->TakeDTminContribution(own);
            s->ShiftTemperatures(own.dValue);
        }
    SetUpdating(0);
}
