#include "folderbrowse/DlgFolderSelect.h"

#include <QAction>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

#include "folderbrowse/FolderDialogRules.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/text/QtText.h"
#include "platform/ui/AccessibleNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FontChoice.h"
#include "platform/ui/FormKeys.h"
#include "platform/ui/Hints.h"

namespace tavo {
namespace {

QToolButton* FlatButton(QWidget* parent, const char* name, const QString& hint, QStyle::StandardPixmap icon) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setMinimumSize(23, 22);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::TabFocus);  // reached by Tab, pressed by Space or Enter
  b->setIcon(parent->style()->standardIcon(icon));
  ui::SetHint(b, hint);
  ui::SetAccessibleName(b, hint);  // the glyph says nothing to a screen reader
  return b;
}

// The design fonts name faces of the platform the program came from; where
// they are missing a Japanese face of this desktop stands in.
QFont DesignFont(int pixels) {
  QFont f;
  f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("sans-serif")});
  f.setPixelSize(pixels);
  return f;
}

}  // namespace

TFolderDialog::TFolderDialog(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("FolderDialog"));
  setWindowTitle(QStringLiteral("検索フォルダの選択"));
  resize(729, 482);
  setFont(DesignFont(16));

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  N2 = MainMenu1->addAction(QStringLiteral("フォントの設定..."));
  N2->setObjectName(QStringLiteral("N2"));
  // The caption has no mnemonic; the key it would have had reaches it.
  N2->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F));
  N1 = MainMenu1->addMenu(QStringLiteral("検索オプション"));
  N1->setObjectName(QStringLiteral("N1"));
  N1->menuAction()->setVisible(false);
  N3 = N1->addAction(QStringLiteral("類似検索(検索文字列からスペースを除去して検索する)"));
  N3->setObjectName(QStringLiteral("N3"));
  N3->setCheckable(true);  // a click inverts its mark by itself
  N3->setChecked(false);
  N3->setVisible(false);
  outer->setMenuBar(MainMenu1);

  // The top band: the path box on its first line, the check box and the
  // buttons on its second.
  Panel3 = new QFrame(this);
  Panel3->setObjectName(QStringLiteral("Panel3"));
  Panel3->setMinimumHeight(73);
  auto* band = new QGridLayout(Panel3);
  band->setContentsMargins(8, 8, 16, 4);
  band->setColumnStretch(1, 1);
  Label1 = new QLabel(QStringLiteral("検索フォルダ"), Panel3);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setMinimumWidth(92);
  band->addWidget(Label1, 0, 0);
  ComboBox1 = new QComboBox(Panel3);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  // The history is offered in the drop-down list only; a completion would
  // turn a typed folder into a longer one that the tree then follows.
  ComboBox1->setCompleter(nullptr);
  ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  Label1->setBuddy(ComboBox1);
  ui::SetAccessibleName(ComboBox1, Label1->text());
  band->addWidget(ComboBox1, 0, 1);
  auto* second = new QHBoxLayout;
  second->setSpacing(2);
  CheckBox1 = new QCheckBox(QStringLiteral("下層のフォルダも検索する"), Panel3);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  second->addWidget(CheckBox1);
  second->addSpacing(8);
  SpeedButton5 = FlatButton(Panel3, "SpeedButton5", QStringLiteral("ひとつ上へ"), QStyle::SP_FileDialogToParent);
  second->addWidget(SpeedButton5);
  second->addSpacing(8);
  SpeedButton1 = FlatButton(Panel3, "SpeedButton1", QStringLiteral("大きいアイコンで表示"), QStyle::SP_FileDialogContentsView);
  SpeedButton2 = FlatButton(Panel3, "SpeedButton2", QStringLiteral("小さいアイコンで表示"), QStyle::SP_FileDialogInfoView);
  SpeedButton3 = FlatButton(Panel3, "SpeedButton3", QStringLiteral("一覧表示"), QStyle::SP_FileDialogListView);
  SpeedButton4 = FlatButton(Panel3, "SpeedButton4", QStringLiteral("詳細表示"), QStyle::SP_FileDialogDetailedView);
  // One choice: pressing one leaves it down and releases the others, and a
  // screen reader hears four radio buttons.
  auto* views = new QButtonGroup(this);
  views->setExclusive(true);
  for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4}) {
    b->setCheckable(true);
    views->addButton(b);
    ui::SetAccessibleRadioButton(b, b->toolTip());
    second->addWidget(b);
  }
  SpeedButton6 = FlatButton(Panel3, "SpeedButton6", QStringLiteral("フォルダの作成"), QStyle::SP_FileDialogNewFolder);
  SpeedButton6->setVisible(false);
  second->addWidget(SpeedButton6);
  second->addStretch(1);
  band->addLayout(second, 1, 0, 1, 2);
  outer->addWidget(Panel3);

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(2);
  Splitter1->setChildrenCollapsible(false);
  Panel2 = new QFrame(Splitter1);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto* treeLayout = new QVBoxLayout(Panel2);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  ZuShellTreeView1 = new TZuShellTreeView(Panel2);
  ZuShellTreeView1->setObjectName(QStringLiteral("ZuShellTreeView1"));
  treeLayout->addWidget(ZuShellTreeView1);
  // A deep folder scrolls sideways instead of being cut to "...".
  ZuShellTreeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  ZuShellTreeView1->header()->setStretchLastSection(false);
  Panel4 = new QFrame(Splitter1);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  auto* listLayout = new QVBoxLayout(Panel4);
  listLayout->setContentsMargins(0, 0, 0, 0);
  ZuShellListView1 = new TZuShellListView(Panel4);
  ZuShellListView1->setObjectName(QStringLiteral("ZuShellListView1"));
  listLayout->addWidget(ZuShellListView1);
  // The filter is in place before the tree first shows a folder in the list.
  ZuShellListView1->List().OnShFilter = [this](TShellFileItem& item, bool& accept) {
    ZuShellListView1ShFilter(item, accept);
  };
  ZuShellListView1->List().OnShExecute = [this](TShellFileItem& item, TShiftState shift, int subItem, int x, int y,
                                                 bool& defaultAction) {
    ZuShellListView1ShExecute(item, shift, subItem, x, y, defaultAction);
  };
  ZuShellTreeView1->Tree().SetShellListView(&ZuShellListView1->List());
  Splitter1->addWidget(Panel2);
  Splitter1->addWidget(Panel4);
  Splitter1->setStretchFactor(0, 0);  // a wider dialog widens the list, not the tree
  Splitter1->setStretchFactor(1, 1);
  outer->addWidget(Splitter1, 1);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setMinimumHeight(32);
  auto* bottom = new QHBoxLayout(Panel1);
  bottom->setContentsMargins(0, 3, 9, 2);
  bottom->setSpacing(4);
  bottom->addStretch(1);
  BitBtn1 = new QPushButton(QStringLiteral("OK"), Panel1);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), Panel1);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn3 = new QPushButton(QStringLiteral("ヘルプ"), Panel1);
  BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
    b->setMinimumSize(100, 27);
    bottom->addWidget(b);
  }
  outer->addWidget(Panel1);

  FontDialog1 = new ui::TFontDialog;
  FontDialog1->Font = DesignFont(12);

  AddModalButton(BitBtn1, ui::mrOk);
  AddModalButton(BitBtn2, ui::mrCancel);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(N2, &QAction::triggered, this, [this] { N2Click(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
  connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
  connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
  connect(Splitter1, &QSplitter::splitterMoved, this, [this] { treeWidth_ = Splitter1->sizes().value(0, treeWidth_); });
  // The user's own edits only: the text the tree writes must not move it.
  connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, [this] { ComboBox1Change(); });
  connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
  ZuShellTreeView1->OnChange = [this] { ZuShellTreeView1Change(); };

  auto* keys = new ui::FormKeys(this);
  keys->AddDefaultButton(BitBtn1);
  keys->SetCancelButton(BitBtn2);
  // Enter on a folder in the list opens it there; on a file it is OK's.
  connect(ZuShellListView1, &TZuShellListView::currentItemChanged, this,
          [this, keys] { keys->SetTakesEnter(ZuShellListView1, ZuShellListView1->CurrentIsFolder()); });

  FormCreate();
}

TFolderDialog::~TFolderDialog() {
  ZuShellTreeView1->Tree().SetShellListView(nullptr);
  delete FontDialog1;
}

void TFolderDialog::FormCreate() {
  const int widths[] = {180, 50, 100, 120, 50};
  for (int c = 0; c < 5; ++c) SetColumnWidth(c, widths[c]);
  SetViewStyle(vsReport);
  SetTreeWidth(217);
}

void TFolderDialog::SetsStartFolder(const std::string& folder) {
  startFolder_ = folder;
  ZuShellTreeView1->SetSelectedPath(folder);
  // Also when the tree did not move: text typed and cancelled in an earlier
  // showing must not be what the next OK returns.
  ZuShellTreeView1Change();
}

void TFolderDialog::ZuShellTreeView1Change() {
  // A folder without a path (My Computer, the network) empties the box; a
  // name with no CP932 form shows as it is (and OK refuses it).
  ComboBox1->setEditText(FromCp932Path(ZuShellTreeView1->GetSelectedPath()));
}

void TFolderDialog::ComboBox1Change() {
  // Followed live while it is typed, each time the text parses.
  const std::optional<std::string> text = ToCp932(ComboBox1->currentText());
  if (text && FollowsTypedPath(*text)) ZuShellTreeView1->SetSelectedPath(*text);
}

void TFolderDialog::SpeedButton5Click() {
  if (auto parent = ParentFolderPath(ZuShellTreeView1->GetSelectedPath())) ZuShellTreeView1->SetSelectedPath(*parent);
}

void TFolderDialog::BitBtn3Click() {
  if (OnHelp) OnHelp();
}

void TFolderDialog::ZuShellListView1ShFilter(TShellFileItem& item, bool& accept) {
  accept = accept && FolderDialogShows(item.FileAttributes(), item.FileName());
}

// The list opens folders itself; a RUTE document is chosen, never opened.
void TFolderDialog::ZuShellListView1ShExecute(TShellFileItem&, TShiftState, int, int, int, bool& defaultAction) {
  defaultAction = false;
}

void TFolderDialog::SetViewStyle(TViewStyle style) {
  ZuShellListView1->SetViewStyle(style);
  SpeedButton1->setChecked(style == vsIcon);
  SpeedButton2->setChecked(style == vsSmallIcon);
  SpeedButton3->setChecked(style == vsList);
  SpeedButton4->setChecked(style == vsReport);
  // Tab enters the group at the chosen view (arrows move within it).
  for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4})
    b->setFocusPolicy(b->isChecked() ? Qt::TabFocus : Qt::NoFocus);
}

int TFolderDialog::ColumnWidth(int column) const { return ZuShellListView1->ReportColumnWidth(column); }

void TFolderDialog::SetColumnWidth(int column, int width) { ZuShellListView1->SetReportColumnWidth(column, width); }

void TFolderDialog::SetBrowseFont(const QFont& font) {
  Panel2->setFont(font);
  ZuShellTreeView1->setFont(font);
  Panel4->setFont(font);
  ZuShellListView1->setFont(font);
}

void TFolderDialog::showEvent(QShowEvent* e) {
  ui::TModalForm::showEvent(e);
  FormShow();
}

void TFolderDialog::FormShow() {
  // Every showing begins in the path box, whatever had the focus when the
  // dialog was last closed: a path typed at once goes there.
  ComboBox1->setFocus();
  SetTreeWidth(treeWidth_);
  if (ViewStyle() == vsReport) {
    SetViewStyle(vsIcon);
    SetViewStyle(vsReport);
  }
}

void TFolderDialog::SpeedButton1Click() { SetViewStyle(vsIcon); }
void TFolderDialog::SpeedButton2Click() { SetViewStyle(vsSmallIcon); }
void TFolderDialog::SpeedButton3Click() { SetViewStyle(vsList); }
void TFolderDialog::SpeedButton4Click() { SetViewStyle(vsReport); }

void TFolderDialog::N2Click() {
  const QFont current = FontDialog1->Font;
  FontDialog1->Font = ui::FontToOffer(current);
  if (!FontDialog1->Execute(this)) {
    FontDialog1->Font = current;
    return;
  }
  FontDialog1->Font = ui::FontChosen(current, FontDialog1->Font);
  SetBrowseFont(FontDialog1->Font);
}

void TFolderDialog::BitBtn1Click() {
  const QString typed = ComboBox1->currentText();
  const std::optional<std::string> text = ToCp932(typed);
  if (!text && !typed.isEmpty()) {
    // The search hands its folder on as CP932 text (the hits' paths to the
    // braille editor, the settings): a folder it cannot name that way is
    // refused, and the dialog stays.
    SetModalResult(ui::mrNone);
    ui::MessageBox(this,
                   QStringLiteral("「%1」は検索フォルダにできません。\nフォルダの名前に、シフトJIS（CP932）で"
                                  "表せない文字があります。名前を変えるか、ほかのフォルダを選んでください。")
                       .arg(typed),
                   windowTitle(), ui::MB_OK | ui::MB_ICONWARNING);
    ComboBox1->setFocus();
    return;
  }
  if (!text || text->empty()) {
    // No folder to search: the dialog stays, and the box takes the typing.
    SetModalResult(ui::mrNone);
    ui::Beep();
    ComboBox1->setFocus();
    return;
  }
  startFolder_ = *text;
  std::vector<std::string> history = History();
  if (AddHistoryFolder(history, *text, HistoryMax)) SetHistory(history);
}

std::vector<std::string> TFolderDialog::History() const {
  std::vector<std::string> folders;
  for (int i = 0; i < ComboBox1->count(); ++i)
    if (auto folder = ToCp932(ComboBox1->itemText(i))) folders.push_back(std::move(*folder));
  return folders;
}

void TFolderDialog::SetHistory(const std::vector<std::string>& folders) {
  const QString text = ComboBox1->currentText();
  ComboBox1->clear();
  for (const std::string& folder : folders) ComboBox1->addItem(FromCp932Exact(folder));
  ComboBox1->setCurrentIndex(-1);
  ComboBox1->setEditText(text);
}

void TFolderDialog::SetTreeWidth(int width) {
  treeWidth_ = std::max(width, 0);
  const int total = std::max(Splitter1->width(), this->width());
  Splitter1->setSizes({treeWidth_, std::max(total - treeWidth_ - Splitter1->handleWidth(), 1)});
}

}  // namespace tavo
