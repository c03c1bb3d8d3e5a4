// The module-wide option table and its few operations.
#include "core/option_table.h"

#include <iterator>

namespace {
OptionTable TheOptions = InitialOptions();
}  // namespace

OptionTable InitialOptions() {
    return OptionTable{{"REMOVE_EMPTY", true}, {"COMPLETE", false}, {"NAME_ONLY", true}};
}

OptionTable& Options() {
    return TheOptions;
}

bool& Lookup(std::string_view name) {
    // An equality test after lower_bound costs less than find's second ordered comparison;
    // the pass makes one lookup per label.
    auto found = TheOptions.lower_bound(name);
    if (found == TheOptions.end() || found->first != name) {
        found = TheOptions.emplace_hint(found, name, false);
    }
    return found->second;
}

OptionEntry* EntryAt(std::size_t k) {
    if (k >= TheOptions.size()) return nullptr;
    return &*std::next(TheOptions.begin(), static_cast<std::ptrdiff_t>(k));
}

void Flip(OptionEntry& entry) {
    entry.second = !entry.second;
}
