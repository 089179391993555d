// How the C library's allocator keeps memory, and giving freed memory back to the system.
#pragma once

// Call first thing in main. Blocks of 128 KiB and more (pictures, texels, sound, file bytes) get
// pages of their own, given back the moment they are freed. Without it the C library raises
// that threshold each time such a block is freed, and later pictures land in the heap, where
// the holes they leave (a picture decoded, then copied into its texture) stay resident.
void ConfigureAllocator();

// Returns the pages of freed blocks to the system. The C library keeps freed memory between
// live blocks for later allocations; after the game drops many pictures at once (pictures that
// rest), that memory is only given back when asked for.
void ReturnFreedMemory();
