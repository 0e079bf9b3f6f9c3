#include "platform/heap.hpp"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zb {

void GiveBackFreeMemory() {
#if defined(__GLIBC__)
    // The C library keeps freed blocks for later; this returns the pages of those it holds.
    malloc_trim(0);
#endif
}

}  // namespace zb
