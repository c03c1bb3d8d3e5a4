// Labels built from the grammar's own pieces: symbol and operator starts, name fragments and
// back-references, types, qualifiers, numbers and array counts, so that a label reaches deep
// into the plugin's reading of a name. The fuzzer builds them from its input, the oracle's
// check from a seeded stream of bytes.
#pragma once

#include <span>
#include <string>

class FuzzedDataProvider;

// Pieces of decorated names where the grammar branches, put anywhere.
extern const std::span<const char* const> GrammarCodes;

// A walk down the grammar, a few pieces after the start of a symbol, or "?" and up to 48
// pieces; at most 255 bytes.
std::string GrammarLabel(FuzzedDataProvider& in);
