// The reader's check against Wine's own undecorators (reader_check.h), as a test and as a
// campaign over millions of names.
//
//   reader_oracle [--pool FILE] [--corpus DIR] [--seed S --names N [--strength K]]
//                 [--children J] [--name TEXT]...
//
// The names (oracle_names.h): those of --pool, as scripts/name-pool prints them; the labels
// that the fuzzer's inputs in --corpus make the plugin read; N generated names of run S,
// with up to K mutations; and each --name, whose readings are shown. Ends with the count of
// each ending, of the names kept back and over-kept, and fails if any name is missed.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "oracle/oracle_names.h"
#include "oracle/reader_check.h"

namespace {

// Generated names are made, read and checked this many at a time, so that a campaign of
// millions needs no more memory than one of thousands.
constexpr std::uint64_t GeneratedAtOnce = 20000;

std::uint64_t NumberOption(const std::string& option, const char* value) {
    std::size_t used = 0;
    const std::string text = value == nullptr ? "" : value;
    const auto number = text.empty() || text[0] == '-' ? 0 : std::stoull(text, &used);
    if (used == 0 || used != text.size()) throw std::runtime_error(option + " needs a number");
    return number;
}

int Usage() {
    std::cerr << "usage: reader_oracle [--pool FILE] [--corpus DIR] [--seed S --names N "
                 "[--strength K]] [--children J] [--name TEXT]...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) try {
    std::string poolPath, corpus;
    std::uint64_t seed = 1, generated = 0, strength = 4;
    auto children = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--pool" && value) {
            poolPath = value;
        } else if (option == "--corpus" && value) {
            corpus = value;
        } else if (option == "--name" && value) {
            given.emplace_back(value);
        } else if (option == "--seed") {
            seed = NumberOption(option, value);
        } else if (option == "--names") {
            generated = NumberOption(option, value);
        } else if (option == "--strength") {
            strength = std::max<std::uint64_t>(1, NumberOption(option, value));
        } else if (option == "--children") {
            children = static_cast<int>(std::max<std::uint64_t>(1, NumberOption(option, value)));
        } else {
            return Usage();
        }
        ++i;
    }

    const auto start = std::chrono::steady_clock::now();
    Tally tally;
    Names fixed;
    for (const std::string& name : given) fixed.Add(name, "the command line");
    const std::vector<std::string> pool =
        poolPath.empty() ? std::vector<std::string>{} : PoolNames(poolPath);
    for (std::size_t i = 0; i < pool.size(); ++i) {
        fixed.Add(pool[i], poolPath + ":" + std::to_string(i + 1));
    }
    const std::size_t fromPool = fixed.All().size() - given.size();
    if (!corpus.empty()) {
        for (const std::string& label : CorpusLabels(corpus)) fixed.Add(label, "the fuzz corpus");
    }
    const std::size_t fromCorpus = fixed.All().size() - given.size() - fromPool;
    ReadAndCheck(fixed.All(), children, given.size(), tally);
    std::size_t fromSeed = 0;
    for (std::uint64_t first = 0; first < generated; first += GeneratedAtOnce) {
        Names names;
        for (std::uint64_t i = first; i < std::min(generated, first + GeneratedAtOnce); ++i) {
            names.Add(GeneratedName(pool, seed, i, static_cast<int>(strength)),
                      "seed " + std::to_string(seed) + " name " + std::to_string(i));
        }
        fromSeed += names.All().size();
        ReadAndCheck(names.All(), children, 0, tally);
        if (generated > 10 * GeneratedAtOnce) {  // a campaign says how far it is
            std::fprintf(stderr, "reader_oracle: %llu of %llu generated names read, %zu misses\n",
                         static_cast<unsigned long long>(first + GeneratedAtOnce),
                         static_cast<unsigned long long>(generated), tally.misses.size());
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf(
        "reader_oracle: %zu names (%zu given, %zu of the pool, %zu of the fuzz corpus, "
        "%zu of seed %llu at strength %llu): %zu readings, %zu of them made again with "
        "the whole budget, in %.1f s\n",
        given.size() + fromPool + fromCorpus + fromSeed, given.size(), fromPool, fromCorpus,
        fromSeed, static_cast<unsigned long long>(seed), static_cast<unsigned long long>(strength),
        tally.readings, tally.again, seconds);
    PrintTally(tally);
    std::printf("reader_oracle: %zu misses\n", tally.misses.size());
    return tally.misses.empty() ? 0 : 1;
} catch (const std::exception& error) {
    std::cerr << "reader_oracle: " << error.what() << "\n";
    return 2;
}
