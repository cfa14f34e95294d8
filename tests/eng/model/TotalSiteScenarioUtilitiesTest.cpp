// The scenarios of a total site: each keeps the utility loads of its own targets whatever order
// they calculate in, checked against a problem table worked here on seeded random streams; and a
// utility comes into a site scenario only as a site stream, by whatever road it is added.
#include "TotalSiteTestSupport.h"

#include "eng/model/ScenarioUtilityAdd.h"
#include "eng/targeting/TotalSiteManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace scenario_record_test;

namespace {

struct ProcessStream {
    double supply, target, cp;
};

// Minimum hot and cold utility of process streams at a DTmin, by the problem table: hot streams
// shifted down and cold ones up by half of it, the surplus of each interval cascaded from the top.
std::pair<double, double> problemTable(const std::vector<ProcessStream>& streams, double dTmin) {
    std::vector<double> bounds;
    auto shifted = [&](const ProcessStream& s, double t) { return s.supply > s.target ? t - dTmin / 2 : t + dTmin / 2; };
    for (const ProcessStream& s : streams) {
        bounds.push_back(shifted(s, s.supply));
        bounds.push_back(shifted(s, s.target));
    }
    std::sort(bounds.rbegin(), bounds.rend());
    double cascade = 0.0, lowest = 0.0, net = 0.0;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const double top = bounds[i], bottom = bounds[i + 1];
        double surplus = 0.0;
        for (const ProcessStream& s : streams) {
            const double a = shifted(s, s.supply), b = shifted(s, s.target);
            const double overlap = std::max(0.0, std::min(top, std::max(a, b)) - std::max(bottom, std::min(a, b)));
            surplus += (s.supply > s.target ? 1.0 : -1.0) * s.cp * overlap;
        }
        cascade += surplus;
        net += surplus;
        lowest = std::min(lowest, cascade);
    }
    const double hot = -lowest;
    return {hot, hot + net};
}

double loadOf(CPIScenario& scenario, const char* utility) {
    CPIHeatIntegrationStream* stream = scenario.FindStream(utility);
    return stream ? stream->GetHeatLoad(0) : -1.0;
}

// Three scenarios of one site, each with its own random process streams and the two site
// utilities. Recalculated one after another in random orders, every scenario still shows on
// HP Steam and Cooling Water the minimum utilities of its own streams.
TEST(SiteScenarioLoads, EachScenarioKeepsItsOwnLoadsWhateverOrderItCalculatesIn) {
    std::mt19937 random(109);
    std::uniform_real_distribution<double> temperature(45.0, 190.0), cp(0.5, 4.0);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        Site s;
        ASSERT_EQ(s.site.AddStream("HP Steam"), 1);
        ASSERT_EQ(s.site.AddStream("Cooling Water"), 1);
        std::map<std::string, std::vector<ProcessStream>> tables;
        for (const char* name : {"A", "B", "C"}) {
            ASSERT_EQ(s.site.AddScenario(name), 1);
            CPIScenario& scenario = *s.Scenario(name);
            std::vector<ProcessStream>& table = tables[name];
            for (int k = 0; k < 4; ++k) {
                double a = temperature(random), b = temperature(random);
                if (std::abs(a - b) < 5.0) b = a + 10.0;
                const bool hot = k % 2 == 0;
                table.push_back({hot ? std::max(a, b) : std::min(a, b), hot ? std::min(a, b) : std::max(a, b), cp(random)});
                const ProcessStream& p = table.back();
                ASSERT_NE(AddStream(scenario, (std::string(name) + std::to_string(k)).c_str(), 0, {{p.supply, p.target, p.cp}}, 0.2),
                          nullptr);
            }
        }
        std::vector<std::string> order = {"A", "B", "C", "A", "C", "B"};
        std::shuffle(order.begin(), order.end(), random);
        for (const std::string& last : order) {
            CPIScenario& recalculated = *s.Scenario(last.c_str());
            recalculated.SetDTmin(11.0);
            recalculated.SetDTmin(10.0);
            for (const auto& [name, table] : tables) {
                const auto [hot, cold] = problemTable(table, 10.0);
                CPIScenario& scenario = *s.Scenario(name.c_str());
                EXPECT_NEAR(loadOf(scenario, "HP Steam"), hot, 1e-6) << name << " after " << last;
                EXPECT_NEAR(loadOf(scenario, "Cooling Water"), cold, 1e-6) << name << " after " << last;
                EXPECT_NEAR(scenario.GetUtilityTarget(0), hot, 1e-6) << name;
            }
        }
    }
}

// A utility of the scenario's own is refused, whether typed or added by an engine road; an
// engine road that may add to the site (an extraction) adds a site utility to every scenario;
// a process stream made a utility gets its kind back. What the session holds is what the site's
// record gives back.
TEST(SiteScenarioUtilities, AUtilityComesInOnlyAsASiteStream) {
    Site s;
    ASSERT_EQ(s.site.AddStream("HP Steam"), 1);
    ASSERT_EQ(s.site.AddScenario("A"), 1);
    ASSERT_EQ(s.site.AddScenario("B"), 1);
    CPIScenario& a = *s.Scenario("A");
    AddFourStreams(a);  // its own HP Steam and Cooling Water are refused
    scenario_test::RecordingReceiver view;
    a.AddNotificationReceiver(&view);

    EXPECT_EQ(a.AddStream("MP Steam", 1), 0);
    EXPECT_TRUE(view.Saw(60, CPIScenario::kSiteUtilityOnlyMessage));
    EXPECT_EQ(a.FindStream("MP Steam"), nullptr);
    EXPECT_EQ(a.GetNumberOfUtilityStreams(), 1);

    // Through the site: a site utility joins both scenarios; a name the site has no utility of
    // joins none.
    EXPECT_EQ(AddUtilityStream(a, "Cooling Water"), 1);
    EXPECT_EQ(AddUtilityStream(a, "Unobtainium"), 0);
    for (const char* name : {"A", "B"}) {
        CPIScenario& scenario = *s.Scenario(name);
        EXPECT_EQ(scenario.GetNumberOfUtilityStreams(), 2) << name;
        ASSERT_NE(scenario.FindStream("Cooling Water"), nullptr) << name;
        EXPECT_EQ(scenario.SiteStreamOf(*scenario.FindStream("Cooling Water")), s.Stream("Cooling Water")) << name;
    }
    EXPECT_DOUBLE_EQ(loadOf(a, "HP Steam"), 20.0);
    EXPECT_DOUBLE_EQ(loadOf(a, "Cooling Water"), 60.0);

    CPIHeatIntegrationStream* h1 = a.FindStream("H1");
    ASSERT_NE(h1, nullptr);
    view.changes.clear();
    h1->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 1);
    EXPECT_EQ(h1->GetStreamKind(), CPIHeatIntegrationStream::KindProcess);
    EXPECT_TRUE(view.Saw(60, CPIScenario::kSiteUtilityOnlyMessage));
    EXPECT_EQ(a.GetNumberOfProcessStreams(), 4);
    EXPECT_EQ(a.GetNumberOfUtilityStreams(), 2);
    a.RemoveNotificationReceiver(&view);

    Site again;
    ASSERT_TRUE(RecallSite(again.site, StoreSite(s.site)));
    CPIScenario& recalled = *again.Scenario("A");
    EXPECT_EQ(recalled.GetNumberOfProcessStreams(), 4);
    EXPECT_EQ(recalled.GetNumberOfUtilityStreams(), 2);
    EXPECT_DOUBLE_EQ(loadOf(recalled, "HP Steam"), 20.0);
    EXPECT_DOUBLE_EQ(loadOf(recalled, "Cooling Water"), 60.0);
}

}  // namespace
