// The reader's two conservative rules, where the oracle excuses a name that the reader keeps
// back though Wine reads it to its end.
#include "oracle/leeway.h"

#include <algorithm>
#include <cstdint>

namespace {

// The reader's conservative rule for arrays: some 'Y' stands before a count above the bytes
// after it. The count is read here as Wine reads it, apart from the reader's ReadNumber, so
// that a reader that misreads counts is not excused by its own misreading: a digit for 1 to
// 10, or hexadecimal digits 'A' to 'P' ending in '@'.
bool HasCountAboveBytesLeft(std::string_view name) {
    constexpr std::uint64_t Ceiling = std::uint64_t{1} << 32;
    for (std::size_t at = name.find('Y'); at != std::string_view::npos;
         at = name.find('Y', at + 1)) {
        const std::string_view rest = name.substr(at + 1);
        std::size_t used = 0;
        std::uint64_t value = 0;
        if (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
            value = static_cast<std::uint64_t>(rest.front() - '0') + 1;
            used = 1;
        } else {
            for (; used < rest.size() && rest[used] >= 'A' && rest[used] <= 'P'; ++used) {
                value =
                    std::min(Ceiling, value * 16 + static_cast<std::uint64_t>(rest[used] - 'A'));
            }
            if (used == 0 || used == rest.size() || rest[used] != '@') continue;
            ++used;
        }
        if (value > rest.size() - used) return true;
    }
    return false;
}

}  // namespace

// Where the reader stops at one of its conservative rules, the reading may end otherwise:
// at an array's count above the bytes left, or where the name's back-references resolve, in
// one of the given readings, to as much text as its spelling past the limit makes.
bool Conservative(Hazard found, std::string_view name, std::span<const ReadingResult> results) {
    return (found == Hazard::ArrayRank && HasCountAboveBytesLeft(name)) ||
           (found == Hazard::Expansion &&
            std::any_of(results.begin(), results.end(),
                        [](const ReadingResult& r) { return r.resolved >= ResolvedAtTheLimit; }));
}
