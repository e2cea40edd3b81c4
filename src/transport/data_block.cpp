#include "transport/data_block.h"

#include <cstring>

#include "transport/byte_order.h"
#include "transport/errors.h"

namespace corvane::transport {
TDataBlock::TDataBlock() { Reset(); }

const uint8_t* TDataBlock::RawMemory() {
  StoreLE32(storage_.data() + 4, static_cast<uint32_t>(DataSize()));
  return storage_.data();
}

int32_t TDataBlock::DataSize() const {
  return static_cast<int32_t>(storage_.size()) - kBlockHeaderSize;
}

void TDataBlock::SetDataSize(int32_t size) {
  if (size < 0) size = 0;
  storage_.resize(static_cast<size_t>(size) + kBlockHeaderSize);
}

void TDataBlock::ReserveBody(int32_t size) {
  if (size > 0) storage_.reserve(static_cast<size_t>(size) + kBlockHeaderSize);
}

uint32_t TDataBlock::GetSignatureWord() const { return LoadLE32(storage_.data()); }

void TDataBlock::SetSignatureWord(uint32_t word) { StoreLE32(storage_.data(), word); }

void TDataBlock::Reset() {
  storage_.resize(kBlockHeaderSize);
  read_pos_ = write_pos_ = kBlockHeaderSize;
}

int32_t TDataBlock::AppendBytes(const void* source, int32_t count) {
  if (count <= 0) return 0;
  size_t end = static_cast<size_t>(write_pos_) + static_cast<size_t>(count);
  if (end > 0x7FFFFFFF) throw ETransportError(kInvalidDataPacket);
  if (end > storage_.size()) storage_.resize(end);
  std::memcpy(storage_.data() + write_pos_, source, static_cast<size_t>(count));
  write_pos_ = static_cast<int32_t>(end);
  return count;
}

int32_t TDataBlock::TakeBytes(void* target, int32_t count) {
  if (count <= 0) return 0;
  int32_t available = Remaining();
  if (count > available) count = available;
  if (count <= 0) return 0;
  std::memcpy(target, storage_.data() + read_pos_, static_cast<size_t>(count));
  read_pos_ += count;
  return count;
}

int32_t TDataBlock::Remaining() const {
  int32_t r = static_cast<int32_t>(storage_.size()) - read_pos_;
  return r > 0 ? r : 0;
}

uint8_t* TDataBlock::BodyAt(int32_t offset) { return storage_.data() + kBlockHeaderSize + offset; }

int32_t TDataBlock::LoadFromBuffer(const void* buffer, size_t length, bool check_size) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  if (length < static_cast<size_t>(kBlockHeaderSize) || length - kBlockHeaderSize > 0x7FFFFFF7)
    throw ETransportError(kInvalidDataPacket);
  uint32_t word = LoadLE32(p);
  if (!IsWellFormed(word)) throw ETransportError(kInvalidDataPacket);
  int32_t size = static_cast<int32_t>(LoadLE32(p + 4));
  int32_t body = static_cast<int32_t>(length - kBlockHeaderSize);
  Reset();
  SetSignatureWord(word);
  if (check_size && size != body) throw ETransportError(kInvalidDataPacket);
  if (body > 0) AppendBytes(p + kBlockHeaderSize, body);
  return size;
}

DataBlockPtr NewDataBlock() { return std::make_shared<TDataBlock>(); }

}  // namespace corvane::transport
