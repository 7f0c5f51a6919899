#include "Diclist.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "FileDialogs.h"
#include "FormKeys.h"
#include "QtText.h"

namespace tavo {

TDicListDlg::TDicListDlg(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("DicListDlg"));
  setWindowTitle(QStringLiteral("辞書の登録"));
  resize(742, 320);
  auto* layout = new QVBoxLayout(this);
  SrcList = new QListWidget(this);
  DstList = new QListWidget(this);
  layout->addWidget(SrcList);
  layout->addWidget(DstList);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1 = new QPushButton(QStringLiteral("キャンセル"), this);
  layout->addWidget(OKBtn);
  layout->addWidget(BitBtn1);
  AddModalButton(OKBtn, ui::mrOk);
  AddModalButton(BitBtn1, ui::mrCancel);
  auto* keys = new ui::FormKeys(this);
  keys->AddDefaultButton(OKBtn);
  keys->SetCancelButton(BitBtn1);
  OpenDialog = new ui::TOpenDialog;
}

TDicListDlg::~TDicListDlg() { delete OpenDialog; }

void TDicListDlg::LoadLists(const std::vector<std::string>& searched, const std::vector<std::string>& notSearched) {
  SrcList->clear();
  DstList->clear();
  for (const auto& s : searched) SrcList->addItem(FromCp932Exact(s));
  for (const auto& s : notSearched) DstList->addItem(FromCp932Exact(s));
}

void TDicListDlg::SaveLists(std::vector<std::string>& searched, std::vector<std::string>& notSearched) const {
  searched.clear();
  notSearched.clear();
  for (int i = 0; i < SrcList->count(); ++i)
    if (auto s = ToCp932(SrcList->item(i)->text())) searched.push_back(*s);
  for (int i = 0; i < DstList->count(); ++i)
    if (auto s = ToCp932(DstList->item(i)->text())) notSearched.push_back(*s);
}

}  // namespace tavo
