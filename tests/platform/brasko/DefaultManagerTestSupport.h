#pragma once
// Helpers shared by the default-manager tests: a receiver that records change codes, record
// snapshots of a manager, and a manager set up without any defaults file.
#include "brasko/ConfigurationStore.h"
#include "brasko/DefaultManager.h"
#include "brasko/LurmetBinaryFile.h"

#include <cstdint>
#include <memory>
#include <vector>

struct RecordedChange {
    int code;
    CPString text;
    void* data;
};

// Registers with the sender it is given and leaves it again when it goes, so that a recorder
// declared after its manager never stays registered past its own life.
class ChangeRecorder : public INotificationReceiver {
public:
    ChangeRecorder() = default;
    explicit ChangeRecorder(INotificationSender& sender) : m_sender(&sender) { sender.AddNotificationReceiver(this); }
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;
    ~ChangeRecorder() override {
        if (m_sender) m_sender->RemoveNotificationReceiver(this);
    }
    void NotifyChange(int code, const CPString& text, void* data) override { changes.push_back({code, text, data}); }
    int Count(int code) const {
        int n = 0;
        for (const auto& c : changes) n += c.code == code ? 1 : 0;
        return n;
    }
    std::vector<RecordedChange> changes;

private:
    INotificationSender* m_sender = nullptr;
};

// The bytes of the manager's record of that type.
inline std::vector<std::uint8_t> RecordBytes(DefaultManager& manager, StoreRecallType type = SRT_All) {
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    if (!manager.Store(&file, type)) return {};
    return file.Bytes();
}

// A manager filled with the factory tables (an empty configuration names no defaults file).
inline std::unique_ptr<DefaultManager> FactoryManager() {
    auto manager = std::make_unique<DefaultManager>();
    ConfigurationStore none;
    manager->SetUpDefaults(none);
    return manager;
}
