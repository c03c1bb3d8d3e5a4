// The watch over the plugin's undecorator calls: "undecorate ADDRESS NAME flags FLAGS",
// ADDRESS being the label that ReadName gave last; and, traced or not, any call that takes
// longer than a second, which is a fault of its own.
#include "stand_in_host/undecorator_watch.h"

#include <chrono>
#include <cstdio>

#include "stand_in_host/host_state.h"
#include "stand_in_host/pe_image.h"
#include "stand_in_host/transcript.h"

namespace {

using Undecorator = DWORD(WINAPI*)(PCSTR name, PSTR output, DWORD capacity, DWORD flags);

Undecorator Dbghelp = nullptr;

constexpr std::chrono::duration<double> SlowCall{1.0};

DWORD WINAPI Watched(PCSTR name, PSTR output, DWORD capacity, DWORD flags) {
    ++State().tally["UnDecorateSymbolName"];
    State().sent.push_back(State().lastLabel);
    if (State().trace) {
        char shown[16];
        std::snprintf(shown, sizeof shown, "%#lx", flags);
        Say("  undecorate " + Hex(State().lastLabel) + " " + Quoted(name) + " flags " + shown);
        std::fflush(stdout);
    }
    const auto start = std::chrono::steady_clock::now();
    const DWORD result = Dbghelp(name, output, capacity, flags);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took > SlowCall) {
        char line[96];
        std::snprintf(line, sizeof line, "  undecorate took %.1f s", took.count());
        Say(line);
    }
    return result;
}

}  // namespace

void WatchUndecorator(HMODULE plugin) {
    void** slot = ImportSlot(plugin, "dbghelp.dll", "UnDecorateSymbolName");
    if (slot == nullptr) return;
    Dbghelp = reinterpret_cast<Undecorator>(ReplaceImport(slot, reinterpret_cast<void*>(Watched)));
}
