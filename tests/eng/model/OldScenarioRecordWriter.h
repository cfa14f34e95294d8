#pragma once
// Writes scenario records of any version from 1 to 17 field by field, as the writer of that
// version did (the items a version lacks left out, the economic data of versions 1 to 3 in their
// old places and forms), so that every version gate of the reader can be tested against records
// nobody writes any more. A record may also be cut short after any number of its items.
#include "ScenarioRecordTestSupport.h"
#include "brasko/DefaultManager.h"
#include "brasko/EconomicData.h"
#include "brasko/LurmetBinaryFile.h"
#include "brasko/ReportHolder.h"
#include "eng/model/HeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "osmeri/CPValue.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace scenario_record_test {

struct OldMatch {
    CPString hot, cold;
    double countercurrentArea = 0.0;
    CPString costModel = "DEFAULT";
};

// A named economic data set of versions 1 to 3: its key (written before the set below version
// 2), the set's own name and its area cost coefficient.
struct OldEconomicSet {
    CPString key;
    CPString name;
    double areaCost = 800.0;
};

struct OldDesign {
    CPString name;
    double utilityCost = 0.0;
};

struct OldScenarioRecord {
    int version = 16;
    CPString name = "Old", notes = "Written long ago", baseDesign = "Existing";
    bool totalSite = false;
    double dTmin = 15.0;
    // First integer setting, calculation-enable count, segmented flag, second integer setting,
    // stream counter.
    std::int32_t integers[5] = {4, 1, 1, 6, 3};
    std::int32_t designCounter = 9;
    // As many as the streams' links make: the streams written here carry none.
    std::int32_t forbiddenMatches = 0;

    bool hasStreams = true;
    std::vector<const CPIHeatIntegrationStream*> process, utilities;

    // Item 10 (versions 1 to 3): the economic data set and info.
    std::optional<double> oldSetAreaCost;
    std::optional<double> oldInfoRate;
    // Item 18.
    bool hasMatches = false;
    CPString matchKey = "Match data";
    std::vector<OldMatch> matches;
    // Item 19 (versions 1 to 3).
    std::optional<std::vector<OldEconomicSet>> economicList;
    // Item 20.
    std::optional<std::vector<OldDesign>> designs;
    // Item 22.
    std::optional<CPString> lastChangeSource;
    // Items 23 to 32 (each from the version that has it).
    DefaultManager* manager = nullptr;
    std::optional<CPString> reportText;
    bool extractionSettings = true;
    bool retrofit = true;
    bool streamLinks = true;
    double minimumFFactor = 0.7;
    bool equationBased = true;
    std::int32_t levels[4] = {2, 3, 4, 1};
    bool utilitiesAtPorts = true;
    // Item 34: the retrofit budget and the last run (its source design, mode and kept designs).
    double budget = 250000.0;
    CPString runSource = "D1";
    std::int32_t runMode = 2;
    std::vector<CPString> runResults = {"D2", "Gone"};

    // The record ends after this many items (-1: all of them).
    int stopAfter = -1;
};

inline bool WriteOldFlag(ILurmetBinaryFile& f, bool flag) { return f.WriteBool(flag); }

inline Bytes WriteOldScenarioRecord(const OldScenarioRecord& r) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    const int v = r.version;
    const std::vector<std::function<bool()>> items = {
        [&] { return f.WriteCPString(r.name); },
        [&] { return f.WriteCPString(r.notes); },
        [&] { return v < 5 || f.WriteCPString(r.baseDesign); },
        [&] { return v < 10 || WriteOldFlag(f, r.totalSite); },
        [&] { return f.WriteDouble(r.dTmin); },
        [&] {
            bool ok = true;
            for (std::int32_t value : r.integers) ok = ok && f.WriteInt(value);
            return ok;
        },
        [&] { return v < 5 || f.WriteInt(r.designCounter); },
        [&] { return f.WriteInt(r.forbiddenMatches); },
        [&] {
            if (!r.hasStreams) return WriteOldFlag(f, false);
            bool ok = WriteOldFlag(f, true) && f.WriteInt(static_cast<std::int32_t>(r.process.size())) &&
                      f.WriteInt(static_cast<std::int32_t>(r.utilities.size()));
            const bool utilities = !(v >= 10 && r.totalSite);
            for (const auto* s : r.process) ok = ok && f.WriteCountedString(s->GetName());
            for (const auto* s : r.utilities) ok = ok && (!utilities || f.WriteCountedString(s->GetName()));
            for (const auto* s : r.process) ok = ok && s->Store(f);
            for (const auto* s : r.utilities) ok = ok && (!utilities || s->Store(f));
            return ok;
        },
        [&] {
            if (v >= 4) return true;
            bool ok = WriteOldFlag(f, r.oldSetAreaCost.has_value());
            if (ok && r.oldSetAreaCost) {
                EconomicData set("DEFAULT");
                set.SetEconomicData(EDT_AreaCostCoefficient, *r.oldSetAreaCost);
                ok = set.Store(f);
            }
            ok = ok && WriteOldFlag(f, r.oldInfoRate.has_value());
            if (ok && r.oldInfoRate) {
                EconomicInfo info;
                info.SetEconomicInfo(EDT_RateOfReturn, *r.oldInfoRate);
                ok = info.Store(f);
            }
            return ok;
        },
        // Items 11 to 17: no target records (the recalculation makes them).
        [&] {
            bool ok = true;
            for (int k = 0; k < 8; ++k) ok = ok && WriteOldFlag(f, false);
            return ok;
        },
        [&] {
            if (!r.hasMatches) return WriteOldFlag(f, false);
            RecordHandle h;
            bool ok = WriteOldFlag(f, true) && f.BeginRecord(h, 1) && f.WriteCPString(r.matchKey);
            if (v >= 3) ok = ok && f.WriteInt(static_cast<std::int32_t>(r.matches.size()));
            for (const OldMatch& m : r.matches) {
                MatchwiseStreamData data(nullptr, nullptr);
                data.dCountercurrentArea = m.countercurrentArea;
                data.SetCostModelName(m.costModel);
                ok = ok && f.WriteCPString(m.hot) && f.WriteCPString(m.cold) && data.Store(f);
            }
            return ok && f.EndRecord(h);
        },
        [&] {
            if (v >= 4) return true;
            if (!r.economicList) return WriteOldFlag(f, false);
            bool ok = WriteOldFlag(f, true) && f.WriteInt(static_cast<std::int32_t>(r.economicList->size()));
            for (const OldEconomicSet& e : *r.economicList) {
                EconomicData set(e.name);
                set.SetEconomicData(EDT_AreaCostCoefficient, e.areaCost);
                if (v < 2) ok = ok && f.WriteCPString(e.key);
                ok = ok && set.Store(f);
            }
            return ok;
        },
        [&] {
            if (!r.designs) return WriteOldFlag(f, false);
            bool ok = WriteOldFlag(f, true) && f.WriteLong(static_cast<std::int32_t>(r.designs->size()));
            for (const OldDesign& d : *r.designs)
                ok = ok && f.WriteCPString(d.name) && WriteDesignRecord(f, d.utilityCost, 0.0, false);
            return ok;
        },
        [&] { return WriteOldFlag(f, false); },  // item 21: no energy target
        [&] {
            if (!r.lastChangeSource) return WriteOldFlag(f, false);
            return WriteOldFlag(f, true) && f.WriteCountedString(*r.lastChangeSource);
        },
        [&] {
            if (v < 4) return true;
            if (!r.manager) return WriteOldFlag(f, false);
            return WriteOldFlag(f, true) && r.manager->Store(f);
        },
        [&] {
            if (v < 6) return true;
            if (!r.reportText) return WriteOldFlag(f, false);
            ReportHolder report;
            report.AppendText("Notes", r.reportText->c_str());
            return WriteOldFlag(f, true) && report.Store(f);
        },
        [&] {
            if (v < 7) return true;
            if (!r.extractionSettings) return WriteOldFlag(f, false);
            RecordHandle h;
            CPValue settings("DataExtraction");
            return WriteOldFlag(f, true) && f.BeginRecord(h, 1) && f.WriteCPValue(settings) && f.EndRecord(h);
        },
        [&] { return v < 8 || WriteOldFlag(f, r.retrofit); },
        [&] {
            if (v < 9) return true;
            if (!r.streamLinks) return WriteOldFlag(f, false);
            RecordHandle h;
            return WriteOldFlag(f, true) && f.BeginRecord(h, 1) && f.WriteInt(0) && f.EndRecord(h);
        },
        [&] { return v < 13 || (f.WriteDouble(r.minimumFFactor) && WriteOldFlag(f, r.equationBased)); },
        [&] { return v < 14 || f.WriteInt(r.levels[0]); },
        [&] { return v < 15 || (f.WriteInt(r.levels[1]) && f.WriteInt(r.levels[2]) && f.WriteInt(r.levels[3])); },
        [&] { return v < 16 || WriteOldFlag(f, r.utilitiesAtPorts); },
        [&] { return v < 17 || f.WriteInt(0); },  // no copies of site utilities
        [&] {
            if (v < 18) return true;
            bool ok = f.WriteDouble(r.budget) && f.WriteCountedString(r.runSource) && f.WriteInt(r.runMode) &&
                      f.WriteInt(static_cast<std::int32_t>(r.runResults.size()));
            for (const CPString& name : r.runResults) ok = ok && f.WriteCountedString(name);
            return ok;
        },
    };
    RecordHandle h;
    bool ok = f.BeginRecord(h, v);
    for (std::size_t i = 0; ok && i < items.size(); ++i) {
        if (r.stopAfter >= 0 && static_cast<int>(i) >= r.stopAfter) break;
        ok = items[i]();
    }
    if (!ok || !f.EndRecord(h)) return Bytes();
    return f.Bytes();
}

}  // namespace scenario_record_test
