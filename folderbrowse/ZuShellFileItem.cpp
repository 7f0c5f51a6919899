#include "folderbrowse/ZuShellFileItem.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <ctime>

#include "folderbrowse/ZuShellFileList.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/text/Cp932Name.h"
#include "platform/text/QtText.h"

namespace tavo {

std::string KilobyteText(std::uint64_t bytes) {
  const std::uint64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  std::string digits = std::to_string(kb);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out + "KB";
}

std::string LocalDateText(std::uint64_t fileTime) { return LocalDateText(fileTime, QLocale()); }

std::string LocalDateText(std::uint64_t fileTime, const QLocale& locale) {
  // A time of 0 (or one before 1601's end) is no time: no date at all.
  if ((fileTime >> 32) == 0) return {};
  constexpr std::uint64_t kTicks = 10000000;  // per second
  constexpr long long kEpochDelta = 11644473600LL;
  const std::time_t t = static_cast<std::time_t>(static_cast<long long>(fileTime / kTicks) - kEpochDelta);
  std::tm tm{};
  if (::localtime_r(&t, &tm) == nullptr) return {};
  const QString text = locale.toString(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), QLocale::ShortFormat) +
                       QLatin1Char(' ') +
                       locale.toString(QTime(tm.tm_hour, tm.tm_min, tm.tm_sec), QLocale::ShortFormat);
  if (std::optional<std::string> cp932 = ToCp932(text)) return std::move(*cp932);
  const QByteArray utf8 = text.toUtf8();
  return Cp932FormOfOsBytes(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

TShellFileItem::TShellFileItem(TShellFileList* list, UniquePIDL relative, ShellFindData findData)
    : TShellDataItem(nullptr, nullptr),
      list_(list),
      relativeSize_(relative.size()),
      detailsPending_(relative && FsFactsPending(relative.get())),
      findData_(std::move(findData)) {
  relativePIDL_ = relative.release();
  // Every item of the list lives in the list's folder: one interface for
  // all, not one binding each.
  parentFolder_ = list != nullptr ? list->FolderShellFolder() : nullptr;
}

int TShellFileItem::Level() { return list_ != nullptr ? list_->FolderLevel() + 1 : -1; }

PCItemIDList TShellFileItem::ParentPIDL() { return list_ != nullptr ? list_->FolderPIDL() : nullptr; }

PCItemIDList TShellFileItem::AbsolutePIDL() {
  if (absolutePIDL_ == nullptr && list_ != nullptr && relativePIDL_ != nullptr) {
    absolutePIDL_ = list_->FolderLevel() == 0 ? CopyFirstItemID(relativePIDL_)
                                              : ConcatPIDL(list_->FolderPIDL(), relativePIDL_);
  }
  return absolutePIDL_;
}

int TShellFileItem::GetOpenIconIndex() {
  if (openIconIndex_ == -1) openIconIndex_ = GetSysIconIndex(AbsolutePIDL(), false, false);
  return openIconIndex_;
}

const ShellFindData& TShellFileItem::FindData() {
  if (detailsPending_ && list_ != nullptr) list_->CompleteDetails({this});
  return findData_;
}

std::string TShellFileItem::SizeText() {
  // Folders and objects outside the file system have no size.
  if (!HasAttribute(16) || HasAttribute(15)) return {};
  return KilobyteText(FileSize());
}

std::string TShellFileItem::TypeText() { return ShellTypeNameOf(AbsolutePIDL()); }

int TShellFileItem::OverlayMask() {
  if (overlayMask_ < 0) {
    const int index = OverlayIndex();
    overlayMask_ = index >= 0 ? (index + 1) << 8 : 0;
  }
  return overlayMask_;
}

void TShellFileItem::ReplaceRelative(UniquePIDL relative) {
  UniquePIDL old = UniquePIDL::Adopt({relativePIDL_, relativeSize_});
  FreePIDL(absolutePIDL_);
  relativeSize_ = relative.size();
  relativePIDL_ = relative.release();
}

void TShellFileItem::TakeFacts(const FsEntryFacts& entry) {
  detailsPending_ = false;
  // An entry gone meanwhile keeps what the listing told; the names watcher
  // takes it away.
  if (!entry.facts.known || !WriteFsFacts(relativePIDL_, entry)) return;
  FreePIDL(absolutePIDL_);  // made again from the ID with its facts
  overlayMask_ = -1;  // a link, read-only or readable no longer, maybe
  findData_.attributes = entry.facts.attributes;
  findData_.size = entry.facts.size;
  findData_.writeTime = entry.facts.writeTime;
}

bool TShellFileItem::RenameFileItem(const std::string& name) {
  ShellFolderPtr folder;
  if (!ParentFolder(folder) || relativePIDL_ == nullptr) return false;
  PItemIDList renamed = nullptr;
  if (!folder->SetNameOf(relativePIDL_, name, 0x60, &renamed) || renamed == nullptr) return false;
  ReplaceRelative(UniquePIDL(renamed));
  ResetIconCaches();
  overlayMask_ = -1;
  displayName_.clear();
  return true;
}

}  // namespace tavo
