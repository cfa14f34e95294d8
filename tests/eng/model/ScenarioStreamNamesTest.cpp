// A scenario of many streams finds each one by its name after deletions and renamings in any
// order: the names that remain are found, each still naming its own stream, and the names that
// went are free again.
#include "ScenarioTestDoubles.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

using namespace scenario_test;

namespace {

struct NameCase {
    const char* name;
    int streams;
    int deleteEvery;     // deletes stream i when i % deleteEvery == 0 (1 deletes all)
    bool deleteBackwards;
    int renameEvery;     // then renames every renameEvery-th remaining stream ("R" + old name)
};

class ScenarioStreamNames : public ::testing::TestWithParam<NameCase> {};

[[maybe_unused]] void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ScenarioStreamNames, RemainingStreamsAreFoundAndGoneNamesAreFree) {
    const NameCase& c = GetParam();
    Fixture f;
    IHeatIntegrationScenario& scenario = *f.scenario;
    std::map<std::string, IHeatIntegrationStream*> expected;
    for (int i = 1; i <= c.streams; ++i) {
        const std::string name = "S" + std::to_string(i);
        ASSERT_EQ(1, scenario.AddStream(name.c_str(), 0));
        IHeatIntegrationStream* s = nullptr;
        ASSERT_TRUE(scenario.GetStream(name.c_str(), s) && s);
        expected[name] = s;
    }
    std::vector<std::string> gone;
    for (int k = 1; k <= c.streams; ++k) {
        const int i = c.deleteBackwards ? c.streams + 1 - k : k;
        if (i % c.deleteEvery != 0) continue;
        const std::string name = "S" + std::to_string(i);
        ASSERT_EQ(1, scenario.DeleteStream(name.c_str())) << name;
        expected.erase(name);
        gone.push_back(name);
    }
    int n = 0;
    for (auto it = expected.begin(); it != expected.end();) {
        if (++n % c.renameEvery != 0) {
            ++it;
            continue;
        }
        const std::string newName = "R" + it->first;
        ASSERT_EQ(1, scenario.RenameStream(it->first.c_str(), newName.c_str())) << it->first;
        gone.push_back(it->first);
        IHeatIntegrationStream* s = it->second;
        it = expected.erase(it);
        expected.emplace(newName, s);
    }
    for (const auto& [name, stream] : expected) {
        IHeatIntegrationStream* s = nullptr;
        EXPECT_TRUE(scenario.GetStream(name.c_str(), s)) << name;
        EXPECT_EQ(stream, s) << name;
        EXPECT_FALSE(scenario.IsStreamNameFree(name.c_str())) << name;
    }
    for (const std::string& name : gone) {
        IHeatIntegrationStream* s = nullptr;
        EXPECT_FALSE(scenario.GetStream(name.c_str(), s) && s) << name;
        EXPECT_TRUE(scenario.IsStreamNameFree(name.c_str())) << name;
    }
    // A name that went can be taken again by a new stream.
    if (!gone.empty()) {
        EXPECT_EQ(1, scenario.AddStream(gone.front().c_str(), 0));
        IHeatIntegrationStream* s = nullptr;
        EXPECT_TRUE(scenario.GetStream(gone.front().c_str(), s) && s);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ScenarioStreamNames,
    ::testing::Values(NameCase{"EveryThirdDeletedEveryFifthRenamed", 600, 3, false, 5},
                      NameCase{"EveryOtherDeletedFromTheEnd", 600, 2, true, 7},
                      NameCase{"AllDeleted", 200, 1, false, 1},
                      NameCase{"NoneDeletedAllRenamed", 300, 1000, false, 1}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

}  // namespace
