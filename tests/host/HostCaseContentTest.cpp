// A case whose bytes are whole (its checksum agrees) but whose values no stream table could give
// is refused as damaged, as the same values in a table are refused.
#include "CaseChecksum.h"
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>
#include <string>
#include <unistd.h>

namespace {

std::string example(const char* name) { return std::string(KESTRIN_EXAMPLES) + "/" + name; }

struct Scratch {
    std::string path;
    explicit Scratch(const std::string& stem)
        : path("/tmp/kestrin-content-" + std::to_string(getpid()) + "-" + stem) {}
    ~Scratch() { std::remove(path.c_str()); }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string littleEndian(const void* data, std::size_t size) { return std::string(static_cast<const char*>(data), size); }

// The saved four-stream case with the first stored `from` replaced by `to` and the checksum
// made again for the new bytes.
std::string rewritten(const std::string& saved, double from, double to) {
    std::string body = saved.substr(0, saved.size() - 4);
    const std::size_t at = body.find(littleEndian(&from, sizeof from));
    if (at == std::string::npos) return std::string();
    body.replace(at, sizeof to, littleEndian(&to, sizeof to));
    return WithCaseChecksum(body);
}

struct Rewrite {
    const char* name;
    double from, to;
    const char* expected;
};

class HostCaseContent : public ::testing::TestWithParam<Rewrite> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const Rewrite& c, std::ostream* os) { *os << c.name; }

TEST_P(HostCaseContent, OutOfRangeValuesUnderAValidChecksumAreDamage) {
    const Rewrite& c = GetParam();
    Scratch saved("saved.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    Scratch damaged(std::string(c.name) + ".case");
    const std::string bytes = rewritten(readFile(saved.path), c.from, c.to);
    ASSERT_FALSE(bytes.empty()) << c.name;
    std::ofstream(damaged.path, std::ios::binary) << bytes;
    HostRun run = RunHost("targets " + damaged.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("the case file is damaged")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

// H1 is the first stream: its supply (170 C) and cp (3) are the first of their values stored;
// the scenario's DTmin (10) comes before every stream.
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContent,
    ::testing::Values(Rewrite{"hugeTemperature", 170.0, 1e300, "stream \"H1\": column supply"},
                      Rewrite{"belowAbsoluteZero", 170.0, -400.0, "below absolute zero"},
                      Rewrite{"tinyCp", 3.0, 1e-10, "stream \"H1\": column cp"},
                      Rewrite{"hugeDTmin", 10.0, 1e6, "its DTmin is 1e+06 C"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every stored copy of a value (the stream's own, the segments targeting reads, a design's unit
// ends) set outside what a case holds: the case is refused as damaged, or (a copy the reader works
// out again) reads exactly as the untouched case did. Never other numbers under exit 0.
struct EveryCopy {
    const char* name;
    const char* job;  // "targets" or "design"
    double from, to;
    const char* table = nullptr;  // a table of its own in place of the four streams
};
[[maybe_unused]] void PrintTo(const EveryCopy& c, std::ostream* os) { *os << c.name; }

class HostCaseContentEveryCopy : public ::testing::TestWithParam<EveryCopy> {};

TEST_P(HostCaseContentEveryCopy, IsRefusedOrChangesNothing) {
    const EveryCopy& c = GetParam();
    Scratch saved(std::string(c.name) + "-saved.case");
    const std::string job = c.job;
    Scratch own(std::string(c.name) + "-table.csv");
    if (c.table) std::ofstream(own.path) << c.table;
    const std::string tables = c.table ? own.path
                               : job == "design" ? example("four-streams.csv") + " " + example("four-streams-network.csv")
                                                 : example("four-streams.csv");
    ASSERT_EQ(0, RunHost(job + " " + tables + " --save " + saved.path).exitCode);
    const HostRun untouched = RunHost(job + " " + saved.path);
    ASSERT_EQ(0, untouched.exitCode) << untouched.out;
    const std::string bytes = readFile(saved.path);
    const std::string body = bytes.substr(0, bytes.size() - 4);
    const std::string from = littleEndian(&c.from, sizeof c.from);
    int copies = 0, refused = 0;
    for (std::size_t at = body.find(from); at != std::string::npos; at = body.find(from, at + 1)) {
        ++copies;
        std::string edited = body;
        edited.replace(at, sizeof c.to, littleEndian(&c.to, sizeof c.to));
        Scratch damaged(std::string(c.name) + "-" + std::to_string(at) + ".case");
        std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(edited);
        const HostRun run = RunHost(job + " " + damaged.path);
        if (run.exitCode == 1 && run.out.find("the case file is damaged") != std::string::npos) {
            ++refused;
            continue;
        }
        EXPECT_EQ(0, run.exitCode) << "the copy at byte " << at << "\n" << run.out;
        EXPECT_EQ(untouched.out, run.out) << "the copy at byte " << at << " was read and changed the report";
    }
    EXPECT_GE(copies, 2) << "the value is stored more than once";
    EXPECT_GE(refused, 1);
}

// H1 asks for an approach of 20 C of its own (its segments shift by 10 C) and C1 is two segments
// of 5 C each (shifted by 2.5 C); Cooling Water asks for 8 C (shifted up from 20 C to 24 C).
const char* const kOwnApproaches = "name,supply,target,cp,h,kind,dtmin_contribution\n"
                                   "H1,170,60,3,0.2,process,20\nH2,150,30,1.5,0.2,process,\n"
                                   "C1,20,135,2,0.2,process,5\nC1,135,140,6,0.3,process,5\n"
                                   "C2,80,140,4,0.2,process,\nHP Steam,,,,,utility,\n"
                                   "Cooling Water,20,25,,,utility,8\n";

// H1's supply is 170 C and its cp 3 kW/C; E1 takes H1 in at its supply. HP Steam runs from 250 to
// 249 C, shifted by 5 C at the DTmin of 10 C.
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContentEveryCopy,
    ::testing::Values(EveryCopy{"supplyAbove5000C", "targets", 170.0, 6000.0},
                      EveryCopy{"supplyHuge", "targets", 170.0, 1e300},
                      EveryCopy{"supplyHugeBelow", "targets", 170.0, -1e300},
                      EveryCopy{"supplyBelowAbsoluteZero", "targets", 170.0, -300.0},
                      EveryCopy{"cpEmptied", "targets", 3.0, -32767.0},
                      EveryCopy{"shiftedSupplyAbove5000C", "targets", 165.0, 6000.0},
                      EveryCopy{"shiftedSupplyHuge", "targets", 165.0, 1e19},
                      EveryCopy{"shiftedSupplyBelowAbsoluteZero", "targets", 165.0, -300.0},
                      EveryCopy{"shiftedTargetOfC2", "targets", 145.0, 600.0},
                      EveryCopy{"cpAbove", "targets", 3.0, 6000.0},
                      EveryCopy{"cpOfC2", "targets", 4.0, 4.5},
                      EveryCopy{"utilityShiftedSupply", "targets", 245.0, 250.0},
                      EveryCopy{"utilityShiftedTarget", "targets", 244.0, 6000.0},
                      EveryCopy{"ownApproachShiftedSupply", "targets", 160.0, 165.0, kOwnApproaches},
                      EveryCopy{"ownApproachShiftedSegmentEnd", "targets", 137.5, 140.0, kOwnApproaches},
                      EveryCopy{"ownApproachSecondSegmentCp", "targets", 6.0, 6000.0, kOwnApproaches},
                      EveryCopy{"ownApproachUtilityShifted", "targets", 24.0, 23.0, kOwnApproaches},
                      // C1 enters E4 at its supply of 20 C and leaves the heater at 135 C; the
                      // heater's 20 kW and Cooling Water's 20 C supply share the first value.
                      EveryCopy{"designC1SupplyNearby", "design", 20.0, 22.0},
                      EveryCopy{"designC1SupplySlightly", "design", 20.0, 20.2},
                      EveryCopy{"designC1Outlet", "design", 135.0, 136.35},
                      EveryCopy{"designH2Outlet", "design", 30.0, 30.3},
                      EveryCopy{"designE1Duty", "design", 240.0, 242.4},
                      // Cooling Water leaves the cooler at its target; the cooler's 60 kW turned
                      // round would warm H2.
                      EveryCopy{"designCoolingWaterOutlet", "design", 25.0, 25.25},
                      EveryCopy{"designCoolerDutyTurnedRound", "design", 60.0, -60.0},
                      EveryCopy{"designSupplyAbove5000C", "design", 170.0, 6000.0},
                      EveryCopy{"designSupplyHuge", "design", 170.0, 1e300}),
    [](const auto& info) { return std::string(info.param.name); });

// A seeded sample of single-value edits of the saved four-stream case: each number the streams
// give (temperatures, shifted temperatures, heat-capacity flow rates, loads, film coefficients),
// wherever the case stores it, set to a nearby or an absurd value under a checksum made again.
// Every edit is refused as damage or leaves the report as it was: a copy the reader takes must
// agree with what it is worked out from.
struct Sample {
    const char* name;
    const char* job;  // "targets", or "design" with the textbook network
    unsigned seed;
};
[[maybe_unused]] void PrintTo(const Sample& c, std::ostream* os) { *os << c.name; }

class HostCaseContentSample : public ::testing::TestWithParam<Sample> {};

TEST_P(HostCaseContentSample, SingleValueEditsAreRefusedOrChangeNothing) {
    const Sample& c = GetParam();
    const std::string job = c.job;
    const std::string tables = job == "design" ? example("four-streams.csv") + " " + example("four-streams-network.csv")
                                               : example("four-streams.csv");
    Scratch saved(std::string(c.name) + "-sample-saved.case");
    ASSERT_EQ(0, RunHost(job + " " + tables + " --save " + saved.path).exitCode);
    const HostRun untouched = RunHost(job + " " + saved.path);
    ASSERT_EQ(0, untouched.exitCode) << untouched.out;
    const std::string bytes = readFile(saved.path);
    const std::string body = bytes.substr(0, bytes.size() - 4);
    // Supplies and targets, their shifted values, cp, loads and the film coefficient.
    std::vector<double> numbers = {170, 60, 150, 30, 135, 80, 140, 165, 55, 145, 25, 85, 3, 1.5, 4, 330, 180, 230, 240, 0.2};
    // The network's own: C1's supply, the temperatures between its units and their duties.
    if (job == "design") numbers.insert(numbers.end(), {20, 125, 90, 70, 35, 60});
    // A design case's edits fall in its network (from the first stream piece on), where the
    // scenario's own copies, sampled in the targets case, do not drown them; a network node
    // holds its values under their names, not as tagged fields.
    const std::size_t network = job == "design" ? body.find("ParentStream") : 0;
    ASSERT_NE(std::string::npos, network);
    const std::string tag = job == "design" ? "" : "d";
    std::vector<std::size_t> places;
    for (double v : numbers) {
        const std::string field = tag + littleEndian(&v, sizeof v);
        for (std::size_t at = body.find(field, network); at != std::string::npos; at = body.find(field, at + 1))
            places.push_back(at + tag.size());
    }
    ASSERT_GT(places.size(), job == "design" ? 20u : 40u);
    std::mt19937 random(c.seed);
    int refused = 0;
    const int edits = 120;
    for (int n = 0; n < edits; ++n) {
        const std::size_t at = places[random() % places.size()];
        double was = 0.0;
        std::memcpy(&was, body.data() + at, sizeof was);
        const double to[] = {was * 1.01, was + 5.0, -was, 6000.0, -300.0, 1e19, 0.0};
        const double now = to[random() % (sizeof to / sizeof to[0])];
        std::string edited = body;
        edited.replace(at, sizeof now, littleEndian(&now, sizeof now));
        Scratch damaged(std::string(c.name) + "-sample-" + std::to_string(n) + ".case");
        std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(edited);
        const HostRun run = RunHost(job + " " + damaged.path);
        if (run.exitCode == 1 && run.out.find("the case file is damaged") != std::string::npos) {
            ++refused;
            continue;
        }
        EXPECT_EQ(0, run.exitCode) << was << " -> " << now << " at byte " << at << "\n" << run.out;
        EXPECT_EQ(untouched.out, run.out) << was << " -> " << now << " at byte " << at << " was read and changed the report";
    }
    EXPECT_GE(refused, 10);
}

// The design case holds the streams' values again in its network: the temperatures at each
// unit's ports and the duties they carry.
INSTANTIATE_TEST_SUITE_P(Cases, HostCaseContentSample,
                         ::testing::Values(Sample{"targets", "targets", 20261208u}, Sample{"design", "design", 20261208u},
                                           Sample{"designAgain", "design", 977u}),
                         [](const auto& info) { return std::string(info.param.name); });

// A value of the economics or of a design's unit, found by where it is stored: the first stored
// number `from` after the text `marker` (the last copy of the marker when `lastMarker`), or the
// number stored under the name `field` after it. Set outside what the forms take, under a
// checksum made again, it is refused as damage, not printed.
struct HeldValue {
    const char* name;
    const char* job;     // "targets" on the four streams, or "design" on the split network
    const char* marker;  // a name or text the case stores before the value
    const char* field;   // the value's name in a unit, or null for a bare number
    double from, to;
    const char* expected;
    bool lastMarker = false;
};
[[maybe_unused]] void PrintTo(const HeldValue& c, std::ostream* os) { *os << c.name; }

std::string lengthPrefixed(const std::string& text) {
    const std::uint32_t n = static_cast<std::uint32_t>(text.size());
    return littleEndian(&n, sizeof n) + text;
}

class HostCaseContentHeldValue : public ::testing::TestWithParam<HeldValue> {};

TEST_P(HostCaseContentHeldValue, OutsideItsFormsRangeIsDamage) {
    const HeldValue& c = GetParam();
    const std::string job = c.job;
    const std::string tables = job == "design" ? example("four-streams.csv") + " " + example("four-streams-split-network.csv")
                                               : example("four-streams.csv");
    Scratch saved(std::string(c.name) + "-held-saved.case");
    ASSERT_EQ(0, RunHost(job + " " + tables + " --save " + saved.path).exitCode);
    const std::string bytes = readFile(saved.path);
    std::string body = bytes.substr(0, bytes.size() - 4);
    const std::string marker = c.lastMarker ? std::string(c.marker) : lengthPrefixed(c.marker);
    const std::size_t from = c.lastMarker ? body.rfind(marker) : body.find(marker);
    ASSERT_NE(std::string::npos, from) << c.marker;
    std::size_t at = std::string::npos;
    if (c.field) {
        const std::size_t named = body.find(lengthPrefixed(c.field), from);
        ASSERT_NE(std::string::npos, named) << c.field;
        at = named + 4 + std::strlen(c.field) + 1;  // the name, then the kind of its value
        double was = 0.0;
        std::memcpy(&was, body.data() + at, sizeof was);
        ASSERT_EQ(c.from, was) << c.field;
    } else {
        const std::size_t found = body.find("d" + littleEndian(&c.from, sizeof c.from), from);
        ASSERT_NE(std::string::npos, found) << c.from;
        at = found + 1;
    }
    body.replace(at, sizeof c.to, littleEndian(&c.to, sizeof c.to));
    Scratch damaged(std::string(c.name) + "-held.case");
    std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(body);
    const HostRun run = RunHost(job + " " + damaged.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("the case file is damaged")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

// The default cost law is a = 10000, b = 800, c = 0.8, law 0, then the plant's rate of 0.1, life of 5
// years and 8765.76 hours a year; the coefficient defaults hold "Caustic Soda Solution" at 1.6259; the scenario's minimum Ft of 0.8 follows the name of its
// defaults file. In the split network E1 carries 240 kW over 131.8 m2 in one shell (Ft 1), and
// C1 is split 0.75 / 0.25 at its tee TEE-100 and takes 20 kW from the heater.
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContentHeldValue,
    ::testing::Values(
        HeldValue{"hoursHuge", "targets", "DEFAULT", nullptr, 8765.76, 1e300, "operating hours are 1e+300"},
        HeldValue{"hoursPastALeapYear", "targets", "DEFAULT", nullptr, 8765.76, 8785.0, "operating hours are 8785"},
        HeldValue{"hoursNegative", "targets", "DEFAULT", nullptr, 8765.76, -1.0, "operating hours are -1"},
        HeldValue{"exponentHuge", "targets", "DEFAULT", nullptr, 0.8, 1e300, "an exponent of 1e+300"},
        HeldValue{"exponentNegative", "targets", "DEFAULT", nullptr, 0.8, -1.0, "an exponent of -1"},
        HeldValue{"fixedCostHugeBelow", "targets", "DEFAULT", nullptr, 10000.0, -1e300, "a constant of -1e+300"},
        HeldValue{"areaCoefficientHuge", "targets", "DEFAULT", nullptr, 800.0, 1e300, "a constant of 1e+300"},
        HeldValue{"rateNegative", "targets", "DEFAULT", nullptr, 0.1, -1.0, "rate of return is -1"},
        HeldValue{"plantLifeNegative", "targets", "DEFAULT", nullptr, 5.0, -1.0, "plant life is -1"},
        // A cost law of 7 priced every exchanger at nothing; a default film coefficient the
        // coefficient editor refuses reached every stream that took it.
        HeldValue{"costLawNeitherAreaNorDuty", "targets", "DEFAULT", nullptr, 0.0, 7.0, "a cost law of 7"},
        HeldValue{"coefficientDefaultNegative", "targets", "Caustic Soda Solution", nullptr, 1.6259, -5.0,
                  "default film coefficient \"Caustic Soda Solution\": -5, outside 0.001 to 1e+06"},
        HeldValue{"coefficientDefaultHuge", "targets", "Caustic Soda Solution", nullptr, 1.6259, 1e9,
                  "default film coefficient \"Caustic Soda Solution\": 1e+09"},
        HeldValue{"minimumFtNegative", "targets", "Default File", nullptr, 0.8, -1.0, "minimum Ft factor is -1", true},
        HeldValue{"minimumFtAboveOne", "targets", "Default File", nullptr, 0.8, 1.5, "minimum Ft factor is 1.5", true},
        HeldValue{"heaterDutyNegative", "design", "Heater", "Duty", 20.0, -300.0, "unit \"Heater\": a duty of -300"},
        HeldValue{"areaNegative", "design", "E1", "HTArea", 131.83347464017314, -300.0, "an area of -300"},
        HeldValue{"ftHuge", "design", "E1", "FtFactor", 1.0, 1e300, "an Ft factor of 1e+300"},
        HeldValue{"ftNone", "design", "E1", "FtFactor", 1.0, 0.0, "an Ft factor of 0"},
        HeldValue{"shellsNegative", "design", "E1", "TotalNShells", 1.0, -300.0, "a number of shells of -300"},
        HeldValue{"shellsPart", "design", "E1", "TotalNShells", 1.0, 1.5, "a number of shells of 1.5"},
        HeldValue{"capitalHugeBelow", "design", "E1", "CapitalCost", 49729.26639940593, -1e300,
                  "a capital cost of -1e+300"},
        HeldValue{"splitAboveOne", "design", "TEE-100", "SplitFraction", 0.75, 6000.0, "a split fraction of 6000"},
        HeldValue{"splitNegative", "design", "TEE-100", "SplitFraction", 0.75, -0.5, "a split fraction of -0.5"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every case the jobs save reads back: a check that took a copy the network works out for one
// it must equal would refuse one of them.
struct RoundTrip {
    const char* name;
    const char* save;   // the job and its tables; the case is saved after them
    const char* steps;  // a view script run on the saved design before it is saved again, or null
};
[[maybe_unused]] void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class HostCaseContentRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(HostCaseContentRoundTrip, ASavedDesignReadsBack) {
    const RoundTrip& c = GetParam();
    std::string save = c.save;
    for (std::size_t at = save.find('@'); at != std::string::npos; at = save.find('@'))
        save.replace(at, 1, std::string(KESTRIN_EXAMPLES) + "/");
    Scratch saved(std::string(c.name) + "-round.case");
    const HostRun first = RunHost(save + " --save " + saved.path);
    ASSERT_EQ(0, first.exitCode) << first.out;
    if (c.steps) {
        Scratch script(std::string(c.name) + "-steps.txt");
        std::ofstream(script.path) << c.steps;
        const HostRun run = RunHost("view " + saved.path + " --open design --script " + script.path + " --save " + saved.path);
        ASSERT_EQ(0, run.exitCode) << run.out;
    }
    const HostRun again = RunHost("design " + saved.path);
    EXPECT_EQ(0, again.exitCode) << again.out;
    EXPECT_EQ(std::string::npos, again.out.find("damaged")) << again.out;
}

const char* const kLock = "cmd LockOperation\n";
const char* const kFlowEvent = "cmd LockOperation\ncmd AddScheduleToDesign\nset ExtraData.587 6\nsettext HXSelection.389 C1\n"
                               "cmd AddEventToSchedule\nset ExtraData.358 0.45\ncmd ExecuteSchedule\n";

INSTANTIATE_TEST_SUITE_P(
    Jobs, HostCaseContentRoundTrip,
    ::testing::Values(RoundTrip{"design", "design @four-streams.csv @four-streams-network.csv", nullptr},
                      RoundTrip{"designSplit", "design @four-streams.csv @four-streams-split-network.csv", nullptr},
                      RoundTrip{"designRetrofitExample", "design @retrofit-streams.csv @retrofit-network.csv", nullptr},
                      RoundTrip{"autodesign", "autodesign @four-streams.csv", nullptr},
                      RoundTrip{"autodesignRetrofitExample", "autodesign @retrofit-streams.csv", nullptr},
                      RoundTrip{"optimise", "optimise @four-streams.csv @four-streams-split-network.csv", nullptr},
                      RoundTrip{"retrofit", "retrofit @retrofit-streams.csv @retrofit-network.csv", nullptr},
                      RoundTrip{"operatedLocked", "design @operated-streams.csv @operated-network.csv", kLock},
                      RoundTrip{"operatedEventExecuted", "design @operated-streams.csv @operated-network.csv", kFlowEvent},
                      RoundTrip{"loopsEventExecuted", "design @operated-streams.csv @four-streams-network.csv",
                                kFlowEvent}),
    [](const auto& info) { return std::string(info.param.name); });

// A stored integer of the saved four-stream targets case set to another number under a checksum
// made again: one that would file a stream's segment or a target curve elsewhere is refused as
// damage, never read as a case with a stream or a curve less.
struct StoredInteger {
    const char* name;
    // Where: the integer `offset` bytes after the tag of the `nth` record whose body is `length`
    // bytes long (a negative offset reaches the fields before it); each of the edits is made.
    struct Edit {
        std::uint32_t length;
        int nth, offset;
        std::int32_t to;
    };
    std::vector<Edit> edits;
    const char* expected;
};
[[maybe_unused]] void PrintTo(const StoredInteger& c, std::ostream* os) { *os << c.name; }

class HostCaseContentInteger : public ::testing::TestWithParam<StoredInteger> {};

// The place of the `nth` record (version 1) whose body is `length` bytes long.
std::size_t recordOfLength(const std::string& body, std::uint32_t length, int nth) {
    const std::int32_t version = 1;
    const std::string head = "R" + littleEndian(&version, sizeof version) + littleEndian(&length, sizeof length);
    std::size_t at = body.find(head);
    for (int k = 0; k < nth && at != std::string::npos; ++k) at = body.find(head, at + 1);
    return at;
}

TEST_P(HostCaseContentInteger, IsRefusedAsDamage) {
    const StoredInteger& c = GetParam();
    Scratch saved(std::string(c.name) + "-int-saved.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --save " + saved.path).exitCode);
    const std::string bytes = readFile(saved.path);
    std::string body = bytes.substr(0, bytes.size() - 4);
    for (const StoredInteger::Edit& e : c.edits) {
        std::size_t at = std::string::npos;
        if (e.length == 0) {
            // H1's first design segment: its load of 330 kW and its summed load of 0, then its
            // side and its kind (the stream's own loads are followed by other doubles).
            const double load = 330.0, summed = 0.0;
            const std::size_t loads =
                body.find("d" + littleEndian(&load, sizeof load) + "d" + littleEndian(&summed, sizeof summed) + "i");
            ASSERT_NE(std::string::npos, loads);
            at = loads + 18 + static_cast<std::size_t>(e.offset);
        } else {
            const std::size_t record = recordOfLength(body, e.length, e.nth);
            ASSERT_NE(std::string::npos, record) << e.length;
            at = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(record) + e.offset);
        }
        ASSERT_EQ('i', body[at]) << "byte " << at;
        body.replace(at + 1, sizeof e.to, littleEndian(&e.to, sizeof e.to));
    }
    Scratch damaged(std::string(c.name) + "-int.case");
    std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(body);
    const HostRun run = RunHost("targets " + damaged.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("the case file is damaged")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("area, countercurrent")) << run.out;
}

// A design segment's side and kind follow its fields' loads (a side at 0, a kind at 5 bytes).
// The scenario keeps its balanced curves (a record of 433 bytes: kind 3, its hot list of mode 8
// in 207 bytes, its cold list of mode 9 in 175) after the shifted balanced ones (465 bytes: kind
// 2, lists of modes 10 and 11); each is stored behind a presence flag. A record's first field
// starts 9 bytes after its tag; its presence flag 5 bytes before it.
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContentInteger,
    ::testing::Values(
        StoredInteger{"segmentKindNone", {{0, 0, 5, -1}}, "design segment 1: a kind of -1 where its stream's is 0"},
        StoredInteger{"segmentKindOther", {{0, 0, 5, 3}}, "design segment 1: a kind of 3"},
        // Read as a utility's, its flow is worked out again before the kind is looked at.
        StoredInteger{"segmentKindUtility", {{0, 0, 5, 1}}, "stream \"H1\": design segment 1"},
        StoredInteger{"balancedHotListMode", {{207, 2, 9, -1}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"balancedColdListMode", {{175, 0, 9, -1}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"balancedColdListOfHotMode", {{175, 0, 9, 8}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"shiftedBalancedHotListMode", {{207, 0, 9, -1}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"hotListPresence", {{207, 2, -5, -1}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"coldListPresence", {{175, 0, -5, 2}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"curveKindNone", {{433, 0, 9, 7}}, "the case file is damaged or not a Kestrin case"},
        StoredInteger{"curvePresence", {{433, 0, -5, -1}}, "the case file is damaged or not a Kestrin case"},
        // The balanced curve stored whole as a shifted balanced one, in the balanced curve's slot.
        StoredInteger{"curveInAnotherSlot",
                      {{433, 0, 9, 2}, {207, 2, 9, 10}, {175, 0, 9, 11}},
                      "the case file is damaged or not a Kestrin case"}),
    [](const auto& info) { return std::string(info.param.name); });

// The split network's C1 divides 0.75 / 0.25 at TEE-100 between E3 and E4, each branch taking
// C1 (2 kW/C) from 20 to 80 C: 0.75 x 2 x 60 = 90 kW and 0.25 x 2 x 60 = 30 kW. A branch's share
// or a temperature on it changed under a checksum made again is refused where the splitter no
// longer hands on the whole flow or a unit's duty is not its branch's share of the stream's heat.
struct SplitEdit {
    const char* name;
    // Each edit: the `nth` stored value named `field` that holds `from`, set to `to`.
    struct Edit {
        const char* field;
        double from;
        int nth;
        double to;
    };
    std::vector<Edit> edits;
    const char* expected;
};
[[maybe_unused]] void PrintTo(const SplitEdit& c, std::ostream* os) { *os << c.name; }

class HostCaseContentSplit : public ::testing::TestWithParam<SplitEdit> {};

TEST_P(HostCaseContentSplit, ABranchOutOfBalanceIsDamage) {
    const SplitEdit& c = GetParam();
    Scratch saved(std::string(c.name) + "-split-saved.case");
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-split-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const std::string bytes = readFile(saved.path);
    std::string body = bytes.substr(0, bytes.size() - 4);
    for (const SplitEdit::Edit& e : c.edits) {
        const std::string named = lengthPrefixed(e.field);
        std::size_t at = std::string::npos;
        int seen = -1;
        for (std::size_t n = body.find(named); n != std::string::npos && seen < e.nth; n = body.find(named, n + 1)) {
            const std::size_t value = n + named.size() + 1;  // the name, then the kind of its value
            double was = 0.0;
            std::memcpy(&was, body.data() + value, sizeof was);
            if (was == e.from && ++seen == e.nth) at = value;
        }
        ASSERT_NE(std::string::npos, at) << e.field << " " << e.from << " #" << e.nth;
        body.replace(at, sizeof e.to, littleEndian(&e.to, sizeof e.to));
    }
    Scratch damaged(std::string(c.name) + "-split.case");
    std::ofstream(damaged.path, std::ios::binary) << WithCaseChecksum(body);
    const HostRun run = RunHost("design " + damaged.path);
    EXPECT_EQ(1, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("the case file is damaged")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find(c.expected)) << run.out;
}

// C1 at 80 C is stored after E1's and E2's cold inlets (the first and third copies) as E3's and
// then E4's branch outlet (the fourth and fifth); at 20 C after the cooling water's and a piece's
// as E3's and E4's branch inlets (the fifth and sixth copies).
INSTANTIATE_TEST_SUITE_P(
    Values, HostCaseContentSplit,
    ::testing::Values(
        SplitEdit{"branchShareLess", {{"SplitFraction", 0.75, 0, 0.7}},
                  "splitter \"TEE-100\" on stream \"C1\": its branches carry 0.95 of the flow that reaches it"},
        SplitEdit{"otherBranchShareMore", {{"SplitFraction", 0.25, 0, 0.3}}, "its branches carry 1.05 of the flow"},
        // The whole flow handed on, each unit in balance with its branch: only the splitter is off.
        SplitEdit{"sharesAddUpToMore",
                  {{"SplitFraction", 0.75, 0, 0.8}, {"SplitFraction", 0.25, 0, 0.3}, {"Temperature", 80.0, 4, 70.0},
                   {"Temperature", 80.0, 3, 76.25}},
                  "its branches carry 1.1 of the flow"},
        // The whole flow handed on, in other shares than the units carry.
        SplitEdit{"sharesMovedBetweenBranches", {{"SplitFraction", 0.75, 0, 0.8}, {"SplitFraction", 0.25, 0, 0.2}},
                  "unit \"E3\": a duty of 90 kW where stream \"C1\" carries 96 kW from 20 to 80 C"},
        SplitEdit{"branchOutletWarmer", {{"Temperature", 80.0, 3, 81.0}},
                  "unit \"E3\": a duty of 90 kW where stream \"C1\" carries 91.5 kW from 20 to 81 C"},
        SplitEdit{"otherBranchInletWarmer", {{"Temperature", 20.0, 5, 21.0}},
                  "unit \"E4\": a duty of 30 kW where stream \"C1\" carries 29.5 kW from 21 to 80 C"}),
    [](const auto& info) { return std::string(info.param.name); });

// A branch whose share is left empty is not counted as carrying the whole inflow: the case reads.
TEST(HostCaseContentWhole, AnEmptyBranchShareIsNotCountedAsTheWholeFlow) {
    Scratch saved("empty-share-saved.case");
    ASSERT_EQ(0, RunHost("design " + example("four-streams.csv") + " " + example("four-streams-split-network.csv") +
                         " --save " + saved.path)
                     .exitCode);
    const std::string bytes = readFile(saved.path);
    std::string body = bytes.substr(0, bytes.size() - 4);
    const std::string named = lengthPrefixed("SplitFraction");
    std::size_t at = std::string::npos;
    for (std::size_t n = body.find(named); n != std::string::npos && at == std::string::npos; n = body.find(named, n + 1)) {
        double was = 0.0;
        std::memcpy(&was, body.data() + n + named.size() + 1, sizeof was);
        if (was == 0.25) at = n + named.size() + 1;
    }
    ASSERT_NE(std::string::npos, at);
    const double empty = -32767.0;
    body.replace(at, sizeof empty, littleEndian(&empty, sizeof empty));
    Scratch edited("empty-share.case");
    std::ofstream(edited.path, std::ios::binary) << WithCaseChecksum(body);
    const HostRun run = RunHost("design " + edited.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("its branches carry")) << run.out;
}

// The stored cases of earlier builds read as they did.
TEST(HostCaseContentWhole, StoredCasesStillRead) {
    for (const char* name :
         {"four-streams-targets.case", "four-streams-targets-earlier.case", "four-streams-targets-rounded-loads.case"}) {
        const HostRun run = RunHost(std::string("targets ") + KESTRIN_TEST_DATA + "/cases/" + name);
        EXPECT_EQ(0, run.exitCode) << name << "\n" << run.out;
    }
}

// An untouched case reads as it was saved.
TEST(HostCaseContentWhole, ASavedCaseStillReads) {
    Scratch saved("whole.case");
    ASSERT_EQ(0, RunHost("targets " + example("four-streams.csv") + " --dtmin 12.5 --save " + saved.path).exitCode);
    HostRun run = RunHost("targets " + saved.path);
    EXPECT_EQ(0, run.exitCode) << run.out;
}

}  // namespace
