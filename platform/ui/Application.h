// Application-wide services of the user-interface thread: the message pump
// that long work calls between steps, the top-level error handler, the busy
// cursor and the beep. Everything here runs on the UI thread only.
#pragma once

#include <QApplication>
#include <QTranslator>

#include <exception>

namespace tavo::ui {

// The program's QApplication: an exception that escapes an event handler is
// shown by HandleException and the program goes on. Qt's own dialogs and
// standard buttons speak Japanese, as the program does, whatever the
// desktop's language (Qt's translations, where they are installed).
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QTranslator qtTranslator_;
};

// Called once per step of long work (a line of a search). It makes a real
// pass of the event loop only when a few milliseconds have passed since the
// last pass, so that a loop over millions of lines stays cheap while the
// window, the cancel button and Esc stay live. A cancel so lands at most one
// interval late, after the current step.
void ProcessMessages();

// One real pass of the event loop, now.
void ProcessMessagesNow();

// The interval of ProcessMessages in milliseconds (default 4; 0 = every call).
void SetProcessMessagesInterval(int milliseconds);

// Shows an exception's message in the standard error box (through the
// scriptable modal path, see Modal.h).
void HandleException(const std::exception& e);
void HandleUnknownException();

// The hourglass while a page is filled; nests.
void SetBusyCursor(bool busy);

void Beep();

// For event filters that see an input event once per widget it propagates
// to: true the first time it is asked during one delivery of an event
// (TApplication::notify), false for every later widget of that delivery.
bool ClaimInputEvent();

}  // namespace tavo::ui
