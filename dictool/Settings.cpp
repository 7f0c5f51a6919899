// The settings file tavodic.ini in the settings folder. LoadSettings reads it
// once, when the main window is first shown; SaveSettings writes it on close
// and after OK in either registration dialog. Every key is read and written
// on its own, straight from and to the file.
#include <algorithm>

#include "dictool/Cp932Texts.h"
#include "dictool/Main.h"
#include "platform/files/IniFile.h"

namespace tavo {
namespace {

constexpr const char* kSettingsFile = "tavodic.ini";
constexpr int kMaxListedFiles = 4096;

// A numbered list of paths: the count, then the keys name0 .. name(n-1).
void ReadPathList(TIniFile& ini, std::string_view section, std::vector<std::string>& list) {
  // A damaged count must not keep the start busy for hours.
  const int n = std::min(ini.ReadInteger(section, sj::KeyFileCount, 0), kMaxListedFiles);
  for (int i = 0; i < n; ++i) {
    std::string value = ini.ReadString(section, std::string(sj::KeyFileName) + std::to_string(i), "");
    if (!value.empty()) list.push_back(std::move(value));
  }
}

void WritePathList(TIniFile& ini, std::string_view section, const std::vector<std::string>& list) {
  ini.WriteInteger(section, sj::KeyFileCount, static_cast<int>(list.size()));
  for (size_t i = 0; i < list.size(); ++i)
    ini.WriteString(section, std::string(sj::KeyFileName) + std::to_string(i), list[i]);
}

}  // namespace

void TMainForm::LoadSettings() {
  TIniFile ini(kSettingsFile);
  ReadPathList(ini, sj::SecSearchDics, SearchDicList);
  ReadPathList(ini, sj::SecNotSearchDics, NotSearchDicList);
  WriteDic = ini.ReadString(sj::SecWriteDic, sj::KeyFileName, "");
  SetColorScheme(1);
}

void TMainForm::SaveSettings() {
  TIniFile ini(kSettingsFile);
  WritePathList(ini, sj::SecSearchDics, SearchDicList);
  WritePathList(ini, sj::SecNotSearchDics, NotSearchDicList);
  ini.WriteString(sj::SecWriteDic, sj::KeyFileName, WriteDic);
}

}  // namespace tavo
