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
#include <thread>

#include "folderbrowse/ZuShellNotify.h"
#include "platform/notify/Thread.h"
#include "platform/notify/UiThreadCall.h"
#include "platform/ui/Application.h"
#include "tests/folderbrowse/WatchTestSupport.h"

extern char** environ;

// Exit codes of the scenario.
enum : int { kClean = 0, kNoPendingReport = 10, kReported = 11, kThreadsLeft = 12, kSlowEnd = 13 };

int RunShutdownScenario(int argc, char** argv) {
  using namespace std::chrono;
  const std::string dir = argv[2];
  int reports = 0;
  steady_clock::time_point ending;
  {
    int appArgc = 1;
    tavo::ui::TApplication app(appArgc, argv);
    (void)argc;
    auto* watcher = new tavo::TShFilesWatcher(
        dir, tavo::FILE_NOTIFY_CHANGE_FILE_NAME, [&](tavo::TShFilesWatcher*, const std::string&) { ++reports; },
        {20});
    // Make files until a report waits (the event loop never runs).
    for (int i = 0; tavo::ui::PendingUiThreadCalls() == 0; ++i) {
      if (i == 100) return kNoPendingReport;
      tavo::test::MakeFile(dir + "/f" + std::to_string(i));
      std::this_thread::sleep_for(milliseconds(30));
    }
    watcher->Stop();
    ending = steady_clock::now();
  }
  if (duration_cast<milliseconds>(steady_clock::now() - ending).count() > 2000) return kSlowEnd;
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
  const auto start = test::Clock::now();
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (test::MsSince(start) > 20000) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      FAIL() << "the program hung at its end";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), kClean);
}

}  // namespace
}  // namespace tavo
