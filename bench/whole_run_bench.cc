// The whole tool as a process on the large template, beside the floor that
// any run pays: copying the template and reading the nine bitmaps. The
// interleaved case takes all three turn by turn, so that load from other
// processes spreads over them alike, and reports the ratio tool / (cp + read).
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "bench/large_run.h"
#include "tests/support/scratch.h"

namespace tintrod::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct LargeRun {
  testing::ScratchDir dir;
  std::int64_t templateSize = writeLargeRun(dir.path());
};

const LargeRun& largeRun() {
  static const LargeRun run;
  return run;
}

bool runTool(const LargeRun& run) {
  std::vector<std::string> arguments = {TINTROD_BINARY};
  arguments.insert(arguments.end(), kLargeRunBitmaps.begin(), kLargeRunBitmaps.end());
  return runQuietly(arguments, run.dir.path()).has_value();
}

bool copyTemplate(const LargeRun& run) {
  return runQuietly({"cp", "cueTemplate.obp", "copy.obp"}, run.dir.path()).has_value();
}

bool readBitmaps(const LargeRun& run) {
  std::vector<char> content;
  for (const char* name : kLargeRunBitmaps) {
    std::ifstream file(run.dir / name, std::ios::binary | std::ios::ate);
    content.resize(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    if (!file.read(content.data(), static_cast<std::streamsize>(content.size()))) return false;
    benchmark::DoNotOptimize(content.data());
  }
  return true;
}

bool copyAndRead(const LargeRun& run) { return copyTemplate(run) && readBitmaps(run); }

template <bool (*Step)(const LargeRun&)>
void timeStep(benchmark::State& state) {
  const LargeRun& run = largeRun();
  for (auto _ : state) {
    if (!Step(run)) {
      state.SkipWithError("the step failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * run.templateSize);
  state.counters["template_MiB"] = static_cast<double>(run.templateSize) / (1 << 20);
}

double millisecondsOf(bool (*step)(const LargeRun&), const LargeRun& run, bool& ok) {
  const Clock::time_point start = Clock::now();
  ok = step(run) && ok;
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void interleaved(benchmark::State& state) {
  const LargeRun& run = largeRun();
  double tool = 0;
  double copyRead = 0;
  double copy = 0;
  bool ok = true;
  for (auto _ : state) {
    tool += millisecondsOf(runTool, run, ok);
    copyRead += millisecondsOf(copyAndRead, run, ok);
    copy += millisecondsOf(copyTemplate, run, ok);
  }
  if (!ok) state.SkipWithError("a step failed");
  const auto average = benchmark::Counter::kAvgIterations;
  state.counters["tool_ms"] = benchmark::Counter(tool, average);
  state.counters["cp_read_ms"] = benchmark::Counter(copyRead, average);
  state.counters["cp_ms"] = benchmark::Counter(copy, average);
  state.counters["tool_per_cp_read"] = copyRead > 0 ? tool / copyRead : 0;
}

BENCHMARK(timeStep<runTool>)->Name("whole_run/tool")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(timeStep<copyAndRead>)
    ->Name("whole_run/cp_and_read_bitmaps")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(timeStep<copyTemplate>)
    ->Name("whole_run/cp")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(interleaved)
    ->Name("whole_run/interleaved")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace
}  // namespace tintrod::bench
