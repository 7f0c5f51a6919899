#include "platform/ui/FormKeys.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "platform/ui/Application.h"

namespace tavo::ui {
namespace {

constexpr const char* kFormKeysProperty = "tavoFormKeys";

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Modifiers that make a key another key: the keypad flag of Enter is not one.
Qt::KeyboardModifiers Significant(Qt::KeyboardModifiers m) { return m & ~Qt::KeypadModifier; }

bool Usable(QAbstractButton* b) { return b != nullptr && b->isEnabled() && b->isVisible(); }

// A button that Enter presses when it has the focus: not a check box, whose
// Enter belongs to the form.
QAbstractButton* PressableButton(QWidget* w) {
  if (auto* b = qobject_cast<QPushButton*>(w)) return b;
  if (auto* b = qobject_cast<QToolButton*>(w)) return b;
  return nullptr;
}

// An editor that an item view opened on one of its items (a name edited in
// place): the widgets inside the view's viewport.
bool InItemEditor(QWidget* w) {
  for (QWidget* p = w; p != nullptr && p->parentWidget() != nullptr; p = p->parentWidget()) {
    QWidget* port = p->parentWidget();
    auto* view = qobject_cast<QAbstractItemView*>(port->parentWidget());
    if (view != nullptr && view->viewport() == port) return true;
  }
  return false;
}

}  // namespace

FormKeys::FormKeys(QWidget* form) : QObject(form), form_(form) {
  form->setProperty(kFormKeysProperty, QVariant::fromValue(static_cast<QObject*>(this)));
  qApp->installEventFilter(this);
}

FormKeys::~FormKeys() { qApp->removeEventFilter(this); }

FormKeys* FormKeysOf(QWidget* form) {
  if (form == nullptr) return nullptr;
  return static_cast<FormKeys*>(form->property(kFormKeysProperty).value<QObject*>());
}

void FormKeys::AddDefaultButton(QAbstractButton* button) {
  defaults_.push_back(button);
  ShowDefault();
}

void FormKeys::SetCancelButton(QAbstractButton* button) { cancel_ = button; }

void FormKeys::SetTakesEnter(QWidget* control, bool takes) {
  takesEnter_[control] = takes;
  ShowDefault();
}

void FormKeys::OnKeyDown(QWidget* control, KeyHandler handler) { handlers_[control].keyDown = std::move(handler); }

void FormKeys::OnKeyPress(QWidget* control, KeyPressHandler handler) {
  handlers_[control].keyPress = std::move(handler);
}

void FormKeys::OnKeyUp(QWidget* control, KeyHandler handler) { handlers_[control].keyUp = std::move(handler); }

void FormKeys::OnMouseDown(QWidget* control, MouseHandler handler) {
  handlers_[control].mouseDown = std::move(handler);
}

QWidget* FormKeys::ControlOf(QWidget* w) const {
  for (QWidget* p = w; p != nullptr && p != form_; p = p->parentWidget())
    if (handlers_.count(p) != 0) return p;
  return nullptr;
}

bool FormKeys::TakesEnter(QWidget* w) const {
  // An open popup uses Enter and Esc itself (to open an item, or to leave
  // the menu).
  return QApplication::activePopupWidget() != nullptr || ControlTakesEnter(w);
}

bool FormKeys::ControlTakesEnter(QWidget* w) const {
  // So does a menu bar that has the keyboard.
  if (qobject_cast<QMenuBar*>(w) != nullptr) return true;
  // An item's editor commits its text on Enter and drops it on Esc.
  if (InItemEditor(w)) return true;
  for (QWidget* p = w; p != nullptr && p != form_; p = p->parentWidget()) {
    auto it = takesEnter_.find(p);
    if (it != takesEnter_.end()) return it->second;
  }
  return false;
}

QAbstractButton* FormKeys::EnterButton(QWidget* focus) const {
  // A focused push or glyph button is the one Enter presses; the default
  // buttons are pressed only while no such button has the focus.
  if (auto* focused = PressableButton(focus); focused != nullptr && focused->window() == form_)
    return Usable(focused) ? focused : nullptr;
  for (QAbstractButton* b : defaults_)
    if (Usable(b)) return b;
  return nullptr;
}

void FormKeys::TakeOverDefaults() {
  // Qt's own choice (a dialog's first button, the focused one) would show
  // or press a button that is not the one Enter presses here.
  for (QPushButton* b : form_->findChildren<QPushButton*>()) {
    if (b->window() != form_) continue;
    if (b->autoDefault()) b->setAutoDefault(false);
    if (b->isDefault() && b != shownDefault_) b->setDefault(false);
  }
}

void FormKeys::ShowDefault() {
  QWidget* focus = form_->focusWidget();
  QAbstractButton* enter = focus != nullptr && ControlTakesEnter(focus) ? nullptr : EnterButton(focus);
  auto* target = qobject_cast<QPushButton*>(enter);
  if (target == shownDefault_) return;
  if (shownDefault_) shownDefault_->setDefault(false);
  shownDefault_ = target;
  if (target != nullptr) target->setDefault(true);
}

bool FormKeys::DialogKey(int key, Qt::KeyboardModifiers modifiers) {
  if (Significant(modifiers) != Qt::NoModifier) return false;
  if (key == Qt::Key_Escape) {
    if (!Usable(cancel_)) return false;
    cancel_->click();
    return true;
  }
  if (!IsEnter(key)) return false;
  QAbstractButton* b = EnterButton(QApplication::focusWidget());
  if (b == nullptr) return false;
  b->click();
  return true;
}

bool FormKeys::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == form_ && type == QEvent::Show) {
    TakeOverDefaults();
    ShowDefault();
    return false;
  }
  if (type == QEvent::FocusIn || type == QEvent::EnabledChange || type == QEvent::ShowToParent ||
      type == QEvent::HideToParent) {
    // The focus moved in the form, or one of its default buttons came or
    // went: Enter may press another button now.
    const bool focus = type == QEvent::FocusIn && watched->isWidgetType() &&
                       static_cast<QWidget*>(watched)->window() == form_;
    if (focus || std::find(defaults_.begin(), defaults_.end(), watched) != defaults_.end()) ShowDefault();
    return false;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress &&
      type != QEvent::InputMethod)
    return false;
  if (event == passing_) return false;  // a key of ours whose character was discarded
  auto* w = qobject_cast<QWidget*>(watched);
  if (w == nullptr || w->window() != form_) return false;
  // An ignored key or mouse event travels on to the parent widgets; act on
  // it only at the widget that got it first. An Enter that reaches the form
  // so was a control's own or pressed a button already: a dialog would
  // press its default button with it.
  if (!ClaimInputEvent()) {
    auto* ke = type == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    return w == form_ && ke != nullptr && IsEnter(ke->key()) && Significant(ke->modifiers()) == Qt::NoModifier;
  }

  if (type == QEvent::InputMethod) {
    auto* im = static_cast<QInputMethodEvent*>(event);
    composing_ = !im->preeditString().isEmpty();
    return false;
  }
  if (type == QEvent::MouseButtonPress) {
    QWidget* control = ControlOf(w);
    // Qt drops a press on a disabled control; so does its handler.
    if (control == nullptr || !control->isEnabled()) return false;
    auto* me = static_cast<QMouseEvent*>(event);
    if (const MouseHandler& h = handlers_[control].mouseDown)
      h(me->button(), me->modifiers(), control->mapFromGlobal(me->globalPosition().toPoint()));
    return false;
  }

  auto* ke = static_cast<QKeyEvent*>(event);
  QPointer<QWidget> control = ControlOf(w);
  if (type == QEvent::KeyRelease) {
    if (ke->isAutoRepeat() || control.isNull()) return false;
    int key = ke->key();
    if (const KeyHandler h = handlers_[control].keyUp) h(key, ke->modifiers());
    return key == 0;
  }

  // Key press: the form's Enter and Esc come first.
  if ((IsEnter(ke->key()) || ke->key() == Qt::Key_Escape) && !TakesEnter(w) && !composing_) {
    if (DialogKey(ke->key(), ke->modifiers())) return true;
  }
  // A push button marked default would press itself on any Enter; the
  // form's Enter has been dealt with above, a modified one presses nothing.
  const bool buttonEnter = IsEnter(ke->key()) && qobject_cast<QPushButton*>(w) != nullptr;
  if (control.isNull()) return buttonEnter;
  int key = ke->key();
  if (const KeyHandler h = handlers_[control].keyDown) {
    h(key, ke->modifiers());
    if (key == 0) return true;
  }
  if (control.isNull() || buttonEnter) return true;  // or the handler destroyed the control
  const QString text = ke->text();
  if (!text.isEmpty()) {
    QChar ch = text.front();
    if (const KeyPressHandler h = handlers_[control].keyPress) {
      h(ch);
      if (ch.isNull()) {
        // Only the character goes: the key itself still moves the focus
        // (Tab) or presses a button (Space), as it does without a handler.
        QKeyEvent bare(QEvent::KeyPress, ke->key(), ke->modifiers(), ke->nativeScanCode(), ke->nativeVirtualKey(),
                       ke->nativeModifiers(), QString(), ke->isAutoRepeat(), ke->count());
        passing_ = &bare;
        QCoreApplication::sendEvent(w, &bare);
        passing_ = nullptr;
        return true;
      }
    }
  }
  return false;
}

}  // namespace tavo::ui
