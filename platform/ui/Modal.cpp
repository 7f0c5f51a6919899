#include "platform/ui/Modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <deque>

namespace tavo::ui {
namespace {

bool g_scripting = false;
std::deque<ModalScript> g_scripts;
std::vector<ModalCall> g_history;
int g_unscripted = 0;

// Runs the next script, or answers Cancel and counts the showing when there
// is none: a test must never hang in a modal loop.
int RunScript(ModalCall& call, int cancelAnswer) {
  g_history.push_back(call);
  if (g_scripts.empty()) {
    ++g_unscripted;
    return cancelAnswer;
  }
  ModalScript script = std::move(g_scripts.front());
  g_scripts.pop_front();
  return script(call);
}

QString AppTitle() {
  QString t = QGuiApplication::applicationDisplayName();
  return t.isEmpty() ? QCoreApplication::applicationName() : t;
}

}  // namespace

TModalForm::TModalForm(QWidget* parent) : QDialog(parent) {}

void TModalForm::SetModalResult(int result) {
  modalResult_ = result;
  if (result != mrNone) done(result);
}

void TModalForm::AddModalButton(QAbstractButton* button, int result) {
  // Connected before any handler the form adds later, so the result is set
  // when the handler runs; the form closes once the click is over.
  connect(button, &QAbstractButton::clicked, this, [this, result] { modalResult_ = result; });
  // A handler that puts the result back to mrNone keeps the form open.
  connect(
      button, &QAbstractButton::clicked, this,
      [this] {
        if (modalResult_ != mrNone) done(modalResult_);
      },
      Qt::QueuedConnection);
}

void TModalForm::done(int r) {
  modalResult_ = r == QDialog::Rejected ? mrCancel : r;
  QDialog::done(modalResult_);
}

void TModalForm::reject() { done(mrCancel); }

void SetModalScripting(bool on) {
  g_scripting = on;
  if (!on) g_scripts.clear();
}

bool ModalScripting() { return g_scripting; }

void PushModalScript(ModalScript script) { g_scripts.push_back(std::move(script)); }

int UnscriptedModalCount() { return g_unscripted; }

const std::vector<ModalCall>& ModalHistory() { return g_history; }

void ClearModalHistory() {
  g_history.clear();
  g_unscripted = 0;
}

int ShowModal(QDialog* form) {
  auto* modal = qobject_cast<TModalForm*>(form);
  if (!g_scripting) {
    if (modal != nullptr) modal->SetModalResult(mrNone);
    int r = form->exec();
    if (modal != nullptr) return modal->ModalResult();
    return r == QDialog::Accepted ? mrOk : mrCancel;
  }
  QPointer<QDialog> guard(form);
  if (modal != nullptr) modal->SetModalResult(mrNone);
  form->setResult(mrNone);
  form->show();  // runs the form's show handler, as a real showing would
  ModalCall call;
  call.kind = ModalCall::Form;
  call.form = form;
  int answer = RunScript(call, mrCancel);
  // Let queued closes of clicked modal buttons land.
  QCoreApplication::processEvents();
  if (guard.isNull()) return answer;
  int result = modal != nullptr ? modal->ModalResult() : form->result();
  if (result == mrNone) result = answer;
  if (form->isVisible()) form->hide();
  return result;
}

int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
  if (g_scripting) {
    ModalCall call;
    call.kind = ModalCall::Message;
    call.text = text;
    call.caption = caption;
    call.flags = flags;
    return RunScript(call, (flags & 0x0F) == MB_OKCANCEL ? IDCANCEL : IDOK);
  }
  QMessageBox box(owner != nullptr ? owner->window() : nullptr);
  box.setText(text);
  box.setWindowTitle(caption);
  switch (flags & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  QAbstractButton* ok = box.addButton(QMessageBox::Ok);
  QAbstractButton* cancel = nullptr;
  if ((flags & 0x0F) == MB_OKCANCEL) cancel = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(static_cast<QPushButton*>(ok));
  box.setEscapeButton(cancel != nullptr ? cancel : ok);
  box.exec();
  return box.clickedButton() == ok ? IDOK : IDCANCEL;
}

void ShowMessage(const QString& text) { MessageBox(QApplication::activeWindow(), text, AppTitle(), MB_OK); }

void ShowErrorBox(const QString& text) {
  MessageBox(QApplication::activeWindow(), text, AppTitle(), MB_OK | MB_ICONERROR);
}

void CenterOnScreen(QWidget* form) {
  if (QScreen* screen = QGuiApplication::primaryScreen()) form->move(screen->geometry().center() - form->rect().center());
}

int RunDialog(ModalCall call, const std::function<int()>& real) {
  if (!g_scripting) return real();
  return RunScript(call, mrCancel);
}

}  // namespace tavo::ui
