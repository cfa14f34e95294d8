// The design forms' writes of settings (the viewer's own, the design's, the scenario's) and of
// texts: exchanger names through the design's rename, notes, tags and the viewer's texts; and
// the form description that lists every variable a form may write.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "tests/views/design/DesignViewerTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <map>
#include <string>

namespace {

using design_viewer_test::lastShown;
using design_viewer_test::unitAt;
using design_viewer_test::ViewerNetwork;
constexpr double E = Viewable::EmptyValue;

VarDescription at(int type, int number, int row = -1) {
    VarDescription var(type, number);
    if (row >= 0) var.SetOffset(0, row);
    return var;
}

TEST(ViewDesignViewerSettings, ViewerIntegersAreTruncatedAndAClearKeepsThem) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    const std::map<int, std::int32_t HIDesignViewerDesign::*> fields = {
        {202, &HIDesignViewerDesign::nOptimizationMode}, {217, &HIDesignViewerDesign::nRetrofitOption},
        {413, &HIDesignViewerDesign::nStreamListMode},   {414, &HIDesignViewerDesign::nExchangerListMode},
        {417, &HIDesignViewerDesign::nCurrentStreamRow}, {713, &HIDesignViewerDesign::nSelectedRowA},
    };
    for (const auto& [number, field] : fields) {
        ASSERT_EQ(1, viewer->Specify(at(100, number), 2.9)) << number;
        EXPECT_EQ(2, (*viewer).*field) << number;
        ASSERT_EQ(1, viewer->Specify(at(100, number), -1.7)) << number;
        EXPECT_EQ(-1, (*viewer).*field) << number;
        EXPECT_EQ(0, viewer->Specify(at(100, number), E)) << number;
        EXPECT_EQ(-1, (*viewer).*field) << number;
    }
    // 219: 0 and 1 choose the setting 1 and 2; other values change nothing.
    const struct {
        double value;
        int setting;
    } choice[] = {{1.0, 2}, {5.0, 2}, {0.0, 1}, {E, 1}};
    for (const auto& c : choice) {
        viewer->Specify(at(104, 219), c.value);
        EXPECT_EQ(c.setting, viewer->nSetting201) << c.value;
    }
}

TEST(ViewDesignViewerSettings, FilterPartsMoveTheSelectionToTheFirstRowOrNone) {
    ViewerNetwork n;
    n.Units("ph");
    auto viewer = n.Viewer();
    viewer->nSelectedRowA = 1;
    // Process exchangers off: the heater is still shown, the selection goes to row 0.
    ASSERT_EQ(1, viewer->Specify(at(100, 213), 0.0));
    EXPECT_EQ(0, viewer->nSelectedRowA);
    EXPECT_EQ(1, viewer->CountFilteredExchangers());
    // Heaters and coolers off as well: nothing shown, nothing selected.
    ASSERT_EQ(1, viewer->Specify(at(100, 214), 0.0));
    ASSERT_EQ(1, viewer->Specify(at(100, 215), 0.0));
    EXPECT_EQ(0, viewer->GetExchangerFilter());
    EXPECT_EQ(-1, viewer->nSelectedRowA);
    // All three on again sum to 9, which shows every exchanger.
    for (int number : {213, 214, 215}) ASSERT_EQ(1, viewer->Specify(at(100, number), 1.0));
    EXPECT_EQ(9, viewer->GetExchangerFilter());
    EXPECT_EQ(2, viewer->CountFilteredExchangers());
    EXPECT_EQ(0, viewer->nSelectedRowA);
}

TEST(ViewDesignViewerSettings, DesignWideValuesReachEveryExchanger) {
    ViewerNetwork n;
    n.Units("pph");
    auto viewer = n.Viewer();
    ASSERT_EQ(1, viewer->Specify(at(1517, 607), 12.5));
    ASSERT_EQ(1, viewer->Specify(at(1508, 304), 80.0));
    EXPECT_DOUBLE_EQ(12.5, n.d->GetDTMin());
    EXPECT_DOUBLE_EQ(80.0, n.d->GetHTMaxAreaShell());
    for (int i = 0; i < 3; ++i) {
        double dt = E, shell = E;
        ASSERT_TRUE(unitAt(n, i)->getVariableAsDouble("DTMin", dt));
        ASSERT_TRUE(unitAt(n, i)->getVariableAsDouble("HTMaxAreaShell", shell));
        EXPECT_DOUBLE_EQ(12.5, dt);
        EXPECT_DOUBLE_EQ(80.0, shell);
    }
    // A cleared cell is not spread over the exchangers as a value.
    EXPECT_EQ(0, viewer->Specify(at(1517, 607), E));
    EXPECT_EQ(0, viewer->Specify(at(1508, 304), E));
    EXPECT_DOUBLE_EQ(12.5, n.d->GetDTMin());
    EXPECT_DOUBLE_EQ(80.0, n.d->GetHTMaxAreaShell());

    ASSERT_EQ(1, viewer->Specify(at(104, 209), 1.0));
    EXPECT_TRUE(n.d->GetIgnoreInfeasibleExchangers());
    ASSERT_EQ(1, viewer->Specify(at(104, 209), 0.0));
    EXPECT_FALSE(n.d->GetIgnoreInfeasibleExchangers());
}

TEST(ViewDesignViewerSettings, UtilityAssignmentSwitchAndSelectedStream) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer();
    viewer->nCrossPinchSortColumn = 2;
    // Off chooses the first assignment method, on the other.
    ASSERT_EQ(1, viewer->Specify(at(100, 100), 0.0));
    EXPECT_EQ(1, n.scenario->GetUtilityAssignmentMethod());
    EXPECT_EQ(0, viewer->nCrossPinchSortColumn);
    ASSERT_EQ(1, viewer->Specify(at(100, 100), 1.0));
    EXPECT_EQ(0, n.scenario->GetUtilityAssignmentMethod());

    // The selected stream is the entry of the stream choice with that number; none without it.
    ASSERT_NE(nullptr, viewer->GetEnumInfo(VariableNameInfo(at(105, 764), Text())));
    ASSERT_EQ(1, viewer->Specify(at(105, 764), 1.0));
    EXPECT_EQ(Text("H2"), viewer->GetSelectedStream());
    ASSERT_EQ(1, viewer->Specify(at(105, 764), 99.0));
    EXPECT_EQ(Text(), viewer->GetSelectedStream());

    // The event kind shows its prompt on the status line.
    Session::Instance().ClearEvents(SessionEvent::Status);
    ASSERT_EQ(1, viewer->Specify(at(1519, 587), 4.0));
    EXPECT_EQ(4, viewer->nEventKind);
    EXPECT_FALSE(Session::Instance().Entries(SessionEvent::Status).empty());
}

TEST(ViewDesignViewerSettings, WithoutADesignNothingIsWritten) {
    ViewerNetwork n;
    n.Units("p");
    auto viewer = n.Viewer(false);
    EXPECT_EQ(0, viewer->Specify(at(100, 202), 3.0));
    EXPECT_EQ(1, viewer->nOptimizationMode);
    EXPECT_EQ(0, viewer->SpecifyText(VarDescription("Name", 300), "X"));
    EXPECT_EQ(0, viewer->SpecifyText(at(1519, 857), "X"));
    EXPECT_EQ(Text(), viewer->strExchangerSearchName);
}

struct RenameCase {
    const char* name;
    const char* refusal;
    const char* first;  // the first exchanger's name afterwards
};

class ViewDesignViewerRename : public ::testing::TestWithParam<RenameCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ViewDesignViewerRename, GoesThroughTheDesignWhichRefusesUsedNames) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    const RenameCase& c = GetParam();
    const Text before = HIDesignViewerDesign::UnitName(unitAt(n, 0));
    const Text second = HIDesignViewerDesign::UnitName(unitAt(n, 1));
    ASSERT_NE(before, second);
    Session::Instance().ClearEvents(SessionEvent::Error);
    const std::string log = n.d->GetChangeLog() ? n.d->GetChangeLog() : "";
    VarDescription var("Name", 300);
    var.SetOffset(0, 0);
    const Text name = std::string(c.name) == "<second>" ? second : Text(c.name);
    EXPECT_EQ(*c.refusal ? 0 : 1, viewer->SpecifyText(var, name));
    EXPECT_EQ(Text(c.refusal), lastShown());
    const Text expected = *c.first ? Text(c.first) : before;
    EXPECT_EQ(expected, HIDesignViewerDesign::UnitName(unitAt(n, 0)));
    // The read of the same cell shows the name, and the change log records an accepted rename.
    EXPECT_EQ(expected, viewer->TextValue(var));
    const std::string after = n.d->GetChangeLog() ? n.d->GetChangeLog() : "";
    if (*c.refusal) {
        EXPECT_EQ(log, after);
    } else {
        EXPECT_NE(std::string::npos, after.find("Renamed", log.size() > 0 ? log.size() - 1 : 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ViewDesignViewerRename,
                         ::testing::Values(RenameCase{"Preheater", "", "Preheater"},
                                           RenameCase{"", "CannotDeleteHeatExchanger", ""},
                                           RenameCase{"<second>", "HeatExchangerNameError", ""}));

TEST(ViewDesignViewerTexts, NotesTagsAndTheViewersTexts) {
    ViewerNetwork n;
    n.Units("pp");
    auto viewer = n.Viewer();
    ASSERT_EQ(1, viewer->SpecifyText(VarDescription("Notes", 401), "check fouling"));
    EXPECT_EQ(std::string("check fouling"), std::string(n.d->GetNotes()));
    ASSERT_EQ(1, viewer->SpecifyText(at(1519, 208), "a"));
    ASSERT_EQ(1, viewer->SpecifyText(at(1519, 857), "E-1"));
    ASSERT_EQ(1, viewer->SpecifyText(VarDescription("HXSelection", 389), "E-2"));
    EXPECT_EQ(Text("a"), viewer->strText208);
    EXPECT_EQ(Text("E-1"), viewer->strExchangerSearchName);
    EXPECT_EQ(Text("E-2"), viewer->strHXSelection);

    // Tags go on the port nodes of the exchanger with that design number.
    HeatExch* hx = AsHeatExch(unitAt(n, 1));
    ASSERT_NE(nullptr, hx);
    CNode* ports[] = {hx->getInlet(0), hx->getOutlet(0), hx->getInlet(1), hx->getOutlet(1)};
    for (int p = 0; p < 4; ++p) {
        const std::string tag = "TI-" + std::to_string(p);
        ASSERT_EQ(1, viewer->SpecifyText(at(1519, 851 + p, 1), tag.c_str()));
        CPString stored;
        ASSERT_TRUE(ports[p]->getVariableAsString("TemperatureInstrumentTag", stored));
        EXPECT_EQ(tag, std::string(stored.c_str()));
        EXPECT_EQ(1, ports[p]->getVariableStatus("TemperatureInstrumentTag"));
    }
    // A row past the exchangers tags nothing.
    EXPECT_EQ(0, viewer->SpecifyText(at(1519, 851, 2), "TI-9"));
}

TEST(ViewDesignViewerForm, EveryWrittenVariableIsListedOnceAsEditable) {
    FormDescription form;
    HIDesignViewerDesign::LoadVariables(form);
    std::map<std::string, int> seen;
    std::map<std::string, bool> editable;
    for (const FormVariable& v : form.Variables()) {
        const std::string key = std::string(v.address.c_str()) + (v.hook == FormHook::Text ? "/text" : "");
        ++seen[key];
        editable[key] = v.editable;
    }
    for (const auto& [key, count] : seen) EXPECT_EQ(1, count) << key;
    // Write-only addresses of each kind: an action, a design-wide value, a switch, a setting.
    for (const char* key : {"ExtraData.358", "ExtraData.587", "Area.304", "Index.202", "Enum.991",
                            "Index.100", "Name.300/text", "Notes.401/text", "ExtraData.851/text"}) {
        ASSERT_EQ(1, seen.count(key)) << key;
        EXPECT_TRUE(editable[key]) << key;
    }
    EXPECT_FALSE(editable["Name.345/text"]);
}

// A write that can be refused lists its keys in the form description, and its listing line
// shows them; a write that refuses nothing lists none.
TEST(ViewDesignViewerForm, EveryRefusingWriteListsItsKeys) {
    FormDescription form;
    HIDesignViewerDesign::LoadVariables(form);
    const std::pair<const char*, const char*> refusing[] = {
        {"Percent.200", "CannotAcceptThisPercentValue"},
        {"DeltaTemp.1", "DeltaTViolationsError"},
        // A check of one side leaves the far end to the form's range.
        {"Area.302", "AreaInputError CannotSpecifyAreaForUtilExchanger SpecRange"},
        {"Area.306", "AreaInputError CannotSpecifyAreaForUtilExchanger SpecRange"},
        {"Area.704", "AreaInputError SpecRange"}, {"Area.712", "AreaInputError SpecRange"},
        {"Fouling.500", "FoulingFactorUpdateError HTCoeffUpdateError SpecRange"},
        {"Fouling.501", "FoulingFactorUpdateError HTCoeffUpdateError SpecRange"},
        {"ExtraData.307", "ShellsInputError"}, {"ExtraData.601", "WeightInputError"},
        {"HeatTransferCoeff.502", "HTCoeffUpdateError SpecRange"},
        {"Name.300", "CannotDeleteHeatExchanger HeatExchangerNameError NewRowMarkerEntryName"},
        {"ExtraData.593", "EventNameAlreadyUsed EventNameEmpty NewRowMarkerEntryName"},
        // An end temperature no case holds (below absolute zero, beyond a furnace) is refused.
        {"Temperature.343", "SpecRange"},
        // So is a duty no case holds (past MaxMagnitude either way).
        {"HeatFlow.304", "SpecRange"},
    };
    for (const auto& [address, keys] : refusing) EXPECT_EQ(Text(keys), form.Refusals(address)) << address;
    for (const char* address : {"Notes.401", "HeatTransferCoeff.701"})
        EXPECT_EQ(Text(), form.Refusals(address)) << address;
    bool listed = false;
    for (const Text& line : form.Listing())
        if (line.rfind("Fouling.500 ", 0) == 0) listed = line.find(" refuses=FoulingFactorUpdateError") != Text::npos;
    EXPECT_TRUE(listed);
}

}  // namespace
