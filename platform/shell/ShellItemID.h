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
#include <string>
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
  FsFile = 0x20,      // an entry of a folder that is not a folder
  FsFolder = 0x21,    // an entry that is a folder (or a link to one), when
                      // the ID was made
                      // body of both: FsItemFacts (kFsFactsSize bytes), then
                      // one raw on-disk name
};

// What one stat() of a file-system entry told when its ID was made, kept in
// the ID so that attributes and sorting need no second look at the disk.
// An ID made from a bare name (a comparison of names, say) has none.
struct FsItemFacts {
  bool known = false;           // the fields below were read from the disk
  bool link = false;            // the entry itself is a symbolic link
  std::uint32_t attributes = 0; // FILE_ATTRIBUTE_* (ShellFindData.h)
  std::uint64_t size = 0;       // bytes; 0 for folders
  std::uint64_t writeTime = 0;  // FILETIME of the last modification
};
inline constexpr std::size_t kFsFactsSize = 22;

// A list and the number of bytes from its start to the end of the block that
// holds it. Validating such a list walks only its own bytes, while a bare
// pointer must first be looked up in the allocator's block table, which all
// threads share under one lock: callers that keep their lists' sizes
// (UniquePIDL.h) hand lists on as spans.
struct IDListSpan {
  PCItemIDList p = nullptr;
  std::size_t room = 0;
};

// The span of a list in a live block of the shell allocator (one look into
// the block table); {nullptr, 0} for nullptr or a stray pointer.
IDListSpan SpanOf(PCItemIDList p);

// The size in bytes (terminator included) of the well-formed list that
// starts at `p` and lies within the `available` bytes from `p`; 0 when there
// is none: every cb at least 3, the terminator inside the bounds, the whole at
// most kMaxIDListSize.
std::size_t ValidIDListSize(PCItemIDList p, std::size_t available);

// As above for a list in a live block of the shell allocator (its bounds run
// to the end of that block); 0 for nullptr, for memory outside every live
// block, and for a malformed list.
std::size_t ValidIDListSize(PCItemIDList p);

inline std::size_t ValidIDListSize(IDListSpan list) { return ValidIDListSize(list.p, list.room); }

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

// The body of a file-system item ID: its facts, then its on-disk name.
std::string FsBody(const FsItemFacts& facts, std::string_view name);
// A new one-ID list of a file-system entry.
PItemIDList MakeFsItemID(bool folder, std::string_view name, const FsItemFacts& facts = {});
// The on-disk name of a file-system item ID; empty when its body is too
// short to be one.
std::string_view FsNameOf(PCItemIDList id);
// Its facts; all zero (not known) when the body is too short.
FsItemFacts FsFactsOf(PCItemIDList id);
// What one look at a file-system entry told: its kind and its facts
// (facts.known is false when the entry is gone).
struct FsEntryFacts {
  bool folder = false;
  FsItemFacts facts;
};
// Writes the kind and facts of `entry` into a file-system ID in place (its
// size stays). False, and nothing written, for any other ID.
bool WriteFsFacts(PItemIDList id, const FsEntryFacts& entry);

// True for a file-system ID that carries no facts (made from a bare name,
// or enumerated with SHCONTF_FASTITEMS); false for every other ID.
bool FsFactsPending(PCItemIDList id);

// A new list copied from bytes that came from outside the process (a drag,
// the clipboard): nullptr unless the bytes begin with a well-formed list.
PItemIDList IDListFromBytes(const void* bytes, std::size_t size);

}  // namespace tavo
