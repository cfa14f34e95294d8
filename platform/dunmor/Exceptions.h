#pragma once
// Assertion reporting of the utility layer. A failed assertion is recorded with its source
// file, line and expression text and execution goes on: nothing here aborts.
#include <string>
#include <vector>

struct AssertionRecord {
    std::string file;
    int line = 0;
    std::string expression;
};

class Exceptions {
public:
    static void Assert(const char* file, int line, const char* expression);
    // Records an assertion when the pointer is null; answers whether it was non-null.
    static bool FailIfNIL(const void* pointer, const char* file, int line, const char* expression);

    // The sink that collects what was asserted (read by tests and the host's trace).
    static std::vector<AssertionRecord> Records();
    static std::size_t Count();
    static void ClearRecords();
};

#define KS_ASSERT(expr) \
    do { if (!(expr)) ::Exceptions::Assert(__FILE__, __LINE__, #expr); } while (0)
// For assertions whose reported source and line are fixed names rather than this file.
#define KS_ASSERT_AT(cond, file, line, text) \
    do { if (!(cond)) ::Exceptions::Assert(file, line, text); } while (0)
