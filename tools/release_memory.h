#pragma once
// Hands memory that has been freed back to the system. The allocator otherwise
// keeps the pages, and a later step's large blocks (mapped on their own) add to them.
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tools {

inline void ReleaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace tools
