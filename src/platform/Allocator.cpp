#include "platform/Allocator.h"

// Any C library header says which C library this is (__GLIBC__).
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ConfigureAllocator() {
#if defined(__GLIBC__)
    // Setting the threshold also fixes it: the C library no longer moves it.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
