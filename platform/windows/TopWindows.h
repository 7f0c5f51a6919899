// The top-level windows of the desktop's programs that publish theirs on the
// session bus (WindowPublisher.h), seen from any of them: found by class or
// caption, walked from the top down, raised, and sent posted messages.
//
// A window handle is the window's bus name; "" is no window. Captions and
// class names handed out are CP932 (a caption with a character that has no
// CP932 form reads as ""). Every call goes to the bus at the time it is made
// and never waits longer than kCallTimeoutMs for another program; a program
// that does not answer in time is left out. Without a session bus there are
// no windows and every action fails. UI thread only (the calls block it
// briefly; this program's own windows answer from a thread of their own).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavo::windows {

using WindowHandle = std::string;

inline constexpr int kCallTimeoutMs = 2000;

struct TopWindow {
  WindowHandle Handle;
  std::string ClassName;  // CP932 (ASCII in practice)
  std::string Caption;    // CP932
};

// True when the session bus can be reached, so that windows can be found.
bool WindowBusAvailable();

// Every published window, the one on top first and then down the Z order
// (the order of their last showing, activation or raise).
std::vector<TopWindow> TopWindowsInZOrder();

// The topmost window whose class is `className` and whose caption is
// `caption`, each only when given; "" when there is none.
WindowHandle FindWindow(const std::optional<std::string>& className, const std::optional<std::string>& caption);

// The window's caption, CP932; "" when it has none or is gone.
std::string GetWindowText(const WindowHandle& window);

// Brings the window to the front and gives it the focus; returns once the
// window has done so (or after kCallTimeoutMs). False when it could not be
// asked or did not answer: no bus, not a window's name, a window gone.
bool BringWindowToTop(const WindowHandle& window);

// Sends the message to the window without waiting for the window; returns
// once the bus has it, so that a program may end right after. False when it
// could not be sent (no bus, not a window's name, a number outside the bus's
// range); the window's answer is not awaited, so a window that is gone is
// not told apart.
bool PostMessage(const WindowHandle& window, unsigned msg, int64_t wParam, int64_t lParam);

}  // namespace tavo::windows
