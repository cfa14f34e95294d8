#include "host/TargetsReport.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {
constexpr double kSecondsPerYear = 31536000.0;
// Cost-target codes of the scenario's queries.
constexpr int kCapitalCost = 7, kOperatingCost = 4, kTotalAnnualCost = 5;

std::string number(double v) {
    if (!std::isfinite(v)) return "null";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10g", std::fabs(v) < 1e-12 ? 0.0 : v);
    return buffer;
}

std::string fixed(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(v) < 1e-12 ? 0.0 : v);
    return buffer;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

const char* problemTypeText(int type) {
    switch (type) {
    case 0: return "pinched (hot and cold utility)";
    case 1: return "threshold (hot utility only)";
    case 2: return "threshold (cold utility only)";
    case 3: return "no utility needed";
    default: return "unknown";
    }
}
}  // namespace

TargetsReport ReadTargets(const IHeatIntegrationScenario& scenario) {
    TargetsReport r;
    r.dtmin = scenario.GetDTmin();
    r.hotUtility = scenario.GetUtilityTarget(0);
    r.coldUtility = scenario.GetUtilityTarget(1);
    for (int i = 0; i < scenario.GetNumberOfPinchPoints(); ++i)
        r.pinches.push_back({scenario.GetPinchTemperature(0, i), scenario.GetPinchTemperature(1, i)});
    r.problemType = scenario.GetPinchProblemType();
    r.areaCountercurrent = scenario.GetAreaTarget(0);
    r.areaShellTube = scenario.GetAreaTarget(1);
    r.units = scenario.GetMinimumNumberOfUnits(0);
    r.unitsPinch = scenario.GetMinimumNumberOfUnits(1);
    r.shells = scenario.GetNumberOfShellsTarget();
    r.shellsCapped = scenario.IsShellsTargetCapped();
    // The capital-cost target is the investment itself; operating and total annual cost are held
    // per second.
    r.capitalCost = scenario.GetCostTarget(kCapitalCost);
    r.operatingCost = scenario.GetCostTarget(kOperatingCost) * kSecondsPerYear;
    r.totalAnnualCost = scenario.GetCostTarget(kTotalAnnualCost) * kSecondsPerYear;
    for (int i = 0; i < scenario.GetNumberOfUtilityStreams(); ++i) {
        IHeatIntegrationStream* stream = nullptr;
        if (!scenario.GetStreamOfKind(i, stream, 1, 2) || !stream) continue;
        r.utilities.push_back({stream->GetName(), std::fabs(stream->GetHeatLoad(0))});
    }
    return r;
}

std::string FormatTargetsText(const TargetsReport& r) {
    std::ostringstream out;
    out << "Targets at DTmin " << fixed(r.dtmin, 3) << " C\n";
    out << "  hot utility               " << fixed(r.hotUtility, 3) << " kW\n";
    out << "  cold utility              " << fixed(r.coldUtility, 3) << " kW\n";
    if (r.pinches.empty()) out << "  pinch                     none\n";
    for (const auto& p : r.pinches)
        out << "  pinch                     " << fixed(p.hot, 3) << " C hot / " << fixed(p.cold, 3) << " C cold\n";
    out << "  problem type              " << r.problemType << " " << problemTypeText(r.problemType) << "\n";
    out << "  area, countercurrent      " << fixed(r.areaCountercurrent, 3) << " m2\n";
    out << "  area, shell and tube      " << fixed(r.areaShellTube, 3) << " m2\n";
    out << "  units, overall            " << r.units << "\n";
    out << "  units, pinch division     " << r.unitsPinch << "\n";
    if (r.shellsCapped)
        out << "  shells                    at least " << r.shells << " (a pinch region reached the count's cap)\n";
    else
        out << "  shells                    " << r.shells << "\n";
    out << "  capital cost              " << fixed(r.capitalCost, 2) << " (investment)\n";
    out << "  operating cost            " << fixed(r.operatingCost, 2) << " per year\n";
    out << "  total annual cost         " << fixed(r.totalAnnualCost, 2) << " per year\n";
    out << "Utility loads\n";
    if (r.utilities.empty()) out << "  (no utility streams)\n";
    for (const auto& u : r.utilities) out << "  " << u.name << "  " << fixed(u.load, 3) << " kW\n";
    return out.str();
}

std::string FormatTargetsJson(const TargetsReport& r) {
    std::ostringstream out;
    out << "{\"dtmin\": " << number(r.dtmin) << ", \"hot_utility\": " << number(r.hotUtility)
        << ", \"cold_utility\": " << number(r.coldUtility) << ", \"pinches\": [";
    for (std::size_t i = 0; i < r.pinches.size(); ++i)
        out << (i ? ", " : "") << "{\"hot\": " << number(r.pinches[i].hot) << ", \"cold\": " << number(r.pinches[i].cold)
            << "}";
    out << "], \"problem_type\": " << r.problemType << ", \"area_countercurrent\": " << number(r.areaCountercurrent)
        << ", \"area_shell_tube\": " << number(r.areaShellTube) << ", \"units\": " << r.units
        << ", \"units_pinch\": " << r.unitsPinch << ", \"shells\": " << r.shells
        << ", \"shells_capped\": " << (r.shellsCapped ? "true" : "false")
        << ", \"capital_cost\": " << number(r.capitalCost) << ", \"operating_cost\": " << number(r.operatingCost)
        << ", \"total_annual_cost\": " << number(r.totalAnnualCost) << ", \"utilities\": [";
    for (std::size_t i = 0; i < r.utilities.size(); ++i)
        out << (i ? ", " : "") << "{\"name\": " << jsonString(r.utilities[i].name)
            << ", \"load\": " << number(r.utilities[i].load) << "}";
    out << "]}\n";
    return out.str();
}

SuperTargetReport ReadSuperTargets(const IHeatIntegrationScenario& scenario) {
    SuperTargetReport r;
    for (int i = 0; i < scenario.GetNumberOfSuperTargetPoints(); ++i) {
        SuperTargetPointReport p;
        // Selectors 1..10 of a point: DTmin, hot and cold utility, the two areas, units with the
        // pinch division, shells, capital, operating and total annual cost (costs per second).
        p.dtmin = scenario.PointTargetValue(i, 1);
        p.hotUtility = scenario.PointTargetValue(i, 2);
        p.coldUtility = scenario.PointTargetValue(i, 3);
        p.areaCountercurrent = scenario.PointTargetValue(i, 4);
        p.areaShellTube = scenario.PointTargetValue(i, 5);
        p.units = scenario.PointTargetValue(i, 6);
        p.shells = scenario.PointTargetValue(i, 7);
        p.capitalCost = scenario.PointTargetValue(i, 8);
        p.operatingCost = scenario.PointTargetValue(i, 9) * kSecondsPerYear;
        p.totalAnnualCost = scenario.PointTargetValue(i, 10) * kSecondsPerYear;
        r.points.push_back(p);
    }
    // The optimum is the point of least total annual cost among those that have one.
    double best = 0.0;
    for (const auto& p : r.points) {
        if (p.totalAnnualCost <= 0.0) continue;
        if (!r.hasOptimum || p.totalAnnualCost < best) {
            r.hasOptimum = true;
            r.optimum = p.dtmin;
            best = p.totalAnnualCost;
        }
    }
    return r;
}

std::string FormatSuperTargetsText(const SuperTargetReport& r) {
    std::ostringstream out;
    out << "   DTmin      hot      cold   area cc   area st  units  shells     capital   operating         TAC\n";
    for (const auto& p : r.points) {
        char line[256];
        std::snprintf(line, sizeof line, "%8.3f %8.2f %9.2f %9.2f %9.2f %6.0f %7.0f %11.2f %11.2f %11.2f\n", p.dtmin,
                      p.hotUtility, p.coldUtility, p.areaCountercurrent, p.areaShellTube, p.units, p.shells,
                      p.capitalCost, p.operatingCost, p.totalAnnualCost);
        out << line;
    }
    if (r.hasOptimum)
        out << "optimum DTmin " << fixed(r.optimum, 3) << " C\n";
    else
        out << "optimum DTmin: none (no point has a total annual cost)\n";
    return out.str();
}

std::string FormatSuperTargetsJson(const SuperTargetReport& r) {
    std::ostringstream out;
    out << "{\"points\": [";
    for (std::size_t i = 0; i < r.points.size(); ++i) {
        const auto& p = r.points[i];
        out << (i ? ", " : "") << "{\"dtmin\": " << number(p.dtmin) << ", \"hot_utility\": " << number(p.hotUtility)
            << ", \"cold_utility\": " << number(p.coldUtility)
            << ", \"area_countercurrent\": " << number(p.areaCountercurrent)
            << ", \"area_shell_tube\": " << number(p.areaShellTube) << ", \"units\": " << number(p.units)
            << ", \"shells\": " << number(p.shells) << ", \"capital_cost\": " << number(p.capitalCost)
            << ", \"operating_cost\": " << number(p.operatingCost)
            << ", \"total_annual_cost\": " << number(p.totalAnnualCost) << "}";
    }
    out << "], \"optimum\": " << (r.hasOptimum ? number(r.optimum) : std::string("null")) << "}\n";
    return out.str();
}
