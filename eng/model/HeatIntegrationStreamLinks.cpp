// Links between streams (pairs that must not be matched with each other): process streams with
// each other or with utilities.
//
// Links are kept on both streams: whenever this stream holds a pointer to another, the other
// holds one to this. That is what lets a stream that goes away take itself out of every stream
// that knows it, so no stream is ever left pointing at one that is gone.
#include "eng/model/HeatIntegrationStream.h"

#include "eng/model/IStreamOwner.h"

#include <algorithm>

CPIHeatIntegrationStream::LinkEntry* CPIHeatIntegrationStream::FindLink(const CPString& name) {
    if (!m_pLinkedStreams) return nullptr;
    for (LinkEntry& e : *m_pLinkedStreams)
        if (e.name == name) return &e;
    return nullptr;
}

const CPIHeatIntegrationStream::LinkEntry* CPIHeatIntegrationStream::FindLink(const CPString& name) const {
    return const_cast<CPIHeatIntegrationStream*>(this)->FindLink(name);
}

bool CPIHeatIntegrationStream::HoldsLinkTo(const CPIHeatIntegrationStream* other) const {
    if (!m_pLinkedStreams) return false;
    return std::any_of(m_pLinkedStreams->begin(), m_pLinkedStreams->end(),
                       [other](const LinkEntry& e) { return e.stream == other; });
}

bool CPIHeatIntegrationStream::IsLinkedTo(const CPString& name) const {
    if (FindLink(name)) return true;
    const std::vector<CPString>& pending = PendingLinkNames();
    return std::find(pending.begin(), pending.end(), name) != pending.end();
}

int CPIHeatIntegrationStream::GetNumberOfLinkedStreams() const {
    return (m_pLinkedStreams ? static_cast<int>(m_pLinkedStreams->size()) : 0) +
           static_cast<int>(PendingLinkNames().size());
}

std::vector<CPString> CPIHeatIntegrationStream::GetLinkedStreamNames() const {
    std::vector<CPString> names;
    if (m_pLinkedStreams)
        for (const LinkEntry& e : *m_pLinkedStreams) names.push_back(e.name);
    const std::vector<CPString>& pending = PendingLinkNames();
    names.insert(names.end(), pending.begin(), pending.end());
    return names;
}

void CPIHeatIntegrationStream::AddLinkEntry(const CPString& name, CPIHeatIntegrationStream* other, bool adjustKind) {
    if (!other || other == this || HoldsLinkTo(other)) return;
    if (!m_pLinkedStreams) {
        m_pLinkedStreams = std::make_unique<std::vector<LinkEntry>>();
        // Only a process stream becomes a linked one: a utility linked to a process stream
        // stays a utility, in the utility lists and the targets.
        if (adjustKind && m_nKind != KindUtility) SetStreamKind(KindLinked, 0);
    }
    m_pLinkedStreams->push_back({name, other});
    ErasePendingLinkName(name);
}

bool CPIHeatIntegrationStream::RemoveLinksTo(const CPIHeatIntegrationStream* other) {
    if (!m_pLinkedStreams) return false;
    const auto before = m_pLinkedStreams->size();
    m_pLinkedStreams->erase(std::remove_if(m_pLinkedStreams->begin(), m_pLinkedStreams->end(),
                                           [other](const LinkEntry& e) { return e.stream == other; }),
                            m_pLinkedStreams->end());
    const bool removed = m_pLinkedStreams->size() != before;
    if (m_pLinkedStreams->empty()) {
        m_pLinkedStreams.reset();
        // Without links a linked process stream is a plain process stream again.
        if (m_nKind == KindLinked && PendingLinkNames().empty()) SetStreamKind(KindProcess, 0);
    }
    return removed;
}

void CPIHeatIntegrationStream::JoinLinks(CPIHeatIntegrationStream* other, bool adjustOwnKind) {
    AddLinkEntry(other->GetName(), other, adjustOwnKind);
    other->AddLinkEntry(m_strName, this, true);
}

int CPIHeatIntegrationStream::LinkStream(const CPString& name) {
    if (m_bLocked || !m_pOwner) return 0;
    auto* other = dynamic_cast<CPIHeatIntegrationStream*>(m_pOwner->FindStream(name));
    if (!other || other == this) return 0;
    if (HoldsLinkTo(other)) return 1;
    JoinLinks(other, true);
    int added = 1;
    Notify(71, CPString(), AsData());
    Notify(72, CPString(), &added);
    return 1;
}

void CPIHeatIntegrationStream::ErasePendingLinkName(const CPString& name) {
    if (!m_pPendingLinkNames) return;
    m_pPendingLinkNames->erase(std::remove(m_pPendingLinkNames->begin(), m_pPendingLinkNames->end(), name),
                               m_pPendingLinkNames->end());
    if (m_pPendingLinkNames->empty()) m_pPendingLinkNames.reset();
}

int CPIHeatIntegrationStream::UnlinkStream(const CPString& name) {
    if (m_bLocked) return 0;
    const std::vector<CPString>& pendingNames = PendingLinkNames();
    const auto pending = std::find(pendingNames.begin(), pendingNames.end(), name);
    if (pending != pendingNames.end()) {
        // A recalled name whose stream never turned up: nothing to take back on the other side.
        m_pPendingLinkNames->erase(pending);
        if (m_pPendingLinkNames->empty()) m_pPendingLinkNames.reset();
        if (!m_pLinkedStreams && !m_pPendingLinkNames && m_nKind == KindLinked) SetStreamKind(KindProcess, 0);
        return 1;
    }
    LinkEntry* entry = FindLink(name);
    if (!entry) return 0;
    CPIHeatIntegrationStream* other = entry->stream;
    RemoveLinksTo(other);
    other->RemoveLinksTo(this);
    int removed = -1;
    Notify(71, CPString(), AsData());
    Notify(72, CPString(), &removed);
    return 1;
}

void CPIHeatIntegrationStream::ForgetLinkedStreams() {
    if (m_pLinkedStreams) {
        std::vector<LinkEntry> entries = std::move(*m_pLinkedStreams);
        m_pLinkedStreams.reset();
        for (const LinkEntry& e : entries) e.stream->RemoveLinksTo(this);
    }
    m_pPendingLinkNames.reset();
}

int CPIHeatIntegrationStream::ResolvePendingLinks() {
    std::vector<CPString> names = m_pPendingLinkNames ? std::move(*m_pPendingLinkNames) : std::vector<CPString>();
    m_pPendingLinkNames.reset();
    int dropped = 0;
    for (const CPString& name : names) {
        auto* other = m_pOwner ? dynamic_cast<CPIHeatIntegrationStream*>(m_pOwner->FindStream(name)) : nullptr;
        if (!other || other == this) {
            ++dropped;
            continue;
        }
        if (!HoldsLinkTo(other)) JoinLinks(other, true);
    }
    if (!m_pLinkedStreams && m_nKind == KindLinked) SetStreamKind(KindProcess, 0);
    return dropped;
}

void CPIHeatIntegrationStream::RenameInLinkedStreams() {
    if (!m_pLinkedStreams) return;
    for (const LinkEntry& e : *m_pLinkedStreams) {
        if (!e.stream->m_pLinkedStreams) continue;
        for (LinkEntry& back : *e.stream->m_pLinkedStreams)
            if (back.stream == this) back.name = m_strName;
    }
}
