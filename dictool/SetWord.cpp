#include "dictool/SetWord.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QValidator>

#include <cerrno>

#include "dictool/DicListItems.h"
#include "dictool/HelpPages.h"
#include "dictool/JCType.h"
#include "platform/files/Files.h"
#include "platform/files/TextFile.h"
#include "platform/system/OSError.h"
#include "platform/text/QtText.h"
#include "platform/ui/AccessibleNames.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FormKeys.h"

namespace tavo {
namespace {

// What may be typed or pasted as a word: one dictionary line of CP932. A
// paste is cut at its first line break; a character without a CP932 form is
// refused. Text that the program sets is not checked.
class WordValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    const qsizetype brk = input.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (brk >= 0) {
      input.truncate(brk);
      if (pos > brk) pos = static_cast<int>(brk);
    }
    return ToCp932(input) ? Acceptable : Invalid;
  }
};

size_t Cp932Length(const QString& text) { return ToCp932(text).value_or(std::string()).size(); }

}  // namespace

TSetWordDlg::TSetWordDlg(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("SetWordDlg"));
  setWindowTitle(QStringLiteral("語句登録"));
  resize(522, 357);

  auto* layout = new QVBoxLayout(this);
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);
  auto* upper = new QVBoxLayout(Bevel1);
  Label1 = new QLabel(QStringLiteral("登録する語句"), Bevel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  edAddWord = new QLineEdit(Bevel1);
  edAddWord->setObjectName(QStringLiteral("edAddWord"));
  edAddWord->setValidator(new WordValidator(edAddWord));
  // Typing stops at 80 bytes. A longer word handed in by the program stays
  // whole, and an edit may shorten it but never lengthen it.
  connect(edAddWord, &QLineEdit::textEdited, this, [this](const QString& text) {
    const size_t n = Cp932Length(text);
    if (n > static_cast<size_t>(kWordMaxBytes) && n > Cp932Length(acceptedWord_)) {
      const int cursor = edAddWord->cursorPosition() - static_cast<int>(text.size() - acceptedWord_.size());
      edAddWord->setText(acceptedWord_);
      edAddWord->setCursorPosition(cursor < 0 ? 0 : cursor);
      return;
    }
    acceptedWord_ = text;
  });
  Label1->setBuddy(edAddWord);
  auto* row = new QHBoxLayout;
  Label2 = new QLabel(QStringLiteral("登録する辞書を一覧から選んでください"), Bevel1);
  Label2->setObjectName(QStringLiteral("Label2"));
  NewDicBtn = new QPushButton(QStringLiteral("辞書ファイル新規作成"), Bevel1);
  NewDicBtn->setObjectName(QStringLiteral("NewDicBtn"));
  row->addWidget(Label2, 1);
  row->addWidget(NewDicBtn);
  DicList = new QListWidget(Bevel1);
  DicList->setObjectName(QStringLiteral("DicList"));
  DicList->setSelectionMode(QAbstractItemView::SingleSelection);
  DicList->setMinimumSize(505, 209);
  Label2->setBuddy(DicList);
  ui::SetAccessibleName(edAddWord, Label1->text());
  ui::SetAccessibleName(DicList, QStringLiteral("登録する辞書"));
  upper->addWidget(Label1);
  upper->addWidget(edAddWord);
  upper->addLayout(row);
  upper->addWidget(DicList, 1);
  layout->addWidget(Bevel1, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  HelpBtn = new QPushButton(QStringLiteral("ヘルプ(&H)"), this);
  HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
  bottom->addWidget(OKBtn);
  bottom->addWidget(CancelBtn);
  bottom->addWidget(HelpBtn);
  layout->addLayout(bottom);

  AddModalButton(OKBtn, ui::mrOk);
  AddModalButton(CancelBtn, ui::mrCancel);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(NewDicBtn, &QPushButton::clicked, this, [this] { NewDicBtnClick(); });
  connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
  // A choice made with the keyboard counts as one made with the mouse.
  connect(DicList, &QListWidget::itemSelectionChanged, this, [this] { DicListMouseUp(); });
  auto* keys = new ui::FormKeys(this);
  keys->AddDefaultButton(OKBtn);
  keys->SetCancelButton(CancelBtn);

  OpenDialog = new ui::TOpenDialog;
  OpenDialog->Filter =
      QStringLiteral("辞書ファイル(*.DIC)|*.DIC|テキストファイル(*.TXT)|*.TXT|全てのファイル(*.*)|*.*");
  OpenDialog->FilterIndex = 1;
  OpenDialog->HideReadOnly = true;
  OpenDialog->FileMustExist = false;

  ui::CenterOnScreen(this);
}

TSetWordDlg::~TSetWordDlg() { delete OpenDialog; }

std::string TSetWordDlg::AppendWord() const {
  return SpaceToSquare(ToCp932(edAddWord->text()).value_or(std::string()));
}

void TSetWordDlg::SetAppendWord(const std::string& word) {
  acceptedWord_ = FromCp932Exact(word);
  edAddWord->setText(acceptedWord_);
}

std::string TSetWordDlg::WriteDicName() const {
  const QList<QListWidgetItem*> selected = DicList->selectedItems();
  return selected.isEmpty() ? std::string() : PathOfItem(DicList, DicList->row(selected.front()));
}

void TSetWordDlg::SetWriteDicName(const std::string& name) {
  const int row = FindPath(DicList, name);
  DicList->clearSelection();
  if (row >= 0) DicList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  UpdateOKButton();
}

void TSetWordDlg::LoadDicList(const std::vector<std::string>& searched, const std::vector<std::string>&) {
  DicList->clear();
  for (const std::string& s : searched) AddPathItem(DicList, s);
}

void TSetWordDlg::SaveDicList(std::vector<std::string>& searched, std::vector<std::string>&) const {
  searched = PathsOf(DicList);
}

void TSetWordDlg::UpdateOKButton() { OKBtn->setEnabled(!DicList->selectedItems().isEmpty()); }

void TSetWordDlg::DicListMouseUp() { UpdateOKButton(); }

void TSetWordDlg::OKBtnClick() {
  const std::string name = WriteDicName();
  // A word with a character that has no CP932 form cannot be written.
  const int error = ToCp932(edAddWord->text()) ? AppendLine(name, AppendWord()) : EILSEQ;
  if (error != 0) {
    // The word is not in the dictionary: say so and why, and keep the
    // dialog open so that nothing reads as registered.
    SetModalResult(ui::mrNone);
    ui::MessageBox(this,
                   QStringLiteral("辞書ファイル %1　に語句を登録できませんでした。\n%2")
                       .arg(FromCp932(name), FromCp932(FileErrorText(error))),
                   QStringLiteral("語句登録"), ui::MB_ICONWARNING);
  }
}

void TSetWordDlg::NewDicBtnClick() {
  if (!OpenDialog->Execute(this)) return;
  std::string name = OpenDialog->FileName;
  if (ExtractFileExt(name).empty()) name += ".DIC";
  const QString caption = QStringLiteral("新規辞書ファイルの作成");
  if (!AcceptDictionaryPath(this, caption, name)) return;
  if (FileExists(name) &&
      ui::MessageBox(this, QStringLiteral("同じ名前のファイルがあります。上書きしますか？"), caption,
                     ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  if (const int error = MakeEmptyFile(name)) {
    ui::MessageBox(this,
                   QStringLiteral("辞書ファイル %1　を作成できません。\n%2").arg(FromCp932(name), FromCp932(FileErrorText(error))),
                   caption, ui::MB_ICONWARNING);
    return;
  }
  if (FindPath(DicList, name) < 0) AddPathItem(DicList, name);
  SetWriteDicName(name);
}

void TSetWordDlg::HelpBtnClick() { OpenHelpPage(this, "HID00000008.htm"); }

}  // namespace tavo
