// Symbols, names and their encodings: a symbol's operator or special name, its scope of
// name fragments, back-references, templates and nested symbols, and the encodings of data,
// functions, methods, vtables, RTTI descriptors and thunks.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/grammar_reader.h"
#include "core/name_reader.h"

namespace grammar {

namespace {

// The bytes of a name fragment: letters, digits, '_' and '$'; Wine 10 also takes '<' and '>'.
constexpr unsigned BothWines = 1;
constexpr unsigned Wine10Only = 2;
constexpr auto IdentifierBytes = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '$') {
            kinds[static_cast<std::size_t>(c)] = BothWines;
        }
    }
    kinds['<'] = kinds['>'] = Wine10Only;
    return kinds;
}();

}  // namespace

// "?" then an operator ("??..."), a bare template ("?$...") or a scope, then the encoding.
bool Reader::Symbol() {
    if (Peek() != '?') return false;
    Take();
    Operator kind = Operator::Plain;
    if (Peek() == '?') {
        const Outcome outcome = OperatorName(kind);
        if (outcome != Outcome::ReadOn) return outcome == Outcome::Succeeds;
    } else if (Peek() == '$') {
        Take();
        return TemplateName().ok;
    }
    bool scoped = false;
    switch (Peek()) {
        case '@':
            Take();
            break;
        case '$':
            break;
        default:
            if (!Class().ok) return false;
            scoped = true;
    }
    if (kind == Operator::Structor && !scoped) return false;  // it takes its class's name
    const char code = Peek();
    if (code >= '0' && code <= '9') return Data();
    if ((code >= 'A' && code <= 'Z') || code == '$') return Method();
    return false;
}

// The code after "??", or after "??$?" for an operator template, whose arguments follow.
// A special name whose RTTI code is unknown has no text; the undecorator asserts on it
// unless the template's arguments stand in.
Outcome Reader::OperatorName(Operator& kind) {
    const bool inTemplate = Peek(1) == '$' && Peek(2) == '?';
    if (inTemplate) Skip(2);
    Skip(1);
    bool named = true;
    const char code = Peek();
    if (code == '0' || code == '1') {
        kind = Operator::Structor;
    } else if (code == '_') {
        const Outcome outcome = SpecialName(named);
        if (outcome != Outcome::ReadOn) return outcome;
    } else if (code == '$') {
        Take();
        if (!TemplateName().ok) return Outcome::Fails;
        Back();
    } else if (!((code >= '2' && code <= '9') || (code >= 'A' && code <= 'Z'))) {
        return Outcome::Fails;
    }
    Take();
    if (inTemplate) {
        ArgumentTypes types;
        const unsigned mark = arguments_.num;
        if (Arguments(false, &types)) named = true;
        arguments_.num = mark;
        names_.num = 0;
    }
    if (!named) {
        Found(Hazard::UnknownRtti);
        return Outcome::Fails;
    }
    return Outcome::ReadOn;
}

// The code after "??_": operators, compiler-made functions and tables, RTTI descriptors,
// string literals (the undecorator reads no further than checking the last byte) and
// literal operators ("??__K").
Outcome Reader::SpecialName(bool& named) {
    Skip(1);
    const char code = Peek();
    switch (code) {
        case 'C':
            return !name_.empty() && name_.back() == '@' ? Outcome::Succeeds : Outcome::Fails;
        case 'R':
            Skip(1);
            switch (Peek()) {
                case '0':
                    Take();
                    if (!DataType(false, nullptr).ok) return Outcome::Fails;
                    Back();
                    break;
                case '1':
                    Take();
                    for (int n = 0; n < 4; ++n) Number();
                    Back();
                    break;
                case '2':
                case '3':
                case '4':
                    break;
                default:
                    named = false;
            }
            return Outcome::ReadOn;
        case '_':
            Skip(1);
            if (Peek() != 'K') return Outcome::Fails;
            Take();
            Literal();
            Back();
            return Outcome::ReadOn;
        case 'P':
        case 'Q':
        case 'W':
        case 'Z':
            return Outcome::Fails;
        default:
            return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Y') ? Outcome::ReadOn
                                                                                : Outcome::Fails;
    }
}

// A variable or static member (0 to 5: its type and storage), a vtable or similar table (6,
// 7: storage and an optional "for" class), or a bare name (8, 9).
bool Reader::Data() {
    switch (Take()) {
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
            return DataType(false, nullptr).ok && Qualifier(true).ok;
        case '6':
        case '7':
            if (!Qualifier(false).ok) return false;
            return Peek() == '@' || Class().ok;
        case '8':
        case '9':
            return true;
        default:
            return false;
    }
}

// A function or method: access and kind ('A' to 'Z', or '$' for the thunks with their
// offsets), the qualifiers of `this`, calling convention, return type ('@' for none) and
// arguments.
bool Reader::Method() {
    const char access = Take();
    const int kind = (access - 'A') % 8;  // for 'A' to 'Z': 2 and 3 static, 6 and 7 thunks
    bool hasArguments = true;
    bool hasReturn = true;
    if (access == '$') {
        const char thunk = Peek();
        if (thunk == 'R') Peek(1);  // the undecorator reads the access here
        if (thunk == 'B') {         // vcall thunk
            Take();
            if (!Number().ok || Take() != 'A') return false;
            hasArguments = hasReturn = false;
        } else if (thunk == 'R') {  // vtordispex thunk: four offsets
            Skip(2);
            bool all = true;
            for (int n = 0; n < 4; ++n) all = Number().ok && all;
            if (!all) return false;
        } else if (thunk >= '0' && thunk <= '5') {  // vtordisp thunk: two offsets
            Take();
            const bool first = Number().ok;
            if (!Number().ok || !first) return false;
        } else {
            return false;
        }
    } else if (access < 'A' || access > 'Z') {
        return false;
    } else if (kind == 6 || kind == 7) {
        Number();  // an adjustor thunk's offset, read even when malformed
    }
    if (hasArguments && (access == '$' || (access <= 'X' && kind != 2 && kind != 3))) {
        if (!Qualifier(false).ok) return false;
    }
    if (!CallingConvention(Take(), true)) return false;
    ArgumentTypes types;
    if (hasReturn && Peek() == '@') {
        Take();
    } else if (hasReturn && !DataType(false, &types).ok) {
        return false;
    }
    return !hasArguments || Arguments(true, &types);
}

// A scope: fragments up to '@', innermost first. Each is a name ending in '@', a
// back-reference digit, a template ("?$"), a nested symbol ("??") or a number ("?N"). A
// nested symbol that fails leaves the position where it failed and, unless it came first,
// the undecorator reads on from there, repeating the fragment before it.
Reader::Components Reader::Class() {
    bool named = false;
    bool isVoid = false;
    unsigned count = 0;
    for (char c = Peek(); c != '@'; c = Peek()) {
        if (c == '\0') return {};
        if (c >= '0' && c <= '9') {
            Take();
            const auto index = static_cast<unsigned>(c - '0');
            named = names_.Has(index);
            isVoid = named && names_.At(index) == Word::Void;
        } else if (c == '?') {
            Take();
            const char next = Peek();
            if (next == '$') {
                Take();
                const Name name = TemplateName();
                named = name.ok;
                isVoid = name.isVoid;
                if (named) names_.Push(isVoid ? Word::Void : Word::Other);
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
// back-references, and the undecorator ignores their failure: the name alone stands, and
// reading goes on where the arguments failed.
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
    const bool arguments = Arguments(false, &types);
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
    const unsigned taken = dialect_.wine10 ? BothWines | Wine10Only : BothWines;
    unsigned seen = 0;
    std::size_t end = first;
    for (; end < name_.size(); ++end) {
        const unsigned kind = IdentifierBytes[static_cast<unsigned char>(name_[end])];
        if ((kind & taken) == 0) break;
        seen |= kind;
    }
    Wine8Differs((seen & Wine10Only) != 0);
    Skip(end - first);
    if (end == first || Peek() != '@') return {};
    const bool isVoid = std::string_view(name_.data() + first, end - first) == "void";
    Take();
    names_.Push(isVoid ? Word::Void : Word::Other);
    return {true, isVoid};
}

}  // namespace grammar
