#include "eng/retrofit/CandidateScreen.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

double Rounding(double objective) { return 1e-9 * (1.0 + std::fabs(objective)); }

}  // namespace

// Why the bound holds. A cold stream's balance reads: its exchangers' duties plus its heaters'
// duties, less a slack of at most `streamSlack`, equal its load; the heaters cannot go below zero.
// So the stream's heaters carry at least its load less the slack less the most its exchangers can
// carry, and at least zero: a plant exchanger at most `high`, a candidate left out at most `idle`
// (the duty tolerance), the chosen candidate at most `high`, and no more than its hot stream can
// give up: that stream's balance (exchangers, coolers not below zero, the same slack) lets all its
// exchangers together carry at most its load plus the slack, and the plant's exchangers on it carry
// at least their `low`. Exactly one candidate is chosen, and the plant exchangers whose binaries
// are held at one count one each; the other binaries count at least zero. Temperatures, split
// fractions and approaches only restrict the solutions further, so leaving them out keeps the
// bound below every solution's objective.
std::vector<double> LowestObjectiveByCandidate(const CandidateScreenInputs& in, double& ceiling) {
    ceiling = 0.0;
    if (!in.exchangers || !in.coldStreams || !in.hotStreams || !in.heaters) return {};
    const auto& xs = *in.exchangers;
    const int E = static_cast<int>(xs.size());
    const int E0 = in.plantExchangers;
    if (E0 < 0 || E0 > E || static_cast<int>(in.duties.size()) != E) return {};

    // Each stream has one balance row; a stream listed twice is not screened.
    std::unordered_map<int, int> seen;
    for (const ColdStrmInfo& s : *in.coldStreams)
        if (++seen[s.streamId] > 1) return {};
    seen.clear();
    for (const HotStrmInfo& s : *in.hotStreams)
        if (++seen[s.streamId] > 1) return {};
    std::unordered_map<int, int> heatersOn;  // cold stream -> heaters on it
    for (const HeaterInfo& h : *in.heaters) ++heatersOn[h.processStream];
    // The least heat each cold stream's heaters carry with every candidate left out, and the most
    // each hot stream's candidate can take.
    std::unordered_map<int, double> least, room;
    for (const ColdStrmInfo& s : *in.coldStreams) least[s.streamId] += s.TotalLoad() - in.streamSlack;
    for (const HotStrmInfo& s : *in.hotStreams) room[s.streamId] += s.TotalLoad() + in.streamSlack;
    for (int k = 0; k < E; ++k) {
        const HXInfo& x = xs[static_cast<std::size_t>(k)];
        const ExchangerDutyRange& d = in.duties[static_cast<std::size_t>(k)];
        least[x.coldStream] -= k < E0 ? d.high : d.idle;
        if (const auto r = room.find(x.hotStream); k < E0 && r != room.end()) r->second -= d.low;
    }
    double heat = 0.0;
    for (const auto& [stream, value] : least)
        if (heatersOn.count(stream)) heat += std::max(0.0, value);
    const double fixed = static_cast<double>(in.binariesInUse) + 1.0;
    ceiling = in.heaterWeight * heat + fixed;

    std::vector<double> lowest(static_cast<std::size_t>(E - E0), ceiling);
    for (int k = E0; k < E; ++k) {
        const HXInfo& x = xs[static_cast<std::size_t>(k)];
        if (!heatersOn.count(x.coldStream)) continue;  // no heater to save on
        const ExchangerDutyRange& d = in.duties[static_cast<std::size_t>(k)];
        const auto r = room.find(x.hotStream);
        // A hot stream without a balance row of its own does not limit the candidate.
        const double carried = std::max(0.0, r != room.end() ? std::min(d.high, r->second) : d.high);
        const double before = least[x.coldStream];
        const double after = before + d.idle - carried;
        lowest[static_cast<std::size_t>(k - E0)] =
            in.heaterWeight * (heat - std::max(0.0, before) + std::max(0.0, after)) + fixed;
    }
    return lowest;
}

bool IsAboveObjective(double lowest, double objective) { return lowest > objective + Rounding(objective); }

bool CannotReachObjective(double lowest, double objective) { return lowest >= objective - Rounding(objective); }

std::vector<int> CandidatesAbove(const std::vector<double>& lowest, double objective, int firstColumn) {
    std::vector<int> above;
    for (std::size_t u = 0; u < lowest.size(); ++u)
        if (IsAboveObjective(lowest[u], objective)) above.push_back(firstColumn + static_cast<int>(u));
    return above;
}

double ObjectiveAt(const SparseRowList& rows, int width, const std::vector<double>& solution) {
    if (rows.empty()) return 0.0;
    const SparseRow& objective = rows.back();
    const int n = width - 1;
    double value = 0.0;
    for (int e = 0; e < objective.GetCount(); ++e) {
        const int c = objective.GetColumn(e);
        if (c >= 0 && c < n && c < static_cast<int>(solution.size()))
            value += objective.GetCoefficient(e) * solution[static_cast<std::size_t>(c)];
    }
    return value;
}

namespace {

double ObjectiveOf(const SolverModel& model) { return ObjectiveAt(*model.rows, model.width, model.solution); }

// Whether every candidate held out lies at or above the objective (beyond rounding).
bool HeldOutCannotReach(const std::vector<double>& lowest, const std::vector<int>& heldOut, int firstColumn,
                        double objective) {
    return std::all_of(heldOut.begin(), heldOut.end(), [&](int column) {
        return CannotReachObjective(lowest[static_cast<std::size_t>(column - firstColumn)], objective);
    });
}

}  // namespace

const std::vector<double>& SolveScreened(SolverModel& model, const std::vector<double>& lowest, double ceiling,
                                         int firstColumn) {
    if (lowest.empty() || !model.rows || model.rows->empty()) return SolveModel(model);
    // The same first screen in every step of a run (it does not depend on the earlier steps'
    // choices), so that the steps go on from the reduction the first one kept.
    const double best = *std::min_element(lowest.begin(), lowest.end());
    std::vector<int> heldOut = CandidatesAbove(lowest, best + (1.0 - kFirstScreenShare) * (ceiling - best), firstColumn);
    if (heldOut.empty()) return SolveModel(model);
    model.heldAtZero = &heldOut;
    SolveModel(model);
    if (model.solved) {
        const double objective = ObjectiveOf(model);
        if (HeldOutCannotReach(lowest, heldOut, firstColumn, objective)) {
            model.heldAtZero = nullptr;
            return model.solution;
        }
        // The answer is a solution of the whole model: no candidate whose lowest objective lies
        // above it can be the optimum.
        heldOut = CandidatesAbove(lowest, objective, firstColumn);
        SolveModel(model);
        if (model.solved) {
            model.heldAtZero = nullptr;
            return model.solution;
        }
    }
    model.heldAtZero = nullptr;
    return SolveModel(model);
}
