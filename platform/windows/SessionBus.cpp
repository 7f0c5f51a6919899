#include "platform/windows/SessionBus.h"

#include <QFileInfo>

#include <time.h>

#include <cstdlib>
#include <mutex>

namespace tavo::windows {

QString SessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return QString::fromLocal8Bit(address);
  // What a systemd user session offers without setting the variable; libdbus
  // would otherwise try to launch a bus of its own.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return QString();
  const QString socket = QString::fromLocal8Bit(runtime) + QStringLiteral("/bus");
  if (!QFileInfo(socket).exists()) return QString();
  return QStringLiteral("unix:path=") + socket;
}

uint64_t ActivationClock() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
}

QDBusConnection ClientConnection() {
  static const QString name = QStringLiteral("tavo-windows-client");
  static std::once_flag once;
  std::call_once(once, [] {
    const QString address = SessionBusAddress();
    if (!address.isEmpty()) QDBusConnection::connectToBus(address, name);
  });
  return QDBusConnection(name);
}

}  // namespace tavo::windows
