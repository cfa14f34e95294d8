#pragma once
// How the module's C entries hand a text to the host: into the caller's buffer, cut to fit and
// always terminated.
#include "lumeth/Text.h"

// Copies `text` into `out` (at most size - 1 bytes and a terminating zero; nothing when `out` is
// null or `size` not positive) and answers the bytes the whole text needs, its zero included, so
// a caller whose buffer was short can ask again.
int HandOutText(const Text& text, char* out, int size);
