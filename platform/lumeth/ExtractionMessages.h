#pragma once
// The data extraction's entries of the message catalogue.
#include <cstddef>

struct MessageText {
    const char* key;
    const char* text;
};

// The entries and their number.
const MessageText* ExtractionMessageTexts(std::size_t& count);
