#include "platform/Allocator.h"

// Any C library header says which C library this is (__GLIBC__).
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
