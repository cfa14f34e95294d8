// The segment type itself lives in eng/core, below the stream interface and the streams, so that
// targeting reads it without the model; its definitions stay beside the stream because taking a
// contribution asks the owning stream whether it is pushing its values.
#include "eng/core/StreamSegment.h"

#include "brasko/ILurmetBinaryFile.h"
#include "dunmor/Units.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/core/SharedCallbacks.h"

#include <cstdint>

bool StreamSegmentLink::Store(ILurmetBinaryFile& file) const {
    return file.WriteDouble(dSpecificHeat) && file.WriteDouble(dShiftedFarEndTemperature) &&
           file.WriteDouble(dFarEndTemperature) && file.WriteDouble(dUtilityFactor) && file.WriteInt(nConnected) &&
           file.WriteInt(nLoaded) && file.WriteInt(nSelected) && file.WriteInt(nCrossPinch);
}

bool StreamSegmentLink::Recall(ILurmetBinaryFile& file) {
    return file.ReadDouble(dSpecificHeat) && file.ReadDouble(dShiftedFarEndTemperature) &&
           file.ReadDouble(dFarEndTemperature) && file.ReadDouble(dUtilityFactor) && file.ReadInt(nConnected) &&
           file.ReadInt(nLoaded) && file.ReadInt(nSelected) && file.ReadInt(nCrossPinch);
}

namespace {
// Reads a stored integer into a byte field; false, with the field untouched, for a number no
// byte holds (a damaged record).
bool ReadByteInt(ILurmetBinaryFile& file, std::int8_t& field) {
    std::int32_t value = 0;
    if (!file.ReadInt(value) || value < INT8_MIN || value > INT8_MAX) return false;
    field = static_cast<std::int8_t>(value);
    return true;
}
}  // namespace

StreamSegment::StreamSegment()
    : dFilmCoefficient(Units::EmptyValue), dEndToleranceLoad{InitialToleranceLoad, InitialToleranceLoad}, nKind(5) {}

const CPString& StreamSegment::StreamName() const {
    if (const CPString* own = strStreamName.Get()) return *own;
    if (pStream) return pStream->GetName();
    static const CPString none;
    return none;
}

StreamSegment::StreamSegment(const StreamSegment& other)
    : dInletTemperature(other.dInletTemperature),
      dOutletTemperature(other.dOutletTemperature),
      dHeatCapacityFlowrate(other.dHeatCapacityFlowrate),
      dFilmCoefficient(other.dFilmCoefficient),
      dShiftedInletTemperature(other.dShiftedInletTemperature),
      dShiftedOutletTemperature(other.dShiftedOutletTemperature),
      dLoad(other.dLoad),
      dSummedLoad(other.dSummedLoad),
      dEndToleranceLoad{other.dEndToleranceLoad[0], other.dEndToleranceLoad[1]},
      DTminContribution(other.DTminContribution),
      nIntervalCount(other.nIntervalCount),
      nFirstInterval(other.nFirstInterval),
      nLastInterval(other.nLastInterval),
      nIndex(other.nIndex),
      nHotCold(other.nHotCold),
      nKind(other.nKind),
      pLink(other.pLink ? std::make_unique<StreamSegmentLink>(*other.pLink) : nullptr),
      pStream(other.pStream),
      strStreamName(other.strStreamName) {}

void StreamSegment::TakeDTminContribution(const ValueAndFlag& contribution) {
    if (pStream && !pStream->IsUpdating()) return;
    DTminContribution = contribution;
}

void StreamSegment::ShiftTemperatures(double dTmin) {
    const double shift = DTminContribution.nFlag == ValueAndFlag::ScopeLocal ? DTminContribution.dValue : 0.5 * dTmin;
    double sign = 0.0;
    if (nHotCold == 0) sign = -1.0;
    else if (nHotCold == 1) sign = 1.0;
    dShiftedInletTemperature = dInletTemperature + sign * shift;
    dShiftedOutletTemperature = dOutletTemperature + sign * shift;
    if (pLink) pLink->dShiftedFarEndTemperature = dShiftedOutletTemperature;
}

// Layout: the actual pair, the flow rate, the film coefficient, the tolerance load of end +1,
// the shifted pair; the interval bookkeeping; the loads; side and kind; the contribution; the
// link block behind its presence flag.
bool StreamSegment::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, RecordVersion) && file.WriteDouble(dInletTemperature) &&
              file.WriteDouble(dOutletTemperature) && file.WriteDouble(dHeatCapacityFlowrate) &&
              file.WriteDouble(dFilmCoefficient) && file.WriteDouble(dEndToleranceLoad[0]) &&
              file.WriteDouble(dShiftedInletTemperature) && file.WriteDouble(dShiftedOutletTemperature) &&
              file.WriteInt(nIntervalCount) && file.WriteInt(nFirstInterval) && file.WriteInt(nLastInterval) &&
              file.WriteInt(nIndex) && file.WriteDouble(dLoad) && file.WriteDouble(dSummedLoad) &&
              file.WriteInt(nHotCold) && file.WriteInt(nKind) && DTminContribution.Store(file) &&
              file.WriteInt(pLink ? 1 : 0);
    if (ok && pLink) ok = pLink->Store(file);
    return ok && file.EndRecord(h);
}

bool StreamSegment::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    bool ok = file.ReadDouble(dInletTemperature) && file.ReadDouble(dOutletTemperature) &&
              file.ReadDouble(dHeatCapacityFlowrate) && file.ReadDouble(dFilmCoefficient) &&
              file.ReadDouble(dEndToleranceLoad[0]) && file.ReadDouble(dShiftedInletTemperature) &&
              file.ReadDouble(dShiftedOutletTemperature) && file.ReadInt(nIntervalCount) &&
              file.ReadInt(nFirstInterval) && file.ReadInt(nLastInterval) && file.ReadInt(nIndex) &&
              file.ReadDouble(dLoad) && file.ReadDouble(dSummedLoad) && ReadByteInt(file, nHotCold) &&
              ReadByteInt(file, nKind) && DTminContribution.Recall(file);
    std::int32_t hasLink = 0;
    ok = ok && file.ReadInt(hasLink);
    if (ok && hasLink) {
        auto link = std::make_unique<StreamSegmentLink>();
        // A link block that fails to read is dropped; the segment stays without one.
        if (link->Recall(file)) pLink = std::move(link);
        else ok = false;
    }
    return ok && file.EndRecord(h);
}

void StoreEachSegment(void* item, void* context) {
    auto* ctx = static_cast<StoreContext*>(context);
    if (!ctx || !ctx->ok || !ctx->file) return;
    const auto* segment = static_cast<const StreamSegment*>(item);
    ctx->ok = segment && segment->Store(*ctx->file);
}
