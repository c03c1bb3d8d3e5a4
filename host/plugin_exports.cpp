// The plugin's exports: each one a wall between the host and the core. No exception
// thrown below (an allocation failure is the only one possible) may unwind into the host.
#include "host/plugin_exports.h"

#include <cstring>
#include <string>

#include "core/label_pass.h"
#include "core/options_menu.h"
#include "host/host_services.h"

namespace {

template <typename Result, typename Body>
Result Shielded(Result fallback, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

}  // namespace

extern "C" int _ODBG_Plugindata(char* shortName) {
    std::memcpy(shortName, PluginShortName, sizeof PluginShortName);
    return PluginInterfaceVersion;
}

extern "C" int _ODBG_Plugininit(int hostVersion, void* /*mainWindow*/) {
    if (hostVersion < PluginInterfaceVersion) return -1;
    LogLine(0, 0, PluginBanner);
    LogLine(0, -1, PluginHint);
    return 0;
}

extern "C" int _ODBG_Pluginmenu(int origin, char* data) {
    if (origin != 0) return 0;
    return Shielded(0, [data] {
        const std::string text = BuildMenuText();
        std::memcpy(data, text.c_str(), text.size() + 1);
        return 1;
    });
}

extern "C" void _ODBG_Pluginaction(int /*origin*/, int action) {
    Shielded(0, [action] {
        if (action == 1) DemangleLabels();
        if (action >= 3) ToggleOption(action);
        return 0;
    });
}
