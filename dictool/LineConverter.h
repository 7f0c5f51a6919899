// How the searches convert a braille line of a RUTE document to kana.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tavo {

// Converts one NUL-terminated NABCC braille line to CP932 kana; the searches
// hand it lines where they lie in the file's buffer. The result may be the
// converter's own text, valid only until the next conversion: the searches
// use it at once and copy only what they keep, so that a line costs no
// allocation.
//
// Made from the library's entry point itself (its CnvNABCCtoKANA as bound,
// and the option of every call), a conversion is that one call: documents
// hold millions of short lines, and a call through a wrapper or two costs a
// tenth of converting one; a null entry point converts every line to the
// empty text. Made from any other callable (a test's converter), it calls
// that. Copied freely; the library must stay bound while it is used.
//
// It may also tell which braille bytes can write a character (the library's
// CnvSourceCells, with the same option), so that a search can pass over
// lines that cannot hold its word; without that entry it tells nothing.
class LineConverter {
 public:
  using LibraryEntry = std::int32_t (*)(const char* source, char** result, std::uint16_t option);
  using SourceCellsEntry = std::int32_t (*)(const char* character, std::uint8_t* cells, std::uint16_t option);

  LineConverter(LibraryEntry entry, std::uint16_t option, SourceCellsEntry sourceCells = nullptr)
      : entry_(entry), option_(option), sourceCells_(sourceCells) {}
  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, LineConverter> &&
             std::is_invocable_r_v<std::string_view, F&, const char*>)
  LineConverter(F&& convert, SourceCellsEntry sourceCells = nullptr, std::uint16_t option = 0)
      : option_(option), sourceCells_(sourceCells), other_(std::forward<F>(convert)) {}

  // cells[b] (256 of them) set where byte b can write `character` (one
  // CP932 character, NUL-terminated) and clear elsewhere; false, with the
  // cells untold, when the converter cannot say.
  bool SourceCells(const char* character, std::uint8_t* cells) const {
    return sourceCells_ != nullptr && sourceCells_(character, cells, option_) != 0;
  }

  std::string_view operator()(const char* line) const {
    if (entry_ != nullptr) [[likely]] {
      char* text = nullptr;
      const std::int32_t n = entry_(line, &text, option_);
      return text != nullptr && n > 0 ? std::string_view(text, static_cast<std::size_t>(n)) : std::string_view();
    }
    return other_ ? other_(line) : std::string_view();  // other_ is empty only with a null entry point
  }

 private:
  LibraryEntry entry_ = nullptr;
  std::uint16_t option_ = 0;
  SourceCellsEntry sourceCells_ = nullptr;
  std::function<std::string_view(const char*)> other_;
};

}  // namespace tavo
