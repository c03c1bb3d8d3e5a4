// The entry point: a quick look for the byte sequences a hazard starts with and for enough
// digits to expand past ExpansionLimit, then, only where one stands, the readings of
// grammar_reader.h in the dialects of dialects.h, as many as read the name otherwise.
#include "core/name_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/grammar_reader.h"

namespace grammar {

namespace {

// What the quick look makes of a byte: a stop, where it looks closer (most names hold few),
// and a digit, which may be a back-reference. Eight bytes' kinds add up without carrying
// from one field into the other.
constexpr std::uint8_t Stop = 0x10;
constexpr std::uint8_t Digit = 0x01;
constexpr unsigned StopField = 0xF0;
constexpr auto Kinds = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (int c = '0'; c <= '9'; ++c) kinds[static_cast<std::size_t>(c)] = Digit;
    kinds['Y'] = kinds['R'] = Stop;
    kinds['6'] |= Stop;
    return kinds;
}();

}  // namespace

bool MayHoldHazard(std::string_view name) {
    const auto kind = [](const char* at) -> unsigned {
        return Kinds[static_cast<unsigned char>(*at)];
    };
    const char* const begin = name.data();
    const char* const end = begin + name.size();
    unsigned digits = 0;
    for (const char* at = begin;; ++at) {
        for (unsigned eight = 0; end - at >= 8; at += 8) {
            eight = kind(at) + kind(at + 1) + kind(at + 2) + kind(at + 3) + kind(at + 4) +
                    kind(at + 5) + kind(at + 6) + kind(at + 7);
            if ((eight & StopField) != 0) break;
            digits += eight;
        }
        for (; at != end && (kind(at) & Stop) == 0; ++at) digits += kind(at);
        if (at == end) break;
        digits += kind(at) & Digit;
        if (*at == 'Y') {  // an array's count follows a 'Y'
            std::size_t used = 0;
            const std::string_view rest(at + 1, static_cast<std::size_t>(end - at - 1));
            const Count count = ReadNumber(rest, used);
            if (count.ok && IsHazardousRank(count, rest.size() - used)) return true;
        } else if (at == begin) {
            continue;
        } else if (*at == 'R') {  // an RTTI code follows "_R"
            if (at[-1] == '_' && (at + 1 == end || at[1] < '0' || at[1] > '4')) return true;
        } else if (at[-1] >= 'P' && at[-1] <= 'S') {
            return true;  // a function pointer: "6" after a pointer's code
        }
    }
    // Each back-reference at most doubles what the bytes read so far spell.
    const std::size_t read = name.size() + 1 + NulsAfterName;
    return digits >= 16 || (read << digits) > ExpansionLimit;
}

}  // namespace grammar

NameReading ReadDecoratedName(std::string_view name) {
    NameReading reading{Hazard::None, name.size()};
    if (!grammar::MayHoldHazard(name)) return reading;
    // Each dialect in turn, but one that reads the name as a reading already made does: one
    // that agrees with its dialect on every trait that reading met.
    grammar::Traits made[grammar::DialectCount];
    grammar::Traits met[grammar::DialectCount];
    std::size_t count = 0;
    for (const grammar::Traits dialect : grammar::Dialects) {
        bool alike = false;
        for (std::size_t m = 0; m < count && !alike; ++m) {
            alike = ((dialect ^ made[m]) & met[m]) == 0;
        }
        if (alike) continue;
        grammar::Reader reader(name, dialect);
        reading.hazard = reader.ReadSymbol();
        reading.steps += reader.Steps();
        if (reading.hazard != Hazard::None) return reading;
        made[count] = dialect;
        met[count++] = reader.Met();
    }
    return reading;
}
