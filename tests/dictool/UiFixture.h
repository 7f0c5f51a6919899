// A main window with its dialogs, as the program creates them, for tests
// that drive it with keys and mouse presses. Modal showings are scripted
// (Modal.h): a test queues answers, and an unexpected showing answers Cancel
// instead of blocking. The settings folder is a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dictool/AboutBox.h"
#include "dictool/Diclist.h"
#include "dictool/Main.h"
#include "dictool/SetWord.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/ui/Modal.h"
#include "tests/dictool/MainFormAccess.h"
#include "tests/support/WaitUntil.h"

namespace tavo::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Closes and destroys the window (as the program's end does) and makes a
  // new one on the same settings folder, shown; `whileClosed` runs in
  // between, as another program would.
  void Restart(const std::function<void()>& whileClosed = {});

  // The operations the window ran, in order.
  std::vector<std::string> ops;
  TMainForm* form = nullptr;
  // The window's widgets and the state a test sets up (MainFormAccess.h).
  std::unique_ptr<TMainFormTestAccess> inside;
  TDicListDlg* dicList = nullptr;
  TSetWordDlg* setWord = nullptr;
  TdlgAboutBox* about = nullptr;
  TFolderDialog* folder = nullptr;
  std::string dir;  // the settings folder (CP932 = ASCII here)

  // Writes a file in `dir` (bytes as given) and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes);
  // The text of the settings file, "" when there is none.
  std::string SettingsText() const;

 private:
  void Create();
  void Destroy();
};

// Answers the next message box with `answer` and records its text.
void ExpectMessage(int answer, QString* text = nullptr);

// Closes every real modal window that is open, innermost first.
void RejectModalWindows();

// Waits until a real (unscripted) window of type Dialog is the application's
// modal window, then until it is the active window with the keyboard focus
// inside it. The headless platform has no window manager to activate a
// dialog again when a message box over it closes, so the test does what the
// window manager does. On time-out it closes the open dialogs, so that the
// test's own modal loop ends.
template <class Dialog>
::testing::AssertionResult AwaitActiveModal(const std::string& what, Dialog*& modal) {
  auto shown = WaitUntil(what + " shown", [&] {
    modal = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    return modal != nullptr;
  });
  if (shown) {
    if (!modal->isActiveWindow()) modal->activateWindow();
    shown = WaitUntil(what + " active, with the focus in it", [&] {
      return modal == QApplication::activeModalWidget() && modal->isActiveWindow() &&
             QApplication::focusWidget() != nullptr && modal->isAncestorOf(QApplication::focusWidget());
    });
  }
  if (!shown) RejectModalWindows();
  return shown;
}

}  // namespace tavo::test
