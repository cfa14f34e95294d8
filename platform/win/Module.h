#pragma once
// Operating-system services the module needs: the file name of a loaded module and the
// temporary directory.
#include <cstddef>
#include <string>

using ModuleHandle = void*;

// Writes the full path of the library that contains `address` (or of the handle's library) into
// `buffer` of `size` characters; answers the number of characters written, 0 on failure.
unsigned GetModuleFileNameA(ModuleHandle handle, char* buffer, unsigned size);
// Handle of the shared library that contains this address (null when not found).
ModuleHandle ModuleHandleOfAddress(const void* address);

// Temporary directory with a trailing '/', as the system gives it (TMPDIR, else /tmp/).
std::string GetTempPathA();
// A file of that name in the temporary directory, joined with one path separator.
std::string TempFilePath(const char* name);
