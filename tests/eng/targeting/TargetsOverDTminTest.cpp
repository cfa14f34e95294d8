// Physics of the targets over the minimum approach temperature, on random problems solved by the
// production builders: a larger approach can only need more utility, and the area it buys shrinks.
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/Scenario.h"
#include "eng/model/ScenarioServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

struct RandomSite {
    explicit RandomSite(unsigned seed) : scenario(std::make_unique<CPIScenario>(nullptr, DefaultScenarioServices())) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> temperature(60.0, 300.0), cp(1.0, 20.0), h(0.1, 1.0);
        scenario->SuspendCalculations();
        for (int i = 0; i < 8; ++i) {
            double a = temperature(rng), b = temperature(rng);
            if (std::fabs(a - b) < 10.0) b = a + 15.0;
            const std::string name = "S" + std::to_string(i);
            scenario->AddStream(name.c_str(), 0);
            CPIHeatIntegrationStream* s = scenario->FindStream(name.c_str());
            s->SetValue("Temperature", a, 0);
            s->SetValue("Temperature", b, 1);
            s->SetValue("HeatCapacityFlowrate", cp(rng), 0);
            s->SetValue("HTCoeff", h(rng), 0);
        }
        // Utilities that reach every process temperature: fired heat above, cooling water below.
        scenario->AddStream("Fired Heat (1000)", 1);
        scenario->AddStream("Cooling Water", 1);
        scenario->ResumeCalculations(true);
    }
    std::unique_ptr<CPIScenario> scenario;
};

class TargetsOverDTmin : public ::testing::TestWithParam<unsigned> {};

TEST_P(TargetsOverDTmin, UtilitiesNeverFallAndAreaNeverRises) {
    RandomSite site(GetParam());
    CPIScenario& s = *site.scenario;
    double lastHot = -1.0, lastCold = -1.0, lastArea = 1e300;
    for (double dTmin = 4.0; dTmin <= 24.0; dTmin += 4.0) {
        s.SetDTmin(dTmin);
        const double hot = s.GetUtilityTarget(0), cold = s.GetUtilityTarget(1), area = s.GetAreaTarget(0);
        EXPECT_GE(hot, lastHot - 1e-6) << "DTmin " << dTmin;
        EXPECT_GE(cold, lastCold - 1e-6) << "DTmin " << dTmin;
        // The two utility targets move together: the heat balance of the process is fixed.
        if (lastHot >= 0.0) {
            EXPECT_NEAR(hot - lastHot, cold - lastCold, 1e-6) << "DTmin " << dTmin;
        }
        if (area > 0.0) {
            EXPECT_LE(area, lastArea * (1.0 + 1e-9)) << "DTmin " << dTmin;
            lastArea = area;
        }
        lastHot = hot;
        lastCold = cold;
    }
    EXPECT_LT(lastArea, 1e300) << "the area target was computed at least once";
}

INSTANTIATE_TEST_SUITE_P(Seeds, TargetsOverDTmin, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

}  // namespace
