// Total-site utility manager: the site streams, one utility stream per default utility.
#include "eng/targeting/TotalSiteManager.h"

#include "eng/core/StreamSegment.h"
#include "eng/model/StreamValueNames.h"
#include "tevrin/CPList.h"

#include <algorithm>

namespace N = StreamValueNames;

IHeatIntegrationStreamForTargeting* TotalSiteManager::GetSiteStream(const CPString& name) const {
    for (const SiteStream& entry : m_streams)
        if (entry.key == name) return entry.stream.get();
    return nullptr;
}

hresult TotalSiteManager::AddStream(const char* name) {
    if (!name || !*name) return 0;
    if (GetSiteStream(name)) {
        // Within a replacement of the whole list a utility that keeps its name keeps its stream.
        if (m_replacing == 0) Send(ChangeMessage, kSameStreamMessage, ManagerData());
        return 0;
    }
    if (!Exists(name)) {
        Send(ChangeMessage, kUnknownUtilityMessage, ManagerData());
        return 0;
    }
    ++m_streamCounter;
    auto stream = CreateHeatIntegrationStream(static_cast<IStreamOwner*>(this), name);
    // Temperatures and price come later, from the utility (UpdateStreams, GetValue) or the site.
    stream->SetValue(N::CHTCoeff, GetHTCDefaultValue(0), 0);
    stream->SetStreamKind(IHeatIntegrationStreamForTargeting::KindUtility, 1);
    stream->SetStoredInt(m_streamCounter);
    m_streams.push_back({name, std::move(stream)});
    Send(ChangeStreamAdded, m_streams.back().key, ManagerData());
    return 1;
}

hresult TotalSiteManager::GetStream(int index, IHeatIntegrationStream*& out) {
    out = nullptr;
    if (index < 0 || static_cast<std::size_t>(index) >= m_streams.size()) return 0;
    out = m_streams[static_cast<std::size_t>(index)].stream.get();
    return 1;
}

hresult TotalSiteManager::GetStream(const char* name, IHeatIntegrationStream*& out) {
    out = name ? GetSiteStream(name) : nullptr;
    return out ? 1 : 0;
}

hresult TotalSiteManager::DeleteStream(const char* name) {
    if (!name) return 0;
    const CPString key(name);  // the caller's text may be the stream's own key
    auto it = std::find_if(m_streams.begin(), m_streams.end(), [&](const SiteStream& e) { return e.key == key; });
    if (it == m_streams.end()) return 0;
    Send(ChangeStreamDeleted, key, ManagerData());
    std::unique_ptr<IHeatIntegrationStreamForTargeting> doomed = std::move(it->stream);
    m_streams.erase(it);
    doomed.reset();
    return 1;
}

void TotalSiteManager::RenameSiteStream(const CPString& oldName, const CPString& newName) {
    const CPString from = oldName, to = newName;  // the caller's texts may be the stream's own name
    auto keyed = [&](const CPString& key) {
        return std::find_if(m_streams.begin(), m_streams.end(), [&](const SiteStream& e) { return e.key == key; });
    };
    const auto renamed = keyed(from);
    if (renamed == m_streams.end() || from == to) return;
    const auto spare = keyed(to);
    if (spare == m_streams.end()) {
        renamed->key = to;
        OrderStreamsLikeUtilities();
        return;
    }
    std::swap(renamed->stream, spare->stream);
    renamed->stream->SetName(from);
    UpdateStreams(FindUtility(from.c_str()));
}

void TotalSiteManager::TemperatureShift(CPList* segments, double value) {
    if (!segments) return;
    for (std::size_t i = 0; i < segments->Length(); ++i)
        if (auto* segment = static_cast<StreamSegment*>(segments->GetAt(i))) segment->ShiftTemperatures(value);
}

void TotalSiteManager::ApplySiteDTmin(IHeatIntegrationStreamForTargeting& stream, double dTmin) {
    StreamSegmentList* segments = stream.GetDesignSegments();
    if (!segments) return;
    for (auto& segment : *segments) segment->ShiftTemperatures(dTmin);
}

bool TotalSiteManager::HoldsForRetrofitBase(const IHeatIntegrationStream& stream, const char* name) const {
    return m_site && m_site->HoldsForRetrofitBase(stream.GetName(), name);
}

void TotalSiteManager::CreateStreamsForUtilities() {
    for (const auto& u : Utilities())
        if (!GetSiteStream(u->name)) AddStream(u->name.c_str());
}

void TotalSiteManager::KeepStreamsInStep(const Snapshot& before) {
    auto existed = [&](const IHeatIntegrationStreamForTargeting* s) {
        return std::find(before.streams.begin(), before.streams.end(), s) != before.streams.end();
    };
    auto previous = [&](const CPString& name) -> const DefaultUtility* {
        for (const DefaultUtility& u : before.utilities)
            if (u.name == name) return &u;
        return nullptr;
    };
    for (const auto& u : Utilities()) {
        IHeatIntegrationStreamForTargeting* stream = GetSiteStream(u->name);
        if (!stream) {
            AddStream(u->name.c_str());
            continue;
        }
        if (!existed(stream)) continue;
        const DefaultUtility* old = previous(u->name);
        if (old && SameMirroredValues(*old, *u)) continue;
        // A stream a retrofit study's base runs on keeps its values (UpdateStreams leaves it as
        // it is): noted, so that the reader of a defaults file can say which utilities stayed.
        if (stream->IsHeldByRetrofitBase(nullptr)) m_leftAlone.push_back(u->name);
        UpdateStreams(u.get());
    }
    OrderStreamsLikeUtilities();
}

// The utility-manager view finds a utility's stream by the utility's row, so the streams keep the
// utilities' order; streams whose utility is gone follow in their own order.
void TotalSiteManager::OrderStreamsLikeUtilities() {
    std::vector<SiteStream> ordered;
    ordered.reserve(m_streams.size());
    for (const auto& u : Utilities()) {
        auto it = std::find_if(m_streams.begin(), m_streams.end(),
                               [&](const SiteStream& e) { return e.stream && e.key == u->name; });
        if (it != m_streams.end()) ordered.push_back(std::move(*it));
    }
    for (SiteStream& e : m_streams)
        if (e.stream) ordered.push_back(std::move(e));
    m_streams = std::move(ordered);
}
