// The reader's state and its productions, shared by symbol_reader.cpp (symbols, their
// empty scope and their encodings), scope_reader.cpp (scopes and names), type_reader.cpp
// (types) and argument_reader.cpp (argument lists, back-references, numbers). One
// production per function, each mirroring the step of the undecorator it is named after:
// it reads and consumes the same bytes in the same order, fails where the undecorator
// fails, and goes on where the undecorator ignores a failure, so that the position after it
// is the same.
//
// A position may pass the end of the name, as the undecorator's does when it consumes the
// terminating NUL, and reads NULs there. Once a hazard is found every read answers NUL, on
// which every production fails, so the reading unwinds at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/dialects.h"
#include "core/name_reader.h"

namespace grammar {

// What a type's text is compared with where TextEndsLists: "void" ends a function's
// arguments, "..." any argument list.
enum class Word : std::uint8_t { Other, Void, Ellipsis };

// One of the undecorator's back-reference arrays, by count: an entry is there to refer to
// below max, the most ever pushed, even after num was wound back. Capacity entries keep
// their word and the bytes they spell (back-references expanded); beyond them, none is
// needed by a name of 511 bytes or fewer. The tables of argument types are one per function
// or template, or one for the whole name (OneArgumentTable).
template <unsigned Capacity>
struct Table {
    unsigned start = 0;
    unsigned num = 0;
    unsigned max = 0;
    // Only those below max are read, and all of those were written.
    Word words[Capacity];
    std::size_t sizes[Capacity];

    void Push(Word word, std::size_t size) {
        if (num < Capacity) {
            words[num] = word;
            sizes[num] = size;
        }
        if (++num > max) max = num;
    }
    // The undecorator's own arithmetic, unsigned and wrapping.
    bool Has(unsigned index) const { return start + index < max; }
    Word At(unsigned index) const {
        const unsigned position = start + index;
        return position < Capacity ? words[position] : Word::Other;
    }
    std::size_t Size(unsigned index) const {
        const unsigned position = start + index;
        return position < Capacity ? sizes[position] : 0;
    }
};
// Names: one entry per name fragment. Argument types: two per argument (a type's left and
// right text), and a back-reference reaches only the first ten arguments.
using Names = Table<256>;
using ArgumentTypes = Table<20>;

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Name {
    bool ok = false;
    bool isVoid = false;  // the text is exactly "void"
};
struct Type {
    bool ok = false;
    Word word = Word::Other;
    bool noLeadingSpace = false;  // a function pointer: the undecorator drops a space before it
};
struct Count {
    bool ok = false;
    bool negative = false;
    std::uint32_t value = 0;  // saturated: any count this large is a hazard anyway
};

// A number as the undecorator reads it from the front of text: an optional '?' for minus,
// then a digit for 1 to 10, or hexadecimal digits 'A' to 'P' ending in '@'. used: the
// bytes it consumed, which a failed number keeps too.
Count ReadNumber(std::string_view text, std::size_t& used);

// The undecorator reads one number per dimension an array's count declares, whether or
// not they are there, copying its text so far at each: a count that the left bytes cannot
// spell, one byte a dimension at least, runs for hours.
inline bool IsHazardousRank(const Count& count, std::size_t left) {
    return (count.negative && count.value > 0) || count.value > left;
}

// Whether the name holds a byte sequence that some hazard starts with: a 'Y' before a
// hazardous count, "_R" before anything but '0' to '4', '6' after 'P' to 'S', or enough
// digits that its back-references could spell past ExpansionLimit. Where it holds none, no
// reading of it finds a hazard.
bool MayHoldHazard(std::string_view name);
struct Qualifiers {
    bool ok = false;
    bool text = false;  // words stand before the type's own text
};
// Where a symbol's operator leaves it: the symbol ends here (a string literal), with
// success or not, or reading goes on.
enum class Outcome { Fails, Succeeds, ReadOn };
// Constructors and destructors take their class's name, so need a class.
enum class Operator { Plain, Structor };

class Reader {
public:
    Reader(std::string_view name, Traits dialect) : name_(name), dialect_(dialect) {}

    Hazard ReadSymbol() {
        Symbol();
        return hazard_;
    }
    // Bytes consumed: each once, but the few stepped back over, and past the end included.
    std::size_t Steps() const { return at_ + backs_; }
    // Bytes consumed, each back-reference counted as the bytes it stands for.
    std::size_t Spelled() const { return at_ + respelled_; }
    // Of those, the bytes whose text the undecorator keeps: what a back-reference to a name
    // or type read since stands for. It drops the text of what fails where it reads on
    // (Drop).
    std::size_t Kept() const { return Spelled() - dropped_; }
    // The traits on which this reading's way went: a dialect that agrees with this one on
    // each of them reads the name alike.
    Traits Met() const { return met_; }

    // symbol_reader.cpp
    bool Symbol();
    Outcome OperatorName(Operator& kind);
    Outcome SpecialName(bool& named);
    bool Data();
    bool Method();

    // scope_reader.cpp
    Name Class();  // isVoid: exactly one fragment, "void"
    Name TemplateName();
    Name Literal();

    // type_reader.cpp
    Type DataType(bool inArguments, ArgumentTypes* types);
    Type DollarType(bool inArguments, ArgumentTypes* types, bool& recorded);
    Type PointerType(char code, bool inArguments, ArgumentTypes* types, bool& recorded);
    Type QualifiedType(char qualifier, ArgumentTypes* types, bool& finished);
    Qualifiers Qualifier(bool withMemberClass);
    // __ptr64, __unaligned, __restrict, and the '&' and '&&' of a method's reference
    // qualifiers ("E", "F", "I", "G", "H"): whether there were any. Defined here so that the
    // common case, none, costs no call.
    bool ExtendedQualifiers() {
        bool any = false;
        for (char c = Peek(); c >= 'E' && c <= 'I'; c = Peek()) {
            Take();
            any = true;
        }
        return any;
    }

    // argument_reader.cpp
    bool FunctionSignature(ArgumentTypes* types);
    bool Arguments(bool ofFunction, ArgumentTypes* types);
    Type BackReference(unsigned index, const ArgumentTypes* types);
    Word ClassWord(bool isVoid);
    bool CallingConvention(char code, bool ofMethod);
    Count Number();
    bool Dimensions(Count count);

    // The cursor. Peek reads the byte `ahead` of the position: NUL at and past the end,
    // as far as the NULs after the name reach; a hazard beyond them.
    char Peek(std::size_t ahead = 0) {
        const std::size_t at = at_ + ahead;
        if (at < name_.size()) return name_[at];
        if (at > name_.size() + NulsAfterName) Found(Hazard::PastEnd);
        return '\0';
    }
    char Take() {
        const char c = Peek();
        ++at_;
        return c;
    }
    void Skip(std::size_t count) { at_ += count; }
    void Back() {
        --at_;
        ++backs_;
    }
    // The first hazard stands. The view empties, so that every later read answers NUL.
    void Found(Hazard hazard) {
        if (hazard_ != Hazard::None) return;
        hazard_ = hazard;
        name_ = {};
    }
    // What is left of the name from the position on; a view's substr could throw.
    std::string_view Rest() const {
        return at_ < name_.size() ? std::string_view(name_.data() + at_, name_.size() - at_)
                                  : std::string_view();
    }
    // A back-reference resolved to an entry that spells this many bytes.
    // What was kept since `from` (a Kept()) failed, and its text is dropped.
    void Drop(std::size_t from) { dropped_ += Kept() - from; }
    void Respell(std::size_t size) {
        respelled_ += size;
        if (Spelled() > ExpansionLimit) Found(Hazard::Expansion);
    }
    // Whether this reading's dialect has the trait. A reading asks only where the answer
    // decides its way; `differs`, where it knows that both answers go the same way.
    bool Has(Traits trait, bool differs = true) {
        if (differs) met_ |= trait;
        return (dialect_ & trait) != 0;
    }

private:
    std::string_view name_;
    Traits dialect_;
    std::size_t at_ = 0;
    std::size_t backs_ = 0;
    std::size_t respelled_ = 0;  // below twice ExpansionLimit: past it a hazard ends the reading
    std::size_t dropped_ = 0;
    Hazard hazard_ = Hazard::None;
    Traits met_ = 0;
    // Both kinds of argument table are kept whichever the dialect reads, so that a reading
    // sees where the other kind would resolve a back-reference otherwise.
    Names names_;
    ArgumentTypes arguments_;  // the one table for the whole name; its max is at most 20
};

}  // namespace grammar
