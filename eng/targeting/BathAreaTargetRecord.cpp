// The case-file record of the Bath area target. The merged points keep their twelve values; the
// segment lists are not stored (a recalled target answers its values until it is recomputed).
#include "brasko/ILurmetBinaryFile.h"
#include "eng/targeting/BathAreaTarget.h"

#include <algorithm>
#include <cmath>

namespace {

bool StoreDoubles(ILurmetBinaryFile& file, const std::vector<double>* list) {
    if (!file.WriteInt(list ? 1 : 0)) return false;
    if (!list) return true;
    bool ok = file.WriteInt(static_cast<std::int32_t>(list->size()));
    for (double v : *list) ok = ok && file.WriteDouble(v);
    return ok;
}

// Items are appended as they are read: the count is never trusted for allocation, and a short
// record fails at its first missing item.
bool RecallDoubles(ILurmetBinaryFile& file, std::unique_ptr<std::vector<double>>& out) {
    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    if (!present) {
        out.reset();
        return true;
    }
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    auto list = std::make_unique<std::vector<double>>();
    for (std::int32_t i = 0; i < count; ++i) {
        double v = 0.0;
        if (!file.ReadDouble(v)) return false;
        list->push_back(v);
    }
    out = std::move(list);
    return true;
}

}  // namespace

bool BathInterval::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion);
    for (int i = 0; ok && i < StoredValues; ++i) ok = file.WriteDouble(Value(i));
    return ok && file.EndRecord(h);
}

bool BathInterval::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    double v[StoredValues];
    for (double& x : v)
        if (!file.ReadDouble(x)) return false;
    if (!file.EndRecord(h)) return false;
    dEnthalpy = v[0];
    dHotTemperature = v[1];
    dColdTemperature = v[2];
    dDifference = v[3];
    dLMTD = v[4];
    dLoadTerm = v[5];
    dCountercurrentArea = v[6];
    dShellAndTubeArea = v[7];
    dShells = v[8];
    dFFactor = v[9];
    dHotSum = v[10];
    dColdSum = v[11];
    return true;
}

// Version 2: both areas and DTmin; the shells; the region shell-and-tube areas, region
// countercurrent areas, region shells and merged points, each behind a presence flag and a count;
// the minimum F-factor.
bool BathAreaTarget::Store(ILurmetBinaryFile& file) const {
    Points();
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteDouble(m_dCountercurrentArea) &&
              file.WriteDouble(m_dShellAndTubeArea) && file.WriteDouble(m_dDTmin) && file.WriteInt(m_nShells) &&
              StoreDoubles(file, m_pRegionShellAndTube.get()) && StoreDoubles(file, m_pRegionCountercurrent.get()) &&
              StoreDoubles(file, m_pRegionShells.get()) && file.WriteInt(m_pIntervals ? 1 : 0);
    if (ok && m_pIntervals) {
        ok = file.WriteInt(static_cast<std::int32_t>(m_pIntervals->size()));
        for (const BathInterval& p : *m_pIntervals) ok = ok && p.Store(file);
    }
    return ok && file.WriteDouble(m_dMinimumFFactor) && file.EndRecord(h);
}

// Reads into fresh values and takes them only when the whole record was read: a target whose
// record fails keeps what it held (its owner frees it).
bool BathAreaTarget::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    // Read intervals hold no segments (points let go are made first, while their spans are here).
    DropPointSource();
    m_spans.clear();
    double cc = 0.0, st = 0.0, dtMin = 0.0;
    std::int32_t shells = 0;
    if (!file.ReadDouble(cc) || !file.ReadDouble(st) || !file.ReadDouble(dtMin) || !file.ReadInt(shells)) return false;
    std::unique_ptr<std::vector<double>> regionShellAndTube, regionCountercurrent, regionShells;
    if (!RecallDoubles(file, regionShellAndTube) || !RecallDoubles(file, regionCountercurrent) ||
        !RecallDoubles(file, regionShells))
        return false;

    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    std::unique_ptr<std::vector<BathInterval>> intervals;
    if (present) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count)) return false;
        intervals = std::make_unique<std::vector<BathInterval>>();
        for (std::int32_t i = 0; i < count; ++i) {
            BathInterval p;
            if (!p.Recall(file)) return false;
            intervals->push_back(std::move(p));
        }
    }
    double minimumFFactor = m_dMinimumFFactor;
    if (version >= 2 && !file.ReadDouble(minimumFFactor)) return false;
    if (!file.EndRecord(h)) return false;

    m_dCountercurrentArea = cc;
    m_dShellAndTubeArea = st;
    m_dDTmin = dtMin;
    m_nShells = shells;
    m_pRegionShellAndTube = std::move(regionShellAndTube);
    m_pRegionCountercurrent = std::move(regionCountercurrent);
    m_pRegionShells = std::move(regionShells);
    m_pSource.reset();
    m_bPointsLetGo = false;
    m_pIntervals = std::move(intervals);
    m_dMinimumFFactor = minimumFFactor;
    // The record holds no state: merged points mean a computed target, one whose interval needs
    // unbounded area a target without a result.
    m_nState = NotComputed;
    if (m_pIntervals && !m_pIntervals->empty()) {
        const bool unbounded = std::any_of(m_pIntervals->begin(), m_pIntervals->end(), [](const BathInterval& p) {
            return !(p.dCountercurrentArea < Unbounded);
        });
        m_nState = unbounded ? NoDrivingForce : Computed;
    }
    return true;
}
