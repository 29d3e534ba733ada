#include "util/input_file.h"

#include <utility>

#include "os/os.h"

namespace tintrod {

InputFile::~InputFile() { close(); }

InputFile::InputFile(InputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), size_(std::exchange(other.size_, 0)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    close();
    file_ = std::exchange(other.file_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

SystemStatus InputFile::open(const std::string& path) {
  close();
  SystemResult<os::OpenedFile> opened = os::openRegularFile(path);
  if (!opened.ok()) return opened.status();
  file_ = opened->file;
  size_ = opened->size;
  return {};
}

void InputFile::close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  size_ = 0;
}

bool InputFile::read(void* destination, std::size_t count) {
  return readSome(destination, count) == count;
}

std::size_t InputFile::readSome(void* destination, std::size_t count) {
  if (file_ == nullptr || count == 0) return 0;
  return std::fread(destination, 1, count, file_);
}

bool InputFile::skip(std::int64_t offset) {
  // Row readers skip a zero-length tail after every row; the C library would
  // still make a system call for each such seek, and so might the position query.
  if (offset == 0) return isOpen();
  const std::int64_t here = position();
  if (here < 0) return false;
  if (offset > size_ - here || offset < -here) return false;
  return seekTo(here + offset);
}

bool InputFile::seekTo(std::int64_t target) {
  if (file_ == nullptr || target < 0 || target > size_) return false;
  return fseeko(file_, static_cast<off_t>(target), SEEK_SET) == 0;
}

std::int64_t InputFile::position() const {
  if (file_ == nullptr) return -1;
  return static_cast<std::int64_t>(ftello(file_));
}

}  // namespace tintrod
