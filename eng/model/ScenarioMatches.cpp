// Utility placement, forbidden matches and match cost models of a scenario: the choice of the
// utility assignment method and its status, the user-supplied loads, the batches of
// forbidden-match changes, and the cost model of each hot/cold stream match.
#include "eng/model/Scenario.h"

#include "eng/model/MatchwiseStreamData.h"
#include "eng/targeting/CapitalUtilityTradeoff.h"
#include "eng/targeting/UserSuppliedUtilityLoad.h"
#include "eng/targeting/UtilityPlacement.h"
#include "lumeth/Framework.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

namespace {

constexpr const char* kDefaultModel = MatchwiseStreamData::kDefaultCostModel;
// A utility curve value below zero by more than this means the loads given cannot serve.
constexpr double kUtilityCurveDeficit = 0.1;

}  // namespace

// ---------------------------------------------------------------- matches and cost models

double CPIScenario::GetMatchValue(int index) const {
    return m_pMatches ? m_pMatches->GetValueAt(index, 4) : -1.0;
}
double CPIScenario::GetMatchFirstValue(int index) const {
    return m_pMatches ? m_pMatches->GetValueAt(index, 0) : -1.0;
}
double CPIScenario::GetMatchCountercurrentArea(int index) const {
    return m_pMatches ? m_pMatches->GetValueAt(index, 1) : -1.0;
}
double CPIScenario::GetMatchShellAndTubeArea(int index) const {
    return m_pMatches ? m_pMatches->GetValueAt(index, 2) : -1.0;
}
double CPIScenario::GetMatchFourthValue(int index) const {
    return m_pMatches ? m_pMatches->GetValueAt(index, 3) : -1.0;
}
int CPIScenario::GetNumberOfMatches() const { return m_pMatches ? m_pMatches->GetNumberOfMatches() : 0; }

std::vector<MatchSumsOfModel> CPIScenario::GetMatchSumsByCostModel() {
    return m_pMatches ? m_pMatches->SumsByCostModel() : std::vector<MatchSumsOfModel>{};
}

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
    // Looking a pair's model up gives a nameless one "DEFAULT".
    if (m_pMatches) m_pMatches->NameEveryMatch();
    std::unordered_map<std::string, bool> completeness;
    auto complete = [&](const char* model) {
        auto found = completeness.find(model);
        if (found != completeness.end()) return found->second;
        const bool ok = GetEconomicData(1, model) > 0.0 && GetEconomicData(2, model) > 0.0 &&
                        GetEconomicData(4, model) > 0.0;
        completeness.emplace(model, ok);
        return ok;
    };
    // Usually every model named is complete, and no pair needs to be asked.
    if (m_pMatches) {
        bool all = complete(kDefaultModel);
        for (const CPString& model : m_pMatches->CostModelsNamed())
            all = all && complete(model.empty() ? kDefaultModel : model.c_str());
        if (all) return nullptr;
    }
    const char* incomplete = nullptr;
    for (CPIHeatIntegrationStream* hot : m_processHot) {
        for (CPIHeatIntegrationStream* cold : m_processCold) {
            const CPString* name = m_pMatches ? m_pMatches->PeekPairCostModelName(hot, cold) : nullptr;
            const char* model = name && !name->empty() ? name->c_str() : kDefaultModel;
            if (!complete(model)) {
                // The pair's own record holds the name handed out.
                incomplete = GetMatchCostModelName(hot->GetName(), cold->GetName());
                break;
            }
        }
    }
    return incomplete;
}

// ---------------------------------------------------------------- utility placement

bool CPIScenario::IsUtilityPlacementValid() const { return m_pUtilityPlacement && m_pUtilityPlacement->IsValid(); }

// The record's method; before the record is built (or after it was freed with the streams) the
// scenario's own choice, so that a choice made on an empty scenario is the one its first
// placement uses.
int CPIScenario::GetUtilityAssignmentMethod() const {
    return m_pUtilityPlacement ? m_pUtilityPlacement->GetMethod() : m_nUtilityAssignmentMethod;
}

int CPIScenario::GetUtilityAssignmentStatus(int side) {
    if (!m_pUtilityPlacement) return 0;
    TargetValue* hot = m_pUtilityPlacement->GetSide(UtilityPlacement::Hot);
    TargetValue* cold = m_pUtilityPlacement->GetSide(UtilityPlacement::Cold);
    if (!hot || !cold) return 0;
    const int method = m_pUtilityPlacement->GetMethod();
    // Loads the utility curve cannot follow down to zero were not placed where they serve, unless
    // the curves of those loads keep the approach everywhere: loads above the targets pass their
    // surplus through the process to the other side, which is what the curves then show.
    const UserSuppliedUtilityLoad* user = m_pUtilityPlacement->GetUserSuppliedLoads();
    const UserLoadCurves* userCurves = user ? user->GetCurves() : nullptr;
    const MUCapitalUtilityTradeoff* tradeoff = m_pUtilityPlacement->GetTradeoff();
    const bool curvesKeepApproach = method == UtilityPlacement::UserSupplied
                                        ? userCurves && userCurves->KeepsApproach()
                                        : method == UtilityPlacement::CapitalUtilityTradeoff && tradeoff && tradeoff->IsOk();
    if ((method == UtilityPlacement::UserSupplied || method == UtilityPlacement::CapitalUtilityTradeoff) &&
        !curvesKeepApproach) {
        const int n = GetNumberOfCurvePoints(7) + GetNumberOfCurvePoints(6);
        for (int i = 0; i < n; ++i) {
            const double value = GetTargetCurveValue(6, 1, i);
            if (value < 0.0 && std::fabs(value) > kUtilityCurveDeficit) {
                if (hot->nStatus != TargetValue::Insufficient && cold->nStatus != TargetValue::Insufficient)
                    hot->nStatus = cold->nStatus = TargetValue::NotEvaluated;
                break;
            }
        }
    }
    if (side == UtilityPlacement::Hot) return hot->nStatus;
    if (side == UtilityPlacement::Cold) return cold->nStatus;
    return 0;
}

int CPIScenario::SetUtilityAssignmentMethod(int method) {
    if (!m_pUtilityPlacement) m_pUtilityPlacement = new UtilityPlacement(this, m_nUtilityAssignmentMethod);
    if (m_nForbiddenMatches != 0 && method != UtilityPlacement::Automatic) {
        SendMessageKey("OnlyGCCBasedAllowedIfForbidden");
        return 0;
    }
    m_pUtilityPlacement->SetMethod(method);
    m_nUtilityAssignmentMethod = method;
    MarkUtilitySegmentsForUpdate();
    UpdateTargets(nullptr, 20);
    SendAMessage(66, CPString(), Self());
    return 1;
}

int CPIScenario::AssignUtilityLoads() {
    if (!m_pUtilityPlacement) return 0;
    int result = 0;
    if (m_pUtilityPlacement->GetMethod() == UtilityPlacement::UserSupplied) {
        result = AssignUserSuppliedTargetLoads(*this);
        m_pUtilityPlacement->EnsureSide(UtilityPlacement::Hot);
        m_pUtilityPlacement->EnsureSide(UtilityPlacement::Cold);
    }
    UpdateTargets(nullptr, 35);
    return result;
}

// ---------------------------------------------------------------- forbidden matches

int CPIScenario::ChangeNumberOfForbiddenMatches(int delta) {
    if (m_nForbiddenMatches == m_nSavedForbiddenMatches) {
        if (m_nEnableBeforeForbiddenBatch == kNoForbiddenBatch) m_nEnableBeforeForbiddenBatch = m_nCalculationEnable;
        SuspendCalculations();
    }
    const int before = m_nForbiddenMatches;
    m_nForbiddenMatches += delta;
    if (before != 0 && m_nForbiddenMatches == 0) {
        if (!IsAutomationStartup()) SendMessageKey("ChangingToBathChoseUnForbidAll");
    } else if (before == 0 && m_nForbiddenMatches != 0) {
        if (!IsAutomationStartup()) SendMessageKey("ChangingToLPAndGCCChoseForbidden");
        SetUtilityAssignmentMethod(UtilityPlacement::Automatic);
    }
    return m_nForbiddenMatches;
}

void CPIScenario::EndForbiddenMatchChanges() {
    m_nSavedForbiddenMatches = m_nForbiddenMatches;
    const int before = m_nEnableBeforeForbiddenBatch;
    m_nEnableBeforeForbiddenBatch = kNoForbiddenBatch;
    // A batch made while the caller holds the calculations gives back only its own suspension:
    // the caller's resume recalculates once, after all of its changes.
    if (before != kNoForbiddenBatch && before < 1) {
        m_nCalculationEnable = before;
        return;
    }
    if (m_nCalculationEnable < 1) {
        m_nCalculationEnable = 0;
        ResumeCalculations(true);
    }
}

int CPIScenario::CountForbiddenMatchLinks() const {
    long ends = 0;
    if (m_pStreams)
        for (const CPIHeatIntegrationStream* stream : *m_pStreams) ends += stream->GetNumberOfLinkedStreams();
    return static_cast<int>(ends / 2);
}

void CPIScenario::DropForbiddenMatchesOf(CPIHeatIntegrationStream& stream) {
    const int links = stream.GetNumberOfLinkedStreams();
    if (links == 0) return;
    stream.ForgetLinkedStreams();
    // The count and its saved copy go down together: a batch of changes open on the
    // forbidden-match form stays open with what it changed, and none is opened here (the
    // deletion recalculates once, for all it changed).
    const int before = m_nForbiddenMatches;
    m_nForbiddenMatches = std::max(0, m_nForbiddenMatches - links);
    m_nSavedForbiddenMatches = std::max(0, m_nSavedForbiddenMatches - links);
    // The last forbidden match gone takes the targets back as unticking it does, and says so.
    if (before != 0 && m_nForbiddenMatches == 0 && !IsAutomationStartup())
        SendMessageKey("ChangingToBathChoseUnForbidAll");
}

void CPIScenario::RecountForbiddenMatches() {
    // Only process streams are forbidden to match (the matrix and `--forbid` pair a hot with a
    // cold one): a link a utility holds (a case written while a switch kept it) forbids nothing.
    if (m_pStreams)
        for (CPIHeatIntegrationStream* stream : *m_pStreams)
            if (stream->GetStreamKind() == CPIHeatIntegrationStream::KindUtility) stream->ForgetLinkedStreams();
    m_nForbiddenMatches = m_nSavedForbiddenMatches = CountForbiddenMatchLinks();
    // While a match is forbidden the utilities are placed on the grand composite curve only.
    if (m_nForbiddenMatches != 0 && GetUtilityAssignmentMethod() != UtilityPlacement::Automatic) {
        m_nUtilityAssignmentMethod = UtilityPlacement::Automatic;
        if (m_pUtilityPlacement) m_pUtilityPlacement->SetMethod(UtilityPlacement::Automatic);
    }
}

int CPIScenario::ValidateTargetMethodsForForbiddenMatches() {
    if (m_nForbiddenMatches == 0) return 1;
    if (GetUtilityAssignmentMethod() == UtilityPlacement::Automatic && GetAreaTargetMethod() == 1) return 1;
    SetUtilityAssignmentMethod(UtilityPlacement::Automatic);
    return 0;
}
