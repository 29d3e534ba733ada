// Runs of the real tool that the world interrupts: signals at random points,
// a file size limit, a umask. Each must leave the folder holding its inputs
// and either the earlier cueNew.obp or a complete new one, nothing else.
// And a terminal, which must show what a template holds, never obey it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "template/format.h"
#include "tests/tool/skin_fixture.h"

extern char** environ;

namespace tintrod::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Large enough that copying and flushing it spans most of a run.
constexpr std::size_t kFillerSize = std::size_t{8} << 20;

enum class Path { kUnnamed, kNamed };

struct Launch {
  Path path = Path::kUnnamed;
  rlim_t sizeLimit = RLIM_INFINITY;
  int output = -1;  // standard output's descriptor; -1: the capture file
  // TINTROD_TOOL_COMMAND, when set, stands in for the binary (the WebAssembly
  // build on Node), as in the tests that run it through runProcess.
  bool standIn = false;
};

// Starts the tool in `folder` with its output in `capture`, without waiting.
pid_t startTool(const fs::path& folder, const std::vector<std::string>& arguments,
                const Launch& launch, const fs::path& capture) {
  const char* binary =
      launch.path == Path::kNamed ? TINTROD_NAMED_TEMPORARIES_BINARY : TINTROD_BINARY;
  const char* standIn = launch.standIn ? std::getenv("TINTROD_TOOL_COMMAND") : nullptr;
  std::vector<std::string> words{binary};
  if (standIn != nullptr && *standIn != '\0') {
    words.clear();
    std::istringstream command(standIn);
    for (std::string word; command >> word;) words.push_back(word);
  }
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child != 0) return child;
  // Only async-signal-safe calls between fork and exec.
  const rlimit limit{launch.sizeLimit, launch.sizeLimit};
  const int output = launch.output >= 0 ? launch.output
                                        : open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int nothing = open("/dev/null", O_RDWR);
  if (output < 0 || nothing < 0 || dup2(nothing, 0) < 0 || dup2(output, 1) < 0 ||
      dup2(nothing, 2) < 0 || chdir(folder.c_str()) != 0 || setrlimit(RLIMIT_FSIZE, &limit) != 0) {
    _exit(127);
  }
  execvp(argv[0], argv.data());
  _exit(127);
}

int waitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return status;
}

class OutputSafetyTest : public ::testing::Test {
 protected:
  OutputSafetyTest() {
    fixture_.writeBitmaps();
    fixture_.writeTemplate(buildTemplate(
        {chunk("GEOM", Bytes(kFillerSize, 0x5C)), textureTableChunk(SkinFixture::slotTextures())}));
    inputs_ = listDirectory(fixture_.dir().path());
  }

  fs::path at(const std::string& name) const { return fixture_.dir() / name; }

  // Runs once to the end; returns the complete output and how long it took.
  std::pair<Bytes, Clock::duration> completeRun() {
    const auto start = Clock::now();
    EXPECT_EQ(waitFor(startTool(fixture_.dir().path(), fixture_.bitmapNames(), {}, capture())), 0);
    const auto took = Clock::now() - start;
    const Bytes output = readFile(at(kOutputFileName));
    fs::remove(at(kOutputFileName));
    return {output, took};
  }

  // The folder holds the inputs and, when `earlier` is not empty, that output.
  void expectFolderAsBefore(const Bytes& earlier, const std::string& context) {
    std::vector<std::string> expected = inputs_;
    if (!earlier.empty()) expected.push_back(kOutputFileName);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listDirectory(fixture_.dir().path()), expected) << context;
    if (!earlier.empty()) {
      EXPECT_EQ(readFile(at(kOutputFileName)), earlier) << context;
    }
  }

  fs::path capture() const { return captures_ / "stdout"; }

  SkinFixture fixture_;
  ScratchDir captures_;
  std::vector<std::string> inputs_;
};

// Runs the tool (or its stand-in) to its end with a pseudo-terminal, in raw
// mode so that bytes pass unchanged, as its standard output; returns what it
// showed when it ended with `exitStatus`.
std::string showOnTerminal(const fs::path& folder, const std::vector<std::string>& arguments,
                           const fs::path& capture, int exitStatus = 0) {
  int master = -1;
  int follower = -1;
  termios mode{};
  if (openpty(&master, &follower, nullptr, nullptr, nullptr) != 0) return "no terminal";
  tcgetattr(follower, &mode);
  cfmakeraw(&mode);
  tcsetattr(follower, TCSANOW, &mode);
  const pid_t child = startTool(folder, arguments, {.output = follower, .standIn = true}, capture);
  close(follower);
  std::string shown;
  char buffer[4096];
  // Reading fails (EIO) once the tool, the last writer, has let go.
  for (ssize_t got;
       (got = read(master, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR);) {
    if (got > 0) shown.append(buffer, static_cast<std::size_t>(got));
  }
  close(master);
  const int status = waitFor(child);
  return WIFEXITED(status) && WEXITSTATUS(status) == exitStatus ? shown : "failed";
}

std::string describe(int signalNumber, Path path) {
  return std::string(strsignal(signalNumber)) + (path == Path::kNamed ? ", named" : ", unnamed");
}

// Signals land anywhere in a run, from before the template is read to after
// the output is named. On the named path SIGKILL is left out: nothing can
// remove a name after it.
TEST_F(OutputSafetyTest, AnInterruptedRunLeavesTheOldOutputOrTheNewOneAndNothingElse) {
  const auto [complete, took] = completeRun();
  const Bytes earlier{1, 2, 3};
  const struct {
    int signalNumber;
    Path path;
  } cases[] = {{SIGINT, Path::kUnnamed},  {SIGTERM, Path::kUnnamed}, {SIGHUP, Path::kUnnamed},
               {SIGKILL, Path::kUnnamed}, {SIGINT, Path::kNamed},    {SIGTERM, Path::kNamed},
               {SIGHUP, Path::kNamed}};
  constexpr int kRounds = 6;
  std::mt19937 random(20261208);
  std::uniform_int_distribution<long long> delay(0, (took * 5 / 4).count());
  for (const auto& test : cases) {
    for (int round = 0; round < kRounds; ++round) {
      const std::string context =
          describe(test.signalNumber, test.path) + ", round " + std::to_string(round);
      // Every other round has an earlier output to replace.
      const Bytes before = round % 2 == 0 ? earlier : Bytes{};
      fs::remove(at(kOutputFileName));
      if (!before.empty()) writeFile(at(kOutputFileName), before);
      const pid_t child =
          startTool(fixture_.dir().path(), fixture_.bitmapNames(), {.path = test.path}, capture());
      std::this_thread::sleep_for(Clock::duration(delay(random)));
      kill(child, test.signalNumber);
      const int status = waitFor(child);
      const bool finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      EXPECT_TRUE(finished || (WIFSIGNALED(status) && WTERMSIG(status) == test.signalNumber))
          << context;
      if (fs::exists(at(kOutputFileName)) && readFile(at(kOutputFileName)) == complete) {
        std::vector<std::string> expected = inputs_;
        expected.push_back(kOutputFileName);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listDirectory(fixture_.dir().path()), expected) << context;
      } else {
        EXPECT_FALSE(finished) << context;
        expectFolderAsBefore(before, context);
      }
    }
  }
}

// Past the file size limit a write fails as a write, not as a killed process.
TEST_F(OutputSafetyTest, AFileSizeLimitFailsWithTheOutputLine) {
  const Bytes earlier{1, 2, 3};
  for (const Path path : {Path::kUnnamed, Path::kNamed}) {
    for (const rlim_t limit : {rlim_t{4096}, rlim_t{kFillerSize / 2}, rlim_t{kFillerSize}}) {
      const std::string context = std::to_string(limit) + (path == Path::kNamed ? " named" : "");
      writeFile(at(kOutputFileName), earlier);
      const int status = waitFor(startTool(fixture_.dir().path(), fixture_.bitmapNames(),
                                           {.path = path, .sizeLimit = limit}, capture()));
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << context;
      const Bytes output = readFile(capture());
      EXPECT_TRUE(
          std::string(output.begin(), output.end()).ends_with(failureLine(Failure::kOutputOpen)))
          << context;
      expectFolderAsBefore(earlier, context);
    }
  }
}

// A template names its textures as it likes. Read by a script the names stay
// byte for byte; shown on a terminal, a control sequence shows as \xNN
// instead of retitling the window and clearing the screen.
TEST_F(OutputSafetyTest, TextureNamesReachATerminalOnlyEscaped) {
  const std::string hostile = "\x1B]0;pwned\x07\x1B[2J";
  std::vector<TexturePlan> textures = SkinFixture::slotTextures();
  textures.push_back(makeTexture(hostile, 4, 4, 9));
  fixture_.writeTemplate(SkinFixture::templateWith(textures));
  EXPECT_EQ(waitFor(startTool(fixture_.dir().path(), fixture_.bitmapNames(), {.standIn = true},
                              capture())),
            0);
  const Bytes piped = readFile(capture());
  const std::string shown =
      showOnTerminal(fixture_.dir().path(), fixture_.bitmapNames(), capture());
  const std::pair<std::string, std::string> cases[] = {
      {std::string(piped.begin(), piped.end()), "Texture name = " + hostile + "\n"},
      {shown, "Texture name = \\x1B]0;pwned\\x07\\x1B[2J\n"}};
  for (const auto& [output, line] : cases)
    EXPECT_NE(output.find(line), std::string::npos) << output;
  EXPECT_EQ(shown.find('\x1B'), std::string::npos) << shown;
}

// So does a file named on the command line, in the line of a failure.
TEST_F(OutputSafetyTest, FailureLinesReachATerminalOnlyEscaped) {
  const std::string hostile = "\x1B]2;owned\x07\x1B[2J.bmp";
  std::vector<std::string> names = fixture_.bitmapNames();
  names[4] = hostile;
  const int status = waitFor(startTool(fixture_.dir().path(), names, {.standIn = true}, capture()));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  const Bytes written = readFile(capture());
  EXPECT_EQ(std::string(written.begin(), written.end()),
            "can't open bitmap file " + hostile + "\n");
  EXPECT_EQ(showOnTerminal(fixture_.dir().path(), names, capture(), 1),
            "can't open bitmap file \\x1B]2;owned\\x07\\x1B[2J.bmp\n");
}

// As a copy made with cp: the template's permission bits less the umask,
// never set-user-ID, set-group-ID or sticky.
TEST_F(OutputSafetyTest, TheOutputTakesTheTemplatesPermissionsLessTheUmask) {
  const struct {
    mode_t templateMode;
    mode_t mask;
    mode_t outputMode;
  } cases[] = {{0644, 022, 0644}, {0666, 027, 0640}, {06777, 022, 0755},
               {07777, 0, 0777},  {0444, 022, 0444}, {0600, 077, 0600}};
  const mode_t previousMask = umask(0);
  for (const Path path : {Path::kUnnamed, Path::kNamed}) {
    for (const auto& test : cases) {
      fs::remove(at(kOutputFileName));
      ASSERT_EQ(chmod(at(kTemplateFileName).c_str(), test.templateMode), 0);
      umask(test.mask);
      const int status = waitFor(
          startTool(fixture_.dir().path(), fixture_.bitmapNames(), {.path = path}, capture()));
      umask(0);
      struct stat output {};
      ASSERT_EQ(status, 0);
      ASSERT_EQ(stat(at(kOutputFileName).c_str(), &output), 0);
      EXPECT_EQ(output.st_mode & 07777, test.outputMode)
          << std::oct << test.templateMode << " under " << test.mask
          << (path == Path::kNamed ? " named" : "");
    }
  }
  umask(previousMask);
}

}  // namespace
}  // namespace tintrod::testing
