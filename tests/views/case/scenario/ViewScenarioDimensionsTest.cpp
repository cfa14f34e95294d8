// The scenario viewer's table sizes, rule by rule in their order, and its choice lists. The
// sentinel scenario's counts: 2 process streams (1 hot, 1 cold), 2 utilities (1 hot, 1 cold),
// 3 pinches, 4 pockets, 30 + k points on curve k, 5 area-target matches, 2 economic data sets,
// 3 units-target solutions of 4 + g entries, entry 0 of solution 0 naming 2 streams and entry
// 1 of solution 2 naming 1.
#include "brasko/CaseDocument.h"
#include "brasko/IDefaultUtilityManager.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioSentinel.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <gtest/gtest.h>

namespace {

VarDescription link(const char* address) {
    VarDescription v;
    VarDescription::Parse(address, v);
    return v;
}

class ViewScenarioDimensions : public SentinelScenarioViewerTest<> {
protected:
    ViewScenarioDimensions() { scenario->pockets = 4; }
    std::vector<int> dims(const VarDescription& v, HIDesignViewerScenario* on = nullptr) {
        DimInfo d;
        (on ? on : viewer)->Dimensions(v, d);
        std::vector<int> out;
        for (int i = 0; i < d.NumberOfDims(); ++i) out.push_back(d.Dim(i));
        return out;
    }
    int htcDefaults() {
        IDefaultUtilityManager* m = nullptr;
        return scenario->GetDefaultUtilityManager(m) && m ? m->GetNumberOfHTCDefaultValues() : 0;
    }
};

using Sizes = std::vector<int>;

TEST_F(ViewScenarioDimensions, RulesAnswerInTheirOrder) {
    const int H = htcDefaults();
    viewer->option105_127 = 0;
    viewer->selectedRow = 2;
    struct Case {
        VarDescription v;
        Sizes expected;
        const char* rule;
    };
    const std::vector<Case> cases = {
        {link("HIDesignViewerDesign.200"), {0}, "1 design viewers"},
        {link("SegmentTable.201"), {0}, "1 process segment tables"},
        {named("CountPinch", 200), {3}, "2 pinches by name"},
        {var(1, 203), {3}, "2 pinches"},
        {var(1, 226), {5}, "3 matches"},
        {var(1, 701), {2}, "3 two ends"},
        {var(9, 200), {2}, "4 process tolerances"},
        {var(9, 203), {2}, "4 utility tolerances"},
        {named("cntPock", 201), {4}, "5 pockets by name"},
        {var(1, 202), {4}, "5 pockets"},
        {var(1, 220), {30}, "6 composite"},
        {var(6, 221), {30}, "6 composite loads"},
        {var(6, 250), {33}, "6 curve 3"},
        {var(1519, 251), {34}, "6 curve 4 before the per-type table"},
        {var(1, 252), {38}, "6 curve 8"},
        {var(1, 253), {39}, "6 curve 9"},
        {var(1, 254), {73}, "6 curves 7 and 6"},
        {var(1, 222), {35}, "6 curve 5"},
        {var(6, 223), {35}, "6 curve 5 loads"},
        {var(1519, 227), {H + 1}, "7 defaults with the new row"},
        {var(1524, 229), {H}, "7 defaults"},
        {var(4, 105), {2}, "8 mass flows"},
        {named("StrName", 402), {0}, "9 no link list"},
        {named("StrName", 403, 0), {0, 0}, "9 no link list: two sizes"},
        {named("StrName", 404, 0), {0, 0}, "9 no link list: two sizes, 404"},
        {named("StrName", 401), {3}, "10 names with the new row"},
        {var(1519, 212), {3}, "10 1519/212"},
        {var(104, 412), {3}, "10 104/412"},
        {var(1, 402), {2}, "11 supply"},
        {var(4101, 412), {2}, "11 fouling"},
        {var(1, 440), {2}, "12 utility supply"},
        {named("Name", 234), {2}, "12 utility names"},
        {var(31002, 445), {2}, "12 cost index"},
        {var(6, 450, 0), {2}, "13 both sides"},
        {var(6, 450, 0, 3), {1}, "13 hot only"},
        {var(104, 454), {1}, "13 cold only"},
        {var(1519, 598, 0), {2}, "14 utilities of the side"},
        {var(1519, 598, 5), {}, "14 past the utilities"},
        {named("CountU", 440), {3}, "15 with the new utility row"},
        {var(1519, 207), {3}, "15 1519/207"},
        {named("SVMHotStName", 1), {1}, "16 hot process"},
        {named("ColdStream", 100), {1}, "16 cold process"},
        {var(104, 1200), {1, 1}, "16 cold by hot"},
        {var(105, 510), {2, 2}, "16 all cold by all hot"},
        {var(1519, 511), {2}, "16 all hot"},
        {var(31000, 501), {3}, "17 economic sets with the new row"},
        {named("Name", 500), {3}, "17 set names"},
        {link("Viewable.9999"), {3}, "18 solutions"},
        {named("SubsetNumber", 125), {4}, "19 entries of solution 0"},
        {var(6, 801), {6}, "19 entries of the selected solution"},
        {var(1, 125, 0), {4, 2}, "19 entries and names"},
        {var(1, 129, 1), {6, 1}, "19 entries and names of the selected"},
        {var(1519, 760), {0}, "20 all designs"},
        {var(1519, 204), {3}, "20 three"},
        {var(1519, 601), {1}, "20 hot utilities"},
        {var(6, 605), {1}, "20 cold utilities"},
        {var(1519, 608), {2}, "20 two"},
        {var(1519, 280), {2}, "20 utilities"},
        {var(1519, 292), {0}, "20 retrofit count without designs"},
        {var(6, 712), {}, "20 6/712 no size"},
        {var(1519, 290), {}, "20 no base design"},
        {var(1519, 773), {}, "20 no selected design"},
        {var(1519, 622), {1}, "20 one"},
        {var(1519, 704), {0}, "20 no simulation base case"},
        {var(1519, 752), {1}, "21 752"},
        {var(31001, 750), {1}, "21 31001/750"},
        {var(6, 320), {2}, "21 two"},
        {named("HeatType", 1), {2}, "21 heat type"},
        {var(1519, 305), {3}, "21 three"},
        {var(6, 106, 0), {1}, "21 a side chosen"},
        {named("ShellTarget", 301), {3}, "21 shells"},
        {var(1508, 320), {0}, "21 no current design: no filtered exchangers"},
        {var(1519, 9999), {}, "22 the framework"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, dims(c.v)) << c.rule;
}

TEST_F(ViewScenarioDimensions, ChoicesOfSidesDesignsAndTheFrameworkStateChangeSizes) {
    HIDesignViewerScenario unbound(owner, "None", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    for (const VarDescription& v : {var(1, 402), var(1519, 9999), named("StrName", 403)}) EXPECT_EQ(Sizes{0}, dims(v, &unbound));

    scenario->designs = 5;
    viewer->option100_251 = 0;
    EXPECT_EQ(Sizes{5}, dims(var(1519, 771)));
    viewer->option100_251 = 1;
    EXPECT_EQ(Sizes{6}, dims(var(1519, 771)));
    viewer->option100_251 = 2;
    EXPECT_EQ(Sizes{}, dims(var(1519, 771)));
    EXPECT_EQ(Sizes{}, dims(var(110, 240)));
    EXPECT_EQ(Sizes{5}, dims(var(1519, 760))) << "all designs whatever the ranking";

    viewer->option100_250 = 0;
    viewer->option100_249 = 0;
    EXPECT_EQ(Sizes{0}, dims(var(6, 450, 0)));
    EXPECT_EQ(Sizes{0}, dims(var(6, 106, 0)));
    viewer->option100_250 = 2;
    EXPECT_EQ(Sizes{}, dims(var(6, 450, 0)));
    EXPECT_EQ(Sizes{1}, dims(var(6, 450, 0, 3))) << "index 2 = 3 is hot only whatever the pair";
    viewer->option100_245 = viewer->option100_246 = 0;
    EXPECT_EQ((Sizes{2, 0}), dims(var(1519, 598, 0)));

    viewer->SetFrameworkState(2);
    EXPECT_EQ(Sizes{2}, dims(var(31000, 501)));
}

TEST_F(ViewScenarioDimensions, ChoiceListsFollowTheScenario) {
    const VarEnumInfo* solutions = viewer->GetEnumInfo(VariableNameInfo(var(105, 125), Text()));
    ASSERT_NE(nullptr, solutions);
    ASSERT_EQ(3, solutions->NumberOfEntries());
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(k, solutions->GetEntry(k)->value);
        EXPECT_EQ(FormattedText("Solution %d", k + 1), solutions->GetEntry(k)->text);
    }
    scenario->unitsTargetGroups = 2;
    solutions = viewer->GetEnumInfo(VariableNameInfo(var(105, 126), Text()));
    EXPECT_EQ(2, solutions->NumberOfEntries());
    // A new subset search drops the list; the next question builds it again.
    EXPECT_EQ(1, viewer->Message("SearchSubsets"));
    scenario->unitsTargetGroups = 4;
    EXPECT_EQ(4, viewer->GetEnumInfo(VariableNameInfo(var(105, 125), Text()))->NumberOfEntries());

    const VarEnumInfo* sets = viewer->GetEnumInfo(VariableNameInfo(var(105, 510), Text()));
    ASSERT_EQ(2, sets->NumberOfEntries());
    EXPECT_EQ(Text("Steel"), sets->GetEntry(1)->text);

    auto shown = [](const VarEnumInfo* list, int value) {
        const int at = list->FindEntry(double(value));
        return at >= 0 && !list->GetEntry(at)->hidden;
    };
    // The form's choices, or without them the choice numbers.
    const VarEnumInfo* plots = viewer->GetEnumInfo(VariableNameInfo(var(105, 402), Text()));
    ASSERT_EQ(16, plots->NumberOfEntries());
    EXPECT_TRUE(shown(plots, 11));
    for (int n : {12, 13, 14, 16}) EXPECT_FALSE(shown(plots, n)) << n;
    EXPECT_TRUE(shown(viewer->GetEnumInfo(VariableNameInfo(var(105, 401), Text())), 9));
    scenario->retrofit = true;
    plots = viewer->GetEnumInfo(VariableNameInfo(var(105, 402), Text()));
    EXPECT_FALSE(shown(plots, 11));
    for (int n : {12, 13, 14, 16}) EXPECT_TRUE(shown(plots, n)) << n;
    EXPECT_TRUE(shown(plots, 15));
    EXPECT_FALSE(shown(viewer->GetEnumInfo(VariableNameInfo(var(105, 401), Text())), 9));

    HIDesignViewerScenario unbound(owner, "None", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    const VariableNameInfo form(var(105, 402), "10=Ten;11=Eleven;12=Twelve");
    const VarEnumInfo* copy = unbound.GetEnumInfo(form);
    ASSERT_EQ(3, copy->NumberOfEntries());
    EXPECT_TRUE(shown(copy, 11));
    EXPECT_FALSE(shown(copy, 12));
    EXPECT_FALSE(shown(unbound.GetEnumInfo(VariableNameInfo(var(105, 401), Text())), 9));
    EXPECT_EQ(nullptr, unbound.GetEnumInfo(VariableNameInfo(var(105, 125), Text())));
}

}  // namespace
