// JPEG in one place. One walk over the file's marker segments, without
// decoding anything, finds its frame, checks every scan against it (the work of
// decoding grows with the scans times the frame's blocks, and a decoder fills
// missing data with grey, so a file could cost hours or pass cut off), notes
// where each arithmetic-coded scan's data ends, and finds the EXIF block that
// says how the photo is turned. libjpeg-turbo then decodes straight to a
// fraction of the size (1/8 to 8/8) in the DCT domain: a camera photo bound for
// a slot of a few hundred pixels never exists at full size. One IDCT and one
// set of options everywhere, so that every build gives the same pixels.
#include <cstddef>
#include <cstdio>
// jpeglib.h uses FILE and size_t without including their headers.
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "picture/exif.h"
#include "picture/formats.h"
#include "picture/picture_memory.h"
#include "util/coding.h"
#include "util/picture_limits.h"

namespace tintrod {
namespace {

// ---- Marker segments ----

constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::array<std::uint8_t, 6> kExifSignature = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint8_t kMarkerByte = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kStuffedZero = 0x00;
constexpr std::size_t kLengthBytes = 2;

bool isRestart(std::uint8_t marker) { return marker >= 0xD0 && marker <= 0xD7; }

// Markers that stand alone, without a length: TEM and the restarts.
bool hasNoLength(std::uint8_t marker) { return marker == 0x01 || isRestart(marker); }

// Where the coded data that starts at `at` ends: at the first marker that is
// neither a stuffed zero nor a restart. A run of 0xFF before a marker is fill.
// A photo's coded data is megabytes with a marker byte every few hundred, so
// the search for one is memchr's.
std::size_t entropyDataEnd(std::span<const std::uint8_t> file, std::size_t at) {
  while (at + 1 < file.size()) {
    const void* found = std::memchr(&file[at], kMarkerByte, file.size() - 1 - at);
    if (found == nullptr) break;
    at = std::size_t(static_cast<const std::uint8_t*>(found) - file.data());
    const std::uint8_t next = file[at + 1];
    if (next == kStuffedZero || isRestart(next)) {
      at += 2;
    } else if (next == kMarkerByte) {
      ++at;
    } else {
      return at;
    }
  }
  return file.size();
}

struct Segment {
  std::uint8_t marker = 0;
  // The bytes behind the length field; empty for the end-of-image marker.
  std::span<const std::uint8_t> payload;
  // For a scan: its coded data, restart markers included, up to the next marker.
  std::span<const std::uint8_t> entropyData;
};

enum class WalkEnd {
  kEndOfImage,  // the end-of-image marker was reached and visited
  kStopped,     // the visitor asked to stop
  kBroken,      // not a JPEG, or cut off or damaged before its end-of-image marker
};

// Start-of-frame markers name a frame's coding; 0xC4, 0xC8 and 0xCC in their
// range are other segments.
bool isStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Visits every segment from the one after start-of-image to end-of-image, in
// file order; `visit` returns false to stop. Bytes after end-of-image (some
// phones append a video there) are never looked at.
template <typename Visit>
WalkEnd walkSegments(std::span<const std::uint8_t> file, Visit&& visit) {
  if (file.size() < 2 || file[0] != kMarkerByte || file[1] != kStartOfImage) {
    return WalkEnd::kBroken;
  }
  std::size_t at = 2;
  while (at + 1 < file.size()) {
    if (file[at] != kMarkerByte) return WalkEnd::kBroken;
    const std::uint8_t marker = file[at + 1];
    if (marker == kMarkerByte) {
      ++at;  // fill before a marker
      continue;
    }
    at += 2;
    Segment segment;
    segment.marker = marker;
    if (marker == kEndOfImage) return visit(segment) ? WalkEnd::kEndOfImage : WalkEnd::kStopped;
    if (hasNoLength(marker)) continue;
    if (file.size() - at < kLengthBytes) return WalkEnd::kBroken;
    const std::size_t length = decodeBigEndian16(&file[at]);
    if (length < kLengthBytes || length > file.size() - at) return WalkEnd::kBroken;
    segment.payload = file.subspan(at + kLengthBytes, length - kLengthBytes);
    at += length;
    if (marker == kStartOfScan) {
      const std::size_t end = entropyDataEnd(file, at);
      segment.entropyData = file.subspan(at, end - at);
      at = end;
    }
    if (!visit(segment)) return WalkEnd::kStopped;
  }
  return WalkEnd::kBroken;
}

// ---- The layout: frame, scans, EXIF ----

// Encoders write about ten scans; each costs a pass over every block it covers.
constexpr int kMaxScans = 256;

// An arithmetic decoder reads zeros past the end of a scan's coded data, and
// encoders leave out the zero bytes that end it, so a cut-off scan decodes as
// one that was meant to end there. What an encoder leaves out is bounded by
// the scan: a few bytes for a run of likely decisions, and a bit a block for
// a refinement of DC coefficients that are all even.
struct JpegCodedDataEnd {
  std::size_t offset = 0;        // in the file, where the scan's marker-free data ends
  std::size_t zerosAllowed = 0;  // past it, before the scan counts as cut off
};

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

bool readFrame(const Segment& segment, Frame& frame) {
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

// What the one walk learns. The file is complete when it has one frame, 1 to
// kMaxScans scans after it, every component of the frame in some scan (with
// its DC coefficients, for a DCT-based frame), and its end-of-image marker. A
// Huffman-coded scan of DC coefficients spends at least one bit on each block
// it covers, so a shorter one is refused as well; so is an arithmetic-coded
// scan without coded data.
class LayoutWalk {
 public:
  explicit LayoutWalk(std::span<const std::uint8_t> file) : file_(file) {}

  bool visit(const Segment& segment) {
    if (isStartOfFrame(segment.marker))
      return !hasFrame_ && (hasFrame_ = readFrame(segment, frame_));
    if (segment.marker == kStartOfScan)
      return hasFrame_ && ++scans_ <= kMaxScans && scanFits(segment);
    if (segment.marker == kApp1 && scans_ == 0 && exif_.empty()) noteExif(segment.payload);
    return true;
  }

  void noteEnd(bool reachedEndOfImage) { reachedEnd_ = reachedEndOfImage; }

  bool hasFrame() const { return hasFrame_; }
  const Frame& frame() const { return frame_; }

  bool complete() const {
    return reachedEnd_ && scans_ > 0 &&
           std::all_of(frame_.components.begin(), frame_.components.end(),
                       [](const Component& component) { return component.hasDc; });
  }

  // Each scan's, in file order, for an arithmetic-coded frame; nothing for a
  // Huffman-coded one, whose decoder says when its data runs out.
  const std::vector<JpegCodedDataEnd>& arithmeticEnds() const { return arithmeticEnds_; }

  // The payload (from "Exif") of the first APP1 segment before the first
  // scan that starts "Exif\0\0"; empty when there is none.
  std::span<const std::uint8_t> exif() const { return exif_; }

 private:
  void noteExif(std::span<const std::uint8_t> payload) {
    if (payload.size() >= kExifSignature.size() &&
        std::equal(kExifSignature.begin(), kExifSignature.end(), payload.begin())) {
      exif_ = payload;
    }
  }

  bool scanFits(const Segment& segment) {
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

  void noteArithmeticEnd(const Segment& segment, std::int64_t blocks, bool refinesDc) {
    const auto end =
        std::size_t(segment.entropyData.data() - file_.data()) + segment.entropyData.size();
    const std::int64_t zeros = kArithmeticZerosAllowed + blocks / kBlocksPerArithmeticZero +
                               (refinesDc ? blocks / kBlocksPerRefinementZero : 0);
    arithmeticEnds_.push_back({end, std::size_t(zeros)});
  }

  std::span<const std::uint8_t> file_;
  std::vector<JpegCodedDataEnd> arithmeticEnds_;
  std::span<const std::uint8_t> exif_;
  Frame frame_;
  bool hasFrame_ = false;
  bool reachedEnd_ = false;
  int scans_ = 0;
};

// ---- Decoding with libjpeg-turbo ----

constexpr int kScaleDenominator = 8;
// The DCT's reduced pictures average the file's gamma-encoded values over
// whole blocks and round them to 8 bits, before the fit averages light. On
// the mean over scripts/bench-jpeg's quality pictures, against the whole
// picture decoded and fitted, that costs by how many decoded pixels the fit
// averages into each of the slot's (reduced 2.9 times, as 1/4 of a 4:3 photo
// of 12 MP is for 256 x 256: 0.3 dB; 4.4 times: 0.2; 1.5 times: 1.4) and by
// how much of the scene a block covers (1/8 of those photos, 190,000 pixels,
// reduced 2.9 times for 128 x 128: 0.8 dB; 1/8 of 48 MP ones, 760,000
// pixels, as much for 256 x 256: 0.4 dB).
constexpr std::int64_t kReductionTenths = 29;
constexpr std::int64_t kMinDecodedPixels = 700'000;
// Scales whose inverse DCTs libjpeg-turbo vectorises, or that take the DC
// alone (1/8). The others have plain C ones only: at 3/8 (3 x 3 and, for 4:2:0
// chroma, 6 x 6) they were a third of the decoder's time.
constexpr std::array<int, 4> kQuickNumerators{1, 2, 4, 8};
constexpr std::uint32_t kRounding = 128;
constexpr int kBlinnShift = 8;

// libjpeg reports a failure by calling error_exit, which must not return:
// it jumps back to the phase that called the library. Nothing between the
// jump and its target has a destructor.
struct JpegErrors {
  jpeg_error_mgr manager{};
  std::jmp_buf phase{};
  bool tooLarge = false;
};

[[noreturn]] void leaveDecoder(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  // Without a backing store, arrays past max_memory_to_use cannot be held.
  errors->tooLarge = errors->manager.msg_code == JERR_OUT_OF_MEMORY ||
                     errors->manager.msg_code == JERR_NO_BACKING_STORE;
  std::longjmp(errors->phase, 1);
}

// A warning is a picture the library decoded in part; one whose data ends
// before its scans do would come out grey below the cut, one that lost its
// place between restart markers or met a code no encoder writes grey past it,
// and is refused. Other warnings (stray bytes between markers, say) leave the
// pixels whole.
void warnOrLeave(j_common_ptr info, int level) {
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC ||
                    code == JWRN_ARITH_BAD_CODE)) {
    leaveDecoder(info);
  }
}

[[noreturn]] void leaveCutOff(j_decompress_ptr info) {
  info->err->msg_code = JERR_INPUT_EOF;
  leaveDecoder(reinterpret_cast<j_common_ptr>(info));
}

// The file, handed to the library up to the end of each arithmetic-coded
// scan's data at a time, so that a decoder reading past it is seen: it is
// given the zeros it would have supplied itself, up to what an encoder may
// have left out (JpegCodedDataEnd), and the file is refused past those.
struct JpegSource {
  jpeg_source_mgr manager{};
  std::span<const std::uint8_t> file;
  std::vector<JpegCodedDataEnd> ends;
  std::size_t nextEnd = 0;   // the first of `ends` not yet handed out
  std::size_t handedTo = 0;  // where the bytes handed out end in the file
  std::size_t zerosLeft = 0;
  bool givingZeros = false;
};

constexpr std::size_t kZeroChunk = 4096;
constexpr std::array<JOCTET, kZeroChunk> kZeros{};

void handOut(JpegSource& source, const JOCTET* bytes, std::size_t count) {
  source.manager.next_input_byte = bytes;
  source.manager.bytes_in_buffer = count;
}

// The file from where it was left up to the next scan's end.
void handOutFile(JpegSource& source) {
  const std::size_t to = source.nextEnd < source.ends.size() ? source.ends[source.nextEnd++].offset
                                                             : source.file.size();
  handOut(source, source.file.data() + source.handedTo, to - source.handedTo);
  source.handedTo = to;
}

void handOutZeros(JpegSource& source) {
  const std::size_t count = std::min(source.zerosLeft, kZeroChunk);
  source.zerosLeft -= count;
  handOut(source, kZeros.data(), count);
}

// The library asks for more when it has read all it was handed: past a
// scan's data while its rows are still being decoded, or past the end of the
// file.
boolean fillSource(j_decompress_ptr info) {
  auto& source = *static_cast<JpegSource*>(info->client_data);
  const bool scanUnfinished = info->input_iMCU_row < info->total_iMCU_rows;
  const bool atScanEnd = source.nextEnd > 0 && !source.givingZeros &&
                         source.handedTo == source.ends[source.nextEnd - 1].offset;
  if (atScanEnd && scanUnfinished) {
    source.givingZeros = true;
    source.zerosLeft = source.ends[source.nextEnd - 1].zerosAllowed;
  }
  if (source.givingZeros && scanUnfinished) {
    if (source.zerosLeft == 0) leaveCutOff(info);
    handOutZeros(source);
    return TRUE;
  }
  source.givingZeros = false;
  if (source.handedTo == source.file.size()) leaveCutOff(info);
  handOutFile(source);
  return TRUE;
}

void skipSource(j_decompress_ptr info, long count) {
  jpeg_source_mgr& manager = *info->src;
  auto left = static_cast<std::size_t>(std::max(count, 0L));
  while (left > manager.bytes_in_buffer) {
    left -= manager.bytes_in_buffer;
    manager.bytes_in_buffer = 0;
    fillSource(info);
  }
  manager.next_input_byte += left;
  manager.bytes_in_buffer -= left;
}

void leaveSourceAlone(j_decompress_ptr /*info*/) {}

void countScans(j_common_ptr info) {
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMaxScans) {
    info->err->msg_code = JERR_NOTIMPL;
    leaveDecoder(info);
  }
}

// Owns the library's state; destroying it frees every buffer the library
// allocated, however the decoding ended.
struct JpegDecompressor {
  jpeg_decompress_struct info{};
  JpegErrors errors;
  jpeg_progress_mgr progress{};
  JpegSource source;
  int box = 1;  // decoded rows are averaged over boxes of this side

  JpegDecompressor(std::span<const std::uint8_t> file, std::vector<JpegCodedDataEnd> ends) {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = leaveDecoder;
    errors.manager.emit_message = warnOrLeave;
    progress.progress_monitor = countScans;
    source.file = file;
    source.ends = std::move(ends);
    source.manager.init_source = leaveSourceAlone;
    source.manager.fill_input_buffer = fillSource;
    source.manager.skip_input_data = skipSource;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = leaveSourceAlone;
  }
  ~JpegDecompressor() { jpeg_destroy_decompress(&info); }
  JpegDecompressor(const JpegDecompressor&) = delete;
  JpegDecompressor& operator=(const JpegDecompressor&) = delete;
};

// ---- The scale ----

// The most a decoded picture may hold, RGB, so that a baseline file of any
// size holds little beside its file and its slot's stages: 40 MiB at most
// for 200 megapixels to a cue's slot, 27 MB of it the file. A slot larger
// than a cue's gets what the fit needs to reduce kReductionTenths / 10 times.
constexpr std::int64_t kMaxDecodedBytes = std::int64_t{24} << 20;

std::int64_t slotPixels(const DecodeTarget& target) {
  return std::int64_t{std::max(target.width, 0)} * std::max(target.height, 0);
}

bool asksForWhole(const DecodeTarget& target) { return target.width < 1 || target.height < 1; }

std::int64_t decodedCap(const DecodeTarget& target) {
  // The whole picture, when asked for, is bounded by the memory limit alone.
  if (asksForWhole(target)) return std::numeric_limits<std::int64_t>::max();
  return std::max(kMaxDecodedBytes,
                  slotPixels(target) * kReductionTenths * kReductionTenths * kRgbChannels / 100);
}

// What the decoder makes of the picture: a fraction of its size, averaged
// over boxes of `box` x `box` of its rows where even 1/8 is too large for the
// cap (a photo of hundreds of megapixels, or a panorama, for a large slot).
struct Scale {
  int numerator = kScaleDenominator;
  std::int64_t width = 0;  // decoded, before the boxes
  std::int64_t height = 0;
  int box = 1;

  std::int64_t pictureBytes() const {
    return ceilDiv(width, box) * ceilDiv(height, box) * kRgbChannels;
  }
};

// As libjpeg-turbo sizes its output for numerator / 8.
Scale scaled(const Frame& frame, int numerator) {
  return {numerator, ceilDiv(frame.width * numerator, kScaleDenominator),
          ceilDiv(frame.height * numerator, kScaleDenominator)};
}

// Whether a picture of this size is one the fit to the target reduces at
// least kReductionTenths / 10 times (cropping and stretching scale by the
// larger ratio, padding by the smaller one) with blocks small beside the
// scene.
bool keepsQuality(const Scale& scale, const DecodeTarget& target) {
  const bool wideEnough = scale.width * 10 >= std::int64_t{target.width} * kReductionTenths;
  const bool tallEnough = scale.height * 10 >= std::int64_t{target.height} * kReductionTenths;
  const bool reduces =
      target.fit == Fit::kPad ? wideEnough || tallEnough : wideEnough && tallEnough;
  return reduces && scale.width * scale.height >= kMinDecodedPixels;
}

// The smallest of the quick fractions that keeps the quality; the whole
// picture when none does or the target asks for no reduction. A picture too
// large for decodedCap at that scale comes at a smaller one, and past 1/8
// averaged over boxes.
Scale chooseScale(const Frame& frame, const DecodeTarget& target) {
  const std::int64_t cap = decodedCap(target);
  Scale scale = scaled(frame, kScaleDenominator);
  if (!asksForWhole(target)) {
    for (const int numerator : kQuickNumerators) {
      scale = scaled(frame, numerator);
      if (keepsQuality(scale, target)) break;
    }
  }
  while (scale.numerator > 1 && scale.pictureBytes() > cap) {
    scale = scaled(frame, scale.numerator - 1);
  }
  while (scale.pictureBytes() > cap) ++scale.box;
  return scale;
}

// Fixed for every build, so that they all give the same bytes: the exact
// integer IDCT, smooth chroma, smoothed blocks while a progressive file is
// still coarse. False when libjpeg-turbo would not make the picture the
// scale says.
bool setOutput(JpegDecompressor& jpeg, const Scale& scale, std::int64_t allowance) {
  if (setjmp(jpeg.errors.phase) != 0) return false;
  jpeg_decompress_struct& info = jpeg.info;
  info.dct_method = JDCT_ISLOW;
  info.do_fancy_upsampling = TRUE;
  info.do_block_smoothing = TRUE;
  switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
      info.out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      info.out_color_space = JCS_CMYK;
      break;
    default:
      info.out_color_space = JCS_RGB;
      break;
  }
  info.scale_num = static_cast<unsigned int>(scale.numerator);
  info.scale_denom = kScaleDenominator;
  jpeg_calc_output_dimensions(&info);
  // A progressive file keeps every coefficient of the whole picture however
  // small the output: libjpeg-turbo holds such arrays within
  // max_memory_to_use and, with no backing store, fails past it.
  info.mem->max_memory_to_use = static_cast<long>(allowance);
  jpeg.box = scale.box;
  return info.output_width == scale.width && info.output_height == scale.height;
}

// Everything before the first scan; no pixels yet. False when the file is
// refused.
bool readHeader(JpegDecompressor& jpeg) {
  if (setjmp(jpeg.errors.phase) != 0) return false;
  jpeg_create_decompress(&jpeg.info);
  jpeg.info.progress = &jpeg.progress;
  jpeg.info.src = &jpeg.source.manager;
  jpeg.info.client_data = &jpeg.source;
  return jpeg_read_header(&jpeg.info, TRUE) == JPEG_HEADER_OK;
}

// CMYK as Adobe stores it, ink inverted: each colour is scaled by the black.
std::uint8_t inked(std::uint32_t colour, std::uint32_t black) {
  const std::uint32_t product = colour * black + kRounding;
  return static_cast<std::uint8_t>((product + (product >> kBlinnShift)) >> kBlinnShift);
}

// Grey and CMYK rows to RGB; RGB rows are decoded in place.
void widenRow(const JSAMPLE* row, int components, JDIMENSION width, std::uint8_t* out) {
  for (JDIMENSION x = 0; x < width; ++x, row += components) {
    for (int c = 0; c < kRgbChannels; ++c) {
      *out++ = components == 1 ? row[0] : inked(row[c], row[kRgbChannels]);
    }
  }
}

// Sums of a band of `box` rows, and the averaged row they make.
struct BoxRows {
  int box = 1;
  JDIMENSION width = 0;  // of the decoded rows
  std::uint32_t* sums = nullptr;
  std::uint8_t* rgb = nullptr;  // one decoded row
};

void addRow(BoxRows& rows) {
  for (JDIMENSION x = 0; x < rows.width; ++x) {
    for (int c = 0; c < kRgbChannels; ++c) {
      rows.sums[x / JDIMENSION(rows.box) * kRgbChannels + JDIMENSION(c)] +=
          rows.rgb[x * kRgbChannels + JDIMENSION(c)];
    }
  }
}

// The band's averages into `out`, rounded; the last box of a row and the last
// band may be narrower.
void averageBand(BoxRows& rows, JDIMENSION bandRows, std::uint8_t* out) {
  const auto box = JDIMENSION(rows.box);
  const JDIMENSION columns = (rows.width + box - 1) / box;
  for (JDIMENSION column = 0; column < columns; ++column) {
    // Never 0: a column starts inside the row, and a band holds a row at least.
    const std::uint32_t count = std::max(std::min(box, rows.width - column * box) * bandRows, 1U);
    for (JDIMENSION c = 0; c < kRgbChannels; ++c) {
      std::uint32_t& sum = rows.sums[column * kRgbChannels + c];
      *out++ = static_cast<std::uint8_t>((sum + count / 2) / count);
      sum = 0;
    }
  }
}

// The pixels into `out`, which holds the output size's RGB, averaged over
// boxes when jpeg.box is more than 1.
bool readPixels(JpegDecompressor& jpeg, std::uint8_t* out) {
  if (setjmp(jpeg.errors.phase) != 0) return false;
  jpeg_decompress_struct& info = jpeg.info;
  if (jpeg_start_decompress(&info) == FALSE) return false;
  const int components = info.output_components;
  if (components != 1 && components != kRgbChannels && components != kRgbChannels + 1) {
    return false;
  }
  auto* common = reinterpret_cast<j_common_ptr>(&info);
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(common, JPOOL_IMAGE, info.output_width * JDIMENSION(components), 1);
  BoxRows band{jpeg.box, info.output_width};
  if (band.box > 1) {
    const std::size_t sumCount = std::size_t(ceilDiv(info.output_width, band.box)) * kRgbChannels;
    band.sums = static_cast<std::uint32_t*>(
        (*info.mem->alloc_large)(common, JPOOL_IMAGE, sumCount * sizeof(std::uint32_t)));
    std::fill_n(band.sums, sumCount, 0U);
    band.rgb = static_cast<std::uint8_t*>((*info.mem->alloc_large)(
        common, JPOOL_IMAGE, std::size_t{info.output_width} * kRgbChannels));
  }
  const std::size_t rowLength = std::size_t(ceilDiv(info.output_width, band.box)) * kRgbChannels;
  while (info.output_scanline < info.output_height) {
    const JDIMENSION line = info.output_scanline;
    std::uint8_t* outRow = out + std::size_t{line / JDIMENSION(band.box)} * rowLength;
    std::uint8_t* rgbRow = band.box > 1 ? band.rgb : outRow;
    JSAMPROW target = components == kRgbChannels ? rgbRow : row[0];
    if (jpeg_read_scanlines(&info, &target, 1) != 1) return false;
    if (components != kRgbChannels) widenRow(row[0], components, info.output_width, rgbRow);
    if (band.box == 1) continue;
    addRow(band);
    const JDIMENSION inBand = line % JDIMENSION(band.box) + 1;
    if (inBand == JDIMENSION(band.box) || line + 1 == info.output_height) {
      averageBand(band, inBand, outRow);
    }
  }
  jpeg_finish_decompress(&info);
  return true;
}

// ---- The reader ----

// A Huffman-coded file spends a bit on every block at least, so its work is
// bounded by its length; an arithmetic-coded one can cover any picture in a
// few bytes, and keeps the limits of the formats decoded whole.
bool withinArithmeticLimits(const Frame& frame) {
  return frame.huffmanCoded || withinSizeLimits(frame.width, frame.height);
}

class JpegReader final : public PictureReader {
 public:
  JpegReader(std::span<const std::uint8_t> file, const LayoutWalk& layout, int orientation)
      : PictureReader(PictureInfo{PictureFormat::kJpeg, layout.frame().width, layout.frame().height,
                                  orientation}),
        file_(file),
        complete_(layout.complete()),
        frame_(layout.frame()),
        arithmeticEnds_(layout.arithmeticEnds()) {}

  Status check(const DecodeTarget& target) const override {
    if (!complete_) return Status(Failure::kPictureDecode);
    if (!withinArithmeticLimits(frame_)) return Status(Failure::kJpegTooLarge);
    if (allowance(chooseScale(frame_, target), target) == 0) return Status(Failure::kJpegTooLarge);
    return {};
  }

  DecodedPicture decode(const DecodeTarget& target, const Colour& /*background*/) override {
    const Scale scale = chooseScale(frame_, target);
    JpegDecompressor jpeg(file_, arithmeticEnds_);
    const auto refusal = [&jpeg] {
      return Status(jpeg.errors.tooLarge ? Failure::kJpegTooLarge : Failure::kPictureDecode);
    };
    if (!readHeader(jpeg)) return refusal();
    if (!setOutput(jpeg, scale, allowance(scale, target))) return refusal();
    RgbPicture picture;
    picture.width = static_cast<int>(ceilDiv(scale.width, scale.box));
    picture.height = static_cast<int>(ceilDiv(scale.height, scale.box));
    // Every row is written before the picture is used; zeroing it first would
    // cost the page a pass over megabytes.
    picture.channels =
        PixelBytes(std::size_t(scale.pictureBytes()), os::LargeBuffer::Content::kUndefined);
    if (!readPixels(jpeg, picture.channels.data())) return refusal();
    return picture;
  }

 private:
  std::int64_t allowance(const Scale& scale, const DecodeTarget& target) const {
    return jpegDecoderAllowance(file_.size(), scale.pictureBytes(), slotPixels(target));
  }

  std::span<const std::uint8_t> file_;
  bool complete_;
  Frame frame_;
  std::vector<JpegCodedDataEnd> arithmeticEnds_;
};

}  // namespace

bool isJpegFile(std::span<const std::uint8_t> file) {
  return file.size() >= 2 && file[0] == kMarkerByte && file[1] == kStartOfImage;
}

std::unique_ptr<PictureReader> openJpeg(std::span<const std::uint8_t> file) {
  LayoutWalk layout(file);
  const WalkEnd end =
      walkSegments(file, [&layout](const Segment& segment) { return layout.visit(segment); });
  layout.noteEnd(end == WalkEnd::kEndOfImage);
  if (!layout.hasFrame()) return nullptr;
  return std::make_unique<JpegReader>(file, layout, exifOrientation(layout.exif()));
}

}  // namespace tintrod
