#include "platform/windows/WindowPublisher.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <unistd.h>

#include <memory>
#include <unordered_map>

#include "platform/ui/WindowMessage.h"
#include "platform/windows/SessionBus.h"
#include "platform/windows/WindowObject.h"

namespace tavo::windows {
namespace {

const char kClassProperty[] = "tavoWindowClass";

bool IsPublishable(const QWidget* w) {
  if (!w->isWindow()) return false;
  const Qt::WindowType type = w->windowType();
  return type == Qt::Window || type == Qt::Dialog;
}

QString ClassNameOf(const QWidget* w) {
  const QVariant set = w->property(kClassProperty);
  if (set.isValid()) return set.toString();
  const QString name = QString::fromLatin1(w->metaObject()->className());
  const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
  return colons < 0 ? name : name.mid(colons + 2);
}

// Watches the top-level windows on the UI thread and keeps one bus
// connection with one WindowObject per shown window in the bus thread.
class Publisher : public QObject {
 public:
  Publisher(QObject* parent, QString address) : QObject(parent), address_(std::move(address)) {
    thread_.setObjectName(QStringLiteral("tavo-window-bus"));
    thread_.start();
    busHome_.moveToThread(&thread_);
    QCoreApplication::instance()->installEventFilter(this);
  }

  ~Publisher() override {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeEventFilter(this);
    // Every connection is closed in the bus thread before it ends.
    QMetaObject::invokeMethod(
        &busHome_,
        [this] {
          closed_ = true;
          for (auto& [id, bus] : busSide_) CloseOnBus(bus);
          busSide_.clear();
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    // Whatever the bus thread still opened after the close (the thread has
    // ended: its objects may be deleted here).
    for (auto& [id, bus] : busSide_) CloseOnBus(bus);
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    const QEvent::Type type = e->type();
    if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowTitleChange &&
        type != QEvent::WindowActivate && type != QEvent::WindowDeactivate)
      return false;
    if (!watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (!IsPublishable(w)) return false;
    auto it = published_.find(w);
    switch (type) {
      case QEvent::Show:
        if (it == published_.end()) Publish(w);
        else it->second.state->SetOrder(ActivationClock());
        break;
      case QEvent::Hide:
        // A minimised window stays a window of the desktop (a spontaneous
        // hide); only one the program hides leaves the bus.
        if (!e->spontaneous() && it != published_.end()) Unpublish(it);
        break;
      case QEvent::WindowTitleChange:
        if (it != published_.end()) it->second.state->SetCaption(w->windowTitle());
        break;
      case QEvent::WindowActivate:
        if (it == published_.end()) break;
        if (!it->second.raised) it->second.state->SetOrder(ActivationClock());
        it->second.raised = false;
        break;
      default:  // WindowDeactivate
        if (it != published_.end()) it->second.raised = false;
        break;
    }
    return false;
  }

 private:
  struct Entry {
    int id;
    std::shared_ptr<WindowState> state;
    QMetaObject::Connection destroyed;
    bool raised = false;  // raised over the bus, its activation not yet seen
  };
  // The bus side of a window; touched only in the bus thread.
  struct BusSide {
    QString connection;
    WindowObject* object = nullptr;
  };

  void Publish(QWidget* w) {
    const int id = ++lastId_;
    auto state = std::make_shared<WindowState>();
    state->Set(ClassNameOf(w), w->windowTitle(), ActivationClock());
    windows_[id] = w;
    QMetaObject::Connection destroyed = connect(w, &QObject::destroyed, this, [this, w] {
      auto it = published_.find(w);
      if (it != published_.end()) Unpublish(it);
    });
    published_[w] = Entry{id, state, destroyed, false};
    QMetaObject::invokeMethod(&busHome_, [this, id, state] { OpenOnBus(id, state); }, Qt::QueuedConnection);
  }

  void Unpublish(std::unordered_map<QWidget*, Entry>::iterator it) {
    const int id = it->second.id;
    disconnect(it->second.destroyed);
    windows_.erase(id);
    published_.erase(it);
    QMetaObject::invokeMethod(
        &busHome_,
        [this, id] {
          auto bus = busSide_.find(id);
          if (bus == busSide_.end()) return;
          CloseOnBus(bus->second);
          busSide_.erase(bus);
        },
        Qt::QueuedConnection);
  }

  // Bus thread.
  void OpenOnBus(int id, const std::shared_ptr<WindowState>& state) {
    if (closed_) return;
    const QString connection = QStringLiteral("tavo-window-%1").arg(id);
    QDBusConnection bus = QDBusConnection::connectToBus(address_, connection);
    if (!bus.isConnected()) {
      QDBusConnection::disconnectFromBus(connection);
      return;
    }
    auto* object = new WindowObject(connection, state, [this, id](const WindowObject::Request& request) {
      QMetaObject::invokeMethod(this, [this, id, request] { Deliver(id, request); }, Qt::QueuedConnection);
    });
    // The object first: a window found by its name always answers.
    bus.registerObject(QLatin1String(kObjectPath), object,
                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    bus.registerService(QLatin1String(kNamePrefix) + QStringLiteral("p%1_%2").arg(getpid()).arg(id));
    busSide_[id] = BusSide{connection, object};
  }

  // Bus thread.
  static void CloseOnBus(BusSide& bus) {
    QDBusConnection(bus.connection).unregisterObject(QLatin1String(kObjectPath));
    QDBusConnection::disconnectFromBus(bus.connection);
    delete bus.object;
  }

  // UI thread: what a WindowObject passed on.
  void Deliver(int id, const WindowObject::Request& request) {
    auto it = windows_.find(id);
    QWidget* w = it == windows_.end() ? nullptr : it->second.data();
    if (!request.raise) {
      if (w != nullptr)
        ui::PostMessage(w, request.msg, static_cast<intptr_t>(request.wParam), static_cast<intptr_t>(request.lParam));
      return;
    }
    if (w != nullptr) {
      auto entry = published_.find(w);
      if (entry != published_.end()) {
        entry->second.state->SetOrder(ActivationClock());
        // The activation that follows is this raise's own: it must not move
        // the window above one raised after it meanwhile.
        entry->second.raised = true;
      }
      if (w->isMinimized()) w->showNormal();
      w->raise();
      w->activateWindow();
    }
    QDBusConnection(request.connection).send(request.raiseCall.createReply());
  }

  const QString address_;
  QThread thread_;
  QObject busHome_;  // lives in thread_: the context of the bus side's work
  std::unordered_map<int, BusSide> busSide_;
  bool closed_ = false;  // bus thread: the publisher is going, open nothing more
  std::unordered_map<QWidget*, Entry> published_;
  std::unordered_map<int, QPointer<QWidget>> windows_;
  int lastId_ = 0;
};

}  // namespace

void PublishTopLevelWindows() {
  static bool started = false;
  if (started) return;
  started = true;
  const QString address = SessionBusAddress();
  if (address.isEmpty()) return;
  new Publisher(QCoreApplication::instance(), address);
}

void SetWindowClassName(QWidget* window, const std::string& className) {
  window->setProperty(kClassProperty, QString::fromStdString(className));
}

}  // namespace tavo::windows
