#pragma once
// The module entry: the routine the loader calls when the library is attached to or detached from
// the process or a thread. It keeps exactly one module object for the life of the attachment.
#include "win/Module.h"

#include <cstdint>

enum ModuleReason : std::uint32_t {
    kProcessDetach = 0,
    kProcessAttach = 1,
    kThreadAttach = 2,
    kThreadDetach = 3,
};

using ModuleNotificationHook = void (*)(ModuleHandle handle, std::uint32_t reason, void* reserved);

class DLLModule {
public:
    DLLModule(ModuleHandle handle);
    virtual ~DLLModule() = default;

    ModuleHandle hModule = nullptr;
    char szModuleFileName[260] = {};
    std::uint32_t nAttachCount = 1;
    ModuleNotificationHook pfnHook = nullptr;
};

// Where the module object of one attachment lives. The loaded library has one (`TheDLLModule`);
// tests drive their own.
struct ModuleSlot {
    DLLModule* module = nullptr;
};

// The entry for a given slot: answers 1 for every reason.
std::int32_t ModuleEntry(ModuleSlot& slot, ModuleHandle handle, std::uint32_t reason, void* reserved);

// The loader of this platform tells a library of no thread but the one that loads it, so the
// module notices a thread when it first calls in. Every entry through which the host reaches the
// module (its exported functions and the engine factories it registered) calls this first: the
// first call on a thread runs the thread attach of the module entry (the hook and the
// floating-point set-up), and the end of that thread runs its thread detach. Later calls on the
// same thread cost one thread-local test.
void AttachCallingThread();

// The library's own slot and entry, called at load and unload.
ModuleSlot& TheDLLModuleSlot();
inline DLLModule* TheDLLModule() { return TheDLLModuleSlot().module; }
extern "C" std::int32_t KestrinModuleEntry(ModuleHandle handle, std::uint32_t reason, void* reserved);
