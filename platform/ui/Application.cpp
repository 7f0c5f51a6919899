#include "platform/ui/Application.h"

#include <QCursor>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>

#include <chrono>
#include <vector>

#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"

namespace tavo::ui {
namespace {

using Clock = std::chrono::steady_clock;

int g_intervalMs = 4;
Clock::time_point g_lastPass{};
unsigned g_calls = 0;

// One entry per event being delivered through TApplication::notify, nested
// deliveries on top; `claimed` once a filter has acted on it. Events are
// delivered on other threads too (the bus's, the watchers'): each thread
// keeps its own.
thread_local std::vector<bool> g_deliveries;

struct DeliveryScope {
  DeliveryScope() { g_deliveries.push_back(false); }
  ~DeliveryScope() { g_deliveries.pop_back(); }
};

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  if (qtTranslator_.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(&qtTranslator_);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  DeliveryScope scope;
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleUnknownException();
  }
  return false;
}

void ProcessMessages() {
  // Reading the clock costs more than a line of a dictionary; look at it only
  // every 64 calls.
  if ((++g_calls & 63) != 0 && g_intervalMs > 0) return;
  const Clock::time_point now = Clock::now();
  if (g_intervalMs > 0 && now - g_lastPass < std::chrono::milliseconds(g_intervalMs)) return;
  g_lastPass = now;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ProcessMessagesNow() {
  g_lastPass = Clock::now();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void SetProcessMessagesInterval(int milliseconds) { g_intervalMs = milliseconds < 0 ? 0 : milliseconds; }

void HandleException(const std::exception& e) {
  // Messages of the program's own exceptions are CP932.
  ShowErrorBox(FromCp932(e.what()));
}

void HandleUnknownException() { ShowErrorBox(QStringLiteral("Unexpected error")); }

void SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else if (QApplication::overrideCursor() != nullptr)
    QApplication::restoreOverrideCursor();
}

void Beep() { QApplication::beep(); }

bool ClaimInputEvent() {
  if (g_deliveries.empty()) return true;
  if (g_deliveries.back()) return false;
  g_deliveries.back() = true;
  return true;
}

}  // namespace tavo::ui
