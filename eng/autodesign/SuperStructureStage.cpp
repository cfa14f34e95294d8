#include "eng/autodesign/SuperStructureStage.h"

#include "brasko/LurmetSparseMatrix.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/PlantNormalForm.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kKelvin = 273.15;
constexpr double kScale = 300.0;
constexpr double kLoadTolerance = 1e-8;

double ValueOf(const IHeatIntegrationStream& s, const char* name, int index, double fallback) {
    double v = Units::EmptyValue;
    if (s.GetValue(name, v, index) != 1 || v == Units::EmptyValue || !std::isfinite(v)) return fallback;
    return v;
}

// A utility's flow is not given: its load is the sum of its segments' loads, those the solve that
// chose the matches gives it when there are such.
double HeatLoadOf(IHeatIntegrationStream& s, const std::vector<double>* solved) {
    if (s.GetStreamKind() != 1) return s.GetHeatLoad(0);
    double sum = 0.0;
    if (solved) {
        for (double q : *solved) sum += std::fabs(q);
        return sum;
    }
    const int n = s.GetNumberOfSegments();
    for (int k = 0; k < n; ++k) {
        const double from = ValueOf(s, "Temperature", k, 0.0), to = ValueOf(s, "Temperature", k + 1, 0.0);
        sum += std::fabs((from - to) * s.GetSegmentHeatCapacityFlowrate(k));
    }
    return sum;
}

bool IsHot(const IHeatIntegrationStream& s) { return s.GetHotCold() == 0; }

}  // namespace

// The stream's joined segments: a cut where nothing changes adds no point (and no binary) to the
// stage, and a utility written in several rows is one range.
SuperStructureStage::Profile SuperStructureStage::ProfileOf(const IHeatIntegrationStream& s,
                                                            const std::vector<double>* solved) {
    Profile p;
    const bool utility = s.GetStreamKind() == 1;
    for (const PlantNormalForm::Run& run : PlantNormalForm::RunsOf(s)) {
        const int end = run.first + run.count;
        if (p.temperature.empty()) p.temperature.push_back(ValueOf(s, "Temperature", run.first, 0.0));
        p.temperature.push_back(ValueOf(s, "Temperature", end, 0.0));
        double load = 0.0, heat = 0.0, span = 0.0;
        for (int k = run.first; k < end; ++k) {
            const double width = std::fabs(ValueOf(s, "Temperature", k, 0.0) - ValueOf(s, "Temperature", k + 1, 0.0));
            const bool given = solved && static_cast<std::size_t>(k) < solved->size();
            load += given ? (*solved)[static_cast<std::size_t>(k)] : ValueOf(s, "Enthalpy", k, 0.0);
            heat += given ? std::fabs((*solved)[static_cast<std::size_t>(k)])
                          : width * (utility ? std::fabs(s.GetSegmentHeatCapacityFlowrate(k))
                                             : ValueOf(s, "HeatCapacityFlowrate", k, 0.0));
            span += width;
        }
        p.load.push_back(load);
        p.cp.push_back(span > 0.0 ? heat / span
                       : solved ? 0.0
                       : utility ? std::fabs(s.GetSegmentHeatCapacityFlowrate(run.first))
                                 : ValueOf(s, "HeatCapacityFlowrate", run.first, 0.0));
    }
    return p;
}

SuperStructureStage::SuperStructureStage(int k) : stage(k) {}

SuperStructureStage::~SuperStructureStage() = default;

void SuperStructureStage::Reset() {
    objective.clear();
    rhs.clear();
    rowTypes.clear();
    integerFlags.clear();
    solution.clear();
    matrix.reset();
    matches.clear();
    streams.clear();
    stageRecords.clear();
    approaches.clear();
    violations.clear();
    m_position.clear();
    m_pointOffset.clear();
    m_points.clear();
    m_profiles.clear();
    m_solvedLoads.clear();
    m_names.clear();
    m_approachIndex.clear();
    matchCount = segmentCount = streamCount = columnCount = lastContinuousColumn = equalityRowCount = rowCount = 0;
}

int SuperStructureStage::StreamPosition(std::string_view name) const {
    auto found = m_position.find(std::string(name));
    return found == m_position.end() ? -1 : found->second;
}

int SuperStructureStage::GetTemperatureColumn(std::string_view name) const {
    const int p = StreamPosition(name);
    return p < 0 ? -1 : matchCount + 1 + p;
}

int SuperStructureStage::FirstPointColumn(int position) const {
    if (position < 0 || position >= streamCount) return -1;
    return matchCount + streamCount + 1 + m_pointOffset[static_cast<std::size_t>(position)];
}

void SuperStructureStage::Set(int row, int column, double value) { matrix->SetElement(row, column, value); }

void SuperStructureStage::Build(HeatExchangerNetworkSuperStructure& ss) {
    Reset();
    // This stage's record of every stream; the streams that have candidates at all.
    std::vector<IHeatIntegrationStream*> open;
    for (std::size_t p = 0; p < ss.streams.size(); ++p) {
        if (p >= ss.stageTemperatures.size() || stage < 1 ||
            static_cast<std::size_t>(stage) > ss.stageTemperatures[p].size())
            continue;
        StreamStageTemperatures* record = &ss.stageTemperatures[p][static_cast<std::size_t>(stage - 1)];
        stageRecords.emplace(ss.streams[p]->GetName().c_str(), record);
        if (!record->matches.empty()) open.push_back(ss.streams[p]);
    }
    hotUtility = ss.hotUtility;
    coldUtility = ss.coldUtility;
    if (open.empty()) return;

    // The stage's entries grouped by hot stream, each group in list order.
    std::unordered_map<std::string, std::vector<StageMatch*>> byHotStream;
    for (const std::unique_ptr<StageMatch>& m : ss.stageMatches) {
        if (m->stage != stage || m->candidateIndex < 0) continue;
        m->duty = 0.0;
        byHotStream[ss.matches[static_cast<std::size_t>(m->candidateIndex)].hotName].push_back(m.get());
    }
    for (IHeatIntegrationStream* s : open) {
        if (!IsHot(*s)) continue;
        const std::string name = s->GetName().c_str();
        auto group = byHotStream.find(name);
        if (group == byHotStream.end()) continue;
        const StreamStageTemperatures* record = stageRecords[name];
        for (StageMatch* m : group->second) {
            const HeatExchangerNetworkSuperStructure::Candidate& c = ss.matches[static_cast<std::size_t>(m->candidateIndex)];
            if (!record->Holds(m->candidateIndex)) continue;
            if (!(std::fabs(1.0 - c.placedDuty / c.load) > kOpenMatchShare)) continue;
            m->duty = 0.0;
            matches.push_back(m);
        }
    }
    // The streams of the chosen matches, hot then cold stream of each, each once.
    for (StageMatch* m : matches) {
        const HeatExchangerNetworkSuperStructure::Candidate& c = ss.matches[static_cast<std::size_t>(m->candidateIndex)];
        for (const std::string* name : {&c.hotName, &c.coldName}) {
            if (m_position.count(*name)) continue;
            auto found = ss.streamsByName.find(*name);
            if (found == ss.streamsByName.end()) continue;
            m_position.emplace(*name, static_cast<int>(streams.size()));
            m_names.push_back(*name);
            streams.push_back(found->second);
        }
    }

    matchCount = static_cast<int>(matches.size());
    streamCount = static_cast<int>(streams.size());
    segmentCount = 0;
    for (IHeatIntegrationStream* s : streams) {
        m_solvedLoads.push_back(ss.UtilitySegmentLoadsOf(*s));
        m_profiles.push_back(ProfileOf(*s, m_solvedLoads.back()));
        const int points = static_cast<int>(m_profiles.back().cp.size());
        m_pointOffset.push_back(segmentCount);
        m_points.push_back(points);
        segmentCount += points;
    }
    columnCount = 2 * segmentCount + 2 * matchCount + streamCount + 1;
    lastContinuousColumn = segmentCount + matchCount + streamCount;
    equalityRowCount = streamCount;
    rowCount = 6 * segmentCount + 5 * streamCount + 2 * matchCount;
    if (matchCount > 0 && streamCount > 0) {
        objective.assign(static_cast<std::size_t>(columnCount), 0.0);
        rhs.assign(static_cast<std::size_t>(rowCount), 0.0);
        rowTypes.assign(static_cast<std::size_t>(rowCount), 'l');
        std::fill_n(rowTypes.begin(), streamCount, 'e');
        integerFlags.assign(static_cast<std::size_t>(columnCount), '1');
        std::fill_n(integerFlags.begin(), lastContinuousColumn + 1, '0');
    }
    matrix = std::make_unique<LurmetSparseMatrix>(rowCount, columnCount);
    if (matchCount == 0) return;

    int row = 0;
    AddStreamBalanceRows(ss, row);
    AddTemperatureBoundRows(ss, row);
    AddEnthalpySegmentRows(row);
    AddMatchRows(ss, row);
    AddApproachRows(ss, row);
    AddSplitLimitRows(row);
}

// Σ_j f_j q_j + Σ w + Σ e_i y_{i+1} = 1: what the stage's matches (and, once joined, those of the
// stages above) take from the stream and what lies between its cold end and its temperature here
// make up its whole load.
void SuperStructureStage::AddStreamBalanceRows(HeatExchangerNetworkSuperStructure& ss, int& row) {
    for (int p = 0; p < streamCount; ++p, ++row) {
        IHeatIntegrationStream& s = *streams[static_cast<std::size_t>(p)];
        if (IsChosenUtility(&s)) continue;
        const std::vector<double>* solved = m_solvedLoads[static_cast<std::size_t>(p)];
        const double Q = HeatLoadOf(s, solved);
        const bool hot = IsHot(s);
        const std::string& name = m_names[static_cast<std::size_t>(p)];
        for (int j = 0; j < matchCount; ++j) {
            const auto& c = ss.matches[static_cast<std::size_t>(matches[static_cast<std::size_t>(j)]->candidateIndex)];
            if ((hot ? c.hotName : c.coldName) != name) continue;
            const double share = std::fabs(Q) <= kLoadTolerance ? c.load / kLoadTolerance : c.load / Q;
            Set(row, 1 + j, -std::min(1.0, std::fabs(share)));
        }
        const int points = m_points[static_cast<std::size_t>(p)];
        const int w = FirstPointColumn(p);
        const int y = w + matchCount + segmentCount;
        for (int i = 0; i + 1 < points; ++i) {
            Set(row, w + i, -1.0);
            double e = 0.0;
            const int at = hot ? points - 1 - i : i;
            const double h = m_profiles[static_cast<std::size_t>(p)].load[static_cast<std::size_t>(at)];
            if (std::fabs(Q) > kLoadTolerance) e = std::fabs(h / Q);
            Set(row, y + i + 1, -e);
        }
        if (points > 0) Set(row, w + points - 1, -1.0);
        rhs[static_cast<std::size_t>(row)] = -1.0;
    }
}

// theta between bounds: in the stream's last stage its cold end (within 0.01 %), elsewhere its
// range widened by 2 % on both sides.
void SuperStructureStage::AddTemperatureBoundRows(HeatExchangerNetworkSuperStructure& ss, int& row) {
    for (int p = 0; p < streamCount; ++p) {
        IHeatIntegrationStream& s = *streams[static_cast<std::size_t>(p)];
        const double ts = s.GetSupplyTemperature(), tt = s.GetTargetTemperature();
        const double margin = 0.02 * std::fabs(ts - tt);
        const bool hot = IsHot(s);
        int last = 0;
        if (const std::vector<StreamStageTemperatures>* records = ss.TemperaturesOf(m_names[static_cast<std::size_t>(p)])) {
            last = static_cast<int>(records->size());
            while (last > 0 && (*records)[static_cast<std::size_t>(last - 1)].matches.empty()) --last;
        }
        double upper, lower;
        if (stage == last) {
            const double t = (hot ? tt : ts) + kKelvin;
            upper = t * 1.0001;
            lower = t * 0.9999;
        } else if (hot) {
            upper = ts + margin + kKelvin;
            lower = tt - margin + kKelvin;
        } else {
            upper = tt + margin + kKelvin;
            lower = ts - margin + kKelvin;
        }
        const int theta = matchCount + 1 + p;
        Set(row, theta, 1.0);
        rhs[static_cast<std::size_t>(row++)] = upper / kScale;
        Set(row, theta, -1.0);
        rhs[static_cast<std::size_t>(row++)] = -lower / kScale;
    }
}

// Per segment point j, walking from the stream's cold end (T_j in kelvin, CP_j of the segment
// above the point, Q the stream's load, Mbig a bound on any w):
//   1  -w_j + (300 CP_j/Q) theta + Mbig y_j - Mbig y_{j+1} <= T_j CP_j/Q + Mbig
//   2  +w_j - (300 CP_j/Q) theta + Mbig y_j                <= Mbig - T_j CP_j/Q
//   3  -y_j + 0.1 theta <= T_j/3000
//   4  +y_j - 0.1 theta <= 1 - T_j/3000
//   5  +w_j - 1.01 y_j + 1.01 y_{j+1} <= 0
//   6  -y_j + y_{j+1} <= 0
//   7  (j = 0) -y_0 <= -1
// 3 and 4 make y_j = 1 exactly when theta >= T_j/300; 1 and 2 fix w_j = (300 theta - T_j) CP_j/Q in
// the active segment (y_j = 1, y_{j+1} = 0); 5 keeps w_j at 0 elsewhere; 6 orders the binaries.
void SuperStructureStage::AddEnthalpySegmentRows(int& row) {
    for (int p = 0; p < streamCount; ++p) {
        IHeatIntegrationStream& s = *streams[static_cast<std::size_t>(p)];
        const int points = m_points[static_cast<std::size_t>(p)];
        const int w = FirstPointColumn(p);
        const int y = w + matchCount + segmentCount;
        const int theta = matchCount + 1 + p;
        if (IsChosenUtility(&s)) {
            // The chosen utilities are not balanced: their rows only keep the columns non-negative.
            for (int j = 0; j < points; ++j) {
                for (int column : {w + j, w + j, y + j, y + j, theta, theta}) Set(row++, column, -1.0);
                if (j == 0) Set(row++, w + j, -1.0);
            }
            continue;
        }
        const bool hot = IsHot(s);
        const std::vector<double>* solved = m_solvedLoads[static_cast<std::size_t>(p)];
        double Q = HeatLoadOf(s, solved);
        if (std::fabs(Q) <= kLoadTolerance) Q = kLoadTolerance;
        std::vector<double> T(static_cast<std::size_t>(points)), cp(static_cast<std::size_t>(points));
        double cpMax = 0.0;
        const Profile& profile = m_profiles[static_cast<std::size_t>(p)];
        for (int j = 0; j < points; ++j) {
            double t = profile.temperature[static_cast<std::size_t>(hot ? points - j : j)];
            if ((hot && j == points - 1) || (!hot && j == 0)) t -= 0.01;
            T[static_cast<std::size_t>(j)] = t + kKelvin;
            const int segment = hot ? points - j - 1 : j;
            const double c = profile.cp[static_cast<std::size_t>(segment)];
            cp[static_cast<std::size_t>(j)] = c;
            cpMax = std::max(cpMax, c);
        }
        const double mBig = std::fabs((s.GetSupplyTemperature() - s.GetTargetTemperature()) * cpMax * 1.01 / Q);
        for (int j = 0; j < points; ++j) {
            const double tj = T[static_cast<std::size_t>(j)];
            const double a = cp[static_cast<std::size_t>(j)] / Q;
            const bool next = j + 1 < points;
            Set(row, w + j, -1.0);
            Set(row, theta, kScale * a);
            Set(row, y + j, mBig);
            if (next) Set(row, y + j + 1, -mBig);
            rhs[static_cast<std::size_t>(row++)] = tj * a + mBig;

            Set(row, w + j, 1.0);
            Set(row, theta, -kScale * a);
            Set(row, y + j, mBig);
            rhs[static_cast<std::size_t>(row++)] = mBig - tj * a;

            Set(row, y + j, -1.0);
            Set(row, theta, 0.1);
            rhs[static_cast<std::size_t>(row++)] = tj / 3000.0;

            Set(row, y + j, 1.0);
            Set(row, theta, -0.1);
            rhs[static_cast<std::size_t>(row++)] = 1.0 - tj / 3000.0;

            Set(row, w + j, 1.0);
            Set(row, y + j, -1.01);
            if (next) Set(row, y + j + 1, 1.01);
            rhs[static_cast<std::size_t>(row++)] = 0.0;

            Set(row, y + j, -1.0);
            if (next) Set(row, y + j + 1, 1.0);
            rhs[static_cast<std::size_t>(row++)] = 0.0;

            if (j == 0) {
                Set(row, y, -1.0);
                rhs[static_cast<std::size_t>(row++)] = -1.0;
            }
        }
    }
}

// q_j <= beta_j z_j. A match of a chosen utility may carry up to the whole load of its process
// stream in one stage.
void SuperStructureStage::AddMatchRows(HeatExchangerNetworkSuperStructure& ss, int& row) {
    for (int j = 0; j < matchCount; ++j, ++row) {
        const auto& c = ss.matches[static_cast<std::size_t>(matches[static_cast<std::size_t>(j)]->candidateIndex)];
        IHeatIntegrationStream* h = ss.streamsByName[c.hotName];
        IHeatIntegrationStream* k = ss.streamsByName[c.coldName];
        IHeatIntegrationStream* other = nullptr;
        if (h == hotUtility) other = k;
        else if (k == coldUtility) other = h;
        double beta = 1.0;
        if (other && StreamPosition(other->GetName().c_str()) >= 0 && c.load > 0.0)
            beta = HeatLoadOf(*other, ss.UtilitySegmentLoadsOf(*other)) / c.load;
        Set(row, 1 + j, 1.0);
        Set(row, lastContinuousColumn + 1 + j, -beta);
    }
}

// With z_j = 1 the hot stream leaves the stage at least the match's approach above the cold
// stream's entry: -theta_h + theta_c + 10 z_j <= 10 - dT/300.
void SuperStructureStage::AddApproachRows(HeatExchangerNetworkSuperStructure& ss, int& row) {
    for (int j = 0; j < matchCount; ++j) {
        const auto& c = ss.matches[static_cast<std::size_t>(matches[static_cast<std::size_t>(j)]->candidateIndex)];
        const double dT = HeatExchangerNetworkSuperStructure::StageApproachOf(c.minimumApproach, c.kind);
        std::string key = c.hotName;
        key.push_back('\0');
        key += c.coldName;
        auto found = m_approachIndex.find(key);
        StageApproach* approach = nullptr;
        if (found == m_approachIndex.end()) {
            auto made = std::make_unique<StageApproach>();
            made->hotName = c.hotName;
            made->coldName = c.coldName;
            approach = made.get();
            approaches.push_back(std::move(made));
            m_approachIndex.emplace(key, approach);
        } else {
            approach = found->second;
        }
        approach->candidate = c.record;
        approach->approach = dT;
        Set(row, GetTemperatureColumn(c.hotName), -1.0);
        Set(row, GetTemperatureColumn(c.coldName), 1.0);
        Set(row, lastContinuousColumn + 1 + j, kBigM);
        rhs[static_cast<std::size_t>(row++)] = kBigM - dT / kScale;
    }
}

// At most "MaxSplitBranches" matches of a stream in one stage (none when the stream gives no value).
void SuperStructureStage::AddSplitLimitRows(int& row) {
    for (int p = 0; p < streamCount; ++p, ++row) {
        IHeatIntegrationStream& s = *streams[static_cast<std::size_t>(p)];
        const bool hot = IsHot(s);
        const std::string& name = m_names[static_cast<std::size_t>(p)];
        for (int j = 0; j < matchCount; ++j) {
            const MatchwiseStreamData* r = matches[static_cast<std::size_t>(j)]->candidate;
            const IHeatIntegrationStream* side = hot ? r->GetHotStream() : r->GetColdStream();
            if (side && name == side->GetName().c_str()) Set(row, lastContinuousColumn + 1 + j, 1.0);
        }
        rhs[static_cast<std::size_t>(row)] = ValueOf(s, "MaxSplitBranches", 0, 0.0);
    }
}

int SuperStructureStage::AnalyseSolution(HeatExchangerNetworkSuperStructure& ss) {
    // Duties: the load fraction always counts towards what the candidate has placed; only a match
    // whose binary is set carries it as a duty.
    const bool solved = !solution.empty();
    for (int j = 0; j < matchCount && solved; ++j) {
        StageMatch* m = matches[static_cast<std::size_t>(j)];
        auto& c = ss.matches[static_cast<std::size_t>(m->candidateIndex)];
        const double x = solution[static_cast<std::size_t>(j)];
        const double z = solution[static_cast<std::size_t>(lastContinuousColumn + j)];
        c.placedDuty += c.load * x;
        m->duty = (std::fabs(z) <= 0.01 || x <= kLoadTolerance) ? 0.0 : c.load * x;
    }
    // Every stream's temperature at the stage's cold end.
    for (std::size_t p = 0; p < ss.streams.size(); ++p) {
        IHeatIntegrationStream& s = *ss.streams[p];
        const std::string name = s.GetName().c_str();
        auto found = stageRecords.find(name);
        if (found == stageRecords.end() || !found->second) continue;
        StreamStageTemperatures& r = *found->second;
        if (StreamPosition(name) < 0) {
            r.Set("LowEnd", r.Get("HighEnd"));
            continue;
        }
        const bool hot = IsHot(s);
        double t;
        if (s.GetStreamKind() == 1) {
            // A utility's temperature is not followed: it steps through a twentieth of its range
            // per stage.
            const double ts = s.GetSupplyTemperature(), tt = s.GetTargetTemperature();
            t = hot ? ts - (ts - tt) * stage / 20.0 : tt - (tt - ts) * stage / 20.0;
        } else {
            const double Q = s.GetHeatLoad(0);
            const double placed = ss.PlacedDutyOf(static_cast<int>(p));
            t = s.GetTemperatureAtLoad(hot ? placed : Q - placed);
        }
        r.Set("LowEnd", t);
    }
    // End temperatures of the stage matches, and matches that carry heat without an approach.
    violations.clear();
    int violated = 0;
    for (StageMatch* m : matches) {
        const auto& c = ss.matches[static_cast<std::size_t>(m->candidateIndex)];
        auto rh = stageRecords.find(c.hotName), rc = stageRecords.find(c.coldName);
        const StreamStageTemperatures* hot = rh == stageRecords.end() ? nullptr : rh->second;
        const StreamStageTemperatures* cold = rc == stageRecords.end() ? nullptr : rc->second;
        m->hotInletTemperature = hot ? hot->Get("HighEnd") : Units::EmptyValue;
        m->hotOutletTemperature = hot ? hot->Get("LowEnd") : Units::EmptyValue;
        m->coldOutletTemperature = cold ? cold->Get("HighEnd") : Units::EmptyValue;
        m->coldInletTemperature = cold ? cold->Get("LowEnd") : Units::EmptyValue;
        const bool tight = m->hotInletTemperature - m->coldOutletTemperature < 0.1 ||
                           m->hotOutletTemperature - m->coldInletTemperature < 0.1;
        if (tight && std::fabs(m->duty / c.load) > kOpenMatchShare) {
            violations.push_back(c.record);
            violated = 1;
        }
    }
    for (const std::unique_ptr<StageApproach>& a : approaches) {
        auto rh = stageRecords.find(a->hotName), rc = stageRecords.find(a->coldName);
        a->hotTemperature = rh == stageRecords.end() ? Units::EmptyValue : rh->second->Get("LowEnd");
        a->coldTemperature = rc == stageRecords.end() ? Units::EmptyValue : rc->second->Get("LowEnd");
        a->coldEndDifference = a->hotTemperature - a->coldTemperature;
    }
    return violated;
}
