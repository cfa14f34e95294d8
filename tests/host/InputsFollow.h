#pragma once
// What the sweeps of values that follow a user's change share: the four-stream table with its
// utilities written out, the table with one change made in it, and the comparison of a shown
// value with a fresh calculation's.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// The four-stream table with its utilities written out, so that a utility's price can be given.
inline const std::string kInputsFollowTable =
    "name,supply,target,cp,h,kind,cost,dtmin_contribution\n"
    "H1,170,60,3,0.2,process,,\nH2,150,30,1.5,0.2,process,,\nC1,20,135,2,0.2,process,,\nC2,80,140,4,0.2,process,,\n"
    "HP Steam,250,249,,6,utility,78.84,10\nCooling Water,,,,,utility,,\n";

// The table with `before` replaced by `after` ("" leaves it as it is; empty when `before` is
// not in the table).
inline std::string ChangedTable(const std::string& before, const std::string& after) {
    std::string table = kInputsFollowTable;
    if (before.empty()) return table;
    const std::size_t at = table.find(before);
    if (at == std::string::npos) return std::string();
    return table.replace(at, before.size(), after);
}

// The first value a script's step printed; NaN when it printed none.
inline double OnlyValue(const std::string& out, int step) {
    const std::vector<double> v = ScriptValues(out, step);
    return v.empty() ? NAN : v[0];
}

inline void ExpectNearFresh(double expected, double shown, const std::string& what) {
    EXPECT_TRUE(std::isfinite(expected)) << what;
    EXPECT_NEAR(expected, shown, 1e-6 * std::max(1.0, std::fabs(expected))) << what;
}

// The files of one sweep case: the table as it was and with the change, the case designed on
// the table as it was (the four-stream textbook network), and a place for the saved case.
struct InputsFollowFiles {
    ScratchFile original, changed, start, saved;
    const std::string network = " " + ExamplePath("four-streams-network.csv");
    InputsFollowFiles(const std::string& kind, const std::string& changedTable)
        : original(kind, "original.csv", kInputsFollowTable), changed(kind, "changed.csv", changedTable),
          start(kind, "start.kcase", "", false), saved(kind, "saved.kcase", "", false) {}
    // `design` on the table as it was, saved as the case the views open.
    bool Designed() const { return RunHost("design " + original.path + network + " --save " + start.path).exitCode == 0; }
};
