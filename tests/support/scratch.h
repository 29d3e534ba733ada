// Temporary working directories, whole-file helpers, running the tool as a
// process, and the lines of failures returned in-process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "util/status.h"

namespace tintrod::testing {

using Bytes = std::vector<std::uint8_t>;

// For the tests that cannot mean anything on Windows and skip there, saying why.
#ifdef _WIN32
inline constexpr bool kOnWindows = true;
#else
inline constexpr bool kOnWindows = false;
#endif
inline constexpr const char* kNoSymbolicLinks =
    "Windows makes symbolic links only with a privilege, MinGW's std::filesystem none at all";

// A fresh directory under the system's temporary directory, removed with its
// content on destruction.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// A path and its UTF-8 spelling, whatever the system's own path encoding.
std::string utf8String(const std::filesystem::path& path);
std::filesystem::path utf8Path(const std::string& text);

void writeFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes readFile(const std::filesystem::path& path);
// Names of the directory's entries, sorted.
std::vector<std::string> listDirectory(const std::filesystem::path& path);

// Every entry below `folder` by its path relative to it, a regular file with
// its bytes and anything else (a folder, a link) with none: two snapshots
// differ when anything there was made, removed or changed.
using FolderSnapshot = std::map<std::string, Bytes>;
FolderSnapshot snapshotOf(const std::filesystem::path& folder);

struct ProcessResult {
  int exitStatus = -1;    // -1 when the process did not exit normally
  std::string output;     // standard output, lines ending in "\n" on every system
  std::string rawOutput;  // standard output as written ("\r\n" line ends on Windows)
  std::string errors;     // standard error
};

// Removes `path` and everything below it, read-only entries included; quiet
// when it is absent. One implementation per system, like runProcess:
// system_{posix,windows}.cc.
void removeTree(const std::filesystem::path& path);

// Makes a FIFO at `path`; false where the system has none (Windows), so
// that a test leaves those cases out.
bool makeFifo(const std::filesystem::path& path);

// Runs `program` with `arguments` (UTF-8) in `workingDirectory` and waits
// for it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& workingDirectory);

// The failure a status holds, or nothing for success.
inline std::optional<Failure> failureKind(const Status& status) {
  return status.ok() ? std::nullopt : std::optional<Failure>(status.failure());
}

// Runs `action`, which returns a Status or a Result; returns the failure's
// line, or nothing when the action completed.
template <typename Action>
std::optional<std::string> failureOf(Action&& action) {
  const auto outcome = action();
  if (outcome.ok()) return std::nullopt;
  if constexpr (std::is_same_v<std::decay_t<decltype(outcome)>, Status>) {
    return outcome.line();
  } else {
    return outcome.status().line();
  }
}

}  // namespace tintrod::testing
