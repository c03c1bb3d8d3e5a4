// Wine's readings, kept from one run of the check to the next in a file. A reading follows
// from the name, the undecorator, the flags and the budget alone, so the check of a changed
// reader makes only the readings it has not made before. The file holds the stamp of the
// undecorators' build (their sources and the harness that reads with them), and is not read
// for another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "oracle/wine_undecorator.h"

// Of the sources that make a reading, as oracle/CMakeLists.txt hashes them (a generated
// file).
extern const std::string_view WineUndecoratorsStamp;

class ReadingStore {
public:
    // Empty: keeps nothing. A file that is missing, or stamped otherwise, starts empty.
    explicit ReadingStore(std::string path);

    std::optional<ReadingResult> Find(const Reading& reading, std::size_t budget) const;
    void Keep(const Reading& reading, std::size_t budget, const ReadingResult& result);
    // Writes the file anew, if anything was kept since it was read.
    void Save() const;

private:
    static std::string Key(const Reading& reading, std::size_t budget);
    std::string path_;
    std::unordered_map<std::string, ReadingResult> results_;
    bool changed_ = false;
};
