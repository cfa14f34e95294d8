// The case-file records of the utility placement and of its side values.
#include "eng/targeting/UtilityPlacement.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/targeting/AutomaticUtilityPlacement.h"
#include "eng/targeting/CapitalUtilityTradeoff.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"
#include "eng/targeting/UtilityPlacementOnCurve.h"

namespace {

// No placement has this many pinch points; a larger count in a file is damage.
constexpr std::int32_t kMaxPinchEntries = 1000000;

bool StoreSide(ILurmetBinaryFile& file, const TargetValue* side) {
    if (!file.WriteInt(side ? 1 : 0)) return false;
    return !side || side->Store(file);
}

// Reads a presence flag and, when set, a side into `out`.
bool RecallSide(ILurmetBinaryFile& file, std::unique_ptr<TargetValue>& out) {
    std::int32_t present = 0;
    if (!file.ReadInt(present)) return false;
    out.reset();
    if (!present) return true;
    auto side = std::make_unique<TargetValue>();
    if (!side->Recall(file)) return false;
    out = std::move(side);
    return true;
}

}  // namespace

bool TargetValue::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    return file.BeginRecord(h, RecordVersion) && file.WriteDouble(dFirst) && file.WriteDouble(dSecond) &&
           file.WriteInt(nStatus) && file.EndRecord(h);
}

bool TargetValue::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    double first = 0.0, second = 0.0;
    std::int32_t status = 0;
    if (!file.BeginRecord(h) || !file.ReadDouble(first) || !file.ReadDouble(second) || !file.ReadInt(status) ||
        !file.EndRecord(h))
        return false;
    dFirst = first;
    dSecond = second;
    nStatus = status;
    return true;
}

bool UtilityPlacement::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteInt(m_nMethod) && StoreSide(file, m_pSides[Hot].get()) &&
              StoreSide(file, m_pSides[Cold].get());

    ok = ok && file.WriteInt(m_pAutomatic ? 1 : 0);
    if (ok && m_pAutomatic) {
        RecordHandle nested;
        ok = file.BeginRecord(nested, AutomaticRecordVersion) && m_pAutomatic->GetHotSide().Store(file) &&
             m_pAutomatic->GetColdSide().Store(file) && file.EndRecord(nested);
    }
    ok = ok && file.WriteInt(m_pUserLoads ? 1 : 0);
    if (ok && m_pUserLoads) ok = m_pUserLoads->Store(file);
    ok = ok && file.WriteInt(m_pTradeoff ? 1 : 0);
    if (ok && m_pTradeoff) ok = m_pTradeoff->Store(file);

    ok = ok && file.WriteInt(1) && file.WriteInt(static_cast<std::int32_t>(m_pinches.size()));
    for (const PinchRecord& p : m_pinches) {
        if (!ok) break;
        RecordHandle entry;
        ok = file.BeginRecord(entry, PinchEntryVersion) && file.WriteDouble(p.dHotTemperature) &&
             file.WriteDouble(p.dColdTemperature) && file.EndRecord(entry);
    }
    return ok && file.EndRecord(h);
}

bool UtilityPlacement::Recall(ILurmetBinaryFile& file, const SegmentRefs* segments,
                              const UtilityPlacementInputs* inputs) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);

    // Everything is read aside first: a record that fails to read leaves the placement as it was.
    std::int32_t method = 0, present = 0;
    std::unique_ptr<TargetValue> sides[2];
    if (!file.ReadInt(method) || !RecallSide(file, sides[Hot]) || !RecallSide(file, sides[Cold])) return false;

    std::unique_ptr<UtilityPlacementLP> automatic;
    if (!file.ReadInt(present)) return false;
    if (present) {
        automatic = std::make_unique<UtilityPlacementLP>();
        RecordHandle nested;
        if (!file.BeginRecord(nested) || !automatic->HotSide().Recall(file) || !automatic->ColdSide().Recall(file) ||
            !file.EndRecord(nested))
            return false;
        if (version < 3 && segments) {
            ResetUtilityPlacementOfSegments(*segments);
            automatic->Calculate(*segments);
        }
    }

    std::unique_ptr<UserSuppliedUtilityLoad> userLoads;
    if (!file.ReadInt(present)) return false;
    if (present) {
        userLoads = std::make_unique<UserSuppliedUtilityLoad>();
        if (!userLoads->Recall(file)) return false;
    }

    std::unique_ptr<MUCapitalUtilityTradeoff> tradeoff;
    if (!file.ReadInt(present)) return false;
    if (present) {
        CapitalUtilityTradeoffInputs over;
        if (inputs) {
            over.streams = inputs->streams;
            over.economicData = inputs->economicData;
            over.economicInfo = inputs->economicInfo;
            over.dtMin = inputs->dtMin;
            over.minimumFFactor = inputs->minimumFFactor;
            over.countercurrentCapital = inputs->countercurrentCapital;
        }
        const SegmentRefs* tradeoffSegments = inputs && inputs->segments ? inputs->segments : segments;
        if (tradeoffSegments) over.segments = *tradeoffSegments;
        tradeoff = MUCapitalUtilityTradeoff::ForRecall(over);
        if (!tradeoff->Recall(file)) return false;
    }

    std::vector<PinchRecord> pinches;
    if (version >= 2) {
        std::int32_t count = 0;
        if (!file.ReadInt(present)) return false;
        if (present) {
            if (!file.ReadItemCount(count) || count > kMaxPinchEntries) return false;
            for (std::int32_t i = 0; i < count; ++i) {
                RecordHandle entry;
                PinchRecord p;
                if (!file.BeginRecord(entry) || !file.ReadDouble(p.dHotTemperature) ||
                    !file.ReadDouble(p.dColdTemperature) || !file.EndRecord(entry))
                    return false;
                pinches.push_back(std::move(p));
            }
        }
    }
    if (!file.EndRecord(h)) return false;

    m_nMethod = method;
    m_pSides[Hot] = std::move(sides[Hot]);
    m_pSides[Cold] = std::move(sides[Cold]);
    m_pAutomatic = std::move(automatic);
    m_pUserLoads = std::move(userLoads);
    m_pTradeoff.reset(tradeoff.release());
    m_pinches = std::move(pinches);
    return true;
}

bool StoreUtilityPlacement(const UtilityPlacement& record, ILurmetBinaryFile& file) { return record.Store(file); }

bool RecallUtilityPlacement(UtilityPlacement& record, ILurmetBinaryFile& file, const SegmentRefs* segments,
                            const UtilityPlacementInputs* inputs) {
    return record.Recall(file, segments, inputs);
}
