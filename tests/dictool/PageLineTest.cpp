#include "dictool/PageLine.h"

#include <gtest/gtest.h>

namespace tavo {
namespace {

TEST(PageLineTest, NumbersAndPrefixes) {
  struct Case {
    int32_t n, perPage, page, line;
    const char* prefix;
  };
  const Case cases[] = {
      {1, 18, 1, 1, "001:01 "},        {18, 18, 1, 18, "001:18 "},
      {19, 18, 2, 1, "002:01 "},       {21, 20, 2, 1, "002:01 "},
      {39961, 40, 1000, 1, "1000:01 "},  // widths are minimums
      {5, 0, 5, 1, "005:01 "},         // unpageable header: one line per page
      {3, -2, 3, 1, "003:01 "},
  };
  for (const Case& c : cases) {
    const PageLine at = PageAndLine(c.n, c.perPage);
    EXPECT_EQ(at.Page, c.page) << c.n << "/" << c.perPage;
    EXPECT_EQ(at.Line, c.line) << c.n << "/" << c.perPage;
    EXPECT_EQ(PageLinePrefix(at), c.prefix);
  }
}

}  // namespace
}  // namespace tavo
