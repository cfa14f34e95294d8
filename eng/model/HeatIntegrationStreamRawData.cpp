// Raw property curves of a stream extracted from a simulator, and its specific heat as a smooth
// function of temperature.
//
// A raw curve is a table along the stream's temperature range, kept as values of one entry per
// point ("Raw_Temperature_DataSet" rising with the index, "Raw_MassEnthalpy_DataSet", ...). The
// stream is cut into segments where the curve bends (AutoLinearizeFunction); each segment takes
// the means of the raw properties at its two ends, and the enthalpy curve gives each segment the
// slope of its piece as specific heat. Every value goes in through SetValue, so the segment rules
// derive what follows from it (flow rates, enthalpies, film coefficients) as for typed-in values.
#include "eng/model/HeatIntegrationStream.h"

#include "brasko/AutoLinearizeFunction.h"
#include "dunmor/Units.h"
#include "eng/model/SpecificHeatFit.h"
#include "eng/model/StreamValueNames.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace N = StreamValueNames;

namespace {
constexpr double kEmpty = Units::EmptyValue;
// Raw points this close outside the stream's range still belong to it; two temperatures this
// close count as one point of the stream.
constexpr double kRangeMargin = 0.0001;
// Inner raw points that sit on the target are spread back into the range, by this much times
// their distance (in points) from the target end, so that no piece ends on the target itself.
constexpr double kTargetSpread = 0.02;
// A falling step of the curve over less than this is noise in the table, not a falling curve.
constexpr double kFallingStep = 0.1;
// A curve that falls somewhere zig-zags when cut finely: of more points than kFallingPointLimit
// it is cut into at most kFallingMaxPieces pieces.
constexpr int kFallingPointLimit = 10;
constexpr int kFallingMaxPieces = 6;
// Temperatures handed to the linearisation lie on a grid of 1e-08 °C, so that equal points stay
// equal (dividing by the exact 1e8 keeps whole temperatures whole).
constexpr double kGridStepsPerDegree = 1e8;
// How far inside the target a break point is kept.
constexpr double kInsideTarget = 1e-08;
// A piece too narrow to be a segment is widened to this span: the same load over 0.5 °C.
constexpr double kNarrowSpan = 0.5;
// Temperatures closer than this give no slope.
constexpr double kSameTemperature = 1e-08;
// Neighbouring specific heats of opposite sign matter when their product is below -kSignProduct
// and the first segment is wider than kSignWidth.
constexpr double kSignProduct = 0.01;
constexpr double kSignWidth = 1.0;
// Over a narrower range the mean specific heat is the segment's own.
constexpr double kMeanSpan = 0.01;

bool isUsable(double v) { return v != kEmpty && std::isfinite(v); }

// An entry that exists and holds a number.
bool readEntry(const IHeatIntegrationStream& stream, const CPString& name, int index, double& out) {
    out = kEmpty;
    return stream.GetValue(name, out, index) == 1 && isUsable(out);
}

struct RawPoint {
    double temperature;
    double value;
    int index;  // entry of the raw data sets
};

// Raw data sets whose means become segment values, with the value each one gives. The enthalpy
// curve brings its own specific heat, so the raw specific heats are left out then.
std::vector<std::pair<CPString, CPString>> propertyMap(const CPString& curve, const CPString& specificHeatName) {
    std::vector<std::pair<CPString, CPString>> map;
    if (curve != N::RawMassEnthalpy) map.emplace_back(N::RawSpecificHeat, specificHeatName);
    map.emplace_back(N::RawViscosity, N::Viscosity);
    map.emplace_back(N::RawMassDensity, N::MassDensity);
    map.emplace_back(N::RawThermalConductivity, N::ThermalConductivity);
    return map;
}

// Segments made from raw data replace the stream's own: the stream goes back to one segment
// from supply to target (old inner points would stand in the way of the new ones).
void collapseToOneSegment(IHeatIntegrationStream& stream) {
    while (stream.GetNumberOfSegments() > 1)
        if (stream.DeleteSegment(1) != 1) break;
}

}  // namespace

// ---- linearisation ----------------------------------------------------------------------------------

int CPIHeatIntegrationStream::LinearizeRawData(const CPString& curve, const CPString& specificHeatName,
                                               double tolerance, unsigned char merge) {
    const double ts = GetSupplyTemperature(), tt = GetTargetTemperature();
    if (!isUsable(ts) || !isUsable(tt)) return 0;
    const bool hot = m_nHotCold == SideHot, cold = m_nHotCold == SideCold;
    const double low = std::min(ts, tt) - kRangeMargin, high = std::max(ts, tt) + kRangeMargin;
    const int m = m_set.GetNumberOfEntries(curve);

    // The points of the curve inside the stream's range.
    std::vector<RawPoint> points;
    bool rising = true;
    for (int k = 0; k < m; ++k) {
        double t = kEmpty, vapour = kEmpty, y = kEmpty;
        if (!m_set.GetValue(N::RawTemperature, t, k) || !m_set.GetValue(N::RawVapourFraction, vapour, k) ||
            !m_set.GetValue(curve, y, k))
            return 0;
        if (!isUsable(t) || !isUsable(y) || t < low || t > high) continue;
        if (m > 2 && k > 0 && k < m - 1 && std::fabs(t - tt) <= kRangeMargin) {
            if (cold) t -= kTargetSpread * (m - 1 - k);
            else if (hot) t += kTargetSpread * k;
        }
        if (m > 2 && !points.empty()) {
            const double dt = t - points.back().temperature;
            if (std::fabs(dt) > kFallingStep && (y - points.back().value) / dt < 0.0) rising = false;
        }
        points.push_back({t, y, k});
    }
    if (merge) {
        std::vector<RawPoint> merged;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const bool repeated = i + 1 < points.size() && points[i].temperature == points[i + 1].temperature &&
                                  points[i].value == points[i + 1].value;
            if (!repeated) merged.push_back(points[i]);
        }
        points = std::move(merged);
    }
    if (points.size() < 2) return 0;

    const auto [lowest, highest] = std::minmax_element(
        points.begin(), points.end(), [](const RawPoint& a, const RawPoint& b) { return a.temperature < b.temperature; });
    if (highest->temperature - lowest->temperature < kRangeMargin) {
        const double middle = 0.5 * (lowest->temperature + highest->temperature);
        for (RawPoint& p : points) p.temperature = middle;
    }
    std::vector<double> temperatures, values;
    temperatures.reserve(points.size());
    values.reserve(points.size());
    for (const RawPoint& p : points) {
        temperatures.push_back(std::round(p.temperature * kGridStepsPerDegree) / kGridStepsPerDegree);
        values.push_back(p.value);
    }
    const int count = static_cast<int>(points.size());

    AutoLinearizeFunction linear;
    // A tolerance given is the share by which the specific heat may vary within one segment: a
    // segment's slope stands for every step of the curve it covers to within that share of it. A
    // phase change, whose specific heat is many times the liquid's, is then a segment of its own
    // under any tolerance below 1, however little of the whole curve it spans.
    if (tolerance > 0.0 && tolerance < 1.0) linear.SetSlopeTolerance(tolerance);
    if (!linear.SetData(values.data(), temperatures.data(), count)) return 0;
    if (merge) linear.SetToleranceExternally(1.0);
    if (!rising && count > kFallingPointLimit) linear.SetMaxSegments(kFallingMaxPieces);
    std::vector<int> breaks = linear.Run();
    for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
        if (breaks[i] == breaks[i + 1]) {
            breaks.erase(breaks.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    for (int b : breaks)
        if (b < 0 || b >= count) return 0;
    const int pieces = static_cast<int>(breaks.size()) - 1;
    if (pieces < 1) return 0;

    collapseToOneSegment(*this);
    double performance = 0.0;
    linear.GetPerformance(performance);
    SetValue(N::LinearizationPerformance, performance, 0);

    // A cold stream runs up the curve, a hot one down: segment j is piece j, or piece
    // pieces-1-j, from raw point `from` to raw point `to`.
    const CPString specificHeat = specificHeatName.IsEmpty() ? CPString(N::SpecificHeat) : specificHeatName;
    const bool enthalpyCurve = curve == N::RawMassEnthalpy;
    const auto map = propertyMap(curve, specificHeat);
    for (int j = 0; j < pieces; ++j) {
        const int from = breaks[static_cast<std::size_t>(hot ? pieces - j : j)];
        const int to = breaks[static_cast<std::size_t>(hot ? pieces - j - 1 : j + 1)];

        if (j + 1 < pieces) {
            if (InsertSegment(j + 1) != 1) return 0;  // the values are locked
            SetValue(N::CHTCoeff, kEmpty, j);
            double point = temperatures[static_cast<std::size_t>(to)];
            if (hot && point <= tt) point = tt + kInsideTarget;
            else if (!hot && point >= tt) point = tt - kInsideTarget;
            // A piece that would end where it starts is widened; its raw end moves along so that
            // the slope below is taken over the segment's real span.
            if (std::fabs(point - PointValue(j)) < kRangeMargin) {
                point += hot ? -kNarrowSpan : kNarrowSpan;
                temperatures[static_cast<std::size_t>(to)] = point;
            }
            SetValue(N::Temperature, point, j + 1);
        }

        if (enthalpyCurve) {
            const double dt = temperatures[static_cast<std::size_t>(to)] - temperatures[static_cast<std::size_t>(from)];
            const double dh = values[static_cast<std::size_t>(to)] - values[static_cast<std::size_t>(from)];
            const bool vertical = std::fabs(dt) < kSameTemperature;
            if ((pieces < 2 || vertical) && (std::fabs(ts - tt) <= kRangeMargin || vertical)) {
                // All the heat at one temperature: spread it over kNarrowSpan after the start.
                const double rise = values[static_cast<std::size_t>(std::max(from, to))] -
                                    values[static_cast<std::size_t>(std::min(from, to))];
                SetValue(specificHeat, rise / kNarrowSpan, j);
                SetValue(N::Temperature, PointValue(j) + (hot ? -kNarrowSpan : kNarrowSpan), j + 1);
            } else {
                SetValue(specificHeat, dh / dt, j);
            }
        }

        for (const auto& [rawName, valueName] : map) {
            double atFrom = kEmpty, atTo = kEmpty;
            if (readEntry(*this, rawName, points[static_cast<std::size_t>(from)].index, atFrom) &&
                readEntry(*this, rawName, points[static_cast<std::size_t>(to)].index, atTo))
                SetValue(valueName, 0.5 * (atFrom + atTo), j);
        }
    }
    // The clean film coefficients follow from the new properties (or fall back to the default).
    for (int j = 0; j < pieces; ++j) SetValue(N::CHTCoeff, kEmpty, j);
    return 1;
}

// ---- properties at the stream's own points -------------------------------------------------------

int CPIHeatIntegrationStream::UpdateSegmentPropertiesFromRawData(const CPString& curve) {
    const int m = m_set.GetNumberOfEntries(N::RawTemperature);
    if (m < 1) return 0;
    std::vector<double> rawT(static_cast<std::size_t>(m)), rawY(static_cast<std::size_t>(m));
    for (int k = 0; k < m; ++k)
        if (!readEntry(*this, N::RawTemperature, k, rawT[static_cast<std::size_t>(k)]) ||
            !readEntry(*this, curve, k, rawY[static_cast<std::size_t>(k)]))
            return 0;
    const int n = GetNumberOfSegments();
    std::vector<double> points(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i)
        if (!isUsable(points[static_cast<std::size_t>(i)] = PointValue(i))) return 0;
    const bool hot = m_nHotCold == SideHot;

    // Where each point of the stream lies in the raw table: between raw points a and a + 1, or
    // (a == b) beyond the table, where it takes the end value as it is.
    struct Place {
        int a;
        int b;
        double t;
    };
    std::vector<Place> places;
    places.reserve(points.size());
    for (double t : points) {
        Place place{t < rawT[0] ? 0 : m - 1, t < rawT[0] ? 0 : m - 1, t};
        for (int a = 0; a + 1 < m; ++a) {
            if (rawT[static_cast<std::size_t>(a)] <= t && t <= rawT[static_cast<std::size_t>(a) + 1]) {
                place = {a, a + 1, t};
                break;
            }
        }
        places.push_back(place);
    }
    auto interpolate = [&](const Place& p, double ya, double yb) {
        if (p.a == p.b) return ya;
        const double ta = rawT[static_cast<std::size_t>(p.a)];
        double tb = rawT[static_cast<std::size_t>(p.b)];
        if (std::fabs(tb - ta) < kSameTemperature) tb = ta + (hot ? kNarrowSpan : -kNarrowSpan);
        return (p.t - ta) / (tb - ta) * (yb - ya) + ya;
    };
    // A property at a point, when the raw set has both entries it needs.
    auto property = [&](const CPString& rawName, const Place& p, double& out) {
        double ya = kEmpty, yb = kEmpty;
        if (!readEntry(*this, rawName, p.a, ya) || !readEntry(*this, rawName, p.b, yb)) return false;
        out = interpolate(p, ya, yb);
        return true;
    };

    const bool enthalpyCurve = curve == N::RawMassEnthalpy;
    const auto map = propertyMap(curve, N::SpecificHeat);
    for (int i = 0; i < n; ++i) {
        const Place& p0 = places[static_cast<std::size_t>(i)];
        const Place& p1 = places[static_cast<std::size_t>(i) + 1];
        for (const auto& [rawName, valueName] : map) {
            double v0 = kEmpty, v1 = kEmpty;
            if (property(rawName, p0, v0) && property(rawName, p1, v1)) SetValue(valueName, 0.5 * (v0 + v1), i);
        }
        if (enthalpyCurve) {
            const double dt = p1.t - p0.t;
            if (std::fabs(dt) >= kSameTemperature) {
                const double h0 = interpolate(p0, rawY[static_cast<std::size_t>(p0.a)], rawY[static_cast<std::size_t>(p0.b)]);
                const double h1 = interpolate(p1, rawY[static_cast<std::size_t>(p1.a)], rawY[static_cast<std::size_t>(p1.b)]);
                SetValue(N::SpecificHeat, (h1 - h0) / dt, i);
            }
            // After the specific heat, so that the film correlation can use it.
            SetValue(N::CHTCoeff, kEmpty, i);
        }
    }
    return 1;
}

// ---- enthalpy from the raw curve -------------------------------------------------------------------

int CPIHeatIntegrationStream::SetValueFromRawEnthalpy(const CPString& name, int segmented) {
    const int m = m_set.GetNumberOfEntries(N::RawMassEnthalpy);
    if (m < 1) return 0;
    std::vector<double> h(static_cast<std::size_t>(m)), t(static_cast<std::size_t>(m), kEmpty);
    for (int k = 0; k < m; ++k) {
        if (!readEntry(*this, N::RawMassEnthalpy, k, h[static_cast<std::size_t>(k)])) return 0;
        if (segmented && !readEntry(*this, N::RawTemperature, k, t[static_cast<std::size_t>(k)])) return 0;
    }
    // Segmented data come in pairs of points, one pair per segment.
    if (segmented && m % 2 != 0) return 0;
    auto H = [&](int k) { return h[static_cast<std::size_t>(k)]; };
    auto T = [&](int k) { return t[static_cast<std::size_t>(k)]; };
    const bool hot = m_nHotCold == SideHot;

    if (!segmented) {
        if (hot) {
            SetValue(name, H(m - 1) - H(0), 0);
        } else {
            const double largest = std::max(0.0, *std::max_element(h.begin(), h.end()));
            SetValue(name, H(0) - largest, 0);
        }
        return 1;
    }

    collapseToOneSegment(*this);
    int result = 1;
    if (hot) {
        // The pairs from the cold end up; each new segment goes in front of the others.
        for (int k = 0; k + 1 < m; k += 2) {
            SetValue(name, H(k + 1) - H(k), 0);
            if (k < m - 2) {
                result = InsertSegment(1);
                if (result != 1) return result;
                SetValue(N::Temperature, T(k + 1), 1);
            }
        }
    } else {
        // The pairs from the hot end down.
        for (int k = m; k >= 2; k -= 2) {
            SetValue(name, H(k - 2) - H(k - 1), 0);
            if (k > 2) {
                result = InsertSegment(1);
                if (result != 1) return result;
                SetValue(N::Temperature, T(k - 2), 1);
            }
        }
    }
    return result;
}

// ---- specific heat ---------------------------------------------------------------------------------

bool CPIHeatIntegrationStream::IsSpecificHeatSignConsistent() const {
    const int n = GetNumberOfSegments();
    if (m_nKind != KindProcess || n <= 1) return true;
    for (int i = 0; i + 1 < n; ++i) {
        double p0, p1, p2, c0, c1;
        if (!readEntry(*this, N::Temperature, i, p0) || !readEntry(*this, N::Temperature, i + 1, p1) ||
            !readEntry(*this, N::Temperature, i + 2, p2) || !readEntry(*this, N::SpecificHeat, i, c0) ||
            !readEntry(*this, N::SpecificHeat, i + 1, c1))
            continue;
        if (std::fabs(p1 - p0) > kSignWidth && c0 * c1 < -kSignProduct) return false;
    }
    return true;
}

int CPIHeatIntegrationStream::FitSpecificHeatPolynomial() {
    const int n = GetNumberOfSegments();
    std::vector<double> temperatures(static_cast<std::size_t>(n) + 1, kEmpty);
    std::vector<double> specificHeats(static_cast<std::size_t>(n), kEmpty);
    for (int i = 0; i <= n; ++i) m_set.GetValue(N::Temperature, temperatures[static_cast<std::size_t>(i)], i);
    for (int j = 0; j < n; ++j) m_set.GetValue(N::SpecificHeat, specificHeats[static_cast<std::size_t>(j)], j);
    // The fit runs up the temperature scale; a hot stream's points fall.
    if (m_nHotCold == SideHot) {
        std::reverse(temperatures.begin(), temperatures.end());
        std::reverse(specificHeats.begin(), specificHeats.end());
    }
    SpecificHeatFit::Result fit = SpecificHeatFit::Fit(temperatures, specificHeats);
    if (fit.status == SpecificHeatFit::Status::Usable) {
        TheRare().specificHeatPolynomial = std::make_unique<std::vector<double>>(std::move(fit.coefficients));
    } else {
        TheRare().specificHeatPolynomial = std::make_unique<std::vector<double>>(static_cast<std::size_t>(n) + 1, 0.0);
        (*m_pRare->specificHeatPolynomial)[0] = kEmpty;
    }
    return 1;
}

int CPIHeatIntegrationStream::GetMeanSpecificHeat(double t1, double t2, double* reserved, double* mean) const {
    const std::vector<double>& polynomial = GetSpecificHeatPolynomial();
    if (polynomial.empty() || polynomial[0] == kEmpty) {
        if (reserved) *reserved = 0.0;
        if (mean) *mean = 0.0;
        return 0;
    }
    if (reserved) *reserved = 0.0;
    double value;
    if (std::fabs(t2 - t1) >= kMeanSpan)
        value = (SpecificHeatFit::Evaluate(polynomial, t1) - SpecificHeatFit::Evaluate(polynomial, t2)) /
                (t1 - t2);
    else
        value = GetSegmentValueAtTemperature(t1, N::SpecificHeat);
    if (mean) *mean = value;
    return 1;
}
