// The UI tests run on one application object, headless, with the conversion
// library bound as the program binds it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "dictool/TavoLibBinding.h"
#include "platform/ui/Application.h"
#ifdef TAVO_TEST_PUBLISH_WINDOWS
#include "platform/windows/WindowPublisher.h"
#endif

namespace {

// The headless platform warns about every window that sizes itself.
void QuietHandler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
  if (msg.contains(QStringLiteral("propagateSizeHints"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, ctx, msg)));
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(QuietHandler);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  tavo::ui::TApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
#ifdef TAVO_TEST_PUBLISH_WINDOWS
  // The windows stand on the session bus, as the program's do.
  tavo::windows::PublishTopLevelWindows();
#endif
  std::string error;
  if (!tavo::BindTavoLib(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return RUN_ALL_TESTS();
}
