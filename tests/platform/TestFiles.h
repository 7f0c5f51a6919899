// Scratch files for the platform tests: real folders under $TMPDIR, and
// helpers that look at them without the code under test.
#pragma once

#include <sys/resource.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/TempDir.h"

namespace tavo::test {

// Whole-file helpers on OS (UTF-8) paths, independent of the code under test.
void WriteBytes(const std::string& osPath, std::string_view bytes);
std::string ReadBytes(const std::string& osPath);  // "<missing>" when absent
// The names in the folder, without "." and "..", sorted.
std::vector<std::string> Entries(const std::string& osFolder);

// Runs body(arg) in a child process whose files may not grow past `limit`
// bytes, so that a write fails part way (EFBIG) as on a full disk. Returns
// the child's exit status (body's result), or -1 when it did not exit.
int RunWithFileSizeLimit(rlim_t limit, int (*body)(const std::string&), const std::string& arg);

}  // namespace tavo::test
