#include "SetWord.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "FileDialogs.h"
#include "FormKeys.h"
#include "JCType.h"
#include "QtText.h"

namespace tavo {

TSetWordDlg::TSetWordDlg(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("SetWordDlg"));
  setWindowTitle(QStringLiteral("語句登録"));
  resize(522, 357);
  auto* layout = new QVBoxLayout(this);
  edAddWord = new QLineEdit(this);
  DicList = new QListWidget(this);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
  layout->addWidget(edAddWord);
  layout->addWidget(DicList);
  layout->addWidget(OKBtn);
  layout->addWidget(CancelBtn);
  AddModalButton(OKBtn, ui::mrOk);
  AddModalButton(CancelBtn, ui::mrCancel);
  auto* keys = new ui::FormKeys(this);
  keys->AddDefaultButton(OKBtn);
  keys->SetCancelButton(CancelBtn);
  OpenDialog = new ui::TOpenDialog;
}

TSetWordDlg::~TSetWordDlg() { delete OpenDialog; }

std::string TSetWordDlg::AppendWord() const { return SpaceToSquare(ToCp932(edAddWord->text()).value_or("")); }

void TSetWordDlg::SetAppendWord(const std::string& word) { edAddWord->setText(FromCp932Exact(word)); }

std::string TSetWordDlg::WriteDicName() const {
  QListWidgetItem* item = DicList->currentItem();
  return item != nullptr && item->isSelected() ? ToCp932(item->text()).value_or("") : std::string();
}

void TSetWordDlg::SetWriteDicName(const std::string& name) {
  DicList->clearSelection();
  for (int i = 0; i < DicList->count(); ++i) {
    if (ToCp932(DicList->item(i)->text()).value_or("") == name) {
      DicList->setCurrentRow(i);
      break;
    }
  }
  UpdateOKButton();
}

void TSetWordDlg::LoadDicList(const std::vector<std::string>& searched, const std::vector<std::string>&) {
  DicList->clear();
  for (const auto& s : searched) DicList->addItem(FromCp932Exact(s));
}

void TSetWordDlg::SaveDicList(std::vector<std::string>& searched, std::vector<std::string>&) const {
  searched.clear();
  for (int i = 0; i < DicList->count(); ++i)
    if (auto s = ToCp932(DicList->item(i)->text())) searched.push_back(*s);
}

void TSetWordDlg::UpdateOKButton() { OKBtn->setEnabled(!DicList->selectedItems().isEmpty()); }

}  // namespace tavo
