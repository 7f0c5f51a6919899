#include "platform/ui/AccessibleNames.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace tavo::ui {
namespace {

constexpr const char* kNamedCombo = "tavoNamedCombo";

// A combo box as Qt's own interface presents it (its drop-down list, then
// its edit field; expandable; show-menu and press open the list), except
// that its name is its accessible name.
class NamedComboBox : public QAccessibleWidget {
 public:
  explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  int childCount() const override { return Box()->isEditable() ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(Box()->view());
    if (index == 1 && Box()->isEditable()) return QAccessible::queryAccessibleInterface(Box()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    if (child->object() == Box()->view()) return 0;
    if (Box()->isEditable() && child->object() == Box()->lineEdit()) return 1;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    if (Box()->isEditable() && Box()->lineEdit()->geometry().translated(Box()->mapToGlobal(QPoint())).contains(x, y))
      return child(1);
    return nullptr;
  }
  // The edit field is where the typing goes, though the box holds the focus.
  QAccessibleInterface* focusChild() const override { return Box()->isEditable() ? child(1) : nullptr; }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Box()->currentText();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = Box()->view()->isVisible();
    s.editable = Box()->isEditable();
    return s;
  }

  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) return;
    if (Box()->view()->isVisible()) Box()->hidePopup();
    else Box()->showPopup();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedComboFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QComboBox")) return nullptr;
  auto* box = qobject_cast<QComboBox*>(object);
  if (box == nullptr || !box->property(kNamedCombo).toBool()) return nullptr;
  return new NamedComboBox(box);
}

}  // namespace

void SetAccessibleName(QWidget* control, const QString& name) {
  if (auto* box = qobject_cast<QComboBox*>(control)) {
    QAccessible::installFactory(NamedComboFactory);  // once; a second install is ignored
    if (!box->property(kNamedCombo).toBool()) {
      box->setProperty(kNamedCombo, true);
      RenewAccessibleInterface(box);  // one made before would name the box by its text
    }
    if (box->isEditable()) box->lineEdit()->setAccessibleName(name);
    box->view()->setAccessibleName(name);
  }
  control->setAccessibleName(name);
}

void RenewAccessibleInterface(QObject* object) {
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(object))
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

}  // namespace tavo::ui
