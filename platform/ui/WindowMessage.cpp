#include "platform/ui/WindowMessage.h"

#include <QCoreApplication>

namespace tavo::ui {

QEvent::Type WindowMessageEvent::Type() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

bool PostMessage(QObject* window, unsigned msg, intptr_t wParam, intptr_t lParam) {
  if (window == nullptr) return false;
  QCoreApplication::postEvent(window, new WindowMessageEvent(msg, wParam, lParam));
  return true;
}

}  // namespace tavo::ui
