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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/large_run.h"
#include "tests/support/scratch.h"

namespace tintrod::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Processes' user and system time, and the benchmark's own time reading.
using Cost = ProcessCost;

Cost& operator+=(Cost& total, const Cost& part) {
  total.wallMs += part.wallMs;
  total.cpuMs += part.cpuMs;
  return total;
}

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Like runQuietly, but a failing process ends the benchmark.
Cost runProcess(const std::vector<std::string>& arguments, const fs::path& folder) {
  const std::optional<ProcessCost> cost = runQuietly(arguments, folder);
  if (!cost) throw std::runtime_error(arguments[0] + " failed");
  return *cost;
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
