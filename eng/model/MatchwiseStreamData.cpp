#include "eng/model/MatchwiseStreamData.h"

#include "eng/model/IHeatIntegrationStream.h"

#include <iterator>

namespace {

constexpr const char* kLimitKeys[] = {"HotInlet", "HotOutlet", "ColdInlet", "ColdOutlet"};
constexpr double kLimitDefaults[] = {-273.15, 3000.0, 3000.0, -273.15};

int limitIndex(const CPString& key) {
    for (int i = 0; i < 4; ++i)
        if (key == kLimitKeys[i]) return i;
    return -1;
}

bool isUtility(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 1; }

}  // namespace

MatchwiseStreamData::MatchwiseStreamData(IHeatIntegrationStream* hot, IHeatIntegrationStream* cold)
    : nUtility(isUtility(hot) || isUtility(cold) ? 1 : 0), m_pHot(hot), m_pCold(cold) {}

const CPString& MatchwiseStreamData::GetCostModelName() {
    if (!m_pCostModelName) m_pCostModelName = std::make_unique<CPString>(kDefaultCostModel);
    return *m_pCostModelName;
}

void MatchwiseStreamData::SetTemperatureLimit(const CPString& key, double value) {
    const int i = limitIndex(key);
    if (i < 0) return;
    if (!m_limits) m_limits.emplace(std::begin(kLimitDefaults), std::end(kLimitDefaults));
    (*m_limits)[static_cast<std::size_t>(i)] = value;
}

double MatchwiseStreamData::GetTemperatureLimit(const CPString& key) const {
    const int i = limitIndex(key);
    if (i < 0 || !m_limits) return kNoLimit;
    return (*m_limits)[static_cast<std::size_t>(i)];
}

bool MatchwiseStreamData::LimitsOverlap(const MatchwiseStreamData& a, const MatchwiseStreamData& b, int side) {
    // Each window runs from q up to p.
    const char* p = side == 0 ? "HotInlet" : "ColdOutlet";
    const char* q = side == 0 ? "HotOutlet" : "ColdInlet";
    const double aTop = a.GetTemperatureLimit(p), bTop = b.GetTemperatureLimit(p);
    if (!(bTop > aTop)) return !(a.GetTemperatureLimit(q) > bTop);
    return !(b.GetTemperatureLimit(q) > aTop);
}

bool MatchwiseStreamData::DiffersFromDefaults() const {
    // The areas, loads, shares and shells are results: the recalculation that ends every read
    // lays them down again.
    return (m_pCostModelName && *m_pCostModelName != kDefaultCostModel) || dFactor != 1.0 ||
           dTolerance[1] != 1e-8 || nInteger[0] != 0 || nInteger[1] != 0;
}

void MatchwiseStreamData::TakeValuesOf(const MatchwiseStreamData& other) {
    dFirstValue = other.dFirstValue;
    dCountercurrentArea = other.dCountercurrentArea;
    dShellAndTubeArea = other.dShellAndTubeArea;
    dFourthValue = other.dFourthValue;
    dMatchValue = other.dMatchValue;
    dFactor = other.dFactor;
    dTolerance[0] = other.dTolerance[0];
    dTolerance[1] = other.dTolerance[1];
    nInteger[0] = other.nInteger[0];
    nInteger[1] = other.nInteger[1];
    if (other.m_pCostModelName) SetCostModelName(*other.m_pCostModelName);
}
