#include "platform/shell/ShellFileInfo.h"

#include <string_view>

#include "platform/shell/ShellVolumes.h"
#include "platform/text/Cp932Lead.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

bool EndsWithRut(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return ext[0] == '.' && lower(ext[1]) == 'r' && lower(ext[2]) == 'u' && lower(ext[3]) == 't';
}

VolumeKind KindOf(std::string_view mountPoint) {
  const auto volumes = ShellVolumes();
  if (const ShellVolume* v = VolumeAt(volumes, mountPoint)) return v->kind;
  if (mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/run/media/", 0) == 0) return VolumeKind::Removable;
  return VolumeKind::Fixed;
}

int VolumeIcon(std::string_view mountPoint) {
  switch (KindOf(mountPoint)) {
    case VolumeKind::Removable: return kIconRemovableVolume;
    case VolumeKind::Network: return kIconNetworkVolume;
    default: return kIconFixedVolume;
  }
}

// The last ID of a valid, non-empty list, and the number of IDs.
PCItemIDList LastID(PCItemIDList absolute, int& count) {
  PCItemIDList last = absolute;
  count = 0;
  for (PCItemIDList id = absolute; CbOf(id) != 0; id += CbOf(id)) {
    last = id;
    ++count;
  }
  return last;
}

const char kFileType[] = "\x83\x74\x83\x40\x83\x43\x83\x8B";  // ファイル
const char kFolderType[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x20\x83\x74\x83\x48\x83\x8B\x83\x5F";  // ファイル フォルダ
const char kSystemFolderType[] =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x20\x83\x74\x83\x48\x83\x8B\x83\x5F";  // システム フォルダ
const char kLocalDiskType[] =
    "\x83\x8D\x81\x5B\x83\x4A\x83\x8B\x20\x83\x66\x83\x42\x83\x58\x83\x4E";  // ローカル ディスク
const char kRemovableDiskType[] =
    "\x83\x8A\x83\x80\x81\x5B\x83\x6F\x83\x75\x83\x8B\x20\x83\x66\x83\x42\x83\x58\x83\x4E";  // リムーバブル ディスク
const char kNetworkDriveType[] =
    "\x83\x6C\x83\x62\x83\x67\x83\x8F\x81\x5B\x83\x4E\x20\x83\x68\x83\x89\x83\x43\x83\x75";  // ネットワーク ドライブ

std::string FileTypeName(std::string_view osName) {
  const std::size_t dot = osName.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == osName.size()) return kFileType;
  auto ext = FromOsPath(osName.substr(dot + 1));
  if (!ext) return kFileType;
  // Character-wise: a trail byte of a two-byte character is no letter.
  for (std::size_t i = 0; i < ext->size(); ++i) {
    const unsigned char c = static_cast<unsigned char>((*ext)[i]);
    if (IsLeadByte(c)) ++i;
    else if (c >= 'a' && c <= 'z') (*ext)[i] = static_cast<char>(c - 'a' + 'A');
  }
  return *ext + " " + kFileType;
}

}  // namespace

std::string ShellTypeNameOf(PCItemIDList absolute) {
  if (ValidIDListSize(absolute) == 0) return {};
  if (CbOf(absolute) == 0) return kSystemFolderType;
  int count = 0;
  PCItemIDList last = LastID(absolute, count);
  switch (TagOf(last)) {
    case ItemTag::Computer:
    case ItemTag::Network:
    case ItemTag::RecycleBin: return count == 1 ? kSystemFolderType : std::string();
    case ItemTag::Volume:
      if (count != 2 || TagOf(absolute) != ItemTag::Computer) return {};
      switch (KindOf(BodyOf(last))) {
        case VolumeKind::Removable: return kRemovableDiskType;
        case VolumeKind::Network: return kNetworkDriveType;
        default: return kLocalDiskType;
      }
    case ItemTag::FsFolder: return kFolderType;
    case ItemTag::FsFile: return FileTypeName(FsNameOf(last));
    default: return {};
  }
}

int ShellIconIndexOf(PCItemIDList absolute, bool open) {
  if (ValidIDListSize(absolute) == 0) return -1;
  if (CbOf(absolute) == 0) return kIconDesktop;
  int count = 0;
  PCItemIDList last = LastID(absolute, count);
  switch (TagOf(last)) {
    case ItemTag::Computer: return count == 1 ? kIconComputer : -1;
    case ItemTag::Network: return count == 1 ? kIconNetwork : -1;
    case ItemTag::RecycleBin: return count == 1 ? kIconTrash : -1;
    case ItemTag::Volume: return count == 2 && TagOf(absolute) == ItemTag::Computer ? VolumeIcon(BodyOf(last)) : -1;
    case ItemTag::FsFolder: return open ? kIconOpenFolder : kIconFolder;
    case ItemTag::FsFile: return EndsWithRut(FsNameOf(last)) ? kIconRuteDocument : kIconDocument;
    default: return -1;
  }
}

}  // namespace tavo
