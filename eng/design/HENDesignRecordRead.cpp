// Reading a design record of any version from 1 to 22 into a design fresh from its constructor.
// An item that a version does not hold keeps the constructor's value; what older versions kept
// otherwise is brought to the present form:
//   1      no name generators: units keep their node names as their unit names;
//   2      no retrofit capital cost or payback time;   3  no change log or stored text A;
//   5      exchangers' "HotShadeIt"/"ColdShadeIt" other than 4 are not specified;
//   6      exchangers carry "NShells" (dropped); no cross-pinch loads;
//   7      no "HXType" (0 countercurrent, 1 shell and tube, by node kind); no existing-network flags;
//   9      exchangers carry "LogMeanTD" (dropped) and their duty as "HeatLoad"; no analysis
//          record: every stream that is not a process stream is left out of the analysis;
//   10     no control record: every process stream is selected for control;
//   11     no operation, operating state or schedules;
//   12-15  schedules in four groups after the state, each with its current schedule; 13-15 an
//          int32 after the executed schedule, 14-15 four schedule counters (the largest holds);
//   12-16  a locked design's shell-and-tube units without shells in series take the shells
//          they have as given;
//   14     no studies; 15 no current schedule, schedule list or counter in their present place;
//   17     no DTMin; 18 no HTMaxAreaShell; 19 no stored text B; 20 no stored text C;
//   21     no operating-point refusal (read as none).
#include "eng/design/HENDesign.h"

#include "brasko/CaseDamage.h"
#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/IHENEvent.h"
#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {
constexpr int kOldScheduleGroups = 4;
constexpr double kEmptyValue = -32767.0;

// A design as a refusal names it.
std::string designLabel(const CPString& name) { return "design \"" + std::string(name.c_str()) + "\""; }

// `what` names the record in a refusal: the design and which of its names.
bool readPresentName(ILurmetBinaryFile& file, const std::string& what, bool& present, CPString& name) {
    std::int32_t flag = 0;
    if (!file.ReadInt(flag)) return false;
    if (flag != 0 && flag != 1)
        return NoteCaseDamage(what + ": the presence flag is " + std::to_string(flag) + ", neither 0 nor 1");
    present = flag == 1;
    return !present || file.ReadCPString(name);
}

bool readCount(ILurmetBinaryFile& file, std::int32_t& count) { return file.ReadItemCount(count); }

bool readFlag(ILurmetBinaryFile& file, bool& flag) {
    std::int32_t v = 0;
    if (!file.ReadInt(v) || (v != 0 && v != 1)) return false;
    flag = v == 1;
    return true;
}

// Whether the exchanger is told how many shells it has in series.
bool hasShellsInSeries(const CNode* x) {
    double flag = 0.0;
    return x->getVariableStatus(NodeValue::NShellsInSeries) == ValueStatus::Specified ||
           (x->getVariableAsDouble(NodeValue::ShellsInSeriesSpecified, flag) && flag == 1.0);
}
}  // namespace

bool CPIHENDesign::ReadRecord(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    if (version < 1 || version > RecordVersion) return false;

    std::int32_t mark = 0, nesting = 0;
    bool active = true;
    CPString name, notes;
    if (!file.ReadInt(mark) || !file.ReadDouble(m_totalCapitalCost) || !readFlag(file, active) ||
        !file.ReadInt(nesting) || !file.ReadCPString(name) || !file.ReadCPString(notes))
        return false;
    m_operatingSolution = mark;
    // A design is inactive only inside one of its own edits; none is stored so. One read inactive
    // would take every later edit and show none of it: it is active as it is read.
    (void)active;
    m_active = true;
    m_nesting = nesting;
    m_name = name;
    m_hasName = !name.empty();
    m_notes = notes;
    IHeatIntegrationScenario* scenario = m_scenario;
    auto sheet = std::make_unique<FlowSheet>(this);
    if (!sheet->Recall(file, [scenario](const CPString& stream) -> IFlowsheetStream* {
            IHeatIntegrationStream* s = nullptr;
            return scenario && scenario->GetStream(stream, s) ? s : nullptr;
        }))
        return false;
    m_sheet = std::move(sheet);
    m_sheet->SetCostLaw(m_costLaw.get());
    m_exchangers = m_sheet->getAllNodesOfType(NodeKind::CountercurrentHX);
    for (CNode* node : m_sheet->getAllNodesOfType(NodeKind::HeatExchanger)) m_exchangers.push_back(node);

    std::int32_t count = 0;
    if (!readCount(file, count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString utility;
        double load = 0.0;
        if (!file.ReadCPString(utility) || !file.ReadDouble(load)) return false;
        m_utilityLoads[utility] = load;
    }
    RebuildStreamIndex();

    if (version > 1) {
        CPString prefixes[3];
        std::int32_t numbers[3] = {0, 0, 0};
        for (CPString& p : prefixes)
            if (!file.ReadCPString(p)) return false;
        for (std::int32_t& n : numbers)
            if (!file.ReadInt(n)) return false;
        NodeName* names[3] = {&m_exchangerNames, &m_teeNames, &m_mixerNames};
        for (int k = 0; k < 3; ++k) *names[k] = NodeName(prefixes[k], numbers[k]);
    } else {
        for (CNode* node : m_sheet->getAllNodes())
            if (node->isExchangerKind() || node->getClassName() == NodeKind::Mixer ||
                node->getClassName() == NodeKind::Tee)
                node->addVariable(NodeValue::UnitOperationName, node->getName(), ValueStatus::Specified);
    }
    if (version > 2 && (!file.ReadDouble(m_retrofitCapitalCost) || !file.ReadDouble(m_paybackTime))) return false;
    if (version > 3 && (!file.ReadCPString(m_changeLog) || !file.ReadCPString(m_textA))) return false;
    MigrateExchangerValues(version);

    if (version > 6) {
        bool present = false;
        if (!readFlag(file, present)) return false;
        m_crossPinchLoads.clear();
        if (present) {
            if (!readCount(file, count)) return false;
            for (std::int32_t i = 0; i < count; ++i) {
                double load = 0.0;
                if (!file.ReadDouble(load)) return false;
                m_crossPinchLoads.push_back(load);
            }
        }
    }
    if (version > 7 && (!file.ReadBool(m_existingNetwork) || !file.ReadBool(m_existingNetworkLocked))) return false;
    AnalysisStreamFlags flags;
    if (version > 9 && !NetworkStructureAnalysis::ReadFlags(file, flags)) return false;
    ControllabilityCheck::Selections selections;
    if (version > 10 && !ControllabilityCheck::ReadSelections(file, selections)) return false;
    RestoreStreamSettings(flags, selections);

    if (version > 11) {
        if (!file.ReadBool(m_operationLocked) || !DefaultState().Recall(file)) return false;
        DefaultState().ReattachUnits(*this);
        // Each exchanger keeps its coefficient basis in the flowsheet; a record of this version
        // takes it as stored (a heater whose area a schedule froze keeps its own). Older
        // records give the basis of a locked design's frozen exchangers here.
        if (m_operationLocked && version < RecordVersion)
            for (CNode* node : m_exchangers)
                if (HeatExch* x = AsHeatExch(node); x && x->getVariableStatus(NodeValue::HTArea) == ValueStatus::Specified)
                    x->setUCalculationMethod("FlowCorrecBased");
    }
    if (version >= 12 && version <= 15 && !ReadOlderSchedules(file)) return false;
    if (version > 12 && !file.ReadCPString(m_executedSchedule)) return false;
    if (version >= 13 && version <= 15) {
        std::int32_t dropped = 0;
        if (!file.ReadInt(dropped)) return false;
    }
    if (version == 14 || version == 15) {
        std::int32_t largest = 0;
        for (int k = 0; k < kOldScheduleGroups; ++k) {
            std::int32_t counter = 0;
            if (!file.ReadInt(counter)) return false;
            largest = std::max(largest, counter);
        }
        m_scheduleCounter = largest;
    }
    if (version > 14 && (!file.ReadInt(m_studyCounter) || !ReadStudies(file))) return false;
    if (version > 15 && (!ReadSchedules(file) || !file.ReadInt(m_scheduleCounter))) return false;
    if (version >= 12 && version <= 16 && m_operationLocked)
        for (CNode* node : m_sheet->getAllNodesOfType(NodeKind::HeatExchanger))
            if (!hasShellsInSeries(node))
                node->addVariable(NodeValue::ShellsInSeriesSpecified, 1.0, ValueStatus::Specified);
    if (version > 17 && !file.ReadDouble(m_dtMin)) return false;
    if (version > 18 && !file.ReadDouble(m_htMaxAreaShell)) return false;
    if (version > 19 && !file.ReadCPString(m_textB)) return false;
    if (version > 20 && !file.ReadCPString(m_textC)) return false;
    if (version > 21 && !file.ReadCPString(m_operatingPointRefusal)) return false;
    if (!file.EndRecord(record)) return false;
    return version < 12 || OperatingRecordsHold();
}

bool CPIHENDesign::OperatingRecordsHold() const {
    // The executed schedule is one of the case's (the current schedule and study were found by
    // their names as they were read).
    const HENOperatingSchedule* executed = nullptr;
    if (!m_executedSchedule.empty() && !(executed = FindSchedule(m_executedSchedule)))
        return NoteCaseDamage(designLabel(m_name) + ": the executed schedule \"" +
                              std::string(m_executedSchedule.c_str()) + "\" is not one of its schedules");
    if (!m_operationLocked || !m_state) return true;
    // The default state is the locked network's own: each stream's flow is the one the stream
    // has, but where the executed schedule changed it: there it is the one that change started
    // from (the event's base), and the stream has the new one or that one (a design read into
    // streams of their own).
    const auto agrees = [](double a, double b) {
        return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
    };
    const auto flowEvent = [&](const char* stream) -> const IHENEvent* {
        for (int i = 0; executed && i < executed->GetNumberOfEvents(); ++i) {
            const IHENEvent* event = executed->GetEvent(i);
            const char* variable = event ? event->GetVariableName() : nullptr;
            const char* target = event ? event->GetTargetName() : nullptr;
            if (variable && target && std::strcmp(variable, "MassFlow") == 0 && std::strcmp(target, stream) == 0)
                return event;
        }
        return nullptr;
    };
    for (int i = 0; i < m_state->GetNumberOfStreams(); ++i) {
        const char* name = m_state->GetStreamName(i);
        const StreamStateStruct* record = name ? m_state->FindStream(name) : nullptr;
        double flow = kEmptyValue;
        if (!record || !record->stream || record->massFlow == kEmptyValue ||
            !record->stream->GetValue("MassFlow", flow, 0) || flow == kEmptyValue)
            continue;
        const IHENEvent* changed = flowEvent(name);
        // An event retyped after its run leaves the schedule's results unsolved and the units at
        // that run's point: the stream holds the flow the run gave, which the event no longer
        // names; only the event's base is the default state's then.
        const bool runStands = executed && executed->GetStatus() != 0;
        if (changed ? !agrees(record->massFlow, changed->GetBaseValue()) ||
                          (runStands && !(agrees(flow, changed->GetNewValue()) || agrees(flow, record->massFlow)))
                    : !agrees(record->massFlow, flow))
            return NoteCaseDamage(designLabel(m_name) + ": the default state gives stream \"" + std::string(name) +
                                  "\" a mass flow of " + CaseDamageValue(record->massFlow) +
                                  (changed ? " where the executed schedule started from " +
                                                 CaseDamageValue(changed->GetBaseValue())
                                           : " where the locked stream has " + CaseDamageValue(flow)));
    }
    return true;
}

void CPIHENDesign::MigrateExchangerValues(int version) {
    for (CNode* node : m_exchangers) {
        HeatExch* x = AsHeatExch(node);
        const int type = x && x->IsHeater() ? 1 : x && x->IsCooler() ? 2 : 3;
        node->addVariable("HeatExchangerOperationType", type, ValueStatus::Specified);
        if (version < 6)
            for (const char* shade : {"HotShadeIt", "ColdShadeIt"}) {
                double v = 0.0;
                if (node->getVariableAsDouble(shade, v) && v != 4.0) node->addVariable(shade, 0.0, ValueStatus::Open);
            }
        if (version < 7) node->removeVariable("NShells");
        if (version < 8)
            node->addVariable(NodeValue::HXType, node->getClassName() == NodeKind::HeatExchanger ? 1.0 : 0.0,
                              ValueStatus::Specified);
        if (version < 10) {
            node->removeVariable("LogMeanTD");
            double load = 0.0;
            if (node->getVariableAsDouble("HeatLoad", load)) {
                node->addVariable(NodeValue::Duty, load, node->getVariableStatus("HeatLoad"));
                node->removeVariable("HeatLoad");
            }
        }
    }
}

bool CPIHENDesign::ReadOlderSchedules(ILurmetBinaryFile& file) {
    for (int group = 0; group < kOldScheduleGroups; ++group) {
        bool hasCurrent = false;
        CPString current;
        std::int32_t count = 0;
        if (!readPresentName(file, designLabel(m_name) + ": the current schedule", hasCurrent, current) ||
            !readCount(file, count))
            return false;
        for (std::int32_t i = 0; i < count; ++i) {
            auto schedule = std::make_unique<HENOperatingSchedule>(CPString(), DefaultState());
            if (!schedule->Recall(file)) return false;
            schedule->State().ReattachUnits(*this);
            if (hasCurrent && current == schedule->GetName()) m_currentSchedule = schedule.get();
            m_schedules.push_back(std::move(schedule));
        }
        // A group's current schedule is one of its own.
        if (hasCurrent && (!m_currentSchedule || current != m_currentSchedule->GetName()))
            return NoteCaseDamage(designLabel(m_name) + ": the current schedule \"" + std::string(current.c_str()) +
                                  "\" is not one of its schedules");
    }
    return true;
}

bool CPIHENDesign::ReadStudies(ILurmetBinaryFile& file) {
    bool present = false, hasCurrent = false;
    CPString current;
    std::int32_t count = 0;
    if (!readFlag(file, present)) return false;
    if (present) {
        m_defaultStudy = std::make_unique<HENTrend>(this);
        if (!m_defaultStudy->Recall(file)) return false;
    }
    if (!readPresentName(file, designLabel(m_name) + ": the current study", hasCurrent, current) ||
        !readCount(file, count))
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        auto study = std::make_unique<HENTrend>(this);
        if (!study->Recall(file)) return false;
        m_studies.push_back(std::move(study));
    }
    for (const auto& study : m_studies)
        if (hasCurrent && current == study->GetName()) {
            m_currentStudy = study.get();
            break;
        }
    // A current study the case does not hold is damage: the views would name a study there is not.
    return !hasCurrent || m_currentStudy ||
           NoteCaseDamage(designLabel(m_name) + ": the current study \"" + std::string(current.c_str()) +
                          "\" is not one of its studies");
}

bool CPIHENDesign::ReadSchedules(ILurmetBinaryFile& file) {
    bool hasCurrent = false;
    CPString current;
    std::int32_t count = 0;
    if (!readPresentName(file, designLabel(m_name) + ": the current schedule", hasCurrent, current) ||
        !readCount(file, count))
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        auto schedule = std::make_unique<HENOperatingSchedule>(CPString(), DefaultState());
        if (!schedule->Recall(file)) return false;
        schedule->State().ReattachUnits(*this);
        m_schedules.push_back(std::move(schedule));
    }
    for (const auto& schedule : m_schedules)
        if (hasCurrent && current == schedule->GetName()) {
            m_currentSchedule = schedule.get();
            break;
        }
    // So is a current schedule it does not hold.
    return !hasCurrent || m_currentSchedule ||
           NoteCaseDamage(designLabel(m_name) + ": the current schedule \"" + std::string(current.c_str()) +
                          "\" is not one of its schedules");
}
