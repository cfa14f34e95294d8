#pragma once
// The one receiver the tests listen with: it records every change code with its text, reads the
// value behind the data pointers that carry one at once (as a receiver must), and leaves its
// sender again when it goes.
#include "brasko/NotificationSender.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

struct Notice {
    int code;
    std::string text;
    void* data;
    int intValue;     // codes 72, 73, 87: the index behind the data pointer
    double doubleValue;  // code 40: the value behind the data pointer
};

class NotificationRecorder : public INotificationReceiver {
public:
    NotificationRecorder() = default;
    // `log`, when given, receives "code:text" lines shared with other recorders, so that a test
    // can check the order of events across senders.
    explicit NotificationRecorder(INotificationSender& sender, std::vector<std::string>* log = nullptr)
        : m_sender(&sender), m_log(log) {
        sender.AddNotificationReceiver(this);
    }
    NotificationRecorder(const NotificationRecorder&) = delete;
    NotificationRecorder& operator=(const NotificationRecorder&) = delete;
    ~NotificationRecorder() override {
        if (m_sender) m_sender->RemoveNotificationReceiver(this);
    }
    // For a sender that goes before the recorder.
    void Forget() { m_sender = nullptr; }

    void NotifyChange(int code, const CPString& text, void* data) override {
        Notice n{code, text, data, 0, 0.0};
        if (data && (code == 72 || code == 73 || code == 87)) n.intValue = *static_cast<int*>(data);
        if (data && code == 40) n.doubleValue = *static_cast<double*>(data);
        changes.push_back(n);
        if (m_log) m_log->push_back(std::to_string(code) + ":" + text);
        if (onChange) onChange(code, text);
    }

    int Count(int code) const {
        return static_cast<int>(std::count_if(changes.begin(), changes.end(), [code](const Notice& n) { return n.code == code; }));
    }
    bool Saw(int code, const std::string& text) const {
        return std::any_of(changes.begin(), changes.end(), [&](const Notice& n) { return n.code == code && n.text == text; });
    }
    const Notice* Last(int code) const {
        for (auto it = changes.rbegin(); it != changes.rend(); ++it)
            if (it->code == code) return &*it;
        return nullptr;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Notice& n : changes) codes.push_back(n.code);
        return codes;
    }
    void Clear() { changes.clear(); }

    std::vector<Notice> changes;
    std::function<void(int, const CPString&)> onChange;  // runs inside the notification

private:
    INotificationSender* m_sender = nullptr;
    std::vector<std::string>* m_log = nullptr;
};
