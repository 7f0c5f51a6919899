#include "dictool/SearchMessages.h"

#include <QWidget>

#include <cerrno>

#include "dictool/Main.h"
#include "platform/system/OSError.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"

namespace tavo {
namespace {

QString ReadErrorText(int error) {
  switch (error) {
    case EISDIR: return QStringLiteral("フォルダーです");
    case EINVAL: return QStringLiteral("通常のファイルではありません");
    case EACCES:
    case EPERM: return QStringLiteral("読み取りが許可されていません");
    case EIO: return QStringLiteral("入出力エラーが起きました");
    case ENOENT: return QStringLiteral("ありません");
    case ENAMETOOLONG: return QStringLiteral("パスが長すぎます");
    case ENOTDIR: return QStringLiteral("フォルダーではありません");
    default: return QString::fromStdString(SysErrorMessage(error));
  }
}

// A half-width blank after the noun, a full-width one before the rest.
QString Named(const QString& noun, const std::string& cp932Path) { return noun + FromCp932(cp932Path) + QStringLiteral("　"); }

QString LineCutText(PageLine at) {
  return QStringLiteral("には 64 KiB を超える行があり、その行の先は検索していません（最初は %1 ページ %2 行目）。")
      .arg(at.Page)
      .arg(at.Line);
}

QString UnnamedText(int count) {
  return QStringLiteral("名前を Shift-JIS で書けない RUT ファイルが %1 個ありました。"
                        "表示もたぼーへの受け渡しもできないため、検索していません。")
      .arg(count);
}

// Why a file could not be read, without a period.
QString FailureReason(const FileFailure& failure) {
  switch (failure.What) {
    case FileFailure::kHeaderCutShort: return QStringLiteral("RUTE 文書ではありません（512 バイトの見出しが途中で終わっています）");
    case FileFailure::kHeaderNotNumber: return QStringLiteral("RUTE 文書ではありません（見出しの数値の欄が数字ではありません）");
    case FileFailure::kSystem: break;
  }
  return ReadErrorText(failure.Error);
}

}  // namespace

void SearchMessageBoxes::FileMissing(const std::string& path) {
  ui::MessageBox(owner_, Named(noun_, path) + QStringLiteral("が見つかりません。"), TMainForm::SearchErrorCaption(),
                 ui::MB_ICONINFORMATION);
}

void SearchMessageBoxes::FileUnreadable(const std::string& path, const FileFailure& failure) {
  ui::MessageBox(owner_, Named(noun_, path) + QStringLiteral("を読み込めません。\n") + FailureReason(failure) + QStringLiteral("。"),
                 TMainForm::SearchErrorCaption(), ui::MB_ICONWARNING);
}

void SearchMessageBoxes::LineCut(const std::string& path, PageLine at) {
  ui::MessageBox(owner_, Named(noun_, path) + LineCutText(at), TMainForm::SearchErrorCaption(), ui::MB_ICONWARNING);
}

QString SearchProblemsText(const SearchProblems& problems, int maxNamed) {
  if (problems.Count() == 0) return QString();
  QStringList lines{QStringLiteral("検索できなかったファイルがあります。")};
  int named = 0, more = 0;
  const auto add = [&](const QString& sentence) {
    if (named++ < maxNamed) lines << sentence;
    else ++more;
  };
  const QString file = QStringLiteral("ファイル ");
  for (const SearchProblem& p : problems.Documents()) {
    switch (p.What) {
      case SearchProblem::kMissing: add(Named(file, p.Path) + QStringLiteral("が見つかりません。")); break;
      case SearchProblem::kUnreadable:
        add(Named(file, p.Path) + (p.Failure.What == FileFailure::kSystem
                                       ? QStringLiteral("を読み込めません（%1）。").arg(FailureReason(p.Failure))
                                       : QStringLiteral("は ") + FailureReason(p.Failure) + QStringLiteral("。")));
        break;
      case SearchProblem::kLineCut: add(Named(file, p.Path) + LineCutText(p.At)); break;
    }
  }
  for (const UnlistedFolder& f : problems.UnlistedFolders())
    add(QStringLiteral("フォルダー ") + QString::fromUtf8(f.OsPath.c_str()) +
        QStringLiteral("　を開けません（%1）。").arg(ReadErrorText(f.Error)));
  if (more > 0) lines << QStringLiteral("ほかに %1 件あります。").arg(more);
  if (problems.Unnamed() > 0) lines << UnnamedText(problems.Unnamed());
  return lines.join(QLatin1Char('\n'));
}

}  // namespace tavo
