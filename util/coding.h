// Byte order of every file tintrod reads or writes: fixed-width integers are
// little-endian, except in the parts of pictures from elsewhere that are
// big-endian (PNG's fields, JPEG's segment lengths, EXIF in Motorola order,
// HEIF's boxes).
// This header is the only place that assembles or splits them; nothing else
// shifts bytes together or casts a structure over a buffer.
#pragma once

#include <cstdint>

namespace tintrod {

inline std::uint16_t decodeFixed16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t decodeFixed32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The container's "word": a 32-bit two's-complement value.
inline std::int32_t decodeSigned32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(decodeFixed32(p));
}

inline std::uint16_t decodeBigEndian16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t decodeBigEndian32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline std::uint64_t decodeBigEndian64(const std::uint8_t* p) {
  return (std::uint64_t{decodeBigEndian32(p)} << 32) | decodeBigEndian32(p + 4);
}

inline void encodeFixed16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void encodeFixed32(std::uint8_t* p, std::uint32_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
  p[2] = static_cast<std::uint8_t>(value >> 16);
  p[3] = static_cast<std::uint8_t>(value >> 24);
}

inline void encodeSigned32(std::uint8_t* p, std::int32_t value) {
  encodeFixed32(p, static_cast<std::uint32_t>(value));
}

inline void encodeBigEndian16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value >> 8);
  p[1] = static_cast<std::uint8_t>(value);
}

inline void encodeBigEndian32(std::uint8_t* p, std::uint32_t value) {
  encodeBigEndian16(p, static_cast<std::uint16_t>(value >> 16));
  encodeBigEndian16(p + 2, static_cast<std::uint16_t>(value));
}

}  // namespace tintrod
