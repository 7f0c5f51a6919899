// The item-identifier-list toolkit of the shell controls: copying, joining,
// splitting, comparing and naming lists, and turning them into paths, display
// names and icon indexes.
//
// A list is a PItemIDList (ShellItemID.h): bytes in a block of the shell
// allocator. Every list a function here returns is new and owned by the
// caller, who frees it with FreePIDL, unless the function says otherwise.
// Every function accepts nullptr for a list and answers nullptr, 0, false or
// comparison code 3; a list that is malformed or lies outside every live
// allocator block is treated the same way, so a bad list is never walked.
// Paths and names are CP932. Safe on any thread for lists the thread owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/shell/ShellItemID.h"
#include "platform/shell/ShellNamespace.h"

namespace tavo {

// --- Item types ---------------------------------------------------------

enum TShItemIDType {
  itDeskTop,
  itMyComputer,
  itRootDrive,
  itFolder,
  itFile,
  itInterNet,  // declared, never answered
  itBitBucket,
  itNetWork,
  itVirtual,
  itUnknown,
};

// The virtual folders a control may show (itBitBucket..itVirtual).
using TShVirtuaItem = TShItemIDType;
class TShVirtuaItems {
 public:
  constexpr TShVirtuaItems() = default;
  constexpr TShVirtuaItems(std::initializer_list<TShVirtuaItem> items) {
    for (auto i : items) bits_ |= Bit(i);
  }
  constexpr bool Contains(TShVirtuaItem i) const { return (bits_ & Bit(i)) != 0; }
  constexpr void Include(TShVirtuaItem i) { bits_ |= Bit(i); }
  constexpr void Exclude(TShVirtuaItem i) { bits_ &= static_cast<std::uint8_t>(~Bit(i)); }
  constexpr bool operator==(const TShVirtuaItems&) const = default;

 private:
  // Only itBitBucket, itNetWork and itVirtual have a bit; others are never in.
  static constexpr std::uint8_t Bit(TShVirtuaItem i) {
    return i >= itBitBucket && i <= itVirtual ? static_cast<std::uint8_t>(1u << (i - itBitBucket)) : 0;
  }
  std::uint8_t bits_ = 0;
};

// The default of the controls' ShVirtuaItems.
inline constexpr TShVirtuaItems kDefaultShVirtuaItems{itBitBucket, itNetWork};

// --- Special folders and attribute numbers ------------------------------

// Special-folder number 0-29 -> CSIDL. The library uses 0 (desktop), 10
// (recycle bin), 12 (desktop directory), 13 (My Computer), 14 (network).
extern const int SpecialFolderTable[30];
// Attribute number 0-24 -> SFGAO bits; a test holds when every bit is set.
extern const std::uint32_t AttributeFlagTable[25];

// --- Allocation -----------------------------------------------------------

// Frees the list and sets the variable to nullptr.
void FreePIDL(PItemIDList& pidl);
// `size` zeroed bytes; nullptr for 0, for more than 65535 and when the
// allocator refuses.
PItemIDList AllocPIDL(std::size_t size);

// --- Sizes and walking ----------------------------------------------------

// cb + 2 of the first item ID (the size of a one-ID list of it); 0 for nullptr
// or the empty list.
std::uint16_t FirstItemIDSize(PCItemIDList pidl);
// All bytes of the list with its terminator; 0 for nullptr.
std::uint16_t PIDLSize(PCItemIDList pidl);
// The item ID after the first (a pointer into the same list, not a copy);
// nullptr when the first or the next is the terminator.
PCItemIDList NextItemID(PCItemIDList pidl);
// Number of item IDs; -1 for nullptr; 0 for the desktop.
int ItemIDCount(PCItemIDList pidl);

// --- New lists --------------------------------------------------------------

// A one-ID copy of the first item ID; nullptr for nullptr or the empty list.
PItemIDList CopyFirstItemID(PCItemIDList pidl);
// A copy of the whole list.
PItemIDList ClonePIDL(PCItemIDList pidl);
// A without its terminator followed by B; nullptr when either is nullptr or
// the result would pass 65535 bytes.
PItemIDList ConcatPIDL(PCItemIDList a, PCItemIDList b);
// Takes both lists over: both -> ConcatPIDL(a, b); one -> a copy of it;
// none -> nullptr. Both are freed and both variables are nullptr afterwards.
PItemIDList AppendPIDL(PItemIDList& a, PItemIDList& b);
// All item IDs but the last; nullptr for a one-ID list, the empty list or
// nullptr.
PItemIDList ParentPIDL(PCItemIDList pidl);
// A one-ID copy of the last item ID; nullptr for nullptr or the empty list.
PItemIDList LastItemID(PCItemIDList pidl);

// --- Comparison -------------------------------------------------------------

// The comparison code of two lists in `folder` (its CompareIDs, column 0):
// 0 the same object, 1 a sorts after b, 2 a sorts before b, 3 failure (also
// for a null folder or list). Only 0 means "the same".
int ComparePIDL(const ShellFolderPtr& folder, PCItemIDList a, PCItemIDList b);
// True when `pidl` names the desktop, compared in `folder`.
bool IsDesktopPIDL(const ShellFolderPtr& folder, PCItemIDList pidl);

// --- Paths, special folders, names and icons --------------------------------

// The file-system path of an absolute list. False (path empty) for nullptr or
// an object without a path (My Computer, the network, the Recycle Bin).
bool PIDLToPath(PCItemIDList pidl, std::string& path);
// A new absolute list for an existing path. `pidl` is set to nullptr first
// (a list it held is not freed); true on success. A path with no OS form or
// that does not exist fails.
bool PathToPIDL(std::string_view path, PItemIDList& pidl);
// A new absolute list of special folder `number` (0-29, SpecialFolderTable);
// `pidl` is set to nullptr first; true on success. 12 never fails.
bool GetSpecialFolderPIDL(int number, PItemIDList& pidl);
// The display name of a relative list in `folder` by SHGDN_* flags. A null
// folder or list answers true with the empty text; a failure false.
bool StrRetToString(const ShellFolderPtr& folder, PCItemIDList pidl, std::uint32_t flags,
                    std::string& text);
// The index in the system image list (SystemImageList, ZuShellCtrls.h) of an
// absolute list's icon; the generic document icon (0) for nullptr and for a
// list that names nothing.
int GetSysIconIndex(PCItemIDList pidl, bool large, bool open);

}  // namespace tavo
