#include "views/session/EntryText.h"

#include <algorithm>
#include <cstring>

int HandOutText(const Text& text, char* out, int size) {
    if (out && size > 0) {
        const std::size_t n = std::min(static_cast<std::size_t>(size - 1), text.size());
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(text.size()) + 1;
}
