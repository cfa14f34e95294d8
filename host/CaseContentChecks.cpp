#include "host/CaseContentChecks.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "host/OutputText.h"
#include "host/StreamTableChecks.h"

#include <cmath>
#include <cstdio>

namespace {
using namespace StreamTableLimits;

// Utility prices are held per kW and second; the table gives them per kW and year.
constexpr double kPerYearToPerSecond = CaseValueLimits::PerYearToPerSecond;
constexpr int kAnyKind = 4, kBothSides = 2, kUtility = 1, kLocalScope = 1;

std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

double valueOf(const IHeatIntegrationStream& s, const char* name, int index) {
    double v = EmptyValue;
    return s.GetValue(name, v, index) == 1 ? v : EmptyValue;
}

// A name every reader took as UTF-8; a case written before names were held to it may hold other
// bytes, which no report could print.
bool refuseName(const char* what, const char* name, std::string& error) {
    if (!name || IsUtf8(name)) return false;
    error = std::string(what) + " " + QuotedField(name) + " has a name that is not UTF-8";
    return true;
}

bool checkStream(const IHeatIntegrationStream& s, std::string& error) {
    if (refuseName("stream", s.GetName().c_str(), error)) return false;
    const std::string who = "stream " + QuotedField(s.GetName()) + ": ";
    const auto refuse = [&](const char* column, double value) {
        std::string why;
        if (CheckStreamTableValue(column, value, why)) return false;
        error = who + why;
        return true;
    };
    const int segments = s.GetNumberOfSegments();
    if (segments < 0 || segments > MaxSegments) {
        error = who + "holds " + std::to_string(segments) + " segments; a stream holds at most " +
                std::to_string(MaxSegments);
        return false;
    }
    const bool utility = s.GetStreamKind() == kUtility;
    for (int i = 0; i <= segments; ++i) {
        const double t = valueOf(s, "Temperature", i);
        if (t != EmptyValue && refuse("supply", t)) return false;
    }
    for (int i = 0; i < segments; ++i) {
        const double h = valueOf(s, "HTCoeff", i);
        if (h != EmptyValue && refuse("h", h)) return false;
        // A utility's flow follows from the load placed on it; a process stream's is its own.
        if (utility) continue;
        const double cp = valueOf(s, "HeatCapacityFlowrate", i);
        if (cp == EmptyValue) continue;
        if (refuse("cp", cp)) return false;
        const double a = valueOf(s, "Temperature", i), b = valueOf(s, "Temperature", i + 1);
        const double span = a != EmptyValue && b != EmptyValue ? std::fabs(a - b) : 0.0;
        if (span > 0.0 && cp * span < MinDuty) {
            error = who + "segment " + std::to_string(i + 1) + " carries " + num(cp * span) + " kW, less than " +
                    num(MinDuty) + " kW";
            return false;
        }
    }
    if (s.GetDTminContributionScope() == kLocalScope) {
        const double contribution = s.GetDTminContribution();
        if (refuse("dtmin_contribution", contribution)) return false;
        // No table's span exceeds the whole temperature range.
        const double largest = MaxContribution;
        if (contribution > largest) {
            error = who + "column dtmin_contribution: " + num(contribution) + " C is more than any table's span plus " +
                    num(ContributionMargin) + " C";
            return false;
        }
    }
    if (refuse("cost", s.GetCostIndex() / kPerYearToPerSecond)) return false;
    return true;
}
}  // namespace

bool CheckCaseContent(IHeatIntegrationScenario& scenario, std::string& error) {
    if (refuseName("the scenario", scenario.GetName(), error)) return false;
    for (int i = 0; i < scenario.GetNumberOfDesigns(); ++i)
        if (refuseName("design", scenario.GetDesignName(i), error)) return false;
    const double dtmin = scenario.GetDTmin();
    if (!(dtmin >= MinDTmin && dtmin <= MaxDTmin)) {
        error = "its DTmin is " + num(dtmin) + " C, outside " + num(MinDTmin) + " to " + num(MaxDTmin) + " C";
        return false;
    }
    IHeatIntegrationStream* stream = nullptr;
    for (int i = 0; scenario.GetStreamOfKind(i, stream, kAnyKind, kBothSides) && stream; ++i)
        if (!checkStream(*stream, error)) return false;
    return true;
}
