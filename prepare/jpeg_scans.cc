#include "prepare/jpeg_scans.h"

#include <algorithm>
#include <vector>

#include "prepare/jpeg_markers.h"
#include "util/coding.h"

namespace tintrod {
namespace {

constexpr std::int64_t kBlockSide = 8;
constexpr int kMaxSampling = 4;

// The zero bytes an arithmetic encoder may leave out of a scan: libjpeg-turbo
// leaves out 20 for an 8192 x 8192 picture of black, and a bit a block for a
// refinement of even DC coefficients; the rest is margin.
constexpr std::int64_t kArithmeticZerosAllowed = 32;
constexpr std::int64_t kBlocksPerArithmeticZero = 4096;
constexpr std::int64_t kBlocksPerRefinementZero = 8;

struct Component {
  std::uint8_t id = 0;
  int horizontal = 0;  // sampling factors
  int vertical = 0;
  bool hasDc = false;  // some scan coded its DC coefficients, or the frame has none
};

struct Frame {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool huffmanCoded = false;
  bool dctBased = false;
  std::vector<Component> components;
  int maxHorizontal = 1;
  int maxVertical = 1;
};

std::int64_t ceilDiv(std::int64_t value, std::int64_t by) { return (value + by - 1) / by; }

bool isArithmetic(std::uint8_t marker) { return marker >= 0xC9; }
bool isLossless(std::uint8_t marker) { return (marker & 0x03) == 0x03; }  // C3, C7, CB, CF

bool readFrame(const JpegSegment& segment, Frame& frame) {
  constexpr std::size_t kFixedBytes = 6;
  constexpr std::size_t kComponentBytes = 3;
  const auto payload = segment.payload;
  if (payload.size() < kFixedBytes) return false;
  const std::size_t count = payload[5];
  if (count == 0 || payload.size() != kFixedBytes + count * kComponentBytes) return false;
  frame.height = decodeBigEndian16(&payload[1]);
  frame.width = decodeBigEndian16(&payload[3]);
  frame.huffmanCoded = !isArithmetic(segment.marker);
  frame.dctBased = !isLossless(segment.marker);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = &payload[kFixedBytes + i * kComponentBytes];
    Component component{entry[0], entry[1] >> 4, entry[1] & 0x0F, !frame.dctBased};
    if (component.horizontal < 1 || component.horizontal > kMaxSampling || component.vertical < 1 ||
        component.vertical > kMaxSampling) {
      return false;
    }
    frame.maxHorizontal = std::max(frame.maxHorizontal, component.horizontal);
    frame.maxVertical = std::max(frame.maxVertical, component.vertical);
    frame.components.push_back(component);
  }
  return frame.width > 0 && frame.height > 0;
}

// The blocks a scan of these components covers: one component alone in its
// own size, several interleaved in whole units of the largest sampling.
std::int64_t blocksCovered(const Frame& frame, const std::vector<Component*>& components) {
  if (components.size() == 1) {
    const Component& only = *components.front();
    const std::int64_t width = ceilDiv(frame.width * only.horizontal, frame.maxHorizontal);
    const std::int64_t height = ceilDiv(frame.height * only.vertical, frame.maxVertical);
    return ceilDiv(width, kBlockSide) * ceilDiv(height, kBlockSide);
  }
  std::int64_t perUnit = 0;
  for (const Component* component : components) {
    perUnit += std::int64_t{component->horizontal} * component->vertical;
  }
  return ceilDiv(frame.width, kBlockSide * frame.maxHorizontal) *
         ceilDiv(frame.height, kBlockSide * frame.maxVertical) * perUnit;
}

class ScanCheck {
 public:
  explicit ScanCheck(std::span<const std::uint8_t> file) : file_(file) {}

  bool visit(const JpegSegment& segment) {
    if (isJpegStartOfFrame(segment.marker))
      return !hasFrame_ && (hasFrame_ = readFrame(segment, frame_));
    if (segment.marker == kJpegStartOfScan)
      return hasFrame_ && ++scans_ <= kMaxJpegScans && scanFits(segment);
    return true;
  }

  bool complete() const {
    return scans_ > 0 && std::all_of(frame_.components.begin(), frame_.components.end(),
                                     [](const Component& component) { return component.hasDc; });
  }

  const std::vector<JpegCodedDataEnd>& arithmeticEnds() const { return arithmeticEnds_; }

 private:
  bool scanFits(const JpegSegment& segment) {
    constexpr std::size_t kComponentBytes = 2;
    constexpr std::size_t kTrailingBytes = 3;  // spectral selection and approximation
    const auto payload = segment.payload;
    if (payload.empty()) return false;
    const std::size_t count = payload[0];
    if (count == 0 || payload.size() != 1 + count * kComponentBytes + kTrailingBytes) return false;
    std::vector<Component*> components;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t id = payload[1 + i * kComponentBytes];
      const auto found =
          std::find_if(frame_.components.begin(), frame_.components.end(),
                       [id](const Component& component) { return component.id == id; });
      if (found == frame_.components.end()) return false;
      components.push_back(&*found);
    }
    const std::uint8_t* selection = &payload[1 + count * kComponentBytes];
    const bool codesDc = frame_.dctBased && selection[0] == 0;
    const std::int64_t blocks = blocksCovered(frame_, components);
    if (!frame_.huffmanCoded) {
      if (segment.entropyData.empty()) return false;
      const bool refinesDc = codesDc && (selection[2] >> 4) != 0;
      noteArithmeticEnd(segment, blocks, refinesDc);
    }
    if (!codesDc) return true;
    for (Component* component : components) component->hasDc = true;
    const std::int64_t bits = std::int64_t(segment.entropyData.size()) * 8;
    return !frame_.huffmanCoded || bits >= blocks;
  }

  void noteArithmeticEnd(const JpegSegment& segment, std::int64_t blocks, bool refinesDc) {
    const auto end =
        std::size_t(segment.entropyData.data() - file_.data()) + segment.entropyData.size();
    const std::int64_t zeros = kArithmeticZerosAllowed + blocks / kBlocksPerArithmeticZero +
                               (refinesDc ? blocks / kBlocksPerRefinementZero : 0);
    arithmeticEnds_.push_back({end, std::size_t(zeros)});
  }

  std::span<const std::uint8_t> file_;
  std::vector<JpegCodedDataEnd> arithmeticEnds_;
  Frame frame_;
  bool hasFrame_ = false;
  int scans_ = 0;
};

}  // namespace

bool jpegScansComplete(std::span<const std::uint8_t> file) {
  ScanCheck check(file);
  const JpegWalkEnd end =
      walkJpegSegments(file, [&check](const JpegSegment& segment) { return check.visit(segment); });
  return end == JpegWalkEnd::kEndOfImage && check.complete();
}

std::vector<JpegCodedDataEnd> arithmeticCodedDataEnds(std::span<const std::uint8_t> file) {
  ScanCheck check(file);
  walkJpegSegments(file, [&check](const JpegSegment& segment) { return check.visit(segment); });
  return check.arithmeticEnds();
}

}  // namespace tintrod
