// TDicListDlg: the dictionary registration dialog. It edits two lists of
// dictionary paths, the searched ones in search order and the registered
// ones that are not searched, and touches no file. The caller fills it with
// LoadLists before each showing and takes the lists back with SaveLists only
// after OK. Entries keep their CP932 bytes exactly. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Modal.h"

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
  QListWidget* SrcList = nullptr;  // searched, in search order
  QListWidget* DstList = nullptr;  // registered, not searched
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

  // The index of the first selected entry, -1 when none is.
  int GetFirstSelection(QListWidget* list) const;
  // Focuses the list and adds the entry at `index` (clamped into the list)
  // to its selection; then SetButtons.
  void SetItem(QListWidget* list, int index);
  // Moves the selected entries, from the last to the first, to the end of
  // `dest` (so they arrive in reverse order, unselected).
  void MoveSelected(QListWidget* list, QListWidget* dest);
  void SetButtons();

  void IncludeBtnClick();
  void ExcludeBtnClick();
  void IncAllBtnClick();
  void ExcAllBtnClick();
  void UpBtnClick();
  void DownBtnClick();
  void EntryBtnClick();
  void ReleaseBtnClick();
  void HelpBtnClick();
  void FormShow();
  void SrcListMouseUp();

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tavo
