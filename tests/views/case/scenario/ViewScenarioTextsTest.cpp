// The scenario viewer's texts: every text variable wired to its own engine call (a sentinel
// scenario answers each call with a value of its own, and the expected words are written out
// here by hand), the order of the dispatch, the mends of the pinch and cost texts, and the form
// listing of the text rows.
#include "brasko/CaseDocument.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/case/scenario/ScenarioSentinel.h"
#include "tests/views/case/scenario/ScenarioViewerTestSupport.h"
#include "views/case/scenario/ScenarioTextRows.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The sentinel with the targeting answers these texts read set by the test.
class TextScenario : public SentinelScenario {
public:
    using SentinelScenario::SentinelScenario;
    int problemType = 0;
    double optimum[2] = {-32767.0, -32767.0}, totalCost = 0.0, pinch[2] = {100.0, 90.0};
    int GetPinchProblemType() const override { return problemType; }
    void GetSuperTargetOptimum(double& a, double& b) const override { a = optimum[0], b = optimum[1]; }
    double GetCostTarget(int code) const override { return code == 5 ? totalCost : SentinelScenario::GetCostTarget(code); }
    double GetPinchTemperature(int side, int) const override { return pinch[side == 0 ? 0 : 1]; }
    int GetPinchListEntrySide(int index) const override { return index == 0 ? 0 : 1; }
    // Without C1 the scenario has hot but no cold process streams.
    bool coldProcess = true;
    int GetNumberOfStreamsOfKind(int kind, int side) const override {
        return !coldProcess && kind == 0 && side == 1 ? 0 : SentinelScenario::GetNumberOfStreamsOfKind(kind, side);
    }
};

class ViewScenarioTexts : public SentinelScenarioViewerTest<TextScenario> {
protected:
    ViewScenarioTexts() { SetDisplayUnitSet(SIUnits); }
    ~ViewScenarioTexts() override { SetDisplayUnitSet(SIUnits); }
    Text text(const VarDescription& v) { return viewer->TextValue(v); }
};

struct Wire {
    VarDescription var;
    const char* expected;
    const char* what;
};

void checkAll(HIDesignViewerScenario& viewer, const std::vector<Wire>& table) {
    for (const Wire& w : table) EXPECT_EQ(Text(w.expected), viewer.TextValue(w.var)) << w.what;
}

// The streams: H1 hot process (local contribution 1008, a typed difference of 2016), C1 cold
// process (global, linked to H1), HU hot utility, CU cold utility (local contribution 4008).
TEST_F(ViewScenarioTexts, StreamAndUtilityListsReadTheirOwnList) {
    const Text hot = FindString("HOT", 0), cold = FindString("COLD", 0), global = FindString("GLOBAL", 0);
    checkAll(*viewer, {
        {named("StrName", 401, 0), "H1", "process stream 0"},
        {named("StrName", 401, 1), "C1", "process stream 1"},
        {named("StrName", 401, 2), "**New**", "the row that adds a stream"},
        {named("StrName", 401, 3), "", "beyond the new row"},
        {named("Status", 409, 0), hot.c_str(), "H1 is hot"},
        {named("Status", 409, 1), cold.c_str(), "C1 is cold"},
        {named("Status", 409, 2), "", "no new row for the status"},
        {named("StrNameU", 440, 0), "HU", "utility 0"},
        {named("StrNameU", 440, 1), "CU", "utility 1"},
        {named("StrNameU", 440, 2), "", "beyond the utilities"},
        {named("StatusU", 440, 1), cold.c_str(), "CU is cold"},
        {named("StrNameUE", 440, 1, 0), "CU", "first editor pair, both sides"},
        {named("Name", 659, 1), "CU", "utility list"},
        {named("Name", 660, 0), "HU", "main pair, both sides"},
        {var(1519, 660, 1), "CU", "main pair, both sides, by number"},
        {named("Name", 511, 1), "HU", "second hot stream of any kind"},
        {named("Name", 512, 0), "C1", "first cold stream of any kind"},
        {var(1519, 511, 0), "H1", "hot stream of any kind, by number"},
        {var(1519, 601, 0), "HU", "hot utility"},
        {var(1519, 601, 1), "", "beyond the hot utilities"},
        {var(1519, 604, 0), "CU", "cold utility"},
        {var(1519, 602, 0), "HU", "hot utility, unbounded"},
        {var(1519, 603, 0), "CU", "cold utility, unbounded"},
        {named("ColdStream", 100, 0), "C1", "row heading of the forbidden-match matrix"},
        {named("SVMHotStName", 0), "H1", "column heading: the number is the row"},
        {var(1519, 212, 0), "2016.00 *", "H1 local contribution"},
        {var(1519, 212, 1), global.c_str(), "C1 global contribution"},
        {var(1519, 207, 1), "8016.00 *", "CU local contribution"},
        {var(1519, 207, 0), global.c_str(), "HU global contribution"},
        {named("HeatType", 950, 0), "Heating", "heat type 0"},
        {named("HeatType", 950, 1), "Cooling", "heat type 1"},
        {named("HeatType", 950, 2), "", "heat type 2"},
    });
    EXPECT_TRUE(ErrorJournal::Instance().Keys().empty());

    // Failed look-ups: some show "GetStreamError", each answers its own missing text.
    EXPECT_EQ(Text(""), text(named("SVMHotStName", 1)));
    EXPECT_EQ(Text(""), text(var(1519, 602, 5)));
    EXPECT_EQ(Text(""), text(var(1519, 511, 7)));
    EXPECT_EQ((std::vector<Text>{"GetStreamError", "GetStreamError"}), ErrorJournal::Instance().Keys());

    // The matrix has no columns without a cold process stream: the hot heading stays empty
    // although H1 is there, and nothing is reported.
    scenario->coldProcess = false;
    EXPECT_EQ(Text(""), text(named("SVMHotStName", 0)));
    EXPECT_EQ(2u, ErrorJournal::Instance().Keys().size());
    scenario->coldProcess = true;
    EXPECT_EQ(Text("H1"), text(named("SVMHotStName", 0)));

    // A contribution (half the typed difference) shown as the difference typed, in display units,
    // and an unset one.
    SetDisplayUnitSet(CustomaryUnits);
    scenario->h1.contribution = 5.0;
    EXPECT_EQ(Text("18.00 *"), text(var(1519, 212, 0)));
    SetDisplayUnitSet(SIUnits);
    EXPECT_EQ(Text("10.00 *"), text(var(1519, 212, 0)));
    scenario->h1.contribution = -32767.0;
    EXPECT_EQ(Text(""), text(var(1519, 212, 0)));
}

TEST_F(ViewScenarioTexts, SidePairsChooseTheUtilityList) {
    struct Pair {
        int hot, cold;
        const char* row0;
        const char* row1;
    };
    for (const Pair& c : std::vector<Pair>{{1, 1, "HU", "CU"}, {1, 0, "HU", ""}, {0, 1, "CU", ""}, {0, 0, "", ""}}) {
        viewer->option100_245 = c.hot, viewer->option100_246 = c.cold;
        EXPECT_EQ(Text(c.row0), text(named("Name", 660, 0))) << c.hot << c.cold;
        EXPECT_EQ(Text(c.row1), text(named("Name", 660, 1))) << c.hot << c.cold;
        // The second editor pair answers index 2 = 2, the first the others.
        viewer->option100_247 = c.hot, viewer->option100_248 = c.cold;
        EXPECT_EQ(Text(c.row0), text(named("StrNameUE", 440, 0, 2))) << c.hot << c.cold;
        EXPECT_EQ(Text("HU"), text(named("StrNameUE", 440, 0, 0)));
    }
    // The placement column: the main pair (0, 0) chooses no list.
    scenario->assignmentStatus[0] = 1;
    EXPECT_EQ(Text(""), text(named("Name", 234, 0)));
    viewer->option100_245 = 1, viewer->option100_246 = 1;
    EXPECT_EQ(Text("Insufficient"), text(named("Name", 234, 0)));  // the only hot utility is the hottest
    EXPECT_EQ(Text(""), text(named("Name", 234, 1)));              // cold side sufficient
    scenario->assignmentStatus[0] = 3;
    EXPECT_EQ(Text(""), text(named("Name", 234, 0)));
    scenario->assignmentStatus[1] = 3;
    EXPECT_EQ(Text(""), text(named("Name", 234, 1)));
}

// A second hot utility HU2 after HU: with the same id it has HU's supply temperature (3001),
// with id 5 it is hotter (5001).
class TwoHotUtilities : public TextScenario {
public:
    TwoHotUtilities(IHeatIntegrationProject* project, int id) : TextScenario(project), hu2("HU2", id, 0, 1, 0) {}
    SentinelStream hu2;
    std::vector<IHeatIntegrationStream*> utilities(int side) const {
        auto* self = const_cast<TwoHotUtilities*>(this);
        std::vector<IHeatIntegrationStream*> out;
        if (side != 1) out = {&self->hu, &self->hu2};
        if (side != 0) out.push_back(&self->cu);
        return out;
    }
    bool GetStreamOfKind(int index, IHeatIntegrationStream*& out, int kind, int side) const override {
        if (kind != 1) return TextScenario::GetStreamOfKind(index, out, kind, side);
        const auto l = utilities(side);
        if (index < 0 || index >= static_cast<int>(l.size())) return false;
        return out = l[static_cast<std::size_t>(index)], true;
    }
    int GetNumberOfUtilityStreams() const override { return 3; }
    int GetNumberOfStreamsOfKind(int kind, int side) const override {
        return kind == 1 ? static_cast<int>(utilities(side).size()) : TextScenario::GetNumberOfStreamsOfKind(kind, side);
    }
};

struct HottestCase {
    int id;
    const char* hu;
    const char* hu2;
};
void PrintTo(const HottestCase& c, std::ostream* os) {
    *os << "variable " << c.id;
}
class ViewScenarioPlacement : public ::testing::TestWithParam<HottestCase> {};

TEST_P(ViewScenarioPlacement, InsufficientMarksEveryHotUtilityAtTheHighestSupply) {
    Session::Instance().Reset();
    FourStreamProject p{false};
    TwoHotUtilities scenario(p.project, GetParam().id);
    HIDesignViewerScenario viewer(nullptr, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    viewer.SetEngineeringScenario(&scenario, 1);
    scenario.assignmentStatus[0] = 1;
    viewer.option100_245 = 1, viewer.option100_246 = 0;  // the hot utilities alone
    EXPECT_EQ(Text(GetParam().hu), viewer.TextValue(named("Name", 234, 0)));
    EXPECT_EQ(Text(GetParam().hu2), viewer.TextValue(named("Name", 234, 1)));
    EXPECT_EQ(Text(""), viewer.TextValue(named("Name", 234, 2)));  // no third hot utility
    EXPECT_EQ(Text("HU2"), viewer.TextValue(named("Name", 660, 1)));
    Session::Instance().Reset();
}
INSTANTIATE_TEST_SUITE_P(ViewSupplies, ViewScenarioPlacement,
                         ::testing::Values(HottestCase{3, "Insufficient", "Insufficient"}, HottestCase{5, "", "Insufficient"}));

TEST_F(ViewScenarioTexts, AScenarioWithoutStreamsShowsOnlyTheNewRow) {
    scenario->streams = false;
    EXPECT_EQ(Text("**New**"), text(named("StrName", 401, 0)));
    for (const VarDescription& v : {named("StrName", 401, 1), named("Status", 409, 0), named("StrNameU", 440, 0),
                                    named("Name", 660, 0), named("Name", 234, 0), named("Name", 511, 0),
                                    var(1519, 601, 0), named("ColdStream", 100, 0), named("SVMHotStName", 0),
                                    named("ProblemType", 109)})
        EXPECT_EQ(Text(""), text(v)) << v.Number();
    EXPECT_TRUE(ErrorJournal::Instance().Keys().empty());
    EXPECT_EQ(Text(""), viewer->spareText);
}

TEST_F(ViewScenarioTexts, TargetsHeadingsAndCost) {
    scenario->pinchPoints = 1;
    // The target is held per second; the text shows it a year, as the number does.
    scenario->totalCost = 58841.46 / 31536000.0;
    scenario->optimum[0] = 15.0, scenario->optimum[1] = 8.0;
    checkAll(*viewer, {
        {var(1519, 203), "100.00 C \\ 90.00 C", "one pinch"},
        {var(1519, 702), "Targets @ 10.50 C (FM)", "C1 may not match H1"},
        {var(1519, 951), "8.0 - 15.0 C", "the second value first"},
        {var(31001, 751), "58841", "total annual cost"},
        {var(1519, 204, 0), "Targets", "targets column"},
        {var(1519, 204, 2), " % ", "share column"},
        {named("PlotName", 1), "Unshif_CC_0", "plot 3"},
        {named("ProblemType", 109), "Pinched", "problem type 0"},
        {named("Position", 201, 0), "Above Pinch", "entry 0"},
        {named("Position", 201, 1), "Below Pinch", "entry 1"},
        {named("HotUtilInfo", 1), "Sufficient", "hot status 0"},
        {var(1519, 125, 0, 1), "C1", "units-target name 1 of entry 0, group 0"},
        {var(1519, 125, 0, 3), "", "units-target name missing"},
    });
    // In customary units: 10.5 K is 18.9 F; 100 C is 212 F.
    SetDisplayUnitSet(CustomaryUnits);
    scenario->c1.linkedTo = "";
    EXPECT_EQ(Text("Targets @ 18.90 F"), text(var(1519, 702)));
    EXPECT_EQ(Text("212.00 F \\ 194.00 F"), text(var(1519, 203)));
    EXPECT_EQ(Text("14.4 - 27.0 F"), text(var(1519, 951)));
    SetDisplayUnitSet(SIUnits);

    // Mends: the cost keeps its sign; an empty pinch side shows nothing.
    scenario->totalCost = -987.6 / 31536000.0;
    EXPECT_EQ(Text("-988"), text(var(31001, 751)));
    scenario->totalCost = 0.0;
    EXPECT_EQ(Text(""), text(var(31001, 751)));
    scenario->pinch[0] = -32767.0;
    EXPECT_EQ(Text(" \\ 90.00 C"), text(var(1519, 203)));

    scenario->pinchPoints = 2;
    EXPECT_EQ(Text("Multiple Pinches"), text(var(1519, 203)));
    scenario->pinchPoints = 0;
    EXPECT_EQ(Text(""), text(var(1519, 203)));
    scenario->optimum[1] = -32767.0;
    EXPECT_EQ(Text("---"), text(var(1519, 951)));
    viewer->selectedPlot = 5;
    EXPECT_EQ(Text(""), text(named("PlotName", 1)));
    // The problem type also lands in the spare text.
    for (auto [type, word] : std::vector<std::pair<int, const char*>>{{1, "Threshold"}, {2, "Threshold"}, {3, "Balanced"}, {4, ""}}) {
        scenario->problemType = type;
        EXPECT_EQ(Text(word), text(named("ProblemType", 109))) << type;
        EXPECT_EQ(Text(word), viewer->spareText);
    }
    for (int status : {1, 2, 3, 4, 5, 6}) {
        scenario->assignmentStatus[1] = status;
        // 2 placed without shortfall, 3 placed with a shortfall left; the trade-off's 5 and 6 are
        // not available, with the reason.
        const char* words[] = {"",
                               "Insufficient",
                               "Sufficient",
                               "Insufficient",
                               "Infeasible",
                               "Not available: the economic data are not valid",
                               "Not available: no utility of a side to share has a price"};
        EXPECT_EQ(Text(words[status]), text(named("ColdUtilInfo", 1))) << status;
    }
}

TEST_F(ViewScenarioTexts, EconomicsTitlesAndDispatchOrder) {
    viewer->valueComputed = 0.6;
    viewer->workText = "Steel";
    const Text index = FindString("CapitalCostIndex", 0), formula = FindString("HeatExchangerCapitalCostFormula", 0);
    checkAll(*viewer, {
        {var(1519, 500, 0), "DEFAULT", "first economic data set"},
        {var(1519, 500, 1), "Steel", "second"},
        {var(1519, 500, 2), "**New**", "the row that adds a set"},
        {named("CCUnits", 201), "[ Cost / m2 ^ 0.60 ]", "cost per area"},
        {named("CCUnits", 202), "[ Cost / kW ^ 0.60 ]", "cost per heat flow"},
        {named("TitleText", 233), "Set Cost Coefficients for Steel", "coefficient form"},
        {named("TitleText", 303), "Plant (Base)", "parent and own name"},
        {named("ProjectName", 400), "Plant", "the project viewer"},
        {named("Name", 400), "Base", "own name"},
        {var(1519, 952), "Utility Database", "fixed"},
    });
    EXPECT_EQ(Text(index + "(Heat Exchanger) [Cost] " + formula), text(var(1519, 710)));
    viewer->newDesignName = "Next";
    EXPECT_EQ(Text("Next"), text(var(1519, 208)));

    // Dispatch: a "CCUnits" number of its own falls through to type 1519; an unknown number
    // of a dispatched name goes to the framework, which has nothing.
    VarDescription cc("CCUnits", 500);
    EXPECT_EQ(nullptr, HIDesignViewerScenario::FindTextRow(cc));
    EXPECT_EQ(nullptr, HIDesignViewerScenario::FindTextRow(named("StrName", 408, 0)));
    EXPECT_EQ(nullptr, HIDesignViewerScenario::FindTextRow(var(1519, 20001)));

    // Without a parent.
    HIDesignViewerScenario orphan(nullptr, "Lone", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    orphan.SetEngineeringScenario(scenario, 1);
    EXPECT_EQ(Text(" (Lone)"), orphan.TextValue(named("TitleText", 303)));
    EXPECT_EQ(Text(""), orphan.TextValue(named("ProjectName", 400)));
}

TEST_F(ViewScenarioTexts, EveryTextRowIsFoundByItsAddressAndAnUnboundViewerIsEmpty) {
    HIDesignViewerScenario unbound(owner, "None", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    FormDescription form;
    HIDesignViewerScenario::DescribeForm(form);
    std::set<Text> listed;
    for (const FormVariable& v : form.Variables()) listed.insert(v.address);
    for (const auto* row : HIDesignViewerScenario::TextRows()) {
        VarDescription parsed;
        ASSERT_TRUE(VarDescription::Parse(row->Address(), parsed)) << row->Address();
        EXPECT_EQ(row, HIDesignViewerScenario::FindTextRow(parsed)) << row->Address();
        EXPECT_TRUE(listed.count(row->Address())) << row->Address();
        parsed.SetOffset(0, 0);
        EXPECT_EQ(Text(), unbound.TextValue(parsed)) << row->Address();
    }
}

}  // namespace

namespace {

// Every key a scenario form may show, by its refusals or its status words, reads a text of its
// own in the catalogue, while the key stays what the journal records.
TEST(ViewScenarioMessages, EveryKeyTheFormsShowHasReadableText) {
    FormDescription form;
    HIDesignViewerScenario::DescribeForm(form);
    std::set<Text> keys = {"HOT", "COLD", "GLOBAL", "GCCBased", "UserSuppliedUtilityLoads", "CheapestUtilityPrinciple",
                           "Calculate11Area", "Calculate12Area", "CalculateBoth", "LinearProgram", "BathFormula",
                           "NoChangeinHENRBaseCase", "GetStreamError"};
    for (const FormVariable& v : form.Variables()) {
        const Text refusals = form.Refusals(v.address);
        std::size_t start = 0;
        while (start < refusals.size()) {
            std::size_t end = refusals.find(' ', start);
            if (end == Text::npos) end = refusals.size();
            if (end > start) keys.insert(Text(refusals.substr(start, end - start)));
            start = end + 1;
        }
    }
    EXPECT_GT(keys.size(), 30u);
    for (const Text& key : keys) {
        EXPECT_TRUE(MessageCatalogue::Instance().Contains(key)) << key;
        EXPECT_NE(key, FindString(key, 0)) << key;
    }
    Session::Instance().Reset();
    ErrorMsg("GetStreamError");
    EXPECT_EQ((std::vector<Text>{"GetStreamError"}), ErrorJournal::Instance().Keys());
    EXPECT_EQ((std::vector<Text>{"The stream of this row could not be found."}), ErrorJournal::Instance().Texts());
    Session::Instance().Reset();
}

}  // namespace
