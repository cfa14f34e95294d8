#include "host/ModuleLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

namespace {
std::string executableDirectory() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}
}  // namespace

ModuleLoader::~ModuleLoader() {
    if (m_handle) dlclose(m_handle);
}

bool ModuleLoader::Load(std::string& error) {
    const char* env = std::getenv("KESTRIN_MODULE");
    m_path = (env && *env) ? env : executableDirectory() + "/libkestrin.so";
    m_handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* why = dlerror();
        error = "cannot load module " + m_path + ": " + (why ? why : "unknown error");
        return false;
    }
    return true;
}

void* ModuleLoader::Entry(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }
