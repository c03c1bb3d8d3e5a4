// Types: basic and extended, classes, unions and enums, pointers and references with their
// qualifiers and modifiers, function and member pointers, arrays, back-references and the
// template arguments of the '$' codes. The QualifiedFunctionPointer hazard is found here;
// argument lists, numbers and arrays' dimensions are argument_reader.cpp's.
#include <cstddef>

#include "core/grammar_reader.h"

namespace grammar {

namespace {

// 'C' to 'O' but 'L', and 'X' for void.
bool IsBasicType(char code) {
    return (code >= 'C' && code <= 'O' && code != 'L') || code == 'X';
}

// After '_': __int8 to __int128, bool, char8_t to char32_t and wchar_t.
bool IsExtendedType(char code) {
    return (code >= 'D' && code <= 'N') || code == 'Q' || code == 'S' || code == 'U' || code == 'W';
}

}  // namespace

// A type. Where the undecorator gives up at once (a back-reference or a class that does not
// resolve) nothing is recorded; where it reads on to its end, the table of the current
// function or template records the argument types met in an argument list for
// back-references, failed ones included.
Type Reader::DataType(bool inArguments, ArgumentTypes* types) {
    Type type;
    bool recorded = true;
    const std::size_t before = Kept();
    const char code = Take();
    if (IsBasicType(code)) return {true, code == 'X' ? Word::Void : Word::Other};
    if (IsDigit(code)) return BackReference(static_cast<unsigned>(code - '0'), types);
    switch (code) {
        case 'Z':
            return Has(EllipsisType) ? Type{true, Word::Ellipsis} : Type{};
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
            const Name name = Class();
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
        types->Push(type.ok ? type.word : Word::Other, Kept() - before);  // its left text
        types->Push(Word::Other, 0);                                      // and its right
    }
    return type;
}

// After '$': non-type template arguments (numbers, "{a,b}" and "{a,b,c}" pairs and
// triples, template parameters) and, after "$$", function types, template-argument arrays,
// qualified types, rvalue references and (NullptrType) nullptr_t. recorded turns false where
// the undecorator gives up at once.
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
    } else if (code == 'T' && Has(NullptrType)) {
        Take();
        type.ok = true;
    }
    return type;
}

// 'P' to 'S': pointers, and a digit after one makes a function ("6") or member-function
// ("8") pointer, after 'P' alone but where QualifiedFunctionPointers. Outside argument lists
// every pointer reads as 'P'. recorded turns false where the undecorator gives up at once.
Type Reader::PointerType(char code, bool inArguments, ArgumentTypes* types, bool& recorded) {
    const char qualifier = inArguments ? code : 'P';
    if (!IsDigit(Peek()) || (code != 'P' && !Has(QualifiedFunctionPointers))) {
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
// then (ManagedHandles) a managed handle "$A", the cv-qualifiers, an optional array and the type.
// The undecorator writes the pointer's text before it reads on, so a bad cv-qualifier, a
// bad array count or a target that fails still leaves a type, and reading goes on after
// what they consumed; finished says whether the step itself succeeded. A by-value type has
// no text of its own: it must not be a function pointer, whose text the undecorator trims
// by one byte from a null pointer, and with no qualifier text it reads as its target.
Type Reader::QualifiedType(char qualifier, ArgumentTypes* types, bool& finished) {
    finished = false;
    const bool byValue = qualifier == '?';
    const bool bare = !ExtendedQualifiers() && byValue;
    if (Peek() == '$' && Peek(1) == 'A' && Has(ManagedHandles)) {
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
// these. text: the undecorator writes words here. It writes __unaligned too, but a type's
// extended qualifiers stand here only after a managed handle, and no such type's text is
// compared.
Qualifiers Reader::Qualifier(bool withMemberClass) {
    ExtendedQualifiers();
    const char code = Take();
    const bool text = code != 'A' && code != 'Q';
    if (code >= 'A' && code <= 'D') return {true, text};
    if (code < 'Q' || code > 'T') return {};
    return {Class().ok && withMemberClass, text};
}

}  // namespace grammar
