#include "lumeth/Session.h"

#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "lumeth/Viewable.h"

#include <algorithm>
#include <string>
#include <sys/stat.h>
#include <memory>

bool IsInputEvent(SessionEvent event) {
    switch (event) {
        case SessionEvent::MessageSent:
        case SessionEvent::Specified:
        case SessionEvent::SpecifiedText:
        case SessionEvent::Attached:
        case SessionEvent::UnitsSet: return true;
        default: return false;
    }
}

Session& Session::Instance() {
    static Session session;
    return session;
}

std::uint64_t Session::Record(SessionEvent event, const Text& key, const Text& text, int number, int answer) {
    SessionEntry entry;
    entry.event = event;
    entry.key = key;
    entry.text = text;
    entry.number = number;
    entry.answer = answer;
    return Record(std::move(entry));
}

std::uint64_t Session::Record(SessionEntry entry) {
    // The journal of a long session is bounded: the oldest entries go first.
    if (m_journal.size() >= MaxEntries) m_journal.erase(m_journal.begin(), m_journal.begin() + 1000);
    entry.sequence = m_nextSequence++;
    m_journal.push_back(std::move(entry));
    return m_journal.back().sequence;
}

SessionEntry* Session::Find(std::uint64_t sequence) {
    auto it = std::lower_bound(m_journal.begin(), m_journal.end(), sequence,
                               [](const SessionEntry& e, std::uint64_t s) { return e.sequence < s; });
    return it != m_journal.end() && it->sequence == sequence ? &*it : nullptr;
}

std::vector<SessionEntry> Session::Entries(SessionEvent event) const {
    std::vector<SessionEntry> out;
    for (const SessionEntry& e : m_journal)
        if (e.event == event) out.push_back(e);
    return out;
}

std::vector<SessionEntry> Session::EntriesSince(std::uint64_t sequence) const {
    auto it = std::upper_bound(m_journal.begin(), m_journal.end(), sequence,
                               [](std::uint64_t s, const SessionEntry& e) { return s < e.sequence; });
    return std::vector<SessionEntry>(it, m_journal.end());
}

const char* SessionEventName(SessionEvent e) {
    switch (e) {
        case SessionEvent::Error: return "Error";
        case SessionEvent::Response: return "Response";
        case SessionEvent::Status: return "Status";
        case SessionEvent::StatusClear: return "StatusClear";
        case SessionEvent::Trace: return "Trace";
        case SessionEvent::Busy: return "Busy";
        case SessionEvent::UpdateViews: return "UpdateViews";
        case SessionEvent::WaitForTurn: return "WaitForTurn";
        case SessionEvent::ViewOpened: return "View";
        case SessionEvent::FormClosed: return "FormClosed";
        case SessionEvent::MessageSent: return "Message";
        case SessionEvent::Unhandled: return "Unhandled";
        case SessionEvent::FilePicked: return "FilePicked";
        case SessionEvent::ConfigSet: return "ConfigSet";
        case SessionEvent::Task: return "Task";
        case SessionEvent::Specified: return "Specify";
        case SessionEvent::SpecifiedText: return "SpecifyText";
        case SessionEvent::Attached: return "Attach";
        case SessionEvent::UnitsSet: return "Units";
        case SessionEvent::ScriptMissing: return "ScriptMissing";
        case SessionEvent::Caption: return "Caption";
    }
    return "?";
}

namespace {
Text escapeField(const Text& field) {
    Text out;
    out.reserve(field.size());
    for (char c : field) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '|': out += "\\|"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}
}  // namespace

Text Session::LineOf(const SessionEntry& e) {
    Text line = Text(SessionEventName(e.event)) + " " + escapeField(e.key) + "|" + escapeField(e.text) + "|" +
                FormattedText("%d|%d", e.number, e.answer);
    if (e.event == SessionEvent::Specified) line += "|" + escapeField(e.target) + "|" + MessageParameter(e.value);
    else if (IsInputEvent(e.event) && e.event != SessionEvent::UnitsSet)
        line += "|" + escapeField(e.target) + "|" + escapeField(e.detail);
    return line;
}

std::vector<Text> Session::Lines() const {
    std::vector<Text> out;
    out.reserve(m_journal.size());
    for (const SessionEntry& e : m_journal) out.push_back(LineOf(e));
    return out;
}

std::vector<Text> Session::OutputLines() const {
    std::vector<Text> out;
    for (const SessionEntry& e : m_journal)
        if (!IsInputEvent(e.event)) out.push_back(LineOf(e));
    return out;
}

void Session::Reset() {
    m_journal.clear();
    m_responses.clear();
    m_fileNames.clear();
    m_busy = 0;
    m_strict = false;
    m_missing = 0;
}

void Session::ClearEvents(SessionEvent event) {
    std::erase_if(m_journal, [event](const SessionEntry& e) { return e.event == event; });
}

int Session::NextResponse(const Text& key) {
    if (m_responses.empty()) {
        if (!m_strict) return 1;
        ++m_missing;
        Record(SessionEvent::ScriptMissing, key, "question");
        return 0;
    }
    const int answer = m_responses.front();
    m_responses.pop_front();
    return answer;
}

bool Session::NextFileName(const Text& titleKey, Text& name) {
    if (m_fileNames.empty()) {
        if (m_strict) {
            ++m_missing;
            Record(SessionEvent::ScriptMissing, titleKey, "file");
        }
        return false;
    }
    Text next = m_fileNames.front();
    m_fileNames.pop_front();
    if (next.empty()) return false;
    name = next;
    return true;
}

void Session::SignalBusy(bool on) {
    // Unbalanced "off" calls never drive the depth below zero.
    if (on) ++m_busy;
    else if (m_busy > 0) --m_busy;
    Record(SessionEvent::Busy, Text(), Text(), m_busy);
}

void ErrorMsg(const Text& key, const Text& parameter) {
    // An empty parameter still fills the place its text keeps for it (an empty name typed), so
    // that no text shows a bare "%s".
    const bool placed = FindString(key, 0).find('%') != Text::npos;
    ErrorMsg(key, parameter.empty() && !placed ? MessageParameters{} : MessageParameters{parameter});
}

Text SaveFailure(const Text& path, const std::string& reason) {
    struct stat there {};
    const bool kept = !path.empty() && ::stat(path.c_str(), &there) == 0;
    std::string text = path;
    if (!reason.empty()) text += ": " + reason;
    if (kept) text += "; the file there was left as it is";
    return Text(text);
}

void ErrorMsg(const Text& key, const MessageParameters& parameters) {
    const Text text = FindString(key, 0);
    Session::Instance().Record(SessionEvent::Error, key, parameters.empty() ? text : FormatMessage(text, parameters));
}

int ResponseMsg(const Text& key, int kind) { return ResponseMsg(key, kind, {}); }

int ResponseMsg(const Text& key, int kind, const MessageParameters& parameters) {
    Session& s = Session::Instance();
    // Kinds 2 (confirm) and 5 (yes or no) ask; the others inform.
    const int answer = kind == 2 || kind == 5 ? s.NextResponse(key) : 1;
    const Text text = FindString(key, 0);
    s.Record(SessionEvent::Response, key, parameters.empty() ? text : FormatMessage(text, parameters), kind, answer);
    return answer;
}

void UserStatusReport(const Text& text, int level, int) { Session::Instance().Record(SessionEvent::Status, Text(), text, level); }
void UserStatusClear(int level) { Session::Instance().Record(SessionEvent::StatusClear, Text(), Text(), level); }
void TraceLine(const Text& line) { Session::Instance().Record(SessionEvent::Trace, Text(), line); }
void SignalBusy(bool on) { Session::Instance().SignalBusy(on); }
void UpdateViews(Viewable* view) {
    Session::Instance().Record(SessionEvent::UpdateViews, view ? view->GetName() : Text());
}
void WaitForTurn(int n) { Session::Instance().Record(SessionEvent::WaitForTurn, Text(), Text(), n); }

namespace {
constexpr const char* kPreferences = "Preferences";
}

bool GetConfigData(const Text& key, double& value, bool) { return ConfigData::Instance().GetDouble(kPreferences, key, value); }

void SetConfigData(const Text& key, double value, bool) {
    const Text text = FormattedText("%.17g", value);
    ConfigData::Instance().Set(kPreferences, key, text);
    Session::Instance().Record(SessionEvent::ConfigSet, key, text);
}

int RunTask(const Text& name, const std::function<int()>& callback) {
    const int result = callback ? callback() : 0;
    Session::Instance().Record(SessionEvent::Task, name, Text(), 0, result);
    return result;
}

bool FilePicker::ChooseFileName(const FNPromptStruct& prompt, FileName& out) {
    Text name;
    const bool chosen = Session::Instance().NextFileName(prompt.titleKey, name);
    SessionEntry entry;
    entry.event = SessionEvent::FilePicked;
    entry.key = prompt.titleKey;
    entry.text = chosen ? name : Text();
    entry.number = prompt.flags;
    // What the prompt offered: the default extension, then each filter as description:pattern.
    entry.detail = prompt.defaultExtension;
    for (const auto& [description, pattern] : prompt.filters) entry.detail += "|" + description + ":" + pattern;
    Session::Instance().Record(entry);
    if (chosen) out = name;
    return chosen;
}
