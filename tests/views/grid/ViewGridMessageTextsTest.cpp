// What the views show the engineer are words, never a catalogue key: every result code of the
// optimiser, retrofit and operation runs, every item of the grid diagram's menus, and the
// questions and refusals the grid and the exchanger and what-if forms raise.
#include "views/grid/HENDiagram.h"

#include "lumeth/MenuModel.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "tests/eng/design/DesignTestSupport.h"
#include "views/design/HIDesignViewerDesign.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

struct ResultTable {
    const char* name;
    Text (*key)(int);
};
void PrintTo(const ResultTable& c, std::ostream* os) {
    *os << c.name;
}

class ViewResultTexts : public ::testing::TestWithParam<ResultTable> {};

TEST_P(ViewResultTexts, EveryCodeReadsAsWords) {
    for (int code = -2; code <= 120; ++code) {
        const Text key = GetParam().key(code);
        EXPECT_TRUE(MessageCatalogue::Instance().Contains(key)) << code << " " << key;
        EXPECT_NE(key, FindString(key)) << code;
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, ViewResultTexts,
                         ::testing::Values(ResultTable{"NetworkOptimisation", &HIDesignViewerDesign::NetworkOptimisationKey},
                                           ResultTable{"Retrofit", &HIDesignViewerDesign::RetrofitKey},
                                           ResultTable{"Operations", &HIDesignViewerDesign::OperationsKey}),
                         [](const auto& info) { return std::string(info.param.name); });

void expectWords(const std::vector<MenuModel::Item>& items, const std::string& where) {
    for (const MenuModel::Item& item : items) {
        if (item.separator) continue;
        EXPECT_FALSE(item.text.empty()) << where;
        // The menu keys are "oi" and a capital: "oiDelete" shown as it stands is a key.
        const bool key = item.text.size() > 2 && item.text.rfind("oi", 0) == 0 && std::isupper(static_cast<unsigned char>(item.text[2]));
        EXPECT_FALSE(key) << where << ": " << item.text;
        expectWords(item.children, where);
    }
}

TEST(ViewGridTexts, EveryMenuItemOfTheDiagramIsWords) {
    Session::Instance().Reset();
    design_test::DesignScenario s;
    s.Add("H", 150.0, 50.0, 1.0);
    s.Add("H2", 140.0, 60.0, 1.0);
    s.Add("C", 40.0, 120.0, 1.0);
    CPIHENDesign* d = s.Design("Menus");
    ASSERT_NE(nullptr, d->AddHeatExchanger(design_test::NthSegment(*d, "H", 0), design_test::NthSegment(*d, "C", 0),
                                           nullptr, nullptr, nullptr));
    CNode* tee = nullptr;
    ASSERT_TRUE(d->AddSplitterMixer(design_test::NthSegment(*d, "H2", 0), design_test::NthSegment(*d, "H2", 0), tee,
                                    "split", 2));
    HENDiagram g;
    g.zoomMode = g.previousZoomMode = 2;
    g.SetDesign(d);
    int menus = 0;
    for (HENDNode* item : g.Items()) {
        MenuModel menu;
        item->PrepareForObjectInspection(menu);
        menus += !menu.IsEmpty();
        expectWords(menu.Items(), item->SvgClass());
    }
    EXPECT_GE(menus, 3);
    MenuModel plane;
    g.PrepareForPlaneInspection({1.0, 1.0}, plane);
    EXPECT_FALSE(plane.IsEmpty());
    expectWords(plane.Items(), "diagram");
}

TEST(ViewGridTexts, QuestionsAndRefusalsReadAsWords) {
    for (const char* key : {"HENDDeleteSplitWithEquipment", "HENDDeleteBranchWithEquipment", "AddConfigError",
                            "ShellsInputError", "UnableToDisplayPinchDiagram", "BaseCaseSchedule", "BaseAreaValue",
                            "CannotSpecifyAreaForUtilExchanger"})
        EXPECT_NE(Text(key), FindString(key)) << key;
}

// Keys the views look up for labels, notes and refusals all have words: the exchanger view's
// sides, the grid menu's loop and path families, the presets' notes, the stream and file
// refusals.
TEST(ViewGridTexts, LabelsNotesAndRefusalsReadAsWords) {
    for (const char* key : {"HotStream", "ColdStream", "oiLoops", "oiPaths", "ProcessStreamsNotes", "TemperatureNotes",
                            "HeatLoadNotes", "AlphabeticalNotes", "RenameStreamError", "FileWriteProtected",
                            "SavePreferenceError"}) {
        EXPECT_TRUE(MessageCatalogue::Instance().Contains(key)) << key;
        EXPECT_NE(Text(key), FindString(key)) << key;
    }
    // A preset's notes on the diagram's form are its words.
    HENDiagram g;
    for (int preset = 0; preset < 6; ++preset) {
        ASSERT_TRUE(g.SelectConfiguration(preset));
        const Text notes = g.TextValue(VarDescription(1519, 201));
        EXPECT_FALSE(notes.empty()) << preset;
        EXPECT_FALSE(MessageCatalogue::Instance().Contains(notes)) << preset << ": " << notes;
    }
}

// Texts that say what happened: the stream question asks, a missing defaults file is not called
// one of the wrong kind, and result 41 of a retrofit says that nothing moved, as the host does.
TEST(ViewGridTexts, TextsSayWhatHappened) {
    const Text question = FindString("DeleteStreamError");
    EXPECT_EQ('?', question.back()) << question;
    for (const char* key : {"CouldNotFindUtilityFile", "CouldNotFindCapCostFile", "CouldNotFindVelmorFile"})
        EXPECT_NE(Text::npos, FindString(key).find("cannot be found")) << key;
    EXPECT_EQ(0u, FindString(HIDesignViewerDesign::RetrofitKey(41)).find("No heater or cooler moved"));
    EXPECT_EQ(0u, FindString(HIDesignViewerDesign::RetrofitKey(39)).find("A heater or cooler was moved"));
}

}  // namespace
