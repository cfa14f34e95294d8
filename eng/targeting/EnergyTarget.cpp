// Life cycle and case-file record of the energy target; the model is built and solved in
// EnergyTargetModel.cpp, the cascade is read in EnergyTargetResults.cpp.
#include "eng/targeting/EnergyTarget.h"

#include "brasko/ILurmetBinaryFile.h"

EnergyTarget::EnergyTarget() = default;

EnergyTarget::EnergyTarget(std::span<StreamSegment* const> segments, double dtMin) { Rebuild(segments, dtMin); }

void EnergyTarget::Rebuild(std::span<StreamSegment* const> segments, double dtMin) {
    m_pinchList.clear();
    m_pockets.clear();
    m_segments.clear();
    m_residuals.clear();
    m_pooledResiduals.clear();
    // Utilities never enter the model: the target is what the process streams leave to them.
    for (StreamSegment* s : segments)
        if (s && s->nKind != 1) m_segments.push_back(s);
    m_dDTmin = dtMin;
    m_dHotUtility = 0.0;
    m_dColdUtility = 0.0;
    m_nProblemType = BothUtilities;
    m_intervals.SetMode(0);
    m_intervals.Build(m_segments);
    Calculate();
}

void EnergyTarget::Calculate() {
    if (m_intervals.GetNumberOfBoundaries() < 1) {
        // No process heat at all: nothing needs a utility.
        m_nProblemType = NoUtility;
        m_pModel.reset();
        return;
    }
    if (!m_pModel) m_pModel = std::make_unique<LPProblem>();
    if (CalculatePooled()) return;
    BuildModel(false);
    Solve();
    ComputeResults();
}

bool EnergyTarget::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteDouble(m_dHotUtility) && file.WriteDouble(m_dColdUtility) &&
              file.WriteDouble(m_dDTmin) && file.WriteInt(m_nProblemType) && file.WriteInt(m_intervals.HasIntervals() ? 1 : 0);
    if (ok && m_intervals.HasIntervals()) ok = m_intervals.Store(file);
    return ok && file.EndRecord(h);
}

bool EnergyTarget::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    double hot = 0.0, cold = 0.0, dtMin = 0.0;
    std::int32_t type = 0, present = 0;
    if (!file.ReadDouble(hot) || !file.ReadDouble(cold) || !file.ReadDouble(dtMin) || !file.ReadInt(type) ||
        !file.ReadInt(present))
        return false;
    TIList intervals(0);
    if (present && !intervals.Recall(file)) return false;
    if (!file.EndRecord(h)) return false;

    m_dHotUtility = hot;
    m_dColdUtility = cold;
    m_dDTmin = dtMin;
    m_nProblemType = type;
    m_intervals = std::move(intervals);
    m_segments.clear();
    m_residuals.clear();
    m_pooledResiduals.clear();
    m_pModel.reset();
    m_pinchList.clear();
    m_pockets.clear();
    if (present) {
        FindPinchPoints();
        FindPockets();
    }
    return true;
}

EnergyTarget* UpdateEnergyTarget(EnergyTarget* record, const SegmentRefs* segments, double dtMin, int changeCode) {
    if (changeCode == EnergyTargetCodes::Free) {
        DeleteEnergyTarget(record);
        return nullptr;
    }
    if (!segments) return record;
    if (changeCode != EnergyTargetCodes::Recalled && changeCode != EnergyTargetCodes::StreamsChanged &&
        changeCode != EnergyTargetCodes::DTminTrial)
        return record;
    if (!record) return new EnergyTarget(*segments, dtMin);
    record->Rebuild(*segments, dtMin);
    return record;
}

void DeleteEnergyTarget(EnergyTarget* record) { delete record; }
