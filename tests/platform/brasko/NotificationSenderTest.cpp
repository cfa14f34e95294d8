#include "brasko/NotificationSender.h"

#include <gtest/gtest.h>

#include <ostream>
#include <functional>
#include <string>
#include <vector>

namespace {

// A receiver that logs what it gets and can run an action while being notified.
class Probe : public INotificationReceiver {
public:
    Probe(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
    void NotifyChange(int code, const CPString& text, void*) override {
        if (log_) log_->push_back(name_ + ":" + std::to_string(code) + (text.empty() ? "" : ":" + text));
        // Run a copy: the action may reset itself or delete this receiver.
        if (action) {
            const std::function<void()> run = action;
            run();
        }
    }
    std::function<void()> action;

private:
    std::string name_;
    std::vector<std::string>* log_;
};

// A receiver living on the heap that unregisters itself when destroyed, as views do.
class SelfRemovingProbe : public Probe {
public:
    SelfRemovingProbe(std::string name, std::vector<std::string>* log, INotificationSender* sender)
        : Probe(std::move(name), log), sender_(sender) {
        sender_->AddNotificationReceiver(this);
    }
    ~SelfRemovingProbe() override { sender_->RemoveNotificationReceiver(this); }

private:
    INotificationSender* sender_;
};

// Which codes reach a receiver, by its valid-message set and its hold.
struct FilterCase {
    const char* name;
    std::vector<int> valid;
    std::vector<int> removed;
    bool held;
    std::vector<std::string> expected;  // for the codes sent, in their order
    std::vector<int> sent = {24, 36, 60};
};

class ReceiverFilter : public ::testing::TestWithParam<FilterCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ReceiverFilter, DeliversOnlyTheCodesAskedFor) {
    NotificationSender sender;
    std::vector<std::string> log;
    Probe p("p", &log);
    ASSERT_TRUE(sender.AddNotificationReceiver(&p));
    for (int code : GetParam().valid) EXPECT_TRUE(sender.AddValidMessage(&p, code));
    for (int code : GetParam().removed) EXPECT_TRUE(sender.RemoveValidMessage(&p, code));
    EXPECT_TRUE(sender.HoldNotificationForReceiver(&p, GetParam().held));
    for (int code : GetParam().sent) sender.SendAMessage(code, "", nullptr);
    EXPECT_EQ(log, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReceiverFilter,
    ::testing::Values(FilterCase{"NoValidMessagesGetsAll", {}, {}, false, {"p:24", "p:36", "p:60"}},
                      FilterCase{"OnlyValidMessages", {24, 60}, {}, false, {"p:24", "p:60"}},
                      FilterCase{"DuplicateValidMessage", {36, 36}, {}, false, {"p:36"}},
                      FilterCase{"AllRemovedGetsAllAgain", {24}, {24}, false, {"p:24", "p:36", "p:60"}},
                      FilterCase{"OneOfTwoRemoved", {24, 36}, {24}, false, {"p:36"}},
                      FilterCase{"HeldGetsNothing", {}, {}, true, {}},
                      FilterCase{"HeldWithCodesGetsNothing", {36}, {}, true, {}},
                      FilterCase{"CodesAtTheEdgesOfTheSmallCodes", {0, 63, 64, 127}, {}, false,
                                 {"p:0", "p:63", "p:64", "p:127"}, {0, 1, 62, 63, 64, 65, 126, 127, 128}},
                      FilterCase{"LargeAndNegativeCodes", {128, -5, 1000, 7}, {1000}, false, {"p:-5", "p:128"},
                                 {-6, -5, 128, 129, 1000, 999}},
                      FilterCase{"OnlyALargeCodeRemovedGetsAllAgain", {500}, {500}, false, {"p:3", "p:500"}, {3, 500}},
                      FilterCase{"SmallCodeRemovedLargeKept", {5, 200}, {5}, false, {"p:200"}, {5, 200}}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

TEST(NotificationSenderTest, RegistrationRulesAndOrder) {
    NotificationSender sender;
    std::vector<std::string> log;
    Probe a("a", &log), b("b", &log);
    EXPECT_FALSE(sender.AddNotificationReceiver(nullptr));
    EXPECT_TRUE(sender.AddNotificationReceiver(&b));
    EXPECT_TRUE(sender.AddNotificationReceiver(&a));
    EXPECT_FALSE(sender.AddNotificationReceiver(&a));
    EXPECT_FALSE(sender.AddValidMessage(nullptr, 3));
    Probe stranger("s", &log);
    EXPECT_FALSE(sender.AddValidMessage(&stranger, 3));
    EXPECT_FALSE(sender.RemoveValidMessage(&stranger, 3));
    EXPECT_FALSE(sender.HoldNotificationForReceiver(&stranger, true));
    EXPECT_FALSE(sender.RemoveNotificationReceiver(&stranger));

    sender.SendAMessage(26, "Scenario 1", nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"b:26:Scenario 1", "a:26:Scenario 1"}));

    // Hold, then release: messages sent meanwhile are dropped, later ones arrive.
    log.clear();
    sender.HoldNotificationForReceiver(&b, true);
    sender.SendAMessage(1, "", nullptr);
    sender.HoldNotificationForReceiver(&b, false);
    sender.SendAMessage(2, "", nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "b:2", "a:2"}));
}

// Four receivers: a takes code 5 only, b every code, c is held, d takes code 6 only. One of them
// leaves and comes back. The others keep their order, codes and hold, and the one that returns
// comes last with none of its old settings, wherever it stood (the first receiver is kept apart
// from the later ones).
struct LeaveCase {
    const char* name;
    int leaving;  // 0..3: a, b, c or d
    std::vector<std::string> afterLeaving;
    std::vector<std::string> afterReturning;
};

class ReceiverLeaving : public ::testing::TestWithParam<LeaveCase> {};

[[maybe_unused]] void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ReceiverLeaving, OthersKeepOrderCodesAndHold) {
    NotificationSender sender;
    std::vector<std::string> log;
    Probe a("a", &log), b("b", &log), c("c", &log), d("d", &log);
    Probe* probes[] = {&a, &b, &c, &d};
    for (Probe* p : probes) ASSERT_TRUE(sender.AddNotificationReceiver(p));
    ASSERT_TRUE(sender.AddValidMessage(&a, 5));
    ASSERT_TRUE(sender.HoldNotificationForReceiver(&c, true));
    ASSERT_TRUE(sender.AddValidMessage(&d, 6));
    Probe* leaving = probes[GetParam().leaving];
    ASSERT_TRUE(sender.RemoveNotificationReceiver(leaving));
    EXPECT_FALSE(sender.RemoveNotificationReceiver(leaving));
    EXPECT_FALSE(sender.IsReceiverRegistered(leaving));
    EXPECT_EQ(3, sender.GetNumberOfReceivers());
    sender.SendAMessage(5, "", nullptr);
    sender.SendAMessage(6, "", nullptr);
    EXPECT_EQ(log, GetParam().afterLeaving);
    log.clear();
    ASSERT_TRUE(sender.AddNotificationReceiver(leaving));
    EXPECT_EQ(4, sender.GetNumberOfReceivers());
    sender.SendAMessage(5, "", nullptr);
    sender.SendAMessage(6, "", nullptr);
    EXPECT_EQ(log, GetParam().afterReturning);
}

INSTANTIATE_TEST_SUITE_P(
    Senders, ReceiverLeaving,
    ::testing::Values(LeaveCase{"FirstLeaves", 0, {"b:5", "b:6", "d:6"}, {"b:5", "a:5", "b:6", "d:6", "a:6"}},
                      LeaveCase{"SecondLeaves", 1, {"a:5", "d:6"}, {"a:5", "b:5", "d:6", "b:6"}},
                      LeaveCase{"LastLeaves", 3, {"a:5", "b:5", "b:6"}, {"a:5", "b:5", "d:5", "b:6", "d:6"}}),
    [](const ::testing::TestParamInfo<LeaveCase>& info) { return std::string(info.param.name); });

// Every receiver leaves, the first one first: the sender is empty and takes new ones again.
TEST(NotificationSenderTest, AllLeaveAndNewOnesArrive) {
    NotificationSender sender;
    std::vector<std::string> log;
    Probe a("a", &log), b("b", &log);
    ASSERT_TRUE(sender.AddNotificationReceiver(&a));
    ASSERT_TRUE(sender.AddNotificationReceiver(&b));
    ASSERT_TRUE(sender.RemoveNotificationReceiver(&a));
    ASSERT_TRUE(sender.RemoveNotificationReceiver(&b));
    EXPECT_EQ(0, sender.GetNumberOfReceivers());
    EXPECT_FALSE(sender.RemoveNotificationReceiver(&a));
    sender.SendAMessage(1, "", nullptr);
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(sender.AddNotificationReceiver(&b));
    ASSERT_TRUE(sender.AddNotificationReceiver(&a));
    sender.SendAMessage(2, "", nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"b:2", "a:2"}));
}

TEST(NotificationSenderTest, ReceiverRemovingItselfDuringDispatch) {
    NotificationSender sender;
    std::vector<std::string> log;
    Probe a("a", &log), b("b", &log), c("c", &log);
    for (Probe* p : {&a, &b, &c}) sender.AddNotificationReceiver(p);
    b.action = [&] { sender.RemoveNotificationReceiver(&b); };
    sender.SendAMessage(1, "", nullptr);
    sender.SendAMessage(2, "", nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "b:1", "c:1", "a:2", "c:2"}));
}

TEST(NotificationSenderTest, ReceiverDeletingItselfDuringDispatch) {
    NotificationSender sender;
    std::vector<std::string> log;
    Probe a("a", &log), c("c", &log);
    sender.AddNotificationReceiver(&a);
    auto* b = new SelfRemovingProbe("b", &log, &sender);
    sender.AddNotificationReceiver(&c);
    b->action = [b] { delete b; };
    sender.SendAMessage(1, "", nullptr);
    sender.SendAMessage(2, "", nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "b:1", "c:1", "a:2", "c:2"}));
    EXPECT_EQ(sender.GetNumberOfReceivers(), 2);
}

TEST(NotificationSenderTest, SenderDestroyedDuringItsOwnDispatch) {
    std::vector<std::string> log;
    auto* sender = new NotificationSender;
    Probe a("a", &log), b("b", &log);
    sender->AddNotificationReceiver(&a);
    sender->AddNotificationReceiver(&b);
    a.action = [&] {
        delete sender;
        sender = nullptr;
    };
    sender->SendAMessage(7, "bye", nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:7:bye"}));
    EXPECT_EQ(sender, nullptr);
}

// A receiver sends again from inside a dispatch and the sender is destroyed on b's delivery of
// one of the two messages. Destroyed in the inner dispatch, both dispatches stop there and the
// outer one delivers to nobody after it; destroyed after the inner one ended normally, the outer
// one, which took the watch back, still notices.
struct NestedDispatchCase {
    const char* name;
    const char* deleteOn;
    std::vector<std::string> log;
};

class NotificationSenderNested : public ::testing::TestWithParam<NestedDispatchCase> {};

// Listings and test names show the case by its name, not by its bytes.
[[maybe_unused]] void PrintTo(const NestedDispatchCase& c, std::ostream* os) { *os << c.name; }

TEST_P(NotificationSenderNested, TheSenderGoingIsNoticedByEveryDispatchStillRunning) {
    const NestedDispatchCase& param = GetParam();
    std::vector<std::string> log;
    auto* sender = new NotificationSender;
    Probe a("a", &log), b("b", &log), c("c", &log);
    sender->AddNotificationReceiver(&a);
    sender->AddNotificationReceiver(&b);
    sender->AddNotificationReceiver(&c);
    a.action = [&] {
        a.action = nullptr;
        sender->SendAMessage(2, "", nullptr);
    };
    b.action = [&] {
        if (log.back() != param.deleteOn) return;
        delete sender;
        sender = nullptr;
    };
    sender->SendAMessage(1, "", nullptr);
    EXPECT_EQ(log, param.log);
    EXPECT_EQ(sender, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Dispatches, NotificationSenderNested,
    ::testing::Values(NestedDispatchCase{"insideTheNestedOne", "b:2", {"a:1", "a:2", "b:2"}},
                      NestedDispatchCase{"afterTheNestedOneEnded", "b:1", {"a:1", "a:2", "b:2", "c:2", "b:1"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
