// Whether a label may go to the undecorator: the name is read as Wine's undecorator reads
// it (Wine 8 and Wine 10, under either NAME_ONLY setting), production by production, to
// find what would freeze or end the process that asks. Every well-formed decorated name
// passes; so does any text the undecorator merely refuses, since it stops reading there too.
//
// The reader allocates nothing, reads no byte outside the name, and takes time linear in
// its length: it never steps back but over an operator's last byte, each production either
// consumes a byte or is one of a bounded few its caller makes before consuming, and a
// name is read at most four times (two undecorators, two settings), the later readings
// only where the first meets a place where they part. NameReading::steps counts the bytes
// consumed, at most StepsPerByte per byte of the name. Its back-reference tables are exact
// for names up to 511 bytes; labels hold at most 255.
#pragma once

#include <cstddef>
#include <string_view>

enum class Hazard {
    None,
    // An array declares more dimensions than the rest of the name can spell, or a negative
    // number: the undecorator loops once per dimension, for hours.
    ArrayRank,
    // An RTTI code other than 0 to 4 leaves a symbol without a name: a failed assertion
    // ends the process.
    UnknownRtti,
    // A by-value type with cv-qualifiers that is a pointer to a function: the undecorator
    // reads through a null pointer.
    QualifiedFunctionPointer,
    // The undecorator steps over the name's terminating NUL and reads on, through whatever
    // bytes the buffer holds after it (such as an earlier, longer label).
    PastEnd,
};

struct NameReading {
    Hazard hazard = Hazard::None;
    std::size_t steps = 0;  // bytes consumed, over every reading of the name
};

// Reads the name as far as each undecorator would, stopping at the first hazard.
NameReading ReadDecoratedName(std::string_view name);

inline bool IsSafeToUndecorate(std::string_view name) {
    return ReadDecoratedName(name).hazard == Hazard::None;
}

// The bound on NameReading::steps: at most StepsPerByte * (name.size() + 1). Each reading
// consumes each byte once, and past the end at most one byte for each production it is
// in when it gets there.
inline constexpr std::size_t StepsPerByte = 16;
