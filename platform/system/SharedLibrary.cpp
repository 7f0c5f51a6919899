#include "platform/system/SharedLibrary.h"

#include <dlfcn.h>

#include "platform/text/OsPath.h"

namespace tavo {

SharedLibrary::~SharedLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

bool SharedLibrary::Load(std::string_view path) {
  auto os = ToOsPath(path);
  if (!os) {
    error_ = "the library's path has no form on this system";
    return false;
  }
  handle_ = dlopen(os->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* e = dlerror();
    error_ = e != nullptr ? e : "cannot load the library";
    return false;
  }
  return true;
}

void* SharedLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) return nullptr;
  dlerror();
  void* p = dlsym(handle_, name);
  if (p == nullptr) {
    const char* e = dlerror();
    error_ = e != nullptr ? e : std::string("no function ") + name;
  }
  return p;
}

}  // namespace tavo
