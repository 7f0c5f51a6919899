#include "dictool/EditorHandOver.h"

#include <cerrno>

#include "dictool/Cp932Texts.h"
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

// What may stand just before and just after the path in an editor's caption
// (blanks, brackets, quotes, the dash or colon after the program's name, the
// mark of a changed document), in ASCII and full width. Anything else next
// to it makes it part of a longer path or name.
constexpr std::string_view kBefore[] = {
    " ", "\t", "[", "(", "<", "\"", "'", "-", ":", "|",
    "\x81\x40" /* 　 */, "\x81\x75" /* 「 */, "\x81\x77" /* 『 */, "\x81\x79" /* 【 */, "\x81\x69" /* （ */,
    "\x81\x6D" /* ［ */, "\x81\x6B" /* 〔 */, "\x81\x83" /* ＜ */, "\x81\x7C" /* － */, "\x81\x46" /* ： */};
constexpr std::string_view kAfter[] = {
    " ", "\t", "]", ")", ">", "\"", "'", "*", ":", "|",
    "\x81\x40" /* 　 */, "\x81\x76" /* 」 */, "\x81\x78" /* 』 */, "\x81\x7A" /* 】 */, "\x81\x6A" /* ） */,
    "\x81\x6E" /* ］ */, "\x81\x6C" /* 〕 */, "\x81\x84" /* ＞ */, "\x81\x7C" /* － */, "\x81\x46" /* ： */};

template <std::size_t N>
bool StartsWithOneOf(std::string_view text, const std::string_view (&marks)[N]) {
  for (std::string_view m : marks)
    if (text.starts_with(m)) return true;
  return false;
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
  if (shortPath.empty() || !caption.starts_with(kEditorName)) return false;
  // Every character boundary after the name, with the character before it.
  std::size_t before = 0;
  for (std::size_t at = 0; at < caption.size();) {
    const std::size_t next = at + (IsLeadByte(static_cast<unsigned char>(caption[at])) ? 2 : 1);
    if (at >= kEditorName.size() && caption.substr(at).starts_with(shortPath) &&
        (at == kEditorName.size() || StartsWithOneOf(caption.substr(before, at - before), kBefore))) {
      const std::string_view rest = caption.substr(at + shortPath.size());
      if (rest.empty() || StartsWithOneOf(rest, kAfter)) return true;
    }
    before = at;
    at = next;
  }
  return false;
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
