// Window messages between objects of this process: a message number with two
// parameters, posted to a window (an object) and handled on the UI thread
// when the event loop next runs.
#pragma once

#include <QEvent>

#include <cstdint>

class QObject;

namespace tavo::ui {

class WindowMessageEvent : public QEvent {
 public:
  WindowMessageEvent(unsigned msg, intptr_t wParam, intptr_t lParam)
      : QEvent(Type()), Msg(msg), WParam(wParam), LParam(lParam) {}
  static QEvent::Type Type();

  const unsigned Msg;
  const intptr_t WParam;
  const intptr_t LParam;
};

// Queues the message for `window`; never waits. False for a null window.
bool PostMessage(QObject* window, unsigned msg, intptr_t wParam, intptr_t lParam);

}  // namespace tavo::ui
