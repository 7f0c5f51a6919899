#include "folderbrowse/ZuShellCst.h"

namespace tavo {

std::string ShellResourceString(int id) {
  switch (id) {
    case SShellColName: return "\x96\xBC\x91\x4F";                    // 名前
    case SShellColSize: return "\x83\x54\x83\x43\x83\x59";            // サイズ
    case SShellColType:                                              // ファイルの種類
      return "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8E\xED\x97\xDE";
    case SShellColModified: return "\x8D\x58\x90\x56\x93\xFA\x8E\x9E";  // 更新日時
    case SShellColAttributes: return "\x91\xAE\x90\xAB";               // 属性
    case SShellInvalidParameter:                                     // パラメータが不正です。
      return "\x83\x70\x83\x89\x83\x81\x81\x5B\x83\x5E\x82\xAA\x95\x73\x90\xB3\x82\xC5\x82\xB7\x81\x42";
    default: return {};
  }
}

}  // namespace tavo
