#include "dictool/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>
#include <type_traits>

#include "dictool/Cp932Texts.h"
#include "platform/files/Files.h"
#include "platform/files/IniFile.h"
#include "platform/files/PrivateProfile.h"
#include "platform/system/OSError.h"
#include "platform/system/SysUtils.h"

namespace tavo {
namespace {

// The names of the file (CP932).
constexpr std::string_view SecDesktop = "\x83\x66\x83\x58\x83\x4E\x83\x67\x83\x62\x83\x76";  // デスクトップ
constexpr std::string_view SecColor = "\x95\x5C\x8E\xA6\x90\x46";  // 表示色
constexpr std::string_view SecFont = "\x83\x74\x83\x48\x83\x93\x83\x67";  // フォント
constexpr std::string_view SecHint = "\x83\x71\x83\x93\x83\x67\x95\x5C\x8E\xA6";  // ヒント表示
constexpr std::string_view SecFolderDialog = "\x8A\x4F\x95\x94\x83\x74\x83\x40\x83\x43\x83\x8B\x91\x49\x91\xF0";  // 外部ファイル選択
constexpr std::string_view SecFolderFont = "\x8A\x4F\x95\x94\x83\x74\x83\x40\x83\x43\x83\x8B\x91\x49\x91\xF0\x83\x74\x83\x48\x83\x93\x83\x67";  // 外部ファイル選択フォント
constexpr std::string_view SecPath = "\x83\x70\x83\x58";  // パス
constexpr std::string_view KeyLastFolder = "\x8D\xC5\x8C\xE3\x82\xC9\x8E\x51\x8F\xC6\x82\xB5\x82\xBD\x83\x70\x83\x58";  // 最後に参照したパス
constexpr std::string_view KeyDialogTop = "\x95\x5C\x8E\xA6\x88\xCA\x92\x75" "TOP";  // 表示位置TOP
constexpr std::string_view KeyDialogLeft = "\x95\x5C\x8E\xA6\x88\xCA\x92\x75" "LEFT";  // 表示位置LEFT
constexpr std::string_view KeyDialogWidth = "\x95\x5C\x8E\xA6\x83\x54\x83\x43\x83\x59\x95\x9D";  // 表示サイズ幅
constexpr std::string_view KeyDialogHeight = "\x95\x5C\x8E\xA6\x83\x54\x83\x43\x83\x59\x8D\x82\x82\xB3";  // 表示サイズ高さ
constexpr std::string_view KeyNameColumn = "\x96\xBC\x91\x4F\x83\x4A\x83\x89\x83\x80\x95\x9D";  // 名前カラム幅
constexpr std::string_view KeySizeColumn = "\x83\x54\x83\x43\x83\x59\x83\x4A\x83\x89\x83\x80\x95\x9D";  // サイズカラム幅
constexpr std::string_view KeyTypeColumn = "\x8E\xED\x97\xDE\x83\x4A\x83\x89\x83\x80\x95\x9D";  // 種類カラム幅
constexpr std::string_view KeyModifiedColumn = "\x8D\x58\x90\x56\x93\xFA\x8E\x9E\x83\x4A\x83\x89\x83\x80\x95\x9D";  // 更新日時カラム幅
constexpr std::string_view KeyAttributesColumn = "\x91\xAE\x90\xAB\x83\x4A\x83\x89\x83\x80\x95\x9D";  // 属性カラム幅
constexpr std::string_view KeyHistoryMax = "\x97\x9A\x97\xF0\x8D\xC5\x91\xE5\x95\xDB\x8E\x9D\x90\x94";  // 履歴最大保持数
constexpr std::string_view KeyHistoryCount = "\x97\x9A\x97\xF0\x90\x94";  // 履歴数
constexpr std::string_view KeyHistoryItem = "\x8C\x9F\x8D\xF5\x8A\x4A\x8E\x6E\x83\x74\x83\x48\x83\x8B\x83\x5F\x97\x9A\x97\xF0";  // 検索開始フォルダ履歴
constexpr std::string_view KeySubfolders = "\x89\xBA\x91\x77\x83\x74\x83\x48\x83\x8B\x83\x5F\x8C\x9F\x8D\xF5\x83\x74\x83\x89\x83\x4F";  // 下層フォルダ検索フラグ
constexpr std::string_view KeyTreeWidth = "TreeView" "\x95\x9D";  // TreeView幅
constexpr std::string_view KeyViewStyle = "\x95\x5C\x8E\xA6\x95\xFB\x96\x40";  // 表示方法

// The names of the view styles, by their values.
constexpr std::string_view kViewNames[] = {
    "\x91\xE5\x82\xAB\x82\xA2\x83\x41\x83\x43\x83\x52\x83\x93",  // 大きいアイコン
    "\x8F\xAC\x82\xB3\x82\xA2\x83\x41\x83\x43\x83\x52\x83\x93",  // 小さいアイコン
    "\x88\xEA\x97\x97",                                          // 一覧
    "\x8F\xDA\x8D\xD7",                                          // 詳細
};

// The settings that are texts, in words for the messages that name them.
constexpr std::string_view WhatSearchDics = "\x8C\x9F\x8D\xF5\x91\xCE\x8F\xDB\x82\xCC\x8E\xAB\x8F\x91";  // 検索対象の辞書
constexpr std::string_view WhatNotSearchDics = "\x8C\x9F\x8D\xF5\x91\xCE\x8F\xDB\x8A\x4F\x82\xCC\x8E\xAB\x8F\x91";  // 検索対象外の辞書
constexpr std::string_view WhatWriteDic = "\x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x90\xE6\x82\xCC\x8E\xAB\x8F\x91";  // 書き込み先の辞書
constexpr std::string_view WhatGridFont = "\x8C\x9F\x8D\xF5\x8C\x8B\x89\xCA\x82\xCC\x83\x74\x83\x48\x83\x93\x83\x67\x96\xBC";  // 検索結果のフォント名
constexpr std::string_view WhatLastFolder = "\x8D\xC5\x8C\xE3\x82\xC9\x8C\x9F\x8D\xF5\x82\xB5\x82\xBD\x83\x74\x83\x48\x83\x8B\x83\x5F";  // 最後に検索したフォルダ
constexpr std::string_view WhatHistory = "\x8C\x9F\x8D\xF5\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xCC\x97\x9A\x97\xF0";  // 検索フォルダの履歴
constexpr std::string_view WhatFolderFont = "\x8C\x9F\x8D\xF5\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xCC\x91\x49\x91\xF0\x82\xCC\x83\x74\x83\x48\x83\x93\x83\x67\x96\xBC";  // 検索フォルダの選択のフォント名

// A damaged count must not keep the start busy for hours.
constexpr int kMaxListItems = 4096;

using Value = std::variant<std::string, int, bool, std::vector<std::string>>;
using Field = std::variant<std::string TSettings::*, int TSettings::*, bool TSettings::*,
                           std::vector<std::string> TSettings::*>;

// How a value is read beyond the common rules (numbers in decimal or
// "0x" hex, Booleans true for any number but 0).
enum class Rule {
  kPlain,
  kNotEmpty,   // an empty text reads as the default
  kScheme,     // a colour scheme: 1 to 3, any other number is 1
  kFontSize,   // points: 1 to 200, else the default
  kStyleBit,   // true only for 1
  kViewStyle,  // written as the style's name; any other name is the details view
  kReadOnly,   // never written
};

// A list is stored as its count under the row's key and its items under
// `items` + number, numbered from `first`.
struct Numbering {
  std::string_view items;
  int first = 0;
  bool skipEmpty = false;  // empty items are dropped when read
};

// One key: where it lies in the file, which field holds it and how it reads.
struct Row {
  std::string_view section;
  std::string_view key;
  Field field;
  Rule rule = Rule::kPlain;
  Numbering list = {};
  std::string_view what = {};  // a text's name in words
  int fallback = 0;  // when not 0, the default in place of what the field holds
};

using S = TSettings;

// In the order of the file: the order of loading, saving and of new keys.
const Row kRows[] = {
    {sj::SecSearchDics, sj::KeyFileCount, &S::SearchDicList, Rule::kPlain, {sj::KeyFileName, 0, true}, WhatSearchDics},
    {sj::SecNotSearchDics, sj::KeyFileCount, &S::NotSearchDicList, Rule::kPlain, {sj::KeyFileName, 0, true},
     WhatNotSearchDics},
    {sj::SecWriteDic, sj::KeyFileName, &S::WriteDic, Rule::kPlain, {}, WhatWriteDic},
    {SecDesktop, "Top", &S::Top},
    {SecDesktop, "Left", &S::Left},
    {SecDesktop, "Height", &S::Height},
    {SecDesktop, "Width", &S::Width},
    {SecColor, "Color", &S::ColorScheme, Rule::kScheme},
    {SecFont, "Name", &S::GridFontName, Rule::kPlain, {}, WhatGridFont},
    {SecFont, "Size", &S::GridFontSize, Rule::kFontSize},
    {SecFont, "Bold", &S::GridFontBold, Rule::kStyleBit},
    {SecFont, "Italic", &S::GridFontItalic, Rule::kStyleBit},
    {SecFont, "Underline", &S::GridFontUnderline, Rule::kStyleBit},
    {SecFont, "StrikeOut", &S::GridFontStrikeOut, Rule::kStyleBit},
    {SecHint, "Hint", &S::HintVisible},
    {SecFolderDialog, KeyLastFolder, &S::LastFolder, Rule::kNotEmpty, {}, WhatLastFolder},
    {SecFolderDialog, KeyDialogTop, &S::DialogTop},
    {SecFolderDialog, KeyDialogLeft, &S::DialogLeft},
    {SecFolderDialog, KeyDialogWidth, &S::DialogWidth},
    {SecFolderDialog, KeyDialogHeight, &S::DialogHeight},
    {SecFolderDialog, KeyNameColumn, &S::NameColumnWidth},
    {SecFolderDialog, KeySizeColumn, &S::SizeColumnWidth},
    {SecFolderDialog, KeyTypeColumn, &S::TypeColumnWidth},
    {SecFolderDialog, KeyModifiedColumn, &S::ModifiedColumnWidth},
    {SecFolderDialog, KeyAttributesColumn, &S::AttributesColumnWidth},
    {SecFolderDialog, KeyHistoryMax, &S::HistoryMax},
    {SecFolderDialog, KeyHistoryCount, &S::FolderHistory, Rule::kPlain, {KeyHistoryItem, 1, false}, WhatHistory},
    {SecFolderDialog, KeySubfolders, &S::SearchSubfolders},
    {SecFolderDialog, KeyTreeWidth, &S::TreeWidth},
    {SecFolderDialog, KeyViewStyle, &S::ViewStyle, Rule::kViewStyle},
    {SecFolderFont, "Name", &S::FolderFontName, Rule::kPlain, {}, WhatFolderFont},
    {SecFolderFont, "Size", &S::FolderFontSize, Rule::kFontSize},
    // An older writer kept the size here too; read last, it decides, and it
    // is written with the size.
    {SecFolderFont, "Color", &S::FolderFontSize, Rule::kFontSize, {}, {}, 9},
    {SecFolderFont, "Bold", &S::FolderFontBold, Rule::kStyleBit},
    {SecFolderFont, "Italic", &S::FolderFontItalic, Rule::kStyleBit},
    {SecFolderFont, "Underline", &S::FolderFontUnderline, Rule::kStyleBit},
    {SecFolderFont, "StrikeOut", &S::FolderFontStrikeOut, Rule::kStyleBit},
    {SecPath, "TAVO", &S::EditorPath, Rule::kReadOnly},
};
constexpr size_t kRowCount = std::size(kRows);

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;  // older compilers deduce no aggregate

Value Get(const Row& row, const TSettings& s) {
  return std::visit(
      [&](auto f) { return Value(std::in_place_type<std::remove_cvref_t<decltype(s.*f)>>, s.*f); }, row.field);
}

void Set(const Row& row, TSettings& s, Value value) {
  std::visit([&](auto f) { s.*f = std::get<std::remove_cvref_t<decltype(s.*f)>>(std::move(value)); }, row.field);
}

std::string ItemKey(const Row& row, int i) { return std::string(row.list.items) + std::to_string(row.list.first + i); }

// A value too long for the file was written by someone else; read cut, it
// would name another file or number, so it counts as missing.
std::optional<std::string> Whole(const PrivateProfileBatch& batch, std::string_view section, std::string_view key) {
  auto value = batch.Value(section, key);
  if (!value || value->size() > kProfileValueMax) return std::nullopt;
  return std::string(*value);
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

int ReadNumber(const Row& row, const std::string& text, int current) {
  const int fallback = row.fallback != 0 ? row.fallback : current;
  switch (row.rule) {
    case Rule::kViewStyle:
      for (int style = svLargeIcons; style < svDetails; ++style)
        if (SameIgnoringAsciiCase(text, kViewNames[style])) return style;
      return svDetails;
    case Rule::kScheme: {
      const int n = ProfileStrToInt(text, current);
      return n >= 1 && n <= 3 ? n : 1;
    }
    case Rule::kFontSize: {
      const int n = ProfileStrToInt(text, fallback);
      return n >= 1 && n <= 200 ? n : fallback;
    }
    default:
      return ProfileStrToInt(text, fallback);
  }
}

// The row's value in the file; `current` when it is missing or unusable.
Value Read(const PrivateProfileBatch& batch, const Row& row, const Value& current) {
  return std::visit(
      Overload{
          [&](const std::vector<std::string>&) -> Value {
            auto count = batch.Value(row.section, row.key);
            if (!count) return current;
            const int present = static_cast<int>(std::min<size_t>(batch.KeyCount(row.section), kMaxListItems));
            const int n = std::clamp(ProfileStrToInt(*count, 0), 0, present);
            std::vector<std::string> list;
            for (int i = 0; i < n; ++i) {
              std::string item = Whole(batch, row.section, ItemKey(row, i)).value_or("");
              if (!item.empty() || !row.list.skipEmpty) list.push_back(std::move(item));
            }
            return list;
          },
          [&](const auto& was) -> Value {
            using T = std::decay_t<decltype(was)>;
            const std::optional<std::string> text = Whole(batch, row.section, row.key);
            if (!text) return current;
            if constexpr (std::is_same_v<T, std::string>) {
              if (row.rule == Rule::kNotEmpty && text->empty()) return current;
              return *text;
            } else if constexpr (std::is_same_v<T, int>) {
              return ReadNumber(row, *text, was);
            } else {
              const int n = ProfileStrToInt(*text, was ? 1 : 0);
              return row.rule == Rule::kStyleBit ? n == 1 : n != 0;
            }
          },
      },
      current);
}

bool Write(PrivateProfileBatch& batch, const Row& row, const Value& value) {
  return std::visit(
      Overload{
          [&](const std::vector<std::string>& list) {
            if (!batch.WriteString(row.section, row.key, std::to_string(list.size()))) return false;
            for (size_t i = 0; i < list.size(); ++i)
              if (!batch.WriteString(row.section, ItemKey(row, static_cast<int>(i)), list[i])) return false;
            return true;
          },
          [&](const std::string& text) { return batch.WriteString(row.section, row.key, text); },
          [&](int n) {
            if (row.rule == Rule::kViewStyle)
              return batch.WriteString(row.section, row.key, kViewNames[n >= 0 && n < 4 ? n : svDetails]);
            return batch.WriteString(row.section, row.key, std::to_string(n));
          },
          [&](bool b) { return batch.WriteString(row.section, row.key, b ? "1" : "0"); },
      },
      value);
}

// What of `value` the file can hold: a list without the items it cannot, no
// text for a text it cannot. What is left out goes to `unkept`.
std::optional<Value> Storable(const Row& row, const Value& value, std::vector<TUnkeptSetting>& unkept) {
  auto fits = [&](const std::string& text) {
    const ProfileValueProblem problem = CheckProfileValue(text);
    if (problem != ProfileValueProblem::kNone) unkept.push_back({row.what, text, problem});
    return problem == ProfileValueProblem::kNone;
  };
  return std::visit(Overload{
                        [&](const std::vector<std::string>& list) -> std::optional<Value> {
                          std::vector<std::string> kept;
                          for (const std::string& item : list)
                            if (fits(item)) kept.push_back(item);
                          return kept;
                        },
                        [&](const std::string& text) -> std::optional<Value> {
                          if (!fits(text)) return std::nullopt;
                          return value;
                        },
                        [&](const auto&) -> std::optional<Value> { return value; },
                    },
                    value);
}

}  // namespace

std::string SettingsFileNameFor(std::string_view programFile) {
  if (programFile.empty()) return "tavodic.ini";
  return ChangeFileExt(programFile, ".ini");
}

TSettingsFile::TSettingsFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string TSettingsFile::Path() const { return PrivateProfilePath(fileName_); }

int TSettingsFile::Load(TSettings& settings) {
  note_ = {};
  const PrivateProfileBatch read(fileName_, PrivateProfileBatch::kRead);
  note_.text = read.FileText();
  // A file that is not CP932 text is mended at once, under the lock: before
  // another writer adds CP932 keys to a UTF-8 file, and before junk is taken
  // for settings and written over.
  std::optional<PrivateProfileBatch> mend;
  if (note_.text != ProfileFileText::kCp932) {
    mend.emplace(fileName_, PrivateProfileBatch::kWrite);
    if (mend->FileText() == ProfileFileText::kUtf8)
      note_.rewritten = mend->Commit() == 0;  // else the next save tries again
    else if (mend->Error() == EILSEQ)
      mend->KeepAside(note_.keptAs);
  }
  const PrivateProfileBatch& batch = mend && mend->Error() == 0 ? *mend : read;
  // A file without a place is a file that is not there yet.
  loadError_ = batch.Error() == ENOENT ? 0 : batch.Error();
  stored_.clear();
  for (const Row& row : kRows) {
    Value value = Get(row, settings);
    if (loadError_ == 0) value = Read(batch, row, value);
    Set(row, settings, value);
    stored_.push_back(std::move(value));
  }
  return loadError_;
}

std::vector<TUnkeptSetting> TSettingsFile::Save(const TSettings& settings) {
  if (stored_.size() != kRowCount) {  // never loaded: everything counts as changed
    stored_.clear();
    for (const Row& row : kRows) stored_.push_back(Get(row, TSettings{}));
  }
  std::vector<TUnkeptSetting> unkept;
  std::vector<std::optional<Value>> storable;  // nullopt: nothing to write
  for (const Row& row : kRows)
    storable.push_back(row.rule == Rule::kReadOnly ? std::nullopt : Storable(row, Get(row, settings), unkept));
  auto changed = [&](size_t i) { return storable[i] && *storable[i] != stored_[i]; };
  if (loadError_ != 0) {
    // Its keys are unknown: the user's settings would be written over.
    for (size_t i = 0; i < kRowCount; ++i)
      if (changed(i)) throw EIniFileException::CannotWrite(Path(), sj::NotReadAtStart);
    return {};
  }
  PrivateProfileBatch batch(fileName_, PrivateProfileBatch::kWrite);
  if (batch.Error() != 0) throw EIniFileException::CannotWrite(Path(), FileErrorText(batch.Error()));
  for (size_t i = 0; i < kRowCount; ++i) {
    const Row& row = kRows[i];
    if (!storable[i] || (!changed(i) && batch.Value(row.section, row.key))) continue;
    if (!Write(batch, row, *storable[i])) throw EIniFileException::CannotWrite(Path(), sj::UnstorableValue);
  }
  if (int error = batch.Commit()) throw EIniFileException::CannotWrite(Path(), FileErrorText(error));
  for (size_t i = 0; i < kRowCount; ++i)
    if (storable[i]) stored_[i] = std::move(*storable[i]);
  std::vector<TUnkeptSetting> untold;
  for (TUnkeptSetting& u : unkept)
    if (told_.emplace(u.what, u.value).second) untold.push_back(std::move(u));
  return untold;
}

}  // namespace tavo
