// The one judgement of a what-if run of a locked design, whichever route runs it (a schedule, the
// schedule of an event plan, a study's time point): its events must give each stream values a
// case can hold, judged on the stream as the run would have it, and its solution must be one the
// plant's heaters, coolers and utilities can run at. A run that fails either is no result.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/design/HENState.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/IHENSchedule.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Text.h"
#include "pellin/HeatExch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;

bool isStreamVariable(const char* variable) {
    return variable && (std::strcmp(variable, "MassFlow") == 0 || std::strcmp(variable, "Temperature") == 0);
}

CPString unitName(const CNode* unit) {
    CPString name;
    if (!unit->getVariableAsString(NodeValue::UnitOperationName, name) || name.empty()) name = unit->getName();
    return name;
}

double temperatureOf(const CNode* node) {
    double t = kEmpty;
    return node && node->getVariableAsDouble(NodeValue::Temperature, t) ? t : kEmpty;
}

// What a refusal key says of the value the event gives its stream.
const char* phraseOf(const char* key) {
    return std::strcmp(key, "FlowRateUpdateError") == 0 ? "a flow at which the stream carries a rate or load no case holds"
                                                        : "an inlet temperature the stream cannot run from";
}
}  // namespace

const char* CPIHENDesign::JudgeWhatIfEvents(const IHENSchedule* run, const char* runName) {
    if (!run || !m_state) return nullptr;
    const int n = run->GetNumberOfEvents();
    for (int i = 0; i < n; ++i) {
        const IHENEvent* event = run->GetEvent(i);
        if (!event || !isStreamVariable(event->GetVariableName()) || !event->GetTargetName()) continue;
        const StreamStateStruct* record = m_state->FindStream(event->GetTargetName());
        if (!record) continue;
        // The run's other values on the same stream: a schedule holds one event of a kind on a
        // stream, so the list is short, and a run of n events looks at n * n pairs at most.
        StreamStateStruct::WhatIfValues with;
        for (int j = 0; j < n; ++j) {
            const IHENEvent* other = run->GetEvent(j);
            if (j == i || !other || !isStreamVariable(other->GetVariableName()) || !other->GetTargetName() ||
                std::strcmp(other->GetTargetName(), event->GetTargetName()) != 0)
                continue;
            with.emplace_back(other->GetVariableName(), other->GetNewValue());
        }
        const char* key = record->ValueRefusal(event->GetVariableName(), event->GetNewValue(), with);
        if (!key) continue;
        m_whatIfRefusal = CPString(runName ? runName : "") + ": the event " + event->GetName() + " gives " +
                          event->GetTargetName() + " " + phraseOf(key) + " with the stream as it now is (" +
                          FormattedText("%g", event->GetNewValue()).c_str() + ")";
        return m_whatIfRefusal.c_str();
    }
    return nullptr;
}

const char* CPIHENDesign::JudgeWhatIfResult(const char* runName) {
    const CPString refusal = JudgeOperatingPoint(CPString(runName ? runName : "") + ": ");
    m_whatIfRefusal = refusal;
    return m_whatIfRefusal.empty() ? nullptr : m_whatIfRefusal.c_str();
}

// Whether the plant's heaters, coolers and utilities can run at the point the units hold: empty
// when they can, else what breaks, after the given words.
CPString CPIHENDesign::JudgeOperatingPoint(const CPString& run) const {
    // A cooler takes heat from its stream and a heater gives it: one run the other way is no
    // operating point of the plant, whatever the balances say. It is named before the utility it
    // then drives out of its range.
    for (CNode* unit : m_exchangers) {
        HeatExch* x = AsHeatExch(unit);
        if (!x || !x->IsUtilityExch() || !IsBackwardsUtilityUnit(unit)) continue;
        double duty = 0.0;
        unit->getVariableAsDouble(NodeValue::Duty, duty);
        return run + unitName(unit) + (x->IsCooler() ? " would heat its stream" : " would cool its stream") + " (" +
               FormattedText("%.6g", duty).c_str() + " kW)";
    }
    // A heater or cooler carries its duty from the warmer side to the colder at both ends: a
    // utility held to its maximum flow may be driven past the process side's own temperature
    // (cooling water leaving warmer than the stream it cools enters), which no area gives.
    for (CNode* unit : m_exchangers) {
        HeatExch* x = AsHeatExch(unit);
        double duty = 0.0;
        if (!x || !x->IsUtilityExch() || !unit->getVariableAsDouble(NodeValue::Duty, duty) || duty == kEmpty ||
            !(duty > 0.0) || x->HasNegligibleDuty(duty))
            continue;
        const double hotIn = temperatureOf(x->getInlet(0)), hotOut = temperatureOf(x->getOutlet(0));
        const double coldIn = temperatureOf(x->getInlet(1)), coldOut = temperatureOf(x->getOutlet(1));
        if (hotIn == kEmpty || hotOut == kEmpty || coldIn == kEmpty || coldOut == kEmpty) continue;
        const bool warmEnd = hotIn - coldOut > 0.0, coldEnd = hotOut - coldIn > 0.0;
        if (warmEnd && coldEnd) continue;
        // Named at the end that crosses, the warm one first: there the hot side enters and the
        // cold side leaves; at the cold end the other way round.
        IHeatIntegrationStream* hot = StreamOf(x->getOutlet(0));
        IHeatIntegrationStream* cold = StreamOf(x->getOutlet(1));
        const bool heater = IsUtilityStream(hot);
        const CPString utility = heater ? (hot ? hot->GetName() : CPString()) : (cold ? cold->GetName() : CPString());
        const CPString process = heater ? (cold ? cold->GetName() : CPString()) : (hot ? hot->GetName() : CPString());
        const double utilityAt = heater ? (warmEnd ? hotOut : hotIn) : (warmEnd ? coldIn : coldOut);
        const double processAt = heater ? (warmEnd ? coldIn : coldOut) : (warmEnd ? hotOut : hotIn);
        // The utility enters at the heater's warm end and the cooler's cold end.
        const bool utilityEnters = heater == !warmEnd;
        return run + unitName(unit) + " would take " + utility + (utilityEnters ? " in at " : " out at ") +
               FormattedText("%.6g", utilityAt).c_str() + " C where " + process +
               (utilityEnters ? " leaves it at " : " enters it at ") + FormattedText("%.6g", processAt).c_str() +
               " C: its temperatures cross";
    }
    for (CNode* unit : m_exchangers) {
        HeatExch* x = AsHeatExch(unit);
        if (!x || !x->IsUtilityExch()) continue;
        // The utility passes the unit within its own range, from its supply to its target: one
        // past either end would need a utility flow below nothing.
        for (int side = 0; side < 2; ++side) {
            IHeatIntegrationStream* utility = StreamOf(x->getOutlet(side));
            if (!IsUtilityStream(utility)) continue;
            const double ts = utility->GetSupplyTemperature(), tt = utility->GetTargetTemperature();
            if (ts == kEmpty || tt == kEmpty) continue;
            // A utility held to a stated maximum flow may leave past its target (warmer or colder
            // than it, carrying what its units give it); never past its supply.
            double cap = 0.0;
            const bool capped = utility->GetValueStatus("MaxMassFlow", 0) != 0 && utility->GetValue("MaxMassFlow", cap, 0) &&
                                cap != kEmpty && cap > 0.0;
            const double beyond = capped ? (tt > ts ? 1e300 : -1e300) : tt;
            const double low = std::min(ts, beyond), high = std::max(ts, beyond), slack = 1e-6 * (1.0 + std::fabs(tt - ts));
            for (const CNode* port : {static_cast<const CNode*>(x->getInlet(side)), static_cast<const CNode*>(x->getOutlet(side))}) {
                const double t = temperatureOf(port);
                if (t == kEmpty || (t >= low - slack && t <= high + slack)) continue;
                return run + utility->GetName() + " would pass " + unitName(unit) + " at " +
                       FormattedText("%.6g", t).c_str() + " C, outside its range from " + FormattedText("%g", ts).c_str() +
                       " to " + FormattedText("%g", tt).c_str() + " C";
            }
        }
    }
    // The units of a utility together carry its load: below nothing, its flow would be below 0.
    for (int u = 0; u < GetNumberOfUtilityStreams(); ++u) {
        IHeatIntegrationStream* utility = GetUtilityStream(u);
        const std::vector<CNode*>* units = utility ? UnitsOf(utility->GetName()) : nullptr;
        if (!units || units->empty()) continue;
        double load = 0.0;
        for (CNode* unit : *units) {
            double duty = 0.0;
            if (unit->getVariableAsDouble(NodeValue::Duty, duty) && duty != kEmpty) load += duty;
        }
        if (!(load < 0.0) || IsNegligibleDuty(load)) continue;
        return run + utility->GetName() + " would carry " + FormattedText("%.6g", load).c_str() +
               " kW over its units, a flow below 0";
    }
    return CPString();
}
