// OLLYDBG.EXE, a stand-in for the debugger host: loads a plugin DLL the way the host does
// (by path, its four entry points by exact name), serves it the five host services over an
// in-memory label table, and is driven by a line-oriented script. It prints a transcript;
// with --expect it compares that transcript with a file ("{*}" matches any text).
//
// Usage: OLLYDBG.EXE [--expect FILE [--status N]] [SCRIPT | -]
// Exit: 0 done (or transcript and status as expected), 1 not as expected, 2 script error.
#define PSAPI_VERSION 2
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "stand_in_host/host_state.h"

namespace {

// The entry points, cdecl, with the arguments the host really passes.
using DataEntry = int (*)(char* shortName);
using InitEntry = int (*)(int version, HWND mainWindow, unsigned long* features);
using MenuEntry = int (*)(int origin, char* data, void* item);
using ActionEntry = void (*)(int origin, int action, void* item);

struct Plugin {
    std::string path;
    HMODULE module = nullptr;
    DataEntry data = nullptr;
    InitEntry init = nullptr;
    MenuEntry menu = nullptr;
    ActionEntry action = nullptr;
};

struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

HostState TheState;
Plugin ThePlugin;
std::map<std::uint32_t, std::string> Snapshot;
int RepeatDepth = 0;  // commands inside a repeat are not echoed

// Splits off the first blank-separated word of rest.
std::string Word(std::string& rest) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string::npos) {
        rest.clear();
        return "";
    }
    const std::size_t end = rest.find(' ', start);
    std::string word = rest.substr(start, end == std::string::npos ? end : end - start);
    rest = end == std::string::npos ? "" : rest.substr(end + 1);
    return word;
}

long long Number(std::string& rest, long long low, long long high) {
    const std::string word = Word(rest);
    if (word.empty()) throw ScriptError("a number is missing");
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(word.c_str(), &end, 0);
    if (*end != '\0' || errno != 0 || value < low || value > high) {
        throw ScriptError("'" + word + "' is not a number in range");
    }
    return value;
}

std::uint32_t AddressArg(std::string& rest) {
    return static_cast<std::uint32_t>(Number(rest, 0, 0xFFFFFFFFLL));
}

int IntArg(std::string& rest) {
    return static_cast<int>(Number(rest, INT_MIN, INT_MAX));
}

void NoMore(const std::string& rest) {
    if (rest.find_first_not_of(' ') != std::string::npos) {
        throw ScriptError("unexpected '" + rest + "'");
    }
}

// The rest of the line as label text, with \xNN and \\ escapes.
std::string Text(const std::string& rest) {
    std::string text;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '\\') {
            text += rest[i];
        } else if (i + 1 < rest.size() && rest[i + 1] == '\\') {
            text += '\\';
            ++i;
        } else if (unsigned byte = 0;
                   i + 3 < rest.size() && rest[i + 1] == 'x' &&
                   std::from_chars(&rest[i + 2], &rest[i + 4], byte, 16).ptr == &rest[i + 4]) {
            text += static_cast<char>(byte);
            i += 3;
        } else {
            throw ScriptError("bad escape in '" + rest + "'");
        }
    }
    if (text.empty()) throw ScriptError("a text is missing");
    return text;
}

std::string WindowsPath(const std::string& path) {
    return !path.empty() && path[0] == '/' ? "Z:" + path : path;
}

const Plugin& Loaded() {
    if (ThePlugin.module == nullptr) throw ScriptError("no plugin is loaded");
    return ThePlugin;
}

void Load(const std::string& path) {
    if (ThePlugin.module != nullptr) throw ScriptError("a plugin is already loaded");
    HMODULE module = LoadLibraryA(WindowsPath(path).c_str());
    if (module == nullptr) {
        throw ScriptError("cannot load " + path + " (error " + std::to_string(GetLastError()) +
                          ")");
    }
    Plugin plugin{path, module};
    std::string missing;
    // void (*)() is the one function pointer type any other may be cast through.
    const auto find = [&](const char* name) {
        FARPROC entry = GetProcAddress(module, name);
        if (entry == nullptr) missing += std::string(missing.empty() ? "" : ", ") + name;
        return reinterpret_cast<void (*)()>(entry);
    };
    plugin.data = reinterpret_cast<DataEntry>(find("_ODBG_Plugindata"));
    plugin.init = reinterpret_cast<InitEntry>(find("_ODBG_Plugininit"));
    plugin.menu = reinterpret_cast<MenuEntry>(find("_ODBG_Pluginmenu"));
    plugin.action = reinterpret_cast<ActionEntry>(find("_ODBG_Pluginaction"));
    if (!missing.empty()) {
        FreeLibrary(module);
        throw ScriptError(path + " is no plugin: it does not export " + missing);
    }
    ThePlugin = plugin;
}

void Unload() {
    FreeLibrary(Loaded().module);
    ThePlugin = Plugin{ThePlugin.path};
}

// Puts the export names of a module at base, base + step, ...: real decorated names.
void LabelsFromModule(const std::string& name, std::uint32_t base, std::uint32_t step,
                      std::uint32_t limit) {
    HMODULE module = LoadLibraryA(name.c_str());
    if (module == nullptr) throw ScriptError("cannot load " + name);
    const auto* image = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.Size == 0) throw ScriptError(name + " exports nothing");
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(image + exports->AddressOfNames);
    std::uint32_t placed = 0;
    for (DWORD i = 0; i < exports->NumberOfNames && placed < limit; ++i) {
        TheState.labels[base + placed * step] = reinterpret_cast<const char*>(image + names[i]);
        ++placed;
    }
    Say("  " + std::to_string(placed) + " labels from " + name);
}

// Lists the labels in [from, to) and how many the whole table holds.
void PrintLabels(std::uint32_t from, std::uint32_t to) {
    std::size_t shown = 0;
    for (auto at = TheState.labels.lower_bound(from); at != TheState.labels.end() && at->first < to;
         ++at, ++shown) {
        Say("  " + Hex(at->first) + " " + Quoted(at->second));
    }
    Say("  (" + std::to_string(shown) + " shown of " + std::to_string(TheState.labels.size()) +
        " labels)");
}

void PrintChanges() {
    std::map<std::uint32_t, int> addresses;
    for (const auto& entry : Snapshot) addresses[entry.first];
    for (const auto& entry : TheState.labels) addresses[entry.first];
    for (const auto& [address, unused] : addresses) {
        const auto before = Snapshot.find(address);
        const auto after = TheState.labels.find(address);
        Say("  " + Hex(address) + " " +
            (before == Snapshot.end() ? "(none)" : Quoted(before->second)) + "\n      -> " +
            (after == TheState.labels.end() ? "(deleted)" : Quoted(after->second)));
    }
}

void PrintMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    Say("  memory: working set " + std::to_string(counters.WorkingSetSize / 1024) +
        " KiB, committed " + std::to_string(counters.PagefileUsage / 1024) + " KiB");
}

void CallData() {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    const int result = Loaded().data(buffer);
    std::size_t written = sizeof buffer;
    while (written > 0 && buffer[written - 1] == '#') --written;
    Say("  data -> " + std::to_string(result) + ", " + std::to_string(written) + " bytes " +
        Quoted(std::string(buffer, written)));
}

void CallMenu(int origin) {
    static char buffer[4096];
    std::memset(buffer, '#', sizeof buffer);
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

void TimedAction(int origin, int action) {
    std::size_t labels = 0;
    for (const auto& entry : TheState.labels) {
        if (entry.first - TheState.base < TheState.size) ++labels;
    }
    const auto start = std::chrono::steady_clock::now();
    Loaded().action(origin, action, nullptr);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    char line[160];
    std::snprintf(line, sizeof line, "  took %.3f s: %.1f ns per address, %.0f ns per label",
                  took.count(), took.count() * 1e9 / TheState.size,
                  labels ? took.count() * 1e9 / static_cast<double>(labels) : 0.0);
    Say(line);
}

struct Line {
    int number;
    std::string text;
};

void Run(const std::vector<Line>& lines, std::size_t begin, std::size_t end);

// Runs one command; returns the index of the next line to run.
std::size_t Execute(const std::vector<Line>& lines, std::size_t at) {
    std::string rest = lines[at].text;
    const std::string command = Word(rest);
    if (command == "repeat") {
        const long long count = Number(rest, 0, 1000000);
        NoMore(rest);
        std::size_t close = at + 1;
        for (int depth = 1; close < lines.size(); ++close) {
            std::string probe = lines[close].text;
            const std::string word = Word(probe);
            depth += word == "repeat" ? 1 : word == "end" ? -1 : 0;
            if (depth == 0) break;
        }
        if (close == lines.size()) throw ScriptError("repeat without end");
        ++RepeatDepth;
        for (long long i = 0; i < count; ++i) Run(lines, at + 1, close);
        --RepeatDepth;
        return close + 1;
    }
    if (command == "end") throw ScriptError("end without repeat");
    if (command == "say") {
        Say(lines[at].text.substr(lines[at].text.find_first_not_of(' ') + 4));
        return at + 1;
    }
    if (RepeatDepth == 0) Say("> " + lines[at].text.substr(lines[at].text.find_first_not_of(' ')));
    if (command == "load") {
        Load(Word(rest));
    } else if (command == "unload") {
        Unload();
    } else if (command == "reload") {
        Unload();
        Load(ThePlugin.path);
    } else if (command == "range") {
        TheState.base = AddressArg(rest);
        TheState.size = AddressArg(rest);
    } else if (command == "label") {
        const std::uint32_t address = AddressArg(rest);
        TheState.labels[address] = Text(rest);
        rest.clear();
    } else if (command == "unlabel") {
        TheState.labels.erase(AddressArg(rest));
    } else if (command == "clear") {
        TheState.labels.clear();
    } else if (command == "fill") {
        const std::uint32_t base = AddressArg(rest);
        const std::uint32_t count = AddressArg(rest);
        const std::uint32_t step = AddressArg(rest);
        const std::string text = Text(rest);
        rest.clear();
        for (std::uint32_t i = 0; i < count; ++i) TheState.labels[base + i * step] = text;
    } else if (command == "labels-from") {
        const std::string module = Word(rest);
        const std::uint32_t base = AddressArg(rest);
        const std::uint32_t step = AddressArg(rest);
        const std::uint32_t limit = rest.empty() ? 0xFFFFFFFF : AddressArg(rest);
        LabelsFromModule(module, base, step, limit);
    } else if (command == "data") {
        CallData();
    } else if (command == "init") {
        unsigned long features = 0;
        const int version = IntArg(rest);
        Say("  init -> " + std::to_string(Loaded().init(version, nullptr, &features)));
    } else if (command == "menu") {
        CallMenu(IntArg(rest));
    } else if (command == "action") {
        const int origin = IntArg(rest);
        const int action = IntArg(rest);
        Loaded().action(origin, action, nullptr);
    } else if (command == "timed-action") {
        const int origin = IntArg(rest);
        TimedAction(origin, IntArg(rest));
    } else if (command == "labels") {
        const std::uint32_t from = rest.empty() ? 0 : AddressArg(rest);
        PrintLabels(from, rest.empty() ? 0xFFFFFFFF : AddressArg(rest));
    } else if (command == "snapshot") {
        Snapshot = TheState.labels;
    } else if (command == "changes") {
        PrintChanges();
    } else if (command == "echo") {
        const std::string mode = Word(rest);
        if (mode != "on" && mode != "off") throw ScriptError("echo takes on or off");
        TheState.echoCalls = mode == "on";
    } else if (command == "tally") {
        for (const auto& [what, count] : TheState.tally)
            Say("  " + std::to_string(count) + " " + what);
        TheState.tally.clear();
    } else if (command == "memory") {
        PrintMemory();
    } else {
        throw ScriptError("unknown command '" + command + "'");
    }
    NoMore(rest);
    return at + 1;
}

int CurrentLine = 0;

void Run(const std::vector<Line>& lines, std::size_t begin, std::size_t end) {
    for (std::size_t at = begin; at < end;) {
        CurrentLine = lines[at].number;
        at = Execute(lines, at);
    }
}

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Expected lines match when equal, "{*}" standing for any run of text.
bool Matches(const std::string& actual, const std::string& expected) {
    const std::size_t star = expected.find("{*}");
    if (star == std::string::npos) return actual == expected;
    if (actual.compare(0, star, expected, 0, star) != 0) return false;
    const std::string tail = expected.substr(star + 3);
    for (std::size_t at = star; at <= actual.size(); ++at) {
        if (Matches(actual.substr(at), tail)) return true;
    }
    return false;
}

int Compare(const std::vector<std::string>& expected) {
    std::vector<std::string> actual;
    for (const std::string& said : TheState.transcript) {
        std::istringstream split(said);
        for (std::string line; std::getline(split, line);) actual.push_back(line);
    }
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const std::string a = i < actual.size() ? actual[i] : "(end of transcript)";
        const std::string e = i < expected.size() ? expected[i] : "(end of expectation)";
        if (i >= actual.size() || i >= expected.size() || !Matches(a, e)) {
            std::printf("MISMATCH at transcript line %zu\n  expected: %s\n  actual:   %s\n", i + 1,
                        e.c_str(), a.c_str());
            return 1;
        }
    }
    std::printf("transcript matches (%zu lines)\n", actual.size());
    return 0;
}

}  // namespace

HostState& State() {
    return TheState;
}

void Say(const std::string& line) {
    TheState.transcript.push_back(line);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        char escaped[5];
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            quoted += static_cast<char>(c);
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            quoted += escaped;
        }
    }
    return quoted + "\"";
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as on every other system
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    std::string expectPath;
    int expectStatus = 0;
    std::string scriptPath = "-";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--expect" && i + 1 < argc) {
            expectPath = argv[++i];
        } else if (arg == "--status" && i + 1 < argc) {
            expectStatus = std::atoi(argv[++i]);
        } else {
            scriptPath = arg;
        }
    }

    std::vector<Line> lines;
    {
        std::ifstream file;
        if (scriptPath != "-") {
            file.open(WindowsPath(scriptPath));
            if (!file) {
                std::printf("cannot read script %s\n", scriptPath.c_str());
                return 2;
            }
        }
        const std::vector<std::string> raw = ReadLines(scriptPath == "-" ? std::cin : file);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const std::size_t start = raw[i].find_first_not_of(' ');
            if (start != std::string::npos && raw[i][start] != '#') {
                lines.push_back({static_cast<int>(i + 1), raw[i]});
            }
        }
    }

    int status = 0;
    try {
        Run(lines, 0, lines.size());
    } catch (const std::exception& error) {
        Say("line " + std::to_string(CurrentLine) + ": " + error.what());
        status = 2;
    }
    if (expectPath.empty()) return status;

    std::ifstream expected(WindowsPath(expectPath));
    if (!expected) {
        std::printf("cannot read %s\n", expectPath.c_str());
        return 2;
    }
    const int verdict = Compare(ReadLines(expected));
    if (status != expectStatus) {
        std::printf("exit status %d, expected %d\n", status, expectStatus);
        return 1;
    }
    return verdict;
}
