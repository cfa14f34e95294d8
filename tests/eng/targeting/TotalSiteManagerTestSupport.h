#pragma once
// Helpers shared by the site-manager tests: a receiver that records change codes, a stand-in for
// the total site, record snapshots and a manager filled with the factory tables.
#include "brasko/ConfigurationStore.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/targeting/TotalSiteManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sitemanager_test {

struct RecordedChange {
    int code;
    std::string text;
    void* data;
};

// Registers with a sender and leaves it again when it goes. `log`, when given, receives
// "code:text" lines shared with other recorders, so that tests can check the order of events.
class Recorder : public INotificationReceiver {
public:
    explicit Recorder(INotificationSender& sender, std::vector<std::string>* log = nullptr)
        : m_sender(&sender), m_log(log) {
        sender.AddNotificationReceiver(this);
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    ~Recorder() override {
        if (m_sender) m_sender->RemoveNotificationReceiver(this);
    }
    // For a sender that is about to be destroyed while the recorder still listens.
    void Forget() { m_sender = nullptr; }
    void NotifyChange(int code, const CPString& text, void* data) override {
        changes.push_back({code, text.c_str(), data});
        if (m_log) m_log->push_back(std::to_string(code) + ":" + text.c_str());
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& c : changes) n += c.code == code ? 1 : 0;
        return n;
    }
    std::vector<RecordedChange> changes;

private:
    INotificationSender* m_sender;
    std::vector<std::string>* m_log;
};

// The total site as the manager sees it: it only logs the streams it is asked to let go of.
class FakeSite : public ISiteStreamHost {
public:
    explicit FakeSite(std::vector<std::string>* log = nullptr) : m_log(log) {}
    int DeleteStream(const CPString& name) override {
        deleted.push_back(name.c_str());
        if (m_log) m_log->push_back(std::string("site:") + name.c_str());
        return 1;
    }
    std::vector<std::string> deleted;

private:
    std::vector<std::string>* m_log;
};

inline std::unique_ptr<TotalSiteManager> FactoryManager() {
    auto manager = std::make_unique<TotalSiteManager>();
    ConfigurationStore none;
    manager->SetUpDefaults(none);
    return manager;
}

template <typename Manager>
std::vector<std::uint8_t> RecordBytes(Manager& manager, StoreRecallType type = SRT_All) {
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    if (!manager.Store(&file, type)) return {};
    return file.Bytes();
}

inline CPIHeatIntegrationStream* StreamOf(TotalSiteManager& manager, const char* name) {
    return manager.GetSiteStream(name);
}

// A value of the stream; -32767.0 when it holds none.
inline double StreamValue(const IHeatIntegrationStream& stream, const char* name, int index = 0) {
    double v = -32767.0;
    stream.GetValue(name, v, index);
    return v;
}

}  // namespace sitemanager_test
