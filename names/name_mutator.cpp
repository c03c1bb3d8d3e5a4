// The mutations of MutatedName. A name's random numbers come from splitmix64 over the seed
// and the index, so they do not depend on the C runtime or on any name made before.
#include "names/name_mutator.h"

#include <iterator>
#include <string_view>

namespace {

class Random {
public:
    Random(std::uint64_t seed, std::uint64_t index) : state_(seed ^ (index * 0xD1B54A32D192ED03)) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }
    // 0 to bound - 1; bound must not be 0.
    std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }

private:
    std::uint64_t state_;
};

// The bytes decorated names are made of.
constexpr std::string_view Alphabet =
    "?@$_0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Operator and special-name codes, template and data markers, and back-references: the
// places where an undecorator branches.
constexpr std::string_view Codes[] = {
    "?0",   "?1",   "?2",    "?3",    "?4",   "?5",   "?6",   "?7",   "?8",   "?9",   "?A",
    "?B",   "?C",   "?D",    "?E",    "?F",   "?G",   "?H",   "?I",   "?J",   "?K",   "?L",
    "?M",   "?N",   "?O",    "?P",    "?Q",   "?R",   "?S",   "?T",   "?U",   "?V",   "?W",
    "?X",   "?Y",   "?Z",    "?_0",   "?_1",  "?_2",  "?_3",  "?_4",  "?_5",  "?_6",  "?_7",
    "?_8",  "?_9",  "?_A",   "?_B",   "?_C",  "?_D",  "?_E",  "?_F",  "?_G",  "?_H",  "?_I",
    "?_J",  "?_K",  "?_L",   "?_M",   "?_N",  "?_O",  "?_P",  "?_Q",  "?_R",  "?_R0", "?_R1",
    "?_R2", "?_R3", "?_R4",  "?_S",   "?_T",  "?_U",  "?_V",  "?_W",  "?_X",  "?_Y",  "?_Z",
    "?__A", "?__B", "?__C",  "?__D",  "?__E", "?__F", "?__J", "?__K", "?__L", "?__M", "?__N",
    "?$",   "??$",  "?$?",   "??",    "?@",   "?%",   "@",    "@@",   "$$A",  "$$B",  "$$C",
    "$$F",  "$$H",  "$$Q",   "$$R",   "$$T",  "$$V",  "$$Z",  "$0",   "$1",   "$2",   "$B",
    "$C",   "$D",   "$E",    "$F",    "$G",   "$H",   "$I",   "$J",   "$Q",   "$R",   "$S",
    "?A0x", "?A",   "?B",    "?C",    "_E",   "_F",   "_J",   "_K",   "_N",   "_O",   "_W",
    "0",    "1",    "2",     "3",     "4",    "5",    "6",    "7",    "8",    "9",    "?0A",
    "?0?",  "V0@@", "PAV0@", "ABV1@", "$0A@", "$0?",  "$1?",  "$E?",  "$H?",  "8",    "6A",
    "P6AX", "P8",   "Y0",    "Y1",    "@8",   "@4",   "XZ",   "@Z",   "Z",    "@@Z",
};

constexpr std::size_t MaxLabel = 255;

// An array where the grammar lets one stand: after a pointer's or reference's qualifier,
// by value, or as a template argument ("$$B"); or alone, where the letters may read as a
// name. Its count is huge, negative, or spelled out by as many dimensions as it says.
std::string ArrayCode(Random& random) {
    constexpr std::string_view Holders[] = {"PA", "PB", "QA", "AA", "AB", "?A", "?B", "$$B", ""};
    std::string code(Holders[random.Below(std::size(Holders))]);
    code += 'Y';
    switch (random.Below(3)) {
        case 0:  // 2 to 8 hexadecimal digits: up to 4,294,967,295 dimensions
            for (std::size_t n = 2 + random.Below(7); n > 0; --n) {
                code += static_cast<char>('A' + random.Below(16));
            }
            code += '@';
            break;
        case 1:  // below zero: '?', then a digit or hexadecimal digits and '@'
            code += '?';
            if (random.Below(2) == 0) {
                code += static_cast<char>('0' + random.Below(10));
            } else {
                code += static_cast<char>('B' + random.Below(15));
                code += '@';
            }
            break;
        default: {  // 1 to 4 dimensions, each spelled
            const std::size_t count = 1 + random.Below(4);
            code += static_cast<char>('0' + count - 1);
            for (std::size_t n = count; n > 0; --n) {
                code += static_cast<char>('0' + random.Below(10));
            }
        }
    }
    return code;
}

std::string Mutate(std::string name, const std::vector<std::string>& pool, Random& random) {
    const std::size_t at = random.Below(name.size() + 1);
    switch (random.Below(7)) {
        case 0:  // a byte changed, mostly to one of the mangling's own
            if (at < name.size()) {
                name[at] = random.Below(8) == 0 ? static_cast<char>(1 + random.Below(255))
                                                : Alphabet[random.Below(Alphabet.size())];
            }
            break;
        case 1:  // cut short, or a piece taken out
            if (random.Below(2) == 0) {
                name.resize(at);
            } else {
                name.erase(at, 1 + random.Below(8));
            }
            break;
        case 2: {  // the front of this name, the back of another
            const std::string& other = pool[random.Below(pool.size())];
            name = name.substr(0, at) + other.substr(random.Below(other.size() + 1));
            break;
        }
        case 3: {  // a segment repeated
            const std::string segment = name.substr(at, 1 + random.Below(12));
            for (std::size_t n = 1 + random.Below(8); n > 0; --n) name.insert(at, segment);
            break;
        }
        case 4:  // an operator or special-name code
            name.insert(at, Codes[random.Below(std::size(Codes))]);
            break;
        case 5:  // a back-reference, plain or inside a template
            name.insert(at,
                        random.Below(2) == 0
                            ? std::string(1, static_cast<char>('0' + random.Below(10)))
                            : "?$" + std::string(1, Alphabet[random.Below(Alphabet.size())]) + "@");
            break;
        default:  // an array
            name.insert(at, ArrayCode(random));
            break;
    }
    return name;
}

}  // namespace

std::string MutatedName(const std::vector<std::string>& pool, std::uint64_t seed,
                        std::uint64_t index, int strength) {
    Random random(seed, index);
    std::string name = pool[random.Below(pool.size())];
    for (std::size_t n = 1 + random.Below(static_cast<std::size_t>(strength)); n > 0; --n) {
        name = Mutate(std::move(name), pool, random);
    }
    if (name.size() > MaxLabel) name.resize(MaxLabel);
    for (char& c : name) {
        if (c == '\0') c = '\x01';
    }
    if (name.empty()) name.push_back('?');
    return name;
}
