// Every modal showing of the program goes through this unit: forms, message
// boxes, file and font dialogs. In normal runs each showing is a real modal
// loop. A test switches on scripting: each showing then calls the next queued
// script instead, which may fill the dialog's fields and press its buttons,
// and no nested loop blocks. UI thread only.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;

namespace tavo::ui {

// Modal results of forms.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// Message box flags (the buttons and the icon) and answers.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// A form shown modally. A button bound with AddModalButton sets the form's
// result first, then runs its own click handlers, then the form closes; the
// window's close box and Esc without a cancel button give mrCancel.
class TModalForm : public QDialog {
  Q_OBJECT
 public:
  explicit TModalForm(QWidget* parent = nullptr);

  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result);
  void AddModalButton(QAbstractButton* button, int result);

  void done(int r) override;
  void reject() override;

 private:
  int modalResult_ = mrNone;
};

class TOpenDialog;
class TFontDialog;

// What a script is shown.
struct ModalCall {
  enum Kind { Form, Message, OpenFile, Font };
  Kind kind = Form;
  QDialog* form = nullptr;          // Form
  QString text, caption;            // Message
  unsigned flags = 0;               // Message
  TOpenDialog* openDialog = nullptr;  // OpenFile: set its Files/FileName, answer mrOk
  TFontDialog* fontDialog = nullptr;  // Font: set its Font, answer mrOk
};

// A script answers the showing: for forms the modal result (unless a button
// it clicked set one), for message boxes IDOK or IDCANCEL, for file and font
// dialogs mrOk (accepted) or mrCancel.
using ModalScript = std::function<int(ModalCall&)>;

void SetModalScripting(bool on);
bool ModalScripting();
void PushModalScript(ModalScript script);
// Showings that found no script while scripting was on (answered Cancel),
// and every showing in order, for tests to look at.
int UnscriptedModalCount();
const std::vector<ModalCall>& ModalHistory();
void ClearModalHistory();

// Shows a form modally and answers its modal result.
int ShowModal(QDialog* form);

// A message box with the caption and the buttons and icon of `flags`.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags);

// A plain message box: the program's title as caption, one OK button.
void ShowMessage(const QString& text);

// The standard error box of the application.
void ShowErrorBox(const QString& text);

// Places a form in the middle of the primary screen.
void CenterOnScreen(QWidget* form);

// Internal: runs a file or font dialog through the modal path.
int RunDialog(ModalCall call, const std::function<int()>& real);

}  // namespace tavo::ui
