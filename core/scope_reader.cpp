// Scopes and their names: fragments ending in '@', back-references to them, templates
// with their arguments, nested symbols and numbered scopes, innermost first, as in
// "Read@File@io@@". A name fragment is remembered for back-references as the undecorator
// remembers it, with the bytes it spells.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/grammar_reader.h"

namespace grammar {

namespace {

// The bytes of a name fragment: letters, digits, '_' and '$', and where AnglesInNames, '<'
// and '>'.
constexpr unsigned Always = 1;
constexpr unsigned Angle = 2;
constexpr auto IdentifierBytes = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '$') {
            kinds[static_cast<std::size_t>(c)] = Always;
        }
    }
    kinds['<'] = kinds['>'] = Angle;
    return kinds;
}();

}  // namespace

// A scope: fragments up to '@', innermost first. Each is a name ending in '@', a
// back-reference digit, a template ("?$"), a nested symbol ("??") or a number ("?N"). A
// nested symbol that fails leaves the position where it failed and, unless it came first,
// the undecorator reads on from there, repeating the fragment before it.
Name Reader::Class() {
    bool named = false;
    bool isVoid = false;
    unsigned count = 0;
    for (char c = Peek(); c != '@'; c = Peek()) {
        if (c == '\0') return {};
        if (IsDigit(c)) {
            Take();
            const auto index = static_cast<unsigned>(c - '0');
            named = names_.Has(index);
            isVoid = named && names_.At(index) == Word::Void;
            if (named) Respell(names_.Size(index));
        } else if (c == '?') {
            Take();
            const char next = Peek();
            if (next == '$') {
                Take();
                const std::size_t before = Kept();
                const Name name = TemplateName();
                named = name.ok;
                isVoid = name.isVoid;
                if (named) names_.Push(isVoid ? Word::Void : Word::Other, Kept() - before);
            } else if (next == '?') {
                const unsigned start = names_.start;
                const unsigned num = names_.num;
                if (Symbol()) {
                    named = true;
                    isVoid = false;
                }
                names_.start = start;
                names_.num = num;
            } else {
                if (!Number().ok) return {};
                named = true;
                isVoid = false;
            }
        } else {
            const Name name = Literal();
            named = name.ok;
            isVoid = name.isVoid;
        }
        if (!named) return {};
        ++count;
    }
    Take();
    return {true, count == 1 && isVoid};
}

// A name and its template arguments ("name@args@"). The arguments have their own
// back-references, and the undecorator ignores their failure: the name alone stands, its
// arguments' text dropped, and reading goes on where the arguments failed.
Name Reader::TemplateName() {
    const unsigned num = names_.num;
    const unsigned start = names_.start;
    const unsigned mark = arguments_.num;
    names_.start = names_.num;
    const Name literal = Literal();
    if (!literal.ok) {
        names_.start = start;
        return {};
    }
    ArgumentTypes types;
    const std::size_t before = Kept();
    const bool arguments = Arguments(false, &types);
    if (!arguments) Drop(before);
    names_.num = num;
    names_.start = start;
    arguments_.num = mark;
    return {true, literal.isVoid && !arguments};
}

// A fragment of identifier bytes ending in '@', remembered for back-references. The
// undecorator stops at the first byte it does not take, and fails there unless it is the
// '@' after at least one.
Name Reader::Literal() {
    const std::size_t first = at_;
    std::size_t end = first;
    const auto kind = [&] {
        return end < name_.size() ? IdentifierBytes[static_cast<unsigned char>(name_[end])] : 0u;
    };
    while ((kind() & Always) != 0) ++end;
    // The trait is asked only where an angle would go on.
    if (kind() == Angle && Has(AnglesInNames)) {
        while (kind() != 0) ++end;
    }
    Skip(end - first);
    if (end == first || Peek() != '@') return {};
    const bool isVoid = std::string_view(name_.data() + first, end - first) == "void";
    Take();
    names_.Push(isVoid ? Word::Void : Word::Other, end - first);
    return {true, isVoid};
}

}  // namespace grammar
