#pragma once
// What the journal must show first after a viewer's engine sent it a notice.
#include "lumeth/Session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

struct EngineNoticeCase {
    int code;
    const char* text;
    SessionEvent event;
    const char* key;
    const char* journalText;
    int number;
};

// Sends the notice and checks the journal's first new entry; answers every new entry.
inline std::vector<SessionEntry> ExpectNoticeInJournal(const std::function<void(int code, const char* text)>& send,
                                                       const EngineNoticeCase& c) {
    const std::uint64_t before = Session::Instance().NextSequence() - 1;
    send(c.code, c.text);
    const std::vector<SessionEntry> entries = Session::Instance().EntriesSince(before);
    EXPECT_FALSE(entries.empty()) << c.code;
    if (entries.empty()) return entries;
    EXPECT_EQ(c.event, entries[0].event) << c.code << " " << c.text;
    EXPECT_EQ(c.key, entries[0].key) << c.code;
    EXPECT_EQ(c.journalText, entries[0].text) << c.code;
    EXPECT_EQ(c.number, entries[0].number) << c.code;
    return entries;
}
