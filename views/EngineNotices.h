#pragma once
// The engine's notices that every viewer shows the same way: 60 a message key with up to three
// numbers ("Key 1 2.5 3"), 61 a notice; either may instead carry texts after its key
// (NoticeWithTexts), 62 a trace line (an empty one clears the trace), 64
// status line 2 (empty clears it). Answers false for any other code, which the viewer handles itself.
#include "lumeth/Text.h"

bool ShowEngineNotice(int code, const Text& text);
