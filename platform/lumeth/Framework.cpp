#include "lumeth/Framework.h"

#include <atomic>
#include <cfenv>
#include <cstdlib>
#include <deque>
#include <thread>

ConfigData& ConfigData::Instance() {
    static ConfigData data;
    return data;
}

bool ConfigData::Get(const Text& section, const Text& key, Text& value) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_items.find({section, key});
    if (it == m_items.end()) return false;
    value = it->second;
    return true;
}

bool ConfigData::GetDouble(const Text& section, const Text& key, double& value) const {
    Text text;
    if (!Get(section, key, text) || text.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') return false;
    value = v;
    return true;
}

void ConfigData::Set(const Text& section, const Text& key, const Text& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_items[{section, key}] = value;
}

void ConfigData::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_items.clear();
}

namespace {
std::atomic<bool>& automationFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}
std::atomic<int>& splashCalls() {
    static std::atomic<int> calls{0};
    return calls;
}
}  // namespace

bool IsAutomationStartup() { return automationFlag().load(); }
void SetAutomationStartup(bool automation) { automationFlag().store(automation); }

namespace {
struct MainThreadQueue {
    std::mutex mutex;
    std::thread::id mainThread = std::this_thread::get_id();
    std::deque<std::function<void()>> calls;
};
// Made while the framework is loaded, so on the loading thread.
MainThreadQueue& mainThreadQueue() {
    static MainThreadQueue queue;
    return queue;
}
[[maybe_unused]] const bool g_mainThreadNoted = (mainThreadQueue(), true);
}  // namespace

bool IsMainThread() {
    MainThreadQueue& q = mainThreadQueue();
    std::lock_guard<std::mutex> lock(q.mutex);
    return q.mainThread == std::this_thread::get_id();
}

void SetMainThread() {
    MainThreadQueue& q = mainThreadQueue();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.mainThread = std::this_thread::get_id();
}

bool OnMainThread(const std::function<void()>& routine) {
    if (!routine) return false;
    if (IsMainThread()) {
        routine();
        return true;
    }
    MainThreadQueue& q = mainThreadQueue();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.calls.push_back(routine);
    return true;
}

int RunMainThreadCalls() {
    if (!IsMainThread()) return 0;
    int ran = 0;
    MainThreadQueue& q = mainThreadQueue();
    while (true) {
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> lock(q.mutex);
            if (q.calls.empty()) break;
            call = std::move(q.calls.front());
            q.calls.pop_front();
        }
        // Outside the lock: a call may queue further calls.
        call();
        ++ran;
    }
    return ran;
}

void ShowSplashScreen(int, int) { ++splashCalls(); }
int SplashScreenCalls() { return splashCalls().load(); }

void FPEnvironment::SetControlWord() {
    std::fesetround(FE_TONEAREST);
    std::feclearexcept(FE_ALL_EXCEPT);
    ++m_applied;
}

FPEnvironment* pFPEnv() {
    static FPEnvironment env;
    return &env;
}
