// The clone tool: its registration as type 6672, the selection state machine the dialog drives
// (streams complete, copy or append mode, entries that do not apply), and the copy it hands to
// the project.
#include "ScenarioTestDoubles.h"

#include "brasko/EngineeringManager.h"
#include "eng/model/CloneEngine.h"
#include "eng/model/Project.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace scenario_test;

namespace {

constexpr int NA = CloneEngine::NotApplying;

// Project P with scenario "S1" (given numbers of process streams, utilities and designs) and
// an existing scenario "Old"; a clone tool for S1 bound to the project.
struct CloneFixture {
    explicit CloneFixture(int process = 2, int utilities = 1, int designCount = 2) : project(nullptr, "P") {
        ScenarioServices services;
        services.designs = designs;
        project.SetScenarioServices(services);
        project.AddScenario("S1");
        project.AddScenario("Old");
        IHeatIntegrationScenario* s = nullptr;
        project.GetScenario("S1", s);
        source = dynamic_cast<CPIScenario*>(s);
        for (int i = 0; i < process; ++i) source->AddStream("P" + std::to_string(i), 0);
        for (int i = 0; i < utilities; ++i) source->AddStream("U" + std::to_string(i), 1);
        for (int i = 0; i < designCount; ++i) source->AddDesign("D" + std::to_string(i));
        engine.SetProject(&project);
    }
    // Flag 0 of entries 0 to 7.
    std::vector<int> Entries() const {
        std::vector<int> flags;
        for (int e = 0; e < CloneSelection::kNumberOfEntries; ++e) flags.push_back(engine.GetCloneSelections(e, 0));
        return flags;
    }
    std::vector<int> Items(int entry, int n) const {
        std::vector<int> flags;
        for (int i = 1; i <= n; ++i) flags.push_back(engine.GetSelection(entry, i));
        return flags;
    }

    std::shared_ptr<FakeDesignFactory> designs = std::make_shared<FakeDesignFactory>();
    CPIProject project;
    CPIScenario* source = nullptr;
    CloneEngine engine{"S1", nullptr};
};

}  // namespace

TEST(CloneEngine, BindingToTheProjectSelectsEveryStreamAndLeavesTheRestNotApplying) {
    CloneFixture f;
    EXPECT_STREQ(f.engine.GetClonableScenarioName(), "S1");
    EXPECT_EQ(f.engine.GetMyClonableScenario(), static_cast<IHeatIntegrationScenario*>(f.source));
    EXPECT_EQ(f.engine.GetNumberOfExistingScenarios(), 2);
    EXPECT_STREQ(f.engine.GetExistingScenarioName(1), "Old");
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 1, NA, NA, NA, 0}));
    EXPECT_EQ(f.Items(1, 2), (std::vector<int>{1, 1}));
    EXPECT_EQ(f.Items(6, 2), (std::vector<int>{NA, NA}));
    EXPECT_TRUE(f.engine.AreStreamsComplete());
    EXPECT_EQ(f.engine.GetCloneName(), nullptr);
}

namespace {

struct CloneNameCase {
    const char* name;
    int append;
    int result;
    bool kept;
    std::vector<int> entries;  // flag 0 of entries 0..7 afterwards
};

// Listings show the case by the name typed and the mode, not by its bytes.
void PrintTo(const CloneNameCase& c, std::ostream* os) {
    *os << "\"" << c.name << "\"" << (c.append ? " in append mode" : " in copy mode") << ": result " << c.result;
}

}  // namespace

class CloneName : public ::testing::TestWithParam<CloneNameCase> {};

TEST_P(CloneName, SuitsTheModeAndDecidesWhatApplies) {
    CloneFixture f;
    const CloneNameCase& c = GetParam();
    EXPECT_EQ(f.engine.SetCloneName(c.name, c.append), c.result);
    if (c.kept) {
        EXPECT_STREQ(f.engine.GetCloneName(), c.name);
    } else {
        EXPECT_EQ(f.engine.GetCloneName(), nullptr);
        EXPECT_EQ(f.engine.Clone(), 0);
    }
    EXPECT_EQ(f.Entries(), c.entries);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CloneName,
    ::testing::Values(CloneNameCase{"New", 0, 1, true, {0, 2, 1, 1, 1, 1, 2, 1}},
                      CloneNameCase{"New", 1, 0, false, {0, 2, 1, 1, 1, 1, 2, 1}},
                      CloneNameCase{"Old", 1, 1, true, {0, 2, 1, 1, NA, NA, NA, 0}},
                      CloneNameCase{"Old", 0, 0, false, {0, 2, 1, 1, NA, NA, NA, 0}},
                      CloneNameCase{"", 0, 1, false, {0, 2, 1, 1, NA, NA, NA, 0}}));

TEST(CloneEngine, ACopyTakesTheSelectedStreamsAndDesigns) {
    CloneFixture f;
    ASSERT_EQ(f.engine.SetCloneName("Copy", 0), 1);
    f.engine.SetSelection(6, 1);  // leave out D0
    EXPECT_EQ(f.engine.GetCloneSelections(6, 0), 0);
    ASSERT_EQ(f.engine.Clone(), 1);
    IHeatIntegrationScenario* copy = nullptr;
    ASSERT_EQ(f.project.GetScenario("Copy", copy), 1);
    EXPECT_EQ(copy->GetNumberOfProcessStreams(), 2);
    EXPECT_EQ(copy->GetNumberOfUtilityStreams(), 1);
    IHeatIntegrationStream* stream = nullptr;
    EXPECT_TRUE(copy->GetStream(CPString("P0"), stream)) << "a copy keeps the stream names";
    IHENDesign* design = nullptr;
    EXPECT_FALSE(copy->GetDesign(CPString("D0"), design));
    EXPECT_TRUE(copy->GetDesign(CPString("D1"), design));
}

TEST(CloneEngine, AnAppendRenamesTheStreamsAndCopiesNoDesigns) {
    CloneFixture f;
    ASSERT_EQ(f.engine.SetCloneName("Old", 1), 1);
    ASSERT_EQ(f.engine.Clone(), 1);
    IHeatIntegrationScenario* old = nullptr;
    ASSERT_EQ(f.project.GetScenario("Old", old), 1);
    IHeatIntegrationStream* stream = nullptr;
    EXPECT_TRUE(old->GetStream(CPString("P1 from S1"), stream));
    EXPECT_EQ(old->GetNumberOfDesigns(), 0);
}

TEST(CloneEngine, DeselectingAStreamMakesLinksModelsAndDesignsNotApplyUntilItIsSelectedAgain) {
    CloneFixture f;
    ASSERT_EQ(f.engine.SetCloneName("New", 0), 1);
    f.engine.SetSelection(1, 2);
    EXPECT_FALSE(f.engine.AreStreamsComplete());
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 0, 1, 1, NA, NA, NA, 1}));
    EXPECT_EQ(f.Items(1, 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(f.Items(6, 2), (std::vector<int>{NA, NA}));
    EXPECT_EQ(f.engine.SubSelectionState(1), 0);

    // Selected again, the links and the cost models are ticked as they were before.
    f.engine.SetSelection(1, 2);
    EXPECT_TRUE(f.engine.AreStreamsComplete());
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 1, 1, 1, 2, 1}));
    EXPECT_EQ(f.Items(6, 2), (std::vector<int>{1, 1}));

    // The whole list off and on again.
    f.engine.SetSelection(2, 0);
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 0, 1, NA, NA, NA, 1}));
    f.engine.SetSelection(2, 0);
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 1, 1, 1, 2, 1}));
}

TEST(CloneEngine, LinksUntickedBeforeAStreamIsDeselectedStayUntickedWhenItComesBack) {
    CloneFixture f;
    ASSERT_EQ(f.engine.SetCloneName("New", 0), 1);
    f.engine.SetSelection(4, 0);  // the user unticks the stream links
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 1, 0, 1, 2, 1}));
    f.engine.SetSelection(1, 2);
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 0, 1, 1, NA, NA, NA, 1}));
    f.engine.SetSelection(1, 2);
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 1, 0, 1, 2, 1}));
    // The default manager unticked and ticked again gives the cost models back as well.
    f.engine.SetSelection(3, 0);
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 0, 0, NA, 2, 1}));
    f.engine.SetSelection(3, 0);
    EXPECT_EQ(f.Entries(), (std::vector<int>{0, 2, 1, 1, 0, 1, 2, 1}));
}

TEST(CloneEngine, AListLongerThanACountByteHoldsIsStillSelectedInFull) {
    CloneFixture f(300, 1, 0);
    EXPECT_EQ(f.engine.GetCloneSelections(1, 0), CloneEngine::MaxCount);
    EXPECT_EQ(f.engine.GetSelection(1, 300), 1);
    EXPECT_TRUE(f.engine.AreStreamsComplete());
    f.engine.SetSelection(1, 300);
    f.engine.SetSelection(1, 300);
    EXPECT_EQ(f.engine.GetCloneSelections(1, 0), CloneEngine::MaxCount);
    EXPECT_EQ(f.engine.SubSelectionState(1), 1);
}
