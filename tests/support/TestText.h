// Test helpers for writing CP932 expectations readably in UTF-8 sources.
#pragma once
#include <string>
#include <string_view>

namespace tavo::test {

// The CP932 bytes of a UTF-8 literal; the test fails (and aborts) when the
// text has no CP932 form, so a typo in an expectation cannot pass silently.
std::string sj(std::string_view utf8);

// Hex dump ("82 A0 81 40") for readable failure messages.
std::string hex(std::string_view bytes);

}  // namespace tavo::test
