// The one seam between tintrod and the operating system. Everything the
// programs ask of the system (opening files without following links or
// waiting on pipes, output that appears whole or not at all, modes, folders,
// large memory, the command line and the console) goes through these calls;
// one file per system implements them (os_posix.cc, os_windows.cc) and the
// build picks which. Paths are UTF-8 everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "os/large_buffer.h"
#include "util/status.h"

namespace tintrod::os {

// --- The process -----------------------------------------------------------

// Sets the process up before a program's pass (an over-size write fails as a
// write instead of killing the process; the console shows UTF-8) and returns
// its arguments, the program name excluded, as UTF-8.
std::vector<std::string> startProgram(int argc, char** argv);

// Arguments holding '*' or '?' in their last part, replaced by the files
// that match, in order of name, where the shell leaves that to the program
// (Windows); one that matches nothing stays as typed. Elsewhere the shell
// has already done it and the arguments come back as they are.
std::vector<std::string> expandWildcards(std::vector<std::string> arguments);

// --- Reading ---------------------------------------------------------------

// Every call that the system can refuse returns what it said: a
// SystemStatus (util/status.h) holding a portable kind and the system's own
// code, never a guess made by asking again afterwards, when the file may have
// changed. A program's table (util/failure_tables.h) gives it its line.

struct OpenedFile {
  std::FILE* file = nullptr;  // the caller's to close
  std::int64_t size = 0;      // the file's length at opening
};

// Opens `path` for binary reading when it names a regular file; a FIFO, a
// device or a folder is refused (kNotRegularFile, kFolder) without waiting
// on it.
SystemResult<OpenedFile> openRegularFile(const std::string& path);

// Permission bits a copy of the open file `source` should be created with:
// its own less set-user-ID, set-group-ID and sticky; the user's umask
// narrows them further when the copy is created.
unsigned copyPermissions(std::FILE* source);

// Permission bits of a brand-new file (before the umask).
inline constexpr unsigned kNewFilePermissions = 0666;

// True when the open file `file` and the file at `path` are one file (same
// device and inode, or same volume and file index); false when `path` does
// not exist.
bool isSameFile(std::FILE* file, const std::string& path);

// --- Names -----------------------------------------------------------------

// What stands under a name itself: a link there is a link, never followed.
enum class EntryKind { kNothing, kRegularFile, kLink, kFolder, kOther };
EntryKind entryKind(const std::string& path);

// The absolute name `path` will have once its missing folders are made: the
// folders that exist resolved by the system, the missing ones as spelled,
// with "." and ".." applied to the text; the last name is kept, a link there
// unresolved. A check made before the folders exist must look here, since
// "new/../model" cannot be looked up until "new" is made, and then it is the
// model. `path` itself when it cannot be worked out.
std::string plannedPath(const std::string& path);

// --- Writing ---------------------------------------------------------------

// A file that appears under its name whole or not at all. It is made in the
// target's folder without a name where the file system allows, otherwise
// under an unguessable one that is removed on every failure and on the
// catchable termination signals; it is written only through its own handle,
// never reopened by name. Until publish() succeeds, destroying it leaves the
// folder as it was.
class NewFile {
 public:
  NewFile();
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Starts the file that will replace `target`, with `permissions` before
  // the umask.
  SystemStatus create(const std::string& target, unsigned permissions);

  // Appends `length` bytes of the open file `source`, read from its offset 0
  // through its handle (never by name, never moving its stream position).
  // Fails when fewer arrive.
  SystemStatus copyFrom(std::FILE* source, std::int64_t length);
  // Appends `bytes`.
  SystemStatus append(std::span<const std::uint8_t> bytes);
  // Overwrites at `offset`; fails if that would reach past the current end.
  SystemStatus writeAt(std::int64_t offset, std::span<const std::uint8_t> bytes);
  std::int64_t size() const;

  // Gives the content the target's name, replacing what stood there: a
  // regular file or a link, never a folder, a device or a FIFO. Durable
  // publishing first flushes the content to disk and then makes the name
  // durable too; files that can always be made again skip both flushes,
  // which cost milliseconds each.
  enum class Durability { kDurable, kAtomicOnly };
  SystemStatus publish(Durability durability = Durability::kDurable);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// --- Whole files -----------------------------------------------------------

// Reads the regular file at `path` whole into `bytes`, opened as
// openRegularFile opens it. One longer than `maxSize`, or than the memory
// that can be had for it, is refused as kTooLarge before any of it is read.
SystemStatus readWholeFile(const std::string& path, std::size_t maxSize, LargeBuffer& bytes);

// Makes `bytes` the whole of the file at `path` through a NewFile: it appears
// whole or not at all, replacing a file or a link there, never a folder, a
// device or a FIFO.
SystemStatus writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                            NewFile::Durability durability);

// --- A set of files replaced together ---------------------------------------

struct FileContent {
  std::string path;
  std::span<const std::uint8_t> bytes;
};

// Makes each file's bytes the whole of its path, all of them or none: every
// file is first written beside its target under a temporary name and flushed
// to disk, every target is checked to be replaceable (a regular file, a link
// or nothing, and on Windows not held open by another program), and only then
// are they replaced, with the termination signals held back; when one
// replacement fails, those already made are undone. The folders then hold
// every old file or every new one, and no temporary; only a power cut or an
// uncatchable kill during the replacements can leave a mix. On failure,
// `failedFile` is the index of the file that could not be written or replaced.
SystemStatus replaceFilesTogether(std::span<const FileContent> files, std::size_t& failedFile);

// --- The shell ---------------------------------------------------------------

// How the user's shell reads back a command line that a program prints for
// pasting: a POSIX shell, or on Windows both cmd and PowerShell.
enum class ShellQuoting { kPosix, kCmdAndPowerShell };
ShellQuoting shellQuoting();

// --- The console -------------------------------------------------------------

// True when standard output is a terminal (a console on Windows), where
// control characters act instead of showing.
bool standardOutputIsTerminal();

// True when the program writes to a console window of its own, which closes
// the moment it ends: Explorer started it (a double-click, files dropped onto
// it), not a terminal. Never so where programs start from terminals only.
bool ownsConsoleWindow();

// --- Folders ---------------------------------------------------------------

// Creates `folder` and its missing parents; succeeds when it then is a folder.
SystemStatus makeFolders(const std::string& folder);

// Makes `folder` the current folder, where the programs' fixed names
// ("cueTemplate.obp", "cueNew.obp") are looked up.
SystemStatus changeFolder(const std::string& folder);

// --- Memory ----------------------------------------------------------------

// A region of at least `size` bytes for one large buffer, starting on a huge
// page and placed in huge pages where the system offers them; null when the
// system has nothing better than the heap for it (a small size included).
// Released only through releaseLargeRegion with the same size.
std::uint8_t* mapLargeRegion(std::size_t size);
void releaseLargeRegion(std::uint8_t* region, std::size_t size);

// Asks the allocator to keep the buffers it is given back, up to tens of
// megabytes, for the next ones, rather than return them to the system: a
// short run that frees and takes buffers of megabytes stage after stage then
// reuses pages it has touched instead of faulting in fresh ones.
void reuseFreedMemory();

}  // namespace tintrod::os
