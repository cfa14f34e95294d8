#pragma once
// Steps the views' command tables share: splitting a command line into its word and the rest,
// and bracketing a long engine operation with the busy signal and a status line.
#include "lumeth/Framework.h"
#include "lumeth/Session.h"
#include "lumeth/Text.h"
#include "lumeth/Viewable.h"

#include <cctype>

namespace view_commands {

// The first word of a line and the rest after the blanks that follow it.
inline void token(const Text& line, Text& word, Text& rest) {
    std::size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    std::size_t end = i;
    while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
    word = Text(line.substr(i, end - i));
    while (end < line.size() && std::isspace(static_cast<unsigned char>(line[end]))) ++end;
    rest = Text(line.substr(end));
}

// A long operation: busy, a status line, the work, the status cleared, not busy.
template <typename Work>
void longOperation(const Text& status, Work work) {
    SignalBusy(true);
    Viewable::UserStatusReport(status, 2);
    work();
    Viewable::UserStatusClear(2);
    SignalBusy(false);
}

// An operation under the busy signal alone.
template <typename Work>
void busy(Work work) {
    SignalBusy(true);
    work();
    SignalBusy(false);
}

}  // namespace view_commands
