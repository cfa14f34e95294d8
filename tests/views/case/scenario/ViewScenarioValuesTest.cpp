// The scenario viewer's numbers: every variable of the targeting, stream-table and economics
// pages wired to its own engine call (a sentinel scenario answers each call with a number of
// its own, and the expectations are written out here by hand), the dispatch order, the form
// state that reading touches, and values worked by hand on real scenarios.
#include "brasko/CaseDocument.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "tests/eng/model/ScenarioTestDoubles.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioSentinel.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"
#include "views/case/scenario/ScenarioInputRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr double E = -32767.0;

class ViewScenarioValues : public SentinelScenarioViewerTest<> {};

struct Wire {
    VarDescription var;
    double expected;
    const char* what;
};

void checkAll(HIDesignViewerScenario& viewer, const std::vector<Wire>& table) {
    for (const Wire& w : table) {
        const double got = viewer.Value(w.var);
        if (std::fabs(w.expected) > 1e6) EXPECT_NEAR(w.expected, got, std::fabs(w.expected) * 1e-9) << w.what;
        else EXPECT_NEAR(w.expected, got, 1e-9) << w.what;
    }
}

TEST_F(ViewScenarioValues, TargetsCurvesAndUnitsTargetRowsReachTheirOwnCall) {
    viewer->option105_127 = 0;
    viewer->selectedRow = 2;
    const double hotCost = 3007.0, coldCost = 4007.0;  // operating cost of HU and CU
    checkAll(*viewer, {
        {var(1, 200, 2), 402, "pinch hot side"},
        {var(1, 203, 2), 412, "pinch cold side"},
        {var(1, 201, 3), 503, "pinch list first"},
        {var(1, 202, 3), 553, "pinch list third"},
        {var(1, 220, 4), 1004, "composite T"},
        {var(1, 222, 4), 1504, "curve 5 T"},
        {var(1, 250, 4), 1304, "curve 3 T"},
        {var(1, 251, 4), 1404, "curve 4 T"},
        {var(1, 252, 4), 1804, "curve 8 T"},
        {var(1, 253, 4), 1904, "curve 9 T"},
        {var(1, 254, 4), 1604, "curve 6 T"},
        {var(1, 255, 4), 1704, "curve 7 T"},
        {var(6, 221, 4), 1014, "composite H"},
        {var(6, 223, 4), 1514, "curve 5 H"},
        {var(6, 250, 4), 1314, "curve 3 H"},
        {var(6, 251, 4), 1414, "curve 4 H"},
        {var(6, 252, 4), 1814, "curve 8 H"},
        {var(6, 253, 4), 1914, "curve 9 H"},
        {var(6, 254, 4), 1614, "curve 6 H"},
        {var(6, 255, 4), 1714, "curve 7 H"},
        {var(1, 226, 2), 2102, "match 1"},
        {var(1, 228, 2), 2202, "match 2"},
        {var(1, 701, 0), 2200, "first match end"},
        {var(1, 701, 1), 2104, "last match end"},
        {var(1, 701, 2), E, "no third end"},
        {var(1, 702, 0), 2200, "first match end 702"},
        {var(1, 702, 1), 2104, "last match end 702"},
        {var(1517, 1), 10.5, "DTmin"},
        {var(100, 661), 30, "points 0"},
        {var(100, 662), 33, "points 3"},
        {var(100, 663), 34, "points 4"},
        {var(100, 664), 73, "points 6 + 7"},
        {var(100, 290), 7, "MILP flag"},
        {var(6, 107), 100, "hot utility"},
        {var(6, 108), 101, "cold utility"},
        {var(6, 109), 201, "both"},
        {var(6, 106, 0), 201, "sides (1, 1)"},
        {var(6, 655), 100, "655"},
        {var(6, 750), 100, "750"},
        {var(6, 656), 101, "656"},
        {var(6, 752), 101, "752"},
        {var(1508, 200), 200, "area 0"},
        {var(1508, 201), 201, "area 1"},
        {var(1508, 652), 201, "area 652"},
        {var(1519, 653), 50, "shells"},
        {var(1519, 451), 1.0, "a utility target"},
        {var(31000, 654), 307, "capital"},
        {var(31000, 551), 307, "capital 551"},
        {var(31001, 651), 305, "total annual"},
        {var(31001, 657), 304, "operating"},
        {var(31001, 302), 304, "operating 302"},
        {var(31001, 303), 305, "total annual 303"},
        {var(31001, 304), hotCost, "hot utility cost"},
        {var(31001, 750), hotCost, "hot utility cost 750"},
        {var(31001, 305), coldCost, "cold utility cost"},
        {var(31001, 752), coldCost, "cold utility cost 752"},
        {var(31001, 301, 0), 304, "cost of sides (1, 1)"},
        {var(1519, 260, 0), 100, "table hot"},
        {var(1519, 261, 0), 101, "table cold"},
        {var(1519, 262, 0), 201, "table area"},
        {var(1519, 263, 0), 307, "table capital"},
        {var(1519, 264, 0), 304, "table operating"},
        {var(1519, 265, 0), 305, "table total"},
        {var(1519, 266, 0), 40, "table units"},
        {var(1519, 267, 0), 50, "table shells"},
        {var(1519, 260, 1), E, "no existing network"},
        {var(1519, 260, 2), E, "no agreement without it"},
        {var(1519, 260, 3), E, "no fourth column"},
        {var(1, 125, 0, 0), 1001, "units target supply H1"},
        {var(1, 125, 0, 1), 2001, "units target supply C1"},
        {var(1, 127, 0, 1), 2002, "units target target C1"},
        {var(1, 126, 1, 2), 3012, "units target value"},
        {var(1, 128, 1, 0), 2001, "selected group supply"},
        {var(1, 130, 1, 0), 2002, "selected group target"},
        {var(1, 129, 1, 2), 3212, "selected group value"},
        {var(1, 125, 0, 5), E, "no name at that position"},
        {var(6, 225, 0), 1000, "balance: cold 2010 less hot 1010"},
        {var(6, 800, 0), 1000, "balance 800"},
        {var(6, 801, 1), 2010, "balance of the selected group"},
        {var(6, 225, 5), E, "entry without names"},
        {var(6, 800, 5), 0.0, "entry without names 800"},
        {named("TotalImbalance", 125, 0), 1000, "total imbalance"},
        {named("cc_net_cc_exch", 300), 307, "capital by name"},
    });
}

TEST_F(ViewScenarioValues, StreamTableRowsLookTheirStreamUpAndReadItsColumn) {
    checkAll(*viewer, {
        {var(1, 402, 0), 1001, "H1 supply"},
        {var(1, 402, 1), 2001, "C1 supply"},
        {var(1, 402, 2), E, "past the process streams"},
        {var(1, 403, 0), 1002, "H1 target"},
        {var(6, 405, 0), 1010, "H1 load"},
        {var(4, 105, 0), 1040, "mass flow"},
        {var(32039, 105, 0), 1042, "price"},
        {var(1516, 404, 0), 1030, "CP of one segment"},
        {var(1516, 404, 1), E, "CP of two segments"},
        {var(1011, 200, 0), 1043, "specific heat"},
        {var(1011, 200, 1), E, "specific heat of two segments"},
        {var(1524, 412, 0), 1044, "film coefficient"},
        {var(1524, 412, 1), E, "film coefficient of two segments"},
        {var(1524, 413, 0), 1045, "C film coefficient"},
        {var(4101, 412, 0), 1046, "fouling"},
        {var(1517, 406, 0), 2016, "local contribution twice"},
        {var(1517, 406, 1), E, "global contribution"},
        {var(9, 200, 0), 1021, "tolerance +1 end"},
        {var(9, 201, 0), 1019, "tolerance -1 end"},
        {var(100, 310, 1), 2047, "branches"},
        {var(104, 411, 0), E, "side of one segment"},
        {var(104, 411, 1), 0.0, "cold of two segments"},
        {var(104, 412, 0), 1.0, "hot"},
        {var(104, 412, 1), 0.0, "cold"},
        {var(104, 413, 0), 0.0, "one segment"},
        {var(104, 413, 1), 1.0, "segmented"},
        {var(104, 413, 99), 0.0, "row 99"},
        {var(104, 600, 0), E, "no link list"},
        {var(1, 440, 0), 3001, "HU supply"},
        {var(1, 440, 1), 4001, "CU supply"},
        {var(1, 441, 0), 3002, "HU target"},
        {var(1, 443, 1), 4003, "stored, both sides"},
        {var(1, 443, 1, 2), 4003, "stored, second pair"},
        {var(6, 440, 0), 3010, "HU load"},
        {var(6, 445, 0), E, "445 empty"},
        {var(6, 450, 0, 3), 3011, "hot only"},
        {var(6, 450, 0, 4), 4011, "cold only"},
        {var(6, 451, 0), -1.0, "load less design load"},
        {var(6, 630, 0), 3010, "hot list"},
        {var(6, 631, 0), 4010, "cold list"},
        {var(4, 104, 1), 4040, "utility mass flow"},
        {var(4, 106, 0), 3041, "max mass flow"},
        {var(1524, 440, 0), 3045, "utility C film"},
        {var(1524, 441, 0), 3044, "utility film"},
        {var(4101, 440, 0), 3046, "utility fouling"},
        {var(1517, 442, 0), E, "HU global"},
        {var(1517, 442, 1), 8016, "CU local twice"},
        {var(1011, 201, 0), 3043, "utility specific heat"},
        {var(9, 202, 0), 3021, "utility tolerance +1"},
        {var(9, 203, 0), 3019, "utility tolerance -1"},
        {var(31002, 445, 0), 3005, "cost index"},
        {var(32053, 786, 0), 3006, "emissions"},
        {var(31001, 310, 1), 4007, "operating cost"},
        {var(104, 214, 0), 0.0, "utility of one segment"},
        {var(104, 214, 7), 0.0, "utility row 7"},
        {var(104, 440, 0), E, "utility side of one segment"},
        {var(104, 450, 0), 1.0, "hot by the viewer's side"},
        {var(104, 451, 1), 0.0, "cold of the side choice"},
        {var(104, 452, 0), 1.0, "452"},
        {var(104, 453, 0), 1.0, "hot list"},
        {var(104, 454, 0), 0.0, "cold list"},
        {var(100, 660), 2, "utility count"},
        {var(104, 211), 1.0, "a local contribution"},
        {var(104, 1200, 0, 0), 1.0, "C1 may not meet H1"},
        {var(104, 1200, 0, 1), E, "no second hot process stream"},
        {var(104, 2000), 0.0, "no process segment tables"},
        {var(104, 2001), 0.0, "no utility segment tables"},
    });
}

TEST_F(ViewScenarioValues, EconomicsMethodsAndSettingsRowsReachTheirOwnCall) {
    scenario->assignmentStatus[0] = 2;
    scenario->assignmentMethod = 1;
    const double g = std::pow(64.0, 64.0);
    checkAll(*viewer, {
        {var(31000, 501, 1), 70, "constant of Steel"},
        {var(1519, 503, 1), 72, "exponent of Steel"},
        {var(105, 101, 1), 75, "basis of Steel"},
        {var(1519, 502, 1), 71, "coefficient, basis 75: unscaled"},
        {var(31000, 501, 2), E, "no third set"},
        {var(105, 510, 0, 1), 1, "cost model of C1 (cold 0) and HU (hot 1): Steel"},
        {var(105, 510, 0, 0), E, "a model that is no set"},
        {var(105, 510, 5, 0), E, "no such cold stream"},
        {named("rate_cap_int", 300), 6300, "rate x 100"},
        {named("exp_plant_life", 300), 64, "life"},
        {named("hours_of_operation", 300), 66, "hours"},
        {named("ann_factor", 300), 63 * g / (g - 1), "factor"},
        {var(107, 101), 81, "area option"},
        {var(107, 450), 0.0, "method 1"},
        {var(107, 550), 83, "capital kind"},
        {var(107, 560), 84, "area method"},
        {var(104, 751), 1.0, "a status and method 1"},
        {var(100, 211), 85, "designs wanted"},
        {var(1519, 765), 0.86, "F factor"},
        {var(1519, 766), 87, "level 1"},
        {var(1519, 767), 88, "level 2"},
        {var(1519, 768), 89, "level 3"},
        {var(1519, 769), 90, "level 4"},
        {var(100, 201), 0.0, "not retrofit"},
        {var(104, 1001), 0.0, "not retrofit 1001"},
        {var(104, 1000), 1.0, "1000"},
        {var(1519, 596), 0.0, "no designs"},
        {var(104, 2002), 0.0, "no site"},
        {var(104, 2005), 0.0, "no equations"},
        {var(104, 2006), 0.0, "no utilities at ports"},
        {var(1519, 219), 0.9, "default tolerance"},
    });
}

// The cost law's coefficient in display units: cost over the unit of its basis to the power of
// its exponent. 1000 per m2^0.5 is 1000 / 10.7639104^0.5 = 304.8000 per ft2^0.5; 1000 per kW^0.5
// is 1000 / 3412.14163^0.5 = 17.1193 per (Btu/hr)^0.5.
struct Coefficient {
    int units;
    double basis, a, shown;
};
void PrintTo(const Coefficient& c, std::ostream* os) {
    *os << "units " << c.units << ", basis " << c.basis << ": shows " << c.shown;
}
class ViewScenarioCostCoefficient : public ViewScenarioValues, public ::testing::WithParamInterface<Coefficient> {};
TEST_P(ViewScenarioCostCoefficient, IsShownPerDisplayUnitOfItsBasis) {
    const Coefficient& c = GetParam();
    scenario->steel = {{1, c.a}, {2, 0.5}, {5, c.basis}};
    const int before = GetDisplayUnitSet();
    SetDisplayUnitSet(c.units);
    const double shown = viewer->Value(var(1519, 502, 1));
    SetDisplayUnitSet(before);
    if (c.shown == E) EXPECT_EQ(E, shown);
    else EXPECT_NEAR(c.shown, shown, 1e-4);
}
INSTANTIATE_TEST_SUITE_P(ViewBases, ViewScenarioCostCoefficient,
                         ::testing::Values(Coefficient{SIUnits, 0, 1000, 1000}, Coefficient{CustomaryUnits, 0, 1000, 304.8},
                                           Coefficient{CustomaryUnits, 1, 1000, 17.1193},
                                           Coefficient{CustomaryUnits, 2, 1000, 1000},
                                           Coefficient{CustomaryUnits, 0, E, E}, Coefficient{SIUnits, 1, E, E}));

struct Assignment {
    int method;
    double shown;
};
void PrintTo(const Assignment& c, std::ostream* os) {
    *os << "method " << c.method << ": shows " << c.shown;
}
class ViewScenarioAssignmentMethod : public ViewScenarioValues, public ::testing::WithParamInterface<Assignment> {};
TEST_P(ViewScenarioAssignmentMethod, IsShownByItsChoice) {
    scenario->assignmentMethod = GetParam().method;
    EXPECT_EQ(GetParam().shown, viewer->Value(var(107, 450)));
}
INSTANTIATE_TEST_SUITE_P(ViewMethods, ViewScenarioAssignmentMethod,
                         ::testing::Values(Assignment{0, 1.0}, Assignment{1, 0.0}, Assignment{2, 2.0}, Assignment{3, E}));

TEST_F(ViewScenarioValues, DispatchQuirksHold) {
    viewer->tableColumn = 9;
    viewer->processRow = 4;
    // "ColPos" 105 answers before the type code is looked at.
    EXPECT_EQ(9.0, viewer->Value(named("ColPos", 105)));
    EXPECT_EQ(9.0, viewer->Value(named("ColPosU", 105)));
    EXPECT_EQ(4.0, viewer->Value(named("RowPos", 105)));
    // Numbers and names no row has go to the framework.
    for (const VarDescription& v : {var(1519, 999), named("Count", 411), named("ObjectStatus", 201), var(4101, 999)}) {
        EXPECT_EQ(nullptr, HIDesignViewerScenario::FindValueRow(v)) << v.ToString();
        EXPECT_EQ(E, viewer->Value(v));
    }
    // A handled type code is never tested by name: "Count" 410 of type 1 is no row.
    VarDescription typedCount(1, 410);
    EXPECT_EQ(nullptr, HIDesignViewerScenario::FindValueRow(typedCount));
    EXPECT_EQ(2.0, viewer->Value(named("Count", 410, 1)));
    EXPECT_EQ(E, viewer->Value(named("Count", 410, 2)));
    // A pinch's number read without an index is the first's, as with its index.
    EXPECT_EQ(1.0, viewer->Value(named("CountPinch", 200)));
    EXPECT_EQ(1.0, viewer->Value(named("CountPinch", 200, 0)));
    EXPECT_EQ(2.0, viewer->Value(named("CountPinch", 200, 1)));
    // With no pinch an index-less read has no first row to read: no number, no temperature.
    scenario->pinchPoints = 0;
    EXPECT_EQ(E, viewer->Value(named("CountPinch", 200)));
    EXPECT_EQ(E, viewer->Value(var(1, 200)));
    EXPECT_EQ(E, viewer->Value(var(1, 203)));
    // "PinchNo" without targets shows 0.
    scenario->pinchPoints = -1;
    EXPECT_EQ(0.0, viewer->Value(named("PinchNo", 200)));
    EXPECT_EQ(0.0, viewer->Value(named("NumOfPock", 200)));
    // "UtilInfoHot" by the assignment status.
    for (auto [status, shown] : {std::pair{0, 46.0}, {1, 0.0}, {2, 45.0}, {4, 45.0}, {7, 46.0}}) {
        scenario->assignmentStatus[0] = status;
        EXPECT_EQ(shown, viewer->Value(named("UtilInfoHot", 1))) << status;
    }
    EXPECT_EQ(1.0, viewer->Value(named("DelMes", 104)));
    EXPECT_EQ(3.0, viewer->Value(named("SubsetNumber", 125, 2)));
    // Without process streams the guarded targets are empty while the unguarded still show.
    scenario->streams = false;
    EXPECT_EQ(E, viewer->Value(var(6, 109)));
    EXPECT_EQ(100.0, viewer->Value(var(6, 655)));
    EXPECT_EQ(E, viewer->Value(named("GlMinUnit", 200)));
    EXPECT_EQ(E, viewer->Value(var(1519, 260, 0)));
}

TEST_F(ViewScenarioValues, FormStateMendsAndSideChoices) {
    // No general plot: the series switches answer and touch nothing.
    viewer->showDesignSeries = 0;
    EXPECT_EQ(0.0, viewer->Value(var(100, 252)));
    EXPECT_EQ(1.0, viewer->Value(var(100, 253)));
    // The option array: three elements, anything else empty; named without an index, its first
    // element, as every column reads.
    viewer->intArray109_250[0] = 4;
    viewer->intArray109_250[2] = 5;
    EXPECT_EQ(5.0, viewer->Value(var(109, 250, 2)));
    EXPECT_EQ(E, viewer->Value(var(109, 250, 3)));
    EXPECT_EQ(E, viewer->Value(var(109, 250, -5)));
    EXPECT_EQ(4.0, viewer->Value(var(109, 250)));
    // 100/260 by the utility flags.
    viewer->flag104_312 = false;
    EXPECT_EQ(1.0, viewer->Value(var(100, 260)));
    viewer->option100_246 = 0;
    EXPECT_EQ(0.0, viewer->Value(var(100, 260)));
    viewer->flag104_312 = true;
    EXPECT_EQ(2.0, viewer->Value(var(100, 260)));
    viewer->flag104_313 = true;
    EXPECT_EQ(1.0, viewer->Value(var(100, 260)));
    // Side pairs: (0, 0) empty, (1, 0) hot only.
    viewer->option100_250 = 0;
    viewer->option100_249 = 0;
    EXPECT_EQ(E, viewer->Value(var(6, 106, 0)));
    EXPECT_EQ(E, viewer->Value(var(1, 443, 0)));
    EXPECT_EQ(3011.0, viewer->Value(var(6, 450, 0, 3)));
    viewer->option100_250 = 1;
    EXPECT_EQ(100.0, viewer->Value(var(6, 106, 0)));
    EXPECT_EQ(3007.0, viewer->Value(var(31001, 301, 0)));
    EXPECT_EQ(3003.0, viewer->Value(var(1, 443, 0)));
    EXPECT_EQ(E, viewer->Value(var(1, 443, 1)));
    // 105/204 by the side.
    EXPECT_EQ(7.0, viewer->Value(var(105, 204, 1)));
    EXPECT_EQ(E, viewer->Value(var(105, 204, 0)));
}

TEST_F(ViewScenarioValues, EveryRowIsListedOnceAndAnUnboundViewerIsEmpty) {
    FormDescription form;
    HIDesignViewerScenario::DescribeForm(form);
    std::set<FormKey> keys;
    int rows = 0;
    for (const FormVariable& v : form.Variables()) {
        VarDescription parsed;
        ASSERT_TRUE(VarDescription::Parse(v.address, parsed)) << v.address;
        EXPECT_TRUE(keys.insert(FormKey::Of(parsed)).second) << v.address << " listed twice";
        if (v.hook == FormHook::Value) ++rows;
    }
    // A variable that is read and written is listed once.
    std::set<Text> addresses;
    for (const auto* row : HIDesignViewerScenario::ValueRows()) addresses.insert(row->Address());
    for (const auto* row : HIDesignViewerScenario::InputRows()) addresses.insert(row->Address());
    EXPECT_EQ(static_cast<int>(addresses.size()), rows);
    // Each row is the one the dispatcher finds for its own address.
    for (const auto* row : HIDesignViewerScenario::ValueRows()) {
        VarDescription parsed;
        ASSERT_TRUE(VarDescription::Parse(row->Address(), parsed));
        EXPECT_EQ(row, HIDesignViewerScenario::FindValueRow(parsed)) << row->Address();
    }

    HIDesignViewerScenario unbound(owner, "None", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    unbound.tableColumn = 3;
    for (const auto* row : HIDesignViewerScenario::ValueRows()) {
        VarDescription parsed;
        VarDescription::Parse(row->Address(), parsed);
        for (int i : {-1, 0, 1, 99}) {
            if (i >= 0) parsed.SetOffset(0, i), parsed.SetOffset(1, i);
            EXPECT_EQ(E, unbound.Value(parsed)) << row->Address();
        }
    }
}

// An existing network with one exchanger and the given hot utility load.
class ExistingNetwork : public scenario_test::FakeDesign {
public:
    ExistingNetwork() : FakeDesign("Existing") {}
    int GetNumberOfHeatExchangers() const override { return 1; }
};

TEST_F(ViewScenarioValues, WorkedValuesOfTheTargetAndStreamPages) {
    // A zero capital target: empty as a result, 0.0 as a figure.
    scenario->capitalTarget = 0.0;
    EXPECT_EQ(E, viewer->Value(var(31000, 551)));
    EXPECT_EQ(0.0, viewer->Value(var(31000, 654)));
    // Agreement of a zero hot utility target with an existing network's 5.0.
    ExistingNetwork existing;
    existing.utilityLoad = 5.0;
    scenario->existing = &existing;
    scenario->utilityTargets[0] = 0.0;
    EXPECT_EQ(0.0, viewer->Value(var(1519, 260, 0)));
    EXPECT_EQ(5.0, viewer->Value(var(1519, 260, 1)));
    EXPECT_EQ(-32768.0, viewer->Value(var(1519, 260, 2)));
    scenario->utilityTargets[0] = 4.0;
    EXPECT_EQ(125.0, viewer->Value(var(1519, 260, 2)));
    scenario->existing = nullptr;
    // A units-target entry of a hot 300 kW and a cold 200 kW stream: 200 - 300.
    scenario->h1.load = 300.0;
    scenario->c1.load = 200.0;
    EXPECT_EQ(-100.0, viewer->Value(var(6, 225, 0)));
    EXPECT_EQ(-100.0, viewer->Value(named("TotalImbalance", 125, 0)));
    EXPECT_EQ(-100.0, viewer->Value(var(6, 800, 0)));
    EXPECT_EQ(0.0, viewer->Value(var(6, 800, 3)));
    EXPECT_EQ(E, viewer->Value(var(6, 225, 3)));
    // A local contribution of 5.0 is shown as the approach it adds to: 10.0.
    scenario->h1.contribution = 5.0;
    EXPECT_EQ(10.0, viewer->Value(var(1517, 406, 0)));
    // Row 99: the segmented flag is 0.0, the side of a segmented stream empty.
    EXPECT_EQ(0.0, viewer->Value(var(104, 413, 99)));
    EXPECT_EQ(E, viewer->Value(var(104, 411, 99)));
}

// ---- real scenarios: worked by hand ----

TEST(ViewScenarioWorkedValues, ActualScenarioFiguresShowAsWorked) {
    Session::Instance().Reset();
    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    auto* owner = new Viewable(nullptr, "HIDesignViewerProjectObject");
    owner->SetName("Plant");
    owner->SetDocument(&document);
    auto* viewer = new HIDesignViewerScenario(owner, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    viewer->SetEngineeringScenario(p.scenario, 0);
    // A walk over every row, every cell its sizes give (and a few outside them), its sizes and
    // its choices: nothing may fail (the sanitizer builds run this too).
    auto walk = [&] {
        int cells = 0;
        for (const auto* row : HIDesignViewerScenario::ValueRows()) {
            VarDescription parsed;
            VarDescription::Parse(row->Address(), parsed);
            DimInfo dims;
            viewer->Dimensions(parsed, dims);
            (void)viewer->GetEnumInfo(VariableNameInfo(parsed, Text()));
            // A variable of rows read without an index is its first row, as ".0" reads it; with no
            // row it reads empty.
            if (row->dims >= 1 || row->rows != HIDesignViewerScenario::ValueRow::Rows::None) {
                VarDescription first = parsed;
                first.SetOffset(0, 0);
                const bool noRow = dims.NumberOfDims() > 0 && dims.Dim(0) == 0;
                EXPECT_EQ(noRow ? E : viewer->Value(first), viewer->Value(parsed)) << row->Address();
            }
            const int rows = std::min(dims.NumberOfDims() > 0 ? dims.Dim(0) : 1, 50);
            for (int i = -1; i <= rows + 1; ++i)
                for (int j = -1; j <= std::min(dims.Dim(1), 20) + 1; ++j) {
                    VarDescription cell = parsed;
                    cell.SetOffset(0, i);
                    cell.SetOffset(1, j);
                    const double v = viewer->Value(cell);
                    EXPECT_FALSE(std::isnan(v)) << row->Address() << " " << i << " " << j;
                    ++cells;
                }
        }
        return cells;
    };
    EXPECT_GT(walk(), 0);
    EXPECT_EQ(E, viewer->Value(var(6, 107)));

    // Rate 0.08: 8 percent; 0.10 over 10 years: 0.1627454; no interest: 1/n; no life either: empty.
    p.scenario->SetEconomicData(3, 0.08, "DEFAULT");
    EXPECT_NEAR(8.0, viewer->Value(named("rate_cap_int", 300)), 1e-12);
    p.scenario->SetEconomicData(3, 0.10, "DEFAULT");
    p.scenario->SetEconomicData(4, 10.0, "DEFAULT");
    EXPECT_NEAR(0.1627454, viewer->Value(named("ann_factor", 300)), 5e-8);
    p.scenario->SetEconomicData(3, 0.0, "DEFAULT");
    EXPECT_NEAR(0.1, viewer->Value(named("ann_factor", 300)), 1e-12);
    p.scenario->SetEconomicData(4, 0.0, "DEFAULT");
    EXPECT_EQ(E, viewer->Value(named("ann_factor", 300)));

    // The four streams at DTmin 10: hot 20 kW, cold 60 kW, pinch 90/80 C.
    ForEachFourStream([&](const char* n, double s, double t, double cp) { p.AddProcess(n, s, t, cp); });
    p.scenario->SetDTmin(10.0);
    EXPECT_NEAR(20.0, viewer->Value(var(6, 107)), 1e-6);
    EXPECT_NEAR(60.0, viewer->Value(var(6, 108)), 1e-6);
    EXPECT_NEAR(80.0, viewer->Value(var(6, 109)), 1e-6);
    EXPECT_GE(viewer->Value(named("PinchNo", 200)), 1.0);
    EXPECT_NEAR(90.0, viewer->Value(var(1, 200, 0)), 1e-6);
    EXPECT_NEAR(80.0, viewer->Value(var(1, 203, 0)), 1e-6);
    EXPECT_EQ(0.0, viewer->Value(var(104, 413, 99)));
    EXPECT_EQ(E, viewer->Value(var(104, 411, 99)));
    walk();
    ASSERT_EQ(1, p.scenario->AddDesign("D1"));
    ASSERT_EQ(1, p.scenario->AddDesign("D2"));
    viewer->SetCurrentDesign(1);
    EXPECT_EQ(2.0, viewer->Value(var(1519, 596)));
    walk();
    delete owner;
    Session::Instance().Reset();
}

}  // namespace
