#pragma once
// Thin services of the user-interface framework that the engine calls: configuration data,
// the automation-startup flag, the main-thread hook, the splash screen and the floating-point
// environment each thread entering the module gets.
#include "lumeth/Text.h"

#include <functional>
#include <map>
#include <mutex>

// User preferences and host settings by section and key.
class ConfigData {
public:
    static ConfigData& Instance();
    // Answers false and leaves `value` alone when the item is not set.
    bool Get(const Text& section, const Text& key, Text& value) const;
    bool GetDouble(const Text& section, const Text& key, double& value) const;
    void Set(const Text& section, const Text& key, const Text& value);
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::map<std::pair<Text, Text>, Text> m_items;
};

inline bool GetConfigData(const Text& section, const Text& key, Text& value) {
    return ConfigData::Instance().Get(section, key, value);
}

// Whether the host was started by automation (no user to answer questions).
bool IsAutomationStartup();
void SetAutomationStartup(bool automation);

// The host's user-interface thread: the thread that loaded the framework, until a host names
// another with SetMainThread.
bool IsMainThread();
void SetMainThread();
// Runs a routine on the host's user-interface thread: at once when called there, otherwise queued
// for that thread, which runs the queue in its loop (RunMainThreadCalls). True when it ran or was
// queued; false for an empty routine.
bool OnMainThread(const std::function<void()>& routine);
// Runs the queued routines, in the order they were queued, when called on the user-interface
// thread; answers how many ran (0 on any other thread).
int RunMainThreadCalls();

// The host's splash screen. The stand-in host has none; it counts the calls.
void ShowSplashScreen(int show, int flags);
int SplashScreenCalls();

// Floating-point environment that every thread entering the module is given: round to
// nearest, no floating-point traps (the framework's choice).
class FPEnvironment {
public:
    void SetControlWord();
    int TimesApplied() const { return m_applied; }

private:
    int m_applied = 0;
};

FPEnvironment* pFPEnv();
