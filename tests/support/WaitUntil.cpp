#include "tests/support/WaitUntil.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

namespace tavo::test {
namespace {

using Clock = std::chrono::steady_clock;

// How long to rest between two looks at the condition: short against
// anything a test waits for, long enough not to spin.
constexpr std::chrono::milliseconds kPollInterval{1};

::testing::AssertionResult Poll(std::string_view what, const std::function<bool()>& done,
                                std::chrono::milliseconds deadline, bool runEvents) {
  const Clock::time_point start = Clock::now();
  for (;;) {
    if (done()) return ::testing::AssertionSuccess();
    if (Clock::now() - start >= deadline)
      return ::testing::AssertionFailure() << "waited " << deadline.count() << " ms for " << what
                                           << ", in vain";
    if (runEvents) QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (done()) return ::testing::AssertionSuccess();
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace

::testing::AssertionResult WaitUntil(std::string_view what, const std::function<bool()>& done,
                                     std::chrono::milliseconds deadline) {
  if (QCoreApplication::instance() == nullptr)
    return ::testing::AssertionFailure() << "cannot wait for " << what << ": no application object runs events";
  return Poll(what, done, deadline, true);
}

::testing::AssertionResult WaitUntilWithoutEvents(std::string_view what, const std::function<bool()>& done,
                                                  std::chrono::milliseconds deadline) {
  return Poll(what, done, deadline, false);
}

void PumpFor(int ms) {
  (void)Poll("nothing", [] { return false; }, std::chrono::milliseconds(ms), QCoreApplication::instance() != nullptr);
}

}  // namespace tavo::test
