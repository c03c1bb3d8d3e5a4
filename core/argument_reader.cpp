// Argument lists (of functions and of templates), the back-references to their types,
// calling conventions, numbers and arrays' dimensions: where a list ends and what it
// records for back-references differ from one version to another (TextEndsLists,
// EllipsisType, EmptyPacks, OneArgumentTable), and where an array's count runs away is the
// ArrayRank hazard.
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
// template's, up to '@' or the end, and an argument type that fails fails the list. The one
// table records a function's argument types of more than one byte for back-references, the
// first ten.
bool Reader::Arguments(bool ofFunction, ArgumentTypes* types) {
    // Where TextEndsLists, "X" reads as void, ends the list and the 'Z' is taken alike.
    if (ofFunction && Peek() == 'X' && Peek(1) == 'Z' && !Has(TextEndsLists, false)) {
        Skip(2);
        return true;
    }
    for (char c = Peek(); c != '\0'; c = Peek()) {
        const std::size_t first = at_;
        const std::size_t before = Kept();
        if (c == '@') {
            Take();
            break;
        }
        // Where EllipsisType, 'Z' reads as "...", ends the list and the 'Z' is taken alike.
        if (ofFunction && c == 'Z' && !Has(EllipsisType, false)) {
            Take();
            break;
        }
        if (!ofFunction && c == '$' && Peek(1) == '$' && Peek(2) == 'V' && Has(EmptyPacks)) {
            Skip(3);
            continue;
        }
        const Type type = DataType(true, types);
        if (!type.ok) return false;
        if (ofFunction && at_ - first > 1 && arguments_.num < 20) {
            arguments_.Push(type.word, Kept() - before);
            arguments_.Push(Word::Other, 0);
        }
        const bool endsByText =
            (ofFunction && type.word == Word::Void) || type.word == Word::Ellipsis;
        if (endsByText && Has(TextEndsLists)) break;
    }
    return !ofFunction || Take() == 'Z';
}

// 'A' to 'M'. Under NAME_ONLY the undecorator takes any byte as a method's convention.
bool Reader::CallingConvention(char code, bool ofMethod) {
    const bool known = code >= 'A' && code <= 'M';
    return known || (ofMethod && Has(NameOnly));
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

// A back-reference to the index-th argument type, in the one table for the whole name or in
// the current function's or template's; either copies what that type spells.
Type Reader::BackReference(unsigned index, const ArgumentTypes* types) {
    const unsigned entry = 2 * index;
    const bool inList = types != nullptr && types->Has(entry);
    const bool inOne = arguments_.Has(entry);
    const Type list{inList, inList ? types->At(entry) : Word::Other};
    const Type one{inOne, inOne ? arguments_.At(entry) : Word::Other};
    const std::size_t listSize = inList ? types->Size(entry) : 0;
    const std::size_t oneSize = inOne ? arguments_.Size(entry) : 0;
    const bool differs = list.ok != one.ok || list.word != one.word || listSize != oneSize;
    const bool inTheOne = Has(OneArgumentTable, differs);
    Respell(inTheOne ? oneSize : listSize);
    return inTheOne ? one : list;
}

// A class's or enum's text, as it is compared where TextEndsLists: under NAME_ONLY, which
// writes no "class ", a class named "void" reads as the type void.
Word Reader::ClassWord(bool isVoid) {
    return isVoid && Has(TextEndsLists) && Has(NameOnly) ? Word::Void : Word::Other;
}

}  // namespace grammar
