/* The Windows types that a later undname.c may take, as the 32-bit DLL has them. */
#ifndef SORVINDEL_WINE_SHIM_WINDEF_H
#define SORVINDEL_WINE_SHIM_WINDEF_H

#include "msvcrt.h"

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int DWORD; /* 32 bits, as in the DLL */
typedef unsigned int UINT;
typedef int INT;
typedef char CHAR;
typedef unsigned short WCHAR;
typedef unsigned char BOOLEAN;
typedef size_t SIZE_T;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
#define WINAPI
#define CALLBACK

#endif
