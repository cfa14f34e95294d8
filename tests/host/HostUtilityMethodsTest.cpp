// The three ways the utility loads are set (automatic placement, the user's loads, the
// capital/utility trade-off), driven through `kestrin-host view` scripts as a user sets them.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kHeader = "name,supply,target,cp,h,kind\n";

// The words after "value " (or "text ") of script step `step`, the unit left off.
std::string Answer(const std::string& out, int step) {
    const std::string echo = std::to_string(step) + ": ";
    std::size_t at = out.find("\n" + echo);
    at = at == std::string::npos ? (out.rfind(echo, 0) == 0 ? 0 : std::string::npos) : at + 1;
    if (at == std::string::npos) return std::string();
    for (const char* word : {"\n  value ", "\n  text "}) {
        const std::size_t found = out.find(word, at);
        const std::size_t next = out.find("\n" + std::to_string(step + 1) + ": ", at);
        if (found != std::string::npos && (next == std::string::npos || found < next)) {
            const std::size_t start = found + std::string(word).size();
            return out.substr(start, out.find('\n', start) - start);
        }
    }
    return std::string();
}

std::vector<double> Numbers(const std::string& answer) {
    std::vector<double> out;
    std::istringstream in(answer);
    std::string word;
    while (in >> word) {
        char* end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (end != word.c_str() && *end == '\0') out.push_back(v);
    }
    return out;
}

double Number(const std::string& out, int step) {
    const std::vector<double> v = Numbers(Answer(out, step));
    return v.empty() ? NAN : v.front();
}

// The reads of one method: loads, both side words, units with pinch division, shells, area and
// total annual cost (steps first .. first + 6).
const char* const kReads =
    "get HeatFlow.450.[]\ntext HotUtilInfo.1\ntext ColdUtilInfo.1\nget MinMER.200\nget ShellTarget.200\n"
    "get Area.652\nget CostPerTime.651\n";

struct MethodReads {
    std::vector<double> loads;
    std::string hotWord, coldWord;
    double units = NAN, shells = NAN, area = NAN, cost = NAN;
};

MethodReads ReadsFrom(const std::string& out, int first) {
    MethodReads r;
    r.loads = Numbers(Answer(out, first));
    r.hotWord = Answer(out, first + 1);
    r.coldWord = Answer(out, first + 2);
    r.units = Number(out, first + 3);
    r.shells = Number(out, first + 4);
    r.area = Number(out, first + 5);
    r.cost = Number(out, first + 6);
    return r;
}

// Automatic placement first (steps 1-7), then the trade-off (`set TargetMethod.450 2`, steps 9-15).
struct AutomaticAndTradeoff {
    MethodReads automatic, tradeoff;
    std::string out;
};

AutomaticAndTradeoff RunBoth(const std::string& rows, const char* header = kHeader) {
    ScratchFile table("methods", "table.csv", std::string(header) + rows);
    AutomaticAndTradeoff r;
    const HostRun run = RunViewScript(table.path, std::string(kReads) + "set TargetMethod.450 2\n" + kReads);
    r.out = run.out;
    EXPECT_EQ(0, run.exitCode) << run.out;
    r.automatic = ReadsFrom(run.out, 1);
    r.tradeoff = ReadsFrom(run.out, 9);
    return r;
}

}  // namespace

struct TradeoffCase {
    const char* name;
    const char* rows;     // the process streams; the utilities follow
    const char* utilities;
    std::vector<double> loads;  // the trade-off's loads, hot utilities from the hottest, then cold
    int units;                  // units with the pinch division
    const char* header = kHeader;
};

// A table whose streams may ask for an approach of their own.
const char* const kHeaderWithApproach = "name,supply,target,cp,h,kind,dtmin_contribution\n";
void PrintTo(const TradeoffCase& c, std::ostream* out) { *out << c.name; }

class HostTradeoff : public ::testing::TestWithParam<TradeoffCase> {};

// The trade-off ends on loads the utilities deliver (both sides "Sufficient", an area and a total
// annual cost), never dearer than automatic placement, and an emptied utility carries nothing,
// not a trace that counts as a unit.
TEST_P(HostTradeoff, EndsOnADeliverableSplitNoDearerThanAutomaticPlacement) {
    const TradeoffCase& c = GetParam();
    const AutomaticAndTradeoff r = RunBoth(std::string(c.rows) + c.utilities, c.header);
    ASSERT_EQ(c.loads.size(), r.tradeoff.loads.size()) << r.out;
    for (std::size_t i = 0; i < c.loads.size(); ++i)
        EXPECT_NEAR(c.loads[i], r.tradeoff.loads[i], 1e-9 + 1e-6 * c.loads[i]) << "utility " << i << "\n" << r.out;
    EXPECT_EQ("Sufficient", r.tradeoff.hotWord) << r.out;
    EXPECT_EQ("Sufficient", r.tradeoff.coldWord) << r.out;
    EXPECT_EQ(c.units, r.tradeoff.units) << r.out;
    EXPECT_GT(r.tradeoff.area, 0.0) << r.out;
    EXPECT_GT(r.tradeoff.cost, 0.0) << r.out;
    EXPECT_LE(r.tradeoff.cost, r.automatic.cost * (1.0 + 1e-9)) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostTradeoff,
    ::testing::Values(
        // C1 needs all of the 25.628 kW of hot utility above 196.8 C (shifted 201.8), which MP
        // steam at 175 C cannot reach: the high-pressure steam keeps the whole load.
        TradeoffCase{"steamOnlyTheHottestLevelReaches",
                     "H0,206.8,177.4,2.66,0.505,process\nC1,69.2,226.6,0.86,0.689,process\n"
                     "H2,171.7,100.2,4.37,0.818,process\nH3,66.1,42.2,2.97,0.567,process\n",
                     "HP Steam,,,,,utility\nMP Steam,,,,,utility\nLP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                     {25.628, 0.0, 0.0, 351.906}, 5},
        // Every cold stream ends below 150 C: the cheaper middle steam takes the 140 kW, as the
        // automatic placement puts it.
        TradeoffCase{"aCheaperMiddleLevelTakesTheLoad",
                     "H1,170,60,3,0.2,process\nC1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\n",
                     "HP Steam,,,,,utility\nMP Steam,,,,,utility\nCooling Water,,,,,utility\n", {0.0, 140.0, 0.0}, 3},
        // All 569.628 kW move from HP to MP steam. The pinch lies at C1's supply (shifted
        // 77.6): above it H0, C1, C2, C3 and MP steam (4 units), below it H0 and cooling water
        // (1 unit, 0.78 x (82.6 - 41.6) = 31.98 kW): 5, where a trace left on HP made 6.
        TradeoffCase{"anEmptiedLevelIsNoUnit",
                     "H0,207.0,41.6,0.78,0.856,process\nC1,72.6,148.4,7.01,0.979,process\n"
                     "C2,111.8,136.7,3.10,0.365,process\nC3,76.9,122.3,1.28,0.733,process\n",
                     "HP Steam,,,,,utility\nMP Steam,,,,,utility\nLP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                     {0.0, 569.628, 0.0, 31.98}, 5},
        // High-pressure steam can take all 17.305 kW the fired heater was first given, and the
        // curves let all of it move: the fired heater keeps nothing, not the hundred-millionth
        // share that the move once stopped short by. The pinch lies at C3's supply (shifted
        // 198): above it H1, C3 and the steam (2 units; 41.17 kW for C3 less H1's 23.865), below
        // it H0, H1, H2 and cooling water (3 units).
        TradeoffCase{"anEmptiedFiredHeaterKeepsNoTrace",
                     "H0,123.5,74.5,3.2,0.5,process,\nH1,221.5,190.0,1.29,0.5,process,\n"
                     "H1,190.0,166.0,1.38,0.5,process,\nH1,166.0,94.5,5.7,0.5,process,\n"
                     "H2,173,158.0,4.16,0.5,process,\nH2,158.0,114,6.9,0.5,process,\nC3,193,204.5,3.58,0.5,process,\n",
                     "Fired Heat (1000),,,,,utility,\nHP Steam,,,,,utility,\nLP Steam,,,,,utility,\n"
                     "Cooling Water,,,,,utility,\nAir,,,,,utility,\n",
                     {0.0, 17.305, 0.0, 980.24, 0.0}, 5, kHeaderWithApproach},
        // The same on the cold side: the 41.88 kW below the pinch (shifted 42) move whole from
        // the refrigerant to cooling water.
        TradeoffCase{"anEmptiedRefrigerantKeepsNoTrace",
                     "H0,225,127.5,3.16,0.5,process,17.5\nH0,127.5,95,1.84,0.5,process,17.5\n"
                     "H1,154,142.0,2.28,0.5,process,\nH1,142.0,139.0,4.81,0.5,process,\n"
                     "H1,139.0,129.5,1.0,0.5,process,\nH2,111,54.0,1.89,0.5,process,\nH2,54.0,35,3.49,0.5,process,\n"
                     "C3,37,84.0,5.48,0.5,process,\nC3,84.0,225.5,6.14,0.5,process,\nC4,104,136,6.0,0.5,process,\n"
                     "H5,214.5,187.0,6.8,0.5,process,\nH5,187.0,166.0,3.27,0.5,process,\nH5,166.0,159,6.86,0.5,process,\n",
                     "Hot Oil,,,,,utility,\nMP Steam,,,,,utility,\nCooling Water,,,,,utility,\nRefrigerant 1,,,,,utility,\n",
                     {162.2236147, 301.1063853, 41.88, 0.0}, 8, kHeaderWithApproach},
        // All 285.27 kW move from hot oil to high-pressure steam, where the curves' load at the
        // steam's level and what is left of the target differ only in the last digits.
        TradeoffCase{"anEmptiedHotOilKeepsNoTrace",
                     "C0,63,87,1.86,0.5,process,17.5\nH1,130,113.0,0.74,0.5,process,\nH1,113.0,63,3.48,0.5,process,\n"
                     "H2,110,93.0,1.23,0.5,process,\nH2,93.0,88.5,7.49,0.5,process,\nH2,88.5,75.5,2.42,0.5,process,\n"
                     "H3,202.5,50.5,1.78,0.5,process,2\nC4,47,93.0,6.73,0.5,process,\nC4,93.0,139.5,3.21,0.5,process,\n"
                     "H5,159,106.0,4.38,0.5,process,\nH5,106.0,101.5,1.93,0.5,process,\nH5,101.5,88,0.68,0.5,process,\n"
                     "C6,112.5,202.5,5.87,0.5,process,2\n",
                     "Hot Oil,,,,,utility,\nHP Steam,,,,,utility,\nMP Steam,,,,,utility,\nCooling Water,,,,,utility,\n"
                     "Air,,,,,utility,\n",
                     {0.0, 285.27, 0.0, 46.705, 0.0}, 11, kHeaderWithApproach}),
    [](const ::testing::TestParamInfo<TradeoffCase>& info) { return std::string(info.param.name); });

// A threshold table: the process needs no heating, cooling water takes all 305 kW and the three
// steam levels carry nothing. The user's loads (the automatic ones kept, `set TargetMethod.450 0`)
// and the trade-off leave the steam empty as well: a utility that carries nothing adds no
// temperatures to the curves, so shells, area and units are those of automatic placement.
TEST(HostEmptyUtility, ChangesNoTargetWhicheverMethodLeftItEmpty) {
    ScratchFile table("methods", "threshold.csv",
                      std::string(kHeader) +
                          "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\nC1,20,135,1,0.2,process\n"
                          "C2,80,140,1.5,0.2,process\nHP Steam,,,,,utility\nMP Steam,,,,,utility\n"
                          "LP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    const HostRun run = RunViewScript(table.path, std::string(kReads) + "set TargetMethod.450 0\n" + kReads +
                                                      "set TargetMethod.450 2\n" + kReads);
    ASSERT_EQ(0, run.exitCode) << run.out;
    const MethodReads automatic = ReadsFrom(run.out, 1), user = ReadsFrom(run.out, 9), tradeoff = ReadsFrom(run.out, 17);
    EXPECT_EQ((std::vector<double>{0, 0, 0, 305}), automatic.loads) << run.out;
    for (const MethodReads* m : {&user, &tradeoff}) {
        EXPECT_EQ(automatic.loads, m->loads) << run.out;
        EXPECT_EQ(automatic.shells, m->shells) << run.out;
        EXPECT_EQ(automatic.units, m->units) << run.out;
        EXPECT_NEAR(automatic.area, m->area, 1e-9 * automatic.area) << run.out;
        EXPECT_EQ("Sufficient", m->hotWord) << run.out;
    }
}

// {H4, C1} exchange 72 kW and {H2, H5, C4} 225.9 kW: two balanced sub-networks, whatever C4's
// target. Each stream's end may reach 1 % of its load beyond its temperature; C4's target (shifted
// 1 C up for the search) lands within that stretch of H5's or H4's end or beside it, and the
// stretch cut into several cells by those temperatures is still the stream's whole tolerance.
class HostSubsets : public ::testing::TestWithParam<const char*> {};

TEST_P(HostSubsets, BalancedGroupsAreFoundWhateverTheNeighbouringTemperatures) {
    ScratchFile table("methods", "subsets.csv",
                      std::string("name,supply,target,duty,h,kind\nH2,164,94,158.4,0.5,process\n"
                                  "H5,160,133,67.5,0.5,process\nC4,34,") +
                          GetParam() +
                          ",225.9,0.5,process\nH4,131,95,72.0,0.5,process\nC1,46,100,72.0,0.5,process\n"
                          "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    const HostRun run = RunViewScript(table.path, "cmd SearchSubsets\nget NumSubsets.200\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(2, Number(run.out, 2)) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Status |Searching for sub-networks of streams whose loads balance...|"))
        << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("CPIFindSubSets")) << run.out;
}

INSTANTIATE_TEST_SUITE_P(C4Targets, HostSubsets, ::testing::Values("129.5", "130", "130.5", "130.9"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = std::string("at") + info.param;
                             for (char& c : name)
                                 if (c == '.') c = '_';
                             return name;
                         });

struct UserLoadCase {
    const char* name;
    const char* table;   // rows after the header
    const char* loads;   // `set HeatFlow.440.i` lines
    const char* word;    // both sides
    bool area;           // an area is computed
};
void PrintTo(const UserLoadCase& c, std::ostream* out) { *out << c.name; }

class HostUserLoadWords : public ::testing::TestWithParam<UserLoadCase> {};

// The side words follow what the curves of the user's loads show: loads above the targets that
// keep DTmin everywhere cover the process (their surplus passes through it to cooling water);
// steam at 125 C for heat the process needs up to 200 C crosses the curves and is infeasible.
TEST_P(HostUserLoadWords, FollowWhatTheCurvesShow) {
    const UserLoadCase& c = GetParam();
    ScratchFile table("methods", "user.csv", std::string(kHeader) + c.table);
    const HostRun run = RunViewScript(table.path, std::string("set TargetMethod.450 0\n") + c.loads +
                                                      "text HotUtilInfo.1\ntext ColdUtilInfo.1\nget Area.652\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string loads = c.loads;
    const int first = 2 + static_cast<int>(std::count(loads.begin(), loads.end(), '\n'));
    EXPECT_EQ(c.word, Answer(run.out, first)) << run.out;
    EXPECT_EQ(c.word, Answer(run.out, first + 1)) << run.out;
    EXPECT_EQ(c.area, Number(run.out, first + 2) > 0.0) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Loads, HostUserLoadWords,
    ::testing::Values(
        // The four-stream targets are 20 and 60 kW: 10 kW more on each side.
        UserLoadCase{"aboveTheTargetsKeepingDTmin",
                     "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\nC1,20,135,2,0.2,process\n"
                     "C2,80,140,4,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                     "set HeatFlow.440.0 30\nset HeatFlow.440.1 70\n", "Sufficient", true},
        UserLoadCase{"belowTheTargets",
                     "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\nC1,20,135,2,0.2,process\n"
                     "C2,80,140,4,0.2,process\nHP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                     "set HeatFlow.440.0 10\nset HeatFlow.440.1 50\n", "Insufficient", false},
        // LP steam carries exactly the 78.583 kW C2 needs beyond what H0 and H1 give it, HP steam
        // all of C3: both curves jump at one load (LP's 125 C to HP's 250 C, C2's 89.9 C to C3's
        // 171.2 C), where no heat passes; below it LP stands 35 C above C2, above it HP 28.8 C above
        // C3 (all as the automatic placement puts them).
        UserLoadCase{"curvesThatJumpAtOneLoad",
                     "H0,118.9,108.2,7.13,0.966,process\nH1,84.1,73.5,2.25,0.588,process\n"
                     "C2,40.8,89.9,3.64,0.495,process\nC3,171.2,221.1,4.37,0.694,process\nHP Steam,,,,,utility\n"
                     "MP Steam,,,,,utility\nLP Steam,,,,,utility\nCooling Water,,,,,utility\n",
                     "set HeatFlow.440.0 218.063\nset HeatFlow.440.1 0\nset HeatFlow.440.2 78.583\nset HeatFlow.440.3 0\n",
                     "Sufficient", true},
        UserLoadCase{"steamTooColdForWhereTheHeatIsNeeded",
                     "H1,150,50,1,0.2,process\nC1,100,200,1,0.2,process\nHP Steam,,,,,utility\nLP Steam,,,,,utility\n"
                     "Cooling Water,,,,,utility\n",
                     "set HeatFlow.440.0 0\nset HeatFlow.440.1 60\n", "Infeasible", false}),
    [](const ::testing::TestParamInfo<UserLoadCase>& info) { return std::string(info.param.name); });

// The prices decide how a side's load is shared. A side with one utility, or with no load, has
// nothing to share: the trade-off gives automatic placement's result there even when the side's
// only utility (air, at 0.0315 per kW and year) counts as unpriced.
struct NothingToShareCase {
    const char* name;
    const char* rows;
};
void PrintTo(const NothingToShareCase& c, std::ostream* out) { *out << c.name; }

class HostTradeoffNothingToShare : public ::testing::TestWithParam<NothingToShareCase> {};

TEST_P(HostTradeoffNothingToShare, GivesAutomaticPlacementsResult) {
    const AutomaticAndTradeoff r = RunBoth(GetParam().rows, "name,supply,target,cp,h,kind,cost\n");
    EXPECT_EQ(r.automatic.loads, r.tradeoff.loads) << r.out;
    EXPECT_EQ("Sufficient", r.tradeoff.hotWord) << r.out;
    EXPECT_EQ("Sufficient", r.tradeoff.coldWord) << r.out;
    EXPECT_EQ(r.automatic.units, r.tradeoff.units) << r.out;
    EXPECT_EQ(r.automatic.shells, r.tradeoff.shells) << r.out;
    EXPECT_GT(r.tradeoff.area, 0.0) << r.out;
    EXPECT_NEAR(r.automatic.area, r.tradeoff.area, 1e-9 * r.automatic.area) << r.out;
    EXPECT_NEAR(r.automatic.cost, r.tradeoff.cost, 1e-9 * r.automatic.cost) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostTradeoffNothingToShare,
    ::testing::Values(
        // Air alone takes the four streams' 60 kW of cooling.
        NothingToShareCase{"oneUnpricedUtilityCarriesTheLoad",
                           "H1,170,60,3,0.2,process,\nH2,150,30,1.5,0.2,process,\nC1,20,135,2,0.2,process,\n"
                           "C2,80,140,4,0.2,process,\nHP Steam,,,,,utility,\nAir,,,,,utility,\n"},
        // A cold stream alone: no cooling to share between two unpriced coolants.
        NothingToShareCase{"twoUnpricedUtilitiesAndNoLoad",
                           "C1,20,135,2,0.2,process,\nHP Steam,,,,,utility,\nAir,,,,,utility,\n"
                           "Free Coolant,15,20,,1,utility,0\n"}),
    [](const ::testing::TestParamInfo<NothingToShareCase>& info) { return std::string(info.param.name); });

// Two unpriced coolants sharing 60 kW leave the trade-off nothing to weigh: it stops, and the
// sides read "not available" with the reason rather than a blank.
TEST(HostTradeoffNothingToShare, ALoadToShareWithoutAnyPriceIsNotAvailableWithTheReason) {
    const AutomaticAndTradeoff r =
        RunBoth("H1,170,60,3,0.2,process,\nH2,150,30,1.5,0.2,process,\nC1,20,135,2,0.2,process,\n"
                "C2,80,140,4,0.2,process,\nHP Steam,,,,,utility,\nAir,,,,,utility,\nFree Coolant,15,20,,1,utility,0\n",
                "name,supply,target,cp,h,kind,cost\n");
    EXPECT_EQ("Sufficient", r.automatic.coldWord) << r.out;
    for (const std::string& word : {r.tradeoff.hotWord, r.tradeoff.coldWord})
        EXPECT_EQ("Not available: no utility of a side to share has a price", word) << r.out;
    EXPECT_TRUE(std::isnan(r.tradeoff.units)) << r.out;
}

// A utility's load is typed only under the user's loads (the form's choice 0); under automatic
// placement (1) and the trade-off (2) the cell is read-only, refuses it as such, answering 0,
// and keeps the targets' loads.
class HostTypedUtilityLoad : public ::testing::TestWithParam<int> {};

TEST_P(HostTypedUtilityLoad, IsTakenOnlyUnderTheUsersLoads) {
    const int method = GetParam();
    ScratchFile table("methods", "typed.csv", std::string(kHeader) +
                                                  "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\n"
                                                  "C1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\n"
                                                  "HP Steam,,,,,utility\nCooling Water,,,,,utility\n");
    const bool taken = method == 0;
    const HostRun run = RunViewScript(table.path, "set TargetMethod.450 " + std::to_string(method) + "\n" +
                                                      (taken ? "" : "expect ReadOnlyCell\n") +
                                                      "set HeatFlow.440.0 30\nget HeatFlow.440.0\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const int set = taken ? 2 : 3;
    EXPECT_NE(std::string::npos, run.out.find(std::to_string(set) + ": set HeatFlow.440.0 30\n  result " +
                                              (taken ? "1" : "0")))
        << run.out;
    EXPECT_EQ(taken ? 30.0 : 20.0, Number(run.out, set + 1)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(FormChoices, HostTypedUtilityLoad, ::testing::Values(0, 1, 2));

// With no utility at all the four streams' loads differ by 40 kW: no group of them balances, and
// the search says so rather than that they balance all together.
TEST(HostSubsetsUnbalanced, ATableWithoutUtilitiesIsToldItsStreamsDoNotBalance) {
    ScratchFile table("methods", "bare.csv", std::string(kHeader) +
                                                 "H1,170,60,3,0.2,process\nH2,150,30,1.5,0.2,process\n"
                                                 "C1,20,135,2,0.2,process\nC2,80,140,4,0.2,process\n");
    const HostRun run = RunViewScript(table.path, "expect NoSubsetsUnbalanced\ncmd SearchSubsets\n");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Error NoSubsetsUnbalanced|No sub-network was found: the streams' loads do "
                                              "not balance"))
        << run.out;
}
