// A main window with its dialogs, as the program creates them, for tests
// that drive it with keys and mouse presses. Modal showings are scripted
// (Modal.h): a test queues answers, and an unexpected showing answers Cancel
// instead of blocking. The settings folder is a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <string>
#include <vector>

#include "dictool/AboutBox.h"
#include "dictool/Diclist.h"
#include "dictool/Main.h"
#include "dictool/SetWord.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/ui/Modal.h"

namespace tavo::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Closes and destroys the window (as the program's end does) and makes a
  // new one on the same settings folder, shown.
  void Restart();

  // The operations the window ran, in order.
  std::vector<std::string> ops;
  TMainForm* form = nullptr;
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

// A real (unscripted) modal dialog of type T once it is the active modal
// widget; nullptr when none comes within five seconds.
template <class T>
T* WaitForModal() {
  T* found = nullptr;
  const bool shown = QTest::qWaitFor([&found] {
    found = qobject_cast<T*>(QApplication::activeModalWidget());
    return found != nullptr;
  });
  return shown ? found : nullptr;
}

}  // namespace tavo::test
