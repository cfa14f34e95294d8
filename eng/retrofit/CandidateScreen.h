#pragma once
// Screening the candidates of a new-exchanger model before its search: the lowest objective any
// solution that builds a given candidate can reach, from the stream balances alone, and a solve
// that holds out the candidates which cannot reach the objective of a solution already in hand.
//
// The model's objective is 100/W per kW of heater duty (W the plant's heater duty) plus one per
// exchanger in use. Choosing a candidate can lower only the heaters of its own cold stream, and by
// no more than it can carry: its cold stream's heater duty and its hot stream's cooler duty (the
// plant's exchangers hold their duties within a band). A candidate whose lowest objective lies
// above the objective of a feasible solution cannot be the model's optimum, so holding its binary
// at zero leaves the optimum, and every solution that reaches it, where they were.
#include "eng/retrofit/ModelSolving.h"
#include "eng/retrofit/RetrofitRecords.h"

#include <vector>

// The duties an exchanger of the model can carry: `low` and `high` in use, `idle` when its binary
// is zero (the duty tolerance for a candidate, 0 for one held out of the model).
struct ExchangerDutyRange {
    double low = 0.0;
    double high = 0.0;
    double idle = 0.0;
};

struct CandidateScreenInputs {
    const std::vector<HXInfo>* exchangers = nullptr;  // plant exchangers first, candidates last
    int plantExchangers = 0;
    std::vector<ExchangerDutyRange> duties;  // one per exchanger
    const std::vector<ColdStrmInfo>* coldStreams = nullptr;
    const std::vector<HotStrmInfo>* hotStreams = nullptr;
    const std::vector<HeaterInfo>* heaters = nullptr;
    double heaterWeight = 1.0;  // 100 / W
    double streamSlack = 0.0;   // how far a stream's balance may miss its load
    int binariesInUse = 0;      // plant exchangers whose binary is held at one
};

// Per candidate (in candidate order), a lower bound on the objective of every solution that
// chooses it; `ceiling` receives the same bound for a candidate that saves nothing. Empty when the
// inputs are incomplete.
std::vector<double> LowestObjectiveByCandidate(const CandidateScreenInputs& inputs, double& ceiling);

// The share of the best candidate's saving that a candidate must be able to reach to be searched
// in the first, screened solve. Only a guess at where the answer will lie: a candidate held out
// that could still reach the answer's objective brings a second solve, which holds out only the
// candidates proved unable to. A hundredth instead of a tenth keeps only the candidates into the
// largest heater on the dense bench plants and saves another quarter of the time there, but the
// search then keeps other places among the tied ones in every step, which the area check after it
// does not rate as well.
inline constexpr double kFirstScreenShare = 0.9;
// The most candidates a new-exchanger model is built of at first, those with the lowest bounds.
inline constexpr int kFirstScreenCandidates = 4000;

// Whether a candidate's lowest objective lies above `objective` beyond rounding.
bool IsAboveObjective(double lowest, double objective);

// Whether a candidate's lowest objective lies at or above `objective` (beyond rounding): no
// solution building it goes below that objective.
bool CannotReachObjective(double lowest, double objective);

// The objective row's value (the model's last row) at a solution of n = width - 1 columns.
double ObjectiveAt(const SparseRowList& rows, int width, const std::vector<double>& solution);

// Candidates whose lowest objective lies above `objective` (beyond rounding), as model columns:
// `firstColumn` is the first candidate's binary.
std::vector<int> CandidatesAbove(const std::vector<double>& lowest, double objective, int firstColumn);

// Solves `model` with the candidates that cannot reach a good solution held at zero: first those
// whose best saving falls well short of the best any candidate could make; the answer stands
// when every candidate held out lies at or above its objective, else the model is solved again
// with only the candidates above that objective held out (which keeps the optimum, the answer
// being a solution of the whole model), and as a whole when a screened solve fails.
const std::vector<double>& SolveScreened(SolverModel& model, const std::vector<double>& lowest, double ceiling,
                                         int firstColumn);
