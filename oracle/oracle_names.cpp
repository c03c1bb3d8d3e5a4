// The check's names, each read once.
#include "oracle/oracle_names.h"

#include <algorithm>
#include <string_view>

#include "host/host_services.h"

namespace {

// FNV-1a, 64 bits.
std::uint64_t Hash(std::string_view name) {
    std::uint64_t hash = 0xCBF29CE484222325;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3;
    }
    return hash;
}

}  // namespace

bool Names::Add(std::string label, const std::string& from) {
    label = label.substr(0, std::min<std::size_t>(label.find('\0'), TextBufferSize - 1));
    bool added = false;
    if (label.starts_with("00:") && label.size() > 3) added = Insert(label.substr(3), from);
    return Insert(std::move(label), from) || added;
}

std::vector<Named> Names::Take() {
    std::vector<Named> taken;
    taken.swap(added_);
    return taken;
}

bool Names::Insert(std::string name, const std::string& from) {
    if (!seen_.insert(Hash(name)).second) return false;
    added_.push_back({std::move(name), from});
    return true;
}
