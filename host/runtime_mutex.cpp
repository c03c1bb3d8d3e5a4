// The runtime's mutex, for GCC 13 and later, whose win32 thread model moved it into
// libgcc's gthr-win32.o. That object also holds the thread functions, which import
// GetThreadId, a Windows Vista function: linked in, it would stop the DLL from loading on
// XP. The exception allocator's lock is all the DLL uses of it, so these four take its
// place; in that thread model the mutex is laid out as a CRITICAL_SECTION, and XP has
// every call they make. (GCC 12's gthr-win32.o imports nothing newer than XP.)
#include <windows.h>

#include <bits/gthr.h>

static_assert(sizeof(__gthread_mutex_t) == sizeof(CRITICAL_SECTION) &&
                  alignof(__gthread_mutex_t) == alignof(CRITICAL_SECTION),
              "this runtime's mutex is not a CRITICAL_SECTION");

namespace {
CRITICAL_SECTION* Section(__gthread_mutex_t* mutex) {
    return reinterpret_cast<CRITICAL_SECTION*>(mutex);
}
}  // namespace

extern "C" {

void __gthr_win32_mutex_init_function(__gthread_mutex_t* mutex) {
    InitializeCriticalSection(Section(mutex));
}

void __gthr_win32_mutex_destroy(__gthread_mutex_t* mutex) {
    DeleteCriticalSection(Section(mutex));
}

int __gthr_win32_mutex_lock(__gthread_mutex_t* mutex) {
    EnterCriticalSection(Section(mutex));
    return 0;
}

int __gthr_win32_mutex_unlock(__gthread_mutex_t* mutex) {
    LeaveCriticalSection(Section(mutex));
    return 0;
}
}
