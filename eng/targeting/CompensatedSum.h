#pragma once
// A running sum that keeps the rounding of each addition (Neumaier's form of Kahan summation):
// a cascade of a few hundred thousand intervals, whose plain sum drifts by tenths of a kW, stays
// within a few units of the last place of its largest value.
#include <cmath>

class CompensatedSum {
public:
    void Add(double value) {
        const double t = m_sum + value;
        m_compensation += std::fabs(m_sum) >= std::fabs(value) ? (m_sum - t) + value : (value - t) + m_sum;
        m_sum = t;
    }
    double Value() const { return m_sum + m_compensation; }
    void Reset() { m_sum = m_compensation = 0.0; }

private:
    double m_sum = 0.0;
    double m_compensation = 0.0;
};
