// The volumes of "My Computer": the mounts a user browses, read from the
// kernel's mount table (/proc/self/mountinfo).
//
// Chosen are "/" (always, even when the table cannot be read), the mounts
// under /media, /run/media and /mnt (/media and /mnt themselves included), a
// separate /home, and network mounts wherever they are. autofs placeholders
// are left out; of mounts stacked on one mount point the topmost counts.
// Mount points are OS paths (UTF-8 bytes), without a trailing '/' except "/".
// Thread-safe; nothing is cached.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavo {

enum class VolumeKind { Fixed, Removable, Network };

struct ShellVolume {
  std::string mountPoint;  // OS path
  std::string source;      // the mounted device or share, as the table says
  std::string fsType;
  VolumeKind kind = VolumeKind::Fixed;  // Network by file-system type, else
                                        // Removable under /media and /run/media
};

// The chosen volumes of a mountinfo text, in table order.
std::vector<ShellVolume> ParseMountInfo(std::string_view mountInfo);

// The chosen volumes of this process's mount table.
std::vector<ShellVolume> ShellVolumes();

// The volume with the longest mount point that is `osPath` or one of its
// ancestors (`osPath` absolute and normalised); nullptr when there is none.
const ShellVolume* VolumeOfPath(const std::vector<ShellVolume>& volumes, std::string_view osPath);

// The volume mounted exactly at `osPath`; nullptr when none is.
const ShellVolume* VolumeAt(const std::vector<ShellVolume>& volumes, std::string_view osPath);

// The label (UTF-8) of a volume's device, found among the links of
// `byLabelDir` (udev's names, "\x20"-style escapes decoded) that lead to the
// same device; empty when there is none.
std::string VolumeLabelOf(const ShellVolume& volume, std::string_view byLabelDir = "/dev/disk/by-label");

}  // namespace tavo
