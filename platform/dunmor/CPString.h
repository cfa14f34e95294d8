#pragma once
// Counted string of the utility layer: the string type engine objects and case files use.
#include <string>
#include <string_view>
#include <cstddef>

class CPString : public std::string {
public:
    CPString() = default;
    CPString(const char* s) : std::string(s ? s : "") {}
    CPString(const std::string& s) : std::string(s) {}
    CPString(std::string&& s) : std::string(std::move(s)) {}
    CPString(std::string_view s) : std::string(s) {}
    CPString(const char* s, std::size_t n) : std::string(s, n) {}

    // Length without the terminating zero.
    std::size_t Size() const { return size(); }
    const char* GetData() const { return c_str(); }
    bool IsEmpty() const { return empty(); }
};
