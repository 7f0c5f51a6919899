#include "tests/folderbrowse/WatchTestSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/notify/Thread.h"

namespace tavo::test {

void MakeDir(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path; }

void MakeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

void RemoveAll(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

bool AllThreadsEnded(int timeoutMs) {
  return PumpUntil([] { return ui::TThread::LiveCount() == 0; }, timeoutMs);
}

}  // namespace tavo::test
