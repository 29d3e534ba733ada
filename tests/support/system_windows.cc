#include <windows.h>

#include <stdexcept>

#include "tests/support/scratch.h"

namespace tintrod::testing {
namespace fs = std::filesystem;
namespace {

std::wstring wide(const std::string& utf8) { return utf8Path(utf8).wstring(); }

// Quotes one argument so that the child's CommandLineToArgvW (or its C
// runtime) splits the command line back into exactly these arguments.
std::wstring quoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring text = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t letter : argument) {
    if (letter == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only before a quote.
    text.append(letter == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    text += letter;
  }
  text.append(backslashes * 2, L'\\');
  return text + L"\"";
}

HANDLE inheritableFile(const fs::path& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path.string());
  return file;
}

std::string withoutCarriageReturns(const std::string& text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

// Tests leave paths past MAX_PATH behind, which std::filesystem does not
// reach here; the \\?\ form does.
void removeLongTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // A child that has just ended may still hold its output files a moment.
    for (int attempt = 0; attempt < 100 && !DeleteFileW(path.c_str()); ++attempt) Sleep(10);
    return;
  }
  WIN32_FIND_DATAW entry{};
  const HANDLE listing = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") removeLongTree(path + L"\\" + name);
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

void removeTree(const fs::path& path) { removeLongTree(L"\\\\?\\" + fs::absolute(path).wstring()); }

// Windows has named pipes, but none under a file's name in a folder.
bool makeFifo(const fs::path& /*path*/) { return false; }

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const fs::path& workingDirectory) {
  // Output goes to files rather than pipes so that a chatty child never blocks.
  ScratchDir captures;
  const fs::path outPath = captures / "stdout";
  const fs::path errPath = captures / "stderr";

  std::wstring application = wide(program);
  for (wchar_t& letter : application) {
    if (letter == L'/') letter = L'\\';
  }
  std::wstring commandLine = quoteArgument(application);
  for (const auto& argument : arguments) commandLine += L" " + quoteArgument(wide(argument));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = inheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = inheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION child{};
  const BOOL started =
      CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW, nullptr, workingDirectory.c_str(), &startup, &child);
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started) throw std::runtime_error("cannot start " + program);

  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);

  ProcessResult result;
  // A crash ends the process with an exception code, not an exit status.
  result.exitStatus = code >= 0xC0000000u ? -1 : static_cast<int>(code);
  const Bytes out = readFile(outPath);
  const Bytes err = readFile(errPath);
  result.rawOutput.assign(out.begin(), out.end());
  result.output = withoutCarriageReturns(result.rawOutput);
  result.errors = withoutCarriageReturns(std::string(err.begin(), err.end()));
  return result;
}

}  // namespace tintrod::testing
