// Designs of a scenario: the design dictionary, the retrofit study around a base design and its
// stepwise runs, design optimisation, and automatic design with its result queries.
#include "eng/model/Scenario.h"

#include "brasko/DefaultManager.h"
#include "dunmor/Exceptions.h"
#include "eng/autodesign/IAdvancedSuperTarget.h"
#include "eng/design/DesignOptimisationCase.h"
#include "eng/design/IHENDesign.h"
#include "eng/design/NetworkBuildability.h"
#include "eng/design/UtilityPathCompletion.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/Framework.h"
#include "lumeth/NewRowMarker.h"
#include "lumeth/Session.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "win/RunDirectory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRecalculateDesign = 98;
constexpr double kMaxNewArea = 10000.0;
constexpr int kRetrofitCodeNoSaving = 26;
// A capital within this share of the budget is within the budget: the budget is a round sum,
// the capital the end of a calculation.
constexpr double kCapitalPrecision = 1e-9;

std::string FormatMoney(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}
constexpr int kReady = 3;
// The run's answer when no design has been chosen as the existing network.
constexpr int kRetrofitCodeNoBaseDesign = 8;

const char* modeLetter(int mode) {
    static const char* const kLetters[] = {"N", "P", "S", "U", "A"};
    return mode >= 0 && mode < 5 ? kLetters[mode] : "";
}

}  // namespace

// ---------------------------------------------------------------- dictionary

IHENDesign* CPIScenario::DesignByName(const CPString& name) const {
    return m_pDesigns ? m_pDesigns->FindKeyString(name) : nullptr;
}

void CPIScenario::RegisterWithDesign(IHENDesign& design) {
    design.AddNotificationReceiver(this);
    for (int code : kDesignCodes) design.AddValidMessage(this, code);
}

int CPIScenario::GetNumberOfDesigns() const { return m_pDesigns ? static_cast<int>(m_pDesigns->Length()) : 0; }

const char* CPIScenario::GetDesignName(int index) const {
    if (!m_pDesigns || index < 0 || static_cast<std::size_t>(index) >= m_pDesigns->Length()) return nullptr;
    const DictionaryEntry* entry = m_pDesigns->EntryAt(static_cast<std::size_t>(index));
    return entry ? entry->key.c_str() : nullptr;
}

int CPIScenario::AddDesign(const CPString& name) {
    if (DesignByName(name) || !m_services.designs) return 0;
    IHENDesign* design = m_services.designs->CreateDesign(*this, name);
    if (!design) return 0;
    ++m_nDesignCounter;
    if (!m_pDesigns) m_pDesigns = std::make_unique<DesignDictionary>(kDictionarySlots);
    m_pDesigns->AddKeyString(name, design);
    SendAMessage(0, name, Self());
    RegisterWithDesign(*design);
    // A new design knows the scenario's pinches from the start, so that the loads its units
    // carry across them are counted from its first calculation on, not only after the next
    // change of the targets.
    design->SetPinchPoints(GetProcessPinchPointList());
    // The design recalculates once, when all the streams are in, not once per stream.
    design->Deactivate();
    if (m_pStreams)
        for (CPIHeatIntegrationStream* stream : *m_pStreams) design->AddStream(stream);
    design->Activate(1);
    RankDesigns();
    return 1;
}

bool CPIScenario::GetDesign(int index, IHENDesign*& out, int kind) const {
    if (!m_pDesigns || index < 0) return false;
    const std::size_t i = static_cast<std::size_t>(index);
    switch (kind) {
    case 0:
        if (i >= m_pDesigns->Length()) return false;
        out = (*m_pDesigns)[i];
        return true;
    case 1:
        RankDesignsIfStale();
        if (i >= m_rankedDesigns.Length()) return false;
        out = m_rankedDesigns[i];
        return true;
    case 2:
        RankDesignsIfStale();
        if (i >= m_rankedCompleteDesigns.Length()) return false;
        out = m_rankedCompleteDesigns[i];
        return true;
    default:
        return out != nullptr;
    }
}

bool CPIScenario::GetDesign(const CPString& name, IHENDesign*& out) const {
    IHENDesign* design = DesignByName(name);
    if (!design) return false;
    out = design;
    return true;
}

int CPIScenario::RenameDesign(const CPString& oldName, const CPString& newName) {
    if (DesignByName(newName) || newName == ExtractedNetworkDesignName || IsNewRowMarker(newName.c_str())) return 0;
    IHENDesign* design = DesignByName(oldName);
    if (!design) return 0;
    const CPString previous = oldName;
    m_pDesigns->RenameKeyString(previous, newName);
    design->SetDesignName(newName);
    // A result the user renames is his to keep: the run no longer offers it for deletion.
    std::erase(m_retrofitRunResults, design);
    if (!m_strBaseDesignName.empty() && m_strBaseDesignName == previous) SetRetrofitBaseDesign(newName);
    CPString newText = newName;
    SendAMessage(2, previous, newText.data());
    return 1;
}

int CPIScenario::RemoveDesign(const CPString& name, bool rank) {
    IHENDesign* design = DesignByName(name);
    if (!design) return 0;
    const CPString removedName = name;
    SendAMessage(1, removedName, Self());
    m_pDesigns->RemoveKeyString(removedName);
    std::erase(m_retrofitRunResults, design);
    if (m_retrofitRunSource == design) m_retrofitRunSource = nullptr;
    design->RemoveNotificationReceiver(this);
    m_rankedDesigns.Remove(design);
    m_rankedCompleteDesigns.Remove(design);
    delete design;
    if (rank) RankDesigns();
    return 1;
}

// The base of a retrofit study is what every retrofit design is compared with and what the
// scenario's streams are locked for: no route deletes it while the study holds it.
int CPIScenario::DeleteDesign(const CPString& name) {
    if (m_bRetrofit && !m_strBaseDesignName.empty() && m_strBaseDesignName == name) return 0;
    return RemoveDesign(name, true);
}

int CPIScenario::CloneDesign(const CPString& name, IHENDesign* source) {
    if (!source) return 0;
    const int result = AddDesign(name);
    IHENDesign* design = result ? DesignByName(name) : nullptr;
    if (!design) return result;
    if (source->CopyTo(*design) != IHENDesign::CopyDone) {
        RemoveDesign(name, true);
        return 0;
    }
    CPString log = "Cloned from ";
    log += source->GetDesignName() ? source->GetDesignName() : "";
    design->AddToChangeLog(log);
    return result;
}

int CPIScenario::CopyDesignFromScenario(IHENDesign& source) {
    const CPString name = source.GetDesignName() ? source.GetDesignName() : "";
    if (!AddDesign(name)) return 0;
    IHENDesign* design = DesignByName(name);
    // A network on a stream this scenario lacks is not copied (the empty design goes again).
    if (source.CopyTo(*design) != IHENDesign::CopyDone) {
        RemoveDesign(name, true);
        return 0;
    }
    design->SetOwner(this);
    if (m_bAllowUtilitiesAtPorts) design->AddDummyUtilitiesForExtraction();
    RankDesigns();
    return 1;
}

void CPIScenario::ForEachDesign(void (*visit)(IHENDesign&, void*), void* context) const {
    if (!m_pDesigns) return;
    std::vector<IHENDesign*> designs(m_pDesigns->begin(), m_pDesigns->end());
    for (IHENDesign* design : designs) visit(*design, context);
}

void CPIScenario::AssignAllExchangerCostModels() {
    ForEachDesign([](IHENDesign& d, void*) { d.AssignExchangerCostModels(); }, nullptr);
}

// ---------------------------------------------------------------- retrofit study

void CPIScenario::SetRetrofitBaseDesign(const CPString& name) {
    m_strBaseDesignName = name;
    RefreshExistingNetworkValues();
    m_bRetrofit = true;
    HoldRetrofitBaseStreams();
    if (!name.empty()) {
        if (IHENDesign* design = DesignByName(name)) {
            if (!design->PrepareExchangersAsRetrofitBase(kMaxNewArea))
                Exceptions::Assert("eng/piscenario", __LINE__, "check");
            design->MarkAsExistingNetwork();
            design->SetSplitFractionsFromBranchDuties();
            design->AddValidMessage(this, IHENDesign::ChangeBaseExchangerData);
        }
    }
    UpdateTargets(nullptr, 94);
}

// Every stream of a retrofit study, and its defaults, are the existing network's: each stream
// answers for itself what the base holds of it (IsHeldByRetrofitBase). A copy of a retrofit
// scenario and a case read hold their streams on this same path. The hold lasts while the base
// is there: a study whose base design did not come along (a copy without it, a case that lost
// it) is an ordinary scenario. A site's utility is held only where the base runs on it: the site
// holds it in every scenario through this copy's lock.
void CPIScenario::HoldRetrofitBaseStreams() {
    IHENDesign* base = m_strBaseDesignName.empty() ? nullptr : DesignByName(m_strBaseDesignName);
    if (!base) {
        ClearRetrofitBaseDesign();
        return;
    }
    if (m_pStreams)
        for (CPIHeatIntegrationStream* stream : *m_pStreams)
            stream->SetLocked(!m_siteLinks.count(stream) || base->HasUnitOnStream(stream->GetName()));
    m_pDefaultManager->Lock();
}

void CPIScenario::ClearRetrofitBaseDesign() {
    m_strBaseDesignName.clear();
    m_bRetrofit = false;
    m_pDefaultManager->Unlock();
    for (CPIHeatIntegrationStream* stream : m_processStreams) stream->SetLocked(false);
    for (CPIHeatIntegrationStream* stream : m_utilityStreams) stream->SetLocked(false);
}

bool CPIScenario::GetRetrofitBaseDesign(IHENDesign*& out) const {
    if (m_strBaseDesignName.empty()) return false;
    return GetDesign(m_strBaseDesignName, out);
}

double CPIScenario::GetRetrofitBaseUtilityCost() const {
    IHENDesign* base = m_strBaseDesignName.empty() ? nullptr : DesignByName(m_strBaseDesignName);
    return base ? base->GetTotalUtilityCost(2) : 0.0;
}

double CPIScenario::GetRetrofitBaseCapitalCost() const {
    IHENDesign* base = m_strBaseDesignName.empty() ? nullptr : DesignByName(m_strBaseDesignName);
    return base ? base->GetTotalCapitalCost() : 0.0;
}

void CPIScenario::DeleteDesignsExceptBase() {
    if (GetNumberOfDesigns() <= 1) return;
    std::vector<CPString> names;
    for (int i = 0; i < GetNumberOfDesigns(); ++i) {
        IHENDesign* design = nullptr;
        if (!GetDesign(i, design, 0)) {
            Exceptions::Assert("eng/piscenario", __LINE__, "test == s_ok");
            continue;
        }
        const char* name = GetDesignName(i);
        if (name && m_strBaseDesignName != name) names.emplace_back(name);
    }
    for (const CPString& name : names) DeleteDesign(name);
}

void CPIScenario::DeleteRetrofitResultDesign() {
    if (!m_strResultDesignName.empty()) DeleteDesign(m_strResultDesignName);
}

IHENDesign* CPIScenario::GetRetrofitRunResult(const IHENDesign* from, int mode) const {
    if (!from || from != m_retrofitRunSource || mode != m_retrofitRunMode || m_retrofitRunResults.empty()) return nullptr;
    return m_retrofitRunResults.back();
}

int CPIScenario::GetRetrofitRunMode(const IHENDesign* from) const {
    return from && from == m_retrofitRunSource && !m_retrofitRunResults.empty() ? m_retrofitRunMode : -1;
}

void CPIScenario::RefreshExistingNetworkValues() {
    if (m_strBaseDesignName.empty()) return;
    if (IHENDesign* base = DesignByName(m_strBaseDesignName)) base->RefreshExistingNetworkValues();
}

void CPIScenario::PropagateExistingNetworkValues() {
    IHENDesign* base = m_strBaseDesignName.empty() ? nullptr : DesignByName(m_strBaseDesignName);
    if (!base || !m_pDesigns) return;
    for (IHENDesign* design : *m_pDesigns)
        if (design != base) design->TakeExistingNetworkValuesFrom(*base);
}

int CPIScenario::GetRetrofitStepStatus(int index) const {
    return index >= 0 && index < 6 ? m_nRetrofitStatus[index] : -1;
}

double CPIScenario::GetRetrofitStepCapital(int index) const {
    return index >= 0 && index < 6 ? m_dRetrofitStepCapital[index] : 0.0;
}

int CPIScenario::CheckRetrofitDesign(IHENDesign* design) {
    if (!design) return 11;
    if (!design->IsLoopAnalysisEnabled()) design->SetLoopAnalysisEnabled(true);
    if (m_processStreams.IsEmpty()) return 21;
    for (CPIHeatIntegrationStream* stream : m_processStreams)
        if (!stream->AreDesignSegmentsComplete()) return 21;
    if (m_utilityHot.IsEmpty() || m_utilityCold.IsEmpty()) return 23;
    for (CPIHeatIntegrationStream* utility : m_utilityHot) {
        if (!utility->AreDesignSegmentsComplete()) return 15;
        if (utility->GetCostIndex() == 0.0) return 22;
    }
    for (CPIHeatIntegrationStream* utility : m_utilityCold) {
        if (!utility->AreDesignSegmentsComplete()) return 9;
        if (utility->GetCostIndex() == 0.0) return 22;
    }
    if (FindIncompleteCostModel()) return 12;
    if (design->GetNumberOfHeatExchangers() == 0) return 11;
    if (!IsUtilityPlacementValid()) return 40;
    if (!design->AreStreamTerminalsReady()) return 1;
    design->RunOptimizerCheck();
    const bool automation = IsAutomationStartup();
    if (!design->AreExchangerPortsFreeOfUtilities() && (automation || !m_bAllowUtilitiesAtPorts)) return 43;
    if (automation && !design->GetInfeasibleHeatExchangers().empty() &&
        (!m_bRetrofit || !design->GetIgnoreInfeasibleExchangers()))
        return 1;
    if (!automation && !m_bRetrofit) design->SetDTMinFromNetwork();
    return kReady;
}

bool CPIScenario::CanRetrofitDesign(IHENDesign* design) const {
    if (!design) return false;
    for (CPIHeatIntegrationStream* stream : m_processStreams)
        if (!stream->IsComplete()) return false;
    if (!design->AreStreamTerminalsReady()) return false;
    // A heater or cooler a step left without duty is idle, not a failed calculation: the step may
    // well be the one that makes it redundant.
    const int incomplete = design->GetNumberOfIncompleteHeatExchangers(false);
    for (int i = 0; i < incomplete; ++i)
        if (!IHENDesign::IsIdleUtilityUnit(design->GetIncompleteHeatExchanger(i))) return false;
    return WhyNetworkIsNotBuildable(*design, DesignByName(m_strBaseDesignName), design->GetDTMin()).empty();
}

const char* CPIScenario::GetRetrofitStepReason(int index) const {
    return index >= 0 && index < 6 ? m_retrofitStepReason[index].c_str() : "";
}

// A modification model keeps the heaters and coolers of the network as they are: a process stream
// without one must have its whole load carried by its exchangers, which may leave the modified
// exchanger little to carry where its new place would want a heater on such a stream.
std::string CPIScenario::WhyStepSavesNothing(const IHENDesign& created, const IHENDesign& from, bool modificationModel) const {
    char loads[160];
    std::snprintf(loads, sizeof loads, "the hot utility would be %.2f kW against %.2f kW", created.GetTotalUtilityLoad(0),
                  from.GetTotalUtilityLoad(0));
    std::string why = std::string("the step saves no utility cost: ") + loads;
    if (!modificationModel) return why;
    std::string bare;
    int count = 0;
    for (CPIHeatIntegrationStream* stream : m_processStreams) {
        bool utility = false, units = false;
        CNode* unit = nullptr;
        for (int i = 0; !utility && created.GetUnitOnStream(stream->GetName(), i, unit); ++i) {
            units = true;
            const HeatExch* x = AsHeatExch(unit);
            utility = x && x->IsUtilityExch();
        }
        if (!units || utility) continue;
        bare += (bare.empty() ? "" : ", ") + std::string(stream->GetName().c_str());
        ++count;
    }
    if (count == 0) return why;
    return why + "; a modification adds no heater or cooler, and " + bare + (count == 1 ? " has" : " have") +
           " none, so " + (count == 1 ? "its exchangers carry its whole load" : "their exchangers carry their whole loads");
}

std::string CPIScenario::WhyRetrofitStepIsNotKept(IHENDesign& created, const IHENDesign& from, bool stepwise,
                                                  bool modificationModel) const {
    const double before = stepwise ? from.GetTotalUtilityCost(2) : GetRetrofitBaseUtilityCost();
    if (before - created.GetTotalUtilityCost(2) < 1e-8) return WhyStepSavesNothing(created, from, modificationModel);
    if (created.GetPaybackTime() < 0.0) return "the step never pays back";
    for (CPIHeatIntegrationStream* stream : m_processStreams)
        if (!stream->IsComplete()) return "a process stream is incomplete";
    if (!created.AreStreamTerminalsReady()) return "a stream of the network has no end";
    const std::vector<CNode*> incomplete = created.GetIncompleteHeatExchangers();
    for (CNode* unit : incomplete)
        if (!IHENDesign::IsIdleUtilityUnit(unit)) {
            CPString name;
            if (!unit->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = unit->getName();
            return std::string("the network does not calculate: ") + name.c_str() + " is not calculated";
        }
    std::string why = WhyNetworkIsNotBuildable(created, &from, created.GetDTMin());
    if (!why.empty()) return "the network cannot be built: " + why;
    // The budget is the most a step checked by area may spend: at 0 any capital outweighs every
    // saving. A heater or cooler moved to another utility has had its annualised capital weighed
    // against its saving already, and no budget bounds it.
    if (!stepwise) return std::string();
    const double budget = m_dOptimizerEconomicParameter;
    const double capital = created.CalculateCapitalCost();
    if (capital > budget + kCapitalPrecision * std::max(1.0, budget))
        return "the step needs capital " + FormatMoney(capital) + "; the budget is " + FormatMoney(budget);
    return std::string();
}

// Whether the design's hot utility load is already at the target, so that no retrofit step can
// save anything.
bool CPIScenario::IsUtilityLoadNearTarget(const IHENDesign& design) const {
    const double target = GetUtilityTarget(0);
    const double load = design.GetTotalUtilityLoad(0);
    if (load == 0.0) return true;
    if (target == 0.0) return load < target;
    return std::fabs((target - load) / target) < 0.001;
}

bool CPIScenario::RunRetrofitStep(IHENDesign& design, int mode, int step, bool stepwise) {
    const CPString designName = design.GetDesignName() ? design.GetDesignName() : "";
    if (!DesignByName(m_strBaseDesignName)) return false;

    CPString newName;
    for (int n = 1;; ++n) {
        newName = designName + "-" + std::to_string(n) + modeLetter(mode);
        if (stepwise) newName += "-" + std::to_string(step);
        if (!DesignByName(newName)) break;
    }
    // A step discarded leaves the case as it was: its design, once deleted, numbers no design.
    const int designCounter = m_nDesignCounter;
    if (!AddDesign(newName)) return false;
    IHENDesign* created = DesignByName(newName);
    created->MarkAsExistingNetwork();
    design.CopyTo(*created);
    created->AddToChangeLog("Cloned from " + designName);
    created->SetIntegerOption(mode);
    if (stepwise) created->SetSkipStreamEndsUpdate(true);
    created->RaiseNodeNameCounter(1000);

    m_strResultDesignName = newName;
    m_retrofitSettings.pBaseFlowSheet = design.GetFlowSheet();
    m_retrofitSettings.pBaseDesign = &design;
    const IHENDesign* base = DesignByName(m_strBaseDesignName);
    m_retrofitSettings.pReferenceFlowSheet = base ? base->GetFlowSheet() : nullptr;
    m_retrofitSettings.strBaseDesignName = designName;
    m_retrofitSettings.dDTmin = design.GetDTMin();
    m_retrofitSettings.nMode = mode;
    m_retrofitSettings.nPreviousModifications = stepwise ? step - 1 : 0;
    m_retrofitSettings.dPlacedCapital = 0.0;
    m_retrofitSettings.strDiscardReason.clear();

    int result = m_services.retrofit ? m_services.retrofit->Run(m_retrofitSettings, *created)
                                     : RetrofitDriver::ResultNothingDone;
    if (stepwise) created->SetSkipStreamEndsUpdate(false);

    // A step the driver kept must also save utility cost, pay back, leave a network that can be
    // built and stay within the budget; a step the driver refused keeps the driver's reason.
    std::string why;
    if (!RetrofitDriver::IsDiscardResult(result)) why = WhyRetrofitStepIsNotKept(*created, design, stepwise, mode <= 2);
    if (!why.empty()) result = kRetrofitCodeNoSaving;
    else if (RetrofitDriver::IsDiscardResult(result)) why = m_retrofitSettings.strDiscardReason;
    m_retrofitStepReason[stepwise ? step - 1 : 5] = why;
    m_nRetrofitStatus[stepwise ? step - 1 : 5] = result;
    m_dRetrofitStepCapital[stepwise ? step - 1 : 5] = m_retrofitSettings.dPlacedCapital;
    m_strResultDesignName.clear();
    if (RetrofitDriver::IsDiscardResult(result)) {
        if (DeleteDesign(newName) != 0) m_nDesignCounter = designCounter;
    } else {
        m_retrofitRunResults.push_back(created);
        SendAMessage(66, CPString(), Self());
    }
    return true;
}

void CPIScenario::RetrofitDesign(IHENDesign* design, int mode) {
    if (!design) return;
    m_retrofitRunSource = design;
    m_retrofitRunMode = mode;
    m_retrofitRunResults.clear();
    if (!design->IsLoopAnalysisEnabled()) design->SetLoopAnalysisEnabled(true);

    // A run refused before its first step answers with the refusal's own code where its result is
    // read (the first step of a stepwise run), so that the user learns why nothing was made.
    const bool stepwise = mode >= 0 && mode <= 2;
    for (int i = stepwise ? 0 : 5; i < (stepwise ? 5 : 6); ++i) {
        m_nRetrofitStatus[i] = -1;
        m_dRetrofitStepCapital[i] = 0.0;
        m_retrofitStepReason[i].clear();
    }
    const int ready = m_strBaseDesignName.empty() ? kRetrofitCodeNoBaseDesign : CheckRetrofitDesign(design);
    if (ready != kReady) {
        m_nRetrofitStatus[stepwise ? 0 : 5] = ready;
        return;
    }

    if (stepwise) {
        RefreshExistingNetworkValues();
        // The log names the step in progress. It lies in a directory of the run's own, which goes
        // with the run however the run ends: no file of a fixed name in the temporary directory
        // (another user's link or pipe, the user's own file) is ever opened or removed.
        RunDirectory logs("kestrin-retrofit-");
        struct ForgetLog {
            std::string& path;
            ~ForgetLog() { path.clear(); }
        } forgetLog{m_retrofitLogPath};
        m_retrofitLogPath = logs.FilePath("Retrofit.log");
        // What the driver kept between the steps goes with the run, however the run ends.
        struct EndDriverRun {
            RetrofitDriver* driver;
            ~EndDriverRun() {
                if (driver) driver->EndRun();
            }
        } endRun{m_services.retrofit.get()};
        int steps = m_nLevelSettings[mode + 1];
        if (steps < 1 || steps > 5) steps = 5;
        m_nLevelSettings[0] = steps;
        for (int step = 1; step <= steps; ++step) {
            logs.WriteFile("Retrofit.log", std::to_string(step));
            m_nRetrofitStatus[step - 1] = -1;
            if (IsUtilityLoadNearTarget(*design)) return;
            if (!RunRetrofitStep(*design, mode, step, true)) return;
        }
        return;
    }

    RefreshExistingNetworkValues();
    if (mode != 3 && mode != 4 && IsUtilityLoadNearTarget(*design)) return;
    RunRetrofitStep(*design, mode, 0, false);
}

int CPIScenario::OptimizeDesign(IHENDesign* design, int mode, bool keep) {
    if (!design) return 2;
    int status = 2;
    if (design->GetNumberOfHeatExchangers() > 0) {
        status = 4;
        for (CPIHeatIntegrationStream* stream : m_processStreams)
            if (!stream->IsComplete()) status = 0;
    }
    if (!design->AreStreamTerminalsReady()) status = 6;
    if (mode == 1 && FindIncompleteCostModel()) return 1;
    if (status != 4) return status;
    // Modes 0 (least area) and 1 (least total annual cost) run on a copy "<name>-O" when `keep`
    // is set; 3 always on the design itself; any other mode fails.
    // A failed run takes away the copy it made (and only that one: a design already named
    // "<name>-O" stays, the copy then being "<name>-O-1").
    CPString copyName;
    bool failed = true;
    // A run that keeps nothing leaves the case as it was: the copy it made and deleted again
    // numbers no design.
    const int designCounter = m_nDesignCounter;
    {
        DesignOptimisationCase run(design, mode, keep, 1);
        const int code = run.GetMode();
        if (run.IsCopy() && run.GetDesign() && run.GetDesign()->GetDesignName()) copyName = run.GetDesign()->GetDesignName();
        if (run.GetDesign() && code < 4 && code != 2) {
            failed = run.GetDesign()->RunOptimizer(code) != IHENDesign::OptimiserImproved;
            // A copy with units that no longer calculate (a branch closed to nothing, a duty the
            // streams cannot meet) is no network to keep, whatever its objective says.
            if (!failed && run.IsCopy() &&
                run.GetDesign()->GetNumberOfIncompleteHeatExchangers(false) > design->GetNumberOfIncompleteHeatExchangers(false)) {
                failed = true;
                // The optimiser's last line spoke of the copy as kept: the status ends on its fate.
                const char* name = design->GetDesignName() ? design->GetDesignName() : "";
                UserStatusReport(Text(std::string("The optimised copy ") + copyName.c_str() +
                                      " has units that do not calculate: it was discarded and " + name +
                                      " is as it was"),
                                 2);
            }
        }
    }
    if (!failed) return 4;
    if (keep && !copyName.empty() && DeleteDesign(copyName) != 0) m_nDesignCounter = designCounter;
    return 3;
}

// ---------------------------------------------------------------- automatic design

IAdvancedSuperTarget* CPIScenario::AutomaticDesignObject(int which) {
    if (!m_pAutomaticDesign[which] && m_services.automaticDesign)
        m_pAutomaticDesign[which].reset(m_services.automaticDesign->Create(*this));
    return m_pAutomaticDesign[which].get();
}

void CPIScenario::AutomaticHENDesign(void* argument) {
    IAdvancedSuperTarget* run = AutomaticDesignObject(0);
    if (!run) return;
    DefaultManager& manager = GetActiveManager();
    run->Run(m_pStreams.get(), argument, manager.GetEconomicDataPointer(), manager.GetEconomicInfoPointer(),
             m_pMatches.get(), m_dDTmin, nullptr, m_nDesignsWanted);
}

void CPIScenario::SmartCompleteDesign(const CPString& designName) {
    IHENDesign* design = DesignByName(designName);
    if (!design) return;
    IAdvancedSuperTarget* run = AutomaticDesignObject(1);
    if (!run) return;
    // The completion runs under the limit set on the scenario's automatic design.
    if (m_pAutomaticDesign[0]) run->SetTimeLimit(m_pAutomaticDesign[0]->GetTimeLimit());
    DefaultManager& manager = GetActiveManager();
    std::vector<std::string> before;
    for (int i = 0; i < GetNumberOfDesigns(); ++i)
        if (const char* name = GetDesignName(i)) before.emplace_back(name);
    run->Run(m_pStreams.get(), nullptr, manager.GetEconomicDataPointer(), manager.GetEconomicInfoPointer(),
             m_pMatches.get(), m_dDTmin, design, 1);
    // The run lays out a network of its own, the given matches among its matches but wherever
    // its structure puts them. A completion keeps the user's network as it is: the design the run
    // made (under its name) is a copy of the given one, with exchangers added along its utility
    // paths while one lowers the cost, so that it never costs more than what it completes.
    CPString made;
    for (int i = 0; i < GetNumberOfDesigns(); ++i)
        if (const char* name = GetDesignName(i); name && std::find(before.begin(), before.end(), name) == before.end())
            made = name;
    if (made.empty()) return;
    RemoveDesign(made, false);
    if (!CloneDesign(made, design)) return;
    if (IHENDesign* completed = DesignByName(made)) {
        completed->ProcessChange(kRecalculateDesign, CPString(), nullptr);
        CompleteByUtilityPaths(*completed, "by automatic design module");
    }
}

IAdvancedSuperTarget* CPIScenario::GetAdvancedSuperTarget(int mode) {
    IAdvancedSuperTarget* run = AutomaticDesignObject(0);
    if (run) run->SetMode(mode);
    return run;
}

IAdvancedSuperTarget* CPIScenario::ToggleAdvancedSuperTargetFlag() {
    IAdvancedSuperTarget* run = AutomaticDesignObject(0);
    if (run) run->ToggleFlag();
    return run;
}

const char* CPIScenario::GetAutomaticDesignMessage() const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetMessageKey() : nullptr;
}
double CPIScenario::GetAutomaticDesignResultA() const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetResultA() : 0.0;
}
double CPIScenario::GetAutomaticDesignResultB() const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetResultB() : 0.0;
}
int CPIScenario::GetAutoDesignListLength() const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetNumberOfSummedValues() : 0;
}
double CPIScenario::GetAutomaticDesignSumValue(int index) const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetSummedValue(index) : 0.0;
}
const char* CPIScenario::GetAutomaticDesignListName(int index) const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetNamedEntry(index) : nullptr;
}
int CPIScenario::GetNumberOfAutoDesignLoadedItems() const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetNumberOfLoadedMatches() : 0;
}
int CPIScenario::GetNumberOfAutoDesignUnloadedItems() const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetNumberOfUnloadedMatches() : 0;
}
double CPIScenario::GetAutomaticDesignMatchLoad(int index) const {
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetLoadedMatchLoad(index) : 0.0;
}
const char* CPIScenario::GetAutomaticDesignMatchStreamName(int index, int side) const {
    if (side != 0 && side != 1) {
        Exceptions::Assert("eng/matchwisestreamdata", 286, "eSHT == Hot || eSHT == Cold");
        return nullptr;
    }
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetLoadedMatchStreamName(index, side) : nullptr;
}
const char* CPIScenario::GetAutomaticDesignUnloadedMatchStreamName(int index, int side) const {
    if (side != 0 && side != 1) {
        Exceptions::Assert("eng/matchwisestreamdata", 286, "eSHT == Hot || eSHT == Cold");
        return nullptr;
    }
    return m_pAutomaticDesign[0] ? m_pAutomaticDesign[0]->GetUnloadedMatchStreamName(index, side) : nullptr;
}
