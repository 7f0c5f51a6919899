#include "platform/shell/MountMonitor.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <set>
#include <system_error>

#include "platform/system/OSError.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

// mountinfo writes blank, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool ParseLine(std::string_view line, MountTableEntry& entry) {
  // id parent major:minor root mount-point options [optional...] - type source super-options
  const std::vector<std::string_view> f = Fields(line);
  if (f.size() < 5) return false;
  int id = 0;
  for (const char c : f[0]) {
    if (c < '0' || c > '9' || id > 100000000) return false;
    id = id * 10 + (c - '0');
  }
  entry.id = id;
  entry.mountPoint = Unescape(f[4]);
  entry.line = std::string(line);
  return !entry.mountPoint.empty() && entry.mountPoint[0] == '/';
}

}  // namespace

std::vector<MountTableEntry> ParseMountTable(std::string_view text) {
  std::vector<MountTableEntry> entries;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    MountTableEntry entry;
    if (ParseLine(line, entry)) entries.push_back(std::move(entry));
  }
  return entries;
}

bool MountMonitor::Classify(const MountTableEntry& entry, const MountMonitorOptions& options,
                            MonitoredVolume& volume) {
  const std::optional<std::string> mountPoint = FromOsPath(entry.mountPoint);
  if (!mountPoint) return false;
  // My Computer's own rule, asked about this one line.
  const std::vector<ShellVolume> chosen = ParseMountInfo(entry.line);
  const ShellVolume* shell = VolumeAt(chosen, entry.mountPoint);
  VolumeKind kind = shell != nullptr ? shell->kind : VolumeKind::Fixed;
  if (kind == VolumeKind::Fixed) {
    for (const std::string& prefix : options.extraRemovablePrefixes) {
      std::string p = prefix;
      if (p.empty()) continue;
      if (p.back() != '/') p.push_back('/');
      if (mountPoint->size() > p.size() && mountPoint->compare(0, p.size(), p) == 0) kind = VolumeKind::Removable;
    }
  }
  if (kind == VolumeKind::Fixed) return false;
  volume.mountPoint = *mountPoint;
  volume.kind = kind;
  return true;
}

MountMonitor::MountMonitor(MountMonitorOptions options, Handler handler)
    : options_(std::move(options)), handler_(std::move(handler)), stop_(true, false) {
  fd_ = ::open(options_.mountInfoPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) RaiseLastOSError();
  std::vector<MountTableEntry> table;
  if (!ReadTable(table)) {
    const int code = errno;
    ::close(fd_);
    throw EOSError(code);
  }
  table_ = std::move(table);
  try {
    thread_ = std::thread(&MountMonitor::Run, this);
  } catch (const std::system_error& e) {
    ::close(fd_);
    throw EOSError(e.code().value());
  }
}

MountMonitor::~MountMonitor() {
  stop_.Set();
  thread_.join();
  ::close(fd_);
}

std::vector<MonitoredVolume> MountMonitor::Volumes() const {
  std::lock_guard lock(mu_);
  std::vector<MonitoredVolume> volumes;
  for (const MountTableEntry& entry : table_) {
    MonitoredVolume volume;
    if (Classify(entry, options_, volume)) volumes.push_back(std::move(volume));
  }
  return volumes;
}

bool MountMonitor::ReadTable(std::vector<MountTableEntry>& table) {
  if (::lseek(fd_, 0, SEEK_SET) < 0) return false;
  std::string text;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  table = ParseMountTable(text);
  // Every live table holds at least the root; an empty one means the
  // process whose table this is has gone.
  if (table.empty()) {
    errno = ESRCH;
    return false;
  }
  return true;
}

void MountMonitor::Run() {
  pollfd fds[2] = {{fd_, POLLPRI, 0}, {stop_.PollFd(), POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLNVAL) != 0) return;
    if ((fds[0].revents & (POLLPRI | POLLERR)) == 0) continue;
    std::vector<MountTableEntry> table;
    if (!ReadTable(table)) return;
    std::vector<VolumeChange> changes;
    {
      std::lock_guard lock(mu_);
      std::set<int> before, after;
      for (const MountTableEntry& e : table_) before.insert(e.id);
      for (const MountTableEntry& e : table) after.insert(e.id);
      for (const MountTableEntry& e : table_) {
        VolumeChange change{false, {}};
        if (after.count(e.id) == 0 && Classify(e, options_, change.volume)) changes.push_back(std::move(change));
      }
      for (const MountTableEntry& e : table) {
        VolumeChange change{true, {}};
        if (before.count(e.id) == 0 && Classify(e, options_, change.volume)) changes.push_back(std::move(change));
      }
      table_ = std::move(table);
    }
    for (const VolumeChange& change : changes) {
      if (stop_.IsSet()) return;
      try {
        handler_(change);
      } catch (...) {
        // The handler's own business; the monitor goes on.
      }
    }
  }
}

}  // namespace tavo
