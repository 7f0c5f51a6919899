#include "platform/windows/WindowObject.h"

#include "platform/windows/SessionBus.h"

namespace tavo::windows {

void WindowState::Set(const QString& className, const QString& caption, quint64 order) {
  std::lock_guard lock(mutex_);
  className_ = className;
  caption_ = caption;
  order_ = order;
}

void WindowState::SetCaption(const QString& caption) {
  std::lock_guard lock(mutex_);
  caption_ = caption;
}

void WindowState::SetOrder(quint64 order) {
  std::lock_guard lock(mutex_);
  order_ = order;
}

QString WindowState::ClassName() const {
  std::lock_guard lock(mutex_);
  return className_;
}

QString WindowState::Caption() const {
  std::lock_guard lock(mutex_);
  return caption_;
}

quint64 WindowState::Order() const {
  std::lock_guard lock(mutex_);
  return order_;
}

WindowObject::WindowObject(QString connection, std::shared_ptr<const WindowState> state, Forward forward)
    : connection_(std::move(connection)), state_(std::move(state)), forward_(std::move(forward)) {}

void WindowObject::PostMessage(uint msg, qlonglong wParam, qlonglong lParam) {
  // Numbers below the user range are this system's own (scrolling and the
  // like) and are never taken from another program.
  if (msg < kFirstBusMessage || msg > kLastBusMessage) return;
  forward_(Request{false, msg, wParam, lParam, QDBusMessage(), QString()});
}

void WindowObject::Raise(const QDBusMessage& call) {
  call.setDelayedReply(true);
  forward_(Request{true, 0, 0, 0, call, connection_});
}

}  // namespace tavo::windows
