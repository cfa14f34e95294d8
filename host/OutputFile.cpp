#include "host/OutputFile.h"

#include "brasko/CaseFileTemporaries.h"

#include <sys/stat.h>

bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string_view head, std::string& error) {
    std::string reason;
    if (ReplaceFileAtomically(path, bytes.data(), bytes.size(), head, reason)) return true;
    // As a case save says: a file that was there is untouched by a write that failed.
    struct stat there {};
    const std::string kept = ::stat(path.c_str(), &there) == 0 ? "; the file there was left as it is" : "";
    error = "cannot write " + path + (reason.empty() ? "" : ": " + reason) + kept;
    return false;
}
