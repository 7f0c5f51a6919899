#include "platform/shell/ShellVolumes.h"

#include <dirent.h>
#include <stdlib.h>

#include <array>
#include <memory>

#include "platform/files/Files.h"

namespace tavo {
namespace {

constexpr std::array<std::string_view, 15> kNetworkTypes = {
    "nfs",  "nfs4",      "cifs",           "smb3",        "smbfs",      "ncpfs",  "afs",         "ceph",
    "9p",   "glusterfs", "fuse.glusterfs", "fuse.sshfs",  "fuse.rclone", "davfs", "fuse.davfs2",
};

// The table escapes blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      auto oct = [](char c) { return c >= '0' && c <= '7'; };
      if (oct(field[i + 1]) && oct(field[i + 2]) && oct(field[i + 3])) {
        out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ') ++j;
    if (j > i) fields.push_back(line.substr(i, j - i));
    i = j;
  }
  return fields;
}

// `path` is `dir` or lies below it.
bool AtOrBelow(std::string_view path, std::string_view dir) {
  if (path == dir) return true;
  if (dir == "/") return !path.empty() && path[0] == '/';
  return path.size() > dir.size() && path.substr(0, dir.size()) == dir && path[dir.size()] == '/';
}

bool Below(std::string_view path, std::string_view dir) { return path != dir && AtOrBelow(path, dir); }

bool IsNetworkType(std::string_view type) {
  for (auto t : kNetworkTypes)
    if (t == type) return true;
  return false;
}

std::string RealPath(const std::string& p) {
  std::unique_ptr<char, decltype(&::free)> r(::realpath(p.c_str(), nullptr), &::free);
  return r ? std::string(r.get()) : std::string();
}

// udev writes unsafe bytes of a label as \xNN.
std::string DecodeUdevName(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto hex = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
        hex(name[i + 2]) >= 0 && hex(name[i + 3]) >= 0) {
      out += static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3]));
      i += 3;
    } else {
      out += name[i];
    }
  }
  return out;
}

}  // namespace

std::vector<ShellVolume> ParseMountInfo(std::string_view text) {
  std::vector<ShellVolume> volumes;
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    auto f = SplitBlanks(line);
    // id parent major:minor root mountpoint options [optional...] - type source superoptions
    std::size_t dash = 6;
    while (dash < f.size() && f[dash] != "-") ++dash;
    if (f.size() < 5 || dash + 1 >= f.size()) continue;
    ShellVolume v;
    v.mountPoint = Unescape(f[4]);
    v.fsType = Unescape(f[dash + 1]);
    v.source = dash + 2 < f.size() ? Unescape(f[dash + 2]) : std::string();
    if (v.mountPoint.empty() || v.mountPoint[0] != '/' || v.fsType == "autofs") continue;
    const bool network = IsNetworkType(v.fsType);
    const bool chosen = v.mountPoint == "/" || v.mountPoint == "/home" || AtOrBelow(v.mountPoint, "/media") ||
                        Below(v.mountPoint, "/run/media") || AtOrBelow(v.mountPoint, "/mnt") || network;
    if (!chosen) continue;
    v.kind = network ? VolumeKind::Network
             : AtOrBelow(v.mountPoint, "/media") || Below(v.mountPoint, "/run/media") ? VolumeKind::Removable
                                                                                      : VolumeKind::Fixed;
    for (auto it = volumes.begin(); it != volumes.end(); ++it) {
      if (it->mountPoint == v.mountPoint) {
        volumes.erase(it);
        break;
      }
    }
    volumes.push_back(std::move(v));
  }
  if (VolumeAt(volumes, "/") == nullptr) {
    ShellVolume root;
    root.mountPoint = "/";
    volumes.insert(volumes.begin(), std::move(root));
  }
  return volumes;
}

std::vector<ShellVolume> ShellVolumes() {
  std::string text;
  // A failed read leaves the text empty, and "/" alone is answered.
  ReadWholeFile("/proc/self/mountinfo", text);
  return ParseMountInfo(text);
}

const ShellVolume* VolumeOfPath(const std::vector<ShellVolume>& volumes, std::string_view osPath) {
  const ShellVolume* best = nullptr;
  for (const auto& v : volumes) {
    if (AtOrBelow(osPath, v.mountPoint) && (best == nullptr || v.mountPoint.size() > best->mountPoint.size()))
      best = &v;
  }
  return best;
}

const ShellVolume* VolumeAt(const std::vector<ShellVolume>& volumes, std::string_view osPath) {
  for (const auto& v : volumes)
    if (v.mountPoint == osPath) return &v;
  return nullptr;
}

std::string VolumeLabelOf(const ShellVolume& volume, std::string_view byLabelDir) {
  if (volume.source.empty() || volume.source[0] != '/') return {};
  const std::string device = RealPath(volume.source);
  if (device.empty()) return {};
  const std::string dir(byLabelDir);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return {};
  std::string label;
  while (dirent* e = ::readdir(d)) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    if (RealPath(dir + "/" + std::string(name)) == device) {
      label = DecodeUdevName(name);
      break;
    }
  }
  ::closedir(d);
  return label;
}

}  // namespace tavo
