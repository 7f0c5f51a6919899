#include "dictool/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>
#include <variant>

#include "dictool/Cp932Texts.h"
#include "platform/files/IniFile.h"
#include "platform/files/PrivateProfile.h"
#include "platform/system/OSError.h"
#include "platform/system/SysUtils.h"

namespace tavo {
namespace {

// A damaged count must not keep the start busy for hours.
constexpr int kMaxListItems = 4096;

using Field = std::variant<std::string TSettings::*, std::vector<std::string> TSettings::*>;

// A list is stored as its count under the row's key and its items under
// `items` + number, numbered from `first`.
struct Numbering {
  std::string_view items;
  int first = 0;
  bool skipEmpty = false;  // empty items are dropped when read
};

// One setting: where it lies in the file and which field holds it.
struct Row {
  std::string_view section;
  std::string_view key;
  Field field;
  Numbering list = {};
};

const Row kRows[] = {
    {sj::SecSearchDics, sj::KeyFileCount, &TSettings::SearchDicList, {sj::KeyFileName, 0, true}},
    {sj::SecNotSearchDics, sj::KeyFileCount, &TSettings::NotSearchDicList, {sj::KeyFileName, 0, true}},
    {sj::SecWriteDic, sj::KeyFileName, &TSettings::WriteDic},
};

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;  // older compilers deduce no aggregate

std::string ItemKey(const Row& row, int i) { return std::string(row.list.items) + std::to_string(row.list.first + i); }

// A value too long for the file was written by someone else; read cut, it
// would name another file, so it counts as missing.
std::optional<std::string> Whole(const PrivateProfileBatch& batch, std::string_view section, std::string_view key) {
  auto value = batch.Value(section, key);
  if (!value || value->size() > kProfileValueMax) return std::nullopt;
  return std::string(*value);
}

void ReadRow(const PrivateProfileBatch& batch, const Row& row, TSettings& s) {
  std::visit(Overload{
                 [&](std::string TSettings::*f) {
                   if (auto v = Whole(batch, row.section, row.key)) s.*f = std::move(*v);
                 },
                 [&](std::vector<std::string> TSettings::*f) {
                   auto count = batch.Value(row.section, row.key);
                   if (!count) return;
                   const int n = std::min(ProfileStrToInt(*count, 0), kMaxListItems);
                   std::vector<std::string> list;
                   for (int i = 0; i < n; ++i) {
                     std::string item = Whole(batch, row.section, ItemKey(row, i)).value_or("");
                     if (!item.empty() || !row.list.skipEmpty) list.push_back(std::move(item));
                   }
                   s.*f = std::move(list);
                 },
             },
             row.field);
}

bool WriteRow(PrivateProfileBatch& batch, const Row& row, const TSettings& s) {
  return std::visit(Overload{
                        [&](std::string TSettings::*f) { return batch.WriteString(row.section, row.key, s.*f); },
                        [&](std::vector<std::string> TSettings::*f) {
                          const std::vector<std::string>& list = s.*f;
                          if (!batch.WriteString(row.section, row.key, std::to_string(list.size()))) return false;
                          for (size_t i = 0; i < list.size(); ++i)
                            if (!batch.WriteString(row.section, ItemKey(row, static_cast<int>(i)), list[i])) return false;
                          return true;
                        },
                    },
                    row.field);
}

bool Differs(const Row& row, const TSettings& a, const TSettings& b) {
  return std::visit([&](auto f) { return a.*f != b.*f; }, row.field);
}

}  // namespace

TSettingsFile::TSettingsFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string TSettingsFile::Path() const { return PrivateProfilePath(fileName_); }

int TSettingsFile::Load(TSettings& settings) {
  PrivateProfileBatch batch(fileName_, PrivateProfileBatch::kRead);
  // A file without a place is a file that is not there yet.
  loadError_ = batch.Error() == ENOENT ? 0 : batch.Error();
  if (loadError_ == 0)
    for (const Row& row : kRows) ReadRow(batch, row, settings);
  stored_ = settings;
  return loadError_;
}

void TSettingsFile::Save(const TSettings& settings) {
  auto changed = [&](const Row& row) { return Differs(row, settings, stored_); };
  if (loadError_ != 0) {
    // Its keys are unknown: the user's lists would be written over.
    if (std::any_of(std::begin(kRows), std::end(kRows), changed))
      throw EIniFileException::CannotWrite(Path(), sj::NotReadAtStart);
    return;
  }
  PrivateProfileBatch batch(fileName_, PrivateProfileBatch::kWrite);
  if (batch.Error() != 0) throw EIniFileException::CannotWrite(Path(), FileErrorText(batch.Error()));
  for (const Row& row : kRows)
    if ((changed(row) || !batch.Value(row.section, row.key)) && !WriteRow(batch, row, settings))
      throw EIniFileException::CannotWrite(Path(), sj::UnstorableValue);
  if (int error = batch.Commit()) throw EIniFileException::CannotWrite(Path(), FileErrorText(error));
  stored_ = settings;
}

}  // namespace tavo
