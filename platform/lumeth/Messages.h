#pragma once
// Message lookup by key and the error journal of the user-interface framework. Texts come from a
// catalogue that the host loads; an unknown key answers the key itself so nothing is ever blank.
#include "lumeth/Text.h"

#include <map>
#include <mutex>
#include <vector>

class MessageCatalogue {
public:
    static MessageCatalogue& Instance();

    // Text of a message key. `variant` selects an alternative text (0 = the label / main text).
    Text FindString(const Text& key, int variant = 0) const;
    void SetString(const Text& key, const Text& text);
    bool Contains(const Text& key) const;

private:
    MessageCatalogue();
    mutable std::mutex m_mutex;
    std::map<Text, Text> m_texts;
};

inline Text FindString(const Text& key, int variant = 0) {
    return MessageCatalogue::Instance().FindString(key, variant);
}

// The error messages shown to the user (by key): the error entries of the session journal.
class ErrorJournal {
public:
    static ErrorJournal& Instance();
    void Add(const Text& key, const Text& text);
    std::vector<Text> Keys() const;
    std::vector<Text> Texts() const;
    // Forgets the error entries (the rest of the journal stays).
    void Clear();
};

// Shows an error message identified by its key (recorded in the journal).
void ErrorMsg(const Text& key);

// The parameters of a message whose text is a format ("Stream %s has %d segments"), in order.
using MessageParameters = std::vector<Text>;
// A number as a message parameter (shortest text that reads back to the same double).
Text MessageParameter(double value);

// Fills a message format with its parameters: each conversion takes the next parameter, "%s"
// as text, an integer conversion ("%d", "%5i", "%x") as the parameter read as an integer, a
// floating one ("%.2f", "%g") as the parameter read as a number; "%%" is a percent sign. A
// parameter that is not a number gives 0 to a numeric conversion; a missing one gives nothing.
// Anything that is not a conversion of these kinds ("%n", "%*d", widths over 4 digits) is
// copied as it stands, so a catalogue text can never make the formatting read memory it was
// not given. A text with no conversion gets its parameters appended, separated by blanks.
Text FormatMessage(const Text& format, const MessageParameters& parameters);

// A notice that names what it speaks of (a stream, a scenario: names may hold blanks) carries its
// texts after its key, each after a unit separator (0x1f). No name can break the notice apart: a
// control character in a text is given as '?'.
Text NoticeWithTexts(const Text& key, const MessageParameters& texts);
// Splits such a notice into its key and its texts; false, with nothing set, for a notice that
// carries none.
bool SplitNoticeTexts(const Text& notice, Text& key, MessageParameters& texts);
