// The names the reader's check reads, each once: labels as the plugin reads them from any
// source of names/ (those the tests hold, those the search found, those the fuzz corpus's
// inputs place, generated ones), and where a label starts "00:", also the name the plugin
// makes of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

struct Named {
    std::string name;
    std::string from;  // where it came from, for a message
};

class Names {
public:
    // A label as the plugin reads it: up to its NUL, at most 255 bytes; and without "00:".
    // Whether either was a name not seen before.
    bool Add(std::string label, const std::string& from);
    // The names added since the last Take, in the order first added.
    std::vector<Named> Take();
    std::size_t Count() const { return seen_.size(); }

private:
    bool Insert(std::string name, const std::string& from);
    // By a 64-bit hash, so that a campaign of millions of names keeps 8 bytes a name: two
    // names that share one (for a million names, about one chance in 30 million) read as one.
    std::unordered_set<std::uint64_t> seen_;
    std::vector<Named> added_;
};
