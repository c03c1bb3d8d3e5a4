// The seam between the plugin and the outside world: the five host services and the
// platform undecorator. The Windows build binds these names to OLLYDBG.EXE (by ordinal)
// and dbghelp.dll; the native build links a scripted fake in their place. Nothing else
// in the plugin talks to the host.
//
// The label contract, which every host that stands in for the debugger keeps:
// - Name type 49 (labels) is the only kind of name the plugin reads or writes; a host
//   answers any other type as if the address held no name.
// - ReadName returns 0 when the address holds no label. Any other result means it holds
//   one (the debugger answers with the text's length), and the buffer then holds the text:
//   at most 255 bytes, followed by a NUL.
// - WriteName stores the text as the address's label; the text "" deletes the label.
#pragma once

#include <cstdint>

using Address = std::uint32_t;

// The host's code for labels.
inline constexpr int NameTypeLabel = 49;

// Size of every text buffer exchanged with ReadName and the undecorator: 255 bytes of
// text and a NUL.
inline constexpr int TextBufferSize = 256;

extern "C" {
// Host services, cdecl. Texts handed in stay valid only for the call.
void LogLine(Address address, int highlight, const char* text);   // ordinal 2
int ReadName(Address address, int nameType, char* buffer);        // ordinal 46
void QueryRange(Address* base, Address* size);                    // ordinal 61; base 0: none
void ShowNotice(const char* text);                                // ordinal 78
void WriteName(Address address, int nameType, const char* text);  // ordinal 79

// dbghelp's undecorator. Nonzero (the real one answers with the output's length):
// success, and output holds NUL-terminated text; 0: failure, output is not used. Its
// convention is stdcall on 32-bit Windows; other targets have only one, so the attribute
// is ignored there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
__attribute__((stdcall)) unsigned long UnDecorateSymbolName(const char* name, char* output,
                                                            unsigned long capacity,
                                                            unsigned long flags);
#pragma GCC diagnostic pop
}

// The undecorator's flags: the bare qualified name, or the full declaration.
inline constexpr unsigned long UndecorateNameOnly = 0x1000;  // UNDNAME_NAME_ONLY
inline constexpr unsigned long UndecorateComplete = 0;       // UNDNAME_COMPLETE
