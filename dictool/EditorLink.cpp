// The link to the braille editor: its requests to the tool (window messages
// 1528, 1529 and 1535, and the command line), handing it the hit under the
// cursor of the external result grid (F3), and bringing its window to the
// front (F2). The files and texts of the hand-over are EditorHandOver's; the
// windows are met on the session bus (platform/windows).
#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <QTimer>

#include "dictool/EditorHandOver.h"
#include "dictool/Main.h"
#include "platform/system/Process.h"
#include "platform/system/SysUtils.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/WindowMessage.h"
#include "platform/windows/TopWindows.h"

namespace tavo {
namespace {

// The editor's frame window classes, in the order they are brought up.
constexpr const char* kEditorFrameClasses[] = {"AfxFrameOrView", "AfxFrameOrView42s", "AfxFrameOrView42sd"};

// How often a kept request looks whether the fill or the dialog has ended.
constexpr int kLinkRetryMs = 50;

QString WarningCaption() { return QStringLiteral("警告"); }

void TellLinkUnavailable(QWidget* owner) {
  ui::MessageBox(owner, QStringLiteral("セッションバスに接続できないため、たぼーとの連携は使えません。"),
                 WarningCaption(), ui::MB_ICONWARNING);
}

}  // namespace

bool TMainForm::event(QEvent* e) {
  if (e->type() != ui::WindowMessageEvent::Type()) return QMainWindow::event(e);
  // Only the editor's three requests are acted on; whatever else another
  // program posts is dropped.
  const unsigned msg = static_cast<const ui::WindowMessageEvent*>(e)->Msg;
  if (msg == UM_DICSEARCH || msg == UM_SEARCHRESET || msg == UM_GAIBUSEARCH) ReceiveLinkRequest(LinkRequest{msg, false, QString()});
  return true;
}

std::string TMainForm::ReadTmpSearchWord() { return ReadDicTmpWord(DicTmpPath()); }

void TMainForm::WMDicSearch() { StartLinkSearch(false, FromCp932Exact(ReadTmpSearchWord())); }

void TMainForm::WMGaibuSearch() { StartLinkSearch(true, FromCp932Exact(ReadTmpSearchWord())); }

void TMainForm::StartLinkSearch(bool gaibu, const QString& word) {
  // A paused search gives way to the new one; its file is closed first.
  if (session_.SearchOpen) SearchEnd();
  cbSearchWord->setEditText(word);
  if (gaibu) {
    GaibuSearch(LastFolder);
    return;
  }
  DicSearch();
  PageControl1->setCurrentIndex(0);
  Grid->setFocus();
}

void TMainForm::WMSearchReset() {
  if (session_.SearchOpen) {
    if (session_.PageFilling) session_.CancelRequest = true;  // the fill ends the search at its next line
    else SearchCancel();
  }
  cbSearchWord->setEditText(QString());
  if (cbSearchWord->isEnabled()) cbSearchWord->setFocus();
}

void TMainForm::HandleCommandLine() {
  if (CommandLine.isEmpty()) return;
  // A first argument with no Shift-JIS form is no number either; "?" stands
  // for it in the message.
  const QString word = CommandLine.value(1);
  switch (CommandLineRequestOf(ToCp932(CommandLine.first()).value_or("?"))) {
    case CommandLineRequest::DicSearch: ReceiveLinkRequest(LinkRequest{UM_DICSEARCH, true, word}); break;
    case CommandLineRequest::GaibuSearch: ReceiveLinkRequest(LinkRequest{UM_GAIBUSEARCH, true, word}); break;
    case CommandLineRequest::EmptyBox: cbSearchWord->setEditText(QString()); break;
  }
}

bool TMainForm::LinkRequestMustWait() const {
  return session_.PageFilling || QApplication::activeModalWidget() != nullptr ||
         QApplication::activePopupWidget() != nullptr;
}

void TMainForm::ReceiveLinkRequest(const LinkRequest& request) {
  if (request.msg == UM_SEARCHRESET && session_.PageFilling && QApplication::activeModalWidget() == nullptr) {
    // The reset takes effect during the fill; a search kept for after the
    // fill is dropped with it.
    deferredLink_ = LinkRequest{};
    WMSearchReset();
    return;
  }
  // Kept, and carried out from the event loop: a search never starts inside
  // the command that received the request (the first showing, a fill).
  deferredLink_ = request;
  if (linkRetry_ == nullptr) {
    linkRetry_ = new QTimer(this);
    linkRetry_->setInterval(kLinkRetryMs);
    connect(linkRetry_, &QTimer::timeout, this, [this] { TryDeferredLinkRequest(); });
  }
  if (!linkRetry_->isActive()) linkRetry_->start();
  if (!LinkRequestMustWait()) QTimer::singleShot(0, this, [this] { TryDeferredLinkRequest(); });
}

void TMainForm::TryDeferredLinkRequest() {
  if (deferredLink_.msg == 0) {
    linkRetry_->stop();
    return;
  }
  if (LinkRequestMustWait()) return;
  linkRetry_->stop();
  const LinkRequest request = std::exchange(deferredLink_, LinkRequest{});
  CarryOutLinkRequest(request);
}

void TMainForm::CarryOutLinkRequest(const LinkRequest& request) {
  switch (request.msg) {
    case UM_DICSEARCH:
      if (request.hasWord) StartLinkSearch(false, request.word);
      else WMDicSearch();
      break;
    case UM_GAIBUSEARCH:
      if (request.hasWord) StartLinkSearch(true, request.word);
      else WMGaibuSearch();
      break;
    case UM_SEARCHRESET: WMSearchReset(); break;
    default: break;
  }
}

void TMainForm::WriteHitInfo(const THitLine& hit) { WriteHitFile(hit); }

std::string TMainForm::FindEditorWindow(const std::string& shortPath) {
  for (const windows::TopWindow& w : windows::TopWindowsInZOrder())
    if (IsEditorCaption(w.Caption, shortPath)) return w.Handle;
  return std::string();
}

void TMainForm::Action1Execute() {
  Trace("Action1Execute");
  if (!windows::WindowBusAvailable()) {
    TellLinkUnavailable(this);
    return;
  }
  bool raised = false;
  for (const char* frameClass : kEditorFrameClasses) {
    const windows::WindowHandle h = windows::FindWindow(std::string(frameClass), std::nullopt);
    if (h.empty()) continue;
    windows::BringWindowToTop(h);
    raised = true;
  }
  // A key that does nothing would leave the user wondering whether it was heard.
  if (!raised)
    ui::MessageBox(this, QStringLiteral("たぼーが起動していません。"), WarningCaption(), ui::MB_ICONINFORMATION);
}

void TMainForm::Action3Execute() {
  Trace("Action3Execute");
  const int r = Grid2->Row();
  if (r < 0 || r >= static_cast<int>(HitList.size())) return;
  const THitLine hit = *HitList[r];
  if (hit.ShortPath.empty()) return;  // a heading, end or cancel row
  WriteHitInfo(hit);
  if (!windows::WindowBusAvailable()) {
    TellLinkUnavailable(this);
    return;
  }
  const windows::WindowHandle h = FindEditorWindow(hit.ShortPath);
  if (!h.empty()) {
    windows::BringWindowToTop(h);
    windows::PostMessage(h, UM_OPENHITLINE, 0, 0);
    return;
  }
  if (!EditorPath.empty()) {
    // No shell: the path is the program, the hit its one argument.
    if (!StartProgram(EditorPath, {EditorArgument(hit)}))
      ui::MessageBox(this, QStringLiteral("たぼーを起動できません。\n%1").arg(FromCp932(EditorPath)), WarningCaption(),
                     ui::MB_ICONWARNING);
    return;
  }
  ui::MessageBox(this, QStringLiteral("たぼーでTavoDicのパスを設定するか、たぼーを起動してください。"), WarningCaption(),
                 ui::MB_ICONWARNING);
}

}  // namespace tavo
