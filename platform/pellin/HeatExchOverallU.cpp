// The exchanger's overall-coefficient switches: the coefficient given by the user, or taken from
// a simulator case, and the area that follows from it.
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

namespace {
constexpr const char* kOverallUSpec = NodeValue::OverallUSpec;
constexpr const char* kSimOverallUSpec = NodeValue::SimOverallUSpec;

bool switchOn(const CNode& node, const char* name) {
    double v = 0.0;
    return node.getVariableAsDouble(name, v) && v == 1.0;
}
}  // namespace

bool HeatExch::GetOverallUSpec() const { return switchOn(*this, kOverallUSpec); }
void HeatExch::SetOverallUSpec(bool on) { addVariable(kOverallUSpec, on ? 1.0 : 0.0, ValueStatus::Specified); }
bool HeatExch::GetSimOverallUSpec() const { return switchOn(*this, kSimOverallUSpec); }
void HeatExch::SetSimOverallUSpec(bool on) { addVariable(kSimOverallUSpec, on ? 1.0 : 0.0, ValueStatus::Specified); }

int HeatExch::calculateAreaFromOverallU() {
    double u = 0.0, area = 0.0;
    if ((getVariableStatus(NodeValue::OverallHTC) != ValueStatus::Specified && !GetOverallUSpec()) ||
        !getVariableAsDouble(NodeValue::OverallHTC, u) || !(u > 0.0))
        return 0;
    // The coefficient decides the area now: a given area is freed so that the performance
    // writes the one the coefficient needs.
    if (getVariableStatus(NodeValue::HTArea) == ValueStatus::Specified && getVariableAsDouble(NodeValue::HTArea, area))
        addVariable(NodeValue::HTArea, area, ValueStatus::Open, getVariableFlag(NodeValue::HTArea));
    return setArea();
}
