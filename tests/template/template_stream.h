// A template written to a scratch file and opened for the reader, standing
// where the tool hands it over: directly behind the header.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "template/format.h"
#include "tests/support/scratch.h"
#include "util/input_file.h"

namespace tintrod::testing {

class TemplateStream {
 public:
  explicit TemplateStream(const Bytes& bytes, std::int64_t start = kTemplateHeaderSize) {
    writeFile(path(), bytes);
    EXPECT_TRUE(stream_.open(path().string()).ok());
    EXPECT_TRUE(stream_.seekTo(start));
  }

  InputFile& stream() { return stream_; }
  std::filesystem::path path() const { return dir_ / kTemplateFileName; }

 private:
  ScratchDir dir_;
  InputFile stream_;
};

}  // namespace tintrod::testing
