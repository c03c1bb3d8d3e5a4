// Commands about the host itself: what it says, shows and counts, and its memory.
#define PSAPI_VERSION 2
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include "stand_in_host/handlers.h"
#include "stand_in_host/host_state.h"
#include "stand_in_host/transcript.h"

namespace {

std::size_t CommittedKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage / 1024;
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
}

// The figure itself varies from run to run, so the transcript shows only the bound.
void MemoryGrowthCommand(Words& args) {
    const auto bound = static_cast<std::size_t>(args.Number(0, 1 << 30));
    const std::size_t now = CommittedKiB();
    const std::size_t grown = now > State().memoryMarkKiB ? now - State().memoryMarkKiB : 0;
    if (grown > bound) {
        throw ScriptError("committed memory grew by " + std::to_string(grown) +
                          " KiB since memory-mark, more than " + std::to_string(bound));
    }
    Say("  committed memory grew by at most " + std::to_string(bound) + " KiB");
}
