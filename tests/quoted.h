// Text as a C-like literal, for transcripts and test messages: printable ASCII as it is,
// '"' and '\' escaped, any other byte as \xNN.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

inline std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char character : text) {
        const auto c = static_cast<unsigned char>(character);
        if (c == '"' || c == '\\') quoted += '\\';
        if (c >= 0x20 && c < 0x7F) {
            quoted += static_cast<char>(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            quoted += escaped;
        }
    }
    return quoted + '"';
}
