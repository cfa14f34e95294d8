// The numbers of the scenario viewer's design and retrofit pages: every row wired to its own
// design and engine call (sentinel designs and a sentinel scenario answer each call with a number
// of their own; the expectations are written out here by hand), the values worked by hand, and a
// walk over every row with designs, a base design and none.
#include "tests/views/case/scenario/ScenarioDesignSentinel.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"
#include "views/case/scenario/ScenarioValueRows.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double E = -32767.0;

VarDescription var4(int type, int number, int i, int j, int k) {
    VarDescription v = var(type, number, i, j);
    v.SetOffset(2, k);
    return v;
}

struct Wire {
    VarDescription var;
    double expected;
    const char* what;
};

// D1 (selected, exchangers A and C), D2 (row 1 of the ranked list, P, Q and R), the simulation
// base case (S) and the existing network "Existing" (A and B) on the sentinel scenario.
class ViewScenarioDesignValues : public SentinelScenarioViewerTest<DesignScenario> {
protected:
    ViewScenarioDesignValues() {
        scenario->ranked = {&d1, &d2};
        scenario->designs = 2;
        scenario->simulation = &simulation;
        scenario->existing = &existing;
        selected = new HIDesignViewerDesign(viewer, "D1", ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        selected->SetEngineeringDesign(&d1, false);
        viewer->SetSelectedObject(selected);
    }
    ~ViewScenarioDesignValues() override {
        viewer->SetSelectedObject(viewer);
        delete selected;
    }
    void checkAll(const std::vector<Wire>& table) {
        for (const Wire& w : table) {
            const double got = viewer->Value(w.var);
            EXPECT_NEAR(w.expected, got, std::fabs(w.expected) * 1e-12 + 1e-9) << w.what << " (" << w.var.Type() << "/"
                                                                                << w.var.Number() << ")";
        }
    }
    SentinelDesign d1{"D1", 1, {"A", "C"}}, d2{"D2", 2, {"P", "Q", "R"}};
    SentinelDesign simulation{"SimulationBaseCase", 5, {"S"}}, existing{"Existing", 7, {"A", "B"}};
    HIDesignViewerDesign* selected = nullptr;
};

// HU: load 3010, cost index 3005, operating cost 3007; CU: 4010, 4005, 4007.
const double kHotUtilityCost = 3010.0 * 3005.0, kColdUtilityCost = 4010.0 * 4005.0;

TEST_F(ViewScenarioDesignValues, SelectedDesignRowsAndTheDesignMatrix) {
    checkAll({
        // The selected design D1 (b 100) and its exchangers A (1000) and C (1100).
        {var(1519, 203, 0), 1001, "ExShell of A"},
        {var(1519, 205, 1), 1102, "AdShell of C"},
        {var(1519, 206, 0), 1003, "TotalNShells of A"},
        {var(1508, 203, 1), 1104, "ExArea of C"},
        {var(1508, 204, 0), 1005, "HTArea of A"},
        {var(1508, 205, 0), 1006, "AddArea of A"},
        {var(31000, 203, 1), 1107, "AddCapCost of C"},
        {var(1519, 203, 2), E, "no third exchanger"},
        {var(6, 320, 0), 110, "hot utility load"},
        {var(6, 320, 1), 111, "cold utility load"},
        {var(6, 320, 2), E, "no third side"},
        {var(31001, 320, 0), 120, "hot utility cost"},
        {var(31001, 320, 1), 121, "cold utility cost"},
        {var(6, 622, 1), 110, "side 1 is hot"},
        {var(6, 622, 2), 111, "side 2 is cold"},
        {var(6, 622, 0), E, "the table shows both sides"},
        {var(31001, 622, 1), 120, "hot cost"},
        {var(31001, 622, 2), 121, "cold cost"},
        {var(1519, 622, 1), 110, "hot load against the target 100"},
        {var(1519, 622, 2), 100.0 * 111 / 101, "cold load against the target 101"},
        {var(100, 200), 0, "not locked"},
        {var(104, 315, 0), 1, "A was sized to its minimum area"},
        {var(104, 315, 1), 0, "C was not"},
        // Row 1 of the ranked list: D2 (b 200).
        {var(1519, 201, 1), 2.0, "payback in years"},
        {var(1519, 201, 0), 1.0, "D1's payback"},
        {var(1519, 610, 1), 203, "shells"},
        {var(1519, 800, 1), 3, "exchangers"},
        {var(31000, 202, 1), 206, "capital cost calculated"},
        {var(31000, 611, 1), 204, "capital cost"},
        {var(1508, 609, 1), 201, "area"},
        {var(1508, 759, 1), 201, "area of a design with exchangers"},
        {var(1508, 760, 1), 202, "added area"},
        {var(6, 612, 1), 210, "hot load"},
        {var(6, 613, 1), 211, "cold load"},
        {var(6, 754, 1), 210, "hot load of a design with exchangers"},
        {var(6, 755, 1), 211, "cold load of a design with exchangers"},
        {var(31001, 608, 1), 222 + 205, "total annual cost"},
        {var(31001, 764, 1), 222, "utility cost"},
        {var(1519, 610, 2), E, "no third design"},
        {var(104, 850, 1), 1, "the list of complete designs"},
        // The design matrix of D2 against the targets (Compare(target, value) = value / target).
        {var(110, 201, 1), 100.0 * 427 / 305, "total annual cost"},
        {var(110, 202, 1), 100.0, "area"},
        {var(110, 203, 1), 100.0 * 3 / 41, "units"},
        {var(110, 204, 1), 100.0 * 203 / 50, "shells"},
        {var(110, 205, 1), 100.0 * 204 / 307, "capital"},
        {var(110, 206, 1), 210.0, "hot utility"},
        {var(110, 207, 1), 100.0 * 211 / 101, "cold utility"},
        {var(110, 208, 1), 100.0 * 222 / 304, "operating cost"},
        {var(110, 201, 2), E, "no third design"},
        {var(110, 214), 100, "214"},
        {var(110, 215), 100, "215"},
        {var(110, 216), E, "216"},
        {var(110, 217), E, "217"},
        {var(1519, 760, 0), 103, "matrix shells of D1"},
        {var(1508, 758, 1), 201, "matrix area of D2"},
        {var(31001, 761, 0), 122, "matrix utility cost of D1"},
        {var(31001, 614, 1), 222, "utility cost of D2"},
        {var(31001, 614, 4), E, "past the designs and two"},
    });
    // Every design of the list is read when the choice is every design.
    viewer->option100_251 = 0;
    d2.complete = false;
    EXPECT_EQ(0.0, viewer->Value(var(104, 850, 1)));
    EXPECT_EQ(1.0, viewer->Value(var(104, 850, 5))) << "no such design";
    d1.locked = true;
    EXPECT_EQ(1.0, viewer->Value(var(100, 200)));
}

TEST_F(ViewScenarioDesignValues, SimulationBaseCaseAndTheSelectedDesignsUtilities) {
    checkAll({
        // Targets beside the simulation base case (b 500).
        {var(1519, 611, 0), 50, "shells target"},
        {var(1519, 611, 1), 503, "base case shells"},
        {var(6, 614, 0), 100, "hot target"},
        {var(6, 614, 1), 510, "base case hot load"},
        {var(6, 615, 2), 511, "base case cold load"},
        {var(31000, 613, 0), 307, "capital target"},
        {var(31000, 613, 1), 504, "base case capital"},
        {var(1508, 610, 0), 201, "area target"},
        {var(1508, 610, 1), 501, "base case area"},
        {var(31001, 609, 0), 305, "total annual cost target"},
        {var(31001, 609, 1), 1027, "base case total annual cost"},
        {var(31001, 615, 0), 304, "operating target"},
        {var(31001, 615, 1), 522, "base case operating cost"},
        {var(1519, 623, 0), 100, "basis of the total annual cost target"},
        {var(1519, 623, 1), 100.0 * 1027 / 305, "base case against it"},
        {var(1519, 624, 1), 100.0 * 501 / 201, "area"},
        {var(1519, 625, 1), 100.0 * 503 / 50, "shells"},
        {var(1519, 626, 1), 100.0 * 504 / 307, "capital"},
        {var(1519, 627, 1), 510, "hot"},
        {var(1519, 628, 1), 100.0 * 511 / 101, "cold"},
        {var(1519, 629, 1), 100.0 * 522 / 304, "operating"},
        {var(1519, 333), 1, "the base case can be retrofitted"},
        // The utilities of D1: used loads HU 133, CU 134; costs 143, 144.
        {var(6, 600, 0), 133, "HU of both sides"},
        {var(6, 600, 1), 134, "CU of both sides"},
        {var(6, 600, 2), E, "past the utilities"},
        {var(6, 602, 0), 133, "hot side"},
        {var(6, 602, 1), E, "one hot utility"},
        {var(6, 605, 0), 134, "cold side"},
        {var(6, 603, 0), 133, "hot, unguarded"},
        {var(6, 604, 0), 134, "cold, unguarded"},
        {var(31001, 603, 0), 143, "hot cost"},
        {var(31001, 606, 0), 144, "cold cost"},
        {var(31001, 604, 0), 143, "hot cost, unguarded"},
        {var(31001, 605, 0), 144, "cold cost, unguarded"},
        {var(6, 282, 1, 0), 134, "CU load"},
        {var(6, 282, 0, 1), E, "index 2 must be 0"},
        {var(31001, 282, 0), 143, "HU cost"},
        {var(31001, 281, 1), 4007, "CU operating cost"},
        {var(6, 281, 0, 0), 3010, "HU load"},
        {var(6, 281, 0, 1), E, "index 2 must be 0"},
        {var(1519, 598, 0), 100.0 * 133 / 3010, "HU share of its load"},
        {var(1519, 599, 0), 100.0 * 134 / 4010, "CU share"},
        {var(1519, 600, 0), 100.0 * 133 / 3010, "HU share, hot side"},
        {var(1519, 632, 0), 100.0 * 133 / 3010, "HU percent"},
        {var(1519, 633, 0), 100.0 * 134 / 4010, "CU percent"},
    });
    scenario->simulation = nullptr;
    EXPECT_EQ(E, viewer->Value(var(1519, 623, 1))) << "no simulation base case";
    EXPECT_EQ(100.0, viewer->Value(var(1519, 623, 0)));
    EXPECT_EQ(E, viewer->Value(var(6, 614, 1)));
    EXPECT_EQ(0.0, viewer->Value(var(1519, 333)));
    scenario->hu.load = 0.0;
    EXPECT_EQ(E, viewer->Value(var(1519, 632, 0))) << "no load to share";
}

TEST_F(ViewScenarioDesignValues, ComparisonColumnsAndPercentageMatrices) {
    checkAll({
        // Base design "Existing" (b 700), target side, selected design D1 (b 100).
        {var(6, 271, 0, 0), 710, "base hot load"},
        {var(6, 271, 1, 0), 100, "hot target"},
        {var(6, 271, 2, 0), 110, "D1 hot load"},
        {var(6, 271, 1, 1), E, "index 2 must be 0"},
        {var(6, 273, 0, 0), 711, "base cold load"},
        {var(6, 273, 1, 0), 101, "cold target"},
        {var(6, 273, 2, 0), 111, "D1 cold load"},
        {var(31001, 270, 0, 0), 720, "base hot cost"},
        {var(31001, 270, 1, 0), kHotUtilityCost, "hot utilities at their loads"},
        {var(31001, 270, 2, 0), 120, "D1 hot cost"},
        {var(31001, 272, 1, 0), kColdUtilityCost, "cold utilities at their loads"},
        {var(31001, 272, 2, 0), 121, "D1 cold cost"},
        {var(1519, 208, 0), 703, "base shells"},
        {var(1519, 208, 1), 103, "D1 shells"},
        {var(1519, 208, 2), 1002 + 1102, "added shells of D1"},
        {var(1519, 250, 0), 703, "base shells"},
        {var(1519, 250, 1), 103, "D1 shells"},
        {var(1519, 250, 2), 1003 + 1103, "shells of D1's exchangers"},
        {var(1508, 250, 0), 701, "base area"},
        {var(1508, 250, 1), 101, "D1 area"},
        {var(1508, 250, 2), 1006 + 1105, "added area of A and the whole of C"},
        {var(1508, 251, 0), 701, "base area"},
        {var(1508, 251, 1), 101, "D1 area"},
        {var(1508, 251, 2), 1006 + 1106, "added area of D1"},
        {var(31001, 762), kHotUtilityCost, "hot utility cost"},
        {var(31001, 763), kColdUtilityCost, "cold utility cost"},
        // Percentages of 1519/271: base 710, target 100, design 110; index 2 the reference.
        {var(1519, 271, 0, 1), 100, "basis of the base"},
        {var(1519, 271, 1, 1), 100.0 * 100 / 710, "target against the base"},
        {var(1519, 271, 2, 1), 100.0 * 110 / 710, "design against the base"},
        {var(1519, 271, 3, 1), E, "no fourth row"},
        {var(1519, 271, 1, 2), 100, "basis of the target"},
        {var(1519, 271, 0, 2), 710, "base against the target"},
        {var(1519, 271, 2, 2), 110, "design against the target"},
        {var(1519, 271, 3, 2), 110, "rows past 2 read the design on the hot side"},
        {var(1519, 273, 3, 2), E, "but not on the cold side"},
        {var(1519, 273, 0, 2), 100.0 * 711 / 101, "cold base against its target"},
        {var(1519, 271, 0, 0), E, "no reference column 0"},
        {var(1519, 270, 1, 1), 100.0 * kHotUtilityCost / 720, "hot cost against the base"},
        {var(1519, 272, 2, 2), 100.0 * 121 / kColdUtilityCost, "design cold cost against the utilities"},
        // HU against the base design: its load there 753, its cost 743.
        {var4(1519, 280, 0, 1, 0), 100, "basis of the base load"},
        {var4(1519, 280, 0, 2, 0), 100.0 * 753 / 3010, "base load against HU's"},
        {var4(1519, 281, 0, 1, 0), 100.0 * 3010 / 753, "HU's load against the base"},
        {var4(1519, 281, 0, 2, 0), 100, "basis of HU's load"},
        {var4(1519, 282, 0, 1, 0), 100.0 * 133 / 753, "D1's load against the base"},
        {var4(1519, 282, 0, 2, 0), 100.0 * 133 / 3010, "D1's load against HU's"},
        {var4(1519, 280, 0, 2, 1), 100.0 * 743 / 3007, "costs"},
        {var4(1519, 282, 0, 1, 1), 100.0 * 143 / 743, "D1's cost against the base"},
        {var4(1519, 280, 0, 1, 2), E, "no third quantity"},
        {var4(1519, 280, 0, 3, 0), E, "no third column"},
        {var4(1519, 280, 2, 1, 0), E, "no third utility"},
    });
}

TEST_F(ViewScenarioDesignValues, RetrofitRowsReachTheirGetters) {
    checkAll({
        {var(1519, 290, 0), 7003, "shells of the base's A"},
        {var(1508, 290, 1), 7105, "area of the base's B"},
        {var4(31001, 280, 0, 0, 0), 753, "HU load in the base"},
        {var4(31001, 280, 0, 0, 1), 743, "HU cost in the base"},
        {var4(6, 280, 0, 0, 0), 753, "HU load"},
        {var4(6, 280, 0, 1, 0), E, "index 2 must be 0"},
        // Old exchangers: A is kept (D1's A), B is gone.
        {var(6, 291, 0), 1008, "A's duty now"},
        {var(6, 291, 1), E, "B is gone"},
        {var(1508, 291, 0), 1005, "A's area now"},
        {var(1519, 291, 0), 1003, "A's shells now"},
        {var(6, 292, 0), 0, "A's duty did not grow"},
        {var(1508, 292, 0), 1006, "A's added area"},
        {var(31000, 292, 0), 1007, "A's added capital"},
        {var(1519, 292, 0), 1002, "A's added shells"},
        // New exchangers follow the base's rows: C, at position 1 of D1.
        {var(6, 292, 2), 1108, "C's duty"},
        {var(1508, 292, 2), 1105, "C's area"},
        {var(31000, 292, 2), 1109, "C's capital"},
        {var(1519, 292, 2), 1103, "C's shells"},
        {var(1, 703, 0), 9000, "hot in"},
        {var(1, 704, 0), 9001, "hot out"},
        {var(1, 706, 0), 9002, "cold in"},
        {var(1, 707, 0), 9003, "cold out"},
        {var(6, 712, 0), 1108, "duty"},
        {var(1517, 702, 0), 1111, "LMTD"},
        {var(1524, 701, 0), 1110, "coefficient"},
        {var(1508, 710, 0), 1105, "area"},
        {var(1519, 705, 0), 1, "position"},
        {var(1519, 708, 0), 1, "position"},
        {var(1519, 709, 0), 1103, "shells"},
        {var(31000, 711, 0), 1109, "capital"},
        {var(6, 712, 1), E, "one new exchanger"},
        // The retrofitted exchangers of D1 against their counterparts.
        {var(6, 318, 0), 7008, "the base's duty of A"},
        {var(6, 319, 0), 0, "no extra duty"},
        {var(1508, 320, 0), 7005, "the base's area of A"},
        {var(1508, 321, 0), 1012, "spare area"},
        {var(1508, 322, 0), 1006, "added area"},
        {var(1519, 320, 0), 1002, "added shells"},
        {var(31000, 320, 0), 0, "cheaper than before"},
        {var(6, 318, 1), E, "C has no counterpart"},
        {var(1508, 330), 1006 + 1106, "added area over the shown exchangers"},
        {var(1519, 330), 1002 + 1102, "added shells"},
        {var(31000, 330), 1109, "added capital: C whole"},
        {var(6, 330), E, "no extra duty anywhere"},
        // Summary: D1, the base, the targets.
        {var(1519, 302, 0), 110, "D1 hot load"},
        {var(1519, 302, 1), 710, "base hot load"},
        {var(1519, 302, 2), 100, "hot target"},
        {var(1519, 305, 0), 101, "D1 area"},
        {var(1519, 306, 0), 1006 + 1106, "D1 added area"},
        {var(1519, 306, 1), E, "the base adds nothing"},
        {var(1519, 301, 2), 3007, "hot utility target cost"},
        // Utilities of D1 against the base, stream by stream.
        {var(1519, 310, 0), 153, "HU in D1"},
        {var(1519, 311, 0), 753, "HU in the base"},
        {var(1519, 312, 0), 600, "saved"},
        {var(1519, 313, 0), 3010, "target"},
        {var(31001, 600, 0), 143, "HU cost in D1"},
        {var(31001, 600, 1), 144, "CU cost in D1"},
        {var(31001, 311), 122, "D1 utility cost"},
        {var(31001, 312), 722, "base utility cost"},
        {var(31001, 313), 600, "saved"},
        {var(6, 301), 600, "load saved"},
        {var(31001, 314), 3005.0 * 3010 + 4005.0 * 4010, "utilities at their loads"},
        {var(31000, 201), 1109, "new capital"},
        // Against the base design (area 701).
        {var(1519, 209, 0), 100, "basis"},
        {var(1519, 209, 1), 100.0 * 101 / 701, "D1's area"},
        {var(1519, 209, 2), 100.0 * 2112 / 701, "D1's added area"},
        {var(1519, 209, 3), E, "no fourth column"},
        {var(1519, 251, 0), 100, "basis"},
        {var(1519, 251, 1), 100.0 * 101 / 701, "D1's area"},
        {var(1519, 251, 2), 100.0 * 2111 / 701, "new equipment area"},
        {var(1519, 248, 0), E, "no first row even with a base"},
        {var(1519, 248, 1), 100.0 * 6318 / 701, "D2's added area"},
        {var(1519, 248, 2), E, "no other design there"},
        {var(1508, 206, 0), E, "no first row"},
        {var(1508, 206, 1), 6318, "D2's added area"},
        {var(1508, 711, 1), 7105, "the base's B area"},
        {var(6, 290, 0), 7008, "the base's A duty"},
        {var(31001, 201), 600, "utility cost saved"},
        // D2 against the base design.
        {var(1519, 245, 1), 100.0 * 212 / 712, "all utility load"},
        {var(1519, 246, 1), 2.0, "payback"},
        {var(31001, 203, 1), 500, "utility cost saved"},
        {var(110, 240, 1), 100.0 * 201 / 701, "area"},
        {var(110, 241, 1), 100.0 * 6315 / 701, "new area"},
        {var(110, 242, 1), 100.0 * 204 / 704, "capital"},
        {var(110, 243, 1), 100.0 * 210 / 710, "hot"},
        {var(110, 244, 1), 100.0 * 211 / 711, "cold"},
        {var(110, 247, 1), 100.0 * 212 / 712, "all"},
        {var(110, 245, 1), E, "245"},
        {var(110, 246, 1), E, "246"},
        {var(110, 240, 2), E, "no third design"},
    });
    // The port temperature 705 is not a new-exchanger value: the framework answers it.
    EXPECT_EQ(nullptr, HIDesignViewerScenario::FindValueRow(var(1, 705, 0)));
    viewer->flag104_270 = true;
    EXPECT_NEAR(100.0 * 1005 / 7005, viewer->Value(var(110, 209, 0)), 1e-9) << "area against the base's";
}

// Figures worked by hand: units against exchangers, the basis of a zero or empty base, a saving.
TEST_F(ViewScenarioDesignValues, WorkedValues) {
    // 6 exchangers against 5 units: 120 %.
    SentinelDesign six{"Six", 3, {"U1", "U2", "U3", "U4", "U5", "U6"}};
    scenario->ranked = {&six, &d1};
    scenario->minimumUnits = 5;
    EXPECT_DOUBLE_EQ(120.0, viewer->Value(var(110, 203, 0)));
    // 1519/209 column 0: the basis of the base's area.
    existing.area = 0.0;
    EXPECT_EQ(0.0, viewer->Value(var(1519, 209, 0)));
    existing.area = E;
    EXPECT_EQ(E, viewer->Value(var(1519, 209, 0)));
    existing.area = 55.0;
    EXPECT_EQ(100.0, viewer->Value(var(1519, 209, 0)));
    // The saving of 31001/201: base 1000, design 800.
    existing.allUtilityCost = 1000.0;
    d1.allUtilityCost = 800.0;
    EXPECT_EQ(200.0, viewer->Value(var(31001, 201)));
    // Without a base design every value against it is empty.
    scenario->existing = nullptr;
    for (const VarDescription& v : {var(1519, 209, 0), var(1519, 251, 1), var(1519, 248, 1), var(1508, 206, 1),
                                    var(110, 240, 0), var(31001, 201), var(1508, 711, 0)})
        EXPECT_EQ(E, viewer->Value(v)) << v.Type() << "/" << v.Number();
}

// Every value row, at a spread of indices, with designs and a base design, with designs alone, and
// with none: each answer is a number or the empty value, never a crash.
TEST_F(ViewScenarioDesignValues, EveryRowRunsCleanWithAndWithoutDesigns) {
    auto walk = [&](const char* what) {
        for (const auto* row : HIDesignViewerScenario::ValueRows()) {
            VarDescription v;
            ASSERT_TRUE(VarDescription::Parse(row->Address(), v));
            for (int i : {0, 1, 2, 7})
                for (int j : {0, 1, 2}) {
                    v.SetOffset(0, i), v.SetOffset(1, j), v.SetOffset(2, j % 2);
                    EXPECT_TRUE(std::isfinite(viewer->Value(v))) << what << " " << row->Address();
                }
        }
    };
    walk("designs and a base");
    // A payback is counted against the base design: the base has none, and no design has one
    // once there is no base.
    scenario->ranked = {&existing, &d2};
    EXPECT_EQ(E, viewer->Value(var(1519, 201, 0))) << "the base design's own payback";
    EXPECT_EQ(2.0, viewer->Value(var(1519, 201, 1)));
    scenario->existing = nullptr;
    EXPECT_EQ(E, viewer->Value(var(1519, 201, 1))) << "a payback without a base design";
    scenario->ranked = {&d1, &d2};
    scenario->simulation = nullptr;
    walk("designs");
    viewer->SetSelectedObject(viewer);
    scenario->ranked.clear();
    scenario->designs = 0;
    walk("none");
    for (const VarDescription& v : {var(6, 320, 0), var(1519, 201, 0), var(110, 201, 0), var(1519, 611, 1),
                                    var(6, 600, 0), var(1519, 290, 0), var(110, 240, 0)})
        EXPECT_EQ(E, viewer->Value(v)) << v.Type() << "/" << v.Number();
}

}  // namespace
