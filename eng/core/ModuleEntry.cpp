#include "eng/core/ModuleEntry.h"

#include "lumeth/Framework.h"

DLLModule::DLLModule(ModuleHandle handle) : hModule(handle) {
    if (GetModuleFileNameA(handle, szModuleFileName, sizeof szModuleFileName) == 0) szModuleFileName[0] = '\0';
}

std::int32_t ModuleEntry(ModuleSlot& slot, ModuleHandle handle, std::uint32_t reason, void* reserved) {
    switch (reason) {
    case kProcessAttach:
        if (slot.module) {
            ++slot.module->nAttachCount;
            return 1;
        }
        slot.module = new DLLModule(handle);
        return 1;
    case kProcessDetach: {
        DLLModule* m = slot.module;
        if (!m) return 1;
        if (m->nAttachCount > 0) --m->nAttachCount;
        if (m->nAttachCount != 0) return 1;
        if (m->pfnHook) m->pfnHook(m->hModule, reason, reserved);
        delete m;
        slot.module = nullptr;
        return 1;
    }
    case kThreadAttach:
        if (slot.module && slot.module->pfnHook) slot.module->pfnHook(slot.module->hModule, reason, reserved);
        if (FPEnvironment* env = pFPEnv()) env->SetControlWord();
        return 1;
    case kThreadDetach:
        if (slot.module && slot.module->pfnHook) slot.module->pfnHook(slot.module->hModule, reason, reserved);
        return 1;
    default:
        return 1;
    }
}

ModuleSlot& TheDLLModuleSlot() {
    static ModuleSlot slot;
    return slot;
}

extern "C" std::int32_t KestrinModuleEntry(ModuleHandle handle, std::uint32_t reason, void* reserved) {
    return ModuleEntry(TheDLLModuleSlot(), handle, reason, reserved);
}

namespace {
ModuleHandle attachedHandle() { return TheDLLModule() ? TheDLLModule()->hModule : nullptr; }

// Lives as long as its thread: built at the thread's first call into the module.
struct ThreadAttachment {
    ThreadAttachment() { KestrinModuleEntry(attachedHandle(), kThreadAttach, nullptr); }
    ~ThreadAttachment() { KestrinModuleEntry(attachedHandle(), kThreadDetach, nullptr); }
    ThreadAttachment(const ThreadAttachment&) = delete;
    ThreadAttachment& operator=(const ThreadAttachment&) = delete;
};
}  // namespace

void AttachCallingThread() {
    thread_local ThreadAttachment attachment;
    (void)attachment;
}
