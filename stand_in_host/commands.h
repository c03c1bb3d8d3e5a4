// The script language's commands in one table, which serves dispatch, --help, the README's
// table of commands and the "unknown command" message; and the runner, which also keeps
// `repeat ... end` blocks.
#pragma once

#include "stand_in_host/script.h"

// Runs script from its first line to its last. A line that fails stops the script and is
// reported as "FILE:LINE: what went wrong". Returns 0, or 2 after such a failure.
int RunScript(const Script& script);

// Prints every command with its arguments and what it does and prints (--help).
void PrintHelp();

// The same as the Markdown table that stand_in_host/README.md holds (--commands).
void PrintCommandTable();
