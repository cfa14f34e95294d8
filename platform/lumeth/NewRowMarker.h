#pragma once
// The text of the row after the last of a list of names, typing into which adds an object. No
// object may take it as its name, in any case of letters: it would look like that row, and a
// click on it would add.
#include <strings.h>

inline constexpr const char* kNewRowMarker = "**New**";

inline bool IsNewRowMarker(const char* name) { return name && strcasecmp(name, kNewRowMarker) == 0; }
