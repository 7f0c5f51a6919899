// The program's version as the about box shows it.
#pragma once

namespace tavo {

inline constexpr const char* kProductName = "TavoDic - 分かち書き辞書";
inline constexpr const char* kVersionText = "Version 2.11";

}  // namespace tavo
