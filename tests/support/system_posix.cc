#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "tests/support/scratch.h"

extern char** environ;

namespace tintrod::testing {
namespace fs = std::filesystem;

namespace {

std::string drain(int descriptor) {
  std::string text;
  char buffer[4096];
  ssize_t got;
  while ((got = read(descriptor, buffer, sizeof buffer)) > 0) text.append(buffer, got);
  return text;
}

// The process tests run other builds of tintrod as well: TINTROD_TOOL_COMMAND,
// words split at spaces (such as "node /repo/build/web/tintrod-node.js"),
// then stands in for the native binary.
std::vector<std::string> commandFor(const std::string& program) {
  const char* command = std::getenv("TINTROD_TOOL_COMMAND");
  if (command == nullptr || *command == '\0' || fs::path(program).filename() != "tintrod") {
    return {program};
  }
  std::vector<std::string> words;
  std::istringstream stream(command);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

}  // namespace

void removeTree(const fs::path& path) {
  std::error_code ignored;
  // Tests may leave read-only entries behind; make them removable first.
  for (auto it = fs::recursive_directory_iterator(path, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path, ignored);
}

bool makeFifo(const fs::path& path) { return mkfifo(path.c_str(), 0600) == 0; }

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const fs::path& workingDirectory) {
  // Output goes to files rather than pipes so that a chatty child never blocks.
  ScratchDir captures;
  const fs::path outPath = captures / "stdout";
  const fs::path errPath = captures / "stderr";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

  const std::vector<std::string> command = commandFor(program);
  std::vector<char*> argv;
  for (const auto& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + program);

  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ProcessResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const int outFd = open(outPath.c_str(), O_RDONLY);
  const int errFd = open(errPath.c_str(), O_RDONLY);
  result.output = drain(outFd);
  result.rawOutput = result.output;
  result.errors = drain(errFd);
  close(outFd);
  close(errFd);
  return result;
}

}  // namespace tintrod::testing
