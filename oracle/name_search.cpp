// The search for names on which the reader and Wine's own undecorators disagree, steered by
// the coverage of Wine's code: a libFuzzer target that links the reader and each version's
// undname.c, the latter built with the fuzzer's coverage (oracle/CMakeLists.txt), so that a
// branch of Wine's that no input has taken yet draws the search. Each input is one name:
// its bytes before the first NUL, at most 255. It is read as the oracle's check reads it
// (reader_check.h), each reading in this process, but one of a name in which the reader
// finds a hazard, which is made in a child; and the run stops at a name where the verdict,
// or its reading in a dialect, disagrees with Wine's, naming the name and what is wrong.
// scripts/search-names runs it, and keeps what it finds in names/found.txt.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "host/host_services.h"
#include "names/grammar_label.h"
#include "oracle/reader_check.h"
#include "tests/quoted.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

// Where the reader finds a hazard, a reading may fault, as that one or as one further on that
// the reader, stopped at the first, never met: such a reading is made in a child.
bool MayFault(const std::optional<Hazard>& hazard) {
    return hazard && *hazard != Hazard::None;
}

ReadingResult Make(const Reading& reading, bool fault, std::size_t budget) {
    if (fault) return RunReadings({&reading, 1}, 1, budget).front();
    return ReadHere(reading, budget);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* text = reinterpret_cast<const char*>(data);
    const std::string name(text, strnlen(text, std::min<std::size_t>(size, TextBufferSize - 1)));
    const ReaderView view = ViewOf(name);
    const std::vector<Reading> readings = ReadingsOf(name);
    std::vector<ReadingResult> results;
    for (std::size_t r = 0; r < readings.size(); ++r) {
        const bool fault = MayFault(view.verdict) || MayFault(view.readings[r]);
        ReadingResult result = Make(readings[r], fault, FirstPassBudget);
        if (result.ending == Ending::Runaway && RunawayDecides(view, r)) {
            result = Make(readings[r], fault, AllocationBudget);
        }
        results.push_back(result);
    }
    const std::vector<std::string> wrong = Disagreements(name, view, results);
    if (wrong.empty()) return 0;
    std::fprintf(stderr, "name_search: a miss: %s", Quoted(name).c_str());
    for (const std::string& why : wrong) std::fprintf(stderr, ": %s", why.c_str());
    std::fprintf(stderr, "; %s\n", Endings(results, true).c_str());
    std::abort();
}

// Now and then a piece of the grammar goes in at some place, so that the search meets the
// codes where the grammar branches sooner than byte by byte.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned seed) {
    std::minstd_rand random(seed);
    if (random() % 4 != 0) return LLVMFuzzerMutate(data, size, maxSize);
    const char* const piece = GrammarCodes[random() % GrammarCodes.size()];
    const std::size_t length = std::strlen(piece);
    if (size + length > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
    const std::size_t at = random() % (size + 1);
    std::memmove(data + at + length, data + at, size - at);
    std::memcpy(data + at, piece, length);
    return size + length;
}
