#include "brasko/EconomicData.h"

#include "brasko/ILurmetBinaryFile.h"

#include <cmath>

namespace {
constexpr std::uint32_t Bit(int type) { return std::uint32_t{1} << type; }
constexpr std::uint32_t kSetItems =
    Bit(EDT_FixedCostPerUnit) | Bit(EDT_AreaCostCoefficient) | Bit(EDT_AreaExponent) | Bit(EDT_CostLaw);
constexpr std::uint32_t kInfoItems = Bit(EDT_RateOfReturn) | Bit(EDT_PlantLife) | Bit(EDT_OperatingHours);
// The largest constant or coefficient of a cost law the editors of the economics take.
constexpr double kMaxLawMagnitude = 1e12;
}  // namespace

bool EconomicValueSet::Holds(int type) const {
    return type >= 0 && type < kNumberOfEconomicDataTypes && (m_held & Bit(type)) != 0;
}

double EconomicValueSet::Value(int type) const { return Holds(type) ? m_values[static_cast<std::size_t>(type)] : 0.0; }

hresult EconomicValueSet::SetValue(int type, double value) {
    if (!Holds(type) || m_locked || !std::isfinite(value)) return 0;
    Put(type, value, StatusSpecified);
    return 1;
}

char EconomicValueSet::GetVariableStatus(int type) const {
    if (!Holds(type)) return StatusUnset;
    return m_locked ? StatusLocked : m_status[static_cast<std::size_t>(type)];
}

void EconomicValueSet::Put(int type, double value, char status) {
    m_values[static_cast<std::size_t>(type)] = value;
    m_status[static_cast<std::size_t>(type)] = status;
}

bool EconomicValueSet::StoreValues(ILurmetBinaryFile& file) const {
    bool ok = true;
    for (int type = 0; type < kNumberOfEconomicDataTypes && ok; ++type) {
        if (!Holds(type)) continue;
        const auto i = static_cast<std::size_t>(type);
        ok = file.WriteDouble(m_values[i]) && file.WriteInt(m_status[i]);
    }
    return ok;
}

bool EconomicValueSet::RecallValues(ILurmetBinaryFile& file, EconomicValueSet& into) const {
    for (int type = 0; type < kNumberOfEconomicDataTypes; ++type) {
        if (!Holds(type)) continue;
        double value = 0.0;
        std::int32_t status = 0;
        if (!file.ReadDouble(value) || !file.ReadInt(status)) return false;
        if (status != StatusUnset && status != StatusSpecified) return false;
        into.Put(type, value, static_cast<char>(status));
    }
    return true;
}

bool EconomicValueSet::HoldsEditorRanges() const {
    for (int type = 0; type < kNumberOfEconomicDataTypes; ++type)
        if (Holds(type) && !InEditorRange(type, m_values[static_cast<std::size_t>(type)])) return false;
    return true;
}

bool EconomicValueSet::InEditorRange(int type, double value) {
    if (!std::isfinite(value)) return false;
    switch (type) {
        case EDT_FixedCostPerUnit:
        case EDT_AreaCostCoefficient: return std::fabs(value) <= kMaxLawMagnitude;
        case EDT_AreaExponent: return value >= 0.0 && value <= MaxAreaExponent;
        case EDT_RateOfReturn: return value >= 0.0 && value <= 1.0;
        case EDT_PlantLife: return value >= 0.0;
        case EDT_CostLaw: return value == 0.0 || value == 1.0;
        case EDT_OperatingHours: return value >= 0.0 && value <= MaxOperatingHours;
        default: return true;
    }
}

EconomicData::EconomicData() : EconomicValueSet(kSetItems) {
    Put(EDT_FixedCostPerUnit, kDefaultFixedCost, StatusSpecified);
    Put(EDT_AreaCostCoefficient, kDefaultAreaCost, StatusSpecified);
    Put(EDT_AreaExponent, kDefaultAreaExponent, StatusSpecified);
    Put(EDT_CostLaw, kDefaultCostLaw, StatusSpecified);
}

EconomicData::EconomicData(const CPString& name) : EconomicData() { m_name = name; }

bool EconomicData::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, RecordVersion) && file.WriteCPString(m_name) && StoreValues(file) &&
           file.EndRecord(record);
}

bool EconomicData::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    EconomicData read;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) < 1 || !file.ReadCPString(read.m_name) ||
        !RecallValues(file, read) || !file.EndRecord(record))
        return false;
    const bool locked = IsLocked();
    *this = read;
    if (locked) Lock();
    return true;
}

EconomicInfo::EconomicInfo() : EconomicValueSet(kInfoItems) {}

bool EconomicInfo::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    return file.BeginRecord(record, RecordVersion) && StoreValues(file) && file.EndRecord(record);
}

bool EconomicInfo::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    EconomicInfo read;
    if (!file.BeginRecord(record) || file.GetRecordVersion(record) < 1 || !RecallValues(file, read) ||
        !file.EndRecord(record))
        return false;
    const bool locked = IsLocked();
    *this = read;
    if (locked) Lock();
    return true;
}
