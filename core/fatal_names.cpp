// The rules, one per family of fatal names. Each says why it exists and why no well-formed
// name can match it; the look-alikes each must let through are in the tests' tables.
#include "core/fatal_names.h"

namespace {

// A symbol that begins with "??" has an operator code next (after "??$" when it is an
// operator template), and a symbol begins at the start of the name or, nested as a scope,
// after a '?'. The RTTI descriptors are _R0 to _R4; after any other byte following _R
// (the end included) Wine's undecorator pushes a null name and fails its assert. The same
// letters elsewhere are a name: a function _R as the scope of a local static,
// ?x@?1??_R@@YAXXZ@4HA, holds "??_R@" after a number, not after a '?'.
bool IsUnknownRttiCode(std::string_view name) {
    for (const std::string_view symbol : {std::string_view("??_R"), std::string_view("??$?_R")}) {
        for (std::size_t at = name.find(symbol); at != std::string_view::npos;
             at = name.find(symbol, at + 1)) {
            const std::size_t code = at + symbol.size();
            const bool known = code < name.size() && name[code] >= '0' && name[code] <= '4';
            if (!known && (at == 0 || name[at - 1] == '?')) return true;
        }
    }
    return false;
}

// An array type 'Y' with a negative number of dimensions ('?' and a number): Wine's
// undecorator takes the count as unsigned and loops for hours. A count is never negative.
// A 'Y' before a '?' is otherwise an operator code (??Y is +=, ??_Y placement delete[]),
// an alias template's $$Y, or a byte of a string literal's name, each of which may be
// followed by a template's "?$": let through.
bool IsNegativeArrayRank(std::string_view name) {
    if (name.starts_with("??_C@_")) return false;
    for (std::size_t at = name.find("Y?"); at != std::string_view::npos;
         at = name.find("Y?", at + 1)) {
        const std::string_view before(name.data(), at);
        if (!before.ends_with('?') && !before.ends_with("?_") && !before.ends_with("$$")) {
            return true;
        }
    }
    return false;
}

// A by-value type with cv-qualifiers ("?A" to "?D") that is a pointer to a function
// ("P6"): Wine's undecorator reads a string pointer it never set and faults. MSVC writes
// "?" and qualifiers only before class, union and enum types and non-pointer types, never
// before a pointer. The same bytes also begin a symbol (at the start, or after the '?' of
// a nested symbol: ?AP6@@3HA is a variable AP6, ??AP6@@QAEHH@Z an operator[] of class P6)
// or an operator template's arguments (after "?$": ??$?AP6AXXZ@x@@QAEHXZ), and stand for
// text in a string literal's name (??_C@_): none of these is a type, so all are let
// through. A '?' before a letter anywhere else begins a number, whose digits (A to P) end
// with '@', never with a '6'.
bool IsQualifiedFunctionPointer(std::string_view name) {
    if (name.starts_with("??_C@_")) return false;
    for (std::size_t at = name.find("P6"); at != std::string_view::npos;
         at = name.find("P6", at + 1)) {
        // at < 3: the '?' is the name's first byte.
        if (at < 3 || name[at - 2] != '?' || name[at - 1] < 'A' || name[at - 1] > 'D') continue;
        const std::string_view before(name.data(), at - 2);
        if (!before.ends_with('?') && !before.ends_with("?$")) return true;
    }
    return false;
}

}  // namespace

bool IsFatalToUndecorator(std::string_view name) {
    return IsUnknownRttiCode(name) || IsQualifiedFunctionPointer(name) || IsNegativeArrayRank(name);
}
