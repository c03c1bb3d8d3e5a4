// Lines, words, numbers and texts of the script language.
#include "stand_in_host/script.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>

#include "names/name_text.h"

namespace {

constexpr std::string_view Blanks = " \t";

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string WindowsPath(const std::string& path) {
    return !path.empty() && path[0] == '/' ? "Z:" + path : path;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    std::ifstream file(WindowsPath(path));
    if (!file) throw ScriptError("cannot read " + path);
    return ReadLines(file);
}

Script ReadScript(const std::string& path) {
    Script script{path, {}};
    const std::vector<std::string> raw = path == "-" ? ReadLines(std::cin) : ReadTextLines(path);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::size_t start = raw[i].find_first_not_of(Blanks);
        if (start == std::string::npos || raw[i][start] == '#') continue;
        script.lines.push_back({static_cast<int>(i + 1), raw[i].substr(start)});
    }
    return script;
}

bool Words::AtEnd() const {
    return rest_.find_first_not_of(Blanks) == std::string_view::npos;
}

std::string Words::Word() {
    const std::size_t start = rest_.find_first_not_of(Blanks);
    if (start == std::string_view::npos) {
        rest_ = {};
        return "";
    }
    rest_.remove_prefix(start);
    const std::size_t end = std::min(rest_.find_first_of(Blanks), rest_.size());
    std::string word(rest_.substr(0, end));
    rest_.remove_prefix(end);
    return word;
}

// Decimal, or hexadecimal after "0x": a leading 0 is no octal sign ("010" is ten).
long long Words::Number(long long low, long long high) {
    const std::string word = Word();
    if (word.empty()) throw ScriptError("a number is missing");
    const std::string_view digits = std::string_view(word).substr(word[0] == '-' ? 1 : 0);
    const bool hex = digits.starts_with("0x") || digits.starts_with("0X");
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(word.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || errno != 0 || value < low || value > high) {
        throw ScriptError("'" + word + "' is not a number in range");
    }
    return value;
}

std::uint32_t Words::Address() {
    return static_cast<std::uint32_t>(Number(0, 0xFFFFFFFFLL));
}

int Words::Int() {
    return static_cast<int>(Number(INT_MIN, INT_MAX));
}

bool Words::OnOff() {
    const std::string word = Word();
    if (word != "on" && word != "off") throw ScriptError("'" + word + "' is neither on nor off");
    return word == "on";
}

std::string Words::Text() {
    const std::string raw = Rest();
    const std::optional<std::string> text = Unescaped(raw);
    if (!text) throw ScriptError("bad escape in '" + raw + "'");
    if (text->empty()) throw ScriptError("a text is missing");
    return *text;
}

std::string Words::Rest() {
    const std::size_t start = rest_.find_first_not_of(Blanks);
    std::string rest(start == std::string_view::npos ? "" : rest_.substr(start));
    rest_ = {};
    return rest;
}

void Words::End() const {
    if (!AtEnd()) throw ScriptError("unexpected '" + std::string(rest_) + "'");
}
