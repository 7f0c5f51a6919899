#include "dictool/EditorHandOver.h"

#include <cerrno>

#include "dictool/Cp932Texts.h"
#include "dictool/SjisSearch.h"
#include "platform/files/Files.h"
#include "platform/files/IniFile.h"
#include "platform/files/PrivateProfile.h"
#include "platform/files/TextFile.h"
#include "platform/system/OSError.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

constexpr std::string_view kDicTmp = "__DIC.TMP";
constexpr std::string_view kTavoTmp = "__TAVO.TMP";
constexpr std::string_view kHitSection = "\x8C\x9F\x8D\xF5\x83\x71\x83\x62\x83\x67\x8D\x73\x8F\xEE\x95\xF1";  // 検索ヒット行情報
constexpr std::string_view kKeyPage = "\x83\x79\x81\x5B\x83\x57";  // ページ
constexpr std::string_view kKeyLine = "\x8D\x73";                  // 行
constexpr std::string_view kEditorName = "\x82\xBD\x82\xDA\x81\x5B";  // たぼー

// ASCII letters upper-cased; the trail byte of a two-byte character is never
// taken for a letter.
std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (size_t i = 0; i < upper.size(); ++i) {
    const auto b = static_cast<unsigned char>(upper[i]);
    if (IsLeadByte(b)) ++i;
    else if (b >= 'a' && b <= 'z') upper[i] = static_cast<char>(b - 'a' + 'A');
  }
  return upper;
}

}  // namespace

std::string DicTmpPath() { return WindowsFolder() + "/" + std::string(kDicTmp); }

std::string ReadDicTmpWord(const std::string& path) {
  if (!FileExists(path)) return std::string();
  TextFile file;
  std::string word;
  int result = file.OpenRead(path);
  if (result == 0) result = file.ReadLine(word);
  file.Close();
  if (result != 0) return std::string();
  DeleteFile(path);
  return word;
}

void WriteHitFile(const THitLine& hit) {
  PrivateProfileBatch batch(kTavoTmp, PrivateProfileBatch::kWrite);
  const std::string path = PrivateProfilePath(kTavoTmp);
  // A hit file that is no text holds nothing for the editor: it is kept
  // aside, and a new one written.
  std::string aside;
  if (batch.Error() == EILSEQ) batch.KeepAside(aside);
  if (batch.Error() != 0) throw EIniFileException::CannotWrite(path, FileErrorText(batch.Error()));
  if (!batch.WriteString(kHitSection, sj::KeyFileName, hit.ShortPath) ||
      !batch.WriteString(kHitSection, kKeyPage, std::to_string(hit.Page)) ||
      !batch.WriteString(kHitSection, kKeyLine, std::to_string(hit.Line)))
    throw EIniFileException::CannotWrite(path, sj::UnstorableValue);
  if (int error = batch.Commit()) throw EIniFileException::CannotWrite(path, FileErrorText(error));
}

bool IsEditorCaption(std::string_view caption, std::string_view shortPath) {
  if (caption.empty() || shortPath.empty()) return false;
  const std::string upper = UpperCase(caption);
  return upper.starts_with(kEditorName) && FindOnBoundary(upper, UpperCase(shortPath)) != std::string::npos;
}

std::string EditorArgument(const THitLine& hit) {
  return hit.ShortPath + "," + std::to_string(hit.Page) + "," + std::to_string(hit.Line);
}

CommandLineRequest CommandLineRequestOf(std::string_view firstArgument) {
  switch (StrToInt(firstArgument)) {
    case UM_DICSEARCH: return CommandLineRequest::DicSearch;
    case UM_GAIBUSEARCH: return CommandLineRequest::GaibuSearch;
    default: return CommandLineRequest::EmptyBox;
  }
}

}  // namespace tavo
