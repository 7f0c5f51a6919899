// The end of a run while a watcher's report waits for the UI thread: the
// application object goes, the stopped watcher must still end, free itself
// and leave nothing behind (the sanitizer build fails the child on a leak),
// and the program must not hang.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "folderbrowse/ZuShellNotify.h"
#include "platform/ui/Application.h"
#include "platform/ui/Thread.h"
#include "platform/ui/UiThreadCall.h"
#include "tests/folderbrowse/WatchTestSupport.h"

extern char** environ;

// Exit codes of the scenario.
enum : int { kClean = 0, kNoPendingReport = 10, kReported = 11, kThreadsLeft = 12, kSlowEnd = 13 };

int RunShutdownScenario(int argc, char** argv) {
  using namespace std::chrono;
  const std::string dir = argv[2];
  int reports = 0;
  steady_clock::time_point ending, waited;
  int liveAfterTheWait = -1;
  {
    int appArgc = 1;
    tavo::ui::TApplication app(appArgc, argv);
    (void)argc;
    auto* watcher = new tavo::TShFilesWatcher(
        dir, tavo::FILE_NOTIFY_CHANGE_FILE_NAME, [&](tavo::TShFilesWatcher*, const std::string&) { ++reports; },
        {20});
    // The end of the application object first waits for the threads
    // (Thread.h registered that step with the first thread); this step
    // comes next, before the queue of calls closes, and sees how the wait
    // ended: a thread still alive there did not end in time.
    tavo::ui::AtUiShutdown([&] {
      waited = steady_clock::now();
      liveAfterTheWait = tavo::ui::TThread::LiveCount();
    });
    // Once the folder is watched, a file made there gives a report, which
    // comes to wait for the UI thread (the event loop never runs).
    if (!tavo::test::WaitUntilWithoutEvents("the watcher to watch the folder",
                                            [&] { return !tavo::test::InotifyWatchesOf(dir).empty(); }))
      return kNoPendingReport;
    tavo::test::MakeFile(dir + "/f");
    if (!tavo::test::WaitUntilWithoutEvents("the report to wait for the UI thread",
                                            [] { return tavo::ui::PendingUiThreadCalls() > 0; }))
      return kNoPendingReport;
    watcher->Stop();
    ending = steady_clock::now();
  }
  // A thread that does not end holds the end up for the whole shutdown wait
  // and is still alive after it; a shorter wait is the machine's pace.
  if (liveAfterTheWait != 0) return kThreadsLeft;
  if (duration_cast<milliseconds>(waited - ending).count() >= tavo::ui::TThread::kShutdownWaitMs) return kSlowEnd;
  if (reports != 0) return kReported;
  if (tavo::ui::TThread::LiveCount() != 0) return kThreadsLeft;
  return kClean;
}

namespace tavo {
namespace {

TEST(Shutdown, ProgramEndsCleanlyWhileAReportIsPending) {
  test::TempDir dir;
  std::string self(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
  ASSERT_GT(n, 0);
  self.resize(static_cast<size_t>(n));
  std::string flag = "--shutdown-scenario", folder = dir.path();
  char* args[] = {self.data(), flag.data(), folder.data(), nullptr};
  pid_t pid;
  ASSERT_EQ(::posix_spawn(&pid, self.c_str(), nullptr, nullptr, args, environ), 0);
  int status = 0;
  const auto ended =
      test::WaitUntilWithoutEvents("the program to end", [&] { return ::waitpid(pid, &status, WNOHANG) != 0; });
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    FAIL() << ended.message() << ": it hung at its end";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), kClean);
}

}  // namespace
}  // namespace tavo
