// The watcher tests run on one headless application whose event loop serves
// the watchers' reports. Error boxes are scripted, so that a test can see
// what was shown without a window waiting for a click.
//
// Run as "<binary> --shutdown-scenario <folder>" the program instead plays a
// whole run that ends while a watcher's report is waiting for the UI thread
// (see ShutdownTest.cpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"

int RunShutdownScenario(int argc, char** argv);

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc >= 3 && std::strcmp(argv[1], "--shutdown-scenario") == 0) return RunShutdownScenario(argc, argv);
  tavo::ui::TApplication app(argc, argv);
  tavo::ui::SetModalScripting(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
