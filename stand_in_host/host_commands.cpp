// Commands about the host itself: what it says, shows and counts, and its memory.
#include <windows.h>

#include <cstdint>

#include "stand_in_host/handlers.h"
#include "stand_in_host/host_state.h"
#include "stand_in_host/transcript.h"

namespace {

// Committed private memory, summed over the address space: what Windows counts as the
// process's commit. The process counters would not do: under Wine, PagefileUsage is the
// Linux process's resident memory, which under an emulator is mostly translated code.
std::size_t CommittedKiB() {
    std::size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    std::uintptr_t at = 0;
    while (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) ==
           sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        const std::uintptr_t next =
            reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;  // the top of the address space
        at = next;
    }
    return bytes / 1024;
}

// How much committed memory, now, exceeds the last mark; never negative.
std::size_t GrowthSinceMarkKiB(std::size_t now) {
    return now > State().memoryMarkKiB ? now - State().memoryMarkKiB : 0;
}

}  // namespace

void SayCommand(Words& args) {
    Say(args.Rest());
}

void TraceCommand(Words& args) {
    State().trace = args.OnOff();
}

void TallyCommand(Words&) {
    for (const auto& [what, count] : State().tally) Say("  " + std::to_string(count) + " " + what);
    State().tally.clear();
}

void MemoryMarkCommand(Words&) {
    State().memoryMarkKiB = CommittedKiB();
    State().memoryControlKiB.reset();
}

// What the lines since the mark grew by is what Wine alone costs for the same work: the
// next check counts only the growth beyond it. Marks again.
void MemoryControlCommand(Words&) {
    const std::size_t now = CommittedKiB();
    State().memoryControlKiB = GrowthSinceMarkKiB(now);
    State().memoryMarkKiB = now;
}

// The figures vary from run to run and from one Wine to another, so the transcript shows
// only the bound.
void MemoryGrowthCommand(Words& args) {
    const auto bound = static_cast<std::size_t>(args.Number(0, 1 << 30));
    const std::size_t grown = GrowthSinceMarkKiB(CommittedKiB());
    const std::size_t control = State().memoryControlKiB.value_or(0);
    const std::size_t beyond = grown > control ? grown - control : 0;
    const std::string what = State().memoryControlKiB ? " beyond the control" : "";
    if (beyond > bound) {
        throw ScriptError("committed private memory grew by " + std::to_string(beyond) + " KiB" +
                          what + " (" + std::to_string(grown) + " against " +
                          std::to_string(control) + "), more than " + std::to_string(bound));
    }
    Say("  committed private memory grew by at most " + std::to_string(bound) + " KiB" + what);
}

void LoadAndFreeCommand(Words& args) {
    const std::string name = args.Word();
    HMODULE module = LoadLibraryA(name.c_str());
    if (module == nullptr) throw ScriptError("cannot load " + name);
    FreeLibrary(module);
}
