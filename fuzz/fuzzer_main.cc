// One libFuzzer binary per entry of fuzz_entries.h; the build names the entry
// in TINTROD_FUZZ_ENTRY.
#include <cstdio>

#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // The run prints texture names and its completion line; only libFuzzer's
  // own report on standard error is of interest.
  return std::freopen("/dev/null", "w", stdout) != nullptr ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tintrod::fuzz::TINTROD_FUZZ_ENTRY(data, size);
  return 0;
}
