// The entry point: a quick look for the byte sequences a hazard starts with, then, only
// where one stands, the readings of grammar_reader.h, as many as the undecorators differ.
#include "core/name_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/grammar_reader.h"

namespace grammar {

namespace {

// The bytes at which the quick look stops to look closer; most names hold few of them.
constexpr auto Stops = [] {
    std::array<std::uint8_t, 256> stops{};
    stops['Y'] = stops['R'] = stops['6'] = 1;
    return stops;
}();

}  // namespace

bool MayHoldHazard(std::string_view name) {
    const auto stops = [](const char* at) -> unsigned {
        return Stops[static_cast<unsigned char>(*at)];
    };
    const char* const begin = name.data();
    const char* const end = begin + name.size();
    for (const char* at = begin;; ++at) {
        // Eight bytes a step, as most bytes are no stop.
        while (end - at >= 8 && !(stops(at) | stops(at + 1) | stops(at + 2) | stops(at + 3) |
                                  stops(at + 4) | stops(at + 5) | stops(at + 6) | stops(at + 7))) {
            at += 8;
        }
        while (at != end && !stops(at)) ++at;
        if (at == end) return false;
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
}

}  // namespace grammar

NameReading ReadDecoratedName(std::string_view name) {
    NameReading reading{Hazard::None, name.size()};
    if (!grammar::MayHoldHazard(name)) return reading;
    // Wine 10 without NAME_ONLY first; each other reading only where one already made met
    // a place where that one would go another way.
    constexpr grammar::Dialect Readings[] = {
        {true, false}, {true, true}, {false, false}, {false, true}};
    bool wanted[4] = {true, false, false, false};
    for (int r = 0; r < 4; ++r) {
        if (!wanted[r]) continue;
        grammar::Reader reader(name, Readings[r]);
        reading.hazard = reader.ReadSymbol();
        reading.steps += reader.Steps();
        if (reading.hazard != Hazard::None) return reading;
        if (!Readings[r].nameOnly && reader.NameOnlyMatters()) wanted[r + 1] = true;
        if (Readings[r].wine10 && reader.Wine8Matters()) wanted[r + 2] = true;
    }
    return reading;
}
