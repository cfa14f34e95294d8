// kestrin-host: the command-line stand-in for the host application. It loads the module as the
// host does and runs the host's jobs on it.
#include "host/ModuleLoader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: kestrin-host info\n"
                 "  info   load the module, set it up and list what it registered\n");
    return 2;
}

int runInfo(ModuleLoader& module) {
    using SetupFn = void (*)();
    using DescribeFn = int (*)(char*, int);
    auto setup = reinterpret_cast<SetupFn>(module.Entry("SetupDLL"));
    auto describe = reinterpret_cast<DescribeFn>(module.Entry("KestrinDescribeModule"));
    if (!setup || !describe) {
        std::fprintf(stderr, "kestrin-host: %s lacks the module entries\n", module.Path().c_str());
        return 1;
    }
    setup();
    int needed = describe(nullptr, 0);
    std::vector<char> text(static_cast<std::size_t>(needed > 0 ? needed : 1));
    describe(text.data(), static_cast<int>(text.size()));
    std::fputs(text.data(), stdout);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    ModuleLoader module;
    std::string error;
    if (command == "info") {
        if (!module.Load(error)) {
            std::fprintf(stderr, "kestrin-host: %s\n", error.c_str());
            return 1;
        }
        return runInfo(module);
    }
    return usage();
}
