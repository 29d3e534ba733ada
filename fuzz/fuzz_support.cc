#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace tintrod::fuzz {

void expectProperty(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

const std::filesystem::path& scratchFolder() {
  static const testing::ScratchDir folder;
  return folder.path();
}

}  // namespace tintrod::fuzz
