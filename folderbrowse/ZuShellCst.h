// What the shell controls exchange with other programs and the texts they
// show: the clipboard and drag formats (MIME types on this system) and the
// library's strings (CP932).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavo {

// The six exchange formats, in this order. A file list travels as
// text/uri-list; a selection of shell objects as an item-ID-list array
// ("application/x-tavo-shell-idlist"); the other four are this library's own.
enum TShellClipFormat {
  cfHDrop,
  cfShellIDList,
  cfFileNameMap,
  cfFileNameMapW,
  cfShellObjectOffsets,
  cfPerformedDropEffect,
};
inline constexpr std::array<std::string_view, 6> ShellClipFormats = {
    "text/uri-list",
    "application/x-tavo-shell-idlist",
    "application/x-tavo-filename-map",
    "application/x-tavo-filename-map-w",
    "application/x-tavo-shell-object-offsets",
    "application/x-tavo-performed-drop-effect",
};

// String numbers of the library's texts.
inline constexpr int SShellColName = 65286;
inline constexpr int SShellColSize = 65287;
inline constexpr int SShellColType = 65288;
inline constexpr int SShellColModified = 65289;
inline constexpr int SShellColAttributes = 65290;
inline constexpr int SShellInvalidParameter = 65291;

// The text of a string number (CP932); empty for an unknown number.
std::string ShellResourceString(int id);

}  // namespace tavo
