// The tests of the shell views run on one headless application, whose
// event loop serves the watchers' reports. Error boxes are scripted.
//
// Run as "<binary> --mount-scenario <folder>" the program instead plays a
// volume mounted and unmounted in a mount namespace of its own (see
// ShellTreeVolumeTest.cpp); it enters that namespace before any thread
// starts, so that every thread of the program sees it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"

int RunMountScenario(int argc, char** argv);

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc >= 3 && std::strcmp(argv[1], "--mount-scenario") == 0) return RunMountScenario(argc, argv);
  tavo::ui::TApplication app(argc, argv);
  tavo::ui::SetModalScripting(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
