// kestrin-host view --open design on a saved case of the textbook network, reading the design
// forms' stream, pinch, status and text rows in the order a form asks for them, and the rows
// each table has.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

struct Scratch : ScratchFile {
    explicit Scratch(const std::string& stem) : ScratchFile("designreads", stem, "", false) {}
};

TEST(HostViewDesignReads, TheExchangerPageReadsStreamsPinchAndStatus) {
    Scratch saved("net.kestrin"), script("read.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    // Rows in design order: E1 H1/C2 240, E4 H2/C1 30, E3 H1/C1 90, E2 H2/C1 90, the heater on
    // C1 (20 from steam, 250 -> 249) and the cooler on H2 (60 to cooling water).
    std::ofstream(script.path) << "get Temperature.613.[]\n"
                                  "get Temperature.614.[]\n"
                                  "get HeatFlow.604.[]\n"
                                  "get Temperature.611\n"
                                  "get Temperature.612\n"
                                  "text ExtraData.690.0\n"
                                  "get Switch.423.[]\n"
                                  "text ExtraData.500.0\n"
                                  "get Index.705\n"
                                  "text ExtraData.212\n"
                                  "text ExtraData.764.0\n"
                                  "text ExtraData.764.1\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {
             "1: get Temperature.613.[]\n  value 170 150 170 150 250 150 C",
             "2: get Temperature.614.[]\n  value 60 30 60 30 249 30 C",
             // Process sides carry their stream's load (C2 240, C1 230); the cooler's cold side
             // is the 60 the network draws from cooling water.
             "3: get HeatFlow.604.[]\n  value 240 230 230 230 230 60 kW",
             "4: get Temperature.611\n  value 90 C", "5: get Temperature.612\n  value 80 C",
             "6: text ExtraData.690.0\n  text 90.00 C / 80.00 C",
             "7: get Switch.423.[]\n  value 1 1 1 1 1 1",
             "8: text ExtraData.500.0\n  text OK",
             // A complete network's cell is the colour table's green.
             "9: get Index.705\n  value 46",
             "10: text ExtraData.212\n  text 0 exchangers not calculated, 0 failed\tStreams not satisfied: 0 ",
             "11: text ExtraData.764.0\n  text HP Steam", "12: text ExtraData.764.1\n  text Cooling Water",
         })
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;
    // The utility list has one row per utility: the row that offers a new one is not a row of it.
    std::ofstream(script.path) << "text ExtraData.764.2\n";
    const HostRun past = RunHost("view " + saved.path + " --open design --script " + script.path);
    EXPECT_NE(std::string::npos, past.out.find("outside its dimensions (2)")) << past.out;
}

}  // namespace

namespace {

// The design forms choose the current exchanger (all exchangers listed, row 2: E3 of H1 and C1,
// 90 kW from 90 -> 60 C on H1 against 35 -> 80 C on C1), and the viewer's exchanger-view link
// opens that exchanger's own view.
TEST(HostViewDesignReads, TheCurrentExchangerOpensItsOwnView) {
    Scratch saved("hx.kestrin"), script("hx.txt");
    const std::string tables = ExamplePath("four-streams.csv") + " " + ExamplePath("four-streams-network.csv");
    ASSERT_EQ(0, RunHost("design " + tables + " --save " + saved.path).exitCode);
    std::ofstream(script.path) << "set Index.414 1\nset Index.415 2\nopen HeatExchangerViewObject.400\n"
                                  "get HeatFlow.200\ntext ExtraData.201\ntext ExtraData.202\n"
                                  "text ExtraData.740\ntext ExtraData.743\ntext ExtraData.781\n";
    const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path);
    ASSERT_EQ(0, run.exitCode) << run.out;
    for (const char* line : {"3: open HeatExchangerViewObject.400\n  text E3", "4: get HeatFlow.200\n  value 90 kW",
                             "5: text ExtraData.201\n  text Hot stream H1", "6: text ExtraData.202\n  text Cold stream C1",
                             "7: text ExtraData.740\n  text Hot inlet 90.00 C", "8: text ExtraData.743\n  text Cold outlet 80.00 C",
                             "9: text ExtraData.781\n  text E1"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\n" << run.out;
}

}  // namespace
