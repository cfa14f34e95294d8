// Default-utility manager: its record and the defaults files built on it.
//
// Record, version 5; each section only for the store types named:
//   utilities (0, 2):    bool list present, int count, DefaultUtility records
//   economics (0, 1):    bool + EconomicData record of "DEFAULT"; bool + EconomicInfo record;
//                        bool named sets present, long count, EconomicData records
//   coefficients (0, 3): bool present, long count, DefHeatTransferCoefficient records
//   file names (0):      bool present, long count, key and value strings per entry
//   mode (all):          int
//   then whatever sections a derived manager appends (it writes its own version number)
// Older versions still read: 2 holds coefficients as name and value pairs, 0 and 1 hold none;
// versions before 4 hold no file names, before 5 no mode.
#include "brasko/DefaultManager.h"

#include "brasko/ILurmetBinaryFile.h"
#include "brasko/LurmetBinaryFile.h"
#include "lumeth/NewRowMarker.h"

#include <cmath>
#include <cstdint>

// Everything a record holds, read in full before any of it replaces the manager's tables.
struct DefaultManager::RecallStage {
    bool replaceUtilities = false;
    UtilityList utilities;
    std::unique_ptr<EconomicData> defaultSet;
    std::unique_ptr<EconomicInfo> info;
    bool replaceSets = false;
    bool setsPresent = false;
    std::vector<NamedEconomicData> sets;
    bool replaceCoefficients = false;
    std::vector<std::unique_ptr<DefHeatTransferCoefficient>> coefficients;
    bool replaceFileNames = false;
    std::vector<std::pair<CPString, CPString>> fileNames;
    bool hasMode = false;
    int mode = 0;

    static bool ReadCount(ILurmetBinaryFile& file, std::int32_t& count) { return file.ReadItemCount(count); }

    // A name read twice keeps its first utility: names are unique within a manager.
    bool ReadUtilities(ILurmetBinaryFile& file) {
        bool present = false;
        std::int32_t count = 0;
        if (!file.ReadBool(present)) return false;
        if (!present) return true;
        if (!ReadCount(file, count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            auto u = std::make_unique<DefaultUtility>();
            if (!u->Recall(file)) return false;
            if (u->name.empty() || Holds(u->name)) continue;
            utilities.push_back(std::move(u));
        }
        replaceUtilities = count > 0;
        return true;
    }

    bool Holds(const CPString& name) const {
        for (const auto& u : utilities)
            if (u->name == name) return true;
        return false;
    }

    bool ReadEconomics(ILurmetBinaryFile& file) {
        bool flag = false;
        if (!file.ReadBool(flag)) return false;
        if (flag) {
            defaultSet = std::make_unique<EconomicData>();
            if (!defaultSet->Recall(file)) return false;
        }
        if (!file.ReadBool(flag)) return false;
        if (flag) {
            info = std::make_unique<EconomicInfo>();
            if (!info->Recall(file)) return false;
        }
        if (!file.ReadBool(setsPresent)) return false;
        replaceSets = true;
        if (!setsPresent) return true;
        std::int32_t count = 0;
        if (!ReadCount(file, count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            auto set = std::make_unique<EconomicData>();
            if (!set->Recall(file)) return false;
            // Sets are keyed by their upper-case name; "DEFAULT" and repeated keys cannot be held.
            // The set keeps the spelling it was saved with, as a rename gave it: the name reads
            // the same before and after a save.
            const CPString key = UpperCase(set->GetName().c_str());
            if (key.empty() || key == kDefaultSetName || HoldsSet(key)) continue;
            sets.push_back({key, std::move(set)});
        }
        return true;
    }

    bool HoldsSet(const CPString& key) const {
        for (const auto& s : sets)
            if (s.key == key) return true;
        return false;
    }

    bool ReadCoefficients(ILurmetBinaryFile& file, int version) {
        if (version < 2) return true;
        bool present = false;
        std::int32_t count = 0;
        if (!file.ReadBool(present)) return false;
        if (!present) return true;
        if (!ReadCount(file, count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            auto entry = std::make_unique<DefHeatTransferCoefficient>();
            if (version >= 3) {
                if (!entry->Recall(file)) return false;
            } else {
                CPString name;
                double value = 0.0;
                if (!file.ReadCPString(name) || !file.ReadDouble(value)) return false;
                entry->SetName(name);
                entry->SetHTCValue(value);
            }
            if (HoldsCoefficient(entry->GetName())) continue;
            coefficients.push_back(std::move(entry));
        }
        replaceCoefficients = true;
        return true;
    }

    // A defaults file holds what the editors take: the economics in their ranges, each film
    // coefficient default named and from 0.001 to 1e6 kW/(m2.C) (or 0, the first entry of a list
    // made without a default to copy). A case's own record is checked by whoever reads the case,
    // who can name what is wrong.
    bool HoldsEditorRanges() const {
        if ((defaultSet && !defaultSet->HoldsEditorRanges()) || (info && !info->HoldsEditorRanges())) return false;
        for (const auto& s : sets)
            if (!s.set->HoldsEditorRanges()) return false;
        for (const auto& c : coefficients) {
            const double value = c->GetHTCValue();
            if (c->GetName().empty() || IsNewRowMarker(c->GetName().c_str()) || !std::isfinite(value) ||
                (value != 0.0 && !(value >= MinHTCDefaultValue && value <= MaxHTCDefaultValue)))
                return false;
        }
        return true;
    }

    bool HoldsCoefficient(const CPString& name) const {
        for (const auto& c : coefficients)
            if (c->GetName() == name) return true;
        return false;
    }

    bool ReadFileNames(ILurmetBinaryFile& file) {
        bool present = false;
        std::int32_t count = 0;
        if (!file.ReadBool(present)) return false;
        if (!present) return true;
        if (!ReadCount(file, count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            CPString key, value;
            if (!file.ReadCPString(key) || !file.ReadCPString(value)) return false;
            fileNames.emplace_back(std::move(key), std::move(value));
        }
        replaceFileNames = true;
        return true;
    }
};

bool DefaultManager::Store(ILurmetBinaryFile* file, StoreRecallType type) {
    if (!file || !IsValidStoreRecallType(type)) return false;
    const bool all = type == SRT_All;
    RecordHandle record;
    bool ok = file->BeginRecord(record, StoredRecordVersion(type));
    if (ok && (all || type == SRT_Utilities)) {
        ok = file->WriteBool(m_hasUtilityList);
        if (ok && m_hasUtilityList) {
            ok = file->WriteInt(static_cast<std::int32_t>(m_utilities.size()));
            for (const auto& u : m_utilities) ok = ok && u->Store(*file);
        }
    }
    if (ok && (all || type == SRT_Economics)) {
        ok = file->WriteBool(m_defaultSet != nullptr) && (!m_defaultSet || m_defaultSet->Store(*file)) &&
             file->WriteBool(m_info != nullptr) && (!m_info || m_info->Store(*file)) &&
             file->WriteBool(m_hasEconomicDataList);
        if (ok && m_hasEconomicDataList) {
            ok = file->WriteLong(static_cast<std::int32_t>(m_sets.size()));
            for (const auto& s : m_sets) ok = ok && s.set->Store(*file);
        }
    }
    if (ok && (all || type == SRT_Coefficients)) {
        ok = file->WriteBool(m_hasCoefficientList);
        if (ok && m_hasCoefficientList) {
            ok = file->WriteLong(static_cast<std::int32_t>(m_coefficients.size()));
            for (const auto& c : m_coefficients) ok = ok && c->Store(*file);
        }
    }
    if (ok && all) {
        ok = file->WriteBool(true) && file->WriteLong(static_cast<std::int32_t>(m_fileNames.size()));
        for (const auto& entry : m_fileNames)
            ok = ok && file->WriteCPString(entry.first) && file->WriteCPString(entry.second);
    }
    return ok && file->WriteInt(m_mode) && StoreFurtherSections(*file, type) && file->EndRecord(record);
}

bool DefaultManager::Recall(ILurmetBinaryFile* file, StoreRecallType type) {
    if (!file || !IsValidStoreRecallType(type)) return false;
    const CPString fileName = file->GetFileName();
    RecordHandle record;
    if (!file->BeginRecord(record)) return false;
    const int version = file->GetRecordVersion(record);
    if (version < 0) return false;
    const bool all = type == SRT_All;
    RecallStage stage;
    if ((all || type == SRT_Utilities) && !stage.ReadUtilities(*file)) return false;
    if ((all || type == SRT_Economics) && !stage.ReadEconomics(*file)) return false;
    if ((all || type == SRT_Coefficients) && !stage.ReadCoefficients(*file, version)) return false;
    if (all && version >= 4 && !stage.ReadFileNames(*file)) return false;
    if (version >= 5) {
        std::int32_t mode = 0;
        if (!file->ReadInt(mode)) return false;
        stage.hasMode = true;
        stage.mode = mode;
    }
    if (!RecallFurtherSections(*file, type, version)) return false;
    if (!file->EndRecord(record)) return false;
    if (!all && !stage.HoldsEditorRanges()) return false;
    ApplyRecall(stage, type, fileName);
    return true;
}

void DefaultManager::ApplyRecall(RecallStage& stage, StoreRecallType type, const CPString& fileName) {
    if (stage.replaceUtilities) {
        // Removed one by one, so that whatever mirrors a utility (site streams, views) hears of it.
        std::vector<CPString> names;
        for (const auto& u : m_utilities) names.push_back(u->name);
        for (const CPString& n : names) RemoveDefaultUtility(n.c_str());
        m_utilities.clear();
        m_hasUtilityList = true;
        for (auto& u : stage.utilities) {
            m_utilities.push_back(std::move(u));
            Send(ChangeUtilityAdded, m_utilities.back()->name, nullptr);
        }
    }
    if (stage.defaultSet) SetEconomicData(std::move(stage.defaultSet));
    if (stage.info) SetEconomicInfo(std::move(stage.info));
    if (stage.replaceSets) {
        m_sets = std::move(stage.sets);
        m_hasEconomicDataList = stage.setsPresent;
        if (m_locked)
            for (auto& s : m_sets) s.set->Lock();
    }
    if (stage.replaceCoefficients) {
        m_coefficients = std::move(stage.coefficients);
        m_hasCoefficientList = true;
    }
    if (stage.replaceFileNames) m_fileNames = std::move(stage.fileNames);
    if (stage.hasMode) m_mode = stage.mode;
    const char* key = type == SRT_Economics ? kCurrentEconomicsFileName
                      : type == SRT_Utilities ? kCurrentUtilitiesFileName
                                              : nullptr;
    if (key)
        if (CPString* entry = FileNameEntry(key)) *entry = fileName;
    // The cost laws and the money figures came from a file: whoever costs with them (the
    // scenario's targets) must know, as after any other economic change.
    if (type == SRT_Economics) Send(ChangeEconomicsRead, fileName, nullptr);
}

int DefaultManager::StoredRecordVersion(StoreRecallType) const { return RecordVersion; }

bool DefaultManager::StoreFurtherSections(ILurmetBinaryFile&, StoreRecallType) { return true; }

bool DefaultManager::RecallFurtherSections(ILurmetBinaryFile&, StoreRecallType, int) { return true; }

bool DefaultManager::WriteDefaultsFile(const CPString& path, StoreRecallType type) {
    LurmetBinaryFile file;
    return file.OpenForWrite(path) && Store(&file, type) && file.Commit();
}

bool DefaultManager::ReadDefaultsFile(const CPString& path, StoreRecallType type) {
    LurmetBinaryFile file;
    return file.OpenForRead(path) && Recall(&file, type);
}
