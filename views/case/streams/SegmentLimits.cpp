#include "views/case/streams/SegmentLimits.h"

#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <cmath>

namespace segment_limits {

namespace {

namespace L = CaseValueLimits;

double valueOf(const IHeatIntegrationStream& s, const char* name, int index) {
    double v = L::EmptyValue;
    return s.GetValue(name, v, index) == 1 ? v : L::EmptyValue;
}

bool insideOrEmpty(double v, double low, double high) { return v == L::EmptyValue || (v >= low && v <= high); }

}  // namespace

bool Holds(const IHeatIntegrationStream& s, int i) {
    const double from = valueOf(s, "Temperature", i), to = valueOf(s, "Temperature", i + 1);
    if (!insideOrEmpty(from, L::MinTemperature, L::MaxTemperature) ||
        !insideOrEmpty(to, L::MinTemperature, L::MaxTemperature))
        return false;
    if (!insideOrEmpty(valueOf(s, "HTCoeff", i), L::MinH, L::MaxH)) return false;
    if (s.GetStreamKind() == 1) return true;
    const double cp = valueOf(s, "HeatCapacityFlowrate", i);
    if (!insideOrEmpty(cp, L::MinCp, L::MaxCp)) return false;
    if (cp == L::EmptyValue || from == L::EmptyValue || to == L::EmptyValue || from == to) return true;
    const double load = cp * std::fabs(from - to);
    return load >= L::MinDuty && load <= L::MaxDuty;
}

}  // namespace segment_limits
