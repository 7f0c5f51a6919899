// Interrupt and termination requests (SIGINT, SIGTERM, SIGHUP) turned into a
// flag that the writers poll between blocks: they then remove their
// temporary file and stop, which a signal handler could not do safely.
// A second request while the first is handled ends the program at once.
#pragma once

namespace tavo::gen {

void InstallInterruptHandlers();

// 0 while no request came; otherwise the number of the signal that asked.
int InterruptSignal();

}  // namespace tavo::gen
