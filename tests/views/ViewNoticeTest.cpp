#include "brasko/NotificationSender.h"
#include "tests/support/ProbeView.h"

#include <gtest/gtest.h>

namespace {

// A view watching an engine object: it unregisters when it dies, and may die on a notice.
class WatchingView : public ProbeView, public INotificationReceiver {
public:
    WatchingView(Viewable* parent, const Text& name, NotificationSender& sender) : ProbeView(parent, name), m_sender(sender) {
        sender.AddNotificationReceiver(this);
    }
    ~WatchingView() override { m_sender.RemoveNotificationReceiver(this); }
    void NotifyChange(int code, const CPString&, void*) override {
        ++notices;
        if (code == 1 && removeOther) {
            WatchingView* other = removeOther;
            removeOther = nullptr;
            m_sender.RemoveNotificationReceiver(other);
        }
        if (code == 2 && dieOnTwo) delete this;
    }
    int notices = 0;
    bool dieOnTwo = false;
    WatchingView* removeOther = nullptr;

private:
    NotificationSender& m_sender;
};

TEST(ViewNotices, AViewDeletingItselfInANoticeAndAReceiverRemovedDuringDispatchAreClean) {
    ProbeRegistry registry;
    NotificationSender sender;
    auto* owner = new ProbeView(nullptr, "owner");
    auto* first = new WatchingView(owner, "first", sender);
    auto* second = new WatchingView(owner, "second", sender);
    auto* third = new WatchingView(owner, "third", sender);
    first->AddDeathPostee(owner);
    first->dieOnTwo = true;
    first->removeOther = second;

    sender.SendAMessage(1, "", nullptr);
    EXPECT_EQ(1, first->notices);
    EXPECT_EQ(0, second->notices);  // removed while the message was being dispatched
    EXPECT_EQ(1, third->notices);

    sender.SendAMessage(2, "", nullptr);  // first deletes itself inside its notice
    EXPECT_EQ(2, third->notices);
    EXPECT_EQ(1, sender.GetNumberOfReceivers());  // third; second was removed, first is gone
    ASSERT_EQ(1u, owner->deaths.size());
    EXPECT_EQ("first", owner->deaths[0].first);
    EXPECT_TRUE(owner->deaths[0].second);
    delete owner;  // second and third go with their owner and unregister
    EXPECT_EQ(0, sender.GetNumberOfReceivers());
}

}  // namespace
