// The keyboard and mouse model of the program's forms, on top of Qt:
//
// - Enter without modifiers, in a control that does not take Enter itself,
//   presses a button: the focused push or glyph button when one has the
//   focus, otherwise the first enabled default button in the order they were
//   added. Esc without modifiers presses the enabled cancel button. A key so
//   used is consumed: the control sees neither its key-down nor its
//   key-press (its key-up still comes).
// - Every other key reaches the control's key-down handler, then (when it
//   types a character) its key-press handler, then the control itself. A
//   key-down handler that sets the key to 0 consumes the key; a key-press
//   handler that sets the character to 0 discards only the character: the
//   key still reaches the control without it, so Tab still moves the focus
//   and Space still presses a button. Key-up handlers run on release (not
//   on auto-repeat).
// - Mouse-down handlers run when a mouse button is pressed on an enabled
//   control, before the control acts on the press (a click comes later).
// - The button that Enter would press now is the form's one default button,
//   drawn and announced so (AT-SPI is-default); no other push button of the
//   form is one, and none while the focused control takes Enter itself.
//   A form's own handling of an Enter that a control let through (a
//   dialog's default button) never presses a second button.
// - A menu bar with the keyboard focus, an open popup, or an editor that an
//   item view opened on an item (a name edited in place), keeps Enter and
//   Esc for itself.
// - An Enter that commits an input-method composition is left to the input
//   method: it presses no button.
//
// Events of child widgets (the line edit inside an editable combo box) count
// as events of the registered control they belong to. UI thread only.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <map>
#include <vector>

class QAbstractButton;
class QPushButton;
class QWidget;

namespace tavo::ui {

using KeyHandler = std::function<void(int& key, Qt::KeyboardModifiers modifiers)>;
using KeyPressHandler = std::function<void(QChar& ch)>;
using MouseHandler = std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos)>;

class FormKeys : public QObject {
 public:
  // Installs itself on the application; the form owns it (parent).
  explicit FormKeys(QWidget* form);
  ~FormKeys() override;

  void AddDefaultButton(QAbstractButton* button);
  void SetCancelButton(QAbstractButton* button);
  // A control that uses Enter itself (a multi-line editor, say).
  void SetTakesEnter(QWidget* control, bool takes);

  void OnKeyDown(QWidget* control, KeyHandler handler);
  void OnKeyPress(QWidget* control, KeyPressHandler handler);
  void OnKeyUp(QWidget* control, KeyHandler handler);
  void OnMouseDown(QWidget* control, MouseHandler handler);

  // Enter or Esc as the form would take it; true when a button was pressed.
  bool DialogKey(int key, Qt::KeyboardModifiers modifiers);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Handlers {
    KeyHandler keyDown, keyUp;
    KeyPressHandler keyPress;
    MouseHandler mouseDown;
  };
  QWidget* ControlOf(QWidget* w) const;
  bool TakesEnter(QWidget* w) const;
  bool ControlTakesEnter(QWidget* w) const;
  // The button Enter presses with the focus on `focus` (a control of the
  // form, or nullptr), or nullptr for none.
  QAbstractButton* EnterButton(QWidget* focus) const;
  void ShowDefault();
  // Every push button of the form leaves the choice of default to ShowDefault.
  void TakeOverDefaults();

  QWidget* form_;
  std::vector<QAbstractButton*> defaults_;
  QAbstractButton* cancel_ = nullptr;
  QPointer<QPushButton> shownDefault_;  // the one push button marked default
  std::map<QWidget*, Handlers> handlers_;
  std::map<QWidget*, bool> takesEnter_;
  bool composing_ = false;
  const QEvent* passing_ = nullptr;  // a bare key on its way, not to be filtered again
};

// The FormKeys of a form, or nullptr.
FormKeys* FormKeysOf(QWidget* form);

}  // namespace tavo::ui
