// The exchanger node: ports, its kind of service, and the heat it moves across pinches.
#include "pellin/HeatExch.h"

#include "brasko/ILurmetBinaryFile.h"
#include "pellin/IFlowsheetStream.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/StreamProfile.h"

#include <algorithm>

namespace {
constexpr int kUtility = 1;

int kindOf(const StreamNode* s) {
    return s && s->getParentPIStream() ? s->getParentPIStream()->GetStreamKind() : -1;
}
}  // namespace

bool HeatExch::IsOfType(const CPString& typeName) const {
    return typeName == NodeKind::CountercurrentHX || typeName == NodeKind::HeatExchanger || CNode::IsOfType(typeName);
}

CNode* HeatExch::getDownStreamNode(const CNode* inlet) const {
    const int side = upStreamSlotOf(inlet);
    return side < 0 ? nullptr : getIthDownStreamNode(side);
}

CNode* HeatExch::getUpStreamNode(const CNode* outlet) const {
    const int side = downStreamSlotOf(outlet);
    return side < 0 ? nullptr : getIthUpStreamNode(side);
}

int HeatExch::sideOf(const CNode* segment) const {
    const int in = upStreamSlotOf(segment);
    return in >= 0 ? in : downStreamSlotOf(segment);
}

bool HeatExch::IsHeater() const { return kindOf(getInlet(0)) == kUtility && kindOf(getInlet(1)) != kUtility; }
bool HeatExch::IsCooler() const { return kindOf(getInlet(1)) == kUtility && kindOf(getInlet(0)) != kUtility; }

bool HeatExch::IsCondReb() const {
    double flag = 0.0;
    return getVariableAsDouble("CondReb", flag) && flag != 0.0;
}

int HeatExch::getHXType() const {
    long type = 0;
    if (getVariableAsInteger(NodeValue::HXType, type)) return static_cast<int>(type);
    return getClassName() == NodeKind::CountercurrentHX ? 0 : 1;
}

double HeatExch::getLoad() const {
    double d = 0.0;
    return getVariableAsDouble(NodeValue::Duty, d) ? d : 0.0;
}

double HeatExch::getArea() const {
    double a = 0.0;
    return getVariableAsDouble(NodeValue::HTArea, a) ? a : 0.0;
}

int HeatExch::CalculateCrossPinchHeatLoads(const std::vector<double>& hotPinch, const std::vector<double>& coldPinch) {
    clearIndexedVariable(NodeValue::CrossPinchLoads);
    StreamNode* hi = getInlet(0);
    StreamNode* ho = getOutlet(0);
    StreamNode* ci = getInlet(1);
    StreamNode* co = getOutlet(1);
    double q = 0.0, thi = 0.0, tho = 0.0, tci = 0.0, tco = 0.0;
    StreamProfile ownHot, ownCold;
    const StreamProfile* hotProfile = nullptr;
    const StreamProfile* coldProfile = nullptr;
    if (!hi || !ho || !ci || !co || !isKnown(NodeValue::Duty, q) || !hi->isKnown(NodeValue::Temperature, thi) ||
        !ho->isKnown(NodeValue::Temperature, tho) || !ci->isKnown(NodeValue::Temperature, tci) ||
        !co->isKnown(NodeValue::Temperature, tco) || !(hotProfile = hi->profileOrHeld(ownHot)) ||
        !(coldProfile = ci->profileOrHeld(ownCold)))
        return 0;
    const StreamProfile& hot = *hotProfile;
    const StreamProfile& cold = *coldProfile;
    const bool heater = IsHeater(), cooler = IsCooler();
    int n = 0;
    for (std::size_t j = 0; j < hotPinch.size(); ++j) {
        const double tph = hotPinch[j];
        const double tpc = j < coldPinch.size() ? coldPinch[j] : tph;
        const double hotAbove = thi > tph ? hot.Enthalpy(thi) - hot.Enthalpy(std::max(tho, tph)) : 0.0;
        const double coldBelow = tci < tpc ? cold.Enthalpy(std::min(tco, tpc)) - cold.Enthalpy(tci) : 0.0;
        // Countercurrent: the hot side's part above the pinch faces the cold side's top end, the
        // cold side's part below it the hot side's bottom end; what overlaps crosses the pinch.
        double load = heater ? coldBelow : cooler ? hotAbove : hotAbove + coldBelow - q;
        load = std::max(load, 0.0);
        setIndexedVariable(NodeValue::CrossPinchLoads, static_cast<int>(j), load, ValueStatus::Calculated);
        ++n;
    }
    return n;
}

std::unique_ptr<CNode> HeatExch::makeEmptyCopy() const { return std::make_unique<HeatExch>(getName(), getClassName()); }

void HeatExch::copyStateFrom(const CNode& other) {
    if (const auto* x = dynamic_cast<const HeatExch*>(&other)) {
        m_status = x->m_status;
        m_feasible = x->m_feasible;
        m_uMethod = x->m_uMethod;
    }
}

bool HeatExch::storeState(ILurmetBinaryFile& file) const {
    return file.WriteInt(m_status) && file.WriteBool(m_feasible) && file.WriteCPString(m_uMethod);
}

bool HeatExch::recallState(ILurmetBinaryFile& file) {
    std::int32_t status = 0;
    bool feasible = true;
    CPString method;
    if (!file.ReadInt(status) || !file.ReadBool(feasible) || !file.ReadCPString(method)) return false;
    if (status < 0 || status > 9) return false;
    m_status = status;
    m_feasible = feasible;
    m_uMethod = method;
    return true;
}
