// The oracle's leeway: where the reader's conservative rules keep back a name that Wine
// reads to its end, the name is over-kept, not a miss. Each rule is judged apart from the
// reader's own code, so that a reader that misreads is not excused by its misreading.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "core/name_reader.h"
#include "oracle/wine_undecorator.h"

// A name whose back-references spell past the reader's limit of 16 KiB makes the
// undecorator resolve them to texts of that order, by Wine's own count
// (ReadingResult::resolved): a quarter of their spelling at least, as a reference to a class
// spells four bytes ("V1@@") where its text may hold one. Written apart from ExpansionLimit,
// so that a reader whose limit or count moves is seen.
inline constexpr std::size_t ResolvedAtTheLimit = 4 * 1024;

// Whether the reader, finding this hazard, stopped at one of its conservative rules, by the
// given readings of the name.
bool Conservative(Hazard found, std::string_view name, std::span<const ReadingResult> results);
