// Starting a program and hearing, later, how it ended: for a helper such as
// the desktop's opener, which starts at once but may fail a moment after
// (xdg-open exits 3 when it finds nothing to show a page with). The window
// stays live meanwhile: the end is seen by the UI thread's event loop, which
// also reaps the child. Arguments are CP932, as for StartProgram. UI thread
// only.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QObject;

namespace tavo {

// Starts `program` with `args` (no shell) and, once it has ended, calls
// `ended` from the event loop with its exit status (-1 when a signal ended
// it). False, and `ended` never runs, when it could not be started. When
// `context` is destroyed first, `ended` is dropped; the child is still
// reaped unless the application ends before it. Under a StartProgramHook
// that answers true, `ended` gets 0.
bool StartProgramThen(const std::string& program, const std::vector<std::string>& args, QObject* context,
                      std::function<void(int status)> ended);

}  // namespace tavo
