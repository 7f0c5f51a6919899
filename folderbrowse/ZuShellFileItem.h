// One row of the file list (ZuShellFileList.h): a shell object of the
// folder the list shows, with its find data and the texts of its columns.
//
// The item owns its own ID (relative to the list's folder) and its cached
// absolute list; the folder's list and folder interface are the list's and
// only borrowed. An item enumerated names first (SHCONTF_FASTITEMS) has its
// details (size, time, READONLY) pending until the list reads them; until
// then FileAttributes tells only file or folder and hidden, and FindData
// reads them at once. Texts are CP932. UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "folderbrowse/ZuShellCtrls.h"
#include "platform/shell/ShellFindData.h"
#include "platform/shell/UniquePIDL.h"

class QLocale;

namespace tavo {

class TShellFileList;

// The size column: the kilobytes rounded up, with thousands separators and
// "KB" ("0KB", "1KB" for 1 to 1024 bytes, "2KB" for 1025, "1,024KB").
std::string KilobyteText(std::uint64_t bytes);

// The date column: the local date and time of a FILETIME, as the locale's
// short date, a blank and its short time (Japanese: "2009/02/14 8:31"); the
// user's locale unless another is given; empty for a time of 0. CP932, words
// of the locale that have none escaped as names are (Cp932Name.h).
std::string LocalDateText(std::uint64_t fileTime);
std::string LocalDateText(std::uint64_t fileTime, const QLocale& locale);

class TShellFileItem final : public TShellDataItem {
 public:
  // Takes `relative` over; `findData` is what enumeration told of it.
  TShellFileItem(TShellFileList* list, UniquePIDL relative, ShellFindData findData);

  int Index() const override { return index_; }
  int Level() override;
  // The list's folder (borrowed from the list).
  PCItemIDList ParentPIDL() override;
  // Built on first use and kept.
  PCItemIDList AbsolutePIDL() override;
  // The icon of the normal (not the open) state: a list draws no open folders.
  int GetOpenIconIndex() override;
  bool IsValid() const override { return list_ != nullptr && relativePIDL_ != nullptr; }

  IDListSpan RelativeSpan() const { return {relativePIDL_, relativeSize_}; }
  bool DetailsPending() const { return detailsPending_; }

  // The find data, its details read first when they are pending.
  const ShellFindData& FindData();
  // The attribute word as known now (see the header's note).
  std::uint32_t FileAttributes() const { return findData_.attributes; }
  // The name the folder listing gave (CP932); empty for objects without find data.
  const std::string& FileName() const { return findData_.name; }
  // The size in bytes (64-bit), its details read first when pending.
  std::uint64_t FileSize() { return FindData().size; }

  // Column texts: empty size for folders and objects outside the file
  // system; the type from the object's kind and name.
  std::string SizeText();
  std::string TypeText();
  std::string DateText() { return LocalDateText(FindData().writeTime); }
  std::string AttributeText() { return AttributeLetters(FindData().attributes); }
  // The overlay as list-view state bits: (OverlayIndex() + 1) << 8, 0 for
  // none; cached, and asked again when the item's facts change.
  int OverlayMask();
  // A folder whose entries cannot be listed.
  bool IsUnreadable() { return OverlayMask() == kOverlayUnreadable << 8; }

  // Renames the object (CP932 name); the item takes its new ID, its caches
  // start again, its find data stays. True on success.
  bool RenameFileItem(const std::string& name);

  bool Selected = false;

 private:
  friend class TShellFileList;
  // Takes what a look at the object told into its ID and find data.
  void TakeFacts(const FsEntryFacts& entry);
  void ReplaceRelative(UniquePIDL relative);

  TShellFileList* list_;
  int index_ = -1;
  std::size_t relativeSize_;
  bool detailsPending_;
  int overlayMask_ = -1;  // not yet known
  ShellFindData findData_;
};

}  // namespace tavo
