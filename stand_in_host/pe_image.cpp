// Export and import tables, read from a module's image in memory.
#include "stand_in_host/pe_image.h"

#include <cstring>

namespace {

const unsigned char* Image(HMODULE module) {
    return reinterpret_cast<const unsigned char*>(module);
}

const IMAGE_DATA_DIRECTORY& Directory(HMODULE module, int entry) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Image(module));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Image(module) + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

}  // namespace

std::vector<const char*> ExportNames(HMODULE module) {
    std::vector<const char*> names;
    const IMAGE_DATA_DIRECTORY& dir = Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (dir.Size == 0) return names;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(Image(module) + dir.VirtualAddress);
    const auto* rvas = reinterpret_cast<const DWORD*>(Image(module) + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        names.push_back(reinterpret_cast<const char*>(Image(module) + rvas[i]));
    }
    return names;
}

void** ImportSlot(HMODULE module, const char* dll, const char* function) {
    const IMAGE_DATA_DIRECTORY& dir = Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    const auto* image = Image(module);
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + dir.VirtualAddress);
         dir.Size != 0 && d->Name != 0; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(image + d->Name), dll) != 0) continue;
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(image + d->OriginalFirstThunk);
        auto* slots =
            reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<unsigned char*>(image) + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

void* ReplaceImport(void** slot, void* with) {
    void* const was = *slot;
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = with;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return was;
}
