// A thread that calls into the loaded module gets the module's thread attach on its first call
// (the floating-point set-up) and its thread detach when it ends; the loader of this platform
// reports no thread to the module itself.
#include "brasko/EngineeringManager.h"
#include "module/HostServices.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/Framework.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <thread>
#include <vector>

namespace {
std::vector<std::uint32_t> reasonsSeen;
void recordingHook(ModuleHandle, std::uint32_t reason, void*) { reasonsSeen.push_back(reason); }
}  // namespace

TEST(ThreadAttach, AThreadCallingInGetsTheFloatingPointSetUpOnceAndItsDetachAtItsEnd) {
    DLLModule* module = TheDLLModule();
    ASSERT_NE(module, nullptr);
    module->pfnHook = recordingHook;
    reasonsSeen.clear();
    const int appliedBefore = pFPEnv()->TimesApplied();
    int roundingAfterFirstCall = -1;

    std::thread caller([&] {
        std::fesetround(FE_UPWARD);
        IEngineeringManager* manager = KestrinCreateEngineeringManager();
        roundingAfterFirstCall = std::fegetround();
        // Later calls, through a registered factory too, find the thread attached already.
        ILurmetBaseObject* project = manager->CreateObject(501, "Plant");
        if (project) manager->ReleaseObject(project);
        KestrinDestroyEngineeringManager(manager);
    });
    caller.join();
    module->pfnHook = nullptr;

    EXPECT_EQ(roundingAfterFirstCall, FE_TONEAREST);
    EXPECT_EQ(pFPEnv()->TimesApplied(), appliedBefore + 1);
    EXPECT_EQ(reasonsSeen, (std::vector<std::uint32_t>{kThreadAttach, kThreadDetach}));
}
