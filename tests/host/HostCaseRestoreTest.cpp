// A case opened and saved again with nothing changed is stored as it was read: the operated
// example locked in its design viewer, and the same network unlocked. The placed utility loads
// that `targets` reports of a locked case are the scenario's, not the network's operating loads.
#include "HostProcess.h"
#include "OperatedCase.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Opens a case in its design viewer, changes nothing, and saves it to `to`.
void Restore(const std::string& from, const std::string& to) {
    ScratchFile script("restore", "nothing.txt", "");
    const HostRun run = RunHost("view " + from + " --open design --script " + script.path + " --save " + to);
    ASSERT_EQ(0, run.exitCode) << run.out;
}

// Locked in the session, its utilities carry the network's operating loads (heater 80 kW, coolers
// 120 kW) while the targets place 20 and 60 kW; the case stores the placed loads, the interval
// data of the restated streams and the statuses of the network as it stands, so reading it and
// storing it again writes the same bytes, twice over.
TEST(HostCaseRestore, ALockedCaseSavedAgainUnchangedIsTheSameBytes) {
    OperatedCase c;
    ScratchFile locked("restore", "locked.case", "", false), again("restore", "again.case", "", false),
        third("restore", "third.case", "", false);
    const HostRun run = c.View("cmd LockOperation\n", " --save " + locked.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    Restore(locked.path, again.path);
    Restore(again.path, third.path);
    const std::string first = FileContents(locked.path);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == FileContents(again.path)) << "the re-stored locked case differs";
    EXPECT_TRUE(FileContents(again.path) == FileContents(third.path)) << "the second re-store differs";
    for (const std::string& path : {locked.path, again.path}) {
        const HostRun targets = RunHost("targets " + path);
        ASSERT_EQ(0, targets.exitCode) << targets.out;
        EXPECT_TRUE(has(targets.out, "Utility loads\n  HP Steam  20.000 kW\n  Cooling Water  60.000 kW\n")) << targets.out;
    }
}

// `design --save` writes the case without the viewers' windows: the viewer's save of it holds
// the same case record, its windows after it, and saving that again changes nothing.
TEST(HostCaseRestore, AnUnlockedCaseSavedAgainKeepsItsRecord) {
    OperatedCase c;
    ScratchFile again("restore", "unlocked-again.case", "", false), third("restore", "unlocked-third.case", "", false);
    Restore(c.saved.path, again.path);
    Restore(again.path, third.path);
    const std::string first = FileContents(c.saved.path), second = FileContents(again.path);
    ASSERT_GT(first.size(), 4u);
    ASSERT_GT(second.size(), first.size());
    // The record without the check sum that ends the file.
    EXPECT_TRUE(first.substr(0, first.size() - 4) == second.substr(0, first.size() - 4)) << "the case record differs";
    EXPECT_TRUE(second == FileContents(third.path)) << "the second re-store differs";
}

// A case saved in the session that made it, opened and saved again with nothing changed, is the
// same bytes. A site whose automatic design's network became its retrofit's base: the grid's
// preset keeps the order a reopen arranges its streams in. The four-stream table with H1 and C1
// forbidden to match, cloned without C1, or with the forbidden matches unticked: H1's copy holds
// no forbidden match and is a plain process stream, as the reopened case reads it.
struct MadeInASession {
    const char* name;
    std::string made;   // a host run that makes the case the session opens, "" for none
    std::string input;  // what `view` opens (MADE stands for the case made)
    const char* open;   // the view both sessions open on (`--open`), or ""
    std::string script;
};
[[maybe_unused]] void PrintTo(const MadeInASession& m, std::ostream* os) { *os << m.name; }

class HostCaseSavedAgain : public ::testing::TestWithParam<MadeInASession> {};

TEST_P(HostCaseSavedAgain, IsTheSameBytes) {
    const MadeInASession& m = GetParam();
    const std::string stem = std::string("again-") + m.name;
    ScratchFile input("restore", stem + "-input.case", "", false), made("restore", stem + ".case", "", false),
        again("restore", stem + "-again.case", "", false), script("restore", stem + ".txt", m.script),
        nothing("restore", stem + "-nothing.txt", "");
    std::string open = m.input;
    if (!m.made.empty()) {
        ASSERT_EQ(0, RunHost(m.made + " --save " + input.path).exitCode);
        open.replace(open.find("MADE"), 4, input.path);
    }
    const HostRun run = RunHost("view " + open + m.open + " --script " + script.path + " --save " + made.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    ASSERT_EQ(0, RunHost("view " + made.path + m.open + " --script " + nothing.path + " --save " + again.path).exitCode);
    const std::string first = FileContents(made.path);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == FileContents(again.path)) << "the case saved again differs";
}

const std::string kDesigned =
    "design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
const std::string kCloneOfBase = "attach Viewable.299 base\nopen HIDesignViewerProject.200.0\ncmd CloneHI\n"
                                 "open CloneHIScenarioTool.298\nsettext ExtraData.100 part\n";

INSTANTIATE_TEST_SUITE_P(
    Sessions, HostCaseSavedAgain,
    ::testing::Values(MadeInASession{"SiteRetrofit", "", "--new hi-total-site Works", "",
                                     kFourStreamSite + "cmd AutomaticHENDesign\ncmd SelectRetrofitNow\nset Enum.222 1\n"
                                                       "set Index.217 1\ncmd RetrofitNow\n"},
                      // A film coefficient, a fouling or a default coefficient given to a stream leaves
                      // its loads as they were.
                      MadeInASession{"DefaultCoefficientChosen", kDesigned, "MADE", "", "set RowPos.105 0\nset Enum.511 1\n"},
                      MadeInASession{"FilmCoefficientTyped", kDesigned, "MADE", "", "set HeatTransferCoeff.413.0 0.5\n"},
                      MadeInASession{"FoulingTyped", kDesigned, "MADE", "", "set Fouling.412.0 0.2\n"},
                      MadeInASession{"FoulingEmptied", kDesigned, "MADE", "",
                                     "set Fouling.412.0 0.2\nset Fouling.412.0 empty\n"},
                      MadeInASession{"CloneWithoutAStreamOfAForbiddenMatch",
                                     "targets " + ExamplePath("four-streams.csv") + " --forbid H1:C1", "MADE", " --open case",
                                     kCloneOfBase + "cmd ObjectSelectionToggledOnDataEnum 1002\ncmd clone\n"},
                      MadeInASession{"CloneWithTheForbiddenMatchesUnticked",
                                     "targets " + ExamplePath("four-streams.csv") + " --forbid H1:C1", "MADE", " --open case",
                                     kCloneOfBase + "cmd ObjectSelectionToggledOnDataEnum 3\ncmd clone\n"}),
    [](const ::testing::TestParamInfo<MadeInASession>& info) { return std::string(info.param.name); });

}  // namespace
