#include "platform/shell/ShellFileInfo.h"

#include <string_view>

#include "platform/shell/ShellVolumes.h"

namespace tavo {
namespace {

bool EndsWithRut(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return ext[0] == '.' && lower(ext[1]) == 'r' && lower(ext[2]) == 'u' && lower(ext[3]) == 't';
}

int VolumeIcon(std::string_view mountPoint) {
  const auto volumes = ShellVolumes();
  VolumeKind kind = VolumeKind::Fixed;
  if (const ShellVolume* v = VolumeAt(volumes, mountPoint)) {
    kind = v->kind;
  } else if (mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/run/media/", 0) == 0) {
    kind = VolumeKind::Removable;
  }
  switch (kind) {
    case VolumeKind::Removable: return kIconRemovableVolume;
    case VolumeKind::Network: return kIconNetworkVolume;
    default: return kIconFixedVolume;
  }
}

}  // namespace

int ShellIconIndexOf(PCItemIDList absolute, bool open) {
  if (ValidIDListSize(absolute) == 0) return -1;
  if (CbOf(absolute) == 0) return kIconDesktop;
  PCItemIDList last = absolute;
  int count = 0;
  for (PCItemIDList id = absolute; CbOf(id) != 0; id += CbOf(id)) {
    last = id;
    ++count;
  }
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
