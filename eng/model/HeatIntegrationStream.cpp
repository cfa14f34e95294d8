// The stream's values, segments, kind and side, and its share of the minimum approach
// temperature.
#include "eng/model/HeatIntegrationStream.h"

#include "dunmor/Units.h"
#include "eng/model/CaseSegmentDomain.h"
#include "eng/model/IStreamOwner.h"
#include "eng/model/StreamValueNames.h"
#include "osmeri/CPValue.h"

#include <cstring>

namespace N = StreamValueNames;

CPIHeatIntegrationStream::CPIHeatIntegrationStream(IStreamOwner* owner, const CPString& name, double cleanCoefficient)
    : m_strName(name), m_pOwner(owner), m_set(nullptr) {
    m_set.SetOwner(this);
    // Nobody listens to a stream yet while it is made: the defaults go in at once, with the
    // values that storing them one by one gives.
    if (m_set.TakeNewStreamDefaults(1.0, 0.0254, 10.0, 0.0, cleanCoefficient)) return;
    SetValue(N::Velocity, 1.0, 0);
    SetValue(N::Diameter, 0.0254, 0);
    SetValue(N::MaxSplitBranches, 10.0, 0);
    SetValue(N::PricePerMass, 0.0, 0);
    if (cleanCoefficient != Units::EmptyValue) SetValue(N::CHTCoeff, cleanCoefficient, 0);
}

std::unique_ptr<IHeatIntegrationStreamForTargeting> CreateHeatIntegrationStream(IStreamOwner* owner,
                                                                               const CPString& name) {
    return std::make_unique<CPIHeatIntegrationStream>(owner, name);
}

CPIHeatIntegrationStream::~CPIHeatIntegrationStream() {
    m_designSegments.clear();
    m_bHasDesignSegments = false;
    // No stream may keep a pointer to this one once it is gone.
    ForgetLinkedStreams();
}

int CPIHeatIntegrationStream::GetValue(const CPString& name, double& out, int index) const {
    return m_set.GetValue(name, out, index);
}

bool CPIHeatIntegrationStream::WouldHold(const CPString& name, double value, int index) const {
    return WouldHoldAll(TrialValues{{name, value}}, index);
}

bool CPIHeatIntegrationStream::WouldHoldAll(const TrialValues& values, int index) const {
    // A trial copy of the values takes them by the rules a write runs (a mass flow carries the rate
    // of each segment whose specific heat was given); the stream's side is read from this one.
    StreamPropertySet trial(const_cast<CPIHeatIntegrationStream*>(this));
    trial.CopyFrom(m_set);
    for (const auto& [name, value] : values) {
        if (!trial.HasValue(name) && !trial.CreateValue(name, StreamPropertySet::IsSegmentableName(name))) return false;
        if (!StreamPropertySet::IsStored(trial.SetSegmentValue(name, value, index, CPValue::Specified))) return false;
    }
    const auto read = [&trial](const char* what, int i) {
        double v = Units::EmptyValue;
        return trial.GetValue(what, v, i) == 1 ? v : Units::EmptyValue;
    };
    for (int i = 0; i < trial.GetNumberOfSegments(); ++i)
        if (!CaseValueLimits::SegmentHolds(read, i, m_nKind == KindUtility)) return false;
    return true;
}

namespace {
// The names whose change alters the stream's segments (its owner re-takes them and recalculates
// every target; "Temperature" and "MassFlow" also change how the designs operate), and those that
// alter only its film coefficients (areas and costs).
// The names are compared a few dozen times a stream as a table is entered: most differ in their
// first letter.
bool sameName(const char* a, const char* b) { return a[0] == b[0] && std::strcmp(a, b) == 0; }
bool changesSegments(const char* name) {
    for (const char* n : {N::Temperature, N::MassFlow, N::Enthalpy, N::HeatCapacityFlowrate, N::SpecificHeat})
        if (sameName(name, n)) return true;
    return false;
}
bool changesCoefficients(const char* name) {
    for (const char* n : {N::CHTCoeff, N::FoulingFactor, N::HTCoeff, N::Velocity, N::MassDensity, N::Diameter,
                          N::Viscosity, N::ThermalConductivity})
        if (sameName(name, n)) return true;
    return false;
}
}  // namespace

int CPIHeatIntegrationStream::SetValue(const CPString& name, double value, int index) {
    if (index < 0) return 0;
    if (!m_set.HasValue(name) && !m_set.CreateValue(name, StreamPropertySet::IsSegmentableName(name))) return 0;

    // A film coefficient, a fouling or a transport property leaves the stream's loads as they
    // were: they stay in step (a save writes what a reopen and its recalculation write).
    const bool loadsStay = changesCoefficients(name.c_str());
    // A utility's flow follows from the load the designs give it; it is never stored.
    const bool utilityFlow = m_nKind == KindUtility && (name == N::HeatCapacityFlowrate || name == N::MassFlow);
    if (!utilityFlow) {
        if (value == Units::EmptyValue) {
            // An emptied value is unset; a fouling factor or clean coefficient unset goes back to
            // its default.
            if (!StreamPropertySet::IsStored(m_set.SetSegmentValue(name, value, index, CPValue::Unset))) return 0;
            if (!loadsStay) ClearLoadFlags();
        } else if (!StreamPropertySet::IsStored(m_set.SetSegmentValue(name, value, index, CPValue::Specified))) {
            return 0;
        }
    }

    PushToDesignSegment(name, value, index);

    // Even when defaults had to be filled, the value is stored: the owner must re-take the
    // segments, so the change is always announced.
    Notify(37, name, AsData());
    if (!loadsStay) ClearLoadFlags();
    return 1;
}

int CPIHeatIntegrationStream::SetValues(const StreamValueSetting* values, int count) {
    if (!values || count <= 0) return count == 0 ? 1 : 0;
    std::vector<StreamPropertySet::ValueSetting> batch;
    batch.reserve(static_cast<std::size_t>(count));
    bool together = m_nKind != KindUtility;  // a utility's flows are never stored: one by one
    for (int k = 0; k < count && together; ++k) {
        together = values[k].name != nullptr;
        if (together) batch.push_back({values[k].name, values[k].value, values[k].index});
    }
    int side = m_nHotCold;
    if (!together || m_set.SetSegmentValuesTogether(batch, side) != StreamPropertySet::Stored) {
        for (int k = 0; k < count; ++k)
            if (!values[k].name || SetValue(values[k].name, values[k].value, values[k].index) != 1) return 0;
        return 1;
    }
    // What each value's store would have done, once: the side the points give, the design
    // segments' copies, and the notices, one per kind of value (the owner re-takes the stream's
    // segments once for all of them).
    SetHotColdFromValues(side);
    std::vector<const char*> announced;
    announced.reserve(batch.size());
    for (const StreamPropertySet::ValueSetting& v : batch) {
        PushToDesignSegment(v.name, v.value, v.index);
        bool seen = false;
        for (const char* a : announced) seen = seen || v.name == a;
        if (!seen) announced.push_back(v.name.c_str());
    }
    bool loadsStay = true;
    for (const StreamPropertySet::ValueSetting& v : batch) loadsStay = loadsStay && changesCoefficients(v.name.c_str());
    if (!loadsStay) ClearLoadFlags();
    NotifyValuesSet(announced);
    return 1;
}

// After a batch: one notice for the segment values (naming "Temperature" or "MassFlow" when the
// batch holds one, so that the designs hear of it too), one for the coefficients, and one for
// each other name. A single re-take of the segments answers several values of a group, and the
// recalculation after a segment change covers the coefficients' as well.
void CPIHeatIntegrationStream::NotifyValuesSet(const std::vector<const char*>& names) {
    const char* segments = nullptr;
    const char* coefficients = nullptr;
    bool others = false;
    for (const char* name : names) {
        if (changesSegments(name)) {
            const bool operating = sameName(name, N::Temperature) || sameName(name, N::MassFlow);
            if (!segments || (operating && !sameName(segments, N::Temperature))) segments = name;
        } else if (changesCoefficients(name)) {
            if (!coefficients) coefficients = name;
        } else {
            others = true;
        }
    }
    if (segments) Notify(37, segments, AsData());
    if (coefficients && !segments) Notify(37, coefficients, AsData());
    if (!others) return;
    for (const char* name : names)
        if (!changesSegments(name) && !changesCoefficients(name)) Notify(37, name, AsData());
}

// Push what the designs read into the design segment of that index.
void CPIHeatIntegrationStream::PushToDesignSegment(const CPString& name, double value, int index) {
    if (!DesignList() || static_cast<std::size_t>(index) >= DesignList()->size()) return;
    StreamSegment* segment = (*DesignList())[static_cast<std::size_t>(index)].get();
    if (!segment) return;
    if (name == N::SpecificHeat && segment->pLink) segment->pLink->dSpecificHeat = value;
    double film = Units::EmptyValue;
    if (m_set.GetValue(N::HTCoeff, film, index) && film != Units::EmptyValue) segment->dFilmCoefficient = film;
}

int CPIHeatIntegrationStream::SetName(const CPString& name) {
    m_strName = name;  // the design segments read it from here
    RenameInLinkedStreams();
    return 1;
}

int CPIHeatIntegrationStream::SetDTminContribution(double dTmin, const CPString& scope, int /*reserved*/, int notify) {
    ValueAndFlag contribution;
    if (scope == "Local") contribution.nFlag = ValueAndFlag::ScopeLocal;
    else if (scope == "Global") contribution.nFlag = ValueAndFlag::ScopeGlobal;
    else return 0;
    contribution.dValue = 0.5 * dTmin;
    m_set.SetDTminContribution(contribution);

    SetUpdating(1);
    if (DesignList())
        for (auto& s : *DesignList()) s->TakeDTminContribution(contribution);
    const bool siteStream = m_pOwner && !m_pOwner->IsScenario();
    if (siteStream) {
        m_pOwner->ApplySiteDTmin(*this, dTmin);
    } else {
        if (DesignList())
            for (auto& s : *DesignList()) s->ShiftTemperatures(dTmin);
        if (m_pOwner) m_pOwner->MarkSegmentsChanged(*this);
    }
    if (IsComplete() && notify) Notify(35, CPString(), AsData());
    SetUpdating(0);
    return 1;
}

int CPIHeatIntegrationStream::InsertSegment(int index) {
    const int result = m_set.InsertSegment(index);
    if (result == 1) {
        // A process stream's load follows from its values, which the new segment leaves open. A
        // utility's is the one typed or placed on it: it waits, while the new segment has no end
        // yet, to be spread over the segments made when the utility is complete again.
        if (m_nKind != KindUtility) m_dCachedHeatLoad[0] = 0.0;
        ClearLoadFlags();
        Notify(33, m_strName, AsData());
    }
    return result;
}

int CPIHeatIntegrationStream::DeleteSegment(int index) {
    if (m_set.DeleteSegment(index) != 1) return 0;
    ClearLoadFlags();
    Notify(34, m_strName, AsData());
    return 1;
}

int CPIHeatIntegrationStream::SetStreamKind(int kind, int notify) {
    if (kind == m_nKind) return 1;
    if (kind != KindProcess && kind != KindUtility && kind != KindLinked) return 0;
    if (kind == KindProcess && GetNumberOfLinkedStreams() > 0) kind = KindLinked;
    if (kind == m_nKind) return 1;

    // A linked process stream made a utility becomes one and keeps its links (a design turns a
    // used utility into a process stream while it calculates, which a link makes a linked one,
    // and must get its utility back); the answer 0 tells the caller the stream had links.
    const int result = m_nKind == KindLinked && kind == KindUtility ? 0 : 1;
    int previous = m_nKind;
    if (kind == KindUtility && previous != KindUtility) KeepProcessValues();
    m_nKind = kind;
    if (previous == KindUtility && kind != KindUtility) RestoreProcessValues();
    if (kind == KindUtility) m_set.SetEnthalpiesComplete(1);
    if (DesignList())
        for (auto& s : *DesignList()) s->nKind = kind;
    // Announced whatever the answer: the owner files the stream by its kind.
    if (notify) Notify(87, m_strName, &previous);
    return result;
}

void CPIHeatIntegrationStream::KeepProcessValues() {
    auto kept = std::make_unique<std::vector<Rare::KeptValue>>();
    for (const char* name : {N::HeatCapacityFlowrate, N::Enthalpy})
        for (int i = 0; i < m_set.GetNumberOfSegments(); ++i)
            if (const auto entry = m_set.GetEntry(name, i); entry && entry->GetStatus() == CPValue::Specified)
                kept->push_back(Rare::KeptValue{name, i, entry->GetValue()});
    if (kept->empty() && !m_pRare) return;
    TheRare().processValues = kept->empty() ? nullptr : std::move(kept);
}

void CPIHeatIntegrationStream::RestoreProcessValues() {
    if (!m_pRare || !m_pRare->processValues) return;
    const std::unique_ptr<std::vector<Rare::KeptValue>> kept = std::move(m_pRare->processValues);
    // Only onto the segments it was kept from: a stream cut again since keeps its new values.
    for (const Rare::KeptValue& v : *kept)
        if (v.index >= m_set.GetNumberOfSegments()) return;
    for (const Rare::KeptValue& v : *kept) m_set.SetSegmentValue(v.name, v.value, v.index, CPValue::Specified);
}

bool CPIHeatIntegrationStream::IsSiteUtility() const {
    return m_nKind == KindUtility && m_pOwner && !m_pOwner->IsScenario();
}

int CPIHeatIntegrationStream::NotifyValueChanged(double value) {
    // A site stream, which no scenario places, keeps the load typed on the site as its own: the
    // site table shows it and the case keeps it. Each scenario's copy takes it on its own terms.
    if (IsSiteUtility()) {
        m_dCachedHeatLoad[0] = value;
        m_bLoadInStep[0] = 1;
    }
    Notify(71, CPString(), AsData());
    Notify(40, CPString(), &value);
    return 1;
}

unsigned char CPIHeatIntegrationStream::GetValueStatus(const CPString& name, int index) const {
    if (m_nKind == KindUtility && (name == N::HeatCapacityFlowrate || name == N::MassFlow)) return 2;
    const auto entry = m_set.GetEntry(name, index);
    if (!entry || m_set.IsLocked(name, index)) return 0;
    return static_cast<unsigned char>(entry->GetStatus());
}

bool CPIHeatIntegrationStream::AreDesignSegmentsComplete() const {
    return DesignList() && static_cast<int>(DesignList()->size()) == m_set.GetNumberOfSegments() &&
           m_set.IsComplete();
}

int CPIHeatIntegrationStream::CopyFrom(IHeatIntegrationStream* other) {
    auto* source = dynamic_cast<CPIHeatIntegrationStream*>(other);
    if (!source) return 0;
    m_set.SetOwner(this);
    m_nKind = source->GetStreamKind();
    // A process stream is a linked one by its links (its forbidden matches), which a copy does
    // not take: the owner links the copy afresh to the streams that came along with it, and
    // without any it is a plain process stream, as a case reopened reads it.
    if (m_nKind == KindLinked && GetNumberOfLinkedStreams() == 0) m_nKind = KindProcess;
    m_nHotCold = source->GetHotCold();
    SetRareValue(&Rare::costIndex, source->GetCostIndex(), DefaultCostIndex);
    if (m_pRare || source->EarnsCredit()) TheRare().earnsCredit = source->EarnsCredit();
    m_dCachedHeatLoad[0] = source->m_dCachedHeatLoad[0];
    m_dCachedHeatLoad[1] = source->m_dCachedHeatLoad[1];
    if (m_pRare || source->m_pRare) {
        TheRare().loadFraction0 = source->LoadFractionAt(0);
        m_pRare->loadFraction1 = source->LoadFractionAt(1);
    }
    m_bLoadInStep[0] = source->m_bLoadInStep[0];
    m_bLoadInStep[1] = source->m_bLoadInStep[1];
    SetRareValue(&Rare::storedValue, source->GetStoredValue(), 0.0);
    // A utility that was a process stream takes what it had as one along.
    if (source->KeptProcessValues())
        TheRare().processValues = std::make_unique<std::vector<Rare::KeptValue>>(*source->KeptProcessValues());
    else if (m_pRare)
        m_pRare->processValues.reset();
    return m_set.CopyFrom(source->m_set);
}

void CPIHeatIntegrationStream::TakeValuesExactly(const CPIHeatIntegrationStream& other) {
    if (&other == this) return;
    m_set.TakeExactly(other.m_set);
    m_nKind = other.m_nKind;
    m_nHotCold = other.m_nHotCold;
    m_nStoredInt = other.m_nStoredInt;
    m_bLocked = other.m_bLocked;
    m_dCachedHeatLoad[0] = other.m_dCachedHeatLoad[0];
    m_dCachedHeatLoad[1] = other.m_dCachedHeatLoad[1];
    m_bLoadInStep[0] = other.m_bLoadInStep[0];
    m_bLoadInStep[1] = other.m_bLoadInStep[1];
    if (m_pRare || other.m_pRare) {
        Rare& rare = TheRare();
        rare.loadFraction0 = other.LoadFractionAt(0);
        rare.loadFraction1 = other.LoadFractionAt(1);
        rare.costIndex = other.GetCostIndex();
        rare.massEmissionsCoefficient = other.GetMassEmissionsCoefficient();
        rare.storedValue = other.GetStoredValue();
        rare.earnsCredit = other.EarnsCredit();
        const Rare* from = other.m_pRare.get();
        rare.specificHeatPolynomial = from && from->specificHeatPolynomial
                                          ? std::make_unique<std::vector<double>>(*from->specificHeatPolynomial)
                                          : nullptr;
        rare.processValues = from && from->processValues
                                 ? std::make_unique<std::vector<Rare::KeptValue>>(*from->processValues)
                                 : nullptr;
    }
}

void CPIHeatIntegrationStream::TakeSiteData(const CPIHeatIntegrationStream& site) {
    if (&site == this) return;
    m_set.SetOwner(this);
    m_set.CopyFrom(site.m_set);
    m_nHotCold = site.m_nHotCold;
    SetRareValue(&Rare::costIndex, site.GetCostIndex(), DefaultCostIndex);
    if (m_pRare || site.EarnsCredit()) TheRare().earnsCredit = site.EarnsCredit();
    SetRareValue(&Rare::massEmissionsCoefficient, site.GetMassEmissionsCoefficient(), DefaultMassEmissionsCoefficient);
    // As after any value stored: the loads are summed afresh from the segments the owner rebuilds.
    ClearLoadFlags();
}

// The values a retrofit study leaves to the user on its locked streams: a process stream's mass
// flow (its operating throughput), price per mass and splitting limit, and the load fractions of
// its ends. Everything else, and the segments themselves, is the existing network's. A site's
// own stream is held where a retrofit study of a scenario of the site holds its copy, and so is
// every scenario's copy of it: its owner answers.
bool CPIHeatIntegrationStream::IsHeldByRetrofitBase(const char* name) const {
    if (!m_bLocked) return m_pOwner && m_pOwner->HoldsForRetrofitBase(*this, name);
    if (!name) return true;
    if (m_nKind != KindUtility && std::strcmp(name, N::MassFlow) == 0) return false;
    for (const char* free : {N::PricePerMass, N::MaxSplitBranches, "LoadFraction"})
        if (std::strcmp(name, free) == 0) return false;
    return true;
}

void CPIHeatIntegrationStream::SetCostIndex(double costIndex) {
    if (m_bLocked) return;
    SetRareValue(&Rare::costIndex, costIndex, DefaultCostIndex);
    // Every route that gives a price below 0 asks first whether the utility earns a credit (or
    // reads a default utility's own credit): the first credit marks the utility as one that earns.
    if (costIndex < 0.0) TheRare().earnsCredit = true;
    Notify(4, CPString(), nullptr);
}

double CPIHeatIntegrationStream::GetOperatingCost() const {
    if (!m_pOwner || !m_pOwner->IsScenario()) return 0.0;
    return m_pOwner->GetStreamOperatingCost(*this);
}

double CPIHeatIntegrationStream::PointValue(int index) const {
    double v = Units::EmptyValue;
    if (!m_set.GetValue(N::Temperature, v, index)) return Units::EmptyValue;
    return v;
}

double CPIHeatIntegrationStream::GetSupplyTemperature() const { return PointValue(0); }

double CPIHeatIntegrationStream::GetTargetTemperature() const { return PointValue(m_set.GetNumberOfSegments()); }

void CPIHeatIntegrationStream::SetHotColdFromValues(int hotCold) {
    if (hotCold == m_nHotCold) return;
    m_nHotCold = hotCold;
    int undeterminedBefore = 2;
    Notify(71, CPString(), AsData());
    Notify(73, CPString(), &undeterminedBefore);
}

void CPIHeatIntegrationStream::SetDesignSegments(std::unique_ptr<StreamSegmentList> segments) {
    m_designSegments = segments ? std::move(*segments) : StreamSegmentList();
    m_bHasDesignSegments = segments != nullptr;
}

std::unique_ptr<StreamSegmentList> CPIHeatIntegrationStream::DetachDesignSegments() {
    if (!m_bHasDesignSegments) return nullptr;
    auto list = std::make_unique<StreamSegmentList>(std::move(m_designSegments));
    m_bHasDesignSegments = false;
    return list;
}

// ---- visitors -----------------------------------------------------------------------------------

void CPIHeatIntegrationStream::AddNumberOfSegments(void* item, void* context) {
    const auto* stream = static_cast<const CPIHeatIntegrationStream*>(item);
    auto* total = static_cast<int*>(context);
    if (stream && total) *total += stream->GetNumberOfSegments();
}

int CPIHeatIntegrationStream::HasName(void* item, void* key) {
    const auto* stream = static_cast<const CPIHeatIntegrationStream*>(item);
    const auto* name = static_cast<const CPString*>(key);
    return (stream && name && stream->GetName() == *name) ? 1 : 0;
}

int CPIHeatIntegrationStream::CompareCostIndex(const void* a, const void* b) {
    const auto* x = static_cast<const CPIHeatIntegrationStream*>(a);
    const auto* y = static_cast<const CPIHeatIntegrationStream*>(b);
    if (!x || !y) return 0;
    if (x->GetCostIndex() < y->GetCostIndex()) return -1;
    if (x->GetCostIndex() > y->GetCostIndex()) return 1;
    return 0;
}
