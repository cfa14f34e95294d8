#include "views/design/whatif/WhatIfSupport.h"

#include "eng/design/IHENTrend.h"
#include "lumeth/Resources.h"
#include "lumeth/Viewable.h"

namespace whatif {

double IconNumber(const char* name) {
    const ResourceRegistry* resources = ResourceRegistry::Current();
    IconResource icon;
    return resources && resources->FindIcon(name, icon) ? static_cast<double>(icon.id) : kEmpty;
}

const ObjectTypeInfo* TypeNamed(const char* objectName) {
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    return registry ? registry->Find(objectName) : nullptr;
}

bool StudyTimeUnit(const IHENTrend& study, UnitConversion& out) {
    const char* unit = study.GetTimeUnit();
    if (unit && get_unit(kTimeKind, unit, DefaultUnits, out)) return true;
    out = DefUnitConv(kTimeKind);
    return false;
}

double StudyTimeShown(const IHENTrend& study, int point) {
    if (point < 0 || point > study.GetNumberOfIntervals()) return kEmpty;
    UnitConversion unit;
    StudyTimeUnit(study, unit);
    return calc_ounit(study.GetTimeAtPoint(point), unit);
}

void SetStudyTimeShown(IHENTrend& study, int point, double shown) {
    UnitConversion unit;
    StudyTimeUnit(study, unit);
    study.SetTimeAtPoint(point, calc_unit(shown, unit));
}

void FillTimePointChoice(const IHENTrend& study, VarEnumInfo& choice) {
    choice.DeleteEntries();
    const char* unit = study.GetTimeUnit();
    for (int i = 0; i <= study.GetNumberOfIntervals(); ++i)
        choice.AddEntry(i, FormattedText("%0.4g %s", StudyTimeShown(study, i), unit ? unit : ""));
}

namespace {
void append(Text& list, const char* name) { list += (list.empty() ? "" : ", ") + Text(name); }
}  // namespace

void ThroughputRefusals::Doubled(const char* stream) { append(doubled, stream); }

void ThroughputRefusals::Unrunnable(const char* stream, const char* key) {
    flowKey = key;
    append(unrunnable, stream);
}

bool ThroughputRefusals::Refuse() const {
    if (flowKey) Viewable::ErrorMsg(flowKey, unrunnable);
    if (!doubled.empty()) Viewable::ErrorMsg("StreamsHaveFlowChange", doubled);
    return flowKey || !doubled.empty();
}

}  // namespace whatif
