// The heat-integration project: its registration as type 501, scenario naming, the three ways of
// adding a scenario, renaming and deleting, the non-retrofit lists, and its record.
#include "ScenarioTestDoubles.h"

#include "brasko/EngineeringManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/CloneSelection.h"
#include "eng/model/Project.h"

#include <gtest/gtest.h>

namespace {

using namespace scenario_test;

namespace {

// A scenario record of the test's own: the scenario's name and notes.
class NotesRecord : public IScenarioRecord {
public:
    bool Store(CPIScenario& s, ILurmetBinaryFile& file) override {
        RecordHandle h;
        return file.BeginRecord(h, 1) && file.WriteCPString(s.GetName() ? s.GetName() : "") &&
               file.WriteCPString(s.GetNotes() ? s.GetNotes() : "") && file.EndRecord(h);
    }
    bool Recall(CPIScenario& s, ILurmetBinaryFile& file) override {
        if (failAt >= 0 && calls++ == failAt) return false;
        RecordHandle h;
        CPString name, notes;
        if (!file.BeginRecord(h) || !file.ReadCPString(name) || !file.ReadCPString(notes) || !file.EndRecord(h))
            return false;
        s.SetName(name);
        s.SetNotes(notes);
        return true;
    }
    int failAt = -1;
    int calls = 0;
};

struct ProjectFixture {
    ProjectFixture() : project(nullptr, "P") {
        services.designs = designs;
        services.records = records;
        project.SetScenarioServices(services);
        project.AddNotificationReceiver(&view);
    }
    ~ProjectFixture() { project.RemoveNotificationReceiver(&view); }
    CPIScenario* Scenario(const CPString& name) {
        IHeatIntegrationScenario* s = nullptr;
        return project.GetScenario(name, s) ? dynamic_cast<CPIScenario*>(s) : nullptr;
    }

    std::shared_ptr<FakeDesignFactory> designs = std::make_shared<FakeDesignFactory>();
    std::shared_ptr<NotesRecord> records = std::make_shared<NotesRecord>();
    ScenarioServices services;
    RecordingReceiver view;
    CPIProject project;
};

std::vector<std::string> scenarioNames(const CPIProject& p) {
    std::vector<std::string> names;
    for (int i = 0; i < p.GetNumberOfScenarios(); ++i) names.push_back(p.GetScenarioName(i));
    return names;
}

}  // namespace

TEST(Project, IsRegisteredAsType501AtLoad) {
    EXPECT_TRUE(GetEngineObjectRegistry().IsRegistered(CPIProject::ObjectType));
    EngineeringManager manager;
    ILurmetBaseObject* object = manager.CreateObject(501, "Plant");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetObjectType(), 501);
    EXPECT_EQ(object->GetMyIdentifier(), "Plant");
    void* out = nullptr;
    ASSERT_EQ(object->QueryInterface(501, &out), 1);
    EXPECT_NE(dynamic_cast<CPIProject*>(static_cast<IHeatIntegrationProject*>(out)), nullptr);
    EXPECT_EQ(object->QueryInterface(ILurmetProject::InterfaceId, &out), 1);
    manager.ReleaseObject(object);
}

struct NameCase {
    std::vector<std::string> existing;
    std::string expected;
};
void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.existing.size() << " names taken: next is \"" << c.expected << "\"";
}

class CreateScenarioName : public ::testing::TestWithParam<NameCase> {};

TEST_P(CreateScenarioName, GivesTheFirstFreeName) {
    ProjectFixture f;
    for (const std::string& n : GetParam().existing) ASSERT_EQ(f.project.AddScenario(n), 1);
    EXPECT_EQ(f.project.CreateScenarioName("base"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, CreateScenarioName,
                         ::testing::Values(NameCase{{}, "base"}, NameCase{{"base"}, "base 1"},
                                           NameCase{{"base", "base 1"}, "base 2"},
                                           NameCase{{"base 1"}, "base"},
                                           NameCase{{"base", "base 2"}, "base 1"}));

TEST(Project, AddScenarioByNameRefusesATakenName) {
    ProjectFixture f;
    EXPECT_EQ(f.project.GetNumberOfScenarios(), 0);
    IHeatIntegrationScenario* s = nullptr;
    EXPECT_EQ(f.project.GetScenario(0, s), 0);
    ASSERT_EQ(f.project.AddScenario("base"), 1);
    const Notice* added = f.view.Last(24);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->text, "base");
    EXPECT_STREQ(f.Scenario("base")->GetName(), "base");
    EXPECT_EQ(f.Scenario("base")->GetProject(), &f.project);
    EXPECT_EQ(f.project.AddScenario("base"), 0);
    EXPECT_EQ(f.project.GetNumberOfScenarios(), 1);
}

TEST(Project, AddScenarioFromASourceCopiesOrAppends) {
    ProjectFixture f;
    ASSERT_EQ(f.project.AddScenario("base"), 1);
    CPIScenario* base = f.Scenario("base");
    base->SetNotes("n");
    base->AddStream("H1", 0);
    ASSERT_EQ(base->AddDesign("Design 1"), 1);
    // A copy under a new name, with the designs the selection names.
    CloneSelection selection = base->SelectAll();
    EXPECT_EQ(f.project.AddScenario("copy", base, &selection), 1);
    CPIScenario* copy = f.Scenario("copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "copy");
    EXPECT_STREQ(copy->GetNotes(), "n");
    EXPECT_NE(copy->FindStream("H1"), nullptr);
    EXPECT_EQ(copy->GetNumberOfDesigns(), 1);
    // No selection: every stream, but designs only through the selection.
    EXPECT_EQ(f.project.AddScenario("bare", base, nullptr), 1);
    EXPECT_EQ(f.Scenario("bare")->GetNumberOfDesigns(), 1);
    CloneSelection noDesigns = base->SelectAll();
    noDesigns.Set(CloneSelection::EntryDesigns, 0, 255);
    EXPECT_EQ(f.project.AddScenario("nodesigns", base, &noDesigns), 1);
    EXPECT_EQ(f.Scenario("nodesigns")->GetNumberOfDesigns(), 0);
    // An existing name: the source is appended into it.
    CloneSelection renamed = base->SelectAll();
    renamed.Set(CloneSelection::EntryKeepStreamNames, 0, 0);
    EXPECT_EQ(f.project.AddScenario("copy", base, &renamed), 1);
    EXPECT_NE(copy->FindStream("H1 from base"), nullptr);
    EXPECT_EQ(f.project.GetNumberOfScenarios(), 4);
    EXPECT_EQ(f.project.AddScenario("", base, nullptr), 0);
    EXPECT_EQ(f.project.AddScenario("x", nullptr, nullptr), 0);
}

TEST(Project, RenameAndDeleteScenarios) {
    ProjectFixture f;
    ASSERT_EQ(f.project.AddScenario("a"), 1);
    ASSERT_EQ(f.project.AddScenario("b"), 1);
    RecordingReceiver scenarioView;
    f.Scenario("a")->AddNotificationReceiver(&scenarioView);
    EXPECT_EQ(f.project.RenameScenario("a", "b"), 0);
    EXPECT_EQ(f.project.RenameScenario("zz", "c"), 0);
    EXPECT_EQ(f.project.RenameScenario("a", "c"), 1);
    ASSERT_EQ(scenarioView.Codes(), std::vector<int>{26});
    EXPECT_EQ(scenarioView.changes[0].text, "c");
    EXPECT_EQ(scenarioNames(f.project), (std::vector<std::string>{"c", "b"}));
    f.Scenario("c")->RemoveNotificationReceiver(&scenarioView);
    EXPECT_EQ(f.project.DeleteScenario("zz"), 0);
    EXPECT_EQ(f.project.DeleteScenario("c"), 1);
    EXPECT_EQ(scenarioNames(f.project), std::vector<std::string>{"b"});
}

class BrokenProjectRecord : public ::testing::TestWithParam<int> {};

TEST_P(BrokenProjectRecord, FailsWithoutLosingTheScenariosInMemory) {
    ProjectFixture f;
    f.project.AddScenario("one");
    f.project.AddScenario("two");
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(f.project.Store(out));
    std::vector<std::uint8_t> bytes = out.Bytes();
    ProjectFixture g;
    g.project.AddScenario("kept");
    if (GetParam() >= 0) {
        g.records->failAt = GetParam();  // the scenario record at that position fails to read
    } else {
        bytes.resize(bytes.size() + static_cast<std::size_t>(GetParam()));  // a truncated file
    }
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    EXPECT_FALSE(g.project.Recall(in));
    EXPECT_EQ(scenarioNames(g.project), std::vector<std::string>{"kept"});
}

INSTANTIATE_TEST_SUITE_P(Failures, BrokenProjectRecord, ::testing::Values(0, 1, -1, -20, -60));

TEST(ProjectRecord, ScenariosCannotBeStoredWithoutAScenarioRecord) {
    CPIProject p(nullptr, "P");
    p.AddScenario("one");
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    EXPECT_FALSE(p.Store(out));
}

}  // namespace
