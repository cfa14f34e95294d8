// The parts of the scenario record that hold the scenario's own objects by name: its streams
// (item 9), the match records (item 18), the designs (item 20) and the stream links (item 27).
#include "eng/model/ScenarioRecord.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/Scenario.h"
#include "eng/model/StreamLynxCollection.h"

#include <vector>

// ---------------------------------------------------------------- streams (item 9)

bool ScenarioRecord::StoreStreams(CPIScenario& s, ILurmetBinaryFile& file) {
    if (!s.m_pStreams) return WriteRecordFlag(file, false);
    // The utilities of a total-site scenario are the site's: the site writes them itself.
    const bool utilitiesHere = !s.m_bTotalSite;
    bool ok = WriteRecordFlag(file, true) && file.WriteInt(static_cast<std::int32_t>(s.m_processStreams.Length())) &&
              file.WriteInt(static_cast<std::int32_t>(s.m_utilityStreams.Length()));
    for (const CPIHeatIntegrationStream* stream : s.m_processStreams) ok = ok && file.WriteCountedString(stream->GetName());
    if (utilitiesHere)
        for (const CPIHeatIntegrationStream* stream : s.m_utilityStreams)
            ok = ok && file.WriteCountedString(stream->GetName());
    for (const CPIHeatIntegrationStream* stream : s.m_processStreams) ok = ok && stream->Store(file);
    if (utilitiesHere)
        for (const CPIHeatIntegrationStream* stream : s.m_utilityStreams) ok = ok && stream->Store(file);
    return ok;
}

bool ScenarioRecord::RecallStreams(CPIScenario& s, ILurmetBinaryFile& file) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    if (!present) return true;
    std::int32_t processCount = 0, utilityCount = 0;
    if (!file.ReadItemCount(processCount) || !file.ReadItemCount(utilityCount)) return false;
    if (!s.m_pStreams) s.m_pStreams = std::make_unique<CPIScenario::StreamDictionary>(CPIScenario::kDictionarySlots);

    // Every stream is made (by name) before any record is read, so that a record's links find
    // the streams they name. The counts are not trusted: names are read one at a time, and a
    // damaged count runs out of record long before memory runs out.
    const std::int64_t total = static_cast<std::int64_t>(processCount) + (s.m_bTotalSite ? 0 : utilityCount);
    std::vector<CPIHeatIntegrationStream*> made;
    bool ok = true;
    for (std::int64_t i = 0; ok && i < total; ++i) {
        CPString name;
        ok = file.ReadCountedString(name) && !s.m_pStreams->ExistsKeyString(name);
        if (!ok) break;
        auto* stream = new CPIHeatIntegrationStream(&s, name);
        ok = s.m_pStreams->AddKeyString(name, stream) == 1;
        if (!ok) {
            delete stream;
            break;
        }
        made.push_back(stream);
        s.RegisterWithStream(*stream);
        (i < processCount ? s.m_processStreams : s.m_utilityStreams).Append(stream);
    }
    for (std::size_t i = 0; ok && i < made.size(); ++i) {
        const CPString key = made[i]->GetName();
        // A record that names its stream otherwise than the list of names does is damaged.
        ok = made[i]->Recall(file) && made[i]->GetName() == key;
        if (!ok) break;
        s.EnsureMatchwiseStreamData();
        s.m_pMatches->AddStream(made[i]);
    }
    if (!ok) {
        DropRecalledStreams(s, made);
        return false;
    }
    // A link to a stream that is in no record of the file is dropped.
    for (CPIHeatIntegrationStream* stream : made) stream->ResolvePendingLinks();
    return true;
}

void ScenarioRecord::DropRecalledStreams(CPIScenario& s, const std::vector<CPIHeatIntegrationStream*>& made) {
    // A record that failed may have renamed its stream: streams are found by their place in the
    // dictionary, not by name.
    for (CPIHeatIntegrationStream* stream : made) {
        if (s.m_pMatches) s.m_pMatches->RemoveStream(stream);
        for (std::size_t i = 0; i < s.m_pStreams->Length(); ++i) {
            if ((*s.m_pStreams)[i] != stream) continue;
            s.m_pStreams->RemoveKeyString(s.m_pStreams->KeyAt(i));
            break;
        }
        for (CPIScenario::StreamList* list : {&s.m_processHot, &s.m_processCold, &s.m_utilityHot, &s.m_utilityCold,
                                              &s.m_allHot, &s.m_allCold, &s.m_processStreams, &s.m_utilityStreams})
            list->Remove(stream);
        stream->RemoveNotificationReceiver(&s);
        delete stream;
    }
    // The site's streams of a total-site scenario stay; otherwise the dictionary goes with the
    // match records made over it.
    if (s.m_pStreams->Length() == 0) {
        s.m_pMatches.reset();
        s.m_pStreams.reset();
    }
}

void ScenarioRecord::PlaceRecalledStreams(CPIScenario& s) {
    if (!s.m_pStreams) return;
    for (CPIHeatIntegrationStream* stream : *s.m_pStreams) s.UpdateSideLists(*stream, 2);
    // The pool holds the segments the records brought back (with the shifted temperatures they
    // were stored with); the recalculation at the end of the read works on them.
    s.m_pSegmentPool.reset();
    for (CPIHeatIntegrationStream* stream : *s.m_pStreams) {
        StreamSegmentList* segments = stream->GetDesignSegments();
        if (!segments || segments->empty()) continue;
        if (!s.m_pSegmentPool) s.m_pSegmentPool = std::make_unique<CPTypedList<StreamSegment>>();
        for (auto& segment : *segments) s.m_pSegmentPool->Append(segment.get());
        s.m_bSegmentsChanged = true;
    }
}

// ---------------------------------------------------------------- match records (item 18)

// Only the records that hold something a new record of their pair would not are written: every
// other pair reads back as the streams pair again.
bool ScenarioRecord::StoreMatches(CPIScenario& s, ILurmetBinaryFile& file) {
    if (!s.m_pMatches) return WriteRecordFlag(file, false);
    MatchwiseStreamDataList& matches = *s.m_pMatches;
    std::vector<const MatchwiseStreamData*> stored;
    for (int m = 0; m < matches.GetNumberOfRealRecords(); ++m) {
        const MatchwiseStreamData* match = matches.GetRealRecord(m);
        if (match->DiffersFromDefaults()) stored.push_back(match);
    }
    RecordHandle h;
    bool ok = WriteRecordFlag(file, true) && file.BeginRecord(h, MatchListVersion) && file.WriteCPString(matches.Key()) &&
              file.WriteInt(static_cast<std::int32_t>(stored.size()));
    for (std::size_t m = 0; ok && m < stored.size(); ++m) {
        const IHeatIntegrationStream* hot = stored[m]->GetHotStream();
        const IHeatIntegrationStream* cold = stored[m]->GetColdStream();
        ok = file.WriteCPString(hot ? hot->GetName() : CPString()) &&
             file.WriteCPString(cold ? cold->GetName() : CPString()) && stored[m]->Store(file);
    }
    return ok && file.EndRecord(h);
}

bool ScenarioRecord::RecallMatches(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    if (!present) return true;
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    s.EnsureMatchwiseStreamData();
    MatchwiseStreamDataList& matches = *s.m_pMatches;
    if (!matches.RecallKey(file)) return false;
    // Older writers stored every match of the list, which the streams have just rebuilt.
    std::int32_t count = matches.GetNumberOfMatches();
    if (version >= SinceMatchCount && (!file.ReadItemCount(count))) return false;
    for (std::int32_t m = 0; m < count; ++m) {
        CPString hotName, coldName;
        if (!file.ReadCPString(hotName) || !file.ReadCPString(coldName)) return false;
        CPIHeatIntegrationStream* hot = s.StreamByName(hotName);
        CPIHeatIntegrationStream* cold = s.StreamByName(coldName);
        // A match whose streams are gone (or no longer pair) is passed over; one that holds only
        // what its pair holds anyway is not made a record of its own.
        if (!(hot && cold && matches.HasMatch(hot, cold))) {
            if (!MatchwiseStreamData::SkipRecord(file)) return false;
            continue;
        }
        MatchwiseStreamData read(hot, cold);
        if (!read.Recall(file)) return false;
        if (read.DiffersFromDefaults() || read.dFirstValue != 0.0 || read.dCountercurrentArea != 0.0 ||
            read.dShellAndTubeArea != 0.0 || read.dFourthValue != 0.0 || read.dMatchValue != 0.0 ||
            read.dTolerance[0] != 1e-8)
            matches.FindMatch(hot, cold)->TakeValuesOf(read);
    }
    return file.EndRecord(h);
}

// ---------------------------------------------------------------- designs (item 20)

bool ScenarioRecord::StoreDesigns(CPIScenario& s, ILurmetBinaryFile& file) {
    if (!s.m_pDesigns) return WriteRecordFlag(file, false);
    const CPIScenario::DesignDictionary& designs = *s.m_pDesigns;
    bool ok = WriteRecordFlag(file, true) && file.WriteLong(static_cast<std::int32_t>(designs.Length()));
    for (std::size_t i = 0; ok && i < designs.Length(); ++i)
        ok = file.WriteCPString(designs.KeyAt(i)) && designs[i]->Store(file);
    return ok;
}

bool ScenarioRecord::RecallDesigns(CPIScenario& s, ILurmetBinaryFile& file, int version) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    if (!present) return true;
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    if (!s.m_pDesigns) s.m_pDesigns = std::make_unique<CPIScenario::DesignDictionary>(CPIScenario::kDictionarySlots);
    for (std::int32_t i = 0; i < count; ++i) {
        CPString name;
        // Without the design subsystem a design cannot be read: the file is refused rather than
        // read without its designs.
        IHENDesign* design = file.ReadCPString(name) && s.m_services.designs
                                 ? s.m_services.designs->CreateDesign(s, name)
                                 : nullptr;
        if (!design || !design->Recall(file) || s.m_pDesigns->AddKeyString(name, design) != 1) {
            delete design;
            s.DestroyAllDesigns();
            return false;
        }
        s.RegisterWithDesign(*design);
    }
    if (version < SinceBaseDesignName) s.m_nDesignCounter = count;
    return true;
}

// ---------------------------------------------------------------- stream links (item 27)

bool ScenarioRecord::StoreStreamLinks(CPIScenario& s, ILurmetBinaryFile& file) {
    if (!s.m_pStreamLinks) return WriteRecordFlag(file, false);
    return WriteRecordFlag(file, true) && s.m_pStreamLinks->Store(file);
}

bool ScenarioRecord::RecallStreamLinks(CPIScenario& s, ILurmetBinaryFile& file) {
    bool present = false;
    if (!ReadRecordFlag(file, present)) return false;
    s.m_pStreamLinks.reset();
    if (!present) return true;
    auto links = std::make_unique<StreamLynxCollection>(&s);
    if (!links->Recall(file)) return false;
    s.m_pStreamLinks = std::move(links);
    return true;
}
