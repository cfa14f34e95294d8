#pragma once
// Helpers shared by the default-manager tests: a receiver that records change codes, record
// snapshots of a manager, and a manager set up without any defaults file.
#include "brasko/ConfigurationStore.h"
#include "brasko/DefaultManager.h"
#include "brasko/LurmetBinaryFile.h"
#include "tests/support/NotificationRecorder.h"

#include <cstdint>
#include <memory>
#include <vector>

using ChangeRecorder = NotificationRecorder;

// The bytes of the manager's record of that type.
inline std::vector<std::uint8_t> RecordBytes(DefaultManager& manager, StoreRecallType type = SRT_All) {
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    if (!manager.Store(&file, type)) return {};
    return file.Bytes();
}

// A manager filled with the factory tables (an empty configuration names no defaults file).
inline std::unique_ptr<DefaultManager> FactoryManager() {
    auto manager = std::make_unique<DefaultManager>();
    ConfigurationStore none;
    manager->SetUpDefaults(none);
    return manager;
}
