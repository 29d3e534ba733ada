#include "template/chunk_table_reader.h"

#include <algorithm>
#include <cstring>

#include "template/format.h"
#include "util/coding.h"
#include "util/input_file.h"

namespace tintrod {
namespace {

constexpr std::int32_t kTerminatedLength = -1;

bool sameTag(const char* tag, const char* expected) {
  return std::strncmp(tag, expected, kTagSize) == 0;
}

Status corrupt() { return Status(Failure::kTemplateCorrupt); }

bool readWord(InputFile& stream, std::int32_t& value) {
  std::uint8_t bytes[kWordSize];
  if (!stream.read(bytes, sizeof bytes)) return false;
  value = decodeSigned32(bytes);
  return true;
}

}  // namespace

void copyField(const char* source, std::int32_t length, char* destination) {
  if (length == kTerminatedLength) {
    // Unbounded by its contract; the reader itself only ever copies four bytes.
    std::strcpy(destination, source);  // NOLINT(clang-analyzer-security.insecureAPI.strcpy)
  } else if (length > 0) {
    std::memcpy(destination, source, static_cast<std::size_t>(length));
  }
}

bool ChunkTableReader::peekTag(InputFile& stream, char* tagBuffer) const {
  char bytes[kTagSize];
  if (!stream.read(bytes, sizeof bytes)) return false;
  copyField(bytes, kTagSize, tagBuffer);
  return stream.skip(-kTagSize);
}

Result<ChunkFound> ChunkTableReader::skipChunk(InputFile& stream, const char* expectedTag) {
  char bytes[kTagSize];
  if (!stream.read(bytes, sizeof bytes)) return corrupt();
  copyField(bytes, kTagSize, tag_.data());
  if (!sameTag(tag_.data(), expectedTag)) {
    if (!stream.skip(-kTagSize)) return corrupt();
    return ChunkFound::kOtherTag;
  }
  // A size below 4 would leave the walk standing still or moving backwards.
  if (!readWord(stream, chunkSize_) || chunkSize_ < kMinChunkSize ||
      !stream.skip(chunkSize_ - kWordSize)) {
    return corrupt();
  }
  return ChunkFound::kChunk;
}

Result<ChunkFound> ChunkTableReader::readTableChunk(InputFile& stream) {
  char bytes[kTagSize];
  if (!stream.read(bytes, sizeof bytes) || !readWord(stream, chunkSize_)) {
    forgetTable();
    return corrupt();
  }
  copyField(bytes, kTagSize, tag_.data());
  if (sameTag(tag_.data(), kEndTag)) return ChunkFound::kEndChunk;

  TableHead head;
  Status status = readTableHead(stream, head);
  // Whatever an empty table carries behind its N word is not interpreted.
  if (status.ok() && head.recordCount == 0 &&
      !stream.skip(std::int64_t{chunkSize_} - kMinTableChunkSize)) {
    status = corrupt();
  }
  if (!status.ok()) {
    forgetTable();
    return status;
  }
  recordCount_ = head.recordCount;
  fieldCount_ = head.fieldCount;
  if (recordCount_ == 0) {
    dataLength_ = 0;
    return ChunkFound::kChunk;
  }
  std::copy_n(head.fieldSizes.begin(), fieldCount_, fieldSizes_.begin());
  const std::int64_t dataLength =
      std::int64_t{chunkSize_} - kTableChunkHeadSize - std::int64_t{kWordSize} * fieldCount_;
  status = readColumnData(stream, dataLength);
  if (!status.ok()) {
    forgetTable();
    return status;
  }
  return ChunkFound::kChunk;
}

Status ChunkTableReader::readTableHead(InputFile& stream, TableHead& head) const {
  if (chunkSize_ < kMinTableChunkSize || chunkSize_ - kWordSize > stream.remaining()) {
    return corrupt();
  }
  if (!readWord(stream, head.recordCount) || head.recordCount < 0) return corrupt();
  if (head.recordCount == 0) return {};

  if (chunkSize_ < kTableChunkHeadSize || !readWord(stream, head.fieldCount) ||
      head.fieldCount < 0 || head.fieldCount > kMaxFieldCount ||
      chunkSize_ < kTableChunkHeadSize + kWordSize * head.fieldCount) {
    return corrupt();
  }
  for (int column = 0; column < head.fieldCount; ++column) {
    std::int32_t& width = head.fieldSizes[column];
    if (!readWord(stream, width) || width < kVariableFieldWidth) return corrupt();
  }
  return {};
}

Status ChunkTableReader::readColumnData(InputFile& stream, std::int64_t length) {
  if (length < 0 || length > stream.remaining()) return corrupt();
  if (length > dataCapacity_ || dataCapacity_ > kMaxRetainedDataCapacity) {
    // Never grown in place: the old content is of no use to the next table.
    dataBuffer_.release();
    dataCapacity_ = 0;
    const std::int64_t capacity = length + kDataBufferHeadroom;
    if (!dataBuffer_.allocate(static_cast<std::size_t>(capacity))) return corrupt();
    dataCapacity_ = capacity;
  }
  dataPos_ = stream.position();
  if (length > 0 && !stream.read(dataBuffer_.get(), static_cast<std::size_t>(length))) {
    return corrupt();
  }
  dataLength_ = length;
  return {};
}

void ChunkTableReader::forgetTable() {
  recordCount_ = 0;
  fieldCount_ = 0;
  dataLength_ = 0;
}

std::span<const std::uint8_t> ChunkTableReader::columnData() const {
  if (dataBuffer_.empty()) return {};
  return {dataBuffer_.get(), static_cast<std::size_t>(dataLength_)};
}

std::uint8_t* ChunkTableReader::block(std::uint32_t reference) const {
  if (reference == 0 || reference > blocks_.size()) return nullptr;
  return blocks_[reference - 1];
}

std::int32_t ChunkTableReader::slotWidth(int column) const {
  const std::int32_t width = fieldSizes_[column];
  return width == kVariableFieldWidth ? kReferenceSlotWidth : width;
}

bool ChunkTableReader::placeColumns(std::int32_t recordSize) {
  if (fieldCount_ == 0) return true;
  fieldOffsets_[0] = 0;
  // Columns behind the first are dropped when they do not fit; the first has
  // nothing to fall back on, so a table it does not fit is refused.
  if (slotWidth(0) > recordSize) return false;
  for (int column = 1; column < fieldCount_; ++column) {
    fieldOffsets_[column] = fieldOffsets_[column - 1] + slotWidth(column - 1);
    if (std::int64_t{fieldOffsets_[column]} + slotWidth(column) > recordSize) {
      fieldCount_ = column;
      break;
    }
  }
  return true;
}

// The least column data the kept columns need: every fixed value, and for a
// variable column its element size word and one count word per record.
bool ChunkTableReader::fitsColumnData(std::int64_t perRecord, std::int64_t fixed) const {
  return perRecord > 0 && fixed <= dataLength_ && perRecord <= (dataLength_ - fixed) / recordCount_;
}

Result<BuiltRecords> ChunkTableReader::buildRecords(std::int32_t recordSize) {
  if (recordCount_ == 0) return BuiltRecords{};
  if (recordSize <= 0 || !placeColumns(recordSize)) return corrupt();

  std::int64_t perRecord = 0;
  std::int64_t fixed = 0;
  std::int64_t variableColumns = 0;
  for (int column = 0; column < fieldCount_; ++column) {
    const bool variable = fieldSizes_[column] == kVariableFieldWidth;
    perRecord += variable ? kWordSize : fieldSizes_[column];
    fixed += variable ? kWordSize : 0;
    variableColumns += variable ? 1 : 0;
  }
  // Records that carry no data would let a tiny file claim any count.
  if (!fitsColumnData(perRecord, fixed)) return corrupt();

  const std::int64_t arraySize = std::int64_t{recordSize} * recordCount_;
  if (arraySize > BlockArena::kMaxRequest) return corrupt();
  // The column data bounds every block's content; without the room the blocks
  // still come, one heap allocation each.
  arena_.reserve(static_cast<std::size_t>(arraySize + dataLength_),
                 static_cast<std::size_t>(1 + variableColumns * recordCount_));
  std::uint8_t* records = arena_.allocateZeroed(static_cast<std::uint32_t>(arraySize));
  if (records == nullptr) return corrupt();

  std::int64_t consumed = 0;
  for (int column = 0; column < fieldCount_; ++column) {
    Status copied = fieldSizes_[column] == kVariableFieldWidth
                        ? copyVariableColumn(column, records, recordSize, consumed)
                        : copyFixedColumn(column, records, recordSize, consumed);
    if (!copied.ok()) return copied;
  }
  return BuiltRecords{records, recordCount_};
}

Status ChunkTableReader::copyFixedColumn(int column, std::uint8_t* records, std::int32_t recordSize,
                                         std::int64_t& consumed) const {
  const std::int32_t width = fieldSizes_[column];
  if (consumed + std::int64_t{width} * recordCount_ > dataLength_) return corrupt();
  if (width == 0) return {};
  std::uint8_t* slot = records + fieldOffsets_[column];
  for (std::int32_t record = 0; record < recordCount_; ++record) {
    std::memcpy(slot, dataBuffer_.get() + consumed, static_cast<std::size_t>(width));
    slot += recordSize;
    consumed += width;
  }
  return {};
}

Status ChunkTableReader::copyVariableColumn(int column, std::uint8_t* records,
                                            std::int32_t recordSize, std::int64_t& consumed) {
  const std::uint8_t* data = dataBuffer_.get();
  if (consumed + kWordSize > dataLength_) return corrupt();
  const std::int32_t elementSize = decodeSigned32(data + consumed);
  consumed += kWordSize;
  if (elementSize < 0) return corrupt();

  std::uint8_t* slot = records + fieldOffsets_[column];
  for (std::int32_t record = 0; record < recordCount_; ++record, slot += recordSize) {
    if (consumed + kWordSize > dataLength_) return corrupt();
    const std::int32_t elementCount = decodeSigned32(data + consumed);
    consumed += kWordSize;
    const std::int64_t length = std::int64_t{elementCount} * elementSize;
    if (elementCount < 0 || consumed + length > dataLength_) return corrupt();
    if (length == 0) continue;  // the slot stays the null reference

    // Bounded by the data length, which the file's size has bounded.
    std::uint8_t* content = arena_.allocate(static_cast<std::uint32_t>(length));
    if (content == nullptr) return corrupt();
    std::memcpy(content, data + consumed, static_cast<std::size_t>(length));
    blocks_.push_back(content);
    encodeFixed32(slot, static_cast<std::uint32_t>(blocks_.size()));
    consumed += length;
  }
  return {};
}

}  // namespace tintrod
