#pragma once
// Helpers shared by the site-manager tests: a receiver that records change codes, a stand-in for
// the total site, record snapshots and a manager filled with the factory tables.
#include "brasko/ConfigurationStore.h"
#include "brasko/LurmetBinaryFile.h"
#include "tests/support/NotificationRecorder.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/targeting/TotalSiteManager.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sitemanager_test {

using Recorder = NotificationRecorder;

// The total site as the manager sees it: it logs the streams it is asked to let go of, and
// holds those named as run on by a retrofit study's base.
class FakeSite : public ISiteStreamHost {
public:
    explicit FakeSite(std::vector<std::string>* log = nullptr) : m_log(log) {}
    int DeleteStream(const CPString& name) override {
        if (m_log) m_log->push_back(std::string("site:") + name.c_str());
        if (HoldsSiteStream(name)) return 0;
        deleted.push_back(name.c_str());
        return 1;
    }
    bool HoldsSiteStream(const CPString& name) const override {
        return std::find(kept.begin(), kept.end(), name.c_str()) != kept.end();
    }
    bool HoldsForRetrofitBase(const CPString& stream, const char*) const override {
        return std::find(held.begin(), held.end(), stream.c_str()) != held.end();
    }
    std::vector<std::string> deleted;
    std::vector<std::string> held;  // the site streams a retrofit study's base runs on
    std::vector<std::string> kept;  // the site streams the site refuses to let go of

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
    return dynamic_cast<CPIHeatIntegrationStream*>(manager.GetSiteStream(name));
}

// A value of the stream; -32767.0 when it holds none.
inline double StreamValue(const IHeatIntegrationStream& stream, const char* name, int index = 0) {
    double v = -32767.0;
    stream.GetValue(name, v, index);
    return v;
}

}  // namespace sitemanager_test
