// Mutated decorated names, to send hostile labels through the real undecorator. Each name
// follows from the seed, its index and the pool alone, so that one name of a long run can
// be made again without the names before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The index-th name of the run seed: a name of pool with 1 to strength mutations (byte
// changes, cuts, splices with another name of pool, repeated segments, inserted operator
// codes, back-references and arrays of any rank), cut to 255 bytes, with no NUL and never
// empty. pool must not be empty.
std::string MutatedName(const std::vector<std::string>& pool, std::uint64_t seed,
                        std::uint64_t index, int strength);
