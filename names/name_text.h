// Names as lines of text, as the stand-in host's script language writes a text: any byte
// as itself but a backslash, written "\\", and a byte that is no printable ASCII, written
// "\xNN". So a name of any bytes, NUL and line ends among them, stands on one line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string Escaped(std::string_view name);

// Nothing where an escape is malformed.
std::optional<std::string> Unescaped(std::string_view text);

// The names of a file, one a line, with no empty line; throws std::runtime_error, naming
// the file and line, where it cannot read one.
std::vector<std::string> ReadNames(const std::string& path);
