/* Its types are windef.h's. */
#include "windef.h"
