// Operation of a finished design: locking it (its structure and exchanger performance frozen,
// the process streams restated by mass flow and specific heat), modifying and unlocking the
// operation, and the recalculation of a locked network through the network calculator with the
// scenario's stream links brought into balance.
#include "eng/design/HENDesign.h"

#include "eng/design/HENCalculator.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"
#include "eng/model/StreamTransportProperties.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <cmath>
#include <cstring>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;
constexpr int kMaxLinkPasses = 10;
// The temperature a stream left the network with when the design was locked (its end segment's).
constexpr const char* kDesignedTemperature = "DesignedTemperature";
// The observed coefficient a unit was given before the lock observed one of its own.
constexpr const char* kDesignedObservedCoefficient = "DesignedObservedHTC";
// A value read back from a unit or stream against the one a solved run recorded: different beyond
// rounding, it was typed since the run.
bool TypedSince(double now, double then) { return std::fabs(now - then) > 1e-9 * (1.0 + std::fabs(now)); }

// The values the lock freezes, kept beside each unit as the design had them, each with its
// status: a unit given by its area is given by it again after the unlock, one whose shells the
// design chose chooses them again, and one given by an outlet temperature (its hot side's, 0, or
// its cold side's, 1, on the segment leaving it) is given by it again. (The duty is kept on its own
// below: its status decides the others'.)
struct KeptSize {
    const char* name;
    const char* kept;
    int side;  // -1: the unit's own value; 0 or 1: the temperature of the segment leaving that side
};
constexpr KeptSize kKeptSizes[] = {
    {NodeValue::HTArea, "DesignedHTArea", -1},
    {NodeValue::NShellsInSeries, "DesignedNShellsInSeries", -1},
    {NodeValue::ShellsInSeriesSpecified, "DesignedShellsInSeriesSpecified", -1},
    {NodeValue::Temperature, "DesignedHotOutletTemperature", 0},
    {NodeValue::Temperature, "DesignedColdOutletTemperature", 1},
};

// Where a kept value lives: on the unit, or on the segment leaving one of its sides inside the
// network (a stream's end keeps its own temperature, below); null where there is none.
CNode* holderOf(CNode* node, const KeptSize& size) {
    if (size.side < 0) return node;
    HeatExch* x = AsHeatExch(node);
    CNode* outlet = x && !x->IsUtilityExch() ? x->getOutlet(size.side) : nullptr;
    return outlet && IsSegment(outlet) && !IsProductBlock(After(outlet)) ? outlet : nullptr;
}

// Written first as not specified and then as specified, so that the network recalculates around
// a value it keeps.
void respecify(CNode* node, const char* name) {
    double v = 0.0;
    if (!node || !node->getVariableAsDouble(name, v)) return;
    node->addVariable(name, v, ValueStatus::Open);
    node->addVariable(name, v, ValueStatus::Specified);
}

void restate(CNode* node, const char* name, int status) {
    double v = 0.0;
    if (node && node->getVariableAsDouble(name, v)) node->addVariable(name, v, status);
}

bool isUtilityExchanger(CNode* node) {
    HeatExch* x = AsHeatExch(node);
    return x && x->IsUtilityExch();
}

// The exchanger's coefficient basis, then its two refreshes: the clean coefficient at the
// present temperatures.
void refreshCoefficients(HeatExch* x, const char* basis) {
    x->setUCalculationMethod(basis);
    x->Calculate(UnitCode::RefreshPerformance);
    x->Calculate(UnitCode::RefreshPerformance);
}

// The coefficient the exchanger runs at: its clean one behind its fouling resistance, so that
// the lock keeps the duty the fouled exchanger had, and a cleaning takes the resistance off once.
void observeCoefficient(HeatExch* x) {
    double clean = 0.0, fouling = 0.0;
    if (!x->getVariableAsDouble(NodeValue::OverallCleanHTC, clean) || !(clean > 0.0)) return;
    if (x->getVariableAsDouble(NodeValue::HXFoulingFactor, fouling) && fouling > 0.0 && fouling != kEmpty)
        clean = 1.0 / (1.0 / clean + fouling);
    x->addVariable(NodeValue::ObservedHTC, clean, ValueStatus::Specified);
}

}  // namespace

// ---------------------------------------------------------------- lockability

int CPIHENDesign::CheckOperationLockable() {
    if (m_streams.empty()) return 21;
    for (IHeatIntegrationStream* s : m_streams)
        if (!s->AreDesignSegmentsComplete()) return 21;
    // A utility's film coefficient is the site's default, not worked out from transport
    // properties: the lock restates process streams only, and only they need them.
    for (IHeatIntegrationStream* s : m_streams)
        if (!IsUtilityStream(s) && !HasTransportProperties(*s)) return 42;
    if (m_exchangers.empty()) return 11;
    // A unit the design could not size (its temperatures cross, or its shells cannot do its duty)
    // has no performance to freeze.
    for (CNode* node : m_exchangers) {
        HeatExch* x = AsHeatExch(node);
        if (x && ((!x->IsFeasible() && x->getStatus() != ExchangerStatus::Calculated) || x->HasTooFewShells())) return 1;
    }
    // A locked network holds its streams' targets with the end utilities: a process stream the
    // units leave short of its target has no operating point to hold.
    if (!AreStreamTerminalsReady() || GetNumberOfUnsatisfiedProcessStreams() > 0) return 1;
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double share = 0.0;
            if (branch->getVariableAsDouble(NodeValue::SplitFraction, share) && share != kEmpty && share < 0.0) return 2;
        }
    return 3;
}

// ---------------------------------------------------------------- lock

void CPIHENDesign::RestateStreamsForOperation() {
    for (IHeatIntegrationStream* s : m_streams) {
        if (s->GetStreamKind() == 1) continue;
        const int n = s->GetNumberOfSegments();
        double flow = kEmpty;
        std::vector<double> specificHeat(static_cast<std::size_t>(n), kEmpty);
        if (!s->GetValue("MassFlow", flow, 0)) flow = kEmpty;
        bool complete = true;
        for (int i = 0; i < n; ++i)
            complete = complete && s->GetValue("SpecificHeat", specificHeat[i], i) && specificHeat[i] != kEmpty;
        // A stream given by heat-capacity flow rate and specific heat (a stream table's) has
        // not derived its mass flow: its first segment gives it, as the table checked that
        // every segment gives the same one.
        double cp = kEmpty;
        if ((flow == kEmpty || flow <= 0.0) && complete && n > 0 && specificHeat[0] > 0.0 &&
            s->GetValue("HeatCapacityFlowrate", cp, 0) && cp != kEmpty && cp > 0.0)
            flow = cp / specificHeat[0];
        complete = complete && flow != kEmpty && flow > 0.0;
        // A stream known only by its heat-capacity flow rate keeps it: emptying it would lose
        // the stream's data with nothing to restate it from.
        if (!complete) continue;
        for (int i = 0; i < n; ++i)
            for (const char* name : {"MassFlow", "SpecificHeat", "HeatCapacityFlowrate", "Enthalpy"})
                if (std::string(name) != "MassFlow" || i == 0) s->SetValue(name, kEmpty, i);
        s->SetValue("MassFlow", flow, 0);
        for (int i = 0; i < n; ++i) s->SetValue("SpecificHeat", specificHeat[i], i);
    }
}

void CPIHENDesign::RemoveUtilitiesAtExchangerPorts() {
    for (CNode* heater : m_sheet->getAllNodesOfType(NodeKind::Heater)) {
        IHeatIntegrationStream* stream = StreamOf(Before(heater));
        if (!stream || stream->GetStreamKind() == 1 || !m_sheet->getNode(heater->getName())) continue;
        const bool hot = stream->GetHotCold() == 0;
        CNode* before = Before(heater);
        CNode* unit = nullptr;
        int port = hot ? 1 : 3;
        if (IsFeedBlock(Before(before)) || IsTee(Before(before))) {
            unit = After(After(heater));
            port = hot ? 0 : 2;
        } else {
            unit = Before(before);
        }
        if ((IsExchanger(unit) || IsMixer(unit)) && !IsPortFreeOfUtility(unit, port)) RemoveUtilityAtPort(unit, port);
    }
}

void CPIHENDesign::AddOperatingEndUtilities() {
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) {
        CNode* segment = Before(end);
        CNode* unit = Before(segment);
        IHeatIntegrationStream* stream = StreamOf(segment);
        if (!stream) continue;
        if (HeatExch* x = AsHeatExch(unit)) {
            // A heater or cooler at the stream's end takes what the exchangers leave of the load
            // itself; a placeholder behind it would share that one end demand with it and leave
            // both undetermined.
            if (x->IsUtilityExch()) continue;
            const int port = stream->GetHotCold() == 0 ? 1 : 3;
            if (!IsPortFreeOfUtility(unit, port)) continue;
            const int side = port == 1 ? 0 : 1;
            double t = 0.0;
            const bool known = x->getOutlet(side) && x->getOutlet(side)->getVariableAsDouble(NodeValue::Temperature, t);
            AddUtilityAtPort(unit, port);
            if (known && x->getOutlet(side)) x->getOutlet(side)->addVariable(NodeValue::Temperature, t, ValueStatus::Calculated);
        } else if (IsMixer(unit)) {
            CNode* after = After(unit);
            double t = 0.0;
            const bool known = after && after->getVariableAsDouble(NodeValue::Temperature, t);
            AddUtilityAtPort(unit, 1);
            if (known && After(unit)) After(unit)->addVariable(NodeValue::Temperature, t, ValueStatus::Calculated);
        }
    }
}

void CPIHENDesign::FreezeExchangerPerformance(bool all) {
    for (CNode* node : m_exchangers) {
        HeatExch* x = AsHeatExch(node);
        if (!x) continue;
        if (all) {
            if (x->getVariableStatus(NodeValue::Duty) != ValueStatus::Specified) continue;
            restate(x, NodeValue::Duty, ValueStatus::Calculated);
            if (x->IsUtilityExch()) continue;
            respecify(x, NodeValue::HTArea);
            respecify(x, NodeValue::NShellsInSeries);
            x->addVariable(NodeValue::ShellsInSeriesSpecified, 1.0, ValueStatus::Specified);
        } else if (x->IsUtilityExch()) {
            continue;
        }
        refreshCoefficients(x, "FlowCorrecBased");
        observeCoefficient(x);
    }
}

void CPIHENDesign::LockOperation() {
    // Locked, the units hold the operated network: locked again, the values kept for the unlock
    // would be the operated ones, not the design's.
    if (m_operationLocked) return;
    m_operatingPointRefusal = CPString();
    // A study made of the unlocked network follows none of its units (none has a frozen area):
    // the locked network's studies are made of it again. Those made before are set aside, not
    // destroyed: a lock refused gives them back, and the views that show them let go first.
    SetStudiesAside();
    // A lock whose own point no heater, cooler or utility can run at (cooling water held to a
    // flow that would leave a cooler warmer than its stream enters) is no operating point: the
    // scenario gives back the streams the lock restated and the design as it was, to the bit.
    const auto lock = [this](CPString& why) -> const char* {
        FreezeForOperation();
        why = JudgeOperatingPoint("Default operating state: ");
        return why.empty() ? nullptr : "OpDesInfes";
    };
    CPString refusal;
    if (m_scenario) {
        const std::vector<IHeatIntegrationStream*> streams(m_streams);
        m_scenario->TryOperatingChange(streams, lock, refusal);
    } else {
        lock(refusal);
    }
    if (refusal.empty()) return;
    // A scenario that gives nothing back leaves the network to go back to the design it was.
    if (m_operationLocked) UnlockOperation();
    TakeBackStudiesSetAside();
    m_operatingPointRefusal = refusal;
}

void CPIHENDesign::SetStudiesAside() {
    m_studiesAside.clear();
    m_defaultStudyAside = std::move(m_defaultStudy);
    m_studiesAside.swap(m_studies);
    m_currentStudyAside = m_currentStudy;
    m_studyCounterAside = m_studyCounter;
    m_currentStudy = nullptr;
    m_studyCounter = 1;
}

void CPIHENDesign::TakeBackStudiesSetAside() {
    // The refused lock made none of its own.
    m_studies.clear();
    m_defaultStudy = std::move(m_defaultStudyAside);
    m_studies.swap(m_studiesAside);
    m_currentStudy = m_currentStudyAside;
    m_studyCounter = m_studyCounterAside;
    m_currentStudyAside = nullptr;
}

void CPIHENDesign::FreezeForOperation() {
    if (m_scenario) m_scenario->SuspendCalculations();
    // The duties of the design are kept beside the unit: the locked network solves its duties
    // from the frozen areas, which the ten-segment area equation gives back exactly only where
    // the heat-capacity flow rates are constant, and unlocking must give back the design as it was.
    // A duty the design calculated is kept as calculated, so that unlocking hands it back to the
    // design's own balance.
    for (CNode* node : m_exchangers) {
        const int status = node->getVariableStatus(NodeValue::Duty);
        double duty = 0.0;
        if (status != ValueStatus::Open && node->getVariableAsDouble(NodeValue::Duty, duty))
            node->addVariable(kDesignedDuty, duty, status);
        for (const KeptSize& size : kKeptSizes) {
            double v = 0.0;
            node->removeVariable(size.kept);
            CNode* holder = holderOf(node, size);
            // An outlet temperature is the user's only where given: a worked-out one follows the
            // design again after the unlock.
            const int status = holder ? holder->getVariableStatus(size.name) : ValueStatus::Open;
            if (holder && holder->hasVariable(size.name) && holder->getVariableAsDouble(size.name, v) && v != kEmpty &&
                (size.side < 0 || status == ValueStatus::Specified))
                node->addVariable(size.kept, v, status);
            else if (std::strcmp(size.name, NodeValue::ShellsInSeriesSpecified) == 0)
                node->addVariable(size.kept, 0.0, ValueStatus::Specified);
        }
        // One the lock itself observed (a network locked again) is not the design's.
        double observed = 0.0;
        if (!m_operationLocked && node->getVariableStatus(NodeValue::ObservedHTC) == ValueStatus::Specified &&
            node->getVariableAsDouble(NodeValue::ObservedHTC, observed))
            node->addVariable(kDesignedObservedCoefficient, observed, ValueStatus::Specified);
    }
    // So are the temperatures the streams leave with: what-ifs while locked may type an end
    // utility's outlet, and unlocking gives the design's ends back.
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) {
        CNode* segment = Before(end);
        const int status = segment ? segment->getVariableStatus(NodeValue::Temperature) : ValueStatus::Open;
        double t = 0.0;
        if (IsSegment(segment) && status != ValueStatus::Open && segment->getVariableAsDouble(NodeValue::Temperature, t))
            segment->addVariable(kDesignedTemperature, t, status);
    }
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double share = 0.0;
            branch->removeVariable(chain::kDesignedSplitFraction);
            if (branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified &&
                branch->getVariableAsDouble(NodeValue::SplitFraction, share))
                branch->addVariable(chain::kDesignedSplitFraction, share, ValueStatus::Specified);
        }
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) {
        IHeatIntegrationStream* stream = StreamOf(Before(end));
        if (stream && !IsUtilityStream(stream) && IsStreamSatisfied(stream, nullptr))
            end->addVariable(kSatisfiedWhenLocked, 1.0, ValueStatus::Specified);
    }
    RestateStreamsForOperation();
    Deactivate();
    // The duties the design calculated become the operating point's.
    for (CNode* node : m_sheet->getAllNodes())
        if (!IsSegment(node) && node->getVariableStatus(NodeValue::Duty) == ValueStatus::Calculated)
            respecify(node, NodeValue::Duty);
    RemoveUtilitiesAtExchangerPorts();
    AddOperatingEndUtilities();
    // Temperatures inside the network are results of the operated network, not specifications.
    // Where a stream enters (its supply temperature) and leaves (its target, which the end
    // utility holds) they stay given: without them nothing would fix the network's temperatures.
    for (CNode* segment : m_sheet->getAllNodesOfType(NodeKind::MaterialStream))
        if (segment->getVariableStatus(NodeValue::Temperature) == ValueStatus::Specified &&
            !IsFeedBlock(Before(segment)) && !IsProductBlock(After(segment)))
            restate(segment, NodeValue::Temperature, ValueStatus::Calculated);
    ModifyOperation();
    FreezeExchangerPerformance(true);
    m_operationLocked = true;
    ResetCalculatedValues();
    ModifyOperation();
    FreezeExchangerPerformance(false);
    TakeOperatingState();
    // The streams were restated for operation while the targets waited: they are brought up to
    // date now, as reading the case would, and the scenario calculates again after the lock.
    if (m_scenario) m_scenario->ResumeCalculations(true);
}

// ---------------------------------------------------------------- modify and unlock

void CPIHENDesign::RespecifySplitFractions() {
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        for (CNode* branch : tee->getAllDownStreamNodes())
            if (branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified)
                respecify(branch, NodeValue::SplitFraction);
}

void CPIHENDesign::ResetEndUtilityDuties() {
    for (CNode* node : m_exchangers) {
        HeatExch* x = AsHeatExch(node);
        if (!x || !x->IsUtilityExch() || !x->getOutlet(1)) continue;
        IHeatIntegrationStream* stream = StreamOf(x->getOutlet(1));
        if (!stream) continue;
        for (CNode* heater : m_sheet->getAllNodesOfType(NodeKind::Heater))
            if (StreamOf(Before(heater)) == stream) {
                heater->addVariable(NodeValue::Duty, 0.0, ValueStatus::Open);
                heater->addVariable(NodeValue::Duty, 0.0, ValueStatus::Specified);
            }
    }
}

// A what-if's solution leaves the units: the default state is written back (its split shares
// specified again) and no schedule is the executed one. The design stays deactivated; the caller
// solves the default point.
void CPIHENDesign::LeaveOperatingSolution() {
    Deactivate();
    m_executedSchedule = CPString();
    DefaultState().ApplyToDesign();
    RespecifySplitFractions();
    m_operatingSolution = 0;
}

void CPIHENDesign::ModifyOperation() {
    const bool left = m_operatingSolution != 0;
    if (left) LeaveOperatingSolution();
    GetNetworkCalculator().PrepareStreams();
    ResetEndUtilityDuties();
    // Stopped to write the default state back, the design solves it again, as the reset does: the
    // figures shown are the state's, and the sizes typed next recalculate from the default point,
    // not from the what-if's solution.
    if (left) {
        Activate(1);
        TakeOperatingState();
    }
}

void CPIHENDesign::UnlockOperation() {
    // Not locked, the default state is the last lock's and the units hold what was typed since.
    if (!m_operationLocked) return;
    Deactivate();
    m_operationLocked = false;
    m_operatingPointRefusal = CPString();
    DefaultState().ApplyToDesign();
    for (CNode* node : m_exchangers) {
        HeatExch* x = AsHeatExch(node);
        if (!x || x->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified) continue;
        restate(x, NodeValue::HTArea, ValueStatus::Calculated);
        respecify(x, NodeValue::Duty);
        x->setUCalculationMethod("StreamBased");
    }
    for (CNode* node : m_exchangers) {
        double duty = 0.0;
        if (!node->getVariableAsDouble(kDesignedDuty, duty)) continue;
        const bool specified = node->getVariableStatus(kDesignedDuty) == ValueStatus::Specified;
        node->addVariable(NodeValue::Duty, duty, ValueStatus::Open);
        if (specified) node->addVariable(NodeValue::Duty, duty, ValueStatus::Specified);
        node->removeVariable(kDesignedDuty);
    }
    // The sizes and outlet temperatures as the design had them: a given area or outlet temperature
    // given again (its duty left to the design), a worked-out size worked out again.
    for (CNode* node : m_exchangers)
        for (const KeptSize& size : kKeptSizes) {
            double v = 0.0;
            if (!node->getVariableAsDouble(size.kept, v)) continue;
            const int status = node->getVariableStatus(size.kept);
            node->removeVariable(size.kept);
            CNode* holder = holderOf(node, size);
            if (!holder) continue;
            holder->addVariable(size.name, v, ValueStatus::Open);
            if (status != ValueStatus::Open) holder->addVariable(size.name, v, status);
            if ((size.side >= 0 || std::strcmp(size.name, NodeValue::HTArea) == 0) && status == ValueStatus::Specified) {
                double duty = 0.0;
                if (node->getVariableStatus(NodeValue::Duty) == ValueStatus::Specified &&
                    node->getVariableAsDouble(NodeValue::Duty, duty))
                    node->addVariable(NodeValue::Duty, duty, ValueStatus::Open);
            }
        }
    // The coefficients the lock froze go with it: the design's exchangers follow their streams'
    // films again (a film changed while locked shows as if typed before the lock), except where
    // an observed coefficient was given before the lock.
    for (CNode* node : m_exchangers) {
        if (isUtilityExchanger(node)) continue;
        double observed = 0.0;
        if (node->getVariableAsDouble(kDesignedObservedCoefficient, observed))
            node->addVariable(NodeValue::ObservedHTC, observed, ValueStatus::Specified);
        else
            node->removeVariable(NodeValue::ObservedHTC);
        node->removeVariable(kDesignedObservedCoefficient);
        restate(node, NodeValue::OverallCleanHTC, ValueStatus::Calculated);
    }
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) {
        CNode* segment = Before(end);
        double t = 0.0;
        if (!segment || !segment->getVariableAsDouble(kDesignedTemperature, t)) continue;
        const int status = segment->getVariableStatus(kDesignedTemperature);
        segment->addVariable(NodeValue::Temperature, t, ValueStatus::Open);
        if (status != ValueStatus::Open) segment->addVariable(NodeValue::Temperature, t, status);
        segment->removeVariable(kDesignedTemperature);
    }
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) end->removeVariable(kSatisfiedWhenLocked);
    for (CNode* tee : m_sheet->getAllNodesOfType(NodeKind::Tee))
        for (CNode* branch : tee->getAllDownStreamNodes()) {
            double share = 0.0;
            if (!branch->getVariableAsDouble(chain::kDesignedSplitFraction, share)) continue;
            branch->addVariable(NodeValue::SplitFraction, share, ValueStatus::Open);
            branch->addVariable(NodeValue::SplitFraction, share, ValueStatus::Specified);
            branch->removeVariable(chain::kDesignedSplitFraction);
        }
    RespecifySplitFractions();
    DestroySchedulesAndStudies();
    SendAMessage(CodeOperationUnlocked, CPString(), this);
    Activate(1);
    m_operatingSolution = 0;
    if (m_scenario) m_scenario->ResumeCalculations(true);
}

void CPIHENDesign::UpdateOperationForStreamChange(IHeatIntegrationStream* stream) {
    // A deactivated design is writing an operating state or events into its units and streams
    // itself: the stream values it writes are no new operating point.
    if (!m_operationLocked || m_busy || !m_active || !stream) return;
    // Typed over a what-if's solution, the value is process data all the same (as if typed before
    // the lock): the default state takes it, and the units go back to the default point with it.
    if (m_operatingSolution) {
        const HENState typedOver(DefaultState());
        TakeTypedStreamValues(*stream);
        MarkOperatingResultsStale(&typedOver);
        LeaveOperatingSolution();
        m_active = true;
    }
    std::vector<CNode*> units;
    CNode* unit = nullptr;
    for (int i = 0; GetUnitOnStream(stream->GetName(), i, unit); ++i)
        if (unit && !isUtilityExchanger(unit)) units.push_back(unit);
    for (CNode* u : units) restate(u, NodeValue::OverallCleanHTC, ValueStatus::Open);
    ResetCalculatedValues();
    ModifyOperation();
    for (CNode* u : units) restate(u, NodeValue::OverallCleanHTC, ValueStatus::Specified);
    // The changed stream is the operating point from now on.
    TakeOperatingState();
}

// The stream holds what the executed schedule wrote into it (its own events) and what was typed
// since: a value that differs from the schedule's solved record was typed, and is the stream's
// process data from now on; a what-if's value stays the schedule's.
void CPIHENDesign::TakeTypedStreamValues(IHeatIntegrationStream& stream) {
    StreamStateStruct* record = DefaultState().FindStream(stream.GetName().c_str());
    if (!record) return;
    const HENOperatingSchedule* executed = FindSchedule(m_executedSchedule);
    const StreamStateStruct* solved = executed ? executed->State().FindStream(stream.GetName().c_str()) : nullptr;
    auto typed = [](double now, const StreamStateStruct* at, double StreamStateStruct::*field) {
        return !at || TypedSince(now, at->*field);
    };
    const double supply = stream.GetSupplyTemperature();
    if (supply != kEmpty && typed(supply, solved, &StreamStateStruct::supply)) record->supply = supply;
    double flow = kEmpty;
    if (stream.GetValue("MassFlow", flow, 0) && flow != kEmpty && typed(flow, solved, &StreamStateStruct::massFlow))
        record->massFlow = flow;
}

// The same for the units: an area, shells, observed coefficient or fouling of an exchanger that
// differs from the executed schedule's solved record was typed over the run, and the default
// state takes it; one the schedule's events set stays the schedule's.
void CPIHENDesign::TakeTypedUnitValues() {
    const HENOperatingSchedule* executed = FindSchedule(m_executedSchedule);
    for (CNode* unit : m_exchangers) {
        CPString name;
        unit->getVariableAsString(NodeValue::UnitOperationName, name);
        HeatExchStateStruct* record = DefaultState().FindHeatExchanger(name.c_str());
        const HeatExchStateStruct* solved = executed ? executed->State().FindHeatExchanger(name.c_str()) : nullptr;
        if (!record) continue;
        for (const char* key : {NodeValue::HTArea, NodeValue::NShellsInSeries, NodeValue::ObservedHTC,
                                NodeValue::HXFoulingFactor}) {
            double now = kEmpty, then = kEmpty;
            if (unit->getVariableStatus(key) != ValueStatus::Specified || !unit->getVariableAsDouble(key, now) ||
                now == kEmpty)
                continue;
            if (solved && solved->GetValue(key, then) && !TypedSince(now, then)) continue;
            record->SetValue(key, now);
        }
    }
}

// ---------------------------------------------------------------- locked recalculation

void CPIHENDesign::RecalculateLockedOperation() {
    if (m_operatingSolution) ResetEndUtilityDuties();
    // Each stream enters the network at its present supply temperature (an operating change may
    // have moved it).
    for (CNode* start : m_sheet->getAllNodesOfType(NodeKind::FeedBlock)) {
        CNode* first = After(start);
        IHeatIntegrationStream* stream = StreamOf(first);
        if (IsSegment(first) && stream && stream->GetStreamKind() != 1)
            first->addVariable(NodeValue::Temperature, stream->GetSupplyTemperature(), ValueStatus::Specified);
    }
    StreamLynxCollection* links = m_scenario ? m_scenario->GetStreamLinkCollection() : nullptr;
    if (links && links->GetNumberOfLinks() > 0) {
        m_busy = 1;
        UpdateStreamLinks();
        m_busy = 0;
    }
    SolveLockedNetwork();
    // A utility exchanger carries at most its maximum duty; the rest goes to the end utility of
    // the stream it serves.
    for (CNode* node : m_exchangers) {
        HeatExch* x = AsHeatExch(node);
        double maxDuty = 0.0, duty = 0.0;
        if (!x || !x->IsUtilityExch() || x->getVariableStatus("MaxDuty") == ValueStatus::Open ||
            !x->getVariableAsDouble("MaxDuty", maxDuty) || !x->getVariableAsDouble(NodeValue::Duty, duty) ||
            !(maxDuty < duty) || !x->getOutlet(1))
            continue;
        IHeatIntegrationStream* stream = StreamOf(x->getOutlet(1));
        for (CNode* heater : m_sheet->getAllNodesOfType(NodeKind::Heater))
            if (stream && StreamOf(Before(heater)) == stream) {
                heater->addVariable(NodeValue::Duty, duty - maxDuty, ValueStatus::Specified);
                SolveLockedNetwork();
            }
    }
    // The load across the pinch is the operated network's, as every other figure of it: counted
    // from the duties and temperatures just solved, not left at those of the last unlocked pass.
    if (m_crossPinchHeld) m_crossPinchOwed = true;
    else CalculateCrossPinchLoads();
}

void CPIHENDesign::SolveLockedNetwork() {
    const int status = RunNetworkCalculator();
    if (status == 1 || status == 2) return;
    // Should the calculator's linear solve fail, the network of a locked design is still fully
    // given (areas, coefficients, inlet and target temperatures), so its units solve it one by
    // one: each exchanger finds its duty from its area, and the end utilities take the rest.
    Recalculate(CodeRecalculate);
    m_calculationStatus = CountOpenValues(m_sheet->getAllNodes(), nullptr) == 0 ? CPString() : CPString("NotConverged");
}

// The product blocks carry the mark of the lock themselves: a block is never looked up by a name,
// which a unit may bear.
bool CPIHENDesign::OperatingPointHolds() const {
    for (CNode* node : m_exchangers) {
        double duty = 0.0;
        if (node->getVariableAsDouble(NodeValue::Duty, duty) && duty != kEmpty && duty < 0.0 && !IsNegligibleDuty(duty))
            return false;
    }
    for (CNode* end : m_sheet->getAllNodesOfType(NodeKind::ProductBlock)) {
        double held = 0.0;
        if (!end->getVariableAsDouble(kSatisfiedWhenLocked, held) || held != 1.0) continue;
        if (!IsStreamSatisfied(StreamOf(Before(end)), nullptr)) return false;
    }
    return true;
}

void CPIHENDesign::UpdateStreamLinks() {
    StreamLynxCollection* links = m_scenario ? m_scenario->GetStreamLinkCollection() : nullptr;
    const int n = links ? links->GetNumberOfLinks() : 0;
    if (n == 0) return;
    // Both counts are of this pass: the links are in balance when every one of them holds in
    // temperature and in flow at once.
    for (int pass = 0; pass < kMaxLinkPasses; ++pass) {
        SolveLockedNetwork();
        int temperatures = 0, flows = 0;
        for (int i = 0; i < n; ++i) {
            StreamLynx* link = links->GetLink(i);
            if (!link) {
                ++temperatures;
                ++flows;
                continue;
            }
            IHeatIntegrationStream* linked = link->GetLinkedStream();
            if (link->GetNumberOfCoefficients("Temp_All") > 0) {
                const double v = link->Evaluate("Temperature");
                const double supply = linked ? linked->GetSupplyTemperature() : 0.0;
                if (std::fabs(supply - v) >= 0.01) link->UpdateLinkedStream("Temperature", v);
                else ++temperatures;
            } else {
                ++temperatures;
            }
            if (link->GetNumberOfCoefficients("Flow_All") > 0) {
                const double v = link->Evaluate("MassFlow");
                double flow = 0.0;
                if (!linked || !linked->GetValue("MassFlow", flow, 0)) flow = 0.0;
                if (std::fabs(flow - v) >= 0.1) link->UpdateLinkedStream("MassFlow", v);
                else ++flows;
            } else {
                ++flows;
            }
        }
        if (temperatures >= n && flows >= n) break;
    }
}
