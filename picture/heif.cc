// HEIF in one place (HEIC, as phones store their photos): its boxes, read here
// so that the limits, the memory and the completeness of every coded image are
// checked before libheif sees the file, and the decoding itself. libheif and
// libde265 allocate as they please, beyond any budget of ours, so everything
// they will hold is bounded here first. AVIF's files may name the common
// brands too; their AV1 items are refused.
#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "picture/composite.h"
#include "picture/formats.h"
#include "picture/whole_picture.h"
#include "util/coding.h"
#include "util/picture_limits.h"

#if TINTROD_HEIF
#include <libheif/heif.h>
#endif

namespace tintrod {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t tag(const char (&name)[5]) {
  return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
         std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

constexpr std::size_t kBoxHeaderSize = 8;        // size, type
constexpr std::size_t kLargeBoxHeaderSize = 16;  // with a 64-bit size
constexpr std::size_t kFullBoxHeaderSize = 4;    // version, flags
constexpr int kVersionShift = 24;                // above 24 bits of flags

// Bounds no camera's file comes near: past them a file is refused rather
// than walked. 1024 tiles are 16384 pixels a side in iPhones' 512-pixel ones.
constexpr std::uint64_t kMaxItems = 4096;
constexpr std::size_t kMaxExtents = 32;
constexpr std::size_t kMaxGridTiles = 1024;
// An encoder codes whole blocks of up to 64 pixels and crops the rest.
constexpr std::int64_t kMaxCodedPadding = 64;
// libheif hands libde265 NAL units behind 4-byte lengths, whatever hvcC says.
constexpr std::size_t kNalLengthSize = 4;
constexpr std::size_t kHvccArraysOffset = 22;
constexpr std::uint8_t kSpsType = 33;
constexpr std::uint8_t kFirstNonVclType = 32;
constexpr int kMaxBitDepth = 16;

constexpr std::array<std::uint32_t, 8> kHeifBrands = {tag("heic"), tag("heix"), tag("heim"),
                                                      tag("heis"), tag("hevc"), tag("hevx"),
                                                      tag("mif1"), tag("msf1")};

// What decoding holds at its peak, beside the file and the program: peak
// resident memory of tintrod-prepare with libheif 1.15 and libde265 1.0.11
// (docs/performance.md), with a margin. For each pixel shown, 9.1 bytes for
// a grid of 512-pixel tiles at 12 and 32 megapixels, turned or not (6.0 at
// 48, where the allocator maps every plane of its own): libheif's planes
// and RGB picture, and this program's copy of it. For each pixel of
// the largest coded image (a tile, or all of a picture of one image), up to
// 2.2 bytes more: libde265's picture and its tables. An alpha plane adds 1
// byte a pixel shown; 10-bit planes 5.3 in all, for a picture of one image.
// The coded data twice over: libheif's copy and libde265's.
constexpr std::int64_t kHeifBytesPerShownPixel = 10;
constexpr std::int64_t kHeifAlphaBytesPerShownPixel = 3;
constexpr std::int64_t kHeifDeepBytesPerShownPixel = 3;
constexpr std::int64_t kHeifBytesPerCodedPixel = 3;
constexpr std::int64_t kHeifDataCopies = 2;
constexpr std::int64_t kHeifFixedBytes = std::int64_t{4} << 20;
// Far past every limit, yet summed with them without overflowing.
constexpr std::int64_t kUnboundedPeak = std::numeric_limits<std::int64_t>::max() / 4;

// Pixels of a side by side, or kUnboundedPeak where the sides are past any
// picture's, so that no product of file fields overflows.
std::int64_t area(std::int64_t width, std::int64_t height) {
  constexpr std::int64_t kMaxSide = std::int64_t{1} << 30;
  return width > kMaxSide || height > kMaxSide ? kUnboundedPeak : width * height;
}

// Big-endian fields of a box, read in order; reading past its end gives 0
// and leaves the reader failed, which its caller checks once at the end.
class FieldReader {
 public:
  explicit FieldReader(Bytes bytes) : bytes_(bytes) {}

  // 0, 1, 2, 4 or 8 bytes.
  std::uint64_t field(std::size_t size) {
    if (size > bytes_.size() - at_) {
      ok_ = false;
      at_ = bytes_.size();
      return 0;
    }
    const std::uint8_t* p = &bytes_[at_];
    at_ += size;
    switch (size) {
      case 0:
        return 0;
      case 1:
        return p[0];
      case 2:
        return decodeBigEndian16(p);
      case 4:
        return decodeBigEndian32(p);
      case 8:
        return decodeBigEndian64(p);
      default:
        ok_ = false;
        return 0;
    }
  }
  std::uint32_t u8() { return std::uint32_t(field(1)); }
  std::uint32_t u16() { return std::uint32_t(field(2)); }
  std::uint32_t u32() { return std::uint32_t(field(4)); }
  std::uint32_t id(std::uint32_t version) { return version == 0 ? u16() : u32(); }
  Bytes take(std::size_t size) {
    if (size > bytes_.size() - at_) {
      ok_ = false;
      at_ = bytes_.size();
      return {};
    }
    at_ += size;
    return bytes_.subspan(at_ - size, size);
  }
  Bytes rest() const { return bytes_.subspan(at_); }
  bool ok() const { return ok_; }

 private:
  Bytes bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

struct Box {
  std::uint32_t type = 0;
  Bytes payload;
};

// Calls `visit` with each box inside `bytes`; false when one runs past them
// or `visit` refuses one. A size of 0 runs to the end of the parent.
template <typename Visit>
bool forEachBox(Bytes bytes, Visit&& visit) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t left = bytes.size() - at;
    if (left < kBoxHeaderSize) return false;
    std::uint64_t size = decodeBigEndian32(&bytes[at]);
    std::size_t header = kBoxHeaderSize;
    if (size == 1) {
      if (left < kLargeBoxHeaderSize) return false;
      size = decodeBigEndian64(&bytes[at + kBoxHeaderSize]);
      header = kLargeBoxHeaderSize;
    } else if (size == 0) {
      size = left;
    }
    if (size < header || size > left) return false;
    const Box box{decodeBigEndian32(&bytes[at + 4]),
                  bytes.subspan(at + header, std::size_t(size) - header)};
    if (!visit(box)) return false;
    at += std::size_t(size);
  }
  return true;
}

struct Extent {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct Item {
  std::uint32_t type = 0;
  bool located = false;
  bool elsewhere = false;  // in another file, or built from other items
  bool inIdat = false;
  std::vector<Extent> extents;
  std::vector<std::uint32_t> properties;   // from 1, into the ipco box
  std::vector<std::uint32_t> derivedFrom;  // dimg: a grid's tiles, row by row
};

struct Layout {
  Bytes file;
  std::vector<Bytes> mdats;
  Bytes idat;
  std::vector<Box> properties;
  std::map<std::uint32_t, Item> items;
  std::uint32_t primary = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> auxiliaries;  // auxl: from, of
};

bool readInfe(Bytes payload, Layout& layout) {
  FieldReader reader(payload);
  const std::uint32_t version = reader.u32() >> kVersionShift;
  if (version < 2) return reader.ok();  // no item type: nothing libheif decodes
  const std::uint32_t id = reader.id(version == 2 ? 0 : 1);
  reader.u16();  // protection
  const std::uint32_t type = reader.u32();
  if (!reader.ok() || layout.items[id].type != 0) return false;
  layout.items[id].type = type;
  return true;
}

bool readIinf(Bytes payload, Layout& layout) {
  FieldReader reader(payload);
  const std::uint32_t version = reader.u32() >> kVersionShift;
  const std::uint32_t count = reader.id(version);
  if (!reader.ok() || count > kMaxItems) return false;
  return forEachBox(reader.rest(), [&](const Box& box) {
    return box.type != tag("infe") || readInfe(box.payload, layout);
  });
}

bool validFieldSize(std::uint32_t size) { return size == 0 || size == 4 || size == 8; }

bool readIloc(Bytes payload, Layout& layout) {
  FieldReader reader(payload);
  const std::uint32_t version = reader.u32() >> kVersionShift;
  const std::uint32_t sizes = reader.u8();
  const std::uint32_t moreSizes = reader.u8();
  const std::uint32_t offsetSize = sizes >> 4;
  const std::uint32_t lengthSize = sizes & 15;
  const std::uint32_t baseSize = moreSizes >> 4;
  const std::uint32_t indexSize = version == 0 ? 0 : moreSizes & 15;
  if (version > 2 || !validFieldSize(offsetSize) || !validFieldSize(lengthSize) ||
      !validFieldSize(baseSize) || !validFieldSize(indexSize)) {
    return false;
  }
  const std::uint32_t count = version < 2 ? reader.u16() : reader.u32();
  if (count > kMaxItems) return false;
  for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
    Item& item = layout.items[reader.id(version < 2 ? 0 : 1)];
    const std::uint32_t method = version == 0 ? 0 : reader.u16() & 15;
    const std::uint32_t reference = reader.u16();
    const std::uint64_t base = reader.field(baseSize);
    const std::uint32_t extents = reader.u16();
    if (item.located || extents > kMaxExtents) return false;
    item.located = true;
    item.elsewhere = reference != 0 || method > 1;
    item.inIdat = method == 1;
    for (std::uint32_t e = 0; e < extents; ++e) {
      reader.field(indexSize);
      const std::uint64_t offset = reader.field(offsetSize);
      const std::uint64_t length = reader.field(lengthSize);
      if (offset > std::numeric_limits<std::uint64_t>::max() - base) return false;
      item.extents.push_back({base + offset, length});
    }
  }
  return reader.ok();
}

bool readIpma(Bytes payload, Layout& layout) {
  FieldReader reader(payload);
  const std::uint32_t full = reader.u32();
  const std::uint32_t version = full >> kVersionShift;
  const bool wide = (full & 1) != 0;
  const std::uint32_t count = reader.u32();
  if (count > kMaxItems) return false;
  for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
    Item& item = layout.items[reader.id(version)];
    const std::uint32_t associations = reader.u8();
    for (std::uint32_t a = 0; a < associations; ++a) {
      const std::uint32_t index = wide ? reader.u16() & 0x7FFF : reader.u8() & 0x7F;
      if (index != 0) item.properties.push_back(index);
    }
  }
  return reader.ok();
}

bool readIprp(Bytes payload, Layout& layout) {
  bool sawProperties = false;
  return forEachBox(payload, [&](const Box& box) {
    if (box.type == tag("ipco")) {
      if (sawProperties) return false;
      sawProperties = true;
      return forEachBox(box.payload, [&](const Box& property) {
        layout.properties.push_back(property);
        return layout.properties.size() <= kMaxItems;
      });
    }
    return box.type != tag("ipma") || readIpma(box.payload, layout);
  });
}

bool readIref(Bytes payload, Layout& layout) {
  FieldReader header(payload);
  const std::uint32_t version = header.u32() >> kVersionShift;
  if (!header.ok()) return false;
  return forEachBox(header.rest(), [&](const Box& box) {
    FieldReader reader(box.payload);
    const std::uint32_t from = reader.id(version);
    const std::uint32_t count = reader.u16();
    std::vector<std::uint32_t> to;
    for (std::uint32_t i = 0; i < count && reader.ok(); ++i) to.push_back(reader.id(version));
    if (!reader.ok()) return false;
    if (box.type == tag("dimg")) {
      std::vector<std::uint32_t>& tiles = layout.items[from].derivedFrom;
      if (!tiles.empty() || to.empty()) return false;
      tiles = std::move(to);
    } else if (box.type == tag("auxl")) {
      for (const std::uint32_t of : to) layout.auxiliaries.emplace_back(from, of);
    }
    return true;
  });
}

bool readMeta(Bytes payload, Layout& layout) {
  if (payload.size() < kFullBoxHeaderSize) return false;
  std::vector<std::uint32_t> seen;
  bool picture = false;
  const bool walked = forEachBox(payload.subspan(kFullBoxHeaderSize), [&](const Box& box) {
    // One of each: two primary items or two locations of one are refused.
    if (std::find(seen.begin(), seen.end(), box.type) != seen.end()) return false;
    seen.push_back(box.type);
    FieldReader reader(box.payload);
    switch (box.type) {
      case tag("hdlr"):
        reader.field(kFullBoxHeaderSize + 4);  // and pre_defined
        picture = reader.u32() == tag("pict") && reader.ok();
        return true;
      case tag("pitm"): {
        const std::uint32_t version = reader.u32() >> kVersionShift;
        layout.primary = reader.id(version);
        return reader.ok();
      }
      case tag("iinf"):
        return readIinf(box.payload, layout);
      case tag("iloc"):
        return readIloc(box.payload, layout);
      case tag("iprp"):
        return readIprp(box.payload, layout);
      case tag("iref"):
        return readIref(box.payload, layout);
      case tag("idat"):
        layout.idat = box.payload;
        return true;
      default:
        return true;
    }
  });
  return walked && picture;
}

std::optional<Layout> readLayout(Bytes file) {
  if (!isHeifFile(file)) return std::nullopt;
  Layout layout;
  layout.file = file;
  bool sawMeta = false;
  const bool walked = forEachBox(file, [&](const Box& box) {
    if (box.type == tag("mdat")) layout.mdats.push_back(box.payload);
    if (box.type != tag("meta")) return true;
    if (sawMeta) return false;
    sawMeta = true;
    return readMeta(box.payload, layout);
  });
  if (!walked || !sawMeta) return std::nullopt;
  for (const auto& [id, item] : layout.items) {
    for (const std::uint32_t index : item.properties) {
      if (index > layout.properties.size()) return std::nullopt;
    }
  }
  return layout;
}

const Box* property(const Layout& layout, const Item& item, std::uint32_t type) {
  for (const std::uint32_t index : item.properties) {
    const Box& box = layout.properties[index - 1];
    if (box.type == type) return &box;
  }
  return nullptr;
}

bool inside(Bytes container, Bytes file, const Extent& extent) {
  const auto start = std::uint64_t(container.data() - file.data());
  return extent.offset >= start && extent.length <= container.size() &&
         extent.offset - start <= container.size() - extent.length;
}

// An item's bytes: its one extent where it lies, or its extents gathered.
struct ItemData {
  std::vector<std::uint8_t> gathered;
  Bytes bytes;
};

std::optional<ItemData> itemData(const Layout& layout, const Item& item) {
  if (!item.located || item.elsewhere || item.extents.empty()) return std::nullopt;
  ItemData data;
  std::uint64_t total = 0;
  for (const Extent& extent : item.extents) {
    // Extents that overlap would make a copy larger than the file.
    if (extent.length > layout.file.size() - total) return std::nullopt;
    total += extent.length;
    Bytes from;
    if (item.inIdat) {
      if (!inside(layout.idat, layout.idat, extent)) return std::nullopt;
      from = layout.idat.subspan(std::size_t(extent.offset), std::size_t(extent.length));
    } else {
      // Inside a media data box: never over a box's header, never past the end.
      const auto mdat = std::find_if(layout.mdats.begin(), layout.mdats.end(),
                                     [&](Bytes m) { return inside(m, layout.file, extent); });
      if (mdat == layout.mdats.end()) return std::nullopt;
      from = layout.file.subspan(std::size_t(extent.offset), std::size_t(extent.length));
    }
    if (from.empty()) return std::nullopt;
    if (item.extents.size() == 1) {
      data.bytes = from;
      return data;
    }
    data.gathered.insert(data.gathered.end(), from.begin(), from.end());
  }
  data.bytes = data.gathered;
  return data;
}

// HEVC's parameter sets are bits, Exp-Golomb coded, with a 3 put after
// every two zero bytes that a start code could be read in.
class BitReader {
 public:
  explicit BitReader(Bytes bytes) : bytes_(bytes) {}

  void skip(int count) {
    for (int i = 0; i < count; ++i) bit();
  }
  std::uint64_t bits(int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 1 | bit();
    return value;
  }
  std::uint64_t exponentialGolomb() {
    constexpr int kMaxLeadingZeros = 32;
    int zeros = 0;
    while (ok_ && bit() == 0) {
      if (++zeros > kMaxLeadingZeros) ok_ = false;
    }
    return ok_ ? (std::uint64_t{1} << zeros) - 1 + bits(zeros) : 0;
  }
  bool ok() const { return ok_; }

 private:
  std::uint32_t bit() {
    if (bitsLeft_ == 0) {
      if (at_ < bytes_.size() && zeros_ >= 2 && bytes_[at_] == 3) {
        ++at_;
        zeros_ = 0;
      }
      if (at_ >= bytes_.size()) {
        ok_ = false;
        return 0;
      }
      current_ = bytes_[at_++];
      zeros_ = current_ == 0 ? zeros_ + 1 : 0;
      bitsLeft_ = 8;
    }
    --bitsLeft_;
    return current_ >> bitsLeft_ & 1;
  }

  Bytes bytes_;
  std::size_t at_ = 0;
  int zeros_ = 0;
  std::uint8_t current_ = 0;
  int bitsLeft_ = 0;
  bool ok_ = true;
};

struct Sps {
  std::int64_t width = 0;  // coded, as libde265 allocates it
  std::int64_t height = 0;
  std::int64_t shownWidth = 0;  // inside the conformance window
  std::int64_t shownHeight = 0;
  int bitDepth = 0;
};

void skipProfileTierLevel(BitReader& reader, int subLayers) {
  constexpr int kGeneralBits = 96;
  constexpr int kSubLayerProfileBits = 88;
  constexpr int kSubLayerLevelBits = 8;
  constexpr int kMaxSubLayers = 8;
  reader.skip(kGeneralBits);
  std::array<std::uint64_t, kMaxSubLayers> present{};
  for (int i = 0; i < subLayers; ++i) present[std::size_t(i)] = reader.bits(2);
  if (subLayers > 0) reader.skip(2 * (kMaxSubLayers - subLayers));
  for (int i = 0; i < subLayers; ++i) {
    if ((present[std::size_t(i)] & 2) != 0) reader.skip(kSubLayerProfileBits);
    if ((present[std::size_t(i)] & 1) != 0) reader.skip(kSubLayerLevelBits);
  }
}

// The sequence parameter set's sizes and depth, behind its 2-byte NAL header.
std::optional<Sps> readSps(Bytes nal) {
  BitReader reader(nal.subspan(2));
  reader.bits(4);  // video parameter set
  const auto subLayers = int(reader.bits(3));
  reader.bits(1);
  skipProfileTierLevel(reader, subLayers);
  reader.exponentialGolomb();  // its own id
  const std::uint64_t chroma = reader.exponentialGolomb();
  const bool separatePlanes = chroma == 3 && reader.bits(1) != 0;
  Sps sps;
  const std::uint64_t width = reader.exponentialGolomb();
  const std::uint64_t height = reader.exponentialGolomb();
  std::array<std::uint64_t, 4> window{};  // left, right, top, bottom
  if (reader.bits(1) != 0) {
    for (std::uint64_t& offset : window) offset = reader.exponentialGolomb();
  }
  const std::uint64_t lumaDepth = reader.exponentialGolomb() + 8;
  const std::uint64_t chromaDepth = reader.exponentialGolomb() + 8;
  constexpr std::uint64_t kMaxSide = std::uint64_t{1} << 32;
  if (!reader.ok() || chroma > 3 || width >= kMaxSide || height >= kMaxSide ||
      std::max(lumaDepth, chromaDepth) > kMaxBitDepth) {
    return std::nullopt;
  }
  const std::int64_t unitWidth = (chroma == 1 || chroma == 2) && !separatePlanes ? 2 : 1;
  const std::int64_t unitHeight = chroma == 1 && !separatePlanes ? 2 : 1;
  for (const std::uint64_t offset : window) {
    if (offset >= kMaxSide) return std::nullopt;
  }
  sps.width = std::int64_t(width);
  sps.height = std::int64_t(height);
  sps.shownWidth = sps.width - unitWidth * std::int64_t(window[0] + window[1]);
  sps.shownHeight = sps.height - unitHeight * std::int64_t(window[2] + window[3]);
  sps.bitDepth = int(std::max(lumaDepth, chromaDepth));
  return sps;
}

// What decoding one HEVC image costs, and whether its stream is the image
// its item declares.
struct Coded {
  std::int64_t width = 0;  // its ispe
  std::int64_t height = 0;
  std::int64_t codedPixels = 0;  // the largest any parameter set declares
  std::int64_t dataBytes = 0;
  int bitDepth = 8;
  bool asDeclared = true;
};

void checkNal(Bytes nal, Coded& coded, int& pictures) {
  if (nal.size() < 3) {
    coded.asDeclared = false;
    return;
  }
  const int type = nal[0] >> 1 & 0x3F;
  const bool baseLayer = ((nal[0] & 1) | (nal[1] >> 3)) == 0;
  if (type < kFirstNonVclType && baseLayer && (nal[2] & 0x80) != 0) ++pictures;
  if (type != kSpsType) return;
  const std::optional<Sps> sps = readSps(nal);
  if (!sps) {
    coded.asDeclared = false;
    return;
  }
  coded.codedPixels = std::max(coded.codedPixels, area(sps->width, sps->height));
  coded.bitDepth = std::max(coded.bitDepth, sps->bitDepth);
  coded.asDeclared = coded.asDeclared && sps->shownWidth == coded.width &&
                     sps->shownHeight == coded.height &&
                     sps->width <= coded.width + kMaxCodedPadding &&
                     sps->height <= coded.height + kMaxCodedPadding;
}

// hvcC's arrays of parameter sets, then the item's NAL units, all of which
// libheif hands libde265.
void checkStream(Bytes config, Bytes data, Coded& coded) {
  int pictures = 0;
  FieldReader reader(config.size() > kHvccArraysOffset ? config.subspan(kHvccArraysOffset)
                                                       : Bytes());
  const bool fourByteLengths = config.size() > kHvccArraysOffset - 1 &&
                               (config[kHvccArraysOffset - 1] & 3) + 1 == kNalLengthSize;
  const std::uint32_t arrays = reader.u8();
  for (std::uint32_t a = 0; a < arrays && reader.ok(); ++a) {
    reader.u8();
    const std::uint32_t count = reader.u16();
    for (std::uint32_t n = 0; n < count && reader.ok(); ++n) {
      const Bytes nal = reader.take(reader.u16());
      if (reader.ok()) checkNal(nal, coded, pictures);
    }
  }
  std::size_t at = 0;
  while (at < data.size() && coded.asDeclared) {
    if (data.size() - at < kNalLengthSize) break;
    const std::uint64_t length = decodeBigEndian32(&data[at]);
    at += kNalLengthSize;
    if (length > data.size() - at) break;
    checkNal(data.subspan(at, std::size_t(length)), coded, pictures);
    at += std::size_t(length);
  }
  coded.asDeclared = coded.asDeclared && reader.ok() && fourByteLengths && at == data.size() &&
                     pictures == 1 && coded.codedPixels > 0;
}

std::optional<Coded> describeCoded(const Layout& layout, std::uint32_t id) {
  const auto found = layout.items.find(id);
  if (found == layout.items.end() || found->second.type != tag("hvc1")) return std::nullopt;
  const Item& item = found->second;
  const Box* ispe = property(layout, item, tag("ispe"));
  const Box* config = property(layout, item, tag("hvcC"));
  const std::optional<ItemData> data = itemData(layout, item);
  if (ispe == nullptr || config == nullptr || !data) return std::nullopt;
  FieldReader sizes(ispe->payload);
  sizes.field(kFullBoxHeaderSize);
  Coded coded;
  coded.width = sizes.u32();
  coded.height = sizes.u32();
  if (!sizes.ok() || coded.width == 0 || coded.height == 0) return std::nullopt;
  coded.dataBytes = std::int64_t(data->bytes.size());
  checkStream(config->payload, data->bytes, coded);
  return coded;
}

// The primary image, or its alpha, as libheif composes it: one coded image,
// or a grid of them.
struct Composed {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t largestCoded = 0;  // pixels of one coded image
  std::int64_t dataBytes = 0;
  int bitDepth = 8;
  bool asDeclared = true;
};

void add(const Coded& coded, Composed& composed) {
  composed.largestCoded =
      std::max({composed.largestCoded, coded.codedPixels, area(coded.width, coded.height)});
  // libheif holds one coded image's data at a time.
  composed.dataBytes = std::max(composed.dataBytes, coded.dataBytes);
  composed.bitDepth = std::max(composed.bitDepth, coded.bitDepth);
  composed.asDeclared = composed.asDeclared && coded.asDeclared;
}

bool sideWithinLimit(std::int64_t side) { return side <= kMaxPictureSide; }

// libheif would turn, mirror or crop a tile before laying it out at the size
// its item declares; no camera writes such tiles.
bool transformed(const Layout& layout, const Item& item) {
  return property(layout, item, tag("irot")) != nullptr ||
         property(layout, item, tag("imir")) != nullptr ||
         property(layout, item, tag("clap")) != nullptr;
}

std::optional<Composed> describeGrid(const Layout& layout, const Item& grid) {
  const std::optional<ItemData> data = itemData(layout, grid);
  if (!data) return std::nullopt;
  FieldReader reader(data->bytes);
  const std::uint32_t version = reader.u8();
  const std::size_t fieldSize = (reader.u8() & 1) != 0 ? 4 : 2;
  const std::int64_t rows = reader.u8() + 1;
  const std::int64_t columns = reader.u8() + 1;
  Composed composed;
  composed.width = std::int64_t(reader.field(fieldSize));
  composed.height = std::int64_t(reader.field(fieldSize));
  if (!reader.ok() || version != 0 || composed.width == 0 || composed.height == 0 ||
      std::size_t(rows * columns) != grid.derivedFrom.size() ||
      grid.derivedFrom.size() > kMaxGridTiles) {
    return std::nullopt;
  }
  std::optional<Coded> first;
  for (const std::uint32_t tile : grid.derivedFrom) {
    const std::optional<Coded> coded = describeCoded(layout, tile);
    if (!coded || transformed(layout, layout.items.at(tile))) return std::nullopt;
    if (!first) first = coded;
    // libheif lays every tile out at the first one's size.
    if (coded->width != first->width || coded->height != first->height) return std::nullopt;
    add(*coded, composed);
  }
  // The tiles cover the picture, and none lies wholly outside it.
  const bool covered =
      columns * first->width >= composed.width && rows * first->height >= composed.height &&
      (columns - 1) * first->width < composed.width && (rows - 1) * first->height < composed.height;
  if (!covered) return std::nullopt;
  const Box* ispe = property(layout, grid, tag("ispe"));
  if (ispe != nullptr) {
    FieldReader sizes(ispe->payload);
    sizes.field(kFullBoxHeaderSize);
    if (sizes.u32() != composed.width || sizes.u32() != composed.height) return std::nullopt;
  }
  return composed;
}

std::optional<Composed> describeImage(const Layout& layout, std::uint32_t id) {
  const auto found = layout.items.find(id);
  if (found == layout.items.end()) return std::nullopt;
  if (found->second.type == tag("grid")) return describeGrid(layout, found->second);
  const std::optional<Coded> coded = describeCoded(layout, id);
  if (!coded) return std::nullopt;
  Composed composed;
  composed.width = coded->width;
  composed.height = coded->height;
  add(*coded, composed);
  return composed;
}

bool isAlpha(const Layout& layout, std::uint32_t id) {
  const auto found = layout.items.find(id);
  if (found == layout.items.end()) return false;
  const Box* auxC = property(layout, found->second, tag("auxC"));
  if (auxC == nullptr || auxC->payload.size() < kFullBoxHeaderSize) return false;
  const Bytes name = auxC->payload.subspan(kFullBoxHeaderSize);
  const auto named = [&](std::string_view urn) {
    return name.size() >= urn.size() && std::equal(urn.begin(), urn.end(), name.begin());
  };
  // Every name libheif takes for alpha: such a plane is decoded with the picture.
  return named("urn:mpeg:hevc:2015:auxid:1") || named("urn:mpeg:avc:2015:auxid:1") ||
         named("urn:mpeg:mpegB:cicp:systems:auxiliary:alpha");
}

// No item derives from itself or from another derived item: libheif follows
// such references, and a loop of them would never end.
bool derivationsFlat(const Layout& layout) {
  for (const auto& [id, item] : layout.items) {
    for (const std::uint32_t from : item.derivedFrom) {
      const auto source = layout.items.find(from);
      if (from == id || (source != layout.items.end() && !source->second.derivedFrom.empty())) {
        return false;
      }
    }
  }
  return true;
}

// The primary image as libheif shows it, a quarter turn swapping its sides (a
// clean aperture may crop it further), and what decoding it costs.
struct HeifImage {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t peak = 0;
  // Every image libheif decodes for it holds one picture, coded at the size
  // its item declares: libde265 allocates from the stream's own parameters.
  bool asDeclared = true;
};

std::int64_t decodingPeak(const Composed& image, bool alpha, std::int64_t largestCoded,
                          std::int64_t dataBytes, int bitDepth) {
  if (!sideWithinLimit(image.width) || !sideWithinLimit(image.height) ||
      largestCoded > kMaxPicturePixels * 4) {
    return kUnboundedPeak;
  }
  const bool deep = bitDepth > 8;
  const std::int64_t perShownPixel = kHeifBytesPerShownPixel +
                                     (alpha ? kHeifAlphaBytesPerShownPixel : 0) +
                                     (deep ? kHeifDeepBytesPerShownPixel : 0);
  const std::int64_t perCodedPixel = kHeifBytesPerCodedPixel * (deep ? 2 : 1);
  return image.width * image.height * perShownPixel + largestCoded * perCodedPixel +
         kHeifDataCopies * dataBytes + kHeifFixedBytes;
}

std::optional<HeifImage> readHeif(Bytes file) {
  const std::optional<Layout> layout = readLayout(file);
  if (!layout || !derivationsFlat(*layout)) return std::nullopt;
  const std::optional<Composed> image = describeImage(*layout, layout->primary);
  if (!image) return std::nullopt;
  std::optional<Composed> alpha;
  for (const auto& [from, of] : layout->auxiliaries) {
    if (of != layout->primary || !isAlpha(*layout, from)) continue;
    alpha = describeImage(*layout, from);
    if (!alpha || alpha->width != image->width || alpha->height != image->height) {
      return std::nullopt;
    }
  }
  const Item& primary = layout->items.at(layout->primary);
  const Box* rotation = property(*layout, primary, tag("irot"));
  const bool turned =
      rotation != nullptr && !rotation->payload.empty() && (rotation->payload[0] & 1) != 0;
  HeifImage heif;
  heif.width = turned ? image->height : image->width;
  heif.height = turned ? image->width : image->height;
  const int bitDepth = std::max(image->bitDepth, alpha ? alpha->bitDepth : 8);
  heif.peak = decodingPeak(*image, alpha.has_value(),
                           std::max(image->largestCoded, alpha ? alpha->largestCoded : 0),
                           std::max(image->dataBytes, alpha ? alpha->dataBytes : 0), bitDepth);
  heif.asDeclared = image->asDeclared && (!alpha || alpha->asDeclared);
  return heif;
}

}  // namespace

bool isHeifFile(std::span<const std::uint8_t> file) {
  constexpr std::size_t kBrandsOffset = 16;  // behind the major brand and its version
  if (file.size() < kBrandsOffset || decodeBigEndian32(&file[4]) != tag("ftyp")) return false;
  const std::uint64_t size = decodeBigEndian32(file.data());
  if (size < kBrandsOffset || size > file.size()) return false;
  const auto named = [](std::uint32_t brand) {
    return std::find(kHeifBrands.begin(), kHeifBrands.end(), brand) != kHeifBrands.end();
  };
  if (named(decodeBigEndian32(&file[8]))) return true;
  for (std::size_t at = kBrandsOffset; at + 4 <= size; at += 4) {
    if (named(decodeBigEndian32(&file[at]))) return true;
  }
  return false;
}

namespace {

#if TINTROD_HEIF
constexpr std::uint32_t kMax8 = 255;

template <typename T, void (*kFree)(T*)>
struct Freeing {
  void operator()(T* p) const { kFree(p); }
};
using Context = std::unique_ptr<heif_context, Freeing<heif_context, heif_context_free>>;
using Handle =
    std::unique_ptr<heif_image_handle, Freeing<const heif_image_handle, heif_image_handle_release>>;
using Image = std::unique_ptr<heif_image, Freeing<const heif_image, heif_image_release>>;
using Options = std::unique_ptr<heif_decoding_options,
                                Freeing<heif_decoding_options, heif_decoding_options_free>>;

bool succeeded(const heif_error& error) { return error.code == heif_error_Ok; }

// kPictureDecode for a file libheif refuses or whose picture is larger than
// the declared one; the picture, turned and mirrored as its file says (and
// never again by EXIF), alpha composited over `background`, otherwise.
Result<RgbPicture> decodeHeif(std::span<const std::uint8_t> file, const PictureInfo& info,
                              const Colour& background) {
  const Context context(heif_context_alloc());
  if (!context) throw std::bad_alloc();
  // libheif's own limit at ours (it refuses any item whose ispe passes it);
  // one tile decoded at a time, as the memory worked out for the file assumes.
  heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide);
  heif_context_set_max_decoding_threads(context.get(), 0);
  heif_image_handle* handle = nullptr;
  if (!succeeded(heif_context_read_from_memory_without_copy(context.get(), file.data(), file.size(),
                                                            nullptr)) ||
      !succeeded(heif_context_get_primary_image_handle(context.get(), &handle))) {
    return Status(Failure::kPictureDecode);
  }
  const Handle primary(handle);
  const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
  const Options options(heif_decoding_options_alloc());
  if (!options) throw std::bad_alloc();
  options->ignore_transformations = 0;  // irot, imir and clap; EXIF's turn is never applied
  options->convert_hdr_to_8bit = 1;
  options->strict_decoding = 1;
  heif_image* decoded = nullptr;
  if (!succeeded(heif_decode_image(
          handle, &decoded, heif_colorspace_RGB,
          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()))) {
    return Status(Failure::kPictureDecode);
  }
  const Image image(decoded);
  int stride = 0;
  const std::uint8_t* rows =
      heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
  const int width = heif_image_get_width(decoded, heif_channel_interleaved);
  const int height = heif_image_get_height(decoded, heif_channel_interleaved);
  const int channels = alpha ? 4 : kRgbChannels;
  // A clean aperture only ever crops the declared picture.
  if (rows == nullptr || width < 1 || height < 1 || width > info.width || height > info.height ||
      stride < width * channels ||
      heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved) != 8) {
    return Status(Failure::kPictureDecode);
  }
  RgbPicture picture;
  picture.width = width;
  picture.height = height;
  picture.channels = PixelBytes(std::size_t(width) * std::size_t(height) * kRgbChannels,
                                os::LargeBuffer::Content::kUndefined);
  // libheif pads its rows; opaque ones are copied through the same blend.
  const auto rowPixels = std::size_t(width);
  for (int y = 0; y < height; ++y) {
    compositeOver<std::uint8_t, kMax8>(
        background, rows + std::ptrdiff_t(y) * stride, channels, rowPixels,
        &picture.channels[std::size_t(y) * rowPixels * kRgbChannels]);
  }
  return picture;
}
#else
// A build without libheif reads the boxes (and so the limits) alone.
Result<RgbPicture> decodeHeif(std::span<const std::uint8_t>, const PictureInfo&, const Colour&) {
  return Status(Failure::kPictureDecode);
}
#endif

class HeifReader final : public WholePictureReader {
 public:
  HeifReader(std::span<const std::uint8_t> file, const HeifImage& image)
      : WholePictureReader(file, PictureInfo{PictureFormat::kHeif, image.width, image.height}),
        image_(image) {}

  DecodedPicture decodeWhole(const Colour& background) override {
    return decodeHeif(file(), info(), background);
  }

 private:
  // libheif's pixels are gone once this program's picture is made from them.
  DecodingCost cost() const override {
    return {image_.peak, image_.width * image_.height * kRgbChannels};
  }
  // Its extents are checked with its boxes; its streams here, past the limits.
  bool complete() const override { return image_.asDeclared; }

  HeifImage image_;
};

}  // namespace

std::unique_ptr<PictureReader> openHeif(std::span<const std::uint8_t> file) {
  const std::optional<HeifImage> image = readHeif(file);
  if (!image) return nullptr;
  return std::make_unique<HeifReader>(file, *image);
}

}  // namespace tintrod
