// A buffered binary input stream whose every operation reports whether it did
// all it was asked. Readers of untrusted files check each call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "util/status.h"

namespace tintrod {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;

  // Opens `path` for binary reading, as os::openRegularFile opens it: a
  // FIFO or a device is refused without waiting on it.
  SystemStatus open(const std::string& path);

  bool isOpen() const { return file_ != nullptr; }
  // The open file itself, for copying it whole or comparing it with another
  // name without opening it again.
  std::FILE* handle() const { return file_; }
  void close();

  // True only when all `count` bytes were delivered.
  [[nodiscard]] bool read(void* destination, std::size_t count);
  // Reads up to `count` bytes; returns how many arrived.
  std::size_t readSome(void* destination, std::size_t count);

  // Moves relative to the current position; false when the move fails or
  // would leave the file's extent [0, size()].
  [[nodiscard]] bool skip(std::int64_t offset);
  [[nodiscard]] bool seekTo(std::int64_t target);

  std::int64_t position() const;
  // The file's length when it was opened.
  std::int64_t size() const { return size_; }
  // Bytes from the position to the end; 0 when nothing is open.
  std::int64_t remaining() const { return isOpen() ? size_ - position() : 0; }

 private:
  std::FILE* file_ = nullptr;
  std::int64_t size_ = 0;
};

}  // namespace tintrod
