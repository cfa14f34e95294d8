#include "host/CommandLine.h"

#include "host/HostSession.h"
#include "host/OutputText.h"
#include "host/StreamTable.h"
#include "host/StreamTableChecks.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

int FailCommand(const std::string& message) {
    std::fprintf(stderr, "kestrin-host: %s\n", PrintableText(message, 600).c_str());
    return 1;
}

int FailUsage(const std::string& job, const std::string& message) {
    std::fprintf(stderr, "kestrin-host: %s\nusage: kestrin-host %s --help\n", PrintableText(message, 600).c_str(),
                 job.c_str());
    return 2;
}

int OutputWritten(int code) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return code;
    const int why = errno;
    std::fprintf(stderr, "kestrin-host: the output could not be written%s%s\n", why ? ": " : "",
                 why ? std::strerror(why) : "");
    return 1;
}

#if defined(__SANITIZE_ADDRESS__) || defined(KESTRIN_FULL_TEARDOWN)
#define KESTRIN_KEEP_TEARDOWN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define KESTRIN_KEEP_TEARDOWN 1
#endif
#endif

void EndWithoutTeardown(int code) {
#if !defined(KESTRIN_KEEP_TEARDOWN)
    code = OutputWritten(code);
    std::fflush(stderr);
    std::_Exit(code);
#else
    (void)code;
#endif
}

bool RefuseRepeatedOption(const char* option, bool given, std::string& error) {
    if (!given) return false;
    error = std::string(option) + " is given twice; give it once";
    return true;
}

bool TakeNumberOption(int argc, char** argv, int& i, double& value, bool& given, std::string& error) {
    if (RefuseRepeatedOption(argv[i], given, error)) return false;
    if (i + 1 >= argc || !ParseTableNumber(argv[i + 1], value)) {
        error = std::string(argv[i]) + " needs a number";
        return false;
    }
    given = true;
    ++i;
    return true;
}

bool TakeFileOption(int argc, char** argv, int& i, std::string& value, bool& given, std::string& error) {
    if (RefuseRepeatedOption(argv[i], given, error)) return false;
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = std::string(argv[i]) + " needs a file name";
        return false;
    }
    value = argv[++i];
    given = true;
    return true;
}

bool TakeWholeNumberOption(int argc, char** argv, int& i, double& value, bool& given, int lo, int hi,
                           std::string& error) {
    const std::string name = argv[i];
    if (!TakeNumberOption(argc, argv, i, value, given, error)) return false;
    if (!(value >= lo && value <= hi) || value != static_cast<int>(value)) {
        error = name + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
        return false;
    }
    return true;
}

bool TakeOperand(const std::string& word, std::vector<std::string>& files, std::string& error) {
    if (!word.empty() && word[0] == '-') {
        error = "unknown option " + word;
        return false;
    }
    files.push_back(word);
    return true;
}

bool CheckDtminOption(bool given, double dtmin, std::string& error) {
    if (!given || (dtmin >= StreamTableLimits::MinDTmin && dtmin <= StreamTableLimits::MaxDTmin)) return true;
    char range[96];
    std::snprintf(range, sizeof range, "--dtmin must be from %g to %g C", StreamTableLimits::MinDTmin,
                  StreamTableLimits::MaxDTmin);
    error = range;
    return false;
}

bool CheckNetworkOperands(const std::string& command, const std::vector<std::string>& files, std::string& error) {
    // One file that is there and is no case is a stream table whose network table was left out:
    // the command line lacks a file, which is a usage error, not a fault of the file.
    struct stat info {};
    if (files.size() == 1 && ::stat(files[0].c_str(), &info) == 0 && S_ISREG(info.st_mode) && !IsCaseFile(files[0])) {
        error = command + " takes STREAMS NETWORK, or a CASE saved with a design: " + files[0] +
                " is not a Kestrin case file, and the network table is missing";
        return false;
    }
    if (!files.empty() && files.size() <= 2) return true;
    error = command + " takes STREAMS NETWORK, or a CASE saved with a design";
    return false;
}
