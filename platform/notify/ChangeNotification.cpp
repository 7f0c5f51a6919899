#include "platform/notify/ChangeNotification.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text/OsPath.h"

namespace tavo {
namespace detail {

// What one notification watches. Paths are OS (UTF-8) paths without a
// trailing '/' (but "/" itself).
struct WatchSet : std::enable_shared_from_this<WatchSet> {
  WatchSet(std::string rootPath, bool watchSubtree, uint32_t notifyFilter, uint32_t inotifyMask, int signalFd)
      : root(std::move(rootPath)), subtree(watchSubtree), filter(notifyFilter), mask(inotifyMask), eventFd(signalFd) {}
  ~WatchSet() { ::close(eventFd); }
  WatchSet(const WatchSet&) = delete;
  WatchSet& operator=(const WatchSet&) = delete;

  const std::string root;
  const bool subtree;
  const uint32_t filter;
  const uint32_t mask;
  const int eventFd;  // readable while signalled

  // Guarded by the hub's mutex.
  std::unordered_map<int, std::string> dirs;  // watch descriptor -> folder
  int rootWd = -1;
  dev_t device = 0;  // of the watched root; sub-trees stay on it
  ino_t inode = 0;
  bool signalled = false;
  bool closed = false;
  // While the root is gone: the watch on its nearest existing ancestor,
  // which tells when it may be back.
  int ancestorWd = -1;
};

using Walks = std::vector<std::pair<std::shared_ptr<WatchSet>, std::string>>;
using Sets = std::vector<std::shared_ptr<WatchSet>>;

std::string Join(const std::string& dir, const char* name) {
  std::string path = dir == "/" ? std::string() : dir;
  return path.append("/").append(name);
}

bool IsAtOrBelow(const std::string& path, const std::string& dir) {
  return path.size() >= dir.size() && path.compare(0, dir.size(), dir) == 0 &&
         (path.size() == dir.size() || path[dir.size()] == '/');
}

// The inotify events a filter needs; 0 when it selects nothing known.
uint32_t MaskFor(uint32_t filter, bool subtree) {
  uint32_t mask = 0;
  if ((filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)) != 0)
    mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  if ((filter & FILE_NOTIFY_CHANGE_CREATION) != 0) mask |= IN_CREATE;
  if ((filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY)) != 0) mask |= IN_ATTRIB;
  if ((filter & FILE_NOTIFY_CHANGE_SIZE) != 0) mask |= IN_MODIFY;
  if ((filter & FILE_NOTIFY_CHANGE_LAST_WRITE) != 0) mask |= IN_MODIFY | IN_ATTRIB;
  if ((filter & FILE_NOTIFY_CHANGE_LAST_ACCESS) != 0) mask |= IN_ACCESS;
  if (mask == 0) return 0;
  // Sub-trees follow folders that appear, go or move; the folder itself
  // going away always counts.
  if (subtree) mask |= IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO;
  return mask | IN_DELETE_SELF | IN_MOVE_SELF;
}

// Whether one event is a change the filter selects. inotify watches serve
// every notification of the same folder with the union of their masks, so
// this, not the mask, decides.
bool Selects(uint32_t filter, uint32_t mask) {
  if ((mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0) {
    const bool isDir = (mask & IN_ISDIR) != 0;
    if ((filter & (isDir ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME)) != 0) return true;
    if ((mask & IN_CREATE) != 0 && (filter & FILE_NOTIFY_CHANGE_CREATION) != 0) return true;
  }
  if ((mask & IN_ATTRIB) != 0 &&
      (filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY | FILE_NOTIFY_CHANGE_LAST_WRITE)) != 0)
    return true;
  if ((mask & IN_MODIFY) != 0 && (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE)) != 0)
    return true;
  return (mask & IN_ACCESS) != 0 && (filter & FILE_NOTIFY_CHANGE_LAST_ACCESS) != 0;
}

// Adds the sub-folders of `dir` on `device` to `out`, symbolic links and
// mount points left out. True when `dir` holds anything at all.
bool ListSubfolders(const std::string& dir, dev_t device, std::vector<std::string>& out) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* d = ::fdopendir(fd);
  if (d == nullptr) {
    ::close(fd);
    return false;
  }
  bool any = false;
  while (const dirent* e = ::readdir(d)) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    any = true;
    if (e->d_type != DT_DIR && e->d_type != DT_UNKNOWN) continue;
    struct stat st;
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode) && st.st_dev == device) out.push_back(Join(dir, e->d_name));
  }
  ::closedir(d);
  return any;
}

class InotifyHub {
 public:
  // The hub of the process, made when none is alive. Null with `error` set
  // when the system gives no inotify instance or thread.
  static std::shared_ptr<InotifyHub> Get(int& error);
  ~InotifyHub();
  InotifyHub(const InotifyHub&) = delete;
  InotifyHub& operator=(const InotifyHub&) = delete;

  // Watches the set's root and, for a sub-tree set, everything below it.
  // 0 or an errno value.
  int WatchRoot(const std::shared_ptr<WatchSet>& set, const Event* abandon);
  void Renew(WatchSet& set);
  void Close(WatchSet& set);

 private:
  InotifyHub(int inotifyFd, int wakeFd, int mountsFd) : fd_(inotifyFd), wakeFd_(wakeFd), mountsFd_(mountsFd) {}
  void Run();
  // Adds watches from `start` down (just `start` for a set without
  // sub-tree), taking the mutex per folder so that events keep flowing
  // while a large tree is walked. 0 or an errno value for the root.
  int Walk(const std::shared_ptr<WatchSet>& set, const std::string& start, bool isRoot, const Event* abandon);
  // A set whose root went away, or may have been mounted over: watches the
  // root again when it is there (and signals, since its contents are new),
  // else the nearest ancestor that is, to learn when it comes back.
  void Rearm(const std::shared_ptr<WatchSet>& set);
  void MountsChanged();

  // The rest runs under mu_.
  void Dispatch(const inotify_event& ev, Walks& walks, Sets& rearms);
  void Signal(WatchSet& set);
  void Unsubscribe(WatchSet& set, int wd);
  void ForgetAtOrBelow(WatchSet& set, const std::string& dir);
  // Lets go of every watch of the set.
  void Detach(WatchSet& set);

  const int fd_;
  const int wakeFd_;
  const int mountsFd_;  // the mount table, polled for changes; -1 without
  std::mutex mu_;
  std::unordered_map<int, std::vector<WatchSet*>> watchers_;  // watch descriptor -> sets using it
  std::vector<std::weak_ptr<WatchSet>> sets_;                 // every open set
  std::thread reader_;
};

std::shared_ptr<InotifyHub> InotifyHub::Get(int& error) {
  // Never destroyed: a notification may still be closed while the process
  // runs its exit handlers.
  static auto* mu = new std::mutex;
  static auto* current = new std::weak_ptr<InotifyHub>;
  std::lock_guard lock(*mu);
  if (auto hub = current->lock()) return hub;
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  // Volumes mounted over a watched folder, or again after they went, are
  // seen in the mount table, which signals POLLPRI when it changes.
  const int mounts = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  std::shared_ptr<InotifyHub> hub(new InotifyHub(fd, wake, mounts));
  try {
    hub->reader_ = std::thread(&InotifyHub::Run, hub.get());
  } catch (const std::system_error&) {
    error = EAGAIN;
    return nullptr;
  }
  *current = hub;
  return hub;
}

InotifyHub::~InotifyHub() {
  if (reader_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    reader_.join();
  }
  ::close(wakeFd_);
  ::close(fd_);
  if (mountsFd_ >= 0) ::close(mountsFd_);
}

void InotifyHub::Run() {
  alignas(inotify_event) char buffer[16 * 1024];
  pollfd fds[3] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}, {mountsFd_, POLLPRI, 0}};
  for (;;) {
    if (::poll(fds, mountsFd_ >= 0 ? 3 : 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if (mountsFd_ >= 0 && (fds[2].revents & (POLLPRI | POLLERR)) != 0) MountsChanged();
    if ((fds[0].revents & POLLIN) == 0) continue;
    const ssize_t length = ::read(fd_, buffer, sizeof buffer);
    if (length < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return;
    }
    Walks walks;
    Sets rearms;
    {
      std::lock_guard lock(mu_);
      for (ssize_t at = 0; at < length;) {
        const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
        Dispatch(*ev, walks, rearms);
        at += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
      }
    }
    for (const auto& [set, dir] : walks) Walk(set, dir, false, nullptr);
    for (const auto& set : rearms) Rearm(set);
  }
}

int InotifyHub::WatchRoot(const std::shared_ptr<WatchSet>& set, const Event* abandon) {
  {
    std::lock_guard lock(mu_);
    sets_.push_back(set);
  }
  return Walk(set, set->root, true, abandon);
}

void InotifyHub::Rearm(const std::shared_ptr<WatchSet>& set) {
  struct stat st;
  if (::stat(set->root.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    {
      std::lock_guard lock(mu_);
      if (set->closed) return;
      Detach(*set);
    }
    if (Walk(set, set->root, true, nullptr) == 0) {
      std::lock_guard lock(mu_);
      if (!set->closed) Signal(*set);
      return;
    }
  }
  // Not there (or not readable): wait on the nearest ancestor that is.
  std::string ancestor = set->root;
  for (;;) {
    const size_t slash = ancestor.rfind('/');
    ancestor = slash == 0 || slash == std::string::npos ? std::string("/") : ancestor.substr(0, slash);
    std::lock_guard lock(mu_);
    if (set->closed || set->rootWd >= 0 || set->ancestorWd >= 0) return;
    const int wd = ::inotify_add_watch(fd_, ancestor.c_str(),
                                       IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD);
    if (wd >= 0) {
      set->ancestorWd = wd;
      set->dirs.try_emplace(wd, ancestor);
      watchers_[wd].push_back(set.get());
      break;
    }
    if (ancestor == "/") return;
  }
  // The root may have come back between the look and the watch.
  if (::stat(set->root.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Rearm(set);
}

void InotifyHub::MountsChanged() {
  Sets check;
  {
    std::lock_guard lock(mu_);
    for (const std::weak_ptr<WatchSet>& weak : sets_)
      if (auto set = weak.lock(); set && !set->closed) check.push_back(std::move(set));
  }
  for (const auto& set : check) {
    struct stat st;
    const bool there = ::stat(set->root.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    bool same;
    {
      std::lock_guard lock(mu_);
      same = set->rootWd >= 0 && there && st.st_dev == set->device && st.st_ino == set->inode;
    }
    if (!same) Rearm(set);
  }
}

int InotifyHub::Walk(const std::shared_ptr<WatchSet>& set, const std::string& start, bool isRoot,
                     const Event* abandon) {
  std::vector<std::string> pending{start};
  bool first = true;
  bool foundEntries = false;
  while (!pending.empty()) {
    if (abandon != nullptr && abandon->IsSet()) return isRoot ? ECANCELED : 0;
    const std::string dir = std::move(pending.back());
    pending.pop_back();
    const bool atRoot = isRoot && first;
    first = false;
    {
      std::lock_guard lock(mu_);
      if (set->closed) return 0;
      const uint32_t how = IN_MASK_ADD | IN_ONLYDIR | (atRoot ? 0 : IN_DONT_FOLLOW);
      const int wd = ::inotify_add_watch(fd_, dir.c_str(), set->mask | how);
      if (wd < 0) {
        if (atRoot) return errno;
        // The system's watches are used up: what is watched stays watched.
        if (errno == ENOSPC) break;
        continue;  // gone meanwhile, or not readable
      }
      // A folder reached twice (through a bind mount) is walked once.
      if (!set->dirs.try_emplace(wd, dir).second) continue;
      watchers_[wd].push_back(set.get());
      if (atRoot) {
        set->rootWd = wd;
        struct stat st;
        if (::stat(dir.c_str(), &st) == 0) {
          set->device = st.st_dev;
          set->inode = st.st_ino;
        }
      }
    }
    if (!set->subtree) break;
    foundEntries |= ListSubfolders(dir, set->device, pending);
  }
  // A folder that appeared with something in it already: what was made in
  // it before its watch existed went unseen, so count it as a change.
  if (!isRoot && foundEntries &&
      (set->filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_CREATION)) != 0) {
    std::lock_guard lock(mu_);
    if (!set->closed) Signal(*set);
  }
  return 0;
}

void InotifyHub::Dispatch(const inotify_event& ev, Walks& walks, Sets& rearms) {
  if ((ev.mask & IN_Q_OVERFLOW) != 0) {
    // Events were lost: every notification may have missed a change.
    for (auto& [wd, sets] : watchers_)
      for (WatchSet* set : sets) Signal(*set);
    return;
  }
  const auto found = watchers_.find(ev.wd);
  if (found == watchers_.end()) return;
  const std::vector<WatchSet*> sets = found->second;  // handling may change the map
  const bool watchGone = (ev.mask & IN_IGNORED) != 0;
  for (WatchSet* set : sets) {
    const auto dir = set->dirs.find(ev.wd);
    if (dir == set->dirs.end()) continue;
    if (ev.wd == set->ancestorWd) {
      // Something came (or the ancestor went): look for the root again.
      if ((ev.mask & (IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) == 0) continue;
      Detach(*set);
      rearms.push_back(set->shared_from_this());
      continue;
    }
    if (ev.wd == set->rootWd && (ev.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) != 0) {
      // The watched folder itself went away: a signal, and the set waits
      // for it to come back.
      Signal(*set);
      Detach(*set);
      rearms.push_back(set->shared_from_this());
      continue;
    }
    if (watchGone) {
      set->dirs.erase(dir);
      continue;
    }
    if (ev.len == 0) continue;  // about a sub-folder itself; its parent reports it
    if (set->subtree && (ev.mask & IN_ISDIR) != 0) {
      std::string child = Join(dir->second, ev.name);
      if ((ev.mask & IN_MOVED_FROM) != 0) ForgetAtOrBelow(*set, child);
      if ((ev.mask & (IN_CREATE | IN_MOVED_TO)) != 0) walks.emplace_back(set->shared_from_this(), std::move(child));
    }
    if (Selects(set->filter, ev.mask)) Signal(*set);
  }
  if (watchGone) watchers_.erase(ev.wd);
}

void InotifyHub::Signal(WatchSet& set) {
  if (set.signalled) return;
  set.signalled = true;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(set.eventFd, &one, sizeof one);
}

void InotifyHub::Renew(WatchSet& set) {
  std::lock_guard lock(mu_);
  set.signalled = false;
  uint64_t value;
  [[maybe_unused]] const ssize_t n = ::read(set.eventFd, &value, sizeof value);
}

void InotifyHub::Close(WatchSet& set) {
  std::lock_guard lock(mu_);
  Detach(set);
  set.closed = true;
  std::erase_if(sets_, [&](const std::weak_ptr<WatchSet>& w) {
    auto s = w.lock();
    return !s || s.get() == &set;
  });
}

void InotifyHub::Unsubscribe(WatchSet& set, int wd) {
  const auto it = watchers_.find(wd);
  if (it == watchers_.end()) return;
  std::erase(it->second, &set);
  if (it->second.empty()) {
    ::inotify_rm_watch(fd_, wd);
    watchers_.erase(it);
  }
}

void InotifyHub::ForgetAtOrBelow(WatchSet& set, const std::string& dir) {
  std::vector<int> gone;
  for (const auto& [wd, path] : set.dirs)
    if (IsAtOrBelow(path, dir)) gone.push_back(wd);
  for (const int wd : gone) {
    Unsubscribe(set, wd);
    set.dirs.erase(wd);
  }
}

void InotifyHub::Detach(WatchSet& set) {
  for (const auto& [wd, path] : set.dirs) Unsubscribe(set, wd);
  set.dirs.clear();
  set.rootWd = -1;
  set.ancestorWd = -1;
}

}  // namespace detail

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

ChangeNotification::ChangeNotification(std::string path, std::shared_ptr<detail::InotifyHub> hub,
                                       std::shared_ptr<detail::WatchSet> set)
    : path_(std::move(path)), hub_(std::move(hub)), set_(std::move(set)) {}

ChangeNotification::~ChangeNotification() { hub_->Close(*set_); }

int ChangeNotification::PollFd() const { return set_->eventFd; }

std::unique_ptr<ChangeNotification> FindFirstChangeNotification(std::string_view path, bool watchSubtree,
                                                                uint32_t filter, const Event* abandonWhenSet) {
  const uint32_t mask = detail::MaskFor(filter, watchSubtree);
  if (mask == 0) {
    errno = EINVAL;
    return nullptr;
  }
  const std::optional<std::string> os = ToOsPath(path);
  if (!os) {
    errno = ENOENT;
    return nullptr;
  }
  std::string root = WithoutTrailingSlashes(*os);
  struct stat st;
  if (::stat(root.c_str(), &st) != 0) return nullptr;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return nullptr;
  }
  int error = 0;
  std::shared_ptr<detail::InotifyHub> hub = detail::InotifyHub::Get(error);
  if (!hub) {
    errno = error;
    return nullptr;
  }
  const int signalFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (signalFd < 0) return nullptr;
  auto set = std::make_shared<detail::WatchSet>(std::move(root), watchSubtree, filter, mask, signalFd);
  if (const int failed = hub->WatchRoot(set, abandonWhenSet); failed != 0) {
    hub->Close(*set);
    errno = failed;
    return nullptr;
  }
  return std::unique_ptr<ChangeNotification>(
      new ChangeNotification(std::string(path), std::move(hub), std::move(set)));
}

bool FindNextChangeNotification(ChangeNotification& notification) {
  notification.hub_->Renew(*notification.set_);
  return true;
}

bool FindCloseChangeNotification(std::unique_ptr<ChangeNotification> notification) {
  if (!notification) {
    errno = EBADF;
    return false;
  }
  notification.reset();
  return true;
}

}  // namespace tavo
