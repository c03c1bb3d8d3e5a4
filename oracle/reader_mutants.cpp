// The mutants of the reader's lines, for scripts/mutate-reader: each is one line of a source
// file changed by one of the usual operators, printed as "FILE<TAB>LINE<TAB>OPERATOR<TAB>TEXT",
// TEXT being the whole changed line (empty for a deleted statement). The operators:
// - cmp: a comparison reversed, loosened or tightened (< <= > >= == !=);
// - const: an integer or character constant moved by one;
// - logic: && and || swapped, or one side of one dropped;
// - delete: a statement of one line deleted;
// - invert: the condition of an if or a while, or a test of a dialect's trait, inverted.
// A line is read as clang-format writes this project's code: a binary operator has a blank
// on each side, a template's brackets none. Comments, preprocessor lines and string
// literals are left alone. A mutant that does not compile is the script's to find.
//
//   reader_mutants FILE[:FIRST-LAST[,FIRST-LAST]...]...
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Where a byte of the line stands: code, or inside a literal or a comment.
std::vector<bool> CodeBytes(const std::string& line, std::size_t& end) {
    std::vector<bool> code(line.size(), false);
    end = line.size();
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (quote != 0) {
            if (line[i] == '\\')
                ++i;
            else if (line[i] == quote)
                quote = 0;
            continue;
        }
        if (line.compare(i, 2, "//") == 0) {
            end = i;
            break;
        }
        if (line[i] == '"' || line[i] == '\'') {
            quote = line[i];
            continue;
        }
        code[i] = true;
    }
    while (end > 0 && line[end - 1] == ' ') --end;
    return code;
}

bool IsWordByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

struct Mutant {
    std::string op;
    std::string text;
};

class Mutator {
public:
    explicit Mutator(std::string line) : line_(std::move(line)) {
        code_ = CodeBytes(line_, end_);
        body_ = line_.substr(0, end_);
    }

    std::vector<Mutant> All() {
        const std::size_t first = body_.find_first_not_of(' ');
        if (first == std::string::npos || body_[first] == '#') return {};
        Comparisons();
        Constants();
        Logic();
        Deletion(first);
        Inversions();
        return mutants_;
    }

private:
    bool Code(std::size_t at) const { return at < end_ && code_[at]; }
    void Add(const std::string& op, std::string text) {
        if (text != body_ && seen_.insert(text).second) mutants_.push_back({op, std::move(text)});
    }
    std::string Replace(std::size_t at, std::size_t length, const std::string& with) const {
        return body_.substr(0, at) + with + body_.substr(at + length);
    }

    void Comparisons() {
        static const std::pair<std::string, std::vector<std::string>> Table[] = {
            {" < ", {" <= ", " > "}},  {" <= ", {" < ", " >= "}}, {" > ", {" >= ", " < "}},
            {" >= ", {" > ", " <= "}}, {" == ", {" != "}},        {" != ", {" == "}},
        };
        for (const auto& [op, replacements] : Table) {
            for (std::size_t at = body_.find(op); at != std::string::npos;
                 at = body_.find(op, at + 1)) {
                if (!Code(at + 1)) continue;
                for (const std::string& with : replacements) {
                    Add("cmp", Replace(at, op.size(), with));
                }
            }
        }
    }

    void Constants() {
        for (std::size_t at = 0; at < end_; ++at) {
            if (!Code(at)) {
                // A character literal: its byte moved by one, where both neighbours print.
                if (body_[at] == '\'' && at + 2 < end_ && body_[at + 1] != '\\' &&
                    body_[at + 2] == '\'') {
                    const char c = body_[at + 1];
                    if (c > ' ' && c < '~') {
                        for (const int step : {1, -1}) {
                            const char moved = static_cast<char>(c + step);
                            if (moved == '\'' || moved == '\\') continue;
                            Add("const", Replace(at + 1, 1, std::string(1, moved)));
                        }
                    }
                    at += 2;
                }
                continue;
            }
            if (!std::isdigit(static_cast<unsigned char>(body_[at])) ||
                (at > 0 && (IsWordByte(body_[at - 1]) || body_[at - 1] == '.'))) {
                continue;
            }
            std::size_t length = 0;
            unsigned long long value = 0;
            try {
                value = std::stoull(body_.substr(at), &length, 0);
            } catch (...) {
                continue;
            }
            const bool hex = body_.compare(at, 2, "0x") == 0 || body_.compare(at, 2, "0X") == 0;
            const auto spell = [hex](unsigned long long v) {
                char text[32];
                std::snprintf(text, sizeof text, hex ? "0x%llX" : "%llu", v);
                return std::string(text);
            };
            Add("const", Replace(at, length, spell(value + 1)));
            if (value > 0) Add("const", Replace(at, length, spell(value - 1)));
            at += length;
        }
    }

    // Whether the code byte at p ends an operand at its own depth: a comma, a semicolon, a
    // '?' or a ':' of a conditional, or the first byte of "&&" or "||".
    bool Delimits(std::size_t p) const {
        const char c = body_[p];
        if (c == ',' || c == ';' || c == '?') return true;
        if (c == ':')
            return (p == 0 || body_[p - 1] != ':') && (p + 1 >= end_ || body_[p + 1] != ':');
        return (c == '&' || c == '|') && p + 1 < end_ && body_[p + 1] == c;
    }

    // The extent of the operand that ends before at (left) or starts at at (right): a run
    // of balanced brackets up to a delimiter at its own depth, an unmatched bracket, a
    // "return" or an assignment.
    std::pair<std::size_t, std::size_t> Operand(std::size_t at, bool left) const {
        int depth = 0;
        std::size_t i = at;
        if (left) {
            for (; i > 0; --i) {
                if (depth == 0 && i >= 7 && body_.compare(i - 7, 7, "return ") == 0) break;
                if (depth == 0 && i >= 3 && body_.compare(i - 3, 3, " = ") == 0) break;
                const std::size_t p = i - 1;
                if (!Code(p)) continue;
                const char c = body_[p];
                if (c == ')' || c == ']') ++depth;
                if (c == '(' || c == '[' || c == '{') {
                    if (depth == 0) break;
                    --depth;
                }
                if (depth == 0 && p > 0 && Delimits(p - 1) && (c == '&' || c == '|')) break;
                if (depth == 0 && (c == ',' || c == ';' || c == '?')) break;
            }
            while (i < at && body_[i] == ' ') ++i;
            return {i, at};
        }
        for (; i < end_; ++i) {
            if (!Code(i)) continue;
            const char c = body_[i];
            if (c == '(' || c == '[' || c == '{') ++depth;
            if (c == ')' || c == ']' || c == '}') {
                if (depth == 0) break;
                --depth;
            }
            if (depth == 0 && Delimits(i)) break;
        }
        while (i > at && body_[i - 1] == ' ') --i;
        return {at, i};
    }

    void Logic() {
        for (const std::string op : {" && ", " || "}) {
            for (std::size_t at = body_.find(op); at != std::string::npos;
                 at = body_.find(op, at + 1)) {
                if (!Code(at + 1)) continue;
                Add("logic", Replace(at, op.size(), op == " && " ? " || " : " && "));
                const auto [leftStart, leftEnd] = Operand(at, true);
                const auto [rightStart, rightEnd] = Operand(at + op.size(), false);
                if (leftStart < leftEnd) {
                    Add("logic", body_.substr(0, leftStart) + body_.substr(rightStart));
                }
                if (rightStart < rightEnd)
                    Add("logic", body_.substr(0, leftEnd) + body_.substr(rightEnd));
            }
        }
    }

    // A statement of one line: it ends in ';' and its brackets balance.
    void Deletion(std::size_t first) {
        if (body_.empty() || body_.back() != ';') return;
        int depth = 0;
        for (std::size_t i = first; i < end_; ++i) {
            if (!Code(i)) continue;
            if (body_[i] == '(' || body_[i] == '[' || body_[i] == '{') ++depth;
            if (body_[i] == ')' || body_[i] == ']' || body_[i] == '}') --depth;
            if (depth < 0) return;
        }
        if (depth == 0) Add("delete", "");
    }

    void Inversions() {
        for (const std::string keyword : {"if (", "while ("}) {
            for (std::size_t at = body_.find(keyword); at != std::string::npos;
                 at = body_.find(keyword, at + 1)) {
                if (!Code(at) || (at > 0 && IsWordByte(body_[at - 1]))) continue;
                const std::size_t open = at + keyword.size() - 1;
                int depth = 0;
                std::size_t close = open;
                for (; close < end_; ++close) {
                    if (!Code(close)) continue;
                    if (body_[close] == '(') ++depth;
                    if (body_[close] == ')' && --depth == 0) break;
                }
                if (close >= end_) continue;
                const std::string condition = body_.substr(open + 1, close - open - 1);
                Add("invert", Replace(open + 1, condition.size(), "!(" + condition + ")"));
            }
        }
        for (std::size_t at = body_.find("Has("); at != std::string::npos;
             at = body_.find("Has(", at + 1)) {
            if (!Code(at) || (at > 0 && (IsWordByte(body_[at - 1]) || body_[at - 1] == '.')))
                continue;
            Add("invert", Replace(at, 0, "!"));
        }
    }

    std::string line_;
    std::string body_;  // the line without its comment
    std::size_t end_ = 0;
    std::vector<bool> code_;
    std::vector<Mutant> mutants_;
    std::set<std::string> seen_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: reader_mutants FILE[:FIRST-LAST[,FIRST-LAST]...]...\n";
        return 2;
    }
    for (int a = 1; a < argc; ++a) {
        const std::string argument = argv[a];
        const std::size_t colon = argument.find(':');
        const std::string path = argument.substr(0, colon);
        std::vector<std::pair<int, int>> ranges;
        if (colon != std::string::npos) {
            for (std::size_t at = colon + 1; at < argument.size();) {
                std::size_t used = 0;
                const int low = std::stoi(argument.substr(at), &used);
                at += used;
                int high = low;
                if (at < argument.size() && argument[at] == '-') {
                    high = std::stoi(argument.substr(at + 1), &used);
                    at += used + 1;
                }
                ranges.emplace_back(low, high);
                if (at < argument.size() && argument[at] == ',') ++at;
            }
        }
        std::ifstream file(path);
        if (!file) {
            std::cerr << "reader_mutants: cannot read " << path << "\n";
            return 2;
        }
        bool inBlockComment = false;
        int number = 0;
        for (std::string line; std::getline(file, line);) {
            ++number;
            if (inBlockComment) {
                inBlockComment = line.find("*/") == std::string::npos;
                continue;
            }
            if (line.find("/*") != std::string::npos && line.find("*/") == std::string::npos) {
                inBlockComment = true;
                continue;
            }
            bool wanted = ranges.empty();
            for (const auto& [low, high] : ranges)
                wanted = wanted || (number >= low && number <= high);
            if (!wanted) continue;
            for (const Mutant& mutant : Mutator(line).All()) {
                std::cout << path << '\t' << number << '\t' << mutant.op << '\t' << mutant.text
                          << '\n';
            }
        }
    }
    return 0;
}
