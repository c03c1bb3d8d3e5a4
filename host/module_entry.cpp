// The module's entry function. The option table is a static object: the runtime builds it
// before this runs at attach and destroys it after this runs at detach.
#include <windows.h>

// libstdc++'s own clean-up: frees the emergency exception buffer it allocates at load.
namespace __gnu_cxx {
void __freeres() noexcept;
}  // namespace __gnu_cxx

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID /*reserved*/) {
    // The runtime is linked in statically, so every load gets its own buffer; without this,
    // each unload would leave it behind in the host's heap.
    if (reason == DLL_PROCESS_DETACH) __gnu_cxx::__freeres();
    return TRUE;
}
