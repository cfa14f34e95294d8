// Interpolation of the cumulative heat of a stream by one polynomial.
//
// The system is the Vandermonde matrix of the point temperatures. Its columns (1, T, T^2, ...)
// differ in size by many orders of magnitude, so it is solved in x = T / max|T|, where every
// column has largest entry 1; the coefficients are scaled back to T afterwards. The equilibrated
// matrix is factorised by Crout's LU decomposition with implicit (row-scaled) partial pivoting,
// and its 1-norm condition number is taken from the explicit inverse (at most kMaxPoints columns,
// so cheap). That number is what the stored power-basis coefficients are worth: it bounds both
// the error of the solution and the cancellation when h(T) is evaluated from them.
#include "eng/model/SpecificHeatFit.h"

#include "dunmor/Units.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Matrix = std::vector<std::vector<double>>;

// A pivot smaller than this, relative to the largest entry of its row, means a singular matrix.
constexpr double kSingularPivot = 1e-14;

// Crout LU decomposition with implicit partial pivoting, in place: the unit lower factor below the
// diagonal, the upper factor on and above it. `swaps[j]` is the row exchanged with row j at step j.
// False when the matrix is singular (a zero row, or no usable pivot in some column).
bool decompose(Matrix& a, std::vector<std::size_t>& swaps) {
    const std::size_t n = a.size();
    std::vector<double> rowScale(n);
    for (std::size_t i = 0; i < n; ++i) {
        double largest = 0.0;
        for (double v : a[i]) largest = std::max(largest, std::fabs(v));
        if (largest == 0.0) return false;
        rowScale[i] = 1.0 / largest;
    }
    swaps.assign(n, 0);
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t i = 0; i < j; ++i) {
            double sum = a[i][j];
            for (std::size_t k = 0; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double best = -1.0;
        std::size_t pivotRow = j;
        for (std::size_t i = j; i < n; ++i) {
            double sum = a[i][j];
            for (std::size_t k = 0; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            const double merit = rowScale[i] * std::fabs(sum);
            if (merit > best) {
                best = merit;
                pivotRow = i;
            }
        }
        if (pivotRow != j) {
            std::swap(a[pivotRow], a[j]);
            rowScale[pivotRow] = rowScale[j];
        }
        swaps[j] = pivotRow;
        if (!(best > kSingularPivot)) return false;
        for (std::size_t i = j + 1; i < n; ++i) a[i][j] /= a[j][j];
    }
    return true;
}

// Forward and back substitution with the factors of `decompose`; b becomes the solution.
void substitute(const Matrix& lu, const std::vector<std::size_t>& swaps, std::vector<double>& b) {
    const std::size_t n = lu.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::swap(b[i], b[swaps[i]]);
        double sum = b[i];
        for (std::size_t k = 0; k < i; ++k) sum -= lu[i][k] * b[k];
        b[i] = sum;
    }
    for (std::size_t i = n; i-- > 0;) {
        double sum = b[i];
        for (std::size_t k = i + 1; k < n; ++k) sum -= lu[i][k] * b[k];
        b[i] = sum / lu[i][i];
    }
}

double columnNorm1(const Matrix& a) {
    double largest = 0.0;
    for (std::size_t j = 0; j < a.size(); ++j) {
        double sum = 0.0;
        for (std::size_t i = 0; i < a.size(); ++i) sum += std::fabs(a[i][j]);
        largest = std::max(largest, sum);
    }
    return largest;
}

bool usable(double v) { return std::isfinite(v) && v != Units::EmptyValue; }

}  // namespace

SpecificHeatFit::Result SpecificHeatFit::Fit(const std::vector<double>& temperatures,
                                             const std::vector<double>& specificHeats) {
    Result result;
    const std::size_t segments = specificHeats.size();
    if (segments == 0 || temperatures.size() != segments + 1) return result;
    for (double t : temperatures)
        if (!usable(t)) return result;
    for (double c : specificHeats)
        if (!usable(c)) return result;

    for (std::size_t j = 0; j + 1 < segments; ++j) {
        const double a = specificHeats[j], b = specificHeats[j + 1];
        // A zero or a change of sign is an infinite factor.
        if (a == 0.0 || b == 0.0 || !(a / b > 0.5 && b / a > 0.5)) {
            result.status = Status::SteepChange;
            return result;
        }
    }
    for (std::size_t j = 0; j < segments; ++j) {
        if (std::fabs(temperatures[j + 1] - temperatures[j]) < kSameTemperature) {
            result.status = Status::RepeatedTemperature;
            return result;
        }
    }
    const std::size_t n = temperatures.size();
    if (n > static_cast<std::size_t>(kMaxPoints)) {
        result.status = Status::IllConditioned;
        return result;
    }

    // Cumulative heat per unit mass at the points.
    std::vector<double> heat(n, 0.0);
    for (std::size_t j = 0; j < segments; ++j)
        heat[j + 1] = heat[j] + (temperatures[j + 1] - temperatures[j]) * specificHeats[j];

    double scale = 0.0;
    for (double t : temperatures) scale = std::max(scale, std::fabs(t));
    Matrix a(n, std::vector<double>(n, 1.0));
    for (std::size_t i = 0; i < n; ++i) {
        const double x = temperatures[i] / scale;
        for (std::size_t j = 1; j < n; ++j) a[i][j] = a[i][j - 1] * x;
    }
    const double norm = columnNorm1(a);

    std::vector<std::size_t> swaps;
    if (!decompose(a, swaps)) {
        result.status = Status::IllConditioned;
        return result;
    }
    double inverseNorm = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        std::vector<double> column(n, 0.0);
        column[k] = 1.0;
        substitute(a, swaps, column);
        double sum = 0.0;
        for (double v : column) sum += std::fabs(v);
        inverseNorm = std::max(inverseNorm, sum);
    }
    result.condition = norm * inverseNorm;
    if (!(result.condition <= kMaxCondition)) {
        result.status = Status::IllConditioned;
        return result;
    }

    substitute(a, swaps, heat);
    double power = 1.0;
    for (double& coefficient : heat) {
        coefficient /= power;
        power *= scale;
    }
    result.coefficients = std::move(heat);
    result.status = Status::Usable;
    return result;
}

double SpecificHeatFit::Evaluate(const std::vector<double>& coefficients, double temperature) {
    double value = 0.0;
    for (std::size_t i = coefficients.size(); i-- > 0;) value = value * temperature + coefficients[i];
    return value;
}
