#pragma once
// The host's road to the status line: what the module last showed on one line of it (long runs
// such as the network optimiser report their progress there). C linkage, looked up by name after
// dlopen.
extern "C" {
// The text last shown on status line `level` (empty when none was). Copies into `out` (of `size`
// bytes, zero-ended) and returns the bytes the whole text needs with its zero.
int KestrinStatusLine(int level, char* out, int size);
}
