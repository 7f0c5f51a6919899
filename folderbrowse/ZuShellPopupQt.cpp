#include "folderbrowse/ZuShellPopupQt.h"

#include <QMenu>

#include "platform/text/QtText.h"

namespace tavo {
namespace {

void Fill(QMenu& qmenu, const std::vector<ShellMenuItem>& items) {
  for (const ShellMenuItem& item : items) {
    if (item.separator) {
      qmenu.addSeparator();
      continue;
    }
    QString text = FromCp932(item.text);
    if (!item.shortcut.empty()) text += QStringLiteral("\t") + FromCp932(item.shortcut);
    if (!item.subMenu.empty()) {
      QMenu* sub = qmenu.addMenu(text);
      Fill(*sub, item.subMenu);
      sub->setEnabled(item.enabled);
      continue;
    }
    QAction* a = qmenu.addAction(text);
    a->setData(item.command);
    a->setEnabled(item.enabled);
    if (item.checked || item.radio) {
      a->setCheckable(true);
      a->setChecked(item.checked);
    }
    if (item.isDefault) qmenu.setDefaultAction(a);
  }
}

}  // namespace

int TrackShellMenu(const std::vector<ShellMenuItem>& menu, DropPoint pt) {
  QMenu qmenu;
  qmenu.setAccessibleName(QStringLiteral("ショートカット メニュー"));
  Fill(qmenu, menu);
  QAction* chosen = qmenu.exec(QPoint(pt.x, pt.y), qmenu.defaultAction());
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

}  // namespace tavo
