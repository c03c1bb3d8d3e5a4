// The reader against Wine's own undecorators. Every name is read by each of them under
// both flags, each reading in a child process (wine_undecorator.h), and by the reader; they
// must agree:
// - the reader keeps a name back exactly when some reading runs away, asserts or faults, and
//   with the hazard that matches how one of them ended: ArrayRank or Expansion for a runaway,
//   UnknownRtti for an assert, QualifiedFunctionPointer for a fault, PastEnd for a fault past
//   the NULs;
// - each reading of a version that the reader models ends as the reader's reading of it
//   says it does.
// The leeway is the reader's own conservative rules: an array count above the bytes left is
// ArrayRank, and back-references that spell more than ExpansionLimit bytes are Expansion,
// though Wine may read either to its end. Such names are over-kept, and counted.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "core/name_reader.h"
#include "oracle/oracle_names.h"

struct Tally {
    // By undecorator and then flag: how many readings ended each way (Ending).
    std::vector<std::array<std::size_t, 6>> endings;
    std::map<Hazard, std::size_t> kept;
    std::map<Hazard, std::size_t> overKept;  // kept, though no reading ends in a hazard
    std::vector<std::string> overKeptShown;
    std::size_t largestLetThrough = 0;  // the most a reading of a name let through allocated
    std::vector<std::string> misses;
    std::size_t readings = 0;
    std::size_t again = 0;  // made again with the whole budget
};

// Reads every name with every undecorator under both flags, at most `children` readings at
// a time, and checks the reader against each; the first `shown` names have their readings
// printed. A first pass stops each reading within FirstPassBudget; a runaway there is made
// again with the whole budget only where the reader does not keep the name back as one.
void ReadAndCheck(const std::vector<Named>& names, int children, std::size_t shown, Tally& tally);

// The tally's lines: how the readings ended, the names kept back and over-kept, the most
// that a name let through made Wine allocate, and the first misses.
void PrintTally(const Tally& tally);
