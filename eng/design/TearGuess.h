#pragma once
// The duty guesses of one tear exchanger: Q the duty set now, Qp the one before, G the duty its
// calculated area implies now (the duty that would give the specified area at the present
// temperature differences, D As / A), Gp the one before. The first three passes take G (direct
// substitution); from the fourth the secant (Wegstein) step between the last two passes, unless
// it gives a negative duty, a weight below -10, or the last two duties are equal (no slope).
#include <cmath>

struct TearGuess {
    double Q = 0.0, Qp = 0.0, G = 0.0, Gp = 0.0;

    void Start(double duty) { Q = Qp = G = Gp = duty; }

    // The next duty after pass `pass`, in which duty `set` gave the area `area` (specified:
    // `target`). Without an area there is nothing to correct by and the guess stands.
    double Next(int pass, double set, double area, double target) {
        const double implied = area > 0.0 ? set * target / area : set;
        Qp = Q;
        Q = set;
        Gp = G;
        G = implied;
        if (pass <= 3 || Q == Qp) return G;
        const double s = (G - Gp) / (Q - Qp);
        if (s == 1.0) return G;
        const double w = s / (s - 1.0);
        const double next = (1.0 - w) * G + w * Q;
        return !std::isfinite(next) || next < 0.0 || w < -10.0 ? G : next;
    }
};
