// TSetWordDlg: the word registration dialog. The user edits a word and picks
// one of the searched dictionaries; OK appends the word as one line to that
// file. It can also create a new, empty dictionary file and list it.
#pragma once

#include <string>
#include <vector>

#include "Modal.h"

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavo::ui {
class TOpenDialog;
}

namespace tavo {

class TSetWordDlg : public ui::TModalForm {
  Q_OBJECT
 public:
  explicit TSetWordDlg(QWidget* parent = nullptr);
  ~TSetWordDlg() override;

  // The word: written as it is; read with every space made "□" (CP932).
  std::string AppendWord() const;
  void SetAppendWord(const std::string& word);
  // The selected dictionary (CP932), "" when none is selected.
  std::string WriteDicName() const;
  void SetWriteDicName(const std::string& name);

  void LoadDicList(const std::vector<std::string>& searched, const std::vector<std::string>& notSearched);
  void SaveDicList(std::vector<std::string>& searched, std::vector<std::string>& notSearched) const;
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
};

}  // namespace tavo
