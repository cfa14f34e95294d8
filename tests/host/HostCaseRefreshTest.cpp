// kestrin-host extract CASEFILE --refresh SOLVED: the extraction of a case refreshed from the
// same case solved again, the same streams and units with the new values; a document of other
// items refused with nothing saved.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/extraction/" + name; }

struct Scratch : ScratchFile {
    Scratch(const std::string& stem, const std::string& content, bool write = true)
        : ScratchFile("case-refresh-test", stem, content, write) {}
};

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The unit's object in the "network" of a --json output.
std::string networkUnit(const std::string& json, const std::string& name) {
    const std::size_t network = json.find("\"network\": {");
    if (network == std::string::npos) return "";
    const std::size_t at = json.find("{\"name\": \"" + name + "\"", network);
    return at == std::string::npos ? "" : json.substr(at, json.find('}', at) - at + 1);
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostCaseRefresh, TheTrainSolvedAgainKeepsItsStreamsAndUnitsWithTheNewValues) {
    HostRun run = RunHost("extract " + example("exchanger-train.vmc") + " --refresh " +
                          example("exchanger-train-solved.vmc") + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // 2.4 kg/s x 2.5 x (210 - 65) = 870 kW; 2.2 x 3.0 x (185 - 45) = 924 kW: the heat-flow
    // differences of the solved case.
    EXPECT_TRUE(has(run.out, "{\"name\": \"H1_To_H3\", \"side\": \"hot\", \"supply\": 210, \"target\": 65, \"load\": 870, "
                             "\"mass_flow\": 2.4"))
        << run.out;
    EXPECT_TRUE(has(run.out, "{\"name\": \"K1_To_K3\", \"side\": \"cold\", \"supply\": 45, \"target\": 185, \"load\": 924, "
                             "\"mass_flow\": 2.2"))
        << run.out;
    EXPECT_TRUE(has(networkUnit(run.out, "X1"), "\"hot\": \"H1_To_H3\", \"cold\": \"K1_To_K3\", \"duty\": 330, "
                                                "\"hot_in\": 210, \"hot_out\": 155, \"cold_in\": 45, \"cold_out\": 95"))
        << run.out;
    EXPECT_TRUE(has(networkUnit(run.out, "C1"), "\"cold\": \"Air\", \"duty\": 540, \"hot_in\": 155, \"hot_out\": 65"))
        << run.out;
    EXPECT_TRUE(has(networkUnit(run.out, "E1"), "\"hot\": \"HP Steam\", \"cold\": \"K1_To_K3\", \"duty\": 594"))
        << run.out;
    EXPECT_TRUE(has(networkUnit(run.out, "E1"), "\"cold_in\": 95, \"cold_out\": 185")) << run.out;
    EXPECT_FALSE(has(run.out, "\"feasible\": false")) << run.out;
    EXPECT_TRUE(has(run.out, "\"unsatisfied_streams\": []")) << run.out;
}

TEST(HostCaseRefresh, AStreamEndingOnTheExtractionsCopyTakesItsSourcesNewValues) {
    HostRun run = RunHost("extract " + example("preheat-train.vmc") + " --refresh " + example("preheat-train-solved.vmc") +
                          " --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // The heated stream ends on the copy of F3 the cut made: 160 C now, 2.5 x (2.0 x 55 + 3.0 x
    // 70) = 800 kW.
    EXPECT_TRUE(has(run.out, "{\"name\": \"F1_To_F3\", \"side\": \"cold\", \"supply\": 35, \"target\": 160, \"load\": 800, "
                             "\"mass_flow\": 2.5"))
        << run.out;
    EXPECT_TRUE(has(run.out, "{\"name\": \"F3_To_F4\", \"side\": \"hot\", \"supply\": 160, \"target\": 65, \"load\": 650"))
        << run.out;
    EXPECT_TRUE(has(networkUnit(run.out, "E2"), "\"cold\": \"F1_To_F3\", \"duty\": 525")) << run.out;
    EXPECT_TRUE(has(networkUnit(run.out, "C1"), "\"hot\": \"F3_To_F4\", \"cold\": \"Air\", \"duty\": 650")) << run.out;
}

TEST(HostCaseRefresh, TheSameDocumentAppliedAgainReproducesTheExtraction) {
    for (const char* name : {"exchanger-train.vmc", "preheat-train.vmc", "split-heaters.vmc", "small-column.vmc"}) {
        HostRun first = RunHost("extract " + example(name) + " --json");
        HostRun again = RunHost("extract " + example(name) + " --refresh " + example(name) + " --json");
        ASSERT_EQ(first.exitCode, 0) << first.out;
        ASSERT_EQ(again.exitCode, 0) << again.out;
        EXPECT_EQ(again.out, first.out) << name;
    }
}

TEST(HostCaseRefresh, ADocumentOfOtherItemsIsRefusedAndNothingIsSaved) {
    const std::string solved = FileContents(example("exchanger-train-solved.vmc"));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = solved;
        const std::size_t at = text.find(from);
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };
    struct Row {
        std::string document;
        const char* message;
    } rows[] = {
        {replaced("<link to=\"C1\"/>", "<link to=\"E1\"/>"), "item H2 feeds E1, not C1"},
        {replaced("class=\"htCooler\"", "class=\"htAirCooler\""), "item C1 is of class htAirCooler, not htCooler"},
        {replaced("</simcase>", "<item name=\"P9\" class=\"rtPump\"/></simcase>"), "item P9 is not in the case"},
        {"<simcase version=\"1\" name=\"X\"><item name=\"A\"/></simcase>", "<item> needs a class"},
    };
    Scratch saved("refused.case", "", false);
    for (const Row& r : rows) {
        Scratch document("other.vmc", r.document);
        HostRun run = RunHost("extract " + example("exchanger-train.vmc") + " --refresh " + document.path + " --save " +
                              saved.path);
        EXPECT_EQ(run.exitCode, 1) << r.message;
        EXPECT_TRUE(has(run.out, r.message)) << run.out;
        EXPECT_TRUE(has(run.out, document.path)) << run.out;
        EXPECT_FALSE(exists(saved.path)) << r.message;
    }
    HostRun missing = RunHost("extract " + example("exchanger-train.vmc") + " --refresh");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(has(missing.out, "--refresh needs the solved simulator case")) << missing.out;
    HostRun sheet = RunHost("extract " + example("exchanger-train.vmc") + " --refresh " +
                            std::string(KESTRIN_EXAMPLES) + "/four-streams.csv");
    EXPECT_EQ(sheet.exitCode, 1);
}

TEST(HostCaseRefresh, TheSavedCaseHoldsTheRefreshedScenario) {
    Scratch saved("refreshed.case", "", false);
    HostRun run = RunHost("extract " + example("exchanger-train.vmc") + " --refresh " +
                          example("exchanger-train-solved.vmc") + " --json --save " + saved.path);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    HostRun targets = RunHost("targets " + saved.path + " --json");
    ASSERT_EQ(targets.exitCode, 0) << targets.out;
    const std::string savedTargets = targets.out.substr(0, targets.out.find("\"notes\""));
    const std::size_t at = run.out.find("\"targets\": ") + 11;
    EXPECT_EQ(run.out.substr(at, savedTargets.size()), savedTargets);
    // Not the targets of the first solution.
    HostRun first = RunHost("extract " + example("exchanger-train.vmc") + " --json");
    const std::size_t firstAt = first.out.find("\"targets\": ") + 11;
    EXPECT_NE(first.out.substr(firstAt, savedTargets.size()), savedTargets);
    HostRun design = RunHost("design " + saved.path + " --json");
    ASSERT_EQ(design.exitCode, 0) << design.out;
    EXPECT_EQ(networkUnit("\"network\": " + design.out, "X1"), networkUnit(run.out, "X1"));
}

}  // namespace
