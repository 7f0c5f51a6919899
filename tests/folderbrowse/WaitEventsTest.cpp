#include "platform/notify/WaitEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/WaitUntil.h"

namespace tavo {
namespace {

TEST(WaitEvents, ManualEventStaysSetUntilReset) {
  Event e(true, false);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  e.Set();
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(e.IsSet());
  e.Reset();
  EXPECT_FALSE(e.IsSet());
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST(WaitEvents, AutoEventReleasesOneWaitHoweverOftenSet) {
  Event e(false, true);
  e.Set();
  e.Set();
  EXPECT_TRUE(e.IsSet());  // looking does not take it
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST(WaitEvents, AutoEventSetOnceWakesOneOfTwoWaiters) {
  Event e(false, false);
  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i)
    waiters.emplace_back([&] {
      if (WaitForSingleObject(e, static_cast<int>(test::kWaitDeadline.count())) == WAIT_OBJECT_0) ++woken;
    });
  // Most likely both are waiting by then, the case this test is after;
  // whenever they come, one signal releases exactly one of them, so the
  // outcome does not depend on this pause.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  e.Set();
  EXPECT_TRUE(test::WaitUntilWithoutEvents("a waiter to wake", [&] { return woken.load() >= 1; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // negative check: the other sleeps on
  EXPECT_EQ(woken.load(), 1);
  e.Set();  // and the next signal releases it
  for (std::thread& t : waiters) t.join();
  EXPECT_EQ(woken.load(), 2);
}

TEST(WaitEvents, LowestSignalledIndexAnswersAmongManyHandles) {
  // Far more handles than the 64 a wait once allowed.
  std::vector<std::unique_ptr<Event>> events;
  std::vector<WaitHandle*> handles;
  for (int i = 0; i < 200; ++i) {
    events.push_back(std::make_unique<Event>(false, false));
    handles.push_back(events.back().get());
  }
  events[170]->Set();
  events[30]->Set();
  EXPECT_EQ(WaitForMultipleObjects(handles, 0), WAIT_OBJECT_0 + 30);
  EXPECT_EQ(WaitForMultipleObjects(handles, 0), WAIT_OBJECT_0 + 170);
  EXPECT_EQ(WaitForMultipleObjects(handles, 0), WAIT_TIMEOUT);
}

TEST(WaitEvents, BadHandleSetsFail) {
  EXPECT_EQ(WaitForMultipleObjects({}, 0), WAIT_FAILED);
  EXPECT_EQ(errno, EINVAL);
  Event e(true, true);
  WaitHandle* withNull[] = {&e, nullptr};
  EXPECT_EQ(WaitForMultipleObjects(withNull, 0), WAIT_FAILED);
  EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace tavo
