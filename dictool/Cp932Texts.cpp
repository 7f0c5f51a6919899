// Compiled with -fexec-charset=CP932: every narrow literal here is CP932.
#include "Cp932Texts.h"

namespace tavo::sj {

constinit const std::string_view DicHeadingPrefix = "－使用辞書：";
constinit const std::string_view Dash = "－";
constinit const std::string_view SearchEndRow = "－検索終了－";
constinit const std::string_view SearchCancelRow = "－検索中止－";

constinit const std::string_view SecSearchDics = "検索対象辞書ファイル";
constinit const std::string_view SecNotSearchDics = "検索対象外辞書ファイル";
constinit const std::string_view SecWriteDic = "書込対象辞書ファイル";
constinit const std::string_view KeyFileCount = "ファイル数";
constinit const std::string_view KeyFileName = "ファイル名";

}  // namespace tavo::sj
