/* What Wine's undname.c takes from Wine's own headers, for building it natively as the
 * reader's test oracle: the few types, calling-convention words, flag values and the one
 * kernel32 call it uses, with the meaning they have in the 32-bit DLL. Nothing else of
 * Wine is needed. winver.h, imagehlp.h and wine/debug.h stand for the other headers it
 * includes. */
#ifndef SORVINDEL_WINE_SHIM_MSVCRT_H
#define SORVINDEL_WINE_SHIM_MSVCRT_H

#include <ctype.h>
#include <stdarg.h>
#include <stddef.h>
#include <string.h>

typedef int BOOL;
#define TRUE 1
#define FALSE 0
#define CDECL
#define WINAPIV
#define __cdecl

typedef void* (*malloc_func_t)(size_t);
typedef void (*free_func_t)(void*);

/* The undecorator's flags, as dbghelp.h documents them. */
#define UNDNAME_COMPLETE (0x0000)
#define UNDNAME_NO_LEADING_UNDERSCORES (0x0001)
#define UNDNAME_NO_MS_KEYWORDS (0x0002)
#define UNDNAME_NO_FUNCTION_RETURNS (0x0004)
#define UNDNAME_NO_ALLOCATION_MODEL (0x0008)
#define UNDNAME_NO_ALLOCATION_LANGUAGE (0x0010)
#define UNDNAME_NO_MS_THISTYPE (0x0020)
#define UNDNAME_NO_CV_THISTYPE (0x0040)
#define UNDNAME_NO_THISTYPE (0x0060)
#define UNDNAME_NO_ACCESS_SPECIFIERS (0x0080)
#define UNDNAME_NO_THROW_SIGNATURES (0x0100)
#define UNDNAME_NO_MEMBER_TYPE (0x0200)
#define UNDNAME_NO_RETURN_UDT_MODEL (0x0400)
#define UNDNAME_32_BIT_DECODE (0x0800)
#define UNDNAME_NAME_ONLY (0x1000)
#define UNDNAME_NO_ARGUMENTS (0x2000)
#define UNDNAME_NO_SPECIAL_SYMS (0x4000)
#define UNDNAME_NO_COMPLEX_TYPE (0x8000)

/* msvcrt's assert ends the process; the oracle's harness says that it did. undname.c
 * includes <assert.h> before this header. */
__attribute__((noreturn)) void WineAssertionFailed(const char* expression);
#undef assert
#define assert(expression) ((expression) ? (void)0 : WineAssertionFailed(#expression))

/* ucrtbase's atoi clamps a number to the range of int (its _atoi_l); glibc's wraps it. An
 * array's count past that range is written as such a number. */
int WineAtoi(const char* text);
#define atoi WineAtoi

/* kernel32's: at most n - 1 bytes, then a NUL. */
static inline char* lstrcpynA(char* dst, const char* src, int n) {
    char* d = dst;
    unsigned count = (unsigned)n;
    while (count > 1 && *src) {
        --count;
        *d++ = *src++;
    }
    if (count) *d = '\0';
    return dst;
}

#endif
