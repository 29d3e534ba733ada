// Writes a synthetic cue model and nine colourful bitmaps into a folder, so
// that tintrod can be tried without the game's files:
//   tintrod-sample DIR
// DIR then holds "cueTemplate.obp" and connect.bmp ... bumper.bmp, in the
// order tintrod takes them.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "sample/sample_files.h"

namespace {

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage tintrod-sample DIR\n", stdout);
    return 1;
  }
  namespace fs = std::filesystem;
  const fs::path folder = argv[1];
  std::error_code error;
  fs::create_directories(folder, error);
  try {
    writeFile(folder / "cueTemplate.obp", tintrod::sample::sampleTemplate());
    for (int slot = 0; slot < 9; ++slot) {
      writeFile(folder / tintrod::sample::kBitmapNames[slot], tintrod::sample::slotBitmap(slot));
    }
  } catch (const std::exception& problem) {
    std::printf("%s\n", problem.what());
    return 1;
  }
  return 0;
}
