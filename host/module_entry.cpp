// The module's entry function. The option table is a static object, so the runtime has
// built it before this runs at attach and destroys it after this runs at detach.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) {
    return TRUE;
}
