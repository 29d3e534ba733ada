#include "prepare/whole_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tintrod {

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string temporary = path + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written <= 0) break;
    done += std::size_t(written);
  }
  const bool closed = ::close(descriptor) == 0;
  if (done != bytes.size() || !closed || std::rename(name.data(), path.c_str()) != 0) {
    ::unlink(name.data());
    return false;
  }
  return true;
}

}  // namespace tintrod
