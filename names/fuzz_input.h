// What one input of the plugin's fuzzer (fuzz/plugin_fuzzer.cpp) asks for, step by step,
// read from its bytes before any step is made: so the labels an input places are known
// without running the plugin, and the oracle's check reads those of the fuzz corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Labels by address, a range, and where the host misbehaves: a yes without a name
// (silent), or a label that fills the buffer copied without its NUL (unterminated).
struct Placement {
    std::uint32_t base = 0;
    std::uint32_t size = 0;
    std::map<std::uint32_t, std::string> labels;
    std::set<std::uint32_t> silentReads;
    std::set<std::uint32_t> unterminatedReads;
};

// How the undecorator answers: 0 refuses every name, 1 answers output with result, 2
// tags each name with its flags, 3 refuses names of odd length and tags the others.
struct UndecoratorScript {
    int mode = 0;
    std::string output;
    unsigned long result = 1;  // never 0
};

struct FuzzStep {
    enum class Kind { Place, Script, Data, Init, Menu, Action } kind = Kind::Data;
    Placement placement;       // Place
    UndecoratorScript script;  // Script
    int number = 0;            // Init: the host's version; Menu and Action: the origin
    int action = 0;            // Action
};

// At most 12 steps, as long as bytes are left.
std::vector<FuzzStep> ReadFuzzInput(const std::uint8_t* data, std::size_t size);

// The labels that the inputs in a folder place, input by input in the order of their file
// names.
std::vector<std::string> FuzzCorpusLabels(const std::string& folder);
