// A grammar label's choices come from a stream of bytes seeded by the run and the index.
#include "names/generated_name.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <random>

#include "names/grammar_label.h"
#include "names/name_mutator.h"

std::string GeneratedName(const std::vector<std::string>& pool, std::uint64_t seed,
                          std::uint64_t index, int strength) {
    if (index % 3 == 0 && !pool.empty()) return MutatedName(pool, seed, index, strength);
    std::mt19937_64 random(seed * 0x9E3779B97F4A7C15 + index);
    std::array<std::uint8_t, 256> bytes;
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    FuzzedDataProvider in(bytes.data(), bytes.size());
    const std::string label = GrammarLabel(in);
    return index % 3 == 2 ? MutatedName({label}, seed, index, strength) : label;
}
