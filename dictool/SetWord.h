// TSetWordDlg: the word registration dialog. The user edits a word and picks
// one of the searched dictionaries; OK appends the word as one line to that
// file. The dialog can also create a new, empty dictionary file and list it.
// Paths and the word are CP932. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Modal.h"

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavo::ui {
class TOpenDialog;
}

namespace tavo {

// At most this many bytes of CP932 text can be typed into the word box.
inline constexpr int kWordMaxBytes = 80;

class TSetWordDlg : public ui::TModalForm {
  Q_OBJECT
 public:
  explicit TSetWordDlg(QWidget* parent = nullptr);
  ~TSetWordDlg() override;

  // The word: written as it is (a longer text set here is not cut); read
  // with every half-width and full-width space made "□".
  std::string AppendWord() const;
  void SetAppendWord(const std::string& word);
  // The selected dictionary, "" when none is selected. Writing selects the
  // entry of exactly that name, or none, and updates the OK button.
  std::string WriteDicName() const;
  void SetWriteDicName(const std::string& name);

  // The candidates are the searched dictionaries; the other list is not read
  // or written.
  void LoadDicList(const std::vector<std::string>& searched, const std::vector<std::string>& notSearched);
  void SaveDicList(std::vector<std::string>& searched, std::vector<std::string>& notSearched) const;
  // OK is enabled exactly while a dictionary is selected.
  void UpdateOKButton();

  QFrame* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* edAddWord = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* NewDicBtn = nullptr;
  QListWidget* DicList = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  ui::TOpenDialog* OpenDialog = nullptr;

  void OKBtnClick();
  void NewDicBtnClick();
  void HelpBtnClick();
  void DicListMouseUp();

 private:
  QString acceptedWord_;  // the word as it stood before the user's edit in progress
};

}  // namespace tavo
