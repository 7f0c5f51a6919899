#include "folderbrowse/ZuShellDragQt.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include "folderbrowse/ZuShellFileOpQt.h"
#include "folderbrowse/ZuShellPopupMenu.h"
#include "folderbrowse/ZuShellPopupQt.h"
#include "platform/shell/CopyJournal.h"
#include "platform/shell/ShellContextMenu.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"

namespace tavo {
namespace {

QString Latin(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

// The formats the controls exchange; text/plain is Qt's name of UTF-8 text.
const std::string_view kFormats[] = {kShellIDListFormat, kUriListFormat, kCopiedFilesFormat};

// While a drag out of a control runs, a further button pressed asks the
// drop source whether to go on (QueryContinueDrag): with both buttons held
// the drag ends without a drop. Qt's own loop ends a drag on Escape and
// drops when the button goes up.
class TDragSourceGuard final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::MouseButtonPress) return false;
    const auto* press = static_cast<const QMouseEvent*>(e);
    if (QueryContinueDrag(false, KeyStateOf(press->buttons(), press->modifiers())) == DRAGDROP_S_CANCEL)
      QDrag::cancel();
    return true;  // the drag holds the mouse: no control acts on the press
  }
};

}  // namespace

ShellDataObject ShellDataOf(const QMimeData* mime) {
  ShellDataObject data;
  if (mime == nullptr) return data;
  for (std::string_view f : kFormats) {
    const QString format = Latin(f);
    if (mime->hasFormat(format)) data.SetData(f, mime->data(format).toStdString());
  }
  if (mime->hasText()) data.SetData(kPlainTextFormat, mime->text().toStdString());
  return data;
}

QMimeData* MimeDataOf(const ShellDataObject& data) {
  auto* mime = new QMimeData;
  for (const auto& [format, bytes] : data.Formats()) {
    if (format == kPlainTextFormat) {
      mime->setText(QString::fromStdString(bytes));
    } else {
      mime->setData(QString::fromStdString(format), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
  }
  return mime;
}

std::uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  std::uint32_t k = 0;
  if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) k |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) k |= MK_CONTROL;
  if (modifiers & Qt::AltModifier) k |= MK_ALT;
  return k;
}

std::uint32_t EffectsOf(Qt::DropActions actions) {
  std::uint32_t e = 0;
  if (actions & Qt::CopyAction) e |= DROPEFFECT_COPY;
  if (actions & Qt::MoveAction) e |= DROPEFFECT_MOVE;
  if (actions & Qt::LinkAction) e |= DROPEFFECT_LINK;
  return e;
}

Qt::DropActions DropActionsOf(std::uint32_t effects) {
  Qt::DropActions a;
  if (effects & DROPEFFECT_COPY) a |= Qt::CopyAction;
  if (effects & DROPEFFECT_MOVE) a |= Qt::MoveAction;
  if (effects & DROPEFFECT_LINK) a |= Qt::LinkAction;
  return a;
}

Qt::DropAction DropActionOf(std::uint32_t effect) {
  if (effect & DROPEFFECT_MOVE) return Qt::MoveAction;
  if (effect & DROPEFFECT_COPY) return Qt::CopyAction;
  if (effect & DROPEFFECT_LINK) return Qt::LinkAction;
  return Qt::IgnoreAction;
}

void RunShellDrag(QWidget* source, const TShellDragStart& start) {
  const Qt::DropActions actions = DropActionsOf(start.AllowedEffects);
  if (!actions) return;
  // Both buttons held already: the drag would end as it began.
  if (QueryContinueDrag(false, KeyStateOf(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers())) ==
      DRAGDROP_S_CANCEL)
    return;
  TDragSourceGuard guard;
  qApp->installEventFilter(&guard);
  auto* drag = new QDrag(source);
  drag->setMimeData(MimeDataOf(start.Data));
  drag->exec(actions, actions & Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction);
  qApp->removeEventFilter(&guard);
}

void InstallShellQtServices() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // Copies that a killed run left part-way are removed before any new one.
  RemoveStrandedCopies();
  ShellQuestions q;
  q.ChooseEffect = [](std::uint32_t allowed, std::uint32_t proposed, DropPoint pt) -> std::uint32_t {
    QMenu menu;
    menu.setAccessibleName(QStringLiteral("ドロップの操作"));
    QAction* copy = (allowed & DROPEFFECT_COPY) ? menu.addAction(QStringLiteral("ここにコピー(&C)")) : nullptr;
    QAction* move = (allowed & DROPEFFECT_MOVE) ? menu.addAction(QStringLiteral("ここに移動(&M)")) : nullptr;
    menu.addSeparator();
    menu.addAction(QStringLiteral("キャンセル"));
    QAction* preferred = proposed == DROPEFFECT_MOVE ? move : copy;
    if (preferred != nullptr) menu.setDefaultAction(preferred);
    QAction* chosen = menu.exec(QPoint(pt.x, pt.y), preferred);
    if (chosen != nullptr && chosen == copy) return DROPEFFECT_COPY;
    if (chosen != nullptr && chosen == move) return DROPEFFECT_MOVE;
    return DROPEFFECT_NONE;
  };
  q.ReportUndone = [](FileOpKind kind, const std::vector<FileOpItem>& undone) {
    ui::MessageBox(QApplication::activeWindow(), UndoneText(kind, undone), QStringLiteral("ファイルの操作"),
                   ui::MB_OK | ui::MB_ICONWARNING);
  };
  q.RunFileOperation = RunFileOperationWithProgress;
  q.ReportRenameRefused = [](const std::string& name, int error) {
    ui::MessageBox(QApplication::activeWindow(), RenameRefusedText(name, error), QStringLiteral("名前の変更"),
                   ui::MB_OK | ui::MB_ICONWARNING);
  };
  SetShellQuestions(std::move(q));
  ShellClipboardAccess c;
  c.Get = [] { return ShellDataOf(QApplication::clipboard()->mimeData()); };
  c.Set = [](const ShellDataObject& data) { QApplication::clipboard()->setMimeData(MimeDataOf(data)); };
  SetShellClipboard(std::move(c));
  SetDefaultShellMenuTracker(TrackShellMenu);
}

}  // namespace tavo
