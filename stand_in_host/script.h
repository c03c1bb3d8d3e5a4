// The script language's text: a script's lines, and the words, numbers and texts of one
// line. Blanks are spaces and tabs; '#' starts a comment line. A ScriptError says what is
// wrong; the runner adds FILE:LINE.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Line {
    int number;        // 1-based, counting every line of the file
    std::string text;  // without its leading blanks
};

struct Script {
    std::string path;
    std::vector<Line> lines;  // the lines with a command: no blank or comment lines
};

// Reads a script from path, or from standard input for "-".
Script ReadScript(const std::string& path);

// Reads the lines of a text file (CRLF or LF), or throws ScriptError.
std::vector<std::string> ReadTextLines(const std::string& path);

// A path as Windows reads it: "/x" becomes "Z:/x", Wine's drive for the Unix root.
std::string WindowsPath(const std::string& path);

// What follows the command on a line, taken word by word from the left.
class Words {
public:
    explicit Words(std::string_view text) : rest_(text) {}

    bool AtEnd() const;
    std::string Word();  // "" at the end of the line
    long long Number(long long low, long long high);
    std::uint32_t Address();
    int Int();
    bool OnOff();
    std::string Text();  // the rest of the line, with \xNN and \\ escapes; never empty
    std::string Rest();  // the rest of the line as it stands, blanks included
    void End() const;    // throws if a word is left

private:
    std::string_view rest_;
};
