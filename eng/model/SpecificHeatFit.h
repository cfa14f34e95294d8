#pragma once
// The specific heat of a stream as a smooth function of temperature: a polynomial for the
// cumulative heat per unit mass, h(T) = a0 + a1 T + ... + an T^n, through the n + 1 points of a
// stream's n segments (h = 0 at the lowest point; each segment adds its specific heat times its
// temperature span). The mean specific heat between two temperatures is then the slope of the
// secant, (h(T1) - h(T2)) / (T1 - T2).
//
// The polynomial interpolates the points exactly, so it is only worth having when the specific
// heat changes gently. It is refused when two neighbouring specific heats differ by a factor of
// 2 or more (or in sign), when a value is missing, when two points share a temperature, or when
// the interpolation system is too ill-conditioned for the power-basis coefficients to mean
// anything in double precision.
#include <vector>

class SpecificHeatFit {
public:
    enum class Status {
        Usable,
        MissingValue,         // an empty or non-finite temperature or specific heat, or no segment
        SteepChange,          // neighbouring specific heats differ by a factor of 2 or more
        RepeatedTemperature,  // two points share a temperature: no polynomial goes through both
        IllConditioned,       // singular, or too ill-conditioned to trust
    };

    struct Result {
        Status status = Status::MissingValue;
        // a0..an when usable; empty otherwise.
        std::vector<double> coefficients;
        // 1-norm condition number of the (column-equilibrated) interpolation matrix; 0 when the
        // system was not solved.
        double condition = 0.0;
    };

    // The error of the interpolant grows in proportion to this condition number; below it the
    // segments' own mean specific heats come back to about six digits (ten segments between 20
    // and 300 °C give about 1e9), above it the secant of two nearby temperatures is noise.
    static constexpr double kMaxCondition = 1e12;
    // The condition number of a real Vandermonde matrix grows exponentially with the number of
    // points (at least like (1 + sqrt 2)^n), so no system of more points can pass kMaxCondition;
    // larger ones are refused before the cubic work.
    static constexpr int kMaxPoints = 40;
    // Points closer than this (°C) count as one temperature.
    static constexpr double kSameTemperature = 1e-8;

    // `temperatures` t0..tn in rising order, `specificHeats` c0..c(n-1), c(j) of the segment from
    // t(j) to t(j+1).
    static Result Fit(const std::vector<double>& temperatures, const std::vector<double>& specificHeats);

    // h(T) of coefficients a0..an (Horner).
    static double Evaluate(const std::vector<double>& coefficients, double temperature);
};
