#include "platform/ui/Thread.h"

#include <system_error>
#include <thread>

#include "platform/system/OSError.h"
#include "platform/ui/Application.h"
#include "platform/ui/UiThreadCall.h"

namespace tavo::ui {
namespace {

std::atomic<int> g_live{0};
bool g_shutdownStepAdded = false;  // UI thread only

}  // namespace

TThread::TThread() {
  InitUiThreadCalls();
  if (!g_shutdownStepAdded) {
    g_shutdownStepAdded = true;
    AtUiShutdown([] { WaitForAll(std::chrono::milliseconds(kShutdownWaitMs)); });
  }
}

TThread::~TThread() = default;

int TThread::LiveCount() { return g_live.load(); }

bool TThread::WaitForAll(std::chrono::milliseconds timeout) {
  return WaitServingUiThreadCalls([] { return g_live.load() == 0; }, timeout);
}

void TThread::Start() {
  g_live.fetch_add(1);
  try {
    std::thread(&TThread::Run, this).detach();
  } catch (const std::system_error& e) {
    g_live.fetch_sub(1);
    throw EOSError(e.code().value());
  }
}

void TThread::DoTerminate() {
  if (onTerminate_) onTerminate_(this);
}

bool TThread::Synchronize(const std::function<void()>& fn) { return RunOnUiThread(fn); }

void TThread::Run(TThread* self) {
  try {
    self->Execute();
  } catch (...) {
    // A body that lets an exception escape has nobody to tell.
  }
  try {
    Synchronize([self] {
      try {
        self->DoTerminate();
      } catch (const std::exception& e) {
        HandleException(e);
      } catch (...) {
        HandleUnknownException();
      }
    });
  } catch (...) {
    // The error box itself failed; the thread still ends.
  }
  delete self;
  g_live.fetch_sub(1);
  NotifyUiThreadWaiters();
}

}  // namespace tavo::ui
