#include "host/OutputFile.h"

#include "brasko/CaseFileTemporaries.h"

bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string_view head, std::string& error) {
    std::string reason;
    if (ReplaceFileAtomically(path, bytes.data(), bytes.size(), head, reason)) return true;
    error = "cannot write " + path + (reason.empty() ? "" : ": " + reason);
    return false;
}
