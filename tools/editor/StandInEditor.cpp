// A stand-in for the braille editor, for trying and testing the link with
// the dictionary tool. It speaks the editor's side of the hand-over:
//
//   tavo_standin_editor [--class CLASS] [--log FILE] [DOCUMENT[,PAGE,LINE]]
//     shows a window of class CLASS (default AfxFrameOrView42s) captioned
//     "たぼー - DOCUMENT" ("たぼー" without a document). The tool starts the
//     editor with "path,page,line" as its one argument. Each message 1530 is
//     answered by reading "__TAVO.TMP" and logging what it says; the window
//     shows the log, and --log (else $TAVO_STANDIN_LOG, which reaches an
//     editor that the tool starts) appends it to FILE too (UTF-8, one line
//     per event: "start ARGUMENT", "1530 FILE,PAGE,LINE"). Its word box and
//     buttons hand a word to the tool as the editor does.
//
//   tavo_standin_editor --post 1528|1529|1535 [--word WORD]
//     hands WORD to a running tool without showing a window: writes it into
//     "__DIC.TMP" (not for 1529) and posts the message to the tool's main
//     window. Exit status 0 when posted, 1 when no tool window was found,
//     2 without a session bus.
//
// Both hand-over files lie in the tool's settings folder ($TAVO_WINDIR, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/tavo).
#include <QApplication>
#include <QBoxLayout>
#include <QCommandLineParser>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>

#include <cstdio>

#include "platform/files/Files.h"
#include "platform/files/PrivateProfile.h"
#include "platform/text/QtText.h"
#include "platform/ui/WindowMessage.h"
#include "platform/windows/TopWindows.h"
#include "platform/windows/WindowPublisher.h"

namespace {

constexpr unsigned kDicSearch = 1528;
constexpr unsigned kSearchReset = 1529;
constexpr unsigned kOpenHitLine = 1530;
constexpr unsigned kGaibuSearch = 1535;

std::string Sj(const QString& text) { return tavo::ToCp932(text).value_or(std::string()); }

// Writes the word for the tool and posts the request to its main window.
int HandToTool(unsigned msg, const QString& word, QString& told) {
  if (!tavo::windows::WindowBusAvailable()) {
    told = QStringLiteral("セッションバスがありません。");
    return 2;
  }
  if (msg != kSearchReset) {
    const auto bytes = tavo::ToCp932(word);
    if (!bytes) {
      told = QStringLiteral("Shift-JIS で書けない文字があります。");
      return 1;
    }
    tavo::EnsureWindowsFolder();
    const std::string path = tavo::WindowsFolder() + "/__DIC.TMP";
    if (tavo::WriteFileAtomic(path, *bytes + "\r\n") != 0) {
      told = QStringLiteral("__DIC.TMP を書けません。");
      return 1;
    }
  }
  const tavo::windows::WindowHandle tool = tavo::windows::FindWindow(std::string("TMainForm"), std::nullopt);
  if (tool.empty() || !tavo::windows::PostMessage(tool, msg, 0, 0)) {
    told = QStringLiteral("TavoDic が見つかりません。");
    return 1;
  }
  told = QStringLiteral("%1 を送りました。").arg(msg);
  return 0;
}

class StandInEditor : public QMainWindow {
 public:
  StandInEditor(const QString& document, QString logPath) : logPath_(std::move(logPath)) {
    setWindowTitle(document.isEmpty() ? QStringLiteral("たぼー") : QStringLiteral("たぼー - ") + document);
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("語句(&W)"), central);
    word_ = new QLineEdit(central);
    word_->setAccessibleName(QStringLiteral("TavoDic へ渡す語句"));
    label->setBuddy(word_);
    row->addWidget(label);
    row->addWidget(word_, 1);
    const std::pair<const char*, unsigned> buttons[] = {
        {"辞書検索 (&1528)", kDicSearch}, {"外部検索 (&1535)", kGaibuSearch}, {"リセット (&1529)", kSearchReset}};
    for (const auto& [text, msg] : buttons) {
      auto* b = new QPushButton(QString::fromUtf8(text), central);
      connect(b, &QPushButton::clicked, this, [this, msg = msg] {
        QString told;
        HandToTool(msg, word_->text(), told);
        Log(told);
      });
      row->addWidget(b);
    }
    v->addLayout(row);
    log_ = new QPlainTextEdit(central);
    log_->setReadOnly(true);
    log_->setAccessibleName(QStringLiteral("受け取ったもの"));
    v->addWidget(log_, 1);
    setCentralWidget(central);
    resize(560, 300);
  }

  void Log(const QString& line) {
    log_->appendPlainText(line);
    if (logPath_.isEmpty()) return;
    QFile file(logPath_);
    if (!file.open(QIODevice::Append | QIODevice::Text)) return;
    QTextStream(&file) << line << '\n';
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() != tavo::ui::WindowMessageEvent::Type()) return QMainWindow::event(e);
    const auto* m = static_cast<const tavo::ui::WindowMessageEvent*>(e);
    if (m->Msg == kOpenHitLine) {
      const std::string section = Sj(QStringLiteral("検索ヒット行情報"));
      auto read = [&](const QString& key) {
        return tavo::FromCp932(tavo::GetPrivateProfileString(section, Sj(key), "", "__TAVO.TMP"));
      };
      Log(QStringLiteral("1530 %1,%2,%3")
              .arg(read(QStringLiteral("ファイル名")), read(QStringLiteral("ページ")), read(QStringLiteral("行"))));
    }
    return true;
  }

 private:
  QString logPath_;
  QLineEdit* word_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
};

// The document of the argument "path,page,line": the path may hold commas
// itself, so page and line are taken from the end.
QString DocumentOf(const QString& argument) {
  const qsizetype line = argument.lastIndexOf(QLatin1Char(','));
  if (line <= 0) return argument;
  const qsizetype page = argument.lastIndexOf(QLatin1Char(','), line - 1);
  if (page <= 0) return argument;
  bool numbers = false;
  argument.mid(page + 1, line - page - 1).toInt(&numbers);
  if (numbers) argument.mid(line + 1).toInt(&numbers);
  return numbers ? argument.left(page) : argument;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  const QCommandLineOption classOption(QStringLiteral("class"), QStringLiteral("window class"), QStringLiteral("CLASS"),
                                       QStringLiteral("AfxFrameOrView42s"));
  const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("log file"), QStringLiteral("FILE"));
  const QCommandLineOption postOption(QStringLiteral("post"), QStringLiteral("message to post"), QStringLiteral("MSG"));
  const QCommandLineOption wordOption(QStringLiteral("word"), QStringLiteral("word to hand over"), QStringLiteral("WORD"));
  parser.addOptions({classOption, logOption, postOption, wordOption});
  parser.addPositionalArgument(QStringLiteral("document"), QStringLiteral("path[,page,line]"));
  parser.process(app);

  if (parser.isSet(postOption)) {
    const unsigned msg = parser.value(postOption).toUInt();
    if (msg != kDicSearch && msg != kSearchReset && msg != kGaibuSearch) {
      std::fprintf(stderr, "--post takes 1528, 1529 or 1535\n");
      return 2;
    }
    QString told;
    const int rc = HandToTool(msg, parser.value(wordOption), told);
    std::fprintf(rc == 0 ? stdout : stderr, "%s\n", told.toUtf8().constData());
    return rc;
  }

  tavo::windows::PublishTopLevelWindows();
  const QString argument = parser.positionalArguments().value(0);
  const QString log = parser.isSet(logOption) ? parser.value(logOption) : qEnvironmentVariable("TAVO_STANDIN_LOG");
  StandInEditor editor(DocumentOf(argument), log);
  tavo::windows::SetWindowClassName(&editor, parser.value(classOption).toStdString());
  editor.Log(QStringLiteral("start ") + argument);
  editor.show();
  return app.exec();
}
