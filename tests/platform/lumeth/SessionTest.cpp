#include "lumeth/DisplayUnits.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "tests/support/FormProbeView.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

namespace {

class SessionJournal : public ::testing::Test {
protected:
    SessionJournal() {
        Session::Instance().Reset();
        RegisterFormProbe(registry.types);
        MessageCatalogue::Instance().SetString("SupplyCountMsg", "%s has %d supplies");
        MessageCatalogue::Instance().SetString("ClearSuppliesQuestion", "Clear the supplies of %s?");
    }
    ~SessionJournal() override { Session::Instance().Reset(); }
    ProbeRegistry registry;
};

// What a user does on a view and a child view made through the form.
void session(Viewable* root) {
    SpecifyValue(root, "Temperature.402.0", 150.0);
    SpecifyValue(root, "Temperature.402.1", 90.5);
    SpecifyValue(root, "Index.403", 7.0);  // read-only: refused
    SpecifyValueText(root, "Notes.400", "first | second\nthird");
    AttachNewViewObject(root, "FormProbe.200", "Child (1)");
    SpecifyValue(root, "FormProbe.200(Child \\(1\\)).Temperature.402.0", 20.0);
    SendViewableMessage(root, "Check");
    SendViewableMessage(root, "Clear");  // scripted: no
    SendViewableMessage(root, "Pick");   // scripted: a file
    Viewable* child = root->FindChild(FormProbeView::TypeName, "Child (1)");
    SendViewableMessage(child, "Clear");  // not scripted: yes
    SendViewableMessage(child, "Check");
    SpecifyValue(root, "FormProbe.200(nobody).Temperature.402.0", 1.0);
}

TEST_F(SessionJournal, AJournalOfInputsReplayedOnFreshViewsGivesTheSameJournalAndState) {
    auto* first = new FormProbeView(nullptr, "case");
    Session::Instance().ScriptResponse(0);
    Session::Instance().ScriptFileName("/tmp/supplies.sup");
    session(first);
    const std::vector<SessionEntry> journal = Session::Instance().Journal();
    const std::vector<Text> lines = Session::Instance().Lines();
    Session::Instance().Reset();

    auto* second = new FormProbeView(nullptr, "case");
    EXPECT_EQ(0, ReplayInputs(journal, second)) << "every input finds its view again";
    // The input aimed at a missing child fails again the same way.
    EXPECT_EQ(lines, Session::Instance().Lines());
    EXPECT_EQ(first->supplies, second->supplies);
    EXPECT_EQ(first->notes, second->notes);
    EXPECT_EQ("/tmp/supplies.sup", second->notes);
    auto* a = static_cast<FormProbeView*>(first->GetChild(0));
    auto* b = static_cast<FormProbeView*>(second->GetChild(0));
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(a->supplies, b->supplies);
    EXPECT_TRUE(b->supplies.empty()) << "the child's question was answered yes";
    delete first;
    delete second;
}

TEST_F(SessionJournal, EntriesAreNumberedInputComesFirstAndFieldsAreEscapedWhole) {
    auto* view = new FormProbeView(nullptr, "v");
    const std::uint64_t start = Session::Instance().NextSequence();
    SpecifyValue(view, "Temperature.402.0", 100.0);
    // A command that shows an error answers 0, whatever the view returned.
    EXPECT_EQ(0, SendViewableMessage(view, "Check"));
    Session::Instance().ScriptResponse(1);
    EXPECT_EQ(1, SendViewableMessage(view, "Clear"));
    const auto entries = Session::Instance().EntriesSince(start - 1);
    ASSERT_EQ(5u, entries.size());
    EXPECT_EQ(SessionEvent::Specified, entries[0].event);
    EXPECT_EQ(SessionEvent::MessageSent, entries[1].event);
    EXPECT_EQ(SessionEvent::Error, entries[2].event);
    EXPECT_EQ("v has 1 supplies", entries[2].text);
    EXPECT_EQ(SessionEvent::MessageSent, entries[3].event);
    EXPECT_EQ(1, entries[3].answer) << "the result is set on the entry written before the call";
    EXPECT_EQ(SessionEvent::Response, entries[4].event);
    for (std::size_t i = 1; i < entries.size(); ++i) EXPECT_EQ(entries[i - 1].sequence + 1, entries[i].sequence);
    // Numbers go on across a reset; the display units are not the journal's to reset.
    SetDisplayUnitSet(CustomaryUnits);
    const std::uint64_t before = Session::Instance().NextSequence();
    Session::Instance().Reset();
    EXPECT_EQ(before, Session::Instance().NextSequence());
    EXPECT_EQ(CustomaryUnits, GetDisplayUnitSet());
    SetDisplayUnitSet(SIUnits);
    // A long text with separators and line breaks is kept whole and escaped.
    Text longText;
    for (int i = 0; i < 2000; ++i) longText += "ab|c\n";
    SpecifyValueText(view, "Notes.400", longText);
    Viewable::ErrorMsg("SupplyCountMsg", {longText, "3"});
    const std::vector<Text> lines = Session::Instance().Lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(Text("SpecifyText v|Notes.400|0|1||") .size() + 2000 * 7, lines[1].size());
    EXPECT_EQ(Text::npos, lines[1].find('\n'));
    EXPECT_EQ(longText + " has 3 supplies", Session::Instance().Journal().back().text);
    delete view;
}

TEST_F(SessionJournal, StrictScriptsReportQuestionsAndFilePickersWithNoAnswer) {
    auto* view = new FormProbeView(nullptr, "v");
    view->supplies = {1.0};
    Session::Instance().SetStrict(true);
    EXPECT_EQ(0, SendViewableMessage(view, "Clear")) << "unanswered: not confirmed";
    EXPECT_EQ(1u, view->supplies.size());
    EXPECT_EQ(0, SendViewableMessage(view, "Pick"));
    EXPECT_EQ(2, Session::Instance().MissingAnswers());
    const auto missing = Session::Instance().Entries(SessionEvent::ScriptMissing);
    ASSERT_EQ(2u, missing.size());
    EXPECT_EQ("ClearSuppliesQuestion", missing[0].key);
    EXPECT_EQ("OpenSuppliesTitle", missing[1].key);
    Session::Instance().ScriptResponse(1);
    EXPECT_EQ(1, SendViewableMessage(view, "Clear"));
    EXPECT_EQ(2, Session::Instance().MissingAnswers());
    delete view;
}

TEST(MessageFormats, ParametersFillConversionsInOrderAndNothingElse) {
    struct Case {
        const char* format;
        MessageParameters parameters;
        const char* expected;
    };
    const Case cases[] = {
        {"Stream %s has %d segments", {"H1", "3"}, "Stream H1 has 3 segments"},
        {"%.2f kW at %g C", {"1.234", "150"}, "1.23 kW at 150 C"},
        {"%5d|%-3s|", {"42", "a"}, "   42|a  |"},
        {"%s and %s", {"one"}, "one and "},
        {"No format", {"x", "y"}, "No format x y"},
        {"100%% of %s", {"it"}, "100% of it"},
        {"%d streams", {"many"}, "0 streams"},
        {"%n%s", {"a"}, "%na"},
        {"%99999d", {"1"}, "%99999d 1"},
        {"%x", {"255"}, "ff"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, FormatMessage(c.format, c.parameters)) << c.format;
    EXPECT_EQ("2.5", MessageParameter(2.5));
    EXPECT_EQ("0.1", MessageParameter(0.1));
}

// A notice naming streams keeps each name whole; a control character a name holds (the separator
// itself among them) cannot split it, and a notice with no texts is no such notice.
TEST(MessageFormats, NoticeTextsComeBackAsTheyWereGiven) {
    Text key;
    MessageParameters texts;
    ASSERT_TRUE(SplitNoticeTexts(NoticeWithTexts("K", {"My plant", "", "a\x1f" "b\nc"}), key, texts));
    EXPECT_EQ("K", key);
    EXPECT_EQ((MessageParameters{"My plant", "", "a?b?c"}), texts);
    EXPECT_FALSE(SplitNoticeTexts("K 1 2", key, texts));
    EXPECT_EQ("K", key);
}

}  // namespace
