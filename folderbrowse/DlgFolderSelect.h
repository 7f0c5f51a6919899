// TFolderDialog: the modal dialog in which the user picks the start folder of
// the external search and whether its subfolders are searched too: a folder
// tree on the left, the folder's subfolders and RUTE documents on the right,
// a path box that follows the tree and that it follows, with the history of
// the folders confirmed with OK. It keeps its state (history, view, font,
// check box, tree) between showings; the caller writes sStartFolder before
// showing and reads it after OK. The rules it applies are
// FolderDialogRules.h's. UI thread only.
#pragma once

#include <QFont>

#include <functional>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellListView.h"
#include "platform/ui/Modal.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenuBar;
class QMenu;
class QPushButton;
class QSplitter;
class QToolButton;

namespace tavo::ui {
class TFontDialog;
}

namespace tavo {

class TZuShellTreeView;

class TFolderDialog : public ui::TModalForm {
  Q_OBJECT
 public:
  explicit TFolderDialog(QWidget* parent = nullptr);
  ~TFolderDialog() override;

  // The folder: written before showing (the tree moves to it), after OK the
  // path box's text at the moment of OK. CP932.
  const std::string& sStartFolder() const { return startFolder_; }
  void SetsStartFolder(const std::string& folder);

  // Largest number of history entries OK lets the history grow to.
  int HistoryMax = 0;

  QFrame* Panel3 = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton5 = nullptr;
  QToolButton* SpeedButton6 = nullptr;
  QFrame* Panel2 = nullptr;
  TZuShellTreeView* ZuShellTreeView1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QFrame* Panel4 = nullptr;
  TZuShellListView* ZuShellListView1 = nullptr;
  QFrame* Panel1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QAction* N2 = nullptr;
  QMenu* N1 = nullptr;
  QAction* N3 = nullptr;
  ui::TFontDialog* FontDialog1 = nullptr;

  // The file list's view style; the view buttons show it.
  TViewStyle ViewStyle() const { return ZuShellListView1->ViewStyle(); }
  void SetViewStyle(TViewStyle style);

  // Widths of the file list's report columns 0-4 (name, size, type,
  // modified, attributes), also while it shows a folder of one column.
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);

  // The font of the folder tree and the file list.
  void SetBrowseFont(const QFont& font);

  // The folder history, oldest first (CP932).
  std::vector<std::string> History() const;
  void SetHistory(const std::vector<std::string>& folders);

  // The width of the tree's panel; it keeps it when the dialog is resized.
  int TreeWidth() const { return treeWidth_; }
  void SetTreeWidth(int width);

  // The help button's command (the owner opens its help page).
  std::function<void()> OnHelp;

  void FormCreate();
  void FormShow();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void N2Click();
  void BitBtn1Click();
  void ZuShellTreeView1Change();
  void ComboBox1Change();
  void SpeedButton5Click();
  void BitBtn3Click();
  void ZuShellListView1ShFilter(TShellFileItem& item, bool& accept);
  void ZuShellListView1ShExecute(TShellFileItem& item, TShiftState shift, int subItem, int x, int y,
                                 bool& defaultAction);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  std::string startFolder_;
  int treeWidth_ = 217;
};

}  // namespace tavo
