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

// A site whose automatic design's network became its retrofit's base, saved in the session that
// made it: the grid's preset keeps the order a reopen arranges its streams in, so the case opened
// and saved again is the same bytes.
TEST(HostCaseRestore, ASiteRetrofitSavedInTheSessionThatMadeItIsTheSameBytesAgain) {
    ScratchFile made("restore", "siteretrofit.case", "", false), again("restore", "siteretrofit-again.case", "", false);
    ScratchFile script("restore", "siteretrofit.txt",
                       kFourStreamSite + "cmd AutomaticHENDesign\ncmd SelectRetrofitNow\nset Enum.222 1\n"
                                         "set Index.217 1\ncmd RetrofitNow\n");
    ASSERT_EQ(0, RunHost("view --new hi-total-site Works --script " + script.path + " --save " + made.path).exitCode);
    ScratchFile nothing("restore", "nothing-site.txt", "");
    ASSERT_EQ(0, RunHost("view " + made.path + " --script " + nothing.path + " --save " + again.path).exitCode);
    const std::string first = FileContents(made.path);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == FileContents(again.path)) << "the site's case saved again differs";
}

// A film coefficient, a fouling or a default coefficient given to a stream leaves its loads as
// they were: the case saved after it is the case its reopen saves again.
struct CoefficientEdit {
    const char* name;
    const char* script;
};
void PrintTo(const CoefficientEdit& e, std::ostream* out) { *out << e.name; }

class HostCaseRestoreAfterCoefficient : public ::testing::TestWithParam<CoefficientEdit> {};

TEST_P(HostCaseRestoreAfterCoefficient, SavedAgainIsTheSameBytes) {
    const CoefficientEdit& e = GetParam();
    ScratchFile designed("restore", std::string(e.name) + "-design.case", "", false),
        edited("restore", std::string(e.name) + "-edited.case", "", false),
        again("restore", std::string(e.name) + "-again.case", "", false);
    ASSERT_EQ(0, RunHost("design " + ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv") +
                         " --save " + designed.path)
                     .exitCode);
    ScratchFile script("restore", std::string(e.name) + ".txt", e.script);
    const HostRun run = RunHost("view " + designed.path + " --script " + script.path + " --save " + edited.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    Restore(edited.path, again.path);
    const std::string first = FileContents(edited.path);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == FileContents(again.path)) << e.name << ": the case saved again differs";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, HostCaseRestoreAfterCoefficient,
    ::testing::Values(CoefficientEdit{"DefaultCoefficientChosen", "set RowPos.105 0\nset Enum.511 1\n"},
                      CoefficientEdit{"FilmCoefficientTyped", "set HeatTransferCoeff.413.0 0.5\n"},
                      CoefficientEdit{"FoulingTyped", "set Fouling.412.0 0.2\n"},
                      CoefficientEdit{"FoulingEmptied", "set Fouling.412.0 0.2\nset Fouling.412.0 empty\n"}),
    [](const ::testing::TestParamInfo<CoefficientEdit>& info) { return std::string(info.param.name); });

}  // namespace
