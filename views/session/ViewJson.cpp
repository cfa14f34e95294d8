#include "views/session/ViewJson.h"

#include <cmath>

Text ViewJsonText(const Text& s) {
    Text out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c < 0x20) out += FormattedText("\\u%04x", c);
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

Text ViewJsonNumber(double v) { return std::isfinite(v) ? FormattedText("%.10g", v) : Text("null"); }
