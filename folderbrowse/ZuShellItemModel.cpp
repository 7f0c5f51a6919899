#include "folderbrowse/ZuShellItemModel.h"

#include <QHash>
#include <QPair>

#include "platform/shell/ShellIcons.h"

namespace tavo {

QIcon ShellItemIcon(int iconIndex, int openIconIndex) {
  static QHash<QPair<int, int>, QIcon> made;
  const QPair<int, int> key(iconIndex, openIconIndex);
  auto it = made.find(key);
  if (it != made.end()) return *it;
  QIcon icon;
  for (const int size : {16, 32}) {
    icon.addPixmap(ui::ShellIconPixmap(iconIndex, size), QIcon::Normal);
    icon.addPixmap(ui::ShellIconPixmap(openIconIndex, size), QIcon::Selected);
  }
  return *made.insert(key, icon);
}

QIcon ShellItemIcon(TShellDataItem& item) { return ShellItemIcon(item.GetIconIndex(), item.GetOpenIconIndex()); }

}  // namespace tavo
