// TDicListDlg: the dictionary registration dialog. It edits two lists of
// dictionary paths (searched, in search order; registered but not searched)
// and touches no file. The caller fills it with LoadLists before each
// showing and takes the lists back with SaveLists only after OK.
#pragma once

#include <string>
#include <vector>

#include "Modal.h"

class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

namespace tavo::ui {
class TOpenDialog;
}

namespace tavo {

class TDicListDlg : public ui::TModalForm {
  Q_OBJECT
 public:
  explicit TDicListDlg(QWidget* parent = nullptr);
  ~TDicListDlg() override;

  void LoadLists(const std::vector<std::string>& searched, const std::vector<std::string>& notSearched);
  void SaveLists(std::vector<std::string>& searched, std::vector<std::string>& notSearched) const;

  QLabel* SrcLabel = nullptr;
  QLabel* DstLabel = nullptr;
  QListWidget* SrcList = nullptr;
  QListWidget* DstList = nullptr;
  QPushButton* IncludeBtn = nullptr;
  QPushButton* IncAllBtn = nullptr;
  QPushButton* ExcludeBtn = nullptr;
  QPushButton* ExAllBtn = nullptr;
  QToolButton* UpBtn = nullptr;
  QToolButton* DownBtn = nullptr;
  QPushButton* EntryBtn = nullptr;
  QPushButton* ReleaseBtn = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* HelpBtn = nullptr;
  ui::TOpenDialog* OpenDialog = nullptr;
};

}  // namespace tavo
