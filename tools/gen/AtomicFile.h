// A file written under a temporary name beside its target and renamed into
// place by Commit. Readers of the target see its old state (or no file) until
// Commit and the whole new file after it, never a part: a failed, abandoned
// or interrupted write leaves no half file. The temporary file ("<name>.tmp"
// and a random suffix, so that no search takes it for a dictionary or a
// RUTE document) is removed when the object dies uncommitted; only a killed
// process can leave one behind.
//
// Bytes are written as given. Paths are the file system's own bytes. One
// object belongs to one thread.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavo::gen {

class AtomicFile {
 public:
  explicit AtomicFile(std::filesystem::path target);
  ~AtomicFile();  // Abandon unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Each returns false with a message in `error` on failure; after a failure
  // only Abandon (or destruction) makes sense.
  bool Open(std::string& error);  // creates the temporary file
  bool Write(std::string_view bytes, std::string& error);
  bool Commit(std::string& error);  // flush, close, rename over the target

  // Closes and removes the temporary file; the target stays as it was.
  void Abandon();

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::FILE* file_ = nullptr;
};

}  // namespace tavo::gen
