// Generated names, for campaigns over millions of names: each follows from the seed, its
// index and the pool alone, so that one of a long run can be made again without the others.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The index-th generated name of run seed, in turn: a name of the pool with up to strength
// mutations (the real-chain fuzzer's, name_mutator.h), a label of the grammar's pieces
// (grammar_label.h), and such a label mutated.
std::string GeneratedName(const std::vector<std::string>& pool, std::uint64_t seed,
                          std::uint64_t index, int strength);
