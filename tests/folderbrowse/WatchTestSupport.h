// Helpers of the watcher tests: scratch folders, and running the UI thread's
// event loop (which serves the watchers' reports) until something happened.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace tavo::test {

// A fresh folder under $TMPDIR, removed with its contents at the end. Its
// path is ASCII, so the same bytes in CP932 and on disk.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

void MakeDir(const std::string& path);
void MakeFile(const std::string& path, std::string_view bytes = "");
void RemoveAll(const std::string& path);

// Runs the event loop until `done()` holds or `timeoutMs` passed; true when
// it held.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);
// Runs the event loop for `ms`.
void PumpFor(int ms);

// Pumps until every watcher thread has freed itself.
bool AllThreadsEnded(int timeoutMs = 3000);

using Clock = std::chrono::steady_clock;
inline long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

}  // namespace tavo::test
