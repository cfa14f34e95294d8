#include "views/session/ViewJson.h"

#include "dunmor/Utf8.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// A name from a case written before names were held to UTF-8 may hold other bytes: each such
// byte is shown as U+FFFD, so the document stays JSON whatever the case holds.
Text ViewJsonText(const Text& s) {
    Text out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        std::uint32_t code = 0;
        const std::size_t length = DecodeUtf8(s, i, code);
        const auto c = static_cast<unsigned char>(s[i]);
        if (length == 0) out += "\xEF\xBF\xBD";
        else if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c < 0x20) out += FormattedText("\\u%04x", c);
        else out.append(s, i, length);
        i += length == 0 ? 1 : length;
    }
    return out + "\"";
}

Text ViewJsonNumber(double v) { return std::isfinite(v) ? FormattedText("%.10g", v) : Text("null"); }
