#pragma once
// The user's session as the views reach it: messages and questions, status lines, traces, busy
// signals, view updates, forms opened, command lines sent, file pickers, preferences and tasks.
// There is no screen: everything a user would have seen goes, in order, into one journal that
// tests and the host read; questions and file pickers take their answers from scripts.
#include "lumeth/Text.h"

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
    MessageSent,    // SendViewableMessage: key = the view's name, text = the line, answer = result
    Unhandled,      // a hook no view answered: key = the view's name, text = what was asked
    FilePicked,     // ChooseFileName: key = title key, text = the chosen name (empty: cancelled)
    ConfigSet,      // SetConfigData: key = preference key, text = the value
    Task,           // a task ran: key = task name, answer = result
};

struct SessionEntry {
    SessionEvent event;
    Text key;
    Text text;
    int number = 0;
    int answer = 0;
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

    // ---- the journal ----
    void Record(SessionEvent event, const Text& key, const Text& text = Text(), int number = 0, int answer = 0);
    const std::vector<SessionEntry>& Journal() const { return m_journal; }
    std::vector<SessionEntry> Entries(SessionEvent event) const;
    // One line per entry ("Error NoStreams: text"), for tests to compare.
    std::vector<Text> Lines() const;
    // Empties the journal, the scripts and the busy depth.
    void Reset();
    void ClearEvents(SessionEvent event);

    // ---- scripts ----
    // Answers handed to the next questions, in order; without a script a question is answered
    // 1 (yes). Under automation no question is asked at all (answer 1, nothing recorded).
    void ScriptResponse(int answer) { m_responses.push_back(answer); }
    // File names handed to the next file pickers; an empty name or no script cancels.
    void ScriptFileName(const Text& name) { m_fileNames.push_back(name); }

    int NextResponse();
    bool NextFileName(Text& name);

    // ---- the user's display-unit set ----
    int UnitSet() const { return m_unitSet; }
    void SetUnitSet(int set) { m_unitSet = set; }

    // ---- busy signal ----
    int BusyDepth() const { return m_busy; }
    void SignalBusy(bool on);

private:
    std::vector<SessionEntry> m_journal;
    std::deque<int> m_responses;
    std::deque<Text> m_fileNames;
    int m_busy = 0;
    int m_unitSet = 0;
};

// ---- the session services the views call ----
void ErrorMsg(const Text& key, const Text& parameter);
// kind 2 asks to confirm (the caller goes on only on answer 1); kind 1 informs (answers 1).
int ResponseMsg(const Text& key, int kind);
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
// Delivers a command line to a view's Message and records it. A view that deletes itself while
// handling the line is not touched again. Answers Message's result (0 for a null view).
int SendViewableMessage(Viewable* view, const Text& line, int flag = 0);
// Runs a task (a long computation the framework would run with its progress shown) at once and
// records it; answers the callback's result.
int RunTask(const Text& name, const std::function<int()>& callback);

using FileName = Text;
class FilePicker {
public:
    // The scripted file name; false (and `out` unchanged) when the pick was cancelled.
    static bool ChooseFileName(const FNPromptStruct& prompt, FileName& out);
};
