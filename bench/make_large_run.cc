// Writes the large template and its nine bitmaps into a folder, for tracing
// and measuring a whole run by hand:
//   tintrod_bench_data DIR
#include <cstdio>
#include <exception>
#include <filesystem>

#include "bench/large_run.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage tintrod_bench_data DIR\n", stdout);
    return 1;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    const std::int64_t size = tintrod::bench::writeLargeRun(argv[1]);
    std::printf("cueTemplate.obp: %lld bytes\n", static_cast<long long>(size));
  } catch (const std::exception& problem) {
    std::printf("%s\n", problem.what());
    return 1;
  }
  return 0;
}
