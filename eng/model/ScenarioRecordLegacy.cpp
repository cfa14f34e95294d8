// The economic data of scenario records older than version 4, which kept the economic data set,
// the economic info and the named sets in the scenario itself. Version 4 moved all of it into the
// scenario's default manager (item 23); these items are only read, and handed to that manager.
#include "eng/model/ScenarioRecord.h"

#include "brasko/DefaultManager.h"
#include "brasko/EconomicData.h"
#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/Scenario.h"

#include <memory>

bool ScenarioRecord::RecallOldEconomicData(CPIScenario& s, ILurmetBinaryFile& file) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    if (present) {
        auto set = std::make_unique<EconomicData>();
        if (!set->Recall(file)) return false;
        s.m_pDefaultManager->SetEconomicData(std::move(set));
    }
    if (!ReadRecordFlag(file, present)) return false;
    if (present) {
        auto info = std::make_unique<EconomicInfo>();
        if (!info->Recall(file)) return false;
        s.m_pDefaultManager->SetEconomicInfo(std::move(info));
    }
    return true;
}

bool ScenarioRecord::RecallOldEconomicDataList(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    if (!present) return true;
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    // The sets replace the manager's named sets, keyed in upper case; of two sets with one key
    // the first is kept (the manager refuses the second), as the oldest writers' dictionary did.
    DefaultManager& manager = *s.m_pDefaultManager;
    manager.ClearEconomicData();
    for (std::int32_t i = 0; i < count; ++i) {
        CPString key;
        if (version < SinceKeylessEconomicList && !file.ReadCPString(key)) return false;
        auto set = std::make_unique<EconomicData>();
        if (!set->Recall(file)) return false;
        if (version >= SinceKeylessEconomicList) key = set->GetName();
        manager.AdoptEconomicData(key, std::move(set));
    }
    return true;
}
