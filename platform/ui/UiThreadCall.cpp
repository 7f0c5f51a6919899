#include "platform/ui/UiThreadCall.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tavo::ui {
namespace {

struct Call {
  enum State { Queued, Running, Done, Abandoned };
  const std::function<void()>* fn = nullptr;
  State state = Queued;
  std::exception_ptr error;
};

struct Queue {
  std::mutex mu;
  std::condition_variable callerCv;  // callers wait here for their call
  std::condition_variable uiCv;      // WaitServingUiThreadCalls waits here
  std::deque<std::shared_ptr<Call>> queued;
  QCoreApplication* app = nullptr;  // while open
  std::thread::id uiThread;
  bool open = false;
  bool hooked = false;  // the shutdown routine is registered with the application
  uint64_t wakeups = 0;
  std::vector<std::function<void()>> shutdownSteps;  // UI thread only
};

Queue& Q() {
  // Never destroyed: worker threads may still ask it during exit.
  static Queue* queue = new Queue;
  return *queue;
}

void RunQueued(const std::shared_ptr<Call>& call) {
  Queue& q = Q();
  {
    std::lock_guard lock(q.mu);
    if (call->state != Call::Queued) return;  // run already, or abandoned
    call->state = Call::Running;
    std::erase(q.queued, call);
  }
  try {
    (*call->fn)();
  } catch (...) {
    call->error = std::current_exception();
  }
  {
    std::lock_guard lock(q.mu);
    call->state = Call::Done;
  }
  q.callerCv.notify_all();
}

void OnApplicationDestroyed() {
  Queue& q = Q();
  // Steps may add steps; index, not iterators.
  for (size_t i = 0; i < q.shutdownSteps.size(); ++i) {
    try {
      q.shutdownSteps[i]();
    } catch (...) {
      // Nothing can be shown any more; the application is going.
    }
  }
  {
    std::lock_guard lock(q.mu);
    q.hooked = false;  // Qt forgets its routines with the application object
  }
  CloseUiThreadCalls();
}

}  // namespace

void InitUiThreadCalls() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() != app->thread()) return;
  Queue& q = Q();
  bool hook = false;
  {
    std::lock_guard lock(q.mu);
    q.uiThread = std::this_thread::get_id();
    if (!q.open) {
      q.open = true;
      q.app = app;
    }
    hook = !q.hooked;
    q.hooked = true;
  }
  if (hook) qAddPostRoutine(&OnApplicationDestroyed);
}

bool IsUiThread() {
  Queue& q = Q();
  std::lock_guard lock(q.mu);
  return q.uiThread == std::this_thread::get_id();
}

bool RunOnUiThread(const std::function<void()>& fn) {
  Queue& q = Q();
  std::shared_ptr<Call> call;
  {
    std::lock_guard lock(q.mu);
    if (q.uiThread != std::this_thread::get_id()) {
      if (!q.open) return false;
      call = std::make_shared<Call>();
      call->fn = &fn;
      q.queued.push_back(call);
      ++q.wakeups;
      QMetaObject::invokeMethod(q.app, [call] { RunQueued(call); }, Qt::QueuedConnection);
      q.uiCv.notify_all();
    }
  }
  if (!call) {
    fn();
    return true;
  }
  {
    std::unique_lock lock(q.mu);
    q.callerCv.wait(lock, [&] { return call->state == Call::Done || call->state == Call::Abandoned; });
  }
  // The exception leaves the call record here, so that this thread alone
  // holds it: the record itself may be freed later on the UI thread.
  if (std::exception_ptr error = std::move(call->error)) std::rethrow_exception(error);
  return call->state == Call::Done;
}

int ServeUiThreadCalls() {
  Queue& q = Q();
  int served = 0;
  for (;;) {
    std::shared_ptr<Call> call;
    {
      std::lock_guard lock(q.mu);
      if (q.queued.empty()) break;
      call = q.queued.front();
    }
    RunQueued(call);
    ++served;
  }
  return served;
}

int PendingUiThreadCalls() {
  Queue& q = Q();
  std::lock_guard lock(q.mu);
  return static_cast<int>(q.queued.size());
}

bool WaitServingUiThreadCalls(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  Queue& q = Q();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    uint64_t seen;
    {
      std::lock_guard lock(q.mu);
      seen = q.wakeups;
    }
    ServeUiThreadCalls();
    if (done()) return true;
    std::unique_lock lock(q.mu);
    if (!q.uiCv.wait_until(lock, deadline, [&] { return q.wakeups != seen; })) {
      lock.unlock();
      ServeUiThreadCalls();
      return done();
    }
  }
}

void NotifyUiThreadWaiters() {
  Queue& q = Q();
  {
    std::lock_guard lock(q.mu);
    ++q.wakeups;
  }
  q.uiCv.notify_all();
}

void AtUiShutdown(std::function<void()> step) { Q().shutdownSteps.push_back(std::move(step)); }

void CloseUiThreadCalls() {
  Queue& q = Q();
  {
    std::lock_guard lock(q.mu);
    q.open = false;
    q.app = nullptr;
    for (const std::shared_ptr<Call>& call : q.queued) call->state = Call::Abandoned;
    q.queued.clear();
  }
  q.callerCv.notify_all();
}

}  // namespace tavo::ui
