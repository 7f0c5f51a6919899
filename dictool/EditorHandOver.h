// What the tool and the braille editor hand each other besides windows: the
// message numbers, the word file "__DIC.TMP" that the editor writes before it
// asks for a search, the hit file "__TAVO.TMP" that the tool writes before it
// asks the editor to open a hit, the editor's caption, the argument the
// editor is started with, and what the tool's own command line asks for.
//
// Both files lie in the settings folder (WindowsFolder(), Files.h), where the
// editor looks for them and writes them too. Texts are CP932. Window-free and
// stateless; each call goes to the files.
#pragma once

#include <string>
#include <string_view>

#include "dictool/HitLine.h"

namespace tavo {

enum EditorMessage : unsigned {
  UM_DICSEARCH = 1528,    // to the tool: dictionary search of the word file's word
  UM_SEARCHRESET = 1529,  // to the tool: cancel the open search, empty the search box
  UM_OPENHITLINE = 1530,  // to the editor: open the hit of the hit file
  UM_GAIBUSEARCH = 1535,  // to the tool: external search of the word file's word
};

// Where the word file lies.
std::string DicTmpPath();

// The first line of the word file at `path` (up to CR LF or LF; 0x1A ends
// it), after which the file is deleted. "" when there is no such file; also
// when it cannot be read, and it then stays in place.
std::string ReadDicTmpWord(const std::string& path);

// Writes `hit` into the hit file, section 検索ヒット行情報: ファイル名, ページ
// and 行, in this order when they are new; every other line stays. A hit file
// that is no text is moved aside ("__TAVO.TMP.bak") and a new one written.
// Throws EIniFileException ("<path> に書き込めません" and why) when it cannot.
void WriteHitFile(const THitLine& hit);

// Whether `caption` is that of an editor window showing `shortPath`: it
// begins with "たぼー" and holds the path exactly (bytes compared as they
// are: Linux paths are case-sensitive) as a whole, starting on a character
// boundary after the name, with nothing next to it on either side but the
// caption's end, the name, or a separator (a blank, a bracket, a quote, a
// dash or colon before it, the changed-document mark '*' after it; ASCII or
// full width). So "/a/b.rut" is not found in "/x/a/b.rut" or "/a/b.rut.bak".
bool IsEditorCaption(std::string_view caption, std::string_view shortPath);

// The one argument the editor is started with: path, page and line, joined
// by commas.
std::string EditorArgument(const THitLine& hit);

// What the tool's command line asks for, by its first argument.
enum class CommandLineRequest {
  DicSearch,    // 1528: search the dictionaries for the second argument
  GaibuSearch,  // 1535: search documents for the second argument
  EmptyBox,     // any other whole number: empty the search box
};
// Throws EConvertError ("'<text>' は整数ではありません") when the argument is
// not a whole number.
CommandLineRequest CommandLineRequestOf(std::string_view firstArgument);

}  // namespace tavo
