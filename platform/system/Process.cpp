#include "platform/system/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "platform/text/Cp932.h"

extern char** environ;

namespace tavo {
namespace {

StartProgramHook g_hook;

}  // namespace

void SetStartProgramHook(StartProgramHook hook) { g_hook = std::move(hook); }

bool StartProgram(const std::string& program, const std::vector<std::string>& args) {
  if (g_hook) return g_hook(program, args);
  std::vector<std::string> utf8;
  auto p = Cp932ToUtf8(program);
  if (!p) return false;
  utf8.push_back(*p);
  for (const std::string& a : args) {
    auto u = Cp932ToUtf8(a);
    if (!u) return false;
    utf8.push_back(*u);
  }
  std::vector<char*> argv;
  for (std::string& s : utf8) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  // Nobody waits for the program; a thread reaps it so it leaves no zombie.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

bool ShellOpen(const std::string& path) { return StartProgram("xdg-open", {path}); }

}  // namespace tavo
