// The check's names: the pool read as the script language reads a text, the corpus replayed
// through the fuzzer's own reading of an input, and generated names from the real-chain
// fuzzer's mutations and the native fuzzer's grammar labels.
#include "oracle/oracle_names.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "fuzz/grammar_label.h"
#include "host/host_services.h"
#include "stand_in_host/name_mutator.h"
#include "stand_in_host/script.h"
#include "tests/fake_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

void Names::Add(std::string label, const std::string& from) {
    label = label.substr(0, std::min<std::size_t>(label.find('\0'), TextBufferSize - 1));
    if (label.starts_with("00:") && label.size() > 3) Insert(label.substr(3), from);
    Insert(std::move(label), from);
}

void Names::Insert(std::string name, const std::string& from) {
    if (seen_.insert(name).second) all_.push_back({std::move(name), from});
}

std::vector<std::string> PoolNames(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> names;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty()) names.push_back(Words(line).Text());
    }
    return names;
}

std::vector<std::string> CorpusLabels(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> labels;
    WatchLabelReads = [&labels](std::string_view text) { labels.emplace_back(text); };
    for (const auto& path : files) {
        std::ifstream file(path, std::ios::binary);
        const std::string input{std::istreambuf_iterator<char>(file), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    WatchLabelReads = nullptr;
    return labels;
}

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
