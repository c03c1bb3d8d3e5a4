// The seam between the plugin and the outside world: the five host services and the
// platform undecorator. The Windows build binds these names to OLLYDBG.EXE (by ordinal)
// and dbghelp.dll; the native build links a scripted fake in their place. Nothing else
// in the plugin talks to the host.
#pragma once

#include <cstdint>

using Address = std::uint32_t;

// The host's code for labels, the only kind of name the plugin reads or writes.
inline constexpr int NameTypeLabel = 49;

// Size of every text buffer exchanged with ReadName and the undecorator.
inline constexpr int TextBufferSize = 256;

extern "C" {
// Host services, cdecl. Texts handed in stay valid only for the call.
void LogLine(Address address, int highlight, const char* text);   // ordinal 2
int ReadName(Address address, int nameType, char* buffer);        // ordinal 46; 0: no name
void QueryRange(Address* base, Address* size);                    // ordinal 61; base 0: none
void ShowNotice(const char* text);                                // ordinal 78
void WriteName(Address address, int nameType, const char* text);  // ordinal 79; "": delete

// dbghelp's undecorator. Nonzero: success, output holds text; 0: failure. Its convention
// is stdcall on 32-bit Windows; other targets have only one, so the attribute is ignored.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
__attribute__((stdcall)) unsigned long UnDecorateSymbolName(const char* name, char* output,
                                                            unsigned long capacity,
                                                            unsigned long flags);
#pragma GCC diagnostic pop
}
