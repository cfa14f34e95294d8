#pragma once
// The one rule every command answers by, held by the dispatcher (SendViewableMessage), and every
// write of a cell by its dispatchers (SpecifyValue, SpecifyValueText): a command
// that shows an error message answers 0 and leaves the case as it was; one that answers 0 shows
// one message saying why (the view's own, a question declined, a file picker cancelled, or, where the view said nothing,
// "CommandNotDone"); a command that does part of its work answers 1 and lists what it did not do
// with NoteNotDone, a notice rather than an error.
#include "lumeth/Messages.h"
#include "lumeth/Text.h"

namespace CommandAnswer {
inline constexpr const char* NotDone = "CommandNotDone";
// What a name dropped or typed at a link that made or took no view answers with.
inline constexpr const char* NotAttached = "ObjectNotAttached";
}

// What a command that did part of its work did not do: a notice (ResponseMsg kind 1).
void NoteNotDone(const Text& key, const MessageParameters& parameters = {});
