// The command table and the runner. Every line is echoed as "> line" before it runs,
// except `say` lines and the lines inside a repeat block.
#include "stand_in_host/commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "stand_in_host/handlers.h"
#include "stand_in_host/transcript.h"

namespace {

struct Command {
    const char* name;
    const char* usage;  // its arguments
    const char* says;   // what it does and prints
    void (*handler)(Words& args);
};

// The one description of each command: --help prints it, and README.md beside this file
// holds it as --commands prints it, which a test checks.
// repeat and end have no handler: the runner keeps them.
constexpr Command Commands[] = {
    {"load", "PATH",
     "loads the plugin DLL at PATH, relative to the folder the host runs in (a scenario test "
     "runs in `build/windows/bin`, beside `sorvindel.dll`); names the entry points a DLL lacks",
     LoadCommand},
    {"unload", "", "unloads it", UnloadCommand},
    {"reload", "", "unloads it and loads it again from the same path", ReloadCommand},
    {"data", "", "calls `_ODBG_Plugindata`: `data -> RESULT, N bytes \"TEXT\"`", DataCommand},
    {"init", "VERSION",
     "calls `_ODBG_Plugininit` as a debugger of plugin interface VERSION would (OllyDbg 1.10 "
     "passes 110; the plugin refuses anything below): its log lines, then `init -> RESULT`",
     InitCommand},
    {"menu", "ORIGIN",
     "calls `_ODBG_Pluginmenu`: `menu ORIGIN -> RESULT, \"TEXT\" (N chars and NUL)` or "
     "`buffer untouched`",
     MenuCommand},
    {"action", "ORIGIN ENTRY",
     "calls `_ODBG_Pluginaction`; with trace on, each service call it makes", ActionCommand},
    {"timed-action", "ORIGIN ENTRY", "the same, then `took S s: N ns per address, N ns per label`",
     TimedActionCommand},
    {"fail-allocations", "on|off",
     "makes every `malloc` of the plugin fail (by patching its import), or not",
     FailAllocationsCommand},
    {"range", "BASE SIZE", "sets the range that `QueryRange` reports", RangeCommand},
    {"label", "ADDRESS TEXT", "sets a label", LabelCommand},
    {"unlabel", "ADDRESS", "deletes a label", UnlabelCommand},
    {"clear", "", "deletes every label", ClearCommand},
    {"fill", "BASE COUNT STEP TEXT", "sets COUNT labels, STEP bytes apart", FillCommand},
    {"labels-from", "MODULE BASE STEP [LIMIT]",
     "a label per name MODULE exports, or each module a pattern with `*` names (read, not "
     "run): `N labels from MODULE` or `N labels from M modules`",
     LabelsFromCommand},
    {"mutate", "SEED STRENGTH FIRST COUNT BASE",
     "COUNT labels from BASE on, one a byte: the names FIRST on of run SEED, each with 1 to "
     "STRENGTH mutations of a label outside them (`scripts/fuzz-undecorator`): `N names from "
     "a pool of M`",
     MutateCommand},
    {"show-labels", "[FIRST LAST]",
     "each label from FIRST to LAST, both included, then `(N shown of M labels)`",
     ShowLabelsCommand},
    {"kept-back", "",
     "each label of the range that the last action read but did not hand to the undecorator, "
     "then `(N of M labels in the range kept back)`",
     KeptBackCommand},
    {"snapshot", "", "remembers the labels for `changes`", SnapshotCommand},
    {"changes", "",
     "each address labelled in the snapshot or now: before, then `-> after`, `-> (deleted)`, "
     "or `(unchanged)` when its text is the same",
     ChangesCommand},
    {"trace", "on|off",
     "prints each service call as it happens: `log`, `write`, `notice`, and each call of the "
     "undecorator, `undecorate ADDRESS \"NAME\" flags F`, before it is made (on at start)",
     TraceCommand},
    {"tally", "", "the service calls, undecorator calls and notices counted since the last `tally`",
     TallyCommand},
    {"memory-mark", "", "remembers the process's committed private memory (a `VirtualQuery` walk)",
     MemoryMarkCommand},
    {"memory-control", "",
     "takes the growth since the mark as what Wine alone costs, and marks again",
     MemoryControlCommand},
    {"memory-growth-at-most", "KIB",
     "fails unless committed private memory grew by at most KIB since the mark, beyond the "
     "control if one was taken",
     MemoryGrowthCommand},
    {"load-and-free", "MODULE", "loads a DLL and frees it again (for a control)",
     LoadAndFreeCommand},
    {"reader-share-at-most", "PERCENT",
     "times the plugin's name reader, then dbghelp's undecorator, over the range's labels; "
     "fails if the reader takes more than PERCENT of a call",
     ReaderShareCommand},
    {"say", "[TEXT]", "prints TEXT as it stands; not echoed", SayCommand},
    {"repeat", "COUNT", "runs the lines up to the matching `end` COUNT times, not echoed", nullptr},
    {"end", "", "closes a `repeat`", nullptr},
};

// Edits (insertions, deletions, substitutions) that turn a into b.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

const Command& Find(const std::string& name) {
    for (const Command& command : Commands) {
        if (name == command.name) return command;
    }
    std::string near;
    for (const Command& command : Commands) {
        const std::string_view other = command.name;
        if (Distance(name, other) <= 2 || (name.size() > 2 && other.find(name) != other.npos)) {
            near += (near.empty() ? "; near: " : ", ") + std::string(other);
        }
    }
    throw ScriptError("unknown command '" + name + "'" +
                      (near.empty() ? "; --help lists the commands" : near));
}

// The index of the `end` that closes the repeat at line at.
std::size_t BlockEnd(const Script& script, std::size_t at) {
    for (int depth = 1; ++at < script.lines.size();) {
        const std::string word = Words(script.lines[at].text).Word();
        depth += word == "repeat" ? 1 : word == "end" ? -1 : 0;
        if (depth == 0) return at;
    }
    throw ScriptError("repeat without end");
}

void Run(const Script& script, std::size_t begin, std::size_t end, int depth, int& current) {
    for (std::size_t at = begin; at < end; ++at) {
        current = script.lines[at].number;
        Words args(script.lines[at].text);
        const std::string name = args.Word();
        if (name != "say" && depth == 0) Say("> " + script.lines[at].text);
        const Command& command = Find(name);
        if (command.handler != nullptr) {
            command.handler(args);
            args.End();
        } else if (std::string_view(command.name) == "repeat") {
            const long long count = args.Number(0, 1000000);
            args.End();
            const std::size_t close = BlockEnd(script, at);
            for (long long i = 0; i < count; ++i) Run(script, at + 1, close, depth + 1, current);
            at = close;
        } else {
            throw ScriptError("end without repeat");
        }
    }
}

}  // namespace

int RunScript(const Script& script) {
    int current = 0;
    try {
        Run(script, 0, script.lines.size(), 0, current);
        return 0;
    } catch (const std::exception& error) {
        Say(script.path + ":" + std::to_string(current) + ": " + error.what());
        return 2;
    }
}

void PrintHelp() {
    std::printf(
        "Script commands, one a line; blank lines and lines starting with # are skipped.\n"
        "Numbers are decimal, or hex after 0x. Lines are echoed as \"> line\" before they "
        "run.\n\n");
    // Each command and its arguments on a line, then what it does, wrapped at word ends to
    // lines of at most 100 columns.
    constexpr std::size_t Indent = 6;
    constexpr std::size_t Width = 100 - Indent;
    for (const Command& command : Commands) {
        std::printf("  %s%s%s\n", command.name, *command.usage ? " " : "", command.usage);
        std::string says = command.says;
        while (says.size() > Width) {
            const std::size_t cut = says.rfind(' ', Width);
            std::printf("%*s%s\n", static_cast<int>(Indent), "", says.substr(0, cut).c_str());
            says.erase(0, cut + 1);
        }
        std::printf("%*s%s\n", static_cast<int>(Indent), "", says.c_str());
    }
}

void PrintCommandTable() {
    const auto cell = [](std::string text) {
        for (std::size_t at = text.find('|'); at != std::string::npos;
             at = text.find('|', at + 2)) {
            text.insert(at, "\\");
        }
        return text;
    };
    std::printf("| command | arguments | what it does and prints |\n|---|---|---|\n");
    for (const Command& command : Commands) {
        const std::string usage = cell(command.usage);
        std::printf("| `%s` | %s%s| %s |\n", command.name, usage.c_str(), usage.empty() ? "" : " ",
                    cell(command.says).c_str());
    }
}
