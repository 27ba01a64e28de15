// A text as a JSON string literal (Json.h).

#include "Json.h"

#include <cstdio>

namespace kolvenv {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escape[8];
                    (void)std::snprintf(escape, sizeof escape, "\\u%04x", byte);  // 6 characters
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace kolvenv
