// The command table and the runner. Every line is echoed as "> line" before it runs,
// except `say` lines and the lines inside a repeat block.
#include "stand_in_host/commands.h"

#include <algorithm>
#include <cstdio>
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

// repeat and end have no handler: the runner keeps them.
constexpr Command Commands[] = {
    {"load", "PATH", "loads a plugin DLL and finds its four entry points", LoadCommand},
    {"unload", "", "unloads the plugin", UnloadCommand},
    {"reload", "", "unloads the plugin and loads it again from its path", ReloadCommand},
    {"data", "", "calls _ODBG_Plugindata; prints its result and the bytes written", DataCommand},
    {"init", "VERSION", "calls _ODBG_Plugininit; prints its result", InitCommand},
    {"menu", "ORIGIN", "calls _ODBG_Pluginmenu; prints its result and the text", MenuCommand},
    {"action", "ORIGIN ENTRY",
     "calls _ODBG_Pluginaction with ENTRY: a number, or a menu entry's text (NAME_ONLY)",
     ActionCommand},
    {"timed-action", "ORIGIN ENTRY", "the same; prints how long it took", TimedActionCommand},
    {"fail-allocations", "on|off", "makes every malloc of the plugin fail, or not",
     FailAllocationsCommand},
    {"range", "BASE SIZE", "sets the range that QueryRange reports", RangeCommand},
    {"label", "ADDRESS TEXT", "sets a label (TEXT takes \\xNN and \\\\)", LabelCommand},
    {"unlabel", "ADDRESS", "deletes a label", UnlabelCommand},
    {"clear", "", "deletes every label", ClearCommand},
    {"fill", "BASE COUNT STEP TEXT", "sets COUNT labels, STEP bytes apart", FillCommand},
    {"labels-from", "MODULE BASE STEP [LIMIT]",
     "sets a label per name MODULE (or each module a '*' pattern names) exports, STEP bytes "
     "apart; prints how many",
     LabelsFromCommand},
    {"mutate", "SEED STRENGTH FIRST COUNT BASE",
     "sets COUNT labels from BASE on, one a byte: names FIRST on of run SEED, mutated from "
     "the labels outside them",
     MutateCommand},
    {"show-labels", "[FIRST LAST]",
     "prints the labels from FIRST to LAST, both included, and the count of all",
     ShowLabelsCommand},
    {"kept-back", "",
     "prints each label of the range the last action read but did not undecorate, and how many",
     KeptBackCommand},
    {"snapshot", "", "remembers the labels for `changes`", SnapshotCommand},
    {"changes", "", "prints each address labelled in the snapshot or now: before, then after",
     ChangesCommand},
    {"trace", "on|off", "prints each host service call as it happens (on at start)", TraceCommand},
    {"tally", "", "prints the service calls and notices counted since the last tally",
     TallyCommand},
    {"memory-mark", "", "remembers the process's committed memory", MemoryMarkCommand},
    {"memory-control", "",
     "takes the growth since memory-mark as Wine's own for the same work, and marks again",
     MemoryControlCommand},
    {"memory-growth-at-most", "KIB",
     "fails unless committed memory grew by at most KIB since the mark, beyond any control",
     MemoryGrowthCommand},
    {"load-and-free", "MODULE", "loads a DLL and frees it again", LoadAndFreeCommand},
    {"reader-share-at-most", "PERCENT",
     "times the plugin's name reader and the undecorator over the range's labels; fails if "
     "the reader takes more than PERCENT of a call",
     ReaderShareCommand},
    {"say", "[TEXT]", "prints TEXT as it stands; not echoed", SayCommand},
    {"repeat", "COUNT", "runs the lines up to the matching `end` COUNT times, not echoed", nullptr},
    {"end", "", "closes a repeat block", nullptr},
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
        "Numbers are decimal or 0x hex. Lines are echoed as \"> line\" before they run.\n\n");
    for (const Command& command : Commands) {
        std::printf("  %-22s %-24s %s\n", command.name, command.usage, command.says);
    }
}
