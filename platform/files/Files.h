// Files, folders and file names.
//
// Every path is CP932 text (see OsPath.h); '/' separates folders. A path that
// has no OS form is simply not there: queries answer false, actions fail.
// File-name functions work on bytes: '/' (0x2F) and '.' (0x2E) are never the
// trail byte of a two-byte CP932 character, so no character is split.
// No length limit anywhere. Thread-safe (no shared state but an atomic count
// of fsyncs; the current folder and the environment are read, never changed).
#pragma once

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace tavo {

// --- The file system -------------------------------------------------------

// True when `path` exists and is not a folder (symbolic links are followed).
bool FileExists(std::string_view path);

// True when `path` is an existing folder (symbolic links are followed).
bool DirectoryExists(std::string_view path);

// Makes the folder the process's current directory. True on success.
bool SetCurrentDirectory(std::string_view path);

// Removes the file (never a folder). True on success.
bool DeleteFile(std::string_view path);

// Creates the file, or truncates an existing one, to 0 bytes. Only a regular
// file is truncated: a folder gives EISDIR and any other kind EINVAL, and a
// fifo is never waited on. Returns 0 on success, else an errno value (ENOENT
// also for a path with no OS form).
int MakeEmptyFile(std::string_view path);

// Reads the whole file into `bytes` (replacing its content). Only a regular
// file is read, as by ReadFileHead. Returns 0 on success, else an errno value
// (ENOENT also for a path with no OS form, EISDIR for a folder, EINVAL for a
// fifo, device or socket); `bytes` is then empty.
int ReadWholeFile(std::string_view path, std::string& bytes);

// Reads the first `limit` bytes of the regular file `path` into `bytes`
// (replacing its content; fewer when the file is shorter). Only a regular file
// is read: a folder gives EISDIR and any other kind (fifo, device, socket)
// EINVAL, without waiting on it. Returns 0 on success, else an errno value
// (ENOENT also for a path with no OS form); `bytes` is then empty. Meant for
// short heads: room for `limit` bytes is taken before reading.
int ReadFileHead(std::string_view path, size_t limit, std::string& bytes);

// The file that `path` names once symbolic links are followed (through every
// link, also to a target that does not exist yet); `path` itself when it is
// no link. "" when the links loop or the path has no OS form.
std::string ResolveFileLinks(std::string_view path);

// What decides whether a write may follow a symbolic link.
struct LinkFacts {
  unsigned linkOwner;    // uid of the link itself (lstat)
  unsigned folderOwner;  // uid of the folder the link lies in
  unsigned folderMode;   // that folder's mode bits
  unsigned user;         // the effective uid of the writer
};
// A write follows a link only when the link is the user's or root's, or
// lies in a folder that nobody but the user (or root) can write to: in a
// folder that others can write, sticky or not, anyone may have planted it
// to make the user overwrite a file of the user's own choosing. (The
// kernel's rule for links in sticky world-writable folders, made to hold
// for every folder that others can write.)
bool MayFollowLinkToWrite(const LinkFacts& facts);

// The errno value of a write refused because it would follow a link that
// MayFollowLinkToWrite refuses (ENOLINK, which no local file call returns).
inline constexpr int kForeignLinkError = ENOLINK;

// Replaces the file's content with `bytes` so that a reader or a crash sees
// the old file or the new one, never a mixture: the bytes go to a temporary
// file beside it, are flushed to the disk, the temporary is renamed over the
// file, and the folder is flushed (two fsyncs). A symbolic link is written
// through to its target (ResolveFileLinks) and stays a link; a link that
// MayFollowLinkToWrite refuses gives kForeignLinkError. The replaced
// file keeps its permission bits and, where allowed, its owner. A file that
// its user may not write (no write permission, or no write bit at all, which
// even root honours here) is not replaced: EACCES. Returns 0 on success, else
// an errno value; on failure the original file is untouched and no temporary
// is left, but a crash can leave one (see RemoveStaleTemporaries).
int WriteFileAtomic(std::string_view path, std::string_view bytes);

// Removes the temporaries that WriteFileAtomic of `path` left behind when its
// process died. Only for a caller that knows no other writer of that file is
// at work, such as the holder of the file's lock.
void RemoveStaleTemporaries(std::string_view path);

// Moves the file that `path` names (links followed as for a write) out of the
// way, untouched, to the first free name of "<file>.bak", "<file>.bak2", ...
// in its folder, and puts that name into `movedTo`. Never replaces a file.
// Returns 0 or an errno value.
int MoveFileAside(std::string_view path, std::string& movedTo);

// --- Open files --------------------------------------------------------------

// Opens `path` with the open(2) `flags` when it names a regular file (links
// followed; with O_CREAT a missing one is made) and puts the descriptor into
// `fd`, which the caller closes. A folder gives EISDIR and any other kind
// EINVAL; a device is never opened and a fifo never waited on. Returns 0 or
// an errno value (ENOENT also for a path with no OS form).
int OpenRegularFile(std::string_view path, int flags, int& fd);

// An exclusive flock(2) on the open file, waiting for other holders; released
// when the descriptor is closed. Returns 0 or an errno value.
int LockExclusive(int fd);

// The lock of the writers of a file that is replaced whole by rename
// (WriteFileAtomic): an exclusive flock on the file itself, which is the one
// thing every process that writes it (another copy of the program, another
// program on the layer, another user of a shared folder) has in common, so
// no lock file is left anywhere. A lock taken on a file that a writer
// replaced or removed while this one waited would guard nothing: it is taken
// again on the file that is there now. A missing file is created empty to be
// locked, and removed again on release when it is still that empty file, so
// a writer that writes nothing leaves nothing. Links are followed as for a
// write. One holder at a time; not copyable.
class FileReplaceLock {
 public:
  FileReplaceLock() = default;
  ~FileReplaceLock() { Release(); }
  FileReplaceLock(const FileReplaceLock&) = delete;
  FileReplaceLock& operator=(const FileReplaceLock&) = delete;

  // Waits for the lock on the file `path` names. Returns 0 or an errno value:
  // EISDIR for a folder, EINVAL for any other kind but a regular file (never
  // opened, so nothing waits), kForeignLinkError, ELOOP.
  int Lock(std::string_view path);
  void Release();
  // Whether Lock made the file (it was missing).
  bool Created() const { return created_; }

 private:
  int fd_ = -1;
  bool created_ = false;
  std::string osTarget_;
};

// fsync(2), retried when interrupted. Returns 0 or an errno value.
int SyncDescriptor(int fd);

// How many fsyncs this process has made through the layer, for benchmarks.
unsigned long long SyncCount();

// --- The program's folders ---------------------------------------------------

// The folder of the running executable, without a trailing '/' (but "/" for
// the root); "" when its name has no CP932 form.
std::string ProgramFolder();

// The running executable's own file name, without its folder; "" when it has
// no CP932 form.
std::string ProgramFileName();

// The folder that holds the settings file and the program's temporary files:
// $TAVO_WINDIR when set and not empty, else $XDG_CONFIG_HOME/tavo when that is
// an absolute path, else $HOME/.config/tavo. Without a trailing '/'. Only
// computes the name ("" when it has no CP932 form); see EnsureWindowsFolder.
std::string WindowsFolder();

// Creates WindowsFolder() when missing, with mode 0700 (missing parents too).
// True when the folder exists afterwards.
bool EnsureWindowsFolder();

// --- File names ----------------------------------------------------------

// The absolute form of `path`: a relative path is taken from the current
// folder; empty components and "." are dropped and ".." removes the component
// before it (never above "/"), without looking at the disk. A trailing '/' is
// kept. "" for an empty path, or when the current folder has no CP932 form.
std::string ExpandFileName(std::string_view path);

// The part after the last '/' (all of `path` when there is none).
std::string ExtractFileName(std::string_view path);

// The part up to and including the last '/' ("" when there is none).
std::string ExtractFilePath(std::string_view path);

// The extension of the file name, from its last '.' on ("" when the file name
// has no '.').
std::string ExtractFileExt(std::string_view path);

// `path` with its extension (as ExtractFileExt) replaced by `ext`, which
// normally begins with '.'; appended when there is none.
std::string ChangeFileExt(std::string_view path, std::string_view ext);

}  // namespace tavo
