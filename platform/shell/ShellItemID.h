// Item-identifier lists: the names of shell objects.
//
// A list is a run of item IDs, each a 16-bit little-endian byte count `cb`
// (counting its own two bytes), a tag byte that says which folder kind made
// it, and cb - 3 bytes of body; a 16-bit zero ends the list. The desktop's own
// list is the terminator alone. A whole list is at most 65535 bytes.
//
// Lists live in blocks of the shell allocator (ShellAllocator.h). A pointer
// to a list may point into the middle of a block (the second ID of a list, for
// instance); ValidIDListSize checks that the list ends within its block, so
// that no code walks past memory it owns. Nothing here keeps state beyond the
// allocator's block table; safe from any thread for lists that thread owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavo {

// A list the holder may change and must free (FreePIDL); PCItemIDList is a
// list only looked at. nullptr is "no list".
using PItemIDList = std::uint8_t*;
using PCItemIDList = const std::uint8_t*;

// The largest list the toolkit handles, in bytes, terminator included.
inline constexpr std::size_t kMaxIDListSize = 65535;

// Tags of the item IDs this system's namespace makes.
enum class ItemTag : std::uint8_t {
  Computer = 0x01,    // "My Computer", a child of the desktop; empty body
  Network = 0x02,     // the network, a child of the desktop; empty body
  RecycleBin = 0x03,  // the Trash, a child of the desktop; empty body
  Volume = 0x10,      // a child of My Computer; body: the mount point (UTF-8 bytes)
  FsFile = 0x20,      // an entry of a folder that is not a folder; body:
                      // one raw on-disk name
  FsFolder = 0x21,    // an entry that is a folder (or a link to one), when
                      // the ID was made; body: one raw on-disk name
};

// The size in bytes (terminator included) of the well-formed list that
// starts at `p` and lies within the `available` bytes from `p`; 0 when there
// is none: every cb at least 3, the terminator inside the bounds, the whole at
// most kMaxIDListSize.
std::size_t ValidIDListSize(PCItemIDList p, std::size_t available);

// As above for a list in a live block of the shell allocator (its bounds run
// to the end of that block); 0 for nullptr, for memory outside every live
// block, and for a malformed list.
std::size_t ValidIDListSize(PCItemIDList p);

// The number of item IDs of a list already validated.
int CountItemIDs(PCItemIDList validList);

// One item ID of a validated list: its tag and body.
inline ItemTag TagOf(PCItemIDList id) { return static_cast<ItemTag>(id[2]); }
inline std::uint16_t CbOf(PCItemIDList id) {
  return static_cast<std::uint16_t>(id[0] | (id[1] << 8));
}
inline std::string_view BodyOf(PCItemIDList id) {
  return {reinterpret_cast<const char*>(id + 3), static_cast<std::size_t>(CbOf(id) - 3)};
}

// A new one-ID list (tag, body, terminator) from the shell allocator; nullptr
// when the list would pass kMaxIDListSize or the allocator refuses.
PItemIDList MakeItemID(ItemTag tag, std::string_view body);

// A new list copied from bytes that came from outside the process (a drag,
// the clipboard): nullptr unless the bytes begin with a well-formed list.
PItemIDList IDListFromBytes(const void* bytes, std::size_t size);

}  // namespace tavo
