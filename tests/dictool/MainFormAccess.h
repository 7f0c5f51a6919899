// The one door of tests into the main window: the widgets they send keys and
// mouse presses to and look at, and the state they set up for the command
// they give (a paused search, a left-over intent, a highlighted word). What
// a test reads of the searches and the settings, and the commands it gives
// directly, go through TMainForm's public interface.
//
// Lent for the window's life; the pointers and references are the window's.
#pragma once

#include <string>

#include "dictool/Main.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace tavo::test {

struct TMainFormTestAccess {
  explicit TMainFormTestAccess(TMainForm& form)
      : cbSearchWord(form.cbSearchWord),
        btnSearch(form.btnSearch),
        btnGaibuSearch(form.btnGaibuSearch),
        btnSearchCancel(form.btnSearchCancel),
        SpeedButton2(form.SpeedButton2),
        SpeedButton1(form.SpeedButton1),
        PageControl1(form.PageControl1),
        Grid(form.Grid),
        StatusPanel(form.StatusPanel),
        Grid2(form.Grid2),
        StatusPanel2(form.StatusPanel2),
        Action1(form.Action1),
        Action3(form.Action3),
        mnuFile(form.mnuFile),
        mnuView(form.mnuView),
        N5(form.N5),
        mnuSettings(form.mnuSettings),
        mnuSetDic(form.mnuSetDic),
        mnuSetWord(form.mnuSetWord),
        mnuSetColor(form.mnuSetColor),
        mnuColor1(form.mnuColor1),
        mnuColor2(form.mnuColor2),
        mnuColor3(form.mnuColor3),
        mnuSetFont(form.mnuSetFont),
        mnuHelp(form.mnuHelp),
        mnuHelpIndex(form.mnuHelpIndex),
        mnuVersion(form.mnuVersion),
        Session(form.session_),
        GaibuIntent(form.GaibuIntent),
        LastSearchWord(form.LastSearchWord),
        HighlightWord(form.HighlightWord),
        HighlightWord2(form.HighlightWord2),
        form_(form) {}

  QComboBox* const cbSearchWord;
  QPushButton* const btnSearch;
  QPushButton* const btnGaibuSearch;
  QPushButton* const btnSearchCancel;
  QToolButton* const SpeedButton2;
  QToolButton* const SpeedButton1;
  QTabWidget* const PageControl1;
  ui::TStringGrid* const Grid;
  QLabel* const StatusPanel;
  ui::TStringGrid* const Grid2;
  QLabel* const StatusPanel2;
  QAction* const Action1;
  QAction* const Action3;
  QMenu* const mnuFile;
  QMenu* const mnuView;
  QAction* const N5;
  QMenu* const mnuSettings;
  QAction* const mnuSetDic;
  QAction* const mnuSetWord;
  QMenu* const mnuSetColor;
  QAction* const mnuColor1;
  QAction* const mnuColor2;
  QAction* const mnuColor3;
  QAction* const mnuSetFont;
  QMenu* const mnuHelp;
  QAction* const mnuHelpIndex;
  QAction* const mnuVersion;

  SearchSession& Session;
  bool& GaibuIntent;
  std::string& LastSearchWord;
  std::string& HighlightWord;
  std::string& HighlightWord2;

  // The first showing once more: it acts on the command line again.
  void FormShow() { form_.FormShow(); }
  // A row of Grid2 with its record, as the external search adds it.
  void AddGrid2Line(const std::string& text, const std::string& path, int page, int line) {
    form_.AddGrid2Line(text, path, page, line);
  }

 private:
  TMainForm& form_;
};

}  // namespace tavo::test
