// Worker threads that run one body, then notify the UI thread and free
// themselves.
//
// A TThread is created on the UI thread, running (the most derived
// constructor calls Start last). When Execute returns, DoTerminate runs on
// the UI thread through a synchronised call (by default it calls the
// OnTerminate handler), and then the object deletes itself on its own
// thread. Owners never delete a TThread; they forget it in OnTerminate, or
// clear OnTerminate before they go and then just ask it to end.
//
// When the application object is destroyed, the UI thread waits up to
// kShutdownWaitMs for the threads still alive, serving their synchronised
// calls meanwhile, so that threads that were told to end can finish and
// free themselves; after that the synchronised calls are refused (see
// UiThreadCall.h) and a thread still running frees itself without notice.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <utility>

namespace tavo::ui {

class TThread {
 public:
  using TerminateEvent = std::function<void(TThread* sender)>;
  static constexpr int kShutdownWaitMs = 3000;

  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // UI thread. Called on the UI thread after Execute has returned, just
  // before the object frees itself.
  void SetOnTerminate(TerminateEvent handler) { onTerminate_ = std::move(handler); }

  // Any thread: asks Execute to end (it looks at Terminated()).
  void Terminate() { terminated_.store(true); }
  bool Terminated() const { return terminated_.load(); }

  // Threads started and not yet freed. Any thread.
  static int LiveCount();

  // UI thread: waits up to `timeout` until every thread has freed itself,
  // serving synchronised calls meanwhile. True when none is left.
  static bool WaitForAll(std::chrono::milliseconds timeout);

 protected:
  TThread();  // UI thread
  virtual ~TThread();

  // Starts the thread; throws EOSError when the system refuses one.
  void Start();

  // The body, on the thread. Exceptions that escape it are dropped.
  virtual void Execute() = 0;

  // On the UI thread after Execute; calls the OnTerminate handler. An
  // exception is shown by the application's error handler.
  virtual void DoTerminate();

  // Runs `fn` on the UI thread while this thread waits (UiThreadCall.h).
  // False when the UI thread no longer serves calls and `fn` did not run;
  // an exception from `fn` is rethrown here.
  static bool Synchronize(const std::function<void()>& fn);

 private:
  static void Run(TThread* self);

  std::atomic<bool> terminated_{false};
  TerminateEvent onTerminate_;  // UI thread only
};

}  // namespace tavo::ui
