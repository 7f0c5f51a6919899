#include "platform/ui/MenuHints.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QPointer>

#include "platform/ui/AccessibleNames.h"

namespace tavo::ui {
namespace {

constexpr const char* kMenuHint = "tavoMenuHint";

QString StripAccessKey(QString text) {
  text = text.section(QLatin1Char('\t'), 0, 0);
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// A menu entry as Qt presents one (its name without the access mark, its
// state, its sub-menu, press and show-menu), with its hint as description.
class HintedMenuEntry : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit HintedMenuEntry(QAction* action) : action_(action) {}

  bool isValid() const override { return action_ != nullptr && Menu() != nullptr; }
  QObject* object() const override { return action_; }
  QWindow* window() const override { return Menu() != nullptr ? Menu()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Menu()); }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && SubMenu() != nullptr ? QAccessible::queryAccessibleInterface(SubMenu()) : nullptr;
  }
  int childCount() const override { return SubMenu() != nullptr ? 1 : 0; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && SubMenu() != nullptr && child->object() == SubMenu() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (!isValid()) return {};
    switch (t) {
      case QAccessible::Name:
        return StripAccessKey(action_->text());
      case QAccessible::Description:
        return action_->property(kMenuHint).toString();
      case QAccessible::Accelerator:
        return action_->text().section(QLatin1Char('\t'), 1);
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QMenu* menu = Menu();
    if (menu == nullptr) return {};
    const QRect r = menu->actionGeometry(action_);
    return QRect(menu->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override {
    return action_ != nullptr && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    QMenu* menu = Menu();
    if (action_ == nullptr || menu == nullptr) {
      s.invalid = true;
      return s;
    }
    s.focusable = true;
    s.focused = menu->activeAction() == action_;
    s.invisible = !action_->isVisible() || !menu->isVisible();
    s.disabled = !action_->isEnabled();
    s.checkable = action_->isCheckable();
    s.checked = action_->isChecked();
    s.hasPopup = SubMenu() != nullptr;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override {
    if (!isValid() || !action_->isEnabled() || action_->isSeparator()) return {};
    return {SubMenu() != nullptr ? showMenuAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    if (!actionNames().contains(name)) return;
    if (name == pressAction()) action_->trigger();
    else Menu()->setActiveAction(action_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QMenu* Menu() const {
    if (action_ == nullptr) return nullptr;
    for (QObject* o : action_->associatedObjects())
      if (auto* menu = qobject_cast<QMenu*>(o); menu != nullptr && menu->menuAction() != action_) return menu;
    return nullptr;
  }
  QMenu* SubMenu() const { return action_ != nullptr ? action_->menu() : nullptr; }

  QPointer<QAction> action_;
};

QAccessibleInterface* HintedMenuEntryFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QAction")) return nullptr;
  auto* action = qobject_cast<QAction*>(object);
  if (action == nullptr || !action->property(kMenuHint).isValid()) return nullptr;
  return new HintedMenuEntry(action);
}

}  // namespace

void SetMenuHint(QAction* action, const QString& hint) {
  QAccessible::installFactory(HintedMenuEntryFactory);  // once; a second install is ignored
  const QString shown = hint.trimmed();
  action->setStatusTip(hint);
  action->setToolTip(shown);  // a menu shows only a tool tip that was set
  const bool had = action->property(kMenuHint).isValid();
  action->setProperty(kMenuHint, shown);
  if (!had) RenewAccessibleInterface(action);  // one made before would bear no description
}

}  // namespace tavo::ui
