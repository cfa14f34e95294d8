#include "eng/core/ModuleEntry.h"

#include "lumeth/Framework.h"

#include <gtest/gtest.h>

namespace {
int hookCalls = 0;
void countingHook(ModuleHandle, std::uint32_t, void*) { ++hookCalls; }
}  // namespace

TEST(ModuleEntry, SecondProcessAttachOnlyCountsAndLastDetachClears) {
    ModuleSlot slot;
    int marker = 0;
    EXPECT_EQ(1, ModuleEntry(slot, &marker, kProcessAttach, nullptr));
    ASSERT_NE(nullptr, slot.module);
    DLLModule* first = slot.module;
    EXPECT_EQ(1u, first->nAttachCount);
    EXPECT_EQ(nullptr, first->pfnHook);

    EXPECT_EQ(1, ModuleEntry(slot, &marker, kProcessAttach, nullptr));
    EXPECT_EQ(first, slot.module);
    EXPECT_EQ(2u, slot.module->nAttachCount);

    EXPECT_EQ(1, ModuleEntry(slot, &marker, kProcessDetach, nullptr));
    EXPECT_EQ(first, slot.module) << "one detach of two attaches keeps the module object";
    EXPECT_EQ(1, ModuleEntry(slot, &marker, kProcessDetach, nullptr));
    EXPECT_EQ(nullptr, slot.module);
    // A detach with nothing attached is harmless.
    EXPECT_EQ(1, ModuleEntry(slot, &marker, kProcessDetach, nullptr));
}

TEST(ModuleEntry, HookSeesThreadNotificationsAndFinalDetach) {
    ModuleSlot slot;
    ModuleEntry(slot, nullptr, kProcessAttach, nullptr);
    slot.module->pfnHook = countingHook;
    hookCalls = 0;
    ModuleEntry(slot, nullptr, kThreadAttach, nullptr);
    ModuleEntry(slot, nullptr, kThreadDetach, nullptr);
    ModuleEntry(slot, nullptr, 77, nullptr);  // unknown reason: answered 1, nothing happens
    EXPECT_EQ(2, hookCalls);
    ModuleEntry(slot, nullptr, kProcessDetach, nullptr);
    EXPECT_EQ(3, hookCalls);
    EXPECT_EQ(nullptr, slot.module);
}

TEST(ModuleEntry, LoadedLibraryIsAttachedWithItsFileName) {
    ASSERT_NE(nullptr, TheDLLModule());
    EXPECT_NE(std::string::npos, std::string(TheDLLModule()->szModuleFileName).find(".so"));
}
