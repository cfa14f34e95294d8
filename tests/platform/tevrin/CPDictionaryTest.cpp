#include "dunmor/Exceptions.h"
#include "tevrin/CPDictionary.h"
#include "tevrin/CPHashTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Keys(const CPDictionary& d) {
    std::string s;
    for (std::size_t i = 0; i < d.Length(); ++i) s += d.KeyAt(i) + ",";
    return s;
}

TEST(CPDictionaryTest, KeepsInsertionOrderWithPositionalAccess) {
    CPDictionary d(256);
    EXPECT_EQ(d._get_nNumberOfSlots(), 256);
    int v[4] = {0, 1, 2, 3};
    // Deliberately not alphabetical: positions follow the order of adding.
    EXPECT_EQ(d.AddKeyString("zeta", &v[0]), 1);
    EXPECT_EQ(d.AddKeyString("alpha", &v[1]), 1);
    EXPECT_EQ(d.AddKeyString("mid", &v[2]), 1);
    EXPECT_EQ(d.Length(), 3u);
    EXPECT_EQ(d[0], &v[0]);
    EXPECT_EQ(d[1], &v[1]);
    EXPECT_EQ(d[2], &v[2]);
    EXPECT_EQ(d[3], nullptr);
    EXPECT_EQ(Keys(d), "zeta,alpha,mid,");
    EXPECT_EQ(d.KeyAt(3), "");
    EXPECT_EQ(d.IndexOfKeyString("mid"), 2);
    EXPECT_EQ(d.IndexOfKeyString("none"), -1);
}

TEST(CPDictionaryTest, FirstRegistrationWins) {
    CPDictionary d;
    int first = 1, second = 2;
    EXPECT_EQ(d.AddKeyString("Key", &first), 1);
    EXPECT_EQ(d.AddKeyString("Key", &second), 0);
    EXPECT_EQ(d.FindKeyString("Key"), &first);
    EXPECT_EQ(d.Length(), 1u);
    // Keys are exact: another case is another key.
    EXPECT_EQ(d.AddKeyString("key", &second), 1);
    EXPECT_TRUE(d.ExistsKeyString("Key"));
    EXPECT_FALSE(d.ExistsKeyString("KEY"));
    EXPECT_EQ(d.FindKeyString("KEY"), nullptr);
}

TEST(CPDictionaryTest, RemoveAndRenameKeepTheRestInOrder) {
    CPDictionary d;
    int v[5] = {};
    const char* names[] = {"a", "b", "c", "d", "e"};
    for (int i = 0; i < 5; ++i) d.AddKeyString(names[i], &v[i]);
    const std::uint16_t xact = d._get_nXACT();
    EXPECT_EQ(d.RemoveKeyString("b"), &v[1]);
    EXPECT_EQ(d.RemoveKeyString("b"), nullptr);
    EXPECT_EQ(d._get_nXACT(), xact + 1);
    EXPECT_EQ(Keys(d), "a,c,d,e,");
    EXPECT_EQ(d[1], &v[2]);

    EXPECT_EQ(d.RenameKeyString("d", "dd"), 1);
    EXPECT_EQ(d.RenameKeyString("d", "x"), 0);   // old key gone
    EXPECT_EQ(d.RenameKeyString("a", "c"), 0);   // new key taken
    EXPECT_EQ(d.RenameKeyString("a", "a"), 1);   // to itself: nothing to do
    EXPECT_EQ(Keys(d), "a,c,dd,e,");
    EXPECT_EQ(d.FindKeyString("dd"), &v[3]);
    EXPECT_FALSE(d.ExistsKeyString("d"));
    EXPECT_EQ(d.AddKeyString("b", &v[1]), 1);  // a removed key can come back, at the end
    EXPECT_EQ(Keys(d), "a,c,dd,e,b,");
}

TEST(CPDictionaryTest, ForEachVisitsValuesAndEntriesInOrder) {
    CPDictionary d;
    int v[3] = {10, 20, 30};
    d.AddKeyString("x", &v[0]);
    d.AddKeyCardinal(5, &v[1]);
    d.AddKeyString("z", &v[2]);
    int sum = 0;
    d.ForEach([](void* item, void* ctx) { *static_cast<int*>(ctx) = *static_cast<int*>(ctx) * 100 + *static_cast<int*>(item); }, &sum);
    EXPECT_EQ(sum, (10 * 100 + 20) * 100 + 30);

    std::string seen;
    d.ForEachEntry([](void* item, void* ctx) {
        auto* e = static_cast<DictionaryEntry*>(item);
        *static_cast<std::string*>(ctx) += (e->bHasKey ? e->key : CPString("#" + std::to_string(e->ulKey))) + "=" +
                                            std::to_string(*static_cast<int*>(e->value)) + ";";
    }, &seen);
    EXPECT_EQ(seen, "x=10;#5=20;z=30;");
}

TEST(CPDictionaryTest, MatchesAnOrderedModelUnderRandomAddsAndRemoves) {
    // The model: keys in insertion order. Every step checks positions both ways.
    std::mt19937 rng(12345);
    CPDictionary d;
    std::vector<std::string> model;
    static int token;
    for (int step = 0; step < 4000; ++step) {
        const std::string key = "k" + std::to_string(rng() % 300);
        const bool present = std::find(model.begin(), model.end(), key) != model.end();
        if (rng() % 3 != 0) {
            EXPECT_EQ(d.AddKeyString(key, &token), present ? 0 : 1);
            if (!present) model.push_back(key);
        } else {
            EXPECT_EQ(d.RemoveKeyString(key) != nullptr, present);
            model.erase(std::remove(model.begin(), model.end(), key), model.end());
        }
        ASSERT_EQ(d.Length(), model.size());
        const std::size_t probe = model.empty() ? 0 : rng() % model.size();
        if (!model.empty()) {
            ASSERT_EQ(d.KeyAt(probe), model[probe]) << "step " << step;
            ASSERT_EQ(d.IndexOfKeyString(model[probe]), static_cast<std::int64_t>(probe));
        }
    }
    for (std::size_t i = 0; i < model.size(); ++i) ASSERT_EQ(d.KeyAt(i), model[i]);
    EXPECT_EQ(d.KeyAt(model.size()), "");
}

// Keys are found, renamed and taken out through the index whatever the table has grown through or
// had shifted back after a removal: every key of the model is found, and a key
// it does not hold (one removed, renamed away or never added) is not.
TEST(CPDictionaryTest, FindsEveryKeyItHoldsAndNoOtherUnderAddsRemovesAndRenames) {
    std::mt19937 rng(2024);
    CPDictionary d;
    std::vector<std::string> model;
    std::vector<int> values(2000);
    const auto key = [](unsigned k) { return "stream " + std::to_string(k); };
    for (int step = 0; step < 20000; ++step) {
        const unsigned k = rng() % 2000;
        const auto at = std::find(model.begin(), model.end(), key(k));
        const bool present = at != model.end();
        switch (rng() % 4) {
        case 0:
        case 1:
            ASSERT_EQ(d.AddKeyString(key(k), &values[k]), present ? 0 : 1);
            if (!present) model.push_back(key(k));
            break;
        case 2:
            ASSERT_EQ(d.RemoveKeyString(key(k)) != nullptr, present);
            if (present) model.erase(at);
            break;
        default: {
            const unsigned to = rng() % 2000;
            const bool taken = std::find(model.begin(), model.end(), key(to)) != model.end();
            ASSERT_EQ(d.RenameKeyString(key(k), key(to)), present && (!taken || to == k) ? 1 : 0);
            if (present && !taken) *at = key(to);
        }
        }
        const unsigned probe = rng() % 2000;
        const bool held = std::find(model.begin(), model.end(), key(probe)) != model.end();
        ASSERT_EQ(d.FindKeyString(key(probe)) != nullptr, held) << "step " << step;
    }
    ASSERT_EQ(d.Length(), model.size());
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(d.KeyAt(i), model[i]);
        ASSERT_EQ(d.IndexOfKeyString(model[i]), static_cast<std::int64_t>(i));
    }
}

}  // namespace
