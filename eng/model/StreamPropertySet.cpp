#include "eng/model/StreamPropertySet.h"

#include "dunmor/Units.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/StreamValueNames.h"
#include "eng/startup/PropertyBounds.h"
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"

namespace N = StreamValueNames;

namespace {
constexpr double kEmpty = Units::EmptyValue;

bool isEmpty(double v) { return v == kEmpty; }
}  // namespace

StreamPropertySet::StreamPropertySet(CPIHeatIntegrationStream* owner) : m_pOwner(owner) {
    m_pRoot = std::make_unique<CPItem>(N::RootNode);
    m_pProperties = m_pRoot->InternVariable(N::Properties);
    static const struct {
        const char* name;
        bool segmentable;
    } standard[] = {
        {N::Temperature, true},   {N::Enthalpy, true},      {N::HTCoeff, true},      {N::HeatCapacityFlowrate, true},
        {N::SpecificHeat, true},  {N::FoulingFactor, true}, {N::CHTCoeff, true},     {N::MaxSplitBranches, true},
        {N::Velocity, false},     {N::Diameter, false},     {N::MaxMassFlow, false}, {N::PricePerMass, false},
    };
    for (const auto& v : standard) CreateValue(v.name, v.segmentable);
    InsertSegment(0);
}

StreamPropertySet::~StreamPropertySet() = default;

bool StreamPropertySet::IsSegmentableName(const CPString& name) {
    static const char* const names[] = {N::Temperature,  N::Enthalpy, N::HeatCapacityFlowrate,
                                        N::SpecificHeat, N::HTCoeff,  N::CHTCoeff,
                                        N::Viscosity,    N::MassDensity, N::ThermalConductivity};
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

CPValue* StreamPropertySet::FindValue(const CPString& name) const {
    return m_pProperties ? m_pProperties->FindSubValue(name) : nullptr;
}

bool StreamPropertySet::IsSegmentable(const CPString& name) const {
    const CPValue* v = FindValue(name);
    const CPValue* flag = v ? v->FindSubValue(N::Segmentable) : nullptr;
    return flag && flag->GetValue() != 0.0 && !flag->IsEmpty();
}

CPValue* StreamPropertySet::GetSegmentValues(const CPString& name) const {
    if (name == N::Temperature && m_pTemperaturePoints) return m_pTemperaturePoints;
    if (name == N::HeatCapacityFlowrate && m_pHeatCapacityValues) return m_pHeatCapacityValues;
    CPValue* v = FindValue(name);
    return v ? v->FindSubValue(N::SegmentValues) : nullptr;
}

CPValue* StreamPropertySet::GetEntry(const CPString& name, int index) const {
    if (index < 0) return nullptr;
    CPValue* entries = GetSegmentValues(name);
    return entries ? entries->GetSubValue(static_cast<std::size_t>(index)) : nullptr;
}

int StreamPropertySet::GetValue(const CPString& name, double& out, int index) const {
    if (!GetSegmentValues(name)) return 0;
    const CPValue* entry = GetEntry(name, index);
    if (!entry) {
        out = kEmpty;
        return 0;
    }
    out = entry->GetValue();
    return 1;
}

int StreamPropertySet::GetNumberOfEntries(const CPString& name) const {
    const CPValue* entries = GetSegmentValues(name);
    return entries ? static_cast<int>(entries->GetNumberOfSubValues()) : 0;
}

bool StreamPropertySet::IsPropertiesLocked() const { return !m_pProperties || m_pProperties->GetLockStatus() != 0; }

bool StreamPropertySet::IsLocked(const CPString& name, int index) const {
    const CPValue* v = FindValue(name);
    if (v && v->GetLockStatus() != 0) return true;
    const CPValue* entry = GetEntry(name, index);
    return entry && entry->GetLockStatus() != 0;
}

void StreamPropertySet::RefreshHandles() {
    m_pProperties = m_pRoot ? m_pRoot->FindVariable(N::Properties) : nullptr;
    m_pTemperaturePoints = nullptr;
    m_pHeatCapacityValues = nullptr;
    if (CPValue* v = FindValue(N::Temperature)) m_pTemperaturePoints = v->FindSubValue(N::SegmentValues);
    if (CPValue* v = FindValue(N::HeatCapacityFlowrate)) m_pHeatCapacityValues = v->FindSubValue(N::SegmentValues);
}

void StreamPropertySet::DetermineSegmentCount() {
    if (const CPValue* enthalpy = GetSegmentValues(N::Enthalpy))
        m_nSegments = static_cast<int>(enthalpy->GetNumberOfSubValues());
    else if (m_pTemperaturePoints && m_pTemperaturePoints->GetNumberOfSubValues() > 0)
        m_nSegments = static_cast<int>(m_pTemperaturePoints->GetNumberOfSubValues()) - 1;
    else
        m_nSegments = 0;
}

int StreamPropertySet::CreateValue(const CPString& name, bool segmentable) {
    if (IsPropertiesLocked() || FindValue(name)) return 0;
    CPValue* v = m_pProperties->AddSubValue(name);
    v->AddSubValue(N::Segmentable, segmentable ? 1.0 : 0.0, CPValue::Specified);
    CPValue* entries = v->AddSubValue(N::SegmentValues);
    int count = 1;
    if (segmentable) count = (name == N::Temperature && m_nSegments > 0) ? m_nSegments + 1 : m_nSegments;
    for (int i = 0; i < count; ++i) entries->AddSubValue(CPString());
    if (name == N::Temperature) m_pTemperaturePoints = entries;
    if (name == N::HeatCapacityFlowrate) m_pHeatCapacityValues = entries;
    return 1;
}

bool StreamPropertySet::IsPointInOrder(int index, double value) const {
    if (isEmpty(value)) return true;  // emptying a point never breaks the order
    const int hotCold = m_pOwner ? m_pOwner->GetHotCold() : CPIHeatIntegrationStream::SideUndetermined;
    if (hotCold == CPIHeatIntegrationStream::SideUndetermined) return true;
    if (hotCold != CPIHeatIntegrationStream::SideHot && hotCold != CPIHeatIntegrationStream::SideCold) return false;
    if (!m_pTemperaturePoints) return true;
    const int count = static_cast<int>(m_pTemperaturePoints->GetNumberOfSubValues());
    if (index < 0 || index >= count) return false;

    double previous = kEmpty, next = kEmpty;
    for (int i = index - 1; i >= 0; --i) {
        const CPValue* p = m_pTemperaturePoints->GetSubValue(static_cast<std::size_t>(i));
        if (p->GetStatus() != CPValue::Unset) {
            previous = p->GetValue();
            break;
        }
    }
    for (int i = index + 1; i < count; ++i) {
        const CPValue* p = m_pTemperaturePoints->GetSubValue(static_cast<std::size_t>(i));
        if (p->GetStatus() != CPValue::Unset) {
            next = p->GetValue();
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
    CPValue* entries = GetSegmentValues(name);
    if (!entries || index < 0 || IsLocked(name, index)) return Refused;

    const int count = static_cast<int>(entries->GetNumberOfSubValues());
    bool appended = false;
    if (name == N::Temperature) {
        if (index >= count || !IsPointInOrder(index, value)) return Refused;
    } else if (IsSegmentable(name)) {
        if (index >= m_nSegments || index >= count) return Refused;
    } else {
        if (index > count) return Refused;
        appended = index == count;
    }

    CPValue* entry = appended ? entries->AddSubValue(CPString()) : entries->GetSubValue(static_cast<std::size_t>(index));
    const double oldValue = entry->GetValue();
    const int oldStatus = entry->GetStatus();
    entry->SetValue(value, status);
    if (name == N::Temperature) m_nSegments = count - 1;

    std::vector<CPString> keep;
    if (status == CPValue::Calculated) keep.push_back(name);
    if (Recalculate(keep.empty() ? nullptr : &keep) != 1) {
        if (appended) entry->SetValue(kEmpty, CPValue::Unset);
        else entry->SetValue(oldValue, oldStatus);
        Recalculate(nullptr);
        FillDefaultCoefficients();
        return Refused;
    }
    if (m_bFillingDefaults) return Stored;
    return FillDefaultCoefficients() == 1 ? Stored : StoredWithDefaults;
}

int StreamPropertySet::InsertSegment(int index) {
    if (IsPropertiesLocked() || index < 0 || index > m_nSegments || m_nSegments >= MaxSegments) return 0;
    for (std::size_t k = 0; k < m_pProperties->GetNumberOfSubValues(); ++k) {
        CPValue* v = m_pProperties->GetSubValue(k);
        if (!IsSegmentable(v->GetName())) continue;
        CPValue* entries = v->FindSubValue(N::SegmentValues);
        if (!entries) continue;
        if (v->GetName() == N::Temperature) {
            if (index == 0) {
                // Appending a segment at the end: the points grow to one more than the segments
                // (two for the first segment of a new set).
                while (entries->GetNumberOfSubValues() < static_cast<std::size_t>(m_nSegments) + 2)
                    entries->AddSubValue(CPString());
            } else {
                entries->InsertSubValue(static_cast<std::size_t>(index), CPString());
            }
        } else if (index == 0) {
            entries->AddSubValue(CPString());
        } else {
            entries->InsertSubValue(static_cast<std::size_t>(index - 1), CPString());
        }
    }
    DetermineSegmentCount();
    Recalculate(nullptr);
    return 1;
}

int StreamPropertySet::DeleteSegment(int index) {
    if (IsPropertiesLocked() || index < 1 || index > m_nSegments) return 0;
    for (std::size_t k = 0; k < m_pProperties->GetNumberOfSubValues(); ++k) {
        CPValue* v = m_pProperties->GetSubValue(k);
        if (!IsSegmentable(v->GetName())) continue;
        CPValue* entries = v->FindSubValue(N::SegmentValues);
        if (!entries) continue;
        const int position = v->GetName() == N::Temperature ? index : index - 1;
        entries->RemoveSubValue(static_cast<std::size_t>(position));
    }
    DetermineSegmentCount();
    Recalculate(nullptr);
    return 1;
}

int StreamPropertySet::CopyFrom(const StreamPropertySet& other) {
    if (!other.m_pProperties) return 0;
    auto root = std::make_unique<CPItem>(N::RootNode);
    CPValue* properties = root->InternVariable(N::Properties);
    *properties = *other.m_pProperties;
    m_pRoot = std::move(root);
    RefreshHandles();
    DetermineSegmentCount();
    m_DTminContribution = other.m_DTminContribution;
    m_bCopied = 1;
    return Recalculate(nullptr);
}
