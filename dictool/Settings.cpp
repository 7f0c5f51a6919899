// The main window's settings: LoadSettings reads the settings file once, when
// the window is first shown; SaveSettings writes it on close and after OK in
// either registration dialog. The file itself is TSettingsFile's; here the
// window and the search-folder dialog are read into settings and made to
// hold them.
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QString>

#include <algorithm>
#include <climits>

#include "dictool/Main.h"
#include "dictool/UnstorableText.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/files/Files.h"
#include "platform/system/OSError.h"
#include "platform/text/QtText.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Modal.h"
#include "platform/ui/ScreenPlacement.h"
#include "platform/ui/StringGrid.h"

namespace tavo {
namespace {

// Where one font lies in the settings.
struct FontFields {
  std::string TSettings::*name;
  int TSettings::*size;
  bool TSettings::*bold;
  bool TSettings::*italic;
  bool TSettings::*underline;
  bool TSettings::*strikeOut;
};
constexpr FontFields kGridFont{&TSettings::GridFontName,   &TSettings::GridFontSize,
                               &TSettings::GridFontBold,   &TSettings::GridFontItalic,
                               &TSettings::GridFontUnderline, &TSettings::GridFontStrikeOut};
constexpr FontFields kFolderFont{&TSettings::FolderFontName,   &TSettings::FolderFontSize,
                                 &TSettings::FolderFontBold,   &TSettings::FolderFontItalic,
                                 &TSettings::FolderFontUnderline, &TSettings::FolderFontStrikeOut};

// `font` with the face, size and style of the settings; the faces that
// stand in for a missing one stay behind it.
QFont FontOf(QFont font, const TSettings& s, const FontFields& k) {
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  families[0] = FromCp932Exact(s.*k.name);
  font.setFamilies(families);
  font.setPointSize(s.*k.size);
  font.setBold(s.*k.bold);
  font.setItalic(s.*k.italic);
  font.setUnderline(s.*k.underline);
  font.setStrikeOut(s.*k.strikeOut);
  return font;
}

// Fonts set in pixels count 96 to the inch, as the design's sizes do.
void StoreFont(const QFont& font, TSettings& s, const FontFields& k) {
  const QString family = font.families().value(0, font.family());
  if (auto name = ToCp932(family)) s.*k.name = std::move(*name);  // else the face as it was read
  s.*k.size = font.pointSize() > 0 ? font.pointSize() : qRound(font.pixelSize() * 72.0 / 96.0);
  s.*k.bold = font.bold();
  s.*k.italic = font.italic();
  s.*k.underline = font.underline();
  s.*k.strikeOut = font.strikeOut();
}

// Saved bounds brought onto the screens there are now. The position is the
// frame's and the size the inside's: the frame, where it is known already,
// is counted in.
void PlaceWindow(QWidget& window, int left, int top, int width, int height) {
  std::vector<ui::Bounds> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    screens.push_back({area.x(), area.y(), area.width(), area.height()});
  }
  const int frameWidth = window.frameGeometry().width() - window.width();
  const int frameHeight = window.frameGeometry().height() - window.height();
  const ui::Bounds placed =
      ui::PlaceOnScreens({left, top, static_cast<int>(std::min<long long>(INT_MAX, 0LL + width + frameWidth)),
                          static_cast<int>(std::min<long long>(INT_MAX, 0LL + height + frameHeight))},
                         screens);
  window.move(placed.left, placed.top);
  window.resize(placed.width - frameWidth, placed.height - frameHeight);
}

// One line for each value a save left out.
QString UnkeptText(const std::vector<TUnkeptSetting>& unkept) {
  QString text;
  for (const TUnkeptSetting& u : unkept) {
    QString reason = UnstorableReason(u.problem);
    if (u.problem == ProfileValueProblem::kTooLong) reason = QStringLiteral("%1 バイトあり、%2").arg(u.value.size()).arg(reason);
    text += QStringLiteral("%1「%2」は、%3ため、設定ファイルに保存できません。\n")
                .arg(FromCp932(u.what), ShownValue(u.value, 60), reason);
  }
  return text + QStringLiteral("ほかの設定は保存しました。");
}

static_assert(int{vsIcon} == svLargeIcons && int{vsSmallIcon} == svSmallIcons && int{vsList} == svList &&
              int{vsReport} == svDetails);

}  // namespace

TSettings TMainForm::CurrentSettings() const {
  TSettings s;
  s.SearchDicList = SearchDicList;
  s.NotSearchDicList = NotSearchDicList;
  s.WriteDic = WriteDic;
  s.Top = y();
  s.Left = x();
  s.Height = height();
  s.Width = width();
  s.ColorScheme = GetColorScheme();
  StoreFont(Grid->font(), s, kGridFont);
  s.HintVisible = HintVisible;
  s.LastFolder = LastFolder;
  if (folderDlg_ != nullptr) {
    const TFolderDialog& d = *folderDlg_;
    s.DialogTop = d.y();
    s.DialogLeft = d.x();
    s.DialogWidth = d.width();
    s.DialogHeight = d.height();
    int* widths[] = {&s.NameColumnWidth, &s.SizeColumnWidth, &s.TypeColumnWidth, &s.ModifiedColumnWidth,
                     &s.AttributesColumnWidth};
    for (int c = 0; c < 5; ++c) *widths[c] = d.ColumnWidth(c);
    s.HistoryMax = d.HistoryMax;
    s.FolderHistory = d.History();
    s.SearchSubfolders = d.CheckBox1->isChecked();
    s.TreeWidth = d.TreeWidth();
    s.ViewStyle = d.ViewStyle();
    StoreFont(d.FontDialog1->Font, s, kFolderFont);
  }
  s.EditorPath = EditorPath;
  return s;
}

void TMainForm::ApplySettings(TSettings s) {
  SearchDicList = std::move(s.SearchDicList);
  NotSearchDicList = std::move(s.NotSearchDicList);
  WriteDic = std::move(s.WriteDic);
  PlaceWindow(*this, s.Left, s.Top, s.Width, s.Height);
  SetColorScheme(s.ColorScheme);
  const QFont gridFont = FontOf(Grid->font(), s, kGridFont);
  Grid->setFont(gridFont);
  Grid2->setFont(gridFont);
  HintVisible = s.HintVisible;
  LastFolder = std::move(s.LastFolder);
  if (folderDlg_ != nullptr) {
    TFolderDialog& d = *folderDlg_;
    PlaceWindow(d, s.DialogLeft, s.DialogTop, s.DialogWidth, s.DialogHeight);
    const int widths[] = {s.NameColumnWidth, s.SizeColumnWidth, s.TypeColumnWidth, s.ModifiedColumnWidth,
                          s.AttributesColumnWidth};
    for (int c = 0; c < 5; ++c) d.SetColumnWidth(c, widths[c]);
    d.HistoryMax = s.HistoryMax;
    d.SetHistory(s.FolderHistory);
    d.CheckBox1->setChecked(s.SearchSubfolders);
    d.SetTreeWidth(s.TreeWidth);
    d.SetViewStyle(static_cast<TViewStyle>(s.ViewStyle));
    d.FontDialog1->Font = FontOf(d.FontDialog1->Font, s, kFolderFont);
    d.SetBrowseFont(d.FontDialog1->Font);
  }
  EditorPath = std::move(s.EditorPath);
}

void TMainForm::LoadSettings() {
  // The lists, the editor's path, the window's bounds and the grids' font
  // default to what the window holds (at its first showing, its design);
  // the rest to the values of a first run.
  const TSettings current = CurrentSettings();
  TSettings settings;
  settings.SearchDicList = current.SearchDicList;
  settings.NotSearchDicList = current.NotSearchDicList;
  settings.WriteDic = current.WriteDic;
  settings.EditorPath = current.EditorPath;
  settings.Top = current.Top;
  settings.Left = current.Left;
  settings.Height = current.Height;
  settings.Width = current.Width;
  settings.GridFontName = current.GridFontName;
  settings.GridFontSize = current.GridFontSize;
  settings.LastFolder = ProgramFolder();  // what an empty start folder reads as
  const int error = settingsFile_.Load(settings);
  ApplySettings(std::move(settings));
  const QString path = FromCp932(settingsFile_.Path());
  const TSettingsLoadNote& note = settingsFile_.LoadNote();
  QString told;
  if (error != 0)
    // Empty lists saved at the close would take the place of the user's.
    told = QStringLiteral("設定ファイル %1 を読み込めません。\n%2\n設定ファイルはこの実行中には上書きしません。")
               .arg(path, FromCp932(FileErrorText(error)));
  else if (!note.keptAs.empty())
    told = QStringLiteral("設定ファイル %1 は%2ため、読み込めません。\nそのままの内容で %3 に移し、既定の設定を使います。")
               .arg(path,
                    note.text == ProfileFileText::kUtf8NotCp932
                        ? QStringLiteral("UTF-8 で書かれていて、Shift-JIS にない文字を含む")
                        : QStringLiteral("Shift-JIS のテキストでも UTF-8 のテキストでもない"),
                    FromCp932(note.keptAs));
  else if (note.rewritten)
    told = QStringLiteral("設定ファイル %1 は UTF-8 で書かれていました。読み込んで、Shift-JIS で書き直しました。").arg(path);
  if (!told.isEmpty()) ui::MessageBox(this, told, windowTitle(), ui::MB_ICONWARNING);
}

void TMainForm::SaveSettings() {
  const std::vector<TUnkeptSetting> unkept = settingsFile_.Save(CurrentSettings());
  if (!unkept.empty()) ui::MessageBox(this, UnkeptText(unkept), windowTitle(), ui::MB_ICONWARNING);
}

void TMainForm::SetSettingsFileName(const std::string& fileName) { settingsFile_ = TSettingsFile(fileName); }

}  // namespace tavo
