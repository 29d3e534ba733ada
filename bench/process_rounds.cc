// The worst case as users meet it: whole processes, each started afresh, on
// the large template with noise in all nine bitmaps. Every round runs, in an
// order that turns with the round,
//   - the tool;
//   - the tool with the plain 256-entry scan for its mip levels;
//   - the tool without mip levels, whose difference from the other two is the
//     time each spends on the levels;
//   - a durable copy: `cp` of the template, `sync` of the copy, and reading
//     the nine bitmaps;
// so that load from other processes falls on all of them alike. Prints the
// medians as a Markdown table.
//   tintrod_process_bench [ROUNDS]      (41 by default)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "bench/large_run.h"
#include "tests/support/scratch.h"

extern char** environ;

namespace tintrod::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Cost {
  double wallMs = 0;
  double cpuMs = 0;  // user and system time of the processes, and of reading
};

Cost& operator+=(Cost& total, const Cost& part) {
  total.wallMs += part.wallMs;
  total.cpuMs += part.cpuMs;
  return total;
}

double millisecondsOf(const timeval& time) {
  return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Runs `arguments` (the program first, looked up in PATH) in `folder` with
// its output discarded; throws unless it exits with status 0.
Cost runProcess(const std::vector<std::string>& arguments, const fs::path& folder) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const Clock::time_point start = Clock::now();
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
  }
  Cost cost;
  cost.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(arguments[0] + " failed");
  }
  cost.cpuMs = millisecondsOf(usage.ru_utime) + millisecondsOf(usage.ru_stime);
  return cost;
}

Cost runTool(const char* binary, const fs::path& folder) {
  fs::remove(folder / "cueNew.obp");
  std::vector<std::string> arguments = {binary};
  arguments.insert(arguments.end(), kLargeRunBitmaps.begin(), kLargeRunBitmaps.end());
  return runProcess(arguments, folder);
}

Cost readBitmaps(const fs::path& folder) {
  const Clock::time_point start = Clock::now();
  const double cpuStart = threadCpuMs();
  std::vector<char> content;
  for (const char* name : kLargeRunBitmaps) {
    std::ifstream file(folder / name, std::ios::binary | std::ios::ate);
    content.resize(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    if (!file.read(content.data(), static_cast<std::streamsize>(content.size()))) {
      throw std::runtime_error(std::string("cannot read ") + name);
    }
  }
  Cost cost;
  cost.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  cost.cpuMs = threadCpuMs() - cpuStart;
  return cost;
}

Cost durableCopy(const fs::path& folder) {
  fs::remove(folder / "copy.obp");
  Cost cost = runProcess({"cp", "cueTemplate.obp", "copy.obp"}, folder);
  cost += runProcess({"sync", "copy.obp"}, folder);
  cost += readBitmaps(folder);
  return cost;
}

enum Step { kTool, kPlainScan, kNoLevels, kDurableCopy, kStepCount };

Cost runStep(Step step, const fs::path& folder) {
  switch (step) {
    case kTool:
      return runTool(TINTROD_BINARY, folder);
    case kPlainScan:
      return runTool(TINTROD_PLAIN_SCAN_BINARY, folder);
    case kNoLevels:
      return runTool(TINTROD_NO_LEVELS_BINARY, folder);
    default:
      return durableCopy(folder);
  }
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string loadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one;
  std::string five;
  file >> one >> five;
  return one + " " + five;
}

struct Rounds {
  std::vector<Cost> steps[kStepCount];
};

Rounds runRounds(int count, const fs::path& folder) {
  Rounds rounds;
  for (int round = -1; round < count; ++round) {  // round -1 warms the page cache
    Cost costs[kStepCount];
    for (int turn = 0; turn < kStepCount; ++turn) {
      const auto step = static_cast<Step>((turn + std::max(round, 0)) % kStepCount);
      costs[step] = runStep(step, folder);
    }
    if (round < 0) continue;
    for (int step = 0; step < kStepCount; ++step) rounds.steps[step].push_back(costs[step]);
  }
  return rounds;
}

// The median over rounds of a quantity that combines one round's steps, so
// that each round's load cancels as far as it can.
template <typename Of>
double medianOver(const Rounds& rounds, Of of) {
  std::vector<double> values;
  for (std::size_t r = 0; r < rounds.steps[0].size(); ++r) {
    values.push_back(of(rounds.steps[kTool][r], rounds.steps[kPlainScan][r],
                        rounds.steps[kNoLevels][r], rounds.steps[kDurableCopy][r]));
  }
  return median(values);
}

void printTable(const Rounds& rounds) {
  const char* names[kStepCount] = {"tool", "tool with the plain scan", "tool without mip levels",
                                   "durable copy: cp, sync, read the bitmaps"};
  std::puts("| Process | Wall ms | CPU ms |");
  std::puts("|---|---|---|");
  for (int step = 0; step < kStepCount; ++step) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Cost& cost : rounds.steps[step]) {
      wall.push_back(cost.wallMs);
      cpu.push_back(cost.cpuMs);
    }
    std::printf("| %s | %.2f | %.2f |\n", names[step], median(wall), median(cpu));
  }
  using C = const Cost&;
  const auto wallLevels = [](C tool, C, C none, C) { return tool.wallMs - none.wallMs; };
  const auto cpuLevels = [](C tool, C, C none, C) { return tool.cpuMs - none.cpuMs; };
  const auto wallPlain = [](C, C plain, C none, C) { return plain.wallMs - none.wallMs; };
  const auto cpuPlain = [](C, C plain, C none, C) { return plain.cpuMs - none.cpuMs; };
  const double levels[] = {medianOver(rounds, wallLevels), medianOver(rounds, cpuLevels)};
  const double plain[] = {medianOver(rounds, wallPlain), medianOver(rounds, cpuPlain)};
  std::printf("| mip levels, tool (difference from the tool without) | %.2f | %.2f |\n", levels[0],
              levels[1]);
  std::printf("| mip levels, plain scan (difference from the tool without) | %.2f | %.2f |\n",
              plain[0], plain[1]);
  std::printf("| plain scan / tool, mip levels | %.1f | %.1f |\n", plain[0] / levels[0],
              plain[1] / levels[1]);
  std::printf("| tool / durable copy, medians of each round's ratio | %.2f | %.2f |\n",
              medianOver(rounds, [](C tool, C, C, C copy) { return tool.wallMs / copy.wallMs; }),
              medianOver(rounds, [](C tool, C, C, C copy) { return tool.cpuMs / copy.cpuMs; }));
}

}  // namespace
}  // namespace tintrod::bench

int main(int argc, char** argv) {
  using namespace tintrod::bench;
  const int count = argc > 1 ? std::atoi(argv[1]) : 41;
  if (argc > 2 || count <= 0) {
    std::fputs("usage tintrod_process_bench [ROUNDS]\n", stdout);
    return 1;
  }
  try {
    const tintrod::testing::ScratchDir folder;
    const std::int64_t size = writeLargeRun(folder.path(), Pictures::kNoise);
    std::printf("%d rounds; template %lld bytes; load average before %s", count,
                static_cast<long long>(size), loadAverage().c_str());
    std::fflush(stdout);
    const Rounds rounds = runRounds(count, folder.path());
    std::printf(", after %s\n\n", loadAverage().c_str());
    printTable(rounds);
  } catch (const std::exception& problem) {
    std::printf("%s\n", problem.what());
    return 1;
  }
  return 0;
}
