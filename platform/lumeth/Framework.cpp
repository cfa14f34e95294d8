#include "lumeth/Framework.h"

#include <atomic>
#include <cfenv>
#include <cstdlib>

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

bool OnMainThread(const std::function<void()>& routine) {
    if (!routine) return false;
    routine();
    return true;
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
