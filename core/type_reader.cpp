// Types: basic and extended, classes, unions and enums, pointers and references with their
// qualifiers and modifiers, function and member pointers, arrays, back-references and the
// template arguments of the '$' codes; argument lists, calling conventions and numbers.
// Three of the hazards are found here: an array's count, a qualified by-value function
// pointer, and a type read past the name's end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/grammar_reader.h"

namespace grammar {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// 'C' to 'O' but 'L', and 'X' for void.
bool IsBasicType(char code) {
    return (code >= 'C' && code <= 'O' && code != 'L') || code == 'X';
}

// After '_': __int8 to __int128, bool, char8_t to char32_t and wchar_t.
bool IsExtendedType(char code) {
    return (code >= 'D' && code <= 'N') || code == 'Q' || code == 'S' || code == 'U' || code == 'W';
}

constexpr std::uint32_t CountCeiling = 0x0FFFFFFF;

}  // namespace

// A type. Where the undecorator gives up at once (a back-reference or a class that does not
// resolve) nothing is recorded; where it reads on to its end, Wine 8 records the argument
// types it met in an argument list for back-references, failed ones included.
Type Reader::DataType(bool inArguments, ArgumentTypes* types) {
    Type type;
    bool recorded = true;
    const char code = Take();
    if (IsBasicType(code)) return {true, code == 'X' ? Word::Void : Word::Other};
    if (IsDigit(code)) return BackReference(static_cast<unsigned>(code - '0'), types);
    switch (code) {
        case 'Z':  // "..." to Wine 8; Wine 10 takes it only where a function's list ends
            Wine8Differs(true);
            return dialect_.wine10 ? Type{} : Type{true, Word::Ellipsis};
        case '_':
            type.ok = IsExtendedType(Take());
            break;
        case 'W':  // only enums, "W4"
            if (Peek() != '4') return type;
            Take();
            [[fallthrough]];
        case 'T':
        case 'U':
        case 'V':
        case 'Y': {
            const Components name = Class();
            if (!name.ok) return type;
            type = {true, ClassWord(name.isVoid)};
            break;
        }
        case '?':
            if (inArguments) {  // a template parameter, by number
                if (!Number().ok) return type;
                type.ok = true;
                break;
            }
            [[fallthrough]];
        case 'A':
        case 'B':
            type = QualifiedType(code, types, recorded);
            if (!recorded) return type;
            break;
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
            type = PointerType(code, inArguments, types, recorded);
            if (!recorded) return type;
            break;
        case '$':
            type = DollarType(inArguments, types, recorded);
            if (!recorded) return type;
            break;
        default:
            break;
    }
    if (types != nullptr && inArguments) {
        types->Push(type.ok ? type.word : Word::Other);  // its left text
        types->Push(Word::Other);                        // and its right
    }
    return type;
}

// A back-reference to the index-th argument type: Wine 10 looks in its one table, Wine 8
// in the current function's or template's, where it also finds that type's text.
Type Reader::BackReference(unsigned index, const ArgumentTypes* types) {
    const bool inWine8 = types != nullptr && types->Has(2 * index);
    const bool inWine10 = arguments_.Has(2 * index);
    Wine8Differs(inWine8 != inWine10);
    return {dialect_.wine10 ? inWine10 : inWine8, inWine8 ? types->At(2 * index) : Word::Other};
}

// After '$': non-type template arguments (numbers, "{a,b}" and "{a,b,c}" pairs and
// triples, template parameters) and, after "$$", function types, template-argument arrays,
// qualified types, rvalue references and (Wine 10) nullptr_t. recorded turns false where the
// undecorator gives up at once.
Type Reader::DollarType(bool inArguments, ArgumentTypes* types, bool& recorded) {
    Type type;
    int numbers = 0;
    switch (Take()) {
        case '0':
        case 'D':
        case 'Q':
            numbers = 1;
            break;
        case 'F':
            numbers = 2;
            break;
        case 'G':
            numbers = 3;
            break;
        case '$':
            break;
        default:
            return type;
    }
    if (numbers > 0) {
        for (int n = 0; n < numbers; ++n) {
            if (!Number().ok) {
                recorded = false;
                return type;
            }
        }
        type.ok = true;
        return type;
    }
    const char code = Peek();
    if (code == 'A') {  // a function type, "$$A6"
        Take();
        if (Peek() == '6') {
            Take();
            type.ok = FunctionSignature(types);
            recorded = type.ok;
        }
    } else if (code == 'B') {  // an array as a template argument, "$$BY"
        Take();
        bool dimensions = false;
        if (Peek() == 'Y') {
            Take();
            const Count count = Number();
            if (!count.ok || !Dimensions(count)) {
                recorded = false;
                return type;
            }
            dimensions = count.value > 0;
        }
        const Type element = DataType(false, types);
        if (!element.ok) {
            recorded = false;
            return type;
        }
        type = {true, dimensions ? Word::Other : element.word};
    } else if (code == 'C') {  // a type with cv-qualifiers, "$$C"
        Take();
        const Type inner = Qualifier(false).ok ? DataType(inArguments, types) : Type{};
        recorded = inner.ok;
        if (!inner.ok) return type;
        type = {true, Word::Other, inner.noLeadingSpace};
    } else if (code == 'Q') {  // an rvalue reference
        Take();
        type = QualifiedType('$', types, recorded);
    } else if (code == 'T') {  // std::nullptr_t, which Wine 8 does not know
        Wine8Differs(true);
        if (dialect_.wine10) {
            Take();
            type.ok = true;
        }
    }
    return type;
}

// 'P' to 'S': pointers, and a digit after one makes a function ("6") or member-function
// ("8") pointer. Outside argument lists every pointer reads as 'P'. Wine 8 knows function
// pointers after 'P' only. recorded turns false where the undecorator gives up at once.
Type Reader::PointerType(char code, bool inArguments, ArgumentTypes* types, bool& recorded) {
    const char qualifier = inArguments ? code : 'P';
    Wine8Differs(code != 'P' && IsDigit(Peek()));
    if (!IsDigit(Peek()) || (!dialect_.wine10 && code != 'P')) {
        return QualifiedType(qualifier, types, recorded);
    }
    Type type;
    const char kind = Peek();
    if (kind == '8') {
        Take();
        type.ok = Class().ok && Qualifier(false).ok && FunctionSignature(types);
    } else if (kind == '6') {
        Take();
        type.ok = FunctionSignature(types);
        type.noLeadingSpace = true;
    }
    recorded = type.ok;
    return type;
}

// What a pointer, reference or by-value qualifier ('?') points to: extended qualifiers,
// then (Wine 10) a managed handle "$A", the cv-qualifiers, an optional array and the type.
// The undecorator writes the pointer's text before it reads on, so a bad cv-qualifier, a
// bad array count or a target that fails still leaves a type, and reading goes on after
// what they consumed; finished says whether the step itself succeeded. A by-value type has
// no text of its own: it must not be a function pointer, whose text the undecorator trims
// by one byte from a null pointer, and with no qualifier text it reads as its target.
Type Reader::QualifiedType(char qualifier, ArgumentTypes* types, bool& finished) {
    finished = false;
    const bool byValue = qualifier == '?';
    const bool bare = !ExtendedQualifiers().any && byValue;
    if (dialect_.wine10 && Peek() == '$' && Peek(1) == 'A') {
        Wine8Differs(true);
        Skip(2);
        if (byValue || qualifier == '$') return {};
    }
    const Qualifiers qualifiers = Qualifier(true);
    if (!qualifiers.ok) {
        finished = true;
        return {!bare};
    }
    bool empty = bare;
    if (Peek() == 'Y') {
        Take();
        const Count count = Number();
        if (!count.ok) return {!bare};
        if (!Dimensions(count)) return {};
        empty = false;
    }
    const Type target = DataType(false, types);
    if (!target.ok) return {!empty};
    if (target.noLeadingSpace && empty) {
        Found(Hazard::QualifiedFunctionPointer);
        return {};
    }
    finished = true;
    return {true, empty && !qualifiers.text ? target.word : Word::Other};
}

// Extended qualifiers, then 'A' to 'D' (none, const, volatile, both) or, for a pointer to
// a member, 'Q' to 'T' and the member's class. The byte is consumed even when it is none of
// these. text: the undecorator writes words here.
Qualifiers Reader::Qualifier(bool withMemberClass) {
    const Qualifiers extended = ExtendedQualifiers();
    const char code = Take();
    const bool text = extended.text || (code != 'A' && code != 'Q');
    if (code >= 'A' && code <= 'D') return {true, text};
    if (code < 'Q' || code > 'T') return {};
    return {Class().ok && withMemberClass, text};
}

// A function pointer's or type's calling convention, return type and arguments.
bool Reader::FunctionSignature(ArgumentTypes* types) {
    return CallingConvention(Take(), false) && DataType(false, types).ok && Arguments(true, types);
}

// A function's arguments, up to '@' or 'Z' (variadic), then 'Z'; "XZ" for none. A
// template's, up to '@' or the end, and an argument type that fails fails the list. Wine 10
// records a function's argument types of more than one byte for back-references, the
// first ten. Wine 8 ends a function's list at a "void" type and any list at "...".
bool Reader::Arguments(bool ofFunction, ArgumentTypes* types) {
    if (dialect_.wine10 && ofFunction && Peek() == 'X' && Peek(1) == 'Z') {
        Skip(2);  // Wine 8 reads "X" as void, ends the list there and takes the 'Z' alike
        return true;
    }
    for (char c = Peek(); c != '\0'; c = Peek()) {
        const std::size_t first = at_;
        if (c == '@') {
            Take();
            break;
        }
        if (dialect_.wine10 && ofFunction && c == 'Z') {
            Take();  // Wine 8 reads it as "...", ends the list there and takes the 'Z' alike
            break;
        }
        if (!ofFunction && c == '$' && Peek(1) == '$' && Peek(2) == 'V') {
            Wine8Differs(true);
            if (dialect_.wine10) {
                Skip(3);  // an empty parameter pack
                continue;
            }
        }
        const Type type = DataType(true, types);
        if (!type.ok) return false;
        if (ofFunction && at_ - first > 1 && arguments_.num < 20) {
            arguments_.Push(Word::Other);
            arguments_.Push(Word::Other);
        }
        const bool endsInWine8 =
            (ofFunction && type.word == Word::Void) || type.word == Word::Ellipsis;
        Wine8Differs(endsInWine8);
        if (!dialect_.wine10 && endsInWine8) break;
    }
    return !ofFunction || Take() == 'Z';
}

// 'A' to 'M'. Under NAME_ONLY the undecorator takes any byte as a method's convention.
bool Reader::CallingConvention(char code, bool ofMethod) {
    if (ofMethod && dialect_.nameOnly) return true;
    const bool known = code >= 'A' && code <= 'M';
    if (ofMethod && !known) nameOnlyMatters_ = true;
    return known;
}

Count ReadNumber(std::string_view text, std::size_t& used) {
    Count count;
    used = 0;
    if (used < text.size() && text[used] == '?') {
        ++used;
        count.negative = true;
    }
    const char first = used < text.size() ? text[used] : '\0';
    if (IsDigit(first)) {
        ++used;
        count.ok = true;
        count.value = first == '9' ? 10 : static_cast<std::uint32_t>(first - '0' + 1);
        return count;
    }
    for (; used < text.size() && text[used] >= 'A' && text[used] <= 'P'; ++used) {
        const auto digit = static_cast<std::uint32_t>(text[used] - 'A');
        count.value = std::min(CountCeiling, count.value * 16 + digit);
    }
    if (first < 'A' || first > 'P' || used == text.size() || text[used] != '@') return count;
    ++used;
    count.ok = true;
    return count;
}

// Never past the name's end: a number starts with no byte that NUL is.
Count Reader::Number() {
    if (at_ >= name_.size()) {
        Peek();
        return {};
    }
    std::size_t used = 0;
    const Count count = ReadNumber(Rest(), used);
    Skip(used);
    return count;
}

// An array's dimensions, one number each. Once a number consumes nothing, every later one
// reads the same nothing.
bool Reader::Dimensions(Count count) {
    if (IsHazardousRank(count, Rest().size())) {
        Found(Hazard::ArrayRank);
        return false;
    }
    for (std::uint32_t n = 0; n < count.value; ++n) {
        const std::size_t before = at_;
        Number();
        if (at_ == before) break;
    }
    return true;
}

// A class's or enum's text, as Wine 8 compares it: under NAME_ONLY a class named "void"
// reads as the type void.
Word Reader::ClassWord(bool isVoid) {
    if (!isVoid) return Word::Other;
    Wine8Differs(true);
    if (dialect_.wine10) return Word::Other;
    if (!dialect_.nameOnly) nameOnlyMatters_ = true;
    return dialect_.nameOnly ? Word::Void : Word::Other;
}

}  // namespace grammar
