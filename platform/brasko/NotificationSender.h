#pragma once
// Change notifications from engine objects to the views that watch them. A sender delivers each
// numbered change code to the receivers registered with it; a receiver may narrow what it gets
// to a set of valid codes and may hold its notifications for a while.
#include "dunmor/CPString.h"

#include <cstdint>
#include <memory>
#include <vector>

class INotificationReceiver {
public:
    virtual ~INotificationReceiver() = default;
    virtual void NotifyChange(int code, const CPString& text, void* data) = 0;
};

class INotificationSender {
public:
    virtual ~INotificationSender() = default;
    // False for null or a receiver already registered.
    virtual bool AddNotificationReceiver(INotificationReceiver* receiver) = 0;
    // False when the receiver is not registered.
    virtual bool RemoveNotificationReceiver(INotificationReceiver* receiver) = 0;
    virtual void SendAMessage(int code, const CPString& text, void* data) = 0;
    // Narrows a registered receiver to the codes it names. A receiver that has named none gets
    // every code. False when the receiver is not registered.
    virtual bool AddValidMessage(INotificationReceiver* receiver, int code) = 0;
    virtual bool RemoveValidMessage(INotificationReceiver* receiver, int code) = 0;
    // While held, the receiver is passed over: messages sent meanwhile are dropped for it, not
    // queued. False when the receiver is not registered.
    virtual bool HoldNotificationForReceiver(INotificationReceiver* receiver, bool hold) = 0;
};

class NotificationSender : public virtual INotificationSender {
public:
    NotificationSender();
    // A copy is a new sender: nobody listens to it yet.
    NotificationSender(const NotificationSender& other);
    NotificationSender& operator=(const NotificationSender& other);
    ~NotificationSender() override;

    bool AddNotificationReceiver(INotificationReceiver* receiver) override;
    bool RemoveNotificationReceiver(INotificationReceiver* receiver) override;
    // Delivers to the receivers registered when the call starts. A receiver removed during the
    // dispatch (by itself or another, or in its destructor) is skipped from then on; one added
    // during the dispatch waits for the next message; a sender destroyed by a receiver stops.
    void SendAMessage(int code, const CPString& text, void* data) override;
    bool AddValidMessage(INotificationReceiver* receiver, int code) override;
    bool RemoveValidMessage(INotificationReceiver* receiver, int code) override;
    bool HoldNotificationForReceiver(INotificationReceiver* receiver, bool hold) override;

    int GetNumberOfReceivers() const {
        return m_first.receiver ? 1 + (m_pMore ? static_cast<int>(m_pMore->size()) : 0) : 0;
    }
    bool IsReceiverRegistered(const INotificationReceiver* receiver) const;

private:
    // The codes a receiver takes; none named means every code. Codes 0..127 are bits (every code
    // an engine sends lies there, and a scenario names eleven on each of its streams: a list per
    // stream would be an allocation per stream); any other code goes to a list made when needed.
    class CodeSet {
    public:
        bool Empty() const { return m_bits[0] == 0 && m_bits[1] == 0 && (!m_pOthers || m_pOthers->empty()); }
        bool Has(int code) const;
        void Add(int code);
        void Remove(int code);

    private:
        static bool InBits(int code) { return code >= 0 && code < 128; }
        std::uint64_t m_bits[2] = {0, 0};
        std::unique_ptr<std::vector<int>> m_pOthers;
    };
    struct Entry {
        INotificationReceiver* receiver = nullptr;
        // Tells a re-registration apart from the entry it replaced (a sender would need 2^63
        // registrations to run out); the hold shares its word.
        std::uint64_t serial : 63 = 0;
        std::uint64_t held : 1 = 0;
        CodeSet validCodes;
    };
    // Entry i in registration order (the first slot, then the others); i < GetNumberOfReceivers().
    Entry& EntryAt(std::size_t i) { return i == 0 ? m_first : (*m_pMore)[i - 1]; }
    bool HasMore() const { return m_pMore && !m_pMore->empty(); }
    Entry* Lookup(const INotificationReceiver* receiver);
    const Entry* Lookup(const INotificationReceiver* receiver) const;
    Entry* LookupSerial(std::uint64_t serial);

    // One dispatch under way (they nest when a receiver sends again): its frame lives on the
    // dispatching call's stack, and the destructor clears every frame's flag, so that a dispatch
    // in progress sees that the sender is gone. No allocation per sender: an engine holds one
    // sender per stream.
    struct Dispatch {
        bool alive = true;
        Dispatch* outer = nullptr;
    };

    // The receivers in registration order. Nearly every object has one receiver (its owner), so
    // the first is held in place and only a second one makes a list: no allocation per stream.
    // The list is empty whenever the first slot is (receiver null).
    Entry m_first;
    std::unique_ptr<std::vector<Entry>> m_pMore;
    std::uint64_t m_nextSerial = 1;
    Dispatch* m_pDispatch = nullptr;
};
