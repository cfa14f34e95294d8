#pragma once
// The scenario forms' entries of the message catalogue: status words, method and option names,
// formula labels and the refusals of a typed value.
#include "lumeth/ExtractionMessages.h"

// The entries and their number.
const MessageText* ScenarioMessageTexts(std::size_t& count);
