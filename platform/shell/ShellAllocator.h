// The shell's task allocator: every item-ID list is a block of it.
//
// It keeps a table of its live blocks, so that a pointer can be checked to
// lie inside one (ShellBlockRoom), and so that tests can see that nothing
// leaked (ShellLiveBlocks). Thread-safe.
#pragma once

#include <cstddef>

namespace tavo {

// A new block of `size` bytes (not zeroed); nullptr when `size` is 0 or
// memory is short.
void* ShellAlloc(std::size_t size);

// Frees a block that ShellAlloc returned; nullptr is ignored. A pointer that
// is not the start of a live block is not freed (and false is answered), so
// that a double free or a stray pointer cannot corrupt the heap.
bool ShellFree(void* block);

// The bytes from `p` to the end of the live block that holds it; 0 when `p`
// lies in no live block.
std::size_t ShellBlockRoom(const void* p);

// The number of live blocks.
std::size_t ShellLiveBlocks();

}  // namespace tavo
