#include "lumeth/Session.h"

#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "lumeth/Viewable.h"

#include <memory>

Session& Session::Instance() {
    static Session session;
    return session;
}

void Session::Record(SessionEvent event, const Text& key, const Text& text, int number, int answer) {
    // The journal of a long session is bounded: the oldest entries go first.
    if (m_journal.size() >= 100000) m_journal.erase(m_journal.begin(), m_journal.begin() + 1000);
    m_journal.push_back({event, key, text, number, answer});
}

std::vector<SessionEntry> Session::Entries(SessionEvent event) const {
    std::vector<SessionEntry> out;
    for (const SessionEntry& e : m_journal)
        if (e.event == event) out.push_back(e);
    return out;
}

namespace {
const char* eventName(SessionEvent e) {
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
    }
    return "?";
}
}  // namespace

std::vector<Text> Session::Lines() const {
    std::vector<Text> out;
    for (const SessionEntry& e : m_journal)
        out.push_back(FormattedText("%s %s|%s|%d|%d", eventName(e.event), e.key.c_str(), e.text.c_str(), e.number,
                                    e.answer));
    return out;
}

void Session::Reset() {
    m_journal.clear();
    m_responses.clear();
    m_fileNames.clear();
    m_busy = 0;
    m_unitSet = 0;
}

void Session::ClearEvents(SessionEvent event) {
    std::erase_if(m_journal, [event](const SessionEntry& e) { return e.event == event; });
}

int Session::NextResponse() {
    if (m_responses.empty()) return 1;
    const int answer = m_responses.front();
    m_responses.pop_front();
    return answer;
}

bool Session::NextFileName(Text& name) {
    if (m_fileNames.empty()) return false;
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
    Text text = FindString(key, 0);
    if (!parameter.empty()) {
        const std::size_t at = text.find("%s");
        if (at != Text::npos) text.replace(at, 2, parameter);
        else text += " " + parameter;
    }
    Session::Instance().Record(SessionEvent::Error, key, text);
}

int ResponseMsg(const Text& key, int kind) {
    Session& s = Session::Instance();
    const int answer = kind == 2 ? s.NextResponse() : 1;
    s.Record(SessionEvent::Response, key, FindString(key, 0), kind, answer);
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

int SendViewableMessage(Viewable* view, const Text& line, int) {
    if (!view) return 0;
    const Text name = view->GetName();
    const int result = view->Message(line);
    // The view may be gone now; only what was copied before the call is used.
    Session::Instance().Record(SessionEvent::MessageSent, name, line, 0, result);
    return result;
}

int RunTask(const Text& name, const std::function<int()>& callback) {
    const int result = callback ? callback() : 0;
    Session::Instance().Record(SessionEvent::Task, name, Text(), 0, result);
    return result;
}

bool FilePicker::ChooseFileName(const FNPromptStruct& prompt, FileName& out) {
    Text name;
    const bool chosen = Session::Instance().NextFileName(name);
    Session::Instance().Record(SessionEvent::FilePicked, prompt.titleKey, chosen ? name : Text(), prompt.flags);
    if (chosen) out = name;
    return chosen;
}
