#include "platform/ui/AccessibleNames.h"

#include <QAbstractButton>
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

constexpr const char* kRadioButton = "tavoRadioButton";

class RadioButton : public QAccessibleWidget {
 public:
  explicit RadioButton(QAbstractButton* b) : QAccessibleWidget(b, QAccessible::RadioButton) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Description) return QAccessibleWidget::text(t);
    // Not the tool tip, nor a hint that only says the name again.
    const QString description = widget()->accessibleDescription();
    return description == widget()->accessibleName() ? QString() : description;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = Button()->isChecked();
    return s;
  }
  QStringList actionNames() const override {
    if (!Button()->isEnabled()) return {};
    return {pressAction(), toggleAction()};
  }
  void doAction(const QString& action) override {
    if (Button()->isEnabled() && (action == pressAction() || action == toggleAction())) Button()->click();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* RadioButtonFactory(const QString&, QObject* object) {
  auto* b = qobject_cast<QAbstractButton*>(object);
  if (b == nullptr || !b->property(kRadioButton).toBool()) return nullptr;
  return new RadioButton(b);
}

}  // namespace

void SetAccessibleRadioButton(QAbstractButton* button, const QString& name) {
  QAccessible::installFactory(RadioButtonFactory);  // once; a second install is ignored
  if (!button->property(kRadioButton).toBool()) {
    button->setProperty(kRadioButton, true);
    RenewAccessibleInterface(button);
  }
  button->setAccessibleName(name);
}

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
