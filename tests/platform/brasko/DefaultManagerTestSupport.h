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

// A manager that differs from the factory in every table.
inline std::unique_ptr<DefaultManager> EditedManager() {
    auto m = FactoryManager();
    m->SetValue("Hot Oil", DUP_Cost, 4.0e-6);
    m->SetValue("Cooling Water", DUP_EmissionsCoefficient, 0.01);
    const char* names[] = {"Water"};
    const double fractions[] = {1.0};
    m->AddCompInfoToUtility("Cooling Water", 1, names, fractions);
    m->AddEconomicData("Fired Heater");
    m->SetEconomicData(EDT_FixedCostPerUnit, 100000.0, "FIRED HEATER");
    m->AddEconomicData("Plate");
    m->SetEconomicData(EDT_RateOfReturn, 0.15, "DEFAULT");
    m->SetHTCDefaultValueNote(2, "sea water");
    m->SetMode(3);
    return m;
}
