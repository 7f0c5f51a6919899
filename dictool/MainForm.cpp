// The main window's components, menus and life: creation, first showing,
// closing and destruction, and the commands that open dialogs.
#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "dictool/AboutBox.h"
#include "dictool/DicSearchEngine.h"
#include "dictool/GaibuSearchEngine.h"
#include "dictool/Diclist.h"
#include "dictool/HelpPages.h"
#include "dictool/Main.h"
#include "dictool/SetWord.h"
#include "dictool/TavoLibBinding.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/text/QtText.h"
#include "platform/ui/AccessibleNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FormKeys.h"
#include "platform/ui/Hints.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/StringGrid.h"

namespace tavo {
namespace {

// The design fonts name faces of the platform the program came from; where
// they are missing a Japanese face of this desktop stands in.
QFont DesignFont(const QString& family, int pixels) {
  QFont f;
  f.setFamilies({family, QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                 QStringLiteral("monospace")});
  f.setPixelSize(pixels);
  return f;
}

QWidget* GridPage(QWidget* parent, ui::TStringGrid*& grid, QLabel*& status, const char* gridName,
                  const char* statusName) {
  auto* page = new QWidget(parent);
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  grid = new ui::TStringGrid(page);
  grid->setObjectName(QString::fromLatin1(gridName));
  grid->SetColCount(1);
  // Upright: the design's italic style is one that the settings clear at
  // every start, so no run ever shows it.
  grid->setFont(DesignFont(QStringLiteral("ＭＳ ゴシック"), 21));
  v->addWidget(grid, 1);
  status = new QLabel(page);
  status->setObjectName(QString::fromLatin1(statusName));
  status->setFixedHeight(25);
  status->setFrameShape(QFrame::Panel);
  status->setFrameShadow(QFrame::Sunken);
  status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ui::MakeStatusLine(status);
  v->addWidget(status);
  return page;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("TavoDic 分かち書き辞書"));
  setFont(DesignFont(QStringLiteral("ＭＳ ゴシック"), 16));
  resize(811, 521);
  move(191, 128);
  BuildComponents();
  BuildMenus();
  BindEvents();
  CreateSearches();
  FormCreate();
}

TMainForm::~TMainForm() {
  FormDestroy();
  delete FontDialog;
}

void TMainForm::SetForms(TDicListDlg* dicList, TSetWordDlg* setWord, TdlgAboutBox* about, TFolderDialog* folder) {
  dicListDlg_ = dicList;
  setWordDlg_ = setWord;
  aboutBox_ = about;
  folderDlg_ = folder;
  if (folderDlg_ != nullptr) folderDlg_->OnHelp = [this] { OpenHelpPage(folderDlg_, "HID00000001.htm"); };
}

void TMainForm::BuildComponents() {
  auto* central = new QWidget(this);
  auto* v = new QVBoxLayout(central);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);

  Panel1 = new QFrame(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(41);
  auto* h = new QHBoxLayout(Panel1);
  h->setContentsMargins(8, 4, 8, 4);
  Label1 = new QLabel(QStringLiteral("検索文字列"), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  cbSearchWord = new QComboBox(Panel1);
  cbSearchWord->setObjectName(QStringLiteral("cbSearchWord"));
  cbSearchWord->setEditable(true);
  cbSearchWord->setInsertPolicy(QComboBox::NoInsert);
  cbSearchWord->setFixedWidth(289);
  cbSearchWord->setAttribute(Qt::WA_InputMethodEnabled, true);
  // The history is offered in the drop-down list only: a completion typed
  // into the box would turn a word the user typed into a longer one that an
  // earlier search left there.
  cbSearchWord->setCompleter(nullptr);
  Label1->setBuddy(cbSearchWord);
  btnSearch = new QPushButton(Panel1);
  btnSearch->setObjectName(QStringLiteral("btnSearch"));
  btnGaibuSearch = new QPushButton(Panel1);
  btnGaibuSearch->setObjectName(QStringLiteral("btnGaibuSearch"));
  btnSearchCancel = new QPushButton(QStringLiteral("検索中止"), Panel1);
  btnSearchCancel->setObjectName(QStringLiteral("btnSearchCancel"));
  SpeedButton2 = new QToolButton(Panel1);
  SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
  SpeedButton1 = new QToolButton(Panel1);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  for (QToolButton* b : {SpeedButton2, SpeedButton1}) {
    b->setFixedSize(33, 33);
    b->setFocusPolicy(Qt::TabFocus);  // reached by Tab, pressed by Space or Enter
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
  }
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  h->addWidget(Label1);
  h->addWidget(cbSearchWord);
  h->addWidget(btnSearch);
  h->addWidget(btnGaibuSearch);
  h->addWidget(btnSearchCancel);
  h->addWidget(SpeedButton2);
  h->addWidget(SpeedButton1);
  h->addStretch(1);
  v->addWidget(Panel1);

  Panel2 = new QFrame(central);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto* p2 = new QVBoxLayout(Panel2);
  p2->setContentsMargins(0, 0, 0, 0);
  PageControl1 = new QTabWidget(Panel2);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  // Tab reaches its tab bar; the page control itself, which has no name,
  // must not be told to a screen reader as a place the focus can be (as the
  // bar's focus proxy it would be focused with it).
  PageControl1->setFocusProxy(nullptr);
  PageControl1->setFocusPolicy(Qt::NoFocus);
  TabDicSearchView = GridPage(PageControl1, Grid, StatusPanel, "Grid", "StatusPanel");
  TabDicSearchView->setObjectName(QStringLiteral("TabDicSearchView"));
  TabFileSearchView = GridPage(PageControl1, Grid2, StatusPanel2, "Grid2", "StatusPanel2");
  TabFileSearchView->setObjectName(QStringLiteral("TabFileSearchView"));
  PageControl1->addTab(TabDicSearchView, QStringLiteral("辞書検索画面"));
  PageControl1->addTab(TabFileSearchView, QStringLiteral("外部ファイル検索画面"));
  p2->addWidget(PageControl1);
  v->addWidget(Panel2, 1);
  setCentralWidget(central);

  Grid->OnDrawCell = [this](QPainter& c, int col, const QRect& r, int row) { GridDrawCell(c, col, r, row); };
  Grid2->OnDrawCell = [this](QPainter& c, int col, const QRect& r, int row) { Grid2DrawCell(c, col, r, row); };
  ui::SetAccessibleName(cbSearchWord, QStringLiteral("検索語"));
  ui::SetAccessibleName(Grid, QStringLiteral("辞書検索画面"));
  ui::SetAccessibleName(Grid2, QStringLiteral("外部ファイル検索画面"));
  ui::SetAccessibleName(SpeedButton1, QStringLiteral("終了"));

  FontDialog = new ui::TFontDialog;

  // The actions; their shortcuts work anywhere in the window.
  Action1 = new QAction(QStringLiteral("たぼーを前面へ表示"), this);
  Action1->setObjectName(QStringLiteral("Action1"));
  Action1->setShortcut(QKeySequence(Qt::Key_F2));
  Action1->setToolTip(QStringLiteral("たぼーを画面の一番前へ表示します"));
  Action3 = new QAction(QStringLiteral("カーソル位置のファイルを開く"), this);
  Action3->setObjectName(QStringLiteral("Action3"));
  Action3->setShortcut(QKeySequence(Qt::Key_F3));
  Action3->setToolTip(QStringLiteral("現在カーソルのある行のRUTEファイルを開きます。（外部検索の時のみ）"));
  ActionDicSearch = new QAction(QStringLiteral("検索"), this);
  ActionDicSearch->setObjectName(QStringLiteral("ActionDicSearch"));
  ActionGaibuSearch = new QAction(QStringLiteral("外部検索"), this);
  ActionGaibuSearch->setObjectName(QStringLiteral("ActionGaibuSearch"));
  for (QAction* a : {Action1, Action3}) {
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
  }
  btnSearch->setText(ActionDicSearch->text());
  btnGaibuSearch->setText(ActionGaibuSearch->text());
  Action1->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
  SpeedButton2->setDefaultAction(Action1);
  ui::SetAccessibleName(SpeedButton2, Action1->text());
  ui::SetHint(SpeedButton2, Action1->toolTip());
  ui::SetHint(SpeedButton1, QStringLiteral("TavoDicを終了します"));
  ui::SetHint(cbSearchWord, QStringLiteral("検索する文字列をここへ入力します"));
  ui::SetHint(btnSearchCancel, QStringLiteral("検索を中止します(ESC)"));
}

void TMainForm::BuildMenus() {
  QMenuBar* bar = menuBar();
  mnuFile = bar->addMenu(QStringLiteral("ファイル(&F)"));
  mnuFile->addSeparator();
  KX1 = mnuFile->addAction(QStringLiteral("終了(&X)"));
  KX1->setObjectName(QStringLiteral("KX1"));

  mnuView = bar->addMenu(QStringLiteral("表示(&V)"));
  mnuView->addAction(Action1);
  mnuView->addAction(Action3);
  N5 = mnuView->addAction(QStringLiteral("ヒント表示"));
  N5->setObjectName(QStringLiteral("N5"));
  N5->setCheckable(true);
  N5->setChecked(true);

  mnuSettings = bar->addMenu(QStringLiteral("設定(&S)"));
  mnuSetDic = mnuSettings->addAction(QStringLiteral("辞書ファイルの登録(&R)..."));
  mnuSetDic->setObjectName(QStringLiteral("mnuSetDic"));
  mnuSetWord = mnuSettings->addAction(QStringLiteral("語句の登録..."));
  mnuSetWord->setObjectName(QStringLiteral("mnuSetWord"));
  mnuSetColor = mnuSettings->addMenu(QStringLiteral("カラー設定"));
  mnuSetColor->setObjectName(QStringLiteral("mnuSetColor"));
  const QString colorNames[] = {QStringLiteral("黒字に緑文字"), QStringLiteral("黒字に白文字"),
                                QStringLiteral("白地に黒文字")};
  QAction** colorItems[] = {&mnuColor1, &mnuColor2, &mnuColor3};
  for (int i = 0; i < 3; ++i) {
    QAction* item = mnuSetColor->addAction(colorNames[i]);
    item->setObjectName(QStringLiteral("mnuColor%1").arg(i + 1));
    item->setCheckable(true);
    item->setData(i + 1);  // the scheme number
    *colorItems[i] = item;
  }
  mnuColor1->setChecked(true);
  mnuSetFont = mnuSettings->addAction(QStringLiteral("フォントの設定(&F)..."));
  mnuSetFont->setObjectName(QStringLiteral("mnuSetFont"));

  mnuHelp = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
  mnuHelpIndex = mnuHelp->addAction(QStringLiteral("目次"));
  mnuHelpIndex->setObjectName(QStringLiteral("mnuHelpIndex"));
  mnuHelp->addSeparator();
  mnuVersion = mnuHelp->addAction(QStringLiteral("バージョン情報...(&A)"));
  mnuVersion->setObjectName(QStringLiteral("mnuVersion"));
}

void TMainForm::BindEvents() {
  keys_ = new ui::FormKeys(this);
  // Both search buttons are default buttons; the one that is enabled first
  // takes Enter, so a paused search is continued by Enter.
  keys_->AddDefaultButton(btnSearch);
  keys_->AddDefaultButton(btnGaibuSearch);
  keys_->SetCancelButton(btnSearchCancel);

  keys_->OnKeyDown(cbSearchWord, [this](int& k, Qt::KeyboardModifiers m) { cbSearchWordKeyDown(k, m); });
  keys_->OnKeyPress(cbSearchWord, [this](QChar& c) { cbSearchWordKeyPress(c); });
  keys_->OnKeyUp(cbSearchWord, [this](int& k, Qt::KeyboardModifiers m) { cbSearchWordKeyUp(k, m); });
  keys_->OnKeyDown(btnSearch, [this](int& k, Qt::KeyboardModifiers m) { cbSearchWordKeyUp(k, m); });
  keys_->OnKeyUp(btnSearch, [this](int& k, Qt::KeyboardModifiers m) { cbSearchWordKeyUp(k, m); });
  keys_->OnMouseDown(btnSearch, [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { btnSearchMouseDown(); });
  keys_->OnKeyDown(btnGaibuSearch, [this](int& k, Qt::KeyboardModifiers m) { cbSearchWordKeyDown(k, m); });
  keys_->OnKeyPress(btnGaibuSearch, [this](QChar& c) { btnGaibuSearchKeyPress(c); });
  keys_->OnKeyUp(btnGaibuSearch, [this](int& k, Qt::KeyboardModifiers m) { cbSearchWordKeyUp(k, m); });
  keys_->OnMouseDown(btnGaibuSearch,
                     [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { btnGaibuSearchMouseDown(); });
  keys_->OnKeyDown(Grid, [this](int& k, Qt::KeyboardModifiers m) { GridKeyDown(k, m); });
  keys_->OnKeyUp(Grid, [this](int& k, Qt::KeyboardModifiers m) { GridKeyUp(k, m); });
  keys_->OnKeyDown(Grid2, [this](int& k, Qt::KeyboardModifiers m) { Grid2KeyDown(k, m); });
  keys_->OnKeyUp(Grid2, [this](int& k, Qt::KeyboardModifiers m) { Grid2KeyUp(k, m); });

  connect(btnSearch, &QPushButton::clicked, ActionDicSearch, &QAction::trigger);
  connect(btnGaibuSearch, &QPushButton::clicked, ActionGaibuSearch, &QAction::trigger);
  connect(ActionDicSearch, &QAction::triggered, this, [this] { ActionDicSearchExecute(); });
  connect(ActionGaibuSearch, &QAction::triggered, this, [this] { ActionGaibuSearchExecute(); });
  connect(btnSearchCancel, &QPushButton::clicked, this, [this] { btnSearchCancelClick(); });
  connect(Action1, &QAction::triggered, this, [this] { Action1Execute(); });
  connect(Action3, &QAction::triggered, this, [this] { Action3Execute(); });
  connect(Grid2, &QAbstractItemView::doubleClicked, this, [this] { Action3Execute(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { KX1Click(); });
  connect(KX1, &QAction::triggered, this, [this] { KX1Click(); });
  connect(N5, &QAction::triggered, this, [this] { N5Click(); });
  connect(mnuSetDic, &QAction::triggered, this, [this] { mnuSetDicClick(); });
  connect(mnuSetWord, &QAction::triggered, this, [this] { mnuSetWordClick(); });
  for (QAction* item : {mnuColor1, mnuColor2, mnuColor3})
    connect(item, &QAction::triggered, this, [this, item] { mnuColorClick(item); });
  connect(mnuSetFont, &QAction::triggered, this, [this] { mnuSetFontClick(); });
  connect(mnuHelpIndex, &QAction::triggered, this, [this] { mnuHelpIndexClick(); });
  connect(mnuVersion, &QAction::triggered, this, [this] { mnuVersionClick(); });
}

void TMainForm::FormCreate() {
  PageControl1->setCurrentIndex(0);
  ui::SetHint(btnSearch, QStringLiteral("ＥＮＴＥＲ：検索を行います"));
  ui::SetHint(btnGaibuSearch, QStringLiteral("ＳＨＩＦＴ＋ＥＮＴＥＲ：外部ファイル検索を行います"));
  GaibuIntent = false;
  SearchDicList.clear();
  NotSearchDicList.clear();
  GaibuFileList.clear();
  SearchHistory.clear();
  session_.SearchOpen = false;
  HighlightWord.clear();
  HighlightWord2.clear();
  HitList.clear();
  TavoLibInitialize();
  cbSearchWord->setFocus();
}

void TMainForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shown_) return;  // the main window is shown once; a restore is no new showing
  shown_ = true;
  FormShow();
}

void TMainForm::FormShow() {
  setWindowTitle(QStringLiteral("TavoDic 分かち書き辞書"));
  LoadSettings();
  SetHintVisible(HintVisible);
  UpdateRowHeights();
  for (ui::TStringGrid* g : {Grid, Grid2}) {
    g->SetColor(BackColor);
    g->SetColWidth(0, g->ClientWidth());
    g->SetRowCount(1);
  }
  btnSearchCancel->setEnabled(false);
  session_.Cancelled = false;
  cbSearchWord->setFocus();
  HandleCommandLine();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (session_.PageFilling) {
    // A page is being filled inside a command that is still running: stop it
    // at its next line and close once it has returned.
    session_.CancelRequest = true;
    closeAfterFill_ = true;
    e->ignore();
    return;
  }
  try {
    FormClose();
  } catch (const std::exception& ex) {
    // A setting that cannot be written is told, and the window closes all
    // the same: the user must never be kept from leaving the program.
    ui::HandleException(ex);
  }
  e->accept();
}

void TMainForm::FormClose() {
  SearchEnd();
  SaveSettings();
}

void TMainForm::FormDestroy() {
  SearchDicList.clear();
  NotSearchDicList.clear();
  SearchHistory.clear();
  GaibuFileList.clear();
  ClearHitList();
  TavoLibTerminate();
}

void TMainForm::KX1Click() { close(); }

void TMainForm::SetDicList() {
  if (dicListDlg_ == nullptr) return;
  dicListDlg_->LoadLists(SearchDicList, NotSearchDicList);
  if (ui::ShowModal(dicListDlg_) != ui::mrOk) return;
  dicListDlg_->SaveLists(SearchDicList, NotSearchDicList);
  LastSearchWord.clear();  // the lists changed, whether or not the save succeeds
  SaveSettings();
}

void TMainForm::SetSearchDicList(std::vector<std::string> dics) {
  SearchDicList = std::move(dics);
  LastSearchWord.clear();
}

void TMainForm::RegisterWord(const std::string& word) {
  if (setWordDlg_ == nullptr) return;
  setWordDlg_->SetAppendWord(word);
  setWordDlg_->LoadDicList(SearchDicList, NotSearchDicList);
  setWordDlg_->SetWriteDicName(WriteDic);
  setWordDlg_->edAddWord->setFocus();
  if (ui::ShowModal(setWordDlg_) != ui::mrOk) return;
  setWordDlg_->SaveDicList(SearchDicList, NotSearchDicList);
  WriteDic = setWordDlg_->WriteDicName();
  SaveSettings();
}

void TMainForm::SetHintVisible(bool visible) {
  N5->setChecked(visible);
  for (QWidget* w : std::initializer_list<QWidget*>{cbSearchWord, btnSearch, btnSearchCancel, SpeedButton2, SpeedButton1})
    ui::SetShowHint(w, visible);
  if (folderDlg_ != nullptr)
    for (QWidget* w : std::initializer_list<QWidget*>{folderDlg_->SpeedButton1, folderDlg_->SpeedButton2,
                                                      folderDlg_->SpeedButton3, folderDlg_->SpeedButton4,
                                                      folderDlg_->SpeedButton5})
      ui::SetShowHint(w, visible);
}

void TMainForm::N5Click() {
  if (session_.PageFilling) {
    N5->setChecked(HintVisible);  // the item's own toggle is undone
    return;
  }
  HintVisible = !HintVisible;
  SetHintVisible(HintVisible);
}

void TMainForm::mnuSetDicClick() {
  if (session_.PageFilling) return;  // dialogs wait until the running fill has ended
  SetDicList();
}

void TMainForm::mnuSetWordClick() {
  if (session_.PageFilling) return;
  RegisterWord(std::string());
}

void TMainForm::mnuHelpIndexClick() {
  if (session_.PageFilling) return;
  OpenHelpPage(this, "HID00000001.htm");
}

void TMainForm::mnuVersionClick() {
  if (session_.PageFilling || aboutBox_ == nullptr) return;
  ui::ShowModal(aboutBox_);
}

}  // namespace tavo
