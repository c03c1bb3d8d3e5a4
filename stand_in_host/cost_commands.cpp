// What the plugin's own reading of a name costs against the platform's undecorator, both
// timed here in one process over the same labels, as the pass would hand them over.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/name_reader.h"
#include "stand_in_host/handlers.h"
#include "stand_in_host/host_state.h"
#include "stand_in_host/transcript.h"

namespace {

using Clock = std::chrono::steady_clock;
using Undecorator = DWORD(WINAPI*)(PCSTR name, PSTR output, DWORD capacity, DWORD flags);

// The labels of the range as the pass works on them: placeholders left out, the prefix
// dropped.
std::vector<std::string> NamesOfTheRange() {
    std::vector<std::string> names;
    for (const auto& [address, text] : State().labels) {
        if (address - State().base >= State().size || text == "00:?") continue;
        const std::string_view name = text;
        names.emplace_back(name.size() > 3 && name.starts_with("00:") ? name.substr(3) : name);
    }
    return names;
}

// Nanoseconds a name, the fastest of rounds passes over names.
template <typename Read>
double NanosecondsEach(const std::vector<std::string>& names, int rounds, Read read) {
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        for (const std::string& name : names) read(name);
        const std::chrono::duration<double, std::nano> took = Clock::now() - start;
        const double each = took.count() / static_cast<double>(names.size());
        best = round == 0 ? each : std::min(best, each);
    }
    return best;
}

}  // namespace

// Times the reader on each label of the range, then the undecorator; fails if the reader
// takes more than PERCENT of a call.
void ReaderShareCommand(Words& args) {
    const auto ceiling = static_cast<double>(args.Number(1, 100));
    const std::vector<std::string> names = NamesOfTheRange();
    if (names.empty()) throw ScriptError("no labels in the range to time");
    HMODULE dbghelp = LoadLibraryA("dbghelp.dll");
    const auto undecorate = reinterpret_cast<Undecorator>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "UnDecorateSymbolName")));
    if (undecorate == nullptr) throw ScriptError("dbghelp.dll has no UnDecorateSymbolName");
    std::size_t kept = 0;
    const double reader = NanosecondsEach(
        names, 9, [&](const std::string& name) { kept += IsSafeToUndecorate(name) ? 0 : 1; });
    char output[256];
    const double call = NanosecondsEach(names, 2, [&](const std::string& name) {
        undecorate(name.c_str(), output, sizeof output, 0x1000);
    });
    const double share = 100 * reader / call;
    char line[200];
    std::snprintf(line, sizeof line,
                  "  %zu labels (%zu kept back): the reader takes %.0f ns a label, the "
                  "undecorator %.0f ns a call (NAME_ONLY), %.2f%% of it",
                  names.size(), kept / 9, reader, call, share);
    Say(line);
    if (share > ceiling) {
        throw ScriptError("the reader takes more than " +
                          std::to_string(static_cast<int>(ceiling)) + "% of an undecorator call");
    }
}
