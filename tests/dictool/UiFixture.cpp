#include "tests/dictool/UiFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/Application.h"
#include "tests/support/WaitUntil.h"

namespace tavo::test {

void MainWindowTest::SetUp() {
  char pattern[] = "/tmp/tavo-ui-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir = pattern;
  setenv("TAVO_WINDIR", dir.c_str(), 1);
  ui::SetModalScripting(true);
  ui::ClearModalHistory();
  ui::SetProcessMessagesInterval(0);
  Create();
}

void MainWindowTest::TearDown() {
  Destroy();
  ui::SetModalScripting(false);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

void MainWindowTest::Create() {
  form = new TMainForm;
  dicList = new TDicListDlg(form);
  setWord = new TSetWordDlg(form);
  about = new TdlgAboutBox(form);
  folder = new TFolderDialog(form);
  form->SetForms(dicList, setWord, about, folder);
  inside = std::make_unique<TMainFormTestAccess>(*form);
  form->SetTraceOperation([this](const char* op) { ops.push_back(op); });
  form->show();
  form->activateWindow();
  EXPECT_TRUE(WaitUntil("the main window to be active", [this] { return form->isActiveWindow(); }));
  inside->cbSearchWord->setFocus();
  QCoreApplication::processEvents();
}

void MainWindowTest::Destroy() {
  if (form == nullptr) return;
  form->close();
  QCoreApplication::processEvents();
  inside.reset();
  delete form;
  form = nullptr;
}

void MainWindowTest::Restart(const std::function<void()>& whileClosed) {
  Destroy();
  ops.clear();
  if (whileClosed) whileClosed();
  Create();
}

std::string MainWindowTest::WriteFile(const std::string& name, const std::string& bytes) {
  const std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string MainWindowTest::SettingsText() const {
  std::ifstream in(dir + "/tavodic.ini", std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ExpectMessage(int answer, QString* text) {
  ui::PushModalScript([answer, text](ui::ModalCall& call) {
    EXPECT_EQ(call.kind, ui::ModalCall::Message);
    if (text != nullptr) *text = call.text;
    return answer;
  });
}

void RejectModalWindows() {
  for (int i = 0; i < 10; ++i) {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr) return;
    if (auto* d = qobject_cast<QDialog*>(w))
      d->reject();
    else
      w->close();
  }
}

}  // namespace tavo::test
