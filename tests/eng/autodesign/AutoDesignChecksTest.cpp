// The data checks of an automatic design: each message key and the edges of its condition.
#include "tests/eng/autodesign/AutoDesignTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace autodesign_test;

namespace {

struct CheckCase {
    const char* what;
    std::function<void(AutoDesignProject&)> change;
    const char* key;  // null: the checks pass and the LP runs
    bool noInfo = false;
};
void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.what << (c.key ? std::string(": refused with ") + c.key : std::string(": the checks pass"));
}

class AutoDesignChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(AutoDesignChecks, GivesItsKey) {
    const CheckCase& c = GetParam();
    AutoDesignProject p;
    c.change(p);
    AdvancedSuperTarget run(*p.scenario);
    run.ToggleFlag();
    DefaultManager& m = p.Manager();
    const int result = run.Run(p.Dictionary(), nullptr, m.GetEconomicDataPointer(),
                               c.noInfo ? nullptr : m.GetEconomicInfoPointer(), p.scenario->GetMatchwiseStreamData(),
                               10.0, nullptr, 1);
    if (c.key) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(run.message, c.key);
    } else {
        EXPECT_EQ(result, 1) << run.message;
        EXPECT_EQ(run.GetMessageKey(), nullptr);
    }
}

void Worked(AutoDesignProject& p) { p.WorkedProblem(); }

INSTANTIATE_TEST_SUITE_P(
    Keys, AutoDesignChecks,
    ::testing::Values(
        CheckCase{"no stream", [](AutoDesignProject&) {}, "MissingStreamInformation"},
        // C ends at 200: a hot utility at 204 clears it by exactly 4 K, one at 203.99 does not.
        CheckCase{"hot utility 4.0 above",
                  [](AutoDesignProject& p) {
                      p.Process("H", 180, 80, 1);
                      p.Process("C", 100, 200, 1);
                      p.Utility("HU", 204, 203);
                      p.Utility("CU", 20, 30);
                  },
                  nullptr},
        CheckCase{"hot utility 3.99 above",
                  [](AutoDesignProject& p) {
                      p.Process("H", 180, 80, 1);
                      p.Process("C", 100, 200, 1);
                      p.Utility("HU", 203.99, 202.99);
                      p.Utility("CU", 20, 30);
                  },
                  "NotHotEnoughHotUtility"},
        // H ends at 80: a cold utility from 76 is 4 K below it, one from 77 only 3.
        CheckCase{"cold utility 4.0 below",
                  [](AutoDesignProject& p) {
                      p.Process("H", 180, 80, 1);
                      p.Process("C", 100, 200, 1);
                      p.Utility("HU", 250, 249);
                      p.Utility("CU", 76, 77);
                  },
                  nullptr},
        CheckCase{"cold utility 3 below",
                  [](AutoDesignProject& p) {
                      p.Process("H", 180, 80, 1);
                      p.Process("C", 100, 200, 1);
                      p.Utility("HU", 250, 249);
                      p.Utility("CU", 77, 78);
                  },
                  "NotColdEnoughColdUtility"},
        CheckCase{"segment 0.009 wide",
                  [](AutoDesignProject& p) {
                      p.WorkedProblem();
                      p.Process("T", 150.0, 149.991, 1000.0);
                  },
                  "MinimumSegStreamTempDiff T"},
        CheckCase{"segment 0.01 wide",
                  [](AutoDesignProject& p) {
                      p.WorkedProblem();
                      p.Process("T", 150.0, 149.99, 1000.0);
                  },
                  nullptr},
        CheckCase{"area exponent 1e-8",
                  [](AutoDesignProject& p) {
                      p.WorkedProblem();
                      p.scenario->SetEconomicData(EDT_AreaExponent, 1e-8, "DEFAULT");
                  },
                  nullptr},
        CheckCase{"area exponent 0",
                  [](AutoDesignProject& p) {
                      p.WorkedProblem();
                      p.scenario->SetEconomicData(EDT_AreaExponent, 0.0, "DEFAULT");
                  },
                  "MissingAreaExponent Default"},
        CheckCase{"plant life 0",
                  [](AutoDesignProject& p) {
                      p.WorkedProblem();
                      p.scenario->SetEconomicData(EDT_PlantLife, 0.0, "DEFAULT");
                  },
                  "MissingPlantLife"},
        // Without economic info the plant life reads 0, but the missing info is what is said.
        CheckCase{"no economic info", Worked, "MissingEconomicInformation", true},
        CheckCase{"cost model without area cost",
                  [](AutoDesignProject& p) {
                      p.WorkedProblem();
                      p.scenario->SetEconomicData(EDT_AreaCostCoefficient, 0.0, "DEFAULT");
                  },
                  "IncompleteEcoInfo DEFAULT"}),
    [](const ::testing::TestParamInfo<CheckCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

// Of two adequate hot utilities the cheaper is chosen; at equal prices the first in run order.
TEST(AutoDesignUtilityChoice, CheapestAdequateUtilityFirst) {
    struct Case {
        double costA, costB;
        const char* chosen;
    };
    for (Case c : {Case{0.02, 0.01, "HB"}, Case{0.01, 0.02, "HA"}, Case{0.01, 0.01, "HA"}}) {
        AutoDesignProject p;
        p.Process("H", 180, 80, 1);
        p.Process("C", 100, 200, 1);
        p.Utility("HA", 260, 259, 1.0, c.costA);  // hotter: first in run order
        p.Utility("HB", 250, 249, 1.0, c.costB);
        p.Utility("HX", 201, 200, 1.0, 0.0);  // the cheapest, but not hot enough
        p.Utility("CU", 20, 30);
        AdvancedSuperTarget run(*p.scenario);
        run.SelectStreams(p.Dictionary());
        IHeatIntegrationStream* u = run.FindAdequateUtility(0, 4.0);
        ASSERT_NE(u, nullptr);
        EXPECT_STREQ(u->GetName().c_str(), c.chosen);
    }
}

// Hot streams by falling supply, then cold streams by rising supply.
TEST(AutoDesignUtilityChoice, RunOrderOfTheStreams) {
    AutoDesignProject p;
    p.Process("C2", 80, 140, 4);
    p.Process("H2", 150, 30, 1.5);
    p.Utility("CU", 10, 20);
    p.Process("C1", 20, 135, 2);
    p.Process("H1", 170, 60, 3);
    p.Utility("HU", 250, 249);
    AdvancedSuperTarget run(*p.scenario);
    run.SelectStreams(p.Dictionary());
    std::vector<std::string> order;
    for (IHeatIntegrationStream* s : run.streams) order.emplace_back(s->GetName().c_str());
    EXPECT_EQ(order, (std::vector<std::string>{"HU", "H1", "H2", "CU", "C1", "C2"}));
    EXPECT_EQ(run.segments.size(), 6u);
    // The run's own segments (the plant's normal form, in name order: C1 C2 CU H1 H2 HU) sit 2 K
    // towards the other side.
    ASSERT_STREQ(run.segments[3]->StreamName().c_str(), "H1");
    EXPECT_DOUBLE_EQ(run.segments[3]->dShiftedInletTemperature, 168.0);
    ASSERT_STREQ(run.segments[0]->StreamName().c_str(), "C1");
    EXPECT_DOUBLE_EQ(run.segments[0]->dShiftedInletTemperature, 22.0);
}

}  // namespace
