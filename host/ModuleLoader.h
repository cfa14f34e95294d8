#pragma once
// Loads the module the way the host does: from its file, by dlopen, and looks its entries up.
#include <string>

class ModuleLoader {
public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Loads libkestrin.so: from $KESTRIN_MODULE when set, else beside this executable.
    bool Load(std::string& error);
    void* Entry(const char* name) const;
    const std::string& Path() const { return m_path; }

private:
    void* m_handle = nullptr;
    std::string m_path;
};
