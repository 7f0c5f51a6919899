// Starting other programs. No shell is involved: the program and each
// argument are passed as they are. Paths and arguments are CP932 and are
// converted at this edge; one without a UTF-8 form makes the start fail.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tavo {

// Starts `program` (searched in PATH when it has no '/') with `args` and does
// not wait for it; the child is reaped in the background. False when it
// could not be started.
bool StartProgram(const std::string& program, const std::vector<std::string>& args);

// The desktop's "open" for a document or page (xdg-open), detached.
bool ShellOpen(const std::string& path);

// Starts `program` as StartProgram does and leaves the child to the caller,
// who must reap it: its process id, or -1 when it could not be started.
// Under a StartProgramHook nothing is started: 0 when the hook answers true.
int SpawnProgram(const std::string& program, const std::vector<std::string>& args);

// Tests replace the real start of programs with a recorder; null restores it.
using StartProgramHook = std::function<bool(const std::string& program, const std::vector<std::string>& args)>;
void SetStartProgramHook(StartProgramHook hook);

}  // namespace tavo
