#include "platform/notify/WaitEvents.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "platform/system/OSError.h"

namespace tavo {

Event::Event(bool manualReset, bool initiallySet)
    : fd_(::eventfd(initiallySet ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK)), manualReset_(manualReset) {
  if (fd_ < 0) RaiseLastOSError();
}

Event::~Event() { ::close(fd_); }

void Event::Set() {
  const uint64_t one = 1;
  // The counter only ever grows by one per Set and is emptied by a taking
  // read; it cannot come near its limit, so a failed write cannot happen.
  [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
}

void Event::Reset() {
  uint64_t value;
  [[maybe_unused]] const ssize_t n = ::read(fd_, &value, sizeof value);
}

bool Event::IsSet() const {
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

bool Event::Acquire() {
  if (manualReset_) return true;
  // A read empties the counter: however often it was Set, one wait is
  // released. EAGAIN means another waiter took it first.
  uint64_t value;
  return ::read(fd_, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

uint32_t WaitForMultipleObjects(std::span<WaitHandle* const> handles, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  if (handles.empty()) {
    errno = EINVAL;
    return WAIT_FAILED;
  }
  std::vector<pollfd> fds(handles.size());
  for (size_t i = 0; i < handles.size(); ++i) {
    if (handles[i] == nullptr || handles[i]->PollFd() < 0) {
      errno = EBADF;
      return WAIT_FAILED;
    }
    fds[i] = pollfd{handles[i]->PollFd(), POLLIN, 0};
  }
  const Clock::time_point deadline =
      timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int remaining = -1;
    if (timeoutMs >= 0) {
      const auto left = deadline - Clock::now();
      // Round up, so that a wait never ends before its time.
      remaining = left <= Clock::duration::zero()
                      ? 0
                      : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    }
    const int n = ::poll(fds.data(), fds.size(), remaining);
    if (n < 0) {
      if (errno == EINTR) continue;
      return WAIT_FAILED;
    }
    if (n == 0) return WAIT_TIMEOUT;
    for (size_t i = 0; i < fds.size(); ++i) {
      const short revents = fds[i].revents;
      if ((revents & POLLNVAL) != 0) {
        errno = EBADF;
        return WAIT_FAILED;
      }
      if ((revents & (POLLIN | POLLERR | POLLHUP)) != 0 && handles[i]->Acquire())
        return WAIT_OBJECT_0 + static_cast<uint32_t>(i);
    }
    // Every ready handle was taken by another waiter: wait on.
  }
}

}  // namespace tavo
