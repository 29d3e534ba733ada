#include "prepare/decode_jpeg.h"

// jpeglib.h uses FILE and size_t without including their headers.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <limits>
#include <vector>

#include "prepare/jpeg_scans.h"
#include "prepare/picture_memory.h"

namespace tintrod {
namespace {

constexpr int kScaleDenominator = 8;
// The DCT's reduced pictures average the file's gamma-encoded values over
// whole blocks. A final reduction of 3 or more in linear light keeps the
// texture within 0.2 dB of one made from the whole picture on average, and
// photos within 0.1 dB (scripts/bench-jpeg); one of barely more than 1
// costs 1.4 dB, one of 2 a third of a decibel.
constexpr JDIMENSION kReduction = 3;
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
// have left out (prepare/jpeg_scans.h), and the file is refused past those.
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
  if (decompress->input_scan_number > kMaxJpegScans) {
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

  explicit JpegDecompressor(std::span<const std::uint8_t> file) {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = leaveDecoder;
    errors.manager.emit_message = warnOrLeave;
    progress.progress_monitor = countScans;
    source.file = file;
    source.ends = arithmeticCodedDataEnds(file);
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

// The most a decoded picture may hold, RGB, so that a baseline file of any
// size holds little beside its file and its slot's stages: 40 MiB at most
// for 200 megapixels to a cue's slot, 27 MB of it the file. A slot larger
// than a cue's gets what the fit needs to reduce kReduction times.
constexpr std::int64_t kMaxDecodedBytes = std::int64_t{24} << 20;

std::int64_t decodedCap(const DecodeTarget& target) {
  // The whole picture, when asked for, is bounded by the memory limit alone.
  if (target.width < 1 || target.height < 1) return std::numeric_limits<std::int64_t>::max();
  const std::int64_t slotPixels =
      std::int64_t{std::max(target.width, 0)} * std::max(target.height, 0);
  return std::max(kMaxDecodedBytes, slotPixels * kReduction * kReduction * kRgbChannels);
}

std::int64_t ceilDiv(std::int64_t value, std::int64_t by) { return (value + by - 1) / by; }

// A Huffman-coded file spends a bit on every block at least, so its work is
// bounded by its length; an arithmetic-coded one can cover any picture in a
// few bytes, and keeps the limits of the formats decoded whole.
bool withinArithmeticLimits(const jpeg_decompress_struct& info) {
  return info.arith_code == FALSE ||
         (info.image_width <= JDIMENSION{kMaxPictureSide} &&
          info.image_height <= JDIMENSION{kMaxPictureSide} &&
          std::int64_t{info.image_width} * info.image_height <= kMaxPicturePixels);
}

std::int64_t boxedBytes(const jpeg_decompress_struct& info, int box) {
  return ceilDiv(info.output_width, box) * ceilDiv(info.output_height, box) * kRgbChannels;
}

// Whether the fit to the target reduces a picture of this size at least
// kReduction times: cropping and stretching scale by the larger ratio,
// padding by the smaller one.
bool fitReduces(JDIMENSION width, JDIMENSION height, const DecodeTarget& target) {
  const bool wideEnough = width >= JDIMENSION(target.width) * kReduction;
  const bool tallEnough = height >= JDIMENSION(target.height) * kReduction;
  return target.fit == Fit::kPad ? wideEnough || tallEnough : wideEnough && tallEnough;
}

// Fixed for every build, so that they all give the same bytes: the exact
// integer IDCT, smooth chroma, smoothed blocks while a progressive file is
// still coarse. A picture too large for decodedCap at its scale comes at a
// smaller one, and one too large even at 1/8 is averaged over boxes of
// `box` x `box` of its rows as they are decoded (a photo of hundreds of
// megapixels, or a panorama, for a large slot): returns `box`.
int chooseOutput(jpeg_decompress_struct& info, const DecodeTarget& target) {
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
  const bool whole = target.width < 1 || target.height < 1;
  const std::int64_t cap = decodedCap(target);
  info.scale_denom = kScaleDenominator;
  int numerator = 1;
  for (; numerator <= kScaleDenominator; ++numerator) {
    info.scale_num = static_cast<unsigned int>(numerator);
    jpeg_calc_output_dimensions(&info);
    if (!whole && fitReduces(info.output_width, info.output_height, target)) break;
  }
  for (numerator = std::min(numerator, kScaleDenominator);
       numerator > 1 && boxedBytes(info, 1) > cap;) {
    info.scale_num = static_cast<unsigned int>(--numerator);
    jpeg_calc_output_dimensions(&info);
  }
  int box = 1;
  while (boxedBytes(info, box) > cap) ++box;
  return box;
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

// A progressive file keeps every coefficient of the whole picture however
// small the output: libjpeg-turbo holds such arrays within max_memory_to_use
// and, with no backing store, fails past it.
bool chooseScale(JpegDecompressor& jpeg, const DecodeTarget& target, std::size_t fileSize) {
  if (setjmp(jpeg.errors.phase) != 0) return false;
  jpeg.box = chooseOutput(jpeg.info, target);
  const std::int64_t allowance =
      jpegDecoderAllowance(fileSize, boxedBytes(jpeg.info, jpeg.box),
                           std::int64_t{std::max(target.width, 0)} * std::max(target.height, 0));
  if (allowance == 0) {
    jpeg.errors.tooLarge = true;
    return false;
  }
  jpeg.info.mem->max_memory_to_use = static_cast<long>(allowance);
  return true;
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

}  // namespace

DecodedPicture decodeJpeg(std::span<const std::uint8_t> file, const DecodeTarget& target) {
  JpegDecompressor jpeg(file);
  const auto refusal = [&jpeg] {
    return Status(jpeg.errors.tooLarge ? Failure::kJpegTooLarge : Failure::kPictureDecode);
  };
  if (!readHeader(jpeg)) return refusal();
  if (!withinArithmeticLimits(jpeg.info)) return Status(Failure::kJpegTooLarge);
  if (!chooseScale(jpeg, target, file.size())) return refusal();
  RgbPicture picture;
  picture.width = static_cast<int>(ceilDiv(jpeg.info.output_width, jpeg.box));
  picture.height = static_cast<int>(ceilDiv(jpeg.info.output_height, jpeg.box));
  // Every row is written before the picture is used; zeroing it first would
  // cost the page a pass over megabytes.
  picture.channels =
      PixelBytes(std::size_t(picture.width) * std::size_t(picture.height) * kRgbChannels,
                 os::LargeBuffer::Content::kUndefined);
  if (!readPixels(jpeg, picture.channels.data())) return refusal();
  return picture;
}

}  // namespace tintrod
