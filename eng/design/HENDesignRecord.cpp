// The design record, version 22, in the order of writing:
//   int32 operating-solution mark; double total capital cost; int32 active flag; int32 nesting
//   counter; string name; string notes; the flowsheet record; int32 count of utility loads and
//   per load its utility's name and double load (by name); three strings, the prefixes of the
//   exchanger, tee and mixer names, and three int32, their next numbers; doubles retrofit capital
//   cost and payback time; strings change log and stored text A; the cross-pinch loads (int32 1,
//   int32 count and the doubles, or int32 0); bools existing network and locked existing network;
//   the structure-analysis record; the control record; bool operation locked; the default
//   operating state's record; string executed schedule; int32 study counter; the default study
//   (int32 1 and its record, or 0); the current study (int32 1 and its name, or 0); int32 count of
//   studies and their records; the current schedule (int32 1 and its name, or 0); int32 count of
//   schedules and their records; int32 schedule counter; doubles DTMin and HTMaxAreaShell;
//   strings stored texts B and C; string why the locked network's default point is none its
//   heaters, coolers and utilities can run at (empty when it is, and for a network not locked).
// Every write counts: a study or schedule that cannot be written fails the whole store. A
// design is read into a design of its own and takes it over only when the whole record read,
// so a failed read leaves the design as it was.
#include "eng/design/HENDesign.h"

#include "brasko/CaseDamage.h"
#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/HENCalculator.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"
#include "osmeri/CPValue.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {
bool writePresentName(ILurmetBinaryFile& file, const char* name) {
    return file.WriteInt(name ? 1 : 0) && (!name || file.WriteCPString(CPString(name)));
}

// Each splitter of an operating state hands on its whole inflow: the state holds every branch's
// share of the solved network, in percent, and an event on one branch gives the difference to
// the last, so together they are 100, as the shares of the network it was taken from add up to 1
// (to the network's own balance). Else damage, noted with the splitter and the sum (nested shares
// restated first).
bool stateSplitSharesHold(const HENState& state, const CPString& design) {
    constexpr double kEmpty = -32767.0;
    constexpr double kBalance = 1e-6;
    for (int i = 0; i < state.GetNumberOfSplitters(); ++i) {
        double sum = 0.0;
        bool known = state.GetNumberOfBranches(i) > 0;
        for (int b = 0; b < state.GetNumberOfBranches(i); ++b) {
            const double share = state.GetBranchFraction(i, b);
            known = known && share != kEmpty;
            sum += share;
        }
        if (!known || std::fabs(sum - 100.0) <= kBalance * 100.0) continue;
        char text[32];
        std::snprintf(text, sizeof text, "%.10g", sum);
        const char* splitter = state.GetSplitterName(i);
        return NoteCaseDamage("design \"" + std::string(design.c_str()) + "\": the operating state of splitter \"" +
                              std::string(splitter ? splitter : "") + "\": branch shares adding up to " + text +
                              " percent, not 100");
    }
    return true;
}
}  // namespace

bool CPIHENDesign::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    bool ok = file.BeginRecord(record, RecordVersion) && file.WriteInt(m_operatingSolution) &&
              file.WriteDouble(m_totalCapitalCost) && file.WriteInt(m_active ? 1 : 0) && file.WriteInt(m_nesting) &&
              file.WriteCPString(m_name) && file.WriteCPString(m_notes) && m_sheet->Store(file);
    // By utility name, so that the same loads always give the same bytes.
    std::vector<std::pair<std::string, double>> loads(m_utilityLoads.begin(), m_utilityLoads.end());
    std::sort(loads.begin(), loads.end());
    ok = ok && file.WriteInt(static_cast<std::int32_t>(loads.size()));
    for (const auto& [name, load] : loads) ok = ok && file.WriteCPString(CPString(name)) && file.WriteDouble(load);
    ok = ok && file.WriteCPString(m_exchangerNames.GetPrefix()) && file.WriteCPString(m_teeNames.GetPrefix()) &&
         file.WriteCPString(m_mixerNames.GetPrefix()) && file.WriteInt(m_exchangerNames.GetNumber()) &&
         file.WriteInt(m_teeNames.GetNumber()) && file.WriteInt(m_mixerNames.GetNumber()) &&
         file.WriteDouble(m_retrofitCapitalCost) && file.WriteDouble(m_paybackTime) &&
         file.WriteCPString(m_changeLog) && file.WriteCPString(m_textA) && file.WriteInt(1) &&
         file.WriteInt(static_cast<std::int32_t>(m_crossPinchLoads.size()));
    for (double load : m_crossPinchLoads) ok = ok && file.WriteDouble(load);
    ok = ok && file.WriteBool(m_existingNetwork) && file.WriteBool(m_existingNetworkLocked) && m_analysis->Store(file) &&
         m_control->Store(file) && file.WriteBool(m_operationLocked) &&
         (m_state ? m_state->Store(file) : HENState().Store(file)) && file.WriteCPString(m_executedSchedule) &&
         file.WriteInt(m_studyCounter) && StoreStudies(file) && StoreSchedules(file) && file.WriteInt(m_scheduleCounter) &&
         file.WriteDouble(m_dtMin) && file.WriteDouble(m_htMaxAreaShell) && file.WriteCPString(m_textB) &&
         file.WriteCPString(m_textC) && file.WriteCPString(heldOperatingPointRefusal());
    return ok && file.EndRecord(record);
}

// The refusal of a locked network describes the default point it holds, and goes with the case. A
// network not locked holds no operating point: a refusal there is the reason a lock just undid
// itself, which left the design as it was, so the case is as it was too.
CPString CPIHENDesign::heldOperatingPointRefusal() const {
    return m_operationLocked ? m_operatingPointRefusal : CPString();
}

bool CPIHENDesign::StoreStudies(ILurmetBinaryFile& file) const {
    bool ok = file.WriteInt(m_defaultStudy ? 1 : 0) && (!m_defaultStudy || m_defaultStudy->Store(file)) &&
              writePresentName(file, m_currentStudy ? m_currentStudy->GetName() : nullptr) &&
              file.WriteInt(static_cast<std::int32_t>(m_studies.size()));
    for (const auto& study : m_studies) ok = ok && study->Store(file);
    return ok;
}

bool CPIHENDesign::StoreSchedules(ILurmetBinaryFile& file) const {
    bool ok = writePresentName(file, m_currentSchedule ? m_currentSchedule->GetName() : nullptr) &&
              file.WriteInt(static_cast<std::int32_t>(m_schedules.size()));
    for (const auto& schedule : m_schedules) ok = ok && schedule->Store(file);
    return ok;
}

bool CPIHENDesign::Recall(ILurmetBinaryFile& file) {
    auto read = std::make_unique<CPIHENDesign>(m_scenario, CPString());
    if (!read->ReadRecord(file)) return false;
    read->RestateNestedBranchShares();
    if (read->m_state && !stateSplitSharesHold(*read->m_state, read->m_name)) return false;
    TakeOverRecalled(*read);
    // The network calculator is built over the network read; a locked design also gets its
    // equations, as its recalculation runs through them.
    GetNetworkCalculator().PrepareStreams();
    if (m_operationLocked) {
        // Building the equations marks the temperatures a utility leaves at as the calculator's
        // to find; that is for its next solve. The network as read keeps the statuses it was
        // stored with, so that storing it again writes what was read.
        std::vector<std::pair<CNode*, int>> statuses;
        for (CNode* segment : m_sheet->getAllNodesOfType(NodeKind::MaterialStream))
            if (segment->hasVariable(NodeValue::Temperature))
                statuses.emplace_back(segment, segment->getVariableStatus(NodeValue::Temperature));
        GetNetworkCalculator().Build();
        for (const auto& [segment, status] : statuses)
            if (CPValue* t = segment->findValue(NodeValue::Temperature); t && t->GetStatus() != status) t->SetStatus(status);
    }
    // The record holds no calculation status: a locked network's is that of the operating state
    // its units hold (the executed schedule's, or the default state's), as the case was saved.
    if (m_operationLocked) m_calculationStatus = OperatingStatusInForce() == 2 ? CPString("NotConverged") : CPString();
    m_analysis->SetName(m_hasName ? m_name : CPString());
    RunStructureAnalysis();
    return true;
}

void CPIHENDesign::TakeOverRecalled(CPIHENDesign& read) {
    m_journal.reset();
    m_calculator.reset();
    read.m_calculator.reset();
    std::swap(m_sheet, read.m_sheet);
    for (CPIHENDesign* d : {this, &read}) {
        d->m_sheet->setOwner(d);
        d->m_sheet->SetCostLaw(d->m_costLaw.get());
    }
    m_name = read.m_name;
    m_hasName = read.m_hasName;
    std::swap(m_exchangers, read.m_exchangers);
    std::swap(m_unitsByStream, read.m_unitsByStream);
    std::swap(m_streams, read.m_streams);
    std::swap(m_streamSet, read.m_streamSet);
    std::swap(m_utilityLoads, read.m_utilityLoads);
    std::swap(m_crossPinchLoads, read.m_crossPinchLoads);
    m_totalCapitalCost = read.m_totalCapitalCost;
    m_retrofitCapitalCost = read.m_retrofitCapitalCost;
    m_paybackTime = read.m_paybackTime;
    m_changeLog = read.m_changeLog;
    m_textA = read.m_textA;
    m_textB = read.m_textB;
    m_textC = read.m_textC;
    m_notes = read.m_notes;
    m_calculationStatus = read.m_calculationStatus;
    m_active = read.m_active;
    m_nesting = read.m_nesting;
    m_exchangerNames = read.m_exchangerNames;
    m_teeNames = read.m_teeNames;
    m_mixerNames = read.m_mixerNames;
    m_existingNetwork = read.m_existingNetwork;
    m_existingNetworkLocked = read.m_existingNetworkLocked;
    m_operationLocked = read.m_operationLocked;
    m_dtMin = read.m_dtMin;
    m_htMaxAreaShell = read.m_htMaxAreaShell;
    m_operatingPointRefusal = read.heldOperatingPointRefusal();
    // What the record does not hold is as a new design has it.
    m_integerOption = read.m_integerOption;
    m_ignoreInfeasible = read.m_ignoreInfeasible;
    m_skipStreamEnds = read.m_skipStreamEnds;
    std::copy(std::begin(read.m_optimiserOptions), std::end(read.m_optimiserOptions), std::begin(m_optimiserOptions));
    std::swap(m_analysis, read.m_analysis);
    std::swap(m_control, read.m_control);
    m_analysis->SetDesign(this);
    read.m_analysis->SetDesign(&read);
    m_usedUtilities.clear();
    m_parkedLoads.clear();
    m_tears.clear();
    m_tearAreas.clear();
    m_tearDuties.clear();
    m_rememberedTears.clear();
    m_rememberedDuty = 0.0;
    m_lastOpenValues = 0;

    std::swap(m_state, read.m_state);
    std::swap(m_schedules, read.m_schedules);
    IndexSchedules();
    std::swap(m_currentSchedule, read.m_currentSchedule);
    std::swap(m_scheduleCounter, read.m_scheduleCounter);
    std::swap(m_executedSchedule, read.m_executedSchedule);
    std::swap(m_defaultStudy, read.m_defaultStudy);
    std::swap(m_studies, read.m_studies);
    std::swap(m_currentStudy, read.m_currentStudy);
    std::swap(m_studyCounter, read.m_studyCounter);
    std::swap(m_operatingSolution, read.m_operatingSolution);
    for (CPIHENDesign* d : {this, &read}) {
        if (d->m_defaultStudy) d->m_defaultStudy->SetDesign(d);
        for (const auto& study : d->m_studies) study->SetDesign(d);
    }
}
