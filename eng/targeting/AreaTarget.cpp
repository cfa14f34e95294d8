// The area-target record: the method switch, the builder over a scenario, the record in the case
// file and what the scenario's area queries answer.
#include "eng/targeting/AreaTarget.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationScenarioForTargeting.h"
#include "eng/targeting/CompositeCurves.h"
#include "lumeth/Messages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEmpty = -32767.0;

// Selectors of the area queries and the interval value each reads (-1: none).
int IntervalValueOfSelector(int selector) {
    switch (selector) {
        case 0: case 1: case 2: case 3: return selector;
        case 4: return 10;
        case 5: return 11;
        case 6: return 5;
        case 7: return 4;
        case 11: return 8;
        case 13: return 9;
        case 14: return 6;
        case 15: return 7;
        default: return -1;
    }
}

SegmentRefs PoolOf(const IHeatIntegrationScenarioForTargeting& scenario) {
    SegmentRefs segments;
    if (const CPTypedList<StreamSegment>* pool = scenario.GetSegmentPool()) {
        segments.reserve(pool->Length());
        for (StreamSegment* s : *pool) segments.push_back(s);
    }
    return segments;
}

bool UsesAreaLP(const AreaTarget& record, int forbiddenMatches) {
    return forbiddenMatches > 0 || record.nRequestedMethod == AreaTarget::LinearProgramming;
}

}  // namespace

AreaTarget::AreaTarget() = default;
AreaTarget::~AreaTarget() = default;

// A record with forbidden matches uses the area LP, any other the Bath formula. The result of the
// method that was not in use at the last update is freed first, so a switch frees the old
// method's result one update later. An LP result computed with another option than the record's
// takes the record's and is computed again.
AreaTarget* UpdateAreaTarget(AreaTarget* record, const AreaTargetInputs& in, int code) {
    if (code == AreaTargetCodes::Free) {
        DeleteAreaTarget(record);
        return nullptr;
    }
    if (!record) record = new AreaTarget();
    else if (record->nMethod == AreaTarget::LinearProgramming) record->pBath.reset();
    else if (record->nMethod == AreaTarget::Bath) record->pLP.reset();

    if (UsesAreaLP(*record, in.forbiddenMatches)) {
        record->nMethod = AreaTarget::LinearProgramming;
        record->pLP.reset(AreaLP::Update(record->pLP.release(), in, code, record->nOption));
    } else {
        record->nMethod = AreaTarget::Bath;
        record->pBath.reset(BathAreaTarget::Update(record->pBath.release(), in, code));
    }

    if (record->pLP && record->pLP->GetOption() != record->nOption) {
        record->pLP->SetOption(record->nOption);
        if (record->pLP->HasModel() && in.placementValid && in.segments) {
            record->pLP->SetProgress(in.progress);
            record->pLP->Rebuild(*in.segments, in.dtMin, in.minimumFFactor, in.matches);
            record->pLP->SetProgress(nullptr);
        }
    }
    return record;
}

bool AreaTargetTouchesSegments(const AreaTarget* record, int forbiddenMatches) {
    if (!record) return forbiddenMatches > 0;
    return UsesAreaLP(*record, forbiddenMatches) || record->pLP != nullptr;
}

AreaTargetInputs AreaTargetInputsOf(IHeatIntegrationScenarioForTargeting& scenario, const SegmentRefs* segments) {
    AreaTargetInputs in;
    in.segments = segments;
    in.matches = scenario.GetMatchwiseStreamData();
    if (const CompositeCurves* curves = scenario.GetCompositeCurvesRecord())
        in.balancedCurves = curves->GetCurve(CompositeCurves::BalancedSlot);
    for (int i = 0; i < scenario.GetNumberOfPinchPoints(); ++i)
        in.pinchPoints.push_back(PinchListEntry{scenario.GetPinchTemperature(0, i), scenario.GetPinchTemperature(1, i), 0.0});
    in.dtMin = scenario.GetDTmin();
    in.minimumFFactor = scenario.GetMinimumFFactor();
    in.placementValid = scenario.IsUtilityPlacementValid();
    in.utilityAssignmentMethod = scenario.GetUtilityAssignmentMethod();
    in.forbiddenMatches = scenario.GetNumberOfForbiddenMatches();
    in.capitalCostTargetKind = [&scenario] { return scenario.GetCapitalCostTargetKind(); };
    return in;
}

AreaTarget* UpdateScenarioAreaTarget(AreaTarget* record, IHeatIntegrationScenario& scenario, int code) {
    if (code == AreaTargetCodes::Free) return UpdateAreaTarget(record, AreaTargetInputs{}, code);
    auto* s = dynamic_cast<IHeatIntegrationScenarioForTargeting*>(&scenario);
    if (!s) return record;
    const SegmentRefs segments = PoolOf(*s);
    AreaTargetInputs in = AreaTargetInputsOf(*s, s->GetSegmentPool() ? &segments : nullptr);
    // Each solve of the area LP is shown as a progress text (as the automatic design's steps are),
    // and the text is cleared when the record is done.
    bool told = false;
    in.progress = [&scenario, &told](const char* key, const std::string& detail) {
        std::string text = FindString(key);
        if (!detail.empty()) text += ": " + detail;
        scenario.SendAMessage(64, CPString(text.c_str()), nullptr);
        told = true;
    };
    AreaTarget* updated = UpdateAreaTarget(record, in, code);
    if (told) scenario.SendAMessage(64, CPString(), nullptr);
    return updated;
}

void ClearAreaTarget(AreaTarget* record) {
    if (!record) return;
    record->pBath.reset();
    record->pLP.reset();
    record->nMethod = AreaTarget::Bath;
}

void DeleteAreaTarget(AreaTarget* record) { delete record; }

// ---------------------------------------------------------------- the record

bool StoreAreaTarget(const AreaTarget& record, ILurmetBinaryFile& file) {
    RecordHandle h;
    bool ok = file.BeginRecord(h, AreaTarget::RecordVersion) && file.WriteInt(record.nMethod) &&
              file.WriteInt(record.pBath ? 1 : 0);
    if (ok && record.pBath) ok = record.pBath->Store(file);
    ok = ok && file.WriteInt(record.pLP ? 1 : 0);
    if (ok && record.pLP) {
        const AreaLP& lp = *record.pLP;
        RecordHandle nested;
        ok = file.BeginRecord(nested, AreaTarget::LPRecordVersion) && file.WriteDouble(lp.GetCountercurrentArea()) &&
             file.WriteDouble(lp.GetShellAndTubeArea()) && file.WriteDouble(lp.GetShells()) &&
             file.WriteDouble(lp.GetDTmin()) && file.WriteInt(lp.GetIntervalCount()) && file.WriteInt(lp.GetOption()) &&
             file.WriteDouble(lp.GetMinimumFFactor()) && file.EndRecord(nested);
    }
    return ok && file.WriteInt(record.nOption) && file.WriteInt(record.nRequestedMethod) && file.EndRecord(h);
}

namespace {

std::unique_ptr<AreaLP> RecallAreaLP(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return nullptr;
    double cc = 0.0, st = 0.0, shells = 0.0, dtMin = 0.0, minimumFFactor = 0.8;
    std::int32_t intervals = 0, option = AreaLP::ShellAndTubeOnly;
    if (!file.ReadDouble(cc) || !file.ReadDouble(st) || !file.ReadDouble(shells) || !file.ReadDouble(dtMin) ||
        !file.ReadInt(intervals) || !file.ReadInt(option))
        return nullptr;
    if (file.GetRecordVersion(h) >= 2 && !file.ReadDouble(minimumFFactor)) return nullptr;
    if (!file.EndRecord(h)) return nullptr;
    auto lp = std::make_unique<AreaLP>();
    lp->SetStoredValues(cc, st, shells, dtMin, intervals, option, minimumFFactor);
    return lp;
}

}  // namespace

bool RecallAreaTarget(AreaTarget& record, ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    std::int32_t method = 0, present = 0;
    if (!file.ReadInt(method) || !file.ReadInt(present)) return false;
    record.nMethod = method;
    record.pBath.reset();
    if (present) {
        auto bath = std::make_unique<BathAreaTarget>();
        if (!bath->Recall(file)) return false;
        record.pBath = std::move(bath);
    }
    if (!file.ReadInt(present)) return false;
    record.pLP.reset();
    if (present) {
        record.pLP = RecallAreaLP(file);
        if (!record.pLP) return false;
    }
    if (version >= 2) {
        std::int32_t option = record.nOption;
        if (!file.ReadInt(option)) return false;
        record.nOption = option;
    }
    if (version >= 3) {
        std::int32_t requested = AreaTarget::Bath;
        if (!file.ReadInt(requested)) return false;
        record.nRequestedMethod = requested == AreaTarget::LinearProgramming ? requested : AreaTarget::Bath;
    }
    return file.EndRecord(h);
}

// ---------------------------------------------------------------- queries

double AreaTargetValue(const AreaTarget* record, int kind) {
    if (!record || (kind != 0 && kind != 1)) return 0.0;
    if (record->nMethod == AreaTarget::Bath && record->pBath)
        return kind == 0 ? record->pBath->GetCountercurrentArea() : record->pBath->GetShellAndTubeArea();
    if (record->nMethod == AreaTarget::LinearProgramming && record->pLP)
        return kind == 0 ? record->pLP->GetCountercurrentArea() : record->pLP->GetShellAndTubeArea();
    return 0.0;
}

int AreaTargetState(const AreaTarget* record) {
    if (!record) return 0;
    if (record->nMethod == AreaTarget::Bath) return record->pBath ? record->pBath->GetState() : 0;
    if (record->nMethod == AreaTarget::LinearProgramming) return record->pLP ? record->pLP->GetState() : 0;
    return 0;
}

double AreaTargetLPGridStep(const AreaTarget* record) {
    if (!record || record->nMethod != AreaTarget::LinearProgramming || !record->pLP) return 0.0;
    return record->pLP->GetState() == AreaLP::Computed ? record->pLP->GetGridStep() : 0.0;
}

bool AreaTargetShellsCapped(const AreaTarget* record) {
    return record && record->nMethod == AreaTarget::Bath && record->pBath && record->pBath->IsShellsCapped();
}

int AreaTargetShells(const AreaTarget* record) {
    if (!record) return 0;
    long shells = 0;
    if (record->nMethod == AreaTarget::Bath && record->pBath) shells = record->pBath->GetShells();
    else if (record->nMethod == AreaTarget::LinearProgramming && record->pLP) {
        const double value = record->pLP->GetShells();
        shells = std::isfinite(value) ? std::lround(std::clamp(value, -2.0e9, 2.0e9)) : 0;
    }
    return shells < 0 ? 0 : static_cast<int>(shells);
}

int AreaTargetMatchCount(const AreaTarget* record) {
    return record && record->pBath ? record->pBath->GetNumberOfIntervals() : 0;
}

double AreaTargetMatchValue(const AreaTarget* record, int selector, int index) {
    if (!record) return 0.0;
    const int position = IntervalValueOfSelector(selector);
    const std::vector<BathInterval>* intervals = record->pBath ? record->pBath->GetIntervals() : nullptr;
    if (position < 0 || !intervals || index < 0 || static_cast<std::size_t>(index) >= intervals->size()) return kEmpty;
    return (*intervals)[static_cast<std::size_t>(index)].Value(position);
}

int AreaTargetMethod(const AreaTarget* record) { return record ? record->nMethod : 0; }

int AreaTargetOption(const AreaTarget* record) {
    if (!record) return AreaLP::ShellAndTubeOnly;
    return record->pLP ? record->pLP->GetOption() : record->nOption;
}

void SetAreaTargetOption(AreaTarget* record, int option) {
    if (!record) return;
    record->nOption = option;
    if (record->pLP) record->pLP->SetOption(option);
}
