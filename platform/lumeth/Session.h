#pragma once
// The user's session as the views reach it: messages and questions, status lines, traces, busy
// signals, view updates, forms opened, command lines sent, file pickers, preferences and tasks.
// There is no screen: everything a user would have seen goes, in order, into one journal that
// tests and the host read; questions and file pickers take their answers from scripts.
//
// The journal is also what a session is replayed from. Every entry carries a sequence number
// that only grows (the journal is bounded, so positions shift; numbers never do). What the
// user put in is journalled as input entries, each before the entries it causes: values and
// texts typed into a variable, command lines, new child views attached, the display-unit set;
// the answers given to questions and file pickers are in their own entries. Replaying the
// inputs of a journal on fresh views, with the same answers scripted, gives the same journal
// of outputs and the same state.
#include "lumeth/Messages.h"
#include "lumeth/Text.h"

#include <string>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

class Viewable;

enum class SessionEvent {
    Error,          // ErrorMsg: text = message text, key = message key
    Response,       // ResponseMsg: number = kind, answer = the answer given
    Status,         // UserStatusReport: number = level
    StatusClear,    // UserStatusClear: number = level
    Trace,          // a trace line
    Busy,           // SignalBusy: number = nesting depth after the call
    UpdateViews,    // UpdateViews: key = the view's name
    WaitForTurn,    // WaitForTurn: number = n
    ViewOpened,     // View(form): key = the view's name, text = the form name
    FormClosed,     // the framework closed a view's forms: key = the view's name
    MessageSent,    // input, SendViewableMessage: key = the view's name, text = the line, answer = result
    Unhandled,      // a hook no view answered: key = the view's name, text = what was asked
    FilePicked,     // ChooseFileName: key = title key, text = the chosen name (empty: cancelled),
                    // number = the flags, detail = "EXT|description:pattern|..." of the prompt
    ConfigSet,      // SetConfigData: key = preference key, text = the value
    Task,           // a task ran: key = task name, answer = result
    Specified,      // input, SpecifyValue: text = address, value = the number, answer = result
    SpecifiedText,  // input, SpecifyValueText: text = address, detail = the text, answer = result
    Attached,       // input, AttachNewViewObject or AttachViewObject: text = address, detail = the
                    // view's name, number = 1 for an offered view dropped (0: a new one typed),
                    // answer = 1 when a view was made or taken
    UnitsSet,       // input, SetDisplayUnitSet: number = the set
    ScriptMissing,  // strict mode: a question (key) or file picker (key = title) had no answer
    Caption,        // a view's title set: key = the view's name, text = the title
};

// The name the journal's lines give the event ("Error", "MessageSent", ...).
const char* SessionEventName(SessionEvent event);
// Whether the event is something the user put in (what a replay applies again).
bool IsInputEvent(SessionEvent event);

struct SessionEntry {
    SessionEvent event = SessionEvent::Trace;
    Text key;
    Text text;
    int number = 0;
    int answer = 0;
    std::uint64_t sequence = 0;
    // Input entries: the path of the view from its root (see ViewPath), the number or the text
    // put in.
    Text target;
    double value = 0.0;
    Text detail;
};

// A prompt for a file name: title key, upper-case default extension, filters (description key,
// lower-case pattern), flags (5 to open, 0x35 to save).
struct FNPromptStruct {
    Text titleKey;
    Text defaultExtension;
    std::vector<std::pair<Text, Text>> filters;
    int flags = 5;
};

class Session {
public:
    static Session& Instance();

    // Entries kept before the oldest go (a long session is bounded).
    static constexpr std::size_t MaxEntries = 100000;

    // ---- the journal ----
    // Answers the entry's sequence number.
    std::uint64_t Record(SessionEvent event, const Text& key, const Text& text = Text(), int number = 0, int answer = 0);
    std::uint64_t Record(SessionEntry entry);
    // The entry with the sequence number; null when it has gone or never was.
    SessionEntry* Find(std::uint64_t sequence);
    const std::vector<SessionEntry>& Journal() const { return m_journal; }
    std::vector<SessionEntry> Entries(SessionEvent event) const;
    // The entries recorded after the one numbered `sequence`.
    std::vector<SessionEntry> EntriesSince(std::uint64_t sequence) const;
    // The number the next entry gets.
    std::uint64_t NextSequence() const { return m_nextSequence; }
    // One line per entry ("Error NoStreams|text|0|0"); input entries add "|target|value or
    // text". Fields are escaped ('\' '|' and line breaks as \\, \|, \n, \r), never cut.
    std::vector<Text> Lines() const;
    // The lines of the entries that are not input.
    std::vector<Text> OutputLines() const;
    static Text LineOf(const SessionEntry& entry);
    // Empties the journal, the scripts, the strict mode and the busy depth. Sequence numbers
    // go on counting; the display-unit set is a setting of its own and stays.
    void Reset();
    void ClearEvents(SessionEvent event);

    // ---- scripts ----
    // Answers handed to the next questions, in order; without a script a question is answered
    // 1 (yes).
    void ScriptResponse(int answer) { m_responses.push_back(answer); }
    // File names handed to the next file pickers; an empty name or no script cancels.
    void ScriptFileName(const Text& name) { m_fileNames.push_back(name); }
    // Strict mode: a question or file picker with no scripted answer is an error of the
    // script (a ScriptMissing entry, counted); the question is not confirmed (answer 0) and
    // the picker cancels.
    void SetStrict(bool strict) { m_strict = strict; }
    bool IsStrict() const { return m_strict; }
    int MissingAnswers() const { return m_missing; }

    int NextResponse(const Text& key);
    bool NextFileName(const Text& titleKey, Text& name);

    // ---- busy signal ----
    int BusyDepth() const { return m_busy; }
    void SignalBusy(bool on);

private:
    std::vector<SessionEntry> m_journal;
    std::deque<int> m_responses;
    std::deque<Text> m_fileNames;
    int m_busy = 0;
    bool m_strict = false;
    int m_missing = 0;
    std::uint64_t m_nextSequence = 1;
};

// ---- the session services the views call ----
void ErrorMsg(const Text& key, const Text& parameter);
void ErrorMsg(const Text& key, const MessageParameters& parameters);
// The parameter of a message that a file could not be saved: the file, the reason the save gave
// (the system's, such as a full disk) and, where a file is there, that it was left as it is.
Text SaveFailure(const Text& path, const std::string& reason);
// kind 2 asks to confirm and kind 5 asks yes or no (the caller goes on only on answer 1); kind 1
// informs (answers 1).
int ResponseMsg(const Text& key, int kind);
int ResponseMsg(const Text& key, int kind, const MessageParameters& parameters);
void UserStatusReport(const Text& text, int level, int colour = 0);
void UserStatusClear(int level);
void TraceLine(const Text& line);
// Nested: the busy signal is on while more calls with true than with false have been made.
void SignalBusy(bool on);
void UpdateViews(Viewable* view);
void WaitForTurn(int n);
// The user's preferences as doubles, kept in the configuration data's section "Preferences";
// false when the key is not set or not a number.
bool GetConfigData(const Text& key, double& value, bool flag = true);
void SetConfigData(const Text& key, double value, bool flag = true);
int RunTask(const Text& name, const std::function<int()>& callback);

using FileName = Text;
class FilePicker {
public:
    // The scripted file name; false (and `out` unchanged) when the pick was cancelled.
    static bool ChooseFileName(const FNPromptStruct& prompt, FileName& out);
};

// ---- the dispatchers through which input reaches the views ----
// Each journals its input first, then calls the hook, then sets the result on its entry; a
// view that deletes itself (or others) inside the hook is never touched again.
//
// An address may lead through child links to the view it names ("Child.200(a).Temperature.3").

// Delivers a command line to a view's Message. Answers Message's result (0 for a null view).
int SendViewableMessage(Viewable* view, const Text& line, int flag = 0);
// A typed number: Specify of the addressed variable. -1 when the address is not one or leads
// to no view.
int SpecifyValue(Viewable* view, const Text& address, double value);
int SpecifyValueText(Viewable* view, const Text& address, const Text& text);
// A new child view for a link address (AttachNewObject of the view the address leads to).
Viewable* AttachNewViewObject(Viewable* view, const Text& address, const Text& name);
// What a user does at a link address with a name: drops the view of that name among those the
// view offers there (GetAttachableObjects, then AttachObject), else types the name for a new
// one (AttachNewObject). Answers the view dropped or made; `dropped` tells which it was.
Viewable* AttachViewObject(Viewable* view, const Text& address, const Text& name, bool* dropped = nullptr);

// The path of a view from the top of its tree: the names its owners give it (AttachedName),
// outermost first, separated by '/'; empty for a top view.
Text ViewPath(const Viewable* view);
// The view a path leads to from `root`; null when a step finds nothing.
Viewable* ResolveViewPath(Viewable* root, const Text& path);

// Applies the input entries of `journal` again to the views under `root`, with the answers
// that were given then scripted in the same order. Answers how many inputs could not be
// applied (their view was not found).
int ReplayInputs(const std::vector<SessionEntry>& journal, Viewable* root);
