#include "tools/gen/Interrupt.h"

#include <csignal>
#include <initializer_list>

namespace tavo::gen {
namespace {

volatile std::sig_atomic_t gSignal = 0;

extern "C" void OnInterrupt(int sig) {
  gSignal = sig;
  std::signal(sig, SIG_DFL);  // a second request is not deferred
}

}  // namespace

void InstallInterruptHandlers() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, OnInterrupt);
}

int InterruptSignal() { return gSignal; }

}  // namespace tavo::gen
