// A host as cheap as a host can be, for timing the pass against: labels in a table indexed
// by offset into the range, an undecorator that copies its input, and writes that are only
// counted. Linked in place of the real services in the benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_services.h"

struct BenchHost {
    Address base = 0;
    Address size = 0;
    std::vector<std::uint32_t> slot;  // per offset: 1 + index into texts, or 0 for none
    std::vector<std::string> texts;
    std::uint64_t writes = 0;
    std::uint64_t undecorations = 0;
};

BenchHost& Bench();

// A range of size bytes at base with a label every `every` bytes (0: none), cycling
// through a few realistic decorated names, some with the "00:" prefix.
void PlaceLabels(Address base, Address size, Address every);
