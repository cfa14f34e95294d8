#include "dunmor/Exceptions.h"

#include <mutex>

namespace {
struct Sink {
    std::mutex mutex;
    std::vector<AssertionRecord> records;
};
Sink& sink() {
    static Sink s;
    return s;
}
}  // namespace

void Exceptions::Assert(const char* file, int line, const char* expression) {
    Sink& s = sink();
    std::lock_guard<std::mutex> lock(s.mutex);
    // Keep the sink bounded: a runaway loop of assertions must not eat memory.
    if (s.records.size() >= 10000) s.records.erase(s.records.begin());
    s.records.push_back({file ? file : "", line, expression ? expression : ""});
}

bool Exceptions::FailIfNIL(const void* pointer, const char* file, int line, const char* expression) {
    if (pointer) return true;
    Assert(file, line, expression);
    return false;
}

std::vector<AssertionRecord> Exceptions::Records() {
    Sink& s = sink();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.records;
}

std::size_t Exceptions::Count() {
    Sink& s = sink();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.records.size();
}

void Exceptions::ClearRecords() {
    Sink& s = sink();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.records.clear();
}
