#include "folderbrowse/DlgFolderSelect.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>

#include "folderbrowse/ZuShellTreeView.h"
#include "platform/text/QtText.h"
#include "platform/ui/AccessibleNames.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FormKeys.h"
#include "platform/ui/Hints.h"

namespace tavo {
namespace {

QToolButton* FlatButton(QWidget* parent, const char* name, int x, const QString& hint, QStyle::StandardPixmap icon) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(x, 48, 23, 22);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::TabFocus);  // reached by Tab, pressed by Space or Enter
  b->setIcon(parent->style()->standardIcon(icon));
  ui::SetHint(b, hint);
  ui::SetAccessibleName(b, hint);  // the glyph says nothing to a screen reader
  return b;
}

// Equal ignoring the case of ASCII letters, as the drop-down box's own
// exact-match search compares.
bool SameIgnoringCase(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

TFolderDialog::TFolderDialog(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("FolderDialog"));
  setWindowTitle(QStringLiteral("検索フォルダの選択"));
  resize(729, 482);
  QFont f;
  f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("sans-serif")});
  f.setPixelSize(16);
  setFont(f);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  N2 = MainMenu1->addAction(QStringLiteral("フォントの設定..."));
  N2->setObjectName(QStringLiteral("N2"));
  N1 = MainMenu1->addMenu(QStringLiteral("検索オプション"));
  N1->setObjectName(QStringLiteral("N1"));
  N1->menuAction()->setVisible(false);
  N3 = N1->addAction(QStringLiteral("類似検索(検索文字列からスペースを除去して検索する)"));
  N3->setObjectName(QStringLiteral("N3"));
  N3->setCheckable(true);
  N3->setChecked(false);
  N3->setVisible(false);
  outer->setMenuBar(MainMenu1);

  Panel3 = new QFrame(this);
  Panel3->setObjectName(QStringLiteral("Panel3"));
  Panel3->setFixedHeight(73);
  outer->addWidget(Panel3);
  Label1 = new QLabel(QStringLiteral("検索フォルダ"), Panel3);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(8, 16);
  ComboBox1 = new QComboBox(Panel3);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setGeometry(108, 12, 605, 24);
  ui::SetAccessibleName(ComboBox1, Label1->text());
  CheckBox1 = new QCheckBox(QStringLiteral("下層のフォルダも検索する"), Panel3);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->move(8, 46);
  SpeedButton5 = FlatButton(Panel3, "SpeedButton5", 224, QStringLiteral("ひとつ上へ"), QStyle::SP_FileDialogToParent);
  SpeedButton1 = FlatButton(Panel3, "SpeedButton1", 256, QStringLiteral("大きいアイコンで表示"), QStyle::SP_FileDialogContentsView);
  SpeedButton2 = FlatButton(Panel3, "SpeedButton2", 280, QStringLiteral("小さいアイコンで表示"), QStyle::SP_FileDialogInfoView);
  SpeedButton3 = FlatButton(Panel3, "SpeedButton3", 304, QStringLiteral("一覧表示"), QStyle::SP_FileDialogListView);
  SpeedButton4 = FlatButton(Panel3, "SpeedButton4", 328, QStringLiteral("詳細表示"), QStyle::SP_FileDialogDetailedView);
  SpeedButton6 = FlatButton(Panel3, "SpeedButton6", 360, QStringLiteral("フォルダの作成"), QStyle::SP_FileDialogNewFolder);
  SpeedButton6->setVisible(false);
  for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4}) b->setCheckable(true);

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(2);
  Panel2 = new QFrame(Splitter1);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto* treeLayout = new QVBoxLayout(Panel2);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  ZuShellTreeView1 = new TZuShellTreeView(Panel2);
  ZuShellTreeView1->setObjectName(QStringLiteral("ZuShellTreeView1"));
  treeLayout->addWidget(ZuShellTreeView1);
  Panel4 = new QFrame(Splitter1);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  auto* listLayout = new QVBoxLayout(Panel4);
  listLayout->setContentsMargins(0, 0, 0, 0);
  ZuShellListView1 = new TZuShellListView(Panel4);
  ZuShellListView1->setObjectName(QStringLiteral("ZuShellListView1"));
  listLayout->addWidget(ZuShellListView1);
  ZuShellTreeView1->Tree().SetShellListView(&ZuShellListView1->List());
  Splitter1->addWidget(Panel2);
  Splitter1->addWidget(Panel4);
  Splitter1->setSizes({217, 729 - 217});
  outer->addWidget(Splitter1, 1);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(32);
  auto* bottom = new QHBoxLayout(Panel1);
  bottom->setContentsMargins(0, 3, 9, 2);
  bottom->addStretch(1);
  BitBtn1 = new QPushButton(QStringLiteral("OK"), Panel1);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), Panel1);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn3 = new QPushButton(QStringLiteral("ヘルプ"), Panel1);
  BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
    b->setFixedSize(100, 27);
    bottom->addWidget(b);
  }
  outer->addWidget(Panel1);

  FontDialog1 = new ui::TFontDialog;
  QFont browse;
  browse.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("sans-serif")});
  browse.setPixelSize(12);
  FontDialog1->Font = browse;

  AddModalButton(BitBtn1, ui::mrOk);
  AddModalButton(BitBtn2, ui::mrCancel);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(N2, &QAction::triggered, this, [this] { N2Click(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
  connect(SpeedButton5, &QToolButton::clicked, this, [this] { SpeedButton5Click(); });
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
  for (int c = 0; c < 5; ++c) SetColumnWidth(c, c == 0 ? 180 : c == 1 ? 50 : c == 2 ? 100 : c == 3 ? 120 : 50);
  SetViewStyle(vsReport);
}

void TFolderDialog::SetsStartFolder(const std::string& folder) {
  startFolder_ = folder;
  // The folder tree follows the path once it exists; until then the path box
  // shows it.
  ComboBox1->setEditText(FromCp932Exact(folder));
  ZuShellTreeView1->SetSelectedPath(folder);
}

void TFolderDialog::ZuShellTreeView1Change() {
  // A folder without a path (My Computer, the network) empties the box.
  ComboBox1->setEditText(FromCp932Exact(ZuShellTreeView1->GetSelectedPath()));
}

void TFolderDialog::ComboBox1Change() {
  // Only a path from the root is followed, live while it is typed.
  const std::optional<std::string> text = ToCp932(ComboBox1->currentText());
  if (!text || text->empty() || (*text)[0] != '/') return;
  ZuShellTreeView1->SetSelectedPath(*text);
}

void TFolderDialog::SpeedButton5Click() {
  const std::string path = ZuShellTreeView1->GetSelectedPath();
  if (path.size() <= 1) return;  // the root, or a folder without a path
  // '/' is never the second byte of a CP932 character.
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return;
  ZuShellTreeView1->SetSelectedPath(slash == 0 ? std::string("/") : path.substr(0, slash));
}

void TFolderDialog::SetViewStyle(TViewStyle style) {
  ZuShellListView1->SetViewStyle(style);
  SpeedButton1->setChecked(style == vsIcon);
  SpeedButton2->setChecked(style == vsSmallIcon);
  SpeedButton3->setChecked(style == vsList);
  SpeedButton4->setChecked(style == vsReport);
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
  if (FontDialog1->Execute(this)) SetBrowseFont(FontDialog1->Font);
}

// The item is checkable, so a click on it inverts the mark by itself.
void TFolderDialog::N3Click() { N3->toggle(); }

void TFolderDialog::BitBtn1Click() {
  const QString text = ComboBox1->currentText();
  if (auto s = ToCp932(text)) startFolder_ = *s;
  else startFolder_.clear();
  for (int i = 0; i < ComboBox1->count(); ++i)
    if (SameIgnoringCase(ComboBox1->itemText(i), text)) return;
  if (ComboBox1->count() >= HistoryMax && ComboBox1->count() > 0) ComboBox1->removeItem(0);
  ComboBox1->addItem(text);
  ComboBox1->setEditText(text);
}

}  // namespace tavo
