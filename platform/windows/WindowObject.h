// Internal to the publisher: the bus object of one published window. It lives
// in the publisher's bus thread and answers there from a copy of the window's
// class, caption and order that the UI thread keeps up to date, so that a
// walk is answered even while this program's UI thread waits. Posted
// messages and raises go on to the UI thread through `forward`; a raise is
// answered once the UI thread has done it, so that raises of several windows
// one after the other end in that order.
#pragma once

#include <QtDBus/qtdbusglobal.h>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

namespace tavo::windows {

// What the bus reads of a window; written on the UI thread, read on the bus
// thread.
class WindowState {
 public:
  void Set(const QString& className, const QString& caption, quint64 order);
  void SetCaption(const QString& caption);
  void SetOrder(quint64 order);
  QString ClassName() const;
  QString Caption() const;
  quint64 Order() const;

 private:
  mutable std::mutex mutex_;
  QString className_;
  QString caption_;
  quint64 order_ = 0;
};

class WindowObject : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "jp.tavo.Window")
  Q_PROPERTY(QString ClassName READ ClassName)
  Q_PROPERTY(QString Caption READ Caption)
  Q_PROPERTY(qulonglong ActivationOrder READ ActivationOrder)

 public:
  // For the UI thread: a posted message, or a raise with the call to answer
  // (on `connection`) when it is done.
  struct Request {
    bool raise = false;
    uint msg = 0;
    qlonglong wParam = 0;
    qlonglong lParam = 0;
    QDBusMessage raiseCall;
    QString connection;
  };
  using Forward = std::function<void(const Request&)>;
  WindowObject(QString connection, std::shared_ptr<const WindowState> state, Forward forward);

  QString ClassName() const { return state_->ClassName(); }
  QString Caption() const { return state_->Caption(); }
  qulonglong ActivationOrder() const { return state_->Order(); }

 public Q_SLOTS:
  Q_NOREPLY void PostMessage(uint msg, qlonglong wParam, qlonglong lParam);
  void Raise(const QDBusMessage& call);

 private:
  QString connection_;
  std::shared_ptr<const WindowState> state_;
  Forward forward_;
};

}  // namespace tavo::windows
