// The file: the stamp on a line, then a record a reading: its key's length (2 bytes), its
// key (undecorator, flags, budget and name), its ending (1 byte), what it allocated and what
// it resolved (8 bytes each).
#include "oracle/reading_store.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

template <typename Number>
void Put(std::string& out, Number value) {
    for (std::size_t b = 0; b < sizeof value; ++b) {
        out += static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * b) & 0xFF);
    }
}

template <typename Number>
bool Get(std::istream& in, Number& value) {
    std::uint64_t wide = 0;
    for (std::size_t b = 0; b < sizeof value; ++b) {
        const int c = in.get();
        if (c == EOF) return false;
        wide |= static_cast<std::uint64_t>(c) << (8 * b);
    }
    value = static_cast<Number>(wide);
    return true;
}

}  // namespace

ReadingStore::ReadingStore(std::string path) : path_(std::move(path)) {
    if (path_.empty()) return;
    std::ifstream in(path_, std::ios::binary);
    std::string stamp;
    if (!std::getline(in, stamp) || stamp != WineUndecoratorsStamp) return;
    for (std::uint16_t size = 0; Get(in, size);) {
        std::string key(size, '\0');
        std::uint8_t ending = 0;
        ReadingResult result{};
        if (!in.read(key.data(), size) || !Get(in, ending) || !Get(in, result.allocated) ||
            !Get(in, result.resolved) || ending > static_cast<std::uint8_t>(Ending::OtherFault)) {
            results_.clear();  // a file cut short, as by a killed run, is made anew
            return;
        }
        result.ending = static_cast<Ending>(ending);
        results_.emplace(std::move(key), result);
    }
}

std::string ReadingStore::Key(const Reading& reading, std::size_t budget) {
    std::string key(reading.undecorator->version);
    key += '\0';
    Put(key, static_cast<std::uint32_t>(reading.flags));
    Put(key, static_cast<std::uint64_t>(budget));
    key += reading.name;
    return key;
}

std::optional<ReadingResult> ReadingStore::Find(const Reading& reading, std::size_t budget) const {
    const auto found = results_.find(Key(reading, budget));
    if (found == results_.end()) return std::nullopt;
    return found->second;
}

void ReadingStore::Keep(const Reading& reading, std::size_t budget, const ReadingResult& result) {
    if (path_.empty()) return;
    results_[Key(reading, budget)] = result;
    changed_ = true;
}

void ReadingStore::Save() const {
    if (path_.empty() || !changed_) return;
    const std::string fresh = path_ + ".new";
    std::string out(WineUndecoratorsStamp);
    out += '\n';
    for (const auto& [key, result] : results_) {
        Put(out, static_cast<std::uint16_t>(key.size()));
        out += key;
        Put(out, static_cast<std::uint8_t>(result.ending));
        Put(out, static_cast<std::uint64_t>(result.allocated));
        Put(out, static_cast<std::uint64_t>(result.resolved));
    }
    std::ofstream file(fresh, std::ios::binary | std::ios::trunc);
    if (!file.write(out.data(), static_cast<std::streamsize>(out.size())) || !file.flush()) {
        throw std::runtime_error("cannot write " + fresh);
    }
    file.close();
    std::filesystem::rename(fresh, path_);
}
