// Target queries, utility placement, forbidden matches, match cost models and supertargeting of
// a scenario. Every query answers its neutral value while the record it reads does not exist;
// the records whose contents belong to the targeting subsystem are not read here yet.
#include "eng/model/Scenario.h"

#include "dunmor/Exceptions.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/SuperTargetRange.h"
#include "lumeth/Framework.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr double kEmpty = CPIScenario::kEmpty;
constexpr const char* kDefaultModel = MatchwiseStreamData::kDefaultCostModel;

}  // namespace

// ---------------------------------------------------------------- energy, pinch and curves

double CPIScenario::GetUtilityTarget(int side) const {
    if (!m_pEnergyTarget) return 0.0;
    if (side != 0 && side != 1) KS_ASSERT_AT(false, "eng/energytarget", 1251, "!\"GetUtilityTarget Failed\"");
    return 0.0;
}

double CPIScenario::GetPinchTemperature(int, int) const { return 0.0; }
double CPIScenario::GetProcessPinchTemperature(int) const { return 0.0; }
int CPIScenario::GetNumberOfPinchPoints() const { return 0; }
CPList* CPIScenario::GetPinchPointList() const { return nullptr; }
double CPIScenario::GetPinchListEntryFirstValue(int) const { return 0.0; }
double CPIScenario::GetPinchListEntryThirdValue(int) const { return 0.0; }
int CPIScenario::GetPinchListEntrySide(int) const { return 0; }
int CPIScenario::GetPinchProblemType() const { return 0; }
int CPIScenario::GetNumberOfPockets() const { return -1; }
double CPIScenario::GetTargetCurveValue(int, int, int) const { return 0.0; }
int CPIScenario::GetNumberOfCurvePoints(int) const { return 0; }
int CPIScenario::GetStreamsAtCurvePoint(int, double, double, CPString& out) const {
    out.clear();
    return 0;
}

// ---------------------------------------------------------------- area, units, costs

double CPIScenario::GetAreaTarget(int) const { return 0.0; }
int CPIScenario::GetNumberOfShellsTarget() const { return 0; }
int CPIScenario::GetNumberOfAreaTargetMatches() const { return 0; }
double CPIScenario::GetAreaTargetMatchValue(int, int) const {
    // The per-match entries of the area record are not read yet: a missing entry is empty.
    return m_pAreaTarget ? kEmpty : 0.0;
}
int CPIScenario::GetAreaTargetMethod() const { return 0; }
int CPIScenario::GetAreaTargetOption() const { return 1; }

void CPIScenario::SetAreaTargetOption(int) { UpdateTargets(nullptr, 18); }

int CPIScenario::GetMinimumNumberOfUnits(int) const { return 0; }
int CPIScenario::GetMinimumNumberOfUnitsByMILP() const { return 0; }
int CPIScenario::GetNumberOfUnitsTargetGroups() const { return 0; }
int CPIScenario::GetNumberOfUnitsTargetEntries(int) const { return 0; }
int CPIScenario::GetNumberOfUnitsTargetEntryNames(int, int) const { return 0; }
const char* CPIScenario::GetUnitsTargetEntryName(int, int, int) const { return nullptr; }
double CPIScenario::GetUnitsTargetEntryValue(int, int, int) const { return kEmpty; }
int CPIScenario::GetUnitsTargetMILPFlag() const { return 0; }
UnitsTargetData* CPIScenario::SetUnitsTargetMILPFlag(int) { return m_pUnitsTarget; }
void CPIScenario::CalculateMinimumUnitsTarget() {
    if (m_services.builders) m_pUnitsTarget = m_services.builders->UpdateUnitsTarget(m_pUnitsTarget, *this, 35);
}
void CPIScenario::ClearUnitsTargetMILPResult() {}

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
    return m_pCapitalCost ? m_pCapitalCost->nFlag : 0;
}

// ---------------------------------------------------------------- matches and cost models

double CPIScenario::GetMatchValue(int index) const {
    const MatchwiseStreamData* m = m_pMatches ? m_pMatches->GetMatch(index) : nullptr;
    return m ? m->dMatchValue : -1.0;
}
double CPIScenario::GetMatchFirstValue(int index) const {
    const MatchwiseStreamData* m = m_pMatches ? m_pMatches->GetMatch(index) : nullptr;
    return m ? m->dFirstValue : -1.0;
}
double CPIScenario::GetMatchCountercurrentArea(int index) const {
    const MatchwiseStreamData* m = m_pMatches ? m_pMatches->GetMatch(index) : nullptr;
    return m ? m->dCountercurrentArea : -1.0;
}
double CPIScenario::GetMatchShellAndTubeArea(int index) const {
    const MatchwiseStreamData* m = m_pMatches ? m_pMatches->GetMatch(index) : nullptr;
    return m ? m->dShellAndTubeArea : -1.0;
}
double CPIScenario::GetMatchFourthValue(int index) const {
    const MatchwiseStreamData* m = m_pMatches ? m_pMatches->GetMatch(index) : nullptr;
    return m ? m->dFourthValue : -1.0;
}
int CPIScenario::GetNumberOfMatches() const { return m_pMatches ? m_pMatches->GetNumberOfMatches() : 0; }

const char* CPIScenario::GetMatchCostModelNameAt(int index) {
    MatchwiseStreamData* m = m_pMatches ? m_pMatches->GetMatch(index) : nullptr;
    return m ? m->GetCostModelName().c_str() : nullptr;
}

const char* CPIScenario::GetMatchCostModelName(const CPString& hotName, const CPString& coldName) {
    CPIHeatIntegrationStream* hot = StreamByName(hotName);
    CPIHeatIntegrationStream* cold = StreamByName(coldName);
    MatchwiseStreamData* m = hot && cold && m_pMatches ? m_pMatches->FindMatch(hot, cold) : nullptr;
    if (!m) return kDefaultModel;
    const CPString& name = m->GetCostModelName();
    return name.empty() ? kDefaultModel : name.c_str();
}

int CPIScenario::SetMatchCostModelName(const CPString& hotName, const CPString& coldName, const CPString& model) {
    if (m_bRetrofit) return 0;
    const int result = m_pMatches ? m_pMatches->SetCostModelName(hotName, coldName, model) : 0;
    if (result != 1) return result;
    AssignAllExchangerCostModels();
    UpdateTargets(nullptr, 19);
    return result;
}

const char* CPIScenario::FindIncompleteCostModel() {
    if (m_processHot.IsEmpty() || m_processCold.IsEmpty()) return nullptr;
    const char* incomplete = nullptr;
    for (CPIHeatIntegrationStream* hot : m_processHot) {
        for (CPIHeatIntegrationStream* cold : m_processCold) {
            const char* model = GetMatchCostModelName(hot->GetName(), cold->GetName());
            const bool complete = GetEconomicData(1, model) > 0.0 && GetEconomicData(2, model) > 0.0 &&
                                  GetEconomicData(4, model) > 0.0;
            if (!complete) {
                incomplete = model;
                break;
            }
        }
    }
    return incomplete;
}

// ---------------------------------------------------------------- utility placement

bool CPIScenario::IsUtilityPlacementValid() const {
    // The side statuses live in the placement record of the targeting subsystem.
    return false;
}

int CPIScenario::GetUtilityAssignmentMethod() const { return m_nUtilityAssignmentMethod; }

int CPIScenario::GetUtilityAssignmentStatus(int) { return 0; }

int CPIScenario::SetUtilityAssignmentMethod(int method) {
    if (m_nForbiddenMatches != 0 && method != 0) {
        SendMessageKey("OnlyGCCBasedAllowedIfForbidden");
        return 0;
    }
    m_nUtilityAssignmentMethod = method;
    MarkUtilitySegmentsForUpdate();
    UpdateTargets(nullptr, 20);
    SendAMessage(66, CPString(), Self());
    return 1;
}

int CPIScenario::AssignUtilityLoads() {
    if (!m_pUtilityPlacement) return 0;
    UpdateTargets(nullptr, 35);
    return 0;
}

int CPIScenario::ChangeNumberOfForbiddenMatches(int delta) {
    if (m_nForbiddenMatches == m_nSavedForbiddenMatches) SuspendCalculations();
    const int before = m_nForbiddenMatches;
    m_nForbiddenMatches += delta;
    if (before != 0 && m_nForbiddenMatches == 0) {
        if (!IsAutomationStartup()) SendMessageKey("ChangingToBathChoseUnForbidAll");
    } else if (before == 0 && m_nForbiddenMatches != 0) {
        if (!IsAutomationStartup()) SendMessageKey("ChangingToLPAndGCCChoseForbidden");
        SetUtilityAssignmentMethod(0);
    }
    return m_nForbiddenMatches;
}

void CPIScenario::EndForbiddenMatchChanges() {
    m_nSavedForbiddenMatches = m_nForbiddenMatches;
    if (m_nCalculationEnable < 1) {
        m_nCalculationEnable = 0;
        ResumeCalculations(true);
    }
}

int CPIScenario::ValidateTargetMethodsForForbiddenMatches() {
    if (m_nForbiddenMatches == 0) return 1;
    if (GetUtilityAssignmentMethod() == 0 && GetAreaTargetMethod() == 1) return 1;
    SetUtilityAssignmentMethod(0);
    return 0;
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
    if (!m_pSuperTargets) return;
    m_pSuperTargets->ClearPoints();
    m_pSuperTargets->requestedValues.clear();
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
    point.values[9] = GetCostTarget(5);
    point.count = IsUtilityPlacementValid() ? 1 : 0;
    point.eleventh = 0.0;
    return point;
}

void CPIScenario::AddSuperTargetPoint(double dTmin) {
    SuperTargetRange& range = EnsureSuperTargetRange();
    range.requestedValues.push_back(dTmin);
    const double kept = m_dDTmin;
    SuperTargetPointRecord point = CalculateSuperTargetPoint(dTmin);
    range.points.push_back(point);
    std::stable_sort(range.points.begin(), range.points.end(),
                     [](const SuperTargetPointRecord& a, const SuperTargetPointRecord& b) {
                         return a.values[0] < b.values[0];
                     });
    SetDTmin(kept);
}

void CPIScenario::CalculateSuperTargets(double, double, double) {
    // The range search and its optimum bracket belong to the supertargeting record.
}

void CPIScenario::RecalculateSuperTargets() {}

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
