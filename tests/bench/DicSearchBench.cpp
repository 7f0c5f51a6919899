// Times the dictionary search of the real main window, headless, as a user
// starts it: the word typed, Enter pressed. Prints two figures:
//   end:        from the Enter to the end of the search (the "not found"
//               offer for a word that is not in the dictionary)
//   first page: from the Enter to the first screenful shown
// Usage: tavo_bench_dicsearch <dictionary> <word (UTF-8)> [runs]
#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dictool/AboutBox.h"
#include "dictool/Diclist.h"
#include "dictool/Main.h"
#include "dictool/SetWord.h"
#include "dictool/TavoLibBinding.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <dictionary> <word> [runs]\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const char* tmp = std::getenv("TMPDIR");
  std::string windir = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-bench-XXXXXX";
  if (mkdtemp(windir.data()) == nullptr) return 1;
  setenv("TAVO_WINDIR", windir.c_str(), 1);
  // The settings folder goes with the benchmark, whatever way main() ends.
  struct RemoveAtExit {
    std::string path;
    ~RemoveAtExit() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  } removeWindir{windir};
  tavo::ui::TApplication app(argc, argv);
  std::string error;
  if (!tavo::BindTavoLib(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const auto dictionary = tavo::ToCp932(QString::fromLocal8Bit(argv[1]));
  if (!dictionary) return 1;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;

  tavo::ui::SetModalScripting(true);
  auto* form = new tavo::TMainForm;
  auto* dicList = new tavo::TDicListDlg(form);
  auto* setWord = new tavo::TSetWordDlg(form);
  auto* about = new tavo::TdlgAboutBox(form);
  auto* folder = new tavo::TFolderDialog(form);
  form->SetForms(dicList, setWord, about, folder);
  form->show();
  QCoreApplication::processEvents();

  for (int run = 0; run < runs; ++run) {
    form->SearchDicList = {*dictionary};
    form->LastSearchWord.clear();
    Clock::time_point ended{};
    // The offer to register a word that was not found marks the end.
    tavo::ui::PushModalScript([&](tavo::ui::ModalCall&) {
      ended = Clock::now();
      return tavo::ui::IDCANCEL;
    });
    form->cbSearchWord->setEditText(QString::fromUtf8(argv[2]));
    form->cbSearchWord->setFocus();
    const Clock::time_point start = Clock::now();
    QTest::keyClick(form->cbSearchWord, Qt::Key_Return);
    const Clock::time_point returned = Clock::now();
    if (form->SearchOpen) {
      std::printf("first page: %.1f ms (%d rows)\n", Ms(returned - start), form->DicRowCount);
      form->SearchCancel();
    } else if (ended != Clock::time_point{}) {
      std::printf("end: %.1f ms\n", Ms(ended - start));
    } else {
      std::printf("end with hits: %.1f ms\n", Ms(returned - start));
    }
    tavo::ui::ClearModalHistory();
  }
  delete form;
  return 0;
}
