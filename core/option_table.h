// The plugin's switches: one module-wide table of named flags, ordered by name, which is
// also the order (and so the action numbers) of the options in the menu. The host calls
// the plugin one call at a time, so the table has no lock.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

// std::less<> lets lookups by string_view find an entry without building a key string.
// std::string compares bytes as unsigned values, the order the menu needs.
using OptionTable = std::map<std::string, bool, std::less<>>;
using OptionEntry = OptionTable::value_type;

// A table holding the three switches with their values at load.
OptionTable InitialOptions();

// The module's table: built at load, before any export can run; freed at unload.
OptionTable& Options();

// The flag stored under name; an absent name is first inserted with the value false.
bool& Lookup(std::string_view name);

// The entry at 0-based position k in name order, or nullptr when k is past the end.
OptionEntry* EntryAt(std::size_t k);

void Flip(OptionEntry& entry);

// The menu action number of the entry at 0-based position k.
inline constexpr int FirstOptionNumber = 3;
constexpr int MenuNumber(std::size_t k) {
    return FirstOptionNumber + static_cast<int>(k);
}
