// The names the reader's check reads: those the tests hold (scripts/name-pool), the labels
// that the fuzz corpus's inputs make the plugin read, and generated ones. Each is a label as
// the plugin reads it, and where it starts "00:", also the name the plugin makes of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct Named {
    std::string name;
    std::string from;  // where it came from, for a message
};

// Names once each, in the order first added.
class Names {
public:
    // A label as the plugin reads it: up to its NUL, at most 255 bytes; and without "00:".
    void Add(std::string label, const std::string& from);
    const std::vector<Named>& All() const { return all_; }

private:
    void Insert(std::string name, const std::string& from);
    std::set<std::string> seen_;
    std::vector<Named> all_;
};

// The names of a file, one a line in the stand-in host's script text (\xNN, \\).
std::vector<std::string> PoolNames(const std::string& path);

// The labels that the fuzzer's inputs in folder make the plugin read, input by input in the
// order of their file names.
std::vector<std::string> CorpusLabels(const std::string& folder);

// The index-th generated name of run seed, following from the seed, index and pool alone:
// in turn a name of the pool with up to strength mutations (the real-chain fuzzer's), a
// label of the fuzzer's grammar pieces, and such a label mutated.
std::string GeneratedName(const std::vector<std::string>& pool, std::uint64_t seed,
                          std::uint64_t index, int strength);
