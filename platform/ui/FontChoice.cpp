#include "platform/ui/FontChoice.h"

#include <QFontInfo>
#include <QStringList>

namespace tavo::ui {

QFont FontToOffer(const QFont& current) {
  QFont offered = current;
  offered.setFamilies({QFontInfo(current).family()});
  return offered;
}

QFont FontChosen(const QFont& current, const QFont& answer) {
  if (answer.family().compare(QFontInfo(current).family(), Qt::CaseInsensitive) != 0) return answer;
  QFont kept = answer;
  kept.setFamilies(current.families().isEmpty() ? QStringList{current.family()} : current.families());
  return kept;
}

}  // namespace tavo::ui
