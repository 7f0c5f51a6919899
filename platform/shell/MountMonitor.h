// Volumes that come and go. A monitor thread sleeps in poll() on the mount
// table (/proc/self/mountinfo signals POLLPRI when it changes), reads the
// table again, compares it with the one before and reports each removable
// or network volume that was mounted or unmounted.
//
// Which volumes those are is the rule of My Computer (ShellVolumes.h):
// network mounts by their file-system type, removable ones under /media and
// /run/media; mounts below an extra prefix of the options count as removable
// too. Other mounts (the root, system file systems, bind mounts elsewhere)
// are not reported. Paths are CP932; a mount point that has no CP932 form is
// not reported.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/notify/WaitEvents.h"
#include "platform/shell/ShellVolumes.h"

namespace tavo {

// One line of a mountinfo table: its mount id, its mount point (OS path,
// the table's \ooo escapes decoded) and the line itself.
struct MountTableEntry {
  int id = 0;
  std::string mountPoint;
  std::string line;
};

// The entries of a mountinfo text; malformed lines are skipped.
std::vector<MountTableEntry> ParseMountTable(std::string_view text);

struct MountMonitorOptions {
  // The table to watch; a test may watch another process's table.
  std::string mountInfoPath = "/proc/self/mountinfo";
  // Mount points strictly below one of these folders (CP932) count as
  // removable volumes, besides those of My Computer's rule.
  std::vector<std::string> extraRemovablePrefixes;
};

struct MonitoredVolume {
  std::string mountPoint;                  // CP932, without a trailing '/'
  VolumeKind kind = VolumeKind::Removable;  // Removable or Network
};

struct VolumeChange {
  bool arrived = false;  // else removed
  MonitoredVolume volume;
};

class MountMonitor {
 public:
  // Runs on the monitor's own thread, one change at a time, in table order
  // (removals before arrivals of one comparison). Exceptions are dropped.
  using Handler = std::function<void(const VolumeChange&)>;

  // Reads the table now (a mount made after the constructor returns is an
  // arrival) and starts the thread. Throws EOSError when the table cannot be
  // opened or read, or the thread cannot start.
  MountMonitor(MountMonitorOptions options, Handler handler);
  // Stops and joins the thread: no handler call runs after it returns.
  ~MountMonitor();
  MountMonitor(const MountMonitor&) = delete;
  MountMonitor& operator=(const MountMonitor&) = delete;

  // The reported kind of volumes in the table read last. Any thread.
  std::vector<MonitoredVolume> Volumes() const;

  // The rule on its own: whether an entry is a reported volume, and which.
  static bool Classify(const MountTableEntry& entry, const MountMonitorOptions& options, MonitoredVolume& volume);

 private:
  void Run();
  bool ReadTable(std::vector<MountTableEntry>& table);

  const MountMonitorOptions options_;
  const Handler handler_;
  int fd_ = -1;
  Event stop_;
  mutable std::mutex mu_;
  std::vector<MountTableEntry> table_;  // guarded by mu_
  std::thread thread_;
};

}  // namespace tavo
