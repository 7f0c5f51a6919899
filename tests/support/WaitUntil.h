// Waiting in tests: for a condition, never for a fixed time.
//
// A test that needs something to have happened (a dialog shown, a watcher's
// report arrived, a fill ended, a worker's call queued) waits until a
// condition says so, with a deadline far beyond what the condition normally
// takes, so that a loaded machine or the sanitizer build still passes:
//
//   ASSERT_TRUE(WaitUntil("the create question", [&] { return ...; }));
//
// On time-out the failure names what was awaited and how long.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string_view>

namespace tavo::test {

// How long a wait may take before the test fails.
inline constexpr std::chrono::milliseconds kWaitDeadline{30000};

// Runs the Qt event loop of this thread (posted events, timers, the
// synchronised calls of worker threads, window-system events) until `done()`
// holds or `deadline` has passed. `done` is asked first, and then after each
// pass. Needs a QCoreApplication; use it on the thread that owns it.
::testing::AssertionResult WaitUntil(std::string_view what, const std::function<bool()>& done,
                                     std::chrono::milliseconds deadline = kWaitDeadline);

// The same without running the event loop: for a condition that another
// thread brings about while this one must not serve anything (a worker's
// call that is to stay queued, a child process that ends).
::testing::AssertionResult WaitUntilWithoutEvents(std::string_view what, const std::function<bool()>& done,
                                                  std::chrono::milliseconds deadline = kWaitDeadline);

// Runs the event loop for `ms` milliseconds, whatever happens. Only for
// negative checks, to give something that must not happen (a second
// report, a report while paused) the chance to happen anyway, and for the
// pace of a timed scenario whose timing the test measures and checks
// itself (changes made within one quiet period of a watcher); never to let
// something happen that the test then relies on: wait for that with
// WaitUntil.
void PumpFor(int ms);

}  // namespace tavo::test
