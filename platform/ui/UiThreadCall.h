// Calls from worker threads onto the user-interface thread, waiting until
// they have run (the synchronised call of worker threads).
//
// A call is queued and announced to the application object by a queued
// invocation, so every pass of the UI thread's event loop runs it: exec(),
// modal dialogs' nested loops, processEvents(). The caller sleeps until it
// has run. On the UI thread itself a call runs at once.
//
// Shutdown: when the application object is destroyed the queue is served
// one last time while stopped threads end (see Thread.h) and is then
// closed: calls still queued are abandoned and later calls are refused, so a
// worker never waits for a UI thread that has stopped listening.
#pragma once

#include <chrono>
#include <functional>

namespace tavo::ui {

// Opens the queue for the running application. Must be called on the UI
// thread while the QCoreApplication exists (TThread does so when created);
// further calls do nothing. Reopens a queue that CloseUiThreadCalls closed.
void InitUiThreadCalls();

// True on the thread of the application object.
bool IsUiThread();

// Runs `fn` on the UI thread and waits until it has run. True when it ran;
// false when the queue is not open (never opened, or closed), in which case
// `fn` does not run. An exception from `fn` is rethrown here, in the
// calling thread.
bool RunOnUiThread(const std::function<void()>& fn);

// UI thread: runs the calls queued now (and those they queue); the number
// run.
int ServeUiThreadCalls();

// The calls queued and not yet run. Any thread.
int PendingUiThreadCalls();

// UI thread: waits until `done()` holds or `timeout` has passed, running the
// calls that come meanwhile (no other event is processed). `done` is asked
// again after each call and each NotifyUiThreadWaiters. True when it held.
bool WaitServingUiThreadCalls(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Any thread: wakes WaitServingUiThreadCalls to ask `done` again.
void NotifyUiThreadWaiters();

// Adds a step that runs on the UI thread when the application object is
// destroyed, before the queue closes; steps run in the order added and stay
// registered for later application objects. UI thread.
void AtUiShutdown(std::function<void()> step);

// Abandons the queued calls (their callers get false) and refuses new ones
// until InitUiThreadCalls. UI thread.
void CloseUiThreadCalls();

}  // namespace tavo::ui
