// Target queries and supertargeting of a scenario (utility placement, forbidden matches and match
// cost models: ScenarioMatches.cpp). Every query answers its neutral value while the record it
// reads does not exist.
#include "eng/model/Scenario.h"

#include "brasko/DefaultUtilityTypes.h"
#include "dunmor/Exceptions.h"
#include "eng/model/SuperTargetRange.h"
#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/CompositeCurves.h"
#include "eng/targeting/CostTargets.h"
#include "eng/targeting/CurveInterpolation.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/UnitsMILP.h"
#include "eng/targeting/UnitsTarget.h"
#include "eng/targeting/UtilityPlacement.h"
#include "lumeth/Framework.h"
#include "lumeth/Messages.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <unordered_set>

namespace {

constexpr double kEmpty = CPIScenario::kEmpty;

}  // namespace

// ---------------------------------------------------------------- energy, pinch and curves

namespace {

// The pinch points the scenario answers with. The utility placement keeps its own pinch points
// once it exists (read from it when utilities are placed automatically and the placement is
// settled); until then, and otherwise, they are the energy target's.
const std::vector<PinchRecord>* PinchPointsOf(const CPIScenario& scenario) {
    if (const std::vector<PinchRecord>* placed = GetPlacementPinchPoints(scenario.GetUtilityPlacementRecord()))
        return placed;
    const EnergyTarget* target = scenario.GetEnergyTargetRecord();
    return target ? &target->GetPinchList() : nullptr;
}

// Whether the user forbade every match of a hot process stream with a cold one: then no heat is
// recovered between process streams, and the cascade's pinch divides nothing. Linear in the
// streams unless every process stream holds links; the pairs are then asked until one is allowed,
// which is at most the links the streams hold.
bool EveryProcessMatchForbidden(const CPIScenario& scenario) {
    std::vector<IHeatIntegrationStream*> hot, cold;
    IHeatIntegrationStream* s = nullptr;
    for (int i = 0; scenario.GetStream(i, s); ++i) {
        if (!s || s->GetStreamKind() == 1) continue;
        if (s->GetStreamKind() != 2) return false;
        if (s->GetHotCold() == 0) hot.push_back(s);
        else if (s->GetHotCold() == 1) cold.push_back(s);
    }
    if (hot.empty() || cold.empty()) return false;
    for (IHeatIntegrationStream* h : hot)
        for (IHeatIntegrationStream* c : cold)
            if (!h->IsLinkedTo(c->GetName())) return false;
    return true;
}

// The process pinches: the cascade's, none where no process match is allowed.
const std::vector<PinchRecord>* ProcessPinchesOf(const CPIScenario& scenario) {
    const EnergyTarget* target = scenario.GetEnergyTargetRecord();
    if (!target || target->GetPinchList().empty() || EveryProcessMatchForbidden(scenario)) return nullptr;
    return &target->GetPinchList();
}

const PinchRecord* PinchPointAt(const CPIScenario& scenario, int index) {
    const std::vector<PinchRecord>* pinches = PinchPointsOf(scenario);
    if (!pinches || index < 0 || static_cast<std::size_t>(index) >= pinches->size()) return nullptr;
    return &(*pinches)[static_cast<std::size_t>(index)];
}

double PinchSide(const PinchRecord* pinch, int side) {
    if (!pinch) return 0.0;
    if (side == 0) return pinch->dHotTemperature;
    if (side == 1) return pinch->dColdTemperature;
    return 0.0;
}

// The pockets of the heat cascade stand in the second pinch list: entry = one pocket.
const PocketRecord* PocketAt(const EnergyTarget* target, int index) {
    if (!target || index < 0 || index >= target->GetNumberOfPockets()) return nullptr;
    return &target->GetPockets()[static_cast<std::size_t>(index)];
}

// Where a curve kind of the curve queries is kept: a slot of the composite-curves record and its
// list (0 hot, 1 cold); false for the kinds that are not on that record.
bool CurveListOfKind(int kind, int& slot, int& list) {
    switch (kind) {
    case 1: case 2: slot = CompositeCurves::ShiftedCompositeSlot; break;
    case 3: case 4: slot = CompositeCurves::CompositeSlot; break;
    case 6: case 7: slot = CompositeCurves::UtilityCompositeSlot; break;
    case 10: case 11: slot = CompositeCurves::ShiftedBalancedSlot; break;
    case 8: case 9: slot = CompositeCurves::BalancedSlot; break;
    default: return false;
    }
    list = (kind == 2 || kind == 4 || kind == 7 || kind == 9 || kind == 11) ? 1 : 0;
    return true;
}

// A hot-list point as stored. Only cold lists answer a load just below zero as 0.0: a hot
// profile (the utility composite curve's) may truly dip below zero by a little.
double HotPointValue(const TargetCurve& curve, int coordinate, int index) {
    const auto& points = curve.GetPoints();
    if (curve.GetKind() == TargetCurve::UtilityComposite && index >= 0 &&
        static_cast<std::size_t>(index) < points.size() && (coordinate == 0 || coordinate == 1)) {
        const TemperatureInterval* e = points[static_cast<std::size_t>(index)].pEntry;
        return coordinate == 0 ? e->dTemperature : e->dValue;
    }
    return GetIthTI(curve.GetHotList(), coordinate, index);
}

// The interval list a hit test of a plot walks, by the plot's kind: the two lists of one target
// curve, or the energy target's cascade.
// A list the hit test reads: the energy target's cascade (with its membership), or one side of
// a target curve (whose segments the curve answers for).
struct HitTestList {
    const TIList* list = nullptr;
    const TargetCurve* curve = nullptr;
    int side = 0;
};

std::vector<HitTestList> HitTestLists(int kind, const CompositeCurves* curves, const EnergyTarget* target) {
    std::vector<HitTestList> lists;
    int slot = -1;
    switch (kind) {
    case 3: slot = CompositeCurves::CompositeSlot; break;
    case 4: slot = CompositeCurves::ShiftedCompositeSlot; break;
    case 5: slot = CompositeCurves::BalancedSlot; break;
    case 6: slot = CompositeCurves::ShiftedBalancedSlot; break;
    case 1: case 7:
        if (target) lists.push_back({&target->GetIntervals(), nullptr, 0});
        return lists;
    default: return lists;
    }
    if (const TargetCurve* curve = curves ? curves->GetCurve(slot) : nullptr) {
        lists.push_back({curve->GetHotList(), curve, 0});
        lists.push_back({curve->GetColdList(), curve, 1});
    }
    return lists;
}

constexpr std::size_t kMaxHitText = 2048;

}  // namespace

double CPIScenario::GetUtilityTarget(int side) const {
    if (!m_pEnergyTarget) return 0.0;
    if (side == 0) return m_pEnergyTarget->GetHotUtility();
    if (side == 1) return m_pEnergyTarget->GetColdUtility();
    KS_ASSERT_AT(false, "eng/energytarget", 1251, "!\"GetUtilityTarget Failed\"");
    return 0.0;
}

double CPIScenario::GetPinchTemperature(int side, int index) const { return PinchSide(PinchPointAt(*this, index), side); }

double CPIScenario::GetProcessPinchTemperature(int side) const {
    const std::vector<PinchRecord>* pinches = ProcessPinchesOf(*this);
    return pinches ? PinchSide(&pinches->front(), side) : 0.0;
}

int CPIScenario::GetNumberOfProcessPinchPoints() const {
    const std::vector<PinchRecord>* pinches = ProcessPinchesOf(*this);
    return pinches ? static_cast<int>(pinches->size()) : 0;
}

double CPIScenario::GetProcessPinchTemperatureAt(int side, int index) const {
    const std::vector<PinchRecord>* pinches = ProcessPinchesOf(*this);
    if (!pinches || index < 0 || static_cast<std::size_t>(index) >= pinches->size()) return 0.0;
    return PinchSide(&(*pinches)[static_cast<std::size_t>(index)], side);
}

int CPIScenario::GetNumberOfPinchPoints() const {
    const std::vector<PinchRecord>* pinches = PinchPointsOf(*this);
    return pinches ? static_cast<int>(pinches->size()) : 0;
}

CPList* CPIScenario::GetPinchPointList() const {
    m_pinchPointList.Clear();
    const std::vector<PinchRecord>* pinches = PinchPointsOf(*this);
    if (!pinches || pinches->empty()) return nullptr;
    for (const PinchRecord& pinch : *pinches) m_pinchPointList.Append(const_cast<PinchRecord*>(&pinch));
    return &m_pinchPointList;
}

CPList* CPIScenario::GetProcessPinchPointList() const {
    m_processPinchPointList.Clear();
    const std::vector<PinchRecord>* pinches = ProcessPinchesOf(*this);
    if (!pinches) return nullptr;
    for (const PinchRecord& pinch : *pinches)
        m_processPinchPointList.Append(const_cast<PinchRecord*>(&pinch));
    return &m_processPinchPointList;
}

double CPIScenario::GetPinchListEntryFirstValue(int index) const {
    const PocketRecord* pocket = PocketAt(m_pEnergyTarget, index);
    return pocket ? pocket->dStartTemperature : 0.0;
}

double CPIScenario::GetPinchListEntryThirdValue(int index) const {
    const PocketRecord* pocket = PocketAt(m_pEnergyTarget, index);
    return pocket ? pocket->dClosingTemperature : 0.0;
}

int CPIScenario::GetPinchListEntrySide(int index) const {
    const PocketRecord* pocket = PocketAt(m_pEnergyTarget, index);
    return pocket ? pocket->nSide : 0;
}

int CPIScenario::GetPinchProblemType() const { return m_pEnergyTarget ? m_pEnergyTarget->GetProblemType() : 0; }

int CPIScenario::GetNumberOfPockets() const { return m_pEnergyTarget ? m_pEnergyTarget->GetNumberOfPockets() : -1; }

double CPIScenario::GetTargetCurveValue(int kind, int coordinate, int index) const {
    if (kind == 0 || kind == 15) {
        if (!m_pEnergyTarget) return 0.0;
        const double value = GetIthTI(&m_pEnergyTarget->GetIntervals(), coordinate, index);
        if (kind == 0) return value;
        // The grand composite curve drawn with the utility curve's offset.
        const TargetCurve* utility =
            m_pCompositeCurves ? m_pCompositeCurves->GetCurve(CompositeCurves::UtilityCompositeSlot) : nullptr;
        return value + (utility ? utility->GetCarriedValue(0) : 0.0);
    }
    // Kind 5: the combined heat cascade of the process streams and the utilities as placed.
    if (kind == 5) {
        const std::vector<CurvePoint>* cascade = m_pCompositeCurves ? &m_pCompositeCurves->GetCombinedCascade() : nullptr;
        if (!cascade || index < 0 || static_cast<std::size_t>(index) >= cascade->size()) return 0.0;
        const CurvePoint& p = (*cascade)[static_cast<std::size_t>(index)];
        return coordinate == 0 ? p.x : coordinate == 1 ? p.y : 0.0;
    }
    // Kinds 12 and 13: the curves of the user-supplied loads, the hot one without its first two
    // points (the make-up source at the top of the scale).
    if (kind == 12) return GetUserLoadCurveValue(m_pUtilityPlacement, 0, coordinate, index + 2);
    if (kind == 13) return GetUserLoadCurveValue(m_pUtilityPlacement, 1, coordinate, index);
    if (kind == 16) kind = 6;
    int slot = 0, list = 0;
    if (!CurveListOfKind(kind, slot, list)) return 0.0;
    const TargetCurve* curve = m_pCompositeCurves ? m_pCompositeCurves->GetCurve(slot) : nullptr;
    if (!curve) return 0.0;
    return list == 0 ? HotPointValue(*curve, coordinate, index) : curve->GetPointValue(1, coordinate, index);
}

int CPIScenario::GetNumberOfCurvePoints(int kind) const {
    if (kind == 0 || kind == 15) return m_pEnergyTarget ? m_pEnergyTarget->GetIntervals().GetNumberOfBoundaries() : 0;
    if (kind == 5) return m_pCompositeCurves ? static_cast<int>(m_pCompositeCurves->GetCombinedCascade().size()) : 0;
    if (kind == 12 || kind == 13)
        return std::max(GetNumberOfUserLoadCurvePoints(m_pUtilityPlacement, kind == 12 ? 0 : 1) - 2, 0);
    // Kind 16: the points of curve 6 that the hot utilities span, from its top.
    if (kind == 16) {
        const TargetCurve* utility =
            m_pCompositeCurves ? m_pCompositeCurves->GetCurve(CompositeCurves::UtilityCompositeSlot) : nullptr;
        return utility ? utility->GetNumberOfHotProfilePoints() : 0;
    }
    int slot = 0, list = 0;
    if (!CurveListOfKind(kind, slot, list)) return 0;
    const TargetCurve* curve = m_pCompositeCurves ? m_pCompositeCurves->GetCurve(slot) : nullptr;
    return curve ? curve->GetNumberOfPoints(list) : 0;
}

int CPIScenario::GetStreamsAtCurvePoint(int kind, double load, double temperature, CPString& out) const {
    out = FindString("SegmentStreams");
    const bool cascade = kind == 1 || kind == 7;
    // Only segments still in the pool are named: a record not rebuilt since its streams went
    // may still hold their segments.
    std::unordered_set<const StreamSegment*> pool;
    if (m_pSegmentPool)
        for (StreamSegment* s : *m_pSegmentPool) pool.insert(s);

    for (const HitTestList& from : HitTestLists(kind, m_pCompositeCurves, m_pEnergyTarget)) {
        const TIList* list = from.list;
        const int n = list ? list->GetNumberOfBoundaries() : 0;
        if (n < 2) continue;
        const double tolerance = 0.05 * std::fabs(list->GetTemperature(0) - list->GetTemperature(n - 1));
        const std::vector<CurvePoint> curve = CurveOfIntervals(*list);
        const double below = InterpolateOnCurve(curve, temperature - tolerance);
        const double above = InterpolateOnCurve(curve, temperature + tolerance);
        const bool hit = (below < load && load < above) || (cascade && above < load && load < below);
        if (!hit) continue;
        for (int i = 0; i + 1 < n; ++i) {
            if (!(list->GetTemperature(i) >= temperature && list->GetTemperature(i + 1) < temperature)) continue;
            if (from.curve) {
                // A curve's segments in the order it was built from: the pool's.
                if (!from.curve->IsBuilt() || !m_pSegmentPool) continue;
                for (StreamSegment* s : *m_pSegmentPool) {
                    if (!s || !from.curve->CoversInterval(from.side, *s, i)) continue;
                    out += "\n ";
                    out += s->StreamName();
                }
                continue;
            }
            for (const IntervalSpan& span : list->GetSpans()) {
                if (!span.Covers(i) || !pool.count(span.pSegment)) continue;
                if (!span.IsIn(AllHotMembers) && !span.IsIn(AllColdMembers)) continue;
                out += "\n ";
                out += span.pSegment->StreamName();
            }
        }
    }
    if (out.size() > kMaxHitText) out.resize(kMaxHitText);
    return 1;
}

// ---------------------------------------------------------------- area, units, costs

double CPIScenario::GetAreaTarget(int kind) const { return AreaTargetValue(m_pAreaTarget, kind); }
int CPIScenario::GetNumberOfShellsTarget() const { return AreaTargetShells(m_pAreaTarget); }
bool CPIScenario::IsShellsTargetCapped() const { return AreaTargetShellsCapped(m_pAreaTarget); }
int CPIScenario::GetAreaTargetState() const { return AreaTargetState(m_pAreaTarget); }
double CPIScenario::GetAreaLPGridStep() const { return AreaTargetLPGridStep(m_pAreaTarget); }
int CPIScenario::GetNumberOfAreaTargetMatches() const { return AreaTargetMatchCount(m_pAreaTarget); }
double CPIScenario::GetAreaTargetMatchValue(int selector, int index) const {
    return AreaTargetMatchValue(m_pAreaTarget, selector, index);
}
int CPIScenario::GetAreaTargetMethod() const { return AreaTargetMethod(m_pAreaTarget); }
int CPIScenario::GetAreaTargetOption() const { return AreaTargetOption(m_pAreaTarget); }

int CPIScenario::SetAreaTargetMethod(int method) {
    if (method != AreaTarget::Bath && method != AreaTarget::LinearProgramming) return 0;
    if (!m_pAreaTarget) m_pAreaTarget = new AreaTarget();
    m_pAreaTarget->nRequestedMethod = method;
    UpdateTargets(nullptr, 18);
    return 1;
}

void CPIScenario::SetAreaTargetOption(int option) {
    // An option set before the first calculation is kept for it, as the method is.
    if (!m_pAreaTarget) m_pAreaTarget = new AreaTarget();
    ::SetAreaTargetOption(m_pAreaTarget, option);
    UpdateTargets(nullptr, 18);
}

void CPIScenario::SetMinimumFFactor(double value) {
    if (value == m_dMinimumFFactor) return;
    m_dMinimumFFactor = value;
    UpdateTargets(nullptr, 18);
}

int CPIScenario::GetMinimumNumberOfUnits(int kind) const {
    if (!m_pUnitsTarget) return 0;
    if (kind == 0) return m_pUnitsTarget->GetUnitsOverall();
    return kind == 1 ? m_pUnitsTarget->GetUnitsWithPinchDivision() : 0;
}
int CPIScenario::GetMinimumNumberOfUnitsByMILP() const { return m_pUnitsTarget ? m_pUnitsTarget->GetMILPCount() : 0; }
int CPIScenario::GetNumberOfUnitsTargetGroups() const { return m_pUnitsTarget ? m_pUnitsTarget->GetNumberOfGroups() : 0; }
int CPIScenario::GetNumberOfUnitsTargetEntries(int group) const {
    const UnitsTargetGroup* g = m_pUnitsTarget ? m_pUnitsTarget->GetGroup(group) : nullptr;
    return g ? g->GetNumberOfEntries() : 0;
}
int CPIScenario::GetNumberOfUnitsTargetEntryNames(int group, int entry) const {
    const UnitsTargetEntry* e = m_pUnitsTarget ? m_pUnitsTarget->GetEntry(group, entry) : nullptr;
    return e ? e->GetNumberOfNames() : 0;
}
const char* CPIScenario::GetUnitsTargetEntryName(int position, int entry, int group) const {
    const UnitsTargetEntry* e = m_pUnitsTarget ? m_pUnitsTarget->GetEntry(group, entry) : nullptr;
    return e ? e->GetName(position) : nullptr;
}
double CPIScenario::GetUnitsTargetEntryValue(int position, int entry, int group) const {
    const UnitsTargetEntry* e = m_pUnitsTarget ? m_pUnitsTarget->GetEntry(group, entry) : nullptr;
    return e ? e->GetValue(position) : kEmpty;
}
int CPIScenario::GetUnitsTargetMILPFlag() const { return m_pUnitsTarget ? m_pUnitsTarget->GetMILPFlag() : 0; }
UnitsTargetData* CPIScenario::SetUnitsTargetMILPFlag(int flag) {
    if (m_pUnitsTarget) m_pUnitsTarget->SetMILPFlag(flag);
    return m_pUnitsTarget;
}
void CPIScenario::CalculateMinimumUnitsTarget() {
    // The search needs the record; a scenario that has none yet counts its units first.
    if (!m_pUnitsTarget && m_services.builders)
        m_pUnitsTarget = m_services.builders->UpdateUnitsTarget(m_pUnitsTarget, *this, 35);
    ::CalculateMinimumUnitsTarget(m_pUnitsTarget, *this);
    // A search its time limit ended keeps what it found; the user is told so, with the limit and
    // the number of sub-networks found.
    if (m_pUnitsTarget && m_pUnitsTarget->SearchStoppedAtTimeLimit()) {
        const std::string notice = std::string("SubsetSearchStopped") + " " + MessageParameter(UnitsMILP::SearchSeconds) +
                                   " " + MessageParameter(m_pUnitsTarget->GetMILPCount());
        SendMessageKey(notice.c_str());
    }
}
void CPIScenario::ClearUnitsTargetMILPResult() {
    if (m_pUnitsTarget) m_pUnitsTarget->ClearMILPResult();
}

double CPIScenario::GetCostTarget(int code) const {
    switch (code) {
    case 7: return m_pCapitalCost ? m_pCapitalCost->dValue : 0.0;
    case 4: return m_pOperatingCost ? m_pOperatingCost->dValue : 0.0;
    case 5: return m_pTotalAnnualCost ? m_pTotalAnnualCost->dValue : 0.0;
    default: return 0.0;
    }
}

int CPIScenario::GetCapitalCostTargetKind() {
    if (!m_pCapitalCost && m_services.builders)
        m_pCapitalCost = m_services.builders->UpdateCapitalCostTarget(m_pCapitalCost, *this, 35);
    // The area target asks while the scenario recalculates, before the capital record follows a
    // new area option: the kind is the option's, so the area sums it gathers are the ones priced.
    return m_pCapitalCost ? CapitalCostKindForOption(GetAreaTargetOption(), m_pCapitalCost->nFlag) : 0;
}

// ---------------------------------------------------------------- supertargeting

SuperTargetRange& CPIScenario::EnsureSuperTargetRange() {
    if (!m_pSuperTargets) m_pSuperTargets = std::make_unique<SuperTargetRange>();
    return *m_pSuperTargets;
}

bool CPIScenario::HasSuperTargetResults() const { return m_pSuperTargets && m_pSuperTargets->HasPoints(); }

int CPIScenario::GetNumberOfSuperTargetPoints() const {
    return m_pSuperTargets ? static_cast<int>(m_pSuperTargets->points.size()) : 0;
}

double CPIScenario::PointTargetValue(int index, int selector) const {
    if (selector < 1 || selector > 11) {
        KS_ASSERT_AT(false, "eng/supertarget", 591, "!\"PointTargetValue Incorrect\"");
        return 0.0;
    }
    if (!m_pSuperTargets || index < 0 || static_cast<std::size_t>(index) >= m_pSuperTargets->points.size())
        return 0.0;
    const SuperTargetPointRecord& point = m_pSuperTargets->points[static_cast<std::size_t>(index)];
    return selector == 11 ? point.eleventh : point.values[selector - 1];
}

bool CPIScenario::IsPointShellsTargetCapped(int index) const {
    if (!m_pSuperTargets || index < 0 || static_cast<std::size_t>(index) >= m_pSuperTargets->points.size())
        return false;
    return (m_pSuperTargets->points[static_cast<std::size_t>(index)].count & SuperTargetRange::PointShellsCapped) != 0;
}

void CPIScenario::GetSuperTargetOptimum(double& first, double& second) const {
    first = m_pSuperTargets ? m_pSuperTargets->dOptimumUpper : kEmpty;
    second = m_pSuperTargets ? m_pSuperTargets->dOptimumLower : kEmpty;
}

int CPIScenario::HasSuperTargetPointAtDTmin(double dTmin) const {
    if (!m_pSuperTargets) return 0;
    const auto& values = m_pSuperTargets->requestedValues;
    return std::find(values.begin(), values.end(), dTmin) != values.end() ? 1 : 0;
}

double CPIScenario::GetSuperTargetValueAtBaseOperatingCost() const {
    return m_pSuperTargets ? m_pSuperTargets->dBaseCostValue : 0.0;
}

void CPIScenario::ClearSuperTargets() {
    if (m_pSuperTargets) m_pSuperTargets->Free();
}

SuperTargetPointRecord CPIScenario::CalculateSuperTargetPoint(double dTmin) {
    std::ostringstream text;
    text << "Calculating targets at DTMin = " << dTmin << " C";
    SendAMessage(64, text.str(), Self());

    m_dDTmin = dTmin;
    SuspendCalculations();
    GiveGlobalStreamsDTmin(dTmin);
    ResumeCalculations(false);
    MarkUtilitySegmentsForUpdate();
    UpdateTargets(nullptr, 38);

    SuperTargetPointRecord point{};
    point.values[0] = dTmin;
    point.values[1] = GetUtilityTarget(0);
    point.values[2] = GetUtilityTarget(1);
    point.values[3] = GetAreaTarget(0);
    point.values[4] = GetAreaTarget(1);
    point.values[5] = static_cast<double>(GetMinimumNumberOfUnits(1));
    point.values[6] = static_cast<double>(GetNumberOfShellsTarget());
    point.values[7] = GetCostTarget(7);
    point.values[8] = GetCostTarget(4);
    // Capital is annualised over the plant's life: a plant of no life has no total annual cost at
    // any DTmin (the record holds the operating cost alone), so no point counts for the optimum.
    point.values[9] = SharedEconomicData(*this, EDT_PlantLife) > 0.0 ? GetCostTarget(5) : 0.0;
    point.count = (IsUtilityPlacementValid() ? SuperTargetRange::PointPlacementValid : 0) |
                  (IsShellsTargetCapped() ? SuperTargetRange::PointShellsCapped : 0);
    point.eleventh = 0.0;
    return point;
}

void CPIScenario::AddSuperTargetPoint(double dTmin) {
    // A point asked for before any range was calculated starts the record.
    if (!HasStreams()) return;
    ScenarioSuperTargetSource source(*this);
    EnsureSuperTargetRange().AddPoint(source, dTmin);
}

void CPIScenario::CalculateSuperTargets(double from, double to, double step) {
    if (!HasStreams() || !SuperTargetRange::IsFixedStepRangeAcceptable(from, to, step)) return;
    SuperTargetRange& range = EnsureSuperTargetRange();
    range.ClearPoints();
    // The range sets the scenario's DTmin (and its targets) back once it is done.
    ScenarioSuperTargetSource source(*this);
    range.CalculateFixedSteps(source, from, to, step);
    UpdateRetrofitSuperTargetCurve();
    SendAMessage(64, CPString(), Self());
}

void CPIScenario::RecalculateSuperTargets() {
    if (!HasStreams()) return;
    SuperTargetRange& range = EnsureSuperTargetRange();
    range.ClearPoints();
    ScenarioSuperTargetSource source(*this);
    range.Search(source);
    UpdateRetrofitSuperTargetCurve();
    SendAMessage(64, CPString(), Self());
}

void CPIScenario::UpdateRetrofitSuperTargetCurve() {
    if (!m_bRetrofit || !m_pSuperTargets) return;
    SuperTargetRange& range = *m_pSuperTargets;
    const double op = GetRetrofitBaseUtilityCost();
    const double cap = GetRetrofitBaseCapitalCost();

    bool found = false;
    double atOp = 0.0;
    for (std::size_t i = 1; i < range.points.size(); ++i) {
        const SuperTargetPointRecord& prev = range.points[i - 1];
        const SuperTargetPointRecord& cur = range.points[i];
        const double prevOp = prev.values[8];
        const double curOp = cur.values[8];
        if (!(prevOp <= op && op <= curOp)) continue;
        const double prevCap = prev.values[7];
        const double curCap = cur.values[7];
        atOp = std::fabs(curOp - prevOp) <= 1e-8 ? prevCap : prevCap + (op - prevOp) / (curOp - prevOp) * (curCap - prevCap);
        found = true;
        break;
    }
    if (!found) {
        range.dBaseCostValue = 0.0;
        for (SuperTargetPointRecord& p : range.points) p.eleventh = 0.0;
        return;
    }
    range.dBaseCostValue = atOp;
    for (SuperTargetPointRecord& p : range.points) p.eleventh = atOp != 0.0 ? cap / atOp * p.values[7] : 0.0;
}
