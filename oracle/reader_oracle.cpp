// The reader's check against Wine's own undecorators. Every name is read by each of them
// under both flags, each reading in a child process (wine_undecorator.h), and by the reader;
// they must agree:
// - the reader keeps a name back exactly when some reading runs away, asserts or faults, and
//   with the hazard that matches how one of them ended: ArrayRank or Expansion for a runaway,
//   UnknownRtti for an assert, QualifiedFunctionPointer for a fault, PastEnd for a fault past
//   the NULs;
// - each reading of a version that the reader models ends as the reader's reading of it
//   says it does.
// The leeway is the reader's own conservative rules: an array count above the bytes left is
// ArrayRank, and back-references that spell more than ExpansionLimit bytes are Expansion,
// though Wine may read either to its end. Such names are over-kept, and counted.
//
//   reader_oracle [--pool FILE] [--corpus DIR] [--seed S --names N [--strength K]]
//                 [--children J] [--name TEXT]...
//
// The names: those of --pool (one a line, in the stand-in host's script text, as
// scripts/name-pool prints them); the labels that the fuzzer's inputs in --corpus make the
// plugin read; N generated names of run S (a name of the pool with up to K mutations, a
// label of the fuzzer's grammar pieces, or such a label mutated, in turn); and each --name,
// whose readings are shown. A label starting "00:" is read with and without that prefix, as
// the plugin drops it. Ends with the count of each ending, of the names kept back and
// over-kept, and fails if any name is missed.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/grammar_reader.h"
#include "core/name_reader.h"
#include "fuzz/grammar_label.h"
#include "host/host_services.h"
#include "oracle/wine_undecorator.h"
#include "stand_in_host/name_mutator.h"
#include "stand_in_host/script.h"
#include "tests/fake_host.h"
#include "tests/quoted.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// The versions that the reader models, as its dialects. A version of oracle/wine-sources.txt
// that is not here is checked by the reader's verdict alone, until the reader learns it.
struct Modelled {
    std::string_view version;
    bool wine10;
};
constexpr Modelled Dialects[] = {{"8.0", false}, {"10.0", true}};

constexpr unsigned long Flags[] = {UndecorateNameOnly, UndecorateComplete};
constexpr std::size_t MaxName = TextBufferSize - 1;
constexpr std::size_t MissesShown = 20;
// Generated names are made, read and checked this many at a time, so that a campaign of
// millions needs no more memory than one of thousands.
constexpr std::uint64_t GeneratedAtOnce = 20000;

struct Named {
    std::string name;
    std::string from;  // where it came from, for a message
};

class Names {
public:
    // A label as the plugin reads it: up to its NUL, at most 255 bytes; and without "00:".
    void Add(std::string label, const std::string& from) {
        label = label.substr(0, std::min(label.find('\0'), MaxName));
        if (label.starts_with("00:") && label.size() > 3) Insert(label.substr(3), from);
        Insert(std::move(label), from);
    }
    const std::vector<Named>& All() const { return all_; }

private:
    void Insert(std::string name, const std::string& from) {
        if (seen_.insert(name).second) all_.push_back({std::move(name), from});
    }
    std::set<std::string> seen_;
    std::vector<Named> all_;
};

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

// The hazard that the reader must find where a reading ends so; a runaway is either kind.
bool Matches(Hazard found, Ending ending) {
    switch (ending) {
        case Ending::Runaway:
            return found == Hazard::ArrayRank || found == Hazard::Expansion;
        case Ending::Assert:
            return found == Hazard::UnknownRtti;
        case Ending::OtherFault:
            return found == Hazard::QualifiedFunctionPointer;
        case Ending::FaultPastNuls:
            return found == Hazard::PastEnd;
        default:
            return found == Hazard::None;
    }
}

std::string_view HazardName(Hazard hazard) {
    constexpr std::string_view Names[] = {
        "none", "ArrayRank", "UnknownRtti", "QualifiedFunctionPointer", "PastEnd", "Expansion"};
    return Names[static_cast<int>(hazard)];
}

std::string FlagName(unsigned long flags) {
    return flags == UndecorateNameOnly ? "NAME_ONLY" : "complete";
}

// The reader's conservative rule for arrays: some 'Y' stands before a count above the bytes
// after it.
bool HasCountAboveBytesLeft(std::string_view name) {
    for (std::size_t at = name.find('Y'); at != std::string_view::npos;
         at = name.find('Y', at + 1)) {
        std::size_t used = 0;
        const std::string_view rest = name.substr(at + 1);
        const grammar::Count count = grammar::ReadNumber(rest, used);
        if (count.ok && !count.negative && count.value > rest.size() - used) return true;
    }
    return false;
}

// A name whose back-references spell past ExpansionLimit makes the undecorator build a text
// of that order, and allocate no less, whether or not it runs away.
constexpr std::size_t ExpandedAllocation = ExpansionLimit / 4;

// Where the reader stops at one of its conservative rules, the reading may end otherwise.
bool Conservative(Hazard found, std::string_view name, const ReadingResult& result) {
    return (found == Hazard::ArrayRank && HasCountAboveBytesLeft(name)) ||
           (found == Hazard::Expansion && result.allocated >= ExpandedAllocation);
}

// Whether the reader keeps the name back as a runaway, and so does its reading of this one
// where it models its version: then how far the reading runs away decides nothing.
bool ReaderStopsAtRunaway(const Reading& reading) {
    const auto runaway = [](Hazard hazard) {
        return hazard == Hazard::ArrayRank || hazard == Hazard::Expansion;
    };
    if (!runaway(ReadDecoratedName(reading.name).hazard)) return false;
    for (const Modelled& dialect : Dialects) {
        if (dialect.version != reading.undecorator->version) continue;
        const grammar::Dialect as{dialect.wine10, reading.flags == UndecorateNameOnly};
        return runaway(grammar::Reader(reading.name, as).ReadSymbol());
    }
    return true;
}

struct Tally {
    // By undecorator and flag, as results are: how many readings ended each way.
    std::vector<std::array<std::size_t, 6>> endings;
    std::map<Hazard, std::size_t> kept;
    std::map<Hazard, std::size_t> overKept;  // kept, though no reading ends in a hazard
    std::vector<std::string> overKeptShown;
    std::size_t largestLetThrough = 0;  // the most a reading of a name let through allocated
    std::vector<std::string> misses;
    std::size_t readings = 0;
    std::size_t again = 0;  // made again with the whole budget
};

// How one name's readings ended, by undecorator and then flag.
std::string Endings(std::span<const ReadingResult> results) {
    std::string text;
    for (std::size_t r = 0; r < results.size(); ++r) {
        const std::size_t f = r % std::size(Flags);
        if (f == 0) {
            text += std::string(r == 0 ? "" : "; ") + "Wine " +
                    std::string(WineUndecorators[r / std::size(Flags)].version) + ":";
        }
        text += std::string(f == 0 ? " " : ", ") + FlagName(Flags[f]) + " " +
                std::string(EndingName(results[r].ending));
    }
    return text;
}

// Compares one name's readings, by undecorator and then flag, with the reader's.
void Check(const Named& named, std::span<const ReadingResult> results, bool show, Tally& tally) {
    tally.endings.resize(results.size());
    bool anyHazard = false;
    for (std::size_t r = 0; r < results.size(); ++r) {
        ++tally.endings[r][static_cast<int>(results[r].ending)];
        anyHazard = anyHazard || IsHazard(results[r].ending);
    }
    const auto what = [&] { return Quoted(named.name) + " (" + named.from + ")"; };
    const Hazard verdict = ReadDecoratedName(named.name).hazard;
    if (show) {
        std::cout << what() << ": the reader: " << HazardName(verdict) << "; " << Endings(results)
                  << "\n";
    }
    const auto miss = [&](const std::string& why) {
        tally.misses.push_back("miss: " + what() + ": " + why + "; " + Endings(results));
    };
    // The verdict: kept back exactly when some reading ends in a hazard, and as that hazard,
    // or by a conservative rule.
    if (verdict == Hazard::None) {
        for (const ReadingResult& result : results) {
            if (result.ending == Ending::Runaway) continue;
            tally.largestLetThrough = std::max(tally.largestLetThrough, result.allocated);
        }
        if (anyHazard) miss("the reader lets it through");
    } else {
        ++tally.kept[verdict];
        const auto agrees = [&](const ReadingResult& r) {
            return Matches(verdict, r.ending) || Conservative(verdict, named.name, r);
        };
        if (!std::any_of(results.begin(), results.end(), agrees)) {
            miss("the reader keeps it back as " + std::string(HazardName(verdict)));
        } else if (!anyHazard) {
            if (tally.overKeptShown.size() < 3) tally.overKeptShown.push_back(what());
            ++tally.overKept[verdict];
        }
    }
    // Each reading of a modelled version, against the reader's reading in its dialect.
    for (std::size_t u = 0; u < WineUndecorators.size(); ++u) {
        const auto dialect = std::find_if(
            std::begin(Dialects), std::end(Dialects),
            [&](const Modelled& m) { return m.version == WineUndecorators[u].version; });
        if (dialect == std::end(Dialects)) continue;
        for (std::size_t f = 0; f < std::size(Flags); ++f) {
            const ReadingResult& result = results[u * std::size(Flags) + f];
            const Hazard found =
                grammar::Reader(named.name, {dialect->wine10, Flags[f] == UndecorateNameOnly})
                    .ReadSymbol();
            if (Matches(found, result.ending) || Conservative(found, named.name, result)) continue;
            miss("Wine " + std::string(dialect->version) + " " + FlagName(Flags[f]) + " ended " +
                 std::string(EndingName(result.ending)) + ", the reader's reading of it finds " +
                 std::string(HazardName(found)));
        }
    }
}

// Reads every name with every undecorator under both flags, and checks the reader against
// each: a first pass within FirstPassBudget, then, with the whole budget, the runaways that
// decide a question.
void ReadAndCheck(const std::vector<Named>& names, int children, std::size_t shown, Tally& tally) {
    std::vector<Reading> readings;
    for (const Named& named : names) {
        for (const WineUndecorator& undecorator : WineUndecorators) {
            for (const unsigned long flags : Flags) {
                readings.push_back({named.name, &undecorator, flags});
            }
        }
    }
    std::vector<ReadingResult> results = RunReadings(readings, children, FirstPassBudget);
    std::vector<Reading> again;
    std::vector<std::size_t> againAt;
    for (std::size_t r = 0; r < readings.size(); ++r) {
        if (results[r].ending == Ending::Runaway && results[r].allocated <= AllocationBudget &&
            !ReaderStopsAtRunaway(readings[r])) {
            again.push_back(readings[r]);
            againAt.push_back(r);
        }
    }
    const std::vector<ReadingResult> wholeBudget = RunReadings(again, children, AllocationBudget);
    for (std::size_t a = 0; a < again.size(); ++a) results[againAt[a]] = wholeBudget[a];
    tally.readings += readings.size();
    tally.again += again.size();
    const std::size_t perName = WineUndecorators.size() * std::size(Flags);
    for (std::size_t n = 0; n < names.size(); ++n) {
        Check(names[n], std::span(results).subspan(n * perName, perName), n < shown, tally);
    }
}

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
    for (std::size_t r = 0; r < tally.endings.size(); ++r) {
        std::printf(
            "    Wine %s %s:", std::string(WineUndecorators[r / std::size(Flags)].version).c_str(),
            FlagName(Flags[r % std::size(Flags)]).c_str());
        for (int e = 0; e < 6; ++e) {
            std::printf("%s %zu %s", e == 0 ? "" : ",",
                        tally.endings[r][static_cast<std::size_t>(e)],
                        std::string(EndingName(static_cast<Ending>(e))).c_str());
        }
        std::printf("\n");
    }
    std::printf("    kept back by the reader:");
    for (const auto& [hazard, count] : tally.kept) {
        std::printf(" %zu %s (%zu over-kept)", count, std::string(HazardName(hazard)).c_str(),
                    tally.overKept[hazard]);
    }
    std::printf(
        "\n    over-kept, by the reader's conservative rules, where no reading ends in a"
        " hazard: %s\n",
        tally.overKeptShown.empty() ? "none" : tally.overKeptShown[0].c_str());
    std::printf(
        "    the most a reading of a name let through allocated: %zu bytes (a runaway:"
        " %zu)\n",
        tally.largestLetThrough, AllocationBudget);
    for (std::size_t i = 0; i < std::min(tally.misses.size(), MissesShown); ++i) {
        std::printf("%s\n", tally.misses[i].c_str());
    }
    if (tally.misses.size() > MissesShown) {
        std::printf("... and %zu more\n", tally.misses.size() - MissesShown);
    }
    std::printf("reader_oracle: %zu misses\n", tally.misses.size());
    return tally.misses.empty() ? 0 : 1;
} catch (const std::exception& error) {
    std::cerr << "reader_oracle: " << error.what() << "\n";
    return 2;
}
