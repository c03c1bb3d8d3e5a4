// The stand-in host's world: labels, the current range, what the plugin called, and the
// transcript that the scenario scripts are checked against.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct HostState {
    std::uint32_t base = 0;
    std::uint32_t size = 0;
    std::map<std::uint32_t, std::string> labels;
    bool echoCalls = true;              // print each service call as it happens
    std::map<std::string, long> tally;  // service calls and notices, counted
    std::vector<std::string> transcript;
};

HostState& State();

// Adds one line to the transcript and prints it.
void Say(const std::string& line);

// Text as a C-like literal: printable ASCII as is, anything else as \xNN.
std::string Quoted(const std::string& text);
std::string Hex(std::uint32_t value);
