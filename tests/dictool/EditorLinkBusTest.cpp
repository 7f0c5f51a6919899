// The link to the braille editor over the session bus, with the stand-in
// editor running as programs of their own: F3 hands a hit of the external
// result grid to the editor window that shows its document or starts the
// editor, F2 brings the editor's frame windows up, and the stand-in's
// requests reach the tool.
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "dictool/Cp932Texts.h"
#include "dictool/GaibuSearchEngine.h"
#include "platform/files/Files.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/WindowMessage.h"
#include "platform/windows/TopWindows.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

using windows::TopWindow;

// A window of another program whose caption holds a document's path; it
// counts the messages posted to it.
class OtherProgramWindow : public QWidget {
 public:
  explicit OtherProgramWindow(const QString& caption) { setWindowTitle(caption); }
  int posted = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == ui::WindowMessageEvent::Type()) ++posted;
    return QWidget::event(e);
  }
};

class EditorLinkTest : public MainWindowTest {
 protected:
  void TearDown() override {
    for (auto& editor : editors_) {
      editor->kill();
      editor->waitForFinished();
    }
    MainWindowTest::TearDown();
  }

  // Starts a stand-in editor showing `document` with its log in `log`, and
  // waits until its window stands on the bus; returns its handle.
  std::string StartEditor(const std::string& document, const std::string& log,
                          const char* frameClass = "AfxFrameOrView42s") {
    auto editor = std::make_unique<QProcess>();
    editor->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    editor->start(QStringLiteral(TAVO_STANDIN_EDITOR),
                  {QStringLiteral("--class"), QString::fromLatin1(frameClass), QStringLiteral("--log"),
                   QString::fromStdString(log), QString::fromUtf8(document.c_str())});
    editors_.push_back(std::move(editor));
    return AwaitWindow(QStringLiteral("たぼー - ") + QString::fromUtf8(document.c_str()));
  }

  std::string AwaitWindow(const QString& caption) {
    const std::string sjCaption = sj(caption.toStdString());
    std::string handle;
    EXPECT_TRUE(WaitUntil("the window " + caption.toStdString(), [&] {
      handle = windows::FindWindow(std::nullopt, sjCaption);
      return !handle.empty();
    }));
    return handle;
  }

  // The hit rows of an external search: a heading, hits of `hits`, the end row.
  void ShowHits(const std::vector<THitLine>& hits) {
    inside->AddGrid2Line(GaibuHeadingRow(dir), "", 0, 0);
    for (const THitLine& h : hits) inside->AddGrid2Line("001:01 x", h.ShortPath, h.Page, h.Line);
    inside->AddGrid2Line(std::string(sj::SearchEndRow), "", 0, 0);
    inside->AddGrid2Line(std::string(sj::SearchCancelRow), "", 0, 0);
    inside->PageControl1->setCurrentIndex(1);
  }
  // F3 as the user presses it, in the tool's window.
  void F3OnRow(int row) {
    inside->Grid2->SetRow(row);
    Activate();
    QTest::keyClick(inside->Grid2, Qt::Key_F3);
  }
  void Activate() {
    form->activateWindow();
    EXPECT_TRUE(WaitUntil("the tool's window active", [&] { return form->isActiveWindow(); }));
  }

  static std::vector<std::string> LogLines(const std::string& log) {
    QFile file(QString::fromStdString(log));
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<std::string> lines;
    for (const QByteArray& l : file.readAll().split('\n'))
      if (!l.isEmpty()) lines.push_back(l.toStdString());
    return lines;
  }
  ::testing::AssertionResult AwaitLog(const std::string& log, const std::vector<std::string>& lines) {
    auto result = WaitUntil("the editor's log", [&] { return LogLines(log) == lines; });
    if (!result)
      for (const std::string& l : LogLines(log)) result << "\n  it holds: " << l;
    return result;
  }
  std::string HitFile() const {
    std::string text;
    ReadWholeFile(dir + "/__TAVO.TMP", text);
    return text;
  }
  // Where `window` stands in the Z order (0 = top); -1 when it is not there.
  static int ZIndex(const std::string& window) {
    const auto all = windows::TopWindowsInZOrder();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].Handle == window) return static_cast<int>(i);
    return -1;
  }
  // Ends an editor that the tool started, by the process id its window's
  // name carries, and waits until its window is gone.
  void EndStartedEditor(const std::string& window) {
    const auto p = window.rfind(".p");
    ASSERT_NE(p, std::string::npos);
    ASSERT_EQ(kill(static_cast<pid_t>(std::stol(window.substr(p + 2))), SIGTERM), 0);
    EXPECT_TRUE(WaitUntil("the started editor's window gone", [&] { return ZIndex(window) < 0; }));
  }

 private:
  std::vector<std::unique_ptr<QProcess>> editors_;
};

TEST_F(EditorLinkTest, F3HandsTheHitToTheEditorWindowShowingItsDocumentAndToNoOther) {
  const std::string a = dir + "/docs/a.rut", b = dir + "/docs/b.rut";
  ShowHits({{a, 2, 17}, {b, 1, 3}});
  const std::string logA = dir + "/a.log", logB = dir + "/b.log";
  const std::string editorA = StartEditor(a, logA);
  const std::string editorB = StartEditor(b, logB);
  EXPECT_EQ(hex(windows::GetWindowText(editorB)), hex(sj("たぼー - ") + b));
  OtherProgramWindow memo(QStringLiteral("メモ - ") + QString::fromStdString(a));
  memo.show();
  const std::string memoWindow = AwaitWindow(memo.windowTitle());
  // Its activation comes after its showing; it must not come after F3.
  ASSERT_TRUE(WaitUntil("the other program's window active", [&] { return memo.isActiveWindow(); }));
  ASSERT_LT(ZIndex(memoWindow), ZIndex(editorA));
  const std::string other = sj("[たぼー]\r\n設定=1\r\n");
  WriteFile("__TAVO.TMP", other);

  F3OnRow(1);
  ASSERT_TRUE(AwaitLog(logA, {"start " + a, "1530 " + a + ",2,17"}));
  EXPECT_EQ(hex(HitFile()), hex(other + sj("[検索ヒット行情報]\r\nファイル名=") + a + "\r\n" + sj("ページ=2\r\n行=17\r\n")));

  EXPECT_LT(ZIndex(editorA), ZIndex(editorB)) << "the editor is raised";
  EXPECT_LT(ZIndex(editorA), ZIndex(memoWindow));

  // The other document's editor, with the dictionary page showing: the
  // cursor row of the external grid counts all the same.
  inside->Grid2->SetRow(2);
  inside->PageControl1->setCurrentIndex(0);
  Activate();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_F3);
  ASSERT_TRUE(AwaitLog(logB, {"start " + b, "1530 " + b + ",1,3"}));
  EXPECT_EQ(LogLines(logA).size(), 2u) << "nothing more for the first editor";
  EXPECT_EQ(memo.posted, 0);
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(EditorLinkTest, WithoutAnEditorWindowF3StartsTheEditorAndOtherwiseSaysWhy) {
  // A path with blanks, quotes and a semicolon, for a program path with
  // blanks: each stays one argument, and nothing is run by a shell.
  std::filesystem::create_directories(dir + "/my docs");
  std::filesystem::create_directories(dir + "/editor dir");
  const std::string doc = dir + "/my docs/it's \"x\"; rm -rf x.rut";
  const std::string editor = dir + "/editor dir/tavo editor";
  std::filesystem::create_symlink(TAVO_STANDIN_EDITOR, editor);
  const std::string log = dir + "/started.log";
  setenv("TAVO_STANDIN_LOG", log.c_str(), 1);
  ShowHits({{doc, 4, 5}});
  form->SetEditorPath(editor);

  // Heading, end and cancel rows hand nothing over.
  for (int row : {0, 2, 3}) F3OnRow(row);
  EXPECT_FALSE(FileExists(dir + "/__TAVO.TMP"));

  F3OnRow(1);
  ASSERT_TRUE(AwaitLog(log, {"start " + doc + ",4,5"}));
  EndStartedEditor(AwaitWindow(QStringLiteral("たぼー - ") + QString::fromStdString(doc)));
  EXPECT_NE(HitFile().find(doc), std::string::npos);
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);

  // An editor path that names no program is told with the path.
  const std::string notProgram = WriteFile("not a program", "text");
  form->SetEditorPath(notProgram);
  std::filesystem::remove(dir + "/__TAVO.TMP");
  QString text;
  ExpectMessage(ui::IDOK, &text);
  F3OnRow(1);
  EXPECT_EQ(text, QStringLiteral("たぼーを起動できません。\n") + QString::fromStdString(notProgram));
  EXPECT_EQ(ui::ModalHistory().back().caption, QStringLiteral("警告"));

  // Neither a window nor a path: the warning, and the hit file is written.
  form->SetEditorPath(std::string());
  std::filesystem::remove(dir + "/__TAVO.TMP");
  ExpectMessage(ui::IDOK, &text);
  F3OnRow(1);
  EXPECT_EQ(text, QStringLiteral("たぼーでTavoDicのパスを設定するか、たぼーを起動してください。"));
  EXPECT_EQ(ui::ModalHistory().back().caption, QStringLiteral("警告"));
  EXPECT_EQ(ui::ModalHistory().back().flags, ui::MB_ICONWARNING);
  EXPECT_NE(HitFile().find(doc), std::string::npos);
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(EditorLinkTest, F2RaisesTheEditorsFrameClassesInTheirOrderOrSaysThatNoneRuns) {
  QString text;
  ExpectMessage(ui::IDOK, &text);
  Activate();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_F2);
  EXPECT_EQ(text, QStringLiteral("たぼーが起動していません。"));

  // Started in the reverse order, so that each shows on top of the last.
  const char* classes[] = {"AfxFrameOrView42sd", "AfxFrameOrView42s", "AfxFrameOrView"};
  std::vector<std::string> frames;
  for (const char* c : classes) {
    const std::string doc = dir + "/" + c + ".rut";
    frames.push_back(StartEditor(doc, dir + "/" + c + ".log", c));
    ASSERT_EQ(ZIndex(frames.back()), 0) << c;
  }
  Activate();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_F2);
  // The last class raised ends on top, the first one below the other two.
  EXPECT_EQ(ZIndex(frames[0]), 0);
  EXPECT_EQ(ZIndex(frames[1]), 1);
  EXPECT_EQ(ZIndex(frames[2]), 2);
  EXPECT_EQ(ui::ModalHistory().size(), 1u) << "nothing said while an editor runs";
}

TEST_F(EditorLinkTest, TheStandInEditorsRequestsReachTheTool) {
  form->SetSearchDicList({WriteFile("a.dic", sj("ねこ\r\n"))});
  // The window is published from a thread of its own, some time after it shows.
  ASSERT_TRUE(WaitUntil("the tool's window on the bus",
                        [] { return !windows::FindWindow(std::string("TMainForm"), std::nullopt).empty(); }));
  // Tells what it sent; the tool is found while this thread runs its loop.
  auto post = [](const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TAVO_STANDIN_EDITOR), args);
    EXPECT_TRUE(WaitUntil("the stand-in to post", [&] { return p.state() == QProcess::NotRunning; }));
    return p.exitCode();
  };
  EXPECT_EQ(post({QStringLiteral("--post"), QStringLiteral("1528"), QStringLiteral("--word"), QStringLiteral("ねこ")}), 0);
  ASSERT_TRUE(WaitUntil("the dictionary search", [&] { return form->DicRows().size() == 3; }));
  EXPECT_EQ(inside->Grid->Cell(0, 1), sj("ねこ"));

  ops.clear();
  ui::PushModalScript([this](ui::ModalCall& call) {
    EXPECT_EQ(call.form, folder);
    return ui::mrCancel;
  });
  EXPECT_EQ(post({QStringLiteral("--post"), QStringLiteral("1535"), QStringLiteral("--word"), QStringLiteral("しろ")}), 0);
  ASSERT_TRUE(WaitUntil("the external search", [&] { return ops == std::vector<std::string>{"GaibuSearch"}; })) << ::testing::PrintToString(ops);
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("しろ"));

  EXPECT_EQ(post({QStringLiteral("--post"), QStringLiteral("1529")}), 0);
  ASSERT_TRUE(WaitUntil("the box emptied", [&] { return inside->cbSearchWord->currentText().isEmpty(); }));
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

// Runs in a process of its own, before anything of it reached the bus.
TEST(EditorLinkWithoutBusTest, F2AndF3SayTheLinkIsUnavailable) {
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("XDG_RUNTIME_DIR");
  if (windows::WindowBusAvailable()) GTEST_SKIP() << "this process reached the bus before; run the test on its own";
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr ? tmp : "/tmp") + "/tavo-nobus-XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  const char* pattern = folder.c_str();
  setenv("TAVO_WINDIR", pattern, 1);
  ui::SetModalScripting(true);
  ui::ClearModalHistory();
  {
    TMainForm form;
    form.show();
    TMainFormTestAccess inside(form);
    inside.AddGrid2Line("001:01 x", "/a.rut", 1, 1);
    form.SetEditorPath(TAVO_STANDIN_EDITOR);
    inside.Grid2->SetRow(0);
    form.Action3Execute();
    form.Action1Execute();
    ASSERT_EQ(ui::ModalHistory().size(), 2u);
    for (const ui::ModalCall& call : ui::ModalHistory())
      EXPECT_EQ(call.text, QStringLiteral("セッションバスに接続できないため、たぼーとの連携は使えません。"));
    EXPECT_TRUE(FileExists(std::string(pattern) + "/__TAVO.TMP"));
  }
  ui::SetModalScripting(false);
  std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace tavo::test
