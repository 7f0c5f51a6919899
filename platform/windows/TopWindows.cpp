#include "platform/windows/TopWindows.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <algorithm>

#include "platform/text/Cp932.h"
#include "platform/windows/SessionBus.h"

namespace tavo::windows {
namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

std::string ToCp932OrEmpty(const QString& text) { return Utf8ToCp932(text.toStdString()).value_or(std::string()); }

bool IsWindowName(const QString& name) {
  return name.startsWith(QLatin1String(kNamePrefix)) && name.size() > int(sizeof(kNamePrefix) - 1);
}

QDBusMessage WindowCall(const WindowHandle& window, const char* method) {
  return QDBusMessage::createMethodCall(QString::fromStdString(window), QLatin1String(kObjectPath),
                                        QLatin1String(kInterface), QLatin1String(method));
}

// Names on the bus are ASCII; anything else is no window handle.
bool IsHandle(const WindowHandle& window) {
  return !window.empty() && std::all_of(window.begin(), window.end(), [](char c) { return c > 0x20 && c < 0x7F; }) &&
         IsWindowName(QString::fromStdString(window));
}

}  // namespace

bool WindowBusAvailable() { return ClientConnection().isConnected(); }

std::vector<TopWindow> TopWindowsInZOrder() {
  QDBusConnection bus = ClientConnection();
  if (!bus.isConnected()) return {};
  const QDBusMessage list =
      bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                              QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames")),
               QDBus::Block, kCallTimeoutMs);
  if (list.type() != QDBusMessage::ReplyMessage || list.arguments().isEmpty()) return {};

  // All windows are asked at once, so that the walk takes one round trip,
  // and one that hangs costs one time-out, not one per window.
  struct Asked {
    QString name;
    QDBusPendingCall call;
  };
  std::vector<Asked> asked;
  for (const QString& name : list.arguments().first().toStringList()) {
    if (!IsWindowName(name)) continue;
    QDBusMessage get = QDBusMessage::createMethodCall(name, QLatin1String(kObjectPath), kProperties,
                                                      QStringLiteral("GetAll"));
    get << QLatin1String(kInterface);
    asked.push_back({name, bus.asyncCall(get, kCallTimeoutMs)});
  }
  struct Found {
    TopWindow window;
    qulonglong order;
  };
  std::vector<Found> found;
  for (Asked& a : asked) {
    QDBusPendingReply<QVariantMap> reply = a.call;
    reply.waitForFinished();
    if (!reply.isValid()) continue;  // gone meanwhile, or not answering
    const QVariantMap props = reply.value();
    found.push_back({{a.name.toStdString(), ToCp932OrEmpty(props.value(QStringLiteral("ClassName")).toString()),
                      ToCp932OrEmpty(props.value(QStringLiteral("Caption")).toString())},
                     props.value(QStringLiteral("ActivationOrder")).toULongLong()});
  }
  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.order != b.order ? a.order > b.order : a.window.Handle < b.window.Handle;
  });
  std::vector<TopWindow> windows;
  windows.reserve(found.size());
  for (Found& f : found) windows.push_back(std::move(f.window));
  return windows;
}

WindowHandle FindWindow(const std::optional<std::string>& className, const std::optional<std::string>& caption) {
  for (const TopWindow& w : TopWindowsInZOrder())
    if ((!className || w.ClassName == *className) && (!caption || w.Caption == *caption)) return w.Handle;
  return WindowHandle();
}

std::string GetWindowText(const WindowHandle& window) {
  QDBusConnection bus = ClientConnection();
  if (!IsHandle(window) || !bus.isConnected()) return std::string();
  QDBusMessage get = QDBusMessage::createMethodCall(QString::fromStdString(window), QLatin1String(kObjectPath),
                                                    kProperties, QStringLiteral("Get"));
  get << QLatin1String(kInterface) << QStringLiteral("Caption");
  const QDBusMessage reply = bus.call(get, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::string();
  return ToCp932OrEmpty(reply.arguments().first().value<QDBusVariant>().variant().toString());
}

bool BringWindowToTop(const WindowHandle& window) {
  QDBusConnection bus = ClientConnection();
  if (!IsHandle(window) || !bus.isConnected()) return false;
  // Answered once the window is raised, so that windows raised one after
  // the other stand in that order.
  return bus.call(WindowCall(window, "Raise"), QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool PostMessage(const WindowHandle& window, unsigned msg, int64_t wParam, int64_t lParam) {
  QDBusConnection bus = ClientConnection();
  if (!IsHandle(window) || !bus.isConnected() || msg < kFirstBusMessage || msg > kLastBusMessage) return false;
  QDBusMessage call = WindowCall(window, "PostMessage");
  call << msg << qlonglong(wParam) << qlonglong(lParam);
  if (!bus.send(call)) return false;
  // send() only queues: a program that ends right after posting would take
  // the message with it. The bus answers a ping only after the messages
  // sent before it, so once it has, the message is on its way to the window.
  const QDBusMessage ping = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
  bus.call(ping, QDBus::Block, kCallTimeoutMs);
  return true;
}

}  // namespace tavo::windows
