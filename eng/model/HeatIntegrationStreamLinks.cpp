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
    if (!Links()) return nullptr;
    for (LinkEntry& e : *Links())
        if (e.name == name) return &e;
    return nullptr;
}

const CPIHeatIntegrationStream::LinkEntry* CPIHeatIntegrationStream::FindLink(const CPString& name) const {
    return const_cast<CPIHeatIntegrationStream*>(this)->FindLink(name);
}

bool CPIHeatIntegrationStream::HoldsLinkTo(const CPIHeatIntegrationStream* other) const {
    if (!Links()) return false;
    return std::any_of(Links()->begin(), Links()->end(),
                       [other](const LinkEntry& e) { return e.stream == other; });
}

bool CPIHeatIntegrationStream::IsLinkedTo(const CPString& name) const {
    if (FindLink(name)) return true;
    const std::vector<CPString>& pending = PendingLinkNames();
    return std::find(pending.begin(), pending.end(), name) != pending.end();
}

int CPIHeatIntegrationStream::GetNumberOfLinkedStreams() const {
    return (Links() ? static_cast<int>(Links()->size()) : 0) +
           static_cast<int>(PendingLinkNames().size());
}

std::vector<CPString> CPIHeatIntegrationStream::GetLinkedStreamNames() const {
    std::vector<CPString> names;
    if (Links())
        for (const LinkEntry& e : *Links()) names.push_back(e.name);
    const std::vector<CPString>& pending = PendingLinkNames();
    names.insert(names.end(), pending.begin(), pending.end());
    return names;
}

void CPIHeatIntegrationStream::AddLinkEntry(const CPString& name, CPIHeatIntegrationStream* other, bool adjustKind) {
    if (!other || other == this || HoldsLinkTo(other)) return;
    if (!Links()) {
        TheRare().linkedStreams = std::make_unique<std::vector<LinkEntry>>();
        // Only a process stream becomes a linked one: a utility linked to a process stream
        // stays a utility, in the utility lists and the targets.
        if (adjustKind && m_nKind != KindUtility) SetStreamKind(KindLinked, 0);
    }
    Links()->push_back({name, other});
    ErasePendingLinkName(name);
}

bool CPIHeatIntegrationStream::RemoveLinksTo(const CPIHeatIntegrationStream* other) {
    if (!Links()) return false;
    const auto before = Links()->size();
    Links()->erase(std::remove_if(Links()->begin(), Links()->end(),
                                  [other](const LinkEntry& e) { return e.stream == other; }),
                   Links()->end());
    const bool removed = Links()->size() != before;
    if (Links()->empty()) {
        m_pRare->linkedStreams.reset();
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

void CPIHeatIntegrationStream::JoinLinkWith(CPIHeatIntegrationStream& other) {
    if (&other != this && !HoldsLinkTo(&other)) JoinLinks(&other, true);
}

void CPIHeatIntegrationStream::ErasePendingLinkName(const CPString& name) {
    if (!PendingLinks()) return;
    PendingLinks()->erase(std::remove(PendingLinks()->begin(), PendingLinks()->end(), name), PendingLinks()->end());
    if (PendingLinks()->empty()) m_pRare->pendingLinkNames.reset();
}

int CPIHeatIntegrationStream::UnlinkStream(const CPString& name) {
    if (m_bLocked) return 0;
    const std::vector<CPString>& pendingNames = PendingLinkNames();
    const auto pending = std::find(pendingNames.begin(), pendingNames.end(), name);
    if (pending != pendingNames.end()) {
        // A recalled name whose stream never turned up: nothing to take back on the other side.
        PendingLinks()->erase(pending);
        if (PendingLinks()->empty()) m_pRare->pendingLinkNames.reset();
        if (!Links() && !PendingLinks() && m_nKind == KindLinked) SetStreamKind(KindProcess, 0);
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
    if (Links()) {
        std::vector<LinkEntry> entries = std::move(*Links());
        m_pRare->linkedStreams.reset();
        for (const LinkEntry& e : entries) e.stream->RemoveLinksTo(this);
    }
    if (m_pRare) m_pRare->pendingLinkNames.reset();
}

int CPIHeatIntegrationStream::ResolvePendingLinks() {
    std::vector<CPString> names = PendingLinks() ? std::move(*PendingLinks()) : std::vector<CPString>();
    if (m_pRare) m_pRare->pendingLinkNames.reset();
    int dropped = 0;
    for (const CPString& name : names) {
        auto* other = m_pOwner ? dynamic_cast<CPIHeatIntegrationStream*>(m_pOwner->FindStream(name)) : nullptr;
        if (!other || other == this) {
            ++dropped;
            continue;
        }
        if (!HoldsLinkTo(other)) JoinLinks(other, true);
    }
    if (!Links() && m_nKind == KindLinked) SetStreamKind(KindProcess, 0);
    return dropped;
}

void CPIHeatIntegrationStream::RenameInLinkedStreams() {
    if (!Links()) return;
    for (const LinkEntry& e : *Links()) {
        if (!e.stream->Links()) continue;
        for (LinkEntry& back : *e.stream->Links())
            if (back.stream == this) back.name = m_strName;
    }
}
