// Whether a label may go to the undecorator: the name is read as Wine's undecorator reads
// it (each version of dialects.h, under either NAME_ONLY setting), production by production,
// to find what would freeze or end the process that asks. Every well-formed decorated name
// passes; so does any text the undecorator merely refuses, since it stops reading there too.
//
// The reader allocates nothing, reads no byte outside the name, and takes time linear in
// its length. A quick look first finds most names free of every byte sequence a hazard
// starts with, and reads them no further. Any other is read in full, once or more: the
// newest version without NAME_ONLY first, each other dialect only where a reading made met
// a trait on which they part. A reading never steps back but over an operator's last byte,
// and each production either consumes a byte or is one of a bounded few that its caller
// makes before it does. NameReading::steps counts the bytes looked at and consumed, at most
// StepsPerByte per byte of the name. The back-reference tables are exact for names up to
// 511 bytes; labels hold at most 255.
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
    // The undecorator would read past the NULs that follow the name (NulsAfterName).
    PastEnd,
    // Back-references, each standing for a name or type read before, some of them back-
    // references too, spell more than ExpansionLimit bytes: the undecorator builds and
    // copies a text that doubles at each such step, for seconds or until memory runs out.
    Expansion,
};

// A name of at most 255 bytes spells at most this many once its back-references are
// expanded, or is kept back as Expansion. The undecorator's text for one takes some MiB at
// most; no name a compiler writes comes near it.
inline constexpr std::size_t ExpansionLimit = 16 * 1024;

// On a name that ends where a production is left open the undecorator steps over the
// name's NUL and reads on, a byte or two for each production that fails there and lets its
// caller read on (a type nested in types, an argument list): the caller keeps this many NULs
// after the name, so that it reads no earlier, longer label's bytes. A reading that goes
// further is the PastEnd hazard.
inline constexpr std::size_t NulsAfterName = 8;

struct NameReading {
    Hazard hazard = Hazard::None;
    std::size_t steps = 0;  // bytes looked at and consumed, over every reading of the name
};

// Reads the name as far as each undecorator would, stopping at the first hazard, as if
// NulsAfterName NULs followed the name's own.
NameReading ReadDecoratedName(std::string_view name);

inline bool IsSafeToUndecorate(std::string_view name) {
    return ReadDecoratedName(name).hazard == Hazard::None;
}

// The bound on NameReading::steps: at most StepsPerByte * (name.size() + 1). The quick
// look takes one step a byte; each reading, of which there are at most a few, consumes each
// byte once, and past the end at most NulsAfterName.
inline constexpr std::size_t StepsPerByte = 16;
