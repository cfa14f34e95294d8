// The Bath area target of whole scenarios over random stream tables built to have gaps in either
// composite curve, several pinches and threshold problems on either side, against a vertical
// integration of the balanced composite curves written here: its own problem table gives the
// utility loads, the steam (0.01 K span) tops the hot curve and the cooling water (0.01 K span)
// starts the cold one, and with one film coefficient for every stream the area is
// (2 / h) x sum over the enthalpy intervals of dH / LMTD.
#include "tests/support/FourStreamProject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

struct Row {
    double supply;
    double target;
    double cp;
};

struct Table {
    double dtMin = 10.0;
    double h = 1.0;
    std::vector<Row> rows;
};

constexpr double kSteam = 400.0;  // steam 400 -> 399.99
constexpr double kWater = 5.0;    // cooling water 5 -> 5.01
constexpr double kSpan = 0.01;

bool Hot(const Row& r) { return r.supply > r.target; }

// Problem table over shifted temperatures (half of DTmin each side): {hot utility, cold utility}.
std::pair<double, double> Utilities(const Table& t) {
    std::vector<double> bounds;
    auto shifted = [&](const Row& r, double T) { return Hot(r) ? T - t.dtMin / 2 : T + t.dtMin / 2; };
    for (const Row& r : t.rows) {
        bounds.push_back(shifted(r, r.supply));
        bounds.push_back(shifted(r, r.target));
    }
    std::sort(bounds.begin(), bounds.end(), std::greater<double>());
    double flow = 0.0, lowest = 0.0;
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        const double mid = 0.5 * (bounds[k] + bounds[k + 1]);
        double net = 0.0;
        for (const Row& r : t.rows) {
            const double a = shifted(r, r.supply), b = shifted(r, r.target);
            if (mid > std::min(a, b) && mid < std::max(a, b)) net += Hot(r) ? r.cp : -r.cp;
        }
        flow += net * (bounds[k] - bounds[k + 1]);
        lowest = std::min(lowest, flow);
    }
    return {-lowest, flow - lowest};
}

// A composite curve: ascending temperatures with the enthalpy gathered below each.
struct Composite {
    std::vector<double> T;
    std::vector<double> H;
};

Composite Build(const std::vector<Row>& rows) {
    Composite c;
    for (const Row& r : rows) {
        c.T.push_back(r.supply);
        c.T.push_back(r.target);
    }
    std::sort(c.T.begin(), c.T.end());
    c.T.erase(std::unique(c.T.begin(), c.T.end()), c.T.end());
    c.H.assign(c.T.size(), 0.0);
    for (std::size_t k = 1; k < c.T.size(); ++k) {
        double cp = 0.0;
        const double mid = 0.5 * (c.T[k - 1] + c.T[k]);
        for (const Row& r : rows)
            if (mid > std::min(r.supply, r.target) && mid < std::max(r.supply, r.target)) cp += r.cp;
        c.H[k] = c.H[k - 1] + cp * (c.T[k] - c.T[k - 1]);
    }
    return c;
}

// The temperature at enthalpy H on the piece of the curve that carries heat around `inside`.
double TemperatureAt(const Composite& c, double inside, double H) {
    for (std::size_t k = 1; k < c.T.size(); ++k)
        if (c.H[k - 1] < inside && inside < c.H[k])
            return c.T[k - 1] + (c.T[k] - c.T[k - 1]) * (H - c.H[k - 1]) / (c.H[k] - c.H[k - 1]);
    return std::nan("");
}

double Lmtd(double a, double b) {
    if (std::fabs(a - b) <= 1e-9 * std::max(a, b)) return 0.5 * (a + b);
    return (a - b) / std::log(a / b);
}

// Vertical integration of the balanced composite curves; NaN where a piece has no driving force.
double VerticalArea(const Table& t, double hotUtility, double coldUtility) {
    std::vector<Row> hot, cold;
    for (const Row& r : t.rows) (Hot(r) ? hot : cold).push_back(r);
    if (hotUtility > 0.0) hot.push_back({kSteam, kSteam - kSpan, hotUtility / kSpan});
    if (coldUtility > 0.0) cold.push_back({kWater, kWater + kSpan, coldUtility / kSpan});
    const Composite ch = Build(hot), cc = Build(cold);
    std::vector<double> cuts(ch.H);
    cuts.insert(cuts.end(), cc.H.begin(), cc.H.end());
    std::sort(cuts.begin(), cuts.end());
    const double total = std::max(ch.H.back(), cc.H.back());
    double area = 0.0;
    for (std::size_t k = 1; k < cuts.size(); ++k) {
        const double a = cuts[k - 1], b = cuts[k];
        if (b - a <= 1e-9 * std::max(1.0, total)) continue;
        const double mid = 0.5 * (a + b);
        const double dTa = TemperatureAt(ch, mid, a) - TemperatureAt(cc, mid, a);
        const double dTb = TemperatureAt(ch, mid, b) - TemperatureAt(cc, mid, b);
        if (!(dTa > 0.0 && dTb > 0.0)) return std::nan("");
        area += (2.0 / t.h) * (b - a) / Lmtd(dTa, dTb);
    }
    return area;
}

// Shifted temperatures on a 5 K grid; actual ones are the shifted less (hot) or plus (cold) half
// of DTmin. Between pinches P(i) > P(i+1) sits a band that needs no utility: a hot stream at its
// top and a cold one of the same duty at its bottom, with a gap of either curve between them, so
// the heat flow is zero at both pinches. Above the highest pinch a band that needs steam (cold
// streams, perhaps a hot one), below the lowest one that needs water (hot streams, perhaps a
// cold one); either may be left out, which makes a threshold problem. Some tables get random
// streams on top, which may move or remove the pinches.
Table RandomTable(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Table t;
    t.dtMin = pick(0, 1) ? 10.0 : 20.0;
    t.h = pick(0, 2) == 0 ? 0.5 : 1.0;
    const double half = t.dtMin / 2;
    auto hotRow = [&](double top, double bottom, double cp) { t.rows.push_back({top + half, bottom + half, cp}); };
    auto coldRow = [&](double bottom, double top, double cp) { t.rows.push_back({bottom - half, top - half, cp}); };

    const int pinches = pick(1, 3);
    std::vector<double> p;  // shifted pinch temperatures, falling
    double at = 300.0 - 5.0 * pick(0, 6);
    for (int i = 0; i < pinches + 1; ++i) {
        p.push_back(at);
        at -= 5.0 * pick(4, 10);
    }
    // Bands between pinches.
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        const double top = p[i], bottom = p[i + 1];
        const double width = top - bottom;
        const double hotBottom = top - 5.0 * pick(1, static_cast<int>(width / 10.0));
        const double coldTop = bottom + 5.0 * pick(1, static_cast<int>((hotBottom - bottom) / 5.0));
        const double cpHot = 0.5 * pick(1, 8);
        const double duty = cpHot * (top - hotBottom);
        hotRow(top, hotBottom, cpHot);
        coldRow(bottom, coldTop, duty / (coldTop - bottom));
    }
    // Above the highest pinch: cold streams ending at or above it, perhaps a hot stream at the top.
    if (pick(0, 3) != 0) {
        const double top = p.front() + 5.0 * pick(4, 12);
        coldRow(p.front(), top - 5.0 * pick(0, 3), 0.5 * pick(1, 6));
        if (pick(0, 1)) coldRow(p.front() + 5.0 * pick(0, 3), top, 0.5 * pick(1, 6));
        if (pick(0, 1)) hotRow(top + 5.0 * pick(1, 4), top, 0.25 * pick(1, 3));
    }
    // Below the lowest pinch: hot streams starting at or below it, perhaps a cold stream at the bottom.
    if (pick(0, 3) != 0) {
        const double bottom = std::max(25.0, p.back() - 5.0 * pick(4, 12));
        hotRow(p.back(), bottom + 5.0 * pick(0, 3), 0.5 * pick(1, 6));
        if (pick(0, 1)) hotRow(p.back() - 5.0 * pick(0, 3), bottom, 0.5 * pick(1, 6));
        if (pick(0, 1)) coldRow(std::max(20.0, bottom - 5.0 * pick(1, 4)), bottom, 0.25 * pick(1, 3));
    }
    // Random streams on a fifth of the tables.
    if (pick(0, 4) == 0) {
        for (int n = pick(1, 3); n > 0; --n) {
            const double a = 5.0 * pick(6, 60), b = 5.0 * pick(6, 60);
            if (a == b) continue;
            if (pick(0, 1)) hotRow(std::max(a, b), std::min(a, b), 0.5 * pick(1, 6));
            else coldRow(std::min(a, b), std::max(a, b), 0.5 * pick(1, 6));
        }
    }
    return t;
}

bool AddUtility(FourStreamProject& p, const char* name, double supply, double target, double h) {
    IHeatIntegrationStream* s = nullptr;
    return p.scenario->AddStream(name, 1) == 1 && p.scenario->GetStream(name, s) && s &&
           s->SetValue("Temperature", supply, 0) && s->SetValue("Temperature", target, 1) && s->SetValue("HTCoeff", h, 0);
}

TEST(BathAreaProperty, EqualsTheVerticalIntegrationOfTheBalancedCurvesOnRandomTables) {
    std::mt19937 rng(20261207);
    int pinched = 0, severalPinches = 0, threshold = 0;
    for (int n = 0; n < 1000; ++n) {
        const Table t = RandomTable(rng);
        const auto [qh, qc] = Utilities(t);
        FourStreamProject p(false);
        ASSERT_NE(p.scenario, nullptr);
        p.scenario->SuspendCalculations();
        ASSERT_EQ(p.scenario->SetDTmin(t.dtMin), 1);
        for (std::size_t i = 0; i < t.rows.size(); ++i) {
            const std::string name = "S" + std::to_string(i);
            ASSERT_TRUE(p.AddProcess(name.c_str(), t.rows[i].supply, t.rows[i].target, t.rows[i].cp));
            ASSERT_TRUE(p.Stream(name.c_str())->SetValue("HTCoeff", t.h, 0));
        }
        ASSERT_TRUE(AddUtility(p, "Steam", kSteam, kSteam - kSpan, t.h));
        ASSERT_TRUE(AddUtility(p, "Water", kWater, kWater + kSpan, t.h));
        p.scenario->ResumeCalculations(true);

        SCOPED_TRACE("table " + std::to_string(n));
        ASSERT_NEAR(p.scenario->GetUtilityTarget(0), qh, 1e-7 * (1.0 + qh));
        ASSERT_NEAR(p.scenario->GetUtilityTarget(1), qc, 1e-7 * (1.0 + qc));
        const double expected = VerticalArea(t, qh, qc);
        ASSERT_TRUE(std::isfinite(expected));
        const double area = p.scenario->GetAreaTarget(0);
        ASSERT_NEAR(area, expected, 1e-6 * expected);
        EXPECT_EQ(p.scenario->GetAreaTargetState(), 1);
        EXPECT_GE(p.scenario->GetNumberOfShellsTarget(), 1);

        const int pinchCount = p.scenario->GetNumberOfPinchPoints();
        pinched += pinchCount > 0 ? 1 : 0;
        severalPinches += pinchCount > 1 ? 1 : 0;
        threshold += (qh <= 1e-9) != (qc <= 1e-9) ? 1 : 0;
    }
    // The tables reach what they are built for.
    EXPECT_GT(severalPinches, 200);
    EXPECT_GT(threshold, 200);
    EXPECT_GT(pinched, 500);
}

}  // namespace
