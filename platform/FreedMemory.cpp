#include "platform/FreedMemory.h"

#include <cstdlib>  // tells whether this is the GNU C library (__GLIBC__)
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarnwick {

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    // Every arena, and every page wholly free inside one, not only the top.
    malloc_trim(0);
#endif
}

}  // namespace tarnwick
