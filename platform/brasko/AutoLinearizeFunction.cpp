#include "brasko/AutoLinearizeFunction.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace {

// Two temperatures closer than this (relative to their size, at least 1 °C) make a chord
// vertical; a nearly vertical chord would only extrapolate rounding noise.
constexpr double kSameTemperature = 1e-12;
// Deviations below this share of the values' size are rounding noise, not curvature.
constexpr double kNoise = 1e-12;

struct Piece {
    double deviation;
    int first;
    int last;
    int worst;
    bool accepted;
};

// Orders the queue: a piece still to cut before an accepted one, then the largest deviation on
// top; among equals the earlier piece first, so that the same curve always gives the same break
// points.
struct LessUrgent {
    bool operator()(const Piece& a, const Piece& b) const {
        if (a.accepted != b.accepted) return a.accepted;
        if (a.deviation != b.deviation) return a.deviation < b.deviation;
        return a.first > b.first;
    }
};

}  // namespace

bool AutoLinearizeFunction::SetToleranceExternally(double tolerance) {
    if (!std::isfinite(tolerance) || tolerance < 0.0) return false;
    tolerance_ = tolerance;
    slopeMode_ = false;
    return true;
}

bool AutoLinearizeFunction::SetSlopeTolerance(double tolerance) {
    if (!std::isfinite(tolerance) || tolerance < 0.0) return false;
    tolerance_ = tolerance;
    slopeMode_ = true;
    return true;
}

bool AutoLinearizeFunction::SlopesWithin(int first, int last) const {
    const double t0 = temperatures_[first], t1 = temperatures_[last];
    const double span = t1 - t0;
    const double scale = std::max({1.0, std::fabs(t0), std::fabs(t1)});
    if (std::fabs(span) <= kSameTemperature * scale) return false;
    const double chord = (values_[last] - values_[first]) / span;
    const double allowed = tolerance_ * std::fabs(chord);
    for (int k = first; k < last; ++k) {
        const double dt = temperatures_[k + 1] - temperatures_[k];
        const double dv = values_[k + 1] - values_[k];
        // Heat at one temperature has no slope the chord's could be near.
        if (std::fabs(dt) <= kSameTemperature * scale) {
            if (std::fabs(dv) > kNoise * std::max(1.0, std::fabs(values_[k]))) return false;
            continue;
        }
        if (std::fabs(dv / dt - chord) > allowed) return false;
    }
    return true;
}

bool AutoLinearizeFunction::SetMaxSegments(int maxSegments) {
    if (maxSegments < 1) return false;
    maxSegments_ = maxSegments;
    return true;
}

bool AutoLinearizeFunction::SetData(const double* values, const double* temperatures, int count) {
    values_.clear();
    temperatures_.clear();
    breakPoints_.clear();
    performance_ = 0.0;
    if (count < 0) return false;
    if (count == 0) return true;
    if (!values || !temperatures) return false;
    for (int k = 0; k < count; ++k) {
        if (!std::isfinite(values[k]) || !std::isfinite(temperatures[k])) return false;
    }
    values_.assign(values, values + count);
    temperatures_.assign(temperatures, temperatures + count);
    return true;
}

double AutoLinearizeFunction::PieceDeviation(int first, int last, double range, int& worst) const {
    worst = -1;
    double largest = 0.0;
    const double t0 = temperatures_[first];
    const double t1 = temperatures_[last];
    const double v0 = values_[first];
    const double v1 = values_[last];
    const double span = t1 - t0;
    const double scale = std::max({1.0, std::fabs(t0), std::fabs(t1)});
    const bool vertical = std::fabs(span) <= kSameTemperature * scale;
    const double lowEnd = std::min(v0, v1);
    const double highEnd = std::max(v0, v1);

    for (int k = first + 1; k < last; ++k) {
        const double t = temperatures_[k];
        const double v = values_[k];
        double deviation = 0.0;
        if (!vertical) {
            deviation = std::fabs(v - (v0 + (v1 - v0) * ((t - t0) / span)));
        } else if (std::fabs(t - t0) <= kSameTemperature * scale) {
            deviation = v < lowEnd ? lowEnd - v : (v > highEnd ? v - highEnd : 0.0);
        } else {
            deviation = range;
        }
        if (worst < 0 || deviation > largest) {
            largest = deviation;
            worst = k;
        }
    }
    return largest;
}

const std::vector<int>& AutoLinearizeFunction::Run() {
    breakPoints_.clear();
    performance_ = 0.0;
    const int count = static_cast<int>(values_.size());
    if (count == 0) return breakPoints_;
    if (count == 1) {
        breakPoints_.push_back(0);
        return breakPoints_;
    }

    const auto [lowest, highest] = std::minmax_element(values_.begin(), values_.end());
    const double range = *highest - *lowest;
    const double size = std::max({range, std::fabs(*lowest), std::fabs(*highest)});
    const double noise = kNoise * size;
    const double allowed = tolerance_ * range + noise;

    std::priority_queue<Piece, std::vector<Piece>, LessUrgent> pieces;
    auto push = [&](int first, int last) {
        int worst = -1;
        const double deviation = PieceDeviation(first, last, range, worst);
        // Measured by its slope, a piece within the default share of the value range still holds:
        // a step that small (a table's rounding, points spread off the target) is no bend.
        const bool accepted = slopeMode_ ? deviation <= kDefaultTolerance * range + noise || SlopesWithin(first, last)
                                         : deviation <= allowed;
        pieces.push({deviation, first, last, worst, accepted});
    };
    push(0, count - 1);
    int segments = 1;
    while (segments < maxSegments_) {
        const Piece top = pieces.top();
        if (top.accepted || top.worst < 0) break;
        pieces.pop();
        push(top.first, top.worst);
        push(top.worst, top.last);
        ++segments;
    }

    double worstDeviation = 0.0;
    breakPoints_.reserve(static_cast<std::size_t>(segments) + 1);
    while (!pieces.empty()) {
        const Piece& piece = pieces.top();
        if (piece.deviation > noise) worstDeviation = std::max(worstDeviation, piece.deviation);
        breakPoints_.push_back(piece.first);
        pieces.pop();
    }
    breakPoints_.push_back(count - 1);
    std::sort(breakPoints_.begin(), breakPoints_.end());
    performance_ = range > 0.0 ? worstDeviation / range : 0.0;
    return breakPoints_;
}

int AutoLinearizeFunction::GetNumberOfSegments() const {
    return breakPoints_.size() < 2 ? 0 : static_cast<int>(breakPoints_.size()) - 1;
}

void AutoLinearizeFunction::GetPerformance(double& performance) const { performance = performance_; }
