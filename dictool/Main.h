// TMainForm: the program's one main window. It holds the state that the
// searches, the settings and the editor link share, lays out the search box,
// the two search buttons and the two result pages, and dispatches keys,
// mouse presses and menu commands to the searches and dialogs.
//
// Its widgets and its state are its own. Others reach it by what is public:
// what the start sets, what the searches left (read only), the lists and
// paths the dialogs and the settings exchange, and the commands a user
// gives, by their handlers' names. The work of each command is done by the
// window-free units (DicSearchEngine, GaibuSearchEngine, PageFill,
// TSettingsFile, ...); the window binds them to its widgets.
//
// One instance for the run, on the UI thread. The window owns its lists and
// hit records; the dialogs are its children and reached through the
// pointers set at start (SetForms).
#pragma once

#include <QColor>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dictool/CellPainter.h"
#include "dictool/HitLine.h"
#include "dictool/SearchProblems.h"
#include "dictool/SearchSession.h"
#include "dictool/SettingsFile.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QWidget;

namespace tavo::ui {
class FormKeys;
class TStringGrid;
class TFontDialog;
}  // namespace tavo::ui

namespace tavo {
namespace test {
struct TMainFormTestAccess;
}  // namespace test

class DicSearchEngine;
class GaibuSearchEngine;
class HitSource;
class RowSink;
class SearchListener;
class TDicListDlg;
class TSetWordDlg;
class TdlgAboutBox;
class TFolderDialog;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // ---- Start: each set before the window is first shown ----
  // The dialogs created after the main window (start-up order).
  void SetForms(TDicListDlg* dicList, TSetWordDlg* setWord, TdlgAboutBox* about, TFolderDialog* folder);
  // The settings file: a bare name lies in the settings folder
  // ("tavodic.ini" unless set).
  void SetSettingsFileName(const std::string& fileName);
  // The program's arguments after its name, which the first showing acts on.
  void SetCommandLine(QStringList arguments) { CommandLine = std::move(arguments); }
  // Tests watch which operation a command chose.
  void SetTraceOperation(std::function<void(const char* operation)> trace) { TraceOperation = std::move(trace); }

  // ---- What the searches left ----
  // The open search, or the last one: its flags and its file.
  const SearchSession& Session() const { return session_; }
  // The rows filled so far of Grid (dictionary search) and of Grid2
  // (external search), CP932, and the record of each row of Grid2.
  std::vector<std::string> DicRows() const;
  std::vector<std::string> GaibuRows() const;
  std::vector<THitLine> Hits() const;
  // Both grids' colours, by the colour scheme.
  CellColors Colors() const { return {TextColor, BackColor, HeaderColor}; }

  // ---- What the dialogs and the settings file exchange with the window ----
  // Paths are CP932. Other dictionaries to search make the next search of
  // the last word run anew.
  const std::vector<std::string>& GetSearchDicList() const { return SearchDicList; }
  void SetSearchDicList(std::vector<std::string> dics);
  const std::vector<std::string>& GetNotSearchDicList() const { return NotSearchDicList; }
  void SetNotSearchDicList(std::vector<std::string> dics) { NotSearchDicList = std::move(dics); }
  const std::string& GetWriteDic() const { return WriteDic; }
  void SetWriteDic(std::string path) { WriteDic = std::move(path); }
  const std::string& GetLastFolder() const { return LastFolder; }
  void SetLastFolder(std::string folder) { LastFolder = std::move(folder); }
  void SetEditorPath(std::string path) { EditorPath = std::move(path); }
  bool GetHintVisible() const { return HintVisible; }
  // The scheme of "カラー設定" (1 to 3); a tag that names none is 1.
  int GetColorScheme() const;
  void SetColorScheme(int tag);

  // ---- Commands, as the menus, the buttons and the keys give them ----
  void KX1Click();         // 終了
  void N5Click();          // ヒント表示
  void mnuSetDicClick();   // 辞書ファイルの登録
  void mnuSetWordClick();  // 語句の登録
  void mnuSetFontClick();
  void mnuHelpIndexClick();
  void mnuVersionClick();
  void ActionDicSearchExecute();    // 検索, Enter
  void ActionGaibuSearchExecute();  // 外部検索
  void btnSearchCancelClick();      // 検索中止, Esc
  void Action1Execute();            // F2: the braille editor to the front
  void Action3Execute();            // F3: the hit under the cursor to the editor
  // The dictionary search of the word in the search box; ending and
  // cancelling the open search (either kind); the word registration
  // dialog, offering `word`.
  void DicSearch();
  void SearchEnd();
  void SearchCancel();
  void RegisterWord(const std::string& word);

  static QString SearchErrorCaption();  // "検索エラー"

 protected:
  void showEvent(QShowEvent* e) override;
  bool event(QEvent* e) override;  // the editor's requests (posted window messages)
  void closeEvent(QCloseEvent* e) override;

 private:
  // Tests reach the widgets and the state they set up through this one door
  // (tests/dictool/MainFormAccess.h).
  friend struct test::TMainFormTestAccess;

  // ---- Components ----
  QFrame* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* cbSearchWord = nullptr;
  QPushButton* btnSearch = nullptr;
  QPushButton* btnGaibuSearch = nullptr;
  QPushButton* btnSearchCancel = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QFrame* Panel2 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabDicSearchView = nullptr;
  QWidget* TabFileSearchView = nullptr;
  ui::TStringGrid* Grid = nullptr;
  QLabel* StatusPanel = nullptr;
  ui::TStringGrid* Grid2 = nullptr;
  QLabel* StatusPanel2 = nullptr;
  ui::TFontDialog* FontDialog = nullptr;

  QAction* Action1 = nullptr;
  QAction* Action3 = nullptr;
  QAction* ActionDicSearch = nullptr;
  QAction* ActionGaibuSearch = nullptr;

  QMenu* mnuFile = nullptr;
  QAction* KX1 = nullptr;
  QMenu* mnuView = nullptr;
  QAction* N5 = nullptr;
  QMenu* mnuSettings = nullptr;
  QAction* mnuSetDic = nullptr;
  QAction* mnuSetWord = nullptr;
  QMenu* mnuSetColor = nullptr;
  QAction* mnuColor1 = nullptr;
  QAction* mnuColor2 = nullptr;
  QAction* mnuColor3 = nullptr;
  QAction* mnuSetFont = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* mnuHelpIndex = nullptr;
  QAction* mnuVersion = nullptr;

  // ---- Fields ----
  QColor TextColor;
  QColor BackColor;
  QColor HeaderColor;
  std::vector<std::string> SearchDicList;
  std::vector<std::string> NotSearchDicList;
  std::vector<std::string> GaibuFileList;
  std::string LastSearchWord;
  std::string HighlightWord;
  std::string HighlightWord2;
  std::vector<std::string> SearchHistory;
  std::string WriteDic;
  // The open search: its flags, its file and its own list of files.
  SearchSession session_;
  int DicRowCount = 0;
  int DicPageTop = 0;
  bool GaibuIntent = false;
  int GaibuRowCount = 0;
  int GaibuPageTop = 0;
  bool HintVisible = true;
  std::string LastFolder;
  std::string EditorPath;
  std::vector<std::unique_ptr<THitLine>> HitList;
  // The word of the last dictionary search, whatever ran in between: a
  // finished search is kept only when that search was a dictionary search.
  bool LastSearchWasDic = false;
  QStringList CommandLine;
  std::function<void(const char* operation)> TraceOperation;

  // ---- Form events ----
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();

  // ---- The dialogs' exchanges ----
  void SetDicList();
  void SetHintVisible(bool visible);
  void mnuColorClick(QAction* item);

  // ---- Dispatch of keys and mouse presses ----
  void SearchAction(int page, void (TMainForm::*nextPage)(), bool gaibu);
  void ResultGridKeyDown(ui::TStringGrid* grid, int key, Qt::KeyboardModifiers shift);
  void btnSearchMouseDown();
  void btnGaibuSearchMouseDown();
  void cbSearchWordKeyDown(int& key, Qt::KeyboardModifiers shift);
  void cbSearchWordKeyPress(QChar& key);
  void btnGaibuSearchKeyPress(QChar& key);
  void cbSearchWordKeyUp(int& key, Qt::KeyboardModifiers shift);
  void GridKeyDown(int& key, Qt::KeyboardModifiers shift);
  void Grid2KeyDown(int& key, Qt::KeyboardModifiers shift);
  void GridKeyUp(int& key, Qt::KeyboardModifiers shift);
  void Grid2KeyUp(int& key, Qt::KeyboardModifiers shift);

  // ---- Dictionary search ----
  class DicGridRows;  // Grid as the search's row sink
  bool DicSearchStart();  // false when nothing was opened
  void DicSearchNextPage();
  void AddGridLine(const std::string& text);

  // ---- Shared by both searches ----
  // Whether the search box holds a word to search for; else the user is
  // told why not and the box gets the focus.
  bool CheckSearchWord();
  void ClearGrid(ui::TStringGrid* grid);
  void AddSearchHistory(const std::string& word);

  // ---- External search ----
  class GaibuGridRows;  // Grid2 as the search's row sink: every row with its record
  void GaibuSearch(const std::string& startFolder);
  void GaibuSearchStart();
  void GaibuSearchNextPage();
  void ClearHitList();
  void AddGrid2Line(const std::string& text, const std::string& path, int page, int line);

  // ---- Link to the braille editor ----
  std::string ReadTmpSearchWord();
  void WMDicSearch();
  void WMSearchReset();
  void WMGaibuSearch();
  void WriteHitInfo(const THitLine& hit);  // throws EIniFileException
  std::string FindEditorWindow(const std::string& shortPath);  // the window's handle, "" for none

  // ---- Painting and settings ----
  void UpdateRowHeights();
  void GridDrawCell(QPainter& canvas, int col, const QRect& rect, int row);
  void Grid2DrawCell(QPainter& canvas, int col, const QRect& rect, int row);
  void DrawGridCell(QPainter& canvas, int col, const QRect& rect, int row);
  void DrawGrid2Cell(QPainter& canvas, int col, const QRect& rect, int row);
  void LoadSettings();
  // Tells the values it could not keep; throws EIniFileException when the
  // file cannot be written.
  void SaveSettings();

  // The text of the search box as CP932; "" when it holds a character that
  // has no CP932 form.
  std::string SearchWordText() const;
  void SetSearchWordText(const std::string& cp932);

  void BuildComponents();
  void BuildMenus();
  void BindEvents();
  void CreateSearches();
  void Trace(const char* operation) {
    if (TraceOperation) TraceOperation(operation);
  }
  void FillRowsThatFit(ui::TStringGrid* grid, int pageTop);
  // Empties a result grid for a new search and gives the search the
  // controls; returns the word to search, as the box now shows it.
  std::string OpenResultGrid(ui::TStringGrid* grid, int& rowCount, int& pageTop);
  // One page of a search's grid, with its end row at the end; true when the
  // search read its last file.
  struct ResultPage {
    ui::TStringGrid* grid;
    QLabel* status;
    int page;  // of PageControl1
    int& pageTop;
    QPushButton* continueButton;
    HitSource& source;
    RowSink& rows;
  };
  bool FillResultPage(const ResultPage& page);
  void AfterFill();
  // The text that tells what the external search that ended could not
  // search, "" when nothing; its count goes onto the status line after
  // `status`, and the list is emptied.
  QString TakeGaibuProblems(const QString& status);
  // The editor's requests: carried out at once, or kept (the last one wins)
  // while a page is filled or a dialog is open, and carried out after.
  struct LinkRequest {
    unsigned msg = 0;    // 0: none
    bool hasWord = false;  // the word came with it (command line), not in "__DIC.TMP"
    QString word;
  };
  void HandleCommandLine();
  void ReceiveLinkRequest(const LinkRequest& request);
  bool LinkRequestMustWait() const;
  void TryDeferredLinkRequest();
  void CarryOutLinkRequest(const LinkRequest& request);
  void StartLinkSearch(bool gaibu, const QString& word);
  // The settings the window holds, and the window made to hold `settings`.
  TSettings CurrentSettings() const;
  void ApplySettings(TSettings settings);

  ui::FormKeys* keys_ = nullptr;
  TDicListDlg* dicListDlg_ = nullptr;
  TSetWordDlg* setWordDlg_ = nullptr;
  TdlgAboutBox* aboutBox_ = nullptr;
  TFolderDialog* folderDlg_ = nullptr;
  bool shown_ = false;
  int colorScheme_ = 1;  // the scheme last set; restores the ticks of a refused click
  CellPainter cellPainter_{BrailleFontInstalled()};
  TSettingsFile settingsFile_{"tavodic.ini"};
  bool closeAfterFill_ = false;
  // The dictionary search's failures as message boxes; what the external
  // search could not search, told when it ends (TakeGaibuProblems).
  std::unique_ptr<SearchListener> dicMessages_;
  std::unique_ptr<SearchProblems> gaibuProblems_;
  std::unique_ptr<DicSearchEngine> dicEngine_;
  std::unique_ptr<GaibuSearchEngine> gaibuEngine_;
  LinkRequest deferredLink_;
  QTimer* linkRetry_ = nullptr;  // looks again for the end of a fill or a dialog
};

}  // namespace tavo
