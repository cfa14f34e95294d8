// The target and cost records inside the scenario record (items 11 to 17 and 21). Each is a flag
// and, when set, the record's own nested record. A record that fails to read is freed and the
// scenario keeps none.
#include "eng/model/ScenarioRecord.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/Scenario.h"
#include "eng/model/SuperTargetRange.h"
#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/Cost.h"
#include "eng/targeting/CostTargets.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/UnitsTarget.h"
#include "eng/targeting/UtilityPlacement.h"

#include <memory>
#include <vector>

namespace {

template <class Record, class Write>
bool storeOptional(ILurmetBinaryFile& file, const Record* record, Write write) {
    return WriteRecordFlag(file, record != nullptr) && (!record || write(*record));
}

// Reads an optional record into `member`: `make` builds it empty, `read` fills it, `free` frees
// it (what the member held before as well).
template <class Record, class Make, class Read, class Free>
bool recallOptional(ILurmetBinaryFile& file, Record*& member, Make make, Read read, Free free) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    if (!present) return true;
    Record* record = make();
    if (!read(*record)) {
        free(record);
        return false;
    }
    if (member) free(member);
    member = record;
    return true;
}

SegmentRefs poolOf(const CPTypedList<StreamSegment>* pool) {
    SegmentRefs segments;
    if (pool)
        for (StreamSegment* segment : *pool) segments.push_back(segment);
    return segments;
}

}  // namespace

bool ScenarioRecord::StoreTargets(CPIScenario& s, ILurmetBinaryFile& file) {
    // A scenario without streams keeps no placement, only the method chosen for its first one: it
    // is filed as a placement of that method with nothing placed, which is what it will start as.
    std::unique_ptr<UtilityPlacement> chosen;
    const UtilityPlacement* placement = s.m_pUtilityPlacement;
    if (!placement && s.m_nUtilityAssignmentMethod != UtilityPlacement::Automatic) {
        chosen = std::make_unique<UtilityPlacement>(&s, s.m_nUtilityAssignmentMethod);
        placement = chosen.get();
    }
    return storeOptional(file, s.m_pSuperTargets.get(), [&](const SuperTargetRange& r) { return r.Store(file); }) &&
           storeOptional(file, s.m_pUnitsTarget, [&](const UnitsTargetData& r) { return r.Store(file); }) &&
           storeOptional(file, s.m_pCompositeCurves,
                         [&](const CompositeCurves& r) { return StoreCompositeCurves(r, file); }) &&
           storeOptional(file, s.m_pAreaTarget, [&](const AreaTarget& r) { return StoreAreaTarget(r, file); }) &&
           storeOptional(file, s.m_pCapitalCost, [&](const CapitalCostTarget& r) { return r.Store(file); }) &&
           storeOptional(file, s.m_pOperatingCost, [&](const CostTargetValue& r) { return StoreCostTarget(r, file); }) &&
           storeOptional(file, s.m_pTotalAnnualCost,
                         [&](const CostTargetValue& r) { return StoreCostTarget(r, file); }) &&
           storeOptional(file, placement, [&](const UtilityPlacement& r) { return StoreUtilityPlacement(r, file); });
}

bool ScenarioRecord::RecallTargets(CPIScenario& s, ILurmetBinaryFile& file) {
    SuperTargetRange* range = s.m_pSuperTargets.release();
    const bool rangeRead = recallOptional(
        file, range, [] { return new SuperTargetRange(); }, [&](SuperTargetRange& r) { return r.Recall(file); },
        [](SuperTargetRange* r) { delete r; });
    s.m_pSuperTargets.reset(range);
    if (!rangeRead) return false;

    // The units target counts over the scenario's streams, in dictionary order.
    UnitsTargetData::StreamRefs streams;
    if (s.m_pStreams)
        for (CPIHeatIntegrationStream* stream : *s.m_pStreams) streams.push_back(stream);
    const SegmentRefs segments = poolOf(s.m_pSegmentPool.get());
    auto deleteCost = [](CostTargetValue* r) { delete r; };
    const bool read = recallOptional(
               file, s.m_pUnitsTarget,
               [&] {
                   auto* r = new UnitsTargetData();
                   r->SetStreams(streams);
                   return r;
               },
               [&](UnitsTargetData& r) { return r.Recall(file); }, DeleteUnitsTarget) &&
           recallOptional(
               file, s.m_pCompositeCurves, [] { return new CompositeCurves(); },
               [&](CompositeCurves& r) { return RecallCompositeCurves(r, file); }, DeleteCompositeCurves) &&
           // The Bath result's intervals keep no segments in the file; the recalculation that
           // ends the read finds them again.
           recallOptional(
               file, s.m_pAreaTarget, [] { return new AreaTarget(); },
               [&](AreaTarget& r) { return RecallAreaTarget(r, file); }, DeleteAreaTarget) &&
           recallOptional(
               file, s.m_pCapitalCost, [] { return new CapitalCostTarget(); },
               // The kind names the cost law the capital is priced with; any other number is
               // damage (the targets that end the read would price the capital with none).
               [&](CapitalCostTarget& r) {
                   return r.Recall(file) && r.nFlag >= CK_CapitalCost11Uniform && r.nFlag <= CK_CapitalCost12NonUniform;
               },
               [](CapitalCostTarget* r) { delete r; }) &&
           recallOptional(
               file, s.m_pOperatingCost, [] { return new CostTargetValue(); },
               [&](CostTargetValue& r) { return RecallCostTarget(r, file); }, deleteCost) &&
           recallOptional(
               file, s.m_pTotalAnnualCost, [] { return new CostTargetValue(); },
               [&](CostTargetValue& r) { return RecallCostTarget(r, file); }, deleteCost) &&
           recallOptional(
               file, s.m_pUtilityPlacement, [&] { return new UtilityPlacement(&s); },
               [&](UtilityPlacement& r) {
                   return RecallUtilityPlacement(r, file, s.m_pSegmentPool ? &segments : nullptr);
               },
               DeleteUtilityPlacement);
    // The method is the scenario's own setting as well: it outlives a placement freed with the
    // streams, so that one made again later is made by the method chosen.
    if (read && s.m_pUtilityPlacement) s.m_nUtilityAssignmentMethod = s.m_pUtilityPlacement->GetMethod();
    return read;
}

bool ScenarioRecord::StoreEnergyTarget(CPIScenario& s, ILurmetBinaryFile& file) {
    return storeOptional(file, s.m_pEnergyTarget, [&](const EnergyTarget& r) { return r.Store(file); });
}

bool ScenarioRecord::RecallEnergyTarget(CPIScenario& s, ILurmetBinaryFile& file) {
    if (!recallOptional(
            file, s.m_pEnergyTarget, [] { return new EnergyTarget(); }, [&](EnergyTarget& r) { return r.Recall(file); },
            DeleteEnergyTarget))
        return false;
    // The utility curve is drawn against the grand composite curve just read.
    if (s.m_pCompositeCurves && s.m_pSegmentPool)
        ReapplyCurveShift(s.m_pCompositeCurves, poolOf(s.m_pSegmentPool.get()), s.m_pEnergyTarget);
    return true;
}
