// Hosts for timing the pass against, linked in place of the real services in the
// benchmark. Two ways to answer ReadName: a name table as a debugger keeps one (sorted by
// address, searched by bisection, holding other modules' names too), and a flat table
// indexed by offset into the range, cheaper than any real host. The undecorator copies its
// input; writes are dropped.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/host_services.h"

enum class HostKind { NameTable, Flat };

struct BenchHost {
    HostKind kind = HostKind::NameTable;
    Address base = 0;
    Address size = 0;
    std::vector<std::pair<Address, std::uint32_t>> table;  // NameTable: address, 1 + text
    std::vector<std::uint32_t> slot;  // Flat: per offset, 1 + index into texts, or 0
    std::vector<std::string> texts;
    std::uint64_t undecorations = 0;
};

BenchHost& Bench();

// A range of size bytes at base with a label every `every` bytes (0: none), cycling
// through a few realistic decorated names, some with the "00:" prefix.
void PlaceLabels(HostKind kind, Address base, Address size, Address every);
