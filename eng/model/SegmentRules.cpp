// The rules that fill in the values of a stream's segments from one another, in their fixed
// order, and what is built from a complete set: the design segments.
#include "eng/model/StreamPropertySet.h"

#include "dunmor/Exceptions.h"
#include "dunmor/Units.h"
#include "eng/model/FilmCoefficient.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/StreamValueNames.h"
#include "osmeri/CPValue.h"

#include <algorithm>
#include <cmath>

namespace N = StreamValueNames;

namespace {
constexpr double kEmpty = Units::EmptyValue;

using Entry = StreamPropertySet::Entry;

// "Set" means specified or calculated; a set entry is never empty.
bool isSet(const Entry* e) { return e && e->status != CPValue::Unset && !e->IsEmpty(); }
// An entry a rule may fill: it exists and nobody gave it a value.
bool isOpen(const Entry* e) { return e && e->status == CPValue::Unset; }
void fill(Entry* e, double v) { e->SetValue(v, CPValue::Calculated); }
// Entry i of a value's entries, or null.
template <class Entries>
Entry* at(const Entries& entries, int i) {
    return entries.at(i);
}
template <class Entries>
bool anyEmpty(const Entries& entries) {
    for (int i = 0; i < entries.size; ++i)
        if (entries.data[i].IsEmpty()) return true;
    return false;
}

int ownerKind(const CPIHeatIntegrationStream* owner) {
    return owner ? owner->GetStreamKind() : CPIHeatIntegrationStream::KindNotSet;
}

// Upper bound on rule passes: every pass that goes on fills at least one entry, so the number of
// entries bounds the passes; this only guards against a rule that claims progress it did not make.
constexpr int kMaxPasses = 4 * (StreamPropertySet::MaxSegments + 1) * 16;
}  // namespace

// ---- recalculation ----------------------------------------------------------------------------

int StreamPropertySet::Recalculate(const std::vector<CPString>* keep) {
    if (!m_pOwner) return 0;

    for (std::size_t k = 0; k < SlotCount(); ++k) {
        const Slot slot = SlotAt(k);
        if (keep && std::find(keep->begin(), keep->end(), NameOf(slot.name)) != keep->end()) continue;
        Entry* entries = m_entries.data() + slot.first;
        for (std::uint32_t i = 0; i < slot.count; ++i)
            if (entries[i].status == CPValue::Calculated) entries[i].SetValue(kEmpty, CPValue::Unset);
    }

    using Rule = int (StreamPropertySet::*)();
    static constexpr Rule rules[] = {
        &StreamPropertySet::HeatCapacityFromSpecificHeat,   &StreamPropertySet::MassFlowFromHeatCapacity,
        &StreamPropertySet::SpecificHeatFromHeatCapacity,   &StreamPropertySet::EnthalpyFromHeatCapacity,
        &StreamPropertySet::HeatCapacityFromEnthalpy,       &StreamPropertySet::InletPointFromOutlet,
        &StreamPropertySet::OutletPointFromInlet,           &StreamPropertySet::CleanCoefficientFromCorrelation,
        &StreamPropertySet::CleanCoefficientFromCoefficientInUse, &StreamPropertySet::CoefficientInUseFromClean,
    };
    bool conflict = false;
    for (int pass = 0;; ++pass) {
        if (pass >= kMaxPasses) {
            KS_ASSERT(!"segment rules do not settle");
            conflict = true;
            break;
        }
        int result = 0;
        for (Rule rule : rules) {
            result = (this->*rule)();
            if (result != 0) break;
        }
        if (result == 1) continue;
        conflict = result == -1;
        break;
    }

    const int sidesAgree = DetermineHotCold();
    RecomputeCompleteness();
    return (conflict || !sidesAgree) ? 0 : 1;
}

int StreamPropertySet::DetermineHotCold() {
    const Entries points = EntriesOf(Temperature);
    const Entry* p0 = points.at(0);
    const Entry* p1 = points.at(1);
    if (!isSet(p0) || !isSet(p1)) return 1;
    const double t0 = p0->GetValue(), t1 = p1->GetValue();
    const int side = CurrentSide();
    int determined;
    if (std::fabs(t0 - t1) <= PointMargin) determined = CPIHeatIntegrationStream::SideUndetermined;
    else if (t0 > t1) {
        if (side == CPIHeatIntegrationStream::SideCold) return 0;
        determined = CPIHeatIntegrationStream::SideHot;
    } else {
        if (side == CPIHeatIntegrationStream::SideHot) return 0;
        determined = CPIHeatIntegrationStream::SideCold;
    }
    if (m_nBatchSide >= 0) m_nBatchSide = determined;
    else m_pOwner->SetHotColdFromValues(determined);
    return 1;
}

void StreamPropertySet::RecomputeCompleteness() {
    m_bTemperaturesComplete = anyEmpty(EntriesOf(Temperature)) ? 0 : 1;
    m_bEnthalpiesComplete = anyEmpty(EntriesOf(Enthalpy)) ? 0 : 1;
    // A utility's specific heats share its load among its segments: every segment has one, or none
    // has and the stream runs at one heat-capacity flow rate over its whole range (as a stream of
    // one segment always does). Some given and some not leaves the shares open.
    const Entries specificHeats = EntriesOf(SpecificHeat);
    bool noneGiven = true;
    for (int i = 0; specificHeats && i < specificHeats.size; ++i) noneGiven = noneGiven && specificHeats.data[i].IsEmpty();
    m_bSpecificHeatsComplete = (!anyEmpty(specificHeats) || noneGiven) ? 1 : 0;
}

bool StreamPropertySet::IsComplete() const {
    if (!m_bTemperaturesComplete) return false;
    const bool utility = ownerKind(m_pOwner) == CPIHeatIntegrationStream::KindUtility;
    return utility ? m_bSpecificHeatsComplete != 0 : m_bEnthalpiesComplete != 0;
}

int StreamPropertySet::HasTransportProperties() {
    const KnownValue names[] = {ThermalConductivity, Viscosity, MassDensity, SpecificHeat};
    m_bTransportProperties = 1;
    for (KnownValue name : names) {
        const int slot = FindSlot(name);
        if (slot < 0 || anyEmpty(EntriesOf(slot))) m_bTransportProperties = 0;
    }
    return m_bTransportProperties;
}

int StreamPropertySet::FillDefaultCoefficients() {
    if (m_bFillingDefaults) return 1;
    m_bFillingDefaults = true;
    bool filled = false;
    const std::pair<KnownValue, double> defaults[] = {{CHTCoeff, DefaultCleanCoefficient},
                                                      {FoulingFactor, DefaultFoulingFactor}};
    for (const auto& [value, number] : defaults) {
        // Each store recalculates, which may fill later entries: look at every entry afresh.
        for (int i = 0;; ++i) {
            const Entry* e = EntriesOf(value).at(i);
            if (!e) break;
            if (!e->IsEmpty()) continue;
            SetSegmentValue(NameOf(value), number, i, CPValue::Specified);
            filled = true;
        }
    }
    m_bFillingDefaults = false;
    return filled ? 0 : 1;
}

// ---- the rules ----------------------------------------------------------------------------------

// (a) heat-capacity flow rate = specific heat x mass flow.
int StreamPropertySet::HeatCapacityFromSpecificHeat() {
    Entry* massFlow = MutableEntry(MassFlow, 0);
    if (!isSet(massFlow)) return 0;
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries sh = EntriesOf(SpecificHeat);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (isOpen(at(cp, i)) && isSet(at(sh, i))) {
            fill(at(cp, i), at(sh, i)->GetValue() * massFlow->GetValue());
            result = 1;
        }
    }
    return result;
}

// (b) mass flow = heat-capacity flow rate / specific heat, from the first segment that has both.
int StreamPropertySet::MassFlowFromHeatCapacity() {
    Entry* massFlow = MutableEntry(MassFlow, 0);
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries sh = EntriesOf(SpecificHeat);
    for (int i = 0; i < m_nSegments; ++i) {
        if (!isOpen(massFlow)) return 0;
        if (!isSet(at(sh, i)) || !isSet(at(cp, i))) continue;
        const double s = at(sh, i)->GetValue();
        if (s == 0.0) continue;
        fill(massFlow, at(cp, i)->GetValue() / s);
        return 1;
    }
    return 0;
}

// (c) specific heat = heat-capacity flow rate / mass flow.
int StreamPropertySet::SpecificHeatFromHeatCapacity() {
    Entry* massFlow = MutableEntry(MassFlow, 0);
    if (!isSet(massFlow) || massFlow->GetValue() == 0.0) return 0;
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries sh = EntriesOf(SpecificHeat);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (isOpen(at(sh, i)) && isSet(at(cp, i))) {
            fill(at(sh, i), at(cp, i)->GetValue() / massFlow->GetValue());
            result = 1;
        }
    }
    return result;
}

// (d) enthalpy = heat-capacity flow rate x (point i - point i+1): positive for a hot segment.
int StreamPropertySet::EnthalpyFromHeatCapacity() {
    const Entries h = EntriesOf(Enthalpy);
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries t = EntriesOf(Temperature);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (isOpen(at(h, i)) && isSet(at(cp, i)) && isSet(at(t, i)) && isSet(at(t, i + 1))) {
            fill(at(h, i), at(cp, i)->GetValue() * (at(t, i)->GetValue() - at(t, i + 1)->GetValue()));
            result = 1;
        }
    }
    return result;
}

// (e) heat-capacity flow rate = |enthalpy / (point i - point i+1)|; equal points cannot carry a load.
int StreamPropertySet::HeatCapacityFromEnthalpy() {
    const Entries h = EntriesOf(Enthalpy);
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries t = EntriesOf(Temperature);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (isOpen(at(cp, i)) && isSet(at(h, i)) && isSet(at(t, i)) && isSet(at(t, i + 1))) {
            const double d = at(t, i)->GetValue() - at(t, i + 1)->GetValue();
            if (d == 0.0) return -1;
            fill(at(cp, i), std::fabs(at(h, i)->GetValue() / d));
            result = 1;
        }
    }
    return result;
}

// (f) point i = point i+1 + enthalpy / heat-capacity flow rate.
int StreamPropertySet::InletPointFromOutlet() {
    const Entries h = EntriesOf(Enthalpy);
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries t = EntriesOf(Temperature);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (isOpen(at(t, i)) && isSet(at(h, i)) && isSet(at(cp, i)) && isSet(at(t, i + 1))) {
            const double flow = at(cp, i)->GetValue();
            if (flow == 0.0) return -1;
            const double point = at(t, i + 1)->GetValue() + at(h, i)->GetValue() / flow;
            if (!IsPointInOrder(i, point)) return -1;
            fill(at(t, i), point);
            result = 1;
        }
    }
    return result;
}

// (g) point i+1 = point i - enthalpy / heat-capacity flow rate.
int StreamPropertySet::OutletPointFromInlet() {
    const Entries h = EntriesOf(Enthalpy);
    const Entries cp = EntriesOf(HeatCapacityFlowrate);
    const Entries t = EntriesOf(Temperature);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (isOpen(at(t, i + 1)) && isSet(at(h, i)) && isSet(at(cp, i)) && isSet(at(t, i))) {
            const double flow = at(cp, i)->GetValue();
            if (flow == 0.0) continue;
            const double point = at(t, i)->GetValue() - at(h, i)->GetValue() / flow;
            if (!IsPointInOrder(i + 1, point)) return -1;
            fill(at(t, i + 1), point);
            result = 1;
        }
    }
    return result;
}

// (h) clean coefficient from the film correlation. The stream's side must be known; the result
// is that of the last segment that had every input.
int StreamPropertySet::CleanCoefficientFromCorrelation() {
    const int side = CurrentSide();
    if (side == CPIHeatIntegrationStream::SideUndetermined || m_nSegments == 0) return 0;
    Entry* velocity = MutableEntry(Velocity, 0);
    Entry* diameter = MutableEntry(Diameter, 0);
    if (!isSet(velocity) || !isSet(diameter)) return 0;
    const Entries clean = EntriesOf(CHTCoeff);
    const Entries rho = EntriesOf(MassDensity);
    const Entries k = EntriesOf(ThermalConductivity);
    const Entries mu = EntriesOf(Viscosity);
    const Entries sh = EntriesOf(SpecificHeat);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (!isOpen(at(clean, i)) || !isSet(at(rho, i)) || !isSet(at(k, i)) || !isSet(at(mu, i)) || !isSet(at(sh, i)))
            continue;
        FilmProperties p;
        p.velocity = velocity->GetValue();
        p.diameter = diameter->GetValue();
        p.density = at(rho, i)->GetValue();
        p.viscosity = at(mu, i)->GetValue();
        p.conductivity = at(k, i)->GetValue();
        p.specificHeat = at(sh, i)->GetValue();
        double coefficient = 0.0;
        result = FilmCoefficient::Clean(p, side, coefficient);
        if (result == 1) fill(at(clean, i), coefficient);
    }
    return result;
}

// (i) clean coefficient = coefficient in use / (1 - coefficient in use x fouling). A fouling
// resistance at or above the whole resistance of the coefficient in use leaves no clean
// coefficient: that is a conflict, not a division by zero or a negative coefficient.
int StreamPropertySet::CleanCoefficientFromCoefficientInUse() {
    const Entries clean = EntriesOf(CHTCoeff);
    const Entries inUse = EntriesOf(HTCoeff);
    const Entries fouling = EntriesOf(FoulingFactor);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (!isOpen(at(clean, i)) || !isSet(at(inUse, i)) || !isSet(at(fouling, i))) continue;
        const double h = at(inUse, i)->GetValue();
        if (h == 0.0) continue;
        const double denominator = 1.0 - h * at(fouling, i)->GetValue();
        if (!(denominator > 0.0)) return -1;
        fill(at(clean, i), h / denominator);
        result = 1;
    }
    return result;
}

// (j) coefficient in use = clean / (fouling x clean + 1).
int StreamPropertySet::CoefficientInUseFromClean() {
    const Entries clean = EntriesOf(CHTCoeff);
    const Entries inUse = EntriesOf(HTCoeff);
    const Entries fouling = EntriesOf(FoulingFactor);
    int result = 0;
    for (int i = 0; i < m_nSegments; ++i) {
        if (!isOpen(at(inUse, i)) || !isSet(at(clean, i)) || !isSet(at(fouling, i))) continue;
        const double c = at(clean, i)->GetValue();
        if (c == 0.0) continue;
        const double denominator = at(fouling, i)->GetValue() * c + 1.0;
        if (!(denominator > 0.0)) return -1;
        fill(at(inUse, i), c / denominator);
        result = 1;
    }
    return result;
}

// ---- design segments --------------------------------------------------------------------------

std::unique_ptr<StreamSegmentList> StreamPropertySet::BuildDesignSegments() {
    auto list = std::make_unique<StreamSegmentList>();
    list->reserve(static_cast<std::size_t>(m_nSegments));
    const int kind = ownerKind(m_pOwner);
    const bool utility = kind == CPIHeatIntegrationStream::KindUtility;
    const Entries points = EntriesOf(Temperature);
    const Entries loads = EntriesOf(Enthalpy);
    const Entries films = EntriesOf(HTCoeff);
    const Entries specificHeats = EntriesOf(SpecificHeat);
    const bool hasTemperature = FindSlot(Temperature) >= 0;
    const bool hasEnthalpy = FindSlot(Enthalpy) >= 0;
    // As GetValue reads an entry: a missing one reads empty.
    auto read = [](const Entries& entries, int i, double& out) {
        const Entry* e = entries.at(i);
        out = e ? e->GetValue() : kEmpty;
        return e != nullptr;
    };
    double firstPoint = kEmpty;
    if (hasTemperature) read(points, 0, firstPoint);

    for (int i = 0; i < m_nSegments; ++i) {
        if (!hasTemperature || (!hasEnthalpy && !utility)) continue;
        auto segment = std::make_unique<StreamSegment>();
        StreamSegment& s = *segment;
        if (m_bTemperaturesComplete) {
            read(points, i, s.dInletTemperature);
            read(points, i + 1, s.dOutletTemperature);
            s.dShiftedInletTemperature = s.dInletTemperature;
            s.dShiftedOutletTemperature = s.dOutletTemperature;
        }
        if (m_bEnthalpiesComplete && hasEnthalpy) read(loads, i, s.dLoad);
        // A utility counts as complete without a load: an empty entry is no load placed yet (the
        // empty marker read as a load would be a utility of 32767 kW).
        if (utility && s.dLoad == kEmpty) s.dLoad = 0.0;
        double film = kEmpty;
        if (read(films, i, film)) s.dFilmCoefficient = film;
        s.DTminContribution = m_DTminContribution;

        // A segment never spans less than the margin: a load needs a temperature difference.
        const double d = s.dInletTemperature - s.dOutletTemperature;
        double outlet = s.dOutletTemperature;
        if (std::fabs(d) < PointMargin && d > 0.0) outlet = s.dInletTemperature - PointMargin;
        else if ((std::fabs(d) < PointMargin && d < 0.0) || (d == 0.0 && s.dLoad < 0.0))
            outlet = s.dInletTemperature + PointMargin;
        else if (d == 0.0 && s.dLoad > 0.0)
            outlet = s.dInletTemperature - PointMargin;
        if (outlet != s.dOutletTemperature) s.dOutletTemperature = s.dShiftedOutletTemperature = outlet;
        const double span = s.dInletTemperature - s.dOutletTemperature;
        s.dHeatCapacityFlowrate = span == 0.0 ? 0.0 : std::fabs(s.dLoad / span);

        if (std::fabs(span) <= PointMargin) s.nHotCold = CPIHeatIntegrationStream::SideUndetermined;
        else s.nHotCold = span > 0.0 ? CPIHeatIntegrationStream::SideHot : CPIHeatIntegrationStream::SideCold;
        s.pStream = m_pOwner;

        s.nKind = kind;
        if (kind == CPIHeatIntegrationStream::KindUtility || kind == 3) {
            auto link = std::make_unique<StreamSegmentLink>();
            link->dFarEndTemperature = s.dOutletTemperature;
            link->nConnected = 1;
            link->dSpecificHeat = 0.0;
            if (m_bSpecificHeatsComplete) {
                double sh = 0.0;
                if (read(specificHeats, i, sh)) link->dSpecificHeat = sh;
            }
            const double kelvin = firstPoint + Units::KelvinOffset;
            if (s.nHotCold == CPIHeatIntegrationStream::SideHot) link->dUtilityFactor = kelvin * 0.005;
            else if (s.nHotCold == CPIHeatIntegrationStream::SideCold && kelvin != 0.0) link->dUtilityFactor = 200.0 / kelvin;
            s.pLink = std::move(link);
        }
        if (m_pOwner) m_pOwner->SetHotColdFromValues(s.nHotCold);
        list->push_back(std::move(segment));
    }
    m_bSegmentTableBuilt = 1;
    return list;
}
