// The seam on POSIX systems. Linux-only calls sit behind __linux__ and each
// has a portable fallback chosen at run time, because the same file also
// builds for WebAssembly, whose file system has none of them.
#include <fcntl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "os/new_file_points.h"
#include "os/os.h"
#include "os/replaceable.h"

namespace tintrod::os {
namespace {

// --- What the system said ------------------------------------------------------

SystemErrorKind kindOfErrno(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
      return SystemErrorKind::kMissing;
    case EACCES:
    case EPERM:
    case EROFS:
      return SystemErrorKind::kNotPermitted;
    case EISDIR:
      return SystemErrorKind::kFolder;
    case ENOSPC:
    case EFBIG:  // past `ulimit -f`
#if defined(EDQUOT)
    case EDQUOT:
#endif
      return SystemErrorKind::kNoSpace;
    default:
      return SystemErrorKind::kOther;
  }
}

// What the call that just failed left in errno.
SystemStatus lastError() {
  const int code = errno;
  return SystemStatus(kindOfErrno(code), code);
}

// The seam's own refusals, which no system call made.
SystemStatus refused(SystemErrorKind kind) { return SystemStatus(kind, 0); }

// A file shorter than what was checked of it: it changed under the run.
SystemStatus endedEarly() { return refused(SystemErrorKind::kOther); }

// --- Whole reads and writes --------------------------------------------------

SystemStatus writeAllAt(int descriptor, const std::uint8_t* bytes, std::size_t count,
                        std::int64_t offset) {
  while (count > 0) {
    const ssize_t written = pwrite(descriptor, bytes, count, static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return lastError();
    if (written == 0) return refused(SystemErrorKind::kNoSpace);
    bytes += written;
    count -= static_cast<std::size_t>(written);
    offset += written;
  }
  return {};
}

// Copies bytes [from, length) of `source` to `destination` at `at` + their
// offset, through a buffer. Fails when the source ends early.
SystemStatus copyThroughBuffer(int source, int destination, std::int64_t from, std::int64_t length,
                               std::int64_t at) {
  constexpr std::int64_t kBufferSize = std::int64_t{1} << 20;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(length - from, kBufferSize)));
  while (from < length) {
    const auto wanted = static_cast<std::size_t>(std::min(length - from, kBufferSize));
    const ssize_t got = pread(source, buffer.data(), wanted, static_cast<off_t>(from));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return lastError();
    if (got == 0) return endedEarly();
    SystemStatus written =
        writeAllAt(destination, buffer.data(), static_cast<std::size_t>(got), at + from);
    if (!written.ok()) return written;
    from += got;
  }
  return {};
}

// Copies the first `length` bytes of `source` to `destination` at `at`,
// neither through a name nor moving either file's position.
SystemStatus copyPrefix(int source, int destination, std::int64_t length, std::int64_t at) {
  std::int64_t done = 0;
#if defined(__linux__)
  // The kernel copies (or shares extents) without a trip through user memory.
  loff_t in = 0;
  loff_t out = at;
  while (done < length) {
    const ssize_t copied =
        copy_file_range(source, &in, destination, &out, static_cast<std::size_t>(length - done), 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied == 0) return endedEarly();
    if (copied < 0) break;  // not across these files: copy the rest by hand
    done += copied;
  }
#endif
  if (done == length) return {};
  return copyThroughBuffer(source, destination, done, length, at);
}

// --- Catchable signals -------------------------------------------------------

// Holds every catchable signal back while alive, so that a name is never
// half given.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_{};
};

// Named temporaries that a termination signal must remove. A fixed table,
// because the handler may neither allocate nor lock.
struct Temporary {
  volatile sig_atomic_t armed = 0;
  int folder = -1;
  char name[32] = {};
};
// Room for every file of a set replaced together, with some to spare.
constexpr int kTemporarySlots = 32;
Temporary temporaries[kTemporarySlots];

void removeArmedTemporaries() {
  for (Temporary& temporary : temporaries) {
    if (temporary.armed != 0) unlinkat(temporary.folder, temporary.name, 0);
  }
}

// Only async-signal-safe calls: remove, then die of the same signal as if
// nothing had caught it.
void removeTemporariesAndDie(int signalNumber) {
  removeArmedTemporaries();
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void installRemovalOnTermination() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signalNumber, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;  // e.g. under nohup: stays ignored
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndDie;
    sigfillset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
  }
}

Temporary* freeTemporarySlot() {
  for (Temporary& temporary : temporaries) {
    if (temporary.armed == 0) return &temporary;
  }
  return nullptr;
}

// 64 random bits: another process cannot plant anything under the name in
// advance. False when the system has no randomness to give: the standard
// library reports that by throwing, which stops here.
bool makeUnguessableName(char (&name)[32]) {
  try {
    std::random_device random;
    const unsigned long long bits = (static_cast<unsigned long long>(random()) << 32) ^ random();
    std::snprintf(name, sizeof name, ".tintrod-%016llx.tmp", bits);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Creates a fresh file under an unguessable name in `folder`, removed on
// termination until disarmed.
SystemStatus createNamedTemporary(int folder, unsigned permissions, Temporary*& temporary,
                                  int& descriptor) {
  installRemovalOnTermination();
  const SignalsHeld held;
  Temporary* slot = freeTemporarySlot();
  if (slot == nullptr) return refused(SystemErrorKind::kOther);
  for (int attempt = 0; attempt < 8; ++attempt) {
    if (!makeUnguessableName(slot->name)) return refused(SystemErrorKind::kOther);
    descriptor = openat(folder, slot->name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        static_cast<mode_t>(permissions));
    if (descriptor >= 0) {
      slot->folder = folder;
      slot->armed = 1;
      temporary = slot;
      return {};
    }
    if (errno != EEXIST) return lastError();
  }
  return SystemStatus(SystemErrorKind::kOther, EEXIST);
}

void removeTemporary(Temporary* temporary) {
  const SignalsHeld held;
  unlinkat(temporary->folder, temporary->name, 0);
  temporary->armed = 0;
}

// --- Unnamed files ---------------------------------------------------------

// A file in `folder` that has no name at all, so nothing can be left behind;
// -1 where the file system has none.
int createUnnamed(int folder, unsigned permissions) {
#if defined(__linux__) && defined(O_TMPFILE)
  return openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, static_cast<mode_t>(permissions));
#else
  (void)folder;
  (void)permissions;
  return -1;
#endif
}

// Gives the unnamed file its first name; 0 or the errno of the failure.
int linkUnnamed(int descriptor, int folder, const char* name) {
#if defined(__linux__) && defined(AT_EMPTY_PATH)
  if (linkat(descriptor, "", folder, name, AT_EMPTY_PATH) == 0) return 0;
  if (errno == EEXIST) return EEXIST;
  // Without the privilege for the call above, the same through /proc.
  char path[32];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
  if (linkat(AT_FDCWD, path, folder, name, AT_SYMLINK_FOLLOW) == 0) return 0;
  return errno;
#else
  (void)descriptor;
  (void)folder;
  (void)name;
  return ENOSYS;
#endif
}

SystemStatus syncFile(int descriptor) {
  // EINVAL: a file system that has nothing to flush (in memory, for instance).
  if (fsync(descriptor) == 0 || errno == EINVAL) return {};
  return lastError();
}

EntryKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::kRegularFile;
  if (S_ISLNK(mode)) return EntryKind::kLink;
  if (S_ISDIR(mode)) return EntryKind::kFolder;
  return EntryKind::kOther;
}

// A NewFile used before create() succeeded.
SystemStatus notStarted() { return refused(SystemErrorKind::kOther); }

std::pair<std::string, std::string> splitTarget(const std::string& target) {
  const std::filesystem::path path(target);
  std::string folder = path.parent_path().string();
  return {folder.empty() ? "." : folder, path.filename().string()};
}

}  // namespace

// --- The process -----------------------------------------------------------

std::vector<std::string> startProgram(int argc, char** argv) {
  signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> arguments(argc > 0 ? argv + 1 : argv, argv + argc);
  return arguments;
}

std::vector<std::string> expandWildcards(std::vector<std::string> arguments) { return arguments; }

// --- Reading ---------------------------------------------------------------

SystemResult<OpenedFile> openRegularFile(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never
  // come; regular files ignore the flag. A folder opens, and its kind
  // comes from the descriptor: nothing is looked up by name twice.
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return lastError();
  struct stat status {};
  SystemStatus refusal;
  if (fstat(descriptor, &status) != 0) {
    refusal = lastError();
  } else if (S_ISDIR(status.st_mode)) {
    refusal = refused(SystemErrorKind::kFolder);
  } else if (!S_ISREG(status.st_mode)) {
    refusal = refused(SystemErrorKind::kNotRegularFile);
  }
  std::FILE* file = refusal.ok() ? fdopen(descriptor, "rb") : nullptr;
  if (file == nullptr) {
    if (refusal.ok()) refusal = lastError();
    close(descriptor);
    return refusal;
  }
  return OpenedFile{file, static_cast<std::int64_t>(status.st_size)};
}

unsigned copyPermissions(std::FILE* source) {
  struct stat status {};
  if (fstat(fileno(source), &status) != 0) return kNewFilePermissions;
  return static_cast<unsigned>(status.st_mode) & 0777u;
}

bool isSameFile(std::FILE* file, const std::string& path) {
  struct stat open {};
  struct stat named {};
  return fstat(fileno(file), &open) == 0 && stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// --- Names -----------------------------------------------------------------

EntryKind entryKind(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) return EntryKind::kNothing;
  return kindOf(status.st_mode);
}

std::string plannedPath(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return path;
  // A last name of "." or ".." is a folder's, resolved with the rest.
  const fs::path name = absolute.filename();
  const bool folderName = name.empty() || name == "." || name == "..";
  fs::path folder = fs::weakly_canonical(folderName ? absolute : absolute.parent_path(), error);
  if (error) return path;
  // "new/." of a folder not made yet comes back as "new/"; a folder is
  // spelled one way.
  if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
  return (folderName ? folder : folder / name).string();
}

// --- Writing ---------------------------------------------------------------

struct NewFile::State {
  int folder = -1;  // the target's folder, opened once: every name is given inside it
  std::string name;
  int descriptor = -1;
  Temporary* temporary = nullptr;  // null while the file has no name
  std::int64_t size = 0;

  ~State() {
    if (descriptor >= 0) close(descriptor);
    if (temporary != nullptr) removeTemporary(temporary);
    if (folder >= 0) close(folder);
  }

  // Replaces the unnamed file by a named copy of it, where the unnamed one
  // cannot be given a name.
  SystemStatus nameThroughCopy(unsigned permissions) {
    int copy = -1;
    SystemStatus made = createNamedTemporary(folder, permissions, temporary, copy);
    if (!made.ok()) return made;
    SystemStatus copied = copyPrefix(descriptor, copy, size, 0);
    if (copied.ok()) copied = syncFile(copy);
    close(descriptor);
    descriptor = copy;
    return copied;
  }

  // Checked again just before naming: a device or FIFO planted meanwhile
  // stays what it is.
  SystemStatus targetReplaceable() const {
    struct stat status {};
    if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT ? SystemStatus() : lastError();
    }
    return replaceableKind(kindOf(status.st_mode));
  }

  // Gives the flushed file the target's name; catchable signals are held
  // from the first name to the last, so no signal leaves a second one.
  // `unnameable`: an unnamed file that this process cannot name at all.
  SystemStatus giveName(bool& unnameable) {
    const SignalsHeld held;
    unnameable = false;
    if (temporary == nullptr) {
      const int linked = linkUnnamed(descriptor, folder, name.c_str());
      if (linked == 0) return {};  // there was nothing to replace
      if (linked != EEXIST) {
        unnameable = true;
        return SystemStatus(kindOfErrno(linked), linked);
      }
      char linkName[32];
      if (!makeUnguessableName(linkName)) return refused(SystemErrorKind::kOther);
      if (const int second = linkUnnamed(descriptor, folder, linkName); second != 0) {
        return SystemStatus(kindOfErrno(second), second);
      }
      if (renameat(folder, linkName, folder, name.c_str()) == 0) return {};
      const SystemStatus failed = lastError();
      unlinkat(folder, linkName, 0);
      return failed;
    }
    if (renameat(folder, temporary->name, folder, name.c_str()) != 0) return lastError();
    temporary->armed = 0;
    temporary = nullptr;
    return {};
  }
};

NewFile::NewFile() = default;
NewFile::~NewFile() = default;

SystemStatus NewFile::create(const std::string& target, unsigned permissions) {
  auto state = std::make_unique<State>();
  const auto [folder, name] = splitTarget(target);
  state->name = name;
  if (name.empty()) return refused(SystemErrorKind::kFolder);
  state->folder = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (state->folder < 0) return lastError();
  if (!namedTemporaryRequired()) state->descriptor = createUnnamed(state->folder, permissions);
  if (state->descriptor < 0) {
    SystemStatus made =
        createNamedTemporary(state->folder, permissions, state->temporary, state->descriptor);
    if (!made.ok()) return made;
  }
  state_ = std::move(state);
  reachedStep(Step::kCreated);
  return {};
}

SystemStatus NewFile::copyFrom(std::FILE* source, std::int64_t length) {
  if (state_ == nullptr) return notStarted();
  if (length < 0) return refused(SystemErrorKind::kOther);
  SystemStatus copied = copyPrefix(fileno(source), state_->descriptor, length, state_->size);
  if (!copied.ok()) return copied;
  state_->size += length;
  reachedStep(Step::kCopied);
  return {};
}

SystemStatus NewFile::append(std::span<const std::uint8_t> bytes) {
  if (state_ == nullptr) return notStarted();
  SystemStatus written = writeAllAt(state_->descriptor, bytes.data(), bytes.size(), state_->size);
  if (!written.ok()) return written;
  state_->size += static_cast<std::int64_t>(bytes.size());
  return {};
}

SystemStatus NewFile::writeAt(std::int64_t offset, std::span<const std::uint8_t> bytes) {
  if (state_ == nullptr) return notStarted();
  if (offset < 0 || static_cast<std::int64_t>(bytes.size()) > state_->size - offset) {
    return refused(SystemErrorKind::kOther);
  }
  return writeAllAt(state_->descriptor, bytes.data(), bytes.size(), offset);
}

std::int64_t NewFile::size() const { return state_ == nullptr ? 0 : state_->size; }

SystemStatus NewFile::publish(Durability durability) {
  if (state_ == nullptr) return notStarted();
  reachedStep(Step::kPublishing);
  if (SystemStatus replaceable = state_->targetReplaceable(); !replaceable.ok()) {
    return replaceable;
  }
  const bool durable = durability == Durability::kDurable;
  if (durable) {
    if (SystemStatus synced = syncFile(state_->descriptor); !synced.ok()) return synced;
  }
  bool unnameable = false;
  SystemStatus named = state_->giveName(unnameable);
  if (unnameable) {
    // Unnamed files that this process cannot name (no /proc, say): name a copy.
    struct stat status {};
    if (fstat(state_->descriptor, &status) != 0) return lastError();
    SystemStatus copied = state_->nameThroughCopy(static_cast<unsigned>(status.st_mode) & 0777u);
    if (!copied.ok()) return copied;
    named = state_->giveName(unnameable);
  }
  if (!named.ok()) return named;
  // The name is in place and cannot be taken back: a folder that cannot be
  // flushed costs durability, not the run.
  if (durable) fsync(state_->folder);
  state_.reset();
  return {};
}

// --- A set of files replaced together ---------------------------------------

namespace {

// One file of a set: its content under a temporary name in the target's
// folder until replaced, and while the replacements run, the old file kept
// under another unguessable name so that it can be put back.
struct SetMember {
  enum class Kept { kNothing, kLinked, kMoved };

  int folder = -1;
  std::string name;
  int descriptor = -1;
  Temporary* temporary = nullptr;
  bool hadOld = false;
  Kept kept = Kept::kNothing;
  char keptName[32] = {};
  bool replaced = false;

  SetMember() = default;
  SetMember(const SetMember&) = delete;
  SetMember& operator=(const SetMember&) = delete;
  ~SetMember() {
    if (descriptor >= 0) close(descriptor);
    if (temporary != nullptr) removeTemporary(temporary);
    if (folder >= 0) close(folder);
  }

  SystemStatus write(const FileContent& file) {
    const auto [folderName, fileName] = splitTarget(file.path);
    name = fileName;
    if (name.empty()) return refused(SystemErrorKind::kFolder);
    folder = open(folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return lastError();
    SystemStatus made = createNamedTemporary(folder, kNewFilePermissions, temporary, descriptor);
    if (!made.ok()) return made;
    if (!setStepSucceeds(SetStep::kWriting)) return refused(SystemErrorKind::kNoSpace);
    SystemStatus written = writeAllAt(descriptor, file.bytes.data(), file.bytes.size(), 0);
    return written.ok() ? syncFile(descriptor) : written;
  }

  SystemStatus replaceable() {
    struct stat status {};
    if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT ? SystemStatus() : lastError();
    }
    hadOld = true;
    return replaceableKind(kindOf(status.st_mode));
  }

  // A second name for the old file keeps its name in place throughout; a
  // file system without hard links gets it moved aside instead.
  SystemStatus replace() {
    if (hadOld) {
      if (!makeUnguessableName(keptName)) return refused(SystemErrorKind::kOther);
      if (linkat(folder, name.c_str(), folder, keptName, 0) == 0) {
        kept = Kept::kLinked;
      } else if (renameat(folder, name.c_str(), folder, keptName) == 0) {
        kept = Kept::kMoved;
      } else {
        return lastError();
      }
    }
    if (!setStepSucceeds(SetStep::kReplacing)) return refused(SystemErrorKind::kOther);
    if (renameat(folder, temporary->name, folder, name.c_str()) != 0) return lastError();
    temporary->armed = 0;
    temporary = nullptr;
    replaced = true;
    return {};
  }

  void putBack() {
    if (kept != Kept::kNothing && (replaced || kept == Kept::kMoved)) {
      renameat(folder, keptName, folder, name.c_str());
    } else if (kept == Kept::kLinked) {
      unlinkat(folder, keptName, 0);
    } else if (replaced) {
      unlinkat(folder, name.c_str(), 0);  // there was nothing before
    }
    kept = Kept::kNothing;
  }

  void dropKept() {
    if (kept != Kept::kNothing) unlinkat(folder, keptName, 0);
    kept = Kept::kNothing;
  }
};

}  // namespace

SystemStatus replaceFilesTogether(std::span<const FileContent> files, std::size_t& failedFile) {
  std::vector<std::unique_ptr<SetMember>> members;
  for (std::size_t i = 0; i < files.size(); ++i) {
    members.push_back(std::make_unique<SetMember>());
    failedFile = i;
    if (SystemStatus written = members.back()->write(files[i]); !written.ok()) return written;
  }
  for (std::size_t i = 0; i < members.size(); ++i) {
    failedFile = i;
    if (SystemStatus replaceable = members[i]->replaceable(); !replaceable.ok()) return replaceable;
  }
  // Held until the kept old files are gone again: a signal that arrives
  // meanwhile ends the run once the set is whole.
  const SignalsHeld held;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (SystemStatus replaced = members[i]->replace(); !replaced.ok()) {
      for (std::size_t j = i + 1; j-- > 0;) members[j]->putBack();
      failedFile = i;
      return replaced;
    }
  }
  for (const auto& member : members) member->dropKept();
  // The names are in place and cannot be taken back: a folder that cannot
  // be flushed costs durability, not the run.
  for (const auto& member : members) fsync(member->folder);
  return {};
}

// --- The shell ---------------------------------------------------------------

ShellQuoting shellQuoting() { return ShellQuoting::kPosix; }

// --- The console -------------------------------------------------------------

bool ownsConsoleWindow() { return false; }

// --- Folders ---------------------------------------------------------------

SystemStatus makeFolders(const std::string& folder) {
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  std::error_code looked;
  if (std::filesystem::is_directory(folder, looked)) return {};
  // The first refusal says why; a file standing under the name refuses
  // without one.
  const std::error_code& error = made ? made : looked;
  const int code = error ? error.value() : EEXIST;  // errno, whichever category holds it
  return SystemStatus(kindOfErrno(code), code);
}

SystemStatus changeFolder(const std::string& folder) {
  if (chdir(folder.c_str()) == 0) return {};
  return lastError();
}

// --- Memory ----------------------------------------------------------------

namespace {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

std::size_t roundUp(std::size_t value, std::size_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// A huge page is backed whole as soon as any byte of it is touched, so a
// short tail stays in small pages: it would cost more memory than faults.
std::size_t hugePageSpan(std::size_t size) {
  return (size + kHugePageSize / 2) / kHugePageSize * kHugePageSize;
}
#endif
}  // namespace

std::uint8_t* mapLargeRegion(std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (size < kHugePageSize) return nullptr;
  // A spare huge page of address space lets the region start on a huge-page
  // boundary; the unaligned ends are handed back at once.
  const std::size_t length = roundUp(size, kHugePageSize);
  void* mapping = mmap(nullptr, length + kHugePageSize, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  auto* start = static_cast<std::uint8_t*>(mapping);
  const auto address = reinterpret_cast<std::uintptr_t>(mapping);
  const std::size_t head = roundUp(address, kHugePageSize) - address;
  if (head > 0) munmap(start, head);
  if (head < kHugePageSize) munmap(start + head + length, kHugePageSize - head);
  // Only a hint: without huge pages the region works the same, slower.
  madvise(start + head, hugePageSpan(size), MADV_HUGEPAGE);
  return start + head;
#else
  (void)size;
  return nullptr;
#endif
}

void releaseLargeRegion(std::uint8_t* region, std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (region != nullptr) munmap(region, roundUp(size, kHugePageSize));
#else
  (void)region;
  (void)size;
#endif
}

void reuseFreedMemory() {
#if defined(__GLIBC__)
  // Past the first threshold a buffer gets a mapping of its own, handed back
  // when freed; past the second, free memory at the heap's top is.
  constexpr int kOwnMappingFrom = 64 << 20;
  constexpr int kHandBackFrom = 128 << 20;
  mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
  mallopt(M_TRIM_THRESHOLD, kHandBackFrom);
#endif
}

}  // namespace tintrod::os
