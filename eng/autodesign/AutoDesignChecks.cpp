// Data checks of an automatic design run, the choice of its hot and cold utility and the stream
// order of a design.
#include "eng/autodesign/AdvancedSuperTarget.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/EconomicData.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/MessageKey.h"

#include <algorithm>
#include <cmath>

namespace {
// Temperatures are typed in decimals: a difference that is 0.01 or 4.0 on paper may come out a
// few ulps short in binary. Differences within this of a threshold count as reaching it.
constexpr double kDecimalSlack = 1e-9;
constexpr double kMinimumSegmentDifference = 0.01;

bool ReadSupply(const IHeatIntegrationStream* s, double& t) { return s->GetValue("Temperature", t, 0) == 1; }
}  // namespace

double AdvancedSuperTarget::MeanTemperatureDifference(double a, double b) {
    return 2.0 * std::sqrt(a * b) / 3.0 + (a + b) / 6.0;
}

double AdvancedSuperTarget::AnnualisationFactor(double rate, double life) { return std::pow(1.0 + rate, life) / life; }

int AdvancedSuperTarget::CostBasisOf(const CPString& costModel) const {
    const double basis = scenario.GetEconomicData(EDT_CostLaw, costModel.c_str());
    return basis == 0.0 ? 0 : basis == 1.0 ? 1 : -1;
}

void AdvancedSuperTarget::SortStreams(std::vector<IHeatIntegrationStream*>& list) {
    std::vector<IHeatIntegrationStream*> hot, cold;
    for (IHeatIntegrationStream* s : list) {
        if (!s) continue;
        if (s->GetHotCold() == 0) hot.push_back(s);
        else if (s->GetHotCold() == 1) cold.push_back(s);
    }
    // A supply that cannot be read compares equal to everything: such a stream keeps its place
    // relative to the ones it is compared with, which a stable sort of the readable ones gives.
    auto order = [](std::vector<IHeatIntegrationStream*>& v, bool falling) {
        std::stable_sort(v.begin(), v.end(), [falling](IHeatIntegrationStream* a, IHeatIntegrationStream* b) {
            double ta = 0.0, tb = 0.0;
            if (!ReadSupply(a, ta) || !ReadSupply(b, tb)) return false;
            return falling ? ta > tb : ta < tb;
        });
    };
    order(hot, true);
    order(cold, false);
    list = std::move(hot);
    list.insert(list.end(), cold.begin(), cold.end());
}

IHeatIntegrationStream* AdvancedSuperTarget::FindAdequateUtility(int side, double margin) const {
    std::vector<IHeatIntegrationStream*> candidates, opponents;
    for (IHeatIntegrationStream* s : streams) {
        const bool utility = s->GetStreamKind() == 1;
        if (utility && s->GetHotCold() == side) candidates.push_back(s);
        else if (!utility && s->GetHotCold() == 1 - side) opponents.push_back(s);
    }
    if (candidates.empty()) return nullptr;
    // Equal cost indices keep the run's order.
    std::stable_sort(candidates.begin(), candidates.end(), [](IHeatIntegrationStream* a, IHeatIntegrationStream* b) {
        return a->GetCostIndex() < b->GetCostIndex();
    });
    for (IHeatIntegrationStream* u : candidates) {
        const double tu = u->GetSupplyTemperature();
        bool fails = false;
        for (IHeatIntegrationStream* s : opponents) {
            const double ts = s->GetTargetTemperature();
            const double clearance = s->GetHotCold() == 1 ? tu - ts : ts - tu;
            if (margin > clearance + kDecimalSlack) {
                fails = true;
                break;
            }
        }
        if (!fails) return u;
    }
    return nullptr;
}

int AdvancedSuperTarget::CheckData() {
    int result = 1;
    auto fail = [&](std::string key) {
        message = std::move(key);
        result = 0;
    };
    if (streams.empty()) {
        fail(MessageKey("MissingStreamInformation"));
    } else if (segments.empty()) {
        fail(MessageKey("IncompleteStreamInformation All"));
    } else {
        for (IHeatIntegrationStream* s : streams) {
            const std::string name = s->GetName().c_str();
            if (!s->AreDesignSegmentsComplete()) {
                fail(MessageKey("IncompleteStreamInformation ") + name);
                break;
            }
            const int n = s->GetNumberOfSegments();
            for (int k = 0; k < n; ++k) {
                double t0 = 0.0, t1 = 0.0, h = 0.0;
                // The area of every match divides by the film coefficients: one that is missing
                // or not positive leaves the stream's data incomplete.
                if (s->GetValue("Temperature", t0, k) != 1 || s->GetValue("Temperature", t1, k + 1) != 1 ||
                    s->GetValue("HTCoeff", h, k) != 1 || !(h > 0.0) || !std::isfinite(h)) {
                    fail(MessageKey("IncompleteStreamInformation ") + name);
                    break;
                }
                if (std::fabs(t0 - t1) < kMinimumSegmentDifference - kDecimalSlack) {
                    fail(MessageKey("MinimumSegStreamTempDiff ") + name);
                    break;
                }
            }
        }
    }
    if (result) {
        hotUtility = FindAdequateUtility(0, kModelContribution);
        if (!hotUtility && scenario.GetUtilityAssignmentStatus(0) != 0) {
            fail(MessageKey("NotHotEnoughHotUtility"));
        } else {
            coldUtility = FindAdequateUtility(1, kModelContribution);
            if (!coldUtility && scenario.GetUtilityAssignmentStatus(1) != 0)
                fail(MessageKey("NotColdEnoughColdUtility"));
            else if (!economicInfo || !economicData)
                fail(MessageKey("MissingEconomicInformation"));
        }
    }
    areaExponent = economicData ? economicData->GetEconomicData(EDT_AreaExponent) : 0.0;
    if (result && areaExponent < 1e-8) fail(MessageKey("MissingAreaExponent Default"));
    const double plantLife = economicInfo ? economicInfo->GetEconomicInfo(EDT_PlantLife) : 0.0;
    if (!result) return 0;
    if (plantLife == 0.0) {
        message = MessageKey("MissingPlantLife");
        return 0;
    }
    annualisationFactor = AnnualisationFactor(economicInfo->GetEconomicInfo(EDT_RateOfReturn), plantLife);
    if (const char* model = scenario.FindIncompleteCostModel()) {
        message = std::string("IncompleteEcoInfo ") + model;
        return 0;
    }
    return 1;
}
