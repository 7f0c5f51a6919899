#include "tests/support/TestText.h"

#include <cstdio>
#include <cstdlib>

#include "platform/text/Cp932.h"

namespace tavo::test {

std::string sj(std::string_view utf8) {
  auto r = Utf8ToCp932(utf8);
  if (!r) {
    std::fprintf(stderr, "test literal has no CP932 form: %.*s\n", static_cast<int>(utf8.size()),
                 utf8.data());
    std::abort();
  }
  return *r;
}

std::string hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

}  // namespace tavo::test
