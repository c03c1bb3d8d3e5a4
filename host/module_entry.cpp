// The module's entry function. The option table is a static object: the runtime builds it
// before this runs at attach and destroys it after this runs at detach.
#include <windows.h>

#include <cxxabi.h>

// libstdc++'s own clean-up: frees the emergency exception buffer it allocates at load.
namespace __gnu_cxx {
void __freeres() noexcept;
}  // namespace __gnu_cxx

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID /*reserved*/) {
    // A thread's exception state is allocated the first time it throws, and the runtime
    // aborts if that allocation fails: out of memory, the first throw would end the host.
    // Allocating it now, while there is memory, lets a bad_alloc reach the exports' wall.
    // (The runtime declares the call free of side effects; the volatile store keeps it.)
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) {
        [[maybe_unused]] static abi::__cxa_eh_globals* volatile exceptionState;
        exceptionState = abi::__cxa_get_globals();
    }
    // The runtime is linked in statically, so every load gets its own buffer; without this,
    // each unload would leave it behind in the host's heap.
    if (reason == DLL_PROCESS_DETACH) __gnu_cxx::__freeres();
    return TRUE;
}
