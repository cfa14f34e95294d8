// A locked design's operating point kept before a change of the plant is tried, and given back
// exactly when the plant cannot run at the point the change leaves. Solving the old point again
// would not do: the network lands within its solver's precision of where it was, not on the same
// bits, and the what-if results the change marked stale would stay stale.
#include "eng/design/HENDesign.h"

#include "eng/design/HENCalculator.h"

#include "eng/design/HENSchedule.h"
#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"
#include "pellin/FlowSheet.h"

struct CPIHENDesign::KeptPoint : IHENDesign::KeptOperatingPoint {
    // The flowsheet as a copy: each unit's values and kept state, and the network's shape, which
    // a lock changes (its end utilities).
    std::unique_ptr<FlowSheet> sheet;
    // The design's lists of units, by fingerprint: a unit the lock takes out comes back as
    // another object of the same fingerprint.
    std::vector<std::uint32_t> exchangers;
    std::vector<std::pair<std::string, std::vector<std::uint32_t>>> unitsByStream;
    std::vector<IHeatIntegrationStream*> streams;
    std::unordered_map<std::string, double> utilityLoads;
    std::vector<double> crossPinchLoads;
    double totalCapitalCost = 0.0, retrofitCapitalCost = 0.0, paybackTime = 0.0;
    CPString changeLog, calculationStatus, executedSchedule, operatingPointRefusal, whatIfRefusal;
    bool active = true, operationLocked = false, crossPinchHeld = false, crossPinchOwed = false;
    int operatingSolution = 0;
    // Where the next solution starts from: the same start gives the same bits.
    std::vector<std::uint32_t> tears, rememberedTears;
    std::vector<double> tearAreas, tearDuties;
    double rememberedDuty = 0.0;
    int lastOpenValues = 0;
    std::unique_ptr<HENState> state;
    std::vector<HENSchedule::Kept> schedules;
    bool hasDefaultStudy = false;
    HENTrend::Kept defaultStudy;
    std::vector<HENTrend::Kept> studies;
};

std::unique_ptr<IHENDesign::KeptOperatingPoint> CPIHENDesign::KeepOperatingPoint() {
    auto kept = std::make_unique<KeptPoint>();
    kept->sheet = m_sheet->clone(nullptr);
    const auto prints = [](const std::vector<CNode*>& units) {
        std::vector<std::uint32_t> out;
        out.reserve(units.size());
        for (const CNode* unit : units) out.push_back(unit ? unit->getDNAFingerPrint() : 0);
        return out;
    };
    kept->exchangers = prints(m_exchangers);
    for (const auto& [stream, units] : m_unitsByStream) kept->unitsByStream.emplace_back(stream, prints(units));
    kept->streams = m_streams;
    kept->utilityLoads = m_utilityLoads;
    kept->crossPinchLoads = m_crossPinchLoads;
    kept->totalCapitalCost = m_totalCapitalCost;
    kept->retrofitCapitalCost = m_retrofitCapitalCost;
    kept->paybackTime = m_paybackTime;
    kept->changeLog = m_changeLog;
    kept->calculationStatus = m_calculationStatus;
    kept->executedSchedule = m_executedSchedule;
    kept->operatingPointRefusal = m_operatingPointRefusal;
    kept->whatIfRefusal = m_whatIfRefusal;
    kept->active = m_active;
    kept->operationLocked = m_operationLocked;
    kept->crossPinchHeld = m_crossPinchHeld;
    kept->crossPinchOwed = m_crossPinchOwed;
    kept->operatingSolution = m_operatingSolution;
    kept->tears = m_tears;
    kept->rememberedTears = m_rememberedTears;
    kept->tearAreas = m_tearAreas;
    kept->tearDuties = m_tearDuties;
    kept->rememberedDuty = m_rememberedDuty;
    kept->lastOpenValues = m_lastOpenValues;
    kept->state = std::make_unique<HENState>();
    kept->state->TakeRecordsOf(DefaultState());
    for (const auto& s : m_schedules) kept->schedules.push_back(s->Keep());
    kept->hasDefaultStudy = m_defaultStudy != nullptr;
    if (m_defaultStudy) kept->defaultStudy = m_defaultStudy->Keep();
    for (const auto& s : m_studies) kept->studies.push_back(s->Keep());
    return kept;
}

void CPIHENDesign::GiveBackOperatingPoint(KeptOperatingPoint& given) {
    auto* kept = dynamic_cast<KeptPoint*>(&given);
    if (!kept || !kept->sheet) return;
    m_sheet->Restore(*kept->sheet);
    kept->sheet.reset();
    const auto units = [this](const std::vector<std::uint32_t>& prints) {
        std::vector<CNode*> out;
        out.reserve(prints.size());
        for (std::uint32_t print : prints)
            if (CNode* unit = m_sheet->getNodeByFingerPrint(print)) out.push_back(unit);
        return out;
    };
    m_exchangers = units(kept->exchangers);
    m_unitsByStream.clear();
    for (const auto& [stream, prints] : kept->unitsByStream) m_unitsByStream[stream] = units(prints);
    // The calculator's equations name the units it was built of: it builds them again.
    if (m_calculator) m_calculator->Clear();
    m_streams = kept->streams;
    m_streamSet = std::unordered_set<const IHeatIntegrationStream*>(m_streams.begin(), m_streams.end());
    m_exchangerSides.clear();
    m_utilityLoads = kept->utilityLoads;
    m_crossPinchLoads = kept->crossPinchLoads;
    m_totalCapitalCost = kept->totalCapitalCost;
    m_retrofitCapitalCost = kept->retrofitCapitalCost;
    m_paybackTime = kept->paybackTime;
    m_changeLog = kept->changeLog;
    m_calculationStatus = kept->calculationStatus;
    m_executedSchedule = kept->executedSchedule;
    m_operatingPointRefusal = kept->operatingPointRefusal;
    m_whatIfRefusal = kept->whatIfRefusal;
    m_active = kept->active;
    m_operationLocked = kept->operationLocked;
    m_crossPinchHeld = kept->crossPinchHeld;
    m_crossPinchOwed = kept->crossPinchOwed;
    m_operatingSolution = kept->operatingSolution;
    m_tears = kept->tears;
    m_rememberedTears = kept->rememberedTears;
    m_tearAreas = kept->tearAreas;
    m_tearDuties = kept->tearDuties;
    m_rememberedDuty = kept->rememberedDuty;
    m_lastOpenValues = kept->lastOpenValues;
    DefaultState().TakeRecordsOf(*kept->state);
    // The schedules and studies are the same ones as when kept: a change of the plant adds or
    // removes none.
    if (kept->schedules.size() == m_schedules.size())
        for (std::size_t i = 0; i < m_schedules.size(); ++i) m_schedules[i]->GiveBack(kept->schedules[i]);
    if (kept->hasDefaultStudy && m_defaultStudy) m_defaultStudy->GiveBack(kept->defaultStudy);
    if (kept->studies.size() == m_studies.size())
        for (std::size_t i = 0; i < m_studies.size(); ++i) m_studies[i]->GiveBack(kept->studies[i]);
    // The views show the point given back.
    SendAMessage(CodeUpToDate, CPString(), this);
}
