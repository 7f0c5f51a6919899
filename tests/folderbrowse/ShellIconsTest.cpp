// The pictures of the system image list, drawn headless.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

#include "platform/shell/ShellFileInfo.h"
#include "platform/ui/ShellIcons.h"

namespace tavo::test {
namespace {

TEST(ShellIcons, EveryKindHasAPictureInBothSizes) {
  for (int i = 0; i < kIconCount; ++i) {
    EXPECT_FALSE(ui::ShellIcon(i).isNull()) << i;
    for (int size : {16, 32}) {
      const QPixmap p = ui::ShellIconPixmap(i, size);
      EXPECT_FALSE(p.isNull()) << i;
      EXPECT_LE(p.width(), size * 2) << i;  // at most a high-dpi picture
    }
  }
  // Outside the table: the document's picture.
  EXPECT_EQ(ui::ShellIcon(-1).cacheKey(), ui::ShellIcon(kIconDocument).cacheKey());
  EXPECT_EQ(ui::ShellIcon(kIconCount).cacheKey(), ui::ShellIcon(kIconDocument).cacheKey());
}

}  // namespace
}  // namespace tavo::test

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
