// The reader against Wine's own undecorators. Every name is read by each of them under
// both flags (wine_undecorator.h), and by the reader; they must agree:
// - the reader keeps a name back exactly when some reading runs away, asserts or faults, and
//   with the hazard that matches how one of them ended: ArrayRank or Expansion for a runaway,
//   UnknownRtti for an assert, QualifiedFunctionPointer for a fault, PastEnd for a fault past
//   the NULs;
// - each reading of a version that the reader models ends as the reader's reading of it in
//   that version's dialect says it does.
// The leeway is the reader's own conservative rules: an array count above the bytes left is
// ArrayRank, and back-references that spell more than ExpansionLimit bytes are Expansion,
// though Wine may read either to its end. Such names are over-kept, and counted; an
// Expansion is excused only where, by Wine's own count, the reading resolved back-references
// to as much text as such a name makes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/name_reader.h"
#include "oracle/oracle_names.h"
#include "oracle/reading_store.h"
#include "oracle/wine_undecorator.h"

// What the reader makes of a name: its verdict, and its reading in the dialect of each
// undecorator and flag, where it models the version.
struct ReaderView {
    Hazard verdict;
    std::vector<std::optional<Hazard>> readings;  // by undecorator and then flag
    // The reader answered otherwise where other bytes followed the name: it read past its end.
    bool readsPastTheEnd = false;
    bool operator==(const ReaderView&) const = default;
};
ReaderView ViewOf(std::string_view name);

// The readings of a name, by undecorator and then flag; they refer to name.
std::vector<Reading> ReadingsOf(std::string_view name);

// Whether the reading-th reading of a name, stopped as a runaway at FirstPassBudget, must be
// made again with the whole budget: where the reader does not keep it back as a runaway.
bool RunawayDecides(const ReaderView& view, std::size_t reading);

// What the reader's view of a name gets wrong against its readings (ReadingsOf's order);
// nothing where they agree.
std::vector<std::string> Disagreements(std::string_view name, const ReaderView& view,
                                       std::span<const ReadingResult> results);

// How one name's readings ended, by undecorator and then flag, and what each allocated and
// resolved.
std::string Endings(std::span<const ReadingResult> results, bool allocations);

struct Tally {
    // By undecorator and then flag: how many readings ended each way (Ending).
    std::vector<std::array<std::size_t, 6>> endings;
    std::map<Hazard, std::size_t> kept;
    std::map<Hazard, std::size_t> overKept;  // kept, though no reading ends in a hazard
    std::vector<std::string> overKeptShown;
    // Of the names over-kept as Expansion, the least that the most resolving of a name's
    // readings resolved: how wide the leeway must be.
    std::size_t leastResolvedOverKept = SIZE_MAX;
    std::size_t largestLetThrough = 0;  // the most a reading of a name let through allocated
    // Each miss, by how the name's readings ended.
    std::map<std::string, std::vector<std::string>> misses;
    std::size_t missCount = 0;
    std::size_t readings = 0;
    std::size_t made = 0;   // not in the store, so made afresh
    std::size_t again = 0;  // made again with the whole budget
};

// Reads every name with every undecorator under both flags, at most `children` readings at
// a time, each taken from the store where it holds it and kept there otherwise, and checks
// the reader against each; the first `shown` names have their readings printed. A first
// pass stops each reading within FirstPassBudget; a runaway there is made again with the
// whole budget where RunawayDecides.
void ReadAndCheck(const std::vector<Named>& names, int children, std::size_t shown,
                  ReadingStore& store, Tally& tally);

// The tally's lines: how the readings ended, the names kept back and over-kept, the most
// that a name let through made Wine allocate, and every miss, grouped by how its readings
// ended.
void PrintTally(const Tally& tally);
