// Files, folders and file names.
//
// Every path is CP932 text (see OsPath.h); '/' separates folders. A path that
// has no OS form is simply not there: queries answer false, actions fail.
// File-name functions work on bytes: '/' (0x2F) and '.' (0x2E) are never the
// trail byte of a two-byte CP932 character, so no character is split.
// No length limit anywhere. Thread-safe (no shared state; the current folder
// and the environment are read, never changed).
#pragma once

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

// Creates the file, or truncates an existing one, to 0 bytes. True on success;
// false for anything but a regular file (a fifo is never waited on).
bool CreateEmptyFile(std::string_view path);

// Reads the whole file into `bytes` (replacing its content). Returns 0 on
// success, else an errno value (ENOENT also for a path with no OS form, EISDIR
// for a folder); `bytes` is then empty.
int ReadWholeFile(std::string_view path, std::string& bytes);

// Reads the first `limit` bytes of the regular file `path` into `bytes`
// (replacing its content; fewer when the file is shorter). Only a regular file
// is read: a folder gives EISDIR and any other kind (fifo, device, socket)
// EINVAL, without waiting on it. Returns 0 on success, else an errno value
// (ENOENT also for a path with no OS form); `bytes` is then empty. Meant for
// short heads: room for `limit` bytes is taken before reading.
int ReadFileHead(std::string_view path, size_t limit, std::string& bytes);

// Replaces the file's content with `bytes` so that no reader ever sees a half
// written file: the bytes go to a temporary file in the same folder, are
// flushed to the disk, and the temporary file is renamed over `path`. The
// replaced file keeps its permission bits; a symbolic link is written through
// to its target rather than replaced. Returns 0 on success, else an errno
// value; on failure the original file is untouched and no temporary is left.
int WriteFileAtomic(std::string_view path, std::string_view bytes);

// --- The program's folders ---------------------------------------------------

// The folder of the running executable, without a trailing '/' (but "/" for
// the root); "" when its name has no CP932 form.
std::string ProgramFolder();

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
