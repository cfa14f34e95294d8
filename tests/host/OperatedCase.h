#pragma once
// The network of examples/operated-network.csv on the streams with transport properties, saved as a
// case by `kestrin-host design`, and scripts run on its design viewer.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <string>

struct OperatedCase {
    OperatedCase() {
        const HostRun run = RunHost("design " + ExamplePath("operated-streams.csv") + " " +
                                    ExamplePath("operated-network.csv") + " --save " + saved.path);
        EXPECT_EQ(0, run.exitCode) << run.out;
    }
    HostRun View(const std::string& steps, const std::string& more = "") {
        ScratchFile script("operated", "script.txt", steps);
        return RunHost("view " + saved.path + " --open design --script " + script.path + more);
    }
    ScratchFile saved{"operated", "operated.case", "", false};
};
