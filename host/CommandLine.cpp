#include "host/CommandLine.h"

#include "host/OutputText.h"
#include "host/StreamTable.h"

#include <cstdio>

int FailCommand(const std::string& message) {
    std::fprintf(stderr, "kestrin-host: %s\n", PrintableText(message, 600).c_str());
    return 1;
}

bool TakeNumberOption(int argc, char** argv, int& i, double& value, bool& given, std::string& error) {
    if (i + 1 >= argc || !ParseTableNumber(argv[i + 1], value)) {
        error = std::string(argv[i]) + " needs a number";
        return false;
    }
    given = true;
    ++i;
    return true;
}

bool TakeFileOption(int argc, char** argv, int& i, std::string& value, bool& given, std::string& error) {
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = std::string(argv[i]) + " needs a file name";
        return false;
    }
    value = argv[++i];
    given = true;
    return true;
}
