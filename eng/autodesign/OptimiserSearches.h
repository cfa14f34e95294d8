#pragma once
// The pieces of the network optimiser that need no network: the objectives of its modes with the
// penalty of an infeasible state, and its one-dimensional searches over one duty. Each search
// works through callbacks that set a duty (and recalculate), judge the state, or show progress.
#include <functional>
#include <vector>

namespace optimiser {

// ---- objectives ----
// Retrofit budget (mode 3): the capital term of the added capital a against the budget b (a / b
// at or beyond the budget, 0 within it), plus the utility cost u over the cost of the base design
// u0 (a base of 0 counts the term 0).
double CapitalTerm(double added, double budget);
double RetrofitObjective(double added, double budget, double utilityCost, double baseUtilityCost);
// Heater margins (mode 5): the weighted sum of the heater inlet deviations; within every allowed
// deviation the squared ratio of utility cost to the run's start scales (sum + 1), else 2 (sum + 1).
// A start cost of 0 takes the ratio as 1.
double HeaterMarginObjective(double utilityCost, double startUtilityCost, double weightedSum, bool withinTargets);
// Measured temperatures (mode 7): 1 + the sum of weight x (calculated - measured)^2.
struct Deviation {
    double calculated = 0.0, measured = 0.0, weight = 1.0;
};
double MeasuredTemperatureObjective(const std::vector<Deviation>& deviations);
// An infeasible state under penalty base P: value / P + P, a little above P whatever the value.
double Penalised(double value, double penaltyBase);

// ---- one-dimensional searches over one duty ----
// Sets the duty and recalculates.
using ApplyDuty = std::function<void(double)>;
// The objective of the present state.
using Judge = std::function<double()>;

// The duty search of a utility exchanger from q0 (objective f0 there): a first step of -2 %,
// extrapolation from the better of the two with a growing step while the objective falls, then
// halving between the last improving point and the failed trial until the two objectives agree
// within 0.1 %. Each bound is 60 steps, the halving also stops below an interval of 1e-9 of the
// duty. `abandon`, asked after the first step, lets the caller undo the search (the duty goes
// back to q0). `report` gets the objective the progress line shows. Answers the duty left set.
struct DutySearchTrace {
    std::vector<double> trials;  // every duty tried, in order (the first step included)
    int halvings = 0;
    bool abandoned = false;
};
double SearchDuty(double q0, double f0, const ApplyDuty& apply, const Judge& judge,
                  const std::function<bool()>& abandon, const std::function<void(double)>& report,
                  DutySearchTrace* trace = nullptr);

// The feasibility search over one duty: factors 0.9, 0.8, ... down to practically 0, then 1.1 to
// 1.9 of q0, stopping at the first feasible trial; without one, q0 is set back. True when a
// feasible trial was found.
bool RestoreByFactors(double q0, const ApplyDuty& apply, const std::function<bool()>& feasible);

// A free duty of (almost) zero moved to 10 %, 1 %, ... of the smaller stream load m until the
// network is feasible, at most 8 tenfold reductions; the last trial stays. Answers the duty set.
double RescueSmallDuty(double m, const ApplyDuty& apply, const std::function<bool()>& feasible);

}  // namespace optimiser
