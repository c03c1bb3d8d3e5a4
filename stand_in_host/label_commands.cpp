// Commands on the host's labels and range.
#include <windows.h>

#include <set>
#include <vector>

#include "stand_in_host/handlers.h"
#include "stand_in_host/host_state.h"
#include "stand_in_host/name_mutator.h"
#include "stand_in_host/pe_image.h"
#include "stand_in_host/transcript.h"

void RangeCommand(Words& args) {
    State().base = args.Address();
    State().size = args.Address();
}

void LabelCommand(Words& args) {
    const Address address = args.Address();
    State().labels[address] = args.Text();
}

void UnlabelCommand(Words& args) {
    State().labels.erase(args.Address());
}

void ClearCommand(Words&) {
    State().labels.clear();
}

void FillCommand(Words& args) {
    const Address base = args.Address();
    const Address count = args.Address();
    const Address step = args.Address();
    const std::string text = args.Text();
    for (Address i = 0; i < count; ++i) State().labels[base + i * step] = text;
}

// Real decorated names: the export names of a module, in its export table's order.
void LabelsFromCommand(Words& args) {
    const std::string name = args.Word();
    const Address base = args.Address();
    const Address step = args.Address();
    const Address limit = args.AtEnd() ? 0xFFFFFFFF : args.Address();
    HMODULE module = LoadLibraryA(name.c_str());
    if (module == nullptr) throw ScriptError("cannot load " + name);
    Address placed = 0;
    for (const char* exported : ExportNames(module)) {
        if (placed == limit) break;
        State().labels[base + placed++ * step] = exported;
    }
    if (placed == 0) throw ScriptError(name + " exports nothing");
    Say("  " + std::to_string(placed) + " labels from " + name);
}

// Hostile names: the names FIRST to FIRST + COUNT - 1 of run SEED, mutated from the labels
// outside BASE to BASE + COUNT - 1 (the pool), which they then fill, one a byte. The pool
// stays, so that the same line makes the same names again after a pass over them.
void MutateCommand(Words& args) {
    const auto seed = static_cast<std::uint64_t>(args.Number(0, INT64_MAX));
    const int strength = static_cast<int>(args.Number(1, 64));
    const auto first = static_cast<std::uint64_t>(args.Number(0, INT64_MAX));
    const Address count = args.Address();
    const Address base = args.Address();
    std::vector<std::string> pool;
    for (const auto& [address, text] : State().labels) {
        if (address - base >= count) pool.push_back(text);
    }
    if (pool.empty()) throw ScriptError("no labels outside the names to mutate them from");
    for (Address i = 0; i < count; ++i) {
        State().labels[base + i] = MutatedName(pool, seed, first + i, strength);
    }
    Say("  " + std::to_string(count) + " names from a pool of " + std::to_string(pool.size()));
}

// Both ends count, so that the last address of all, 0xFFFFFFFF, can be shown too.
void ShowLabelsCommand(Words& args) {
    const Address first = args.AtEnd() ? 0 : args.Address();
    const Address last = args.AtEnd() ? 0xFFFFFFFF : args.Address();
    const LabelTable& labels = State().labels;
    std::size_t shown = 0;
    for (auto at = labels.lower_bound(first); at != labels.end() && at->first <= last; ++at) {
        Say("  " + Hex(at->first) + " " + Quoted(at->second));
        ++shown;
    }
    Say("  (" + std::to_string(shown) + " shown of " + std::to_string(labels.size()) + " labels)");
}

void SnapshotCommand(Words&) {
    State().snapshot = State().labels;
}

void ChangesCommand(Words&) {
    const LabelTable& before = State().snapshot;
    const LabelTable& after = State().labels;
    std::set<Address> addresses;
    for (const auto& entry : before) addresses.insert(entry.first);
    for (const auto& entry : after) addresses.insert(entry.first);
    for (const Address address : addresses) {
        const auto was = before.find(address);
        const auto is = after.find(address);
        const bool same = was != before.end() && is != after.end() && was->second == is->second;
        Say("  " + Hex(address) + " " + (was == before.end() ? "(none)" : Quoted(was->second)) +
            "\n      " +
            (same                ? "(unchanged)"
             : is == after.end() ? "-> (deleted)"
                                 : "-> " + Quoted(is->second)));
    }
}
