#include "dictool/UnstorableText.h"

#include "platform/text/QtText.h"

namespace tavo {

QString UnstorableReason(ProfileValueProblem problem) {
  switch (problem) {
    case ProfileValueProblem::kLineBreak:
      return QStringLiteral("名前に改行を含む");
    case ProfileValueProblem::kBlankAtEnd:
      return QStringLiteral("先頭か末尾に空白がある");
    case ProfileValueProblem::kTooLong:
      return QStringLiteral("%1 バイトを超える").arg(kProfileValueMax);
    case ProfileValueProblem::kNotCp932:
      return QStringLiteral("Shift-JIS にない文字を含む");
    case ProfileValueProblem::kNone:
      break;
  }
  return QString();
}

QString ShownValue(std::string_view cp932, int chars) {
  QString shown = FromCp932(cp932);
  if (shown.size() > chars) shown = shown.left(chars) + QStringLiteral("…");
  return shown.replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

}  // namespace tavo
