// What an exchanger's view asks of the model: the temperature-enthalpy profile of the exchange,
// the orientation checks, the change of model and the reason of an infeasible exchange.
#include "pellin/HeatExch.h"
#include "pellin/FFactor.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/StreamProfile.h"

#include <algorithm>

namespace {

// Two break points of the profile closer than this (kW) are one.
constexpr double kSameLoad = 1e-9;
constexpr const char* kHotTemperatures = "HotTempArray";
constexpr const char* kColdTemperatures = "ColdTempArray";
constexpr const char* kEnthalpies = "EnthalpyArray";

bool knownTemperature(const StreamNode* node, double& t) { return node && node->isKnown(NodeValue::Temperature, t); }

}  // namespace

int HeatExch::RefreshTHProfile() {
    m_thEnthalpy.clear();
    m_thHot.clear();
    m_thCold.clear();
    StreamNode* ports[4] = {getInlet(0), getOutlet(0), getInlet(1), getOutlet(1)};
    double t[4], q = 0.0;
    for (int i = 0; i < 4; ++i)
        if (!knownTemperature(ports[i], t[i])) return 0;
    StreamProfile hot, cold;
    if (!isKnown(NodeValue::Duty, q) || !(q >= 0.0) || !ports[0]->getProfile(hot) || !ports[2]->getProfile(cold)) return 0;
    // Heat loads measured from the cold end: the hot side at its outlet, the cold side at its
    // inlet. Every stream point inside either side's range is a break of the curves.
    const double hHotOut = hot.Enthalpy(t[1]), hColdIn = cold.Enthalpy(t[2]);
    std::vector<double> loads{0.0, q}, points;
    hot.PointsBetween(std::min(t[0], t[1]), std::max(t[0], t[1]), points);
    for (double p : points) loads.push_back(hot.Enthalpy(p) - hHotOut);
    cold.PointsBetween(std::min(t[2], t[3]), std::max(t[2], t[3]), points);
    for (double p : points) loads.push_back(cold.Enthalpy(p) - hColdIn);
    std::sort(loads.begin(), loads.end());
    for (std::size_t i = 0; i < loads.size(); ++i) {
        const double e = std::clamp(loads[i], 0.0, q);
        const bool first = i == 0, last = i + 1 == loads.size();
        if (!first && !last && e - m_thEnthalpy.back() <= kSameLoad) continue;
        // The ends are the port temperatures themselves, not their round trip through H(T): a
        // break point next to the hot end gives way to it.
        if (last && m_thEnthalpy.size() > 1 && e - m_thEnthalpy.back() <= kSameLoad) {
            m_thEnthalpy.pop_back();
            m_thHot.pop_back();
            m_thCold.pop_back();
        }
        m_thEnthalpy.push_back(e);
        m_thHot.push_back(first ? t[1] : last ? t[0] : hot.TemperatureAt(hHotOut + e));
        m_thCold.push_back(first ? t[2] : last ? t[3] : cold.TemperatureAt(hColdIn + e));
    }
    return static_cast<int>(m_thEnthalpy.size());
}

int HeatExch::GetTHArrayLength(const CPString& name) const {
    if (name == kEnthalpies) return static_cast<int>(m_thEnthalpy.size());
    if (name == kHotTemperatures) return static_cast<int>(m_thHot.size());
    if (name == kColdTemperatures) return static_cast<int>(m_thCold.size());
    return 0;
}

bool HeatExch::GetTHArrayData(const CPString& name, int index, double& out) const {
    const std::vector<double>* values = name == kEnthalpies       ? &m_thEnthalpy
                                        : name == kHotTemperatures ? &m_thHot
                                        : name == kColdTemperatures ? &m_thCold
                                                                    : nullptr;
    if (!values || index < 0 || index >= static_cast<int>(values->size())) return false;
    out = (*values)[static_cast<std::size_t>(index)];
    return true;
}

bool HeatExch::IsHotSideReversed() const {
    double in = 0.0, out = 0.0;
    return knownTemperature(getInlet(0), in) && knownTemperature(getOutlet(0), out) && out > in;
}

bool HeatExch::IsColdSideReversed() const {
    double in = 0.0, out = 0.0;
    return knownTemperature(getInlet(1), in) && knownTemperature(getOutlet(1), out) && out < in;
}

bool HeatExch::ChangeModelKind(const CPString& kind) {
    int type = -1;
    if (kind == NodeKind::HeatExchanger) type = 1;
    else if (kind == NodeKind::CountercurrentHX) type = 0;
    if (type < 0) return false;
    addVariable(NodeValue::HXType, static_cast<double>(type), ValueStatus::Specified);
    return true;
}

const char* HeatExch::InfeasibilityReasonKey() const {
    return m_status == ExchangerStatus::Crossed ? "HXTemperatureCross" : nullptr;
}

bool HeatExch::HasTooFewShells() const {
    double shells = 0.0, flag = 0.0;
    const bool given = getVariableStatus(NodeValue::NShellsInSeries) == ValueStatus::Specified ||
                       (getVariableAsDouble(NodeValue::ShellsInSeriesSpecified, flag) && flag == 1.0);
    if (getHXType() != 1 || !given || !getVariableAsDouble(NodeValue::NShellsInSeries, shells)) return false;
    const StreamNode* ports[4] = {getInlet(0), getOutlet(0), getInlet(1), getOutlet(1)};
    double t[4];
    for (int i = 0; i < 4; ++i)
        if (!ports[i] || !ports[i]->getVariableAsDouble(NodeValue::Temperature, t[i])) return false;
    return !g_FFactorExistsWithFixedShells(t[1], t[0], t[2], t[3], shells);
}

double HeatExch::FoulingBaseCoefficient() const {
    double u = 0.0;
    const bool observed = getVariableStatus(NodeValue::ObservedHTC) == ValueStatus::Specified &&
                          getVariableAsDouble(NodeValue::ObservedHTC, u);
    if (!observed && !getVariableAsDouble(NodeValue::OverallHTC, u)) return 0.0;
    return u > 0.0 ? u : 0.0;
}
