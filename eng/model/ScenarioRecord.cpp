// The scenario record: the order of its items in both directions, the plain settings, the default
// manager, the report and the extraction settings, and what follows a whole read.
#include "eng/model/ScenarioRecord.h"

#include "brasko/DefaultManager.h"
#include "brasko/ILurmetBinaryFile.h"
#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/Scenario.h"
#include "eng/targeting/UtilityPlacement.h"
#include "osmeri/CPValue.h"

#include <algorithm>
#include <cmath>
#include <vector>

bool WriteRecordFlag(ILurmetBinaryFile& file, bool flag) { return file.WriteBool(flag); }

bool ReadRecordFlag(ILurmetBinaryFile& file, bool& flag) {
    std::int32_t value = 0;
    if (!file.ReadInt(value) || (value != 0 && value != 1)) return false;
    flag = value == 1;
    return true;
}

// ---------------------------------------------------------------- both directions

int ScenarioRecord::StoredVersion(const CPIScenario& s) {
    if (HoldsRetrofitRun(s)) return SinceRetrofitRun;
    return HoldsTypedSiteUtilityData(s) ? SinceSiteUtilityLoads : SinceSiteUtilityLoads - 1;
}

bool ScenarioRecord::Store(CPIScenario& scenario, ILurmetBinaryFile& file) {
    // A scenario with nothing for the newer items (no copies of site utilities holding what the
    // user typed, no retrofit budget or run) is written as the earlier writer made it, which older
    // builds still read.
    const int version = StoredVersion(scenario);
    RecordHandle h;
    return file.BeginRecord(h, version) && StoreItems(scenario, file, version) && file.EndRecord(h);
}

bool ScenarioRecord::Recall(CPIScenario& scenario, ILurmetBinaryFile& file) {
    // Designs arrive one by one: they are ranked once, when all of them are there.
    scenario.m_nRankingEnabled = 0;
    RecordHandle h;
    bool ok = file.BeginRecord(h);
    const int version = ok ? file.GetRecordVersion(h) : 0;
    // A newer writer may have changed what the fields mean: such a record is not read.
    ok = ok && version >= 1 && version <= RecordVersion && RecallItems(scenario, file, version) && file.EndRecord(h);
    if (ok) {
        // A site's utilities join the scenario before its record is read, with the DTmin it had
        // then: those on the global approach take the scenario's own, as they did when it was set.
        scenario.SuspendCalculations();
        // The copies are collected first: a new approach of a copy is passed on to the site.
        for (CPIHeatIntegrationStream* stream : scenario.SiteStreamCopies()) {
            if (stream->GetDTminContributionScope() == ValueAndFlag::ScopeGlobal &&
                stream->GetDTminContribution() != scenario.m_dDTmin)
                stream->SetDTminContribution(scenario.m_dDTmin, "Global", 0, 0);
        }
        scenario.ResumeCalculations(false);
        // A retrofit study holds its economic data as its streams, fixed while the existing
        // network is its base: the manager's lock is not in its record, nor are the site's
        // utilities (joined before the record), so both are held again here.
        if (scenario.m_bRetrofit) scenario.HoldRetrofitBaseStreams();
        // The recalled segments are new to the placement: it takes them afresh.
        scenario.MarkUtilitySegmentsForUpdate();
        scenario.UpdateTargets(nullptr, 35);
    }
    scenario.m_nRankingEnabled = 1;
    scenario.RankDesigns();
    return ok;
}

int ScenarioRecord::StoredCalculationEnable(const CPIScenario& s) {
    const int outside = s.m_nEnableBeforeForbiddenBatch != CPIScenario::kNoForbiddenBatch ? s.m_nEnableBeforeForbiddenBatch
                                                                                         : s.m_nCalculationEnable;
    return outside < 1 ? 1 : outside;
}

bool ScenarioRecord::StoreItems(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    const CPString name = s.m_pName ? *s.m_pName : CPString();
    const CPString notes = s.m_pNotes ? *s.m_pNotes : CPString();
    return file.WriteCPString(name) && file.WriteCPString(notes) && file.WriteCPString(s.m_strBaseDesignName) &&
           WriteRecordFlag(file, s.m_bTotalSite) && file.WriteDouble(s.m_dDTmin) &&
           file.WriteInt(s.m_nFirstIntegerSetting) && file.WriteInt(StoredCalculationEnable(s)) &&
           file.WriteInt(s.m_nSegmented) && file.WriteInt(s.m_nSecondIntegerSetting) &&
           file.WriteInt(s.m_nStreamCounter) && file.WriteInt(s.m_nDesignCounter) &&
           file.WriteInt(s.m_nForbiddenMatches) && StoreStreams(s, file) && StoreTargets(s, file) &&
           StoreMatches(s, file) && StoreDesigns(s, file) && StoreEnergyTarget(s, file) &&
           StoreLastChangeSource(s, file) && StoreDefaultsAndReport(s, file) && StoreTrailingSettings(s, file) &&
           (version < SinceSiteUtilityLoads || StoreSiteUtilityLoads(s, file)) &&
           (version < SinceRetrofitRun || StoreRetrofitRun(s, file));
}

bool ScenarioRecord::RecallItems(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    CPString text;
    if (!file.ReadCPString(text)) return false;
    s.m_pName = std::make_unique<CPString>(text);
    if (!file.ReadCPString(text)) {
        s.m_pNotes.reset();
        return false;
    }
    s.m_pNotes = std::make_unique<CPString>(text);
    if (version >= SinceBaseDesignName) {
        if (!file.ReadCPString(text)) return false;
        s.m_strBaseDesignName = text;
    }
    if (version >= SinceTotalSiteFlag && !ReadRecordFlag(file, s.m_bTotalSite)) return false;

    // A DTmin that is not a number is damage: every target would be computed from it.
    double dTmin = 0.0;
    if (!file.ReadDouble(dTmin) || !std::isfinite(dTmin)) return false;
    s.m_dDTmin = dTmin;
    if (!file.ReadInt(s.m_nFirstIntegerSetting) ||
        !file.ReadInt(s.m_nCalculationEnable) || !file.ReadInt(s.m_nSegmented) ||
        !file.ReadInt(s.m_nSecondIntegerSetting) || !file.ReadInt(s.m_nStreamCounter))
        return false;
    // Calculations are held only for the length of a change; a case saved while one was open
    // (a batch of forbidden matches on a form left open) would otherwise keep its targets frozen
    // for good. A reopened scenario calculates.
    if (s.m_nCalculationEnable < 1) s.m_nCalculationEnable = 1;
    s.m_nEnableBeforeForbiddenBatch = CPIScenario::kNoForbiddenBatch;
    if (version >= SinceBaseDesignName && !file.ReadInt(s.m_nDesignCounter)) return false;
    if (!file.ReadInt(s.m_nForbiddenMatches)) return false;
    s.m_nSavedForbiddenMatches = s.m_nForbiddenMatches;

    if (!RecallStreams(s, file)) return false;
    // The count of forbidden matches is that of the streams' links, each pair held by both of
    // its streams: a count that disagrees is damage (the area target would follow it).
    long linkEnds = 0;
    if (s.m_pStreams)
        for (const CPIHeatIntegrationStream* stream : *s.m_pStreams) linkEnds += stream->GetNumberOfLinkedStreams();
    if (linkEnds % 2 != 0 || s.CountForbiddenMatchLinks() != s.m_nForbiddenMatches) return false;
    s.RecountForbiddenMatches();
    PlaceRecalledStreams(s);

    if (version < SinceDefaultManager && !RecallOldEconomicData(s, file)) return false;
    if (!RecallTargets(s, file) || !RecallMatches(s, file, version)) return false;
    if (version < SinceDefaultManager && !RecallOldEconomicDataList(s, file, version)) return false;
    if (!RecallDesigns(s, file, version) || !RecallEnergyTarget(s, file) || !RecallLastChangeSource(s, file) ||
        !RecallDefaultsAndReport(s, file, version))
        return false;
    PrepareRecalledDesigns(s, version);
    return RecallTrailingSettings(s, file, version);
}

// ---------------------------------------------------------------- item 22

bool ScenarioRecord::StoreLastChangeSource(CPIScenario& s, ILurmetBinaryFile& file) {
    const IHeatIntegrationStream* source = s.m_pLastChangeSource;
    if (!WriteRecordFlag(file, source != nullptr)) return false;
    return !source || file.WriteCountedString(source->GetName());
}

bool ScenarioRecord::RecallLastChangeSource(CPIScenario& s, ILurmetBinaryFile& file) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    s.m_pLastChangeSource = nullptr;
    if (!present) return true;
    CPString name;
    if (!file.ReadCountedString(name)) return false;
    s.m_pLastChangeSource = s.StreamByName(name);
    return true;
}

// ---------------------------------------------------------------- items 23 to 25

bool ScenarioRecord::StoreDefaultsAndReport(CPIScenario& s, ILurmetBinaryFile& file) {
    const bool hasManager = s.m_pDefaultManager != nullptr;
    if (!WriteRecordFlag(file, hasManager) || (hasManager && !s.m_pDefaultManager->Store(file))) return false;
    const bool hasReport = s.m_pReport != nullptr;
    if (!WriteRecordFlag(file, hasReport) || (hasReport && !s.m_pReport->Store(file))) return false;
    const DataExtractionConfig* config = s.m_pExtractionConfig.get();
    if (!WriteRecordFlag(file, config != nullptr)) return false;
    return !config || config->Store(file);
}

bool ScenarioRecord::RecallDefaultsAndReport(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    bool present = false;
    if (version >= SinceDefaultManager) {
        if (!ReadRecordFlag(file, present)) return false;
        if (present) {
            if (!s.m_pDefaultManager) {
                s.m_pDefaultManager = std::make_unique<DefaultManager>();
                s.m_pDefaultManager->SetUpDefaults();
                s.ListenToOwnManager();
            }
            // A manager that fails to read is left as it was.
            if (!s.m_pDefaultManager->Recall(file)) return false;
        }
    }
    if (version >= SinceReport) {
        if (!ReadRecordFlag(file, present)) return false;
        if (present) {
            auto report = std::make_unique<ReportHolder>();
            if (!report->Recall(file)) return false;
            s.m_pReport = std::move(report);
        }
    }
    if (version >= SinceExtractionSettings) {
        if (!ReadRecordFlag(file, present)) return false;
        if (present) {
            // Settings that do not read are dropped (they are made afresh, with their defaults,
            // when next asked for) and the scenario reads on; a record that cannot even be opened
            // leaves the file failed.
            if (!s.m_pExtractionConfig) s.m_pExtractionConfig = std::make_unique<DataExtractionConfig>();
            if (!s.m_pExtractionConfig->Recall(file)) {
                s.m_pExtractionConfig.reset();
                if (!file.Good()) return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------- items 26 to 32

bool ScenarioRecord::StoreTrailingSettings(CPIScenario& s, ILurmetBinaryFile& file) {
    return WriteRecordFlag(file, s.m_bRetrofit) && StoreStreamLinks(s, file) && file.WriteDouble(s.m_dMinimumFFactor) &&
           WriteRecordFlag(file, s.m_bEquationBasedOptimization) && file.WriteInt(s.m_nLevelSettings[0]) &&
           file.WriteInt(s.m_nLevelSettings[1]) && file.WriteInt(s.m_nLevelSettings[2]) &&
           file.WriteInt(s.m_nLevelSettings[3]) && WriteRecordFlag(file, s.m_bAllowUtilitiesAtPorts);
}

bool ScenarioRecord::RecallTrailingSettings(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    if (version >= SinceRetrofitFlag && !ReadRecordFlag(file, s.m_bRetrofit)) return false;
    if (version >= SinceStreamLinks && !RecallStreamLinks(s, file)) return false;
    if (version >= SinceFFactor) {
        double fFactor = 0.0;
        if (!file.ReadDouble(fFactor) || !std::isfinite(fFactor)) return false;
        s.m_dMinimumFFactor = fFactor;
        if (!ReadRecordFlag(file, s.m_bEquationBasedOptimization)) return false;
    }
    // A level setting outside 1..5 is taken as 5, as when it is set.
    const int levels = version >= SinceLevelSettings2To4 ? 4 : version >= SinceLevelSetting1 ? 1 : 0;
    for (int i = 0; i < levels; ++i) {
        std::int32_t level = 0;
        if (!file.ReadInt(level)) return false;
        s.SetLevelSetting(i, level);
    }
    if (version >= SinceUtilitiesAtPorts && !ReadRecordFlag(file, s.m_bAllowUtilitiesAtPorts)) return false;
    if (version >= SinceSiteUtilityLoads && !RecallSiteUtilityLoads(s, file)) return false;
    return version < SinceRetrofitRun || RecallRetrofitRun(s, file);
}

// ---------------------------------------------------------------- item 33

// The loads of the copies are the user's under any method but the automatic placement, which
// works them out afresh once the record is read; an end fraction is the user's once it is off
// its default.
bool ScenarioRecord::HoldsTypedSiteUtilityData(const CPIScenario& s) {
    const std::vector<CPIHeatIntegrationStream*> copies = s.SiteStreamCopies();
    if (copies.empty()) return false;
    if (s.GetUtilityAssignmentMethod() != UtilityPlacement::Automatic) return true;
    return std::any_of(copies.begin(), copies.end(), [](const CPIHeatIntegrationStream* copy) {
        return copy->GetLoadFraction(1) != CPIHeatIntegrationStream::DefaultLoadFraction ||
               copy->GetLoadFraction(-1) != CPIHeatIntegrationStream::DefaultLoadFraction;
    });
}

// The site writes its utilities without what each scenario put into them; the copies of a
// reopened case are made afresh from the site's streams. What the user typed into a copy (its
// load, its end fractions) is the scenario's and is kept here, by the copy's name.
bool ScenarioRecord::StoreSiteUtilityLoads(CPIScenario& s, ILurmetBinaryFile& file) {
    // A record written for a later item holds this one too: empty where nothing was typed.
    std::vector<CPIHeatIntegrationStream*> copies;
    if (HoldsTypedSiteUtilityData(s)) copies = s.SiteStreamCopies();
    bool ok = file.WriteInt(static_cast<std::int32_t>(copies.size()));
    for (CPIHeatIntegrationStream* copy : copies)
        ok = ok && file.WriteCountedString(copy->GetName()) && file.WriteDouble(copy->GetHeatLoad(0)) &&
             file.WriteDouble(copy->GetLoadFraction(1)) && file.WriteDouble(copy->GetLoadFraction(-1));
    return ok;
}

bool ScenarioRecord::RecallSiteUtilityLoads(CPIScenario& s, ILurmetBinaryFile& file) {
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    // The targets are recalculated once the whole record is read.
    s.SuspendCalculations();
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) {
        CPString name;
        double load = 0.0, fractions[2] = {};
        if (!file.ReadCountedString(name) || !file.ReadDouble(load) || !file.ReadDouble(fractions[0]) ||
            !file.ReadDouble(fractions[1]) || !std::isfinite(load) || !std::isfinite(fractions[0]) ||
            !std::isfinite(fractions[1])) {
            ok = false;
            break;
        }
        // A utility the site no longer has is passed over.
        CPIHeatIntegrationStream* copy = s.StreamByName(name);
        if (!copy || !s.SiteStreamOf(*copy)) continue;
        copy->SetLoadFraction(fractions[0], 1);
        copy->SetLoadFraction(fractions[1], -1);
        copy->SetHeatLoad(load, 0);
        copy->SetHeatLoad(load, 1);
    }
    s.ResumeCalculations(false);
    return ok;
}


// ---------------------------------------------------------------- item 34

bool ScenarioRecord::HoldsRetrofitRun(const CPIScenario& s) {
    return s.m_dOptimizerEconomicParameter != 0.0 || (s.m_retrofitRunSource && !s.m_retrofitRunResults.empty());
}

// The budget is what the next step may spend, and the run's designs are the ones the design viewer
// offers to delete and reports on: both outlive a save. The designs go by name, which the case
// keeps unique within the scenario.
bool ScenarioRecord::StoreRetrofitRun(CPIScenario& s, ILurmetBinaryFile& file) {
    const IHENDesign* source = s.m_retrofitRunSource;
    const char* sourceName = source && !s.m_retrofitRunResults.empty() ? source->GetDesignName() : nullptr;
    std::vector<CPString> kept;
    if (sourceName)
        for (const IHENDesign* design : s.m_retrofitRunResults)
            if (design && design->GetDesignName()) kept.emplace_back(design->GetDesignName());
    bool ok = file.WriteDouble(s.m_dOptimizerEconomicParameter) &&
              file.WriteCountedString(CPString(sourceName ? sourceName : "")) &&
              file.WriteInt(sourceName ? s.m_retrofitRunMode : -1) && file.WriteInt(static_cast<std::int32_t>(kept.size()));
    for (const CPString& name : kept) ok = ok && file.WriteCountedString(name);
    return ok;
}

bool ScenarioRecord::RecallRetrofitRun(CPIScenario& s, ILurmetBinaryFile& file) {
    double budget = 0.0;
    CPString sourceName;
    std::int32_t mode = -1, count = 0;
    // A budget below 0 is none a user could have given: the record is damaged.
    if (!file.ReadDouble(budget) || !std::isfinite(budget) || budget < 0.0 || !file.ReadCountedString(sourceName) ||
        !file.ReadInt(mode) || mode < -1 || mode > 4 || !file.ReadItemCount(count))
        return false;
    std::vector<IHENDesign*> kept;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString name;
        if (!file.ReadCountedString(name)) return false;
        if (IHENDesign* design = s.DesignByName(name); design && std::find(kept.begin(), kept.end(), design) == kept.end())
            kept.push_back(design);
    }
    s.m_dOptimizerEconomicParameter = budget;
    const IHENDesign* source = sourceName.empty() ? nullptr : s.DesignByName(sourceName);
    s.m_retrofitRunSource = source && !kept.empty() ? source : nullptr;
    s.m_retrofitRunMode = s.m_retrofitRunSource ? mode : -1;
    s.m_retrofitRunResults = s.m_retrofitRunSource ? std::move(kept) : std::vector<IHENDesign*>();
    return true;
}

// ---------------------------------------------------------------- after the read

void ScenarioRecord::PrepareRecalledDesigns(CPIScenario& s, int version) {
    if (!s.m_pDesigns) return;
    std::vector<IHENDesign*> designs(s.m_pDesigns->begin(), s.m_pDesigns->end());
    for (IHENDesign* design : designs) {
        design->SetPinchPoints(s.GetProcessPinchPointList());
        if (version < DesignsStreamCodeBelow) design->ProcessChange(36, CPString(), s.Self());
        if (version < DesignsAssignmentCodeBelow) design->ProcessChange(20, CPString(), s.Self());
    }
}
