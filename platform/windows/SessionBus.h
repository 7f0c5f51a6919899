// Where the windows of the desktop's programs meet: the D-Bus session bus,
// and the names under which a window stands there.
//
// Each published window has a bus connection of its own, which owns the name
// "jp.tavo.Window.p<pid>_<n>" and serves one object at "/jp/tavo/Window" with
// the interface "jp.tavo.Window":
//   property s ClassName         the window's class (ASCII)
//   property s Caption           its caption (UTF-8, as every bus string)
//   property t ActivationOrder   CLOCK_MONOTONIC nanoseconds of its last
//                                showing, activation or raise: the larger,
//                                the nearer the top
//   method PostMessage(u msg, x wParam, x lParam)   queued, no reply
//   method Raise()                                  no reply
// Only messages from kFirstBusMessage on are taken from the bus; lower
// numbers are the system's own and never come from another program.
#pragma once

#include <QDBusConnection>
#include <QString>

#include <cstdint>

namespace tavo::windows {

inline constexpr char kNamePrefix[] = "jp.tavo.Window.";
inline constexpr char kObjectPath[] = "/jp/tavo/Window";
inline constexpr char kInterface[] = "jp.tavo.Window";
inline constexpr unsigned kFirstBusMessage = 0x0400;   // WM_USER
inline constexpr unsigned kLastBusMessage = 0x7FFF;

// The session bus's address: $DBUS_SESSION_BUS_ADDRESS, else the socket
// $XDG_RUNTIME_DIR/bus when it exists; "" when there is none. No bus is ever
// launched for the program.
QString SessionBusAddress();

// Now, on the clock of ActivationOrder.
uint64_t ActivationClock();

// The connection this process asks other windows through; made on first use
// and kept. Not connected when there is no session bus.
QDBusConnection ClientConnection();

}  // namespace tavo::windows
