#pragma once
// The design forms' entries of the message catalogue: exchanger status words, the network's
// summary lines and the formats they are filled into.
#include "lumeth/ExtractionMessages.h"

// The entries and their number.
const MessageText* DesignViewerMessageTexts(std::size_t& count);
