#include "prepare/picture_guards.h"

#include <gtest/gtest.h>

#include "tests/prepare/picture_files.h"

namespace tintrod::testing {
namespace {

// A DHT segment of one table whose sixteen counts are all `count`.
Bytes huffmanSegment(std::uint8_t count) {
  Bytes segment = {0xFF, 0xC4, 0x00, 19, 0x00};
  segment.insert(segment.end(), 16, count);
  return segment;
}

Bytes jpegWith(const Bytes& middle) {
  Bytes file = {0xFF, 0xD8};
  file.insert(file.end(), middle.begin(), middle.end());
  file.insert(file.end(), {0xFF, 0xD9});
  return file;
}

TEST(PictureGuards, RefuseOnlyHuffmanCountsPast256) {
  Bytes application = {0xFF, 0xE1, 0x00, 23};  // APP1 holding a lookalike
  const Bytes lookalike = huffmanSegment(255);
  application.insert(application.end(), lookalike.begin(), lookalike.end() - 2);
  struct Case {
    const char* name;
    Bytes file;
    bool fits;
  };
  const Case cases[] = {
      {"real baseline", committedPicture("jpeg-baseline.jpg"), true},
      {"real progressive", committedPicture("jpeg-progressive.jpg"), true},
      {"counts summing to 256", jpegWith(huffmanSegment(16)), true},
      {"counts summing to 272", jpegWith(huffmanSegment(17)), false},
      {"lookalike inside an application segment", jpegWith(application), true},
      {"not a JPEG", huffmanSegment(255), true},
      {"truncated segment", Bytes{0xFF, 0xD8, 0xFF, 0xC4, 0x00}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(jpegHuffmanCountsFit(c.file), c.fits) << c.name;
}

}  // namespace
}  // namespace tintrod::testing
