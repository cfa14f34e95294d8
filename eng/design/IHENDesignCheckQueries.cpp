// The optimiser's pre-run check as the design's wizard form reads it: each answer comes from the
// check the design keeps (GetOptimiserCheck), with neutral answers before the first check.
#include "eng/design/IHENDesign.h"

#include "eng/design/INetworkOptimiser.h"
#include "pellin/CNode.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <algorithm>
#include <cmath>

namespace {

using Part = IOptimiserCheck::Part;

// Entry i of a part's unit list, clamped to the list; null for an empty list.
CNode* clampedUnit(const IOptimiserCheck* check, int part, int index) {
    const int n = check ? check->GetNumberOfPartUnits(part) : 0;
    return n > 0 ? check->GetPartUnit(part, std::clamp(index, 0, n - 1)) : nullptr;
}

CPString unitName(const CNode* unit) {
    CPString name;
    if (unit) unit->getVariableAsString("UnitOperationName", name);
    return name;
}

void partMessage(const IOptimiserCheck* check, int part, CPString& out) { out = check ? check->GetPartMessage(part) : ""; }

}  // namespace

bool IHENDesign::IsIdleUtilityUnit(CNode* unit) {
    const HeatExch* exchanger = AsHeatExch(unit);
    double duty = 0.0;
    return exchanger && exchanger->IsUtilityExch() && unit->getVariableAsDouble(NodeValue::Duty, duty) &&
           std::fabs(duty) < 1e-6;
}

bool IHENDesign::IsNetworkCalculated() const {
    if (GetNumberOfUnsatisfiedProcessStreams() > 0 || !DoUtilityUnitsRunForwards()) return false;
    const std::vector<CNode*> incomplete = GetIncompleteHeatExchangers();
    return std::all_of(incomplete.begin(), incomplete.end(), [](CNode* unit) { return IsIdleUtilityUnit(unit); });
}

int IHENDesign::CanOptimizerRun() const { return GetOptimizerCheckSeverity() == 2 ? 0 : 1; }
int IHENDesign::GetOptimizerCheckSeverity() const { return GetOptimiserCheck() ? GetOptimiserCheck()->GetSeverity() : 0; }
void IHENDesign::GetOptimizerCheckMessage(CPString& out) const {
    out = GetOptimiserCheck() ? GetOptimiserCheck()->GetMessage() : "";
}

bool IHENDesign::IsOptimizerCheckDegreesOfFreedomOK() const {
    return !GetOptimiserCheck() || GetOptimiserCheck()->IsPartOK(Part::DegreesOfFreedom);
}
bool IHENDesign::IsOptimizerCheckFeasibilityOK() const {
    return !GetOptimiserCheck() || GetOptimiserCheck()->IsPartOK(Part::Feasibility);
}
bool IHENDesign::IsOptimizerCheckUntiedStreamsOK() const {
    return !GetOptimiserCheck() || GetOptimiserCheck()->IsPartOK(Part::UntiedStreams);
}
bool IHENDesign::IsOptimizerCheckTemperatureSpecsOK() const {
    return !GetOptimiserCheck() || GetOptimiserCheck()->IsPartOK(Part::TemperatureSpecs);
}
bool IHENDesign::IsOptimizerCheckOptionsOK() const { return !GetOptimiserCheck() || GetOptimiserCheck()->IsPartOK(Part::Options); }

void IHENDesign::GetOptimizerCheckDegreesOfFreedomMessage(CPString& out) const {
    partMessage(GetOptimiserCheck(), Part::DegreesOfFreedom, out);
}
void IHENDesign::GetOptimizerCheckFeasibilityMessage(CPString& out) const { partMessage(GetOptimiserCheck(), Part::Feasibility, out); }
void IHENDesign::GetOptimizerCheckUntiedStreamsMessage(CPString& out) const {
    partMessage(GetOptimiserCheck(), Part::UntiedStreams, out);
}
void IHENDesign::GetOptimizerCheckTemperatureSpecsMessage(CPString& out) const {
    partMessage(GetOptimiserCheck(), Part::TemperatureSpecs, out);
}
void IHENDesign::GetOptimizerCheckOptionsMessage(CPString& out) const { partMessage(GetOptimiserCheck(), Part::Options, out); }

int IHENDesign::GetNumberOfOptimizerCheckUnits() const {
    return GetOptimiserCheck() ? GetOptimiserCheck()->GetNumberOfPartUnits(Part::DegreesOfFreedom) : 0;
}
int IHENDesign::GetNumberOfOptimizerCheckInfeasibleExchangers() const {
    return GetOptimiserCheck() ? GetOptimiserCheck()->GetNumberOfPartUnits(Part::Feasibility) : 0;
}
int IHENDesign::GetNumberOfOptimizerCheckUntiedExchangers() const {
    return GetOptimiserCheck() ? GetOptimiserCheck()->GetNumberOfPartUnits(Part::UntiedStreams) : 0;
}
int IHENDesign::GetNumberOfOptimizerCheckTemperatureSpecs() const {
    return GetOptimiserCheck() ? GetOptimiserCheck()->GetNumberOfPartUnits(Part::TemperatureSpecs) : 0;
}

CPString IHENDesign::GetOptimizerCheckUnitName(int index) const {
    return unitName(clampedUnit(GetOptimiserCheck(), Part::DegreesOfFreedom, index));
}
CPString IHENDesign::GetOptimizerCheckUnitStatus(int index) const {
    const IOptimiserCheck* check = GetOptimiserCheck();
    return check ? CPString(check->GetUnitStatusText(index)) : CPString();
}
CPString IHENDesign::GetOptimizerCheckInfeasibleExchangerName(int index) const {
    return unitName(clampedUnit(GetOptimiserCheck(), Part::Feasibility, index));
}
CPString IHENDesign::GetOptimizerCheckUntiedExchangerName(int index) const {
    return unitName(clampedUnit(GetOptimiserCheck(), Part::UntiedStreams, index));
}
CPString IHENDesign::GetOptimizerCheckTemperatureSpecUnitName(int index) const {
    return unitName(clampedUnit(GetOptimiserCheck(), Part::TemperatureSpecs, index));
}
CPString IHENDesign::GetOptimizerCheckTemperatureSpecText(int index) const {
    const IOptimiserCheck* check = GetOptimiserCheck();
    return check ? CPString(check->GetTemperaturePortWord(index)) : CPString();
}

namespace {
bool untiedPortFree(const IHENDesign& design, int index, int port) {
    CNode* unit = clampedUnit(design.GetOptimiserCheck(), Part::UntiedStreams, index);
    return unit && design.IsPortFreeOfUtility(unit, port);
}
}  // namespace

bool IHENDesign::IsOptimizerCheckUntiedPort0Free(int index) const { return untiedPortFree(*this, index, 0); }
bool IHENDesign::IsOptimizerCheckUntiedPort1Free(int index) const { return untiedPortFree(*this, index, 1); }
bool IHENDesign::IsOptimizerCheckUntiedPort2Free(int index) const { return untiedPortFree(*this, index, 2); }
bool IHENDesign::IsOptimizerCheckUntiedPort3Free(int index) const { return untiedPortFree(*this, index, 3); }
