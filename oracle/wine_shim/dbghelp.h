/* Its flags are msvcrt.h's. */
#include "msvcrt.h"
