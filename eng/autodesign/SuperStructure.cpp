#include "eng/autodesign/SuperStructure.h"

#include "eng/autodesign/AdvancedSuperTarget.h"
#include "eng/autodesign/SuperStructureStage.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/MessageKey.h"
#include "lumeth/Messages.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

std::uint64_t StageMatchKey(int candidate, int stage) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(candidate)) << 32) |
           static_cast<std::uint32_t>(stage);
}

// Passes the superstructure's progress on to the scenario's own receivers.
class ProgressRelay : public INotificationReceiver {
public:
    explicit ProgressRelay(IHeatIntegrationScenario& scenario) : m_scenario(scenario) {}
    void NotifyChange(int code, const CPString& text, void* data) override {
        m_scenario.SendAMessage(code, text, data);
    }

private:
    IHeatIntegrationScenario& m_scenario;
};

}  // namespace

// ---- small records ----

int StageSplit::CompareInletAscending(const StageSplit& a, const StageSplit& b) {
    return a.inletTemperature < b.inletTemperature ? -1 : a.inletTemperature > b.inletTemperature ? 1 : 0;
}

int StageSplit::CompareInletDescending(const StageSplit& a, const StageSplit& b) { return -CompareInletAscending(a, b); }

double StreamStageTemperatures::Get(std::string_view key) const {
    if (key == "HighEnd") return highEndSet ? highEnd : Units::EmptyValue;
    if (key == "LowEnd") return lowEndSet ? lowEnd : Units::EmptyValue;
    return Units::EmptyValue;
}

void StreamStageTemperatures::Set(std::string_view key, double value) {
    if (key == "HighEnd") {
        highEnd = value;
        highEndSet = true;
    } else if (key == "LowEnd") {
        lowEnd = value;
        lowEndSet = true;
    } else {
        return;
    }
    endsEqual = highEndSet && lowEndSet && highEnd == lowEnd;
}

bool StreamStageTemperatures::Holds(int candidate) const {
    return std::binary_search(matches.begin(), matches.end(), candidate);
}

// ---- the superstructure ----

HeatExchangerNetworkSuperStructure::HeatExchangerNetworkSuperStructure() = default;

HeatExchangerNetworkSuperStructure::~HeatExchangerNetworkSuperStructure() = default;

void HeatExchangerNetworkSuperStructure::Progress(const char* key) { SendAMessage(64, FindString(key), nullptr); }

void HeatExchangerNetworkSuperStructure::ClearResults() {
    stageMatches.clear();
    stageSplits.clear();
    m_stageMatchIndex.clear();
}

double HeatExchangerNetworkSuperStructure::StageApproachOf(double minimumApproach, int kind) {
    // The analysis lays the columns of one pair out in series within an interval, which can leave
    // a smallest approach of zero or below; its power would be meaningless (NaN below zero).
    const double m = minimumApproach > 0.0 ? minimumApproach : 1.0;
    return std::min(20.0, std::pow(m, kind == 1 ? 0.5 : 0.85));
}

int HeatExchangerNetworkSuperStructure::StreamIndex(std::string_view name) const {
    auto found = m_streamIndex.find(std::string(name));
    return found == m_streamIndex.end() ? -1 : found->second;
}

const std::vector<StreamStageTemperatures>* HeatExchangerNetworkSuperStructure::TemperaturesOf(std::string_view name) const {
    const int p = StreamIndex(name);
    return p < 0 || p >= static_cast<int>(stageTemperatures.size()) ? nullptr : &stageTemperatures[static_cast<std::size_t>(p)];
}

std::vector<StreamStageTemperatures>* HeatExchangerNetworkSuperStructure::TemperaturesOf(std::string_view name) {
    const int p = StreamIndex(name);
    return p < 0 || p >= static_cast<int>(stageTemperatures.size()) ? nullptr : &stageTemperatures[static_cast<std::size_t>(p)];
}

const std::vector<double>* HeatExchangerNetworkSuperStructure::UtilitySegmentLoadsOf(const IHeatIntegrationStream& s) const {
    if (s.GetStreamKind() != 1) return nullptr;
    auto found = utilitySegmentLoads.find(s.GetName().c_str());
    if (found == utilitySegmentLoads.end() || static_cast<int>(found->second.size()) != s.GetNumberOfSegments())
        return nullptr;
    return &found->second;
}

double HeatExchangerNetworkSuperStructure::PlacedDutyOf(int stream) const {
    double sum = 0.0;
    if (stream < 0 || stream >= static_cast<int>(candidatesOfStream.size())) return sum;
    for (int i : candidatesOfStream[static_cast<std::size_t>(stream)]) sum += matches[static_cast<std::size_t>(i)].placedDuty;
    return sum;
}

bool HeatExchangerNetworkSuperStructure::SetUpCandidates(const std::unordered_map<std::string, IHeatIntegrationStream*>& streamDictionary,
                                            const std::vector<MatchwiseStreamData*>* candidateMatches,
                                            IHeatIntegrationStream* hot, IHeatIntegrationStream* cold) {
    ClearResults();
    matches.clear();
    streams.clear();
    streamsByName.clear();
    m_streamIndex.clear();
    stageTemperatures.clear();
    candidatesOfStream.clear();
    attemptsMade = 0;
    solvedStageCount = 0;
    stageCount = 0;
    hotUtility = hot;
    coldUtility = cold;

    std::unordered_set<const IHeatIntegrationStream*> listed;
    if (candidateMatches) {
        for (MatchwiseStreamData* r : *candidateMatches) {
            if (!r || !(r->dTolerance[0] > kLoadTolerance) || !r->GetHotStream() || !r->GetColdStream()) continue;
            Candidate c;
            c.record = r;
            c.hotName = r->GetHotStream()->GetName().c_str();
            c.coldName = r->GetColdStream()->GetName().c_str();
            c.load = r->dTolerance[0];
            c.minimumApproach = r->dTolerance[1];
            c.kind = r->nUtility;
            matches.push_back(std::move(c));
            for (const std::string* name : {&matches.back().hotName, &matches.back().coldName}) {
                if (streamsByName.count(*name)) continue;
                auto found = streamDictionary.find(*name);
                // Every stream of a candidate must be given: without it no stage can hold the match.
                if (found == streamDictionary.end() || !found->second) {
                    matches.clear();
                    streams.clear();
                    streamsByName.clear();
                    return false;
                }
                streamsByName.emplace(*name, found->second);
                if (listed.insert(found->second).second) streams.push_back(found->second);
            }
        }
    }
    AdvancedSuperTarget::SortStreams(streams);
    for (std::size_t p = 0; p < streams.size(); ++p) m_streamIndex.emplace(streams[p]->GetName().c_str(), static_cast<int>(p));
    candidatesOfStream.assign(streams.size(), {});
    for (std::size_t i = 0; i < matches.size(); ++i) {
        const int h = StreamIndex(matches[i].hotName), c = StreamIndex(matches[i].coldName);
        // A stream on neither side (or on the wrong one) cannot carry the match.
        if (h < 0 || c < 0 || streams[static_cast<std::size_t>(h)]->GetHotCold() != 0 ||
            streams[static_cast<std::size_t>(c)]->GetHotCold() != 1)
            return false;
        candidatesOfStream[static_cast<std::size_t>(h)].push_back(static_cast<int>(i));
        candidatesOfStream[static_cast<std::size_t>(c)].push_back(static_cast<int>(i));
    }
    return true;
}

int HeatExchangerNetworkSuperStructure::Run(const std::unordered_map<std::string, IHeatIntegrationStream*>& streamDictionary,
                                            const std::vector<MatchwiseStreamData*>* candidateMatches,
                                            IHeatIntegrationStream* hot, IHeatIntegrationStream* cold) {
    limitNote.clear();
    if (!SetUpCandidates(streamDictionary, candidateMatches, hot, cold)) return 0;
    Progress(MessageKey("AnalyzingOptimizedSolution"));
    stageCount = kFirstStageCount;
    BuildStageTemperatures(stageCount);

    std::vector<std::unique_ptr<SuperStructureStage>> stages;
    bool solved = false;
    for (int attempt = 0; attempt < kAttempts && !solved; ++attempt) {
        attemptsMade = attempt + 1;
        Progress(MessageKey("GeneratingSuperStructure"));
        for (int k = 1; k <= stageCount; ++k) {
            for (std::size_t i = 0; i < matches.size(); ++i) GetStageMatch(static_cast<int>(i), k);
            auto stage = std::make_unique<SuperStructureStage>(k);
            stage->Build(*this);
            stages.push_back(std::move(stage));
        }
        Progress(MessageKey("SolvingSuperStructure"));
        if (SolveModel(stages) == kSolved) {
            for (std::size_t k = 0; k < stages.size(); ++k) {
                stages[k]->AnalyseSolution(*this);
                // A stream enters the next stage at the temperature it leaves this one.
                for (std::vector<StreamStageTemperatures>& records : stageTemperatures)
                    if (k + 1 < records.size()) records[k + 1].Set("HighEnd", records[k].Get("LowEnd"));
            }
            solved = true;
            solvedStageCount = stageCount;
            break;
        }
        ++stageCount;
        BuildStageTemperatures(stageCount);
        stages.clear();
        ClearResults();
        for (Candidate& c : matches) c.placedDuty = 0.0;
    }
    if (solved) BuildSplits();
    stages.clear();
    return solved ? 1 : 0;
}

StageMatch* HeatExchangerNetworkSuperStructure::GetStageMatch(int candidate, int k) {
    if (candidate < 0 || candidate >= static_cast<int>(matches.size())) return nullptr;
    auto found = m_stageMatchIndex.find(StageMatchKey(candidate, k));
    if (found != m_stageMatchIndex.end()) return found->second;
    const Candidate& c = matches[static_cast<std::size_t>(candidate)];
    if (k == 1) {
        // The hottest stage holds a match only when the hot supply clears the cold target.
        const double dT = StageApproachOf(c.minimumApproach, c.kind);
        auto hot = streamsByName.find(c.hotName);
        auto cold = streamsByName.find(c.coldName);
        if (hot == streamsByName.end() || cold == streamsByName.end()) return nullptr;
        const double th = hot->second->GetSupplyTemperature();
        const double tc = cold->second->GetTargetTemperature();
        if (tc > th - dT) return nullptr;
    }
    auto entry = std::make_unique<StageMatch>();
    entry->stage = static_cast<std::int16_t>(k);
    entry->sequence = static_cast<std::int16_t>(stageMatches.size());
    entry->candidate = c.record;
    entry->candidateIndex = candidate;
    StageMatch* made = entry.get();
    stageMatches.push_back(std::move(entry));
    m_stageMatchIndex.emplace(StageMatchKey(candidate, k), made);
    return made;
}

void HeatExchangerNetworkSuperStructure::BuildStageTemperatures(int n) {
    stageTemperatures.clear();
    stageTemperatures.resize(streams.size());
    for (std::size_t p = 0; p < streams.size(); ++p) {
        IHeatIntegrationStream* s = streams[p];
        const int side = s->GetHotCold();
        const double hotEnd = side == 0 ? s->GetSupplyTemperature() : s->GetTargetTemperature();
        std::vector<StreamStageTemperatures>& records = stageTemperatures[p];
        records.resize(static_cast<std::size_t>(std::max(n, 0)));
        for (StreamStageTemperatures& r : records) {
            r.Set("HighEnd", hotEnd);
            r.hotCold = side;
            if (p < candidatesOfStream.size()) r.matches = candidatesOfStream[p];
        }
    }
}

void HeatExchangerNetworkSuperStructure::BuildSplits() {
    // The loaded stage matches of each (stream, stage), in list order: one pass over the list.
    std::unordered_map<std::uint64_t, std::vector<StageMatch*>> byStreamAndStage;
    for (const std::unique_ptr<StageMatch>& m : stageMatches) {
        if (!(m->duty > kLoadTolerance) || m->candidateIndex < 0) continue;
        const Candidate& c = matches[static_cast<std::size_t>(m->candidateIndex)];
        for (const std::string* name : {&c.hotName, &c.coldName}) {
            const int p = StreamIndex(*name);
            if (p >= 0) byStreamAndStage[StageMatchKey(p, m->stage)].push_back(m.get());
        }
    }
    for (std::size_t p = 0; p < streams.size(); ++p) {
        const bool hot = streams[p]->GetHotCold() == 0;
        for (int k = 1; k <= stageCount; ++k) {
            auto found = byStreamAndStage.find(StageMatchKey(static_cast<int>(p), k));
            if (found == byStreamAndStage.end() || found->second.size() < 2) continue;
            const std::vector<StageMatch*>& branch = found->second;
            const std::size_t n = branch.size();
            auto split = std::make_unique<StageSplit>();
            split->streamName = streams[p]->GetName().c_str();
            split->branchCount = static_cast<int>(n);
            split->branchFractions.assign(n, 0.0);
            split->inletTemperature = hot ? branch[0]->hotInletTemperature : branch[0]->coldInletTemperature;
            split->outletTemperature = hot ? branch[0]->hotOutletTemperature : branch[0]->coldOutletTemperature;
            double total = 0.0;
            for (const StageMatch* m : branch) total += m->duty;
            // Duties that give no usable sum (none, or beyond the doubles) share the flow equally,
            // so the fractions of a split always add up to one.
            const bool usable = total > 0.0 && std::isfinite(total);
            for (std::size_t b = 0; b < n; ++b) {
                const double f = usable ? branch[b]->duty / total : 1.0 / static_cast<double>(n);
                (hot ? branch[b]->hotSplitFraction : branch[b]->coldSplitFraction) = f;
                split->branchFractions[b] = f;
            }
            stageSplits.push_back(std::move(split));
        }
    }
}

int HeatExchangerNetworkSuperStructure::BuildDesign(IHeatIntegrationScenario& scenario,
                                                    const std::vector<IHeatIntegrationStream*>& taking,
                                                    const std::vector<MatchwiseStreamData*>& chosen,
                                                    IHeatIntegrationStream* hot, IHeatIntegrationStream* cold,
                                                    IHENDesign* designToComplete) {
    std::unordered_map<std::string, IHeatIntegrationStream*> dictionary;
    for (IHeatIntegrationStream* s : taking)
        if (s) dictionary.emplace(s->GetName().c_str(), s);
    ProgressRelay relay(scenario);
    AddNotificationReceiver(&relay);
    AddValidMessage(&relay, 64);
    const int found = Run(dictionary, &chosen, hot, cold);
    RemoveNotificationReceiver(&relay);
    if (!found || !designBuilder) return 0;
    return designBuilder->BuildDesign(scenario, taking, stageMatches, stageSplits, designToComplete);
}
