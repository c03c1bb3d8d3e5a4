// The stand-in host's world: the current range, the labels, what the plugin called, and
// the marks that later commands compare against.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/label_table.h"

struct HostState {
    Address base = 0;
    Address size = 0;
    LabelTable labels;
    LabelTable snapshot;                          // the labels at the last `snapshot`
    Address lastLabel = 0;                        // where ReadName last gave a label
    std::vector<Address> sent;                    // labels undecorated since the last action
    bool trace = true;                            // print each service call as it happens
    std::map<std::string, long> tally;            // service calls and notices, counted
    std::size_t memoryMarkKiB = 0;                // committed memory at the last mark
    std::optional<std::size_t> memoryControlKiB;  // growth before `memory-control`
};

HostState& State();
