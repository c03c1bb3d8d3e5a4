// Escaping and reading back names, a line each.
#include "names/name_text.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <stdexcept>

std::string Escaped(std::string_view name) {
    std::string text;
    for (const char character : name) {
        const auto c = static_cast<unsigned char>(character);
        if (c == '\\') {
            text += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            text += character;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned byte = 0;
        if (text[i] != '\\') {
            name += text[i];
        } else if (text.substr(i, 2) == "\\\\") {
            name += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' &&
                   std::from_chars(text.data() + i + 2, text.data() + i + 4, byte, 16).ptr ==
                       text.data() + i + 4) {
            name += static_cast<char>(byte);
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return name;
}

std::vector<std::string> ReadNames(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> names;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::optional<std::string> name = Unescaped(line);
        if (!name || name->empty()) {
            throw std::runtime_error(path + ":" + std::to_string(number) + ": no name");
        }
        names.push_back(*name);
    }
    return names;
}
