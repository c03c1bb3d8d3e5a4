// Loading and unloading the plugin, as the debugger does.
#include "stand_in_host/plugin_loader.h"

#include "stand_in_host/script.h"
#include "stand_in_host/transcript.h"
#include "stand_in_host/undecorator_watch.h"

namespace {

Plugin ThePlugin;

// The file version of module's version resource, "1.0.3", or "" if it has none.
std::string FileVersion(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    const auto* data = found == nullptr
                           ? nullptr
                           : static_cast<const DWORD*>(LockResource(LoadResource(module, found)));
    if (data == nullptr) return "";
    const DWORD words = SizeofResource(module, found) / sizeof(DWORD);
    for (DWORD i = 0; i + 4 < words; ++i) {
        if (data[i] != 0xFEEF04BD) continue;  // VS_FIXEDFILEINFO's signature
        return std::to_string(HIWORD(data[i + 2])) + "." + std::to_string(LOWORD(data[i + 2])) +
               "." + std::to_string(HIWORD(data[i + 3]));
    }
    return "";
}

}  // namespace

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
    WatchUndecorator(module);
    Varies(FileVersion(module), "by build");
    ThePlugin = plugin;
}

void Unload() {
    FreeLibrary(Loaded().module);
    ThePlugin = Plugin{ThePlugin.path};
}

void Reload() {
    Unload();
    Load(ThePlugin.path);
}
