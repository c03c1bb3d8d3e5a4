// The reader's check against Wine's own undecorators (reader_check.h), as a test and as a
// campaign over millions of names.
//
//   reader_oracle [--file FILE]... [--corpus DIR] [--seed S --names N [--strength K]]
//                 [--readings FILE] [--children J] [--name TEXT]...
//
// The names (names/): those of each --file, one a line (name_text.h), such as the names the
// tests hold and those the search found; the labels that the fuzzer's inputs in --corpus
// place; N generated names of run S, with up to K mutations, each a name not read before;
// and each --name, whose readings are shown. --readings keeps Wine's readings in a file from
// one run to the next (reading_store.h). Ends with the count of each ending, of the names
// kept back and over-kept, and every miss, and fails if there is one.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "names/fuzz_input.h"
#include "names/generated_name.h"
#include "names/name_text.h"
#include "oracle/oracle_names.h"
#include "oracle/reader_check.h"

namespace {

// Generated names are made, read and checked this many at a time, so that a campaign of
// millions needs no more memory than one of thousands.
constexpr std::uint64_t GeneratedAtOnce = 20000;
// A run's indices give this many times the names asked for at most: past that, the
// generator is taken to make no new ones.
constexpr std::uint64_t IndicesPerName = 4;

std::uint64_t NumberOption(const std::string& option, const char* value) {
    std::size_t used = 0;
    const std::string text = value == nullptr ? "" : value;
    const auto number = text.empty() || text[0] == '-' ? 0 : std::stoull(text, &used);
    if (used == 0 || used != text.size()) throw std::runtime_error(option + " needs a number");
    return number;
}

int Usage() {
    std::cerr << "usage: reader_oracle [--file FILE]... [--corpus DIR] [--seed S --names N "
                 "[--strength K]] [--readings FILE] [--children J] [--name TEXT]...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) try {
    std::vector<std::string> files;
    std::string corpus, store;
    std::uint64_t seed = 1, generated = 0, strength = 4;
    auto children = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--file" && value) {
            files.emplace_back(value);
        } else if (option == "--corpus" && value) {
            corpus = value;
        } else if (option == "--readings" && value) {
            store = value;
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
    ReadingStore readings(store);
    Tally tally;
    Names names;
    std::string sources;
    const auto source = [&](const std::string& what, std::size_t before) {
        sources +=
            (sources.empty() ? "" : ", ") + std::to_string(names.Count() - before) + " " + what;
    };
    std::size_t before = names.Count();
    for (const std::string& name : given) names.Add(name, "the command line");
    source("given", before);
    std::vector<std::string> pool;
    for (const std::string& file : files) {
        before = names.Count();
        const std::vector<std::string> read = ReadNames(file);
        for (std::size_t i = 0; i < read.size(); ++i) {
            names.Add(read[i], file + ":" + std::to_string(i + 1));
        }
        pool.insert(pool.end(), read.begin(), read.end());
        source("of " + file, before);
    }
    if (!corpus.empty()) {
        before = names.Count();
        for (const std::string& label : FuzzCorpusLabels(corpus)) {
            names.Add(label, "the fuzz corpus");
        }
        source("of the fuzz corpus", before);
    }
    ReadAndCheck(names.Take(), children, given.size(), readings, tally);

    // N names not read before: an index whose name was read already is passed over.
    before = names.Count();
    std::uint64_t index = 0;
    const std::uint64_t lastIndex = IndicesPerName * generated + 1000;
    while (names.Count() - before < generated && index < lastIndex) {
        std::uint64_t batch = 0;
        for (; batch < GeneratedAtOnce && names.Count() - before < generated && index < lastIndex;
             ++index) {
            batch += names.Add(GeneratedName(pool, seed, index, static_cast<int>(strength)),
                               "seed " + std::to_string(seed) + " name " + std::to_string(index))
                         ? 1
                         : 0;
        }
        ReadAndCheck(names.Take(), children, 0, readings, tally);
        if (generated > 10 * GeneratedAtOnce) {  // a campaign says how far it is
            std::fprintf(stderr, "reader_oracle: %zu of %llu generated names read, %zu misses\n",
                         names.Count() - before, static_cast<unsigned long long>(generated),
                         tally.missCount);
        }
    }
    const std::size_t fromSeed = names.Count() - before;
    source("of seed " + std::to_string(seed) + " at strength " + std::to_string(strength) +
               " (indices 0 to " + std::to_string(index) + ")",
           before);
    readings.Save();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf(
        "reader_oracle: %zu names (%s): %zu readings, %zu made afresh, %zu of them again with "
        "the whole budget, in %.1f s\n",
        names.Count(), sources.c_str(), tally.readings, tally.made, tally.again, seconds);
    if (fromSeed < generated) {
        std::printf(
            "reader_oracle: %llu generated names were asked for, but the first %llu indices of "
            "seed %llu gave only %zu not read before\n",
            static_cast<unsigned long long>(generated), static_cast<unsigned long long>(index),
            static_cast<unsigned long long>(seed), fromSeed);
    }
    PrintTally(tally);
    std::printf("reader_oracle: %zu misses\n", tally.missCount);
    return tally.missCount == 0 ? 0 : 1;
} catch (const std::exception& error) {
    std::cerr << "reader_oracle: " << error.what() << "\n";
    return 2;
}
