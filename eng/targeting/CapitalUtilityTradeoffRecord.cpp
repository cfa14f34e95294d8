// The case-file record of the capital/utility trade-off.
#include "eng/targeting/CapitalUtilityTradeoff.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/TargetCurve.h"
#include "eng/targeting/UnitsTarget.h"

namespace {

// No side has this many utilities, nor a placement this many pinch points: a larger count in a
// file is damage.
constexpr std::int32_t kMaxStoredEntries = 1000000;

// Presence flag, then the object's own record.
template <class T>
bool StoreOptional(ILurmetBinaryFile& file, const T* object) {
    if (!file.WriteInt(object ? 1 : 0)) return false;
    return !object || object->Store(file);
}

template <class T>
bool RecallOptional(ILurmetBinaryFile& file, std::unique_ptr<T>& out) {
    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    out.reset();
    if (!present) return true;
    auto object = std::make_unique<T>();
    if (!object->Recall(file)) return false;
    out = std::move(object);
    return true;
}

bool StoreLoads(ILurmetBinaryFile& file, const std::vector<double>& loads) {
    bool ok = file.WriteInt(1) && file.WriteInt(static_cast<std::int32_t>(loads.size()));
    for (double load : loads) {
        if (!ok) break;
        RecordHandle h;
        ok = file.BeginRecord(h, MUCapitalUtilityTradeoff::ItemRecordVersion) && file.WriteDouble(load) &&
             file.EndRecord(h);
    }
    return ok;
}

// The list grows only with values really read, so a damaged count costs no memory.
bool RecallLoads(ILurmetBinaryFile& file, std::vector<double>& loads) {
    std::int32_t present = 0, count = 0;
    if (!file.ReadInt(present)) return false;
    if (!present) return true;
    if (!file.ReadItemCount(count) || count > kMaxStoredEntries) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        RecordHandle h;
        double load = 0.0;
        if (!file.BeginRecord(h) || !file.ReadDouble(load) || !file.EndRecord(h)) return false;
        loads.push_back(load);
    }
    return true;
}

bool StorePinches(ILurmetBinaryFile& file, const std::vector<PinchListEntry>& pinches) {
    bool ok = file.WriteInt(1) && file.WriteInt(static_cast<std::int32_t>(pinches.size()));
    for (const PinchListEntry& p : pinches) {
        if (!ok) break;
        RecordHandle h;
        ok = file.BeginRecord(h, MUCapitalUtilityTradeoff::ItemRecordVersion) && file.WriteDouble(p.dHotTemperature) &&
             file.WriteDouble(p.dColdTemperature) && file.WriteDouble(p.dThird) && file.EndRecord(h);
    }
    return ok;
}

bool RecallPinches(ILurmetBinaryFile& file, std::vector<PinchListEntry>& pinches) {
    std::int32_t present = 0, count = 0;
    if (!file.ReadInt(present)) return false;
    if (!present) return true;
    if (!file.ReadItemCount(count) || count > kMaxStoredEntries) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        RecordHandle h;
        PinchListEntry p;
        if (!file.BeginRecord(h) || !file.ReadDouble(p.dHotTemperature) || !file.ReadDouble(p.dColdTemperature) ||
            !file.ReadDouble(p.dThird) || !file.EndRecord(h))
            return false;
        pinches.push_back(p);
    }
    return true;
}

}  // namespace

bool MUCapitalUtilityTradeoff::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteDouble(m_dCapitalCost) &&
              file.WriteDouble(m_dOperatingCost) && file.WriteDouble(m_dTotalAnnualCost) &&
              file.WriteDouble(m_dWorkingDTmin) && file.WriteDouble(m_dHotTarget) && file.WriteDouble(m_dColdTarget) &&
              file.WriteDouble(m_dDTmin) && file.WriteInt(m_bOk ? 1 : 0) && m_status.Store(file);
    ok = ok && StoreOptional(file, m_pCurve.get()) && StoreOptional(file, m_pUnitsTarget.get()) &&
         StoreOptional(file, m_pAreaTarget.get()) && StoreOptional(file, m_pEnergyTarget.get());
    ok = ok && StoreLoads(file, m_hotLoads) && StoreLoads(file, m_coldLoads) && StorePinches(file, m_pinches);
    return ok && file.WriteDouble(m_dMinimumFFactor) && file.EndRecord(h);
}

bool MUCapitalUtilityTradeoff::Recall(ILurmetBinaryFile& file) {
    // Everything is read aside first: a record that fails to read leaves the object as it was.
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    double values[7] = {};
    for (double& v : values)
        if (!file.ReadDouble(v)) return false;
    std::int32_t ok = 0;
    TargetValue status;
    if (!file.ReadInt(ok) || !status.Recall(file)) return false;

    std::unique_ptr<TargetCurve> curve;
    std::unique_ptr<UnitsTargetData> units;
    std::unique_ptr<BathAreaTarget> area;
    std::unique_ptr<EnergyTarget> energy;
    if (!RecallOptional(file, curve) || !RecallOptional(file, units) || !RecallOptional(file, area) ||
        !RecallOptional(file, energy))
        return false;
    std::vector<double> hotLoads, coldLoads;
    std::vector<PinchListEntry> pinches;
    if (!RecallLoads(file, hotLoads) || !RecallLoads(file, coldLoads) || !RecallPinches(file, pinches)) return false;
    double fFactor = m_dMinimumFFactor;
    if (version >= 2 && !file.ReadDouble(fFactor)) return false;
    if (!file.EndRecord(h)) return false;

    m_dCapitalCost = values[0];
    m_dOperatingCost = values[1];
    m_dTotalAnnualCost = values[2];
    m_dWorkingDTmin = values[3];
    m_dHotTarget = values[4];
    m_dColdTarget = values[5];
    m_dDTmin = values[6];
    m_bOk = ok != 0;
    m_status = status;
    m_pCurve = std::move(curve);
    m_pUnitsTarget = std::move(units);
    m_pAreaTarget = std::move(area);
    m_pEnergyTarget = std::move(energy);
    m_hotLoads = std::move(hotLoads);
    m_coldLoads = std::move(coldLoads);
    m_pinches = std::move(pinches);
    m_dMinimumFFactor = fFactor;
    return true;
}
