// Writes the large template and its nine bitmaps into a folder, for tracing
// and measuring a whole run by hand; --noise writes the worst case, random
// palettes and random indices:
//   tintrod_bench_data [--noise] DIR
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "bench/large_run.h"

int main(int argc, char** argv) {
  const bool noise = argc == 3 && std::strcmp(argv[1], "--noise") == 0;
  if (argc != 2 && !noise) {
    std::fputs("usage tintrod_bench_data [--noise] DIR\n", stdout);
    return 1;
  }
  const char* folder = argv[argc - 1];
  try {
    std::filesystem::create_directories(folder);
    const std::int64_t size = tintrod::bench::writeLargeRun(
        folder, noise ? tintrod::bench::Pictures::kNoise : tintrod::bench::Pictures::kBanded);
    std::printf("cueTemplate.obp: %lld bytes\n", static_cast<long long>(size));
  } catch (const std::exception& problem) {
    std::printf("%s\n", problem.what());
    return 1;
  }
  return 0;
}
