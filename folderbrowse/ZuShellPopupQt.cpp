#include "folderbrowse/ZuShellPopupQt.h"

#include <QApplication>
#include <QMenu>
#include <QStatusTipEvent>

#include "platform/text/OsPath.h"
#include "platform/text/QtText.h"
#include "platform/ui/MenuHints.h"
#include "platform/ui/ShellIcons.h"

namespace tavo {
namespace {

QIcon PictureOf(const ShellMenuItem& item) {
  if (item.imageIndex >= 0) return ui::ShellIcon(item.imageIndex);
  if (item.bitmap.empty()) return {};
  const std::optional<std::string> os = ToOsPath(item.bitmap);
  return os ? QIcon(QString::fromStdString(*os)) : QIcon();
}

// The hints of the entries of `qmenu` reach the window of `owner` too (its
// status bar), as those of its own menus do.
void TellOwner(QMenu& qmenu, QWidget* owner) {
  if (owner == nullptr) return;
  QObject::connect(&qmenu, &QMenu::hovered, owner, [owner](QAction* action) {
    QStatusTipEvent tip(action->statusTip());
    QCoreApplication::sendEvent(owner, &tip);
  });
}

void Fill(QMenu& qmenu, const std::vector<ShellMenuItem>& items, QWidget* owner) {
  TellOwner(qmenu, owner);
  for (const ShellMenuItem& item : items) {
    if (item.separator) {
      qmenu.addSeparator();
      continue;
    }
    QString text = FromCp932(item.text);
    if (!item.shortcut.empty()) text += QStringLiteral("\t") + FromCp932(item.shortcut);
    QAction* a = nullptr;
    if (!item.subMenu.empty()) {
      QMenu* sub = qmenu.addMenu(PictureOf(item), text);
      Fill(*sub, item.subMenu, owner);
      a = sub->menuAction();
    } else {
      a = qmenu.addAction(PictureOf(item), text);
      a->setData(item.command);
      if (item.checked || item.radio) {
        a->setCheckable(true);
        a->setChecked(item.checked);
      }
      if (item.isDefault) qmenu.setDefaultAction(a);
    }
    a->setEnabled(item.enabled);
    ui::SetMenuHint(a, FromCp932(item.hint));
  }
}

}  // namespace

int TrackShellMenu(const std::vector<ShellMenuItem>& menu, DropPoint pt) {
  QMenu qmenu;
  qmenu.setAccessibleName(QStringLiteral("ショートカット メニュー"));
  qmenu.setToolTipsVisible(true);
  // The control whose menu it is has the focus.
  Fill(qmenu, menu, QApplication::focusWidget());
  QAction* chosen = qmenu.exec(QPoint(pt.x, pt.y), qmenu.defaultAction());
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

}  // namespace tavo
