// The module's rooms depend one way: a header or source includes only what lies below it. The
// rules are checked over the source tree itself, so that a new include against the grain fails
// here instead of waiting for a reader to trip over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
    std::string name;                   // what the rule keeps true
    std::vector<std::string> rooms;     // directories (from the source root) it applies to
    std::vector<std::string> forbidden; // include prefixes none of their files may use
};

void PrintTo(const LayerRule& rule, std::ostream* out) { *out << rule.name; }

fs::path SourceRoot() { return fs::path(KESTRIN_TEST_DATA).parent_path().parent_path(); }

// "file:line: include" for every include line of the rooms' sources that starts a forbidden path.
std::vector<std::string> Offences(const LayerRule& rule) {
    std::vector<std::string> found;
    const fs::path root = SourceRoot();
    for (const std::string& room : rule.rooms) {
        if (!fs::exists(root / room)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / room)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                if (line.rfind("#include \"", 0) != 0) continue;
                const std::string path = line.substr(10);
                for (const std::string& prefix : rule.forbidden)
                    if (path.rfind(prefix, 0) == 0)
                        found.push_back(fs::relative(entry.path(), root).string() + ":" + std::to_string(number) +
                                        ": " + line);
            }
        }
    }
    return found;
}

class Layers : public testing::TestWithParam<LayerRule> {};

TEST_P(Layers, NoIncludeAgainstTheGrain) {
    ASSERT_TRUE(fs::exists(SourceRoot() / "eng" / "core")) << SourceRoot();
    const std::vector<std::string> found = Offences(GetParam());
    std::string list;
    for (const std::string& f : found) list += "\n  " + f;
    EXPECT_TRUE(found.empty()) << found.size() << " include(s) against the grain:" << list;
}

INSTANTIATE_TEST_SUITE_P(
    Module, Layers,
    testing::Values(
        LayerRule{"EngineAndPlatformNeverReachTheViewsOrTheCompositionRoot",
                  {"eng", "platform"},
                  {"views/", "module/"}},
        LayerRule{"ViewsNeverReachTheCompositionRoot", {"views"}, {"module/"}},
        LayerRule{"CoreIncludesNothingOfTheModuleAboveIt",
                  {"eng/core"},
                  {"eng/model/", "eng/targeting/", "eng/design/", "eng/retrofit/", "eng/autodesign/",
                   "eng/extraction/", "views/", "module/"}},
        LayerRule{"TargetingReadsScenariosAndStreamsThroughInterfaces",
                  {"eng/targeting"},
                  {"eng/model/Scenario.h", "eng/model/HeatIntegrationStream.h", "eng/model/StreamSegment.h"}}),
    [](const testing::TestParamInfo<LayerRule>& info) { return info.param.name; });

}  // namespace
