// The exchanger's unit model: duty and port temperatures, then U, F and shells, area, end
// approaches, feasibility and capital cost.
#include "pellin/ExchangerCostLaw.h"
#include "pellin/FFactor.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/HeatTransfer.h"
#include "pellin/NegligibleDuty.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/StreamProfile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

namespace S = ExchangerStatus;
namespace V = NodeValue;

// The least F a shell-and-tube exchanger is laid out for; the area targets use the same.
constexpr double kMinimumFtFactor = 0.8;
// Two heat loads that differ by no more than this share of the larger agree.
constexpr double kAgreement = 1e-6;
// Break points of the two sides closer than this (kW) are one.
constexpr double kSameLoad = 1e-12;
constexpr int kMaxDoublings = 200;
constexpr int kMaxBisections = 200;

bool agree(double a, double b) { return std::fabs(a - b) <= kAgreement * std::max({1.0, std::fabs(a), std::fabs(b)}); }

// How far an approach may fall short of DTMin and still be DTMin: end temperatures follow from
// duties that agree only to kAgreement, so they carry that share of the exchanger's span of
// temperature (an exchanger laid out at DTMin from a rounded area comes out a few 1e-8 K short).
double approachTolerance(const double t[4]) {
    return kAgreement * std::max(1.0, std::fabs(t[0] - t[2]));
}
// An exchanger of frozen area (an operated network) gets its duty from the network's area
// equations, which hold to 0.05 % of the duty: its end temperatures carry that share of its span,
// and an exchanger laid out at DTMin is still at DTMin within it.
constexpr double kFrozenAreaPrecision = 5e-4;
double frozenAreaApproachTolerance(const double t[4]) {
    return std::max(approachTolerance(t), kFrozenAreaPrecision * std::max(1.0, std::fabs(t[0] - t[2])));
}

// Where the overall coefficient comes from.
struct Coefficient {
    double fixed = 0.0;    // > 0: one U for the whole exchange
    double fouling = 0.0;  // added to the film resistances
    bool clean = false;    // leave the fouling out (the clean coefficient)

    // U where the sides stand at these temperatures; 0 when the films are not known.
    double at(const StreamProfile& hot, const StreamProfile& cold, double th, double tc) const {
        if (fixed > 0.0) return fixed;
        const double u = OverallCoefficient(hot.FilmCoefficientAt(th), cold.FilmCoefficientAt(tc));
        if (!(u > 0.0)) return 0.0;
        return clean || !(fouling > 0.0) ? u : 1.0 / (1.0 / u + fouling);
    }
};

enum class Exchange { Ok, Crossed, NoCoefficient };

// Area of a countercurrent exchange of duty q, summed over the zones between the stream points
// of either side (within a zone both heat capacities and both film coefficients are constant,
// so Q_z = U_z F A_z LMTD_z holds exactly). The zones run from the cold end up.
Exchange exchangeArea(const StreamProfile& hot, const StreamProfile& cold, const double t[4], double q,
                      const Coefficient& c, double F, double& area) {
    area = 0.0;
    const double thi = t[0], tho = t[1], tci = t[2], tco = t[3];
    if (!(thi - tco > 0.0) || !(tho - tci > 0.0)) return Exchange::Crossed;
    if (q <= 0.0) return Exchange::Ok;
    const double hHotOut = hot.Enthalpy(tho), hColdIn = cold.Enthalpy(tci);
    // Every exchanger calculation works out its area twice: the lists keep their room between
    // calls instead of being allocated each time.
    thread_local std::vector<double> points, loads;
    loads.clear();
    loads.push_back(0.0);
    loads.push_back(q);
    hot.PointsBetween(tho, thi, points);
    for (double p : points) loads.push_back(hot.Enthalpy(p) - hHotOut);
    cold.PointsBetween(tci, tco, points);
    for (double p : points) loads.push_back(cold.Enthalpy(p) - hColdIn);
    std::sort(loads.begin(), loads.end());

    bool missing = false;
    double qa = 0.0, dta = tho - tci, tha = tho, tca = tci;
    for (std::size_t i = 1; i < loads.size(); ++i) {
        const double qb = std::min(loads[i], q);
        if (qb - qa <= kSameLoad && i + 1 < loads.size()) continue;
        const double thb = i + 1 == loads.size() ? thi : hot.TemperatureAt(hHotOut + qb);
        const double tcb = i + 1 == loads.size() ? tco : cold.TemperatureAt(hColdIn + qb);
        const double dtb = thb - tcb;
        if (!(dtb > 0.0)) return Exchange::Crossed;
        if (qb > qa) {
            const double u = c.at(hot, cold, 0.5 * (tha + thb), 0.5 * (tca + tcb));
            if (u > 0.0) area += (qb - qa) / (u * F * LogMeanTemperatureDifference(dta, dtb));
            else missing = true;
        }
        qa = qb;
        dta = dtb;
        tha = thb;
        tca = tcb;
    }
    return missing ? Exchange::NoCoefficient : Exchange::Ok;
}

}  // namespace

namespace {

struct Side {
    StreamNode* in = nullptr;
    StreamNode* out = nullptr;
    // The profile held by the flowsheet for the calculation, or one read for this side alone.
    const StreamProfile* held = nullptr;
    StreamProfile own;
    bool usable = false;
    bool knowIn = false, knowOut = false;
    double tIn = 0.0, tOut = 0.0;

    const StreamProfile& profile() const { return held ? *held : own; }
    void read() {
        held = in && out ? in->getHeldProfile() : nullptr;
        usable = in && out && (held ? held->Valid() : in->getProfile(own));
        knowIn = in && in->isKnown(V::Temperature, tIn);
        knowOut = out && out->isKnown(V::Temperature, tOut);
    }
    bool both() const { return knowIn && knowOut; }
    bool any() const { return knowIn || knowOut; }
    // Heat the side carries between its ends: given off by the hot side, taken up by the cold.
    double duty(bool hot) const {
        const double d = profile().Enthalpy(tIn) - profile().Enthalpy(tOut);
        return hot ? d : -d;
    }
    // The two end temperatures for a duty q, from whichever end is known.
    void ends(bool hot, double q, double& inlet, double& outlet) const {
        const double sign = hot ? -1.0 : 1.0;
        inlet = knowIn ? tIn : profile().TemperatureAt(profile().Enthalpy(tOut) - sign * q);
        outlet = knowOut ? tOut : profile().TemperatureAt(profile().Enthalpy(tIn) + sign * q);
    }
};

// F and the shells in series of the exchanger's type at these temperatures.
void ftAndShells(const HeatExch& x, const double t[4], double& F, double& series) {
    F = 1.0;
    series = 1.0;
    if (x.getHXType() != 1) return;
    double fixedShells = 0.0, flag = 0.0;
    const bool shellsGiven = x.getVariableStatus(V::NShellsInSeries) == ValueStatus::Specified ||
                             (x.getVariableAsDouble(V::ShellsInSeriesSpecified, flag) && flag == 1.0);
    if (shellsGiven && x.getVariableAsDouble(V::NShellsInSeries, fixedShells) && fixedShells >= 1.0) {
        series = fixedShells;
        F = g_CalculateFFactorWithFixedShells(t[1], t[0], t[2], t[3], series);
        return;
    }
    double realF = 1.0, realShells = 1.0;
    g_CalculateFFactorAndShells(t[1], t[0], t[2], t[3], kMinimumFtFactor, realF, realShells, 0, 0);
    // A real exchanger has whole shells; F is that of the whole number.
    series = std::max(1.0, std::ceil(realShells - 1e-9));
    F = g_CalculateFFactorWithFixedShells(t[1], t[0], t[2], t[3], series);
    double givenF = 0.0;
    if (x.getVariableStatus(V::FtFactor) == ValueStatus::Specified && x.getVariableAsDouble(V::FtFactor, givenF) &&
        givenF > 0.0 && givenF <= 1.0)
        F = givenF;
}

Coefficient coefficientOf(const HeatExch& x) {
    Coefficient c;
    double v = 0.0;
    // With the overall-coefficient switch on, "OverallHTC" is the given one whatever its status
    // (a simulator's coefficient arrives as a free value).
    if ((x.getVariableStatus(V::OverallHTC) == ValueStatus::Specified || x.GetOverallUSpec()) &&
        x.getVariableAsDouble(V::OverallHTC, v) && v > 0.0)
        c.fixed = v;
    else if (x.getVariableStatus(V::ObservedHTC) == ValueStatus::Specified && x.getVariableAsDouble(V::ObservedHTC, v) &&
             v > 0.0)
        c.fixed = v;
    if (x.getVariableAsDouble(V::HXFoulingFactor, v) && v > 0.0) c.fouling = v;
    return c;
}

// The shells in series given to the exchanger (0 when none are), as the F calculation reads them.
double givenShells(const HeatExch& x) {
    double shells = 0.0, flag = 0.0;
    const bool given = x.getVariableStatus(V::NShellsInSeries) == ValueStatus::Specified ||
                       (x.getVariableAsDouble(V::ShellsInSeriesSpecified, flag) && flag == 1.0);
    return given && x.getVariableAsDouble(V::NShellsInSeries, shells) && shells >= 1.0 ? shells : 0.0;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameCoefficient(const Coefficient& a, const Coefficient& b) {
    return sameBits(a.fixed, b.fixed) && sameBits(a.fouling, b.fouling) && a.clean == b.clean;
}

// Whether a calculation that ended in the performance at duty q and end temperatures t would,
// done again over what it wrote, write nothing. Again it reads the four port temperatures and
// the duty back: they must be the numbers it used, to the bit (a specified value it could not
// overwrite, or an unknown duty, would take another path). Both sides then fix a duty from
// their ends, which must agree with q as the duty check does. The performance then runs on the
// same numbers, so it writes what it wrote, unless one of the values it reads of its own
// changed under its own writes (the overall coefficient under the coefficient switch, the
// shells in series when they are flagged as given) or a value it wrote is not a number (which
// never compares equal to itself and is written every time).
bool settles(const HeatExch& x, const Side& hot, const Side& cold, double q, const double t[4],
             const Coefficient& coefficient, double shells) {
    double known = 0.0;
    if (!std::isfinite(q) || !x.isKnown(V::Duty, known) || !sameBits(known, q)) return false;
    const StreamNode* ports[4] = {hot.in, hot.out, cold.in, cold.out};
    for (int k = 0; k < 4; ++k)
        if (!std::isfinite(t[k]) || !ports[k]->isKnown(V::Temperature, known) || !sameBits(known, t[k])) return false;
    // As the sides' duty() reads them with both ends known.
    const double hotDuty = hot.profile().Enthalpy(t[0]) - hot.profile().Enthalpy(t[1]);
    const double coldDuty = -(cold.profile().Enthalpy(t[2]) - cold.profile().Enthalpy(t[3]));
    if (!agree(hotDuty, q) || !agree(coldDuty, q)) return false;
    if (!sameCoefficient(coefficientOf(x), coefficient) || !sameBits(givenShells(x), shells)) return false;
    const CPValue& values = x.getValues();
    for (std::size_t k = 0; k < values.GetNumberOfSubValues(); ++k) {
        const CPValue& v = *values.GetSubValue(k);
        if (!v.IsText() && v.GetStatus() == ValueStatus::Calculated && std::isnan(v.GetValue())) return false;
    }
    return true;
}

// Whether a calculation that passed duty q on along the sides with one temperature, while a
// side had none, would write nothing done again over what it wrote: the duty reads back as q, a
// side it completed reads back both ends, which fix a duty agreeing with q (as the duty check
// does), and a side without temperatures still has none, so the same path writes nothing.
bool passesOnSettled(const HeatExch& x, const Side& hot, const Side& cold, double q) {
    double known = 0.0;
    if (!std::isfinite(q) || !x.isKnown(V::Duty, known) || !sameBits(known, q)) return false;
    bool sideWithout = false;
    for (const Side* side : {&hot, &cold}) {
        double in = 0.0, out = 0.0;
        const bool knowIn = side->in->isKnown(V::Temperature, in), knowOut = side->out->isKnown(V::Temperature, out);
        if (knowIn != knowOut) return false;
        if (!knowIn) {
            sideWithout = true;
            continue;
        }
        const double d = side->profile().Enthalpy(in) - side->profile().Enthalpy(out);
        if (!agree(side == &hot ? d : -d, q)) return false;
    }
    return sideWithout;
}

}  // namespace

int HeatExch::clearPerformance() {
    int n = 0;
    for (const char* name : {V::HTArea, V::OverallHTC, V::OverallCleanHTC, V::FtFactor, V::NShellsInSeries,
                             V::TotalNShells, V::HighEndDelT, V::LowEndDelT, V::LMTD, V::UAValue, V::CapitalCost,
                             V::AnnualizedCapitalCost})
        n += clearCalculated(name);
    return n;
}

int HeatExch::Calculate(int code) {
    m_settled = false;
    if (code == UnitCode::ClearCalculated) {
        int n = clearPerformance() + clearCalculated(V::Duty);
        for (int side = 0; side < 2; ++side) {
            if (StreamNode* s = getInlet(side)) n += s->clearCalculated(V::Temperature);
            if (StreamNode* s = getOutlet(side)) n += s->clearCalculated(V::Temperature);
        }
        clearIndexedVariable(V::CrossPinchLoads);
        m_status = S::UnderSpecified;
        m_feasible = true;
        return n;
    }
    if (code == UnitCode::RefreshPerformance) return setArea();
    if (!UnitCode::IsCalculate(code)) return 0;
    const int written = solve();
    // A negative duty runs heat against the driving force: on a heater or cooler whose utility
    // carries no heat contents the solve does not get as far as the crossed test, yet such a
    // unit is no more feasible than a crossed exchanger.
    double q = 0.0;
    if (isKnown(V::Duty, q) && q < 0.0 && !IsNegligibleDuty(q)) m_feasible = false;
    return written;
}

int HeatExch::solve() {
    Side hot, cold;
    hot.in = getInlet(0);
    hot.out = getOutlet(0);
    cold.in = getInlet(1);
    cold.out = getOutlet(1);
    m_feasible = true;
    if (!hot.in || !hot.out || !cold.in || !cold.out) {
        m_status = S::UnderSpecified;
        return clearPerformance();
    }
    hot.read();
    cold.read();
    int written = 0;
    double q = 0.0, areaGiven = 0.0;
    bool knowDuty = isKnown(V::Duty, q);
    const bool areaSpecified =
        getVariableStatus(V::HTArea) == ValueStatus::Specified && getVariableAsDouble(V::HTArea, areaGiven);
    // The side on a utility whose flow follows the process side (-1: none). An area to meet needs
    // both sides' heat contents, so such a unit solves as any other.
    const int follower = areaSpecified && !knowDuty ? -1 : m_followingSide;
    // Before the utility carries the design's flow its temperatures are not the ones the unit
    // will have: with only the duty wanted, the utility side counts as one without any.
    if (m_followingDutyOnly && follower >= 0) {
        Side& utility = follower == 0 ? hot : cold;
        utility.knowIn = utility.knowOut = false;
    }
    const Side& process = follower == 0 ? cold : hot;
    if (!hot.usable || !cold.usable) {
        // A utility that carries no load yet has no heat contents; its process side still gives
        // the duty, from which the utility's flow comes, and until it can, the duty is what is
        // missing.
        if (follower >= 0 && !knowDuty && process.usable) {
            if (!process.both()) {
                m_status = S::UnderSpecified;
                return clearPerformance();
            }
            written += writeCalculated(V::Duty, process.duty(follower == 1));
        }
        m_status = S::Failed;
        return written + clearPerformance();
    }
    if (areaSpecified && knowDuty && getVariableStatus(V::Duty) == ValueStatus::Specified) {
        // Duty and area both given: nothing is left for the area to decide.
        m_status = S::OverSpecified;
        return clearPerformance();
    }

    if (areaSpecified && !knowDuty) {
        if (!hot.any() || !cold.any()) {
            m_status = S::AreaUnsolvable;
            return clearPerformance();
        }
        // Area(Q) rises with Q from 0 towards the duty at which the ends close; bracket the duty
        // that meets the given area, then close in on it.
        const Coefficient c = coefficientOf(*this);
        auto excess = [&](double load, int& state) {
            double t[4], F = 1.0, series = 1.0, a = 0.0;
            hot.ends(true, load, t[0], t[1]);
            cold.ends(false, load, t[2], t[3]);
            ftAndShells(*this, t, F, series);
            const Exchange e = exchangeArea(hot.profile(), cold.profile(), t, load, c, F, a);
            state = e == Exchange::Ok ? 0 : e == Exchange::Crossed ? 1 : 2;
            return a - areaGiven;
        };
        // With both inlets known the ends close at the smaller of the two sides' heat between
        // the inlet temperatures: the bracket is there at once.
        int state = 0;
        double lo = 0.0, hi = std::max(getLoad(), 1.0);
        if (hot.knowIn && cold.knowIn && hot.tIn > cold.tIn)
            hi = std::min(hot.profile().Enthalpy(hot.tIn) - hot.profile().Enthalpy(cold.tIn),
                          cold.profile().Enthalpy(hot.tIn) - cold.profile().Enthalpy(cold.tIn));
        double fLo = -areaGiven, fHi = 0.0;
        bool bracketed = areaGiven <= 0.0, hiOpen = false;
        for (int i = 0; i < kMaxDoublings && !bracketed; ++i) {
            fHi = excess(hi, state);
            if (state == 2) break;
            if (state == 1 || fHi >= 0.0) {
                bracketed = true;
                hiOpen = state == 0;
            } else {
                lo = hi;
                fLo = fHi;
                hi *= 2.0;
            }
        }
        if (!bracketed) {
            m_status = S::Failed;
            return clearPerformance();
        }
        // Regula falsi with the Illinois halving while the upper end has an area; halving while
        // it lies beyond the closing ends.
        int side = 0;
        for (int i = 0; i < kMaxBisections && areaGiven > 0.0 && hi - lo > 1e-13 * hi; ++i) {
            double x = 0.5 * (lo + hi);
            if (hiOpen && fHi > fLo) {
                x = hi - fHi * (hi - lo) / (fHi - fLo);
                if (!(x > lo && x < hi)) x = 0.5 * (lo + hi);
            }
            const double fx = excess(x, state);
            if (state == 0 && std::fabs(fx) <= 1e-12 * areaGiven) {
                lo = hi = x;
                break;
            }
            if (state == 1 || fx >= 0.0) {
                hi = x;
                hiOpen = state == 0;
                fHi = fx;
                if (side == 1) fLo *= 0.5;
                side = 1;
            } else {
                lo = x;
                fLo = fx;
                if (side == -1 && hiOpen) fHi *= 0.5;
                side = -1;
            }
        }
        q = areaGiven > 0.0 ? 0.5 * (lo + hi) : 0.0;
        excess(q, state);
        if (state == 1) q = lo;  // stay on the side where the ends are still open
        written += writeCalculated(V::Duty, q);
        knowDuty = true;
    }

    // A side whose two temperatures fix a duty; a following utility side fixes none.
    const bool hotFixes = hot.both() && follower != 0;
    const bool coldFixes = cold.both() && follower != 1;
    const double hotDuty = hotFixes ? hot.duty(true) : 0.0;
    const double coldDuty = coldFixes ? cold.duty(false) : 0.0;
    if (!knowDuty) {
        if (hotFixes && coldFixes && !agree(hotDuty, coldDuty)) {
            m_status = S::OverSpecified;
            return written + clearPerformance();
        }
        if (!hotFixes && !coldFixes) {
            m_status = S::UnderSpecified;
            return written + clearPerformance();
        }
        q = hotFixes ? hotDuty : coldDuty;
        written += writeCalculated(V::Duty, q);
    } else if ((hotFixes && !agree(hotDuty, q)) || (coldFixes && !agree(coldDuty, q))) {
        m_status = S::OverSpecified;
        return written + clearPerformance();
    }

    if (m_followingChecks && follower >= 0) {
        const Side& utility = follower == 0 ? hot : cold;
        if (utility.both() && !agree(utility.duty(follower == 0), q)) {
            m_status = S::OverSpecified;
            return written + clearPerformance();
        }
    }

    if (!hot.any() || !cold.any()) {
        // The duty still carries a side that has one temperature to its other end, so that a
        // guessed duty passes on along that stream.
        double in = 0.0, out = 0.0;
        if (hot.any() && !hot.both()) {
            hot.ends(true, q, in, out);
            written += hot.knowIn ? hot.out->writeCalculated(V::Temperature, out) : hot.in->writeCalculated(V::Temperature, in);
        }
        if (cold.any() && !cold.both()) {
            cold.ends(false, q, in, out);
            written +=
                cold.knowIn ? cold.out->writeCalculated(V::Temperature, out) : cold.in->writeCalculated(V::Temperature, in);
        }
        m_status = S::NoTemperatureOnSide;
        written += clearPerformance();
        m_settled = written > 0 && passesOnSettled(*this, hot, cold, q);
        return written;
    }
    double t[4];
    hot.ends(true, q, t[0], t[1]);
    cold.ends(false, q, t[2], t[3]);
    if (!hot.knowIn) written += hot.in->writeCalculated(V::Temperature, t[0]);
    if (!hot.knowOut) written += hot.out->writeCalculated(V::Temperature, t[1]);
    if (!cold.knowIn) written += cold.in->writeCalculated(V::Temperature, t[2]);
    if (!cold.knowOut) written += cold.out->writeCalculated(V::Temperature, t[3]);
    const Coefficient coefficient = coefficientOf(*this);
    const double shells = givenShells(*this);
    written += performance(q, t, areaSpecified, hot.held, cold.held);
    // A calculation that wrote nothing is at rest anyway.
    m_settled = written > 0 && settles(*this, hot, cold, q, t, coefficient, shells);
    return written;
}

bool HeatExch::LargestDutyAtApproach(double dtMin, double& duty) const {
    Side hot, cold;
    hot.in = getInlet(0);
    hot.out = getOutlet(0);
    cold.in = getInlet(1);
    cold.out = getOutlet(1);
    hot.read();
    cold.read();
    if (!hot.usable || !cold.usable || !hot.knowIn || !cold.knowIn) return false;
    const double hotSide = hot.profile().Enthalpy(hot.tIn) - hot.profile().Enthalpy(cold.tIn + dtMin);
    const double coldSide = cold.profile().Enthalpy(hot.tIn - dtMin) - cold.profile().Enthalpy(cold.tIn);
    duty = std::max(0.0, std::min(hotSide, coldSide));
    return true;
}

int HeatExch::performance(double q, const double t[4], bool areaSpecified, const StreamProfile* heldHot,
                          const StreamProfile* heldCold) {
    int written = writeCalculated(V::HighEndDelT, t[0] - t[3]) + writeCalculated(V::LowEndDelT, t[1] - t[2]);
    // The profiles the flowsheet holds for the calculation are the ones the inlets would build.
    StreamProfile ownHot, ownCold;
    if (!heldHot) getInlet(0)->getProfile(ownHot);
    if (!heldCold) getInlet(1)->getProfile(ownCold);
    const StreamProfile& hot = heldHot ? *heldHot : ownHot;
    const StreamProfile& cold = heldCold ? *heldCold : ownCold;

    double F = 1.0, series = 1.0, area = 0.0;
    const Coefficient c = coefficientOf(*this);
    // The exchange at an F of one: whether the ends cross, and the area itself wherever F is one
    // (a countercurrent exchanger, or a shell-and-tube one whose F comes out as one).
    double areaAtUnitF = 0.0;
    // A heater or cooler at no duty (its utility then carries nothing, and has no profile) has no
    // area: it exchanges nothing.
    const bool idle = HasNegligibleDuty(q);
    const bool exchanges = q > 0.0 && !idle;
    const Exchange atUnitF = exchanges ? exchangeArea(hot, cold, t, q, c, 1.0, areaAtUnitF) : Exchange::Ok;
    // A heater's or cooler's duty within the rounding of its closing balance either way is none,
    // not one run backwards. (A process exchanger's duty is the network's own choice: below 0 it
    // runs against the driving force, however little.)
    const bool crossed = (q < 0.0 && !idle) || atUnitF == Exchange::Crossed;
    double dtMin = 0.0;
    const bool haveDtMin = getVariableAsDouble(V::DTMin, dtMin);
    if (crossed) {
        // No exchange of this duty is possible between these temperatures: no area, no cost.
        m_status = S::Crossed;
        m_feasible = false;
        for (const char* name : {V::HTArea, V::OverallHTC, V::OverallCleanHTC, V::FtFactor, V::NShellsInSeries,
                                 V::TotalNShells, V::LMTD, V::UAValue, V::CapitalCost, V::AnnualizedCapitalCost})
            written += clearCalculated(name);
        return written;
    }
    // A duty its given area settled on carries the area equations' precision only while the unit
    // runs at that very duty (held, it is the same number): moved to another duty, however
    // little (an area check's trial, say), it is a duty like any other, or one plant given by
    // areas would be searched over a looser feasible region than the same plant given by duties,
    // most of all at a unit that sits at DTmin.
    double areaDuty = 0.0;
    const bool areaPrecision =
        areaSpecified || (getVariableAsDouble(V::DutyFromArea, areaDuty) && areaDuty > 0.0 && q == areaDuty);
    const double tolerance = areaPrecision ? frozenAreaApproachTolerance(t) : approachTolerance(t);
    // A heater or cooler at no duty exchanges nothing, and so runs at no approach.
    m_feasible = idle || !haveDtMin || std::min(t[0] - t[3], t[1] - t[2]) >= dtMin - tolerance;

    ftAndShells(*this, t, F, series);
    written += writeCalculated(V::FtFactor, F);
    if (getVariableStatus(V::NShellsInSeries) != ValueStatus::Specified) written += writeCalculated(V::NShellsInSeries, series);

    Exchange e = Exchange::Ok;
    if (exchanges && F == 1.0) {
        e = atUnitF;
        area = areaAtUnitF;
    } else if (exchanges) {
        e = exchangeArea(hot, cold, t, q, c, F, area);
    }
    Coefficient cleanCoefficient = c;
    cleanCoefficient.clean = true;
    // In operation the coefficient is observed, and the clean one still follows the films: it
    // is what a cleaning brings the exchanger back to.
    if (m_uMethod == "FlowCorrecBased") cleanCoefficient.fixed = 0.0;
    const double uClean = cleanCoefficient.fixed > 0.0 || idle
                              ? 0.0
                              : cleanCoefficient.at(hot, cold, 0.5 * (t[0] + t[1]), 0.5 * (t[2] + t[3]));
    if (uClean > 0.0) written += writeCalculated(V::OverallCleanHTC, uClean);
    else written += clearCalculated(V::OverallCleanHTC);
    if (e == Exchange::NoCoefficient) {
        m_status = S::Partial;
        for (const char* name : {V::HTArea, V::OverallHTC, V::LMTD, V::UAValue, V::TotalNShells, V::CapitalCost,
                                 V::AnnualizedCapitalCost})
            written += clearCalculated(name);
        return written;
    }

    if (!areaSpecified) written += writeCalculated(V::HTArea, area);
    const double usedArea = areaSpecified ? getArea() : area;
    // The overall coefficient the exchanger shows is the one that makes Q = U F A LMTD hold
    // over its end temperatures; with one stream segment per side it is the coefficient itself.
    const double lmtd = LogMeanTemperatureDifference(t[0] - t[3], t[1] - t[2]);
    if (getVariableStatus(V::OverallHTC) != ValueStatus::Specified) {
        if (c.fixed > 0.0) written += writeCalculated(V::OverallHTC, c.fixed);
        else if (area > 0.0 && lmtd > 0.0) written += writeCalculated(V::OverallHTC, q / (F * area * lmtd));
        else written += clearCalculated(V::OverallHTC);
    }
    // The log mean of the end approaches and U x A, as the views and pictures of a unit show them.
    double shownU = 0.0;
    if (lmtd > 0.0) written += writeCalculated(V::LMTD, lmtd);
    else written += clearCalculated(V::LMTD);
    if (usedArea > 0.0 && getVariableAsDouble(V::OverallHTC, shownU) && shownU > 0.0)
        written += writeCalculated(V::UAValue, shownU * usedArea);
    else written += clearCalculated(V::UAValue);

    double maxShellArea = 0.0;
    const bool capped = getVariableAsDouble(V::HTMaxAreaShell, maxShellArea) && maxShellArea > 0.0;
    double shells = 0.0;
    if (usedArea > 0.0) {
        const double parallel = capped ? std::max(1.0, std::ceil(usedArea / (series * maxShellArea) - 1e-9)) : 1.0;
        shells = series * parallel;
    }
    written += writeCalculated(V::TotalNShells, shells);

    const IExchangerCostLaw* law = getFlowSheet() ? getFlowSheet()->GetCostLaw() : nullptr;
    CPString model;
    if (!getVariableAsString(V::CostModelName, model) || model.empty()) model = "DEFAULT";
    double capital = 0.0;
    if (law && usedArea > 0.0 && law->CapitalCost(model, usedArea, shells, capital) && std::isfinite(capital)) {
        written += writeCalculated(V::CapitalCost, capital);
        written += writeCalculated(V::AnnualizedCapitalCost, law->AnnualisedCost(model, capital));
    } else {
        written += clearCalculated(V::CapitalCost) + clearCalculated(V::AnnualizedCapitalCost);
    }
    m_status = S::Calculated;
    return written;
}

int HeatExch::setArea() {
    m_settled = false;
    StreamNode* ports[4] = {getInlet(0), getOutlet(0), getInlet(1), getOutlet(1)};
    double t[4], q = 0.0, a = 0.0;
    for (int i = 0; i < 4; ++i)
        if (!ports[i] || !ports[i]->isKnown(V::Temperature, t[i])) return 0;
    StreamProfile p;
    if (!isKnown(V::Duty, q)) return 0;
    // A duty of the wrong sign, or one whose ends cross, is no exchange whatever the streams'
    // profiles (a stream driven past its own range has none there): the unit is told crossed,
    // with no area, and never keeps the area of an earlier operating point.
    // A heater or cooler at no duty (within its rounding, either way) needs no profile either: its
    // utility carries nothing, and the unit has no area rather than the one of an earlier point.
    const bool idle = HasNegligibleDuty(q);
    const bool noExchange = (q < 0.0 && !idle) || (q > 0.0 && (!(t[0] - t[3] > 0.0) || !(t[1] - t[2] > 0.0)));
    if (!noExchange && !idle && (!ports[0]->getProfile(p) || !ports[2]->getProfile(p))) return 0;
    const bool areaSpecified = getVariableStatus(V::HTArea) == ValueStatus::Specified && getVariableAsDouble(V::HTArea, a);
    return performance(q, t, areaSpecified);
}

double HeatExch::calculateULogMeanTD(int) {
    StreamNode* ports[4] = {getInlet(0), getOutlet(0), getInlet(1), getOutlet(1)};
    const Coefficient c = coefficientOf(*this);
    if (c.fixed > 0.0) return c.fixed;
    double t[4];
    for (int i = 0; i < 4; ++i)
        if (!ports[i] || !ports[i]->isKnown(V::Temperature, t[i])) return 0.0;
    StreamProfile hot, cold;
    if (!ports[0]->getProfile(hot) || !ports[2]->getProfile(cold)) return 0.0;
    return c.at(hot, cold, 0.5 * (t[0] + t[1]), 0.5 * (t[2] + t[3]));
}
