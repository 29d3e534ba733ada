// Walks the chunk stream of a template and materialises one table chunk at a
// time into fixed-size records owned by the reader's arena. The reader knows
// nothing of textures: the tag and the record size come from its caller.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "os/large_buffer.h"
#include "template/block_arena.h"
#include "util/status.h"

namespace tintrod {

class InputFile;

inline constexpr int kMaxFieldCount = 20;
inline constexpr std::int32_t kVariableFieldWidth = -1;
// A variable-length column occupies a reference slot of this width in the record.
inline constexpr std::int32_t kReferenceSlotWidth = 4;
inline constexpr std::int32_t kMinChunkSize = 4;         // the size word counts itself
inline constexpr std::int32_t kMinTableChunkSize = 8;    // size word and N
inline constexpr std::int32_t kTableChunkHeadSize = 12;  // size word, N and F
inline constexpr std::int64_t kDataBufferHeadroom = 0x8000;
// A buffer beyond this lives only until the next table read.
inline constexpr std::int64_t kMaxRetainedDataCapacity = 100000;

// What a chunk read met. Its failures are all Failure::kTemplateCorrupt: a
// short read, a field out of range, data past its chunk, or a buffer or arena
// block the heap could not supply, which is a template this machine cannot
// hold.
enum class ChunkFound {
  kChunk,
  kOtherTag,  // skipChunk: the chunk has another tag and was left in place
  kEndChunk,  // readTableChunk: an "END!" chunk; the previous table stays
};

struct BuiltRecords {
  std::uint8_t* records = nullptr;  // null when there are none
  std::int32_t count = 0;
};

// Copies `length` bytes, or with length -1 the NUL-terminated string and its
// terminator. Other negative lengths copy nothing.
void copyField(const char* source, std::int32_t length, char* destination);

class ChunkTableReader {
 public:
  ChunkTableReader() = default;
  ChunkTableReader(const ChunkTableReader&) = delete;
  ChunkTableReader& operator=(const ChunkTableReader&) = delete;

  // Puts the next four bytes into tagBuffer[0..3] and leaves the stream where
  // it was; false when four bytes are not there.
  [[nodiscard]] bool peekTag(InputFile& stream, char* tagBuffer) const;
  // Consumes the chunk at the stream's position when its tag is `expectedTag`.
  [[nodiscard]] Result<ChunkFound> skipChunk(InputFile& stream, const char* expectedTag);
  // Reads the table chunk at the stream's position whatever its tag: callers
  // position the stream at the chunk they want. A failed read forgets the
  // previous table as well.
  [[nodiscard]] Result<ChunkFound> readTableChunk(InputFile& stream);
  // Materialises the table last read; may drop trailing columns that do not
  // fit `recordSize`, lowering fieldCount() for good.
  [[nodiscard]] Result<BuiltRecords> buildRecords(std::int32_t recordSize);

  // The variable-length block that a record's reference slot names; null for
  // the null reference 0 and for references the reader never handed out.
  std::uint8_t* block(std::uint32_t reference) const;

  const char* tag() const { return tag_.data(); }
  std::int32_t chunkSize() const { return chunkSize_; }
  std::int32_t recordCount() const { return recordCount_; }
  std::int32_t fieldCount() const { return fieldCount_; }
  std::int32_t fieldSize(int column) const { return fieldSizes_[column]; }
  std::int64_t dataPos() const { return dataPos_; }
  // The column data of the table last read.
  std::span<const std::uint8_t> columnData() const;

 private:
  struct TableHead {
    std::int32_t recordCount = 0;
    std::int32_t fieldCount = 0;
    std::array<std::int32_t, kMaxFieldCount> fieldSizes{};
  };

  Status readTableHead(InputFile& stream, TableHead& head) const;
  Status readColumnData(InputFile& stream, std::int64_t length);
  void forgetTable();
  std::int32_t slotWidth(int column) const;
  bool placeColumns(std::int32_t recordSize);
  bool fitsColumnData(std::int64_t perRecord, std::int64_t fixed) const;
  Status copyFixedColumn(int column, std::uint8_t* records, std::int32_t recordSize,
                         std::int64_t& consumed) const;
  Status copyVariableColumn(int column, std::uint8_t* records, std::int32_t recordSize,
                            std::int64_t& consumed);

  std::array<char, 5> tag_{};  // four bytes and a NUL nothing overwrites
  std::int32_t chunkSize_ = 0;
  std::int32_t recordCount_ = 0;
  std::int32_t fieldCount_ = 0;
  std::array<std::int32_t, kMaxFieldCount> fieldSizes_{};
  // 64-bit so that a data length near 2^31 plus the headroom cannot overflow.
  std::int64_t dataCapacity_ = 0;
  os::LargeBuffer dataBuffer_;
  std::int64_t dataLength_ = 0;
  std::array<std::int32_t, kMaxFieldCount> fieldOffsets_{};
  std::int64_t dataPos_ = 0;
  BlockArena arena_;
  // Records keep 32-bit references, so blocks are named by their 1-based
  // place in this store.
  std::vector<std::uint8_t*> blocks_;
};

}  // namespace tintrod
