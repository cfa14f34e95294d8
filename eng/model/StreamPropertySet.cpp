#include "eng/model/StreamPropertySet.h"

#include "dunmor/Units.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/StreamValueNames.h"
#include "eng/core/PropertyBounds.h"
#include "osmeri/CPValue.h"

#include <algorithm>
#include <string_view>

namespace N = StreamValueNames;

namespace {
constexpr double kEmpty = Units::EmptyValue;

bool isEmpty(double v) { return v == kEmpty; }

// The known names, in the order of StreamPropertySet's table.
const CPString* KnownNames() {
    static const CPString names[] = {
        N::Temperature,    N::Enthalpy,           N::HTCoeff,         N::HeatCapacityFlowrate,
        N::SpecificHeat,   N::FoulingFactor,      N::CHTCoeff,        N::MaxSplitBranches,
        N::Velocity,       N::Diameter,           N::MaxMassFlow,     N::PricePerMass,
        N::MassFlow,       N::Viscosity,          N::MassDensity,     N::ThermalConductivity,
        N::CannotSplit,    N::RawTemperature,     N::RawVapourFraction, N::RawMassEnthalpy,
        N::RawSpecificHeat, N::RawViscosity,      N::RawMassDensity,  N::RawThermalConductivity,
        N::LinearizationPerformance,
    };
    return names;
}
}  // namespace

StreamPropertySet::StreamPropertySet(CPIHeatIntegrationStream* owner) : m_pOwner(owner) {
    // The standard values' slots take their names from their places (StandardSlot).
    static_assert(Temperature == 0 && Enthalpy == 1 && HTCoeff == 2 && HeatCapacityFlowrate == 3 &&
                      SpecificHeat == 4 && FoulingFactor == 5 && CHTCoeff == 6 && MaxSplitBranches == 7 &&
                      Velocity == 8 && Diameter == 9 && MaxMassFlow == 10 && PricePerMass == 11,
                  "the standard values in the order of their slots");
    // The standard values with one segment: two points, one entry for each other value.
    m_nSegments = 1;
    std::size_t entries = 0;
    for (std::size_t k = 0; k < StandardSlotCount; ++k) entries += StandardSlot(k, 1).count;
    m_entries.Assign(entries);
    Recalculate(nullptr);
}

StreamPropertySet::~StreamPropertySet() = default;

bool StreamPropertySet::IsSegmentableName(const CPString& name) {
    switch (KnownName(name)) {
        case Temperature:
        case Enthalpy:
        case HeatCapacityFlowrate:
        case SpecificHeat:
        case HTCoeff:
        case CHTCoeff:
        case Viscosity:
        case MassDensity:
        case ThermalConductivity: return true;
        default: return false;
    }
}

// ---- names and slots ----------------------------------------------------------------------------

std::uint32_t StreamPropertySet::KnownName(const CPString& name) {
    const CPString* names = KnownNames();
    for (std::uint32_t k = 0; k < KnownValueCount; ++k)
        if (names[k].size() == name.size() && names[k] == name) return k;
    return NoName;
}

const CPString& StreamPropertySet::NameOf(std::uint32_t name) const {
    if (name < KnownValueCount) return KnownNames()[name];
    return m_pUnusual->names[name - KnownValueCount];
}

void StreamPropertySet::Materialize() {
    if (!m_slots.empty()) return;
    m_slots.reserve(StandardSlotCount);
    for (std::size_t k = 0; k < StandardSlotCount; ++k) m_slots.push_back(StandardSlot(k, m_nSegments));
}

void StreamPropertySet::Normalize() {
    if (m_slots.size() != StandardSlotCount) return;
    for (std::size_t k = 0; k < StandardSlotCount; ++k) {
        const Slot a = m_slots[k];
        const Slot b = StandardSlot(k, m_nSegments);
        if (a.first != b.first || a.count != b.count || a.name != b.name || a.segmentable != b.segmentable) return;
        if (m_pUnusual && k < m_pUnusual->nodesOf.size() && m_pUnusual->nodesOf[k] >= 0) return;
    }
    if (m_entries.size() != StandardSlot(StandardSlotCount - 1, m_nSegments).first + 1u) return;
    m_slots.clear();
    if (m_pUnusual) m_pUnusual->nodesOf.clear();
}

int StreamPropertySet::FindStoredSlot(KnownValue value) const {
    for (std::size_t k = 0; k < m_slots.size(); ++k)
        if (m_slots[k].name == value) return static_cast<int>(k);
    return -1;
}

int StreamPropertySet::FindSlot(const CPString& name) const {
    std::uint32_t id = KnownName(name);
    if (id == NoName && m_pUnusual) {
        const auto& names = m_pUnusual->names;
        const auto it = std::find(names.begin(), names.end(), name);
        if (it != names.end()) id = KnownValueCount + static_cast<std::uint32_t>(it - names.begin());
    }
    if (id == NoName) return -1;
    if (id < KnownValueCount) return FindSlot(static_cast<KnownValue>(id));
    for (std::size_t k = 0; k < m_slots.size(); ++k)
        if (m_slots[k].name == id) return static_cast<int>(k);
    return -1;
}

StreamPropertySet::SlotNodes StreamPropertySet::NodesOf(std::size_t slot) const {
    if (m_pUnusual && slot < m_pUnusual->nodesOf.size() && m_pUnusual->nodesOf[slot] >= 0)
        return m_pUnusual->nodes[static_cast<std::size_t>(m_pUnusual->nodesOf[slot])];
    SlotNodes usual;
    usual.flag = Node{SlotAt(slot).segmentable ? 1.0 : 0.0, 1, 0};
    return usual;
}

StreamPropertySet::Unusual& StreamPropertySet::TheUnusual() {
    if (!m_pUnusual) m_pUnusual = std::make_unique<Unusual>();
    return *m_pUnusual;
}

int StreamPropertySet::AppendSlot(std::uint32_t name, bool segmentable, int count) {
    Materialize();
    Slot slot;
    slot.name = static_cast<std::uint16_t>(name);
    slot.first = static_cast<std::uint32_t>(m_entries.size());
    slot.count = static_cast<std::uint16_t>(count);
    slot.segmentable = segmentable ? 1 : 0;
    m_entries.Grow(m_entries.size() + static_cast<std::size_t>(count));
    m_slots.push_back(slot);
    return static_cast<int>(m_slots.size()) - 1;
}

// A new empty entry at `position` of the value (at its end when past it); the values after it
// move along.
void StreamPropertySet::InsertEntry(int slot, int position) {
    Slot& s = m_slots[static_cast<std::size_t>(slot)];
    const std::uint32_t at = s.first + std::min(static_cast<std::uint32_t>(std::max(position, 0)), std::uint32_t{s.count});
    m_entries.InsertAt(at);
    if (m_pUnusual)
        for (WideEntry& w : m_pUnusual->wide)
            if (w.position >= at) ++w.position;
    ++s.count;
    for (std::size_t k = static_cast<std::size_t>(slot) + 1; k < m_slots.size(); ++k) ++m_slots[k].first;
}

void StreamPropertySet::RemoveEntry(int slot, int position) {
    Slot& s = m_slots[static_cast<std::size_t>(slot)];
    if (position < 0 || static_cast<std::uint32_t>(position) >= s.count) return;
    const std::uint32_t at = s.first + static_cast<std::uint32_t>(position);
    m_entries.EraseAt(at);
    if (m_pUnusual) {
        auto& wide = m_pUnusual->wide;
        wide.erase(std::remove_if(wide.begin(), wide.end(), [at](const WideEntry& w) { return w.position == at; }),
                   wide.end());
        for (WideEntry& w : wide)
            if (w.position > at) --w.position;
    }
    --s.count;
    for (std::size_t k = static_cast<std::size_t>(slot) + 1; k < m_slots.size(); ++k) --m_slots[k].first;
}

const StreamPropertySet::WideEntry* StreamPropertySet::FindWide(std::size_t position) const {
    if (!m_pUnusual) return nullptr;
    const auto& wide = m_pUnusual->wide;
    const auto it = std::lower_bound(wide.begin(), wide.end(), position,
                                     [](const WideEntry& w, std::size_t p) { return w.position < p; });
    return it != wide.end() && it->position == position ? &*it : nullptr;
}

int StreamPropertySet::StatusOf(std::size_t position) const {
    const std::uint8_t status = m_entries[position].status;
    if (status != Entry::Wide) return status;
    const WideEntry* w = FindWide(position);
    return w ? w->status : status;
}

int StreamPropertySet::LockOf(std::size_t position) const {
    const std::uint8_t lock = m_entries[position].lock;
    if (lock != Entry::Wide) return lock;
    const WideEntry* w = FindWide(position);
    return w ? w->lock : lock;
}

void StreamPropertySet::PutFlags(Entry& entry, std::size_t position, int status, int lock,
                                 std::vector<WideEntry>& wide) {
    entry.status = Entry::Narrow(status);
    entry.lock = Entry::Narrow(lock);
    if (entry.status != Entry::Wide && entry.lock != Entry::Wide) return;
    const auto at = static_cast<std::uint32_t>(position);
    auto it = std::lower_bound(wide.begin(), wide.end(), at,
                               [](const WideEntry& w, std::uint32_t p) { return w.position < p; });
    if (it == wide.end() || it->position != at) it = wide.insert(it, WideEntry{at, 0, 0});
    it->status = status;
    it->lock = lock;
}

void StreamPropertySet::PutEntry(std::size_t position, double value, int status) {
    Entry& entry = m_entries[position];
    entry.SetValue(value, status);
    if (entry.status != Entry::Wide) return;
    PutFlags(entry, position, status, LockOf(position), TheUnusual().wide);
}

// ---- values ---------------------------------------------------------------------------------------

bool StreamPropertySet::IsSegmentable(const CPString& name) const {
    const int k = FindSlot(name);
    return k >= 0 && SlotAt(static_cast<std::size_t>(k)).segmentable;
}

std::optional<StreamPropertySet::EntryState> StreamPropertySet::GetEntry(const CPString& name, int index) const {
    const Entry* entry = EntriesOf(name).at(index);
    if (!entry) return std::nullopt;
    const auto position = static_cast<std::size_t>(entry - m_entries.data());
    return EntryState{entry->GetValue(), StatusOf(position), LockOf(position)};
}

int StreamPropertySet::GetValue(const CPString& name, double& out, int index) const {
    const int k = FindSlot(name);
    if (k < 0) return 0;
    const Entry* entry = EntriesOf(k).at(index);
    if (!entry) {
        out = kEmpty;
        return 0;
    }
    out = entry->GetValue();
    return 1;
}

int StreamPropertySet::GetNumberOfEntries(const CPString& name) const {
    const int k = FindSlot(name);
    return k < 0 ? 0 : static_cast<int>(SlotAt(static_cast<std::size_t>(k)).count);
}

bool StreamPropertySet::IsPropertiesLocked() const { return m_pUnusual && m_pUnusual->properties.lock != 0; }

bool StreamPropertySet::IsLocked(const CPString& name, int index) const {
    const int k = FindSlot(name);
    if (k < 0) return false;
    if (NodesOf(static_cast<std::size_t>(k)).value.lock != 0) return true;
    const Entry* entry = EntriesOf(k).at(index);
    return entry && entry->lock != 0;
}

void StreamPropertySet::DetermineSegmentCount() {
    const int enthalpy = FindSlot(Enthalpy);
    const int temperature = FindSlot(Temperature);
    if (enthalpy >= 0)
        m_nSegments = static_cast<int>(SlotAt(static_cast<std::size_t>(enthalpy)).count);
    else if (temperature >= 0 && SlotAt(static_cast<std::size_t>(temperature)).count > 0)
        m_nSegments = static_cast<int>(SlotAt(static_cast<std::size_t>(temperature)).count) - 1;
    else
        m_nSegments = 0;
}

int StreamPropertySet::CreateValue(const CPString& name, bool segmentable) {
    if (IsPropertiesLocked() || FindSlot(name) >= 0) return 0;
    std::uint32_t id = KnownName(name);
    if (id == NoName) {
        if (m_pUnusual && KnownValueCount + m_pUnusual->names.size() >= MaxNames) return 0;
        Unusual& unusual = TheUnusual();
        id = KnownValueCount + static_cast<std::uint32_t>(unusual.names.size());
        unusual.names.push_back(name);
    }
    int count = 1;
    if (segmentable) count = (id == Temperature && m_nSegments > 0) ? m_nSegments + 1 : m_nSegments;
    AppendSlot(id, segmentable, count);
    return 1;
}

bool StreamPropertySet::IsPointInOrder(int index, double value) const {
    if (isEmpty(value)) return true;  // emptying a point never breaks the order
    const int hotCold = CurrentSide();
    if (hotCold == CPIHeatIntegrationStream::SideUndetermined) return true;
    if (hotCold != CPIHeatIntegrationStream::SideHot && hotCold != CPIHeatIntegrationStream::SideCold) return false;
    const Entries points = EntriesOf(Temperature);
    if (!points) return true;
    const int count = points.size;
    if (index < 0 || index >= count) return false;

    double previous = kEmpty, next = kEmpty;
    for (int i = index - 1; i >= 0; --i) {
        if (points.data[i].status != 0) {
            previous = points.data[i].GetValue();
            break;
        }
    }
    for (int i = index + 1; i < count; ++i) {
        if (points.data[i].status != 0) {
            next = points.data[i].GetValue();
            break;
        }
    }
    const bool hot = hotCold == CPIHeatIntegrationStream::SideHot;
    if (index < count - 1 && !isEmpty(next)) {
        if (hot ? !(next <= value - PointMargin) : !(next >= value + PointMargin)) return false;
    }
    if (index > 0 && !isEmpty(previous)) {
        if (hot ? !(previous >= value + PointMargin) : !(previous <= value - PointMargin)) return false;
    }
    return true;
}

int StreamPropertySet::SetSegmentValue(const CPString& name, double value, int index, int status) {
    if (!isEmpty(value)) {
        if (const PropertyBound* b = FindPropertyBound(name))
            if (!(value > b->lower && value < b->upper)) return Refused;
    }
    const int slot = FindSlot(name);
    if (slot < 0 || index < 0 || IsLocked(name, index)) return Refused;

    const Slot s = SlotAt(static_cast<std::size_t>(slot));
    const int count = static_cast<int>(s.count);
    const bool temperature = s.name == Temperature;
    bool appended = false;
    if (temperature) {
        if (index >= count || !IsPointInOrder(index, value)) return Refused;
    } else if (s.segmentable) {
        if (index >= m_nSegments || index >= count) return Refused;
    } else {
        if (index > count || (index == count && count >= MaxEntries)) return Refused;
        appended = index == count;
    }

    if (appended) {
        Materialize();
        InsertEntry(slot, count);
    }
    // Only the rules run until the entry is restored: the entries stay where they are.
    Entry* entry = EntriesOf(slot).at(index);
    const auto position = static_cast<std::size_t>(entry - m_entries.data());
    const double oldValue = entry->GetValue();
    const int oldStatus = StatusOf(position);
    PutEntry(position, value, status);
    if (temperature) m_nSegments = count - 1;

    std::vector<CPString> keep;
    if (status == CPValue::Calculated) keep.push_back(name);
    if (Recalculate(keep.empty() ? nullptr : &keep) != 1) {
        if (appended) entry->SetValue(kEmpty, CPValue::Unset);
        else PutEntry(position, oldValue, oldStatus);
        Recalculate(nullptr);
        FillDefaultCoefficients();
        return Refused;
    }
    if (m_bFillingDefaults) return Stored;
    return FillDefaultCoefficients() == 1 ? Stored : StoredWithDefaults;
}

int StreamPropertySet::CurrentSide() const {
    if (m_nBatchSide >= 0) return m_nBatchSide;
    return m_pOwner ? m_pOwner->GetHotCold() : CPIHeatIntegrationStream::SideUndetermined;
}

bool StreamPropertySet::ArePointsInOrder(int side) const {
    if (side != CPIHeatIntegrationStream::SideHot && side != CPIHeatIntegrationStream::SideCold) return true;
    const Entries points = EntriesOf(Temperature);
    const bool hot = side == CPIHeatIntegrationStream::SideHot;
    const Entry* previous = nullptr;
    for (int i = 0; i < points.size; ++i) {
        const Entry& p = points.data[i];
        if (p.status == CPValue::Unset) continue;
        const double v = p.GetValue();
        if (previous && (hot ? !(previous->GetValue() >= v + PointMargin) : !(previous->GetValue() <= v - PointMargin)))
            return false;
        previous = &p;
    }
    return true;
}

int StreamPropertySet::SetSegmentValuesTogether(const std::vector<ValueSetting>& values, int& side) {
    side = CurrentSide();
    if (!m_pOwner || values.empty() || side != CPIHeatIntegrationStream::SideUndetermined || IsPropertiesLocked())
        return Refused;
    // Storing one value after the other fills the default coefficients after each; with all of
    // them specified already there is nothing to fill, and nothing of the batch can empty them.
    for (KnownValue v : {CHTCoeff, FoulingFactor}) {
        const Entries e = EntriesOf(v);
        for (int i = 0; i < e.size; ++i)
            if (e.data[i].status != CPValue::Specified) return Refused;
    }
    struct Target {
        int slot;
        int index;
    };
    std::vector<Target> targets;
    targets.reserve(values.size());
    for (const ValueSetting& v : values) {
        if (isEmpty(v.value) || v.index < 0) return Refused;
        if (const PropertyBound* b = FindPropertyBound(v.name))
            if (!(v.value > b->lower && v.value < b->upper)) return Refused;
        const int slot = FindSlot(v.name);
        if (slot < 0 || NodesOf(static_cast<std::size_t>(slot)).value.lock != 0) return Refused;
        const Slot s = SlotAt(static_cast<std::size_t>(slot));
        // Points and entries that exist only: appending an entry changes the layout.
        if (v.index >= static_cast<int>(s.count)) return Refused;
        if (s.segmentable && s.name != Temperature && v.index >= m_nSegments) return Refused;
        if (EntriesOf(slot).at(v.index)->lock != 0) return Refused;
        targets.push_back({slot, v.index});
    }

    const EntryArray before = m_entries;
    const int segmentsBefore = m_nSegments;
    const std::int32_t complete[] = {m_bTemperaturesComplete, m_bEnthalpiesComplete, m_bSpecificHeatsComplete};
    for (std::size_t k = 0; k < values.size(); ++k)
        EntriesOf(targets[k].slot).at(targets[k].index)->SetValue(values[k].value, CPValue::Specified);

    // The side is kept from the owner while the batch is checked: a refused batch must leave no
    // trace, not even a notice.
    m_nBatchSide = side;
    bool taken = Recalculate(nullptr) == 1 && ArePointsInOrder(m_nBatchSide);
    // One after the other, the values after the first two points would have been stored and
    // recalculated with the side known: the correlation and the points filled by the rules
    // depend on it. Run the rules again with it when anything of that kind can apply.
    if (taken && m_nBatchSide != side && (!m_slots.empty() || !AreTemperaturesComplete())) {
        const int determined = m_nBatchSide;
        taken = Recalculate(nullptr) == 1 && m_nBatchSide == determined && ArePointsInOrder(determined);
    }
    side = m_nBatchSide;
    m_nBatchSide = -1;
    if (!taken) {
        m_entries = before;
        m_nSegments = segmentsBefore;
        m_bTemperaturesComplete = complete[0];
        m_bEnthalpiesComplete = complete[1];
        m_bSpecificHeatsComplete = complete[2];
        side = CurrentSide();
        return Refused;
    }
    return Stored;
}

bool StreamPropertySet::TakeNewStreamDefaults(double velocity, double diameter, double maxSplitBranches,
                                              double pricePerMass, double cleanCoefficient) {
    if (!m_pOwner || !m_slots.empty() || m_nSegments != 1 || m_pUnusual) return false;
    const std::pair<KnownValue, double> defaults[] = {
        {Velocity, velocity},
        {Diameter, diameter},
        {MaxSplitBranches, maxSplitBranches},
        {PricePerMass, pricePerMass},
        {CHTCoeff, isEmpty(cleanCoefficient) ? DefaultCleanCoefficient : cleanCoefficient},
        {FoulingFactor, DefaultFoulingFactor}};
    // A bound that refuses one of them makes the one-by-one road tell what is stored.
    for (const auto& [value, number] : defaults)
        if (!IsWithinPropertyBounds(NameOf(value), number)) return false;
    for (const auto& [value, number] : defaults) MutableEntry(value, 0)->SetValue(number, CPValue::Specified);
    return Recalculate(nullptr) == 1;
}

int StreamPropertySet::InsertSegment(int index) {
    if (IsPropertiesLocked() || index < 0 || index > m_nSegments || m_nSegments >= MaxSegments) return 0;
    Materialize();
    for (std::size_t k = 0; k < m_slots.size(); ++k) {
        if (!m_slots[k].segmentable) continue;
        const int slot = static_cast<int>(k);
        if (m_slots[k].name == Temperature) {
            if (index == 0) {
                // Appending a segment at the end: the points grow to one more than the segments
                // (two for the first segment of a new set).
                while (m_slots[k].count < static_cast<std::uint32_t>(m_nSegments) + 2)
                    InsertEntry(slot, static_cast<int>(m_slots[k].count));
            } else {
                InsertEntry(slot, index);
            }
        } else if (index == 0) {
            InsertEntry(slot, static_cast<int>(m_slots[k].count));
        } else {
            InsertEntry(slot, index - 1);
        }
    }
    DetermineSegmentCount();
    Normalize();
    Recalculate(nullptr);
    return 1;
}

int StreamPropertySet::DeleteSegment(int index) {
    if (IsPropertiesLocked() || index < 1 || index > m_nSegments) return 0;
    Materialize();
    for (std::size_t k = 0; k < m_slots.size(); ++k) {
        if (!m_slots[k].segmentable) continue;
        RemoveEntry(static_cast<int>(k), m_slots[k].name == Temperature ? index : index - 1);
    }
    DetermineSegmentCount();
    Normalize();
    Recalculate(nullptr);
    return 1;
}

int StreamPropertySet::TruncateEntries(const CPString& name, int count) {
    const int slot = FindSlot(name);
    if (slot < 0 || count < 0 || IsLocked(name, 0)) return 0;
    const Slot s = SlotAt(static_cast<std::size_t>(slot));
    if (s.segmentable) return 0;
    const int held = static_cast<int>(s.count);
    if (held <= count) return 1;
    for (int k = count; k < held; ++k)
        if (IsLocked(name, k)) return 0;
    Materialize();
    for (int k = held - 1; k >= count; --k) RemoveEntry(slot, k);
    Normalize();
    return 1;
}

bool StreamPropertySet::HasWideFlags() const {
    for (std::uint8_t flag : {m_bTemperaturesComplete, m_bEnthalpiesComplete, m_bSpecificHeatsComplete, m_bCopied,
                              m_bSegmentTableBuilt, m_bUpdating})
        if (flag == Entry::Wide) return true;
    return false;
}

void StreamPropertySet::TakeExactly(const StreamPropertySet& other) {
    if (&other == this) return;
    m_slots = other.m_slots;
    m_entries = other.m_entries;
    m_pUnusual = other.m_pUnusual ? std::make_unique<Unusual>(*other.m_pUnusual) : nullptr;
    m_pShownProperties.reset();
    // The segment count lies in the contribution's tail: the contribution first, whole.
    m_DTminContribution = other.m_DTminContribution;
    m_nSegments = other.m_nSegments;
    m_bTemperaturesComplete = other.m_bTemperaturesComplete;
    m_bEnthalpiesComplete = other.m_bEnthalpiesComplete;
    m_bSpecificHeatsComplete = other.m_bSpecificHeatsComplete;
    m_bCopied = other.m_bCopied;
    m_bSegmentTableBuilt = other.m_bSegmentTableBuilt;
    m_bUpdating = other.m_bUpdating;
    m_bTransportProperties = other.m_bTransportProperties;
    m_bFillingDefaults = 0;
    m_nBatchSide = -1;
}

int StreamPropertySet::CopyFrom(const StreamPropertySet& other) {
    m_slots = other.m_slots;
    m_entries = other.m_entries;
    m_nSegments = other.m_nSegments;
    // The flags are this set's own and stay; the rest of the block is the other's.
    std::unique_ptr<Unusual> own = std::move(m_pUnusual);
    if (own && HasWideFlags()) {
        m_pUnusual = std::make_unique<Unusual>();
        std::copy(own->flags, own->flags + WideFlagCount, m_pUnusual->flags);
    }
    if (other.m_pUnusual) {
        // A copy is a new set: the root's own name and other variables stay with the original.
        Unusual& unusual = TheUnusual();
        unusual.names = other.m_pUnusual->names;
        unusual.nodes = other.m_pUnusual->nodes;
        unusual.nodesOf = other.m_pUnusual->nodesOf;
        unusual.properties = other.m_pUnusual->properties;
        unusual.wide = other.m_pUnusual->wide;
    }
    DetermineSegmentCount();
    m_DTminContribution = other.m_DTminContribution;
    m_bCopied = 1;
    return Recalculate(nullptr);
}
