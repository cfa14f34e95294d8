// The N - 1 counts of the units target, its update and its builder over a scenario.
#include "eng/targeting/UnitsTarget.h"

#include "dunmor/Units.h"
#include "eng/model/IHeatIntegrationStreamForTargeting.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationScenarioForTargeting.h"
#include "eng/targeting/TemperatureInterval.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- entries and groups

void UnitsTargetEntry::AddName(const CPString& name) {
    if (!m_pNames) m_pNames = std::make_unique<std::vector<CPString>>();
    m_pNames->push_back(name);
}

void UnitsTargetEntry::AddValue(double value) {
    if (!m_pValues) m_pValues = std::make_unique<std::vector<double>>();
    m_pValues->push_back(value);
}

void UnitsTargetEntry::RenameName(const CPString& oldName, const CPString& newName) {
    if (!m_pNames) return;
    std::replace(m_pNames->begin(), m_pNames->end(), oldName, newName);
}

const char* UnitsTargetEntry::GetName(int i) const {
    if (!m_pNames || i < 0 || static_cast<std::size_t>(i) >= m_pNames->size()) return nullptr;
    return (*m_pNames)[static_cast<std::size_t>(i)].c_str();
}

double UnitsTargetEntry::GetValue(int i) const {
    if (!m_pValues || i < 0 || static_cast<std::size_t>(i) >= m_pValues->size()) return Units::EmptyValue;
    return (*m_pValues)[static_cast<std::size_t>(i)];
}

void UnitsTargetGroup::Append(std::unique_ptr<UnitsTargetEntry> entry) {
    if (!entry) return;
    if (!m_pEntries) m_pEntries = std::make_unique<EntryList>();
    m_pEntries->push_back(std::move(entry));
}

const UnitsTargetEntry* UnitsTargetGroup::GetEntry(int i) const {
    if (!m_pEntries || i < 0 || static_cast<std::size_t>(i) >= m_pEntries->size()) return nullptr;
    return (*m_pEntries)[static_cast<std::size_t>(i)].get();
}

int GetLargestSubListLength(const UnitsTargetGroupList* groups) {
    int largest = 0;
    if (!groups) return 0;
    for (const auto& g : *groups)
        if (g) largest = std::max(largest, g->GetNumberOfEntries());
    return largest;
}

void DestroyUnitsTargetGroup(void* item) { delete static_cast<UnitsTargetGroup*>(item); }
void DestroyUnitsTargetEntry(void* item) { delete static_cast<UnitsTargetEntry*>(item); }

// ---------------------------------------------------------------- the counts

double UnitsStreamLoad(IHeatIntegrationStreamForTargeting& stream) {
    return stream.GetHeatLoad(stream.GetStreamKind() == IHeatIntegrationStreamForTargeting::KindUtility ? 1 : 0);
}

namespace {

bool HasLoad(IHeatIntegrationStreamForTargeting& stream) {
    return std::fabs(UnitsStreamLoad(stream)) >= UnitsTargetData::LoadTolerance;
}

// A region boundary moved into the region by the tolerance within which two boundary
// temperatures are one (`SameTemperature`).
double Inward(double t, double direction) {
    return t + direction * kSameTemperatureTolerance * std::max(1.0, std::fabs(t));
}

// The temperatures that bound one region for one side of the problem.
struct RegionBounds {
    double hotUpper, hotLower, coldUpper, coldLower;
};

}  // namespace

int UnitsTargetData::CountUnits(int mode) const {
    if (mode == 0) return CountOverall();
    if (mode == 1) return CountWithPinchDivision();
    return 0;
}

int UnitsTargetData::CountOverall() const {
    int n = 0;
    for (IHeatIntegrationStreamForTargeting* s : m_streams)
        if (s && HasLoad(*s)) ++n;
    return n > 0 ? n - 1 : 0;
}

int UnitsTargetData::CountWithPinchDivision() const {
    // Regions run from the top down; a pinch list out of order would make them overlap.
    std::vector<UnitsPinch> pinches = m_pinches;
    std::stable_sort(pinches.begin(), pinches.end(),
                     [](const UnitsPinch& a, const UnitsPinch& b) { return a.dHot > b.dHot; });
    // Every pinch list is read off a cascade of shifted temperatures (T + DTmin / 2, T - DTmin / 2),
    // whichever method set the utility loads: the regions are shifted ones for all methods, so
    // the same loads give the same count.
    const bool shifted = true;
    const std::size_t p = pinches.size();

    // Lower boundary of each region: on the grand composite curve the pinch is one shifted
    // temperature for both sides; otherwise each side has its own pinch temperature.
    std::vector<double> lowerHot(p + 1, BottomTemperature), lowerCold(p + 1, BottomTemperature);
    for (std::size_t i = 0; i < p; ++i) {
        if (shifted) lowerHot[i] = lowerCold[i] = 0.5 * (pinches[i].dHot + pinches[i].dCold);
        else {
            lowerHot[i] = pinches[i].dHot;
            lowerCold[i] = pinches[i].dCold;
        }
    }

    int units = 0;
    for (std::size_t i = 0; i <= p; ++i) {
        int counted = 0;
        for (IHeatIntegrationStreamForTargeting* s : m_streams) {
            if (!s) continue;
            const int side = s->GetHotCold();
            if (side != IHeatIntegrationStreamForTargeting::SideHot && side != IHeatIntegrationStreamForTargeting::SideCold)
                continue;
            // A shifted boundary is moved back to the stream's own temperatures by its share of
            // the minimum approach temperature: hot streams lie above it, cold ones below.
            // A stream with a local contribution has its own share; every other stream takes half
            // of the scenario's DTmin, which is half the gap between the two pinch temperatures.
            const bool local = s->GetDTminContributionScope() == ValueAndFlag::ScopeLocal;
            auto share = [&](std::size_t k) {
                if (!shifted) return 0.0;
                return local ? s->GetDTminContribution() : 0.5 * (pinches[k].dHot - pinches[k].dCold);
            };
            const double sign = side == IHeatIntegrationStreamForTargeting::SideHot ? 1.0 : -1.0;
            const std::vector<double>& lower =
                side == IHeatIntegrationStreamForTargeting::SideHot ? lowerHot : lowerCold;
            // A pinch moved back by a share lands on the end of a stream that meets it only up to
            // the rounding of the arithmetic (99.55 + 3.55 against a supply of 103.1), as the
            // cascade merged the two into one boundary: a stream reaches into a region only where
            // it passes the boundary by more than that rounding.
            const double upper = i == 0 ? TopTemperature : Inward(lower[i - 1] + sign * share(i - 1), -1.0);
            const double bottom = i == p ? BottomTemperature : Inward(lower[i] + sign * share(i), 1.0);
            if (HasLoad(*s) && s->IsInInterval(upper, bottom)) ++counted;
        }
        if (counted > 0) units += counted - 1;
    }
    return units;
}

// ---------------------------------------------------------------- update and search

void UnitsTargetData::Update(StreamRefs streams, std::vector<UnitsPinch> pinches, int assignmentMethod) {
    m_streams = std::move(streams);
    m_pinches = std::move(pinches);
    m_nAssignmentMethod = assignmentMethod;
    m_nUnitsWithPinchDivision = CountUnits(1);
    m_nUnitsOverall = CountUnits(0);
    if (m_nMILPOnUpdate != 0) {
        RunSearch();
        // Each further sub-network of the largest decomposition saves one unit.
        if (m_nLargestGroup != 0) m_nUnitsOverall += 1 - m_nLargestGroup;
    }
}

void UnitsTargetData::RunSearch() {
    // A search that finds nothing where nothing was found before leaves the record as it was: a
    // list never made stays unmade, so that the case saved after it is the case saved before.
    const bool hadList = m_pGroups != nullptr;
    if (m_pGroups) m_pGroups->clear();
    else m_pGroups = std::make_unique<UnitsTargetGroupList>();
    m_nMILPCount = CalculateMinimumMatches(*m_pGroups, &m_bSearchStopped);
    m_nLargestGroup = GetLargestSubListLength(m_pGroups.get());
    if (!hadList && m_pGroups->empty()) m_pGroups.reset();
}

void UnitsTargetData::CalculateMinimumUnitsTarget() { RunSearch(); }

void UnitsTargetData::ClearMILPResult() {
    if (m_pGroups) m_pGroups->clear();
    m_bSearchStopped = false;
    m_nMILPCount = 0;
    m_nLargestGroup = 0;
}

void UnitsTargetData::ClearForInvalidAssignment() {
    ClearMILPResult();
    m_nUnitsWithPinchDivision = 0;
    m_nUnitsOverall = 0;
}

void UnitsTargetData::RenameStream(const CPString& oldName, const CPString& newName) {
    if (!m_pGroups) return;
    for (auto& group : *m_pGroups) {
        if (!group || !group->m_pEntries) continue;
        for (auto& entry : *group->m_pEntries)
            if (entry) entry->RenameName(oldName, newName);
    }
}

const UnitsTargetGroup* UnitsTargetData::GetGroup(int i) const {
    if (!m_pGroups || i < 0 || static_cast<std::size_t>(i) >= m_pGroups->size()) return nullptr;
    return (*m_pGroups)[static_cast<std::size_t>(i)].get();
}

const UnitsTargetEntry* UnitsTargetData::GetEntry(int group, int entry) const {
    const UnitsTargetGroup* g = GetGroup(group);
    return g ? g->GetEntry(entry) : nullptr;
}

// ---------------------------------------------------------------- builders

void DeleteUnitsTarget(UnitsTargetData* record) { delete record; }

UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, const UnitsTargetInputs& inputs, int code) {
    if (code == UnitsTargetCodes::Free) {
        delete record;
        return nullptr;
    }
    if (!inputs.assignmentValid) {
        if (record) record->ClearForInvalidAssignment();
        return record;
    }
    if (code == UnitsTargetCodes::Refresh || code == UnitsTargetCodes::FilmCoefficient ||
        code == UnitsTargetCodes::MatchCostModel)
        return record;
    if (!record) record = new UnitsTargetData();
    record->Update(inputs.streams, inputs.pinches, inputs.assignmentMethod);
    return record;
}

namespace {

UnitsTargetData::StreamRefs StreamsOf(const IHeatIntegrationScenario& scenario) {
    UnitsTargetData::StreamRefs streams;
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; scenario.GetStream(i, stream); ++i)
        if (auto* own = dynamic_cast<IHeatIntegrationStreamForTargeting*>(stream)) streams.push_back(own);
    return streams;
}

std::vector<UnitsPinch> PinchesOf(const IHeatIntegrationScenario& scenario) {
    std::vector<UnitsPinch> pinches;
    const int n = scenario.GetNumberOfPinchPoints();
    for (int i = 0; i < n; ++i) pinches.push_back({scenario.GetPinchTemperature(0, i), scenario.GetPinchTemperature(1, i)});
    return pinches;
}

}  // namespace

UnitsTargetData* UpdateUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario, int code) {
    if (code == UnitsTargetCodes::Free) return UpdateUnitsTarget(record, UnitsTargetInputs{}, code);
    const auto* s = dynamic_cast<const IHeatIntegrationScenarioForTargeting*>(&scenario);
    if (!s) return record;
    UnitsTargetInputs in;
    in.assignmentValid = s->IsUtilityPlacementValid();
    if (in.assignmentValid) {
        in.streams = StreamsOf(scenario);
        in.pinches = PinchesOf(scenario);
        in.assignmentMethod = scenario.GetUtilityAssignmentMethod();
    }
    return UpdateUnitsTarget(record, in, code);
}

void CalculateMinimumUnitsTarget(UnitsTargetData* record, IHeatIntegrationScenario& scenario) {
    if (!record) return;
    // The streams kept by the last update may have changed since; the search reads them now.
    record->SetStreams(StreamsOf(scenario));
    record->CalculateMinimumUnitsTarget();
}
