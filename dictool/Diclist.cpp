#include "dictool/Diclist.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "dictool/DicListItems.h"
#include "dictool/HelpPages.h"
#include "platform/text/QtText.h"
#include "platform/ui/AccessibleNames.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FormKeys.h"

namespace tavo {
namespace {

QPushButton* SmallButton(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  QFont f = b->font();
  f.setBold(true);
  b->setFont(f);
  b->setFixedWidth(32);
  return b;
}

}  // namespace

TDicListDlg::TDicListDlg(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("DicListDlg"));
  setWindowTitle(QStringLiteral("辞書の登録"));
  resize(742, 320);

  SrcLabel = new QLabel(QStringLiteral("検索対象辞書"), this);
  SrcLabel->setObjectName(QStringLiteral("SrcLabel"));
  DstLabel = new QLabel(QStringLiteral("検索対象外辞書"), this);
  DstLabel->setObjectName(QStringLiteral("DstLabel"));
  SrcList = new QListWidget(this);
  SrcList->setObjectName(QStringLiteral("SrcList"));
  DstList = new QListWidget(this);
  DstList->setObjectName(QStringLiteral("DstList"));
  for (QListWidget* l : {SrcList, DstList}) {
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setMinimumSize(348, 256);
    l->viewport()->installEventFilter(this);  // mouse release: SrcListMouseUp
  }
  SrcLabel->setBuddy(SrcList);
  DstLabel->setBuddy(DstList);

  IncludeBtn = SmallButton("IncludeBtn", QStringLiteral(">"), this);
  IncAllBtn = SmallButton("IncAllBtn", QStringLiteral(">>"), this);
  ExcludeBtn = SmallButton("ExcludeBtn", QStringLiteral("<"), this);
  ExAllBtn = SmallButton("ExAllBtn", QStringLiteral("<<"), this);
  ExcludeBtn->setEnabled(false);
  ExAllBtn->setEnabled(false);
  UpBtn = new QToolButton(this);
  UpBtn->setObjectName(QStringLiteral("UpBtn"));
  UpBtn->setArrowType(Qt::UpArrow);
  DownBtn = new QToolButton(this);
  DownBtn->setObjectName(QStringLiteral("DownBtn"));
  DownBtn->setArrowType(Qt::DownArrow);
  // What the symbols and arrows do, for a screen reader.
  const struct {
    QWidget* control;
    const char* name;
    const char* description;
  } names[] = {
      {SrcList, "検索対象辞書", "検索する辞書。上から順に検索します"},
      {DstList, "検索対象外辞書", "登録してあるが検索しない辞書"},
      {IncludeBtn, "除外", "選択した辞書を検索対象外辞書へ移します"},
      {IncAllBtn, "すべて除外", "すべての辞書を検索対象外辞書へ移します"},
      {ExcludeBtn, "追加", "選択した辞書を検索対象辞書の最後へ移します"},
      {ExAllBtn, "すべて追加", "すべての辞書を検索対象辞書の最後へ移します"},
      {UpBtn, "上へ", "選択した辞書を一つ前に検索します"},
      {DownBtn, "下へ", "選択した辞書を一つ後に検索します"},
  };
  for (const auto& n : names) {
    ui::SetAccessibleName(n.control, QString::fromUtf8(n.name));
    n.control->setAccessibleDescription(QString::fromUtf8(n.description));
  }

  EntryBtn = new QPushButton(QStringLiteral("登録辞書の追加"), this);
  EntryBtn->setObjectName(QStringLiteral("EntryBtn"));
  ReleaseBtn = new QPushButton(QStringLiteral("登録を解除"), this);
  ReleaseBtn->setObjectName(QStringLiteral("ReleaseBtn"));
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  BitBtn1 = new QPushButton(QStringLiteral("キャンセル"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  HelpBtn = new QPushButton(QStringLiteral("ヘルプ(&H)"), this);
  HelpBtn->setObjectName(QStringLiteral("HelpBtn"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(SrcLabel, 0, 0);
  grid->addWidget(DstLabel, 0, 2);
  grid->addWidget(SrcList, 1, 0);
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  for (QWidget* w : std::initializer_list<QWidget*>{IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) middle->addWidget(w);
  middle->addSpacing(16);
  middle->addWidget(UpBtn);
  middle->addWidget(DownBtn);
  middle->addStretch(1);
  grid->addLayout(middle, 1, 1);
  grid->addWidget(DstList, 1, 2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(EntryBtn);
  bottom->addWidget(ReleaseBtn);
  bottom->addStretch(1);
  bottom->addWidget(OKBtn);
  bottom->addWidget(BitBtn1);
  bottom->addWidget(HelpBtn);
  grid->addLayout(bottom, 2, 0, 1, 3);

  AddModalButton(OKBtn, ui::mrOk);
  AddModalButton(BitBtn1, ui::mrCancel);
  connect(IncludeBtn, &QPushButton::clicked, this, [this] { IncludeBtnClick(); });
  connect(IncAllBtn, &QPushButton::clicked, this, [this] { IncAllBtnClick(); });
  connect(ExcludeBtn, &QPushButton::clicked, this, [this] { ExcludeBtnClick(); });
  connect(ExAllBtn, &QPushButton::clicked, this, [this] { ExcAllBtnClick(); });
  connect(UpBtn, &QToolButton::clicked, this, [this] { UpBtnClick(); });
  connect(DownBtn, &QToolButton::clicked, this, [this] { DownBtnClick(); });
  connect(EntryBtn, &QPushButton::clicked, this, [this] { EntryBtnClick(); });
  connect(ReleaseBtn, &QPushButton::clicked, this, [this] { ReleaseBtnClick(); });
  connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
  // A selection made with the keyboard counts as one made with the mouse.
  // Queued, so that the passing states of a list operation (an entry taken
  // out and put back) never disable the button that has the focus.
  for (QListWidget* l : {SrcList, DstList})
    connect(l, &QListWidget::itemSelectionChanged, this, [this] { SetButtons(); }, Qt::QueuedConnection);
  // Tab follows the layout: the searched list, the buttons between the
  // lists, the other list, the bottom row.
  QWidget* order[] = {SrcList, IncludeBtn, IncAllBtn,  ExcludeBtn, ExAllBtn, UpBtn, DownBtn,
                      DstList, EntryBtn,   ReleaseBtn, OKBtn,      BitBtn1,  HelpBtn};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  auto* keys = new ui::FormKeys(this);
  keys->AddDefaultButton(OKBtn);
  keys->SetCancelButton(BitBtn1);

  OpenDialog = new ui::TOpenDialog;
  OpenDialog->Filter = QStringLiteral(
      "辞書ファイル(*.DIC,*.TXT,*.RUT)|*.DIC;*.TXT;*.RUT|辞書ファイル(*.DIC)|*.DIC|テキストファイル(*.TXT)|*.TXT|"
      "RUTEファイル(*.RUT)|*.RUT|全てのファイル(*.*)|*.*");
  OpenDialog->FilterIndex = 1;
  OpenDialog->DefaultExt = QStringLiteral("DIC");
  OpenDialog->AllowMultiSelect = true;
  OpenDialog->CreatePrompt = true;

  ui::CenterOnScreen(this);
}

TDicListDlg::~TDicListDlg() { delete OpenDialog; }

void TDicListDlg::LoadLists(const std::vector<std::string>& searched, const std::vector<std::string>& notSearched) {
  SrcList->clear();
  DstList->clear();
  for (const std::string& s : searched) AddPathItem(SrcList, s);
  for (const std::string& s : notSearched) AddPathItem(DstList, s);
}

void TDicListDlg::SaveLists(std::vector<std::string>& searched, std::vector<std::string>& notSearched) const {
  searched = PathsOf(SrcList);
  notSearched = PathsOf(DstList);
}

int TDicListDlg::GetFirstSelection(QListWidget* list) const {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) return i;
  return -1;
}

void TDicListDlg::SetItem(QListWidget* list, int index) {
  list->setFocus();
  if (index == -1) index = 0;
  else if (index > list->count() - 1) index = list->count() - 1;
  if (index >= 0 && index < list->count()) {
    list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    list->item(index)->setSelected(true);
  }
  SetButtons();
}

void TDicListDlg::MoveSelected(QListWidget* list, QListWidget* dest) {
  for (int i = list->count() - 1; i >= 0; --i) {
    if (!list->item(i)->isSelected()) continue;
    QListWidgetItem* item = list->takeItem(i);
    item->setSelected(false);
    dest->addItem(item);
    item->setSelected(false);
  }
}

void TDicListDlg::SetButtons() {
  const bool src = SrcList->count() > 0;
  IncludeBtn->setEnabled(src);
  IncAllBtn->setEnabled(src);
  UpBtn->setEnabled(src);
  DownBtn->setEnabled(src);
  const bool dst = DstList->count() > 0;
  ExcludeBtn->setEnabled(dst);
  ExAllBtn->setEnabled(dst);
  if (SrcList->selectedItems().size() != 1) {
    UpBtn->setEnabled(false);
    DownBtn->setEnabled(false);
  }
}

void TDicListDlg::IncludeBtnClick() {
  const int i = GetFirstSelection(SrcList);
  MoveSelected(SrcList, DstList);
  SetItem(SrcList, i);
}

void TDicListDlg::ExcludeBtnClick() {
  const int i = GetFirstSelection(DstList);
  MoveSelected(DstList, SrcList);
  SetItem(DstList, i);
}

void TDicListDlg::IncAllBtnClick() {
  while (SrcList->count() > 0) {
    QListWidgetItem* item = SrcList->takeItem(0);
    DstList->addItem(item);
    item->setSelected(false);
  }
  SetItem(SrcList, 0);
}

void TDicListDlg::ExcAllBtnClick() {
  while (DstList->count() > 0) {
    QListWidgetItem* item = DstList->takeItem(0);
    SrcList->addItem(item);
    item->setSelected(false);
  }
  SetItem(DstList, 0);
}

namespace {

// Exchanges the entries at i and j and leaves the moved one (now at j)
// current and alone selected.
void MoveEntry(QListWidget* list, int i, int j) {
  QListWidgetItem* moved = list->takeItem(i);
  list->insertItem(j, moved);
  list->clearSelection();
  list->setCurrentRow(j, QItemSelectionModel::NoUpdate);
  moved->setSelected(true);
}

}  // namespace

void TDicListDlg::UpBtnClick() {
  const int i = SrcList->currentRow();
  if (i < 1 || SrcList->count() < 2) return;
  MoveEntry(SrcList, i, i - 1);
  SetButtons();
}

void TDicListDlg::DownBtnClick() {
  const int i = SrcList->currentRow();
  // Without a current entry there is nothing to move.
  if (i < 0 || i >= SrcList->count() - 1 || SrcList->count() < 2) return;
  MoveEntry(SrcList, i, i + 1);
  SetButtons();
}

void TDicListDlg::EntryBtnClick() {
  if (OpenDialog->Execute(this)) {
    for (const std::string& path : OpenDialog->Files) {
      // Linux names are case-sensitive: a path is already registered only
      // when it is the very same name.
      if (FindPath(SrcList, path) >= 0 || FindPath(DstList, path) >= 0) continue;
      if (!AcceptDictionaryPath(this, windowTitle(), path)) continue;
      AddPathItem(SrcList, path);
    }
  }
  SetButtons();
}

void TDicListDlg::ReleaseBtnClick() {
  for (QListWidget* list : {SrcList, DstList})
    for (int i = list->count() - 1; i >= 0; --i)
      if (list->item(i)->isSelected()) delete list->takeItem(i);
  SetButtons();
}

void TDicListDlg::HelpBtnClick() { OpenHelpPage(this, "HID00000007.htm"); }

void TDicListDlg::showEvent(QShowEvent* e) {
  ui::TModalForm::showEvent(e);
  FormShow();
}

void TDicListDlg::FormShow() {
  SrcList->setFocus();  // every showing begins in the searched list
  SetButtons();
}

void TDicListDlg::SrcListMouseUp() { SetButtons(); }

bool TDicListDlg::eventFilter(QObject* watched, QEvent* event) {
  // After the list has taken the release (a release can change the
  // selection), as a mouse-up handler runs.
  if (event->type() == QEvent::MouseButtonRelease && (watched == SrcList->viewport() || watched == DstList->viewport()))
    QMetaObject::invokeMethod(this, [this] { SrcListMouseUp(); }, Qt::QueuedConnection);
  return ui::TModalForm::eventFilter(watched, event);
}

}  // namespace tavo
