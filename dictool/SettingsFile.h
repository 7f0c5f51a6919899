// The program's settings as a value, and the settings file that keeps them
// between runs.
//
// Load reads the file once. Save writes in one batch (one lock, one atomic
// replace) only the keys whose value this program changed since it read or
// last wrote them, each list counting as one value, and the keys missing
// from the file, so that the file shows every setting. What another program
// or another copy of the program wrote meanwhile, and this copy did not
// change, is never written over from a stale copy. The braille editor's
// path is read and never written. A crash, a kill or a full disk during a
// save leaves the old file or the new one. A value that the file cannot
// hold (ProfileText.h) never costs the others: it is left out, and the save
// names it.
//
// Strings are CP932. One owner (the main window, on the UI thread).
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/files/PrivateProfile.h"

namespace tavo {

// The settings file's name for the program file `programFile`: its name with
// its extension replaced by ".ini" ("tavodic" gives "tavodic.ini");
// "tavodic.ini" when it is empty.
std::string SettingsFileNameFor(std::string_view programFile);

// The view styles of the search-folder dialog's file list, as its values.
enum TSettingsView : int { svLargeIcons = 0, svSmallIcons = 1, svList = 2, svDetails = 3 };

// What the program keeps between runs. The initial values are the defaults
// of a first run, except LastFolder, whose default (the program's folder)
// the caller sets; an empty value in the file reads as that default.
struct TSettings {
  std::vector<std::string> SearchDicList;     // searched dictionaries, in search order
  std::vector<std::string> NotSearchDicList;  // registered, not searched
  std::string WriteDic;                       // the dictionary words are registered in

  // The main window's bounds.
  int Top = 128, Left = 191, Height = 521, Width = 811;
  int ColorScheme = 1;  // 1 green on black, 2 white on black, 3 black on white
  // The result grids' font; size in points.
  std::string GridFontName = "\x82\x6C\x82\x72" " " "\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
  int GridFontSize = 16;
  bool GridFontBold = false, GridFontItalic = false, GridFontUnderline = false, GridFontStrikeOut = false;
  bool HintVisible = true;

  std::string LastFolder;  // the external search's start folder
  // The search-folder dialog: bounds, the file list's report column widths
  // (name, size, type, modified, attributes), the folder history (oldest
  // first) and its limit, the subfolder switch, the tree's width, the view.
  int DialogTop = 123, DialogLeft = 159, DialogWidth = 729, DialogHeight = 482;
  int NameColumnWidth = 180, SizeColumnWidth = 50, TypeColumnWidth = 100, ModifiedColumnWidth = 120,
      AttributesColumnWidth = 38;
  int HistoryMax = 20;
  std::vector<std::string> FolderHistory;
  bool SearchSubfolders = false;
  int TreeWidth = 217;
  int ViewStyle = svDetails;  // TSettingsView
  // The folder tree's and the file list's font; size in points.
  std::string FolderFontName = "\x82\x6C\x82\x72" " " "\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ Ｐゴシック
  int FolderFontSize = 9;
  bool FolderFontBold = false, FolderFontItalic = false, FolderFontUnderline = false, FolderFontStrikeOut = false;

  std::string EditorPath;  // the braille editor's program; read, never written

  bool operator==(const TSettings&) const = default;
};

// A value that the file cannot hold so that it reads back as it was.
struct TUnkeptSetting {
  std::string_view what;  // the setting in words, CP932 ("検索フォルダの履歴")
  std::string value;
  ProfileValueProblem problem;

  bool operator==(const TUnkeptSetting&) const = default;
};

// What Load found besides the values.
struct TSettingsLoadNote {
  ProfileFileText text = ProfileFileText::kCp932;  // how the file's bytes were read
  bool rewritten = false;  // a UTF-8 file was written back whole in CP932 at once
  std::string keptAs;      // a file that was no text was moved here, untouched;
                           // the defaults are in use
};

class TSettingsFile {
 public:
  // `fileName`: a bare name lies in the settings folder; a name with '/' is a path.
  explicit TSettingsFile(std::string fileName);

  // Where the file lies, for messages.
  std::string Path() const;

  // Reads the file into `settings`. A missing file or key, a value that is
  // no number where one belongs, and a value that would not fit the file
  // (ProfileText.h) leave what `settings` held: the caller's defaults. A
  // colour scheme that names none is scheme 1; a font size outside 1 to
  // 200 points is the default; a list is read up to its count, at most
  // 4096 items and no more than the keys of its section. Returns 0, or the
  // errno value of why a file that exists could not be read; `settings`
  // then keep their defaults, and no save of this run writes over that file.
  // A file in UTF-8 is read as such and at once written back whole in CP932;
  // one that is no text is moved aside and the defaults are used (LoadNote;
  // EILSEQ when it cannot be moved).
  int Load(TSettings& settings);
  const TSettingsLoadNote& LoadNote() const { return note_; }

  // Writes what changed and what is missing (see above). A failure throws
  // EIniFileException ("<path> に書き込めません" and the reason); the file is
  // then as it was, and the next save tries again. After a failed Load, a
  // save with changes is refused that way and one without writes nothing.
  // A value that the file cannot hold is left out: a text keeps what the
  // file held, a list is written without it. Returns those values, each
  // only the first time a save of this object left it out.
  std::vector<TUnkeptSetting> Save(const TSettings& settings);

 private:
  using Value = std::variant<std::string, int, bool, std::vector<std::string>>;
  std::string fileName_;
  // Per setting: the value the file holds for this program, as last read or
  // written. Two keys that set one field (a font's size) each keep their own.
  std::vector<Value> stored_;
  int loadError_ = 0;
  TSettingsLoadNote note_;
  std::set<std::pair<std::string_view, std::string>> told_;  // values left out and returned once
};

}  // namespace tavo
