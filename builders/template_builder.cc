#include "builders/template_builder.h"

#include "template/format.h"
#include "util/coding.h"

namespace tintrod::builders {
namespace {

constexpr std::size_t kNameColumnWidth = 30;

}  // namespace

Bytes templateHeader(std::uint32_t versionWord) {
  Bytes header(kTemplateHeaderSize);
  for (std::size_t i = 0; i < header.size(); ++i) header[i] = static_cast<std::uint8_t>(0xA0 + i);
  encodeFixed32(&header[kVersionWordOffset], versionWord);
  return header;
}

Bytes chunk(const std::string& tag, const Bytes& payload) {
  Bytes out(tag.begin(), tag.end());
  out.resize(kTagSize);
  appendFixed32(out, static_cast<std::uint32_t>(payload.size() + 4));
  appendBytes(out, payload);
  return out;
}

Bytes textureColumnData(const std::vector<TexturePlan>& textures) {
  Bytes data;
  for (const auto& texture : textures) appendFixed16(data, texture.width);
  for (const auto& texture : textures) appendFixed16(data, texture.height);
  for (const auto& texture : textures) data.push_back(texture.carried);
  for (const auto& texture : textures) {
    Bytes name(texture.name.begin(), texture.name.end());
    name.resize(kNameColumnWidth);
    appendBytes(data, name);
  }
  for (const auto& texture : textures)
    data.insert(data.end(), texture.palette.begin(), texture.palette.end());
  appendFixed32(data, 1);  // element size: one byte per palette index
  for (const auto& texture : textures) {
    appendFixed32(data, static_cast<std::uint32_t>(texture.pixels.size()));
    appendBytes(data, texture.pixels);
  }
  return data;
}

Bytes textureTableChunk(const std::vector<TexturePlan>& textures) {
  if (textures.empty()) return emptyTableChunk(kTextureTableTag);
  return tableChunk(kTextureTableTag, static_cast<std::int32_t>(textures.size()),
                    kTextureFieldSizes, textureColumnData(textures));
}

Bytes tableChunk(const std::string& tag, std::int32_t recordCount,
                 const std::vector<std::int32_t>& fieldSizes, const Bytes& columnData) {
  Bytes payload;
  appendFixed32(payload, static_cast<std::uint32_t>(recordCount));
  appendFixed32(payload, static_cast<std::uint32_t>(fieldSizes.size()));
  for (std::int32_t size : fieldSizes) appendFixed32(payload, static_cast<std::uint32_t>(size));
  appendBytes(payload, columnData);
  return chunk(tag, payload);
}

Bytes emptyTableChunk(const std::string& tag, const Bytes& trailing) {
  Bytes payload;
  appendFixed32(payload, 0);
  appendBytes(payload, trailing);
  return chunk(tag, payload);
}

Bytes buildTemplate(const std::vector<Bytes>& chunks, std::uint32_t versionWord) {
  Bytes out = templateHeader(versionWord);
  for (const auto& piece : chunks) appendBytes(out, piece);
  return out;
}

void appendFixed16(Bytes& out, std::uint16_t value) {
  std::uint8_t bytes[2];
  encodeFixed16(bytes, value);
  out.insert(out.end(), bytes, bytes + 2);
}

void appendFixed32(Bytes& out, std::uint32_t value) {
  std::uint8_t bytes[4];
  encodeFixed32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

void appendBytes(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

}  // namespace tintrod::builders
