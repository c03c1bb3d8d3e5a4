// The plugin as the debugger holds it: a DLL loaded by path, with its four entry points
// found by their exact names. One plugin at a time.
#pragma once

#include <windows.h>

#include <string>

// The entry points, cdecl, with the arguments the debugger really passes.
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

// Loads the plugin at path; a DLL that lacks an entry point is refused with the names
// it lacks. Throws ScriptError.
void Load(const std::string& path);
void Unload();
// Unloads the plugin and loads it again from the same path.
void Reload();

// The loaded plugin, or a ScriptError when there is none.
const Plugin& Loaded();
