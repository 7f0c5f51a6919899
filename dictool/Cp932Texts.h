// The program's own CP932 texts that are data, not captions: result rows,
// marks, the names of the settings file, and the reasons that go into the
// CP932 messages of exceptions. Captions and messages are Qt
// strings; these are compared with and written into CP932 files and rows.
// The definitions are CP932 bytes, and a test pins them.
#pragma once

#include <string_view>

namespace tavo::sj {

// Result rows.
extern const std::string_view DicHeadingPrefix;  // "－使用辞書："
extern const std::string_view Dash;              // "－"
extern const std::string_view SearchEndRow;      // "－検索終了－"
extern const std::string_view SearchCancelRow;   // "－検索中止－"
extern const std::string_view SearchRowPrefix;   // "－検索", of the end and the cancel row
extern const std::string_view FullWidthStar;     // "＊", a group line written full-width

// Settings file sections and keys.
extern const std::string_view SecSearchDics;     // "検索対象辞書ファイル"
extern const std::string_view SecNotSearchDics;  // "検索対象外辞書ファイル"
extern const std::string_view SecWriteDic;       // "書込対象辞書ファイル"
extern const std::string_view KeyFileCount;      // "ファイル数"
extern const std::string_view KeyFileName;       // "ファイル名"

// Why a save of the settings was refused.
extern const std::string_view NotReadAtStart;  // "起動時に読み込めなかったため、上書きしません"
extern const std::string_view UnstorableValue;  // "設定ファイルに保存できない値です"

}  // namespace tavo::sj
