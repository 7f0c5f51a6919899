// Publishing a program's top-level windows on the session bus, so that other
// programs find them, read their class and caption, raise them and post them
// messages (SessionBus.h has the names and the interface; TopWindows.h is the
// other side).
//
// After PublishTopLevelWindows every top-level window (Qt::Window and
// Qt::Dialog, not menus or tool tips) stands on the bus while it is shown,
// with its caption kept up to date. A message posted to it over the bus
// reaches the widget as a ui::WindowMessageEvent on the UI thread, as one
// that ui::PostMessage queued; a raise shows, raises and activates it. The
// bus side runs in a thread of its own. Without a session bus nothing is
// published and the program runs as before. UI thread only.
#pragma once

#include <string>

class QWidget;

namespace tavo::windows {

// Starts publishing; once per process, after the QApplication exists, which
// it lasts as long as.
void PublishTopLevelWindows();

// The class name the window is published under; by default its C++ class's
// name without namespaces ("TMainForm"). Set before the window is shown.
void SetWindowClassName(QWidget* window, const std::string& className);

}  // namespace tavo::windows
