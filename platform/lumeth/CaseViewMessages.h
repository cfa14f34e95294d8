#pragma once
// The case, project, scenario, stream and segment views' entries of the message catalogue, and
// those of the design edits and what-if events they show: names already taken, questions before
// a deletion, refused values and edits, imports, progress lines.
#include "lumeth/ExtractionMessages.h"

// The entries and their number.
const MessageText* CaseViewMessageTexts(std::size_t& count);
