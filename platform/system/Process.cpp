#include "platform/system/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "platform/text/Cp932.h"
#include "platform/text/Cp932Name.h"

extern char** environ;

namespace tavo {
namespace {

StartProgramHook g_hook;

// Starts the program of argv[0] with the rest as its arguments, all as the
// system takes them.
bool Spawn(std::vector<std::string> utf8) {
  std::vector<char*> argv;
  for (std::string& s : utf8) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  // Nobody waits for the program; a thread reaps it so it leaves no zombie.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

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
  return Spawn(std::move(utf8));
}

bool ShellOpen(const std::string& path) {
  if (g_hook) return g_hook("xdg-open", {path});
  // A path with escapes (a name with no CP932 form) goes to its own bytes.
  auto os = OsBytesOfCp932Form(path);
  return os && Spawn({"xdg-open", *os});
}

}  // namespace tavo
