// The texts as CP932 bytes, written as escapes so that the file compiles
// the same under every compiler; each comment shows the text.
#include "dictool/Cp932Texts.h"

namespace tavo::sj {

constinit const std::string_view DicHeadingPrefix = "\x81\x7C\x8E\x67\x97\x70\x8E\xAB\x8F\x91\x81\x46";  // －使用辞書：
constinit const std::string_view Dash = "\x81\x7C";  // －
constinit const std::string_view SearchEndRow = "\x81\x7C\x8C\x9F\x8D\xF5\x8F\x49\x97\xB9\x81\x7C";  // －検索終了－
constinit const std::string_view SearchCancelRow = "\x81\x7C\x8C\x9F\x8D\xF5\x92\x86\x8E\x7E\x81\x7C";  // －検索中止－
constinit const std::string_view SearchRowPrefix = "\x81\x7C\x8C\x9F\x8D\xF5";  // －検索
constinit const std::string_view FullWidthStar = "\x81\x96";  // ＊

constinit const std::string_view SecSearchDics = "\x8C\x9F\x8D\xF5\x91\xCE\x8F\xDB\x8E\xAB\x8F\x91\x83\x74\x83\x40\x83\x43\x83\x8B";  // 検索対象辞書ファイル
constinit const std::string_view SecNotSearchDics = "\x8C\x9F\x8D\xF5\x91\xCE\x8F\xDB\x8A\x4F\x8E\xAB\x8F\x91\x83\x74\x83\x40\x83\x43\x83\x8B";  // 検索対象外辞書ファイル
constinit const std::string_view SecWriteDic = "\x8F\x91\x8D\x9E\x91\xCE\x8F\xDB\x8E\xAB\x8F\x91\x83\x74\x83\x40\x83\x43\x83\x8B";  // 書込対象辞書ファイル
constinit const std::string_view KeyFileCount = "\x83\x74\x83\x40\x83\x43\x83\x8B\x90\x94";  // ファイル数
constinit const std::string_view KeyFileName = "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC";  // ファイル名

}  // namespace tavo::sj
