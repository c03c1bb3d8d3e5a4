// Reads the tables of a module loaded in this process: the names it exports, and the slot
// through which it calls a function it imports.
#pragma once

#include <windows.h>

#include <vector>

// The names in module's export table, in the table's order.
std::vector<const char*> ExportNames(HMODULE module);

// The import address table slot of function, imported by name from dll (compared without
// regard to case), or nullptr when module does not import it.
void** ImportSlot(HMODULE module, const char* dll, const char* function);

// Points an import slot at with, and returns what it pointed at.
void* ReplaceImport(void** slot, void* with);
