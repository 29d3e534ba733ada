// The seam on Windows. Paths arrive as UTF-8 and reach the system only
// through the wide-character calls; every file is a binary handle.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "os/new_file_points.h"
#include "os/os.h"
#include "os/replaceable.h"

namespace tintrod::os {
namespace {

// A path of this length or more needs the \\?\ form unless the system was
// told otherwise; the margin leaves room for the temporary file's suffix.
constexpr std::size_t kPlainPathLimit = MAX_PATH - 40;

// Bytes per step when one file is copied into another.
constexpr DWORD kCopyChunk = DWORD{1} << 20;

// --- What the system said ------------------------------------------------------

SystemErrorKind kindOfError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_NO_UNICODE_TRANSLATION:
      return SystemErrorKind::kMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return SystemErrorKind::kNotPermitted;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return SystemErrorKind::kNoSpace;
    default:
      return SystemErrorKind::kOther;
  }
}

SystemStatus errorOf(DWORD code) { return SystemStatus(kindOfError(code), static_cast<int>(code)); }

// What the call that just failed left for GetLastError.
SystemStatus lastError() { return errorOf(GetLastError()); }

// The seam's own refusals, which no system call made.
SystemStatus refused(SystemErrorKind kind) { return SystemStatus(kind, 0); }

// A file shorter than what was checked of it: it changed under the run.
SystemStatus endedEarly() { return refused(SystemErrorKind::kOther); }

// A path that is not valid UTF-8 names no file.
SystemStatus unnameable() { return errorOf(ERROR_NO_UNICODE_TRANSLATION); }

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                      wide.data(), length);
  return wide;
}

std::string narrow(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.pop_back();  // the terminator the count included
  return utf8;
}

std::wstring fullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return full;
}

// The wide form of a UTF-8 path that the file calls accept at any length:
// a long one becomes absolute in the \\?\ form, which takes no "." or ".."
// and no forward slashes, so it is resolved first. Empty when `path` is not
// valid UTF-8, which names no file.
std::wstring systemPath(const std::string& path) {
  std::wstring wide = widen(path);
  if (wide.size() < kPlainPathLimit || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  wide = fullPath(wide);
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

// Closes on every path out of a function.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

HANDLE handleOf(std::FILE* file) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); }

bool fileIdentity(HANDLE handle, BY_HANDLE_FILE_INFORMATION& information) {
  return GetFileInformationByHandle(handle, &information) != 0;
}

// Reads or writes the whole span at `offset`. With an offset in the
// OVERLAPPED the call needs no seek, and a short count is retried.
SystemStatus readAt(HANDLE file, std::int64_t offset, std::uint8_t* bytes, DWORD count) {
  while (count > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD got = 0;
    if (!ReadFile(file, bytes, count, &got, &at)) {
      const DWORD error = GetLastError();
      return error == ERROR_HANDLE_EOF ? endedEarly() : errorOf(error);
    }
    if (got == 0) return endedEarly();
    offset += got;
    bytes += got;
    count -= got;
  }
  return {};
}

SystemStatus writeAtOffset(HANDLE file, std::int64_t offset, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    const auto count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kCopyChunk));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), count, &written, &at)) return lastError();
    if (written == 0) return refused(SystemErrorKind::kNoSpace);
    offset += written;
    bytes = bytes.subspan(written);
  }
  return {};
}

// While set, closing the handle deletes the file, however the process ends.
bool setDeleteOnClose(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         0;
}

// A suffix nobody can guess, so that no one prepares a file or link under it.
std::wstring randomSuffix() {
  std::uint8_t random[12] = {};
  if (!BCRYPT_SUCCESS(
          BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return {};
  }
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring suffix = L".";
  for (const std::uint8_t byte : random) {
    suffix += kDigits[byte >> 4];
    suffix += kDigits[byte & 15];
  }
  return suffix + L".partial";
}

bool isReadOnlyFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

EntryKind kindOf(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::kNothing;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return EntryKind::kLink;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return EntryKind::kFolder;
  // A device name (NUL, CON, COM1) answers like a file; only an open tells.
  const Handle file(CreateFileW(name.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.valid() && GetFileType(file.get()) != FILE_TYPE_DISK) return EntryKind::kOther;
  return EntryKind::kRegularFile;
}

// Whether a new file may take `name`: the kinds both systems allow, and not a
// read-only file, which Windows refuses to replace (Wine would, hence the look).
SystemStatus replaceable(const std::wstring& name) {
  if (isReadOnlyFile(name)) return errorOf(ERROR_ACCESS_DENIED);
  return replaceableKind(kindOf(name));
}

UINT previousConsoleCodePage = 0;

void restoreConsoleCodePage() { SetConsoleOutputCP(previousConsoleCodePage); }

}  // namespace

// --- The process -----------------------------------------------------------

std::vector<std::string> startProgram(int argc, char** argv) {
  // The console shows UTF-8 paths as written; the console is shared with
  // the shell, so its code page goes back when the program ends.
  previousConsoleCodePage = GetConsoleOutputCP();
  if (previousConsoleCodePage != 0 && previousConsoleCodePage != CP_UTF8 &&
      SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restoreConsoleCodePage);
  }

  // argv holds the arguments in the ANSI code page, which loses letters;
  // the UTF-16 command line has them all.
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (wide == nullptr) {
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
  }
  for (int i = 1; i < count; ++i) arguments.push_back(narrow(wide[i]));
  LocalFree(static_cast<HLOCAL>(wide));
  return arguments;
}

namespace {

bool hasWildcard(const std::wstring& argument) {
  const std::size_t name = argument.find_last_of(L"\\/:") + 1;
  return argument.find_first_of(L"*?", name) != std::wstring::npos;
}

// The files `pattern` matches, with the folder part as typed; "." and ".."
// and hidden files are left out, as a shell leaves them out.
std::vector<std::string> matches(const std::wstring& pattern) {
  const std::size_t name = pattern.find_last_of(L"\\/:") + 1;
  const std::wstring folder = pattern.substr(0, name);
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return {};
  do {
    const std::wstring file = entry.cFileName;
    if (file == L"." || file == L".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0) {
      continue;
    }
    found.push_back(folder + file);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(found.begin(), found.end());
  std::vector<std::string> names;
  for (const std::wstring& file : found) names.push_back(narrow(file.c_str()));
  return names;
}

}  // namespace

std::vector<std::string> expandWildcards(std::vector<std::string> arguments) {
  std::vector<std::string> expanded;
  for (std::string& argument : arguments) {
    const std::wstring wide = widen(argument);
    std::vector<std::string> files = hasWildcard(wide) ? matches(wide) : std::vector<std::string>{};
    if (files.empty()) {
      expanded.push_back(std::move(argument));
    } else {
      expanded.insert(expanded.end(), files.begin(), files.end());
    }
  }
  return expanded;
}

// --- Reading ---------------------------------------------------------------

SystemResult<OpenedFile> openRegularFile(const std::string& path) {
  const std::wstring name = systemPath(path);
  if (name.empty()) return unnameable();
  // Others may read along but not write: the length checked at opening
  // stays the file's length. Backup semantics let a folder open too, so
  // that its handle, not a second look by name, says it is one; a named
  // pipe opens without waiting and is refused below.
  Handle file(CreateFileW(
      name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return lastError();
  BY_HANDLE_FILE_INFORMATION information{};
  LARGE_INTEGER length{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return refused(SystemErrorKind::kNotRegularFile);
  if (!fileIdentity(file.get(), information)) return lastError();
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return refused(SystemErrorKind::kFolder);
  }
  if (!GetFileSizeEx(file.get(), &length)) return lastError();
  const int descriptor =
      _open_osfhandle(reinterpret_cast<intptr_t>(file.get()), _O_RDONLY | _O_BINARY);
  if (descriptor < 0) return refused(SystemErrorKind::kOther);
  file.release();  // the descriptor owns it now
  std::FILE* stream = _fdopen(descriptor, "rb");
  if (stream == nullptr) {
    _close(descriptor);
    return refused(SystemErrorKind::kOther);
  }
  return OpenedFile{stream, length.QuadPart};
}

// Windows files carry no permission bits; a copy is an ordinary writable
// file whatever the source's read-only attribute.
unsigned copyPermissions(std::FILE* /*source*/) { return kNewFilePermissions; }

bool isSameFile(std::FILE* file, const std::string& path) {
  const std::wstring name = systemPath(path);
  if (name.empty()) return false;
  // No access asked, every sharing mode granted: this open never conflicts
  // with the program's own handles or anyone else's.
  Handle other(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION mine{};
  BY_HANDLE_FILE_INFORMATION theirs{};
  return other.valid() && fileIdentity(handleOf(file), mine) && fileIdentity(other.get(), theirs) &&
         mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
         mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
}

// --- Names -----------------------------------------------------------------

EntryKind entryKind(const std::string& path) {
  const std::wstring name = systemPath(path);
  return name.empty() ? EntryKind::kNothing : kindOf(name);
}

// The system applies "." and ".." to the text before it looks at any folder,
// so the full path is what any name will be, folders made or not.
std::string plannedPath(const std::string& path) {
  std::wstring wide = widen(path);
  if (wide.empty()) return path;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  std::wstring full = fullPath(wide);
  // A folder is spelled one way: "out\" as "out", though "C:\" stays a root.
  if (full.size() > 3 && full.back() == L'\\' && full[full.size() - 2] != L':') full.pop_back();
  return narrow(full.c_str());
}

// --- Writing ---------------------------------------------------------------

struct NewFile::State {
  Handle file;
  std::wstring target;
  std::wstring temporary;
  std::int64_t size = 0;
  bool markedForDeletion = false;
  bool published = false;
};

NewFile::NewFile() : state_(std::make_unique<State>()) {}

NewFile::~NewFile() {
  // Marked for deletion at creation, the file goes with its handle; the
  // explicit removal covers a system that refused the mark.
  if (!state_->published && state_->file.valid()) {
    state_->file.reset();
    DeleteFileW(state_->temporary.c_str());
  }
}

SystemStatus NewFile::create(const std::string& target, unsigned /*permissions*/) {
  state_->target = systemPath(target);
  if (state_->target.empty()) return unnameable();
  const std::wstring suffix = randomSuffix();
  if (suffix.empty()) return refused(SystemErrorKind::kOther);
  state_->temporary = state_->target + suffix;
  // CREATE_NEW never opens what already stands under the name, a link
  // included; no sharing, so nobody else writes or renames it meanwhile.
  state_->file.reset(CreateFileW(state_->temporary.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!state_->file.valid()) return lastError();
  state_->size = 0;
  // Without the mark the destructor still removes the file on every
  // unwinding path; only a killed process could leave it behind.
  state_->markedForDeletion = setDeleteOnClose(state_->file.get(), true);
  reachedStep(Step::kCreated);
  return {};
}

namespace {

// A NewFile used before create() succeeded.
SystemStatus notStarted() { return refused(SystemErrorKind::kOther); }

}  // namespace

SystemStatus NewFile::copyFrom(std::FILE* source, std::int64_t length) {
  if (!state_->file.valid()) return notStarted();
  if (length < 0) return refused(SystemErrorKind::kOther);
  // Reading at explicit offsets moves the handle's position all the same, and
  // the stream buffered above it relies on that position: it is put back.
  const HANDLE input = handleOf(source);
  LARGE_INTEGER saved{};
  const LARGE_INTEGER zero{};
  if (!SetFilePointerEx(input, zero, &saved, FILE_CURRENT)) return lastError();
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(std::min<std::int64_t>(length, kCopyChunk)));
  SystemStatus copied;
  for (std::int64_t done = 0; copied.ok() && done < length;) {
    const auto count = static_cast<DWORD>(std::min<std::int64_t>(length - done, kCopyChunk));
    copied = readAt(input, done, buffer.data(), count);
    if (copied.ok())
      copied = writeAtOffset(state_->file.get(), state_->size, {buffer.data(), count});
    if (copied.ok()) {
      done += count;
      state_->size += count;
    }
  }
  const SystemStatus restored =
      SetFilePointerEx(input, saved, nullptr, FILE_BEGIN) != 0 ? SystemStatus() : lastError();
  if (!copied.ok()) return copied;
  if (!restored.ok()) return restored;
  reachedStep(Step::kCopied);
  return {};
}

SystemStatus NewFile::append(std::span<const std::uint8_t> bytes) {
  if (!state_->file.valid()) return notStarted();
  SystemStatus written = writeAtOffset(state_->file.get(), state_->size, bytes);
  if (!written.ok()) return written;
  state_->size += static_cast<std::int64_t>(bytes.size());
  return {};
}

SystemStatus NewFile::writeAt(std::int64_t offset, std::span<const std::uint8_t> bytes) {
  if (!state_->file.valid()) return notStarted();
  if (offset < 0 || static_cast<std::int64_t>(bytes.size()) > state_->size - offset) {
    return refused(SystemErrorKind::kOther);
  }
  return writeAtOffset(state_->file.get(), offset, bytes);
}

std::int64_t NewFile::size() const { return state_->size; }

SystemStatus NewFile::publish(Durability durability) {
  reachedStep(Step::kPublishing);
  const bool durable = durability == Durability::kDurable;
  if (!state_->file.valid()) return notStarted();
  if ((durable && !FlushFileBuffers(state_->file.get())) ||
      (state_->markedForDeletion && !setDeleteOnClose(state_->file.get(), false))) {
    return lastError();
  }
  state_->file.reset();
  const DWORD moveFlags =
      MOVEFILE_REPLACE_EXISTING | (durable ? DWORD{MOVEFILE_WRITE_THROUGH} : DWORD{0});
  // The replace is one rename in the folder, written through before it
  // returns; a folder under the target's name is never replaced, and
  // neither is a read-only file nor a device.
  SystemStatus named = replaceable(state_->target);
  if (named.ok() && !MoveFileExW(state_->temporary.c_str(), state_->target.c_str(), moveFlags)) {
    named = lastError();
  }
  if (!named.ok()) {
    DeleteFileW(state_->temporary.c_str());
    return named;
  }
  state_->published = true;
  return {};
}

// --- A set of files replaced together ---------------------------------------

namespace {

// One file of a set: its content under a temporary name beside the target
// until replaced, and while the replacements run, the old file kept under
// another unguessable name so that it can be put back.
struct SetMember {
  enum class Kept { kNothing, kLinked, kMoved };

  Handle file;
  std::wstring target;
  std::wstring temporary;
  bool markedForDeletion = false;
  bool hadOld = false;
  Kept kept = Kept::kNothing;
  std::wstring keptName;
  bool replaced = false;

  SetMember() = default;
  SetMember(const SetMember&) = delete;
  SetMember& operator=(const SetMember&) = delete;
  ~SetMember() {
    if (replaced || temporary.empty()) return;
    file.reset();
    DeleteFileW(temporary.c_str());
  }

  SystemStatus write(const FileContent& content) {
    target = systemPath(content.path);
    if (target.empty()) return unnameable();
    const std::wstring suffix = randomSuffix();
    if (suffix.empty()) return refused(SystemErrorKind::kOther);
    // As NewFile's: never opens what stands under the name, shares nothing,
    // and goes with its handle however the process ends until it is named.
    file.reset(CreateFileW((target + suffix).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                           nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return lastError();
    temporary = target + suffix;
    markedForDeletion = setDeleteOnClose(file.get(), true);
    if (!setStepSucceeds(SetStep::kWriting)) return refused(SystemErrorKind::kNoSpace);
    SystemStatus written = writeAtOffset(file.get(), 0, content.bytes);
    if (written.ok() && !FlushFileBuffers(file.get())) written = lastError();
    return written;
  }

  // A file another program holds open (an image viewer, say) cannot be
  // replaced; asking for delete access without sharing anything finds it,
  // as a sharing violation, before anything is replaced.
  SystemStatus replaceable() {
    const EntryKind kind = kindOf(target);
    if (kind == EntryKind::kNothing) return {};
    hadOld = true;
    if (SystemStatus checked = os::replaceable(target); !checked.ok()) return checked;
    const Handle old(CreateFileW(target.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                 nullptr));
    return old.valid() ? SystemStatus() : lastError();
  }

  // A second name for the old file keeps its name in place throughout; a
  // volume without hard links (FAT) gets it moved aside instead.
  SystemStatus replace() {
    if (markedForDeletion && !setDeleteOnClose(file.get(), false)) return lastError();
    file.reset();
    if (hadOld) {
      const std::wstring suffix = randomSuffix();
      if (suffix.empty()) return refused(SystemErrorKind::kOther);
      keptName = target + suffix;
      if (CreateHardLinkW(keptName.c_str(), target.c_str(), nullptr)) {
        kept = Kept::kLinked;
      } else if (MoveFileExW(target.c_str(), keptName.c_str(), 0)) {
        kept = Kept::kMoved;
      } else {
        return lastError();
      }
    }
    if (!setStepSucceeds(SetStep::kReplacing)) return refused(SystemErrorKind::kOther);
    if (!MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return lastError();
    }
    replaced = true;
    return {};
  }

  void putBack() {
    if (kept != Kept::kNothing && (replaced || kept == Kept::kMoved)) {
      MoveFileExW(keptName.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    } else if (kept == Kept::kLinked) {
      DeleteFileW(keptName.c_str());
    } else if (replaced) {
      DeleteFileW(target.c_str());  // there was nothing before
    }
    kept = Kept::kNothing;
  }

  void dropKept() {
    if (kept != Kept::kNothing) DeleteFileW(keptName.c_str());
    kept = Kept::kNothing;
  }
};

// Ctrl+C is ignored while alive: the console's nearest to holding the
// termination signals back.
class InterruptionsHeld {
 public:
  InterruptionsHeld() : held_(SetConsoleCtrlHandler(nullptr, TRUE) != 0) {}
  ~InterruptionsHeld() {
    if (held_) SetConsoleCtrlHandler(nullptr, FALSE);
  }
  InterruptionsHeld(const InterruptionsHeld&) = delete;
  InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

 private:
  bool held_;
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
    if (SystemStatus checked = members[i]->replaceable(); !checked.ok()) return checked;
  }
  const InterruptionsHeld held;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (SystemStatus replaced = members[i]->replace(); !replaced.ok()) {
      for (std::size_t j = i + 1; j-- > 0;) members[j]->putBack();
      failedFile = i;
      return replaced;
    }
  }
  for (const auto& member : members) member->dropKept();
  return {};
}

// --- The shell ---------------------------------------------------------------

ShellQuoting shellQuoting() { return ShellQuoting::kCmdAndPowerShell; }

// --- The console -------------------------------------------------------------

bool standardOutputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool ownsConsoleWindow() {
  // A terminal's console lists the shell too; the one Windows makes for a
  // program started from Explorer lists that program alone.
  DWORD processes[2] = {};
  return standardOutputIsTerminal() && GetConsoleProcessList(processes, 2) == 1;
}

// --- Folders ---------------------------------------------------------------

namespace {

bool isFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// `folder` is absolute in the \\?\ form and its root (drive or share)
// ends at `rootEnd`, so its parents are its prefixes down to there.
SystemStatus makeFolderAndParents(const std::wstring& folder, std::size_t rootEnd) {
  if (isFolder(folder)) return {};
  const std::size_t separator = folder.find_last_of(L'\\');
  if (separator == std::wstring::npos || separator < rootEnd) {
    return errorOf(ERROR_PATH_NOT_FOUND);
  }
  if (separator > rootEnd) {
    SystemStatus parent = makeFolderAndParents(folder.substr(0, separator), rootEnd);
    if (!parent.ok()) return parent;
  }
  if (CreateDirectoryW(folder.c_str(), nullptr) != 0) return {};
  const SystemStatus failed = lastError();
  // Made meanwhile by someone else: as good as made.
  return isFolder(folder) ? SystemStatus() : failed;
}

}  // namespace

SystemStatus makeFolders(const std::string& folder) {
  std::wstring wide = widen(folder);
  if (wide.empty()) return unnameable();
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  if (wide.rfind(L"\\\\?\\", 0) != 0) {
    wide = fullPath(wide);
    wide = wide.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + wide.substr(2) : L"\\\\?\\" + wide;
  }
  const bool share = wide.rfind(L"\\\\?\\UNC\\", 0) == 0;
  while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
  // The root is "\\?\C:" or "\\?\UNC\server\share".
  std::size_t rootEnd = wide.find(L'\\', share ? 8 : 4);
  if (share && rootEnd != std::wstring::npos) rootEnd = wide.find(L'\\', rootEnd + 1);
  if (rootEnd == std::wstring::npos) {
    return isFolder(wide + L"\\") ? SystemStatus() : errorOf(ERROR_PATH_NOT_FOUND);
  }
  return makeFolderAndParents(wide, rootEnd);
}

SystemStatus changeFolder(const std::string& folder) {
  const std::wstring wide = widen(folder);
  if (wide.empty()) return unnameable();
  if (SetCurrentDirectoryW(wide.c_str()) == 0) return lastError();
  return {};
}

// --- Memory ----------------------------------------------------------------

// Large pages need a privilege that ordinary accounts lack; without it the
// buffer lives on the heap, which works the same, a little slower.
std::uint8_t* mapLargeRegion(std::size_t size) {
  const std::size_t largePage = GetLargePageMinimum();
  if (largePage == 0 || size < largePage) return nullptr;
  const std::size_t rounded = (size + largePage - 1) / largePage * largePage;
  return static_cast<std::uint8_t*>(
      VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE));
}

void releaseLargeRegion(std::uint8_t* region, std::size_t /*size*/) {
  if (region != nullptr) VirtualFree(region, 0, MEM_RELEASE);
}

// The heap keeps freed blocks for reuse of its own accord.
void reuseFreedMemory() {}

}  // namespace tintrod::os
