#pragma once
// What the what-if views share: the icon numbers their status variables answer, the registered
// types they are made as, and the conversion of a study's times between its internal time
// units and the unit the study names (unit kind 44).
#include "lumeth/DisplayUnits.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Text.h"
#include "lumeth/VarEnumInfo.h"

class IHENTrend;
class Viewable;

namespace whatif {

constexpr double kEmpty = -32767.0;
// The unit kind of the studies' times.
constexpr int kTimeKind = 44;

// The application icon number of a named icon; -32767 when none is registered under the name.
double IconNumber(const char* name);
// The registered type of that object name (null when the registry has none).
const ObjectTypeInfo* TypeNamed(const char* objectName);
// The conversion of the study's time unit; false (and the years of kind 44) for a unit the
// kind does not know.
bool StudyTimeUnit(const IHENTrend& study, UnitConversion& out);
// The time of point i as a number in the study's unit (-32767 for a point the study lacks).
double StudyTimeShown(const IHENTrend& study, int point);
// Stores at point i the time `shown` in the study's unit.
void SetStudyTimeShown(IHENTrend& study, int point, double shown);
// A choice of the time points 0..N, each "%0.4g %s" (time in the study's unit, the unit text).
void FillTimePointChoice(const IHENTrend& study, VarEnumInfo& choice);

// The streams a throughput change refuses, gathered stream by stream: the change is taken whole or
// not at all, and its refusal names every stream it fails for.
struct ThroughputRefusals {
    Text doubled, unrunnable;
    const char* flowKey = nullptr;
    // A stream that already has its flow change where this one would go.
    void Doubled(const char* stream);
    // A stream that cannot run at its new flow, refused with `key`.
    void Unrunnable(const char* stream, const char* key);
    // Shows the refusal; true where the change is refused.
    bool Refuse() const;
};

}  // namespace whatif
