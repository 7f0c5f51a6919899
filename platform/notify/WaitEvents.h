// Waitable handles and the wait over any number of them.
//
// A handle is signalled or not; WaitForMultipleObjects sleeps in poll() until
// one of the given handles is signalled or the time is up, and answers the
// lowest index among the signalled ones. Events are eventfd descriptors:
// a manual-reset event stays signalled until Reset; an auto-reset event is
// taken by the one wait that answers it, so each Set releases one wait.
// Set, Reset and IsSet may be called from any thread; a handle must outlive
// every wait that uses it.
#pragma once

#include <cstdint>
#include <span>

namespace tavo {

class WaitHandle {
 public:
  virtual ~WaitHandle() = default;
  // The descriptor that polls readable while the handle may be signalled.
  virtual int PollFd() const = 0;
  // Called by a wait when PollFd() polled readable: true when the handle is
  // signalled for this waiter. An auto-reset handle takes its signal here, so
  // another waiter may have taken it first.
  virtual bool Acquire() = 0;
};

class Event final : public WaitHandle {
 public:
  // Throws EOSError when no descriptor can be had.
  Event(bool manualReset, bool initiallySet);
  ~Event() override;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // Looks without taking the signal.
  bool IsSet() const;

  int PollFd() const override { return fd_; }
  bool Acquire() override;

 private:
  int fd_;
  bool manualReset_;
};

constexpr int INFINITE = -1;
constexpr uint32_t WAIT_OBJECT_0 = 0;
constexpr uint32_t WAIT_TIMEOUT = 0x102;
constexpr uint32_t WAIT_FAILED = 0xFFFFFFFF;

// Waits up to `timeoutMs` milliseconds (INFINITE: without limit) until one
// of `handles` is signalled. Answers WAIT_OBJECT_0 + the lowest signalled
// index, WAIT_TIMEOUT, or WAIT_FAILED with errno set: EINVAL for an empty
// set, EBADF for a null or closed handle, else poll's own error. There is no
// limit on the number of handles but the process's descriptor limit.
uint32_t WaitForMultipleObjects(std::span<WaitHandle* const> handles, int timeoutMs);

inline uint32_t WaitForSingleObject(WaitHandle& handle, int timeoutMs) {
  WaitHandle* one = &handle;
  return WaitForMultipleObjects(std::span<WaitHandle* const>(&one, 1), timeoutMs);
}

}  // namespace tavo
