// The super-target plot view of a scenario viewer: its rows over the range points (DTmin, both
// utility targets, both kinds of area, units, shells and the three costs) read through a `view`
// script are the points `supertarget` reports for the same range, one by one; where the report
// has no value (the utilities cannot cover the targets) the cell is empty.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The value of a key in each point of the supertarget report; NaN for null.
std::vector<double> reportColumn(const std::string& json, const std::string& key) {
    std::vector<double> out;
    const std::string head = "\"" + key + "\": ";
    for (std::size_t at = json.find(head); at != std::string::npos; at = json.find(head, at + 1)) {
        const std::size_t from = at + head.size();
        out.push_back(json.compare(from, 4, "null") == 0 ? std::nan("") : std::strtod(json.c_str() + from, nullptr));
    }
    return out;
}

// The values of a form row (`"values":[...]` after its address); NaN for null. `found` says
// whether the form lists the row.
std::vector<double> formRow(const std::string& form, const std::string& address, bool& found) {
    std::vector<double> out;
    const std::size_t at = form.find("{\"address\":\"" + address + "\"");
    found = at != std::string::npos;
    if (!found) return out;
    std::size_t from = form.find("\"values\":[", at);
    const std::size_t next = form.find("{\"address\":", at + 1);
    if (from == std::string::npos || (next != std::string::npos && from > next)) return out;
    from += 10;
    while (from < form.size() && form[from] != ']') {
        if (form.compare(from, 4, "null") == 0) {
            out.push_back(std::nan(""));
            from += 4;
        } else {
            char* end = nullptr;
            out.push_back(std::strtod(form.c_str() + from, &end));
            from = static_cast<std::size_t>(end - form.c_str());
        }
        if (from < form.size() && form[from] == ',') ++from;
    }
    return out;
}

// One range, reported and saved, and the plot view's form of the saved case.
struct RangeRun {
    RangeRun() {
        report = RunHost("supertarget " + ExamplePath("four-streams.csv") + " --from 8 --to 16 --step 2 --json --save " +
                         saved.path);
        view = RunHost("view " + saved.path + " --open scenario --script " + script.path);
    }
    ScratchFile saved{"strows", "range.kestrin", "", false};
    ScratchFile script{"strows", "rows.txt", "open ChiSuperTargetPlot.200.2\nform\n"};
    HostRun report, view;
};

const RangeRun& run() {
    static const RangeRun r;
    return r;
}

struct RowCase {
    const char* address;  // the view's row
    const char* key;      // the report's value
};

void PrintTo(const RowCase& c, std::ostream* out) { *out << c.address; }

class HostSuperTargetViewRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(HostSuperTargetViewRows, EachPointOfTheRowIsTheReportedTarget) {
    const RangeRun& r = run();
    ASSERT_EQ(0, r.report.exitCode) << r.report.out;
    ASSERT_EQ(0, r.view.exitCode) << r.view.out;
    const std::vector<double> reported = reportColumn(r.report.out, GetParam().key);
    ASSERT_EQ(5u, reported.size()) << r.report.out;
    bool listed = false;
    const std::vector<double> shown = formRow(r.view.out, GetParam().address, listed);
    ASSERT_TRUE(listed) << r.view.out;
    ASSERT_EQ(reported.size(), shown.size()) << r.view.out;
    for (std::size_t p = 0; p < reported.size(); ++p) {
        // The view leaves a zero target empty; the report writes it as 0.
        if (std::isnan(shown[p])) {
            EXPECT_TRUE(std::isnan(reported[p]) || reported[p] == 0.0) << p << " " << reported[p];
            continue;
        }
        ASSERT_FALSE(std::isnan(reported[p])) << p;
        EXPECT_NEAR(reported[p], shown[p], 1e-6 * std::max(1.0, std::fabs(reported[p]))) << p;
    }
}

INSTANTIATE_TEST_SUITE_P(Quantities, HostSuperTargetViewRows,
                         ::testing::Values(RowCase{"DeltaTemp.333", "dtmin"}, RowCase{"HeatFlow.333", "hot_utility"},
                                           RowCase{"HeatFlow.334", "cold_utility"},
                                           RowCase{"Area.333", "area_countercurrent"},
                                           RowCase{"Area.334", "area_shell_tube"}, RowCase{"NMer.333", "units_pinch"},
                                           RowCase{"NumberOfShells.333", "shells"},
                                           RowCase{"Cost.333", "capital_cost"},
                                           RowCase{"CostPerTime.333", "operating_cost"},
                                           RowCase{"CostPerTime.334", "total_annual_cost"}),
                         [](const auto& info) {
                             std::string name = info.param.key;
                             for (char& c : name)
                                 if (c == '_') c = 'X';
                             return name;
                         });

// Over 8 to 14 C every point has its areas, units, shells and costs, and at 16 C the utilities
// cannot cover the targets (cooling water, shifted up by half its own approach of 5 to 22.5 C, no
// longer takes H2 down to 30 C, shifted 22 C): none of the rows compared above passed by being empty throughout,
// and the point without targets is empty in every row.
TEST(HostSuperTargetViewRowsWhole, PointsWithTargetsAreFilledAndThePointWithoutIsEmpty) {
    const RangeRun& r = run();
    ASSERT_EQ(0, r.view.exitCode) << r.view.out;
    for (const char* address : {"Area.333", "Area.334", "NMer.333", "NumberOfShells.333", "Cost.333", "CostPerTime.333",
                                "CostPerTime.334"}) {
        bool listed = false;
        const std::vector<double> shown = formRow(r.view.out, address, listed);
        ASSERT_EQ(5u, shown.size()) << address;
        for (std::size_t p = 0; p < 4; ++p) EXPECT_FALSE(std::isnan(shown[p])) << address << " " << p;
        EXPECT_TRUE(std::isnan(shown[4])) << address;
    }
}

}  // namespace
