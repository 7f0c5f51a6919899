// Loading a shared library at run time and finding its functions by name.
// The path is CP932; a path without an OS form fails to load.
#pragma once

#include <string>
#include <string_view>

namespace tavo {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary();  // the library stays loaded while the object lives
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // Loads the library, binding all its symbols at once. False with Error()
  // set when it cannot be loaded.
  bool Load(std::string_view path);
  // The address of a function by name; nullptr with Error() set when absent.
  void* Symbol(const char* name);
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace tavo
