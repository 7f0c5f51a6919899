#include "folderbrowse/ZuShellItemModel.h"

#include <QPainter>

#include <map>
#include <tuple>

#include "platform/shell/ShellIcons.h"

namespace tavo {

namespace {

// The overlay over the lower left quarter of the picture.
QPixmap WithOverlay(QPixmap pm, int overlayIndex) {
  if (pm.isNull()) return pm;
  const int side = qRound(pm.height() / pm.devicePixelRatio());
  const QPixmap overlay = ui::ShellOverlayPixmap(overlayIndex, side / 2);
  if (overlay.isNull()) return pm;
  QPainter p(&pm);
  p.drawPixmap(QRect(0, side - side / 2, side / 2, side / 2), overlay);
  return pm;
}

}  // namespace

QIcon ShellItemIcon(int iconIndex, int openIconIndex, int overlayIndex) {
  static std::map<std::tuple<int, int, int>, QIcon> made;
  const std::tuple<int, int, int> key(iconIndex, openIconIndex, overlayIndex);
  auto it = made.find(key);
  if (it != made.end()) return it->second;
  QIcon icon;
  for (const int size : {16, 32}) {
    icon.addPixmap(WithOverlay(ui::ShellIconPixmap(iconIndex, size), overlayIndex), QIcon::Normal);
    icon.addPixmap(WithOverlay(ui::ShellIconPixmap(openIconIndex, size), overlayIndex), QIcon::Selected);
  }
  return made.emplace(key, icon).first->second;
}

QIcon ShellItemIcon(TShellDataItem& item) { return ShellItemIcon(item.GetIconIndex(), item.GetOpenIconIndex()); }

}  // namespace tavo
