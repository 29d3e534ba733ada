#include "tests/support/scratch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace tintrod::testing {
namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  // Wine hands out the same few process ids to every run, so the id alone
  // does not keep test processes running side by side apart.
  static const unsigned salt = std::random_device{}();
  path_ = fs::temp_directory_path() / ("tintrod-test-" + std::to_string(getpid()) + "-" +
                                       std::to_string(salt) + "-" + std::to_string(counter++));
  removeTree(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() { removeTree(path_); }

std::string utf8String(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

fs::path utf8Path(const std::string& text) { return {std::u8string(text.begin(), text.end())}; }

void writeFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

Bytes readFile(const fs::path& path) {
  // One read of the whole length: the fuzz targets read large files per input.
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  Bytes bytes(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return bytes;
}

std::vector<std::string> listDirectory(const fs::path& path) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path)) {
    names.push_back(utf8String(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

FolderSnapshot snapshotOf(const fs::path& folder) {
  FolderSnapshot entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const bool regular = fs::is_regular_file(entry.symlink_status());
    entries[utf8String(entry.path().lexically_relative(folder))] =
        regular ? readFile(entry.path()) : Bytes{};
  }
  return entries;
}

}  // namespace tintrod::testing
