// OLLYDBG.EXE, a stand-in for the debugger host: loads a plugin DLL the way the debugger
// does, serves it the five host services over an in-memory label table, and is driven by
// a line-oriented script (README.md beside this file; --help lists the commands). It
// prints a transcript; with --expect it compares that transcript with a file.
//
// Usage: OLLYDBG.EXE [--expect FILE | --record FILE] [--status N] [SCRIPT | -]
//        OLLYDBG.EXE --help | --commands
// Exit: 0 done (or transcript and status as expected, or recorded), 1 not as expected,
// 2 script error (with --record: nothing written).
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "stand_in_host/commands.h"
#include "stand_in_host/transcript.h"

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as on every other system
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    std::string expectPath;
    std::string recordPath;
    int expectStatus = 0;
    std::string scriptPath = "-";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            PrintHelp();
            return 0;
        } else if (arg == "--commands") {
            PrintCommandTable();
            return 0;
        } else if (arg == "--expect" && i + 1 < argc) {
            expectPath = argv[++i];
        } else if (arg == "--record" && i + 1 < argc) {
            recordPath = argv[++i];
        } else if (arg == "--status" && i + 1 < argc) {
            expectStatus = std::atoi(argv[++i]);
        } else {
            scriptPath = arg;
        }
    }

    Script script;
    try {
        script = ReadScript(scriptPath);
    } catch (const ScriptError& error) {
        std::printf("%s\n", error.what());
        return 2;
    }
    const int status = RunScript(script);
    if (!recordPath.empty()) {
        // A failing line names the script as the command line does, which CTest makes an
        // absolute path.
        if (scriptPath != "-") Varies(scriptPath, "with how the script is named");
        if (status == expectStatus) return RecordTranscript(recordPath);
        std::printf("%s not written: the script ended with status %d, not %d\n", recordPath.c_str(),
                    status, expectStatus);
        return status == 0 ? 1 : status;
    }
    if (expectPath.empty()) return status;

    const int verdict = CompareTranscript(expectPath);
    if (verdict == 0 && status != expectStatus) {
        std::printf("exit status %d, expected %d\n", status, expectStatus);
        return 1;
    }
    return verdict;
}
