#pragma once
// F-correction factor of shell-and-tube exchangers with one shell pass and an even number of
// tube passes (1-2N exchangers), for one shell or for N such shells in series, and the number
// of shells an exchange needs to keep F at or above a minimum.
//
// F follows the Bowman-Underwood relation in the capacity ratio R and the thermal
// effectiveness P of the hot and cold terminal temperatures:
//   R = (Th_in - Th_out) / (Tc_out - Tc_in),   P = (Tc_out - Tc_in) / (Th_in - Tc_in).
// N shells in series are reduced to one shell of effectiveness P1 at the same R, and
// F(N) = F_1-2(R, P1). N is a real number: the shell count is the point N >= 1 at which F(N)
// reaches the minimum, found by bisection.
//
// Each side's two end temperatures may be passed in either order; the exchange is taken as
// countercurrent overall (the hot side enters at its hotter end, the cold side at its colder
// end). The same ends always give the same answer.
//
// Degenerate exchanges:
// - a side without temperature change (condensing or boiling) needs no correction: F = 1,
//   one shell;
// - ends that cross (no countercurrent exchange is possible), or an approach so tight that
//   even kMaxShellsInSeries shells cannot reach the minimum: the shell count is
//   kMaxShellsInSeries and F is the value there, never below kLowestFFactor;
// - a temperature that is not a finite number: an assertion is recorded, F = 1, one shell.
// No result is ever NaN.

// Most shells in series a shell count reports.
constexpr double kMaxShellsInSeries = 100.0;
// F never reported below this; it stands for an arrangement that cannot do the duty and keeps
// areas divided by F finite.
constexpr double kLowestFFactor = 0.01;

// F of N (real, >= 1) shells in series for capacity ratio R >= 0 and effectiveness P >= 0 of
// the whole exchange. Answers false (F := 0) when the arrangement cannot reach that
// effectiveness (P >= 1 or R P >= 1 for the countercurrent limit, or beyond the 1-2 limit of
// the reduced shell), or when an argument is out of range or not finite.
bool FFactorForShells(double R, double P, double shells, double& F);

// F and the number of shells in series that keeps F at or above minF (clamped into
// [kLowestFFactor, 1]; a minF that is not a number counts as kLowestFFactor). Writes F and
// shells and returns F. The two integers are accepted for callers that pass options; they do
// not change the result.
double g_CalculateFFactorAndShells(double hotLow, double hotHigh, double coldLow, double coldHigh,
                                   double minF, double& F, double& shells, int, int);

// F for a given real number of shells in series (below 1, or not a number, counts as one
// shell). Same end conventions and degenerate answers as above.
double g_CalculateFFactorWithFixedShells(double hotOut, double hotIn, double coldIn, double coldOut,
                                         double shells);

// Whether N given shells in series (below 1, or not a number, counts as one) can do the exchange
// at these ends at all: false where even the reduced shell's effectiveness lies beyond the 1-2
// limit, where the F above stands at kLowestFFactor for an F that does not exist. Ends that do not
// make a regular exchange (isothermal, crossed, not finite) answer true: their answers are above.
bool g_FFactorExistsWithFixedShells(double hotOut, double hotIn, double coldIn, double coldOut, double shells);
