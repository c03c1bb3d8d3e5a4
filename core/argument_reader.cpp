// Argument lists (of functions and of templates), the back-references to their types,
// calling conventions, numbers and arrays' dimensions: where a list ends and what it
// records for back-references differ between Wine 8 and Wine 10, and where an array's
// count runs away is the ArrayRank hazard.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/grammar_reader.h"

namespace grammar {

namespace {

constexpr std::uint32_t CountCeiling = 0x0FFFFFFF;

}  // namespace

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
        const std::size_t before = Spelled();
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
            arguments_.Push(Word::Other, Spelled() - before);
            arguments_.Push(Word::Other, 0);
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

// A back-reference to the index-th argument type: Wine 10 looks in its one table, Wine 8
// in the current function's or template's, where it also finds that type's text. Either
// copies what that type spells.
Type Reader::BackReference(unsigned index, const ArgumentTypes* types) {
    const bool inWine8 = types != nullptr && types->Has(2 * index);
    const bool inWine10 = arguments_.Has(2 * index);
    const std::size_t size8 = inWine8 ? types->Size(2 * index) : 0;
    const std::size_t size10 = inWine10 ? arguments_.Size(2 * index) : 0;
    Wine8Differs(inWine8 != inWine10 || size8 != size10);
    Respell(dialect_.wine10 ? size10 : size8);
    return {dialect_.wine10 ? inWine10 : inWine8, inWine8 ? types->At(2 * index) : Word::Other};
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
