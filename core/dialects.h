// The Wine versions whose undecorator the reader models, a row each, and the ways of reading
// in which they part (traits). A reading is made in one dialect: a version's traits, and
// NameOnly where the flag is set. Each trait is consulted in the production it names, and
// only there; a new version is a row, and a way of reading that no row had before is a new
// trait, consulted where that version reads otherwise.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace grammar {

using Traits = std::uint16_t;

// Under UNDNAME_NAME_ONLY the undecorator takes any byte as a method's calling convention,
// and writes no "class " before a class's name (so Wine 8 compares a class named "void"
// with the type void).
inline constexpr Traits NameOnly = 1 << 0;
// Wine 8: 'Z' is the type "..." wherever a type stands (Wine 10 takes it only where a
// function's arguments end).
inline constexpr Traits EllipsisType = 1 << 1;
// Wine 8: an argument list ends at a type whose text is "..." and, a function's, at one
// whose text is "void".
inline constexpr Traits TextEndsLists = 1 << 2;
// Wine 10: one table of argument types for the whole name, holding those of functions'
// arguments of more than one byte, the first ten; Wine 8 keeps one per function or
// template, of every argument but the basic types, which a variable's type has too.
inline constexpr Traits OneArgumentTable = 1 << 3;
// Wine 10: '<' and '>' are bytes of a name fragment.
inline constexpr Traits AnglesInNames = 1 << 4;
// Wine 10: a digit after 'Q', 'R' or 'S', as after 'P', makes a function or member-function
// pointer.
inline constexpr Traits QualifiedFunctionPointers = 1 << 5;
// Wine 10: a managed handle ("$A") after a pointer's or reference's code.
inline constexpr Traits ManagedHandles = 1 << 6;
// Wine 10: std::nullptr_t ("$$T").
inline constexpr Traits NullptrType = 1 << 7;
// Wine 10: an empty parameter pack ("$$V") in a template's arguments.
inline constexpr Traits EmptyPacks = 1 << 8;

struct WineVersion {
    std::string_view name;  // as oracle/wine-sources.txt names it
    Traits traits;
};

// Newest first: the order in which the readings of a name are made.
inline constexpr WineVersion WineVersions[] = {
    {"10.0", OneArgumentTable | AnglesInNames | QualifiedFunctionPointers | ManagedHandles |
                 NullptrType | EmptyPacks},
    {"8.0", EllipsisType | TextEndsLists},
};

// Every version under both settings of NAME_ONLY, the flag's off first.
inline constexpr std::size_t DialectCount = 2 * std::size(WineVersions);
inline constexpr auto Dialects = [] {
    std::array<Traits, DialectCount> dialects{};
    for (std::size_t v = 0; v < std::size(WineVersions); ++v) {
        dialects[2 * v] = WineVersions[v].traits;
        dialects[2 * v + 1] = static_cast<Traits>(WineVersions[v].traits | NameOnly);
    }
    return dialects;
}();
// Each version under each setting of the flag is one dialect, and every dialect is one.
static_assert([] {
    std::size_t pairs = 0;
    for (const Traits d : Dialects) {
        for (const WineVersion& version : WineVersions) {
            pairs += d == version.traits || d == (version.traits | NameOnly) ? 1 : 0;
        }
    }
    for (std::size_t d = 0; d < Dialects.size(); ++d) {
        for (std::size_t e = 0; e < d; ++e) {
            if (Dialects[d] == Dialects[e]) return false;
        }
    }
    return pairs == Dialects.size() && pairs == 2 * std::size(WineVersions);
}());

}  // namespace grammar
