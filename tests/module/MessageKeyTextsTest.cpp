// Every message key the engine and the views send reads as words: the sources are scanned for
// the calls that send a key (shown as an error or a question, looked up as a text, sent as an
// engine notice, or marked as a key a table holds for later) and each key found must have a text
// in the catalogue. A new key without a text fails here instead of reaching a user as a bare word.
#include "lumeth/Messages.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path sourceRoot() { return fs::path(KESTRIN_TEST_DATA).parent_path().parent_path(); }

// The source with its comments blanked out (string literals kept, line breaks kept).
std::string withoutComments(const std::string& s) {
    std::string out = s;
    enum { Code, Line, Block, String, Char } state = Code;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i], next = i + 1 < s.size() ? s[i + 1] : '\0';
        switch (state) {
            case Code:
                if (c == '/' && next == '/') state = Line, out[i] = ' ';
                else if (c == '/' && next == '*') state = Block, out[i] = ' ';
                else if (c == '"') state = String;
                else if (c == '\'') state = Char;
                break;
            case Line:
                if (c == '\n') state = Code;
                else out[i] = ' ';
                break;
            case Block:
                if (c == '*' && next == '/') out[i] = out[i + 1] = ' ', ++i, state = Code;
                else if (c != '\n') out[i] = ' ';
                break;
            case String:
            case Char:
                if (c == '\\') ++i;
                else if (c == (state == String ? '"' : '\'')) state = Code;
                break;
        }
    }
    return out;
}

// The argument of a call that starts at `at` (just past the opening parenthesis or a comma),
// up to the comma or parenthesis that ends it.
std::string argumentAt(const std::string& s, std::size_t at) {
    int depth = 0;
    bool inString = false;
    std::size_t i = at;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            if (depth-- == 0) break;
        } else if (c == ',' && depth == 0) {
            break;
        }
    }
    return s.substr(at, i - at);
}

// The string literals of an argument (both sides of a choice between keys).
std::vector<std::string> literalsOf(const std::string& argument) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] == '\'') {
            for (++i; i < argument.size() && argument[i] != '\''; ++i)
                if (argument[i] == '\\') ++i;
            continue;
        }
        if (argument[i] != '"') continue;
        std::string literal;
        for (++i; i < argument.size() && argument[i] != '"'; ++i) {
            if (argument[i] == '\\' && i + 1 < argument.size()) literal += argument[i++];
            literal += argument[i];
        }
        found.push_back(literal);
    }
    return found;
}

using KeyPlaces = std::map<std::string, std::string>;  // key -> first place it is sent from

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::size_t skipBlanks(const std::string& s, std::size_t at) {
    while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
    return at;
}

std::string trimmed(const std::string& s) {
    const std::size_t a = skipBlanks(s, 0);
    std::size_t b = s.size();
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

// Calls whose first argument is the key (shown as an error or a question, looked up as a text,
// sent by the engine, or marked as a key a table holds).
const std::set<std::string> kSenders = {"ErrorMsg",       "ResponseMsg", "FindString",
                                        "SendMessageKey", "showMessage", "MessageKey"};
// Engine notices that carry a message key after their code (60 a message, 61 a question).
const std::set<std::string> kNotices = {"SendChange", "SendAMessage", "Send"};
const std::set<std::string> kMessageCodes = {"60", "61", "ChangeMessage"};

void collect(const std::string& text, const std::string& file, KeyPlaces& keys) {
    int line = 1;
    const auto take = [&](const std::string& argument) {
        for (const std::string& key : literalsOf(argument)) keys.emplace(key, file + ":" + std::to_string(line));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (c == '"' || c == '\'') {
            // Past a literal: no word inside it is a call.
            for (++i; i < text.size() && text[i] != c; ++i)
                if (text[i] == '\\') ++i;
            continue;
        }
        if (!(std::isalpha(static_cast<unsigned char>(c)) || c == '_') || (i > 0 && isWordChar(text[i - 1]))) continue;
        std::size_t end = i;
        while (end < text.size() && isWordChar(text[end])) ++end;
        const std::string word = text.substr(i, end - i);
        const std::size_t next = skipBlanks(text, end);
        if (next < text.size() && text[next] == '(') {
            if (kSenders.count(word)) take(argumentAt(text, next + 1));
            if (kNotices.count(word)) {
                const std::string code = argumentAt(text, next + 1);
                const std::size_t comma = next + 1 + code.size();
                if (kMessageCodes.count(trimmed(code)) && comma < text.size() && text[comma] == ',')
                    take(argumentAt(text, comma + 1));
            }
        } else if (word.size() > 8 && word[0] == 'k' && word.compare(word.size() - 7, 7, "Message") == 0 &&
                   next + 1 < text.size() && text[next] == '=' && text[next + 1] != '=') {
            // A named message key ("kUnknownUtilityMessage = ...") that a notice or refusal hands on.
            const std::size_t value = skipBlanks(text, next + 1);
            if (value < text.size() && text[value] == '"') {
                std::size_t close = value + 1;
                while (close < text.size() && text[close] != '"') close += text[close] == '\\' ? 2 : 1;
                take(text.substr(value, close + 1 - value));
            }
        }
        i = end - 1;
    }
}

KeyPlaces sentKeys() {
    KeyPlaces keys;
    const fs::path root = sourceRoot();
    for (const char* room : {"eng", "views", "module", "platform"}) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / room)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            collect(withoutComments(bytes.str()), fs::relative(entry.path(), root).string(), keys);
        }
    }
    return keys;
}

// A key built with a number ("Step%dStaticTextInExtraction") stands for a family of keys: the
// catalogue must hold at least one of them.
bool hasText(const std::string& key) {
    const std::size_t first = key.find("%d");
    if (first == std::string::npos) return MessageCatalogue::Instance().Contains(key);
    for (int a = 0; a < 20; ++a) {
        std::string one = key;
        one.replace(first, 2, std::to_string(a));
        const std::size_t second = one.find("%d");
        for (int b = 0; b < (second == std::string::npos ? 1 : 20); ++b) {
            std::string both = one;
            if (second != std::string::npos) both.replace(second, 2, std::to_string(b));
            if (MessageCatalogue::Instance().Contains(both)) return true;
        }
    }
    return false;
}

TEST(MessageKeyTexts, EveryKeyTheSourcesSendHasAText) {
    ASSERT_TRUE(fs::exists(sourceRoot() / "eng" / "core")) << sourceRoot();
    const KeyPlaces keys = sentKeys();
    // The scan finds the calls: a few keys every user meets are among them.
    for (const char* known : {"ThisScenarioNameAlreadyExists", "ConfirmDeleteHENDesign", "SameStreamErrorMsg",
                              "PickTotalSiteUtilityFromDropDownList", "TempBound", "SegmentStreams"})
        EXPECT_EQ(1u, keys.count(known)) << known << " was not found by the scan";
    std::string missing;
    int count = 0;
    for (const auto& [key, place] : keys)
        if (!hasText(key)) missing += "\n  \"" + key + "\" (" + place + ")", ++count;
    EXPECT_EQ(0, count) << count << " message key(s) without a text:" << missing;
}

}  // namespace
