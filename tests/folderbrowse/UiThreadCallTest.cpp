#include "platform/ui/UiThreadCall.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::ui {
namespace {

using test::WaitUntil;

class UiThreadCallTest : public ::testing::Test {
 protected:
  void SetUp() override { InitUiThreadCalls(); }
  void TearDown() override { InitUiThreadCalls(); }  // a test may have closed the queue
};

TEST_F(UiThreadCallTest, WorkerCallRunsOnTheUiThreadWhileTheWorkerWaits) {
  const std::thread::id ui = std::this_thread::get_id();
  std::atomic<bool> ranOnUi{false}, answered{false}, result{false};
  std::thread worker([&] {
    result = RunOnUiThread([&] { ranOnUi = std::this_thread::get_id() == ui; });
    answered = true;
  });
  EXPECT_TRUE(WaitUntil("the worker's call to be answered", [&] { return answered.load(); }));
  worker.join();
  EXPECT_TRUE(ranOnUi);
  EXPECT_TRUE(result);
}

TEST_F(UiThreadCallTest, NestedEventLoopServesOtherWorkersCalls) {
  // The first call opens a nested loop, as a modal dialog would; the second
  // worker's call must run inside it, or the first would never end. The
  // nested loop gives up at half the deadline of every wait, so that the
  // outer wait then still serves the second call, and the test fails.
  std::atomic<bool> secondRan{false};
  std::atomic<int> done{0};
  bool servedInTheNestedLoop = false;
  std::thread second;
  std::thread first([&] {
    RunOnUiThread([&] {
      second = std::thread([&] {
        RunOnUiThread([&] { secondRan = true; });
        ++done;
      });
      QEventLoop nested;
      QTimer poll;
      QObject::connect(&poll, &QTimer::timeout, &nested, [&] {
        if (secondRan) nested.quit();
      });
      poll.start(5);
      QTimer::singleShot(test::kWaitDeadline / 2, &nested, &QEventLoop::quit);
      nested.exec();
      servedInTheNestedLoop = secondRan;
    });
    ++done;
  });
  EXPECT_TRUE(WaitUntil("both workers' calls to be answered", [&] { return done.load() == 2; }));
  first.join();
  second.join();
  EXPECT_TRUE(servedInTheNestedLoop);
}

TEST_F(UiThreadCallTest, ExceptionOfTheCallIsRethrownInTheWorker) {
  std::atomic<bool> caught{false}, answered{false};
  std::thread worker([&] {
    try {
      RunOnUiThread([] { throw std::runtime_error("from the UI thread"); });
    } catch (const std::runtime_error& e) {
      caught = std::string(e.what()) == "from the UI thread";
    }
    answered = true;
  });
  EXPECT_TRUE(WaitUntil("the worker's call to be answered", [&] { return answered.load(); }));
  worker.join();
  EXPECT_TRUE(caught);
}

TEST_F(UiThreadCallTest, ClosingAbandonsWaitingCallersAndRefusesNewOnes) {
  std::atomic<bool> ran{false}, answered{false}, result{true};
  std::thread worker([&] {
    result = RunOnUiThread([&] { ran = true; });
    answered = true;
  });
  // Without a pass of the event loop the call stays queued.
  EXPECT_TRUE(
      test::WaitUntilWithoutEvents("the worker's call to be queued", [] { return PendingUiThreadCalls() == 1; }));
  EXPECT_FALSE(answered);
  CloseUiThreadCalls();
  worker.join();
  EXPECT_FALSE(result);
  EXPECT_FALSE(ran);

  std::thread late([&] { result = RunOnUiThread([&] { ran = true; }); });
  late.join();
  EXPECT_FALSE(result);
  test::PumpFor(20);  // negative check: the abandoned call's announcement finds nothing to run
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace tavo::ui
