// The plugin's calls of dbghelp's undecorator, seen from the host. The plugin's import is
// pointed at a watch that counts each call and, with trace on, shows it, then hands it on
// to dbghelp unchanged. The line goes out before the call, so that where the undecorator
// ends the process, the last line printed names the label that did it.
#pragma once

#include <windows.h>

// Points plugin's import of UnDecorateSymbolName from dbghelp.dll, if it has one, at the
// watch.
void WatchUndecorator(HMODULE plugin);
