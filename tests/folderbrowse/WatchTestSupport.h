// Helpers of the watcher tests: scratch folders, and running the UI thread's
// event loop (which serves the watchers' reports) until something happened.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "tests/support/TempDir.h"

namespace tavo::test {

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
