// Event-plan files: the two-plan document against its golden file, plans read back as written,
// the same plans from compact, pretty-printed and UTF-16 documents, attributes by name and by
// place, numbers that read back to the same double, the plan counter from the names read, and
// damaged files that leave the planner's plans as they were.
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "tests/support/FourStreamProject.h"
#include "tests/views/design/RecordingDesignSupport.h"
#include "views/design/EventPlanFile.h"
#include "views/design/EventPlanner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace file = event_plan_file;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string dataFile(const char* name) { return readAll(std::string(KESTRIN_TEST_DATA) + "/eventplans/" + name); }

// Two plans: the first has a tee-flow task entered before a cleaning task.
EventPlanList twoPlans() {
    EventPlanList plans;
    auto first = std::make_unique<EventPlan>();
    first->name = "Event 1";
    first->notes = "Clean & re-balance <TEE-100>";
    first->SetTask("TeeFlow", "TEE-100", 1.25, "kg/s", false);
    first->SetTask("Clean", "E-100", 0.35, "kW/m2-C", false);
    auto second = std::make_unique<EventPlan>();
    second->name = "Event 2";
    second->notes = "Winter";
    second->SetTask("InletTemp", "C1", 12.5, "C", false);
    second->SetTask("Remove", "E-101", 1.0, "", false);
    plans.push_back(std::move(first));
    plans.push_back(std::move(second));
    return plans;
}

void expectSamePlans(const EventPlanList& a, const EventPlanList& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i]->name, b[i]->name);
        EXPECT_EQ(a[i]->notes, b[i]->notes);
        for (auto group : {&EventPlan::exchangerTasks, &EventPlan::flowTasks}) {
            const auto& ta = (*a[i]).*group;
            const auto& tb = (*b[i]).*group;
            ASSERT_EQ(ta.size(), tb.size()) << a[i]->name;
            for (std::size_t k = 0; k < ta.size(); ++k) {
                EXPECT_EQ(ta[k].keyword, tb[k].keyword);
                EXPECT_EQ(ta[k].unitName, tb[k].unitName);
                EXPECT_EQ(ta[k].newValue, tb[k].newValue);
                EXPECT_EQ(ta[k].units, tb[k].units);
            }
        }
    }
}

TEST(ViewEventPlanFile, TheTwoPlanDocumentIsTheGoldenFileAndReadsBackTheSame) {
    const EventPlanList plans = twoPlans();
    const std::string text = file::Write(plans, "Plant trials");
    EXPECT_EQ(dataFile("two-plans.xml"), text);
    // "Clean" stands before "TeeFlow" although it was entered after it.
    EXPECT_LT(text.find("\"Clean\""), text.find("\"TeeFlow\""));
    file::PlanDocument read;
    ASSERT_TRUE(file::Parse(text, read));
    expectSamePlans(plans, read.plans);
    EXPECT_EQ(Text("Plant trials"), read.notes);
}

// The same two plans written compactly, pretty-printed with other indentation and in UTF-16.
class ViewEventPlanFileForms : public ::testing::TestWithParam<const char*> {};

TEST_P(ViewEventPlanFileForms, ReadAlike) {
    file::PlanDocument read;
    ASSERT_TRUE(file::Parse(dataFile(GetParam()), read)) << GetParam();
    expectSamePlans(twoPlans(), read.plans);
    EXPECT_EQ(Text("Plant trials"), read.notes);
}

INSTANTIATE_TEST_SUITE_P(Files, ViewEventPlanFileForms,
                         ::testing::Values("two-plans.xml", "two-plans-compact.xml", "two-plans-reordered.xml",
                                           "two-plans-utf16le.xml", "two-plans-utf16be.xml"));

TEST(ViewEventPlanFile, AttributesAreReadByNameAndByPlaceOnlyWhereANameIsMissing) {
    const std::string text =
        "<RootPlan><Group><Event Label=\"Trial\"><Remarks Text=\"n\"/>"
        "<Task Type=\"StreamFlow\"><Data Units=\"kg/s\" UnitName=\"H1\" NewValue=\" 2.5 \"/></Task>"
        "<Task Type=\"ChangeArea\"><Data UnitName=\"E-100\" NewValue=\"40\"/></Task>"
        "<Task Type=\"Paint\"><Data UnitName=\"E-100\" NewValue=\"1\" Units=\"\"/></Task>"
        "<Task Kind=\"AddShells\"><Values a=\"E-101\" b=\"2\" c=\"shells\"/></Task>"
        "<Task Type=\"InletTemp\"><Data UnitName=\"C1\"/></Task>"
        "</Event></Group><RootNotes Notes=\"x\"/></RootPlan>";
    file::PlanDocument read;
    ASSERT_TRUE(file::Parse(text, read));
    ASSERT_EQ(1u, read.plans.size());
    const EventPlan& plan = *read.plans[0];
    EXPECT_EQ(Text("Trial"), plan.name);  // the first attribute of an "Event" without "Name"
    EXPECT_EQ(Text("n"), plan.notes);
    ASSERT_EQ(2u, plan.exchangerTasks.size());  // "Paint" is dropped
    EXPECT_EQ(Text("E-100"), plan.exchangerTasks[0].unitName);
    EXPECT_EQ(40.0, plan.exchangerTasks[0].newValue);
    EXPECT_TRUE(plan.exchangerTasks[0].units.empty());  // two attributes: no units
    EXPECT_EQ(Text("E-101"), plan.exchangerTasks[1].unitName);
    EXPECT_EQ(2.0, plan.exchangerTasks[1].newValue);
    EXPECT_EQ(Text("shells"), plan.exchangerTasks[1].units);
    ASSERT_EQ(2u, plan.flowTasks.size());
    EXPECT_EQ(Text("H1"), plan.flowTasks[0].unitName);
    EXPECT_EQ(2.5, plan.flowTasks[0].newValue);
    EXPECT_EQ(Text("kg/s"), plan.flowTasks[0].units);
    EXPECT_EQ(-32767.0, plan.flowTasks[1].newValue);  // no value given
    EXPECT_EQ(Text("x"), read.notes);
}

TEST(ViewEventPlanFile, ValuesAreWrittenInTheShortestFormThatReadsBackTheSame) {
    for (double v : {0.1, 1.0 / 3.0, -32767.0, 1e-300, 6.02214076e23, 0.0, -2.5}) {
        const std::string text = file::FormatValue(v);
        EXPECT_EQ(v, file::ParseValue(text)) << text;
        EXPECT_EQ(std::string::npos, text.find(',')) << text;
    }
    EXPECT_EQ("0.1", file::FormatValue(0.1));
    EXPECT_EQ("-32767", file::FormatValue(-32767.0));
    EXPECT_EQ(-32767.0, file::ParseValue("1,5"));
    EXPECT_EQ(-32767.0, file::ParseValue("abc"));
    EXPECT_EQ(-32767.0, file::ParseValue(""));
}

// A value no task can carry out (not a number, infinite, a negative area or flow, a temperature
// below absolute zero) reads as none given, and is written back so; an inlet temperature below
// zero is a temperature like any other.
TEST(ViewEventPlanFile, AValueNoTaskCanHoldReadsAsNoneGiven) {
    const std::string text =
        "<RootPlan><Event Name=\"Trial\"><Notes Notes=\"\"/>"
        "<Task Type=\"ChangeArea\"><Data UnitName=\"E1\" NewValue=\"nan\" Units=\"m2\"/></Task>"
        "<Task Type=\"ChangeArea\"><Data UnitName=\"E2\" NewValue=\"inf\" Units=\"m2\"/></Task>"
        "<Task Type=\"ChangeArea\"><Data UnitName=\"E3\" NewValue=\"-5\" Units=\"m2\"/></Task>"
        "<Task Type=\"AddShells\"><Data UnitName=\"E4\" NewValue=\"1e300\" Units=\"\"/></Task>"
        "<Task Type=\"StreamFlow\"><Data UnitName=\"H1\" NewValue=\"-infinity\" Units=\"kg/s\"/></Task>"
        "<Task Type=\"InletTemp\"><Data UnitName=\"C1\" NewValue=\"-500\" Units=\"C\"/></Task>"
        "<Task Type=\"InletTemp\"><Data UnitName=\"C2\" NewValue=\"-5\" Units=\"C\"/></Task>"
        "</Event><RootNotes Notes=\"\"/></RootPlan>";
    file::PlanDocument read;
    ASSERT_TRUE(file::Parse(text, read));
    ASSERT_EQ(1u, read.plans.size());
    const EventPlan& plan = *read.plans[0];
    ASSERT_EQ(4u, plan.exchangerTasks.size());
    for (const EventTask& t : plan.exchangerTasks) EXPECT_EQ(-32767.0, t.newValue) << t.unitName;
    ASSERT_EQ(3u, plan.flowTasks.size());
    EXPECT_EQ(-32767.0, plan.flowTasks[0].newValue);
    EXPECT_EQ(-32767.0, plan.flowTasks[1].newValue);
    EXPECT_EQ(-5.0, plan.flowTasks[2].newValue);
    const std::string written = file::Write(read.plans, read.notes);
    EXPECT_EQ(std::string::npos, written.find("nan")) << written;
    EXPECT_EQ(std::string::npos, written.find("inf")) << written;
    EXPECT_EQ(std::string::npos, written.find("\"-500\"")) << written;
}

// Files that are not plan documents.
class ViewEventPlanFileDamaged : public ::testing::TestWithParam<const char*> {};

TEST_P(ViewEventPlanFileDamaged, AreNotRead) {
    file::PlanDocument read;
    read.notes = "kept";
    EXPECT_FALSE(file::Parse(GetParam(), read));
    EXPECT_EQ(Text("kept"), read.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ViewEventPlanFileDamaged,
    ::testing::Values("", "not xml at all", "<RootPlan><Event Name=\"A\"><Notes Notes=\"\"/>",  // cut short
                      "<Plans><Event Name=\"A\"/></Plans>",                                         // another root
                      "<RootPlan><Event Name=\"A\"></RootPlan>",                                     // mismatched
                      "<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><RootPlan>&e;</Root>"));

// Names and notes in UTF-8 read back as written; a name that is not UTF-8 (a Latin-1 byte)
// would make a document that no longer opens, so nothing is written and the earlier file stays.
TEST(ViewEventPlanFile, OnlyADocumentThatReadsBackReplacesTheFile) {
    const std::string path = ::testing::TempDir() + "encoding-plans.xml";
    EventPlanList plans = twoPlans();
    plans[0]->name = "Caf\xc3\xa9 \xe2\x80\x93 Nacht";
    ASSERT_TRUE(file::Save(path.c_str(), plans, "\xc3\x9c"));
    file::PlanDocument read;
    ASSERT_TRUE(file::Load(path.c_str(), read));
    expectSamePlans(plans, read.plans);
    EXPECT_EQ(Text("\xc3\x9c"), read.notes);
    const std::string kept = readAll(path);

    plans[1]->name = "Caf\xe9";
    EXPECT_FALSE(file::Save(path.c_str(), plans, "notes"));
    EXPECT_EQ(kept, readAll(path));
    EXPECT_FALSE(file::Save(path.c_str(), twoPlans(), "\xff"));
    EXPECT_EQ(kept, readAll(path));
    std::remove(path.c_str());
}

// A DOCTYPE is refused before any of its declarations is read: internal entities that would
// expand to gigabytes, external ones that would read other files, in UTF-8 or UTF-16.
std::string utf16le(const std::string& ascii) {
    std::string out = "\xff\xfe";
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

const std::string kLaughs =
    "<?xml version=\"1.0\"?><!DOCTYPE RootPlan [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">"
    "<!ENTITY c \"&b;&b;&b;&b;&b;\">]><RootPlan><Event Name=\"&c;\"/><RootNotes Notes=\"&c;\"/></RootPlan>";

struct Doctype {
    const char* name;
    std::string text;
};
[[maybe_unused]] void PrintTo(const Doctype& d, std::ostream* os) { *os << d.name; }

class ViewEventPlanFileDoctype : public ::testing::TestWithParam<Doctype> {};

TEST_P(ViewEventPlanFileDoctype, IsRefused) {
    file::PlanDocument read;
    read.notes = "kept";
    EXPECT_FALSE(file::Parse(GetParam().text, read));
    EXPECT_EQ(Text("kept"), read.notes);
    EXPECT_TRUE(read.plans.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, ViewEventPlanFileDoctype,
    ::testing::Values(Doctype{"internalEntities", kLaughs},
                      Doctype{"externalEntity",
                              std::string("<!DOCTYPE RootPlan [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>"
                                          "<RootPlan><Event Name=\"A\"/><RootNotes Notes=\"x\"/>&e;</RootPlan>")},
                      Doctype{"doctypeWithoutDeclarations",
                              std::string("<!DOCTYPE RootPlan><RootPlan><RootNotes Notes=\"x\"/></RootPlan>")},
                      Doctype{"utf16InternalEntities", utf16le(kLaughs)}),
    [](const auto& info) { return std::string(info.param.name); });

class ViewEventPlannerFiles : public ::testing::Test {
protected:
    ViewEventPlannerFiles() {
        Session::Instance().Reset();
        viewer = std::make_unique<HIDesignViewerDesign>(nullptr, "D",
                                                        ObjectTypeRegistry::Current()->Find(HIDesignViewerDesign::TypeName));
        viewer->SetScenario(&scenario);
        viewer->SetEngineeringDesign(&design, false);
        viewer->Message("ShowEventPlannerView");
        planner = static_cast<EventPlanner*>(viewer->GetEventPlanner());
        path = ::testing::TempDir() + "event-plans-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".xml";
    }
    ~ViewEventPlannerFiles() override {
        std::remove(path.c_str());
        viewer.reset();
        Session::Instance().Reset();
    }
    int errorCount(const char* key) const {
        int n = 0;
        for (const SessionEntry& e : Session::Instance().Journal()) n += e.event == SessionEvent::Error && e.key == key;
        return n;
    }
    void write(const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    FourStreamProject p{false};
    recording_design::EngineLog log;
    recording_design::RecordingScenario scenario{p.project, log};
    recording_design::RecordingDesign design{"D", log};
    std::unique_ptr<HIDesignViewerDesign> viewer;
    EventPlanner* planner = nullptr;
    std::string path;
};

TEST_F(ViewEventPlannerFiles, TheNextPlanIsNumberedAfterTheHighestRead) {
    write("<RootPlan><Event Name=\"Event 3\"/><Event Name=\"Event 7\"/><Event Name=\"Trial run\"/>"
          "<Event Name=\"Event\"/><RootNotes Notes=\"\"/></RootPlan>");
    ASSERT_TRUE(planner->ReadPlanFile(path));
    EXPECT_EQ(8, planner->GetPlanCounter());
    planner->Message("CreateNewEventPlan");
    EXPECT_EQ(Text("Event 8"), planner->GetPlans().back()->name);

    // Names without a number as second word leave the counter.
    write("<RootPlan><Event Name=\"Trial run\"/><RootNotes Notes=\"\"/></RootPlan>");
    ASSERT_TRUE(planner->ReadPlanFile(path));
    EXPECT_EQ(9, planner->GetPlanCounter());
    // A document without plans empties the list.
    write("<RootPlan><RootNotes Notes=\"only notes\"/></RootPlan>");
    ASSERT_TRUE(planner->ReadPlanFile(path));
    EXPECT_TRUE(planner->GetPlans().empty());
    EXPECT_EQ(Text("only notes"), planner->GetFileNotes());
}

TEST_F(ViewEventPlannerFiles, EveryPlanIsSavedWithoutASelectionAndNoPlansLeaveOnlyTheNotes) {
    planner->SpecifyText(VarDescription("Notes", 400), "file notes");
    Session::Instance().ScriptFileName(path.c_str());
    planner->Message("SaveEventPlan");
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RootPlan>\n  <RootNotes Notes=\"file notes\"/>\n</RootPlan>\n",
              readAll(path));

    planner->Message("CreateNewEventPlan");
    planner->Message("CreateNewEventPlan");
    planner->Message("DeleteEventPlan");  // Event 2 goes; Event 1 is selected
    planner->Message("CreateNewEventPlan");
    planner->SpecifyText(VarDescription("Tracker", 301), "nothing");
    Session::Instance().ScriptFileName(path.c_str());
    planner->Message("SaveEventPlan");
    file::PlanDocument read;
    ASSERT_TRUE(file::Load(path.c_str(), read));
    ASSERT_EQ(2u, read.plans.size());
    EXPECT_EQ(Text("Event 3"), read.plans[1]->name);
    EXPECT_EQ(0, errorCount("MSXMLError"));
}

TEST_F(ViewEventPlannerFiles, AFileThatCannotBeReadOrWrittenKeepsThePlans) {
    planner->Message("CreateNewEventPlan");
    for (const char* text : {"<RootPlan><Event Name=\"A\">", "<Other/>", ""}) {
        write(text);
        EXPECT_FALSE(planner->ReadPlanFile(path));
    }
    EXPECT_FALSE(planner->ReadPlanFile(path + ".missing"));
    EXPECT_EQ(4, errorCount("MSXMLError"));
    ASSERT_EQ(1u, planner->GetPlans().size());
    EXPECT_EQ(Text("Event 1"), planner->GetPlans()[0]->name);

    EXPECT_FALSE(planner->WritePlanFile((::testing::TempDir() + "no-such-folder/x/plans.xml").c_str()));
    EXPECT_EQ(5, errorCount("MSXMLError"));
    EXPECT_EQ(1u, planner->GetPlans().size());
}

// Plans are saved as a case is: a temporary file of their own beside the target, renamed over
// it. The user's own files beside it stay, a link stays a link to the file it names, and the
// file keeps its permissions.
class ViewEventPlanFileSave : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("kestrin_plans_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    std::size_t files() const {
        std::size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) n += e.is_regular_file() || e.is_symlink();
        return n;
    }
    std::filesystem::path dir_;
};

TEST_F(ViewEventPlanFileSave, TheUsersPartFileStaysAndNothingIsLeftBeside) {
    std::ofstream(path("plans.xml.part")) << "the user's own notes";
    ASSERT_TRUE(file::Save(path("plans.xml").c_str(), twoPlans(), "n"));
    EXPECT_EQ("the user's own notes", readAll(path("plans.xml.part")));
    EXPECT_EQ(2u, files());
    file::PlanDocument read;
    ASSERT_TRUE(file::Load(path("plans.xml").c_str(), read));
    expectSamePlans(twoPlans(), read.plans);
}

TEST_F(ViewEventPlanFileSave, ALinkStaysALinkAndItsFileIsWritten) {
    std::ofstream(path("real.xml")) << "old";
    std::filesystem::create_symlink("real.xml", dir_ / "plans.xml");
    ASSERT_TRUE(file::Save(path("plans.xml").c_str(), twoPlans(), "n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "plans.xml"));
    file::PlanDocument read;
    ASSERT_TRUE(file::Load(path("real.xml").c_str(), read));
    EXPECT_EQ(2u, read.plans.size());
}

TEST_F(ViewEventPlanFileSave, TheFileKeepsItsPermissions) {
    std::ofstream(path("plans.xml")) << "old";
    ASSERT_EQ(0, ::chmod(path("plans.xml").c_str(), 0600));
    ASSERT_TRUE(file::Save(path("plans.xml").c_str(), twoPlans(), "n"));
    struct stat info {};
    ASSERT_EQ(0, ::stat(path("plans.xml").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 07777);
}

// A pipe is not read, even when a writer stands ready (it could as well never write or never end).
TEST_F(ViewEventPlanFileSave, OnlyARegularFileIsRead) {
    const std::string fifo = path("plans.xml");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    // A writer whose reader went away gets SIGPIPE: the test takes the error instead.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const std::string text = file::Write(twoPlans(), "n");
        while (!stop) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0) {
                std::this_thread::yield();
                continue;
            }
            const int flags = ::fcntl(fd, F_GETFL);
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
            const ssize_t n = ::write(fd, text.data(), text.size());
            (void)n;
            ::close(fd);
            return;
        }
    });
    file::PlanDocument read;
    read.notes = "kept";
    const bool loaded = file::Load(fifo.c_str(), read);
    stop = true;
    writer.join();
    std::signal(SIGPIPE, previous);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(Text("kept"), read.notes);
    EXPECT_FALSE(file::Load(dir_.c_str(), read));
}

}  // namespace
