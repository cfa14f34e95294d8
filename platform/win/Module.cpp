#include "win/Module.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

ModuleHandle ModuleHandleOfAddress(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0) return nullptr;
    return info.dli_fbase;
}

unsigned GetModuleFileNameA(ModuleHandle handle, char* buffer, unsigned size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    if (!handle) return 0;
    Dl_info info{};
    // The handle is the base address of the library: any address inside it identifies it.
    if (dladdr(handle, &info) == 0 || !info.dli_fname) return 0;
    std::size_t n = std::strlen(info.dli_fname);
    if (n >= size) n = size - 1;
    std::memcpy(buffer, info.dli_fname, n);
    buffer[n] = '\0';
    return static_cast<unsigned>(n);
}

std::string GetTempPathA() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir && *dir) ? dir : "/tmp";
    if (path.back() != '/') path.push_back('/');
    return path;
}

std::string TempFilePath(const char* name) {
    std::string path = GetTempPathA();
    if (path.empty() || path.back() != '/') path.push_back('/');
    if (name) path += *name == '/' ? name + 1 : name;
    return path;
}
