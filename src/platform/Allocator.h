// Giving freed memory back to the system.
#pragma once

// Returns the pages of freed blocks to the system. The C library keeps freed memory between
// live blocks for later allocations; after the game drops many pictures at once (pictures that
// rest), that memory is only given back when asked for.
void ReturnFreedMemory();
