// Total-site utility manager: the site streams in the manager's record, and the utility-defaults
// files of the utility-manager view.
#include "eng/targeting/TotalSiteManager.h"

#include "brasko/ILurmetBinaryFile.h"
#include "brasko/LurmetBinaryFile.h"
#include "brasko/ReplaceChecks.h"
#include "dunmor/Exceptions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

int TotalSiteManager::StoredRecordVersion(StoreRecallType type) const {
    return type == SRT_All ? SiteRecordVersion : DefaultManager::StoredRecordVersion(type);
}

bool TotalSiteManager::StoreFurtherSections(ILurmetBinaryFile& file, StoreRecallType type) {
    if (type != SRT_All) return true;
    if (!file.WriteBool(!m_streams.empty())) return false;
    if (m_streams.empty()) return true;
    bool ok = file.WriteInt(m_streamCounter) && file.WriteLong(static_cast<std::int32_t>(m_streams.size()));
    for (const SiteStream& entry : m_streams) ok = ok && file.WriteCPString(entry.key) && entry.stream->Store(file);
    return ok;
}

// Only stages: nothing of the manager changes until the whole record has been read.
bool TotalSiteManager::RecallFurtherSections(ILurmetBinaryFile& file, StoreRecallType type, int version) {
    m_staged.reset();
    if (type != SRT_All || version < SiteRecordVersion) return true;
    bool present = false;
    if (!file.ReadBool(present)) return false;
    auto staged = std::make_unique<StagedStreams>();
    staged->counter = m_streamCounter;
    std::int32_t count = 0;
    if (present && (!file.ReadInt(staged->counter) || !file.ReadItemCount(count))) return false;
    // Streams are made as their records are read, so a false count costs nothing the file lacks.
    m_stagingStreams = true;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) {
        CPString key;
        ok = file.ReadCPString(key) && !key.empty();
        if (!ok) break;
        auto stream = CreateHeatIntegrationStream(static_cast<IStreamOwner*>(this), key);
        ok = stream->Recall(file) && stream->GetName() == key &&
             std::none_of(staged->streams.begin(), staged->streams.end(),
                          [&](const SiteStream& e) { return e.key == key; });
        if (ok) staged->streams.push_back({key, std::move(stream)});
    }
    m_stagingStreams = false;
    if (ok) m_staged = std::move(staged);
    return ok;
}

bool TotalSiteManager::Recall(ILurmetBinaryFile* file, StoreRecallType type) {
    bool ok = false;
    ReplaceUtilities([&] {
        ok = DefaultManager::Recall(file, type);
        return ok;
    });
    m_staged.reset();
    return ok;
}

// A stream the manager already has keeps its identity (the site may hold it) and takes the
// recorded state through a copy of the record; a recorded stream the manager lacks joins it.
void TotalSiteManager::RestoreRecordedStreams() {
    std::unique_ptr<StagedStreams> staged = std::move(m_staged);
    if (!staged) return;
    auto recorded = [&](const CPString& key) {
        return std::any_of(staged->streams.begin(), staged->streams.end(),
                           [&](const SiteStream& e) { return e.key == key; });
    };
    std::vector<CPString> dropped;
    for (const SiteStream& entry : m_streams)
        if (!recorded(entry.key)) dropped.push_back(entry.key);
    for (const CPString& key : dropped) {
        // A stream the site keeps stays the manager's (below): the site's scenarios still hold it.
        if (m_site && m_site->DeleteStream(key) != 1 && m_site->HoldsSiteStream(key)) continue;
        DeleteStream(key.c_str());
    }
    std::vector<SiteStream> ordered;
    for (SiteStream& entry : staged->streams) {
        auto it = std::find_if(m_streams.begin(), m_streams.end(),
                               [&](const SiteStream& e) { return e.key == entry.key; });
        if (it == m_streams.end()) {
            ordered.push_back(std::move(entry));
            Send(ChangeStreamAdded, ordered.back().key, ManagerData());
            continue;
        }
        LurmetBinaryFile copy = LurmetBinaryFile::ForWriting();
        bool ok = entry.stream->Store(copy);
        LurmetBinaryFile reader = LurmetBinaryFile::ForReading(copy.Bytes());
        ok = ok && it->stream->Recall(reader);
        KS_ASSERT(ok);
        ordered.push_back(std::move(*it));
        m_streams.erase(it);
    }
    // What is left of the streams before are those the site kept.
    for (SiteStream& entry : m_streams) ordered.push_back(std::move(entry));
    m_streams = std::move(ordered);
    m_streamCounter = staged->counter;
    // A utility the saved manager kept no stream for (one renamed since) gets one, so that the
    // site can take any utility as a site stream.
    CreateStreamsForUtilities();
}

namespace {
// An existing target that is no regular file, carries no write permission at all (a file marked
// read only) or that this process may not write.
bool IsWriteProtected(const CPString& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path.c_str(), error);
    if (error || !std::filesystem::exists(status)) return false;
    if (!std::filesystem::is_regular_file(status)) return true;
    return IsWriteProtectedFile(path.c_str());
}
}  // namespace

const char* TotalSiteManager::SaveUtilityDefaultSet(const CPString& path) {
    if (path.empty()) return kSaveFailedMessage;
    if (IsWriteProtected(path)) return kWriteProtectedMessage;
    return WriteDefaultsFile(path, SRT_Utilities) ? nullptr : kSaveFailedMessage;
}

const char* TotalSiteManager::OpenUtilityDefaultSet(const CPString& path) {
    if (path.empty()) return kOpenFailedMessage;
    return ReadDefaultsFile(path, SRT_Utilities) ? nullptr : kOpenFailedMessage;
}
