// What a drag or the clipboard carries between shell objects: a set of
// formats (MIME types) with their bytes, free of any window system. The
// views turn it into Qt's mime data and back at their edge.
//
// Shell objects travel in two formats: text/uri-list (file:// URIs of the
// objects that have a path, for every other program) and an array of
// item-ID lists (kShellIDListFormat: the parent's absolute list and each
// object's relative list, for this program's own controls). Bytes that come
// from outside are validated before they are walked. Values; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/shell/ShellItemID.h"
#include "platform/shell/UniquePIDL.h"

namespace tavo {

inline constexpr std::string_view kUriListFormat = "text/uri-list";
inline constexpr std::string_view kShellIDListFormat = "application/x-tavo-shell-idlist";
// The clipboard's mark of a cut or a copy: "cut" or "copy", then one URI a line.
inline constexpr std::string_view kCopiedFilesFormat = "x-special/gnome-copied-files";
inline constexpr std::string_view kPlainTextFormat = "text/plain;charset=utf-8";

class ShellDataObject {
 public:
  // Sets (or replaces) the bytes of a format.
  void SetData(std::string_view format, std::string bytes);
  bool HasFormat(std::string_view format) const { return Data(format) != nullptr; }
  // The bytes of a format; nullptr when it is not there.
  const std::string* Data(std::string_view format) const;
  const std::vector<std::pair<std::string, std::string>>& Formats() const { return formats_; }
  bool Empty() const { return formats_.empty(); }

 private:
  std::vector<std::pair<std::string, std::string>> formats_;
};

// The data of objects of one folder: the ID-list array of the parent's
// absolute list and the relative lists, and the uri-list of those that have
// a path on disk.
ShellDataObject MakeShellDataObject(PCItemIDList parent, std::span<const PCItemIDList> items);

// The bytes of an ID-list array and back. ParseShellIDListArray answers
// false, and nothing, unless every list is well formed and lies inside the
// bytes.
std::string ShellIDListArrayBytes(PCItemIDList parent, std::span<const PCItemIDList> items);
bool ParseShellIDListArray(std::string_view bytes, UniquePIDL& parent, std::vector<UniquePIDL>& items);

// text/uri-list of OS paths (UTF-8), and the local paths of a uri-list
// (file:// with no host or "localhost"; other URIs and comments are
// skipped; a path with a NUL or that is not absolute is skipped).
std::string UriListOf(const std::vector<std::string>& osPaths);
std::vector<std::string> OsPathsOfUriList(std::string_view uriList);

// The OS paths the data names: from its ID-list array when it has one whose
// every object has a path, else from its uri-list. Empty when it names none.
std::vector<std::string> DataObjectOsPaths(const ShellDataObject& data);

}  // namespace tavo
