// The site utility-default editor on a site manager with three utilities: the grid and its
// "**New**" row, names typed in, exchanger types, the side inferred from the temperatures, the
// segment table of a site stream, and the ".hud" files saved and opened.
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/targeting/TotalSiteManager.h"
#include "lumeth/Session.h"
#include "views/case/project/TotalSiteUtilManagerView.h"
#include "views/case/scenario/UtilityNameView.h"
#include "views/case/streams/SegmentTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

VarDescription address(const std::string& text) {
    VarDescription v;
    VarDescription::Parse(text.c_str(), v);
    return v;
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ViewSiteUtilityEditor : public ::testing::Test {
protected:
    ViewSiteUtilityEditor() {
        Session::Instance().Reset();
        for (const char* name : {"Steam", "Water", "Brine"}) manager.AddDefaultUtility(name);
        set("Steam", 200.0, 199.0);
        set("Water", 20.0, 30.0);
        editor = new TotalSiteUtilManagerView(&root);
        editor->SetDUM(&manager);
        dir = std::filesystem::temp_directory_path() / ("kestrin-hud-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    ~ViewSiteUtilityEditor() override {
        delete editor;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add);
        std::filesystem::remove_all(dir);
        Session::Instance().Reset();
    }
    void set(const char* name, double first, double second) {
        manager.SetValue(name, DUP_SupplyTemperature, first);
        manager.SetValue(name, DUP_TargetTemperature, second);
    }
    std::vector<Text> names() const {
        std::vector<Text> out;
        for (int i = 0; i < manager.GetNumberOfDefaultUtilities(); ++i) out.push_back(manager.GetDefaultUtilityName(i));
        return out;
    }
    int keyCount(const char* key) {
        int n = 0;
        for (const SessionEntry& e : Session::Instance().Journal()) n += e.key == key;
        return n;
    }

    Viewable root{nullptr, "ViewableObject"};
    TotalSiteManager manager;
    TotalSiteUtilManagerView* editor = nullptr;
    std::filesystem::path dir;
};

TEST_F(ViewSiteUtilityEditor, ThreeUtilitiesGiveFourRowsTheLastForANewOne) {
    DimInfo dims;
    ASSERT_EQ(1, editor->Dimensions(address("ExtraData.901"), dims));
    EXPECT_EQ(4, dims.Dim(0));
    EXPECT_EQ("Water", editor->TextValue(address("ExtraData.901.1")));
    EXPECT_EQ("**New**", editor->TextValue(address("ExtraData.901.3")));
    // A name on the new row adds a utility; an empty one there is refused.
    EXPECT_EQ(1, SpecifyValueText(editor, "ExtraData.901.3", "Hot Oil"));
    EXPECT_EQ((std::vector<Text>{"Steam", "Water", "Brine", "Hot Oil"}), names());
    EXPECT_EQ(0, SpecifyValueText(editor, "ExtraData.901.4", ""));
    EXPECT_EQ(1, keyCount("DefaultUtilityNameError"));
    // Over a row: a rename; emptied: the utility goes.
    EXPECT_EQ(1, SpecifyValueText(editor, "ExtraData.901.2", "Chilled Brine"));
    EXPECT_EQ(1, SpecifyValueText(editor, "ExtraData.901.0", ""));
    EXPECT_EQ((std::vector<Text>{"Water", "Chilled Brine", "Hot Oil"}), names());
    // A rename onto a taken name is refused.
    EXPECT_EQ(0, SpecifyValueText(editor, "ExtraData.901.0", "Hot Oil"));
    EXPECT_EQ(2, keyCount("DefaultUtilityNameError"));
}

TEST_F(ViewSiteUtilityEditor, ExchangerTypesReadByTextAndWriteByChoice) {
    manager.SetExchangerType(0, "Heat Exchanger");
    EXPECT_EQ(0.0, editor->Value(address("Enum.900.0")));
    EXPECT_EQ(1, SpecifyValue(editor, "Enum.900.0", 7.0));
    EXPECT_STREQ("None", manager.GetExchangerType(0));
    EXPECT_EQ(5.0, editor->Value(address("Enum.900.0")));
    EXPECT_EQ(1, SpecifyValue(editor, "Enum.900.0", 1.0));
    EXPECT_STREQ("Fired Heater", manager.GetExchangerType(0));
    EXPECT_EQ(1.0, editor->Value(address("Enum.900.0")));
    // The grid's parameters read and write the manager's.
    EXPECT_EQ(1, SpecifyValue(editor, "Temperature.903.0", 210.0));
    EXPECT_DOUBLE_EQ(210.0, manager.GetValue(0, DUP_SupplyTemperature));
}

struct Sides {
    double first, second;
    double shown;
    SegmentHeatType after;
};
void PrintTo(const Sides& c, std::ostream* os) {
    *os << c.first << " then " << c.second << ": shows " << c.shown;
}
class ViewSiteUtilitySide : public ViewSiteUtilityEditor, public ::testing::WithParamInterface<Sides> {};

TEST_P(ViewSiteUtilitySide, AnOpenSideIsInferredFromTheTemperaturesAndStored) {
    const Sides s = GetParam();
    // "Brine" has no side yet: its temperatures decide.
    ASSERT_EQ(SHT_NotSet, manager.GetValue(2));
    set("Brine", s.first, s.second);
    EXPECT_EQ(Viewable::EmptyValue, editor->Value(address("ExtraData.902.2"))) << "the plain column infers nothing";
    EXPECT_EQ(s.shown, editor->Value(address("Switch.902.2")));
    EXPECT_EQ(s.after, manager.GetValue(2));
}
INSTANTIATE_TEST_SUITE_P(Temperatures, ViewSiteUtilitySide,
                         ::testing::Values(Sides{-10.0, -15.0, 1.0, SHT_Hot}, Sides{-15.0, -10.0, 0.0, SHT_Cold},
                                           Sides{-10.0, -10.0, Viewable::EmptyValue, SHT_NotSet}));

TEST_F(ViewSiteUtilityEditor, TheSameSiteStreamOpensTheSameSegmentTable) {
    ASSERT_GT(manager.GetNumberOfStreams(), 0);
    IHeatIntegrationStream* first = nullptr;
    ASSERT_TRUE(manager.GetStream(0, first));
    EXPECT_EQ(1, SpecifyValue(editor, "Switch.440.0", 1.0));
    ASSERT_EQ(1, editor->GetSegmentTables().Count());
    SegmentTable* table = editor->GetSegmentTables()[0];
    EXPECT_EQ(first, table->GetStream());
    EXPECT_EQ(&manager, static_cast<TotalSiteManager*>(table->GetSiteManager()));
    SpecifyValue(editor, "RowPos.288", 0.0);
    EXPECT_EQ(1, SendViewableMessage(editor, "ViewSegTableViewU"));
    EXPECT_EQ(1, SpecifyValue(editor, "Switch.440.0", 1.0));
    EXPECT_EQ(1, editor->GetSegmentTables().Count());
    EXPECT_EQ(table, editor->AttachedObject(address("SegmentTable.200.0")));
    EXPECT_EQ("SegmentTable.200.0(" + first->GetName() + ")", editor->AttachedName(table));
    // A table closed elsewhere is forgotten.
    delete table;
    EXPECT_EQ(0, editor->GetSegmentTables().Count());
}

TEST_F(ViewSiteUtilityEditor, AUtilityDefaultFileRestoresTheListItHolds) {
    const std::filesystem::path file = dir / "site.hud";
    Session::Instance().ScriptFileName(file.string());
    EXPECT_EQ(1, SendViewableMessage(editor, "SaveUtilityDefaultSet"));
    ASSERT_TRUE(std::filesystem::exists(file));
    const std::vector<Text> saved = names();
    ASSERT_EQ(1, SpecifyValueText(editor, "ExtraData.901.0", ""));
    ASSERT_EQ(1, SpecifyValueText(editor, "ExtraData.901.2", "Extra"));
    ASSERT_NE(saved, names());
    Session::Instance().ScriptFileName(file.string());
    EXPECT_EQ(1, SendViewableMessage(editor, "OpenUtilityDefaultSet"));
    EXPECT_EQ(saved, names());
    EXPECT_EQ(0, keyCount("RecallPreferenceError"));
    // A file that is no utility-default file leaves the list as it was.
    const std::filesystem::path junk = dir / "junk.hud";
    std::ofstream(junk) << "not a defaults file";
    Session::Instance().ScriptFileName(junk.string());
    SendViewableMessage(editor, "OpenUtilityDefaultSet");
    EXPECT_EQ(1, keyCount("RecallPreferenceError"));
    EXPECT_EQ(saved, names());
    // A cancelled pick does nothing.
    Session::Instance().ScriptFileName(Text());
    EXPECT_EQ(1, SendViewableMessage(editor, "SaveUtilityDefaultSet"));
    EXPECT_EQ(0, keyCount("SavePreferenceError"));
}

TEST_F(ViewSiteUtilityEditor, AFileThatCannotBeWrittenIsLeftAsItWas) {
    const std::filesystem::path file = dir / "locked.hud";
    std::ofstream(file) << "kept";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    Session::Instance().ScriptFileName(file.string());
    SendViewableMessage(editor, "SaveUtilityDefaultSet");
    EXPECT_EQ(1, keyCount("FileWriteProtected"));
    EXPECT_EQ("kept", readAll(file));

    // An editor without a manager touches no file.
    const std::filesystem::path other = dir / "other.hud";
    std::ofstream(other) << "kept too";
    TotalSiteUtilManagerView unbound(&root);
    EXPECT_EQ(Viewable::EmptyValue, unbound.Value(address("Temperature.903.0")));
    Session::Instance().ScriptFileName(other.string());
    SendViewableMessage(&unbound, "SaveUtilityDefaultSet");
    EXPECT_EQ(1, keyCount("SavePreferenceError"));
    EXPECT_EQ("kept too", readAll(other));
    // No temporary file is left beside them.
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
}

TEST_F(ViewSiteUtilityEditor, SiteStreamNoticesKeepTheNameViewsAndAGoneManagerUnbinds) {
    IHeatIntegrationStream* stream = nullptr;
    ASSERT_TRUE(manager.GetStream(0, stream));
    const Text name = stream->GetName();
    editor->NotifyChange(30, name, nullptr);
    ASSERT_EQ(1, editor->GetUtilityNameViews().Count());
    EXPECT_EQ(name, editor->GetUtilityNameViews()[0]->GetName());
    editor->NotifyChange(31, name, nullptr);
    EXPECT_EQ(0, editor->GetUtilityNameViews().Count());
    // A name view deleted elsewhere is forgotten.
    editor->NotifyChange(30, name, nullptr);
    ASSERT_EQ(1, editor->GetUtilityNameViews().Count());
    delete editor->GetUtilityNameViews()[0];
    EXPECT_EQ(0, editor->GetUtilityNameViews().Count());
    editor->NotifyChange(91, CPString(), nullptr);
    EXPECT_EQ(nullptr, editor->GetManager());
    EXPECT_EQ(Viewable::EmptyValue, editor->Value(address("Temperature.903.0")));
    EXPECT_EQ(Text(), editor->TextValue(address("ExtraData.901.0")));
}

}  // namespace
