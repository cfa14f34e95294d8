// Scenario copies inside a total site: however made (a copy, an append onto a scenario of the
// site, a retrofit copy), the scenario belongs to the site as a new one does: the site manager,
// the site's own stream objects, no private utilities. Run under AddressSanitizer, a private
// utility left in a copy shows as a leak when the site goes.
#include "ScenarioRecordTestSupport.h"

#include "eng/model/TotalSite.h"
#include "eng/targeting/TotalSiteManager.h"

#include <gtest/gtest.h>

using namespace scenario_record_test;

namespace {

struct SiteWithBase {
    SiteWithBase() : site(nullptr, "Works") {
        site.SetScenarioServices(RecordServices(designs));
        EXPECT_EQ(site.AddStream("LP Steam"), 1);
        EXPECT_EQ(site.AddStream("Cooling Water"), 1);
        EXPECT_EQ(site.AddScenario("Base"), 1);
        base = Scenario("Base");
        base->SuspendCalculations();
        AddStream(*base, "H1", 0, {{170.0, 60.0, 3.0}}, 0.2);
        AddStream(*base, "C1", 0, {{20.0, 135.0, 2.0}}, 0.2);
        base->ResumeCalculations(true);
        base->AddDesign("Design 1");
    }
    CPIScenario* Scenario(const CPString& name) const {
        IHeatIntegrationScenario* s = nullptr;
        return site.GetScenario(name, s) ? dynamic_cast<CPIScenario*>(s) : nullptr;
    }
    IHeatIntegrationStream* SiteStream(const CPString& name) const {
        IHeatIntegrationStream* s = nullptr;
        site.GetStream(name, s);
        return s;
    }

    std::shared_ptr<RecordDesignFactory> designs = std::make_shared<RecordDesignFactory>();
    CPITotalSite site;
    CPIScenario* base = nullptr;
};

enum class Made { Copy, AppendOntoSiteScenario, RetrofitCopy };
void PrintTo(Made m, std::ostream* os) {
    *os << (m == Made::Copy           ? "a copy"
            : m == Made::RetrofitCopy ? "a retrofit copy"
                                      : "appended onto the site scenario");
}

class SiteScenarioCopy : public ::testing::TestWithParam<Made> {};

TEST_P(SiteScenarioCopy, BelongsToTheSiteAndHoldsItsOwnCopyOfEachSiteStream) {
    SiteWithBase s;
    CPIScenario* copy = nullptr;
    switch (GetParam()) {
    case Made::Copy:
        ASSERT_EQ(s.site.AddScenario("Copy", s.base, nullptr), 1);
        copy = s.Scenario("Copy");
        break;
    case Made::AppendOntoSiteScenario:
        ASSERT_EQ(s.site.AddScenario("Other"), 1);
        ASSERT_EQ(s.site.AddScenario("Other", s.base, nullptr), 1);
        copy = s.Scenario("Other");
        break;
    case Made::RetrofitCopy:
        ASSERT_EQ(s.site.AddScenario(s.base, "Design 1"), 1);
        copy = s.Scenario(s.site.GetScenarioName(1));
        break;
    }
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->IsTotalSiteScenario(), 1);
    DefaultManager* manager = nullptr;
    copy->GetSiteUtilityManager(manager);
    EXPECT_EQ(manager, &s.site.GetSiteManager());
    EXPECT_EQ(copy->GetNumberOfUtilityStreams(), 2);
    EXPECT_EQ(copy->GetNumberOfProcessStreams(), 2);
    for (const char* name : {"LP Steam", "Cooling Water"}) {
        IHeatIntegrationStream* held = nullptr;
        ASSERT_TRUE(copy->GetStream(name, held)) << name;
        EXPECT_EQ(copy->SiteStreamOf(*dynamic_cast<CPIHeatIntegrationStream*>(held)), s.SiteStream(name)) << name;
    }
    // The copy's own process streams are its own.
    IHeatIntegrationStream* h1 = nullptr;
    ASSERT_TRUE(copy->GetStream("H1", h1));
    EXPECT_NE(h1, s.base->FindStream("H1"));
    EXPECT_DOUBLE_EQ(copy->GetUtilityTarget(0), s.base->GetUtilityTarget(0));
    EXPECT_DOUBLE_EQ(copy->GetUtilityTarget(1), s.base->GetUtilityTarget(1));

    // Deleting the copy leaves the site streams to the site and its other scenarios.
    ASSERT_EQ(s.site.DeleteScenario(copy->GetName()), 1);
    IHeatIntegrationStream* still = nullptr;
    ASSERT_TRUE(s.base->GetStream("LP Steam", still));
    EXPECT_EQ(s.base->SiteStreamOf(*dynamic_cast<CPIHeatIntegrationStream*>(still)), s.SiteStream("LP Steam"));
    EXPECT_EQ(still->GetStreamKind(), CPIHeatIntegrationStream::KindUtility);
}

INSTANTIATE_TEST_SUITE_P(Ways, SiteScenarioCopy,
                         ::testing::Values(Made::Copy, Made::AppendOntoSiteScenario, Made::RetrofitCopy));

// A retrofit copy is made around a design of its source: around none, neither the site nor a
// project makes a scenario.
TEST(SiteScenarioCopy, ARetrofitCopyAroundNoDesignIsNotMade) {
    SiteWithBase s;
    const CPString name = s.site.CreateScenarioName(s.base->GetName());
    EXPECT_EQ(s.site.AddScenario(s.base, "Nope"), 0);
    IHeatIntegrationScenario* made = nullptr;
    EXPECT_FALSE(s.site.GetScenario(name, made) && made);

    RecordProject p;
    ASSERT_EQ(p.project.AddScenario("Plant"), 1);
    EXPECT_EQ(p.project.AddScenario(p.Scenario("Plant"), "Nope"), 0);
    EXPECT_EQ(p.project.GetNumberOfScenarios(), 1);
}

// A scenario from outside the site brings its process streams; its utilities are the site's when
// the site has them, and left behind when it has not.
TEST(SiteScenarioCopy, UtilitiesFromOutsideTheSiteAreNotCopiedPrivately) {
    SiteWithBase s;
    RecordProject outside;
    outside.project.AddScenario("Plant");
    CPIScenario& plant = *outside.Scenario("Plant");
    AddStream(plant, "H9", 0, {{150.0, 50.0, 1.0}}, 0.2);
    AddStream(plant, "LP Steam", 1, {});
    AddStream(plant, "HP Steam", 1, {});

    ASSERT_EQ(s.site.AddScenario("Other"), 1);
    CPIScenario* other = s.Scenario("Other");
    scenario_test::RecordingReceiver view;
    other->AddNotificationReceiver(&view);
    ASSERT_EQ(s.site.AddScenario("Other", &plant, nullptr), 1);
    other->RemoveNotificationReceiver(&view);

    // The utility the site lacks stays behind with a notice naming it, beside the work done: no
    // error, which the views would read as the append refused.
    EXPECT_TRUE(view.Saw(61, "ClonedUtilityNotOnSite\x1fOther\x1fHP Steam"));
    EXPECT_EQ(view.Count(60), 0);
    EXPECT_EQ(view.Count(30), 1);  // H9 only
    IHeatIntegrationStream* held = nullptr;
    EXPECT_FALSE(other->GetStream("HP Steam", held));
    ASSERT_TRUE(other->GetStream("LP Steam", held));
    EXPECT_EQ(other->SiteStreamOf(*dynamic_cast<CPIHeatIntegrationStream*>(held)), s.SiteStream("LP Steam"));
    EXPECT_TRUE(other->GetStream("H9", held));
}

}  // namespace
