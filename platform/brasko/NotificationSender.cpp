#include "brasko/NotificationSender.h"

#include <algorithm>
#include <utility>

NotificationSender::NotificationSender() = default;

NotificationSender::NotificationSender(const NotificationSender& other) : INotificationSender(other) {}

NotificationSender& NotificationSender::operator=(const NotificationSender&) {
    // Receivers watch one particular object; they are not handed over with its contents.
    return *this;
}

NotificationSender::~NotificationSender() {
    for (Dispatch* d = m_pDispatch; d; d = d->outer) d->alive = false;
}

NotificationSender::Entry* NotificationSender::Lookup(const INotificationReceiver* receiver) {
    return const_cast<Entry*>(std::as_const(*this).Lookup(receiver));
}

const NotificationSender::Entry* NotificationSender::Lookup(const INotificationReceiver* receiver) const {
    if (!m_first.receiver) return nullptr;
    if (m_first.receiver == receiver) return &m_first;
    if (m_pMore)
        for (const Entry& e : *m_pMore)
            if (e.receiver == receiver) return &e;
    return nullptr;
}

NotificationSender::Entry* NotificationSender::LookupSerial(std::uint64_t serial) {
    if (!m_first.receiver) return nullptr;
    if (m_first.serial == serial) return &m_first;
    if (m_pMore)
        for (Entry& e : *m_pMore)
            if (e.serial == serial) return &e;
    return nullptr;
}

bool NotificationSender::IsReceiverRegistered(const INotificationReceiver* receiver) const {
    return Lookup(receiver) != nullptr;
}

bool NotificationSender::AddNotificationReceiver(INotificationReceiver* receiver) {
    if (!receiver || Lookup(receiver)) return false;
    if (m_first.receiver && !m_pMore) m_pMore = std::make_unique<std::vector<Entry>>();
    Entry& e = m_first.receiver ? m_pMore->emplace_back() : m_first;
    e.receiver = receiver;
    e.serial = m_nextSerial++;
    return true;
}

bool NotificationSender::RemoveNotificationReceiver(INotificationReceiver* receiver) {
    if (!receiver || !m_first.receiver) return false;
    if (m_first.receiver == receiver) {
        // The second in line moves up, so that the order of registration stays as it was.
        if (!HasMore()) {
            m_first = Entry{};
        } else {
            m_first = std::move(m_pMore->front());
            m_pMore->erase(m_pMore->begin());
        }
        return true;
    }
    if (!m_pMore) return false;
    auto it = std::find_if(m_pMore->begin(), m_pMore->end(), [receiver](const Entry& e) { return e.receiver == receiver; });
    if (it == m_pMore->end()) return false;
    m_pMore->erase(it);
    return true;
}

bool NotificationSender::CodeSet::Has(int code) const {
    if (InBits(code)) return (m_bits[code >> 6] >> (code & 63)) & 1U;
    return m_pOthers && std::find(m_pOthers->begin(), m_pOthers->end(), code) != m_pOthers->end();
}

void NotificationSender::CodeSet::Add(int code) {
    if (InBits(code)) {
        m_bits[code >> 6] |= std::uint64_t{1} << (code & 63);
        return;
    }
    if (!m_pOthers) m_pOthers = std::make_unique<std::vector<int>>();
    if (std::find(m_pOthers->begin(), m_pOthers->end(), code) == m_pOthers->end()) m_pOthers->push_back(code);
}

void NotificationSender::CodeSet::Remove(int code) {
    if (InBits(code)) {
        m_bits[code >> 6] &= ~(std::uint64_t{1} << (code & 63));
        return;
    }
    if (m_pOthers) m_pOthers->erase(std::remove(m_pOthers->begin(), m_pOthers->end(), code), m_pOthers->end());
}

bool NotificationSender::AddValidMessage(INotificationReceiver* receiver, int code) {
    Entry* e = Lookup(receiver);
    if (!e) return false;
    e->validCodes.Add(code);
    return true;
}

bool NotificationSender::RemoveValidMessage(INotificationReceiver* receiver, int code) {
    Entry* e = Lookup(receiver);
    if (!e) return false;
    e->validCodes.Remove(code);
    return true;
}

bool NotificationSender::HoldNotificationForReceiver(INotificationReceiver* receiver, bool hold) {
    Entry* e = Lookup(receiver);
    if (!e) return false;
    e->held = hold;
    return true;
}

void NotificationSender::SendAMessage(int code, const CPString& text, void* data) {
    // Receivers may change the registrations, or destroy this sender, while being notified:
    // walk a snapshot of who was registered and re-check each one just before delivering.
    std::vector<std::uint64_t> snapshot;
    const auto count = static_cast<std::size_t>(GetNumberOfReceivers());
    snapshot.reserve(count);
    for (std::size_t i = 0; i < count; ++i) snapshot.push_back(EntryAt(i).serial);
    // The text may belong to a receiver or to this sender; keep a copy of our own.
    const CPString message = text;
    // The frame is taken off the chain when the dispatch ends, unless the sender is gone.
    struct Frame {
        Dispatch dispatch;
        Dispatch*& chain;
        explicit Frame(Dispatch*& c) : chain(c) {
            dispatch.outer = chain;
            chain = &dispatch;
        }
        ~Frame() {
            if (dispatch.alive) chain = dispatch.outer;
        }
    } frame(m_pDispatch);

    for (std::uint64_t serial : snapshot) {
        Entry* e = LookupSerial(serial);
        if (!e || e->held) continue;
        if (!e->validCodes.Empty() && !e->validCodes.Has(code)) continue;
        e->receiver->NotifyChange(code, message, data);
        if (!frame.dispatch.alive) return;
    }
}
