// The four functions the host looks up by name in the plugin module. The host calls
// them one at a time, cdecl, in any order; extra arguments it passes are never read.
#pragma once

#include "host/plugin_version.h"

// The interface version the plugin is built for and the oldest host it accepts.
inline constexpr int PluginInterfaceVersion = 110;

// Texts the host may pass through its printf-style formatter: they hold no '%'. The
// banner, which carries the version, is generated beside the version.
inline constexpr char PluginShortName[] = "Sorvindel";
inline constexpr char PluginHint[] =
    "  Plugins > Sorvindel > Demangle Labels undecorates the labels of the current range";

// Names start with _ODBG_ because that is what the host searches for; they are the one
// place where the plugin's naming rule gives way to the host's.
extern "C" {
int _ODBG_Plugindata(char* shortName);
int _ODBG_Plugininit(int hostVersion, void* mainWindow);
int _ODBG_Pluginmenu(int origin, char* data);
void _ODBG_Pluginaction(int origin, int action);
}
