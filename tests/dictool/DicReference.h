// The plain reading of a dictionary that the block scan must agree with:
// the bytes cut into lines one after the other (LF or CR LF; a last line
// without LF keeps its bytes; 0x1A ends the data; a line longer than
// `lineCut` is cut there) and the grammar run on every line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavo::test {

std::vector<std::string> ReferenceLines(std::string_view bytes, std::size_t lineCut);
std::vector<std::string> ReferenceHits(std::string_view bytes, std::string_view word, std::size_t lineCut);

}  // namespace tavo::test
