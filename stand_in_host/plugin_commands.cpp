// Commands that load the plugin and call its entry points, as the debugger would.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "stand_in_host/handlers.h"
#include "stand_in_host/host_state.h"
#include "stand_in_host/pe_image.h"
#include "stand_in_host/plugin_loader.h"
#include "stand_in_host/transcript.h"

namespace {

void* __cdecl NoMemory(std::size_t) {
    return nullptr;
}

// The action number of ENTRY: a number as it stands, or else the text of an entry of the
// plugin's menu, found in the menu text as the debugger shows it: "2Options{3COMPLETE,...}
// |1Demangle Labels" gives NAME_ONLY 4 and "Demangle Labels" 1.
int MenuAction(Words& args) {
    std::string entry = args.Rest();
    entry.erase(entry.find_last_not_of(" \t") + 1);
    if (entry.find_first_not_of("-0123456789") == std::string::npos) return Words(entry).Int();
    char menu[4096] = {};
    if (Loaded().menu(0, menu, nullptr) != 1 || std::memchr(menu, '\0', sizeof menu) == nullptr) {
        throw ScriptError("the plugin shows no menu to find '" + entry + "' in");
    }
    const std::string text = menu;
    for (std::size_t at = text.find_first_of("0123456789"); at != std::string::npos;) {
        const std::size_t name = text.find_first_not_of("0123456789", at);
        const std::size_t end = std::min(text.find_first_of(",{}|", name), text.size());
        if (text.compare(name, end - name, entry) == 0)
            return std::stoi(text.substr(at, name - at));
        at = text.find_first_of("0123456789", end);
    }
    throw ScriptError("the plugin's menu has no entry '" + entry + "': " + Quoted(text));
}

}  // namespace

void LoadCommand(Words& args) {
    Load(args.Word());
}

void UnloadCommand(Words&) {
    Unload();
}

void ReloadCommand(Words&) {
    Reload();
}

// The bytes the plugin wrote into a buffer of '#'s.
void DataCommand(Words&) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    const int result = Loaded().data(buffer);
    std::size_t written = sizeof buffer;
    while (written > 0 && buffer[written - 1] == '#') --written;
    Say("  data -> " + std::to_string(result) + ", " + std::to_string(written) + " bytes " +
        Quoted(std::string(buffer, written)));
}

void InitCommand(Words& args) {
    unsigned long features = 0;
    const int version = args.Int();
    Say("  init -> " + std::to_string(Loaded().init(version, nullptr, &features)));
}

void MenuCommand(Words& args) {
    static char buffer[4096];
    std::memset(buffer, '#', sizeof buffer);
    const int origin = args.Int();
    const int result = Loaded().menu(origin, buffer, nullptr);
    const char* nul = static_cast<const char*>(std::memchr(buffer, '\0', sizeof buffer));
    std::string shown = "buffer untouched";
    if (nul != nullptr) {
        const std::size_t n = static_cast<std::size_t>(nul - buffer);
        shown = Quoted(std::string(buffer, n)) + " (" + std::to_string(n) + " chars and NUL)";
    } else if (std::string(buffer, sizeof buffer) != std::string(sizeof buffer, '#')) {
        shown = "buffer changed, no NUL";
    }
    Say("  menu " + std::to_string(origin) + " -> " + std::to_string(result) + ", " + shown);
}

void ActionCommand(Words& args) {
    const int origin = args.Int();
    const int action = MenuAction(args);
    State().sent.clear();
    Loaded().action(origin, action, nullptr);
}

void TimedActionCommand(Words& args) {
    const int origin = args.Int();
    const int action = MenuAction(args);
    std::size_t labels = 0;
    for (const auto& entry : State().labels) {
        if (entry.first - State().base < State().size) ++labels;
    }
    State().sent.clear();
    const auto start = std::chrono::steady_clock::now();
    Loaded().action(origin, action, nullptr);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    char line[160];
    std::snprintf(line, sizeof line, "  took %.3f s: %.1f ns per address, %.0f ns per label",
                  took.count(), took.count() * 1e9 / State().size,
                  labels ? took.count() * 1e9 / static_cast<double>(labels) : 0.0);
    Say(line);
}

// Points the plugin's import of msvcrt's malloc at one that always fails, or back: a
// hostile host's way to make every allocation of the plugin fail.
void FailAllocationsCommand(Words& args) {
    static void* original = nullptr;
    const bool fail = args.OnOff();
    void** slot = ImportSlot(Loaded().module, "msvcrt.dll", "malloc");
    if (slot == nullptr) throw ScriptError("the plugin imports no malloc from msvcrt.dll");
    if (fail == (*slot == reinterpret_cast<void*>(NoMemory))) return;
    void* const was = ReplaceImport(slot, fail ? reinterpret_cast<void*>(NoMemory) : original);
    if (fail) original = was;
}
