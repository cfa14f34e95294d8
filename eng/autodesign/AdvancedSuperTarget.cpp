#include "eng/autodesign/AdvancedSuperTarget.h"

#include "eng/autodesign/SuperStructure.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/PlantNormalForm.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"
#include "pellin/FFactor.h"
#include "tevrin/CPDictionary.h"

#include "eng/autodesign/StageDesignBuilder.h"

#include <algorithm>
#include <cmath>

AdvancedSuperTarget::AdvancedSuperTarget(IHeatIntegrationScenario& owner, std::shared_ptr<IMatchStructureBuilder> builder)
    : scenario(owner), structureBuilder(std::move(builder)) {
    // Its own superstructure builds the designs of what it resolves.
    if (!structureBuilder) {
        auto own = std::make_shared<HeatExchangerNetworkSuperStructure>();
        own->designBuilder = std::make_shared<StageDesignBuilder>();
        structureBuilder = std::move(own);
    }
}

AdvancedSuperTarget::~AdvancedSuperTarget() = default;

void AdvancedSuperTarget::SetTimeLimit(double seconds) {
    timeLimit = std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
    if (structureBuilder) structureBuilder->SetTimeLimit(timeLimit);
}

std::string AdvancedSuperTarget::PairKey(const CPString& hot, const CPString& cold) {
    // A separator that no stream name holds keeps the pairs apart.
    std::string key(hot.c_str());
    key.push_back('\0');
    key.append(cold.c_str());
    return key;
}

bool AdvancedSuperTarget::MatchesByStreamNames(const MatchwiseStreamData* a, const MatchwiseStreamData* b) {
    const int hot = a->GetHotStream()->GetName().compare(b->GetHotStream()->GetName());
    return hot != 0 ? hot < 0 : a->GetColdStream()->GetName() < b->GetColdStream()->GetName();
}

void AdvancedSuperTarget::Progress(const char* key) {
    scenario.SendAMessage(64, FindString(key), nullptr);
}

double AdvancedSuperTarget::GetSummedValue(int index) const {
    if (index < 0 || index >= static_cast<int>(utilityLoads.size())) return 0.0;
    return utilityLoads[static_cast<std::size_t>(index)];
}

const char* AdvancedSuperTarget::GetNamedEntry(int index) const {
    if (index < 0 || index >= static_cast<int>(utilityNames.size())) return nullptr;
    return utilityNames[static_cast<std::size_t>(index)].c_str();
}

double AdvancedSuperTarget::GetLoadedMatchLoad(int index) const {
    if (index < 0 || index >= static_cast<int>(loadedMatches.size())) return 0.0;
    return loadedMatches[static_cast<std::size_t>(index)].load;
}

const char* AdvancedSuperTarget::GetLoadedMatchStreamName(int index, int side) const {
    if (index < 0 || index >= static_cast<int>(loadedMatches.size()) || (side != 0 && side != 1)) return nullptr;
    const MatchResult& m = loadedMatches[static_cast<std::size_t>(index)];
    return side == 0 ? m.hot.c_str() : m.cold.c_str();
}

const char* AdvancedSuperTarget::GetUnloadedMatchStreamName(int index, int side) const {
    if (index < 0 || index >= static_cast<int>(unloadedMatches.size()) || (side != 0 && side != 1)) return nullptr;
    const MatchResult& m = unloadedMatches[static_cast<std::size_t>(index)];
    return side == 0 ? m.hot.c_str() : m.cold.c_str();
}

// Selects the streams of the run (every utility; a process stream with a load of at least 1e-8),
// orders them and makes the run's own copies of their segments, shifted by 2.0 each.
bool AdvancedSuperTarget::SelectStreams(CPDictionary* streamDictionary) {
    streams.clear();
    streamsByName.clear();
    segments.clear();
    m_rowsOf.clear();
    m_segmentIndex.clear();
    if (!streamDictionary) return false;
    for (std::size_t i = 0; i < streamDictionary->Length(); ++i) {
        IHeatIntegrationStream* s = nullptr;
        if (!scenario.GetStream(streamDictionary->KeyAt(i), s) || !s) continue;
        if (s->GetStreamKind() != 1 && !(std::fabs(s->GetHeatLoad(0)) >= kLoadTolerance)) continue;
        streams.push_back(s);
        streamsByName.emplace(s->GetName().c_str(), s);
    }
    // Streams in name order first, so that streams the design order finds equal keep the order of
    // their names, not of the table's rows.
    PlantNormalForm::OrderByName(streams);
    SortStreams(streams);
    std::vector<std::unique_ptr<StreamSegment>> rows;
    for (IHeatIntegrationStream* s : streams) {
        const int n = s->GetNumberOfSegments();
        const int side = s->GetHotCold();
        const int kind = s->GetStreamKind();
        for (int k = 0; k < n; ++k) {
            auto seg = std::make_unique<StreamSegment>();
            double from = 0.0, to = 0.0, h = 0.0;
            s->GetValue("Temperature", from, k);
            s->GetValue("Temperature", to, k + 1);
            if (s->GetValue("HTCoeff", h, k) != 1) h = 0.0;
            seg->dInletTemperature = from;
            seg->dOutletTemperature = to;
            seg->dHeatCapacityFlowrate = s->GetSegmentHeatCapacityFlowrate(k);
            seg->dFilmCoefficient = h;
            seg->nHotCold = side;
            seg->nKind = (kind == 1 || kind == 2) ? kind : 0;
            seg->nIndex = k;
            seg->DTminContribution = ValueAndFlag{kModelContribution, ValueAndFlag::ScopeGlobal};
            const double shift = side == 0 ? -kModelShift : side == 1 ? kModelShift : 0.0;
            seg->dShiftedInletTemperature = from + shift;
            seg->dShiftedOutletTemperature = to + shift;
            seg->dLoad = std::fabs(from - to) * std::fabs(seg->dHeatCapacityFlowrate);
            seg->pStream = s;
            seg->strStreamName = s->GetName();
            rows.push_back(std::move(seg));
        }
    }
    // The model is built on the plant's normal form: a stream cut where nothing changes, or a
    // utility written in several rows, gives the intervals, columns and design it gives whole.
    std::vector<StreamSegment*> refs;
    refs.reserve(rows.size());
    for (auto& r : rows) refs.push_back(r.get());
    PlantNormalForm plant;
    plant.Build(refs);
    m_rowsOf.clear();
    for (std::size_t k = 0; k < plant.Size(); ++k) {
        auto seg = std::make_unique<StreamSegment>(*plant.Segments()[k]);
        std::vector<std::pair<int, double>> sources;
        for (const StreamSegment* row : plant.SourcesOf(k))
            sources.emplace_back(row->nIndex, std::fabs(row->dInletTemperature - row->dOutletTemperature));
        m_rowsOf.push_back(std::move(sources));
        m_segmentIndex.emplace(seg.get(), static_cast<int>(segments.size()));
        segments.push_back(std::move(seg));
    }
    return true;
}

int AdvancedSuperTarget::Run(CPDictionary* streamDictionary, void* /*argument*/, EconomicData* data, EconomicInfo* info,
                             MatchwiseStreamDataList* matches, double dTmin, IHENDesign* design, int wanted) {
    // A run starts with no message: a success must not show the key of an earlier failure.
    message.clear();
    searchNote.clear();
    limitNote.clear();
    utilityLoads.clear();
    utilityStreams.clear();
    utilityNames.clear();
    SelectStreams(streamDictionary);
    economicData = data;
    economicInfo = info;
    matchData = matches;
    dtMin = dTmin;
    designToComplete = design;
    designsWanted = wanted;
    loadedRecords.clear();
    loadedMatches.clear();
    unloadedMatches.clear();
    designsMade = 0;
    const bool listed = streamDictionary != nullptr;
    if (!listed) {
        message = MessageKey("MissingStreamInformation");
        return 0;
    }
    if (!CheckData()) return 0;
    return Design();
}

void AdvancedSuperTarget::SplitMatches() {
    loadedRecords.clear();
    loadedMatches.clear();
    unloadedMatches.clear();
    std::vector<MatchwiseStreamData*> unloaded;
    const int n = matchData->GetNumberOfMatches();
    for (int i = 0; i < n; ++i) {
        MatchwiseStreamData* r = matchData->GetMatch(i);
        if (!r) continue;
        (r->dTolerance[0] > kLoadTolerance ? loadedRecords : unloaded).push_back(r);
    }
    if (designToComplete) {
        // Pairs the design to complete already holds stay candidates even without LP load.
        std::vector<MatchwiseStreamData*> still;
        for (MatchwiseStreamData* r : unloaded) {
            auto found = existingMatches.find(PairKey(r->GetHotStream()->GetName(), r->GetColdStream()->GetName()));
            (found != existingMatches.end() && found->second != 0 ? loadedRecords : still).push_back(r);
        }
        unloaded.swap(still);
    }
    // The pairs in the order of their streams' names, not of the table's rows: the MILP's columns,
    // and the units of the designs built from them, come in one order for one plant.
    std::stable_sort(loadedRecords.begin(), loadedRecords.end(), MatchesByStreamNames);
    std::stable_sort(unloaded.begin(), unloaded.end(), MatchesByStreamNames);
    auto result = [](MatchwiseStreamData* r) {
        return MatchResult{r->GetHotStream()->GetName().c_str(), r->GetColdStream()->GetName().c_str(), r->dTolerance[0]};
    };
    for (MatchwiseStreamData* r : loadedRecords) loadedMatches.push_back(result(r));
    for (MatchwiseStreamData* r : unloaded) unloadedMatches.push_back(result(r));
}

int AdvancedSuperTarget::Design() {
    BuildTemperatureIntervals();
    lpProblem = std::make_unique<LPProblem>();
    columns.clear();
    CollectSmallLoadStreams();
    CollectExistingMatches();
    hotUtilityMatches.clear();
    coldUtilityMatches.clear();
    if (matchData) {
        for (auto [utility, list] : {std::pair{hotUtility, &hotUtilityMatches}, std::pair{coldUtility, &coldUtilityMatches}}) {
            if (!utility) continue;
            if (auto found = matchData->GetMatchesOfStream(utility))
                for (std::size_t i = 0; i < found->Length(); ++i) list->push_back((*found)[i]);
            // The utility's matches in the order of their streams' names, not of the table's
            // rows: the LP meets its rows in one order for one plant, and of equal optima keeps
            // one.
            std::stable_sort(list->begin(), list->end(), MatchesByStreamNames);
        }
    }
    UpdateMatchCostCoefficients(1);
    if (!GenerateLinearModel() || !SolveLinearModel()) {
        message = MessageKey("AutomaticDesignSolverFailed");
        return 0;
    }
    CollectUtilityLoads();
    AnalyzeSolution(totalArea, totalShells);
    // Columns of matches that need at most one shell get the F-factor of their own temperatures, at
    // the scenario's minimum F: the interval boundaries moved back by the shift, half the
    // contribution (2 K a side), as the analysis takes them. Moved by the whole contribution they
    // would stand at an 8 K approach where the exchanger works at 4 K, and the MILP would price
    // such a match below the area the analysis reports for it.
    for (MatchColumn& c : columns) {
        if (!c.match || c.match->dFourthValue > 1.0) continue;
        const double ch = c.hotSegment->DTminContribution.dValue / 2.0;
        const double cc = c.coldSegment->DTminContribution.dValue / 2.0;
        const int i = c.hotIntervalIndex, j = c.coldIntervalIndex;
        double F = c.fFactor, shells = 1.0;
        g_CalculateFFactorAndShells(intervalList->GetTemperature(i + 1) + ch, intervalList->GetTemperature(i) + ch,
                                    intervalList->GetTemperature(j + 1) - cc, intervalList->GetTemperature(j) - cc,
                                    scenario.GetMinimumFFactor(), F, shells, 0, 1);
        c.fFactor = F;
    }
    if (!matchData || matchData->GetNumberOfMatches() == 0) return 1;
    SplitMatches();
    if (!milpEnabled) return 1;

    int result = 1;
    RefineLinearModel();
    UpdateMatchCostCoefficients(3);
    int iteration = 0;
    while (designsMade < designsWanted && iteration < designsWanted) {
        Progress(MessageKey("SolvingMixedIntegerLinearModel"));
        if (!SolveMixedIntegerModel(iteration)) {
            if (iteration == 0) {
                message = MessageKey("AutomaticDesignSolverFailed");
                result = 0;
            } else if (designsMade < designsWanted) {
                message = MessageKey("NotEnoughDesignsGenerated");
                result = 0;
            }
            break;
        }
        AddIntegerCut(static_cast<int>(loadedRecords.size()), lpProblem->nColumns);
        CollectUtilityLoads();
        AnalyzeSolution(totalArea, totalShells);
        std::vector<MatchwiseStreamData*> chosen;
        for (std::size_t k = 0; k < loadedRecords.size() && k < binaryValues.size(); ++k)
            if (std::fabs(binaryValues[k]) > 0.01) chosen.push_back(loadedRecords[k]);
        BuildDesignFromMatches(chosen);
        scenario.SendAMessage(66, CPString(), nullptr);
        ++iteration;
    }
    if (iteration > 0 && designsMade == 0) {
        message = MessageKey("FailedToResolveSuperStructure");
        result = 0;
    }
    return result;
}
