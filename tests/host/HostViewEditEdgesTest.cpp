// Every number a user can type into the scenario and design viewers, typed at the edges of what
// a case holds and beyond them, and saved: the form either refuses it with its own message (and
// nothing is written), or the case saved reopens. A value the form takes but the save then
// refuses as a case that would not reopen is a form that does not know its range.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The addresses of the editable numbers of a `--form --json` listing, with ".0" for a column
// (its first row).
std::vector<std::string> editableNumbers(const std::string& form) {
    std::vector<std::string> out;
    const std::string start = "{\"address\":\"";
    for (std::size_t at = form.find(start); at != std::string::npos;) {
        const std::size_t next = form.find(start, at + 1);
        const std::string entry = form.substr(at, next == std::string::npos ? std::string::npos : next - at);
        const std::size_t end = entry.find('"', start.size());
        if (has(entry, "\"hook\":\"value\"") && has(entry, "\"editable\":true"))
            out.push_back(entry.substr(start.size(), end - start.size()) + (has(entry, "\"values\":[") ? ".0" : ""));
        at = next;
    }
    return out;
}

struct Viewer {
    const char* name;
    const char* open;
};
[[maybe_unused]] void PrintTo(const Viewer& v, std::ostream* os) { *os << v.name; }

class HostViewEditEdges : public ::testing::TestWithParam<Viewer> {
protected:
    void SetUp() override {
        const HostRun run = RunHost("design " + ExamplePath("four-streams.csv") + " " +
                                    ExamplePath("four-streams-network.csv") + " --save " + designed.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
    }
    ScratchFile designed{"edges", std::string("designed-") + GetParam().name + ".case", "", false};
};

TEST_P(HostViewEditEdges, EveryAcceptedValueSavesACaseThatReopens) {
    const std::string open = std::string(" --open ") + GetParam().open;
    const HostRun form = RunHost("view " + designed.path + open + " --form --json");
    ASSERT_EQ(0, form.exitCode) << form.out;
    const std::vector<std::string> addresses = editableNumbers(form.out);
    ASSERT_GT(addresses.size(), 50u) << form.out;
    // The temperature range's ends, zero, the smallest values a case holds and past every end.
    const char* const values[] = {"-1e308", "-273.15", "0", "0.001", "5000", "1e308"};
    int accepted = 0;
    for (const std::string& address : addresses)
        for (const char* value : values) {
            const std::string edit = "set " + address + " " + value;
            ScratchFile script("edges", std::string(GetParam().name) + "-edit.txt", edit + "\n");
            ScratchFile saved("edges", std::string(GetParam().name) + "-saved.case", "", false);
            HostRun run = RunHost("view " + designed.path + open + " --script " + script.path + " --save " + saved.path);
            if (run.exitCode != 0) {
                EXPECT_EQ(1, run.exitCode) << edit << "\n" << run.out;
                EXPECT_FALSE(has(run.out, "would not reopen")) << edit << ": the form took it\n" << run.out;
                EXPECT_FALSE(FileExists(saved.path)) << edit;
                continue;
            }
            ++accepted;
            run = RunHost("view " + saved.path + " --open design");
            EXPECT_EQ(0, run.exitCode) << edit << ": the saved case does not reopen\n" << run.out;
        }
    EXPECT_GT(accepted, 0);
}

INSTANTIATE_TEST_SUITE_P(Viewers, HostViewEditEdges,
                         ::testing::Values(Viewer{"scenarioViewer", "scenario"}, Viewer{"designViewer", "design"}),
                         [](const ::testing::TestParamInfo<Viewer>& info) { return std::string(info.param.name); });

}  // namespace
