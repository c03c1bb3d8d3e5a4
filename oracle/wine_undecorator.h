// Wine's undecorators, built natively from their own undname.c (oracle/CMakeLists.txt), and
// how one name ends in one of them. Each reading is made as dbghelp's UnDecorateSymbolName
// makes it for the plugin (a 256-byte output, the plugin's flags), in a child process, so
// that an assertion or a fault ends only the child; a child makes readings in turn, and a
// new one takes over after a reading that ends it. A runaway is stopped in the allocator,
// its blocks freed, and the child goes on. ucrtbase's atoi and msvcrt's assert are as in
// the DLL (wine_shim/msvcrt.h).
//
// The name stands at the end of a readable page, followed by its NUL and NulsAfterName more,
// as in the plugin's label buffer, then by an unreadable page. Where it matters the reading
// is true to the 32-bit DLL: an allocation's size is cut to 32 bits, as the DLL's size_t is,
// and integers wrap (the build's -fwrapv). Wine's heap rounds a block up to 8 bytes or more,
// glibc's to 24 or more, so a write a few bytes past a small block is no fault in either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

enum class Ending : std::uint8_t {
    Undecorated,    // it wrote a name
    Refused,        // it gave the name back as it was
    Runaway,        // it went past the time or allocation budget
    Assert,         // an assertion failed, which ends the process
    FaultPastNuls,  // it read past the NULs after the name
    OtherFault,     // any other fault, or the process ended by another signal
};

std::string_view EndingName(Ending ending);

inline bool IsHazard(Ending ending) {
    return ending != Ending::Undecorated && ending != Ending::Refused;
}

// msvcrt's __unDName.
using UnDName = char* (*)(char* output, const char* name, int capacity,
                          void* (*allocate)(std::size_t), void (*release)(void*),
                          unsigned short flags);

struct WineUndecorator {
    std::string_view version;  // as oracle/wine-sources.txt names it: "8.0"
    UnDName undecorate;
};

// Every version that oracle/wine-sources.txt names, in its order (a generated file).
extern const std::span<const WineUndecorator> WineUndecorators;

struct Reading {
    std::string_view name;  // at most 255 bytes, no NUL
    const WineUndecorator* undecorator;
    unsigned long flags;  // UndecorateNameOnly or UndecorateComplete
};

struct ReadingResult {
    Ending ending;
    std::size_t allocated;  // bytes, as far as the reading went
    // The bytes of text that the names and back-references it resolved stand for, as Wine's
    // own trace of each resolution says (wine_shim/wine/debug.h), as far as it went.
    std::size_t resolved;
};

// How each reading ended, in order, each stopped as a runaway past `budget` bytes. The
// readings of one name that follow one another are made in one child process, a new one
// after any that ends it; at most `children` run at a time.
std::vector<ReadingResult> RunReadings(std::span<const Reading> readings, int children,
                                       std::size_t budget);

// One reading, made in this process as in a child, but for its time budget (the caller
// bounds the time) and a fault, which ends the process. Not for a name on which the reader
// expects one.
ReadingResult ReadHere(const Reading& reading, std::size_t budget);

// The budgets past which a reading has run away: as much as the 32-bit DLL copies in about a
// second where 32-bit code is emulated, or as much CPU time. A name that a compiler writes
// takes a few KiB; one that makes Wine loop once per declared array dimension, or whose
// back-references double its text at each step, runs on for hours.
inline constexpr std::size_t AllocationBudget = std::size_t{64} << 20;
inline constexpr int TimeBudgetSeconds = 2;
// A first, quicker pass stops every reading at this; only a reading that it stops and whose
// runaway decides a question is made again with the whole budget.
inline constexpr std::size_t FirstPassBudget = std::size_t{1} << 20;
