// Commands on the host's labels and range.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "names/name_mutator.h"
#include "stand_in_host/handlers.h"
#include "stand_in_host/host_state.h"
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

namespace {

// The files a pattern names: itself, or where its last part holds '*', each file that
// matches in its folder, in name order.
std::vector<std::string> Matching(const std::string& pattern) {
    const std::size_t slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
    if (pattern.find('*', folder.size()) == std::string::npos) return {pattern};
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            paths.push_back(folder + found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// A module mapped as an image for reading alone: none of its code runs, and it does not
// stand in for the module should anything load it later.
constexpr DWORD MapForReading = 0x20 | 0x02;  // LOAD_LIBRARY_AS_IMAGE_RESOURCE | _AS_DATAFILE

}  // namespace

// Real decorated names: the export names of a module, in its export table's order, or of
// every module a pattern names.
void LabelsFromCommand(Words& args) {
    const std::string pattern = args.Word();
    const Address base = args.Address();
    const Address step = args.Address();
    const Address limit = args.AtEnd() ? 0xFFFFFFFF : args.Address();
    const std::vector<std::string> paths = Matching(pattern);
    Address placed = 0;
    std::size_t modules = 0;
    for (const std::string& path : paths) {
        HMODULE mapped = LoadLibraryExA(path.c_str(), nullptr, MapForReading);
        if (mapped == nullptr) continue;
        ++modules;
        const auto image = reinterpret_cast<HMODULE>(reinterpret_cast<UINT_PTR>(mapped) & ~3u);
        for (const char* exported : ExportNames(image)) {
            if (placed == limit) break;
            State().labels[base + placed++ * step] = exported;
        }
        FreeLibrary(mapped);
    }
    if (modules == 0) throw ScriptError("cannot load " + pattern);
    if (placed == 0) throw ScriptError(pattern + " exports nothing");
    Say("  " + std::to_string(placed) + " labels from " +
        (paths.size() == 1 && paths[0] == pattern ? pattern
                                                  : std::to_string(modules) + " modules"));
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

// What the last action read and kept from the undecorator: each label of the range that
// was not handed to it, though the plugin read it. A placeholder the plugin deleted is
// gone, so it is not among them.
void KeptBackCommand(Words&) {
    std::vector<Address>& sent = State().sent;
    std::sort(sent.begin(), sent.end());
    std::size_t read = 0;
    std::size_t kept = 0;
    for (const auto& [address, text] : State().labels) {
        if (address - State().base >= State().size) continue;
        ++read;
        if (std::binary_search(sent.begin(), sent.end(), address)) continue;
        Say("  " + Hex(address) + " " + Quoted(text));
        ++kept;
    }
    Say("  (" + std::to_string(kept) + " of " + std::to_string(read) +
        " labels in the range kept back)");
}
